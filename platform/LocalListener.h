#pragma once
// The listening end of the local socket. QLocalServer closes itself and removes its socket file the
// first time accept() fails, which a process out of descriptors (EMFILE) makes happen: the program
// would then be unreachable for good. This listener keeps its socket whatever accept() says: while
// no descriptor is free, or while the owner has no room for another client, connections wait in
// the socket's backlog and are taken once a descriptor or a place frees.
#include <QObject>
#include <QString>

#include <functional>

class QLocalSocket;
class QLocalServer;
class QSocketNotifier;
class QTimer;

namespace q9 {

class LocalListener : public QObject {
public:
    enum class Result { Listening, InUse, Failed };

    explicit LocalListener(QObject* parent = nullptr);
    ~LocalListener() override;

    // Creates the socket with access for this user only.
    Result listen(const QString& path);
    void close();
    bool isListening() const;
    QString path() const { return path_; }
    QString errorString() const { return error_; }

    // Takes waiting connections while `room` allows; call again when room frees.
    void take();
    std::function<bool()> room;
    std::function<void(QLocalSocket*)> accepted;

private:
    QString path_;
    QString error_;
#ifdef Q_OS_UNIX
    void outOfDescriptors();
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* retry_ = nullptr;
    bool starved_ = false;
#else
    QLocalServer* server_ = nullptr;
#endif
};

} // namespace q9

#pragma once
// Messages between processes of the same user: a local socket named after the product. A message is
// a framed record {registered name or number, wParam, lParam, copy data}; the receiver may answer
// with a result and a block of bytes (the work-tool query gets its 1024-byte block this way).
// Only the same user can connect: the socket lives in the user's private runtime folder and is
// created with user-only access. Malformed or oversized frames are traced and the connection dropped.
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLocalSocket;

namespace q9 {

class LocalListener;

struct IpcMessage {
    std::string name;        // a registered message name, or empty: then `number` is the message
    uint32_t number = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
    bool isCopyData = false; // a copy-data block: dwData and bytes
    uint64_t dwData = 0;
    std::vector<uint8_t> bytes;
};

struct IpcReply {
    int64_t result = 0;
    std::vector<uint8_t> bytes;
};

constexpr size_t kMaxIpcFrame = 1u << 20; // a larger frame is not one of ours

std::vector<uint8_t> encodeIpcMessage(const IpcMessage& m, bool wantsReply);
// Parses one frame payload (after the header); nullopt when malformed.
std::optional<IpcMessage> decodeIpcMessage(const uint8_t* data, size_t size, bool& wantsReply);

// The socket's name: the product name in the user's runtime folder.
QString defaultChannelName();

// Clients are few and short-lived (a message, perhaps a reply), so the server bounds what any number
// of them can hold: at most kMaxIpcClients connected (more wait in the socket's backlog), at most
// kMaxIpcBuffered bytes of unfinished frames between them (the client holding most is dropped), and
// a client that sends nothing for the idle time is dropped.
constexpr int kMaxIpcClients = 16;
constexpr size_t kMaxIpcBuffered = 4u << 20;
constexpr int kIpcIdleMs = 5000;

class IpcServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<IpcReply(const IpcMessage&)>;

    explicit IpcServer(Handler handler, QObject* parent = nullptr);
    ~IpcServer() override;

    bool listen(const QString& name = defaultChannelName());
    QString name() const;
    bool isListening() const;

    int clientCount() const { return int(clients_.size()); }
    size_t bufferedBytes() const;
    void setIdleTimeout(int ms) { idleMs_ = ms; }

private:
    void accept(QLocalSocket* socket);
    void readFrom(QLocalSocket* socket);
    void drop(QLocalSocket* socket);
    void holdToBudget();

    Handler handler_;
    LocalListener* listener_;
    std::vector<QLocalSocket*> clients_;
    int idleMs_ = kIpcIdleMs;
};

// Sends one message; with a reply wanted, waits for it up to timeoutMs. False when nothing listens.
bool sendIpcMessage(const IpcMessage& message, IpcReply* reply = nullptr, int timeoutMs = 2000,
                    const QString& name = defaultChannelName());

} // namespace q9

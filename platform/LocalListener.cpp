#include "platform/LocalListener.h"

#include "platform/Trace.h"

#include <QLocalServer>
#include <QLocalSocket>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace q9 {

#ifdef Q_OS_UNIX

namespace {
constexpr int kBacklog = 64;
constexpr int kRetryMs = 250; // how soon a starved listener looks for a free descriptor again
} // namespace

LocalListener::LocalListener(QObject* parent) : QObject(parent), retry_(new QTimer(this))
{
    retry_->setSingleShot(true);
    retry_->setInterval(kRetryMs);
    connect(retry_, &QTimer::timeout, this, &LocalListener::take);
}

LocalListener::~LocalListener() { close(); }

LocalListener::Result LocalListener::listen(const QString& path)
{
    close();
    const QByteArray native = path.toLocal8Bit();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (native.isEmpty() || size_t(native.size()) >= sizeof(addr.sun_path)) {
        error_ = QStringLiteral("socket path too long: ") + path;
        return Result::Failed;
    }
    std::memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return Result::Failed;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0) {
        const int e = errno;
        ::close(fd);
        error_ = QString::fromLocal8Bit(std::strerror(e));
        return e == EADDRINUSE ? Result::InUse : Result::Failed;
    }
    // Connecting needs write access to the file; the runtime folder is private as well.
    if (::chmod(native.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, kBacklog) != 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        ::unlink(native.constData());
        return Result::Failed;
    }
    fd_ = fd;
    path_ = path;
    notifier_ = new QSocketNotifier(qintptr(fd_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &LocalListener::take);
    return Result::Listening;
}

void LocalListener::close()
{
    retry_->stop();
    delete notifier_;
    notifier_ = nullptr;
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(path_.toLocal8Bit().constData());
    }
    fd_ = -1;
    path_.clear();
    starved_ = false;
}

bool LocalListener::isListening() const { return fd_ >= 0; }

void LocalListener::take()
{
    if (fd_ < 0)
        return;
    for (;;) {
        if (room && !room()) {
            notifier_->setEnabled(false); // level-triggered: left on, a waiting client would spin the loop
            return;
        }
        const int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) {
            const int e = errno;
            if (e == EINTR || e == ECONNABORTED || e == EPROTO)
                continue;
            if (e == EMFILE || e == ENFILE || e == ENOBUFS || e == ENOMEM) {
                outOfDescriptors();
                return;
            }
            if (starved_)
                trace("本地消息通道恢复接受连接");
            starved_ = false;
            notifier_->setEnabled(true); // EAGAIN: nobody else waits
            return;
        }
        if (starved_)
            trace("本地消息通道恢复接受连接");
        starved_ = false;
        auto* s = new QLocalSocket;
        if (!s->setSocketDescriptor(qintptr(c))) {
            ::close(c);
            delete s;
            continue;
        }
        if (accepted)
            accepted(s);
        else
            delete s;
    }
}

void LocalListener::outOfDescriptors()
{
    // The socket stays; clients wait in its backlog until a descriptor frees.
    notifier_->setEnabled(false);
    if (!starved_)
        trace("本地消息通道没有可用的文件描述符，暂停接受连接");
    starved_ = true;
    retry_->start();
}

#else // QLocalServer serves where accept() cannot run out of descriptors.

LocalListener::LocalListener(QObject* parent) : QObject(parent), server_(new QLocalServer(this))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->setMaxPendingConnections(1); // the rest wait with the system until there is room
    connect(server_, &QLocalServer::newConnection, this, &LocalListener::take);
}

LocalListener::~LocalListener() { close(); }

LocalListener::Result LocalListener::listen(const QString& path)
{
    close();
    if (server_->listen(path)) {
        path_ = path;
        return Result::Listening;
    }
    error_ = server_->errorString();
    return server_->serverError() == QAbstractSocket::AddressInUseError ? Result::InUse : Result::Failed;
}

void LocalListener::close()
{
    server_->close();
    path_.clear();
}

bool LocalListener::isListening() const { return server_->isListening(); }

void LocalListener::take()
{
    while ((!room || room()) && server_->hasPendingConnections()) {
        QLocalSocket* s = server_->nextPendingConnection();
        s->setParent(nullptr);
        if (accepted)
            accepted(s);
        else
            delete s;
    }
}

#endif

} // namespace q9

#include "platform/LocalChannel.h"

#include "platform/Folders.h"
#include "platform/LocalListener.h"
#include "platform/Trace.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <algorithm>

#include <cstring>

namespace q9 {

namespace {

constexpr uint32_t kMessageMagic = 0x314D3951; // "Q9M1"
constexpr uint32_t kReplyMagic = 0x31523951;   // "Q9R1"
constexpr size_t kHeader = 8;
constexpr size_t kMaxName = 256;

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}
void put64(std::vector<uint8_t>& out, uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

struct Reader {
    const uint8_t* p;
    size_t left;
    bool ok = true;
    uint64_t take(int bytes)
    {
        if (left < size_t(bytes)) {
            ok = false;
            return 0;
        }
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= uint64_t(p[i]) << (8 * i);
        p += bytes;
        left -= size_t(bytes);
        return v;
    }
    bool bytes(size_t n, std::vector<uint8_t>& out)
    {
        if (left < n) {
            ok = false;
            return false;
        }
        out.assign(p, p + n);
        p += n;
        left -= n;
        return true;
    }
};

std::vector<uint8_t> frame(uint32_t magic, const std::vector<uint8_t>& payload)
{
    std::vector<uint8_t> out;
    out.reserve(kHeader + payload.size());
    put32(out, magic);
    put32(out, uint32_t(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

bool writeAll(QLocalSocket& s, const std::vector<uint8_t>& bytes)
{
    return s.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) == qint64(bytes.size());
}

} // namespace

std::vector<uint8_t> encodeIpcMessage(const IpcMessage& m, bool wantsReply)
{
    std::vector<uint8_t> p;
    p.push_back(uint8_t((m.isCopyData ? 1 : 0) | (wantsReply ? 2 : 0)));
    const size_t nameLength = std::min(m.name.size(), kMaxName);
    p.push_back(uint8_t(nameLength));
    p.push_back(uint8_t(nameLength >> 8));
    p.insert(p.end(), m.name.begin(), m.name.begin() + long(nameLength));
    put32(p, m.number);
    put64(p, m.wParam);
    put64(p, uint64_t(m.lParam));
    put64(p, m.dwData);
    put32(p, uint32_t(m.bytes.size()));
    p.insert(p.end(), m.bytes.begin(), m.bytes.end());
    return frame(kMessageMagic, p);
}

std::optional<IpcMessage> decodeIpcMessage(const uint8_t* data, size_t size, bool& wantsReply)
{
    Reader r{data, size};
    IpcMessage m;
    const uint8_t flags = uint8_t(r.take(1));
    m.isCopyData = flags & 1;
    wantsReply = flags & 2;
    const size_t nameLength = size_t(r.take(2));
    std::vector<uint8_t> name;
    if (nameLength > kMaxName || !r.bytes(nameLength, name))
        return std::nullopt;
    m.name.assign(name.begin(), name.end());
    m.number = uint32_t(r.take(4));
    m.wParam = r.take(8);
    m.lParam = int64_t(r.take(8));
    m.dwData = r.take(8);
    const size_t count = size_t(r.take(4));
    if (!r.ok || !r.bytes(count, m.bytes) || r.left != 0 || (flags & ~3u))
        return std::nullopt;
    if (m.name.empty() && m.number == 0 && !m.isCopyData)
        return std::nullopt;
    return m;
}

QString defaultChannelName()
{
    return folders::runtimeFolder() + QStringLiteral("Q9 Zen 1K Gaming Mouse.socket");
}

IpcServer::IpcServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), listener_(new LocalListener(this))
{
    listener_->room = [this] { return clients_.size() < size_t(kMaxIpcClients); };
    listener_->accepted = [this](QLocalSocket* s) { accept(s); };
}

IpcServer::~IpcServer()
{
    listener_->close();
    for (QLocalSocket* s : clients_) {
        s->disconnect(this);
        delete s;
    }
}

bool IpcServer::listen(const QString& name)
{
    LocalListener::Result r = listener_->listen(name);
    // A socket file left by a copy that ended without cleaning up: nothing answers on it.
    if (r == LocalListener::Result::InUse) {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(200))
            return false; // a live copy owns it
        QLocalServer::removeServer(name);
        r = listener_->listen(name);
    }
    if (r == LocalListener::Result::Listening)
        return true;
    trace("本地消息通道无法监听: " + name.toStdString() + " " + listener_->errorString().toStdString());
    return false;
}

QString IpcServer::name() const { return listener_->path(); }

bool IpcServer::isListening() const { return listener_->isListening(); }

size_t IpcServer::bufferedBytes() const
{
    size_t total = 0;
    for (QLocalSocket* s : clients_)
        total += size_t(s->bytesAvailable());
    return total;
}

void IpcServer::accept(QLocalSocket* s)
{
    s->setParent(this);
    s->setReadBufferSize(qint64(kHeader + kMaxIpcFrame)); // Qt reads no further ahead than one frame
    clients_.push_back(s);
    auto* idle = new QTimer(s);
    idle->setSingleShot(true);
    idle->callOnTimeout(this, [this, s] {
        trace("本地消息客户端长时间无数据，已断开");
        drop(s);
    });
    idle->start(idleMs_);
    connect(s, &QLocalSocket::readyRead, this, [this, s, idle] {
        idle->start(idleMs_);
        readFrom(s);
    });
    connect(s, &QLocalSocket::disconnected, this, [this, s] { drop(s); });
    readFrom(s);
}

void IpcServer::drop(QLocalSocket* s)
{
    const auto it = std::find(clients_.begin(), clients_.end(), s);
    if (it == clients_.end())
        return;
    clients_.erase(it);
    s->disconnect(this);
    s->abort();
    s->deleteLater();
    listener_->take(); // a place and a descriptor are free
}

void IpcServer::holdToBudget()
{
    while (bufferedBytes() > kMaxIpcBuffered) {
        QLocalSocket* most = *std::max_element(clients_.begin(), clients_.end(), [](QLocalSocket* a, QLocalSocket* b) {
            return a->bytesAvailable() < b->bytesAvailable();
        });
        trace("本地消息缓冲超过上限，已断开占用最多的客户端");
        drop(most);
    }
}

void IpcServer::readFrom(QLocalSocket* s)
{
    for (;;) {
        if (s->bytesAvailable() < qint64(kHeader))
            return;
        uint8_t header[kHeader];
        s->peek(reinterpret_cast<char*>(header), kHeader);
        uint32_t magic = 0, length = 0;
        std::memcpy(&magic, header, 4);
        std::memcpy(&length, header + 4, 4);
        if (magic != kMessageMagic || length > kMaxIpcFrame) {
            trace("本地消息格式错误，已丢弃");
            drop(s);
            return;
        }
        if (s->bytesAvailable() < qint64(kHeader + length)) {
            holdToBudget();
            return;
        }
        s->read(reinterpret_cast<char*>(header), kHeader);
        const QByteArray payload = s->read(length);
        bool wantsReply = false;
        const auto message = decodeIpcMessage(reinterpret_cast<const uint8_t*>(payload.constData()),
                                              size_t(payload.size()), wantsReply);
        if (!message) {
            trace("本地消息格式错误，已丢弃");
            drop(s);
            return;
        }
        const IpcReply reply = handler_ ? handler_(*message) : IpcReply{};
        if (std::find(clients_.begin(), clients_.end(), s) == clients_.end())
            return; // dropped while the handler ran
        if (wantsReply) {
            std::vector<uint8_t> p;
            put64(p, uint64_t(reply.result));
            put32(p, uint32_t(reply.bytes.size()));
            p.insert(p.end(), reply.bytes.begin(), reply.bytes.end());
            writeAll(*s, frame(kReplyMagic, p));
            s->flush();
        }
    }
}

bool sendIpcMessage(const IpcMessage& message, IpcReply* reply, int timeoutMs, const QString& name)
{
    QLocalSocket s;
    s.connectToServer(name);
    if (!s.waitForConnected(timeoutMs))
        return false;
    if (!writeAll(s, encodeIpcMessage(message, reply != nullptr)) || !s.waitForBytesWritten(timeoutMs))
        return false;
    if (!reply) {
        s.disconnectFromServer();
        return true;
    }
    std::vector<uint8_t> in;
    auto readMore = [&] {
        if (!s.waitForReadyRead(timeoutMs))
            return false;
        const QByteArray chunk = s.readAll();
        in.insert(in.end(), chunk.begin(), chunk.end());
        return true;
    };
    while (in.size() < kHeader + 12)
        if (!readMore())
            return false;
    uint32_t magic = 0, length = 0;
    std::memcpy(&magic, in.data(), 4);
    std::memcpy(&length, in.data() + 4, 4);
    if (magic != kReplyMagic || length < 12 || length > kMaxIpcFrame)
        return false;
    while (in.size() < kHeader + length)
        if (!readMore())
            return false;
    Reader r{in.data() + kHeader, length};
    reply->result = int64_t(r.take(8));
    const size_t count = size_t(r.take(4));
    return r.bytes(count, reply->bytes) && r.ok;
}

} // namespace q9

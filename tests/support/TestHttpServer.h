#pragma once
// A small HTTP server on 127.0.0.1 for tests: it collects each request (headers and body) and
// answers with what the test's handler returns; an empty answer leaves the connection open without
// a reply (a server that never answers).
#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

#include <functional>

namespace q9::test {

class TestHttpServer : public QObject {
public:
    struct Request {
        QByteArray head; // request line and headers
        QByteArray body;
    };
    using Handler = std::function<QByteArray(const Request&)>;

    explicit TestHttpServer(Handler handler) : handler_(std::move(handler)), server_(std::make_unique<QTcpServer>()) { listen(); }
    // Over TLS with this certificate and key.
    TestHttpServer(Handler handler, const QSslCertificate& certificate, const QSslKey& key) : handler_(std::move(handler))
    {
        auto tls = std::make_unique<QSslServer>();
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        conf.setLocalCertificate(certificate);
        conf.setPrivateKey(key);
        tls->setSslConfiguration(conf);
        server_ = std::move(tls);
        listen();
    }
    quint16 port() const { return server_->serverPort(); }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/api/").arg(port()); }
    const QList<Request>& requests() const { return requests_; }

    // A whole HTTP/1.1 response with this body.
    static QByteArray response(const QByteArray& body, int status = 200)
    {
        return "HTTP/1.1 " + QByteArray::number(status) + " OK\r\nContent-Type: application/json\r\nContent-Length: "
               + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    }

private:
    void listen()
    {
        connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* s = server_->nextPendingConnection()) {
                s->setParent(this);
                connect(s, &QTcpSocket::readyRead, this, [this, s] { readFrom(s); });
            }
        });
        server_->listen(QHostAddress::LocalHost, 0);
    }

    void readFrom(QTcpSocket* s)
    {
        QByteArray& buffer = pending_[s];
        buffer += s->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        Request r;
        r.head = buffer.left(end);
        qsizetype length = 0;
        for (const QByteArray& line : r.head.split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        if (buffer.size() < end + 4 + length)
            return;
        r.body = buffer.mid(end + 4, length);
        pending_.remove(s);
        requests_.push_back(r);
        const QByteArray answer = handler_(r);
        if (!answer.isEmpty()) {
            s->write(answer);
            s->disconnectFromHost();
        }
    }

    Handler handler_;
    std::unique_ptr<QTcpServer> server_;
    QList<Request> requests_;
    QHash<QTcpSocket*, QByteArray> pending_;
};

} // namespace q9::test

#include "update/UpdateCheck.h"

#include "platform/SettingsStore.h"
#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"

#include <QDate>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <cstdlib>

namespace q9::update {
namespace {

bool isApplication(const ModelEntry& row) { return row.itemType == 0; }

QString wide(const wchar_t* s) { return QString::fromWCharArray(s ? s : L""); }

} // namespace

QString makeAppKey(const ModelEntry& row)
{
    return QStringLiteral("%1_%2_%3_%4_%5")
        .arg(wide(row.vendor))
        .arg(row.itemType)
        .arg(wide(row.modelCode), wide(row.name))
        .arg(row.itemFlag);
}

QByteArray requestBody(const ModelEntry& row)
{
    // Not percent-encoded: the service takes the key as it is, spaces included.
    const QString version = isApplication(row) ? QString::number(row.version) : QString::number(uint32_t(row.version), 16);
    QByteArray body = QStringLiteral("app_key=%1&version=%2").arg(makeAppKey(row), version).toUtf8();
    body.append('\0');
    return body;
}

QString installedText(const ModelEntry& row)
{
    if (isApplication(row))
        return wide(row.appVersion);
    return QStringLiteral("V%1").arg(uint32_t(row.version), 4, 16, QLatin1Char('0'));
}

UpdateRow evaluateReply(const ModelEntry& row, const QByteArray& reply)
{
    UpdateRow r;
    if (reply.startsWith(kNoLinkServer)) {
        r.name = QString::fromUtf8(kNoLinkServer);
        return r;
    }
    const Json::Value v = ParseJsonText(reply.left(kReplyLimit).toStdString());
    if (!v.isObject())
        return r;
    r.downloadAddress = QString::fromStdString(ReadString(Member(v, "path")));
    r.name = QString::fromStdString(ReadString(Member(v, "name")));
    r.versionName = QString::fromStdString(ReadString(Member(v, "version_name")));
    const QString offeredText = QString::fromStdString(ReadString(Member(v, "version")));
    r.deviceId = ReadInt(Member(v, "device_id"));
    r.latestVersion = QStringLiteral("V") + offeredText;
    // Read as strtoul does: the leading number, 0 for none.
    const QByteArray digits = offeredText.toLatin1();
    const uint32_t offered = uint32_t(std::strtoul(digits.constData(), nullptr, isApplication(row) ? 10 : 16));
    if (isApplication(row)) {
        r.currentVersion = QStringLiteral("V%1").arg(row.version);
        r.latestVersion = r.versionName;
    } else {
        r.currentVersion = installedText(row);
    }
    r.status = int32_t(offered) > int32_t(row.version) ? RowUpdatable : RowUpToDate;
    return r;
}

int installedAppVersion(const QString& displayVersion)
{
    QString digits = displayVersion;
    digits.remove(QLatin1Char('.'));
    return int(std::strtol(digits.toLatin1().constData(), nullptr, 10));
}

int installedAppVersion()
{
#ifdef Q9ZEN_VERSION
    return installedAppVersion(QStringLiteral(Q9ZEN_VERSION));
#else
    return 0;
#endif
}

QString todayText()
{
    const QDate d = QDate::currentDate();
    return QStringLiteral("%1-%2-%3").arg(d.year()).arg(d.month()).arg(d.day());
}

QString readLastCheck(const QString& path)
{
    const Json::Value v = ReadJsonFile(path.toStdWString());
    const Json::Value& value = Member(Member(v, "updatelasttime"), "value");
    return value.isNull() ? QString() : QString::fromStdString(ReadString(value));
}

bool writeLastCheck(const QString& path, const QString& date)
{
    Json::Value v(Json::objectValue);
    v["updatelasttime"]["value"] = date.toStdString();
    return WriteJsonFile(path.toStdWString(), v) == 0;
}

QUrl serviceBaseUrl()
{
    const QString env = qEnvironmentVariable("Q9ZEN_UPDATE_URL");
    if (!env.isEmpty())
        return QUrl(env);
    const QString stored = settings::readText(settings::productKey(), QStringLiteral("UpdateUrl"), QString());
    return QUrl(stored.isEmpty() ? QStringLiteral(Q9ZEN_UPDATE_URL_DEFAULT) : stored);
}

int requestTimeoutMs()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("Q9ZEN_UPDATE_TIMEOUT_MS", &ok);
    return ok && ms > 0 ? ms : kDefaultTimeoutMs;
}

UpdateChecker::UpdateChecker(QObject* parent) : QObject(parent), network_(new QNetworkAccessManager(this)) {}

UpdateChecker::~UpdateChecker() { stop(); }

void UpdateChecker::start(const std::vector<ModelEntry>& rows, const QUrl& base, int timeoutMs)
{
    stop();
    rows_ = rows;
    base_ = base;
    timeoutMs_ = timeoutMs;
    failures_ = 0;
    next_ = 0;
    requestNext();
}

void UpdateChecker::stop()
{
    next_ = -1;
    if (reply_) {
        QNetworkReply* r = reply_;
        reply_ = nullptr;
        r->disconnect(this);
        r->abort();
        r->deleteLater();
    }
}

void UpdateChecker::requestNext()
{
    if (next_ < 0)
        return;
    if (next_ >= int(rows_.size())) {
        next_ = -1;
        emit finished(failures_);
        return;
    }
    QNetworkRequest request(base_.resolved(QUrl(QStringLiteral("updates"))));
    body_ = requestBody(rows_[size_t(next_)]);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("WinHTTP Client/1.0"));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    request.setRawHeader("Accept", "application/prs.Kelda.v1+json");
    request.setTransferTimeout(timeoutMs_);
    // Certificates are checked as Qt does by default: an update answer from an impostor must not
    // be believed.
    reply_ = network_->post(request, body_);
    // Bounded: a reply larger than the buffer is given up, never stored whole.
    reply_->setReadBufferSize(kReplyLimit + 1);
    connect(reply_, &QNetworkReply::readyRead, this, [this] {
        if (reply_ && reply_->bytesAvailable() > kReplyLimit)
            reply_->abort();
    });
    connect(reply_, &QNetworkReply::finished, this, &UpdateChecker::replied);
}

void UpdateChecker::replied()
{
    QNetworkReply* r = reply_;
    reply_ = nullptr;
    if (!r)
        return;
    r->deleteLater();
    const ModelEntry& row = rows_[size_t(next_)];
    QByteArray data = r->isOpen() ? r->read(kReplyLimit) : QByteArray();
    // Without an HTTP answer (no connection, refused, timed out) the service was not reached.
    const bool answered = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    const bool cut = r->error() == QNetworkReply::OperationCanceledError && answered;
    if (!answered)
        data = kNoLinkServer;
    else if (cut)
        data.clear(); // a reply larger than the buffer is no usable answer
    UpdateRow result = evaluateReply(row, data);
    const bool failed = result.name.compare(QString::fromUtf8(kNoLinkServer), Qt::CaseInsensitive) == 0;
    if (failed) {
        ++failures_;
        traceLazy([&] { return "update: " + r->errorString().toStdString(); });
    }
    const int index = next_;
    ++next_;
    emit rowChecked(index, result, failed);
    requestNext();
}

} // namespace q9::update

#pragma once
// The update check: for each firmware and the application, ask the update service whether a newer
// version exists. The request and the reading of its reply are plain functions; UpdateChecker runs
// the requests one after another with Qt Network, without blocking the UI thread.
#include "hid/DeviceCatalogue.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <vector>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace q9::update {

// The most of a reply that is read; one byte of the service's buffer stays a terminating zero.
constexpr qsizetype kReplyLimit = 102400 - 1;
constexpr int kDefaultTimeoutMs = 60000;
// The text a reply stands for when no connection could be made (or nothing came back).
inline const QByteArray kNoLinkServer = QByteArrayLiteral("NO_LINK_SERVER");

// Row states of the update list, and the overall states of the settings window.
enum RowState { RowNotUpdatable = 0, RowUpdatable = 1, RowWaitingDownload = 3, RowUpToDate = 7, RowFailed = 8 };
enum OverallState { Checking = 0, UpdatesAvailable = 1, NoAnswer = 2, UpToDate = 4 };

struct UpdateRow {
    int status = RowUpToDate;
    int deviceId = 0;
    QString name;             // empty: no usable answer
    QString currentVersion;   // as shown
    QString versionName;
    QString latestVersion;    // as shown; empty when nothing newer is offered
    QString downloadAddress;
};

// vendor_itemType_modelCode_name_itemFlag, as the service knows the row.
QString makeAppKey(const ModelEntry& row);
// "app_key=…&version=…" (hexadecimal for a firmware, decimal for the application) as UTF-8 with its
// terminating zero byte, which is sent and counted.
QByteArray requestBody(const ModelEntry& row);
// The installed version as the list shows it before the answer.
QString installedText(const ModelEntry& row);
// The reply read into a row; `reply` is kNoLinkServer when the service could not be reached.
UpdateRow evaluateReply(const ModelEntry& row, const QByteArray& reply);
// 1.0.2 → 102: the build's own version in the number form the service compares.
int installedAppVersion(const QString& displayVersion);
int installedAppVersion();

// The date of the last check, "year-month-day" without leading zeros, in "updatetime.config".
QString todayText();
QString readLastCheck(const QString& path);
bool writeLastCheck(const QString& path, const QString& date);

// The service's base address (ending in "api/"): the environment's Q9ZEN_UPDATE_URL, else the
// settings store's "UpdateUrl", else the built-in one.
QUrl serviceBaseUrl();
int requestTimeoutMs();

class UpdateChecker : public QObject {
    Q_OBJECT
public:
    explicit UpdateChecker(QObject* parent = nullptr);
    ~UpdateChecker() override;
    // Checks the rows in order; rowChecked for each, then finished.
    void start(const std::vector<ModelEntry>& rows, const QUrl& base, int timeoutMs);
    // Abandons the request under way; nothing more is reported.
    void stop();
    bool running() const { return next_ >= 0; }

signals:
    void rowChecked(int index, const q9::update::UpdateRow& row, bool failed);
    void finished(int failures);

private:
    void requestNext();
    void replied();

    QNetworkAccessManager* network_ = nullptr;
    QPointer<QNetworkReply> reply_;
    QByteArray body_;
    std::vector<ModelEntry> rows_;
    QUrl base_;
    int timeoutMs_ = kDefaultTimeoutMs;
    int next_ = -1;
    int failures_ = 0;
};

} // namespace q9::update

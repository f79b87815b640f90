// The settings window as a user meets it: the language switched from its list (every text of the
// program follows, and the choice is kept), and the update list filled from a real HTTP server on
// this machine — an update for the mouse, none for the program, no server, a server that never
// answers, replies that are no answer.
#include "app/SettingsWnd.h"
#include "platform/Messages.h"
#include "ui/Combo.h"
#include "ui/Label.h"
#include "update/UpdateCheck.h"

#include "ShellFixture.h"

#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>
#include "support/TestHttpServer.h"

namespace q9 {
namespace {

using test::TestHttpServer;

class Settings : public test::Shell {
protected:
    void TearDown() override
    {
        qunsetenv("Q9ZEN_UPDATE_URL");
        qunsetenv("Q9ZEN_UPDATE_TIMEOUT_MS");
        test::Shell::TearDown();
    }
    app::CSetWnd* open(const QString& base)
    {
        qputenv("Q9ZEN_UPDATE_URL", base.toUtf8());
        cmd("menu setwnd_menu");
        auto* w = qobject_cast<app::CSetWnd*>(wnd->settingsWindow());
        EXPECT_NE(w, nullptr);
        return w;
    }
    bool checked(app::CSetWnd* w) { return waitFor([&] { return w->updateState() > 0; }, 5000); }
    QString part(app::CUpdateInfoListItemUI* row, const char* name)
    {
        ui::Control* c = ui::Window::findSubControlByName(row, QString::fromLatin1(name));
        return c && c->isVisible() ? c->text() : QStringLiteral("(hidden)");
    }
    QString text(const char* id) { return ui::Resources::instance().text(QString::fromLatin1(id)); }
};

TEST_F(Settings, TheMouseHasAnUpdateAndTheProgramNone)
{
    start("mouse");
    ASSERT_TRUE(synced());
    TestHttpServer server([](const TestHttpServer::Request& r) {
        if (r.body.startsWith("app_key=KELDA_1_RX20M01A_MS_1&"))
            return TestHttpServer::response(R"({"name":"MS","version":"9999","version_name":"fw","path":"http://x/fw.bin","device_id":7})");
        return TestHttpServer::response(R"({"name":"AP","version":"1","version_name":"V0.0.1"})");
    });
    app::CSetWnd* w = open(server.baseUrl());
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(checked(w));
    EXPECT_EQ(w->updateState(), update::UpdatesAvailable);
    const auto rows = w->updateItems();
    ASSERT_EQ(rows.size(), 2u) << "the mouse and the program";
    EXPECT_EQ(part(rows[0], "check_name_select"), QStringLiteral("MS"));
    EXPECT_EQ(part(rows[0], "OldRev"), QStringLiteral("V0102")) << "the emulated mouse's release number";
    EXPECT_EQ(part(rows[0], "updateRev"), QStringLiteral("V9999"));
    EXPECT_EQ(part(rows[0], "update_status_text"), text("NeedUpdateText"));
    EXPECT_TRUE(rows[0]->IsChecked());
    EXPECT_EQ(rows[0]->userData(), QStringLiteral("http://x/fw.bin"));
    EXPECT_EQ(part(rows[1], "check_name_select"), QStringLiteral("AP"));
    EXPECT_EQ(part(rows[1], "updateRev"), QStringLiteral("(hidden)"));
    EXPECT_EQ(part(rows[1], "update_status_text"), text("UpdateOkText"));
    EXPECT_EQ(w->findControl(QStringLiteral("Update_Status_text"))->text(), text("HaveUpdateInfoText"));

    // What was sent: a form with the key and version, its zero byte counted.
    ASSERT_EQ(server.requests().size(), 2);
    const auto& first = server.requests()[0];
    EXPECT_TRUE(first.head.startsWith("POST /api/updates ")) << first.head.toStdString();
    EXPECT_EQ(first.body, QByteArray("app_key=KELDA_1_RX20M01A_MS_1&version=102", 42));
    EXPECT_TRUE(first.head.contains("Content-Type: application/x-www-form-urlencoded"));
    EXPECT_TRUE(first.head.contains("Accept: application/prs.Kelda.v1+json"));
    EXPECT_EQ(server.requests()[1].body, QByteArray("app_key=KELDA_0_ALL_Q9 Zen 1K_1&version=102", 44));
    EXPECT_EQ(update::readLastCheck(app::CSetWnd::lastCheckPath()), update::todayText());

    // The user confirms: the ticked row waits for its download.
    cmd("click update_fw_and_ap");
    cmd("click update_OK_btn");
    EXPECT_EQ(rows[0]->Status(), update::RowWaitingDownload);
    EXPECT_EQ(part(rows[0], "update_status_text"), text("DownloadWaitText"));
    // An updater's reports, through the main window: progress, then done.
    const uint32_t status = registerWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF15}");
    wnd->send(status, 4, 42);
    ASSERT_TRUE(waitFor([&] { return rows[0]->Status() == 4; }, 1000));
    EXPECT_EQ(part(rows[0], "update_progress_value"), QStringLiteral("42%"));
    wnd->send(status, 1, 0);
    ASSERT_TRUE(waitFor([&] { return rows[0]->Status() == update::RowUpToDate; }, 1000));
    EXPECT_EQ(part(rows[0], "OldRev"), QStringLiteral("V9999")) << "the offered version is the installed one now";
    EXPECT_EQ(w->updateState(), update::UpToDate);
    // Nothing here downloads: the window still closes.
    cmd("click laterbtn");
    EXPECT_TRUE(waitFor([&] { return wnd->settingsWindow() == nullptr; }, 1000));
}

TEST_F(Settings, RepliesThatAreNoAnswerAndServersThatAreNotThere)
{
    start("mouse");
    ASSERT_TRUE(synced());
    struct Case {
        const char* what;
        TestHttpServer::Handler handler; // null: no server at all
        int overall;
    };
    const Case cases[] = {
        {"malformed replies: up to date, not failures", [](const auto&) { return TestHttpServer::response("{oops"); }, update::UpToDate},
        {"a reply larger than the buffer", [](const auto&) { return TestHttpServer::response(QByteArray(200000, ' ') + "{}"); },
         update::UpToDate},
        {"the service says it has no link", [](const auto&) { return TestHttpServer::response("NO_LINK_SERVER"); }, update::NoAnswer},
        {"a server that never answers", [](const auto&) { return QByteArray(); }, update::NoAnswer},
        {"no server at all", nullptr, update::NoAnswer},
    };
    qputenv("Q9ZEN_UPDATE_TIMEOUT_MS", "400");
    for (const Case& c : cases) {
        std::unique_ptr<TestHttpServer> server;
        QString base = QStringLiteral("http://127.0.0.1:9/api/"); // the discard port: nothing listens
        if (c.handler) {
            server = std::make_unique<TestHttpServer>(c.handler);
            base = server->baseUrl();
        }
        app::CSetWnd* w = open(base);
        ASSERT_NE(w, nullptr) << c.what;
        // The window keeps running while the requests wait.
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(20);
        ASSERT_TRUE(checked(w)) << c.what;
        EXPECT_EQ(w->updateState(), c.overall) << c.what;
        if (c.overall == update::NoAnswer) {
            if (c.handler && c.handler({}).isEmpty()) {
                EXPECT_GT(ticks, 10) << c.what << ": the event loop ran while the requests waited";
            }
            EXPECT_EQ(w->findControl(QStringLiteral("Update_Status_text"))->text(), text("NoUpdateInfoText")) << c.what;
        }
        for (app::CUpdateInfoListItemUI* row : w->updateItems()) {
            EXPECT_EQ(row->Status(), update::RowUpToDate) << c.what;
            EXPECT_EQ(part(row, "updateRev"), QStringLiteral("(hidden)")) << c.what;
        }
        EXPECT_EQ(part(w->updateItems()[0], "OldRev"), QStringLiteral("V0102")) << c.what << ": the installed version stays";
        cmd("click closebtn");
        ASSERT_TRUE(waitFor([&] { return wnd->settingsWindow() == nullptr; }, 1000)) << c.what;
    }
}

// An https address is asked over TLS; an answer from a server whose certificate is not trusted is
// not believed.
TEST_F(Settings, AnHttpsServiceIsAskedOverTlsAndAnUntrustedOneIsNotBelieved)
{
    if (!QSslSocket::supportsSsl())
        GTEST_SKIP() << "no TLS backend";
    // A self-signed certificate for 127.0.0.1 made for this test (openssl req -x509 -days 36500).
    QFile certFile(QStringLiteral(Q9_SOURCE_DIR "/tests/data/update_tls_cert.pem"));
    QFile keyFile(QStringLiteral(Q9_SOURCE_DIR "/tests/data/update_tls_key.pem"));
    ASSERT_TRUE(certFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly));
    const QSslCertificate certificate(&certFile, QSsl::Pem);
    const QSslKey privateKey(&keyFile, QSsl::Rsa, QSsl::Pem);
    test::TestHttpServer server(
        [](const TestHttpServer::Request&) { return TestHttpServer::response(R"({"name":"x","version":"9999"})"); }, certificate,
        privateKey);
    const QString base = QStringLiteral("https://127.0.0.1:%1/api/").arg(server.port());
    start("mouse");
    ASSERT_TRUE(synced());

    app::CSetWnd* w = open(base);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(checked(w));
    EXPECT_EQ(w->updateState(), update::NoAnswer) << "a certificate nobody vouches for";
    EXPECT_EQ(w->updateItems()[0]->Status(), update::RowUpToDate);
    cmd("click closebtn");
    ASSERT_TRUE(waitFor([&] { return wnd->settingsWindow() == nullptr; }, 1000));

    const QSslConfiguration before = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = before;
    trusting.addCaCertificate(certificate);
    QSslConfiguration::setDefaultConfiguration(trusting);
    w = open(base);
    ASSERT_NE(w, nullptr);
    const bool done = checked(w);
    QSslConfiguration::setDefaultConfiguration(before);
    ASSERT_TRUE(done);
    EXPECT_EQ(w->updateState(), update::UpdatesAvailable);
    EXPECT_EQ(w->updateItems()[0]->Status(), update::RowUpdatable);
    EXPECT_GE(server.requests().size(), 2) << "the requests went over TLS";
    cmd("click closebtn");
}

TEST_F(Settings, TheLanguageChosenChangesEveryTextAndIsKept)
{
    start("mouse");
    ASSERT_TRUE(synced());
    app::CSetWnd* w = open(QStringLiteral("http://127.0.0.1:9/api/"));
    ASSERT_NE(w, nullptr);
    auto* list = qobject_cast<ui::Combo*>(w->findControl(QStringLiteral("Language_combox_info")));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    ui::Control* tab = wnd->findControl(QStringLiteral("key_Op_tab"));
    ASSERT_NE(tab, nullptr);
    for (int language : {0, 1, 0}) {
        cmd(QStringLiteral("item Language_combox_info %1").arg(language));
        EXPECT_EQ(wnd->languageIndex(), language);
        const char* file = language == 0 ? "lan_cn.xml" : "lan_en.xml";
        EXPECT_EQ(ui::Resources::instance().languageFile().section('/', -1), QString::fromLatin1(file));
        // A text of the main window, of the device page and of the settings window itself.
        EXPECT_EQ(tab->text(), ui::Resources::instance().text(QStringLiteral("tab_key_text")));
        EXPECT_EQ(tab->text(), language == 0 ? QStringLiteral("按键") : QStringLiteral("Buttons"));
    }
    cmd("item Language_combox_info 1");
    cmd("click closebtn");
    restartProgram();
    EXPECT_EQ(wnd->languageIndex(), 1) << "the choice is kept";
}

} // namespace
} // namespace q9

// The program as a process: the second start, messages from another process, the main window.
#include "app/MainWnd.h"
#include "device/DeviceEnvironment.h"
#include "sim/SimBus.h"
#include "app/Startup.h"
#include "ui/Control.h"
#include "ui/Resources.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace q9 {
namespace {

const QString kApp = QStringLiteral(Q9_APP_DIR "/q9zen");
const QString kSend = QStringLiteral(Q9_APP_DIR "/q9zen-send");

class Program : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid());
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("Q9ZEN_RUNTIME_DIR", runtime.path());
        env.insert("Q9ZEN_CONFIG_DIR", runtime.filePath("config"));
        env.insert("Q9ZEN_DATA_DIR", runtime.filePath("data"));
        env.insert("Q9ZEN_TRACE", "1");
    }
    void start(QProcess& p, const QStringList& args = {})
    {
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QDir::tempPath()); // the skin is found beside the program, not here
        p.start(kApp, args);
        ASSERT_TRUE(p.waitForStarted(5000));
    }
    bool waitForSocket()
    {
        for (int i = 0; i < 300; ++i) {
            if (QFile::exists(runtime.filePath("Q9 Zen 1K Gaming Mouse.socket")))
                return true;
            QTest::qWait(20);
        }
        return false;
    }
    int send(const QStringList& args)
    {
        QProcess s;
        s.setProcessEnvironment(env);
        s.start(kSend, args);
        s.waitForFinished(5000);
        return s.exitCode();
    }
    QTemporaryDir runtime;
    QProcessEnvironment env;
};

TEST_F(Program, ASecondStartActivatesTheFirstAndEndsWithZero)
{
    QProcess first;
    start(first);
    ASSERT_TRUE(waitForSocket());
    QProcess second;
    start(second);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    QTest::qWait(200);
    EXPECT_EQ(first.state(), QProcess::Running);

    // Work that only a process of its own could do is refused, not silently dropped; the listing,
    // which only reads, runs anyway.
    QTemporaryDir dir;
    QFile script(dir.filePath("s.txt"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("quit\n");
    script.close();
    for (const QStringList& args : {QStringList{"--script", script.fileName()}, QStringList{"--screenshot", dir.filePath("x.png")}}) {
        QProcess refused;
        start(refused, args);
        ASSERT_TRUE(refused.waitForFinished(10000));
        EXPECT_EQ(refused.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(refused.readAllStandardError().contains("running already")) << args.join(' ').toStdString();
    }
    QProcess listing;
    start(listing, {"--list"});
    ASSERT_TRUE(listing.waitForFinished(10000));
    EXPECT_EQ(listing.exitCode(), 0);

    // Close the first as a companion program would, with the close message.
    EXPECT_EQ(send({"--number", "16"}), 0);
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    const QString log = QString::fromUtf8(first.readAllStandardError());
    EXPECT_TRUE(log.contains("InitWindow"));
    EXPECT_TRUE(log.contains("，01")) << log.toStdString(); // the activation the second start sent
    EXPECT_FALSE(log.contains("皮肤文件")) << log.toStdString(); // the shipped skin loads cleanly
}

TEST_F(Program, CommandLinesThatCannotBeCarriedOutNameTheirFaultAndEndWithTwo)
{
    struct Case {
        const char* program; // "q9zen" or "q9zen-send"
        QStringList args;
        int exitCode;
        const char* says; // in what it prints (standard output for 0, standard error otherwise)
    };
    const Case cases[] = {
        {"q9zen", {"--help"}, 0, "Usage: q9zen"},
        {"q9zen", {"--version"}, 0, "q9zen 1.0.2"},
        {"q9zen", {"--bogus"}, 2, "\"--bogus\""},
        {"q9zen", {"--simulate"}, 2, "--simulate needs a value"},
        {"q9zen", {"--script"}, 2, "--script needs a value"},
        {"q9zen", {"--simulate", "bogus"}, 2, "\"bogus\" cannot be simulated; the devices are mouse, mouse-receiver"},
        {"q9zen", {"--simulate=mouse,bogus", "--list"}, 2, "\"bogus\""},
        {"q9zen", {"--screenshot", "/no/such/folder/x.png"}, 2, "does not exist"},
        {"q9zen", {"--script", "/no/such/script.txt"}, 2, "cannot be read"},
        {"q9zen-send", {"--help"}, 0, "Usage: q9zen-send"},
        {"q9zen-send", {"--version"}, 0, "q9zen-send 1.0.2"},
        {"q9zen-send", {"--bogus"}, 2, "\"--bogus\""},
        {"q9zen-send", {"--number", "x1"}, 2, "\"--number\""},
    };
    for (const Case& c : cases) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(c.program == QLatin1String("q9zen") ? kApp : kSend, c.args);
        ASSERT_TRUE(p.waitForFinished(10000));
        const std::string what = std::string(c.program) + " " + c.args.join(' ').toStdString();
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << what;
        EXPECT_EQ(p.exitCode(), c.exitCode) << what;
        const QByteArray text = c.exitCode == 0 ? p.readAllStandardOutput() : p.readAllStandardError();
        EXPECT_TRUE(text.contains(c.says)) << what << ": " << text.toStdString();
    }
}

TEST_F(Program, ScriptsCloseToTheTrayExitWithZeroAndFailWithTwo)
{
    QTemporaryDir dir;
    const QString script = dir.filePath("s.txt");
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("# a mouse is there from the start\nwait 700\ndump DPI_edit_1\nclick closebtn\nmenu exit\n");
    }
    QProcess p;
    start(p, {"--simulate", "mouse", "--script", script});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).startsWith("DPI_edit_1 Edit visible="));

    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("wait 10\nclick no_such_button\nquit\n");
    }
    QProcess bad;
    start(bad, {"--script", script});
    ASSERT_TRUE(bad.waitForFinished(20000));
    EXPECT_EQ(bad.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(bad.readAllStandardError()).contains("s.txt:2: no control \"no_such_button\""));
}

TEST_F(Program, ScriptLinesThatCannotBeCarriedOutFailOnTheirLine)
{
    struct Case {
        const char* script;
        const char* says; // after "s.txt:LINE: "
    };
    const Case cases[] = {
        {"value DPI_slider_1 abc\n", "s.txt:1: \"value\" needs a number"},
        {"wait 10\nwait -5\n", "s.txt:2: wait needs milliseconds"},
        {"wait abc\n", "s.txt:1: wait needs milliseconds"},
        {"click\n", "s.txt:1: no control"},
        {"link mouse-receiver up\n", "s.txt:1: the simulated receiver is not plugged"},
        {"link mouse-receiver sideways\n", "s.txt:1: link needs a receiver"},
        {"link keyboard up\n", "s.txt:1: link needs a receiver"},
        {"plug toaster\n", "s.txt:1: cannot simulate \"toaster\""},
        {"click\tclosebtn\n", "s.txt:1: a tab in the line"},
        {"answer 7\n", "s.txt:1: \"answer\" needs a number from 0 to 1"},
        {"send 3332\n", "s.txt:1: send needs NUMBER WPARAM LPARAM"},
        {"menu bogus\n", "s.txt:1: menu needs an item of the tray menu or the macro row menu"},
        // The firmware prompt asks; nobody answered it beforehand: the script fails there instead
        // of waiting for ever on a box nobody sees.
        {"wait 10\nsend 3332 0x226E 0x105\nquit\n", "s.txt:2: the message box"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("s.txt");
    for (const Case& c : cases) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.script);
        f.close();
        QProcess p;
        start(p, {"--simulate", "mouse", "--script", path});
        ASSERT_TRUE(p.waitForFinished(15000)) << c.script;
        EXPECT_EQ(p.exitCode(), 2) << c.script;
        const QByteArray err = p.readAllStandardError();
        EXPECT_TRUE(err.contains(c.says)) << c.script << "-> " << err.toStdString();
    }
}

TEST_F(Program, UnderAFileSizeLimitWritesFailButTheProgramRunsOn)
{
    // A one-block file-size limit: every profile the start writes fails (EFBIG) instead of ending
    // the program with SIGXFSZ.
    QFile script(runtime.filePath("s.txt"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("answer 1\nwait 700\ndump DPI_edit_1\nquit\n"); // the user is told the profile was not saved
    script.close();
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("ulimit -f 1 && exec \"$0\" \"$@\""), kApp,
                                        QStringLiteral("--simulate"), QStringLiteral("mouse"), QStringLiteral("--script"), script.fileName()});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    const QByteArray err = p.readAllStandardError();
    EXPECT_EQ(p.exitCode(), 0) << err.toStdString();
    EXPECT_TRUE(p.readAllStandardOutput().contains("DPI_edit_1"));
    EXPECT_EQ(err.count("消息框 "), 1) << err.toStdString(); // told once
    EXPECT_TRUE(err.contains("mouse")) << err.toStdString();
}

TEST_F(Program, AWorkToolQueryGetsTheIdentificationBlock)
{
    QProcess first;
    start(first);
    ASSERT_TRUE(waitForSocket());
    QProcess s;
    s.setProcessEnvironment(env);
    s.start(kSend, {"--worktool"});
    ASSERT_TRUE(s.waitForFinished(5000));
    EXPECT_EQ(s.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(s.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "result 0"); // every message of the main window returns 0
    ASSERT_EQ(lines[1].size(), 2048); // 1024 bytes
    // 2, 3, 0, 2, then four device types; the mouse first: 0x320F, 0x226E, kind 2.
    EXPECT_TRUE(lines[1].startsWith("02000000030000000000000002000000040000000f320000" "6e220000" "02000000"));
    EXPECT_EQ(send({"--number", "16"}), 0);
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitCode(), 0);
}

TEST_F(Program, NothingListeningIsReported)
{
    EXPECT_EQ(send({"--activate"}), 1);
}

TEST(MainWindow, RendersTheShippedSkinOnceTheFirstScanIsDone)
{
    QTemporaryDir data;
    auto bus = std::make_shared<sim::SimBus>();
    DeviceEnvironment& env = deviceEnvironment();
    env.backend = std::make_shared<sim::SimBackend>(bus);
    env.dataRoot = data.path().toStdWString() + L"/";
    env.programFolder = QStringLiteral(Q9_APP_DIR "/").toStdWString();
    qputenv("Q9ZEN_CONFIG_DIR", data.filePath(QStringLiteral("config")).toUtf8());
    ui::Resources::instance().release();
    app::setupSkinResources(QStringLiteral(Q9_APP_DIR "/skin/"));
    app::CMainWnd wnd;
    ASSERT_TRUE(wnd.create(app::kMainTitle));
    wnd.show();
    for (int i = 0; i < 200 && !wnd.firstScanDone(); ++i)
        QTest::qWait(10);
    ASSERT_TRUE(wnd.firstScanDone());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wnd));
    QTest::qWait(50);
    EXPECT_EQ(wnd.size(), QSize(800, 572));
    for (const char* name : {"closebtn", "minbtn", "maxbtn", "restorebtn", "skinbtn", "setbtn", "gamemodebtn",
                             "cloudbtn", "smarteyesbtn", "device_select_layout", "device_switch",
                             "device_power_switch", "No_device_Link", "str_test", "text_test"})
        EXPECT_NE(wnd.findControl(name), nullptr) << name;
    EXPECT_TRUE(wnd.findControl("str_test")->isHidden());
    EXPECT_TRUE(wnd.findControl("No_device_Link")->isVisible()); // no device on this bus
    // In the desktop's language (the settings store of this test has no choice yet).
    const QString title = wnd.findControl("no_device_title")->text();
    EXPECT_TRUE(title == QStringLiteral("未检测到设备") || title == QStringLiteral("No device detected")) << title.toStdString();
    EXPECT_EQ(wnd.mice().size(), 1u); // the mouse's page exists from the start, its tab hidden
    EXPECT_EQ(wnd.currentDevice(), nullptr);

    const QImage shot = wnd.grab().toImage();
    ASSERT_TRUE(shot.save(QStringLiteral(Q9_BINARY_DIR "/main_window.png")));
    EXPECT_LT(QColor(shot.pixel(400, 300)).lightness(), 60);
    int bright = 0, accent = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 40; x < 220; ++x)
            bright += QColor(shot.pixel(x, y)).lightness() > 200;
    for (int y = 150; y < 340; ++y)
        for (int x = 300; x < 500; ++x) {
            const QColor c(shot.pixel(x, y));
            accent += c.blue() > 180 && c.red() < 80;
        }
    EXPECT_GT(bright, 50);
    EXPECT_GT(accent, 50);
    wnd.shutDown();
    ui::Resources::instance().release();
}

} // namespace
} // namespace q9

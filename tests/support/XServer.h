#pragma once
// A private X server for tests: Xvfb on a display it picks itself, keys and buttons played with
// xdotool (XTEST, so they take the server's own input path), and a main() that starts the server
// before the application so that the application shows on it. Tests skip with the reason where
// Xvfb or xdotool is missing or the server does not start.
#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace q9::test {

inline std::string g_display;    // ":N" of the private server
inline std::string g_skipReason; // set when the server or xdotool is missing

// Xvfb picks a free display itself and writes its number to -displayfd once it accepts clients.
class XServer {
public:
    ~XServer()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    bool start(std::string* why)
    {
        int fds[2];
        if (pipe(fds) != 0) {
            *why = "no pipe for Xvfb";
            return false;
        }
        const std::string fd = std::to_string(fds[1]);
        std::vector<std::string> args{"Xvfb", "-displayfd", fd, "-noreset", "-nolisten", "tcp", "-screen", "0", "1280x800x24"};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            pid_ = -1;
            close(fds[0]);
            *why = "Xvfb is not on PATH";
            return false;
        }
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (c != '\n' || number.empty()) {
            *why = "Xvfb did not start within 10 s";
            return false;
        }
        display_ = ":" + number;
        return true;
    }

    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

inline void xdotool(const QStringList& args)
{
    QProcess p;
    p.start("xdotool", args);
    ASSERT_TRUE(p.waitForFinished(5000)) << args.join(' ').toStdString();
    ASSERT_EQ(p.exitCode(), 0) << args.join(' ').toStdString() << ": " << p.readAllStandardError().toStdString();
}

// Starts the server, points Qt at it (or at the offscreen platform when there is none) and runs
// the tests inside one application.
inline int runOnPrivateXServer(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no server.
    XServer server;
    std::string why;
    if (GTEST_FLAG_GET(list_tests))
        g_skipReason = "only listing";
    else if (QStandardPaths::findExecutable("xdotool").isEmpty())
        g_skipReason = "xdotool is not on PATH";
    else if (!server.start(&why))
        g_skipReason = why;
    if (g_skipReason.empty()) {
        g_display = server.display();
        qputenv("DISPLAY", QByteArray::fromStdString(server.display()));
        qputenv("QT_QPA_PLATFORM", "xcb");
        // The private server has no session bus. Without an address libdbus would try to launch
        // one for the display when Qt's desktop services ask (and leave its buffers behind).
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    } // the application leaves the server before the server ends
    return result;
}

} // namespace q9::test

#pragma once
// Automation for scenario tests and scripts (--script FILE): one command per line, run on the UI
// thread after the previous one has finished and the event queue has drained. Commands act on
// controls as the user's input would, so the controls' own notification paths run.
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
#include <memory>

namespace q9::sim {
struct Simulation;
}

namespace q9::app {

class CMainWnd;

class ScriptRunner {
public:
    ScriptRunner(CMainWnd& wnd, sim::Simulation* simulation);
    // Runs one command line. False (with error() set) for an unknown command or a missing control.
    bool run(const QString& line);
    QString error() const { return error_; }
    bool quitRequested() const { return quit_; }
    // Lines printed by "dump".
    std::function<void(const QString&)> output;

    // The milliseconds of a "wait" line; -1 for any other line, kBadWait for a wait without a
    // number of 0 or more.
    static constexpr int kBadWait = -2;
    static int waitMilliseconds(const QString& line);
    // Runs a whole file from the event loop; ends the program with 0 after "quit" or the last line,
    // 2 on the first failing line.
    static void runFile(CMainWnd& wnd, sim::Simulation* simulation, const QString& path);
    // Whether the script run by runFile failed: the program ends with 2 whatever else asked it to end.
    static bool scriptFailed() { return failed_; }

private:
    class Target;
    bool fail(const QString& why);
    QWidget* find(const QString& name) const;

    static bool failed_;
    CMainWnd& wnd_;
    sim::Simulation* sim_;
    QString error_;
    bool quit_ = false;
};

} // namespace q9::app

// Q9 Zen 1K Gaming Mouse configuration utility: the process entry.
#include "app/DeviceListing.h"
#include "app/MainWnd.h"
#include "app/Script.h"
#include "app/Startup.h"
#include "device/DeviceEnvironment.h"
#include "hid/HidapiBackend.h"
#include "platform/Folders.h"
#include "platform/LocalChannel.h"
#include "platform/Messages.h"
#include "platform/SingleInstance.h"
#include "platform/Trace.h"
#include "profile/JsonFile.h"
#include "sim/Simulation.h"
#include "ui/Resources.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QMessageBox>
#include <QTimer>

#include <csignal>
#include <iostream>
#include <memory>
#include <string>

namespace {

struct Options {
    bool list = false;
    bool simulate = false;
    std::string devices;
    QString screenshot;
    QString script;
};

void usage(std::ostream& out)
{
    out << "Usage: q9zen [--list] [--simulate DEVICES] [--script FILE] [--screenshot FILE.png]\n"
           "  --list              print the supported HID interfaces found and the mouse's device information\n"
           "  --simulate DEVICES  plug emulated devices at start: a comma-separated list of mouse,\n"
           "                      mouse-receiver, keyboard, keyboard-receiver, mousepad, headset\n"
           "  --script FILE       run the commands of FILE once the devices present are found (see README)\n"
           "  --screenshot FILE   save the main window as PNG once it is shown, then end\n"
           "  --help, --version   print this text or the version, then end\n";
}

int badArguments(const std::string& why)
{
    std::cerr << "q9zen: " << why << "\n";
    usage(std::cerr);
    return 2;
}

// 0: go on; 1: done (help, version); 2: bad arguments.
int parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // An option that takes a value: "--name VALUE" or "--name=VALUE".
        auto value = [&](const char* name, std::string& out) {
            const std::string n = name;
            if (arg == n) {
                if (i + 1 >= argc)
                    return false;
                out = argv[++i];
                return true;
            }
            out = arg.substr(n.size() + 1);
            return true;
        };
        auto is = [&](const char* name) { return arg == name || arg.rfind(std::string(name) + "=", 0) == 0; };
        std::string v;
        if (arg == "--list") {
            o.list = true;
        } else if (is("--simulate") || is("--screenshot") || is("--script")) {
            const std::string name = arg.substr(0, arg.find('='));
            if (!value(name.c_str(), v) || v.empty())
                return badArguments("the option " + name + " needs a value");
            if (name == "--simulate") {
                o.simulate = true;
                o.devices = v;
            } else if (name == "--screenshot") {
                o.screenshot = QString::fromLocal8Bit(v.c_str());
            } else {
                o.script = QString::fromLocal8Bit(v.c_str());
            }
        } else if (arg == "--help" || arg == "-h") {
            usage(std::cout);
            return 1;
        } else if (arg == "--version") {
            std::cout << "q9zen " Q9ZEN_VERSION "\n";
            return 1;
        } else {
            return badArguments("unknown argument \"" + arg + "\"");
        }
    }
    if (o.simulate) {
        const auto unknown = q9::sim::unknownDeviceNames(o.devices);
        if (!unknown.empty())
            return badArguments("\"" + unknown.front() + "\" cannot be simulated; the devices are mouse, mouse-receiver, "
                                "keyboard, keyboard-receiver, mousepad and headset");
    }
    if (!o.screenshot.isEmpty() && !QFileInfo(o.screenshot).absoluteDir().exists())
        return badArguments("the folder of the screenshot \"" + o.screenshot.toStdString() + "\" does not exist");
    if (!o.script.isEmpty() && !QFileInfo(o.script).isFile())
        return badArguments("the script \"" + o.script.toStdString() + "\" cannot be read");
    return 0;
}

std::unique_ptr<q9::sim::Simulation> startSimulation(const std::string& list)
{
    auto s = q9::sim::startSimulation(list);
    for (const auto& name : s->unknown)
        std::cerr << "q9zen: \"" << name << "\" is not a device that can be simulated; ignored\n";
    for (const auto& name : s->notYet)
        std::cerr << "q9zen: the " << name << " emulator does not exist yet; ignored\n";
    return s;
}

std::shared_ptr<q9::CompositeBackend> makeBackend(q9::sim::Simulation* simulation)
{
    auto backend = std::make_shared<q9::CompositeBackend>();
    backend->add(std::make_shared<q9::HidapiBackend>());
    if (simulation)
        backend->add(std::make_shared<q9::sim::SimBackend>(simulation->bus));
    return backend;
}

int listDevices(const Options& o)
{
    auto simulation = o.simulate ? startSimulation(o.devices) : nullptr;
    q9::printDeviceListing(makeBackend(simulation.get()), std::cout);
    return 0;
}

// Messages from other processes reach the main window like window messages.
std::wstring wide(const QString& s) { return s.toStdWString(); }

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (const int r = parse(argc, argv, options))
        return r == 1 ? 0 : 2;
    if (options.list)
        return listDevices(options);

#ifdef SIGXFSZ
    // Past a file-size limit a write fails (EFBIG) like a full disk, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // Messages that exist before anything else runs.
    q9::app::registerStartupMessages();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(q9::app::kProductName));
    QApplication::setQuitOnLastWindowClosed(false);

    q9::app::PrivateFonts fonts;
    if (!fonts.load(q9::folders::programFolder()))
        QMessageBox::warning(nullptr, QString(), QStringLiteral("加载内存字体错误"));
    {
        // Text in Qt's own widgets (edits, combo lists) falls back to the program's Chinese font
        // too, rather than to whatever large CJK collection the desktop would pick.
        QFont f = QApplication::font();
        f.setFamilies({f.family(), QStringLiteral("Droid Sans Fallback")});
        QApplication::setFont(f);
    }

    const uint32_t activation = q9::app::activationMessage();
    q9::trace("软件标示：" + std::to_string(activation));
    if (activation < 0xC000 || activation > 0xFFFF)
        return 0;

    // One copy per user: a second start brings the running copy to the front and ends.
    q9::SingleInstance instance;
    if (!instance.acquire()) {
        if (!options.script.isEmpty() || !options.screenshot.isEmpty()) {
            // A script or a screenshot is work for this process, which cannot do it: say so.
            std::cerr << "q9zen: a copy of the program is running already; --script and --screenshot need it ended\n";
            return 2;
        }
        q9::IpcMessage m;
        m.name = q9::app::kProductName;
        m.wParam = 0;
        m.lParam = 1;
        q9::sendIpcMessage(m);
        return 0;
    }

    q9::app::setupSkinResources(q9::folders::skinFolder());
    q9::app::registerGuidMessages();

    // Emulated devices when asked for; a script may plug them later, so it gets a bus too.
    std::unique_ptr<q9::sim::Simulation> simulation;
    if (options.simulate || !options.script.isEmpty())
        simulation = startSimulation(options.devices);
    q9::DeviceEnvironment& env = q9::deviceEnvironment();
    env.backend = makeBackend(simulation.get());
    // No vendor library exists here; the simulated headset brings its sound chip's.
    if (simulation)
        env.audioLibrary = simulation->soundChip;
    env.dataRoot = wide(q9::folders::userDataFolder());
    env.programFolder = wide(q9::folders::programFolder());
    // Temporary files of writes that a process ended before it could finish (a crash, a kill).
    q9::RemoveStaleTemporaries(env.dataRoot);

    int exitCode = 0;
    {
        q9::app::CMainWnd wnd;
        wnd.setStartsAudioCapture(true);
        if (!wnd.create(q9::app::kMainTitle))
            return 0;
        q9::IpcServer ipc([&wnd](const q9::IpcMessage& m) { return wnd.deliver(m); });
        ipc.listen();
        wnd.setFirstScanCallback([&] {
            if (!options.script.isEmpty())
                q9::app::ScriptRunner::runFile(wnd, simulation.get(), options.script);
            if (!options.screenshot.isEmpty())
                QTimer::singleShot(600, &wnd, [&wnd, &options] {
                    wnd.grab().save(options.screenshot);
                    QApplication::quit();
                });
        });
        wnd.centerWindow();
        wnd.show();
        exitCode = QApplication::exec();
        if (q9::app::ScriptRunner::scriptFailed())
            exitCode = 2;
        wnd.shutDown();
    }
    q9::ui::Resources::instance().release();
    fonts.release();
    return exitCode;
}

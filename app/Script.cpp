#include "app/Script.h"

#include "app/DialogService.h"
#include "app/MainWnd.h"
#include "device/UsbDevice.h"
#include "sim/KeyboardEmulator.h"
#include "sim/MouseEmulator.h"
#include "sim/MousePadEmulator.h"
#include "sim/HeadsetEmulator.h"
#include "sim/Simulation.h"
#include "ui/ColorPalette.h"
#include "ui/Combo.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/List.h"
#include "ui/Slider.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTextStream>
#include <QTimer>

#include <climits>
#include <iostream>
#include <memory>

namespace q9::app {

namespace {

void drain()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Presses and releases the left button at the widget's centre, as a user's click.
void clickOn(QWidget* w)
{
    const QPointF at = QRectF(w->rect()).center();
    const QPointF global = w->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// The emulator of a kind (made and added to the bus when asked to and missing).
template <class Emulator>
Emulator* emulatorOf(sim::Simulation* s, bool create)
{
    if (!s)
        return nullptr;
    for (auto& d : s->devices)
        if (auto* e = dynamic_cast<Emulator*>(d.get()))
            return e;
    if (!create)
        return nullptr;
    auto e = std::make_unique<Emulator>(s->bus);
    auto* raw = e.get();
    s->devices.push_back(std::move(e));
    return raw;
}

// "plug NAME", "unplug NAME" and "link NAME up|down" on one emulator's cable or receiver.
template <class Emulator>
bool plugCommand(sim::Simulation* s, const QString& command, const QString& name, const QString& arg, QString& error)
{
    const bool receiver = name.endsWith(QLatin1String("-receiver"));
    if (command == QLatin1String("link")) {
        Emulator* e = emulatorOf<Emulator>(s, false);
        if (!receiver || (arg != QLatin1String("up") && arg != QLatin1String("down"))) {
            error = QStringLiteral("link needs a receiver (mouse-receiver, keyboard-receiver) and up|down");
            return false;
        }
        if (!e || !e->isPlugged("receiver")) {
            error = QStringLiteral("the simulated receiver is not plugged");
            return false;
        }
        e->setRadioLink(arg == QLatin1String("up"));
        return true;
    }
    const bool plug = command == QLatin1String("plug");
    Emulator* e = emulatorOf<Emulator>(s, plug);
    if (!e) {
        error = QStringLiteral("no simulated device \"%1\"").arg(name);
        return false;
    }
    if constexpr (requires { e->plugReceiver(); }) {
        if (receiver) {
            plug ? e->plugReceiver() : e->unplugReceiver();
            return true;
        }
    }
    plug ? e->plugCable() : e->unplugCable();
    return true;
}

} // namespace

ScriptRunner::ScriptRunner(CMainWnd& wnd, sim::Simulation* simulation) : wnd_(wnd), sim_(simulation) {}

bool ScriptRunner::fail(const QString& why)
{
    error_ = why;
    return false;
}

QWidget* ScriptRunner::find(const QString& name) const
{
    // An open modal window first (the user can reach nothing else), then the current device's
    // page, then the main window.
    if (QWidget* modal = QApplication::activeModalWidget())
        if (auto* w = qobject_cast<ui::Window*>(modal); w && w != &wnd_)
            if (ui::Control* c = w->findControl(name))
                return c;
    if (CTarvenixUSBDevice* d = wnd_.currentDevice())
        if (ui::Control* c = ui::Window::findSubControlByName(d, name))
            return c;
    return wnd_.findControl(name);
}

namespace {

QString commandLine(const QString& rawLine)
{
    QString line = rawLine;
    const int hash = line.indexOf('#');
    if (hash >= 0)
        line = line.left(hash);
    return line.trimmed();
}

} // namespace

int ScriptRunner::waitMilliseconds(const QString& rawLine)
{
    const QString line = commandLine(rawLine);
    if (line.section(' ', 0, 0) != QLatin1String("wait"))
        return -1;
    bool ok = false;
    const int ms = line.section(' ', 1).trimmed().toInt(&ok);
    return ok && ms >= 0 ? ms : kBadWait;
}

bool ScriptRunner::failed_ = false;

bool ScriptRunner::run(const QString& rawLine)
{
    error_.clear();
    const QString line = commandLine(rawLine);
    if (line.isEmpty())
        return true;
    if (line.contains(QLatin1Char('\t')))
        return fail(QStringLiteral("a tab in the line: words are separated by spaces"));
    const QString command = line.section(' ', 0, 0);
    const QString rest = line.section(' ', 1).trimmed();
    const QStringList args = rest.split(' ', Qt::SkipEmptyParts);
    auto control = [&]() -> ui::Control* { return args.isEmpty() ? nullptr : qobject_cast<ui::Control*>(find(args[0])); };
    // A number argument; false (with the error set) when it is missing or no number.
    auto number = [&](int index, qlonglong& out, qlonglong low, qlonglong high) {
        bool ok = false;
        out = args.value(index).toLongLong(&ok, 0);
        if (!ok || out < low || out > high)
            return fail(QStringLiteral("\"%1\" needs a number from %2 to %3 as argument %4, not \"%5\"")
                            .arg(command).arg(low).arg(high).arg(index + 1).arg(args.value(index)));
        return true;
    };
    qlonglong n = 0;

    if (command == QLatin1String("plug") || command == QLatin1String("unplug") || command == QLatin1String("link")) {
        const QString name = args.value(0);
        QString error;
        bool ok = false;
        if (name == QLatin1String("mouse") || name == QLatin1String("mouse-receiver"))
            ok = plugCommand<sim::MouseEmulator>(sim_, command, name, args.value(1), error);
        else if (name == QLatin1String("keyboard") || name == QLatin1String("keyboard-receiver"))
            ok = plugCommand<sim::KeyboardEmulator>(sim_, command, name, args.value(1), error);
        else if (name == QLatin1String("mousepad"))
            ok = plugCommand<sim::MousePadEmulator>(sim_, command, name, args.value(1), error);
        else if (name == QLatin1String("headset") && command != QLatin1String("link") && sim_) {
            // Not a vendor-protocol device: the simulation keeps it apart.
            command == QLatin1String("plug") ? sim_->theHeadset().plugCable() : sim_->theHeadset().unplugCable();
            ok = true;
        } else
            error = command == QLatin1String("link") ? QStringLiteral("link needs a receiver (mouse-receiver, keyboard-receiver) and up|down")
                                                     : QStringLiteral("cannot simulate \"%1\"").arg(name);
        if (!ok)
            return fail(error);
    } else if (command == QLatin1String("click")) {
        ui::Control* c = control();
        if (!c)
            return fail(QStringLiteral("no control \"%1\"").arg(rest));
        clickOn(c);
    } else if (command == QLatin1String("select")) {
        auto* o = qobject_cast<ui::Option*>(control());
        if (!o)
            return fail(QStringLiteral("no option \"%1\"").arg(args.value(0)));
        if (args.size() > 1 && !number(1, n, 0, 1))
            return false;
        const bool want = args.size() < 2 || n == 1;
        if (o->isSelected() != want)
            clickOn(o);
    } else if (command == QLatin1String("value") || command == QLatin1String("move")) {
        auto* s = qobject_cast<ui::Slider*>(control());
        if (!s)
            return fail(QStringLiteral("no slider \"%1\"").arg(args.value(0)));
        if (!number(1, n, INT_MIN, INT_MAX))
            return false;
        s->setValue(int(n));
        s->sendNotify(ui::notify::MoveValueChanged);
        if (command == QLatin1String("value"))
            s->sendNotify(ui::notify::ValueChanged); // let go
    } else if (command == QLatin1String("text")) {
        ui::Control* c = control();
        if (!c)
            return fail(QStringLiteral("no control \"%1\"").arg(args.value(0)));
        c->setText(rest.section(' ', 1));
    } else if (command == QLatin1String("colour")) {
        auto* p = qobject_cast<ui::ColorPalette*>(control());
        if (!p)
            return fail(QStringLiteral("no colour palette \"%1\"").arg(args.value(0)));
        if (!number(1, n, 0, 0xFFFFFF))
            return false;
        p->setSelectColor(0xFF000000u | uint32_t(n));
        p->sendNotify(ui::notify::ColorChanged, p->getSelectColor(), 0);
    } else if (command == QLatin1String("killfocus") || command == QLatin1String("focus")) {
        ui::Control* c = control();
        if (!c)
            return fail(QStringLiteral("no control \"%1\"").arg(rest));
        QWidget* target = c;
        if (auto* e = qobject_cast<ui::Edit*>(c))
            target = e->lineEdit();
        QFocusEvent event(command == QLatin1String("focus") ? QEvent::FocusIn : QEvent::FocusOut, Qt::OtherFocusReason);
        QApplication::sendEvent(target, &event);
    } else if (command == QLatin1String("item")) {
        ui::Control* c = control();
        if (c && !number(1, n, 0, INT_MAX))
            return false;
        const int index = int(n);
        if (auto* combo = qobject_cast<ui::Combo*>(c)) {
            if (index < 0 || index >= combo->count())
                return fail(QStringLiteral("no item %1 in \"%2\"").arg(index).arg(args.value(0)));
            combo->comboBox()->setCurrentIndex(index);
            emit combo->comboBox()->activated(index);
        } else if (auto* list = qobject_cast<ui::List*>(c)) {
            if (!list->selectItem(index))
                return fail(QStringLiteral("no item %1 in \"%2\"").arg(index).arg(args.value(0)));
        } else {
            return fail(QStringLiteral("no combo or list \"%1\"").arg(args.value(0)));
        }
    } else if (command == QLatin1String("answer")) {
        if (!number(0, n, 0, 1))
            return false;
        DialogService::instance().queueAnswer(int(n));
    } else if (command == QLatin1String("file")) {
        DialogService::instance().queueFile(rest);
    } else if (command == QLatin1String("wait")) {
        const int ms = waitMilliseconds(line);
        if (ms < 0)
            return fail(QStringLiteral("wait needs milliseconds (0 or more), not \"%1\"").arg(rest));
        QEventLoop loop; // sleeps in the event loop, serving it, without spinning
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    } else if (command == QLatin1String("dump")) {
        ui::Control* c = control();
        if (!c)
            return fail(QStringLiteral("no control \"%1\"").arg(rest));
        const auto* o = qobject_cast<ui::Option*>(c);
        const auto* p = qobject_cast<ui::Progress*>(c);
        const QString text = c->text();
        const QString described = QStringLiteral("%1 %2 visible=%3 enabled=%4 selected=%5 value=%6 text=%7")
                                 .arg(c->name(), c->getClass())
                                 .arg(c->isVisible() ? 1 : 0)
                                 .arg(c->isEnabled() ? 1 : 0)
                                 .arg(o && o->isSelected() ? 1 : 0)
                                 .arg(p ? QString::number(p->value()) : QStringLiteral("-"), text);
        if (output)
            output(described);
    } else if (command == QLatin1String("screenshot")) {
        // The window in front: an open modal window (the settings window), else the main window.
        QWidget* front = &wnd_;
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible())
            front = modal;
        if (rest.isEmpty() || !front->grab().save(rest))
            return fail(QStringLiteral("cannot write %1").arg(rest));
    } else if (command == QLatin1String("menu")) {
        // An item of the tray menu or of the macro editor's row menu, as the user picks it.
        static const QStringList items = {
            QStringLiteral("exit"), QStringLiteral("about_menu"), QStringLiteral("setwnd_menu"),
            QStringLiteral("left_down"), QStringLiteral("left_up"), QStringLiteral("left_click"),
            QStringLiteral("middle_down"), QStringLiteral("middle_up"), QStringLiteral("middle_click"),
            QStringLiteral("right_down"), QStringLiteral("right_up"), QStringLiteral("right_click"),
            QStringLiteral("forward_down"), QStringLiteral("forward_up"), QStringLiteral("forward_click"),
            QStringLiteral("back_down"), QStringLiteral("back_up"), QStringLiteral("back_click"),
            QStringLiteral("redio_previous_record_time"), QStringLiteral("redio_previous_constant_time"),
            QStringLiteral("redio_previous_ignore_time"), QStringLiteral("redio_later_record_time"),
            QStringLiteral("redio_later_constant_time"), QStringLiteral("redio_later_ignore_time"),
            QStringLiteral("macro_action_edit")};
        if (!items.contains(rest))
            return fail(QStringLiteral("menu needs an item of the tray menu or the macro row menu, not \"%1\"").arg(rest));
        wnd_.onMenu(rest);
    } else if (command == QLatin1String("send")) {
        // A window message as another program sends it: send NUMBER WPARAM LPARAM
        qlonglong msg = 0, w = 0, l = 0;
        if (args.size() != 3 || !number(0, msg, 0, 0xFFFF) || !number(1, w, LLONG_MIN, LLONG_MAX) || !number(2, l, LLONG_MIN, LLONG_MAX))
            return error_.isEmpty() ? fail(QStringLiteral("send needs NUMBER WPARAM LPARAM")) : false;
        wnd_.send(uint32_t(msg), uint64_t(w), int64_t(l));
    } else if (command == QLatin1String("quit")) {
        quit_ = true;
    } else {
        return fail(QStringLiteral("unknown command \"%1\"").arg(command));
    }
    drain();
    return true;
}

void ScriptRunner::runFile(CMainWnd& wnd, sim::Simulation* simulation, const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::cerr << "q9zen: cannot read the script " << path.toStdString() << "\n";
        QApplication::exit(2);
        return;
    }
    QStringList lines;
    QTextStream in(&f);
    while (!in.atEnd())
        lines << in.readLine();
    auto runner = std::make_shared<ScriptRunner>(wnd, simulation);
    runner->output = [](const QString& s) { std::cout << s.toStdString() << std::endl; };
    DialogService::instance().setScripted(true);
    // The line that runs now (1-based), for a dialog that comes up during it: the script fails
    // there at once, whatever the code that opened the dialog does with the cancel it gets.
    auto current = std::make_shared<int>(0);
    DialogService::instance().onUnanswered = [path, current](const QString& what) {
        std::cerr << path.toStdString() << ":" << *current << ": " << what.toStdString()
                  << " came up unanswered (put \"answer 1|0\" or \"file PATH\" before this line)\n";
        failed_ = true;
        QApplication::exit(2);
    };
    // The steps own one another only through the timer that runs the next one: when the script
    // ends, nothing is scheduled and everything is released (no cycle through the step itself).
    auto step = std::make_shared<std::function<void(int)>>();
    *step = [runner, lines, path, current, weak = std::weak_ptr(step)](int i) {
        const auto self = weak.lock();
        if (!self || failed_)
            return;
        *current = i + 1;
        if (i >= lines.size() || runner->quitRequested()) {
            QApplication::exit(0);
            return;
        }
        // "wait" hands the time back to the program's own event loop: the next line is a timer away,
        // so a scripted run paints, polls and sleeps exactly as a user's run does.
        const int waitMs = waitMilliseconds(lines[i]);
        if (waitMs == kBadWait) {
            std::cerr << path.toStdString() << ":" << i + 1 << ": wait needs milliseconds (0 or more)\n";
            failed_ = true;
            QApplication::exit(2);
            return;
        }
        if (waitMs >= 0) {
            QTimer::singleShot(waitMs, [self, i] { (*self)(i + 1); });
            return;
        }
        if (!runner->run(lines[i])) {
            if (failed_)
                return; // already told: a dialog came up unanswered
            std::cerr << path.toStdString() << ":" << i + 1 << ": " << runner->error().toStdString() << "\n";
            failed_ = true;
            QApplication::exit(2);
            return;
        }
        if (failed_)
            return;
        QTimer::singleShot(0, [self, i] { (*self)(i + 1); });
    };
    QTimer::singleShot(0, [step] { (*step)(0); });
}

} // namespace q9::app

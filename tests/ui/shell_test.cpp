// The main window as a user drives it, against the simulated bus: routing, the device strip,
// hot-plug, the profile switch, the message box and the small windows.
#include "app/DialogService.h"
#include "app/DeviceOption.h"
#include "app/MainWnd.h"
#include "app/Script.h"
#include "app/SmallWindows.h"
#include "app/Startup.h"
#include "device/DeviceEnvironment.h"
#include "device/MouseDevice.h"
#include "device/MouseRecords.h"
#include "platform/Messages.h"
#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/TextConvert.h"
#include "sim/MouseEmulator.h"
#include "sim/Simulation.h"
#include "ui/Combo.h"
#include "ui/Label.h"
#include "ui/Slider.h"
#include "ui/Resources.h"

#include "controls/KeyControls.h"
#include "support/SimulatedProgram.h"
#include "ShellFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <filesystem>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace q9 {
namespace {

using test::Shell;

TEST_F(Shell, AMousePresentAtStartHasItsTabWhenTheWindowFirstShows)
{
    start("mouse");
    ASSERT_NE(mouseTab(), nullptr);
    EXPECT_TRUE(mouseTab()->tabVisible());
    EXPECT_TRUE(mouseTab()->IsSelected());
    EXPECT_FALSE(overlayShown());
    EXPECT_TRUE(wnd->isVisible());
    EXPECT_EQ(wnd->currentDevice(), wnd->mice()[0]);
    EXPECT_EQ(wnd->mice().size(), 1u); // the page made at start took the device: no second page
}

TEST_F(Shell, PlugAndUnplugShowAndHideTheTab)
{
    start();
    EXPECT_TRUE(overlayShown());
    EXPECT_FALSE(mouseTab()->tabVisible());
    cmd("plug mouse");
    mouse = mouseEmulator();
    ASSERT_TRUE(waitFor([&] { return mouseTab()->tabVisible(); }, 2000));
    EXPECT_FALSE(overlayShown());
    ASSERT_TRUE(synced());
    EXPECT_TRUE(wnd->mice()[0]->commandChannel().isOpen());
    cmd("unplug mouse");
    ASSERT_TRUE(waitFor([&] { return !mouseTab()->tabVisible(); }, 2000));
    EXPECT_TRUE(overlayShown());
    EXPECT_FALSE(wnd->mice()[0]->commandChannel().isOpen());
    EXPECT_EQ(wnd->currentDevice(), nullptr);
}

TEST_F(Shell, WithoutADeviceTheOverlayStandsAloneAndNothingUnderItTakesInput)
{
    start();
    auto* pages = wnd->findControl("device_switch");
    auto* power = wnd->findControl("device_power_switch");
    ASSERT_TRUE(pages && power);
    auto alone = [&] { return overlayShown() && !pages->isVisible() && !power->isVisible(); };
    EXPECT_TRUE(alone()); // hidden widgets take no pointer or key input
    cmd("plug mouse");
    ASSERT_TRUE(waitFor([&] { return mouseTab()->tabVisible(); }, 2000));
    EXPECT_FALSE(overlayShown());
    EXPECT_TRUE(pages->isVisible());
    EXPECT_TRUE(power->isVisible());
    cmd("unplug mouse");
    ASSERT_TRUE(waitFor([&] { return !mouseTab()->tabVisible(); }, 2000));
    EXPECT_TRUE(alone());
}

TEST_F(Shell, APlugOrAnUnplugShowsOrHidesTheTabWithinATenthOfASecond)
{
    start();
    for (int round = 0; round < 2; ++round) { // the cable pulled and put back, as a user does
        QElapsedTimer t;
        t.start();
        cmd("plug mouse");
        ASSERT_TRUE(waitFor([&] { return mouseTab()->tabVisible(); }, 1000));
        if (test::kTimingChecked) {
            EXPECT_LT(t.elapsed(), 100);
        }
        mouse = mouseEmulator();
        ASSERT_TRUE(synced());
        t.restart();
        cmd("unplug mouse");
        ASSERT_TRUE(waitFor([&] { return !mouseTab()->tabVisible(); }, 1000));
        if (test::kTimingChecked) {
            EXPECT_LT(t.elapsed(), 100);
        }
        mouse->clearReceived();
    }
}

// Counts the paints a widget gets.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(Shell, ThePictureShowsEachNewLightAndPaintsNothingWhileTheLightStaysTheSame)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    auto* zone = qobject_cast<controls::CDeviceKeyButtonUI*>(ui::Window::findSubControlByName(m, "light_3"));
    ASSERT_NE(zone, nullptr);
    auto* picture = zone->parentWidget();
    PaintCounter counter;
    picture->installEventFilter(&counter);
    // What the screen shows over the zone: the red and blue totals of its pixels.
    auto shown = [&] {
        const QImage img = wnd->screen()->grabWindow(wnd->winId()).toImage();
        const QRect r(zone->mapTo(wnd.get(), QPoint(0, 0)) * img.devicePixelRatio(), zone->size() * img.devicePixelRatio());
        qint64 red = 0, blue = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                red += qRed(img.pixel(x, y));
                blue += qBlue(img.pixel(x, y));
            }
        return std::pair{red, blue};
    };
    LightInfoRecord l = m->lightState();
    l.selectItem = 0; // static
    l.light = 4;
    l.red = 255, l.green = 0, l.blue = 0;
    m->setLightState(l);
    ASSERT_TRUE(waitFor([&] { auto [r, b] = shown(); return r > 2 * b; }, 1000));

    QTest::qWait(200);
    counter.paints = 0;
    QTest::qWait(600);
    EXPECT_EQ(counter.paints, 0); // nothing changes, nothing is painted

    l.red = 0, l.blue = 255;
    m->setLightState(l);
    EXPECT_TRUE(waitFor([&] { auto [r, b] = shown(); return b > 2 * r; }, 1000));

    // An animated effect is painted, but not more often than the preview's frame rate.
    l.selectItem = 3; // spectrum
    l.speed = 4;      // a step every 14 ms
    m->setLightState(l);
    QTest::qWait(200);
    counter.paints = 0;
    QTest::qWait(1000);
    EXPECT_GE(counter.paints, 3);
    EXPECT_LE(counter.paints, 1000 / light::kPreviewFrameMs + 3);
    picture->removeEventFilter(&counter);
}

TEST_F(Shell, ThePictureShowsAChangedBackgroundUnderItNotAKeptOldOne)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    auto* zone = ui::Window::findSubControlByName(m, "light_3");
    ASSERT_NE(zone, nullptr);
    auto* picture = qobject_cast<ui::Control*>(zone->parentWidget());
    auto* under = qobject_cast<ui::Control*>(picture->parentWidget());
    ASSERT_TRUE(picture && under);
    QTest::qWait(300); // the picture keeps what lies under it after its first paint
    // A corner of the picture, where the mouse art leaves the layouts under it visible.
    const QPoint corner = picture->mapTo(wnd.get(), QPoint(2, 2));
    auto shownAt = [&] {
        const QImage img = wnd->screen()->grabWindow(wnd->winId()).toImage();
        return img.pixel(corner * img.devicePixelRatio());
    };
    under->setBkColor(0xFF00FF00);
    EXPECT_TRUE(waitFor([&] { return qGreen(shownAt()) > 200 && qRed(shownAt()) < 60; }, 1000));
    under->setBkColor(0xFFFF0000);
    EXPECT_TRUE(waitFor([&] { return qRed(shownAt()) > 200 && qGreen(shownAt()) < 60; }, 1000));
}

TEST_F(Shell, AProfileThatCannotBeWrittenIsReportedOnceAndTheProgramGoesOn)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    // A folder in the profile file's place: no write can replace it, whoever runs the test.
    const std::filesystem::path file(m->profilePath());
    ASSERT_TRUE(std::filesystem::remove(file));
    ASSERT_TRUE(std::filesystem::create_directory(file));
    app::DialogService& dialogs = app::DialogService::instance();
    dialogs.setScripted(true); // a box that comes up unasked for is noted, never shown
    dialogs.queueAnswer(1);
    cmd("click system_Op_tab");
    cmd("value DPI_slider_1 40");
    EXPECT_FALSE(dialogs.takeUnanswered().has_value());
    const QString told = dialogs.lastMessage();
    EXPECT_TRUE(told.contains(QString::fromStdWString(m->profilePath()))) << told.toStdString();
    EXPECT_FALSE(told.contains(QStringLiteral("%s")));
    EXPECT_FALSE(mouse->receivedCommands(0x06).empty()); // the change reached the mouse
    // Once a run: the next change that cannot be saved asks nothing.
    cmd("value DPI_slider_1 50");
    EXPECT_FALSE(dialogs.takeUnanswered().has_value());
    dialogs.setScripted(false);
    // The program goes on: the page still works.
    cmd("dump DPI_edit_1");
    ASSERT_FALSE(dumped.isEmpty());
}

// A hand-edited profile with values the mouse cannot take: the page shows and the mouse receives
// them held to the sensor's range and the option lists, not wrapped to 16 or 8 bits.
TEST_F(Shell, OutOfRangeProfileValuesAreHeldBeforeTheyAreShownOrSent)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* device = wnd->mice()[0];
    Json::Value root = ReadJsonFile(device->profilePath());
    Json::Value& section = root["Device"][0];
    section["DPIStages"]["StageDPIs"][3]["StageDPIX"] = 999999;
    section["DPIStages"]["StageDPIs"][3]["StageDPIY"] = -5;
    section["DPIStages"]["StageActive"] = 40;
    section["ReportStages"]["StageActive"] = 300;
    section["ReportStages"]["key_debounce_time"] = 1e308;
    section["ReportStages"]["device_sleep2"] = 77;
    section["ReportStages"]["ble_sleep1"] = 0;
    ASSERT_EQ(WriteJsonFile(device->profilePath(), root), 0);

    mouse->clearReceived();
    cmd("item device_profile_combo 0"); // the user takes the profile up again
    ASSERT_TRUE(waitFor([&] { return !mouse->receivedCommands(0x06).empty(); }, 3000));
    const int maxStep = mouse->config().dpiSteps;
    auto* page = device;
    auto* slider = qobject_cast<ui::Slider*>(ui::Window::findSubControlByName(page, "DPI_slider_3"));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->value(), maxStep);
    EXPECT_EQ(ui::Window::findSubControlByName(page, "DPI_edit_3")->text(),
              QString::number(dpiFromStep(device->sensor(), maxStep, device->dpiStep(), device->dpiBase())));

    const auto memory = mouse->settingsMemory();
    const size_t stage3 = 14 + 9 * 3;
    EXPECT_EQ(memory[stage3 + 2] | memory[stage3 + 3] << 8, maxStep);
    EXPECT_EQ(memory[stage3 + 4] | memory[stage3 + 5] << 8, 0);
    EXPECT_EQ(memory[11], 4);  // the last report-rate option
    ASSERT_LT(memory[12], 7);  // a stage there is, and one that is switched on
    EXPECT_EQ(memory[14 + 9 * memory[12]], 1);
    EXPECT_EQ(memory[81], 7);  // the last debounce item
    EXPECT_EQ(memory[80], 6);  // sleep options lie in their combo's values
    EXPECT_EQ(memory[77], 1);
}

TEST_F(Shell, AMinimisedOrHiddenWindowStopsThePreviewAndShowingItStartsItAgain)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    EXPECT_TRUE(m->pictureShown());
    wnd->showMinimized();
    EXPECT_TRUE(waitFor([&] { return !m->pictureShown(); }, 1000));
    wnd->showNormal();
    EXPECT_TRUE(waitFor([&] { return m->pictureShown(); }, 1000));
    cmd("click closebtn"); // to the tray, or minimised where the desktop has none
    EXPECT_TRUE(waitFor([&] { return !m->pictureShown(); }, 1000));
    wnd->reveal();
    EXPECT_TRUE(waitFor([&] { return m->pictureShown(); }, 1000));
}

TEST_F(Shell, AReceiverWhoseMouseIsOffShowsNothingUntilTheLinkComesUp)
{
    start();
    cmd("plug mouse-receiver");
    mouse = mouseEmulator();
    cmd("link mouse-receiver down");
    // Both arrivals handled (seen on the UI thread, not in the list the watch thread writes).
    ASSERT_TRUE(waitFor([&] {
        CTarvenixUSBDevice* d = wnd->mice().empty() ? nullptr : wnd->mice()[0];
        return d && d->commandChannel().isOpen() && d->commandChannel().receiverMode() && d->readerRunning(true);
    }, 2000));
    QTest::qWait(800); // the first link check, half a second after the arrival, finds it off
    EXPECT_FALSE(mouseTab()->tabVisible());
    EXPECT_TRUE(overlayShown());
    cmd("link mouse-receiver up");
    ASSERT_TRUE(waitFor([&] { return mouseTab()->tabVisible(); }, 6500)); // the next check, 5 s later
    EXPECT_TRUE(wnd->mice()[0]->commandChannel().receiverMode());
}

// A change that finds the receiver's mouse switched off (made before the next link check hides the
// page) is written when the mouse answers again, whether the page was hidden meanwhile or not.
TEST_F(Shell, AChangeMadeWhileTheLinkIsDownReachesTheMouseWhenItReturns)
{
    for (bool hiddenMeanwhile : {true, false}) {
        SCOPED_TRACE(hiddenMeanwhile ? "page hidden meanwhile" : "link back before the next check");
        start("mouse-receiver");
        ASSERT_TRUE(waitFor([&] { return mouseTab() && mouseTab()->tabVisible(); }, 3000));
        ASSERT_TRUE(synced());
        CTarvenixMouseDevice* m = wnd->mice()[0];
        const int step = mouse->settingsMemory()[14 + 9 + 2] == 40 ? 41 : 40;
        cmd("click system_Op_tab");
        cmd("link mouse-receiver down");
        cmd(QStringLiteral("value DPI_slider_1 %1").arg(step));
        EXPECT_NE(mouse->settingsMemory()[14 + 9 + 2], step);
        if (hiddenMeanwhile) {
            ASSERT_TRUE(waitFor([&] { return !mouseTab()->tabVisible(); }, 4000));
        }
        cmd("link mouse-receiver up");
        EXPECT_TRUE(waitFor([&] { return mouse->settingsMemory()[14 + 9 + 2] == step; }, 4000));
        EXPECT_TRUE(waitFor([&] { return mouseTab()->tabVisible(); }, 4000));
        // Profile, page and mouse agree.
        CMouseProfiledata saved;
        saved.LoadDeviceSection(m->profilePath());
        EXPECT_EQ(saved.GetDpiStages().at(1).dpiX, step);
        EXPECT_EQ(m->dpiStages().at(1).dpiX, step);
        auto* slider = qobject_cast<ui::Slider*>(ui::Window::findSubControlByName(m, "DPI_slider_1"));
        ASSERT_NE(slider, nullptr);
        EXPECT_EQ(slider->value(), step);
        TearDown();
    }
}

// What the mouse changed by itself (event 0x0401) is read, held to its range and shown; a report
// rate no option stands for selects none, so that a click on any option writes it.
TEST_F(Shell, ThePageShowsWhatIsReadFromTheMouseHeldToItsRange)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    auto option = [&](int i) {
        return qobject_cast<ui::Option*>(ui::Window::findSubControlByName(m, QStringLiteral("polling_rate_option_%1").arg(i)));
    };
    auto selected = [&] {
        int which = -1;
        for (int i = 0; i < 5; ++i)
            if (option(i) && option(i)->isSelected())
                which = i;
        return which;
    };
    struct Case {
        uint8_t rate, stage, speedByte, debounce; // as the mouse reports them
        int shownRate;                             // the option selected, -1 none
        int heldStage, heldDebounce;               // -1: any enabled stage
    };
    const Case cases[] = {
        {1, 2, 3, 5, 1, 2, 5},      // 250 Hz
        {4, 1, 2, 0, 4, 1, 0},      // 2000 Hz is option 4, not 125 Hz
        {7, 9, 253, 200, -1, -1, 7} // nothing the mouse may hold: held, or shown as unknown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "rate " << int(c.rate));
        std::vector<uint8_t> record = mouse->settingsMemory();
        record.resize(86);
        record[0] = 0;
        record[3] = c.speedByte;
        record[11] = c.rate;
        record[12] = c.stage;
        record[81] = c.debounce;
        ASSERT_EQ(m->commandChannel().writeSettings(0, record.data(), record.size()), ResultOk);
        ASSERT_TRUE(mouse->sendEvent(0x0401));
        EXPECT_TRUE(waitFor([&] { return m->mouseSystem().reportRate == c.rate && selected() == c.shownRate; }, 2000));
        EXPECT_EQ(m->mouseSystem().keyDebounceTime, c.heldDebounce);
        EXPECT_LE(m->lightState().speed, 4);
        const int stage = m->currentDpiStage();
        ASSERT_LT(stage, 7);
        EXPECT_TRUE(m->dpiStages().at(size_t(stage)).active);
        if (c.heldStage >= 0) {
            EXPECT_EQ(stage, c.heldStage);
        }
        CMouseProfiledata saved;
        saved.LoadDeviceSection(m->profilePath());
        saved.GetDpiStages(); // reads the current stage too
        EXPECT_EQ(saved.GetMouseSystem().keyDebounceTime, c.heldDebounce);
        EXPECT_EQ(saved.GetCurrentDpiStage(), stage);
    }
    cmd("click system_Op_tab");
    cmd("click polling_rate_option_0");
    EXPECT_EQ(mouse->settingsMemory()[11], 0);
}

// A stage the mouse names that is switched off does not become the current one, and no order of
// clicks switches every stage off.
TEST_F(Shell, AtLeastOneStageStaysOnAndTheCurrentOneIsOn)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    m->onDpiEnable(5, false);
    ASSERT_FALSE(m->dpiStages().at(5).active);
    const int before = m->currentDpiStage();
    ASSERT_TRUE(mouse->sendEvent(0x1150));
    QTest::qWait(200);
    EXPECT_EQ(m->currentDpiStage(), before);
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 7; ++i)
            m->onDpiEnable(round == 0 ? i : 6 - i, false);
    int on = 0;
    for (int i = 0; i < 7; ++i)
        on += m->dpiStages().at(size_t(i)).active ? 1 : 0;
    EXPECT_GE(on, 1);
    EXPECT_TRUE(m->dpiStages().at(size_t(m->currentDpiStage())).active);
    const auto memory = mouse->settingsMemory();
    EXPECT_EQ(memory[14 + 9 * memory[12]], 1); // the mouse's current stage is on too
}

// Typed DPI snaps to a step the sensor has; without the device information DPI is not editable.
TEST_F(Shell, TypedDpiIsHeldToTheSensorAndNeedsTheDeviceInformation)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    cmd("click system_Op_tab");
    cmd("text DPI_edit_1 26000");
    cmd("killfocus DPI_edit_1");
    const int maxStep = mouse->config().dpiSteps;
    EXPECT_EQ(mouse->settingsMemory()[14 + 9 + 2], maxStep);
    auto* edit = ui::Window::findSubControlByName(m, "DPI_edit_1");
    EXPECT_EQ(edit->text(), QString::number(dpiFromStep(m->sensor(), maxStep, m->dpiStep(), m->dpiBase())));

    // The information read fails on the next connection (the macro download says so).
    app::DialogService& dialogs = app::DialogService::instance();
    dialogs.setScripted(true);
    mouse->failCommand(0x03, 0xFF);
    ASSERT_TRUE(replugCable());
    auto* slider = ui::Window::findSubControlByName(m, "DPI_slider_1");
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(slider->isEnabled());
    mouse->clearReceived();
    m->onDpiEditDone(1); // even if the edit were reached
    EXPECT_EQ(mouse->settingsMemory()[14 + 9 + 2], maxStep);
    mouse->clearFailures();
    ASSERT_TRUE(replugCable());
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(slider->isEnabled());
    dialogs.setScripted(false);
}

// Link checks go on after the cable of a mouse on the receiver came and went.
TEST_F(Shell, LinkChecksGoOnAfterTheCableCameAndWent)
{
    start("mouse-receiver");
    ASSERT_TRUE(waitFor([&] { return mouseTab() && mouseTab()->tabVisible(); }, 3000));
    cmd("plug mouse");
    ASSERT_TRUE(waitFor([&] { return !wnd->mice()[0]->commandChannel().receiverMode(); }, 2000));
    QTest::qWait(3500); // long enough for a link check to find the cable and stop
    cmd("unplug mouse");
    ASSERT_TRUE(waitFor([&] { return wnd->mice()[0]->commandChannel().receiverMode(); }, 2000));
    cmd("link mouse-receiver down");
    EXPECT_TRUE(waitFor([&] { return !mouseTab()->tabVisible(); }, 5000));
}

// A write the mouse refuses is told once; the next connection writes the profile, so that profile
// and mouse agree.
TEST_F(Shell, AFailedWriteIsToldOnceAndTheNextConnectionWritesTheProfile)
{
    start("mouse");
    ASSERT_TRUE(synced());
    app::DialogService& dialogs = app::DialogService::instance();
    dialogs.setScripted(true);
    dialogs.queueAnswer(1);
    mouse->setSilent(true, 0x06); // the mouse takes nothing and answers nothing
    cmd("click system_Op_tab");
    cmd("value DPI_slider_1 40");
    EXPECT_FALSE(dialogs.takeUnanswered().has_value());
    EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("message_text_7"));
    cmd("value DPI_slider_1 41"); // not asked again
    EXPECT_FALSE(dialogs.takeUnanswered().has_value());
    dialogs.setScripted(false);
    EXPECT_NE(mouse->settingsMemory()[14 + 9 + 2], 41);
    mouse->setSilent(false);
    ASSERT_TRUE(replugCable());
    EXPECT_EQ(mouse->settingsMemory()[14 + 9 + 2], 41);
}

// A battery byte above 100 is no level.
TEST_F(Shell, ABatteryLevelAbove100ShowsAsUnknown)
{
    start("mouse-receiver");
    ASSERT_TRUE(waitFor([&] { return mouseTab() && mouseTab()->tabVisible(); }, 3000));
    CTarvenixMouseDevice* m = wnd->mice()[0];
    auto* power = dynamic_cast<ui::Control*>(m->powerItem());
    ASSERT_NE(power, nullptr);
    ui::Control* value = ui::Window::findSubControlByName(power, "device_power_value");
    ASSERT_NE(value, nullptr);
    for (auto [level, shown] : {std::pair{uint8_t(255), "--"}, std::pair{uint8_t(85), "85%"}, std::pair{uint8_t(101), "--"}}) {
        mouse->setBattery(level, 0);
        m->pollPower();
        EXPECT_EQ(value->text(), QString::fromLatin1(shown));
    }
}

// A removal during a suspend is not lost, and the re-arrival opens its channel afresh.
TEST_F(Shell, AMouseReplacedDuringASuspendIsReachedAfterTheResume)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    wnd->send(0x0218, 4, 0); // suspend
    cmd("unplug mouse");
    EXPECT_TRUE(waitFor([&] { return !m->commandChannel().isOpen(); }, 3000));
    wnd->send(0x0218, 18, 0); // resume
    mouse->clearReceived();
    cmd("plug mouse");
    ASSERT_TRUE(synced());
    cmd("click system_Op_tab");
    cmd("value DPI_slider_1 40");
    EXPECT_EQ(mouse->settingsMemory()[14 + 9 + 2], 40);
}

// A game's light effect is shown for five seconds and the user's light comes back exactly; the
// game's effect is never saved into the profile, even when the profile is saved meanwhile.
TEST_F(Shell, AGameLightEventGivesBackExactlyTheUsersLight)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    const LightInfoRecord user = m->lightState();
    auto savedLight = [&] {
        CMouseProfiledata saved;
        saved.LoadDeviceSection(m->profilePath());
        return saved.GetLightInfo();
    };
    ASSERT_EQ(savedLight(), user);
    m->onReportRate(m->mouseSystem().reportRate); // the mouse holds the program's record
    const auto before = mouse->settingsMemory();
    wnd->send(registerWindowMessage("Game_Start"), 0, 0x00000003); // effect 3, brightness 0
    EXPECT_EQ(m->lightState().selectItem, 3);
    EXPECT_EQ(mouse->settingsMemory()[1], 3);
    m->onReportRate(2); // a change meanwhile saves the profile
    EXPECT_EQ(savedLight(), user);
    EXPECT_TRUE(waitFor([&] { return m->lightState() == user; }, 6500));
    const auto after = mouse->settingsMemory();
    EXPECT_TRUE(std::equal(before.begin() + 1, before.begin() + 9, after.begin() + 1)); // light bytes as the user had them
    EXPECT_EQ(savedLight(), user);
}

// "default" with no usable default profile is refused and changes nothing.
TEST_F(Shell, DefaultWithoutADefaultProfileIsRefused)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    QTemporaryDir empty;
    const std::wstring program = deviceEnvironment().programFolder;
    deviceEnvironment().programFolder = empty.path().toStdWString() + L"/";
    const std::string before = ReadFileText(m->profilePath());
    mouse->clearReceived();
    app::DialogService& dialogs = app::DialogService::instance();
    dialogs.setScripted(true);
    dialogs.queueAnswer(1); // yes, restore
    dialogs.queueAnswer(1); // the message that it cannot be done
    cmd("click default_btn");
    deviceEnvironment().programFolder = program;
    EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("message_text_default_missing"));
    EXPECT_FALSE(dialogs.takeUnanswered().has_value());
    dialogs.setScripted(false);
    EXPECT_EQ(ReadFileText(m->profilePath()), before);
    EXPECT_TRUE(mouse->receivedCommands(0x06).empty());
    EXPECT_TRUE(mouse->receivedCommands(0x09).empty());
}

// "default" on a mouse that just went out of reach says so and reaches the mouse when it answers.
TEST_F(Shell, DefaultOnAMouseOutOfReachIsToldAndWrittenWhenItReturns)
{
    start("mouse-receiver");
    ASSERT_TRUE(waitFor([&] { return mouseTab() && mouseTab()->tabVisible(); }, 3000));
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    m->onReportRate(0);
    ASSERT_EQ(mouse->settingsMemory()[11], 0);
    cmd("link mouse-receiver down");
    app::DialogService& dialogs = app::DialogService::instance();
    dialogs.setScripted(true);
    dialogs.queueAnswer(1);
    dialogs.queueAnswer(1);
    cmd("click default_btn");
    EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("message_text_7"));
    EXPECT_FALSE(dialogs.takeUnanswered().has_value());
    dialogs.setScripted(false);
    const int restored = m->mouseSystem().reportRate;
    ASSERT_NE(restored, 0);
    cmd("link mouse-receiver up");
    EXPECT_TRUE(waitFor([&] { return mouse->settingsMemory()[11] == restored; }, 6500));
}

// A stray "tab present" message shows no tab for a device that is not there.
TEST_F(Shell, AStrayPresenceMessageShowsNoTab)
{
    start();
    ASSERT_NE(mouseTab(), nullptr);
    const auto all = wnd->tabs();
    const int index = int(std::find(all.begin(), all.end(), mouseTab()) - all.begin());
    wnd->send(app::kMsgTabPresence, uint64_t(index), 1);
    EXPECT_FALSE(mouseTab()->tabVisible());
    EXPECT_TRUE(overlayShown());
}

// Without a tray, a display change leaves the minimised window reachable.
TEST_F(Shell, ADisplayChangeKeepsAMinimisedWindowReachableWithoutATray)
{
    start("mouse");
    if (wnd->hasTray())
        GTEST_SKIP() << "this desktop has a tray";
    cmd("click closebtn");
    ASSERT_TRUE(waitFor([&] { return wnd->isMinimized(); }, 1000));
    wnd->send(0x007E, 0, 0);
    QTest::qWait(50);
    EXPECT_TRUE(wnd->isVisible());
    EXPECT_TRUE(wnd->isMinimized());
}

// A change made right after picking another profile lands in the picked profile, not the old one.
TEST_F(Shell, AChangeRightAfterPickingAProfileLandsInThePickedOne)
{
    const QString folder = data.path() + QStringLiteral("/mouse/");
    ASSERT_TRUE(QDir().mkpath(folder));
    const Json::Value defaults = ReadJsonFile(QStringLiteral(Q9_APP_DIR "/DefaultData/mouse.Json").toStdWString());
    ASSERT_TRUE(defaults.isObject());
    Json::Value list(Json::objectValue);
    for (const char* id : {"A", "B"}) {
        Json::Value entry(Json::objectValue);
        entry["profilename"] = id;
        entry["profileUUID"] = id;
        list["profilelist"].append(entry);
        Json::Value profile = defaults;
        profile["profilename"] = id;
        profile["profileUUID"] = id;
        if (std::string(id) == "A")
            profile["Device"][0]["DPIStages"]["StageDPIs"][3]["StageDPIX"] = 33; // A's own
        ASSERT_EQ(WriteJsonFile((folder + QLatin1String(id) + QStringLiteral(".Json")).toStdWString(), profile), 0);
    }
    list["profileselect"] = 0;
    ASSERT_EQ(WriteJsonFile((folder + QStringLiteral("ProfileList.ini")).toStdWString(), list), 0);

    start("mouse");
    ASSERT_TRUE(synced());
    auto stage1 = [&](const char* id) {
        CMouseProfiledata doc;
        doc.LoadDeviceSection((folder + QLatin1String(id) + QStringLiteral(".Json")).toStdWString());
        return doc.GetDpiStages().at(1).dpiX;
    };
    const int step = stage1("A") == 40 ? 41 : 40;
    cmd("click system_Op_tab");
    cmd("item device_profile_combo 1");
    cmd(QStringLiteral("value DPI_slider_1 %1").arg(step)); // before the device is written
    QTest::qWait(600);
    EXPECT_EQ(stage1("B"), step);
    EXPECT_NE(stage1("A"), step);
    CMouseProfiledata b;
    b.LoadDeviceSection((folder + QStringLiteral("B.Json")).toStdWString());
    EXPECT_NE(b.GetDpiStages().at(3).dpiX, 33); // B keeps its own stages, not A's
    EXPECT_EQ(mouse->settingsMemory()[14 + 9 + 2], step);
    EXPECT_EQ(wnd->mice()[0]->dpiStages().at(1).dpiX, step);
}

// The profile bar as a user drives it: every action of the menu, renaming, and switching, after
// which the mouse holds the picked profile's settings.
TEST_F(Shell, TheProfileBarDoesEveryActionAsAUserWould)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    auto* combo = qobject_cast<ui::Combo*>(ui::Window::findSubControlByName(m, "device_profile_combo"));
    ASSERT_NE(combo, nullptr);
    auto names = [&] {
        QStringList l;
        for (int i = 0; i < combo->count(); ++i)
            l << combo->itemText(i);
        return l;
    };
    auto menu = [&] { return ui::Window::findSubControlByName(m, "profile_menu_layout"); };
    auto action = [&](const char* button) {
        cmd("click profile_fun_spread_btn");
        EXPECT_TRUE(menu()->isVisible());
        cmd(QStringLiteral("click %1").arg(QLatin1String(button)));
        EXPECT_FALSE(menu()->isVisible());
    };
    app::DialogService& dialogs = app::DialogService::instance();
    dialogs.setScripted(true);

    cmd("answer 1");
    action("device_add_btn");
    cmd("answer 1");
    action("device_copy_btn");
    EXPECT_EQ(names(), (QStringList{"Profile1", "profile2", "Profile1 copy"}));

    cmd("text device_profile_name_edit Work");
    cmd("click device_profile_edit_save_btn");
    EXPECT_EQ(names().at(0), "Work");
    cmd("answer 1");
    cmd("text device_profile_name_edit PROFILE2");
    cmd("click device_profile_edit_save_btn");
    EXPECT_EQ(dialogs.lastMessage(), "message_text_5");

    QTemporaryDir files;
    const QString exported = files.filePath("work.json");
    cmd("file " + exported);
    action("device_export_btn");
    const Json::Value written = ReadJsonFile(exported.toStdWString());
    EXPECT_EQ(ReadString(Member(written, "profilename")), "Work");
    cmd("file " + exported);
    action("device_import_btn");
    EXPECT_EQ(names(), (QStringList{"Work", "profile2", "Profile1 copy", "work(1)"}));

    // Switching: the mouse holds the picked profile's settings.
    cmd("click system_Op_tab");
    cmd("value DPI_slider_1 40");
    cmd("item device_profile_combo 1");
    QTest::qWait(600);
    const int defaultStep = m->dpiStages().at(1).dpiX;
    ASSERT_NE(defaultStep, 40);
    EXPECT_EQ(mouse->settingsMemory()[14 + 9 + 2], defaultStep);
    cmd("item device_profile_combo 0");
    QTest::qWait(600);
    EXPECT_EQ(mouse->settingsMemory()[14 + 9 + 2], 40);
    // Byte for byte the record of the profile taken up.
    CMouseProfiledata& doc = m->profile();
    const auto record = buildMouseRecord(doc.GetDpiStages(), doc.GetMouseSystem(), doc.GetCurrentDpiStage(), doc.GetLightInfo(), 0);
    const auto memory = mouse->settingsMemory();
    EXPECT_TRUE(std::equal(record.begin(), record.end(), memory.begin()));

    // Deleting the imported one selects the one before it, which the mouse then holds.
    cmd("item device_profile_combo 3");
    QTest::qWait(600);
    cmd("answer 1");
    action("device_sub_btn");
    EXPECT_EQ(names(), (QStringList{"Work", "profile2", "Profile1 copy"}));
    EXPECT_EQ(combo->curSel(), 2);
    EXPECT_FALSE(dialogs.takeUnanswered().has_value());
    dialogs.setScripted(false);
}

TEST_F(Shell, TheBarSelectsOneFeatureTab)
{
    start("mouse");
    CTarvenixMouseDevice* m = wnd->mice()[0];
    const char* tabs[] = {"deng_Op_tab",       "key_Op_tab",   "macro_Op_tab",      "system_Op_tab",  "cursor_Op_tab",
                          "4120_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab", "otherset_Op_tab"};
    auto selected = [&](int i) { return qobject_cast<ui::Option*>(ui::Window::findSubControlByName(m, tabs[i]))->isSelected(); };
    for (int n : {9, 8, 0, 10, 1}) {
        SCOPED_TRACE(n);
        const bool virtualBefore = selected(7);
        m->profileBar().SelectTab(n);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(selected(i), (n == 0 || n == 10) && i == 7 ? virtualBefore : i + 1 == n) << tabs[i];
    }
}

// A DPI stage's colour picked in the colour picker reaches the mouse's record and the swatch;
// cancelling changes nothing.
TEST_F(Shell, AStageColourPickedInThePickerReachesTheMouse)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* m = wnd->mice()[0];
    app::DialogService& dialogs = app::DialogService::instance();
    dialogs.setScripted(true);
    cmd("click system_Op_tab");
    dialogs.queueColour(0xFF123456);
    cmd("click DPI_color_option_2");
    const auto memory = mouse->settingsMemory();
    const size_t stage2 = 14 + 9 * 2;
    EXPECT_EQ(memory[stage2 + 6], 0x12);
    EXPECT_EQ(memory[stage2 + 7], 0x34);
    EXPECT_EQ(memory[stage2 + 8], 0x56);
    EXPECT_EQ(ui::Window::findSubControlByName(m, "DPI_color_option_2")->bkColor(), 0xFF123456);
    mouse->clearReceived();
    cmd("answer 0"); // closed without choosing
    cmd("click DPI_color_option_2");
    EXPECT_TRUE(mouse->receivedCommands(0x06).empty());
    EXPECT_EQ(dialogs.lastMessage(), "PalletDialog");
    EXPECT_FALSE(dialogs.takeUnanswered().has_value());
    dialogs.setScripted(false);
}

TEST_F(Shell, TheCableOfAMouseOnTheReceiverKeepsOneTab)
{
    start("mouse-receiver");
    ASSERT_TRUE(waitFor([&] { return mouseTab()->tabVisible(); }, 3000));
    EXPECT_TRUE(wnd->mice()[0]->commandChannel().receiverMode());
    cmd("plug mouse");
    ASSERT_TRUE(waitFor([&] { return !wnd->mice()[0]->commandChannel().receiverMode(); }, 2000));
    const auto all = wnd->tabs();
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](auto* t) { return dynamic_cast<CTarvenixMouseDevice*>(t->device()) != nullptr; }), 1);
    EXPECT_EQ(wnd->mice().size(), 1u);
    EXPECT_TRUE(mouseTab()->tabVisible());
    cmd("unplug mouse");
    ASSERT_TRUE(waitFor([&] { return wnd->mice()[0]->commandChannel().receiverMode(); }, 2000));
    EXPECT_TRUE(mouseTab()->tabVisible());
    EXPECT_TRUE(wnd->mice()[0]->commandChannel().isOpen());
}

TEST_F(Shell, ChangingDpiStage2WritesTheRecordAndTheProfile)
{
    start("mouse");
    ASSERT_TRUE(synced());
    QTest::qWait(100);
    mouse->clearReceived();
    cmd("click system_Op_tab");
    cmd("value DPI_slider_1 42"); // stage 2
    ASSERT_EQ(mouse->receivedCommands(0x01).size(), 1u);
    ASSERT_EQ(mouse->receivedCommands(0x02).size(), 1u);
    const auto writes = mouse->receivedCommands(0x06);
    ASSERT_EQ(writes.size(), 2u); // 86 bytes in chunks of 56 and 30
    EXPECT_EQ(writes[0].bytes[4], 56);
    EXPECT_EQ(writes[1].bytes[4], 30);
    EXPECT_EQ(mouse->settingsMemory()[14 + 9 + 2], 42);
    CMouseProfiledata onDisk;
    onDisk.LoadDeviceSection(wnd->mice()[0]->profilePath());
    EXPECT_EQ(onDisk.GetDpiStages().at(1).dpiX, 42);
    cmd("dump DPI_edit_1");
    ASSERT_EQ(dumped.size(), 1);
    EXPECT_TRUE(dumped[0].endsWith("text=4300")) << dumped[0].toStdString(); // 42 × 100 + 100
}

TEST_F(Shell, PointerOptionsAreKeptInTheProfileOnly)
{
    start("mouse");
    ASSERT_TRUE(synced());
    cmd("click cursor_Op_tab");
    mouse->clearReceived();
    cmd("value pointer_speed_slider 14");
    cmd("select scrolls_page_check 1");
    cmd("value double_click_slider 450");
    cmd("value scroll_speed_slider 7"); // clears scrolling by page
    for (uint8_t code : {0x01, 0x06})
        EXPECT_TRUE(mouse->receivedCommands(code).empty());
    CMouseProfiledata onDisk;
    onDisk.LoadDeviceSection(wnd->mice()[0]->profilePath());
    const MouseSystemRecord sys = onDisk.GetMouseSystem();
    EXPECT_EQ(sys.mouseSpeed, 14);
    EXPECT_EQ(sys.doubleClickTime, 450);
    EXPECT_EQ(sys.wheelScrollLines, 7);
    EXPECT_EQ(sys.scrollPage, 0);
    cmd("dump scrolls_page_check");
    EXPECT_TRUE(dumped.last().contains("selected=0")) << dumped.last().toStdString();
}

TEST_F(Shell, TheProfileSwitchHappensOnce400MsAfterTheLastSelection)
{
    start("mouse");
    ASSERT_TRUE(synced());
    auto* combo = qobject_cast<ui::Combo*>(ui::Window::findSubControlByName(wnd->mice()[0], "device_profile_combo"));
    ASSERT_NE(combo, nullptr);
    combo->addItem("two", "two"); // a second entry; the list file has one profile, so the switch stays
    QTest::qWait(100);
    mouse->clearReceived();
    for (int i = 0; i < 4; ++i) {
        cmd(QStringLiteral("item device_profile_combo %1").arg(i % 2));
        QTest::qWait(150);
    }
    EXPECT_TRUE(mouse->receivedCommands(0x06).empty()); // still waiting: each pick restarted the timer
    QTest::qWait(450);
    EXPECT_EQ(mouse->receivedCommands(0x06).size(), 2u); // one settings write of two chunks
}

TEST_F(Shell, DefaultButtonAsksAndWritesTheDefaults)
{
    start("mouse");
    ASSERT_TRUE(synced());
    cmd("click system_Op_tab");
    cmd("value DPI_slider_1 42");
    mouse->clearReceived();
    cmd("answer 0");
    ASSERT_NE(wnd->findControl("default_btn"), nullptr) << "the page needs its reset button";
    cmd("click default_btn");
    EXPECT_EQ(app::DialogService::instance().lastMessage(), "message_text_22");
    // Cancel: nothing is written (the tab's own battery poll may still read).
    for (uint8_t code : {0x01, 0x06, 0x09})
        EXPECT_TRUE(mouse->receivedCommands(code).empty()) << int(code);
    cmd("answer 1");
    cmd("click default_btn");
    EXPECT_EQ(mouse->receivedCommands(0x09).size() > 0, true);      // the key map
    ASSERT_FALSE(mouse->receivedCommands(0x06).empty());             // and the settings record
    CMouseProfiledata defaults;
    defaults.LoadDeviceSection(QStringLiteral(Q9_APP_DIR "/DefaultData/mouse.Json").toStdWString());
    EXPECT_EQ(mouse->settingsMemory()[14 + 9 + 2], defaults.GetDpiStages().at(1).dpiX & 0xFF);
    CMouseProfiledata onDisk;
    onDisk.LoadDeviceSection(wnd->mice()[0]->profilePath());
    EXPECT_EQ(onDisk.GetDpiStages().at(1).dpiX, defaults.GetDpiStages().at(1).dpiX);
}

TEST_F(Shell, ProfileResetPutsTheDefaultsIntoTheSelectedProfile)
{
    start("mouse");
    ASSERT_TRUE(synced());
    cmd("click system_Op_tab");
    cmd("value DPI_slider_1 42");
    const std::wstring path = wnd->mice()[0]->profilePath();
    cmd("answer 1");
    cmd("click device_reset_btn");
    EXPECT_EQ(app::DialogService::instance().lastMessage(), "message_text_22");
    CMouseProfiledata defaults, onDisk;
    defaults.LoadDeviceSection(QStringLiteral(Q9_APP_DIR "/DefaultData/mouse.Json").toStdWString());
    onDisk.LoadDeviceSection(path);
    EXPECT_EQ(onDisk.GetDpiStages().at(1).dpiX, defaults.GetDpiStages().at(1).dpiX);
    EXPECT_EQ(mouse->settingsMemory()[14 + 9 + 2], defaults.GetDpiStages().at(1).dpiX & 0xFF);
    const Json::Value root = ReadJsonFile(path);
    EXPECT_EQ(root["profilename"].asString(), "Profile1"); // its name and id stay
    EXPECT_EQ(Utf8ToWide(root["profileUUID"].asString()) + L".Json", std::filesystem::path(path).filename().wstring());
}

TEST_F(Shell, AGameEventShowsItsEffectForFiveSeconds)
{
    start("mouse");
    ASSERT_TRUE(synced());
    CTarvenixMouseDevice* d = wnd->mice()[0];
    LightInfoRecord user = d->lightState();
    user.selectItem = 1;
    user.oldLedMode = 1; // the effect the user chose
    d->setLightState(user);
    wnd->send(registerWindowMessage("Game_Start"), 1, 3);
    EXPECT_EQ(d->lightState().selectItem, 3);
    EXPECT_EQ(mouse->settingsMemory()[1], 3);
    ASSERT_TRUE(waitFor([&] { return d->lightState().selectItem == 1; }, 6000));
    EXPECT_EQ(mouse->settingsMemory()[1], 1);
    // Another variant changes nothing, but the user's effect still comes back.
    wnd->send(registerWindowMessage("Game_Death"), 7, 5);
    EXPECT_EQ(d->lightState().selectItem, 1);
}

TEST(AboutWindow, ShowsTheTranslatedVersionText)
{
    ui::Resources::instance().release();
    app::setupSkinResources(QStringLiteral(Q9_APP_DIR "/skin/"));
    ui::Resources::instance().loadLanguage("lan_en.xml");
    app::CAboutWnd about;
    ASSERT_TRUE(about.create("  "));
    EXPECT_EQ(about.findControl("software_ver_label")->text(), ui::Resources::instance().text("software_rev_text"));
    EXPECT_NE(about.findControl("software_ver_label")->text(), "software_rev_text");
    QTimer::singleShot(30, [&] { QTest::mouseClick(about.findControl("closebtn"), Qt::LeftButton); });
    EXPECT_EQ(about.showModal(), 0);
    ui::Resources::instance().release();
}

TEST_F(Shell, DownloadReportNumbersByCaller)
{
    start("mouse");
    ASSERT_TRUE(synced());
    const int base = wnd->mice()[0]->deviceInfo()[6]; // 32 units: 4096 bytes
    ASSERT_EQ(base, 32);
    auto report = [&](int r, int caller) {
        app::DialogService::instance().clear();
        if (r != 0)
            app::DialogService::instance().queueAnswer(1);
        wnd->downloadReport(r, caller);
        return app::DialogService::instance().lastMessage();
    };
    EXPECT_EQ(report(0, 0), "");
    EXPECT_EQ(report(-1, 0), "message_text_7");
    ui::Resources& res = ui::Resources::instance();
    const QString t16 = res.text("message_text_16"), t26 = res.text("message_text_26");
    EXPECT_EQ(report(61, 0), QString(t26).replace("%d", "-189"));                 // 128·32 ≥ 4·61
    EXPECT_EQ(report(1200, 0), QString(t16).replace("%d", QString::number((1200 - 4096) / 4 + 1)));
    EXPECT_EQ(report(70, 1), QString(t16).replace("%d", "70"));
    EXPECT_EQ(report(70, 2), QString(t16).replace("%d", "6"));
}

// The firmware prompt comes for old firmware of a mouse that is present, leaves the page and the
// overlay alone, and Cancel closes only the prompt.
TEST_F(Shell, FirmwarePromptForOldFirmwareOfAPresentMouseOnly)
{
    start("mouse");
    ASSERT_TRUE(synced());
    app::DialogService& dialogs = app::DialogService::instance();
    dialogs.setScripted(true);
    struct Case {
        const char* product;
        const char* version;
        bool prompted;
    };
    const Case cases[] = {
        {"0x226E", "0x105", true},  // the cable mouse, old firmware
        {"0x226E", "0x106", false}, // up to date
        {"0x226F", "0x103", false}, // no receiver is plugged
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.product) + " " + c.version);
        dialogs.setLastMessage({});
        dialogs.queueAnswer(0); // Cancel
        cmd(QStringLiteral("send %1 %2 %3").arg(app::kMsgFirmware).arg(QLatin1String(c.product), QLatin1String(c.version)));
        EXPECT_EQ(dialogs.lastMessage(), c.prompted ? "message_text_31" : "");
        if (!c.prompted)
            dialogs.takeAnswer(); // not used
        EXPECT_FALSE(overlayShown());
        EXPECT_TRUE(wnd->isVisible()); // the program goes on
    }
    EXPECT_FALSE(dialogs.takeUnanswered().has_value());
    dialogs.setScripted(false);

    // Without any device the prompt does not come and the empty-state overlay stays.
    cmd("unplug mouse");
    ASSERT_TRUE(waitFor([&] { return overlayShown(); }, 3000));
    cmd(QStringLiteral("send %1 0x226E 0x100").arg(app::kMsgFirmware));
    EXPECT_TRUE(overlayShown());
}

TEST_F(Shell, MissingControlsMakeHandlersDoNothing)
{
    start();
    // No current device: every handler that needs one returns quietly.
    for (const char* n : {"default_btn", "device_select_prev", "device_select_next", "profile_fun_spread_btn"}) {
        ui::Button b;
        b.setName(n);
        ui::TNotify m{ui::notify::Click, &b, 0, 0, 0};
        wnd->notify(m);
    }
    ui::Slider s;
    s.setName("DPI_slider_3");
    ui::TNotify v{ui::notify::ValueChanged, &s, 0, 0, 0};
    wnd->notify(v);
    EXPECT_FALSE(runner->run("click no_such_control"));
    EXPECT_TRUE(runner->error().contains("no_such_control"));
    EXPECT_FALSE(runner->run("frobnicate x"));
}

struct RouteCase {
    const char* type;
    const char* name;
    QStringList labels;
};

TEST_F(Shell, RoutingByTypeAndName)
{
    start();
    const RouteCase cases[] = {
        {"click", "closebtn", {"close"}},
        {"click", "CLOSEBTN", {"close"}},                             // names compare without case
        {"click", "Key_3", {"key pick"}},                             // prefix rows too
        {"click", "key_butt_keysave", {"key apply"}},                 // "key_butt_" is no prefix row
        {"click", "device_add_btn", {"profile add"}},                 // "_btn" splits with index 0: whole rows only
        {"click", "macro_inset_moveleftkey_btn", {"macro insert left"}},
        {"click", "MACRO_INSET_MOVELEFTKEY_BTN", {}},                 // an exact-case row
        {"click", "profile_fun_spread_btn", {"profile menu"}},
        {"click", "Profile_Fun_Spread_Btn", {}},
        {"click", "DPI_color_option_4", {"DPI colour"}},
        {"click", "color_option_2", {"preset colour"}},
        {"click", "windowdeviceset_", {"system device settings"}},    // ends in "_": index 0
        {"click", "nosuchname", {}},
        {"click", "minbtn", {}},                                      // a stray "minbtn" is not the title bar's
        {"selectchanged", "DPI_enable_check_2", {"DPI enable"}},
        {"selectchanged", "device_select", {"device tab"}},
        {"selectchanged", "deng_Op_tab", {"tab 1"}},
        {"selectchanged", "synchro_device_select", {}},
        {"itemselect", "keyset_function_combo", {"key function", "key editor"}}, // both parts of the table
        {"itemselect", "keyset_media_combo", {"key editor"}},
        {"itemselect", "device_profile_combo", {"profile switch"}},
        {"valuechanged", "DPI_slider_6", {"DPI step"}},
        {"valuechanged", "r_light_slider", {"red"}},
        {"movevaluechanged", "kelda_DPI_slider_1", {"DPI edit follows"}},
        {"movevaluechanged", "DPI_slider_1", {"DPI moved"}},
        {"killfocus", "DPI_edit_0", {"DPI typed"}},
        {"killfocus", "keyset_keyboard_text_edit", {"hook off"}},
        {"colorchanged", "deng_Color_Pallet", {"light colour picked"}},
    };
    for (const auto& c : cases) {
        ui::Button b;
        b.setName(c.name);
        EXPECT_EQ(wnd->routeOf(c.type, &b), c.labels) << c.type << " " << c.name;
    }
    // The title bar's own buttons are recognised by the control itself.
    EXPECT_EQ(wnd->routeOf("click", wnd->findControl("minbtn")), QStringList({"minimise"}));
    EXPECT_EQ(wnd->routeOf("click", wnd->findControl("setbtn")), QStringList({"settings window"}));
}

TEST(MessageBox, ButtonsResultsAndDpi)
{
    ui::Resources::instance().release();
    app::setupSkinResources(QStringLiteral(Q9_APP_DIR "/skin/"));
    auto clickLater = [](const char* name, bool* cancelShown) {
        QTimer::singleShot(50, [name, cancelShown] {
            auto* box = qobject_cast<app::CMsgWnd*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            if (cancelShown)
                *cancelShown = box->findControl("cancel_btn")->isVisible();
            QTest::mouseClick(box->findControl(name), Qt::LeftButton);
        });
    };
    bool cancelShown = true;
    clickLater("confirm_btn", &cancelShown);
    EXPECT_EQ(app::ShowMessageBox(nullptr, {}, "message_text_7", 96, true, 0), 1);
    EXPECT_FALSE(cancelShown);
    clickLater("closebtn", &cancelShown);
    EXPECT_EQ(app::ShowMessageBox(nullptr, {}, "message_text_7", 96, true, 0), 0);
    clickLater("cancel_btn", &cancelShown);
    EXPECT_EQ(app::ShowMessageBox(nullptr, "tips_text", "message_text_22", 96, true, 1), 0);
    EXPECT_TRUE(cancelShown);
    EXPECT_EQ(app::CMsgWnd::acceptedDpi(96), 96);
    EXPECT_EQ(app::CMsgWnd::acceptedDpi(144), 144);
    clearCapturedTraces();
    setTraceCapture(true);
    EXPECT_EQ(app::CMsgWnd::acceptedDpi(100), 96);
    setTraceCapture(false);
    const auto lines = capturedTraces();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "MSG_WND DPI SET ERROR"), lines.end());
    ui::Resources::instance().release();
}

TEST_F(Shell, SkinPickerChangesTheBackgroundAndWritesTheChoice)
{
    start();
    ui::Control* root = wnd->findControl("root");
    app::SkinNotifier::instance().broadcast({true, 0xFF223344, {}});
    EXPECT_EQ(root->bkColor(), 0xFF223344u);
    EXPECT_TRUE(root->bkImage().isEmpty());
    app::SkinNotifier::instance().broadcast({false, 0, "images/backgrounds/bg1.svg"});
    EXPECT_EQ(root->bkColor(), 0u);
    EXPECT_EQ(root->bkImage(), "images/backgrounds/bg1.svg");

    auto* picker = new app::CSkinFrame(wnd.get(), wnd->findControl("skinbtn"));
    ASSERT_NE(picker->findControl("skin_reset"), nullptr);
    QTest::mouseClick(picker->findControl("skin_reset"), Qt::LeftButton);
    EXPECT_EQ(root->bkImage(), "common/background.png");
    QSettings ini(data.path() + "/main.ini", QSettings::IniFormat);
    EXPECT_EQ(ini.value("SKINIMAGE/FLAGS").toString(), "0");
    EXPECT_EQ(ini.value("SKINIMAGE/IMAGE").toString(), "common/background.png");
    QTest::mouseClick(picker->findControl("skin_color"), Qt::LeftButton);
    EXPECT_EQ(qobject_cast<ui::TabLayout*>(picker->findControl("skin_tab"))->currentSel(), 1);
    picker->close(0);
}

} // namespace
} // namespace q9

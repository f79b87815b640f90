// The mouse pad as a user meets it: its tab comes and goes with the cable, its page has only the
// lighting, what the user sets reaches its light record byte for byte, a change made on the pad
// itself is read back, and the picture runs the pad's effects.
#include "controls/KeyControls.h"
#include "device/MousePadDevice.h"
#include "editors/LightEditor.h"
#include "sim/MousePadEmulator.h"
#include "ui/Label.h"

#include "ShellFixture.h"

namespace q9 {
namespace {

class MousePadPage : public test::Shell {
protected:
    // The pad on the bus, made the first time.
    sim::MousePadEmulator* emulator()
    {
        for (auto& d : simulation->devices)
            if (auto* p = dynamic_cast<sim::MousePadEmulator*>(d.get()))
                return p;
        auto p = std::make_unique<sim::MousePadEmulator>(simulation->bus);
        auto* raw = p.get();
        simulation->devices.push_back(std::move(p));
        return raw;
    }
    CTarvenixMousePadDevice* pad()
    {
        for (auto* t : wnd->tabs())
            if (auto* p = dynamic_cast<CTarvenixMousePadDevice*>(t->device()))
                return p;
        return nullptr;
    }
    app::CDeviceOptionUI* padTab() { return pad() ? static_cast<app::CDeviceOptionUI*>(pad()->tab()) : nullptr; }
    bool padTabShown() { return padTab() && padTab()->tabVisible(); }
    // Started with the pad plugged: its page is made and read.
    void startWithPad(const std::string& others = "")
    {
        start(others.empty() ? "mousepad" : others + ",mousepad");
        board = emulator();
        ASSERT_TRUE(waitFor([&] { return !board->receivedCommands(0x05).empty(); }, 3000)) << "the pad was read";
        ASSERT_NE(pad(), nullptr);
        auto all = wnd->tabs();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i]->device() == pad())
                wnd->ShowTab(int(i), true, true);
        ASSERT_EQ(wnd->currentDevice(), pad());
    }
    std::vector<uint8_t> record() const
    {
        const auto m = board->settingsMemory();
        return {m.begin(), m.begin() + 21};
    }
    ui::Control* control(const char* name) { return ui::Window::findSubControlByName(pad(), QString::fromLatin1(name)); }

    sim::MousePadEmulator* board = nullptr;
};

TEST_F(MousePadPage, ItsTabComesAndGoesWithTheCableOnOnePage)
{
    start("mouse");
    ASSERT_TRUE(synced());
    EXPECT_EQ(pad(), nullptr) << "the pad's page is made when the pad first arrives";
    const size_t tabsBefore = wnd->tabs().size();
    board = emulator();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        board->clearReceived();
        board->plugCable();
        ASSERT_TRUE(waitFor([&] { return padTabShown(); }, 2000));
        EXPECT_EQ(wnd->tabs().size(), tabsBefore + 1) << "one page, made once";
        EXPECT_TRUE(mouseTab()->tabVisible());
        EXPECT_EQ(wnd->currentDevice(), wnd->mice()[0]) << "the pad's arrival does not take the mouse's place";
        ASSERT_TRUE(waitFor([&] { return !board->receivedCommands(0x03).empty(); }, 3000)) << "synchronised";
        EXPECT_TRUE(pad()->commandChannel().isOpen());
        EXPECT_TRUE(pad()->readerRunning(false)) << "its event interface is read";
        board->unplugCable();
        ASSERT_TRUE(waitFor([&] { return !padTabShown(); }, 2000));
        EXPECT_FALSE(pad()->commandChannel().isOpen());
        EXPECT_TRUE(mouseTab()->tabVisible());
    }
    EXPECT_EQ(board->framingErrors(), 0);
}

TEST_F(MousePadPage, AloneItsTabIsTheCurrentOneAndItsPageHasOnlyTheLighting)
{
    start();
    EXPECT_TRUE(overlayShown());
    board = emulator();
    board->plugCable();
    ASSERT_TRUE(waitFor([&] { return padTabShown(); }, 2000));
    EXPECT_FALSE(overlayShown());
    EXPECT_EQ(wnd->currentDevice(), pad());
    for (const char* hidden : {"key_Op_tab", "macro_Op_tab", "system_Op_tab", "cursor_Op_tab"})
        EXPECT_FALSE(control(hidden)->isVisibleTo(pad())) << hidden;
    auto* lighting = qobject_cast<ui::Option*>(control("deng_Op_tab"));
    ASSERT_NE(lighting, nullptr);
    EXPECT_TRUE(lighting->isVisibleTo(pad()));
    EXPECT_TRUE(lighting->isSelected());
    int bound = 0;
    for (auto* b : pad()->lightButtons())
        bound += b && b->lightLayerShown();
    EXPECT_EQ(bound, 15);
    EXPECT_TRUE(pad()->keyButtons().empty());
    ASSERT_NE(pad()->lightEditor(), nullptr);
    EXPECT_EQ(pad()->lightEditor()->lightKind(), int(KindMousePad));
    board->unplugCable();
    ASSERT_TRUE(waitFor([&] { return !padTabShown(); }, 2000));
    EXPECT_TRUE(overlayShown());
    EXPECT_EQ(wnd->currentDevice(), nullptr);
}

TEST_F(MousePadPage, TheDefaultProfileReachesTheRecordByteForByteAndThePadsOwnBytesStay)
{
    startWithPad();
    const std::vector<uint8_t> before = record();
    board->clearReceived();
    cmd("answer 1");
    cmd("click default_btn");
    CBasicProfiledata defaults;
    defaults.LoadDeviceSection(pad()->defaultProfilePath());
    const LightInfoRecord d = defaults.GetLightInfo();
    ASSERT_LT(d.selectItem, pad()->effectCodes().size());
    std::vector<uint8_t> expected = before; // byte 0, byte 4 and bytes 9-20 as the pad had them
    expected[1] = uint8_t(pad()->effectCodes()[d.selectItem]);
    expected[2] = d.light;
    expected[3] = uint8_t(4 - d.speed);
    expected[5] = d.multiColor;
    expected[6] = d.red, expected[7] = d.green, expected[8] = d.blue;
    EXPECT_NE(expected, before) << "the default profile differs from the pad's factory light";
    EXPECT_EQ(record(), expected);
    // One transaction around one 21-byte write at address 0.
    const auto writes = board->receivedCommands(0x06);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].bytes[4], 21);
    EXPECT_EQ(writes[0].bytes[5] | writes[0].bytes[6] << 8, 0);
    EXPECT_FALSE(board->inTransaction());
    EXPECT_EQ(board->writesOutsideTransaction(), 0);
}

TEST_F(MousePadPage, TheLightingEditorWritesTheRecordAndTheHeldRecordKeepsTheRow)
{
    startWithPad();
    struct Step {
        const char* command;
        std::vector<std::pair<int, int>> bytes; // (byte, value) afterwards
    };
    const Step steps[] = {
        {"item light_combo_modeSelect 4", {{1, 4}}},
        {"value deng_speed_slider 0", {{3, 4}, {1, 4}}},    // speed 0 goes as 4; the code stays
        {"value deng_light_slider 1", {{2, 1}, {1, 4}, {3, 4}}},
        {"colour deng_Color_Pallet 0x102030", {{6, 0x10}, {7, 0x20}, {8, 0x30}, {5, 0}}},
        {"value deng_speed_slider 4", {{3, 0}}},
        {"item light_combo_modeSelect 8", {{1, 8}}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.command);
        ASSERT_TRUE(cmd(QString::fromLatin1(s.command)));
        const auto r = record();
        for (auto [at, value] : s.bytes)
            EXPECT_EQ(r[size_t(at)], value) << "byte " << at;
    }
    EXPECT_EQ(pad()->record()[1], 8) << "held as the row";
    CBasicProfiledata doc;
    doc.LoadDeviceSection(pad()->profilePath());
    EXPECT_EQ(doc.GetLightInfo().selectItem, 8);
    EXPECT_EQ(doc.GetLightInfo().speed, 4);
}

TEST_F(MousePadPage, AChangeMadeOnThePadIsReadBackAndShown)
{
    startWithPad();
    cmd("item light_combo_modeSelect 2");
    ASSERT_EQ(record()[1], 2);
    // The pad's own button: the next effect, at speed byte 0, and the event that tells the host.
    board->setSettingsBytes(3, {0});
    board->clearReceived();
    ASSERT_TRUE(board->pressLightButton());
    ASSERT_TRUE(waitFor([&] { return pad()->lightEditor()->GetMode() == 3; }, 3000));
    EXPECT_EQ(pad()->lightEditor()->GetSpeed(), 4);
    EXPECT_EQ(pad()->lightState().selectItem, 3);
    EXPECT_TRUE(board->receivedCommands(0x06).empty()) << "what was read is not written back";
    CBasicProfiledata doc;
    doc.LoadDeviceSection(pad()->profilePath());
    EXPECT_EQ(doc.GetLightInfo().selectItem, 3) << "kept in the profile";
    // Another event code changes nothing.
    board->clearReceived();
    ASSERT_TRUE(board->sendEvent(0x0404));
    QTest::qWait(700);
    EXPECT_TRUE(board->receivedCommands(0x05).empty());
}

TEST_F(MousePadPage, ThePictureRunsThePadsRunningLight)
{
    startWithPad();
    cmd("value deng_light_slider 4");
    cmd("value deng_speed_slider 4");
    cmd("item light_combo_modeSelect 6");
    auto lit = [&](int zone) { return (pad()->zoneColor(zone) & 0xFF) > 0; };
    ASSERT_TRUE(waitFor([&] { return lit(0); }, 2000));
    ASSERT_TRUE(waitFor([&] { return lit(5) && !lit(0); }, 3000)) << "the pulse moves on and zone 0 fades";
    // The picture's light buttons follow.
    ASSERT_TRUE(waitFor([&] { return pad()->lightButtons()[5]->lightBrightness() > 0; }, 2000));
    cmd("item light_combo_modeSelect 8");
    ASSERT_TRUE(waitFor([&] {
        for (int z = 0; z < 15; ++z)
            if (lit(z))
                return false;
        return true;
    }, 2000)) << "off";
}

TEST_F(MousePadPage, ThePowerReportNamesThePhoneOnTheCharger)
{
    startWithPad();
    auto* item = dynamic_cast<app::CMpDevicePowerUI*>(pad()->powerItem());
    ASSERT_NE(item, nullptr);
    ui::Control* phone = ui::Window::findSubControlByName(item, QStringLiteral("device_phone_type"));
    ASSERT_NE(phone, nullptr);
    const std::pair<uint8_t, const char*> cases[] = {
        {2, "Phone_type_samsung"}, {1, "Phone_type_iphone"}, {0, "Phone_type_no_device"}, {9, "Phone_type_no_device"}};
    for (auto [type, name] : cases) {
        board->setPhone(type);
        pad()->pollPower();
        EXPECT_EQ(phone->bkImage(), QStringLiteral("file='power/%1.png'").arg(QLatin1String(name))) << int(type);
    }
}

} // namespace
} // namespace q9

// The lighting page of the mouse as a user works it: every change reaches the mouse's settings
// record, the profile and the picture, and survives a re-plug and a restart.
#include "app/SyncLight.h"
#include "device/LightPreview.h"
#include "device/MouseRecords.h"
#include "editors/LightEditor.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "ui/Combo.h"
#include "ui/Label.h"

#include "ShellFixture.h"

#include <set>

namespace q9 {
namespace {

class LightPage : public test::Shell {
protected:
    void startOnLightPage()
    {
        start("mouse");
        ASSERT_TRUE(synced());
        m = wnd->mice()[0];
        ASSERT_NE(m->lightEditor(), nullptr);
        cmd("click deng_Op_tab");
    }
    // Bytes 1-8 of the settings record in the mouse: effect, brightness, 4 - speed, direction,
    // multi-colour, red, green, blue.
    std::vector<int> lightBytes()
    {
        const auto memory = mouse->settingsMemory();
        return {memory.begin() + 1, memory.begin() + 9};
    }
    LightInfoRecord saved()
    {
        CMouseProfiledata doc;
        doc.LoadDeviceSection(m->profilePath());
        return doc.GetLightInfo();
    }
    ui::Control* at(const char* name) { return ui::Window::findSubControlByName(m, QString::fromLatin1(name)); }
    bool selected(const char* name)
    {
        auto* o = qobject_cast<ui::Option*>(at(name));
        return o && o->isSelected();
    }

    CTarvenixMouseDevice* m = nullptr;
};

TEST_F(LightPage, EachChangeWritesTheRecordSavesTheProfileAndShowsOnThePicture)
{
    startOnLightPage();
    struct Step {
        std::vector<const char*> commands;
        std::vector<int> bytes; // 1-8 of the record afterwards
    };
    // Breathing (1) allows every colour control and the speed; waves (2) the direction too.
    const Step steps[] = {
        {{"item light_combo_modeSelect 2"}, {2, -1, -1, -1, -1, -1, -1, -1}},
        {{"value deng_light_slider 1"}, {2, 1, -1, -1, -1, -1, -1, -1}},
        {{"value deng_speed_slider 3"}, {2, 1, 1, -1, -1, -1, -1, -1}},
        {{"select deng_FXL_check"}, {2, 1, 1, 1, -1, -1, -1, -1}},
        {{"select deng_FXR_check"}, {2, 1, 1, 0, -1, -1, -1, -1}},
        {{"select deng_7color_check 1"}, {2, 1, 1, 0, 1, -1, -1, -1}},
        {{"click color_option_3"}, {2, 1, 1, 0, 0, 0x00, 0xFF, 0x00}},
        {{"colour deng_Color_Pallet 0x123456"}, {2, 1, 1, 0, 0, 0x12, 0x34, 0x56}},
        {{"select deng_7color_check 1", "text deng_edit_G 300", "killfocus deng_edit_G"}, {2, 1, 1, 0, 0, 0x12, 0xFF, 0x56}},
        {{"text deng_edit_B", "killfocus deng_edit_B"}, {2, 1, 1, 0, 0, 0x12, 0xFF, 0x00}},
        {{"item light_combo_modeSelect 0", "text deng_edit_R 64", "killfocus deng_edit_R"}, {0, 1, 1, 0, 0, 0x40, 0xFF, 0x00}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.commands.back());
        for (const char* c : s.commands)
            ASSERT_TRUE(cmd(QString::fromLatin1(c)));
        const std::vector<int> got = lightBytes();
        for (size_t i = 0; i < 8; ++i) {
            if (s.bytes[i] >= 0) {
                EXPECT_EQ(got[i], s.bytes[i]) << "byte " << i + 1;
            }
        }
        // The picture's preview and the profile file follow at once.
        const LightInfoRecord shown = m->lightState();
        EXPECT_EQ(shown.selectItem, got[0]);
        EXPECT_EQ(shown.light, got[1]);
        EXPECT_EQ(shown, saved());
        EXPECT_FALSE(m->syncDriven());
    }
    // The edits show what was stored, and a typed colour cleared multi-colour.
    EXPECT_EQ(at("deng_edit_G")->text(), "255");
    EXPECT_EQ(at("deng_edit_B")->text(), "0");
    EXPECT_FALSE(selected("deng_7color_check"));
    EXPECT_EQ(at("deng_colordp_btn")->bkColor(), 0xFF40FF00u);
}

TEST_F(LightPage, FocusPassingThroughAnEditChangesNothing)
{
    startOnLightPage();
    cmd("item light_combo_modeSelect 1");
    cmd("select deng_7color_check 1");
    mouse->clearReceived();
    for (const char* e : {"deng_edit_R", "deng_edit_G", "deng_edit_B"})
        cmd(QStringLiteral("killfocus %1").arg(e));
    EXPECT_TRUE(selected("deng_7color_check"));
    EXPECT_EQ(lightBytes()[4], 1);
    EXPECT_TRUE(mouse->receivedCommands(0x06).empty());
}

TEST_F(LightPage, AnAnimatedEffectMovesThePicture)
{
    startOnLightPage();
    cmd("item light_combo_modeSelect 3"); // spectrum
    std::set<uint32_t> colours;
    ASSERT_TRUE(waitFor([&] {
        colours.insert(m->zoneColor(0));
        return colours.size() >= 3;
    }, 3000));
    cmd("item light_combo_modeSelect 6"); // off
    ASSERT_TRUE(waitFor([&] { return (m->zoneColor(0) >> 24) == 0 || (m->zoneColor(0) & 0xFFFFFF) == 0; }, 2000));
}

TEST_F(LightPage, TheLightSurvivesAReplugAndARestart)
{
    startOnLightPage();
    cmd("item light_combo_modeSelect 10");
    cmd("value deng_light_slider 2");
    cmd("colour deng_Color_Pallet 0x00A0FF");
    const std::vector<int> written = lightBytes();
    ASSERT_TRUE(replugCable());
    EXPECT_EQ(lightBytes(), written);
    auto* editor = m->lightEditor();
    EXPECT_EQ(editor->GetMode(), 10);
    EXPECT_EQ(editor->GetLight(), 2);
    EXPECT_EQ(editor->GetColor(), 0xFF00A0FFu);

    // A new run of the program on the same data and the same mouse shows the same light.
    restartProgram();
    ASSERT_TRUE(synced());
    m = wnd->mice()[0];
    EXPECT_EQ(m->lightEditor()->GetMode(), 10);
    EXPECT_EQ(m->lightEditor()->GetColor(), 0xFF00A0FFu);
    EXPECT_EQ(lightBytes(), written);
    EXPECT_EQ(saved().selectItem, 10);
}

TEST_F(LightPage, ChangingTheLightDuringAGameEffectMakesItTheUsersLight)
{
    startOnLightPage();
    cmd("item light_combo_modeSelect 0");
    LightInfoRecord game = m->lightState();
    game.selectItem = 7;
    game.red = 0xEE;
    m->showGameLight(game);
    ASSERT_EQ(lightBytes()[0], 7);
    cmd("value deng_light_slider 1");
    EXPECT_EQ(lightBytes()[0], 0); // the user's effect with the new brightness
    EXPECT_EQ(lightBytes()[1], 1);
    m->endGameLight();
    EXPECT_EQ(lightBytes()[0], 0);
    EXPECT_EQ(lightBytes()[1], 1);
    EXPECT_EQ(saved().light, 1);
}

TEST_F(LightPage, SameModeGivesEveryDeviceTheMatchingEffect)
{
    startOnLightPage();
    // One device: the button stays hidden.
    cmd("item light_combo_modeSelect 0");
    EXPECT_FALSE(at("deng_same_mode")->isVisibleTo(m));
    m->lightEditor()->SetSameModeAllowed(true); // as with a second device connected
    EXPECT_TRUE(at("deng_same_mode")->isVisibleTo(m));
    cmd("click deng_same_mode");
    EXPECT_EQ(lightBytes()[0], 0); // static is the mouse's own effect for "steady"
    EXPECT_TRUE(m->syncDriven());
    // Flash (7) shows the button but has no shared effect: nothing happens.
    cmd("item light_combo_modeSelect 7");
    EXPECT_FALSE(m->syncDriven());
    mouse->clearReceived();
    cmd("click deng_same_mode");
    EXPECT_FALSE(m->syncDriven());
    EXPECT_TRUE(mouse->receivedCommands(0x06).empty());
}

// The shared animation step by step, on two bare device objects of which one is joined.
TEST(SyncLighting, EachSharedEffectPaintsTheJoinedDevicesOnly)
{
    CTarvenixUSBDevice joined(2), apart(2);
    joined.setLightCount(3);
    apart.setLightCount(3);
    joined.setSyncDriven(true);
    apart.setZoneColor(0, 0x01020304);
    app::SyncLighting sync([&] { return std::vector<CTarvenixUSBDevice*>{&joined, &apart}; });
    auto zone = [&](int z) { return joined.zoneColor(z); };
    using light::pack;

    // Breathing, direction 0: the phase runs down from 127; alpha follows curve A at level 4.
    sync.setParams({0, 4, 4, 0, 0, 10, 20, 30});
    sync.step(0);
    EXPECT_EQ(zone(0), pack(10, 20, 30, uint8_t(255 * light::curveA()[127] / 256)));
    sync.step(0);
    EXPECT_EQ(zone(2), pack(10, 20, 30, uint8_t(255 * light::curveA()[126] / 256)));
    EXPECT_EQ(apart.zoneColor(0), 0x01020304u);

    // With multi-colour the hue moves on by 16 at phases 1 and 0: by 32 a breath.
    app::SyncLighting multi([&] { return std::vector<CTarvenixUSBDevice*>{&joined}; });
    multi.setParams({0, 4, 4, 1, 1, 0, 0, 0});
    for (int i = 0; i < 128; ++i)
        multi.step(0);
    const light::Rgb hue = light::wheel()[32];
    EXPECT_EQ(zone(1) & 0xFFFFFF00u, pack(hue.r, hue.g, hue.b, 0));

    // Steady, off.
    sync.setParams({1, 2, 0, 0, 0, 1, 2, 3});
    sync.step(0);
    EXPECT_EQ(zone(1), pack(1, 2, 3, light::levelOf(2)));
    sync.setParams({4, 4, 0, 0, 0, 1, 2, 3});
    sync.step(0);
    EXPECT_EQ(zone(1), 0u);

    // Flash at speed 2 turns at most every 18 x 200 ms.
    sync.setParams({2, 4, 2, 0, 0, 9, 9, 9});
    sync.step(5000);
    EXPECT_EQ(zone(0), pack(9, 9, 9, 255));
    sync.step(5000 + 3599);
    EXPECT_EQ(zone(0), pack(9, 9, 9, 255));
    sync.step(5000 + 3600);
    EXPECT_EQ(zone(0), 0u);
}

TEST_F(LightPage, AppliedToAllTheDevicesShareOneAnimationUntilALightChange)
{
    startOnLightPage();
    cmd("item light_combo_modeSelect 1"); // breathing: shared effect 0
    cmd("value deng_speed_slider 4");
    m->lightEditor()->SetSameModeAllowed(true);
    cmd("click deng_same_mode");
    ASSERT_TRUE(m->syncDriven());
    EXPECT_TRUE(wnd->syncLighting().running());
    EXPECT_EQ(wnd->syncLighting().params().effect, 0);
    std::set<uint32_t> seen;
    ASSERT_TRUE(waitFor([&] {
        seen.insert(m->zoneColor(0));
        return seen.size() >= 3;
    }, 3000)) << "the shared breathing moves the picture";
    // A change on the device leaves the shared animation, which stops with nobody joined.
    cmd("value deng_light_slider 2");
    EXPECT_FALSE(m->syncDriven());
    EXPECT_TRUE(waitFor([&] { return !wnd->syncLighting().running(); }, 2000));
}

TEST_F(LightPage, TheAudioColoursAreKeptInTheProfileAndNotWritten)
{
    startOnLightPage();
    mouse->clearReceived();
    cmd("select audio_FgColor_check");
    cmd("colour deng_audioColor_Pallet 0x204060");
    cmd("text deng_audioedit_R 999");
    cmd("killfocus deng_audioedit_R");
    CMouseProfiledata doc;
    doc.LoadDeviceSection(m->profilePath());
    const AudioLightRecord a = doc.GetAudioLightInfo();
    EXPECT_EQ(a.colorType, 1);
    EXPECT_EQ(a.fgColorR, 255);
    EXPECT_EQ(a.fgColorG, 0x40);
    EXPECT_EQ(a.fgColorB, 0x60);
    EXPECT_EQ(at("deng_audioedit_R")->text(), "255");
    cmd("click Close_bkColor_btn");
    doc.LoadDeviceSection(m->profilePath());
    EXPECT_EQ(doc.GetAudioLightInfo().bkColorR, 0);
    EXPECT_TRUE(mouse->receivedCommands(0x06).empty());
}

} // namespace
} // namespace q9

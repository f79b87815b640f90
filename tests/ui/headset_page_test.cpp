// The headset as a user meets it: its tab comes and goes with the cable, its page shows the
// headset with its 13 light zones and the lighting editor, and while the host drives the lights
// the headset receives each frame as colour reports.
#include "controls/KeyControls.h"
#include "device/HeadsetDevice.h"
#include "device/MousePadDevice.h"
#include "editors/LightEditor.h"
#include "sim/HeadsetEmulator.h"
#include "ui/Combo.h"
#include "ui/Label.h"
#include "ui/Slider.h"

#include "ShellFixture.h"

namespace q9 {
namespace {

class HeadsetPage : public test::Shell {
protected:
    sim::HeadsetEmulator* emulator()
    {
        return &simulation->theHeadset();
    }
    CTarvenixHX4120Device* headset()
    {
        for (auto* t : wnd->tabs())
            if (auto* h = dynamic_cast<CTarvenixHX4120Device*>(t->device()))
                return h;
        return nullptr;
    }
    bool tabShown() { return headset() && headset()->tab() && static_cast<app::CDeviceOptionUI*>(headset()->tab())->tabVisible(); }

    sim::SoundChipEmulator& chip() { return *simulation->soundChip; }
    // The program with the headset plugged, its page made and synchronised.
    void startHeadset()
    {
        start("headset");
        ASSERT_TRUE(waitFor([&] { return tabShown() && headset()->commandChannel().isOpen(); }, 3000));
        ASSERT_TRUE(waitFor([&] { return !headset()->profilePath().empty(); }, 2000));
        ASSERT_TRUE(waitFor([&] { return wnd->currentDevice() == headset(); }, 2000));
        cmd("click 4120_voice_Op_tab");
    }
    // The profile as saved on disk.
    CHx4120Profiledata saved()
    {
        CHx4120Profiledata doc;
        doc.LoadDeviceSection(headset()->profilePath());
        return doc;
    }
    std::optional<double> playback(const std::string& p) { return chip().value(AudioPlayback, p); }
    std::optional<double> capture(const std::string& p) { return chip().value(AudioCapture, p); }
    std::vector<int> chipBands()
    {
        std::vector<int> v;
        for (int i = 1; i <= 10; ++i)
            v.push_back(int(playback("EQ_Slider" + std::to_string(i)).value_or(999)));
        return v;
    }
    bool optionOn(const char* name)
    {
        auto* o = qobject_cast<ui::Option*>(wnd->findControl(QString::fromLatin1(name)));
        return o && o->isSelected();
    }
};

TEST_F(HeadsetPage, ItsTabComesAndGoesWithTheCable)
{
    start("mouse");
    ASSERT_TRUE(synced());
    EXPECT_EQ(headset(), nullptr);
    const size_t tabsBefore = wnd->tabs().size();
    auto* hs = emulator();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        hs->plugCable();
        ASSERT_TRUE(waitFor([&] { return tabShown(); }, 2000));
        EXPECT_EQ(wnd->tabs().size(), tabsBefore + 1) << "one page, made once";
        EXPECT_EQ(headset()->kind(), int(KindHeadset));
        ASSERT_TRUE(waitFor([&] { return headset()->commandChannel().isOpen(); }, 2000));
        EXPECT_EQ(hs->malformedReports(), 0) << "the headset is sent no device command";
        hs->unplugCable();
        ASSERT_TRUE(waitFor([&] { return !tabShown(); }, 2000));
        EXPECT_FALSE(headset()->commandChannel().isOpen());
    }
}

TEST_F(HeadsetPage, ThePictureHasThirteenZonesAndHostLightControlSendsFrames)
{
    start();
    auto* hs = emulator();
    hs->plugCable();
    ASSERT_TRUE(waitFor([&] { return tabShown(); }, 2000));
    ASSERT_TRUE(waitFor([&] { return headset()->commandChannel().isOpen(); }, 2000));
    int bound = 0;
    for (auto* b : headset()->lightButtons())
        bound += b != nullptr;
    EXPECT_EQ(bound, 13);
    ASSERT_NE(headset()->lightEditor(), nullptr);
    EXPECT_EQ(headset()->lightEditor()->lightKind(), int(KindHeadset));

    // Host light control off: nothing goes out.
    headset()->setHostLightControl(false);
    hs->clearReceived();
    headset()->paintLights();
    EXPECT_TRUE(hs->received().empty());

    // On: every frame is twelve colour reports in the headset's order (the values follow the
    // preview, which keeps running; they are checked byte for byte in the unit tests).
    hs->clearReceived();
    headset()->setHostLightControl(true);
    headset()->paintLights();
    ASSERT_TRUE(waitFor([&] { return hs->received().size() >= 12; }, 2000));
    const auto got = hs->received();
    const uint8_t order[12][2] = {{0x22, 0xAA}, {0x22, 0xAD}, {0x44, 0xAA}, {0x44, 0xAD}, {0x22, 0xAB}, {0x22, 0xAE},
                                  {0x44, 0xAB}, {0x44, 0xAE}, {0x22, 0xAC}, {0x22, 0xAF}, {0x44, 0xAC}, {0x44, 0xAF}};
    for (size_t i = 0; i < 12; ++i) {
        ASSERT_EQ(got[i].size(), 17u) << i;
        EXPECT_EQ(got[i][1], order[i][0]) << i;
        EXPECT_EQ(got[i][2], order[i][1]) << i;
    }
    EXPECT_EQ(hs->malformedReports(), 0);
    headset()->setHostLightControl(false);
}

// Behind another device's page a picture is not seen, so its preview sleeps; the headset's lights
// follow its preview while the host drives them, so it keeps stepping behind other pages.
TEST_F(HeadsetPage, BehindAnotherPageOnlyLightsTheHostDrivesKeepStepping)
{
    start("mouse,mousepad,headset");
    CTarvenixMousePadDevice* pad = nullptr;
    ASSERT_TRUE(waitFor([&] {
        for (auto* t : wnd->tabs())
            if (auto* p = dynamic_cast<CTarvenixMousePadDevice*>(t->device()); p && !dynamic_cast<CTarvenixHX4120Device*>(p))
                pad = p;
        return tabShown() && pad && pad->commandChannel().isOpen() && headset()->commandChannel().isOpen();
    }, 3000));
    auto show = [&](CTarvenixUSBDevice* d) {
        static_cast<app::CDeviceOptionUI*>(d->tab())->SetSelected(true);
        wnd->OnTabSelected();
        ASSERT_EQ(wnd->currentDevice(), d);
    };
    auto padColours = [&] {
        std::vector<uint32_t> v;
        for (int z = 0; z < 15; ++z)
            v.push_back(pad->zoneColor(z));
        return v;
    };
    // The pad's factory effect animates; shown, its colours move.
    show(pad);
    std::vector<uint32_t> before = padColours();
    ASSERT_TRUE(waitFor([&] { return padColours() != before; }, 2000));

    headset()->setHostLightControl(true);
    show(wnd->mice()[0]);
    QTest::qWait(100); // a step in progress ends
    before = padColours();
    emulator()->clearReceived();
    QTest::qWait(500);
    EXPECT_EQ(padColours(), before) << "the pad's preview sleeps behind the mouse's page";
    EXPECT_GE(emulator()->received().size(), 24u) << "the headset's frames go on behind it";

    show(pad);
    ASSERT_TRUE(waitFor([&] { return padColours() != before; }, 2000)) << "in front again, it animates";
    headset()->setHostLightControl(false);
}

TEST_F(HeadsetPage, TheChipGetsDefaultsOnlyWhereItHadNoValueAndThePageShowsWhatItHolds)
{
    startHeadset();
    EXPECT_EQ(playback("Enable_EQ_GFX"), 0.0);
    EXPECT_EQ(playback("EQ_Slider7"), 0.0);
    EXPECT_EQ(playback("VirtualSurroundEffectControl"), 0.0);
    EXPECT_EQ(capture("Enable_MAGICVOICE"), 0.0);
    // What the chip had is read, not overwritten: the microphone at 80 %, monitoring muted at 50 %.
    EXPECT_NEAR(*capture("VolumeScalarControl"), 0.8, 1e-6);
    EXPECT_EQ(headset()->headsetSystem().micInValue, 80);
    EXPECT_EQ(headset()->headsetSystem().micMonitorSelect, 0);
    EXPECT_EQ(headset()->headsetSystem().micMonitorValue, 50);
    EXPECT_TRUE(optionOn("4120_MicIn_option"));
    EXPECT_FALSE(optionOn("4120_MicMoniter_option"));
    EXPECT_EQ(wnd->findControl("4120_MicIn_value")->text(), QStringLiteral("80%"));
    // The default profile's equaliser: the flat preset.
    EXPECT_TRUE(optionOn("4120_eq_option_5"));
    EXPECT_FALSE(wnd->findControl("custom_eq_option_layout")->isVisibleTo(wnd.get()));
    EXPECT_FALSE(wnd->findControl("hs_sound_unavailable")->isVisibleTo(wnd.get()));
    EXPECT_EQ(chip().malformedCalls(), 0);
}

TEST_F(HeadsetPage, PresetsReachTheChipAndTheProfile)
{
    startHeadset();
    const struct {
        int type;
        std::vector<int> bands;
    } cases[] = {
        {2, {7, 11, 6, -3, -11, -1, 6, 13, 6, 13}},
        {5, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {12, {2, 1, -2, -4, -8, 4, 12, 16, 18, 15}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        cmd(QStringLiteral("select 4120_eq_option_%1").arg(c.type));
        EXPECT_EQ(chipBands(), c.bands);
        EXPECT_EQ(playback("Enable_EQ_GFX"), 1.0);
        EXPECT_EQ(headset()->soundEditor().GetBands(), c.bands);
        CHx4120Profiledata doc = saved();
        EXPECT_EQ(doc.GetHeadsetSystem().eqType, c.type);
        EXPECT_EQ(doc.GetEqValues(c.type), c.bands);
    }
    EXPECT_EQ(chip().malformedCalls(), 0);
}

TEST_F(HeadsetPage, MovingABandMakesACustomCurveThatIsKeptOnlyWhenSaved)
{
    startHeadset();
    cmd("select 4120_eq_option_2");
    cmd("value 4120_eq_hz_slider_3 9");
    EXPECT_EQ(playback("EQ_Slider4"), 9.0) << "the headset hears it at once";
    EXPECT_TRUE(optionOn("4120_eq_option_13"));
    EXPECT_TRUE(wnd->findControl("custom_eq_option_layout")->isVisibleTo(wnd.get()));
    EXPECT_EQ(headset()->soundEditor().SelectedCustom(), -1);
    EXPECT_EQ(wnd->findControl("4120_eq_hz_value_3")->text(), QStringLiteral("+9"));
    EXPECT_EQ(saved().GetHeadsetSystem().eqType, 2) << "not kept until saved";

    // A light change meanwhile leaves the chip's unsaved curve alone.
    chip().clearSets();
    cmd("item light_combo_modeSelect 3");
    EXPECT_EQ(playback("EQ_Slider4"), 9.0);

    cmd("text custom_eq_name_edit Night");
    cmd("click hs_EQ_btn_save");
    CHx4120Profiledata doc = saved();
    EXPECT_EQ(doc.GetHeadsetSystem().eqType, 13);
    EXPECT_EQ(doc.GetHeadsetSystem().customEqSelectIndex, 0);
    EXPECT_EQ(doc.GetCustomEqNames(), std::vector<std::wstring>{L"Night"});
    EXPECT_EQ(doc.GetCustomEqValues(0), (std::vector<int>{7, 11, 6, 9, -11, -1, 6, 13, 6, 13}));
    EXPECT_TRUE(wnd->findControl("custom_eq_name_edit")->text().isEmpty());
}

TEST_F(HeadsetPage, SavingNamesAndTheLimitOfTwenty)
{
    startHeadset();
    cmd("select 4120_eq_option_13");
    auto& ed = headset()->soundEditor();
    auto saveAs = [&](const QString& name) {
        wnd->findControl("custom_eq_name_edit")->setText(name);
        return headset()->SaveCustomEq();
    };
    EXPECT_EQ(saveAs(QString()), -1) << "no name and nothing selected";
    EXPECT_EQ(saveAs(QStringLiteral("Night")), 1);
    EXPECT_EQ(saveAs(QStringLiteral("NIGHT")), 0) << "names compare without letter case";
    cmd("answer 1");
    cmd("text custom_eq_name_edit night");
    cmd("click hs_EQ_btn_save");
    EXPECT_EQ(app::DialogService::instance().lastMessage(), QStringLiteral("message_text_5"));
    for (int i = 2; i <= 20; ++i)
        ASSERT_EQ(saveAs(QStringLiteral("Curve %1").arg(i)), 1) << i;
    EXPECT_EQ(saveAs(QStringLiteral("One more")), -1);
    EXPECT_EQ(ed.CustomNames().size(), 20u);
    EXPECT_EQ(saved().GetCustomEqNames().size(), 20u);

    // An empty name overwrites the selected entry; the window tells the user why nothing was saved.
    EXPECT_EQ(saveAs(QStringLiteral("Curve 2")), -1) << "with twenty, even a taken name is refused as full";
    ed.SelectCustom(4);
    cmd("value 4120_eq_hz_slider_0 -7");
    EXPECT_EQ(saveAs(QString()), 1);
    EXPECT_EQ(saved().GetCustomEqValues(4).at(0), -7);
    cmd("answer 1");
    cmd("text custom_eq_name_edit Fresh");
    cmd("click hs_EQ_btn_save");
    EXPECT_EQ(app::DialogService::instance().lastMessage(), QStringLiteral("message_text_eq_full"));
}

TEST_F(HeadsetPage, DeletingKeepsNamesAndCurvesPairedAndTheLastReturnsToPresetOne)
{
    startHeadset();
    cmd("select 4120_eq_option_13");
    const std::vector<std::pair<QString, int>> curves = {{"A", 1}, {"B", 2}, {"C", 3}};
    for (const auto& [name, first] : curves) {
        cmd(QStringLiteral("value 4120_eq_hz_slider_0 %1").arg(first));
        cmd("text custom_eq_name_edit " + name);
        cmd("click hs_EQ_btn_save");
    }
    headset()->soundEditor().SelectCustom(1);
    cmd("click hs_EQ_btn_delete");
    CHx4120Profiledata doc = saved();
    EXPECT_EQ(doc.GetCustomEqNames(), (std::vector<std::wstring>{L"A", L"C"}));
    EXPECT_EQ(doc.GetCustomEqValues(1).at(0), 3) << "C's curve moved up with its name";
    EXPECT_EQ(headset()->soundEditor().SelectedCustom(), 0);
    EXPECT_EQ(headset()->soundEditor().GetBand(0), 1);

    cmd("click hs_EQ_btn_delete");
    chip().clearSets();
    cmd("click hs_EQ_btn_delete");
    EXPECT_TRUE(saved().GetCustomEqNames().empty());
    EXPECT_EQ(saved().GetHeadsetSystem().eqType, 1);
    EXPECT_TRUE(optionOn("4120_eq_option_1"));
    EXPECT_FALSE(wnd->findControl("custom_eq_option_layout")->isVisibleTo(wnd.get()));
    EXPECT_EQ(headset()->soundEditor().GetBands(), (std::vector<int>{7, 11, 2, -3, -1, 4, 9, 12, 9, 5}));
    EXPECT_TRUE(chip().sets().empty()) << "the headset is not written by a delete";
}

TEST_F(HeadsetPage, MicrophoneMonitoringAndVoiceEffect)
{
    startHeadset();
    cmd("select 4120_MicIn_option 0");
    EXPECT_EQ(capture("MuteControl"), 1.0);
    EXPECT_EQ(saved().GetHeadsetSystem().micInSelect, 0);
    cmd("value 4120_MicIn_slider 35");
    EXPECT_NEAR(*capture("VolumeScalarControl"), 0.35, 1e-6);
    EXPECT_EQ(saved().GetHeadsetSystem().micInValue, 35);
    cmd("select 4120_MicMoniter_option 1");
    cmd("value 4120_MicMoniter_slider 70");
    EXPECT_EQ(capture("AAMuteControl"), 0.0);
    EXPECT_NEAR(*capture("AAVolumeScalarControl"), 0.7, 1e-6);
    EXPECT_EQ(saved().GetHeadsetSystem().micMonitorValue, 70);

    // A set the chip refuses leaves the profile, and the switch shows what the chip does.
    chip().setFailingProperty("MuteControl");
    cmd("select 4120_MicIn_option 1");
    EXPECT_EQ(capture("MuteControl"), 1.0);
    EXPECT_EQ(saved().GetHeadsetSystem().micInSelect, 0);
    EXPECT_FALSE(optionOn("4120_MicIn_option"));
    chip().setFailingProperty("");

    cmd("click magic_Op_tab");
    EXPECT_FALSE(wnd->findControl("magic_option_layout")->isEnabled());
    cmd("select magic_enable_option 1");
    EXPECT_EQ(capture("Enable_MAGICVOICE"), 1.0);
    EXPECT_EQ(capture("Enable_MICECHO"), 0.0);
    EXPECT_TRUE(wnd->findControl("magic_option_layout")->isEnabled());
    cmd("select magic_option_3");
    EXPECT_EQ(capture("MagicVoice_Selection"), 2.0);
    EXPECT_EQ(saved().GetHeadsetSystem().magicType, 3);
    EXPECT_EQ(saved().GetHeadsetSystem().magicEnable, 1);

    cmd("click Virtual7.1_Op_tab");
    cmd("select virtual_surround_option 1");
    EXPECT_EQ(playback("VirtualSurroundEffectControl"), 1.0);
    EXPECT_EQ(chip().malformedCalls(), 0);
}

TEST_F(HeadsetPage, AHeadsetWithoutMonitoringKeepsTheStoredMonitoringValues)
{
    start();
    chip().setMonitoring(false);
    simulation->theHeadset().plugCable();
    ASSERT_TRUE(waitFor([&] { return tabShown() && headset()->commandChannel().isOpen(); }, 3000));
    ASSERT_TRUE(waitFor([&] { return !headset()->profilePath().empty(); }, 2000));
    EXPECT_EQ(headset()->headsetSystem().micMonitorValue, 50) << "the default profile's";
    EXPECT_EQ(headset()->headsetSystem().micInValue, 80);
    EXPECT_FALSE(wnd->findControl("4120_MicMoniter_layout")->isEnabled());
}

TEST_F(HeadsetPage, LightChangesWriteNothingTheHeadsetCannotTake)
{
    startHeadset();
    auto* hs = emulator();
    hs->clearReceived();
    cmd("click deng_Op_tab");
    cmd("item light_combo_modeSelect 3");
    QTest::qWait(300);
    EXPECT_TRUE(app::DialogService::instance().lastMessage().isEmpty()) << "no write failure to tell";
    EXPECT_EQ(hs->malformedReports(), 0);
}

TEST_F(HeadsetPage, TheEqualiserLivesThroughReplugRestartAndFollowsTheProfile)
{
    startHeadset();
    cmd("select 4120_eq_option_13");
    cmd("value 4120_eq_hz_slider_9 -5");
    cmd("text custom_eq_name_edit Late");
    cmd("click hs_EQ_btn_save");

    cmd("unplug headset");
    ASSERT_TRUE(waitFor([&] { return !tabShown(); }, 2000));
    cmd("plug headset");
    ASSERT_TRUE(waitFor([&] { return tabShown() && headset()->commandChannel().isOpen(); }, 3000));
    QTest::qWait(200);
    EXPECT_TRUE(optionOn("4120_eq_option_13"));
    EXPECT_EQ(headset()->soundEditor().GetBand(9), -5);

    restartProgram();
    ASSERT_TRUE(waitFor([&] { return tabShown() && !headset()->profilePath().empty(); }, 3000));
    ASSERT_TRUE(waitFor([&] { return wnd->currentDevice() == headset(); }, 2000));
    EXPECT_TRUE(optionOn("4120_eq_option_13"));
    EXPECT_EQ(headset()->soundEditor().CustomNames(), std::vector<std::wstring>{L"Late"});
    EXPECT_EQ(headset()->soundEditor().GetBand(9), -5);

    // A second profile with the factory equaliser: choosing it gives the chip its flat curve, and
    // choosing the first again gives back the saved one.
    CDeviceProfileUI bar = headset()->profileBar();
    ASSERT_FALSE(bar.AddProfile());
    cmd("item device_profile_combo 1");
    ASSERT_TRUE(waitFor([&] { return chipBands() == std::vector<int>(10, 0); }, 2000));
    EXPECT_TRUE(optionOn("4120_eq_option_5"));
    cmd("item device_profile_combo 0");
    ASSERT_TRUE(waitFor([&] { return chipBands().at(9) == -5; }, 2000));
    EXPECT_EQ(chip().malformedCalls(), 0);
}

TEST_F(HeadsetPage, WithoutTheChipsLibraryThePageSaysSoAndChangesNothing)
{
    start();
    deviceEnvironment().audioLibrary = nullptr;
    simulation->theHeadset().plugCable();
    ASSERT_TRUE(waitFor([&] { return tabShown() && !headset()->profilePath().empty(); }, 3000));
    ASSERT_TRUE(waitFor([&] { return wnd->currentDevice() == headset(); }, 2000));
    cmd("click 4120_voice_Op_tab");
    EXPECT_TRUE(wnd->findControl("hs_sound_unavailable")->isVisibleTo(wnd.get()));
    EXPECT_FALSE(wnd->findControl("hs_sound_layout")->isEnabled());
    headset()->SelectEqType(3); // as if clicked
    headset()->ToggleMicMute();
    EXPECT_TRUE(chip().sets().empty());
}

} // namespace
} // namespace q9

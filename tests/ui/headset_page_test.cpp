// The headset as a user meets it: its tab comes and goes with the cable, its page shows the
// headset with its 13 light zones and the lighting editor, and while the host drives the lights
// the headset receives each frame as colour reports.
#include "controls/KeyControls.h"
#include "device/HeadsetDevice.h"
#include "editors/LightEditor.h"
#include "sim/HeadsetEmulator.h"

#include "ShellFixture.h"

namespace q9 {
namespace {

class HeadsetPage : public test::Shell {
protected:
    sim::HeadsetEmulator* emulator()
    {
        if (!simulation->headset)
            simulation->headset = std::make_unique<sim::HeadsetEmulator>(simulation->bus);
        return simulation->headset.get();
    }
    CTarvenixHX4120Device* headset()
    {
        for (auto* t : wnd->tabs())
            if (auto* h = dynamic_cast<CTarvenixHX4120Device*>(t->device()))
                return h;
        return nullptr;
    }
    bool tabShown() { return headset() && headset()->tab() && static_cast<app::CDeviceOptionUI*>(headset()->tab())->tabVisible(); }
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

} // namespace
} // namespace q9

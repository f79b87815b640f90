// The lighting editor on the skin's own layout: which controls each device kind and effect leave
// usable, how a light record and an audio light record are shown and read back, and a layout
// without the controls.
#include "app/Startup.h"
#include "editors/LightEditor.h"
#include "ui/Builder.h"
#include "ui/ColorPalette.h"
#include "ui/Combo.h"
#include "ui/Containers.h"
#include "ui/Label.h"
#include "ui/Resources.h"
#include "ui/Slider.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace q9::editors {
namespace {

class LightEditor : public testing::Test {
protected:
    void SetUp() override
    {
        ui::Resources::instance().release();
        app::setupSkinResources(QStringLiteral(Q9_APP_DIR "/skin/"));
        ui::DialogBuilder builder;
        root.reset(builder.create(QStringLiteral("XML\\CustomControlXML\\LightControl.xml"), nullptr, nullptr));
        ASSERT_NE(root, nullptr);
        editor.attach(root.get());
        editor.SetEffectList(std::vector<std::wstring>(31, L"light_mode_static"), std::vector<uint8_t>(31, 1), 4, 4);
    }
    void TearDown() override
    {
        root.reset();
        ui::Resources::instance().release();
    }
    ui::Control* at(const char* name) { return editor.find(name); }
    bool enabled(const char* name) { return at(name) && at(name)->isEnabled(); }
    bool shown(const char* name) { return at(name) && at(name)->isVisibleTo(root.get()); }
    bool selected(const char* name)
    {
        auto* o = qobject_cast<ui::Option*>(at(name));
        return o && o->isSelected();
    }

    // What a user can change, read off the controls: M multi-colour, C colour, P palette,
    // B brightness, S speed, D direction; '+' when "apply to all devices" shows.
    std::string usable()
    {
        std::string s;
        EXPECT_TRUE(enabled("lighteffect_layout"));
        if (enabled("deng_7color_check")) s += 'M';
        if (enabled("deng_edit_R") && enabled("deng_colordp_btn")) s += 'C';
        if (enabled("deng_Color_Pallet")) s += 'P';
        if (enabled("deng_light_slider") && shown("deng_light_slider")) s += 'B';
        if (enabled("deng_speed_slider") && shown("deng_speed_slider")) s += 'S';
        if (enabled("deng_FXL_check") && enabled("deng_FXR_check")) s += 'D';
        if (shown("deng_same_mode")) s += '+';
        return s;
    }

    std::unique_ptr<ui::Control> root;
    CLightControlUI editor;
};

TEST_F(LightEditor, EachKindAndEffectLeavesItsControlsUsable)
{
    struct Case {
        int kind;
        int mode;
        bool severalDevices;
        const char* usable;
        const char* fxLeft = "light_set_right_to_left_text";
    };
    const Case cases[] = {
        {2, 0, true, "CPB+"},
        {2, 0, false, "CPB"},
        {2, 1, true, "MCPBS+"},
        {2, 4, true, "MCPBSD"},
        {2, 3, true, "BS+"},
        {2, 8, true, "BS"},
        {2, 6, true, "+"},
        {2, 6, false, ""},
        {2, 9, true, ""},
        {3, 0, true, "MCPBSD"},
        {7, 3, true, "CPB+"},
        {7, 8, true, "+"},
        {3, 5, true, ""},
        {1, 3, true, "MCPBSD", "light_set_clockwise_text"},
        {1, 4, true, "BS+"},        // colour layout disabled as a whole
        {1, 11, true, "BS"},
        {1, 12, false, "BSD", "light_set_down_to_up_text"},
        {1, 17, false, "B"},        // speed row hidden, second mode list shown
        {1, 18, false, "BD", "light_set_outside_to_inside_text"},
        {1, 20, false, "CPB"},      // custom group shown, speed hidden
        {1, 29, false, "MCPBD"},    // audio page
        {1, 30, false, "B"},
        {1, 19, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " mode " << c.mode);
        editor.SetLightKind(c.kind);
        editor.SetSameModeAllowed(c.severalDevices);
        editor.SetMode(c.mode);
        EXPECT_EQ(usable(), c.usable);
        if (c.kind == 1) {
            EXPECT_EQ(at("deng_FXL_check")->text(), ui::Resources::instance().text(QString::fromLatin1(c.fxLeft)));
            EXPECT_EQ(shown("lightcustom_layout"), c.mode == 20);
            EXPECT_EQ(shown("light_combo_ZZCCmodeSelectLayout"), c.mode == 17);
            EXPECT_EQ(shown("light_combo_AudiomodeSelectLayout"), c.mode == 29);
            EXPECT_EQ(qobject_cast<ui::TabLayout*>(at("light_color_tablayout"))->currentSel(), c.mode == 29 ? 1 : 0);
        }
    }
}

TEST_F(LightEditor, TheKeyboardExtrasStayHiddenOnOtherDevices)
{
    for (int mode : {17, 20, 29}) {
        editor.SetLightKind(2);
        editor.SetMode(mode);
        EXPECT_FALSE(shown("lightcustom_layout"));
        EXPECT_FALSE(shown("light_combo_ZZCCmodeSelectLayout"));
        EXPECT_FALSE(shown("light_combo_AudiomodeSelectLayout"));
        EXPECT_FALSE(shown("custom_bright_color_btn"));
        EXPECT_EQ(qobject_cast<ui::TabLayout*>(at("light_color_tablayout"))->currentSel(), 0);
    }
}

TEST_F(LightEditor, ARecordIsShownAndReadBack)
{
    editor.SetLightKind(2);
    LightInfoRecord r;
    r.selectItem = 4;
    r.light = 3;
    r.speed = 1;
    r.fx = 1;
    r.multiColor = 1;
    r.red = 0x12, r.green = 0xA0, r.blue = 0xFE;
    editor.SetLightInfo(r);
    EXPECT_EQ(editor.GetMode(), 4);
    EXPECT_EQ(editor.GetLight(), 3);
    EXPECT_EQ(editor.GetSpeed(), 1);
    EXPECT_EQ(editor.GetRed(), "18");
    EXPECT_EQ(editor.GetGreen(), "160");
    EXPECT_EQ(editor.GetBlue(), "254");
    EXPECT_EQ(editor.GetColor(), 0xFF12A0FEu);
    EXPECT_EQ(at("deng_colordp_btn")->bkColor(), 0xFF12A0FEu);
    EXPECT_TRUE(editor.GetMultiColor());
    EXPECT_TRUE(selected("deng_FXL_check"));
    EXPECT_FALSE(selected("deng_FXR_check"));
    r.fx = 0;
    editor.SetLightInfo(r);
    EXPECT_FALSE(selected("deng_FXL_check"));
    EXPECT_TRUE(selected("deng_FXR_check"));
    EXPECT_EQ(editor.GetOptionColor(3), 0xFF00FF00u);
    EXPECT_EQ(editor.GetOptionColor(99), 0u);
}

TEST_F(LightEditor, TypedComponentsAreHeldToAByte)
{
    const std::pair<const char*, int> cases[] = {{"300", 255}, {"", 0}, {"  7 ", 7}, {"abc", 0}, {"-4", 0}, {"255", 255}};
    for (auto [text, value] : cases)
        EXPECT_EQ(componentValue(QString::fromLatin1(text)), value) << text;
}

TEST_F(LightEditor, TheAudioRecordShowsTheColourItEdits)
{
    AudioLightRecord r;
    r.audioMode = 2;
    r.bkColorR = 1, r.bkColorG = 2, r.bkColorB = 3;
    r.fgColorR = 200, r.fgColorG = 100, r.fgColorB = 50;
    r.sevenColor = 1;
    r.colorType = 1;
    ASSERT_TRUE(editor.SetAudioLightInfo(r));
    EXPECT_TRUE(selected("audio_FgColor_check"));
    EXPECT_FALSE(selected("audio_BkColor_check"));
    EXPECT_TRUE(selected("deng_7audiocolor_check"));
    EXPECT_EQ(at("deng_audioedit_R")->text(), "200");
    EXPECT_EQ(at("deng_audiocolordp_btn")->bkColor(), argb(200, 100, 50));
    EXPECT_TRUE(enabled("light_audiocolor_layout"));

    r.colorType = 0;
    r.audioMode = 3; // no colours in this mode
    ASSERT_TRUE(editor.SetAudioLightInfo(r));
    EXPECT_TRUE(selected("audio_BkColor_check"));
    EXPECT_EQ(at("deng_audioedit_B")->text(), "3");
    EXPECT_FALSE(enabled("light_audiocolor_layout"));
    EXPECT_FALSE(enabled("audiocolorpallet_layout"));
}

TEST_F(LightEditor, TheEditedAudioColourFollowsTheOptions)
{
    // The two options are one choice: picking one clears the other.
    struct Case {
        uint8_t previous;
        const char* picked; // nullptr: neither is set
        uint8_t expected;
    };
    const Case cases[] = {
        {1, "audio_BkColor_check", 0}, // background chosen while the foreground was edited
        {0, "audio_BkColor_check", 0},
        {0, "audio_FgColor_check", 1},
        {1, "audio_FgColor_check", 1},
        {0, nullptr, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.previous) << " " << (c.picked ? c.picked : "none"));
        AudioLightRecord r;
        r.colorType = c.previous;
        ASSERT_TRUE(editor.SetAudioLightInfo(r));
        if (c.picked) {
            qobject_cast<ui::Option*>(at(c.picked))->selected(true, false);
        } else {
            qobject_cast<ui::Option*>(at("audio_BkColor_check"))->selected(false, false);
            qobject_cast<ui::Option*>(at("audio_FgColor_check"))->selected(false, false);
        }
        EXPECT_EQ(selected("audio_BkColor_check") && selected("audio_FgColor_check"), false);
        at("deng_audiocolordp_btn")->setBkColor(argb(9, 8, 7));
        const auto got = editor.GetAudioLightInfo(true);
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(got->colorType, c.expected);
        EXPECT_EQ(c.expected == 1 ? got->fgColorR : got->bkColorR, 9);
        EXPECT_EQ(c.expected == 1 ? got->bkColorR : got->fgColorR, 0);
    }
}

TEST_F(LightEditor, WithoutItsControlsTheEditorGivesDefaultsAndRefusesTheAudioRecord)
{
    CLightControlUI bare(nullptr);
    bare.SetLightKind(2);
    bare.SetLightInfo(LightInfoRecord{});
    EXPECT_EQ(bare.GetMode(), -1);
    EXPECT_EQ(bare.GetLight(), 0);
    EXPECT_EQ(bare.GetRed(), "");
    EXPECT_EQ(bare.GetColor(), 0xFF000000u);
    EXPECT_EQ(bare.GetAudioPaletteColor(), 0xFF000000u);
    EXPECT_FALSE(bare.SetAudioLightInfo(AudioLightRecord{}));
    EXPECT_FALSE(bare.GetAudioLightInfo(true).has_value());
    EXPECT_FALSE(bare.GetAudioEditValue('R').has_value());
    // A control that turns up later is found then.
    bare.attach(root.get());
    EXPECT_EQ(bare.GetMode(), editor.GetMode());
    EXPECT_TRUE(bare.SetAudioLightInfo(AudioLightRecord{}));
}

} // namespace
} // namespace q9::editors

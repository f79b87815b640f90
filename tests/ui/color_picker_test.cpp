// The colour picker: typed components, presets, favourites that persist in the user's colour
// options file, and the stage colour it hands to the mouse.
#include "app/ColorSelect.h"
#include "app/DialogService.h"
#include "app/MainWnd.h"
#include "app/Startup.h"
#include "device/MouseDevice.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "sim/MouseEmulator.h"
#include "sim/Simulation.h"
#include "ui/ColorPalette.h"
#include "ui/Label.h"
#include "ui/Resources.h"

#include "support/SimulatedProgram.h"

#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace q9 {
namespace {

class Picker : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data.isValid());
        qputenv("Q9ZEN_DATA_DIR", data.path().toUtf8());
        ui::Resources::instance().release();
        app::setupSkinResources(QStringLiteral(Q9_APP_DIR "/skin/"));
    }
    void TearDown() override
    {
        picker.reset();
        ui::Resources::instance().release();
        qunsetenv("Q9ZEN_DATA_DIR");
    }
    void open(QRgb colour = 0xFF102030)
    {
        picker = std::make_unique<app::CColorSelectWnd>();
        picker->ShowColour(colour); // before creation: the colour the window opens with
        ASSERT_TRUE(picker->create(QStringLiteral("PalletDialog")));
        picker->ShowColour(colour);
    }
    void send(const QString& type, const QString& control)
    {
        ui::TNotify m{type, picker->findControl(control), 0, 0, 0};
        ASSERT_NE(m.sender, nullptr) << control.toStdString();
        if (auto* o = qobject_cast<ui::Option*>(m.sender); o && type == ui::notify::SelectChanged)
            o->selected(true, false);
        picker->notify(m);
    }
    void type(const char* edit, const QString& text)
    {
        picker->findControl(QString::fromLatin1(edit))->setText(text);
        send(ui::notify::KillFocus, QString::fromLatin1(edit));
    }
    Json::Value favourites() const
    {
        const Json::Value file = ReadJsonFile(app::CColorSelectWnd::optionsPath());
        return Member(Member(file, "coloroptioninfo"), "palletDialogcollectcoloroption");
    }

    QTemporaryDir data;
    std::unique_ptr<app::CColorSelectWnd> picker;
};

TEST_F(Picker, TypedComponentsAreHeldTo255AndEmptyReadsZero)
{
    open();
    struct Case {
        const char* r;
        const char* g;
        const char* b;
        QRgb colour;
        const char* shownG;
    };
    const Case cases[] = {{"10", "300", "20", 0xFF0AFF14, "255"}, {"1", "", "2", 0xFF010002, "0"}, {"255", "128", "0", 0xFFFF8000, "128"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.g);
        picker->findControl("color_edit_r")->setText(c.r);
        picker->findControl("color_edit_b")->setText(c.b);
        type("color_edit_g", c.g);
        EXPECT_EQ(picker->currentColour(), c.colour);
        EXPECT_EQ(picker->findControl("color_edit_g")->text(), c.shownG);
        EXPECT_EQ(picker->findControl("color_show_btn")->bkColor(), c.colour);
    }
}

// A favourite slot picked by the user takes every colour chosen after; with none picked (just
// after opening) no slot changes; an empty slot changes nothing when picked; filled slots come
// back at the next opening.
TEST_F(Picker, FavouritesAreFilledOnlyWhenPickedAndSurviveARestart)
{
    open();
    send(ui::notify::SelectChanged, "color_option_4"); // a preset, no favourite picked
    EXPECT_TRUE(favourites()[3]["UserData"].asString().empty());
    const QRgb preset = picker->findControl("color_option_4")->bkColor();
    EXPECT_EQ(picker->currentColour(), preset);

    send(ui::notify::SelectChanged, "collect_color_option_5"); // empty: the colour stays
    EXPECT_EQ(picker->currentColour(), preset);
    const std::string before = ReadFileText(app::CColorSelectWnd::optionsPath());
    send(ui::notify::SelectChanged, "collect_color_option_3");
    EXPECT_EQ(ReadFileText(app::CColorSelectWnd::optionsPath()), before);
    type("color_edit_r", "0"); // now slot 3 takes the colour
    const QRgb typed = picker->currentColour();
    EXPECT_EQ(favourites()[3]["UserData"].asString(), "1");
    EXPECT_EQ(QString::fromStdString(favourites()[3]["color"].asString()).toUInt(nullptr, 16), typed);

    open(0xFF000000); // the next opening
    ui::Control* slot = picker->findControl("collect_color_option_3");
    EXPECT_EQ(slot->bkColor(), typed);
    EXPECT_EQ(slot->userData(), "1");
    EXPECT_EQ(picker->findControl("collect_color_option_5")->bkColor(), 0xFFFFFFFF);
    send(ui::notify::SelectChanged, "collect_color_option_3");
    EXPECT_EQ(picker->currentColour(), typed);
}

TEST_F(Picker, AStoredSlotIsFilledOnlyWithItsMark)
{
    Json::Value file;
    file["coloroptioninfo"]["palletDialogcollectcoloroption"][0]["color"] = "FF00FF00";
    file["coloroptioninfo"]["palletDialogcollectcoloroption"][0]["UserData"] = "1";
    file["coloroptioninfo"]["palletDialogcollectcoloroption"][1]["color"] = "FF00FF00";
    file["coloroptioninfo"]["palletDialogcollectcoloroption"][1]["UserData"] = "";
    ASSERT_EQ(WriteJsonFile(app::CColorSelectWnd::optionsPath(), file), 0);
    open();
    EXPECT_EQ(picker->findControl("collect_color_option_0")->bkColor(), 0xFF00FF00);
    EXPECT_EQ(picker->findControl("collect_color_option_1")->bkColor(), 0xFFFFFFFF);
}

TEST_F(Picker, OkHandsBackThePreviewsColourAndCloseHandsBackNothing)
{
    for (const char* button : {"okbtn", "closebtn", "laterbtn"}) {
        SCOPED_TRACE(button);
        open(0xFF336699);
        QTimer::singleShot(30, [&] { send(ui::notify::Click, QString::fromLatin1(button)); });
        const int r = picker->showModal();
        EXPECT_EQ(r, std::string(button) == "okbtn" ? 1 : 0);
        if (r == 1) {
            EXPECT_EQ(picker->Result(), 0xFF336699);
        }
    }
}

TEST_F(Picker, TheOpenPickerLooksFinished)
{
    ui::Resources::instance().loadLanguage("lan_en.xml");
    open(0xFF00C2FF);
    picker->show();
    QTest::qWait(100);
    const QImage shot = picker->grab().toImage();
    EXPECT_EQ(shot.size(), picker->size() * picker->devicePixelRatio());
    shot.save(QDir::temp().filePath("q9zen-colour-picker.png"));
}

} // namespace
} // namespace q9

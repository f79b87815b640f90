// The standard controls as a user drives them: real mouse and key events on a shown window, and the
// notifications the window gets.
#include "UiFixture.h"

#include "ui/ColorPalette.h"
#include "ui/Combo.h"
#include "ui/Containers.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/List.h"
#include "ui/Slider.h"

#include "platform/SettingsStore.h"
#include "ui/Menu.h"

#include <QComboBox>
#include <QMenu>
#include <QTimer>
#include <QLineEdit>
#include <QTest>

namespace q9 {
namespace {

using test::RecordingWindow;

class Controls : public test::SkinTest {
protected:
    void SetUp() override
    {
        SkinTest::SetUp();
        write("c.xml", R"(<Window size="400,400"><VerticalLayout name="root">
          <HorizontalLayout height="40">
            <Button name="btn" width="80"/>
            <Option name="opt_1" group="g" width="60"/>
            <Option name="opt_2" group="g" width="60" selected="true"/>
            <CheckBox name="chk" width="90"/>
          </HorizontalLayout>
          <Slider name="sld" height="30" min="0" max="100" value="10"/>
          <Edit name="edt" height="30"/>
          <Combo name="cmb" height="30"><ListLabelElement text="a" userdata="7"/><ListLabelElement text="b" userdata="9"/></Combo>
          <List name="lst" height="90"><ListLabelElement name="row0" height="30" text="r0"/><ListLabelElement name="row1" height="30" text="r1"/></List>
          <ColorPalette name="pal" height="100"/>
          <Control/>
        </VerticalLayout></Window>)");
        ASSERT_TRUE(w.create({}, "c.xml"));
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.seen.clear();
    }
    ui::Control* c(const char* name) { return w.findControl(name); }
    void click(const char* name, QPoint at = {})
    {
        ui::Control* ctl = c(name);
        QTest::mouseClick(ctl, Qt::LeftButton, {}, at.isNull() ? ctl->rect().center() : at);
    }
    RecordingWindow w;
};

TEST_F(Controls, LayoutGivesFixedSizesAndSharesTheRest)
{
    EXPECT_EQ(c("btn")->width(), 80);
    EXPECT_EQ(c("btn")->height(), 40);
    EXPECT_EQ(c("sld")->height(), 30);
    EXPECT_EQ(c("opt_1")->x(), 80);
    EXPECT_EQ(c("lst")->y(), 40 + 30 + 30 + 30);
    EXPECT_EQ(c("root")->height(), 400);
}

TEST_F(Controls, ButtonClickRaisesClickFromItself)
{
    click("btn");
    ASSERT_EQ(w.seen.size(), 1u);
    EXPECT_EQ(w.seen[0].type, "click");
    EXPECT_EQ(w.seen[0].sender, "btn");
    // Press inside, release outside: no click.
    QTest::mousePress(c("btn"), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(c("btn"), Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_EQ(w.seen.size(), 1u);
}

TEST_F(Controls, OptionsOfAGroupAreExclusiveAndOnlyTheNewOneNotifies)
{
    auto* o1 = static_cast<ui::Option*>(c("opt_1"));
    auto* o2 = static_cast<ui::Option*>(c("opt_2"));
    auto types = [&] {
        QStringList t;
        for (const auto& s : w.seen)
            t << s.type + ":" + s.sender;
        return t;
    };
    click("opt_1");
    EXPECT_TRUE(o1->isSelected());
    EXPECT_FALSE(o2->isSelected());
    // An option is clicked, then its selection changes; the option it replaced says nothing.
    EXPECT_EQ(types(), QStringList({"click:opt_1", "selectchanged:opt_1"}));
    click("opt_1"); // already selected: the click only
    EXPECT_EQ(types().size(), 3);
    EXPECT_EQ(types().last(), "click:opt_1");
    o2->selected(true, false);
    EXPECT_FALSE(o1->isSelected());
    EXPECT_EQ(types().size(), 3);

    w.seen.clear();
    click("chk");
    click("chk");
    EXPECT_FALSE(static_cast<ui::Option*>(c("chk"))->isSelected());
    EXPECT_EQ(types(), QStringList({"click:chk", "selectchanged:chk", "click:chk", "selectchanged:chk"}));
}

TEST_F(Controls, SliderDragMovesThenReportsTheValue)
{
    auto* s = static_cast<ui::Slider*>(c("sld"));
    QTest::mousePress(s, Qt::LeftButton, {}, QPoint(8, 15));
    QTest::mouseMove(s, QPoint(s->width() / 2, 15));
    QTest::mouseRelease(s, Qt::LeftButton, {}, QPoint(s->width() / 2, 15));
    EXPECT_NEAR(s->value(), 50, 2);
    std::vector<QString> types;
    for (const auto& seen : w.seen)
        if (seen.sender == "sld")
            types.push_back(seen.type);
    ASSERT_GE(types.size(), 2u);
    EXPECT_EQ(types.front(), "movevaluechanged");
    EXPECT_EQ(types.back(), "valuechanged");
    s->setValue(500); // clamped to the range, silently
    EXPECT_EQ(s->value(), 100);
}

TEST_F(Controls, EditReportsFocusTypingAndReturn)
{
    auto* e = static_cast<ui::Edit*>(c("edt"));
    c("btn")->setFocusPolicy(Qt::StrongFocus);
    c("btn")->setFocus();
    w.seen.clear();
    e->lineEdit()->setFocus();
    QTest::keyClicks(e->lineEdit(), "12");
    QTest::keyClick(e->lineEdit(), Qt::Key_Return);
    c("btn")->setFocus();
    EXPECT_EQ(e->text(), "12");
    EXPECT_TRUE(w.saw("setfocus", "edt"));
    EXPECT_TRUE(w.saw("textchanged", "edt"));
    EXPECT_TRUE(w.saw("return", "edt"));
    EXPECT_TRUE(w.saw("killfocus", "edt"));
    e->setText("set by program");
    EXPECT_EQ(e->lineEdit()->text(), "set by program");
}

TEST_F(Controls, ComboItemsAndSelection)
{
    auto* cb = static_cast<ui::Combo*>(c("cmb"));
    ASSERT_EQ(cb->count(), 2);
    EXPECT_EQ(cb->itemUserData(1), "9");
    EXPECT_EQ(cb->findUserData("9"), 1);
    EXPECT_EQ(cb->findUserData("8"), -1);
    EXPECT_TRUE(cb->selectItem(1, false));
    EXPECT_TRUE(w.seen.empty());
    EXPECT_TRUE(cb->selectItem(0));
    ASSERT_EQ(w.seen.size(), 1u);
    EXPECT_EQ(w.seen[0].type, "itemselect");
    EXPECT_EQ(w.seen[0].sender, "cmb");
    EXPECT_FALSE(cb->selectItem(5));
    EXPECT_EQ(cb->curSel(), 0);
    // A user's pick.
    emit cb->comboBox()->activated(1);
    EXPECT_EQ(w.seen.back().type, "itemselect");
}

TEST_F(Controls, ListRowClickSelectsAndNotifies)
{
    auto* list = static_cast<ui::List*>(c("lst"));
    click("row1");
    EXPECT_EQ(list->curSel(), 1);
    EXPECT_TRUE(w.saw("itemselect", "lst"));
    EXPECT_TRUE(w.saw("itemclick", "row1"));
    QTest::mouseDClick(c("row0"), Qt::LeftButton);
    EXPECT_TRUE(w.saw("itemactivate", "row0"));
    EXPECT_EQ(list->curSel(), 0);
    list->removeAll();
    EXPECT_EQ(list->curSel(), -1);
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(w.findControl("row0"), nullptr);
}

TEST_F(Controls, PaletteReportsThePickedColour)
{
    auto* pal = static_cast<ui::ColorPalette*>(c("pal"));
    click("pal", QPoint(1, 1)); // top left: red at full saturation
    ASSERT_TRUE(w.saw("colorchanged", "pal"));
    const QColor picked = QColor::fromRgba(pal->getSelectColor());
    EXPECT_GT(picked.red(), 230);
    EXPECT_LT(picked.green(), 40);
    EXPECT_EQ(w.seen.back().wParam, pal->getSelectColor());
    pal->setSelectColor(0xFF00FF00);
    EXPECT_EQ(QColor::fromRgba(pal->getSelectColor()).green(), 255);
}

TEST_F(Controls, TimersRepeatUntilKilledAndTheWindowInitOnce)
{
    struct Ticker : ui::Control {
        int ticks = 0;
        void doEvent(ui::UiEvent& e) override
        {
            if (e.type == ui::EventType::Timer && e.timerId == 7 && ++ticks == 3)
                killUiTimer(7);
        }
    };
    auto* t = new Ticker;
    static_cast<ui::Container*>(w.root())->add(t);
    t->setUiTimer(7, 5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return t->ticks >= 3; }, 2000));
    EXPECT_FALSE(t->uiTimerActive(7));
    QTest::qWait(40); // eight periods more: a killed timer does not tick again
    EXPECT_EQ(t->ticks, 3);
}

TEST(WindowInit, ArrivesOnceWithTheRootAsSender)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("w.xml"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"(<Window size="100,100"><VerticalLayout name="root"/></Window>)");
    f.close();
    ui::Resources::instance().setResourcePath(dir.path());
    test::RecordingWindow w;
    ASSERT_TRUE(w.create({}, "w.xml"));
    w.show();
    QTest::qWait(20);
    w.hide();
    w.show();
    QTest::qWait(20);
    int inits = 0;
    for (const auto& s : w.seen)
        inits += s.type == "windowinit" && s.sender == "root";
    EXPECT_EQ(inits, 1);
}

} // namespace
} // namespace q9

namespace q9 {
namespace {

class WindowKinds : public test::SkinTest {};

TEST_F(WindowKinds, DpiScalesTheWholeLayout)
{
    write("d.xml", R"(<Window size="200,100"><HorizontalLayout name="root"><Button name="b" width="80"/></HorizontalLayout></Window>)");
    test::RecordingWindow w;
    ASSERT_TRUE(w.create({}, "d.xml"));
    w.show();
    QTest::qWait(10);
    EXPECT_EQ(w.findControl("b")->width(), 80);
    w.setDpi(144);
    QTest::qWait(10);
    EXPECT_EQ(w.size(), QSize(300, 150));
    EXPECT_EQ(w.findControl("b")->width(), 120);
    EXPECT_DOUBLE_EQ(w.findControl("b")->scale(), 1.5);
}

TEST_F(WindowKinds, ModalRunReturnsWhatCloseWasGiven)
{
    write("m.xml", R"(<Window size="120,80"><VerticalLayout name="root"><Button name="closebtn" height="20"/></VerticalLayout></Window>)");
    test::RecordingWindow w;
    ASSERT_TRUE(w.create({}, "m.xml"));
    QTimer::singleShot(20, &w, [&] { w.close(5); });
    EXPECT_EQ(w.showModal(), 5);
    EXPECT_FALSE(w.isVisible());
    // The title-bar close button ends a modal run with 0 through the default handling.
    QTimer::singleShot(20, &w, [&] { QTest::mouseClick(w.findControl("closebtn"), Qt::LeftButton); });
    EXPECT_EQ(w.showModal(), 0);
    // A window message asks the same.
    QTimer::singleShot(20, &w, [&] { w.post(WM_CLOSE_MSG, 3, 0); });
    EXPECT_EQ(w.showModal(), 3);
}

TEST_F(WindowKinds, MenusCarryTheNamesAndTranslatedTexts)
{
    write("lan.xml", R"(<Language name="x"><Text id="exit_menu_text">退出</Text></Language>)");
    write("menu.xml", R"(<Menu><MenuElement name="about_menu" text="About"/><Separator/>
        <MenuElement name="exit" text="exit_menu_text" textid="true"/><MenuElement name="off" text="x" enabled="false"/></Menu>)");
    ASSERT_TRUE(ui::Resources::instance().loadLanguage("lan.xml"));
    std::unique_ptr<QMenu> menu(ui::Menu::build("menu.xml", nullptr));
    QStringList names, texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) {
            names << a->objectName();
            texts << a->text();
        }
    EXPECT_EQ(names, QStringList({"about_menu", "exit", "off"}));
    EXPECT_EQ(texts, QStringList({"About", "退出", "x"}));
    EXPECT_FALSE(menu->actions().last()->isEnabled());
}

TEST(SettingsStore, KeepsValuesUnderTheProductKey)
{
    QTemporaryDir dir;
    qputenv("Q9ZEN_CONFIG_DIR", dir.path().toUtf8());
    EXPECT_EQ(settings::readInt(settings::productKey(), "LANGUAGE", -1), -1);
    settings::writeInt(settings::productKey(), "LANGUAGE", 2);
    EXPECT_EQ(settings::readInt(settings::productKey(), "LANGUAGE", -1), 2);
    EXPECT_EQ(settings::productKey(), "SOFTWARE/Q9 Zen 1K Gaming Mouse");
    qunsetenv("Q9ZEN_CONFIG_DIR");
}

} // namespace
} // namespace q9

// The custom controls' geometry and notifications, driven through their event entry.
#include "UiFixture.h"

#include "controls/ButtonControls.h"
#include "controls/KeyControls.h"
#include "controls/MiscControls.h"
#include "controls/Registration.h"
#include "controls/RowControls.h"
#include "ui/List.h"

#include <QTest>

namespace q9 {
namespace {

using controls::CDeviceKeyButtonUI;
using ui::EventType;
using ui::UiEvent;

UiEvent ev(EventType t, QPoint pt = {}, int timer = 0)
{
    UiEvent e;
    e.type = t;
    e.pt = pt;
    e.timerId = timer;
    return e;
}

class CustomControls : public test::SkinTest {
protected:
    void build(const QByteArray& body)
    {
        controls::registerCustomControls();
        write("x.xml", "<Window size=\"300,300\"><VerticalLayout name=\"root\">" + body + "</VerticalLayout></Window>");
        ASSERT_TRUE(w.create({}, "x.xml"));
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.seen.clear();
    }
    template <class T>
    T* get(const char* name) { return dynamic_cast<T*>(w.findControl(name)); }
    test::RecordingWindow w;
};

TEST_F(CustomControls, RubberBandSelectsKeysItTouchesEvenAtACorner)
{
    build(R"(<SelectPanel name="panel" height="200">
        <DeviceKeyButton name="key_1" float="true" pos="50,50,70,70"/>
        <DeviceKeyButton name="key_2" float="true" pos="150,150,170,170"/>
        <Option name="other" float="true" pos="20,20,40,40"/>
      </SelectPanel>)");
    auto* panel = get<controls::CSelectPanelUI>("panel");
    auto* k1 = get<CDeviceKeyButtonUI>("key_1");
    auto* k2 = get<CDeviceKeyButtonUI>("key_2");
    ASSERT_TRUE(panel && k1 && k2);
    k2->setSelected(true);

    auto down = ev(EventType::ButtonDown, {10, 10});
    panel->doEvent(down);
    auto move = ev(EventType::MouseMove, {50, 50}); // exactly key_1's top-left pixel
    panel->doEvent(move);
    EXPECT_TRUE(panel->dragging());
    EXPECT_EQ(panel->selection(), QRect(QPoint(10, 10), QPoint(50, 50)));
    auto up = ev(EventType::ButtonUp, {50, 50});
    panel->doEvent(up);

    EXPECT_TRUE(k1->isSelected());
    EXPECT_FALSE(k2->isSelected());
    EXPECT_FALSE(get<ui::Option>("other")->isSelected()); // only key buttons are touched
    ASSERT_EQ(w.seen.size(), 1u);
    EXPECT_EQ(w.seen[0].type, "click_select_end");
    EXPECT_EQ(w.seen[0].sender, "panel");

    // Dragged upwards and leftwards: the rectangle is sorted.
    panel->doEvent(*new (&down) UiEvent(ev(EventType::ButtonDown, {190, 190})));
    auto back = ev(EventType::MouseMove, {160, 160});
    panel->doEvent(back);
    EXPECT_EQ(panel->selection(), QRect(QPoint(160, 160), QPoint(190, 190)));
    auto up2 = ev(EventType::ButtonUp, {160, 160});
    panel->doEvent(up2);
    EXPECT_FALSE(k1->isSelected());
    EXPECT_TRUE(k2->isSelected());
}

TEST_F(CustomControls, PressWithoutDragSelectsNothing)
{
    build(R"(<SelectPanel name="panel" height="200"><DeviceKeyButton name="key_1" float="true" pos="0,0,300,200"/></SelectPanel>)");
    auto* panel = get<controls::CSelectPanelUI>("panel");
    auto down = ev(EventType::ButtonDown, {10, 10});
    auto up = ev(EventType::ButtonUp, {10, 10});
    panel->doEvent(down);
    panel->doEvent(up);
    EXPECT_FALSE(get<CDeviceKeyButtonUI>("key_1")->isSelected());
    EXPECT_TRUE(w.seen.empty());
    // A real click on the panel's empty area behaves the same.
    build(R"(<SelectPanel name="panel2" height="200"/>)");
    QTest::mouseClick(w.findControl("panel2"), Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_TRUE(w.seen.empty());
}

// Keys with a look of their own and a light are drawn by the picture and get no pointer; a click
// on one still reaches it, through the picture. A plain light zone does not become clickable.
TEST_F(CustomControls, APictureDrawnKeyIsClickedThroughThePicture)
{
    build(R"(<SelectPanel name="panel" height="200">
        <DeviceKeyButton name="key_1" float="true" pos="10,10,60,40" text="A" bkcolor="#FF202020"/>
        <DeviceKeyButton name="light_1" float="true" pos="100,10,150,40"/>
      </SelectPanel>)");
    auto* key = get<CDeviceKeyButtonUI>("key_1");
    auto* zone = get<CDeviceKeyButtonUI>("light_1");
    key->showLightLayer(true);
    zone->showLightLayer(true);
    ASSERT_TRUE(key->drawnByPicture());
    ASSERT_TRUE(zone->drawnByPicture());
    QWidget* panel = w.findControl("panel");
    EXPECT_EQ(panel->childAt(QPoint(30, 20)), nullptr) << "the picture takes the pointer";
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_TRUE(w.saw("click", "key_1"));
    w.seen.clear();
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(120, 20));
    EXPECT_TRUE(w.seen.empty());
}

TEST_F(CustomControls, RecordButtonFadesDownAndUpWhileBlinking)
{
    build(R"(<RedioMacroButton name="rec" redioimage="rec.png" height="30"/>)");
    auto* rec = get<controls::CRedioMacroButtonUI>("rec");
    rec->startBlink();
    EXPECT_TRUE(rec->uiTimerActive(controls::CRedioMacroButtonUI::kBlinkTimer));
    std::vector<int> fades;
    for (int i = 0; i < 18; ++i) {
        auto tick = ev(EventType::Timer, {}, controls::CRedioMacroButtonUI::kBlinkTimer);
        rec->doEvent(tick);
        fades.push_back(rec->fade());
    }
    const std::vector<int> expected = {235, 215, 195, 175, 155, 135, 115, 95, 80, 100, 120, 140, 160, 180, 200, 220, 240, 255};
    EXPECT_EQ(fades, expected);
    EXPECT_EQ(rec->bkImage(), "res='rec.png' fade='255'");
    auto tick = ev(EventType::Timer, {}, controls::CRedioMacroButtonUI::kBlinkTimer);
    rec->doEvent(tick);
    EXPECT_EQ(rec->fade(), 235); // and round again
    rec->stopBlink();
    rec->doEvent(tick); // the running timer stops itself at its next tick
    EXPECT_FALSE(rec->uiTimerActive(controls::CRedioMacroButtonUI::kBlinkTimer));
}

TEST_F(CustomControls, CircleProgressPaintsAQuarterRingFromTheBottom)
{
    build(R"(<CircleProgress name="ring" width="100" height="100" min="0" max="100" value="25"
             bkcolor="#FF202020" forecolor="#FFFF0000"/>)");
    auto* ring = get<controls::CCircleProgressUI>("ring");
    EXPECT_DOUBLE_EQ(ring->startAngle(), 90.0);
    EXPECT_DOUBLE_EQ(ring->sweepAngle(), 90.0);
    const QImage img = ring->grab().toImage();
    auto at = [&](int x, int y) { return QColor(img.pixel(x, y)); };
    EXPECT_EQ(at(18, 82), QColor(255, 0, 0));   // from six to nine o'clock: filled
    EXPECT_EQ(at(82, 82), QColor(32, 32, 32));   // the rest of the ring: background
    EXPECT_EQ(at(18, 18), QColor(32, 32, 32));
    EXPECT_EQ(at(50, 50), QColor(255, 255, 255)); // inset 10 pixels: the white middle
    ring->setMinValue(20);
    ring->setMaxValue(120);
    ring->setValue(45);
    EXPECT_DOUBLE_EQ(ring->sweepAngle(), 162.0); // the value itself over the span
}

TEST_F(CustomControls, DeleteHotSpotRaisesItsOwnClickUnlessLocked)
{
    build(R"(<HandImgButton name="hand" width="100" height="80"/>)");
    auto* hand = get<controls::CHandImgButtonUI>("hand");
    EXPECT_EQ(hand->deleteHotSpot(), QRect(70, 51, 20, 20));
    auto press = [&](QPoint p) {
        auto d = ev(EventType::ButtonDown, p);
        auto u = ev(EventType::ButtonUp, p);
        hand->doEvent(d);
        hand->doEvent(u);
    };
    auto move = ev(EventType::MouseMove, {75, 60});
    hand->doEvent(move);
    EXPECT_TRUE(hand->deleteHot());
    press({75, 60});
    press({10, 10});
    ASSERT_EQ(w.seen.size(), 2u);
    EXPECT_EQ(w.seen[0].type, "click_handdelete");
    EXPECT_EQ(w.seen[1].type, "click");
    hand->setLocked(true);
    press({75, 60});
    EXPECT_EQ(w.seen.size(), 2u); // locked: the hot-spot does nothing at all
    auto enter = ev(EventType::MouseEnter);
    hand->doEvent(enter);
    EXPECT_TRUE(w.saw("msenter", "hand"));
}

TEST_F(CustomControls, KeyButtonLayersAndDoubleClick)
{
    build(R"(<DeviceKeyButton name="key_3" height="40" lightimage="l.png" keysetimage="k.png"/>)");
    auto* key = get<CDeviceKeyButtonUI>("key_3");
    EXPECT_FALSE(key->lightLayerShown());
    EXPECT_TRUE(key->keySetLayerHidden());
    key->showKeySetLayer(true);
    EXPECT_FALSE(key->keySetLayerHidden());
    key->setLightColor(10, 20, 30, 128);
    EXPECT_EQ(key->lightColor(), qRgb(10, 20, 30));
    EXPECT_EQ(key->lightBrightness(), 128);
    QTest::mouseDClick(key, Qt::LeftButton);
    EXPECT_TRUE(w.saw("dbclick", "key_3"));
    key->setEnabled(false);
    w.seen.clear();
    QTest::mouseDClick(key, Qt::LeftButton);
    EXPECT_TRUE(w.seen.empty());
}

TEST_F(CustomControls, WaveformBars)
{
    build(R"(<AudioRecord name="wave" width="100" height="80"/>)");
    auto* wave = get<controls::CAudioRecordUI>("wave");
    QVector<int> samples(controls::CAudioRecordUI::kSamples, 0);
    samples[3] = 4096;
    samples[60] = 8192;
    wave->setSamples(samples);
    EXPECT_EQ(wave->barRect(3), QRect(QPoint(6, 40), QPoint(6, 78)));
    EXPECT_TRUE(wave->barRect(0).isEmpty());  // a silent sample draws nothing
    EXPECT_TRUE(wave->barRect(60).isEmpty()); // past the width
}

TEST_F(CustomControls, ComboEditRowBuildsItsContentAndTracksChanges)
{
    write("XML/CustomControlXML/ComboEditElementItem.xml",
          R"(<HorizontalLayout><Label name="text1"/><Label name="text2"/><Edit name="delay_edit" width="60"/></HorizontalLayout>)");
    build(R"(<List name="macro_action" height="100"><ComboEditContainerElement name="row" height="30"/></List>)");
    auto* row = get<controls::CComboEditContainerElementUI>("row");
    ASSERT_NE(row, nullptr);
    ASSERT_NE(row->text1(), nullptr);
    ASSERT_NE(row->text2(), nullptr);
    ASSERT_NE(row->delayEdit(), nullptr);
    EXPECT_FALSE(row->changed());
    row->delayEdit()->sendNotify(ui::notify::Return);
    EXPECT_TRUE(row->changed());
    auto enter = ev(EventType::KeyDown);
    enter.key = Qt::Key_Return;
    row->doEvent(enter);
    EXPECT_TRUE(w.saw("return", "row"));
    EXPECT_TRUE(w.saw("itemactivate", "row"));
    auto down = ev(EventType::ButtonDown, {5, 5});
    row->doEvent(down);
    EXPECT_EQ(get<ui::List>("macro_action")->curSel(), 0);
    down.modifiers = Qt::ControlModifier; // Ctrl toggles the selection off
    row->doEvent(down);
    EXPECT_EQ(get<ui::List>("macro_action")->curSel(), -1);
}

TEST(Registration, ClassesInStartUpOrder)
{
    controls::registerCustomControls();
    const QStringList names = controls::customControlNames();
    const QStringList expected = {"CCircleProgressUI", "CChartViewUI", "CWndUI", "CSelectPanelUI", "CDeviceKeyButtonUI",
                                  "CCloudShareListItemUI", "CComboEditContainerElementUI", "CHandImgButtonUI",
                                  "CHandImgSelectButtonUI", "CRedioMacroButtonUI", "CAudioRecordUI"};
    for (int i = 0; i + 1 < expected.size(); ++i)
        EXPECT_LT(names.indexOf(expected[i]), names.indexOf(expected[i + 1])) << expected[i].toStdString();
}

} // namespace
} // namespace q9

#include "UiFixture.h"

#include "controls/Registration.h"
#include "ui/Builder.h"
#include "ui/Containers.h"
#include "ui/Label.h"

namespace q9 {
namespace {

using test::RecordingWindow;

class Builder : public test::SkinTest {};

// A program control class the UI layer does not know.
class ProgramWidget : public ui::Label {
public:
    QString getClass() const override { return QStringLiteral("ProgramWidget"); }
    bool inited = false;
    void doInit() override { inited = true; }
};

TEST_F(Builder, BuildsLayoutsWithCallbackRegistryStylesAndIncludes)
{
    ui::RegistControl(QStringLiteral("CRegisteredThingUI"), [] { return new ui::Label; });
    write("res.xml", R"(<Res><Layout id="XML_T" file="t.xml"/></Res>)");
    write("XML/part.xml", R"(<Window><HorizontalLayout name="included"><Label name="inside"/></HorizontalLayout></Window>)");
    write("t.xml", R"(<Window size="300,200">
      <Style name="big" height="40" textcolor="#FF112233"/>
      <VerticalLayout name="root">
        <Label name="styled" style="big" text="hello"/>
        <ProgramWidget name="mine"/>
        <RegisteredThing name="registered"/>
        <Include source="XML\part.xml"/>
        <Label name="hidden" visible="false"/>
      </VerticalLayout></Window>)");
    ASSERT_TRUE(ui::Resources::instance().loadResourceIndex());
    RecordingWindow w;
    w.factory = [](const QString& cls) -> ui::Control* {
        return cls.compare("programwidget", Qt::CaseInsensitive) == 0 ? new ProgramWidget : nullptr;
    };
    ASSERT_TRUE(w.create({}, "XML_T"));
    EXPECT_EQ(w.initialSizeUnits(), QSize(300, 200));
    auto* styled = w.findControl("styled");
    ASSERT_NE(styled, nullptr);
    EXPECT_EQ(styled->fixedHeight(), 40);
    EXPECT_EQ(styled->textColor(), 0xFF112233u);
    EXPECT_EQ(styled->text(), "hello");
    auto* mine = dynamic_cast<ProgramWidget*>(w.findControl("mine"));
    ASSERT_NE(mine, nullptr);
    EXPECT_TRUE(mine->inited); // initialised once the whole tree was built
    EXPECT_NE(w.findControl("registered"), nullptr);
    EXPECT_NE(w.findControl("inside"), nullptr);
    EXPECT_TRUE(w.findControl("hidden")->isHidden());
    EXPECT_EQ(w.findControl("missing"), nullptr);
    EXPECT_EQ(ui::Window::findSubControlByName(w.findControl("included"), "inside")->name(), "inside");
    EXPECT_EQ(ui::Window::findSubControlByName(nullptr, "inside"), nullptr);
}

TEST_F(Builder, ReportsFileAndLineAndBuildsWhatItCan)
{
    write("bad.xml", "<Window>\n<VerticalLayout name=\"root\">\n<Label name=\"ok\" colour=\"red\"/>\n"
                     "<Gizmo name=\"nope\"><Label name=\"lost\"/></Gizmo>\n<Label name=\"after\"/>\n"
                     "<Label name=\"ok2\">\n</VerticalLayout>");
    RecordingWindow w;
    ASSERT_TRUE(w.create({}, "bad.xml"));
    EXPECT_NE(w.findControl("ok"), nullptr);
    EXPECT_NE(w.findControl("after"), nullptr);
    EXPECT_EQ(w.findControl("nope"), nullptr);
    EXPECT_EQ(w.findControl("lost"), nullptr); // the unknown class's subtree is skipped
    EXPECT_TRUE(traced("bad.xml:3: Label 没有属性 colour"));
    EXPECT_TRUE(traced("bad.xml:4: 未知的控件类 Gizmo"));
    EXPECT_TRUE(traced("bad.xml:7: XML 错误"));
}

TEST_F(Builder, MissingOrEmptyFilesBuildNothing)
{
    RecordingWindow w;
    EXPECT_FALSE(w.create({}, "none.xml"));
    write("empty.xml", "");
    EXPECT_FALSE(w.create({}, "empty.xml"));
    EXPECT_EQ(w.root(), nullptr);
    EXPECT_EQ(w.findControl("root"), nullptr);
}

TEST_F(Builder, SubTreeWithoutCallbackUsesOnlyRegisteredClasses)
{
    controls::registerCustomControls();
    write("sub.xml", R"(<HorizontalLayout name="row"><DeviceKeyButton name="key_1"/><ProgramWidget name="x"/></HorizontalLayout>)");
    ui::DialogBuilder b;
    auto* parent = new ui::VerticalLayout;
    ui::Control* row = b.create("sub.xml", nullptr, nullptr, parent);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(parent->getItemAt(0), row);
    EXPECT_NE(ui::Window::findSubControlByName(row, "key_1"), nullptr);
    EXPECT_EQ(ui::Window::findSubControlByName(row, "x"), nullptr);
    delete parent;
}

} // namespace
} // namespace q9

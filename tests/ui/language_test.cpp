#include "UiFixture.h"

#include "ui/Label.h"

namespace q9 {
namespace {

class Language : public test::SkinTest {};

TEST_F(Language, TextIdsFollowTheLanguage)
{
    write("lan_a.xml", R"(<Language name="A"><Font id="0" name="Play" size="20"/><Text id="hello_text">你好</Text><Text id="multi">a &amp; b</Text></Language>)");
    write("lan_b.xml", R"(<Language name="B"><Text id="hello_text">Hello</Text></Language>)");
    write("w.xml", R"(<Window size="200,100"><VerticalLayout name="root">
        <Label name="id_label" textid="hello_text"/>
        <Label name="plain" text="hello_text"/>
        <Button name="tip" tooltipid="hello_text"/>
      </VerticalLayout></Window>)");
    auto& res = ui::Resources::instance();
    ASSERT_TRUE(res.loadLanguage("lan_a.xml"));
    test::RecordingWindow w;
    ASSERT_TRUE(w.create({}, "w.xml"));
    ui::Control* label = w.findControl("id_label");
    EXPECT_TRUE(label->textIsId());
    EXPECT_EQ(label->text(), "你好");
    EXPECT_EQ(label->rawText(), "hello_text");
    EXPECT_EQ(w.findControl("plain")->text(), "hello_text"); // not an id: shown as written
    EXPECT_EQ(w.findControl("tip")->toolTip(), "你好");
    EXPECT_EQ(res.text("multi"), "a & b");
    EXPECT_EQ(res.font(0).pixelSize, 20);

    res.setLanguage("B");
    ASSERT_TRUE(res.loadLanguage("lan_b.xml"));
    res.reloadText();
    EXPECT_EQ(label->text(), "Hello");
    EXPECT_EQ(w.findControl("tip")->toolTip(), "Hello");
    EXPECT_EQ(res.language(), "B");
    EXPECT_EQ(res.text("multi"), "multi"); // an id the language lacks shows itself
}

TEST_F(Language, ABrokenLanguageFileKeepsTheCurrentTable)
{
    write("good.xml", R"(<Language name="G"><Text id="t">good</Text></Language>)");
    write("bad.xml", "<Language name=\"X\"><Text id=\"t\">bad</Text>");
    auto& res = ui::Resources::instance();
    ASSERT_TRUE(res.loadLanguage("good.xml"));
    EXPECT_FALSE(res.loadLanguage("bad.xml"));
    EXPECT_FALSE(res.loadLanguage("missing.xml"));
    EXPECT_EQ(res.text("t"), "good");
    EXPECT_TRUE(traced("bad.xml"));
}

TEST(ShippedLanguages, EveryIdOfOneIsInTheOther)
{
    ui::Resources& res = ui::Resources::instance();
    res.release();
    res.setResourcePath(QStringLiteral(Q9_SOURCE_DIR "/skin"));
    ASSERT_TRUE(res.loadLanguage("lan_cn.xml"));
    QStringList cn;
    for (const char* id : {"tips_text", "message_text_22", "message_text_32", "no_device_title", "tip_close"})
        cn.push_back(res.text(id));
    ASSERT_TRUE(res.loadLanguage("lan_en.xml"));
    int i = 0;
    for (const char* id : {"tips_text", "message_text_22", "message_text_32", "no_device_title", "tip_close"}) {
        EXPECT_TRUE(res.hasText(id)) << id;
        EXPECT_NE(res.text(id), cn[i++]) << id; // translated, not copied
    }
    res.release();
}

} // namespace
} // namespace q9

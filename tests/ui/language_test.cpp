#include "UiFixture.h"

#include "ui/Label.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

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

// A text id the skin or the default light names use but a language lacks shows as the bare id.
TEST(ShippedLanguages, EveryTextIdOfTheSkinIsInBothLanguages)
{
    QSet<QString> ids;
    const QRegularExpression attribute(QStringLiteral("(?:textid|tooltipid)=\"([A-Za-z0-9_.]+)\""));
    QDirIterator files(QStringLiteral(Q9_SOURCE_DIR "/skin"), {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile f(files.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        for (auto m = attribute.globalMatch(text); m.hasNext();) {
            const QString id = m.next().captured(1);
            if (id != QLatin1String("true") && id != QLatin1String("false"))
                ids.insert(id);
        }
    }
    QFile lights(QStringLiteral(Q9_SOURCE_DIR "/DefaultData/default_light.json"));
    ASSERT_TRUE(lights.open(QIODevice::ReadOnly));
    const QRegularExpression lightName(QStringLiteral("\"LightName\"\\s*:\\s*\"([^\"]+)\""));
    for (auto m = lightName.globalMatch(QString::fromUtf8(lights.readAll())); m.hasNext();)
        ids.insert(m.next().captured(1));
    ASSERT_GT(ids.size(), 100);

    ui::Resources& res = ui::Resources::instance();
    res.release();
    res.setResourcePath(QStringLiteral(Q9_SOURCE_DIR "/skin"));
    for (const char* language : {"lan_cn.xml", "lan_en.xml"}) {
        ASSERT_TRUE(res.loadLanguage(language));
        QStringList missing;
        for (const QString& id : ids)
            if (!res.hasText(id))
                missing.push_back(id);
        missing.sort();
        EXPECT_TRUE(missing.isEmpty()) << language << ": " << missing.join(' ').toStdString();
    }
    res.release();
}

} // namespace
} // namespace q9

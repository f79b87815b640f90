#include "ui/Builder.h"

#include "platform/Trace.h"
#include "ui/ColorPalette.h"
#include "ui/Combo.h"
#include "ui/Containers.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/List.h"
#include "ui/Resources.h"
#include "ui/Slider.h"
#include "ui/Window.h"

#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

namespace q9::ui {

namespace {

constexpr qint64 kMaxLayoutFile = 4 << 20;
constexpr int kMaxIncludeDepth = 8;

using Attributes = QList<std::pair<QString, QString>>;

Attributes toList(const QXmlStreamAttributes& a, const char* skip = nullptr)
{
    Attributes out;
    for (const QXmlStreamAttribute& x : a)
        if (!skip || x.name() != QLatin1String(skip))
            out.push_back({x.name().toString(), x.value().toString()});
    return out;
}

Control* createBuiltin(const QString& cls)
{
    using Make = Control* (*)();
    static const QHash<QString, Make> builtins = {
        {"control", [] { return new Control; }},
        {"container", []() -> Control* { return new Container; }},
        {"verticallayout", []() -> Control* { return new VerticalLayout; }},
        {"horizontallayout", []() -> Control* { return new HorizontalLayout; }},
        {"tablayout", []() -> Control* { return new TabLayout; }},
        {"label", []() -> Control* { return new Label; }},
        {"text", []() -> Control* { return new Text; }},
        {"button", []() -> Control* { return new Button; }},
        {"option", []() -> Control* { return new Option; }},
        {"checkbox", []() -> Control* { return new CheckBox; }},
        {"edit", []() -> Control* { return new Edit; }},
        {"richedit", []() -> Control* { return new RichEdit; }},
        {"combo", []() -> Control* { return new Combo; }},
        {"list", []() -> Control* { return new List; }},
        {"listlabelelement", []() -> Control* { return new ListLabelElement; }},
        {"listcontainerelement", []() -> Control* { return new ListContainerElement; }},
        {"slider", []() -> Control* { return new Slider; }},
        {"progress", []() -> Control* { return new Progress; }},
        {"colorpalette", []() -> Control* { return new ColorPalette; }},
    };
    const auto it = builtins.constFind(cls.toLower());
    return it == builtins.constEnd() ? nullptr : it.value()();
}

} // namespace

ControlFactory& ControlFactory::instance()
{
    static ControlFactory f;
    return f;
}

void ControlFactory::registerControl(const QString& name, Creator creator)
{
    for (auto& c : creators_)
        if (c.first.compare(name, Qt::CaseInsensitive) == 0) {
            c.second = std::move(creator);
            return;
        }
    creators_.push_back({name, std::move(creator)});
}

Control* ControlFactory::create(const QString& className) const
{
    const QString decorated = QLatin1Char('C') + className + QLatin1String("UI");
    for (const auto& [name, creator] : creators_)
        if (name.compare(className, Qt::CaseInsensitive) == 0 || name.compare(decorated, Qt::CaseInsensitive) == 0
            || name.compare(QLatin1Char('C') + className, Qt::CaseInsensitive) == 0)
            return creator();
    return nullptr;
}

QStringList ControlFactory::registeredNames() const
{
    QStringList out;
    for (const auto& c : creators_)
        out.push_back(c.first);
    return out;
}

struct DialogBuilder::Context {
    QString file;
    BuilderCallback* callback = nullptr;
    Window* manager = nullptr;
    QHash<QString, Attributes> styles;
    QHash<QString, Attributes> defaults;
    QList<Control*> built;
    int includeDepth = 0;

    void complain(qint64 line, const QString& what) const
    {
        trace(QStringLiteral("皮肤文件 %1:%2: %3").arg(file).arg(line).arg(what).toStdString());
    }

    Control* make(const QString& cls) const
    {
        if (Control* c = createBuiltin(cls))
            return c;
        if (callback)
            if (Control* c = callback->createControl(cls))
                return c;
        return ControlFactory::instance().create(cls);
    }

    void apply(Control* c, const Attributes& attrs, qint64 line) const
    {
        for (const auto& [name, value] : attrs)
            if (!c->setAttribute(name, value))
                complain(line, QStringLiteral("%1 没有属性 %2").arg(c->getClass(), name));
    }

    Control* parseControl(QXmlStreamReader& xml, Control* parent);
    Control* parseFile(const QString& skin, Control* parent, bool windowFile);
};

Control* DialogBuilder::Context::parseControl(QXmlStreamReader& xml, Control* parent)
{
    const QString cls = xml.name().toString();
    const qint64 line = xml.lineNumber();
    const QXmlStreamAttributes attrs = xml.attributes();

    if (cls == QLatin1String("Include")) {
        const QString source = attrs.value(QLatin1String("source")).toString();
        xml.skipCurrentElement();
        if (includeDepth >= kMaxIncludeDepth) {
            complain(line, QStringLiteral("Include 嵌套过深: %1").arg(source));
            return nullptr;
        }
        Context inner{source, callback, manager, styles, defaults, {}, includeDepth + 1};
        Control* c = inner.parseFile(source, parent, false);
        built.append(inner.built);
        return c;
    }
    // Items written inside a combo are its rows.
    if (auto* combo = qobject_cast<Combo*>(parent)) {
        if (cls.compare(QLatin1String("ListLabelElement"), Qt::CaseInsensitive) == 0) {
            const QString id = attrs.value(QLatin1String("textid")).toString();
            const bool isId = !id.isEmpty() && id != QLatin1String("false");
            const QString text = isId && id != QLatin1String("true") ? id : attrs.value(QLatin1String("text")).toString();
            combo->addItem(text, attrs.value(QLatin1String("userdata")).toString(), isId);
            if (attrs.value(QLatin1String("selected")) == QLatin1String("true"))
                combo->selectItem(combo->count() - 1, false);
        } else {
            complain(line, QStringLiteral("Combo 只能包含 ListLabelElement，不能包含 %1").arg(cls));
        }
        xml.skipCurrentElement();
        return nullptr;
    }

    Control* c = make(cls);
    if (!c) {
        complain(line, QStringLiteral("未知的控件类 %1").arg(cls));
        xml.skipCurrentElement();
        return nullptr;
    }
    if (parent) {
        auto* container = qobject_cast<Container*>(parent);
        if (!container) {
            complain(line, QStringLiteral("%1 不能包含子控件 %2").arg(parent->getClass(), cls));
            delete c;
            xml.skipCurrentElement();
            return nullptr;
        }
        container->add(c);
    }
    apply(c, defaults.value(cls.toLower()), line);
    for (const QString& key : {QStringLiteral("style"), QStringLiteral("class")}) {
        const QString style = attrs.value(key).toString();
        if (style.isEmpty())
            continue;
        for (const QString& one : style.split(' ', Qt::SkipEmptyParts)) {
            if (!styles.contains(one))
                complain(line, QStringLiteral("未知的样式 %1").arg(one));
            apply(c, styles.value(one), line);
        }
    }
    apply(c, toList(attrs), line);
    while (xml.readNextStartElement())
        parseControl(xml, c);
    built.push_back(c);
    return c;
}

Control* DialogBuilder::Context::parseFile(const QString& skin, Control* parent, bool windowFile)
{
    QFile f(Resources::instance().resolve(skin));
    if (!f.open(QIODevice::ReadOnly)) {
        complain(0, QStringLiteral("无法打开"));
        return nullptr;
    }
    if (f.size() > kMaxLayoutFile) {
        complain(0, QStringLiteral("文件过大"));
        return nullptr;
    }
    QXmlStreamReader xml(&f);
    Control* root = nullptr;
    if (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("Window")) {
            if (windowFile && manager)
                for (const QXmlStreamAttribute& a : xml.attributes())
                    if (!manager->setWindowAttribute(a.name().toString(), a.value().toString()))
                        complain(xml.lineNumber(), QStringLiteral("Window 没有属性 %1").arg(a.name()));
            while (xml.readNextStartElement()) {
                const auto a = xml.attributes();
                if (xml.name() == QLatin1String("Font")) {
                    FontSpec style;
                    style.family = a.value(QLatin1String("name")).toString();
                    style.pixelSize = std::max(1, a.value(QLatin1String("size")).toInt());
                    style.bold = a.value(QLatin1String("bold")) == QLatin1String("true");
                    style.italic = a.value(QLatin1String("italic")) == QLatin1String("true");
                    style.underline = a.value(QLatin1String("underline")) == QLatin1String("true");
                    Resources::instance().addFont(a.value(QLatin1String("id")).toInt(), style,
                                                  a.value(QLatin1String("default")) == QLatin1String("true"));
                    xml.skipCurrentElement();
                } else if (xml.name() == QLatin1String("Style")) {
                    styles.insert(a.value(QLatin1String("name")).toString(), toList(a, "name"));
                    xml.skipCurrentElement();
                } else if (xml.name() == QLatin1String("Default")) {
                    defaults.insert(a.value(QLatin1String("class")).toString().toLower(), toList(a, "class"));
                    xml.skipCurrentElement();
                } else {
                    Control* c = parseControl(xml, parent);
                    if (!root)
                        root = c;
                }
            }
        } else {
            root = parseControl(xml, parent);
        }
    }
    if (xml.hasError())
        complain(xml.lineNumber(), QStringLiteral("XML 错误: %1").arg(xml.errorString()));
    return root;
}

Control* DialogBuilder::create(const QString& skin, BuilderCallback* callback, Window* manager, Container* parent)
{
    Context ctx{skin, callback, manager, {}, {}, {}, 0};
    Control* root = ctx.parseFile(skin, parent, parent == nullptr);
    // Controls that were dropped with a broken parent are gone; initialise those that remain.
    for (Control* c : std::as_const(ctx.built))
        c->doInit();
    return root;
}

} // namespace q9::ui

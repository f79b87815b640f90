#include "ui/Menu.h"

#include "platform/Trace.h"
#include "ui/Resources.h"

#include <QFile>
#include <QMenu>
#include <QXmlStreamReader>

namespace q9::ui {

namespace {

const char* kMenuStyle =
    "QMenu { background: #1B1E24; border: 1px solid #323743; border-radius: 6px; padding: 6px 0; color: #E6E8EE; }"
    "QMenu::item { padding: 7px 28px 7px 18px; }"
    "QMenu::item:selected { background: #263440; color: #FFFFFF; }"
    "QMenu::item:disabled { color: #5A606C; }"
    "QMenu::separator { height: 1px; background: #2C313B; margin: 5px 10px; }";

void fill(QMenu* menu, QXmlStreamReader& xml)
{
    while (xml.readNextStartElement()) {
        const auto a = xml.attributes();
        const QString text = a.value(QLatin1String("text")).toString();
        const bool isId = a.value(QLatin1String("textid")) == QLatin1String("true");
        const QString shown = isId ? Resources::instance().text(text) : text;
        if (xml.name() == QLatin1String("Separator")) {
            menu->addSeparator();
            xml.skipCurrentElement();
        } else if (xml.name() == QLatin1String("Menu")) {
            QMenu* sub = menu->addMenu(shown);
            sub->setObjectName(a.value(QLatin1String("name")).toString());
            fill(sub, xml);
        } else {
            QAction* act = menu->addAction(shown);
            act->setObjectName(a.value(QLatin1String("name")).toString());
            act->setEnabled(a.value(QLatin1String("enabled")) != QLatin1String("false"));
            act->setVisible(a.value(QLatin1String("visible")) != QLatin1String("false"));
            if (a.hasAttribute(QLatin1String("checked"))) {
                act->setCheckable(true);
                act->setChecked(a.value(QLatin1String("checked")) == QLatin1String("true"));
            }
            xml.skipCurrentElement();
        }
    }
}

} // namespace

QMenu* Menu::build(const QString& skin, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setStyleSheet(QString::fromLatin1(kMenuStyle));
    QFile f(Resources::instance().resolve(skin));
    if (!f.open(QIODevice::ReadOnly)) {
        trace(QStringLiteral("菜单文件无法打开: %1").arg(skin).toStdString());
        return menu;
    }
    QXmlStreamReader xml(&f);
    if (xml.readNextStartElement())
        fill(menu, xml);
    if (xml.hasError())
        trace(QStringLiteral("皮肤文件 %1:%2: XML 错误: %3").arg(skin).arg(xml.lineNumber()).arg(xml.errorString()).toStdString());
    return menu;
}

QString Menu::popup(const QString& skin, const QPoint& globalPos, QWidget* parent)
{
    QMenu* menu = build(skin, parent);
    QAction* chosen = menu->exec(globalPos);
    const QString name = chosen ? chosen->objectName() : QString();
    delete menu;
    return name;
}

} // namespace q9::ui

#include "controls/RowControls.h"

#include "ui/Builder.h"
#include "ui/Window.h"

#include <QPainter>

namespace q9::controls {

namespace {

bool isTrue(const QString& v) { return v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0; }

void toggleOrSelect(ui::ListItem* row, Qt::KeyboardModifiers mods)
{
    ui::List* list = row->owner();
    if (!list)
        return;
    if ((mods & Qt::ControlModifier) && row->isSelectedRow())
        list->selectItem(-1);
    else
        list->selectItem(row->rowIndex());
}

} // namespace

CComboEditContainerElementUI::CComboEditContainerElementUI(QWidget* parent) : ui::ListContainerElement(parent) {}

ui::Control* CComboEditContainerElementUI::getInterface(const QString& className)
{
    return className == QLatin1String("ComboEditContainerElement") ? this : ui::ListContainerElement::getInterface(className);
}

bool CComboEditContainerElementUI::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    if (n == QLatin1String("normalimage")) normalImage_ = value;
    else if (n == QLatin1String("hotimage")) hotImage_ = value;
    else if (n == QLatin1String("selectedimage")) selectedImage_ = value;
    else if (n == QLatin1String("menu")) menu_ = isTrue(value);
    else return ui::ListContainerElement::setAttribute(name, value);
    update();
    return true;
}

void CComboEditContainerElementUI::doInit()
{
    if (built_)
        return;
    built_ = true;
    ui::DialogBuilder builder;
    builder.create(QString::fromLatin1(kLayout), nullptr, manager(), this);
    text1_ = ui::Window::findSubControlByName(this, QStringLiteral("text1"));
    text2_ = ui::Window::findSubControlByName(this, QStringLiteral("text2"));
    delay_ = qobject_cast<ui::Edit*>(ui::Window::findSubControlByName(this, QStringLiteral("delay_edit")));
}

void CComboEditContainerElementUI::activateRow() { sendNotify(ui::notify::ItemActivate); }

void CComboEditContainerElementUI::doEvent(UiEvent& e)
{
    switch (e.type) {
    case EventType::KeyDown:
        if (e.key == Qt::Key_Return || e.key == Qt::Key_Enter) {
            if (isEnabled()) {
                activateRow();
                sendNotify(ui::notify::Return);
            }
            return;
        }
        break;
    case EventType::ButtonDown:
        if (isEnabled())
            toggleOrSelect(this, e.modifiers);
        return;
    case EventType::ButtonUp:
        if (isEnabled())
            sendNotify(ui::notify::ItemClick);
        return;
    case EventType::DoubleClick:
        if (isEnabled())
            activateRow();
        return;
    case EventType::MouseEnter:
        hot_ = true;
        update();
        return;
    case EventType::MouseLeave:
        hot_ = false;
        update();
        return;
    case EventType::Timer:
        sendNotify(ui::notify::Timer, uint64_t(e.timerId));
        return;
    case EventType::ContextMenu:
        if (menu_)
            sendNotify(ui::notify::Menu);
        return;
    default:
        break;
    }
    ui::ListContainerElement::doEvent(e);
}

void CComboEditContainerElementUI::childNotify(ui::TNotify& msg)
{
    if (msg.type == ui::notify::SelectChanged || (msg.type == ui::notify::Return && msg.sender == delay_))
        changed_ = true;
}

void CComboEditContainerElementUI::paintBkColor(QPainter& p)
{
    ui::ListContainerElement::paintBkColor(p);
    const QString& img = selected_ && !selectedImage_.isEmpty() ? selectedImage_ : hot_ && !hotImage_.isEmpty() ? hotImage_ : normalImage_;
    drawImageString(p, img, rect());
}

CCloudShareListItemUI::CCloudShareListItemUI(QWidget* parent) : ui::ListContainerElement(parent) {}

ui::Control* CCloudShareListItemUI::getInterface(const QString& className)
{
    return className == QLatin1String("CloudShareListItemUI") ? this : ui::ListContainerElement::getInterface(className);
}

bool CCloudShareListItemUI::setAttribute(const QString& name, const QString& value)
{
    if (name.compare(QLatin1String("menu"), Qt::CaseInsensitive) == 0) {
        menu_ = isTrue(value);
        return true;
    }
    return ui::ListContainerElement::setAttribute(name, value);
}

void CCloudShareListItemUI::doEvent(UiEvent& e)
{
    switch (e.type) {
    case EventType::DoubleClick:
        if (isEnabled())
            sendNotify(ui::notify::ItemActivate);
        return;
    case EventType::ContextMenu:
        if (menu_)
            sendNotify(ui::notify::Menu);
        return;
    case EventType::MouseEnter:
        if (isEnabled()) {
            hot_ = true;
            update();
        }
        return;
    case EventType::MouseLeave:
        hot_ = false;
        update();
        return;
    default:
        ui::ListContainerElement::doEvent(e);
    }
}

void CCloudShareListItemUI::paintBkColor(QPainter& p)
{
    ui::ListContainerElement::paintBkColor(p);
    if (!hot_ || selected_ || !owner())
        return;
    const ui::ListLook& look = owner()->look();
    if (look.itemHotImage.isEmpty())
        return;
    p.setPen(QColor::fromRgba(look.itemHotBkColor));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace q9::controls

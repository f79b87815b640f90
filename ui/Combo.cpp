#include "ui/Combo.h"

#include "ui/Resources.h"

#include <QComboBox>
#include <QListView>

namespace q9::ui {

Combo::Combo(QWidget* parent) : Control(parent), combo_(new QComboBox(this))
{
    combo_->setView(new QListView(combo_));
    combo_->setCursor(Qt::PointingHandCursor);
    applyStyle();
    connect(combo_, &QComboBox::activated, this, [this](int) { sendNotify(notify::ItemSelect); });
}

Control* Combo::getInterface(const QString& className)
{
    return className.compare(QLatin1String("Combo"), Qt::CaseInsensitive) == 0 ? this : Control::getInterface(className);
}

void Combo::applyStyle()
{
    const QString text = QColor::fromRgba(textColor()).name();
    const double s = scale();
    combo_->setStyleSheet(QStringLiteral(
        "QComboBox { background: #1E2128; border: 1px solid #323743; border-radius: %1px; color: %2;"
        " padding: 0 %3px; }"
        "QComboBox:hover { border-color: #00C2FF; }"
        "QComboBox:disabled { color: #5A606C; }"
        "QComboBox::drop-down { border: none; width: %4px; }"
        "QComboBox::down-arrow { image: none; border-left: %5px solid transparent; border-right: %5px solid transparent;"
        " border-top: %6px solid #8A90A0; width: 0; height: 0; margin-right: %3px; }"
        "QComboBox QAbstractItemView { background: #1E2128; color: %2; border: 1px solid #323743;"
        " selection-background-color: #00C2FF; selection-color: #0F1115; outline: none; }")
                              .arg(qRound(4 * s)).arg(text).arg(qRound(8 * s)).arg(qRound(22 * s))
                              .arg(qRound(4 * s)).arg(qRound(5 * s)));
    combo_->setFont(makeFont(fontId()));
}

bool Combo::setAttribute(const QString& name, const QString& value)
{
    if (!Control::setAttribute(name, value))
        return name.compare(QLatin1String("itemheight"), Qt::CaseInsensitive) == 0; // rows size themselves
    applyStyle();
    return true;
}

int Combo::addItem(const QString& text, const QString& userData, bool textIsId)
{
    items_.push_back({text, userData, textIsId, true});
    combo_->addItem(textIsId ? Resources::instance().text(text) : text);
    return count() - 1;
}

void Combo::removeAll()
{
    items_.clear();
    combo_->clear();
}

int Combo::curSel() const { return combo_->currentIndex(); }

bool Combo::selectItem(int index, bool notify)
{
    if (index < 0 || index >= count())
        return false;
    const bool changed = combo_->currentIndex() != index;
    combo_->setCurrentIndex(index);
    if (notify && changed)
        sendNotify(notify::ItemSelect);
    return true;
}

void Combo::selectNone() { combo_->setCurrentIndex(-1); }

QString Combo::itemText(int index) const
{
    if (index < 0 || index >= count())
        return {};
    const Item& i = items_[index];
    return i.isId ? Resources::instance().text(i.text) : i.text;
}

QString Combo::itemUserData(int index) const { return index >= 0 && index < count() ? items_[index].userData : QString(); }

int Combo::findUserData(const QString& wanted) const
{
    for (int i = 0; i < count(); ++i)
        if (items_[i].userData == wanted)
            return i;
    return -1;
}

void Combo::setItemVisible(int index, bool visible)
{
    if (index < 0 || index >= count())
        return;
    items_[index].visible = visible;
    if (auto* view = qobject_cast<QListView*>(combo_->view()))
        view->setRowHidden(index, !visible);
}

void Combo::textIdsChanged()
{
    Control::textIdsChanged();
    for (int i = 0; i < count(); ++i)
        if (items_[i].isId)
            combo_->setItemText(i, itemText(i));
}

void Combo::resizeEvent(QResizeEvent*)
{
    combo_->setGeometry(rect());
    applyStyle();
}

} // namespace q9::ui

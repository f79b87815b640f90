#include "app/MusicWnd.h"

#include "ui/Label.h"
#include "ui/Slider.h"

namespace q9::app {

namespace {

const char* kSliders[3] = {"audio_r_slider", "audio_g_slider", "audio_b_slider"};
const char* kValues[3] = {"audio_r_value", "audio_g_value", "audio_b_value"};
// The name a style takes when its field is left empty.
const wchar_t* kDefaultNames[4] = {L"第一组", L"第二组", L"第三组", L"第四组"};

int indexAfter(const QString& name, const QString& prefix)
{
    if (!name.startsWith(prefix, Qt::CaseInsensitive))
        return -1;
    bool ok = false;
    const int n = name.mid(prefix.size()).toInt(&ok);
    return ok && n >= 1 && n <= 4 ? n : -1;
}

} // namespace

void CMusicWnd::initWindow()
{
    for (const char* s : kSliders)
        if (auto* slider = qobject_cast<ui::Slider*>(findControl(QString::fromLatin1(s)))) {
            slider->setMinValue(0);
            slider->setMaxValue(9);
        }
    for (int t = 1; t <= 4; ++t)
        if (auto* tab = qobject_cast<ui::Option*>(findControl(QStringLiteral("audio_select_tab%1").arg(t))))
            tab->selected(record_.style == t - 1, false);
    if (record_.style <= 3)
        showLevels(record_.style);
    for (int n = 1; n <= 4; ++n)
        if (ui::Control* e = findControl(QStringLiteral("audio_edit_name%1").arg(n)))
            e->setText(QString::fromStdWString(record_.names[size_t(n - 1)]));
}

int CMusicWnd::selectedStyle() const
{
    for (int t = 1; t <= 4; ++t)
        if (auto* tab = qobject_cast<ui::Option*>(const_cast<CMusicWnd*>(this)->findControl(QStringLiteral("audio_select_tab%1").arg(t)));
            tab && tab->isSelected())
            return t - 1;
    return 0;
}

void CMusicWnd::showLevels(int style)
{
    for (int c = 0; c < 3; ++c) {
        const int level = record_.levels[size_t(style)][size_t(c)];
        if (auto* slider = qobject_cast<ui::Slider*>(findControl(QString::fromLatin1(kSliders[c]))))
            slider->setValue(level);
        if (ui::Control* v = findControl(QString::fromLatin1(kValues[c])))
            v->setText(QString::number(level));
    }
}

void CMusicWnd::notify(ui::TNotify& msg)
{
    if (!msg.sender)
        return;
    const QString n = msg.sender->name();
    if (msg.type == ui::notify::SelectChanged) {
        const int tab = indexAfter(n, QStringLiteral("audio_select_tab"));
        if (tab > 0 && qobject_cast<ui::Option*>(msg.sender) && qobject_cast<ui::Option*>(msg.sender)->isSelected()) {
            record_.style = uint8_t(tab - 1);
            showLevels(tab - 1);
        }
    } else if (msg.type == ui::notify::ValueChanged || msg.type == ui::notify::MoveValueChanged) {
        for (int c = 0; c < 3; ++c)
            if (n == QLatin1String(kSliders[c])) {
                const int value = qobject_cast<ui::Slider*>(msg.sender)->value();
                if (ui::Control* v = findControl(QString::fromLatin1(kValues[c])))
                    v->setText(QString::number(value));
                if (msg.type == ui::notify::ValueChanged)
                    record_.levels[size_t(selectedStyle())][size_t(c)] = uint8_t(std::clamp(value, 0, 9));
            }
    } else if (msg.type == ui::notify::KillFocus) {
        const int field = indexAfter(n, QStringLiteral("audio_edit_name"));
        if (field > 0) {
            QString text = msg.sender->text();
            if (text.isEmpty()) {
                text = QString::fromWCharArray(kDefaultNames[field - 1]);
                msg.sender->setText(text);
            }
            record_.names[size_t(field - 1)] = text.toStdWString();
        }
    } else if (msg.type == ui::notify::Click) {
        if (n == QLatin1String("closebtn"))
            close(0);
        else if (n == QLatin1String("okbtn"))
            close(1);
    }
}

void CMusicWnd::onFinalMessage()
{
    if (finished)
        finished(result());
    deleteLater();
}

intptr_t CMusicWnd::handleCustomMessage(uint32_t msg, uint64_t, int64_t, const CopyData*, bool& handled)
{
    if (msg == 3089) { // the language changed
        if (root())
            root()->update();
        return 0;
    }
    handled = false;
    return 0;
}

} // namespace q9::app

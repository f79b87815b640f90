#include "editors/HeadsetEditor.h"

#include "ui/Combo.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/Slider.h"

#include <algorithm>

namespace q9::editors {

namespace {

std::string eqOption(int type) { return "4120_eq_option_" + std::to_string(type); }
std::string bandSlider(int i) { return "4120_eq_hz_slider_" + std::to_string(i); }
std::string bandCaption(int i) { return "4120_eq_hz_value_" + std::to_string(i); }
std::string magicOption(int a) { return "magic_option_" + std::to_string(a); }

void select(ui::Option* o, bool on)
{
    if (o && o->isSelected() != on)
        o->selected(on, false);
}

void setSlider(ui::Slider* s, int value)
{
    if (s)
        s->setValue(value);
}

} // namespace

void CVoice4120ControlUI::SetEqType(int type)
{
    for (int t = 1; t <= kUserEqType; ++t)
        select(controls_.as<ui::Option>(eqOption(t)), t == type);
    ShowCustomLayout(type == kUserEqType);
}

int CVoice4120ControlUI::EqType() const
{
    for (int t = 1; t <= kUserEqType; ++t)
        if (auto* o = controls_.as<ui::Option>(eqOption(t)); o && o->isSelected())
            return t;
    return 0;
}

void CVoice4120ControlUI::ShowCustomLayout(bool show)
{
    if (ui::Control* c = controls_.find("custom_eq_option_layout"))
        c->setVisible(show);
    if (ui::Control* c = controls_.find("custom_eq_hint"))
        c->setVisible(!show); // the hint makes room for the list it talks about
}

bool CVoice4120ControlUI::CustomLayoutShown() const
{
    ui::Control* c = controls_.find("custom_eq_option_layout");
    return c && !c->isHidden();
}

int CVoice4120ControlUI::GetBand(int i) const
{
    auto* s = controls_.as<ui::Slider>(bandSlider(i));
    return s ? s->value() : -1;
}

void CVoice4120ControlUI::SetBand(int i, int value)
{
    setSlider(controls_.as<ui::Slider>(bandSlider(i)), value);
    ShowBandCaption(i, value);
}

std::vector<int> CVoice4120ControlUI::GetBands() const
{
    std::vector<int> bands;
    for (int i = 0; i < kEqBandCount; ++i)
        bands.push_back(GetBand(i));
    return bands;
}

void CVoice4120ControlUI::SetBands(const std::vector<int>& values)
{
    for (int i = 0; i < kEqBandCount && i < int(values.size()); ++i)
        SetBand(i, values[size_t(i)]);
}

void CVoice4120ControlUI::ShowBandCaption(int i, int value)
{
    if (ui::Control* c = controls_.find(bandCaption(i)))
        c->setText(value > 0 ? QStringLiteral("+%1").arg(value) : QString::number(value));
}

void CVoice4120ControlUI::SetCustomNames(const std::vector<std::wstring>& names, int selected)
{
    auto* combo = controls_.as<ui::Combo>("custom_eq_name_combo");
    if (!combo)
        return;
    combo->removeAll();
    for (const std::wstring& n : names) {
        const QString name = QString::fromStdWString(n);
        combo->addItem(name, name);
    }
    SelectCustom(selected);
}

std::vector<std::wstring> CVoice4120ControlUI::CustomNames() const
{
    std::vector<std::wstring> names;
    if (auto* combo = controls_.as<ui::Combo>("custom_eq_name_combo"))
        for (int i = 0; i < combo->count(); ++i)
            names.push_back(combo->itemUserData(i).toStdWString());
    return names;
}

int CVoice4120ControlUI::SelectedCustom() const
{
    auto* combo = controls_.as<ui::Combo>("custom_eq_name_combo");
    return combo ? combo->curSel() : -1;
}

void CVoice4120ControlUI::SelectCustom(int index)
{
    auto* combo = controls_.as<ui::Combo>("custom_eq_name_combo");
    if (!combo)
        return;
    if (index >= 0 && index < combo->count())
        combo->selectItem(index, false);
    else
        combo->selectNone();
}

std::wstring CVoice4120ControlUI::NameEditText() const
{
    ui::Control* c = controls_.find("custom_eq_name_edit");
    return c ? c->text().trimmed().toStdWString() : std::wstring();
}

void CVoice4120ControlUI::ClearNameEdit()
{
    if (ui::Control* c = controls_.find("custom_eq_name_edit"))
        c->setText(QString());
}

void CVoice4120ControlUI::ShowLevelCaption(const std::string& caption, int level)
{
    if (ui::Control* c = controls_.find(caption))
        c->setText(QStringLiteral("%1%").arg(level));
}

void CVoice4120ControlUI::SetMicIn(bool on, int level)
{
    select(controls_.as<ui::Option>("4120_MicIn_option"), on);
    setSlider(controls_.as<ui::Slider>("4120_MicIn_slider"), std::clamp(level, 0, 100));
    ShowLevelCaption("4120_MicIn_value", std::clamp(level, 0, 100));
}

bool CVoice4120ControlUI::MicInOn() const
{
    auto* o = controls_.as<ui::Option>("4120_MicIn_option");
    return o && o->isSelected();
}

int CVoice4120ControlUI::MicInLevel() const
{
    auto* s = controls_.as<ui::Slider>("4120_MicIn_slider");
    return s ? std::clamp(s->value(), 0, 100) : 0;
}

void CVoice4120ControlUI::SetMonitor(bool on, int level, bool available)
{
    select(controls_.as<ui::Option>("4120_MicMoniter_option"), on);
    setSlider(controls_.as<ui::Slider>("4120_MicMoniter_slider"), std::clamp(level, 0, 100));
    ShowLevelCaption("4120_MicMoniter_value", std::clamp(level, 0, 100));
    if (ui::Control* c = controls_.find("4120_MicMoniter_layout"))
        c->setEnabled(available);
}

bool CVoice4120ControlUI::MonitorOn() const
{
    auto* o = controls_.as<ui::Option>("4120_MicMoniter_option");
    return o && o->isSelected();
}

int CVoice4120ControlUI::MonitorLevel() const
{
    auto* s = controls_.as<ui::Slider>("4120_MicMoniter_slider");
    return s ? std::clamp(s->value(), 0, 100) : 0;
}

void CVoice4120ControlUI::SetAudioAvailable(bool available)
{
    if (ui::Control* c = controls_.find("hs_sound_unavailable"))
        c->setVisible(!available);
    if (ui::Control* c = controls_.find("hs_sound_layout"))
        c->setEnabled(available);
}

void CMagicControlUI::SetLayoutEnabled(bool enabled)
{
    if (ui::Control* c = controls_.find("magic_option_layout"))
        c->setEnabled(enabled);
}

void CMagicControlUI::SetEffectOn(bool on)
{
    select(controls_.as<ui::Option>("magic_enable_option"), on);
    SetLayoutEnabled(on);
}

bool CMagicControlUI::IsEffectOn() const
{
    auto* o = controls_.as<ui::Option>("magic_enable_option");
    return o && o->isSelected();
}

void CMagicControlUI::SelectEffect(int a)
{
    for (int i = 1; i <= 4; ++i)
        select(controls_.as<ui::Option>(magicOption(i)), false);
    effect_ = a >= 1 && a <= 4 ? a : 0;
    if (effect_)
        select(controls_.as<ui::Option>(magicOption(effect_)), true);
}

void CMagicControlUI::SetAudioAvailable(bool available)
{
    if (ui::Control* c = controls_.find("magic_unavailable"))
        c->setVisible(!available);
    if (ui::Control* c = controls_.find("magic_layout"))
        c->setEnabled(available);
}

void CVirtualSetControlUI::SetSurround(bool on, bool available)
{
    select(controls_.as<ui::Option>("virtual_surround_option"), on);
    if (ui::Control* c = controls_.find("virtual_layout"))
        c->setEnabled(available);
    if (ui::Control* c = controls_.find("virtual_unavailable"))
        c->setVisible(!available);
}

bool CVirtualSetControlUI::SurroundOn() const
{
    auto* o = controls_.as<ui::Option>("virtual_surround_option");
    return o && o->isSelected();
}

} // namespace q9::editors

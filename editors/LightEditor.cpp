#include "editors/LightEditor.h"

#include "editors/LightLayout.h"
#include "platform/Trace.h"
#include "ui/ColorPalette.h"
#include "ui/Combo.h"
#include "ui/Containers.h"
#include "ui/Label.h"
#include "ui/Slider.h"
#include "ui/Window.h"

#include <algorithm>

namespace q9::editors {
namespace {

template <class T>
T* as(ui::Control* c)
{
    return qobject_cast<T*>(c);
}

void enable(ui::Control* c, bool on)
{
    if (c)
        c->setEnabled(on);
}

void show(ui::Control* c, bool on)
{
    if (c)
        c->setVisible(on);
}

void select(ui::Control* c, bool on)
{
    if (auto* o = as<ui::Option>(c))
        o->selected(on, false);
}

bool selected(ui::Control* c)
{
    auto* o = as<ui::Option>(c);
    return o && o->isSelected();
}

} // namespace

void setAudioColour(AudioLightRecord& r, uint8_t red, uint8_t green, uint8_t blue)
{
    if (r.colorType == 1)
        r.fgColorR = red, r.fgColorG = green, r.fgColorB = blue;
    else
        r.bkColorR = red, r.bkColorG = green, r.bkColorB = blue;
}

int componentValue(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? std::clamp(v, 0, 255) : 0;
}

void CLightControlUI::attach(ui::Control* root)
{
    root_ = root;
    found_.clear();
}

ui::Control* CLightControlUI::find(const char* name) const
{
    // Found controls are kept; a control not found is looked for again next time.
    QPointer<ui::Control>& slot = found_[name];
    if (!slot && root_)
        slot = ui::Window::findSubControlByName(root_, QString::fromLatin1(name));
    return slot;
}

void CLightControlUI::SetEffectList(const std::vector<std::wstring>& names, const std::vector<uint8_t>& visible, int maxLight, int maxSpeed)
{
    if (auto* c = as<ui::Combo>(find("light_combo_modeSelect"))) {
        c->removeAll();
        for (size_t i = 0; i < names.size(); ++i) {
            const QString id = QString::fromStdWString(names[i]);
            const int row = c->addItem(id, id, true);
            c->setItemVisible(row, i < visible.size() && visible[i] != 0);
        }
    }
    if (auto* s = as<ui::Progress>(find("deng_light_slider")))
        s->setMaxValue(maxLight);
    if (auto* s = as<ui::Progress>(find("deng_speed_slider")))
        s->setMaxValue(maxSpeed);
}

void CLightControlUI::SetLightKind(int kind) { kind_ = kind; }

void CLightControlUI::SetSameModeAllowed(bool allowed)
{
    sameAllowed_ = allowed;
    ApplyModeLayout(GetMode());
}

void CLightControlUI::ApplyModeLayout(int mode)
{
    const LightLayout l = lightModeLayout(kind_, mode, sameAllowed_);
    show(find("deng_same_mode"), l.sameMode);
    enable(find("lighteffect_layout"), l.effect);
    enable(find("deng_7color_check"), l.multi);
    enable(find("deng_color_layout"), l.colour);
    enable(find("colorpallet_layout"), l.palette);
    enable(find("deng_light_layout"), l.bright);
    enable(find("deng_speed_layout"), l.speed);
    enable(find("deng_fx_layout"), l.dir);
    if (kind_ != 1)
        return;
    show(find("lightcustom_layout"), l.customShown);
    show(find("light_custom_brush_layout"), l.customShown);
    show(find("light_combo_ZZCCmodeSelectLayout"), l.secondModeShown);
    show(find("light_combo_AudiomodeSelectLayout"), l.audioModeShown);
    show(find("deng_speed_layout"), l.speedShown);
    enable(find("light_color_layout"), l.colourLayoutEnabled);
    if (auto* t = as<ui::TabLayout>(find("light_color_tablayout")))
        t->selectItem(l.colourPage);
    if (ui::Control* c = find("deng_FXL_check"))
        c->setText(QString::fromLatin1(l.fxLeft)), c->setTextIsId(true);
    if (ui::Control* c = find("deng_FXR_check"))
        c->setText(QString::fromLatin1(l.fxRight)), c->setTextIsId(true);
}

void CLightControlUI::SetLightInfo(const LightInfoRecord& r)
{
    SetMode(r.selectItem);
    SetLight(r.light);
    SetSpeed(r.speed);
    SetRed(QString::number(r.red));
    SetGreen(QString::number(r.green));
    SetBlue(QString::number(r.blue));
    SetColor(argb(r.red, r.green, r.blue));
    SetMultiColor(r.multiColor != 0);
    SetSecondMode(r.zzccLedMode);
    SetFx(r.fx != 0);
    ApplyModeLayout(r.selectItem);
}

void CLightControlUI::showColour(uint32_t colour)
{
    if (ui::Control* b = find("deng_colordp_btn"))
        b->setBkColor(colour);
}

void CLightControlUI::SetColor(uint32_t colour)
{
    if (auto* p = as<ui::ColorPalette>(find("deng_Color_Pallet")))
        p->setSelectColor(colour);
    showColour(colour);
}

void CLightControlUI::SetMultiColor(bool on) { select(find("deng_7color_check"), on); }

void CLightControlUI::SetFx(bool left)
{
    select(find("deng_FXL_check"), left);
    select(find("deng_FXR_check"), !left);
}

void CLightControlUI::SetMode(int row)
{
    if (auto* c = as<ui::Combo>(find("light_combo_modeSelect")))
        c->selectItem(row, false);
    ApplyModeLayout(row);
}

void CLightControlUI::SetCustomGroup(int row)
{
    if (auto* c = as<ui::Combo>(find("light_combo_custommodeSelect")))
        c->selectItem(row, false);
}

void CLightControlUI::SetSecondMode(int row)
{
    if (auto* c = as<ui::Combo>(find("light_combo_ZZCCmodeSelect")))
        c->selectItem(row, false);
}

void CLightControlUI::SetLight(int v)
{
    if (auto* s = as<ui::Progress>(find("deng_light_slider")))
        s->setValue(v);
}

void CLightControlUI::SetSpeed(int v)
{
    if (auto* s = as<ui::Progress>(find("deng_speed_slider")))
        s->setValue(v);
}

void CLightControlUI::SetRed(const QString& text)
{
    if (ui::Control* e = find("deng_edit_R"))
        e->setText(text);
}

void CLightControlUI::SetGreen(const QString& text)
{
    if (ui::Control* e = find("deng_edit_G"))
        e->setText(text);
}

void CLightControlUI::SetBlue(const QString& text)
{
    if (ui::Control* e = find("deng_edit_B"))
        e->setText(text);
}

int CLightControlUI::GetMode() const
{
    auto* c = as<ui::Combo>(find("light_combo_modeSelect"));
    return c ? c->curSel() : -1;
}

int CLightControlUI::GetCustomGroup() const
{
    auto* c = as<ui::Combo>(find("light_combo_custommodeSelect"));
    return c ? c->curSel() : -1;
}

int CLightControlUI::GetSecondMode() const
{
    auto* c = as<ui::Combo>(find("light_combo_ZZCCmodeSelect"));
    return c ? c->curSel() : -1;
}

int CLightControlUI::GetLight() const
{
    auto* s = as<ui::Progress>(find("deng_light_slider"));
    return s ? s->value() : 0;
}

int CLightControlUI::GetSpeed() const
{
    auto* s = as<ui::Progress>(find("deng_speed_slider"));
    return s ? s->value() : 0;
}

QString CLightControlUI::GetRed() const
{
    ui::Control* e = find("deng_edit_R");
    return e ? e->text() : QString();
}

QString CLightControlUI::GetGreen() const
{
    ui::Control* e = find("deng_edit_G");
    return e ? e->text() : QString();
}

QString CLightControlUI::GetBlue() const
{
    ui::Control* e = find("deng_edit_B");
    return e ? e->text() : QString();
}

uint32_t CLightControlUI::GetColor() const
{
    auto* p = as<ui::ColorPalette>(find("deng_Color_Pallet"));
    return p ? 0xFF000000u | p->getSelectColor() : 0xFF000000u;
}

bool CLightControlUI::GetMultiColor() const { return selected(find("deng_7color_check")); }

uint32_t CLightControlUI::GetOptionColor(int n) const
{
    ui::Control* c = find(("color_option_" + std::to_string(n)).c_str());
    return c ? c->bkColor() : 0;
}

uint32_t CLightControlUI::GetAudioOptionColor(int n) const
{
    ui::Control* c = find(("audiocolor_option_" + std::to_string(n)).c_str());
    return c ? c->bkColor() : 0;
}

uint32_t CLightControlUI::GetAudioPaletteColor() const
{
    auto* p = as<ui::ColorPalette>(find("deng_audioColor_Pallet"));
    return p ? 0xFF000000u | p->getSelectColor() : 0xFF000000u;
}

bool CLightControlUI::SetAudioLightInfo(const AudioLightRecord& r)
{
    auto* list = as<ui::Combo>(find("light_combo_audiomodeSelect"));
    if (!list) {
        trace(" SetAudioLightInfo control is NULL");
        return false;
    }
    ui::Control* bk = find("audio_BkColor_check");
    ui::Control* fg = find("audio_FgColor_check");
    ui::Control* seven = find("deng_7audiocolor_check");
    ui::Control* edits[3] = {find("deng_audioedit_R"), find("deng_audioedit_G"), find("deng_audioedit_B")};
    auto* palette = as<ui::ColorPalette>(find("deng_audioColor_Pallet"));
    ui::Control* button = find("deng_audiocolordp_btn");
    ui::Control* colourLayout = find("light_audiocolor_layout");
    ui::Control* paletteLayout = find("audiocolorpallet_layout");
    if (!bk || !fg || !seven || !edits[0] || !edits[1] || !edits[2] || !palette || !button || !colourLayout || !paletteLayout) {
        trace("GetAudioLightInfo control is NULL");
        return false;
    }
    audio_ = r;
    list->selectItem(r.audioMode, false);
    uint8_t c[3];
    if (r.colorType == 1) {
        c[0] = r.fgColorR, c[1] = r.fgColorG, c[2] = r.fgColorB;
        select(fg, true);
        select(bk, false);
        select(seven, r.sevenColor != 0);
    } else {
        c[0] = r.bkColorR, c[1] = r.bkColorG, c[2] = r.bkColorB;
        select(bk, true);
        select(fg, false);
    }
    for (int i = 0; i < 3; ++i)
        edits[i]->setText(QString::number(c[i]));
    palette->setSelectColor(argb(c[0], c[1], c[2]));
    button->setBkColor(argb(c[0], c[1], c[2]));
    colourLayout->setEnabled(r.audioMode != 3);
    paletteLayout->setEnabled(r.audioMode != 3);
    return true;
}

std::optional<AudioLightRecord> CLightControlUI::GetAudioLightInfo(bool withColour)
{
    auto* list = as<ui::Combo>(find("light_combo_audiomodeSelect"));
    ui::Control* seven = find("deng_7audiocolor_check");
    ui::Control* bk = find("audio_BkColor_check");
    ui::Control* fg = find("audio_FgColor_check");
    ui::Control* button = find("deng_audiocolordp_btn");
    if (!list || !seven || !bk || !fg || (withColour && !button)) {
        trace("GetAudioLightInfo control is NULL");
        return std::nullopt;
    }
    AudioLightRecord r = audio_;
    r.audioMode = uint8_t(std::max(0, list->curSel()));
    r.sevenColor = selected(seven) ? 1 : 0;
    // Background when its option is set, unless the foreground one is set as well and was
    // already the edited colour before.
    r.colorType = selected(bk) && (audio_.colorType == 1 || !selected(fg)) ? 0 : 1;
    if (withColour) {
        const uint32_t c = button->bkColor();
        setAudioColour(r, uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c));
    }
    audio_ = r;
    return r;
}

std::optional<int> CLightControlUI::GetAudioEditValue(char component) const
{
    const char* name = component == 'R' ? "deng_audioedit_R" : component == 'G' ? "deng_audioedit_G" : "deng_audioedit_B";
    ui::Control* e = find(name);
    if (!e) {
        trace("GetLightAudioColor control is NULL");
        return std::nullopt;
    }
    return componentValue(e->text());
}

} // namespace q9::editors

#include "editors/ShootEditor.h"

#include "editors/KeySetModel.h"
#include "ui/Containers.h"
#include "ui/Label.h"
#include "ui/Window.h"

#include <algorithm>

namespace q9::editors {
namespace {

bool isSelected(ui::Control* c)
{
    auto* o = qobject_cast<ui::Option*>(c);
    return o && o->isSelected();
}

void caption(ui::Control* c, bool on, const char* onId, const char* offId)
{
    if (!c)
        return;
    c->setTextIsId(true);
    c->setText(QString::fromLatin1(on ? onId : offId));
}

} // namespace

ui::Control* CShootControlUI::find(const std::string& name) const
{
    QPointer<ui::Control>& slot = found_[name];
    if (!slot && root_)
        slot = ui::Window::findSubControlByName(root_, QString::fromStdString(name));
    return slot;
}

void CShootControlUI::setSelected(const std::string& prefix, int count, int chosen)
{
    for (int i = 0; i < count; ++i)
        if (auto* o = qobject_cast<ui::Option*>(find(prefix + std::to_string(i))))
            o->selected(i == chosen, false);
}

void CShootControlUI::Init()
{
    guns_.Init();
    SelectGun(0);
    SelectBullet(0);
}

void CShootControlUI::SelectGun(int g)
{
    gun_ = std::clamp(g, 0, kGuns - 1);
    setSelected("shoot_gun_op_", kGuns, gun_);
    if (auto* t = qobject_cast<ui::TabLayout*>(find("shoot_image_display_switch")))
        t->selectItem(gun_);
    ShowBullet();
}

void CShootControlUI::SelectBullet(int b)
{
    bullet_ = std::clamp(b, 0, kBullets - 1);
    setSelected("bullet_op_", kBullets, bullet_);
    if (ui::Control* c = find("bullet_select_index")) {
        c->setTextIsId(false);
        c->setText(QString::number(bullet_ + 1));
    }
    ShowBullet();
}

void CShootControlUI::ShowBullet()
{
    const Bullet b = guns_.ReadBullet(gun_, bullet_);
    if (auto* o = qobject_cast<ui::Option*>(find("bullet_x_check")))
        o->selected(b.left, false);
    if (auto* o = qobject_cast<ui::Option*>(find("bullet_y_check")))
        o->selected(b.up, false);
    DirectionChanged();
    if (ui::Control* c = find("bullet_x_eidt"))
        c->setText(QString::number(b.x));
    if (ui::Control* c = find("bullet_y_eidt"))
        c->setText(QString::number(b.y));
    if (ui::Control* c = find("bullet_delay_eidt"))
        c->setText(QString::number(b.delay));
}

void CShootControlUI::DirectionChanged()
{
    caption(find("bullet_x_check"), isSelected(find("bullet_x_check")), "mouse_move_to_left_text", "mouse_move_to_right_text");
    caption(find("bullet_y_check"), isSelected(find("bullet_y_check")), "mouse_move_to_up_text", "mouse_move_to_down_text");
}

void CShootControlUI::SaveBullet()
{
    auto number = [&](const char* name) {
        ui::Control* c = find(name);
        return c ? leadingInt(c->text().toStdString()) : 0;
    };
    Bullet b;
    b.left = isSelected(find("bullet_x_check"));
    b.up = isSelected(find("bullet_y_check"));
    b.x = number("bullet_x_eidt");
    b.y = number("bullet_y_eidt");
    b.delay = number("bullet_delay_eidt");
    guns_.WriteBullet(gun_, bullet_, b);
}

void CShootControlUI::ResetGun()
{
    guns_.ResetGun(gun_);
    SelectBullet(bullet_);
}

ImportProblem CShootControlUI::ImportGun(const std::wstring& path)
{
    const ImportProblem p = guns_.ImportGun(gun_, path);
    SelectBullet(bullet_);
    return p;
}

} // namespace q9::editors

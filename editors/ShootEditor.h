#pragma once
// The mouse's shoot editor: four guns of thirty bullets, each bullet a left click, a movement and a
// pause. The files and their rules are ShootGuns.h's; this class shows one bullet at a time on the
// controls of the skin's "ShootControl.xml" tree and writes it back when an edit loses the focus.
#include "editors/ShootGuns.h"

#include <QPointer>

#include <map>
#include <string>

namespace q9::ui {
class Control;
}

namespace q9::editors {

class CShootControlUI {
public:
    explicit CShootControlUI(ui::Control* root = nullptr) : root_(root) {}
    void SetGunFolder(const std::wstring& folder) { guns_.SetGunFolder(folder); }
    void SetTemplateFolder(const std::wstring& folder) { guns_.SetTemplateFolder(folder); }
    // Each gun whose file is missing or broken gets its template; the first gun and bullet show.
    void Init();
    void SelectGun(int g);
    void SelectBullet(int b);
    void PreviousBullet() { SelectBullet(bullet_ - 1); }
    void NextBullet() { SelectBullet(bullet_ + 1); }
    void ShowBullet();
    void SaveBullet();
    void ResetGun();
    ImportProblem ImportGun(const std::wstring& path);
    bool ExportGun(const std::wstring& path) const { return guns_.ExportGun(gun_, path); }
    // A direction option changed: its caption follows (the file changes with the next save).
    void DirectionChanged();

    int gun() const { return gun_; }
    int bullet() const { return bullet_; }
    ShootGuns& guns() { return guns_; }
    ui::Control* find(const std::string& name) const;

private:
    void setSelected(const std::string& prefix, int count, int chosen);

    ui::Control* root_ = nullptr;
    ShootGuns guns_;
    int gun_ = 0;
    int bullet_ = 0;
    mutable std::map<std::string, QPointer<ui::Control>> found_;
};

} // namespace q9::editors

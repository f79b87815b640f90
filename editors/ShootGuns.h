#pragma once
// The mouse's four guns as files, without any UI. A gun is 30 bullets; bullet b is events
// 6b … 6b + 5 of the file's "Events": a left press, its release, the horizontal and the vertical
// compensation movement (the latter carrying the pause before the next shot) and two zero
// movements. A gun file is a JSON object; members other than the bullets' events are kept.
#include "editors/MacroStore.h"

#include <string>

namespace q9::editors {

constexpr int kGuns = 4, kBullets = 30;
constexpr int kEventsPerBullet = 6;

struct Bullet {
    bool left = false;  // horizontal movement to the left ("down"), else to the right
    int x = 0;          // 0-255
    bool up = false;    // vertical movement upwards ("down"), else downwards
    int y = 0;          // 0-255
    int delay = 0;      // ms after the shot, 0-65535

    friend bool operator==(const Bullet&, const Bullet&) = default;
};

class ShootGuns {
public:
    void SetGunFolder(const std::wstring& folder);      // the device's profile folder, ending in a separator
    void SetTemplateFolder(const std::wstring& folder); // DefaultData beside the program
    std::wstring gunPath(int g) const;                  // folder + "ShootData_" g ".Shoot"
    std::wstring templatePath(int g) const;
    // Each gun whose file is missing or no gun file (not JSON, or no object with an "Events"
    // array) gets its template; an unusable file is kept as ".bad" first.
    void Init();
    Bullet ReadBullet(int g, int b) const;  // missing events read as 0 / right / down
    // The six events, values held to their ranges; other members and events kept. Missing events
    // before the bullet are filled with zero bullets, so that the device never plays a hole.
    bool WriteBullet(int g, int b, const Bullet& bullet);
    // Template bytes over the gun file; true when copied. A missing template empties the file and
    // gives false: every bullet then reads as zero.
    bool ResetGun(int g);
    // Refused when not a gun file (an object with an "Events" array) or too large; nothing
    // overwritten then.
    ImportProblem ImportGun(int g, const std::wstring& path);
    bool ExportGun(int g, const std::wstring& path) const;

private:
    std::wstring gunFolder_;
    std::wstring templateFolder_;
};

} // namespace q9::editors

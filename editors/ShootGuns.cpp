#include "editors/ShootGuns.h"

#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/TextConvert.h"

#include <algorithm>
#include <filesystem>

namespace q9::editors {
namespace {

constexpr int kPressDelay = 10;  // the click's press is held this long
constexpr int kMoveXDelay = 5;   // between the horizontal and the vertical movement
constexpr int kTypeButton = 1, kTypeMoveX = 4, kTypeMoveY = 5, kLeftButton = 1;

bool validGun(int g) { return g >= 0 && g < kGuns; }
bool validBullet(int b) { return b >= 0 && b < kBullets; }

bool isGunFile(const Json::Value& v) { return v.isObject() && Member(v, "Events").isArray(); }

// Event e (0-5) of a bullet as a gun file holds it: "Delay" is an integer there.
Json::Value bulletEvent(const Bullet& bullet, int e)
{
    const char* x = bullet.left ? "down" : "up";
    const char* y = bullet.up ? "down" : "up";
    struct Row {
        const char* action;
        int button, delay, type;
    };
    const Row rows[kEventsPerBullet] = {
        {"down", kLeftButton, kPressDelay, kTypeButton},
        {"up", kLeftButton, 0, kTypeButton},
        {x, std::clamp(bullet.x, 0, 255), kMoveXDelay, kTypeMoveX},
        {y, std::clamp(bullet.y, 0, 255), std::clamp(bullet.delay, 0, 65535), kTypeMoveY},
        {x, 0, 0, kTypeMoveX},
        {y, 0, 0, kTypeMoveY},
    };
    const Row& r = rows[e];
    Json::Value v(Json::objectValue);
    v["Action"] = r.action;
    v["Button"] = r.button;
    v["Delay"] = r.delay;
    v["Type"] = r.type;
    return v;
}

} // namespace

void ShootGuns::SetGunFolder(const std::wstring& folder) { gunFolder_ = folder; }

void ShootGuns::SetTemplateFolder(const std::wstring& folder) { templateFolder_ = folder; }

std::wstring ShootGuns::gunPath(int g) const { return gunFolder_ + L"ShootData_" + std::to_wstring(g) + L".Shoot"; }

std::wstring ShootGuns::templatePath(int g) const { return templateFolder_ + L"ShootData_" + std::to_wstring(g) + L".Shoot"; }

void ShootGuns::Init()
{
    for (int g = 0; g < kGuns; ++g) {
        if (isGunFile(ReadJsonFile(gunPath(g))))
            continue;
        // An empty file is what a start without templates left: nothing of the user's to keep.
        std::error_code ec;
        if (std::filesystem::file_size(ToFsPath(gunPath(g)), ec) > 0 && !ec) {
            const std::wstring bad = KeepBadCopy(gunPath(g));
            if (!bad.empty())
                traceLazy([&] { return "gun file unusable, kept as " + WideToUtf8(bad); });
        }
        ResetGun(g);
    }
}

Bullet ShootGuns::ReadBullet(int g, int b) const
{
    if (!validGun(g) || !validBullet(b))
        return {};
    const Json::Value file = ReadJsonFile(gunPath(g));
    const Json::Value& events = Member(file, "Events");
    const auto at = Json::ArrayIndex(kEventsPerBullet * b);
    const MacroEvent x = MacroEvent::fromJson(Element(events, at + 2));
    const MacroEvent y = MacroEvent::fromJson(Element(events, at + 3));
    return {x.action == "down", x.button, y.action == "down", y.button, y.delay};
}

bool ShootGuns::WriteBullet(int g, int b, const Bullet& bullet)
{
    if (!validGun(g) || !validBullet(b))
        return false;
    Json::Value file = ReadJsonFile(gunPath(g));
    if (!file.isObject())
        file = Json::Value(Json::objectValue);
    Json::Value& events = WritableMember(file, "Events");
    if (!events.isArray())
        events = Json::Value(Json::arrayValue);
    const auto first = Json::ArrayIndex(kEventsPerBullet * b);
    while (events.size() < first)
        events.append(bulletEvent(Bullet{}, int(events.size() % kEventsPerBullet)));
    for (int e = 0; e < kEventsPerBullet; ++e)
        WritableElement(events, first + Json::ArrayIndex(e)) = bulletEvent(bullet, e);
    return WriteJsonFile(gunPath(g), file) == 0;
}

bool ShootGuns::ResetGun(int g)
{
    if (!validGun(g))
        return false;
    std::string bytes;
    if (!readFileBytes(templatePath(g), &bytes)) {
        traceLazy([&] { return "no gun template: " + WideToUtf8(templatePath(g)); });
        replaceFileBytes(gunPath(g), {});
        return false;
    }
    return replaceFileBytes(gunPath(g), bytes);
}

ImportProblem ShootGuns::ImportGun(int g, const std::wstring& path)
{
    if (!validGun(g))
        return ImportProblem::Unreadable;
    std::string bytes;
    const ImportProblem problem = readEventFile(path, &bytes);
    if (problem != ImportProblem::Ok)
        return problem;
    return replaceFileBytes(gunPath(g), bytes) ? ImportProblem::Ok : ImportProblem::Unreadable;
}

bool ShootGuns::ExportGun(int g, const std::wstring& path) const
{
    std::string bytes;
    return validGun(g) && readFileBytes(gunPath(g), &bytes) && replaceFileBytes(path, bytes);
}

} // namespace q9::editors

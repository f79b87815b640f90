#include "profile/BasicProfiledata.h"

#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/LightConfig.h"
#include "profile/RecordFields.h"
#include "profile/TextConvert.h"

#include <filesystem>
#include <system_error>

namespace q9 {

namespace fs = std::filesystem;

namespace {

std::vector<KeyEntry> readKeyList(const Json::Value& section)
{
    const Json::Value& keys = Member(section, "KeyList");
    std::vector<KeyEntry> list(ElementCount(keys));
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        const Json::Value& key = Element(keys, i);
        list[i].current = KeyAction::fromStored(uint16_t(i), ReadInt(Member(key, "Assignment")));
        list[i].defaults = KeyAction::fromStored(uint16_t(i), ReadInt(Member(key, "DefaultAssignment")));
    }
    return list;
}

void writeKeyList(Json::Value& section, const std::vector<KeyEntry>& list)
{
    Json::Value& keys = WritableMember(section, "KeyList");
    for (Json::ArrayIndex i = 0; i < list.size(); ++i)
        WritableMember(WritableElement(keys, i), "Assignment") = list[i].current.stored();
}

// A root object to write a section into. The file's own root when it is a profile; otherwise a new
// one, and a file that has content but is no profile (a hand edit gone wrong) is first kept beside
// it as ".bad", so that the repair does not silently destroy it.
Json::Value rewritableRoot(const std::wstring& path, Json::Value root)
{
    if (root.isObject())
        return root;
    const fs::path p = ToFsPath(path);
    std::error_code ec;
    if (fs::is_regular_file(p, ec) && fs::file_size(p, ec) > 0 && !ec) {
        const std::wstring bad = KeepBadCopy(path);
        if (!bad.empty())
            traceLazy([&] { return "unreadable profile kept as " + ToFsPath(bad).string(); });
    }
    return Json::Value(Json::objectValue);
}

} // namespace

void CBasicProfiledata::SetProfilePath(const std::wstring& path)
{
    if (!path.empty())
        profilePath_ = path;
}

void CBasicProfiledata::SetDefaultProfilePath(const std::wstring& path)
{
    if (!path.empty())
        defaultProfilePath_ = path;
}

void CBasicProfiledata::SetDeviceIndex(int n)
{
    if (n >= 0)
        deviceIndex_ = Json::ArrayIndex(n);
}

Json::Value CBasicProfiledata::sectionOf(const Json::Value& root) const
{
    const Json::Value& section = Element(Member(root, "Device"), deviceIndex_);
    // A section of any other type holds no setting; it is treated as missing.
    return section.isObject() ? section : Json::Value();
}

Json::Value CBasicProfiledata::loadSection(const std::wstring& path, Json::Value& into)
{
    const Json::Value root = ReadJsonFile(path);
    into = sectionOf(root);
    if (into.isNull()) {
        into = sectionOf(ReadJsonFile(defaultProfilePath_));
        // Without a default section there is nothing to repair with: the file stays as it is.
        if (!into.isNull()) {
            Json::Value repaired = rewritableRoot(path, root);
            WritableElement(WritableMember(repaired, "Device"), deviceIndex_) = into;
            WriteJson(repaired, path);
        }
    }
    return into;
}

Json::Value CBasicProfiledata::LoadDeviceSection(const std::wstring& path) { return loadSection(path, deviceSection_); }

Json::Value CBasicProfiledata::LoadScratchSection(const std::wstring& path) { return loadSection(path, scratchSection_); }

std::vector<KeyEntry> CBasicProfiledata::GetKeyList()
{
    keyList_ = readKeyList(deviceSection_);
    return keyList_;
}

void CBasicProfiledata::SetKeyList(const std::vector<KeyEntry>& list)
{
    keyList_ = list;
    writeKeyList(deviceSection_, list);
}

std::vector<KeyEntry> CBasicProfiledata::GetScratchKeyList()
{
    scratchKeyList_ = readKeyList(scratchSection_);
    return scratchKeyList_;
}

void CBasicProfiledata::SetScratchKeyList(const std::vector<KeyEntry>& list)
{
    scratchKeyList_ = list;
    writeKeyList(scratchSection_, list);
}

namespace {

constexpr RecordField<LightInfoRecord> kLightInfoFields[] = {
    {"SelectItem", &LightInfoRecord::selectItem},
    {"Light", &LightInfoRecord::light},
    {"Speed", &LightInfoRecord::speed},
    {"Fx", &LightInfoRecord::fx},
    {"MultiColor", &LightInfoRecord::multiColor, true},
    {"Red", &LightInfoRecord::red},
    {"Green", &LightInfoRecord::green},
    {"Blue", &LightInfoRecord::blue},
    {"ZZCCLedMode", &LightInfoRecord::zzccLedMode},
    {"CustomGroup", &LightInfoRecord::customGroup},
    {"OldLedmode", &LightInfoRecord::oldLedMode},
};

constexpr RecordField<AudioLightRecord> kAudioLightFields[] = {
    {"AudioMode", &AudioLightRecord::audioMode},
    {"BkColorR", &AudioLightRecord::bkColorR},
    {"BkColorG", &AudioLightRecord::bkColorG},
    {"BkColorB", &AudioLightRecord::bkColorB},
    {"FgColorR", &AudioLightRecord::fgColorR},
    {"FgColorG", &AudioLightRecord::fgColorG},
    {"FgColorB", &AudioLightRecord::fgColorB},
    {"7ColorFlags", &AudioLightRecord::sevenColor, true},
    {"ColorTypeFlags", &AudioLightRecord::colorType, true},
};

} // namespace

LightInfoRecord CBasicProfiledata::GetLightInfo()
{
    LightInfoRecord r;
    ReadRecord<LightInfoRecord>(Member(deviceSection_, "LightInfo"), r, kLightInfoFields);
    lightInfo_ = r;
    return r;
}

// The stored object is replaced whole, not merged.
void CBasicProfiledata::SetLightInfo(const LightInfoRecord& r)
{
    lightInfo_ = r;
    Json::Value v(Json::objectValue);
    WriteRecord<LightInfoRecord>(v, r, kLightInfoFields);
    WritableMember(deviceSection_, "LightInfo") = v;
}

AudioLightRecord CBasicProfiledata::GetAudioLightInfo()
{
    AudioLightRecord r;
    ReadRecord<AudioLightRecord>(Member(deviceSection_, "AudioLightInfo"), r, kAudioLightFields);
    audioLight_ = r;
    return r;
}

void CBasicProfiledata::SetAudioLightInfo(const AudioLightRecord& r)
{
    audioLight_ = r;
    Json::Value v(Json::objectValue);
    WriteRecord<AudioLightRecord>(v, r, kAudioLightFields);
    WritableMember(deviceSection_, "AudioLightInfo") = v;
}

std::vector<LedZoneRecord> CBasicProfiledata::GetLightList()
{
    const Json::Value& zones = Member(deviceSection_, "LightList");
    std::vector<LedZoneRecord> list(ElementCount(zones));
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        const Json::Value& z = Element(zones, i);
        if (!z.isObject())
            continue;
        LedZoneRecord& r = list[i];
        r.mode = ReadClamped<uint8_t>(Member(z, "LEDREGMode"));
        r.brightness = ReadClamped<uint8_t>(Member(z, "LEDBrightness"));
        r.speed = ReadClamped<uint8_t>(Member(z, "LEDSpeed"));
        r.direction = ReadBool(Member(z, "LEDDirection")) ? 1 : 0;
        r.multiColor = ReadBool(Member(z, "LEDMultiColor")) ? 1 : 0;
        r.red = ReadClamped<uint8_t>(Member(z, "red"));
        r.green = ReadClamped<uint8_t>(Member(z, "green"));
        r.blue = ReadClamped<uint8_t>(Member(z, "blue"));
        r.present = 1;
    }
    lightList_ = list;
    return list;
}

void CBasicProfiledata::SetLightConfigPath(const std::wstring& path) { lightConfigPath_ = path; }

Json::Value CBasicProfiledata::LoadLightConfig(const std::wstring& path)
{
    lightConfig_ = ReadJsonFile(path);
    effectFolder_ = FromFsPath(ToFsPath(path).parent_path());
    return lightConfig_;
}

std::vector<CustomEffectRecord> CBasicProfiledata::GetCustomEffects()
{
    customEffects_.clear();
    if (!lightConfig_.isNull()) {
        const Json::Value& lights = Element(Member(lightConfig_, "LightInfo"), deviceIndex_);
        const std::string guid = ReadString(Member(Element(lights, lightInfo_.selectItem), "Guid"));
        const std::wstring file = EffectFilePath(effectFolder_, guid);
        if (!file.empty())
            customEffects_ = ReadEffectFile(file);
    }
    return customEffects_;
}

bool CBasicProfiledata::Save() { return SaveDeviceSection(Json::Value(deviceSection_), profilePath_); }

bool CBasicProfiledata::SaveDeviceSection(const Json::Value& section, const std::wstring& path)
{
    if (!section.isObject())
        return false; // a section read from nothing would wipe the profile
    Json::Value root = rewritableRoot(path, ReadJsonFile(path));
    WritableElement(WritableMember(root, "Device"), deviceIndex_) = section;
    return WriteJson(root, path);
}

bool CBasicProfiledata::SaveScratchSection(const std::wstring& path)
{
    return SaveDeviceSection(Json::Value(scratchSection_), path);
}

bool CBasicProfiledata::WriteJson(const Json::Value& value, const std::wstring& path)
{
    return WriteJsonFile(path, value) == 0;
}

} // namespace q9

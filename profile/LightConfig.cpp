#include "profile/LightConfig.h"

#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/TextConvert.h"

namespace q9 {
namespace {

const Json::Value& listAt(const Json::Value& root, const char* name, int index)
{
    static const Json::Value none;
    return index < 0 ? none : Element(Member(root, name), Json::ArrayIndex(index));
}

} // namespace

DefaultLightNames ReadDefaultLightNames(const std::wstring& defaultLightPath, int lightIndex)
{
    DefaultLightNames names;
    const Json::Value root = ReadJsonFile(defaultLightPath);
    const Json::Value& modes = listAt(root, "DefaultLightName", lightIndex);
    for (Json::ArrayIndex j = 0; j < ElementCount(modes); ++j) {
        const Json::Value& mode = Element(modes, j);
        names.modeNames.push_back(Utf8ToWide(ReadString(Member(mode, "LightName"))));
        names.modeVisible.push_back(ReadBool(Member(mode, "visible")) ? 1 : 0);
        names.modeCodes.push_back(ReadInt(Member(mode, "value")));
    }
    const Json::Value& areas = listAt(root, "AreaLightName", lightIndex);
    for (Json::ArrayIndex j = 0; j < ElementCount(areas); ++j)
        names.areaNames.push_back(Utf8ToWide(ReadString(Member(Element(areas, j), "LightName"))));
    return names;
}

std::vector<std::wstring> ReadCustomLightNames(const std::wstring& lightConfigPath, int lightIndex)
{
    std::vector<std::wstring> names;
    const Json::Value root = ReadJsonFile(lightConfigPath);
    const Json::Value& lights = listAt(root, "LightInfo", lightIndex);
    for (Json::ArrayIndex j = 0; j < ElementCount(lights); ++j)
        names.push_back(Utf8ToWide(ReadString(Member(Element(lights, j), "LightName"))));
    return names;
}

std::vector<CustomEffectRecord> ReadEffectFile(const std::wstring& path)
{
    const Json::Value root = ReadJsonFile(path);
    const Json::Value& steps = Member(root, "LEDEffectList");
    std::vector<CustomEffectRecord> list(ElementCount(steps));
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        const Json::Value& s = Element(steps, i);
        CustomEffectRecord& r = list[i];
        r.mode = ReadClamped<uint8_t>(Member(s, "LEDREGMode"));
        r.brightness = ReadClamped<uint8_t>(Member(s, "LEDBrightness"));
        r.speed = ReadClamped<uint8_t>(Member(s, "LEDSpeed"));
        r.direction = ReadClamped<uint8_t>(Member(s, "LEDDirection"));
        r.multiColor = ReadClamped<uint8_t>(Member(s, "LEDMultiColor"));
        r.red = ReadClamped<uint8_t>(Member(s, "red"));
        r.green = ReadClamped<uint8_t>(Member(s, "green"));
        r.blue = ReadClamped<uint8_t>(Member(s, "blue"));
        r.time = ReadInt(Member(s, "Time"));
        r.cycle = ReadInt(Member(s, "Cyle"));
    }
    return list;
}

std::wstring EffectFilePath(const std::wstring& folder, const std::string& guid)
{
    if (guid.empty() || guid.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
        return {};
    return FromFsPath(ToFsPath(folder) / ToFsPath(Utf8ToWide(guid) + L".light"));
}

} // namespace q9

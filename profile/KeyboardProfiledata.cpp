#include "profile/KeyboardProfiledata.h"

#include "profile/JsonAccess.h"
#include "profile/RecordFields.h"

#include <algorithm>

namespace q9 {

namespace {

constexpr RecordField<KeyboardSystemRecord> kSystemFields[] = {
    {"Repeat", &KeyboardSystemRecord::repeat},
    {"RepeatDelay", &KeyboardSystemRecord::repeatDelay},
    {"Key6Flag", &KeyboardSystemRecord::key6Flag},
    {"PollingRate", &KeyboardSystemRecord::pollingRate},
    {"WFlag", &KeyboardSystemRecord::wFlag},
    {"WinFlag", &KeyboardSystemRecord::winFlag},
};

} // namespace

KeyboardSystemRecord CKeyboardProfiledata::GetKeyboardSystem()
{
    KeyboardSystemRecord r;
    ReadRecord<KeyboardSystemRecord>(Member(section(), "SystemStages"), r, kSystemFields);
    keyboardSystem_ = r;
    return r;
}

void CKeyboardProfiledata::SetKeyboardSystem(const KeyboardSystemRecord& r)
{
    keyboardSystem_ = r;
    WriteRecord<KeyboardSystemRecord>(WritableMember(section(), "SystemStages"), r, kSystemFields);
}

std::vector<KeyColor> CKeyboardProfiledata::GetKeyColors(int group, int count)
{
    std::vector<KeyColor> colors(size_t(std::max(count, 0)));
    if (count > 0 && group >= 0 && group < kMaxStoredGroup) {
        Json::Value& groups = WritableMember(WritableMember(section(), "CustomLightMode"), "LightColorInfo");
        Json::Value& stored = WritableElement(groups, Json::ArrayIndex(group));
        for (Json::ArrayIndex i = 0; i < colors.size(); ++i) {
            Json::Value& c = WritableElement(stored, i);
            if (!c.isObject()) {
                c = Json::Value(Json::objectValue);
                c["Red"] = 0;
                c["Green"] = 0;
                c["Blue"] = 0;
                c["Alpha"] = 0;
                continue;
            }
            colors[i].red = ReadClamped<uint8_t>(Member(c, "Red"));
            colors[i].green = ReadClamped<uint8_t>(Member(c, "Green"));
            colors[i].blue = ReadClamped<uint8_t>(Member(c, "Blue"));
            colors[i].alpha = ReadClamped<uint8_t>(Member(c, "Alpha"));
        }
    }
    keyColors_ = colors;
    return colors;
}

void CKeyboardProfiledata::SetKeyColors(const std::vector<KeyColor>& colors, int group)
{
    keyColors_ = colors;
    if (group < 0 || group >= kMaxStoredGroup)
        return;
    Json::Value& groups = WritableMember(WritableMember(section(), "CustomLightMode"), "LightColorInfo");
    Json::Value& stored = WritableElement(groups, Json::ArrayIndex(group));
    for (Json::ArrayIndex i = 0; i < colors.size(); ++i) {
        Json::Value& c = WritableElement(stored, i);
        WritableMember(c, "Red") = colors[i].red;
        WritableMember(c, "Green") = colors[i].green;
        WritableMember(c, "Blue") = colors[i].blue;
        WritableMember(c, "Alpha") = colors[i].alpha;
    }
}

int CKeyboardProfiledata::GetColorGroupIndex()
{
    colorGroupIndex_ = ReadInt(Member(Member(section(), "CustomLightMode"), "CustomLightModeGroupIndex"));
    return colorGroupIndex_;
}

void CKeyboardProfiledata::SetColorGroupIndex(int n)
{
    colorGroupIndex_ = n;
    WritableMember(WritableMember(section(), "CustomLightMode"), "CustomLightModeGroupIndex") = n;
}

} // namespace q9

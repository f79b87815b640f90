#include "profile/Hx4120Profiledata.h"

#include "profile/JsonAccess.h"
#include "profile/RecordFields.h"
#include "profile/TextConvert.h"

namespace q9 {
namespace {

// The preset slot of an equaliser type; 0 for the user-defined type, which has none.
Json::ArrayIndex presetSlot(int type)
{
    if (type == kCustomEqType)
        return 0;
    if (type < 1 || type > kCustomEqType)
        return 1;
    return Json::ArrayIndex(type);
}

// Band values of one curve, stored as [{"value": n}, ...]; a curve that is not there yet is created
// with zeros.
std::vector<int> readBands(Json::Value& curves, Json::ArrayIndex slot)
{
    std::vector<int> values(kEqBands, 0);
    const Json::Value& curve = Element(curves, slot);
    if (curve.isArray()) {
        for (Json::ArrayIndex i = 0; i < kEqBands; ++i)
            values[i] = ReadInt(Member(Element(curve, i), "value"));
        return values;
    }
    Json::Value& created = WritableElement(curves, slot);
    for (Json::ArrayIndex i = 0; i < kEqBands; ++i)
        WritableMember(WritableElement(created, i), "value") = 0;
    return values;
}

void writeBands(Json::Value& curves, Json::ArrayIndex slot, const std::vector<int>& values)
{
    Json::Value& curve = WritableElement(curves, slot);
    for (Json::ArrayIndex i = 0; i < kEqBands && i < values.size(); ++i)
        WritableMember(WritableElement(curve, i), "value") = values[i];
}

constexpr RecordField<HeadsetSystemRecord> kSystemFields[] = {
    {"MagicEnable", &HeadsetSystemRecord::magicEnable},
    {"MagicType", &HeadsetSystemRecord::magicType},
    {"EqType", &HeadsetSystemRecord::eqType},
    {"CustomEqSeletIndex", &HeadsetSystemRecord::customEqSelectIndex},
    {"MicInSelect", &HeadsetSystemRecord::micInSelect},
    {"MicInValue", &HeadsetSystemRecord::micInValue},
    {"MicMoniterSelect", &HeadsetSystemRecord::micMonitorSelect},
    {"MicMoniterValue", &HeadsetSystemRecord::micMonitorValue},
};

} // namespace

HeadsetSystemRecord CHx4120Profiledata::GetHeadsetSystem()
{
    HeadsetSystemRecord r;
    ReadRecord<HeadsetSystemRecord>(Member(section(), "SystemSetStages"), r, kSystemFields);
    headsetSystem_ = r;
    return r;
}

void CHx4120Profiledata::SetHeadsetSystem(const HeadsetSystemRecord& r)
{
    headsetSystem_ = r;
    WriteRecord<HeadsetSystemRecord>(WritableMember(section(), "SystemSetStages"), r, kSystemFields);
}

std::vector<int> CHx4120Profiledata::GetEqValues(int type)
{
    const Json::ArrayIndex slot = presetSlot(type);
    if (slot == 0)
        return {};
    return readBands(WritableMember(section(), "EQHzValueInfo"), slot);
}

void CHx4120Profiledata::SetEqValues(int type, const std::vector<int>& values)
{
    const Json::ArrayIndex slot = presetSlot(type);
    if (slot != 0)
        writeBands(WritableMember(section(), "EQHzValueInfo"), slot, values);
}

std::vector<std::wstring> CHx4120Profiledata::GetCustomEqNames()
{
    const Json::Value& stored = Member(section(), "CustomEQNameInfo");
    std::vector<std::wstring> names;
    for (Json::ArrayIndex i = 0; i < ElementCount(stored); ++i)
        names.push_back(Utf8ToWide(ReadString(Member(Element(stored, i), "Name"))));
    return names;
}

void CHx4120Profiledata::SetCustomEqNames(const std::vector<std::wstring>& names)
{
    Json::Value list; // null when there are no names
    for (const std::wstring& name : names) {
        Json::Value entry(Json::objectValue);
        entry["Name"] = WideToUtf8(name);
        list.append(entry);
    }
    WritableMember(section(), "CustomEQNameInfo") = list;
}

std::vector<int> CHx4120Profiledata::GetCustomEqValues(int index)
{
    if (index < 0 || index >= kMaxStoredGroup)
        return std::vector<int>(kEqBands, 0);
    return readBands(WritableMember(section(), "CustomEQHzValueInfo"), Json::ArrayIndex(index));
}

void CHx4120Profiledata::SetCustomEqValues(int index, const std::vector<int>& values)
{
    if (index >= 0 && index < kMaxStoredGroup)
        writeBands(WritableMember(section(), "CustomEQHzValueInfo"), Json::ArrayIndex(index), values);
}

} // namespace q9

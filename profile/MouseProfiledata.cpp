#include "profile/MouseProfiledata.h"

#include "profile/JsonAccess.h"
#include "profile/RecordFields.h"

namespace q9 {

std::vector<DpiStage> CMouseProfiledata::GetDpiStages()
{
    const Json::Value& stages = Member(section(), "DPIStages");
    if (!stages.isNull()) {
        currentDpiStage_ = ReadInt(Member(stages, "StageActive"));
        const Json::Value& list = Member(stages, "StageDPIs");
        // A profile's list is all its stages: none is carried over from the profile read before.
        if (list.isArray())
            dpiStages_.clear();
        for (Json::ArrayIndex j = 0; j < ElementCount(list); ++j) {
            const Json::Value& s = Element(list, j);
            DpiStage stage;
            stage.active = ReadClamped<uint8_t>(Member(s, "StageActive"));
            stage.xy = ReadClamped<uint8_t>(Member(s, "StageXY"));
            stage.dpiX = ReadClamped<uint16_t>(Member(s, "StageDPIX"));
            stage.dpiY = ReadClamped<uint16_t>(Member(s, "StageDPIY"));
            stage.red = ReadClamped<uint8_t>(Member(s, "StageColorR"));
            stage.green = ReadClamped<uint8_t>(Member(s, "StageColorG"));
            stage.blue = ReadClamped<uint8_t>(Member(s, "StageColorB"));
            dpiStages_.push_back(stage);
        }
    }
    return dpiStages_;
}

void CMouseProfiledata::SetDpiStages(const std::vector<DpiStage>& list)
{
    dpiStages_ = list;
    Json::Value& stored = WritableMember(WritableMember(section(), "DPIStages"), "StageDPIs");
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        Json::Value& s = WritableElement(stored, i);
        const DpiStage& stage = list[i];
        WritableMember(s, "StageActive") = stage.active;
        WritableMember(s, "StageXY") = stage.xy;
        WritableMember(s, "StageDPIX") = stage.dpiX;
        WritableMember(s, "StageDPIY") = stage.dpiY;
        WritableMember(s, "StageColorR") = stage.red;
        WritableMember(s, "StageColorG") = stage.green;
        WritableMember(s, "StageColorB") = stage.blue;
    }
}

void CMouseProfiledata::SetCurrentDpiStage(int n)
{
    currentDpiStage_ = n;
    WritableMember(WritableMember(section(), "DPIStages"), "StageActive") = n;
}

namespace {

constexpr RecordField<MouseSystemRecord> kSystemFields[] = {
    {"DoubleClickTime", &MouseSystemRecord::doubleClickTime},
    {"MouseSpeed", &MouseSystemRecord::mouseSpeed},
    {"PointerPrecision", &MouseSystemRecord::pointerPrecision},
    {"ScorllPage", &MouseSystemRecord::scrollPage},
    {"WheelScorlllinse", &MouseSystemRecord::wheelScrollLines},
};

constexpr RecordField<MouseSystemRecord> kReportFields[] = {
    {"StageActive", &MouseSystemRecord::reportRate},
    {"SilentAltitude", &MouseSystemRecord::silentAltitude},
    {"Linear_Calibration", &MouseSystemRecord::linearCalibration},
    {"Ripple", &MouseSystemRecord::ripple},
    {"ble_sleep1", &MouseSystemRecord::bleSleep1},
    {"ble_sleep2", &MouseSystemRecord::bleSleep2},
    {"device_sleep1", &MouseSystemRecord::deviceSleep1},
    {"device_sleep2", &MouseSystemRecord::deviceSleep2},
    {"key_debounce_time", &MouseSystemRecord::keyDebounceTime},
};

} // namespace

// The report section is read only when the system section exists; otherwise the record is zero.
MouseSystemRecord CMouseProfiledata::GetMouseSystem()
{
    MouseSystemRecord r;
    const Json::Value& sys = Member(section(), "SystemStages");
    if (!sys.isNull()) {
        ReadRecord<MouseSystemRecord>(sys, r, kSystemFields);
        const Json::Value& report = Member(section(), "ReportStages");
        if (!report.isNull())
            ReadRecord<MouseSystemRecord>(report, r, kReportFields);
    }
    mouseSystem_ = r;
    return r;
}

void CMouseProfiledata::SetMouseSystem(const MouseSystemRecord& r)
{
    mouseSystem_ = r;
    WriteRecord<MouseSystemRecord>(WritableMember(section(), "SystemStages"), r, kSystemFields);
    WriteRecord<MouseSystemRecord>(WritableMember(section(), "ReportStages"), r, kReportFields);
}

} // namespace q9

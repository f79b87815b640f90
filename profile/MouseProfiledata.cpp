#include "profile/MouseProfiledata.h"

#include "profile/JsonAccess.h"
#include "profile/RecordFields.h"

namespace q9 {

namespace {

constexpr RecordField<DpiStage> kStageFields[] = {
    {"StageActive", &DpiStage::active}, {"StageXY", &DpiStage::xy},       {"StageDPIX", &DpiStage::dpiX},
    {"StageDPIY", &DpiStage::dpiY},     {"StageColorR", &DpiStage::red}, {"StageColorG", &DpiStage::green},
    {"StageColorB", &DpiStage::blue},
};

} // namespace

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
            DpiStage stage;
            ReadRecord<DpiStage>(Element(list, j), stage, kStageFields);
            dpiStages_.push_back(stage);
        }
    }
    return dpiStages_;
}

void CMouseProfiledata::SetDpiStages(const std::vector<DpiStage>& list)
{
    dpiStages_ = list;
    Json::Value& stored = WritableMember(WritableMember(section(), "DPIStages"), "StageDPIs");
    for (Json::ArrayIndex i = 0; i < list.size(); ++i)
        WriteRecord<DpiStage>(WritableElement(stored, i), list[i], kStageFields);
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

#include "profile/MouseProfiledata.h"

#include "profile/JsonAccess.h"

namespace q9 {

std::vector<DpiStage> CMouseProfiledata::GetDpiStages()
{
    const Json::Value& stages = Member(section(), "DPIStages");
    if (!stages.isNull()) {
        currentDpiStage_ = ReadInt(Member(stages, "StageActive"));
        const Json::Value& list = Member(stages, "StageDPIs");
        for (Json::ArrayIndex j = 0; j < ElementCount(list); ++j) {
            const Json::Value& s = Element(list, j);
            DpiStage stage;
            stage.active = uint8_t(ReadInt(Member(s, "StageActive")));
            stage.xy = uint8_t(ReadInt(Member(s, "StageXY")));
            stage.dpiX = uint16_t(ReadInt(Member(s, "StageDPIX")));
            stage.dpiY = uint16_t(ReadInt(Member(s, "StageDPIY")));
            stage.red = uint8_t(ReadInt(Member(s, "StageColorR")));
            stage.green = uint8_t(ReadInt(Member(s, "StageColorG")));
            stage.blue = uint8_t(ReadInt(Member(s, "StageColorB")));
            if (j < dpiStages_.size())
                dpiStages_[j] = stage;
            else
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

MouseSystemRecord CMouseProfiledata::GetMouseSystem()
{
    MouseSystemRecord r;
    const Json::Value& sys = Member(section(), "SystemStages");
    if (!sys.isNull()) {
        r.doubleClickTime = uint16_t(ReadInt(Member(sys, "DoubleClickTime")));
        r.mouseSpeed = uint16_t(ReadInt(Member(sys, "MouseSpeed")));
        r.pointerPrecision = uint16_t(ReadInt(Member(sys, "PointerPrecision")));
        r.scrollPage = uint16_t(ReadInt(Member(sys, "ScorllPage")));
        r.wheelScrollLines = uint16_t(ReadInt(Member(sys, "WheelScorlllinse")));
        const Json::Value& report = Member(section(), "ReportStages");
        if (!report.isNull()) {
            r.reportRate = uint16_t(ReadInt(Member(report, "StageActive")));
            r.silentAltitude = uint16_t(ReadInt(Member(report, "SilentAltitude")));
            r.linearCalibration = uint16_t(ReadInt(Member(report, "Linear_Calibration")));
            r.ripple = uint16_t(ReadInt(Member(report, "Ripple")));
            r.bleSleep1 = uint16_t(ReadInt(Member(report, "ble_sleep1")));
            r.bleSleep2 = uint16_t(ReadInt(Member(report, "ble_sleep2")));
            r.deviceSleep1 = uint16_t(ReadInt(Member(report, "device_sleep1")));
            r.deviceSleep2 = uint16_t(ReadInt(Member(report, "device_sleep2")));
            r.keyDebounceTime = uint16_t(ReadInt(Member(report, "key_debounce_time")));
        }
    }
    mouseSystem_ = r;
    return r;
}

void CMouseProfiledata::SetMouseSystem(const MouseSystemRecord& r)
{
    mouseSystem_ = r;
    Json::Value& sys = WritableMember(section(), "SystemStages");
    WritableMember(sys, "DoubleClickTime") = r.doubleClickTime;
    WritableMember(sys, "MouseSpeed") = r.mouseSpeed;
    WritableMember(sys, "PointerPrecision") = r.pointerPrecision;
    WritableMember(sys, "ScorllPage") = r.scrollPage;
    WritableMember(sys, "WheelScorlllinse") = r.wheelScrollLines;
    Json::Value& report = WritableMember(section(), "ReportStages");
    WritableMember(report, "StageActive") = r.reportRate;
    WritableMember(report, "SilentAltitude") = r.silentAltitude;
    WritableMember(report, "Linear_Calibration") = r.linearCalibration;
    WritableMember(report, "Ripple") = r.ripple;
    WritableMember(report, "ble_sleep1") = r.bleSleep1;
    WritableMember(report, "ble_sleep2") = r.bleSleep2;
    WritableMember(report, "device_sleep1") = r.deviceSleep1;
    WritableMember(report, "device_sleep2") = r.deviceSleep2;
    WritableMember(report, "key_debounce_time") = r.keyDebounceTime;
}

} // namespace q9

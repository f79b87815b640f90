#pragma once
// The mouse's part of a profile: DPI stages, pointer and wheel options, report and power options.
#include "profile/BasicProfiledata.h"

#include <vector>

namespace q9 {

class CMouseProfiledata : public CBasicProfiledata {
public:
    // Takes the active stage and the stored stages. The stages merge into the cached list rather
    // than replace it: stages beyond the stored count keep the values they had.
    std::vector<DpiStage> GetDpiStages();
    // Writes every member of the first list.size() stored stages; later stored stages stay.
    void SetDpiStages(const std::vector<DpiStage>& list);
    int GetCurrentDpiStage() const { return currentDpiStage_; }
    void SetCurrentDpiStage(int n);

    // Reads "SystemStages", and "ReportStages" only when "SystemStages" is there.
    MouseSystemRecord GetMouseSystem();
    void SetMouseSystem(const MouseSystemRecord& record);

private:
    std::vector<DpiStage> dpiStages_;
    int currentDpiStage_ = 0;
    MouseSystemRecord mouseSystem_;
};

} // namespace q9

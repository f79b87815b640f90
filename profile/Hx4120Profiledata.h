#pragma once
// The headset's part of a profile: voice effect, equaliser and microphone settings, the preset
// equaliser curves and the user-defined ones.
#include "profile/BasicProfiledata.h"

#include <string>
#include <vector>

namespace q9 {

constexpr int kEqBands = 10;
constexpr int kCustomEqType = 13;  // the user-defined equaliser; types 1-12 are presets

class CHx4120Profiledata : public CBasicProfiledata {
public:
    HeadsetSystemRecord GetHeadsetSystem();
    void SetHeadsetSystem(const HeadsetSystemRecord& record);

    // Ten band values of a preset type. Types 1-12 as they are; 0, anything above 13 and negative
    // types mean type 1; type 13 has no preset values (empty list, nothing stored). Bands missing
    // in the section are created there as 0.
    std::vector<int> GetEqValues(int type);
    void SetEqValues(int type, const std::vector<int>& values);

    std::vector<std::wstring> GetCustomEqNames();
    // An empty list makes the member null.
    void SetCustomEqNames(const std::vector<std::wstring>& names);

    // Ten band values of user-defined equaliser index, zero-filled like GetEqValues. An index
    // outside 0 .. kMaxStoredGroup-1 reads ten zeros and stores nothing.
    std::vector<int> GetCustomEqValues(int index);
    void SetCustomEqValues(int index, const std::vector<int>& values);

private:
    HeadsetSystemRecord headsetSystem_;
};

} // namespace q9

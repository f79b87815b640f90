#pragma once
// The keyboard's part of a profile: typing options and the groups of custom per-key colours.
#include "profile/BasicProfiledata.h"

#include <vector>

namespace q9 {

class CKeyboardProfiledata : public CBasicProfiledata {
public:
    KeyboardSystemRecord GetKeyboardSystem();
    void SetKeyboardSystem(const KeyboardSystemRecord& record);

    // count colours of a group. Entries (or a whole group) missing in the section are created
    // there as zero colours, to be saved with the profile. A group outside 0 .. kMaxStoredGroup-1
    // gives zero colours and changes nothing.
    std::vector<KeyColor> GetKeyColors(int group, int count);
    void SetKeyColors(const std::vector<KeyColor>& colors, int group);

    int GetColorGroupIndex();
    void SetColorGroupIndex(int n);

private:
    KeyboardSystemRecord keyboardSystem_;
    std::vector<KeyColor> keyColors_;
    int colorGroupIndex_ = 0;
};

} // namespace q9

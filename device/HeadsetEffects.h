#pragma once
// The headset's own light effects on its 13 zones, where they differ from the mouse pad's: the
// wave steps 16 wheel entries from zone to zone, and the running light across the pad's seven
// columns lights only the zones the headset has (columns {1, 14} and {2, 13} are single zones).
// The other effects are the pad's. No threads and no UI.
#include "device/LightPreview.h"
#include "profile/ProfileRecords.h"

#include <array>
#include <cstdint>

namespace q9::headset {

class HeadsetEffects {
public:
    static constexpr int kZones = 13;
    static constexpr int kColumns = 7;
    static constexpr int kColumnRing = 8;

    HeadsetEffects() { reset(); }
    void reset();
    // Effect 0: the wave along the zones.
    void stepWave(const LightInfoRecord& s, light::LightPreview& out);
    // Effect 7: a pulse runs across the columns, towards the higher columns with the direction
    // cleared; a column it passed fades as on the pad.
    void stepRunningColumns(const LightInfoRecord& s, light::LightPreview& out);

    uint8_t phase() const { return phase_; }
    uint8_t columnLevel(int column) const { return column >= 0 && column < kColumns ? reactive_[size_t(column)] : 0; }

private:
    uint8_t phase_ = 0;
    bool secondStep_ = false;
    std::array<uint8_t, kColumnRing> ring_{};
    std::array<uint8_t, kColumns> reactive_{};
};

} // namespace q9::headset

#pragma once
// The mouse pad's own light effects on its 15 zones: the wave along the zones and the two running
// lights (along the zones, and across the seven columns of two zones each), and the profile's
// zone list, which gives single zones a behaviour of their own on top of the effect. No threads
// and no UI: the pad's preview thread calls the steps when they fall due, under the pad's lock.
// The other effects of the pad are the shared steps of LightPreview.
#include "device/LightPreview.h"
#include "profile/ProfileRecords.h"

#include <array>
#include <cstdint>
#include <vector>

namespace q9::pad {

constexpr int kZones = 15;
constexpr int kColumns = 7;
constexpr int kRing = 23;
constexpr int kColumnRing = 8; // the running light across the columns uses ring positions 0-7

// The columns of the running light, two zones each; zone 0 is in none.
const std::array<std::array<int, 2>, kColumns>& columns();

// How a zone the running light passed fades, step by step: fast from full, slower towards dark.
uint8_t runningDecay(uint8_t v);

class PadEffects {
public:
    PadEffects() { reset(); }

    // A new effect: its phase, the pulse and the lit zones start again.
    void reset();
    // Effect 0: the wave along the zones.
    void stepWave(const LightInfoRecord& s, light::LightPreview& out);
    // Effect 6: a pulse runs along the zones (the ring's 23 positions, the first 15 of them zones),
    // towards the higher zones with the direction set.
    void stepRunningZones(const LightInfoRecord& s, light::LightPreview& out);
    // Effect 7: a pulse runs across the columns (ring positions 0-7, position 7 has no column),
    // towards the higher columns with the direction cleared.
    void stepRunningColumns(const LightInfoRecord& s, light::LightPreview& out);

    // The profile's zone list; every zone's own animation starts again.
    void setZoneList(const std::vector<LedZoneRecord>& list);
    // Some zone of the list breathes, blinks or cycles colours: the list is applied every pass.
    bool zonesAnimated() const;
    // One pass of the zone list over the colours the effect gave; `now` in milliseconds.
    void applyZoneList(light::LightPreview& out, int64_t now);

    // Animation state, for tests.
    uint8_t phase() const { return phase_; }
    uint8_t reactive(int i) const { return i >= 0 && i < kZones ? reactive_[size_t(i)] : 0; }
    bool ringSet(int position) const { return position >= 0 && position < kRing && ring_[size_t(position)] != 0; }

private:
    // Every second step the pulse lights the positions it is on (below `lit`) and moves on by one
    // position within the first `span` positions of the ring.
    void pulse(int lit, int span, bool towardsHigher);

    uint8_t phase_ = 0;
    bool secondStep_ = false;
    std::array<uint8_t, kRing> ring_{};
    std::array<uint8_t, kZones> reactive_{};

    struct ZoneState {
        int phase = 0;
        uint8_t colour = 0;
        uint8_t counter = 0;
        bool on = false;
        int64_t lastToggle = 0;
        int64_t halfPeriod = 0;
        uint8_t cycleStep = 0;
    };
    std::vector<LedZoneRecord> zoneList_;
    std::vector<ZoneState> zoneState_;
};

} // namespace q9::pad

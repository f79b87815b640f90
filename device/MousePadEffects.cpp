#include "device/MousePadEffects.h"

#include <algorithm>

namespace q9::pad {

using light::Rgb;

namespace {

uint8_t scaled(uint8_t value, uint8_t level) { return uint8_t(value * level / 256); }

Rgb colourOf(const LightInfoRecord& s) { return {s.red, s.green, s.blue}; }

Rgb shownColour(const light::LightPreview& out, int zone)
{
    const uint32_t c = out.zone(zone);
    return {uint8_t(c >> 24), uint8_t(c >> 16), uint8_t(c >> 8)};
}

void show(light::LightPreview& out, int zone, Rgb c, uint8_t brightness) { out.setZone(zone, light::pack(c.r, c.g, c.b, brightness)); }

uint8_t nextColour(uint8_t c, int step) { return c + step >= 192 ? 0 : uint8_t(c + step); }

} // namespace

const std::array<std::array<int, 2>, kColumns>& columns()
{
    static const std::array<std::array<int, 2>, kColumns> table = {{{1, 14}, {2, 13}, {3, 12}, {4, 11}, {5, 10}, {6, 9}, {7, 8}}};
    return table;
}

uint8_t runningDecay(uint8_t v)
{
    if (v >= 128) return uint8_t(v - 40);
    if (v >= 64) return uint8_t(v - 30);
    if (v >= 32) return uint8_t(v - 10);
    if (v > 16) return uint8_t(v - 8);
    if (v >= 1) return uint8_t(v - 1);
    return 0;
}

void PadEffects::reset()
{
    phase_ = 0;
    secondStep_ = false;
    ring_.fill(0);
    ring_[0] = 1; // the pulse
    reactive_.fill(0);
}

void PadEffects::stepWave(const LightInfoRecord& s, light::LightPreview& out)
{
    const uint8_t level = light::levelOf(s.light);
    if (s.multiColor) {
        phase_ = light::advance(s.fx != 0, 192, phase_);
        for (int z = 0; z < kZones; ++z)
            show(out, z, light::wheel()[(phase_ + 1 + 7 * z) % 192], level);
        return;
    }
    phase_ = light::advance(s.fx != 0, 96, phase_);
    for (int z = 0; z < kZones; ++z)
        show(out, z, colourOf(s), scaled(light::curveB()[(phase_ + 1 + 7 * z) % 96], level));
}

void PadEffects::pulse(int lit, int span, bool towardsHigher)
{
    secondStep_ = !secondStep_;
    if (secondStep_)
        return;
    for (int i = 0; i < lit; ++i)
        if (ring_[size_t(i)])
            reactive_[size_t(i)] = 255;
    const auto first = ring_.begin(), last = ring_.begin() + span;
    if (towardsHigher)
        std::rotate(first, last - 1, last);
    else
        std::rotate(first, first + 1, last);
}

void PadEffects::stepRunningZones(const LightInfoRecord& s, light::LightPreview& out)
{
    const bool forward = s.fx != 0;
    const uint8_t level = light::levelOf(s.light);
    phase_ = light::advance(forward, 192, phase_);
    pulse(kZones, kRing, forward);
    // While the zone the pulse enters first is lit, the zones keep their colours; the next pulse
    // brings new ones.
    const bool keep = s.multiColor && reactive_[forward ? 0 : kZones - 1] > 0;
    for (int z = 0; z < kZones; ++z) {
        uint8_t& v = reactive_[size_t(z)];
        v = runningDecay(v);
        Rgb c = colourOf(s);
        if (s.multiColor) {
            if (keep) {
                c = shownColour(out, z);
            } else {
                phase_ = light::advance(forward, 192, phase_, 12);
                c = light::wheel()[phase_ % 192];
            }
        }
        show(out, z, c, scaled(v, level));
    }
}

void PadEffects::stepRunningColumns(const LightInfoRecord& s, light::LightPreview& out)
{
    const bool forward = s.fx != 0;
    const uint8_t level = light::levelOf(s.light);
    phase_ = light::advance(forward, 192, phase_);
    pulse(kColumns, kColumnRing, !forward);
    // Column 0 holds the colours while it is lit, whichever way the pulse runs: towards the higher
    // columns it is the one the pulse enters first, and the pad does the same the other way.
    const bool keep = s.multiColor && reactive_[0] > 0;
    for (int col = 0; col < kColumns; ++col) {
        uint8_t& v = reactive_[size_t(col)];
        v = runningDecay(v);
        const auto& zones = columns()[size_t(col)];
        Rgb c = colourOf(s);
        if (s.multiColor) {
            if (keep) {
                c = shownColour(out, zones[0]);
            } else {
                phase_ = light::advance(forward, 192, phase_, 12);
                c = light::wheel()[phase_ % 192];
            }
        }
        for (int z : zones)
            show(out, z, c, scaled(v, level));
    }
    show(out, 0, {}, 0); // in no column: dark
}

void PadEffects::setZoneList(const std::vector<LedZoneRecord>& list)
{
    zoneList_ = list;
    zoneState_.assign(list.size(), ZoneState{});
    for (size_t i = 0; i < list.size(); ++i) {
        const uint8_t t = light::thresholdOf(list[i].speed);
        zoneState_[i].halfPeriod = int64_t(t) * 200;
        zoneState_[i].cycleStep = t;
    }
}

bool PadEffects::zonesAnimated() const
{
    for (size_t i = 0; i < zoneList_.size() && i < size_t(kZones); ++i) {
        const LedZoneRecord& r = zoneList_[i];
        if (r.present && (r.mode == 0 || r.mode == 2 || r.mode == 3))
            return true;
    }
    return false;
}

void PadEffects::applyZoneList(light::LightPreview& out, int64_t now)
{
    for (size_t i = 0; i < zoneList_.size() && i < size_t(kZones); ++i) {
        const LedZoneRecord& r = zoneList_[i];
        ZoneState& z = zoneState_[i];
        if (!r.present)
            continue;
        const int zone = int(i);
        const uint8_t level = light::levelOf(r.brightness);
        const Rgb own = r.multiColor ? light::wheel()[z.colour % 192] : Rgb{r.red, r.green, r.blue};
        switch (r.mode) {
        case 0: // breathing
            z.phase += std::min<int>(r.speed, 4) + 4;
            if (z.phase >= 128) {
                z.phase = 0;
                z.colour = std::min<uint8_t>(uint8_t(z.colour + 1), 191);
            }
            show(out, zone, r.multiColor ? light::wheel()[z.colour % 192] : own, scaled(light::curveA()[size_t(z.phase)], level));
            break;
        case 2: // blink
            if (now - z.lastToggle >= z.halfPeriod) {
                z.lastToggle = now;
                z.on = !z.on;
                z.colour = nextColour(z.colour, 14);
            }
            if (z.on)
                show(out, zone, r.multiColor ? light::wheel()[z.colour % 192] : own, level);
            else
                show(out, zone, {}, 0);
            break;
        case 3: // colour cycle
            if (++z.counter >= z.cycleStep) {
                z.counter = 0;
                z.colour = nextColour(z.colour, 1);
            }
            show(out, zone, light::wheel()[z.colour % 192], level);
            break;
        default:
            break; // the zone keeps what the effect gave it
        }
    }
}

} // namespace q9::pad

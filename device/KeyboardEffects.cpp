#include "device/KeyboardEffects.h"

#include "device/KeyboardLayout.h"

#include <algorithm>

namespace q9::keyboard {

namespace {

constexpr uint8_t kColumnWave = 1, kFineWave = 2, kPathWave = 3, kBreathing = 5, kStatic = 6, kFlash = 7, kRipple = 8,
                  kStars = 10, kRainbowKeys = 11, kRowWave = 12, kFixedColour = 17, kRadialWave = 18, kSweep = 21,
                  kFlashNeighbours = 25, kPlaneTrail = 9, kRippleRain = 13, kShow = 14, kTwinkle = 15, kRippleEdges = 16,
                  kSlowTwinkle = 22, kSequence = 24;

// The show's opening (effect 14): two keys a step, from both ends of the path towards the middle;
// its second stage lights one of sixteen pairs around O a step.
constexpr int kIntroSteps = 20;
constexpr int kPairs = 16;
constexpr int kSequenceSteps = 52;

// Rises over entries 0-24, falls to 0 by entry 87 and stays dark after.
const std::array<uint8_t, 192>& curveC()
{
    static const auto table = [] {
        std::array<uint8_t, 192> c{};
        const uint8_t rise[25] = {0, 4, 8, 14, 22, 33, 45, 61, 77, 84, 100, 110, 120, 130, 140, 150, 158, 166, 175, 182, 191, 204, 220, 234, 255};
        for (int i = 0; i < 25; ++i)
            c[size_t(i)] = rise[i];
        for (int i = 0; i < 63; ++i)
            c[size_t(25 + i)] = uint8_t(248 - 4 * i);
        return c;
    }();
    return table;
}

uint8_t scaled(uint8_t v, uint8_t level) { return uint8_t(v * level / 256); }

} // namespace

uint8_t decayStep(uint8_t v)
{
    if (v >= 128) return uint8_t(v - 40);
    if (v >= 64) return uint8_t(v - 30);
    if (v >= 32) return uint8_t(v - 10);
    if (v > 16) return uint8_t(v - 8);
    if (v >= 1) return uint8_t(v - 1);
    return 0;
}

bool KeyboardEffects::idle() const
{
    for (int k = 0; k < kKeys; ++k)
        if (reactive_[size_t(k)] || flash_[size_t(k)])
            return false;
    for (const auto& p : planes_)
        for (uint8_t c : p)
            if (c)
                return false;
    return true;
}

void KeyboardEffects::reset(uint8_t effect)
{
    phase_ = 0;
    position_ = 0;
    colourIndex_.fill(0);
    reactive_.fill(0);
    flash_.fill(0);
    for (auto& p : planes_)
        p.fill(0);
    stage_ = 0;
    history_.fill(0);
    audioPhase_ = columnOffset_ = 0;
    audioFrames_ = loudness_ = 0;
    if (effect == kRainbowKeys)
        for (int i = 0; i < kKeys; ++i)
            colourIndex_[size_t(i)] = uint8_t(33 * (i + 1) % 192);
    if (effect == kRippleRain)
        for (auto& p : planes_)
            p[9] |= 0x40;
    if (effect == kRippleEdges)
        for (auto& p : planes_)
            p[1] |= 0x01;
    if (effect == kTwinkle || effect == kSlowTwinkle)
        for (int k = 0; k < kKeys; ++k) {
            const int c = columnOf()[size_t(k)], r = rowOf()[size_t(k)];
            if (c >= kColumns)
                continue;
            int start = effect == kTwinkle ? (37 * (c + 3 * r)) % 192 : 157 - 8 * c - 35 * r;
            while (start < 0)
                start += 193;
            counter_[size_t(k)] = uint8_t(start % 192);
            colourIndex_[size_t(k)] = uint8_t(7 * c % 192);
        }
}

void KeyboardEffects::show(light::LightPreview& out, int key, light::Rgb c, uint8_t brightness)
{
    out.setZone(key, light::pack(c.r, c.g, c.b, brightness));
}

void KeyboardEffects::seedRipple(int key)
{
    if (key < 0 || key >= kKeys || columnOf()[size_t(key)] >= kColumns || rowOf()[size_t(key)] > 5)
        return;
    const uint8_t bit = uint8_t(1u << rowOf()[size_t(key)]);
    for (auto& p : planes_)
        p[columnOf()[size_t(key)]] |= bit;
}

bool KeyboardEffects::planeBit(int key) const
{
    const uint8_t c = columnOf()[size_t(key)], r = rowOf()[size_t(key)];
    if (c >= kColumns || r > 5)
        return false;
    for (const auto& p : planes_)
        if (p[c] >> r & 1)
            return true;
    return false;
}

void KeyboardEffects::stepShow(const LightInfoRecord& s, light::LightPreview& out)
{
    const auto& path = pathTable();
    auto light = [&](int k) {
        if (k >= 0 && k < kKeys) {
            reactive_[size_t(k)] = 255;
            colourIndex_[size_t(k)] = uint8_t(random_() % 192);
        }
    };
    switch (stage_) {
    case 0: // from both ends of the path inwards, two keys a step
        light(path[size_t(position_)]);
        light(path[path.size() - 1 - size_t(position_)]);
        if (++position_ >= kIntroSteps)
            stage_ = 1, position_ = 0;
        break;
    case 1: { // pairs of keys around O, mirrored through it
        const int pair = position_ % kPairs;
        const int ring = 1 + pair / 4;
        int found = 0;
        for (int k = 0; k < kKeys && found < 2; ++k)
            if (ringOf()[size_t(k)] == ring && (k % 4) == pair % 4)
                light(k), ++found;
        if (++position_ >= 31 && reactive_[72] == 0)
            stage_ = 2, position_ = 0;
        break;
    }
    case 2:
        seedRipple(52);
        stage_ = 3;
        break;
    case 3:
        rippleStep(s.multiColor != 0);
        if (reactive_[124] > 0)
            stage_ = 4;
        break;
    default:
        if (reactive_[124] == 0)
            stage_ = 0, position_ = 0;
        break;
    }
    decayAndShow(s, out);
}

void KeyboardEffects::rippleStep(bool multiColour)
{
    for (int k = 0; k < kKeys; ++k) {
        const uint8_t c = columnOf()[size_t(k)], r = rowOf()[size_t(k)];
        if (c >= kColumns || r > 5)
            continue;
        bool lit = false;
        for (const auto& p : planes_)
            lit = lit || (p[c] >> r & 1);
        if (lit) {
            reactive_[size_t(k)] = 255;
            if (multiColour)
                colourIndex_[size_t(k)] = uint8_t(random_() % 192);
        }
    }
    // Planes 1 and 4 take the column towards 22, planes 2 and 3 the one towards 0; their own bits
    // move a row up (planes 1, 2) or down (planes 3, 4).
    for (int p = 0; p < kPlanes; ++p) {
        const auto old = planes_[size_t(p)];
        const bool fromHigher = p == 0 || p == 3;
        const bool up = p == 0 || p == 1;
        for (int c = 0; c < kColumns; ++c) {
            const int from = fromHigher ? c + 1 : c - 1;
            const uint8_t next = from >= 0 && from < kColumns ? old[size_t(from)] : 0;
            const uint8_t own = up ? uint8_t(old[size_t(c)] >> 1) : uint8_t((old[size_t(c)] << 1) & 0x3F);
            planes_[size_t(p)][size_t(c)] = uint8_t(next | own);
        }
    }
}

void KeyboardEffects::decayAndShow(const LightInfoRecord& s, light::LightPreview& out, int colourStep)
{
    const uint8_t level = light::levelOf(s.light);
    for (int k = 0; k < kKeys; ++k) {
        reactive_[size_t(k)] = decayStep(reactive_[size_t(k)]);
        if (colourStep)
            colourIndex_[size_t(k)] = uint8_t((colourIndex_[size_t(k)] + colourStep) % 192);
        const light::Rgb c = s.multiColor ? light::wheel()[colourIndex_[size_t(k)]] : light::Rgb{s.red, s.green, s.blue};
        show(out, k, c, scaled(reactive_[size_t(k)], level));
    }
}

void KeyboardEffects::keyPressed(uint8_t effect, bool multiColour, int key, int state)
{
    if (key < 0 || key >= kKeys)
        return;
    if (effect == kRipple || effect == kPlaneTrail) {
        if (state == 1)
            seedRipple(key);
        return;
    }
    if (effect != kFlash && effect != kFlashNeighbours)
        return;
    auto flash = [&](int k) {
        flash_[size_t(k)] = uint8_t(state == 1 ? 1 : 2);
        if (state == 1 && multiColour)
            colourIndex_[size_t(k)] = uint8_t(random_() % 192);
    };
    flash(key);
    if (effect == kFlashNeighbours) {
        // The keys around it: the neighbouring columns and rows.
        const int c = columnOf()[size_t(key)], r = rowOf()[size_t(key)];
        for (int k = 0; k < kKeys; ++k) {
            const int kc = columnOf()[size_t(k)], kr = rowOf()[size_t(k)];
            if (k != key && kc < kColumns && std::abs(kc - c) <= 1 && std::abs(kr - r) <= 1)
                flash(k);
        }
    }
}

bool KeyboardEffects::step(const LightInfoRecord& s, light::LightPreview& out)
{
    const uint8_t level = light::levelOf(s.light);
    const bool forward = s.fx != 0;
    const auto& wheel = light::wheel();
    const light::Rgb own{s.red, s.green, s.blue};
    switch (s.selectItem) {
    case kColumnWave:
    case kFineWave:
        phase_ = light::advance(forward, s.multiColor ? 192 : 96, phase_);
        for (int k = 0; k < kKeys; ++k) {
            const int c = columnOf()[size_t(k)];
            if (c >= kColumns)
                continue;
            const bool fine = s.selectItem == kFineWave;
            if (s.multiColor)
                show(out, k, wheel[size_t((phase_ + (fine ? 2 * c : 1 + 7 * c)) % 192)], level);
            else
                show(out, k, own, fine ? scaled(curveC()[size_t((phase_ + c) % 96)], level) : scaled(light::curveB()[size_t((phase_ + 1 + 7 * c) % 96)], level));
        }
        return true;
    case kPathWave: {
        phase_ = light::advance(forward, s.multiColor ? 192 : 96, phase_);
        const auto& path = pathTable();
        for (size_t i = 0; i < path.size(); ++i) {
            if (s.multiColor)
                show(out, path[i], wheel[(phase_ + 5 * i) % 192], level);
            else
                show(out, path[i], own, scaled(light::curveB()[(phase_ + 5 * i) % 96], level));
        }
        return true;
    }
    case kBreathing:
        phase_ = uint8_t((phase_ + 1) % 128);
        for (int k = 0; k < kKeys; ++k) {
            const int c = columnOf()[size_t(k)];
            if (c < kColumns)
                show(out, k, s.multiColor ? wheel[size_t(7 * c % 192)] : own, scaled(light::curveA()[phase_], level));
        }
        return true;
    case kStatic:
        for (int k = 0; k < kKeys; ++k) {
            const int ring = ringOf()[size_t(k)];
            if (ring < kRings)
                show(out, k, s.multiColor ? wheel[size_t(138 - 12 * ring)] : own, level);
        }
        return true;
    case kFlash:
    case kFlashNeighbours:
        for (int k = 0; k < kKeys; ++k) {
            uint8_t& v = reactive_[size_t(k)];
            if (flash_[size_t(k)] == 1)
                v = uint8_t(std::min(255, v + 15));
            else if (flash_[size_t(k)] == 2)
                v = uint8_t(std::max(0, v - 5));
            if (flash_[size_t(k)] == 2 && v == 0)
                flash_[size_t(k)] = 0;
            show(out, k, s.multiColor ? wheel[colourIndex_[size_t(k)]] : own, scaled(v, level));
        }
        return true;
    case kRipple:
        rippleStep(s.multiColor != 0);
        decayAndShow(s, out, 7);
        return true;
    case kStars:
        for (int i = 0; i < 6; ++i) {
            const int k = starKeys()[random_() % starKeys().size()];
            reactive_[size_t(k)] = 255;
            colourIndex_[size_t(k)] = uint8_t(random_() % 192);
        }
        decayAndShow(s, out);
        return true;
    case kRainbowKeys:
        for (int k = 0; k < kKeys; ++k) {
            colourIndex_[size_t(k)] = uint8_t((colourIndex_[size_t(k)] + 1) % 192);
            show(out, k, wheel[colourIndex_[size_t(k)]], level);
        }
        return true;
    case kRowWave:
        phase_ = light::advance(forward, 192, phase_);
        for (int k = 0; k < kKeys; ++k) {
            const int r = rowOf()[size_t(k)];
            if (r <= 5)
                show(out, k, wheel[size_t((phase_ + 1 + 24 * r) % 192)], level);
        }
        return true;
    case kFixedColour: {
        const int entry = s.zzccLedMode == 1 ? 25 : s.zzccLedMode == 2 ? 70 : s.zzccLedMode == 3 ? 95 : 174;
        for (int k = 0; k < kKeys; ++k)
            show(out, k, wheel[size_t(entry)], level);
        return true;
    }
    case kRadialWave:
        phase_ = light::advance(forward, 192, phase_);
        for (int k = 0; k < kKeys; ++k) {
            const int ring = ringOf()[size_t(k)];
            if (ring < kRings)
                show(out, k, wheel[size_t((phase_ + 7 * (ring + 1)) % 192)], level);
        }
        return true;
    case kPlaneTrail: {
        // Lit where any plane has a bit; planes 1 and 3 are spent, 2 and 4 run on sideways.
        for (int k = 0; k < kKeys; ++k)
            if (planeBit(k)) {
                reactive_[size_t(k)] = 255;
                if (s.multiColor)
                    colourIndex_[size_t(k)] = uint8_t(random_() % 192);
            }
        planes_[0].fill(0);
        planes_[2].fill(0);
        for (int c = 0; c < kColumns; ++c) {
            planes_[1][size_t(kColumns - 1 - c)] = kColumns - 2 - c >= 0 ? planes_[1][size_t(kColumns - 2 - c)] : 0;
            planes_[3][size_t(c)] = c + 1 < kColumns ? planes_[3][size_t(c + 1)] : 0;
        }
        decayAndShow(s, out);
        return true;
    }
    case kRippleRain: {
        uint8_t all = 0;
        for (const auto& p : planes_)
            all |= p[9];
        if (all == 0x01 || all == 0x40 || all == 0)
            for (auto& p : planes_)
                p[9] |= 0x40;
        if (++position_ % 2 == 0)
            rippleStep(s.multiColor != 0);
        decayAndShow(s, out);
        return true;
    }
    case kRippleEdges: {
        auto alone = [&](int column, uint8_t bit) {
            uint8_t all = 0;
            for (const auto& p : planes_)
                all |= p[size_t(column)];
            return all == bit || all == 0;
        };
        if (alone(1, 0x01))
            for (auto& p : planes_)
                p[1] |= 0x01;
        if (alone(22, 0x40))
            for (auto& p : planes_)
                p[22] |= 0x40;
        rippleStep(s.multiColor != 0);
        for (uint8_t k : pathTable()) {
            reactive_[k] = decayStep(reactive_[k]);
            const light::Rgb c = s.multiColor ? wheel[colourIndex_[k]] : own;
            show(out, k, c, scaled(reactive_[k], level));
        }
        return true;
    }
    case kTwinkle:
    case kSlowTwinkle:
        for (uint8_t k : pathTable()) {
            const int next = counter_[k] + (s.selectItem == kTwinkle ? 2 : 1);
            if (next >= 192) {
                counter_[k] = 0;
                colourIndex_[k] = uint8_t(random_() % 192);
            } else {
                counter_[k] = uint8_t(next);
            }
            show(out, k, s.multiColor ? wheel[colourIndex_[k]] : own, scaled(curveC()[counter_[k]], level));
        }
        return true;
    case kSequence: {
        // A bar that runs over the columns and back: step i lights the column i (or 51 - i).
        phase_ = light::advance(forward, kSequenceSteps, phase_);
        const int column = phase_ < 26 ? phase_ : 51 - phase_;
        for (int k = 0; k < kKeys; ++k) {
            if (columnOf()[size_t(k)] == column) {
                reactive_[size_t(k)] = 255;
                colourIndex_[size_t(k)] = 0;
            } else {
                reactive_[size_t(k)] = uint8_t(std::max(0, reactive_[size_t(k)] - 5));
                colourIndex_[size_t(k)] = uint8_t(std::min(191, colourIndex_[size_t(k)] + 3));
            }
            if (s.multiColor)
                show(out, k, wheel[colourIndex_[size_t(k)]], level);
            else
                show(out, k, own, scaled(reactive_[size_t(k)], level));
        }
        return true;
    }
    case kShow:
        stepShow(s, out);
        return true;
    case kSweep: {
        // One key a step over the 170 numbers, then a step without a key.
        const int n = int(sweepTable().size());
        if (position_ < n) {
            const int k = sweepTable()[size_t(forward ? position_ : n - 1 - position_)];
            reactive_[size_t(k)] = 254;
        }
        position_ = position_ >= n ? 0 : position_ + 1;
        decayAndShow(s, out);
        return true;
    }
    default:
        return false;
    }
}

} // namespace q9::keyboard

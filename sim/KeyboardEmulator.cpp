#include "sim/KeyboardEmulator.h"

#include <algorithm>
#include <cstring>

namespace q9::sim {

namespace {

constexpr uint8_t kOk = 0x00;
constexpr uint8_t kError = 0xFF;
constexpr size_t kSettingsStride = 25;
constexpr size_t kSettingsBytes = 45;

// The board row by row, left to right, as HID keyboard usages; 0xE0-0xE7 are the modifiers,
// 0xE8-0xEB the media keys (mute, volume down, volume up, play), 0xEE the game-mode key, 0xEF Fn,
// 0xF0 + n macro key Gn.
const std::vector<std::vector<uint8_t>>& boardRows()
{
    static const std::vector<std::vector<uint8_t>> rows = {
        {0xEE, 0x29, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0xE8, 0xE9, 0xEA, 0xEB},
        {0xF1, 0x35, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x2D, 0x2E, 0x2A, 0x49, 0x4A, 0x4B, 0x53, 0x54, 0x55, 0x56},
        {0xF2, 0x2B, 0x14, 0x1A, 0x08, 0x15, 0x17, 0x1C, 0x18, 0x0C, 0x12, 0x13, 0x2F, 0x30, 0x31, 0x4C, 0x4D, 0x4E, 0x5F, 0x60, 0x61, 0x57},
        {0xF3, 0x39, 0x04, 0x16, 0x07, 0x09, 0x0A, 0x0B, 0x0D, 0x0E, 0x0F, 0x33, 0x34, 0x28, 0x5C, 0x5D, 0x5E},
        {0xF4, 0xE1, 0x64, 0x1D, 0x1B, 0x06, 0x19, 0x05, 0x11, 0x10, 0x36, 0x37, 0x38, 0xE5, 0x52, 0x59, 0x5A, 0x5B, 0x58},
        {0xF5, 0xE0, 0xE3, 0xE2, 0x2C, 0xE6, 0xEF, 0x65, 0xE4, 0x50, 0x51, 0x4F, 0x62, 0x63},
    };
    return rows;
}

std::array<uint8_t, 3> actionOf(uint8_t usage)
{
    if (usage >= 0xF1 && usage <= 0xF5)
        return {0xD0, 0xA2, uint8_t(usage - 0xF0)};
    if (usage == 0xEF)
        return {0xA0, 0x01, 0x00};
    if (usage == 0xEE)
        return {0xA0, 0x1B, 0x00};
    if (usage >= 0xE0 && usage <= 0xE7)
        return {0x20, uint8_t(1u << (usage - 0xE0)), 0x00};
    static const uint8_t media[4] = {0xE2, 0xEA, 0xE9, 0xCD};
    if (usage >= 0xE8 && usage <= 0xEB)
        return {0x30, media[usage - 0xE8], 0x00};
    return {0x20, 0x00, usage};
}

// Factory settings record: breathing in red at full brightness, middle speed.
std::array<uint8_t, kSettingsBytes> factoryRecord()
{
    std::array<uint8_t, kSettingsBytes> r{};
    r[1] = 5;    // effect code: breathing
    r[2] = 4;
    r[3] = 2;
    r[6] = 0xFF;
    r[22] = 1;   // report-rate option
    return r;
}

} // namespace

KeyboardEmulator::KeyboardEmulator(std::shared_ptr<SimBus> bus, std::string name)
    : VendorDevice(std::move(bus), std::move(name), kVid, 0x0105, 3) // its vendor collection is the fourth
{
    // The firmware scans the matrix column by column; its LEDs are chained row by row, turning at
    // each row's end.
    const auto& rows = boardRows();
    size_t widest = 0;
    for (const auto& r : rows)
        widest = std::max(widest, r.size());
    for (size_t c = 0; c < widest; ++c)
        for (size_t r = 0; r < rows.size(); ++r)
            if (c < rows[r].size())
                keys_.push_back({actionOf(rows[r][c]), int(r), int(c)});
    std::vector<std::pair<int, int>> chain;
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t i = 0; i < rows[r].size(); ++i)
            chain.push_back({int(r), int(r % 2 == 0 ? i : rows[r].size() - 1 - i)});
    for (const Key& k : keys_)
        leds_.push_back(uint8_t(std::find(chain.begin(), chain.end(), std::pair{k.row, k.column}) - chain.begin()));

    const size_t k = keys_.size();
    info_[0] = uint8_t(kCablePid);
    info_[1] = uint8_t(kCablePid >> 8);
    info_[2] = 0x05;
    info_[3] = 0x01;
    info_[5] = uint8_t(k);
    info_[6] = 32; // macro memory in units of 128 bytes

    settings_.assign(kSettingsStride * (kProfileSlots - 1) + kSettingsBytes + 1, 0);
    const auto record = factoryRecord();
    for (int s = kProfileSlots - 1; s >= 0; --s)
        std::copy(record.begin() + 1, record.end(), settings_.begin() + s * kSettingsStride + 1);
    settings_[0] = 0;

    keyBlocks_.assign(kProfileSlots, std::vector<uint8_t>(kKeyBlockBytes, 0));
    for (auto& block : keyBlocks_)
        for (size_t i = 0; i < k; ++i)
            std::copy(keys_[i].action.begin(), keys_[i].action.end(), block.begin() + 3 * i);
    colours_.assign(kColourPages * kPageStride, 0);
    macro_.assign(size_t(info_[6]) * 128, 0);
    frame_.assign(3 * k, 0);
}

uint8_t KeyboardEmulator::readFrom(const std::vector<uint8_t>& memory, uint16_t address, uint8_t length, uint8_t* out) const
{
    if (size_t(address) + length > memory.size())
        return kError;
    std::memcpy(out, memory.data() + address, length);
    return kOk;
}

uint8_t KeyboardEmulator::writeTo(std::vector<uint8_t>& memory, uint16_t address, uint8_t length, const uint8_t* in)
{
    if (size_t(address) + length > memory.size())
        return kError;
    std::memcpy(memory.data() + address, in, length);
    return kOk;
}

uint8_t KeyboardEmulator::execute(uint8_t code, uint16_t address, uint8_t length, const uint8_t* payload, uint8_t* answer)
{
    switch (code) {
    case 0x01:
        transaction_ = true;
        return kOk;
    case 0x02:
        transaction_ = false;
        return kOk;
    case 0x03:
        return readFrom(std::vector<uint8_t>(info_.begin(), info_.end()), address, length, answer);
    case 0x05:
        return readFrom(settings_, address, length, answer);
    case 0x06:
        return writeTo(settings_, address, length, payload);
    case 0x07:
        return readFrom(keyBlocks_[0], address, length, answer);
    case 0x09: {
        const size_t profile = address / kKeyBlockBytes;
        if (profile >= keyBlocks_.size())
            return kError;
        return writeTo(keyBlocks_[profile], uint16_t(address % kKeyBlockBytes), length, payload);
    }
    case 0x0A:
        return readFrom(colours_, address, length, answer);
    case 0x0B:
        return writeTo(colours_, address, length, payload);
    case 0x12: {
        const uint8_t r = writeTo(frame_, address, length, payload);
        if (r == kOk && size_t(address) + length == frame_.size()) {
            lastFrame_ = frame_;
            ++frames_;
        }
        return r;
    }
    case 0x15:
        return writeTo(macro_, address, length, payload);
    case 0x1A: {
        // Percent, charge state, then the rest of the power record.
        const uint8_t charge = isPlugged("cable") ? (battery_ >= 100 ? 0 : 1) : chargeState_;
        const std::vector<uint8_t> status = {battery_, charge, 0, 0, 0, 0};
        return readFrom(status, address, length, answer);
    }
    case 0x1B:
        return readFrom(leds_, address, length, answer);
    case 0x1C:
        hostLight_ = true;
        return kOk;
    default:
        return kError;
    }
}

std::vector<uint8_t> KeyboardEmulator::ledBlock() const
{
    std::lock_guard lock(mutex_);
    return leds_;
}

std::array<uint8_t, 34> KeyboardEmulator::deviceInfo() const
{
    std::lock_guard lock(mutex_);
    return info_;
}

std::vector<uint8_t> KeyboardEmulator::settingsMemory() const
{
    std::lock_guard lock(mutex_);
    return settings_;
}

std::vector<uint8_t> KeyboardEmulator::keyBlock(int profile) const
{
    std::lock_guard lock(mutex_);
    return profile >= 0 && size_t(profile) < keyBlocks_.size() ? keyBlocks_[size_t(profile)] : std::vector<uint8_t>{};
}

std::vector<uint8_t> KeyboardEmulator::colourPage(int page) const
{
    std::lock_guard lock(mutex_);
    if (page < 0 || page >= kColourPages)
        return {};
    const auto* at = colours_.data() + size_t(page) * kPageStride;
    return std::vector<uint8_t>(at, at + 3 * keys_.size());
}

std::vector<uint8_t> KeyboardEmulator::macroMemory() const
{
    std::lock_guard lock(mutex_);
    return macro_;
}

std::vector<uint8_t> KeyboardEmulator::lastLightFrame() const
{
    std::lock_guard lock(mutex_);
    return lastFrame_;
}

int KeyboardEmulator::lightFrames() const
{
    std::lock_guard lock(mutex_);
    return frames_;
}

bool KeyboardEmulator::hostLightControl() const
{
    std::lock_guard lock(mutex_);
    return hostLight_;
}

bool KeyboardEmulator::inTransaction() const
{
    std::lock_guard lock(mutex_);
    return transaction_;
}

void KeyboardEmulator::setBattery(uint8_t percent, uint8_t chargeState)
{
    std::lock_guard lock(mutex_);
    battery_ = percent;
    chargeState_ = chargeState;
}

bool KeyboardEmulator::pressKey(int deviceKey, bool down)
{
    if (deviceKey < 0 || deviceKey >= int(keys_.size()))
        return false;
    // The firmware reports the key's device number with the state in the high byte.
    return sendEvent(uint16_t(0x2000 | (down ? 0x100 : 0x200) | uint8_t(deviceKey)));
}

} // namespace q9::sim

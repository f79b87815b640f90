#include "sim/MouseEmulator.h"

#include <algorithm>
#include <cstring>

namespace q9::sim {

namespace {

constexpr uint8_t kOk = 0x00;
constexpr uint8_t kError = 0xFF;  // request outside the device's memory or unknown command
constexpr uint8_t kRecordBytes = 86;

// Factory record of an on-board profile (the layout the host writes with command 0x06).
std::array<uint8_t, kRecordBytes> factoryRecord()
{
    std::array<uint8_t, kRecordBytes> r{};
    r[1] = 1;    // light effect: steady
    r[2] = 4;    // brightness
    r[3] = 2;    // speed, inverted
    r[5] = 0;
    r[6] = 0xFF; r[7] = 0x00; r[8] = 0x00;
    r[11] = 3;   // report-rate option
    r[12] = 1;   // active DPI stage
    // Stages: active, xy, x lo, x hi, y lo, y hi, red, green, blue.
    const uint8_t steps[7] = {3, 7, 15, 23, 31, 47, 60};
    const uint8_t colours[7][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0},
                                   {0, 255, 255}, {255, 0, 255}, {255, 255, 255}};
    for (int i = 0; i < 7; ++i) {
        uint8_t* s = &r[14 + 9 * i];
        s[0] = i < 5 ? 1 : 0;
        s[2] = steps[i];
        s[4] = steps[i];
        s[6] = colours[i][0]; s[7] = colours[i][1]; s[8] = colours[i][2];
    }
    r[77] = 2; r[78] = 5; r[79] = 2; r[80] = 5; // sleep options
    r[81] = 2;   // debounce option
    r[82] = 0;   // lift-off height option
    return r;
}

} // namespace

MouseEmulator::MouseEmulator(std::shared_ptr<SimBus> bus, MouseConfig config, std::string name)
    : VendorDevice(std::move(bus), std::move(name), kVid, config.version, 1), config_(std::move(config))
{
    const size_t keys = std::min<size_t>(config_.factoryKeys.size(), 170);
    // Bytes 0-4, 7, 8 and 16-33 are not read by the host; they carry the product and firmware ids.
    info_[0] = uint8_t(kCablePid);
    info_[1] = uint8_t(kCablePid >> 8);
    info_[2] = uint8_t(config_.version);
    info_[3] = uint8_t(config_.version >> 8);
    info_[5] = uint8_t(keys);
    info_[6] = config_.macroUnits;
    info_[9] = uint8_t(config_.sensor);
    info_[10] = uint8_t(config_.sensor >> 8);
    info_[11] = config_.dpiStep;
    info_[12] = uint8_t(config_.dpiSteps);
    info_[13] = uint8_t(config_.dpiSteps >> 8);
    info_[14] = uint8_t(config_.dpiBase);
    info_[15] = uint8_t(config_.dpiBase >> 8);

    settings_.assign(size_t(std::max(1, config_.profileSlots)) * 128, 0);
    const auto record = factoryRecord();
    for (int s = 0; s < config_.profileSlots; ++s)
        std::copy(record.begin(), record.end(), settings_.begin() + s * 128);
    settings_[0] = 0; // current profile

    keyBlocks_.assign(size_t(std::max(1, config_.profileSlots)), std::vector<uint8_t>(kKeyBlockBytes, 0));
    for (auto& block : keyBlocks_)
        for (size_t k = 0; k < keys; ++k)
            std::copy(config_.factoryKeys[k].begin(), config_.factoryKeys[k].end(), block.begin() + 3 * k);
    macro_.assign(size_t(config_.macroUnits) * 128, 0);
    shoot_.assign(config_.shootMemory, 0);
    battery_ = config_.batteryPercent;
}

uint8_t MouseEmulator::readFrom(const uint8_t* memory, size_t size, uint16_t address, uint8_t length,
                                uint8_t* out) const
{
    if (size_t(address) + length > size)
        return kError;
    std::memcpy(out, memory + address, length);
    return kOk;
}

uint8_t MouseEmulator::writeTo(uint8_t* memory, size_t size, uint16_t address, uint8_t length, const uint8_t* in)
{
    if (size_t(address) + length > size)
        return kError;
    if (!transaction_)
        ++writesOutside_;
    std::memcpy(memory + address, in, length);
    return kOk;
}

uint8_t MouseEmulator::execute(uint8_t code, uint16_t address, uint8_t length, const uint8_t* payload,
                               uint8_t* answer)
{
    switch (code) {
    case 0x01:
        transaction_ = true;
        return kOk;
    case 0x02:
        transaction_ = false;
        return kOk;
    case 0x03:
        return readFrom(info_.data(), info_.size(), address, length, answer);
    case 0x05:
        return readFrom(settings_.data(), settings_.size(), address, length, answer);
    case 0x06:
        return writeTo(settings_.data(), settings_.size(), address, length, payload);
    case 0x07:
        return readFrom(keyBlocks_[0].data(), kKeyBlockBytes, address, length, answer);
    case 0x09: {
        const size_t profile = address / kKeyBlockBytes;
        if (profile >= keyBlocks_.size())
            return kError;
        return writeTo(keyBlocks_[profile].data(), kKeyBlockBytes, uint16_t(address % kKeyBlockBytes), length, payload);
    }
    case 0x15:
        return writeTo(macro_.data(), macro_.size(), address, length, payload);
    case 0x17:
        return writeTo(shoot_.data(), shoot_.size(), address, length, payload);
    case 0x1A: {
        // On its cable the mouse charges, or runs on external power once full.
        const uint8_t charge = isPlugged("cable") ? (battery_ >= 100 ? 0 : 1) : chargeState_;
        const uint8_t status[2] = {battery_, charge};
        return readFrom(status, sizeof status, address, length, answer);
    }
    default:
        return kError;
    }
}

std::array<uint8_t, 34> MouseEmulator::deviceInfo() const
{
    std::lock_guard lock(mutex_);
    return info_;
}

std::vector<uint8_t> MouseEmulator::settingsMemory() const
{
    std::lock_guard lock(mutex_);
    return settings_;
}

std::vector<uint8_t> MouseEmulator::keyBlock(int profile) const
{
    std::lock_guard lock(mutex_);
    return profile >= 0 && size_t(profile) < keyBlocks_.size() ? keyBlocks_[size_t(profile)] : std::vector<uint8_t>{};
}

std::vector<uint8_t> MouseEmulator::macroMemory() const
{
    std::lock_guard lock(mutex_);
    return macro_;
}

std::vector<uint8_t> MouseEmulator::shootMemory() const
{
    std::lock_guard lock(mutex_);
    return shoot_;
}

bool MouseEmulator::inTransaction() const
{
    std::lock_guard lock(mutex_);
    return transaction_;
}

int MouseEmulator::writesOutsideTransaction() const
{
    std::lock_guard lock(mutex_);
    return writesOutside_;
}

void MouseEmulator::setBattery(uint8_t percent, uint8_t chargeState)
{
    std::lock_guard lock(mutex_);
    battery_ = percent;
    chargeState_ = chargeState;
}

} // namespace q9::sim

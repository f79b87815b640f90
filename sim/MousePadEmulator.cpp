#include "sim/MousePadEmulator.h"

#include <algorithm>
#include <cstring>

namespace q9::sim {

namespace {

constexpr uint8_t kOk = 0x00;
constexpr uint8_t kError = 0xFF; // outside the memory, or a command the pad does not have

// Factory light record of a profile: breathing in cyan at full brightness, middle speed (sent
// inverted). Byte 4 and bytes 9-20 are the firmware's own; the host must hand them back unchanged.
std::array<uint8_t, 21> factoryRecord()
{
    return {0x00, 0x02, 0x04, 0x02, 0x01, 0x00, 0x00, 0xC2, 0xFF, 0x0F, 0x1E,
            0x2D, 0x3C, 0x4B, 0x5A, 0x69, 0x78, 0x87, 0x96, 0xA5, 0xB4};
}

} // namespace

MousePadEmulator::MousePadEmulator(std::shared_ptr<SimBus> bus, std::string name)
    : VendorDevice(std::move(bus), std::move(name), kVid, 0x0103, 3) // its vendor collection is the fourth
{
    info_[0] = uint8_t(kCablePid);
    info_[1] = uint8_t(kCablePid >> 8);
    info_[2] = 0x03;
    info_[3] = 0x01;
    // No keys and no macro memory.

    settings_.assign(kSlots * kWriteStride, 0);
    const auto record = factoryRecord();
    for (int s = kSlots - 1; s >= 0; --s)
        std::copy(record.begin() + 1, record.end(), settings_.begin() + s * kWriteStride + 1);
    settings_[0] = 0; // current profile
}

uint8_t MousePadEmulator::execute(uint8_t code, uint16_t address, uint8_t length, const uint8_t* payload, uint8_t* answer)
{
    auto inside = [&](size_t size) { return size_t(address) + length <= size; };
    switch (code) {
    case 0x01:
        transaction_ = true;
        return kOk;
    case 0x02:
        transaction_ = false;
        return kOk;
    case 0x03:
        if (!inside(info_.size()))
            return kError;
        std::memcpy(answer, info_.data() + address, length);
        return kOk;
    case 0x05:
        if (!inside(settings_.size()))
            return kError;
        std::memcpy(answer, settings_.data() + address, length);
        return kOk;
    case 0x06:
        if (!inside(settings_.size()))
            return kError;
        if (!transaction_)
            ++writesOutside_;
        std::memcpy(settings_.data() + address, payload, length);
        return kOk;
    case 0x1A: {
        // Powered from the cable; byte 5 names the phone on the charger.
        const uint8_t status[6] = {100, 0, 0, 0, 0, phone_};
        if (size_t(address) + length > sizeof status)
            return kError;
        std::memcpy(answer, status + address, length);
        return kOk;
    }
    default:
        return kError;
    }
}

std::array<uint8_t, 34> MousePadEmulator::deviceInfo() const
{
    std::lock_guard lock(mutex_);
    return info_;
}

std::vector<uint8_t> MousePadEmulator::settingsMemory() const
{
    std::lock_guard lock(mutex_);
    return settings_;
}

void MousePadEmulator::setSettingsBytes(uint16_t address, const std::vector<uint8_t>& bytes)
{
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < bytes.size() && address + i < settings_.size(); ++i)
        settings_[address + i] = bytes[i];
}

void MousePadEmulator::setCurrentProfile(uint8_t profile)
{
    std::lock_guard lock(mutex_);
    settings_[0] = profile;
}

bool MousePadEmulator::inTransaction() const
{
    std::lock_guard lock(mutex_);
    return transaction_;
}

int MousePadEmulator::writesOutsideTransaction() const
{
    std::lock_guard lock(mutex_);
    return writesOutside_;
}

void MousePadEmulator::setPhone(uint8_t type)
{
    std::lock_guard lock(mutex_);
    phone_ = type;
}

bool MousePadEmulator::pressLightButton()
{
    {
        std::lock_guard lock(mutex_);
        const size_t at = size_t(settings_[0]) * kReadStride + 1;
        if (at >= settings_.size())
            return false;
        settings_[at] = uint8_t((settings_[at] + 1) % kEffects);
    }
    return sendEvent(0x0401);
}

} // namespace q9::sim

#include "sim/HeadsetEmulator.h"

namespace q9::sim {

namespace {

// One consumer-control collection with a 16-byte output report behind ID 0xFF.
const std::vector<uint8_t> kDescriptor = {
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, HeadsetEmulator::kReportId,
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x10, 0x09, 0x01, 0x91, 0x02,
    0xC0,
};

int setIndex(uint8_t byte1) { return byte1 == 0x22 ? 0 : byte1 == 0x44 ? 1 : -1; }

} // namespace

HeadsetEmulator::HeadsetEmulator(std::shared_ptr<SimBus> bus, std::string name, std::shared_ptr<SoundChipEmulator> soundChip)
    : bus_(std::move(bus)), name_(std::move(name)), soundChip_(std::move(soundChip))
{
}

HeadsetEmulator::~HeadsetEmulator() { unplugCable(); }

void HeadsetEmulator::plugCable()
{
    std::lock_guard lock(mutex_);
    if (iface_)
        return;
    SimInterfaceInfo info{"sim:" + name_ + "-cable-3", kVid, kPid, 0x0100, kInterface, kDescriptor};
    iface_ = bus_->add(std::move(info), this);
    if (soundChip_)
        soundChip_->setPresent(true);
}

void HeadsetEmulator::unplugCable()
{
    std::shared_ptr<SimInterface> gone;
    {
        std::lock_guard lock(mutex_);
        gone = std::move(iface_);
        iface_.reset();
    }
    // Outside the lock: removal may wait for a host write being handled right now.
    if (gone)
        bus_->remove(gone);
    if (gone && soundChip_)
        soundChip_->setPresent(false);
}

bool HeadsetEmulator::isPlugged(const std::string& link) const
{
    std::lock_guard lock(mutex_);
    return link == "cable" && iface_ != nullptr;
}

std::shared_ptr<SimInterface> HeadsetEmulator::cableInterface() const
{
    std::lock_guard lock(mutex_);
    return iface_;
}

void HeadsetEmulator::onOutputReport(SimInterface&, const uint8_t* data, size_t length)
{
    std::lock_guard lock(mutex_);
    received_.emplace_back(data, data + length);
    if (received_.size() > kRecordedReports)
        received_.pop_front();
    const int set = length == kReportBytes && data[0] == kReportId ? setIndex(data[1]) : -1;
    const int code = length > 2 ? data[2] - 0xAA : -1;
    if (set < 0 || code < 0 || code > 5) {
        ++malformed_;
        return;
    }
    // Codes 0xAA-0xAC: red, green, blue of zones 0-6 in bytes 4-10; 0xAD-0xAF: of zones 7-12 in
    // bytes 4-9 (byte 10 is left over from the report before and means nothing here).
    const int channel = code % 3;
    const bool upper = code >= 3;
    const int first = upper ? 7 : 0;
    const int count = upper ? 6 : 7;
    for (int i = 0; i < count; ++i)
        zones_[size_t(set)][size_t(first + i)][size_t(channel)] = data[4 + i];
}

std::vector<std::vector<uint8_t>> HeadsetEmulator::received() const
{
    std::lock_guard lock(mutex_);
    return {received_.begin(), received_.end()};
}

void HeadsetEmulator::clearReceived()
{
    std::lock_guard lock(mutex_);
    received_.clear();
    malformed_ = 0;
}

int HeadsetEmulator::malformedReports() const
{
    std::lock_guard lock(mutex_);
    return malformed_;
}

HeadsetEmulator::Colour HeadsetEmulator::zone(uint8_t set, int index) const
{
    std::lock_guard lock(mutex_);
    const int s = setIndex(set);
    if (s < 0 || index < 0 || index >= kZones)
        return {};
    const auto& c = zones_[size_t(s)][size_t(index)];
    return {c[0], c[1], c[2]};
}

} // namespace q9::sim

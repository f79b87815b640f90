#include "sim/VendorDevice.h"

#include "sim/Descriptors.h"

#include <algorithm>
#include <cstring>

namespace q9::sim {

namespace {

constexpr size_t kReport = 64;
constexpr uint8_t kLinkQuery = 0xAA;

uint16_t sumOf(const uint8_t* r)
{
    uint32_t s = 0;
    for (size_t i = 3; i < kReport; ++i)
        s += r[i];
    return uint16_t(s);
}

} // namespace

class VendorDevice::Link final : public SimDeviceEndpoint {
public:
    Link(VendorDevice& device, LinkSetup setup) : device_(device), setup_(std::move(setup)) {}
    ~Link() override
    {
        if (command)
            command->detachDevice();
        if (event)
            event->detachDevice();
    }
    void onOutputReport(SimInterface& from, const uint8_t* data, size_t length) override
    {
        if (&from == command.get())
            device_.handle(*this, data, length);
    }

    VendorDevice& device_;
    LinkSetup setup_;
    std::shared_ptr<SimInterface> command;
    std::shared_ptr<SimInterface> event;
};

VendorDevice::VendorDevice(std::shared_ptr<SimBus> bus, std::string deviceName, uint16_t vid,
                           uint16_t version, int leadingCommandCollections)
    : bus_(std::move(bus)), deviceName_(std::move(deviceName)), vid_(vid), version_(version),
      leading_(leadingCommandCollections)
{
}

VendorDevice::~VendorDevice()
{
    std::vector<std::string> names;
    for (const auto& l : links_)
        names.push_back(l->setup_.name);
    for (const auto& n : names)
        unplug(n);
    retired_.clear();
}

VendorDevice::Link* VendorDevice::findLink(const std::string& name) const
{
    for (const auto& l : links_)
        if (l->setup_.name == name)
            return l.get();
    return nullptr;
}

void VendorDevice::plug(const LinkSetup& setup)
{
    std::lock_guard lock(mutex_);
    if (findLink(setup.name))
        return;
    auto link = std::make_unique<Link>(*this, setup);
    const std::string base = "sim:" + deviceName_ + "/" + setup.name + "/if";
    SimInterfaceInfo event{base + "0", vid_, setup.pid, version_, 0, eventInterfaceDescriptor()};
    SimInterfaceInfo command{base + "1", vid_, setup.pid, version_, 1, commandInterfaceDescriptor(leading_)};
    link->event = bus_->add(std::move(event), link.get());
    link->command = bus_->add(std::move(command), link.get());
    links_.push_back(std::move(link));
}

void VendorDevice::unplug(const std::string& linkName)
{
    std::unique_ptr<Link> gone;
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(links_.begin(), links_.end(), [&](const auto& l) { return l->setup_.name == linkName; });
        if (it == links_.end())
            return;
        bus_->remove((*it)->command);
        bus_->remove((*it)->event);
        gone = std::move(*it);
        links_.erase(it);
    }
    // Destroyed outside the lock: it waits for a host write that is being handled right now.
    gone.reset();
}

bool VendorDevice::isPlugged(const std::string& linkName) const
{
    std::lock_guard lock(mutex_);
    return findLink(linkName) != nullptr;
}

std::shared_ptr<SimInterface> VendorDevice::interfaceOf(const std::string& linkName, int number) const
{
    std::lock_guard lock(mutex_);
    const Link* l = findLink(linkName);
    return l ? (number == 0 ? l->event : l->command) : nullptr;
}

void VendorDevice::setRadioLink(bool up)
{
    std::lock_guard lock(mutex_);
    radioLink_ = up;
}

bool VendorDevice::radioLink() const
{
    std::lock_guard lock(mutex_);
    return radioLink_;
}

bool VendorDevice::sendEvent(uint16_t code)
{
    std::lock_guard lock(mutex_);
    Link* via = nullptr;
    for (const auto& l : links_)
        if (!l->setup_.receiver)
            via = l.get();
    if (!via && radioLink_)
        for (const auto& l : links_)
            if (l->setup_.receiver)
                via = l.get();
    if (!via)
        return false;
    const uint8_t report[3] = {kConsumerReportId, uint8_t(code), uint8_t(code >> 8)};
    via->event->sendInput(report, sizeof report, latency_);
    return true;
}

void VendorDevice::sendCommandInput(const std::string& linkName, const std::vector<uint8_t>& report)
{
    std::lock_guard lock(mutex_);
    if (Link* l = findLink(linkName))
        l->command->sendInput(report.data(), report.size(), latency_);
}

void VendorDevice::setLatency(std::chrono::microseconds perReport)
{
    std::lock_guard lock(mutex_);
    latency_ = perReport;
}

void VendorDevice::failCommand(uint8_t code, uint8_t status, int afterSuccesses)
{
    std::lock_guard lock(mutex_);
    failures_.push_back({code, status, afterSuccesses});
}

void VendorDevice::clearFailures()
{
    std::lock_guard lock(mutex_);
    failures_.clear();
}

void VendorDevice::setSilent(bool on, std::optional<uint8_t> onlyCode)
{
    std::lock_guard lock(mutex_);
    silent_ = on;
    silentCode_ = onlyCode;
}

void VendorDevice::mismatchNext(int staleReports, bool thenAnswer)
{
    std::lock_guard lock(mutex_);
    staleBefore_ = staleReports;
    answerAfterStale_ = thenAnswer;
}

void VendorDevice::setAnswerReportId(std::optional<uint8_t> id)
{
    std::lock_guard lock(mutex_);
    answerReportId_ = id;
}

void VendorDevice::unplugAfter(int reports)
{
    std::lock_guard lock(mutex_);
    unplugCountdown_ = reports;
}

std::vector<ReceivedReport> VendorDevice::received() const
{
    std::lock_guard lock(mutex_);
    return {received_.begin(), received_.end()};
}

std::vector<ReceivedReport> VendorDevice::receivedCommands(uint8_t code) const
{
    std::lock_guard lock(mutex_);
    std::vector<ReceivedReport> out;
    for (const auto& r : received_)
        if (r.wellFramed && r.bytes[3] == code)
            out.push_back(r);
    return out;
}

void VendorDevice::clearReceived()
{
    std::lock_guard lock(mutex_);
    received_.clear();
    framingErrors_ = 0;
}

int VendorDevice::framingErrors() const
{
    std::lock_guard lock(mutex_);
    return framingErrors_;
}

void VendorDevice::handle(Link& link, const uint8_t* data, size_t length)
{
    std::unique_lock lock(mutex_);
    ReceivedReport rec;
    rec.link = link.setup_.name;
    rec.length = length;
    std::memcpy(rec.bytes.data(), data, std::min(length, kReport));
    const uint8_t* r = rec.bytes.data();
    const uint16_t sum = uint16_t(r[1] | (r[2] << 8));
    rec.wellFramed = length == kReport && r[0] == kVendorReportId && sum == sumOf(r) && r[4] <= kReport - 8
        && r[7] == 0;
    received_.push_back(rec);
    if (received_.size() > kRecordedReports)
        received_.pop_front();
    if (!rec.wellFramed) {
        ++framingErrors_; // the firmware drops a malformed request without an answer
        return;
    }
    if (unplugCountdown_ > 0 && --unplugCountdown_ == 0) {
        // Pulled while the host waits for the answer; the bus fails its open handles. The link
        // object lives on until the device goes: this very call runs inside it.
        bus_->remove(link.command);
        bus_->remove(link.event);
        auto it = std::find_if(links_.begin(), links_.end(), [&](const auto& l) { return l.get() == &link; });
        if (it != links_.end()) {
            retired_.push_back(std::move(*it));
            links_.erase(it);
        }
        return;
    }
    const uint8_t code = r[3];
    if (silent_ && (!silentCode_ || *silentCode_ == code))
        return;

    uint8_t answer[kReport] = {};
    std::memcpy(answer, r, 8);
    answer[0] = answerReportId_.value_or(kVendorReportId);
    answer[7] = 0;
    if (link.setup_.receiver && !radioLink_) {
        // The receiver answers for a device it cannot reach.
        if (code != kLinkQuery)
            answer[3] = kLinkQuery;
        answer[8] = 0;
    } else if (code == kLinkQuery) {
        answer[8] = 0xFF;
    } else {
        const uint16_t address = uint16_t(r[5] | (r[6] << 8));
        uint8_t status = execute(code, address, r[4], r + 8, answer + 8);
        for (Failure& f : failures_) {
            if (f.code != code)
                continue;
            if (f.remainingSuccesses > 0)
                --f.remainingSuccesses;
            else
                status = f.status;
        }
        answer[7] = status;
    }
    const uint16_t answerSum = sumOf(answer);
    answer[1] = uint8_t(answerSum);
    answer[2] = uint8_t(answerSum >> 8);

    for (int i = 0; i < staleBefore_; ++i) {
        uint8_t stale[kReport];
        std::memcpy(stale, answer, kReport);
        stale[3] = uint8_t(code ^ 0x80); // an answer to some other request
        link.command->sendInput(stale, kReport, latency_);
    }
    const bool answerNow = staleBefore_ == 0 || answerAfterStale_;
    staleBefore_ = 0;
    if (answerNow)
        link.command->sendInput(answer, kReport, latency_);
}

} // namespace q9::sim

#include "hid/HidTransport.h"

#include "hid/DeviceCatalogue.h"
#include "hid/HidPath.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace q9 {

namespace {

constexpr size_t kMaxReport = 4096;

int toBackendTimeout(uint32_t ms) { return ms == kInfiniteTimeout ? kWaitForever : int(std::min<uint32_t>(ms, 0x7FFFFFFF)); }

} // namespace

HidTransport::HidTransport(std::shared_ptr<HidBackend> backend) : backend_(std::move(backend))
{
    paths_.reserve(4);
}

HidTransport::~HidTransport() { close(); }

bool HidTransport::enumerate()
{
    cursor_ = 0;
    paths_.clear();
    std::vector<HidNodeInfo> nodes;
    if (!backend_ || !backend_->listNodes(nodes))
        return false;
    for (const HidNodeInfo& n : nodes) {
        ReportDescriptor rd;
        size_t collections = 1;
        if (parseReportDescriptor(n.descriptor.data(), n.descriptor.size(), rd) && !rd.collections.empty())
            collections = rd.collections.size();
        for (size_t c = 0; c < collections; ++c) {
            std::wstring path = makeInterfacePath(n.vid, n.pid, n.interfaceNumber,
                                                  collections > 1 ? int(c + 1) : 0, n.node);
            if (path.size() <= kMaxPathLength)
                paths_.push_back(std::move(path));
        }
    }
    return true;
}

const std::wstring* HidTransport::nextPath()
{
    if (cursor_ >= paths_.size())
        return nullptr;
    return &paths_[cursor_++];
}

void HidTransport::freePaths()
{
    paths_.clear();
    paths_.shrink_to_fit();
    cursor_ = 0;
}

bool HidTransport::open(const std::wstring& path, bool wantRead, bool wantWrite, bool overlapped,
                        bool shareReadOnly)
{
    wantRead_ = wantRead;
    wantWrite_ = wantWrite;
    overlapped_ = overlapped;
    shareReadOnly_ = shareReadOnly;
    path_ = path;
    return reopen();
}

bool HidTransport::reopen()
{
    close();
    if (path_.empty() || path_.size() > kMaxPathLength || !backend_)
        return false;
    const std::string nodeName = nodeOfPath(path_);
    if (nodeName.empty())
        return false;
    std::shared_ptr<HidNode> node = backend_->openNode(nodeName, wantRead_, wantWrite_);
    if (!node)
        return false;

    const std::vector<uint8_t> descriptor = node->descriptor();
    ReportDescriptor rd;
    if (!parseReportDescriptor(descriptor.data(), descriptor.size(), rd) || rd.collections.empty()) {
        node->abort();
        return false;
    }
    const int col = parseCol(path_);
    const size_t index = col > 0 ? size_t(col - 1) : 0;
    if (index >= rd.collections.size()) {
        node->abort();
        return false;
    }
    const TopCollection& tlc = rd.collections[index];

    auto state = std::make_shared<OpenInterface>();
    state->node = std::move(node);
    state->usesReportIds = rd.usesReportIds;
    for (uint8_t id : tlc.reportIds)
        state->reportIds.set(id);
    if (!rd.usesReportIds)
        state->reportIds.set(0);
    state->attributes = state->node->attributes();

    std::lock_guard lock(mutex_);
    layout_ = HidReportLayout(tlc, rd.usesReportIds);
    const HidCapabilities& caps = layout_.caps();
    inputReport_.assign(caps.reportByteLength[int(ReportType::Input)], 0);
    outputReport_.assign(caps.reportByteLength[int(ReportType::Output)], 0);
    featureReport_.assign(caps.reportByteLength[int(ReportType::Feature)], 0);
    interfaceNumber_ = parseMi(path_);
    collectionNumber_ = col;
    open_ = std::move(state);
    return true;
}

void HidTransport::close()
{
    std::shared_ptr<const OpenInterface> was;
    {
        std::lock_guard lock(mutex_);
        was = std::move(open_);
        open_.reset();
        layout_ = HidReportLayout();
        inputReport_.clear();
        outputReport_.clear();
        featureReport_.clear();
    }
    // Ends a read or write that waits on another thread; the node itself goes when the last
    // transfer holding it has returned, so no transfer outlives its handle.
    if (was)
        was->node->abort();
}

bool HidTransport::isOpen() const { return current() != nullptr; }

std::shared_ptr<const HidTransport::OpenInterface> HidTransport::current() const
{
    std::lock_guard lock(mutex_);
    return open_;
}

int HidTransport::read(uint8_t* buffer, size_t length, size_t* transferred, uint32_t timeoutMs)
{
    if (transferred)
        *transferred = 0;
    const auto state = current();
    if (!state || !buffer || length == 0)
        return 0;
    reading_ = true;
    using Clock = std::chrono::steady_clock;
    const bool forever = timeoutMs == kInfiniteTimeout;
    const auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : timeoutMs);
    uint8_t report[kMaxReport];
    int result = 0;
    for (;;) {
        int wait = kWaitForever;
        if (!forever) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = int(std::max<long long>(left, 0));
        }
        size_t got = 0;
        // Without report IDs the bus delivers bare data; the buffer keeps a leading 0 as report ID.
        uint8_t* into = state->usesReportIds ? report : report + 1;
        if (state->node->readReport(into, sizeof report - 1, got, wait) != IoStatus::Ok)
            break;
        if (!state->usesReportIds) {
            report[0] = 0;
            ++got;
        }
        if (got == 0 || !state->reportIds.test(report[0]))
            continue; // a report of another collection of the same interface
        const size_t n = std::min(got, length);
        std::memcpy(buffer, report, n);
        if (n < length)
            std::memset(buffer + n, 0, length - n);
        if (transferred)
            *transferred = n;
        result = 1;
        break;
    }
    reading_ = false;
    return result;
}

int HidTransport::write(const uint8_t* buffer, size_t length, size_t* transferred, uint32_t timeoutMs)
{
    if (transferred)
        *transferred = 0;
    const auto state = current();
    if (!state || !buffer || length == 0)
        return 0;
    writing_ = true;
    const IoStatus status = state->node->writeReport(buffer, length, toBackendTimeout(timeoutMs));
    writing_ = false;
    if (status != IoStatus::Ok)
        return 0;
    if (transferred)
        *transferred = length;
    return 1;
}

bool HidTransport::setOutputReport(const uint8_t* buffer, size_t length)
{
    const auto state = current();
    return state && buffer && length && state->node->setOutputReport(buffer, length);
}

bool HidTransport::unpack(const uint8_t* report, size_t length)
{
    std::lock_guard lock(mutex_);
    return open_ && layout_.unpack(report, length);
}

std::vector<HidDataItem> HidTransport::dataItems(ReportType type) const
{
    std::lock_guard lock(mutex_);
    return layout_.items(type);
}

uint16_t HidTransport::firstInputButtonUsage() const
{
    std::lock_guard lock(mutex_);
    for (const HidDataItem& item : layout_.items(ReportType::Input))
        if (item.isButton)
            return item.usages.empty() ? 0 : item.usages.front();
    return 0;
}

bool HidTransport::pathPresent(const std::wstring& path) const
{
    if (!backend_ || path.size() > kMaxPathLength)
        return false;
    const std::string nodeName = nodeOfPath(path);
    return !nodeName.empty() && backend_->nodePresent(nodeName, parseVid(path), parsePid(path));
}

HidAttributes HidTransport::attributes() const
{
    const auto state = current();
    return state ? state->attributes : HidAttributes{};
}

HidCapabilities HidTransport::capabilities() const
{
    std::lock_guard lock(mutex_);
    return layout_.caps();
}

} // namespace q9

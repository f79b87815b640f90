#include "hid/ReportDescriptor.h"

#include <algorithm>
#include <map>
#include <utility>

namespace q9 {

namespace {

struct GlobalState {
    uint16_t usagePage = 0;
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    int32_t physicalMin = 0;
    int32_t physicalMax = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

struct LocalState {
    std::vector<uint32_t> usages; // extended form: page << 16 | usage when the item gave a page
    uint32_t usageMin = 0;
    uint32_t usageMax = 0;
    bool hasMin = false;
    bool hasMax = false;
};

constexpr uint32_t kMaxReportBits = 8u * 4096u; // a report larger than 4 KiB is not a real device
constexpr size_t kMaxFields = 4096;
constexpr int kMaxDepth = 32;
// A hostile descriptor could ask for millions of items; no real device needs more than this.
constexpr size_t kMaxItemsPerType = 4096;
constexpr uint32_t kMaxUsageList = 4096;

int32_t signExtend(uint32_t v, int bytes)
{
    switch (bytes) {
    case 1: return static_cast<int8_t>(v);
    case 2: return static_cast<int16_t>(v);
    case 4: return static_cast<int32_t>(v);
    default: return 0;
    }
}

uint16_t pageOf(uint32_t extended, uint16_t fallback)
{
    return extended > 0xFFFF ? static_cast<uint16_t>(extended >> 16) : fallback;
}

uint32_t readBits(const uint8_t* data, uint32_t bitOffset, uint32_t bits)
{
    uint32_t v = 0;
    for (uint32_t i = 0; i < bits && i < 32; ++i) {
        const uint32_t bit = bitOffset + i;
        if (data[bit / 8] & (1u << (bit % 8)))
            v |= 1u << i;
    }
    return v;
}

} // namespace

uint16_t ReportField::usageAt(uint32_t slot) const
{
    if (!usages.empty())
        return usages[std::min<size_t>(slot, usages.size() - 1)];
    if (hasRange) {
        const uint32_t u = uint32_t(usageMin) + slot;
        return static_cast<uint16_t>(std::min<uint32_t>(u, usageMax));
    }
    return 0;
}

uint16_t TopCollection::reportByteLength(ReportType type) const
{
    std::map<uint8_t, uint32_t> bits;
    for (const ReportField& f : fields)
        if (f.type == type)
            bits[f.reportId] = std::max(bits[f.reportId], f.bitOffset + f.reportSize * f.reportCount);
    uint32_t longest = 0;
    for (const auto& [id, n] : bits)
        longest = std::max(longest, (n + 7) / 8 + 1);
    return static_cast<uint16_t>(longest);
}

bool TopCollection::ownsReportId(uint8_t id) const
{
    return std::find(reportIds.begin(), reportIds.end(), id) != reportIds.end();
}

bool parseReportDescriptor(const uint8_t* data, size_t size, ReportDescriptor& out)
{
    out = {};
    GlobalState global;
    std::vector<GlobalState> globalStack;
    LocalState local;
    int depth = 0;
    TopCollection* current = nullptr;
    // Running bit offset per report type and report ID: a report's fields lie back to back.
    std::map<std::pair<int, uint8_t>, uint32_t> offsets;

    size_t i = 0;
    while (i < size) {
        const uint8_t prefix = data[i++];
        if (prefix == 0xFE) { // long item: skipped
            if (i + 2 > size)
                return false;
            const size_t len = data[i];
            i += 2 + len;
            if (i > size)
                return false;
            continue;
        }
        int bytes = prefix & 3;
        if (bytes == 3)
            bytes = 4;
        if (i + size_t(bytes) > size)
            return false;
        uint32_t value = 0;
        for (int b = 0; b < bytes; ++b)
            value |= uint32_t(data[i + size_t(b)]) << (8 * b);
        i += size_t(bytes);
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;

        if (type == 0) { // main
            switch (tag) {
            case 0xA: // Collection
                if (depth == 0) {
                    out.collections.emplace_back();
                    current = &out.collections.back();
                    const uint32_t u = local.usages.empty() ? local.usageMin : local.usages.front();
                    current->usagePage = pageOf(u, global.usagePage);
                    current->usage = static_cast<uint16_t>(u & 0xFFFF);
                }
                if (++depth > kMaxDepth)
                    return false;
                break;
            case 0xC: // End Collection
                if (depth == 0)
                    return false;
                if (--depth == 0)
                    current = nullptr;
                break;
            case 0x8: case 0x9: case 0xB: { // Input, Output, Feature
                const ReportType rt = tag == 0x8 ? ReportType::Input
                                    : tag == 0x9 ? ReportType::Output : ReportType::Feature;
                const uint32_t bits = global.reportSize * global.reportCount;
                if (global.reportSize > 32 || global.reportCount > kMaxReportBits || bits > kMaxReportBits)
                    return false;
                uint32_t& offset = offsets[{int(rt), global.reportId}];
                ReportField f;
                f.type = rt;
                f.reportId = global.reportId;
                f.bitOffset = offset;
                f.reportSize = global.reportSize;
                f.reportCount = global.reportCount;
                f.flags = value;
                f.usagePage = global.usagePage;
                for (uint32_t u : local.usages)
                    f.usages.push_back(static_cast<uint16_t>(u & 0xFFFF));
                if (!local.usages.empty())
                    f.usagePage = pageOf(local.usages.front(), global.usagePage);
                if (local.hasMin || local.hasMax) {
                    f.hasRange = true;
                    f.usageMin = static_cast<uint16_t>(local.usageMin & 0xFFFF);
                    f.usageMax = static_cast<uint16_t>(local.usageMax & 0xFFFF);
                    if (local.usages.empty())
                        f.usagePage = pageOf(local.usageMin, global.usagePage);
                }
                f.logicalMin = global.logicalMin;
                f.logicalMax = global.logicalMax;
                f.physicalMin = global.physicalMin;
                f.physicalMax = global.physicalMax;
                offset += bits;
                if (offset > kMaxReportBits)
                    return false;
                if (current) {
                    if (current->fields.size() >= kMaxFields)
                        return false;
                    if (!current->ownsReportId(f.reportId))
                        current->reportIds.push_back(f.reportId);
                    current->fields.push_back(std::move(f));
                }
                break;
            }
            default:
                break;
            }
            local = {};
        } else if (type == 1) { // global
            switch (tag) {
            case 0x0: global.usagePage = static_cast<uint16_t>(value); break;
            case 0x1: global.logicalMin = signExtend(value, bytes); break;
            case 0x2:
                // A maximum that reads negative next to a non-negative minimum is meant unsigned.
                global.logicalMax = signExtend(value, bytes);
                if (global.logicalMin >= 0 && global.logicalMax < 0 && bytes < 4)
                    global.logicalMax = int32_t(value);
                break;
            case 0x3: global.physicalMin = signExtend(value, bytes); break;
            case 0x4:
                global.physicalMax = signExtend(value, bytes);
                if (global.physicalMin >= 0 && global.physicalMax < 0 && bytes < 4)
                    global.physicalMax = int32_t(value);
                break;
            case 0x7: global.reportSize = value; break;
            case 0x8:
                if (value == 0 || value > 0xFF)
                    return false;
                global.reportId = static_cast<uint8_t>(value);
                out.usesReportIds = true;
                break;
            case 0x9: global.reportCount = value; break;
            case 0xA:
                if (globalStack.size() >= size_t(kMaxDepth))
                    return false;
                globalStack.push_back(global);
                break;
            case 0xB:
                if (globalStack.empty())
                    return false;
                global = globalStack.back();
                globalStack.pop_back();
                break;
            default: break;
            }
        } else if (type == 2) { // local
            const uint32_t extended = bytes == 4 ? value : value & 0xFFFF;
            const uint32_t withPage = bytes == 4 ? value : (uint32_t(global.usagePage) << 16) | extended;
            switch (tag) {
            case 0x0:
                if (local.usages.size() < 0x10000)
                    local.usages.push_back(bytes == 4 ? withPage : extended);
                break;
            case 0x1: local.usageMin = bytes == 4 ? withPage : extended; local.hasMin = true; break;
            case 0x2: local.usageMax = bytes == 4 ? withPage : extended; local.hasMax = true; break;
            default: break;
            }
        }
    }
    return depth == 0;
}

HidReportLayout::HidReportLayout(const TopCollection& collection, bool usesReportIds)
    : collection_(collection), usesReportIds_(usesReportIds)
{
    caps_.usagePage = collection.usagePage;
    caps_.usage = collection.usage;

    // The longest usage list a report may carry for each report type and usage page.
    std::map<std::pair<int, uint16_t>, uint32_t> maxUsages;
    for (const ReportField& f : collection_.fields)
        if (!f.isConstant() && f.isButton())
            maxUsages[{int(f.type), f.usagePage}] += f.reportCount;

    for (int t = 0; t < kReportTypeCount; ++t) {
        const ReportType rt = ReportType(t);
        caps_.reportByteLength[t] = collection_.reportByteLength(rt);
        auto& items = items_[t];
        for (uint32_t fi = 0; fi < collection_.fields.size(); ++fi) {
            const ReportField& f = collection_.fields[fi];
            if (f.type != rt || f.isConstant() || f.reportCount == 0 || f.reportSize == 0)
                continue;
            HidDataItem base;
            base.usagePage = f.usagePage;
            base.reportId = f.reportId;
            base.field = fi;
            if (f.isButton()) {
                base.isButton = true;
                base.maxUsages = std::min(maxUsages[{t, f.usagePage}], kMaxUsageList);
                base.usages.assign(base.maxUsages, 0);
                // A range is one capability; a list of usages is one capability per usage.
                std::vector<std::pair<uint16_t, uint16_t>> ranges;
                if (f.usages.empty())
                    ranges.emplace_back(f.usageMin, f.usageMax);
                for (uint16_t u : f.usages)
                    ranges.emplace_back(u, u);
                for (auto [lo, hi] : ranges) {
                    if (items.size() >= kMaxItemsPerType)
                        break;
                    HidDataItem item = base;
                    item.usageMin = lo;
                    item.usageMax = hi;
                    items.push_back(std::move(item));
                    ++caps_.buttonCaps[t];
                }
            } else {
                // One item per usage; a range is one capability expanded to all its usages.
                const uint32_t usageCount = f.usages.empty()
                    ? (f.hasRange && f.usageMax >= f.usageMin ? uint32_t(f.usageMax - f.usageMin) + 1 : 1)
                    : uint32_t(f.usages.size());
                const uint32_t n = std::min(usageCount, f.reportCount);
                caps_.valueCaps[t] += f.usages.empty() ? 1 : uint16_t(n);
                for (uint32_t s = 0; s < n && items.size() < kMaxItemsPerType; ++s) {
                    HidDataItem item = base;
                    item.usage = f.usageAt(s);
                    item.slot = s;
                    items.push_back(std::move(item));
                }
            }
        }
    }
}

bool HidReportLayout::ownsReportId(uint8_t id) const
{
    return usesReportIds_ ? collection_.ownsReportId(id) : id == 0;
}

std::vector<uint16_t> HidReportLayout::usagesOn(uint8_t reportId, uint16_t usagePage,
                                                const uint8_t* report, size_t length, int& status) const
{
    std::vector<uint16_t> on;
    status = HidStatusSuccess;
    const uint8_t* data = report + 1;
    const size_t dataBits = (length - 1) * 8;
    for (const ReportField& f : collection_.fields) {
        if (f.type != ReportType::Input || f.reportId != reportId || f.usagePage != usagePage
            || f.isConstant() || !f.isButton())
            continue;
        if (f.bitOffset + f.reportSize * f.reportCount > dataBits) {
            status = HidStatusInvalidReportLength;
            continue;
        }
        for (uint32_t s = 0; s < f.reportCount; ++s) {
            const uint32_t raw = readBits(data, f.bitOffset + s * f.reportSize, f.reportSize);
            uint16_t usage = 0;
            if (f.isArray()) {
                const int64_t v = int64_t(raw);
                if (v >= f.logicalMin && v <= f.logicalMax)
                    usage = f.usageAt(uint32_t(v - f.logicalMin));
            } else if (raw) {
                usage = f.usageAt(s);
            }
            if (usage)
                on.push_back(usage);
        }
    }
    return on;
}

bool HidReportLayout::unpack(const uint8_t* report, size_t length)
{
    if (!report || length < 1)
        return false;
    const uint8_t reportId = report[0];
    // The usages that are on, decoded once per usage page.
    struct PageUsages {
        uint16_t page;
        int status;
        std::vector<uint16_t> on;
    };
    std::vector<PageUsages> pages;
    for (HidDataItem& item : items_[int(ReportType::Input)]) {
        if (item.reportId != reportId)
            continue;
        const ReportField& f = collection_.fields[item.field];
        if (item.isButton) {
            auto it = std::find_if(pages.begin(), pages.end(), [&](const PageUsages& p) { return p.page == item.usagePage; });
            if (it == pages.end()) {
                PageUsages p{item.usagePage, HidStatusSuccess, {}};
                p.on = usagesOn(reportId, item.usagePage, report, length, p.status);
                pages.push_back(std::move(p));
                it = pages.end() - 1;
            }
            int status = it->status;
            const std::vector<uint16_t>& on = it->on;
            if (on.size() > item.maxUsages)
                status = HidStatusBufferTooSmall;
            std::fill(item.usages.begin(), item.usages.end(), 0);
            size_t n = 0;
            for (uint16_t u : on)
                if (u >= item.usageMin && u <= item.usageMax && n < item.usages.size())
                    item.usages[n++] = u;
            item.status = status;
        } else {
            const uint32_t bit = f.bitOffset + item.slot * f.reportSize;
            if (bit + f.reportSize > (length - 1) * 8) {
                item.status = HidStatusInvalidReportLength;
                return false;
            }
            item.value = readBits(report + 1, bit, f.reportSize);
            int64_t logical = item.value;
            if (f.logicalMin < 0 && f.reportSize < 32 && (item.value >> (f.reportSize - 1)) & 1u)
                logical = int64_t(item.value) - (int64_t(1) << f.reportSize);
            if (f.logicalMin >= f.logicalMax) {
                item.status = HidStatusBadLogPhyValues;
            } else if (logical < f.logicalMin || logical > f.logicalMax) {
                item.status = HidStatusNull;
                item.scaledValue = 0;
            } else if (f.physicalMin == 0 && f.physicalMax == 0) {
                item.scaledValue = int32_t(logical);
                item.status = HidStatusSuccess;
            } else {
                const int64_t span = int64_t(f.logicalMax) - f.logicalMin;
                item.scaledValue = int32_t((logical - f.logicalMin) * (int64_t(f.physicalMax) - f.physicalMin)
                                               / span + f.physicalMin);
                item.status = HidStatusSuccess;
            }
        }
        item.isSet = true;
    }
    return true;
}

} // namespace q9

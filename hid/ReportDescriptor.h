#pragma once
// A HID report descriptor parser for what the transport needs: the top-level collections of an
// interface, the report lengths per report type (report ID byte included, as the transport's
// buffers always start with it), button and value capabilities, data items and their decoding.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace q9 {

enum class ReportType : uint8_t { Input = 0, Output = 1, Feature = 2 };
constexpr int kReportTypeCount = 3;

struct ReportField {
    ReportType type = ReportType::Input;
    uint8_t reportId = 0;
    uint32_t bitOffset = 0;   // from the first data byte (the byte after the report ID)
    uint32_t reportSize = 0;  // bits per slot
    uint32_t reportCount = 0; // slots
    uint32_t flags = 0;       // main item data: bit 0 constant, bit 1 variable
    uint16_t usagePage = 0;
    std::vector<uint16_t> usages; // explicit usages, in order
    uint16_t usageMin = 0;
    uint16_t usageMax = 0;
    bool hasRange = false;
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    int32_t physicalMin = 0;
    int32_t physicalMax = 0;

    bool isConstant() const { return flags & 1u; }
    bool isArray() const { return !(flags & 2u); }
    bool isButton() const { return isArray() || reportSize == 1; }
    uint16_t usageAt(uint32_t slot) const; // the usage of a variable slot or an array index
};

struct TopCollection {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    std::vector<ReportField> fields;
    std::vector<uint8_t> reportIds; // report IDs of any type that this collection uses

    uint16_t reportByteLength(ReportType type) const; // 0 when the collection has no such report
    bool ownsReportId(uint8_t id) const;
};

struct ReportDescriptor {
    std::vector<TopCollection> collections;
    bool usesReportIds = false;
};

// False for a malformed descriptor (truncated item, unbalanced collections, absurd sizes).
bool parseReportDescriptor(const uint8_t* data, size_t size, ReportDescriptor& out);

// Status of the last decoding of a data item.
enum HidItemStatus : int {
    HidStatusSuccess = 0,
    HidStatusInvalidReportLength = 1,
    HidStatusBufferTooSmall = 2,
    HidStatusNull = 3,              // value outside its logical range
    HidStatusBadLogPhyValues = 4,   // no usable logical range to scale with
};

struct HidDataItem {
    bool isButton = false;
    uint16_t usagePage = 0;
    int status = HidStatusSuccess;
    uint8_t reportId = 0;
    bool isSet = false;
    // button item
    uint16_t usageMin = 0;
    uint16_t usageMax = 0;
    uint32_t maxUsages = 0;
    std::vector<uint16_t> usages; // usages that are on; a 0 ends a shorter list
    // value item
    uint16_t usage = 0;
    uint32_t value = 0;
    int32_t scaledValue = 0;

    // Where the item lives in the report.
    uint32_t field = 0;
    uint32_t slot = 0;
};

struct HidCapabilities {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    std::array<uint16_t, kReportTypeCount> reportByteLength{};
    std::array<uint16_t, kReportTypeCount> buttonCaps{};
    std::array<uint16_t, kReportTypeCount> valueCaps{};
};

// The capabilities and data items of one top-level collection.
class HidReportLayout {
public:
    HidReportLayout() = default;
    HidReportLayout(const TopCollection& collection, bool usesReportIds);

    const HidCapabilities& caps() const { return caps_; }
    bool usesReportIds() const { return usesReportIds_; }
    bool ownsReportId(uint8_t id) const;
    const std::vector<HidDataItem>& items(ReportType type) const { return items_[int(type)]; }

    // Decodes an input report (report ID first) into the input items of that report ID.
    // False when a value cannot be read; items of other report IDs stay unchanged.
    bool unpack(const uint8_t* report, size_t length);

private:
    std::vector<uint16_t> usagesOn(uint8_t reportId, uint16_t usagePage, const uint8_t* report,
                                   size_t length, int& status) const;

    TopCollection collection_;
    bool usesReportIds_ = false;
    HidCapabilities caps_;
    std::array<std::vector<HidDataItem>, kReportTypeCount> items_;
};

} // namespace q9

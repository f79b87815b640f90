#pragma once
// The one class through which the program touches a HID interface: enumeration, open by path,
// attributes and report layout, and reads and writes of whole reports with a time-out that close()
// from another thread cuts short.
#include "hid/HidBackend.h"
#include "hid/ReportDescriptor.h"

#include <atomic>
#include <bitset>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace q9 {

constexpr uint32_t kInfiniteTimeout = 0xFFFFFFFFu; // the all-ones time-out waits without limit

class HidTransport {
public:
    explicit HidTransport(std::shared_ptr<HidBackend> backend);
    ~HidTransport();
    HidTransport(const HidTransport&) = delete;
    HidTransport& operator=(const HidTransport&) = delete;

    // Path list: one path per top-level collection of every interface present.
    bool enumerate();
    const std::wstring* nextPath(); // null when the list is exhausted
    void freePaths();
    size_t pathCount() const { return paths_.size(); }

    bool open(const std::wstring& path, bool wantRead, bool wantWrite, bool overlapped, bool shareReadOnly);
    bool reopen();
    void close();
    bool isOpen() const;

    // Nonzero on success. transferred (optional) gets the byte count, 0 on failure.
    int read(uint8_t* buffer, size_t length, size_t* transferred, uint32_t timeoutMs);
    int write(const uint8_t* buffer, size_t length, size_t* transferred, uint32_t timeoutMs);
    bool setOutputReport(const uint8_t* buffer, size_t length);

    // Decodes an input report into the input data items.
    bool unpack(const uint8_t* report, size_t length);
    std::vector<HidDataItem> dataItems(ReportType type) const;
    // The first usage of the first input button item (the event code of most event readers); 0 if none.
    uint16_t firstInputButtonUsage() const;

    // Whether the interface of a path can still be opened (an open with no access rights).
    bool pathPresent(const std::wstring& path) const;

    const std::wstring& devicePath() const { return path_; }
    HidAttributes attributes() const;
    HidCapabilities capabilities() const;
    int interfaceNumber() const { return interfaceNumber_; }
    int collectionNumber() const { return collectionNumber_; }
    bool reading() const { return reading_.load(); }
    bool writing() const { return writing_.load(); }
    HidBackend& backend() const { return *backend_; }

private:
    struct OpenInterface {
        std::shared_ptr<HidNode> node;
        std::bitset<256> reportIds;
        bool usesReportIds = false;
        HidAttributes attributes;
    };
    std::shared_ptr<const OpenInterface> current() const;

    std::shared_ptr<HidBackend> backend_;
    std::vector<std::wstring> paths_;
    size_t cursor_ = 0;

    // Open options and path, kept for reopen().
    bool wantRead_ = false;
    bool wantWrite_ = false;
    bool overlapped_ = false;
    bool shareReadOnly_ = false;
    std::wstring path_;
    int interfaceNumber_ = 0;
    int collectionNumber_ = 0;

    mutable std::mutex mutex_; // guards open_, layout_ and the report buffers
    std::shared_ptr<const OpenInterface> open_;
    HidReportLayout layout_;
    std::vector<uint8_t> inputReport_, outputReport_, featureReport_;

    std::atomic<bool> reading_{false};
    std::atomic<bool> writing_{false};
};

} // namespace q9

#pragma once
// The constant tables of supported devices and the live interface list built from them.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace q9 {

// Device kind codes: which device class handles an interface and over which link it talks.
enum DeviceKind : uint16_t {
    KindKeyboard = 1,
    KindMouse = 2,
    KindMousePad = 3,
    KindMouseReceiver = 6,
    KindHeadset = 7,
    KindKeyboardReceiver = 9,
};

enum InterfaceRole : uint16_t {
    RoleCommand = 0,
    RoleEvent = 0xFF,
};

bool isValidKind(int kind);
bool isReceiverKind(int kind); // kinds 6 and 9: the command channel talks through the receiver

struct HidInterfaceEntry {
    uint16_t vid = 0;
    uint16_t pid = 0;
    uint16_t mi = 0;
    uint16_t col = 0;
    uint16_t kind = 0;
    uint16_t role = 0;
    uint16_t claimed = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t paired = 0;
    uint16_t partner = 0;
    std::wstring path;

    bool sameInterface(const HidInterfaceEntry& o) const; // vid, pid, col, mi, usagePage, usage
    bool isFree() const { return claimed == 0 && path.empty(); }
};

struct DeviceTypeEntry {
    const wchar_t* optionXml;
    const wchar_t* tabGroup;
    const wchar_t* powerContainer;
    const wchar_t* typeName;
    int lightIndex;
    uint16_t vid;
    uint16_t pid;
    uint16_t kind;
    uint16_t role;
};

struct DevicePageEntry {
    int lightCount;
    int keyCount;
    int wirelessCapable;
    int logoLight;
    const wchar_t* pageXml;
    const wchar_t* lightFileBase;
};

// Runtime-filled fields (itemFlag, version) live in a copy the main window keeps; see modelTable().
struct ModelEntry {
    int itemType;
    int itemFlag;
    int version;
    const wchar_t* vendor;
    const wchar_t* modelCode;
    const wchar_t* name;
    const wchar_t* shortName;
    const wchar_t* appVersion;
};

constexpr int kInterfaceRowCount = 11;
constexpr int kDeviceTypeCount = 4;
constexpr int kModelRowCount = 4;

const std::array<HidInterfaceEntry, kInterfaceRowCount>& interfaceTable();
const std::array<DeviceTypeEntry, kDeviceTypeCount>& deviceTypeTable();
const std::array<DevicePageEntry, kDeviceTypeCount>& devicePageTable();
const std::array<ModelEntry, kModelRowCount>& modelTable();

// Reads the hexadecimal number after the first "vid_", "pid_", "&mi_" or "&col" (case-insensitive)
// as "%x" would; 0 when the marker is absent.
uint16_t parseVid(std::wstring_view path);
uint16_t parsePid(std::wstring_view path);
uint16_t parseMi(std::wstring_view path);
uint16_t parseCol(std::wstring_view path);

int findInterfaceRow(uint16_t vid, uint16_t pid, uint16_t kind, uint16_t role);
int findDeviceType(uint16_t vid, uint16_t pid, uint16_t kind, uint16_t role);

// The row that stands for the device: the partner (cable) row for paired receiver rows.
int identityRow(int index);

// The run-time copy of the interface table: rows are claimed and released, never added or removed,
// so a live-list index equals the table index.
using LiveInterfaceList = std::vector<HidInterfaceEntry>;
LiveInterfaceList buildLiveInterfaceList();

} // namespace q9

#include "hid/DeviceCatalogue.h"

#include <cwctype>

namespace q9 {

bool isValidKind(int kind)
{
    switch (kind) {
    case KindKeyboard: case KindMouse: case KindMousePad:
    case KindMouseReceiver: case KindHeadset: case KindKeyboardReceiver:
        return true;
    default:
        return false;
    }
}

bool isReceiverKind(int kind) { return kind == KindMouseReceiver || kind == KindKeyboardReceiver; }

bool HidInterfaceEntry::sameInterface(const HidInterfaceEntry& o) const
{
    return vid == o.vid && pid == o.pid && col == o.col && mi == o.mi && usagePage == o.usagePage
        && usage == o.usage;
}

const std::array<HidInterfaceEntry, kInterfaceRowCount>& interfaceTable()
{
    //                          vid     pid     mi col kind role  cl usagePage usage paired partner
    static const std::array<HidInterfaceEntry, kInterfaceRowCount> table{{
        {0x320F, 0x505B, 1, 4, 1, 0x00, 0, 0xFF1C, 0x92, 1, 2, {}},
        {0x320F, 0x505B, 0, 3, 1, 0xFF, 0, 0x000C, 0x01, 1, 3, {}},
        {0x320F, 0x50EC, 1, 4, 9, 0x00, 0, 0xFF1C, 0x92, 1, 0, {}},
        {0x320F, 0x50EC, 0, 3, 9, 0xFF, 0, 0x000C, 0x01, 1, 1, {}},
        {0x320F, 0x226E, 1, 2, 2, 0x00, 0, 0xFF1C, 0x92, 1, 6, {}},
        {0x320F, 0x226E, 0, 3, 2, 0xFF, 0, 0x000C, 0x01, 1, 7, {}},
        {0x320F, 0x226F, 1, 2, 6, 0x00, 0, 0xFF1C, 0x92, 1, 4, {}},
        {0x320F, 0x226F, 0, 3, 6, 0xFF, 0, 0x000C, 0x01, 1, 5, {}},
        {0x320F, 0x1004, 1, 4, 3, 0x00, 0, 0xFF1C, 0x92, 0, 0, {}},
        {0x320F, 0x1004, 0, 3, 3, 0xFF, 0, 0x000C, 0x01, 0, 0, {}},
        {0x0C76, 0x1630, 3, 0, 7, 0x00, 0, 0x000C, 0x01, 0, 0, {}},
    }};
    return table;
}

const std::array<DeviceTypeEntry, kDeviceTypeCount>& deviceTypeTable()
{
    static constexpr const wchar_t* kOption = L"XML\\CustomControlXML\\DeviceOption.xml";
    static constexpr const wchar_t* kTabs = L"tab_header_device";
    static constexpr const wchar_t* kPower = L"device_power_switch";
    static const std::array<DeviceTypeEntry, kDeviceTypeCount> table{{
        {kOption, kTabs, kPower, L"mouse", 1, 0x320F, 0x226E, 2, 0},
        {kOption, kTabs, kPower, L"keyboard", 0, 0x320F, 0x505B, 1, 0},
        {kOption, kTabs, kPower, L"MousePad", 2, 0x320F, 0x1004, 3, 0},
        {kOption, kTabs, kPower, L"HD", 3, 0x0C76, 0x1630, 7, 0},
    }};
    return table;
}

const std::array<DevicePageEntry, kDeviceTypeCount>& devicePageTable()
{
    static const std::array<DevicePageEntry, kDeviceTypeCount> table{{
        {15, 11, 1, -1, L"XML\\DeviceXml\\mousedevice.xml", L"kelda_light"},
        {170, 170, 0, -1, L"XML\\DeviceXml\\keyboarddevice.xml", L"kelda_light"},
        {15, 0, 0, -1, L"XML\\DeviceXml\\mousepaddevice.xml", L"kelda_light"},
        {13, 0, 0, -1, L"XML\\DeviceXml\\hx4120device.xml", L"kelda_light"},
    }};
    return table;
}

const std::array<ModelEntry, kModelRowCount>& modelTable()
{
    static const std::array<ModelEntry, kModelRowCount> table{{
        {1, 1, 0, L"KELDA", L"RX20M01A", L"MS", L"MS", L""},
        {1, 1, 0, L"KELDA", L"RX20M02A", L"KB", L"KB", L""},
        {2, 1, 0, L"KELDA", L"RX20M03A_1", L"Z48", L"Z48", L""},
        {0, 1, 0, L"KELDA", L"ALL", L"Q9 Zen 1K", L"AP", L"V0102"},
    }};
    return table;
}

namespace {

// Case-insensitive search for an ASCII marker.
size_t findMarker(std::wstring_view path, std::wstring_view marker)
{
    if (marker.size() > path.size())
        return std::wstring_view::npos;
    for (size_t i = 0; i + marker.size() <= path.size(); ++i) {
        size_t k = 0;
        while (k < marker.size() && wchar_t(std::towlower(path[i + k])) == marker[k])
            ++k;
        if (k == marker.size())
            return i;
    }
    return std::wstring_view::npos;
}

int hexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// What "%x" accepts: leading white space, an optional sign, an optional "0x", hex digits.
uint16_t scanHex(std::wstring_view s)
{
    size_t i = 0;
    while (i < s.size() && std::iswspace(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-'))
        negative = s[i++] == L'-';
    if (i + 1 < s.size() && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')
        && i + 2 < s.size() && hexDigit(s[i + 2]) >= 0)
        i += 2;
    uint32_t value = 0;
    for (; i < s.size() && hexDigit(s[i]) >= 0; ++i)
        value = value * 16 + static_cast<uint32_t>(hexDigit(s[i]));
    return static_cast<uint16_t>(negative ? 0u - value : value);
}

uint16_t parseAfter(std::wstring_view path, std::wstring_view marker)
{
    const size_t at = findMarker(path, marker);
    return at == std::wstring_view::npos ? 0 : scanHex(path.substr(at + marker.size()));
}

} // namespace

uint16_t parseVid(std::wstring_view path) { return parseAfter(path, L"vid_"); }
uint16_t parsePid(std::wstring_view path) { return parseAfter(path, L"pid_"); }
uint16_t parseMi(std::wstring_view path) { return parseAfter(path, L"&mi_"); }
uint16_t parseCol(std::wstring_view path) { return parseAfter(path, L"&col"); }

int findInterfaceRow(uint16_t vid, uint16_t pid, uint16_t kind, uint16_t role)
{
    const auto& t = interfaceTable();
    for (int i = 0; i < kInterfaceRowCount; ++i)
        if (t[i].vid == vid && t[i].pid == pid && t[i].kind == kind && t[i].role == role)
            return i;
    return -1;
}

int findDeviceType(uint16_t vid, uint16_t pid, uint16_t kind, uint16_t role)
{
    const auto& t = deviceTypeTable();
    for (int i = 0; i < kDeviceTypeCount; ++i)
        if (t[i].vid == vid && t[i].pid == pid && t[i].kind == kind && t[i].role == role)
            return i;
    return -1;
}

int identityRow(int index)
{
    const auto& t = interfaceTable();
    if (index < 0 || index >= kInterfaceRowCount)
        return index;
    const HidInterfaceEntry& row = t[index];
    if (isReceiverKind(row.kind) && row.paired)
        return row.partner;
    return index;
}

LiveInterfaceList buildLiveInterfaceList()
{
    const auto& t = interfaceTable();
    return LiveInterfaceList(t.begin(), t.end());
}

} // namespace q9

#include "editors/KeySetModel.h"

#include "editors/KeyCodes.h"

#include <algorithm>
#include <cstdlib>

namespace q9::editors {

int leadingInt(const std::string& text)
{
    // strtol reads the leading integer and gives 0 for none; out-of-range texts are held to int.
    const long v = std::strtol(text.c_str(), nullptr, 10);
    return int(std::max<long>(std::min<long>(v, 0x7FFFFFFF), -0x7FFFFFFF - 1));
}

namespace {

constexpr uint8_t kSwing = 0x11, kWheel = 0x12, kFire = 0x14, kKey = 0x20, kMacroTimes = 0x71, kGun = 0x72, kShortcutPage = 0xB0;
constexpr int kMinFireInterval = 10;
constexpr int kGuns = 4;
constexpr int kPlayModes = 5; // rows 0-3 play modes, row 4 a number of times

template <size_t N>
int rowOf(const std::array<ListRow, N>& rows, const KeyAction& a, int keep)
{
    for (size_t i = 0; i < N; ++i)
        if (sameAction(rows[i], a))
            return int(i);
    return keep;
}

template <size_t N>
bool takeRow(const std::array<ListRow, N>& rows, int row, KeyAction& a)
{
    if (row < 0 || row >= int(N))
        return false;
    a.type = rows[size_t(row)].type;
    a.param1 = rows[size_t(row)].param1;
    a.param2 = rows[size_t(row)].param2;
    return true;
}

uint8_t motionTiming(const std::string& delay, const std::string& speed)
{
    return uint8_t((leadingInt(delay) & 0x0F) * 16 + (leadingInt(speed) & 0x0F));
}

} // namespace

void KeySetModel::SetDeviceMode(int kind)
{
    kind_ = kind;
    view_.functionVisible.assign(view_.functionPages.size(), true);
    for (size_t i = 0; i < view_.functionPages.size(); ++i)
        if (kind == 1 && (view_.functionPages[i] == PageDpi || view_.functionPages[i] == PageGun))
            view_.functionVisible[i] = false;
}

int KeySetModel::pageOfRow(int row) const
{
    if (row < 0 || row >= int(view_.functionPages.size()))
        return -1;
    return view_.functionPages[size_t(row)];
}

int KeySetModel::rowOfPage(int page) const
{
    for (size_t i = 0; i < view_.functionPages.size(); ++i)
        if (view_.functionPages[i] == page)
            return int(i);
    return -1;
}

void KeySetModel::SetKeyEntry(const KeyEntry& entry)
{
    entry_ = entry;
    ShowAction(entry_.current);
}

void KeySetModel::SetCurrentAction(const KeyAction& a)
{
    const uint16_t index = entry_.current.keyIndex;
    entry_.current = a;
    entry_.current.keyIndex = index;
}

void KeySetModel::SelectModifier(int n)
{
    view_.modifiers.fill(false);
    if (n >= 0 && n < int(view_.modifiers.size()))
        view_.modifiers[size_t(n)] = true;
}

int KeySetModel::SelectedModifier() const
{
    for (size_t i = 0; i < view_.modifiers.size(); ++i)
        if (view_.modifiers[i])
            return int(i);
    return -1;
}

KeyEntry KeySetModel::BuildEntry()
{
    KeyAction a = entry_.current;
    switch (pageOfRow(view_.functionRow)) {
    case PageMouseButton:
        takeRow(mouseButtonRows(), view_.mouseButtonRow, a);
        break;
    case PageDpi:
        takeRow(dpiRows(), view_.dpiRow, a);
        break;
    case PageMedia:
        takeRow(mediaRows(), view_.mediaRow, a);
        break;
    case PageSystem:
        takeRow(systemRows(systemOrder_), view_.systemRow, a);
        break;
    case PageShortcut:
        takeRow(shortcutRows(), view_.shortcutRow, a);
        break;
    case PageSwing: {
        a.type = kSwing;
        a.param1 = motionTiming(view_.swingDelay, view_.swingSpeed);
        const int n = leadingInt(view_.swingCount);
        a.param2 = uint8_t(view_.swingDirectionRow == 1 ? (n | 0x80) : (n & 0x7F));
        break;
    }
    case PageWheel: {
        a.type = kWheel;
        a.param1 = motionTiming(view_.wheelDelay, view_.wheelSpeed);
        const int n = leadingInt(view_.wheelCount);
        a.param2 = uint8_t(view_.wheelDirectionRow == 1 ? ((128 - n) | 0x80) : (n & 0x7F));
        break;
    }
    case PageFire: {
        int interval = leadingInt(view_.fireInterval);
        if (interval < kMinFireInterval) {
            interval = kMinFireInterval;
            view_.fireInterval = std::to_string(kMinFireInterval);
        }
        a.type = kFire;
        a.param1 = uint8_t(interval);
        a.param2 = uint8_t(leadingInt(view_.fireCount));
        break;
    }
    case PageKeyboard: {
        a.type = kKey;
        const int m = SelectedModifier();
        a.param1 = m >= 1 && m <= 4 ? uint8_t(1u << (m - 1)) : 0;
        if (view_.keyNameId.empty())
            a.param2 = 0;
        break;
    }
    case PageMacro:
        if (view_.macroRow >= 0 && view_.macroCount > 0) {
            a.param1 = uint8_t(view_.macroRow);
            const int p = std::max(0, view_.macroPlayRow);
            if (p == 4) {
                a.type = kMacroTimes;
                a.param2 = uint8_t(leadingInt(view_.macroRepeat));
            } else {
                a.type = kMacroAction;
                a.param2 = uint8_t(p);
            }
        }
        break;
    case PageGun:
        if (view_.gunRow >= 0) {
            a.type = kGun;
            a.param1 = uint8_t(view_.gunRow);
            a.param2 = 0;
        }
        break;
    default:
        a = entry_.defaults;
        break;
    }
    SetCurrentAction(a);
    return entry_;
}

void KeySetModel::ShowAction(const KeyAction& a)
{
    int page = -1;
    if (a == entry_.defaults) {
        page = PageDefault;
    } else {
        switch (a.type) {
        case 0x00:
            page = PageDefault;
            break;
        case 0x10:
            page = PageMouseButton;
            view_.mouseButtonRow = rowOf(mouseButtonRows(), a, view_.mouseButtonRow);
            break;
        case 0x13:
            page = PageDpi;
            view_.dpiRow = rowOf(dpiRows(), a, view_.dpiRow);
            break;
        case 0x30:
            page = PageMedia;
            view_.mediaRow = rowOf(mediaRows(), a, view_.mediaRow);
            break;
        case 0x40:
            page = PageSystem;
            view_.systemRow = rowOf(systemRows(systemOrder_), a, view_.systemRow);
            break;
        case kSwing:
        case kWheel: {
            const bool swing = a.type == kSwing;
            page = swing ? PageSwing : PageWheel;
            (swing ? view_.swingDelay : view_.wheelDelay) = std::to_string(a.param1 / 16);
            (swing ? view_.swingSpeed : view_.wheelSpeed) = std::to_string(a.param1 & 0x0F);
            const bool second = a.param2 & 0x80;
            const int count = !second ? a.param2 : swing ? (a.param2 & 0x7F) : 128 - (a.param2 & 0x7F);
            (swing ? view_.swingCount : view_.wheelCount) = std::to_string(count);
            (swing ? view_.swingDirectionRow : view_.wheelDirectionRow) = second ? 1 : 0;
            break;
        }
        case kFire:
            page = PageFire;
            view_.fireInterval = std::to_string(a.param1);
            view_.fireCount = std::to_string(a.param2);
            break;
        case kKey: {
            const auto& table = keyCodeTable();
            if (a.param1 > 8) {
                page = PageShortcut;
                view_.shortcutRow = rowOf(shortcutRows(), a, -1);
                break;
            }
            page = PageKeyboard;
            if (a.param1 == 0) {
                int found = -1;
                for (int r = 0; r < kKeyCodeRows && found < 0; ++r)
                    if (table[size_t(r)].param1 == a.param1 && table[size_t(r)].param2 == a.param2)
                        found = r;
                if (found >= 0) {
                    SelectModifier(0);
                    SetKeyName(std::string(table[size_t(found)].nameId));
                } else {
                    SelectModifier(-1);
                    SetKeyName("");
                    KeyAction cleared = a;
                    cleared.param1 = cleared.param2 = 0;
                    SetCurrentAction(cleared);
                }
                break;
            }
            int option = 0;
            for (int r = 0; r < 4; ++r)
                if (table[size_t(r)].type == kKey && table[size_t(r)].param2 == 0 && table[size_t(r)].param1 == a.param1)
                    option = ((r + 1) % 5) + ((r + 1) / 5);
            SelectModifier(option);
            std::string name;
            for (int r = kModifierRows; r < kKeyCodeRows && name.empty(); ++r)
                if (table[size_t(r)].type == kKey && table[size_t(r)].param1 == 0 && table[size_t(r)].param2 == a.param2)
                    name = table[size_t(r)].nameId;
            SetKeyName(name);
            break;
        }
        case kMacroAction:
        case kMacroTimes: {
            page = PageMacro;
            const bool known = view_.macroCount >= a.param1;
            const int macroRow = known && a.param1 < view_.macroCount ? a.param1 : -1;
            if (a.type == kMacroAction) {
                view_.macroRow = known ? macroRow : -1;
                view_.macroPlayRow = known && a.param2 < kPlayModes ? a.param2 : -1;
                view_.macroRepeatVisible = false;
            } else {
                view_.macroRow = known ? macroRow : -1;
                view_.macroPlayRow = known ? 4 : -1;
                view_.macroRepeatVisible = known;
                view_.macroRepeat = std::to_string(a.param2);
            }
            break;
        }
        case kGun:
            page = PageGun;
            view_.gunRow = a.param1 < kGuns ? a.param1 : -1;
            break;
        case kShortcutPage:
            page = PageShortcut;
            break;
        default:
            break;
        }
    }
    const int row = page < 0 ? -1 : rowOfPage(page);
    if (row < 0) {
        view_.layoutVisible = false;
        return;
    }
    view_.layoutVisible = true;
    view_.functionRow = row;
    view_.page = page;
}

void KeySetModel::FunctionChosen()
{
    view_.page = pageOfRow(view_.functionRow);
    if (view_.page == PageKeyboard) {
        SetKeyName("");
        SelectModifier(-1);
    }
}

bool KeySetModel::CaptureKey(uint32_t scan, bool extended)
{
    const auto row = findCaptureRow(scan, extended);
    if (!row)
        return false;
    const KeyCodeRow& key = keyCodeTable()[size_t(*row)];
    uint8_t bits = 0;
    if (*row < kModifierRows) {
        // Left and right variants give the same option.
        SelectModifier(((*row + 1) % 5) + ((*row + 1) / 5));
        BuildEntry();
        SetKeyName("");
        bits = key.param1;
    } else {
        if (SelectedModifier() == -1)
            SelectModifier(0);
        else
            bits = BuildEntry().current.param1;
        SetKeyName(std::string(key.nameId));
    }
    KeyAction a = entry_.current;
    a.type = kKey;
    a.param1 = bits;
    a.param2 = key.param2;
    SetCurrentAction(a);
    return true;
}

} // namespace q9::editors

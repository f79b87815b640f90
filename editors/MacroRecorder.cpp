#include "editors/MacroRecorder.h"

#include "editors/KeyCodes.h"

#include <algorithm>

namespace q9::editors {

const std::array<MouseEventRow, 15>& mouseEventTable()
{
    static const std::array<MouseEventRow, 15> rows = {{
        {0x0201, 0x10, 0x01, 0x81, "mouse_key_left"},
        {0x0202, 0x10, 0x01, 0x01, "mouse_key_left"},
        {0x0204, 0x10, 0x02, 0x81, "mouse_key_right"},
        {0x0205, 0x10, 0x02, 0x01, "mouse_key_right"},
        {0x0207, 0x10, 0x04, 0x81, "mouse_key_middle"},
        {0x0208, 0x10, 0x04, 0x01, "mouse_key_middle"},
        {0x020B, 0x10, 0x10, 0x81, "mouse_key_forward"},
        {0x020C, 0x10, 0x10, 0x01, "mouse_key_forward"},
        {0x020B, 0x10, 0x08, 0x81, "mouse_key_back"},
        {0x020C, 0x10, 0x08, 0x01, "mouse_key_back"},
        {4, 0x15, 0, 0x84, "mouse_move_to_left_text"},
        {4, 0x15, 0, 0x04, "mouse_move_to_right_text"},
        {5, 0x15, 0, 0x85, "mouse_move_to_up_text"},
        {5, 0x15, 0, 0x05, "mouse_move_to_down_text"},
        {0x020A, 0x12, 0, 0, "mouse_cursor_text"},
    }};
    return rows;
}

std::string macroEventName(const MacroEvent& e)
{
    const auto& keys = keyCodeTable();
    switch (e.type) {
    case 10:
        for (int r = kModifierRows; r < kKeyCodeRows; ++r)
            if (keys[size_t(r)].type == 0x20 && keys[size_t(r)].param1 == 0 && keys[size_t(r)].param2 == e.button)
                return std::string(keys[size_t(r)].nameId);
        return {};
    case 9:
        for (int r = 0; r < kModifierRows; ++r)
            if (keys[size_t(r)].param1 == e.button && keys[size_t(r)].param2 == 0)
                return std::string(keys[size_t(r)].nameId);
        return {};
    case 1:
        for (int r = 0; r < 10; ++r)
            if (mouseEventTable()[size_t(r)].button == e.button)
                return mouseEventTable()[size_t(r)].nameId;
        return {};
    case 4:
    case 5: {
        const uint8_t byte = uint8_t(e.type | (e.action == "down" ? 0x80 : 0));
        for (int r = 10; r < 14; ++r)
            if (mouseEventTable()[size_t(r)].deviceByte == byte)
                return mouseEventTable()[size_t(r)].nameId;
        return {};
    }
    default:
        return {};
    }
}

void MacroRecorder::start(Mode mode, Place place, int fixedDelay, int64_t now)
{
    active_ = true;
    mode_ = mode;
    place_ = place;
    fixedDelay_ = std::clamp(fixedDelay, 0, 65535);
    tick_ = now;
    // A new recording starts without memory: a key held when the last one stopped would otherwise
    // lose its first press.
    heldKey_.reset();
    lastMouse_.reset();
}

bool MacroRecorder::keyEvent(MacroRows& rows, bool down, uint32_t scan, bool extended, int64_t now)
{
    if (!active_)
        return false;
    const std::pair<uint32_t, bool> key{scan, extended};
    if (down) {
        if (heldKey_ == key)
            return false; // the key repeats while held
        heldKey_ = key;
    } else if (heldKey_ == key) {
        heldKey_.reset();
    }
    const auto row = findCaptureRow(scan, extended);
    if (!row)
        return false;
    const KeyCodeRow& k = keyCodeTable()[size_t(*row)];
    MacroEvent e;
    e.action = down ? "down" : "up";
    if (k.param2 != 0)
        e.button = k.param2, e.type = 10;
    else if (k.param1 != 0)
        e.button = k.param1, e.type = 9;
    else
        return false;
    return place(rows, e, now);
}

bool MacroRecorder::mouseEvent(MacroRows& rows, uint32_t message, uint32_t mouseData, bool onStopButton, int64_t now)
{
    if (!active_)
        return false;
    const MouseEventRow* found = nullptr;
    for (int r = 0; r < 6; ++r)
        if (mouseEventTable()[size_t(r)].message == message)
            found = &mouseEventTable()[size_t(r)];
    if (!found && (message == 0x020B || message == 0x020C)) {
        const uint32_t extra = mouseData >> 16;
        const bool press = message == 0x020B;
        if (extra == 2)
            found = &mouseEventTable()[press ? 6 : 7];
        else if (extra == 1)
            found = &mouseEventTable()[press ? 8 : 9];
    }
    if (!found)
        return false;
    const std::pair<uint32_t, uint32_t> seen{message, mouseData >> 16};
    if (lastMouse_ == seen)
        return false;
    lastMouse_ = seen;
    if (onStopButton && (message == 0x0201 || message == 0x0202))
        return false; // the click that stops the recording
    MacroEvent e;
    e.button = found->button;
    e.type = found->deviceByte & 0x7F;
    e.action = found->deviceByte & 0x80 ? "down" : "up";
    return place(rows, e, now);
}

bool MacroRecorder::place(MacroRows& rows, MacroEvent e, int64_t now)
{
    auto& events = rows.events;
    if (place_ == Place::Replace) {
        if (rows.selected < 0 || rows.selected >= int(events.size()) || int(events.size()) >= kMaxEventsPerMacro)
            return false;
        MacroEvent& target = events[size_t(rows.selected)];
        target.button = e.button;
        target.type = e.type;
        return true;
    }
    if (int(events.size()) >= kMaxEventsPerMacro)
        return false;
    int t = 0;
    switch (mode_) {
    case Mode::RealTime:
        t = int(std::min<int64_t>(std::max<int64_t>(now - tick_, 0), 65535));
        if (t > 65534)
            t = 65535;
        tick_ = now;
        break;
    case Mode::FixedDelay:
        t = fixedDelay_;
        break;
    case Mode::NoDelay:
        t = 0;
        break;
    }
    int at = int(events.size());
    int select = at;
    if (place_ == Place::Before) {
        if (rows.selected < 0 || rows.selected >= int(events.size()))
            return false;
        at = rows.selected;
        select = at + 1; // the row that was selected: further events go in before it, in order
    } else if (place_ == Place::After) {
        if (rows.selected < 0 || rows.selected >= int(events.size()))
            return false;
        at = rows.selected + 1;
        select = at;
    }
    e.delay = mode_ == Mode::FixedDelay && at > 0 ? fixedDelay_ : 0;
    events.insert(events.begin() + at, e);
    if (at > 0)
        events[size_t(at - 1)].delay = t;
    rows.selected = select;
    return true;
}

} // namespace q9::editors

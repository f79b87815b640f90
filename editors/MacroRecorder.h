#pragma once
// Recording a macro from live input, without any UI: the event list as the editor shows it, and
// what each keyboard or mouse event of the input hook does to it — repeats filtered, the delays of
// the three recording modes, appended, inserted before or after the selected row, or replacing the
// selected row's key.
#include "editors/MacroStore.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace q9::editors {

// The event list of the macro being edited and its selected row (-1: none).
struct MacroRows {
    std::vector<MacroEvent> events;
    int selected = -1;
};

// The mouse event table: rows 0-9 the buttons, 10-13 the movements, 14 the wheel.
struct MouseEventRow {
    uint32_t message;
    uint8_t type, button, deviceByte;
    const char* nameId;
};
const std::array<MouseEventRow, 15>& mouseEventTable();
// The text id naming an event's key, button or movement; empty for none.
std::string macroEventName(const MacroEvent& e);

class MacroRecorder {
public:
    enum class Mode { RealTime = 1, FixedDelay = 2, NoDelay = 3 };
    enum class Place { Append, Before, After, Replace };

    // now: a millisecond tick.
    void start(Mode mode, Place place, int fixedDelay, int64_t now);
    void stop() { active_ = false; }
    bool active() const { return active_; }
    Place place() const { return place_; }
    Mode mode() const { return mode_; }

    // A key of the keyboard went down or up. True when the rows changed.
    bool keyEvent(MacroRows& rows, bool down, uint32_t scan, bool extended, int64_t now);
    // A mouse button message (0x0201-0x0208, 0x020B/0x020C with the extra button in the high word
    // of mouseData); a left button on the stop button is not recorded.
    bool mouseEvent(MacroRows& rows, uint32_t message, uint32_t mouseData, bool onStopButton, int64_t now);

private:
    bool place(MacroRows& rows, MacroEvent e, int64_t now);

    bool active_ = false;
    Mode mode_ = Mode::RealTime;
    Place place_ = Place::Append;
    int fixedDelay_ = 50;
    int64_t tick_ = 0;
    // The last press seen, so that a held key's repeats give one row.
    std::optional<std::pair<uint32_t, bool>> heldKey_;
    std::optional<std::pair<uint32_t, uint32_t>> lastMouse_;
};

} // namespace q9::editors

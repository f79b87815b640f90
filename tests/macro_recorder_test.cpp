// Recording a macro without its window: repeats, the delays of the three modes, where the rows
// go, the 60-row limit and the click that stops the recording.
#include "editors/MacroRecorder.h"

#include <gtest/gtest.h>

namespace q9::editors {
namespace {

using Mode = MacroRecorder::Mode;
using Place = MacroRecorder::Place;

constexpr uint32_t kA = 0x1E, kB = 0x30, kLeftShift = 0x2A;

// One input event at a time.
struct Input {
    int64_t at;
    bool key;
    uint32_t code; // scan code, or mouse message
    bool down;     // keys: press
    uint32_t mouseData = 0;
    bool onStop = false;
};

Input press(int64_t at, uint32_t scan) { return {at, true, scan, true}; }
Input release(int64_t at, uint32_t scan) { return {at, true, scan, false}; }
Input mouse(int64_t at, uint32_t message, uint32_t data = 0, bool onStop = false) { return {at, false, message, false, data, onStop}; }

std::string describe(const MacroRows& rows)
{
    std::string s;
    for (size_t i = 0; i < rows.events.size(); ++i) {
        const MacroEvent& e = rows.events[i];
        s += (i ? " | " : "") + std::to_string(e.type) + ":" + std::to_string(e.button) + ":" + e.action + ":" + std::to_string(e.delay);
    }
    return s + " sel " + std::to_string(rows.selected);
}

MacroRows record(Mode mode, Place place, MacroRows rows, const std::vector<Input>& inputs, int fixedDelay = 50)
{
    MacroRecorder r;
    r.start(mode, place, fixedDelay, 0);
    for (const Input& i : inputs) {
        if (i.key)
            r.keyEvent(rows, i.down, i.code, false, i.at);
        else
            r.mouseEvent(rows, i.code, i.mouseData, i.onStop, i.at);
    }
    return rows;
}

MacroEvent ev(int type, int button, const char* action, int delay) { return {action, button, type, delay}; }

TEST(MacroRecorder, RowsAndDelaysAsRecorded)
{
    const std::vector<Input> aThenB = {press(0, kA), release(120, kA), press(300, kB)};
    const MacroRows existing{{ev(10, 0x10, "down", 7), ev(10, 0x10, "up", 8)}, 1};
    struct Case {
        const char* what;
        Mode mode;
        Place place;
        MacroRows before;
        std::vector<Input> inputs;
        std::string want;
    };
    const Case cases[] = {
        {"real time: the delay of a row is the time to the next", Mode::RealTime, Place::Append, {}, aThenB,
         "10:4:down:120 | 10:4:up:180 | 10:5:down:0 sel 2"},
        {"fixed 50", Mode::FixedDelay, Place::Append, {}, aThenB, "10:4:down:50 | 10:4:up:50 | 10:5:down:50 sel 2"},
        {"no delays", Mode::NoDelay, Place::Append, {}, aThenB, "10:4:down:0 | 10:4:up:0 | 10:5:down:0 sel 2"},
        {"a held key repeats: one press, one release", Mode::NoDelay, Place::Append, {},
         {press(0, kA), press(30, kA), press(60, kA), release(90, kA)}, "10:4:down:0 | 10:4:up:0 sel 1"},
        {"a modifier is recorded by its bit", Mode::NoDelay, Place::Append, {}, {press(0, kLeftShift)}, "9:2:down:0 sel 0"},
        {"a code no key has is left out", Mode::NoDelay, Place::Append, {}, {press(0, 0x6F)}, " sel -1"},
        {"before the selected row: in order, the selected row stays last; the row before takes the delay",
         Mode::NoDelay, Place::Before, existing, {press(0, kA), release(10, kA)},
         "10:16:down:0 | 10:4:down:0 | 10:4:up:0 | 10:16:up:8 sel 3"},
        {"before row 0: the new first row has no delay", Mode::FixedDelay, Place::Before, {{ev(10, 0x10, "down", 7)}, 0},
         {press(0, kA)}, "10:4:down:0 | 10:16:down:7 sel 1"},
        {"after the selected row", Mode::NoDelay, Place::After, {{ev(10, 0x10, "down", 7), ev(10, 0x10, "up", 8)}, 0},
         {press(0, kA)}, "10:16:down:0 | 10:4:down:0 | 10:16:up:8 sel 1"},
        {"before or after with no row selected records nothing", Mode::NoDelay, Place::After, {{ev(10, 0x10, "down", 7)}, -1},
         {press(0, kA)}, "10:16:down:7 sel -1"},
        {"replace: the selected row takes the key, keeps its action and delay", Mode::NoDelay, Place::Replace, existing,
         {press(0, kB)}, "10:16:down:7 | 10:5:up:8 sel 1"},
        {"mouse buttons; forward and back by the extra button number", Mode::NoDelay, Place::Append, {},
         {mouse(0, 0x0201), mouse(10, 0x0202), mouse(20, 0x020B, 2u << 16), mouse(30, 0x020C, 2u << 16), mouse(40, 0x020B, 1u << 16)},
         "1:1:down:0 | 1:1:up:0 | 1:16:down:0 | 1:16:up:0 | 1:8:down:0 sel 4"},
        {"the click on the stop button is not recorded", Mode::NoDelay, Place::Append, {},
         {mouse(0, 0x0204), mouse(5, 0x0205), mouse(10, 0x0201, 0, true), mouse(20, 0x0202, 0, true)}, "1:2:down:0 | 1:2:up:0 sel 1"},
        {"a real delay beyond 65535 is held", Mode::RealTime, Place::Append, {}, {press(0, kA), release(100000, kA)},
         "10:4:down:65535 | 10:4:up:0 sel 1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(record(c.mode, c.place, c.before, c.inputs)), c.want) << c.what;
}

TEST(MacroRecorder, NothingIsAddedToSixtyRows)
{
    MacroRows full;
    full.events.assign(kMaxEventsPerMacro, ev(10, 4, "down", 0));
    full.selected = 3;
    for (Place p : {Place::Append, Place::Before, Place::After, Place::Replace}) {
        const MacroRows after = record(Mode::NoDelay, p, full, {press(0, kB)});
        EXPECT_EQ(after.events.size(), size_t(kMaxEventsPerMacro));
        EXPECT_EQ(after.events[3].button, 4) << "not even replaced";
    }
}

TEST(MacroRecorder, ANewRecordingForgetsTheKeyHeldAtTheLastStop)
{
    MacroRecorder r;
    MacroRows rows;
    r.start(Mode::NoDelay, Place::Append, 0, 0);
    r.keyEvent(rows, true, kA, false, 0);
    r.stop();
    EXPECT_FALSE(r.keyEvent(rows, false, kA, false, 10)) << "stopped: nothing recorded";
    r.start(Mode::NoDelay, Place::Append, 0, 20);
    EXPECT_TRUE(r.keyEvent(rows, true, kA, false, 30)) << "the first press of the next recording counts";
}

TEST(MacroEvents, NamesOfEveryKind)
{
    EXPECT_EQ(macroEventName(ev(10, 0x04, "down", 0)), "keyboard_key_A");
    EXPECT_EQ(macroEventName(ev(9, 0x20, "down", 0)), "keyboard_key_RShift");
    EXPECT_EQ(macroEventName(ev(1, 0x08, "up", 0)), "mouse_key_back");
    EXPECT_EQ(macroEventName(ev(4, 10, "down", 0)), "mouse_move_to_left_text");
    EXPECT_EQ(macroEventName(ev(5, 10, "up", 0)), "mouse_move_to_down_text");
    EXPECT_EQ(macroEventName(ev(2, 0, "up", 0)), "");
}

} // namespace
} // namespace q9::editors

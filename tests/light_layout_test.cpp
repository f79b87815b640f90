// Which lighting controls each device kind and effect leave usable, row by row as the editor's
// table gives them.
#include "editors/LightLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace q9::editors {
namespace {

// Enabled controls as letters: M multi-colour, C colour, P palette, B brightness, S speed,
// D direction; '+' when the same-mode button shows (two or more devices connected).
std::string letters(const LightLayout& l)
{
    std::string s;
    if (l.multi) s += 'M';
    if (l.colour) s += 'C';
    if (l.palette) s += 'P';
    if (l.bright) s += 'B';
    if (l.speed) s += 'S';
    if (l.dir) s += 'D';
    if (l.sameMode) s += '+';
    return s;
}

TEST(LightLayoutTest, EveryKindAndEffect)
{
    struct Case {
        int kind;
        std::initializer_list<int> modes;
        const char* enabled;
    };
    const Case cases[] = {
        // mouse
        {2, {0}, "CPB+"},
        {2, {1, 7, 10}, "MCPBS+"},
        {2, {2, 4}, "MCPBSD"},
        {2, {3}, "BS+"},
        {2, {5, 8}, "BS"},
        {2, {6}, "+"},
        {2, {9, 11, 12, 255}, ""},
        // mouse pad and headset
        {3, {0}, "MCPBSD"},
        {7, {0}, "MCPBSD"},
        {3, {1}, "BS+"},
        {7, {2, 4}, "MCPBS+"},
        {3, {3}, "CPB+"},
        {7, {8}, "+"},
        {3, {5, 6, 7, 9}, ""},
        // keyboard
        {1, {1, 2, 3, 24, 21}, "MCPBSD"},
        {1, {4}, "BS+"},
        {1, {5, 23}, "MCPBS+"},
        {1, {6}, "MCPB+"},
        {1, {7, 8, 9, 10, 13, 14, 15, 22, 25}, "MCPBS"},
        {1, {16}, "MCPB"},
        {1, {11, 26, 17, 27}, "BS"},
        {1, {12}, "BSD"},
        {1, {18}, "BD"},
        {1, {20}, "CPB"},
        {1, {28}, "+"},
        {1, {29}, "MCPBD"},
        {1, {30}, "B"},
        {1, {0, 19, 31}, ""},
        // a kind without a table
        {4, {0, 1, 2}, ""},
    };
    for (const Case& c : cases)
        for (int mode : c.modes) {
            SCOPED_TRACE(testing::Message() << "kind " << c.kind << " mode " << mode);
            EXPECT_EQ(letters(lightModeLayout(c.kind, mode, true)), c.enabled);
            const std::string alone = letters(lightModeLayout(c.kind, mode, false));
            EXPECT_EQ(alone.find('+'), std::string::npos); // one device: never the same-mode button
        }
}

TEST(LightLayoutTest, KeyboardExtras)
{
    struct Case {
        int mode;
        bool speedShown, custom, secondMode, audioMode, colourLayout;
        int page;
        std::string left;
    };
    const Case cases[] = {
        {1, true, false, false, false, true, 0, "light_set_right_to_left_text"},
        {3, true, false, false, false, true, 0, "light_set_clockwise_text"},
        {4, true, false, false, false, false, 0, "light_set_right_to_left_text"},
        {12, true, false, false, false, true, 0, "light_set_down_to_up_text"},
        {17, false, false, true, false, false, 0, "light_set_right_to_left_text"},
        {18, true, false, false, false, false, 0, "light_set_outside_to_inside_text"},
        {20, false, true, false, false, true, 0, "light_set_right_to_left_text"},
        {21, true, false, false, false, true, 0, "light_set_up_to_down_text"},
        {29, false, false, false, true, true, 1, "light_set_right_to_left_text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const LightLayout l = lightModeLayout(1, c.mode, false);
        EXPECT_EQ(l.speedShown, c.speedShown);
        EXPECT_EQ(l.customShown, c.custom);
        EXPECT_EQ(l.secondModeShown, c.secondMode);
        EXPECT_EQ(l.audioModeShown, c.audioMode);
        EXPECT_EQ(l.colourLayoutEnabled, c.colourLayout);
        EXPECT_EQ(l.colourPage, c.page);
        EXPECT_EQ(l.fxLeft, c.left);
    }
}

} // namespace
} // namespace q9::editors

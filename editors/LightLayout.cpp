#include "editors/LightLayout.h"

#include <initializer_list>

namespace q9::editors {
namespace {

bool in(int mode, std::initializer_list<int> modes)
{
    for (int m : modes)
        if (m == mode)
            return true;
    return false;
}

// Sets the seven enabled states from a row "E E – …" and the same-mode column.
void row(LightLayout& l, bool multi, bool colour, bool palette, bool bright, bool speed, bool dir, bool same)
{
    l.multi = multi;
    l.colour = colour;
    l.palette = palette;
    l.bright = bright;
    l.speed = speed;
    l.dir = dir;
    l.sameMode = same;
}

void mouse(LightLayout& l, int m)
{
    if (m == 0)
        row(l, false, true, true, true, false, false, true);
    else if (in(m, {1, 7, 10}))
        row(l, true, true, true, true, true, false, true);
    else if (in(m, {2, 4}))
        row(l, true, true, true, true, true, true, false);
    else if (m == 3)
        row(l, false, false, false, true, true, false, true);
    else if (in(m, {5, 8}))
        row(l, false, false, false, true, true, false, false);
    else if (m == 6)
        row(l, false, false, false, false, false, false, true);
}

void padOrHeadset(LightLayout& l, int m)
{
    if (m == 0)
        row(l, true, true, true, true, true, true, false);
    else if (m == 1)
        row(l, false, false, false, true, true, false, true);
    else if (in(m, {2, 4}))
        row(l, true, true, true, true, true, false, true);
    else if (m == 3)
        row(l, false, true, true, true, false, false, true);
    else if (m == 8)
        row(l, false, false, false, false, false, false, true);
}

void captions(LightLayout& l, const char* left, const char* right)
{
    l.fxLeft = left;
    l.fxRight = right;
}

void keyboard(LightLayout& l, int m)
{
    if (in(m, {1, 2}))
        row(l, true, true, true, true, true, true, false);
    else if (in(m, {3, 24})) {
        row(l, true, true, true, true, true, true, false);
        captions(l, "light_set_clockwise_text", "light_set_anticlockwise_text");
    } else if (m == 4) {
        row(l, false, false, false, true, true, false, true);
        l.colourLayoutEnabled = false;
    } else if (in(m, {5, 23}))
        row(l, true, true, true, true, true, false, true);
    else if (m == 6)
        row(l, true, true, true, true, false, false, true);
    else if (in(m, {7, 8, 9, 10, 13, 14, 15, 22, 25}))
        row(l, true, true, true, true, true, false, false);
    else if (m == 16)
        row(l, true, true, true, true, false, false, false);
    else if (in(m, {11, 26})) {
        row(l, false, false, false, true, true, false, false);
        l.colourLayoutEnabled = false;
    } else if (m == 12) {
        row(l, false, false, false, true, true, true, false);
        captions(l, "light_set_down_to_up_text", "light_set_up_to_down_text");
    } else if (m == 17) {
        row(l, false, false, false, true, true, false, false);
        l.speedShown = false;
        l.secondModeShown = true;
        l.colourLayoutEnabled = false;
    } else if (m == 18) {
        row(l, false, false, false, true, false, true, false);
        l.colourLayoutEnabled = false;
        captions(l, "light_set_outside_to_inside_text", "light_set_inside_to_outside_text");
    } else if (m == 20) {
        row(l, false, true, true, true, false, false, false);
        l.customShown = true;
        l.speedShown = false;
    } else if (m == 21) {
        row(l, true, true, true, true, true, true, false);
        captions(l, "light_set_up_to_down_text", "light_set_down_to_up_text");
    } else if (m == 27)
        row(l, false, false, false, true, true, false, false);
    else if (m == 28)
        row(l, false, false, false, false, false, false, true);
    else if (m == 29) {
        row(l, true, true, true, true, false, true, false);
        l.speedShown = false;
        l.audioModeShown = true;
        l.colourPage = 1;
    } else if (m == 30) {
        row(l, false, false, false, true, false, false, false);
        l.colourLayoutEnabled = false;
    }
}

} // namespace

LightLayout lightModeLayout(int kind, int mode, bool sameAllowed)
{
    // Kinds without a table of their own, and modes no row names, leave only the effect list.
    LightLayout l;
    if (kind == 2)
        mouse(l, mode);
    else if (kind == 3 || kind == 7)
        padOrHeadset(l, mode);
    else if (kind == 1)
        keyboard(l, mode);
    l.sameMode = l.sameMode && sameAllowed;
    return l;
}

namespace {
// Rows: the shared effects 0-4; columns: keyboard, mouse, mouse pad and headset.
constexpr int kCommon[5][3] = {{5, 1, 2}, {6, 0, 3}, {23, 10, 4}, {4, 3, 1}, {28, 6, 8}};

int column(int kind)
{
    switch (kind) {
    case 1: return 0;
    case 2: return 1;
    case 3:
    case 7: return 2;
    default: return -1;
    }
}
} // namespace

int commonEffect(int kind, int mode)
{
    const int c = column(kind);
    for (int i = 0; c >= 0 && i < 5; ++i)
        if (kCommon[i][c] == mode)
            return i;
    return -1;
}

int effectOfCommon(int kind, int common)
{
    const int c = column(kind);
    return c < 0 || common < 0 || common >= 5 ? -1 : kCommon[common][c];
}

} // namespace q9::editors

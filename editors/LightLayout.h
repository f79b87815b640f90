#pragma once
// Which controls of the lighting editor a device kind and effect leave usable: the editor's main
// logic, kept apart from the controls so that it can be read (and tested) as the table it is.
namespace q9::editors {

struct LightLayout {
    // Enabled or not.
    bool effect = true, multi = false, colour = false, palette = false, bright = false, speed = false, dir = false;
    // Shown after this effect when more than one device is connected.
    bool sameMode = false;
    // Keyboard extras.
    bool speedShown = true;
    bool customShown = false;
    bool secondModeShown = false;
    bool audioModeShown = false;
    bool colourLayoutEnabled = true;
    int colourPage = 0;
    // Text ids of the two direction options ("FXL", "FXR").
    const char* fxLeft = "light_set_right_to_left_text";
    const char* fxRight = "light_set_left_to_right_text";
};

// kind: 1 keyboard, 2 mouse, 3 mouse pad, 7 headset. sameAllowed: more than one device connected.
LightLayout lightModeLayout(int kind, int mode, bool sameAllowed);

// "Same mode": the effect number all kinds share for a kind's effect (-1 when it has none), and
// each kind's own effect for a shared number (-1 for an unknown kind or number).
int commonEffect(int kind, int mode);
int effectOfCommon(int kind, int common);

} // namespace q9::editors

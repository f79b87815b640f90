#!/usr/bin/env python3
"""Writes the default profiles, the default light file and the gun templates into DefaultData/.

The files are data of this project; DefaultData/README.md says which values are our own choice.
Edit the tables here and run the script again rather than editing the JSON by hand.
"""
import json
import os
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "DefaultData")


def action(kind, p1=0, p2=0):
    """A key action as profiles store it."""
    return kind * 65536 + p1 * 256 + p2


def usage(u):
    """An ordinary keyboard key by its HID usage."""
    return action(0x20, 0, u)


def modifier(bit):
    return action(0x20, bit, 0)


def media(u):
    return action(0x30, u & 0xFF, u >> 8)


NONE = action(0x20, 0, 0)


def key_list(codes):
    return [{"Assignment": c, "DefaultAssignment": c} for c in codes]


def light_info(select, multi, rgb, fx=1):
    return {"SelectItem": select, "Light": 4, "Speed": 2, "Fx": fx, "MultiColor": multi,
            "Red": rgb[0], "Green": rgb[1], "Blue": rgb[2],
            "ZZCCLedMode": 0, "CustomGroup": 0, "OldLedmode": 0}


AUDIO_LIGHT = {"AudioMode": 0, "BkColorR": 0, "BkColorG": 0, "BkColorB": 0,
               "FgColorR": 255, "FgColorG": 0, "FgColorB": 0,
               "7ColorFlags": 1, "ColorTypeFlags": 1}


def zones(count):
    # Mode 1 gives a zone no behaviour of its own: it shows what the device's effect gives it.
    return [{"LEDREGMode": 1, "LEDBrightness": 4, "LEDSpeed": 2, "LEDDirection": 0,
             "LEDMultiColor": 0, "red": 255, "green": 0, "blue": 0} for _ in range(count)]


# The mouse's eleven keys with their factory actions, in picture order.
MOUSE_KEYS = [
    action(0x10, 0x01), action(0x10, 0x02), action(0x10, 0x04), action(0x10, 0x10), action(0x10, 0x08),
    action(0x13, 0x01), action(0x13, 0x02), action(0x13, 0x03), action(0xA0, 0x1B),
    action(0x16, 0x90, 0x01), action(0x14, 0x78, 0x02),
]

# DPI stages as sensor steps of the emulated mouse's sensor (0x3325, step 100, base 100):
# 400, 800, 1600, 2400, 3200, 4800, 7300 DPI; the first five enabled.
DPI_STEPS = [3, 7, 15, 23, 31, 47, 60]
DPI_COLOURS = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255), (255, 0, 255),
               (255, 255, 255)]


def mouse_section():
    stages = [{"StageActive": 1 if i < 5 else 0, "StageXY": 0, "StageDPIX": s, "StageDPIY": s,
               "StageColorR": c[0], "StageColorG": c[1], "StageColorB": c[2]}
              for i, (s, c) in enumerate(zip(DPI_STEPS, DPI_COLOURS))]
    return {
        "KeyList": key_list(MOUSE_KEYS),
        "LightInfo": light_info(3, 0, (255, 0, 0)),  # spectrum
        "AudioLightInfo": AUDIO_LIGHT,
        "LightList": zones(15),
        "DPIStages": {"StageActive": 1, "StageDPIs": stages},
        "SystemStages": {"DoubleClickTime": 500, "MouseSpeed": 10, "PointerPrecision": 1,
                         "ScorllPage": 0, "WheelScorlllinse": 3},
        "ReportStages": {"StageActive": 3, "SilentAltitude": 0, "Linear_Calibration": 0,
                         "Ripple": 0, "ble_sleep1": 2, "ble_sleep2": 5, "device_sleep1": 2,
                         "device_sleep2": 5, "key_debounce_time": 2},
    }


def keyboard_keys():
    """170 picture keys: six rows of 21 positions (0-125), then positions without a key."""
    k = [NONE] * 170

    def put(start, codes):
        for i, c in enumerate(codes):
            if c is not None:
                k[start + i] = c

    letters = lambda s: [usage(0x04 + ord(ch) - ord("A")) for ch in s]
    # Row 0: Esc, F1-F12, Print Screen, Scroll Lock, Pause, -, Mute, Volume down/up, Play/Pause.
    put(0, [usage(0x29)] + [usage(0x3A + i) for i in range(12)] + [usage(0x46), usage(0x47), usage(0x48)])
    put(17, [media(0x00E2), media(0x00EA), media(0x00E9), media(0x00CD)])
    # Row 1: `, 1-0, -, =, Backspace, Insert, Home, Page Up, Num Lock, Num /, Num *, Num -.
    put(21, [usage(0x35)] + [usage(0x1E + i) for i in range(10)]
        + [usage(u) for u in (0x2D, 0x2E, 0x2A, 0x49, 0x4A, 0x4B, 0x53, 0x54, 0x55, 0x56)])
    # Row 2: Tab, Q-P, [, ], \, Delete, End, Page Down, Num 7-9, Num +.
    put(42, [usage(0x2B)] + letters("QWERTYUIOP")
        + [usage(u) for u in (0x2F, 0x30, 0x31, 0x4C, 0x4D, 0x4E, 0x5F, 0x60, 0x61, 0x57)])
    # Row 3: Caps Lock, A-L, ;, ', Enter, three gaps, Num 4-6.
    put(63, [usage(0x39)] + letters("ASDFGHJKL") + [usage(0x33), usage(0x34), usage(0x28)])
    put(79, [usage(0x5C), usage(0x5D), usage(0x5E)])
    # Row 4: Left Shift, Z-M, comma, period, /, Right Shift, gap, Up, gap, Num 1-3, the ISO key
    # left of Z, Num Enter.
    put(84, [modifier(0x02)] + letters("ZXCVBNM") + [usage(0x36), usage(0x37), usage(0x38), modifier(0x20)])
    put(97, [usage(0x52)])
    put(99, [usage(0x59), usage(0x5A), usage(0x5B), usage(0x64), usage(0x58)])
    # Row 5: Left Ctrl, Left Win, Left Alt, Space, Right Alt, FN, App, Right Ctrl, Left, Down,
    # Right, Num 0, Num ., GM; M1-M5 in the column left of the main block.
    put(105, [modifier(0x01), modifier(0x08), modifier(0x04), usage(0x2C), modifier(0x40),
              action(0xA0, 0x01), usage(0x65), modifier(0x10), usage(0x50), usage(0x51), usage(0x4F),
              usage(0x62), usage(0x63), action(0xA0, 0x1B)])
    put(120, [action(0xD0, 0xA2, m) for m in range(1, 6)])
    return k


# Five custom colour groups, one colour each; alpha is the brightness level (0-4).
KEY_GROUP_COLOURS = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (255, 128, 0)]


def keyboard_section():
    return {
        "KeyList": key_list(keyboard_keys()),
        "LightInfo": light_info(1, 1, (255, 0, 0)),  # column wave, multi-colour
        "AudioLightInfo": AUDIO_LIGHT,
        "LightList": zones(170),
        "SystemStages": {"Repeat": 31, "RepeatDelay": 1, "Key6Flag": 0, "PollingRate": 3,
                         "WFlag": 0, "WinFlag": 0},
        "CustomLightMode": {
            "CustomLightModeGroupIndex": 0,
            "LightColorInfo": [[{"Red": c[0], "Green": c[1], "Blue": c[2], "Alpha": 4}] * 170
                               for c in KEY_GROUP_COLOURS],
        },
    }


def mousepad_section():
    return {
        "KeyList": [],
        "LightInfo": light_info(0, 1, (255, 0, 0)),  # wave, multi-colour
        "AudioLightInfo": AUDIO_LIGHT,
        "LightList": zones(15),
    }


EQ_PRESETS = [
    [7, 11, 2, -3, -1, 4, 9, 12, 9, 5],
    [7, 11, 6, -3, -11, -1, 6, 13, 6, 13],
    [10, 4, 0, -3, -4, -3, -2, -1, 0, 0],
    [2, 1, -2, -3, -5, -7, 0, 4, 9, 8],
    [0] * 10,
    [7, 14, -13, -6, -1, 8, 13, 7, 2, 6],
    [14, 10, 4, 0, -4, -3, -1, 1, 2, 3],
    [2, 1, -2, -3, -5, -1, 7, 11, 15, 13],
    [8, 2, -4, -8, 1, 3, 8, 11, 14, 16],
    [-3, 4, 10, 0, -11, 3, 9, 13, 6, 0],
    [18, 14, 8, 2, -3, -6, -1, 2, 5, 6],
    [2, 1, -2, -4, -8, 4, 12, 16, 18, 15],
]


def headset_section():
    return {
        "KeyList": [],
        "LightInfo": light_info(1, 0, (255, 0, 0)),  # spectrum
        "AudioLightInfo": AUDIO_LIGHT,
        "LightList": zones(13),
        "SystemSetStages": {"MagicEnable": 0, "MagicType": 1, "EqType": 5, "CustomEqSeletIndex": 0,
                            "MicInSelect": 1, "MicInValue": 80, "MicMoniterSelect": 0,
                            "MicMoniterValue": 50},
        # Indexed by preset type 1-12; element 0 is unused.
        "EQHzValueInfo": [None] + [[{"value": v} for v in preset] for preset in EQ_PRESETS],
        "CustomEQNameInfo": [],
        "CustomEQHzValueInfo": [],
    }


def modes(names, hidden=()):
    # The code of a mode is its row: the mouse sends the row itself and the keyboard's audio and
    # host colour modes are the codes 0x1D and 0x1E.
    return [{"LightName": "light_mode_" + n, "visible": i not in hidden, "value": i}
            for i, n in enumerate(names)]


KEYBOARD_MODES = [
    "none", "wave", "fine_wave", "snake", "spectrum", "breathing", "static", "reactive", "ripple",
    "ripple_line", "stars", "rainbow_keys", "row_wave", "fountain", "show", "twinkle",
    "ripple_sides", "preset_colour", "radial_wave", "reserved", "custom_colours", "sweep",
    "slow_twinkle", "blink", "sequence", "reactive_neighbours", "breathing_four", "blink_four",
    "off", "audio", "host_colour",
]
MOUSE_MODES = ["static", "breathing", "wave", "spectrum", "running", "breathing_four", "off",
               "flash", "blink_four", "custom", "blink"]
PAD_MODES = ["wave", "spectrum", "breathing", "static", "blink", "custom", "running", "running_columns",
             "off"]


def areas(names):
    return [{"LightName": "light_area_" + n} for n in names]


def default_light():
    return {
        # Indexed by light index: keyboard, mouse, mouse pad, headset.
        "DefaultLightName": [
            modes(KEYBOARD_MODES, hidden=(0, 19, 30)),
            modes(MOUSE_MODES, hidden=(9,)),
            modes(PAD_MODES, hidden=(5,)),
            modes(PAD_MODES, hidden=(5,)),
        ],
        "AreaLightName": [
            areas(["keys"]),
            areas(["left_strip", "right_strip", "logo"]),
            areas(["logo", "top_edge", "bottom_edge"]),
            areas(["left_ear", "right_ear"]),
        ],
    }


# The colour picker's presets (the same colours as its layout) and twenty empty favourite slots.
PRESET_COLOURS = ["FFFF0000", "FFFF7F00", "FFFFFF00", "FF7FFF00", "FF00FF00", "FF00FF7F", "FF00FFFF",
                  "FF007FFF", "FF0000FF", "FF7F00FF", "FFFF00FF", "FFFF007F", "FFFFFFFF", "FFFF8080",
                  "FFFFD080", "FF80FF80", "FF80FFFF", "FF8080FF", "FFD080FF", "FF404040"]


def colour_options():
    return {"coloroptioninfo": {
        "palletDialogcoloroption": [{"color": c} for c in PRESET_COLOURS],
        "palletDialogcoloroption_selectitem": 4,
        "palletDialogcollectcoloroption": [{"color": "FFFFFFFF", "UserData": ""} for _ in range(20)],
        "palletDialogcollectcoloroption_selectitem": 0,
    }}


# The gun templates: 30 bullets of six events each (press, release, horizontal and vertical
# movement, two zero movements). Each gun pulls the mouse down by a step that grows over the first
# shots and settles, drifts a few pixels sideways, and fires at its own rate.
GUN_BULLETS = 30


def recoil(b, start, peak, settle, rise, fall):
    """Downward pull of bullet b: start to peak over `rise` shots, then to settle over `fall`."""
    if b < rise:
        return round(start + (peak - start) * b / (rise - 1))
    if b < rise + fall:
        return round(peak + (settle - peak) * (b - rise + 1) / fall)
    return settle


# Per gun: delay after each shot (ms), the downward pull, the sideways drift (negative: left).
GUNS = [
    # A rifle: steady rate, drifts right, then back to the left.
    (lambda b: 90, lambda b: recoil(b, 2, 9, 5, 8, 6),
     lambda b: 0 if b < 5 else 2 if b < 10 else 1 if b < 15 else -1 if b < 22 else -2),
    # A fast light gun: small pull, shaking one pixel to either side.
    (lambda b: 65, lambda b: recoil(b, 1, 6, 3, 6, 5),
     lambda b: 0 if b < 3 else (1 if b % 2 else -1)),
    # A heavy gun: strong pull, leaning to the left.
    (lambda b: 80, lambda b: recoil(b, 3, 12, 7, 10, 8),
     lambda b: 0 if b < 4 else -3 if b < 14 else -2 if b < 22 else -1),
    # A slow marksman's gun: large pull at once, a pixel to the right every third shot.
    (lambda b: 120 if b < 10 else 110, lambda b: recoil(b, 6, 14, 9, 4, 6),
     lambda b: 1 if b % 3 == 2 else 0),
]


def movement(down, distance, delay, kind):
    return {"Action": "down" if down else "up", "Button": distance, "Delay": delay, "Type": kind}


def bullet_events(x, y, delay):
    """One bullet; x < 0 moves left ("down"), y > 0 moves down ("up")."""
    left = x < 0
    return [
        {"Action": "down", "Button": 1, "Delay": 10, "Type": 1},
        {"Action": "up", "Button": 1, "Delay": 0, "Type": 1},
        movement(left, abs(x), 5, 4),
        movement(False, y, delay, 5),
        movement(left, 0, 0, 4),
        movement(False, 0, 0, 5),
    ]


def gun(g):
    delay, pull, drift = GUNS[g]
    events = []
    for b in range(GUN_BULLETS):
        events += bullet_events(drift(b), pull(b), delay(b))
    return {"Events": events}


def write(name, value):
    text = json.dumps(value, indent=3, sort_keys=True, separators=(",", " : "), ensure_ascii=True)
    with open(os.path.join(OUT, name), "w", newline="\r\n") as f:
        f.write(text + "\n\n")


def main():
    write("mouse.Json", {"Device": [mouse_section()]})
    write("keyboard.Json", {"Device": [keyboard_section()]})
    write("MousePad.Json", {"Device": [mousepad_section()]})
    write("HD.Json", {"Device": [headset_section()]})
    write("default_light.json", default_light())
    write("color_option_info.config", colour_options())
    for g in range(len(GUNS)):
        write("ShootData_%d.Shoot" % g, gun(g))
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The keyboard's picture and the tables that follow it, from one description of the board.

Writes skin/XML/DeviceXml/keyboardkeys.xml (the picture: a key button per key at its place) and
device/KeyboardLayout.cpp (the factory action of every picture key and the layout tables of the
light effects). Run it again after changing the board below; both files say they are generated.

Picture keys are numbered row by row, 21 to a row (row 0: 0-20, row 1: 21-41, ...); the macro keys
G1-G5 on the left are 120-124; the numbers 125-169 have no key.
"""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

U = 17          # pixels per key unit in the picture
GAP = 2         # pixels between keys
LEFT = 1.25     # units taken by the macro column and its gap

# (picture number, label, action, x in units from the main block's left, width in units)
# action: ('key', HID usage) | ('fn',) | ('macro', n) | ('media', consumer usage)
def k(n, label, usage, x, w=1.0):
    return (n, label, ('key', usage), x, w)

ROWS = [
    # row 0: Esc, F1-F12, PrtSc ScrLk Pause, media
    [k(0, 'Esc', 0x29, 0), k(1, 'F1', 0x3A, 2), k(2, 'F2', 0x3B, 3), k(3, 'F3', 0x3C, 4), k(4, 'F4', 0x3D, 5),
     k(5, 'F5', 0x3E, 6.5), k(6, 'F6', 0x3F, 7.5), k(7, 'F7', 0x40, 8.5), k(8, 'F8', 0x41, 9.5),
     k(9, 'F9', 0x42, 11), k(10, 'F10', 0x43, 12), k(11, 'F11', 0x44, 13), k(12, 'F12', 0x45, 14),
     k(13, 'PrtSc', 0x46, 15.25), k(14, 'ScrLk', 0x47, 16.25), k(15, 'Pause', 0x48, 17.25),
     (17, 'Mute', ('media', 0xE2), 18.5, 1.0), (18, 'Vol-', ('media', 0xEA), 19.5, 1.0),
     (19, 'Vol+', ('media', 0xE9), 20.5, 1.0), (20, '>||', ('media', 0xCD), 21.5, 1.0)],
    # row 1
    [k(21, '`', 0x35, 0), k(22, '1', 0x1E, 1), k(23, '2', 0x1F, 2), k(24, '3', 0x20, 3), k(25, '4', 0x21, 4),
     k(26, '5', 0x22, 5), k(27, '6', 0x23, 6), k(28, '7', 0x24, 7), k(29, '8', 0x25, 8), k(30, '9', 0x26, 9),
     k(31, '0', 0x27, 10), k(32, '-', 0x2D, 11), k(33, '=', 0x2E, 12), k(34, 'Bksp', 0x2A, 13, 2),
     k(35, 'Ins', 0x49, 15.25), k(36, 'Home', 0x4A, 16.25), k(37, 'PgUp', 0x4B, 17.25),
     k(38, 'Num', 0x53, 18.5), k(39, '/', 0x54, 19.5), k(40, '*', 0x55, 20.5), k(41, '-', 0x56, 21.5)],
    # row 2
    [k(42, 'Tab', 0x2B, 0, 1.5), k(43, 'Q', 0x14, 1.5), k(44, 'W', 0x1A, 2.5), k(45, 'E', 0x08, 3.5),
     k(46, 'R', 0x15, 4.5), k(47, 'T', 0x17, 5.5), k(48, 'Y', 0x1C, 6.5), k(49, 'U', 0x18, 7.5),
     k(50, 'I', 0x0C, 8.5), k(51, 'O', 0x12, 9.5), k(52, 'P', 0x13, 10.5), k(53, '[', 0x2F, 11.5),
     k(54, ']', 0x30, 12.5), k(55, '\\', 0x31, 13.5, 1.5), k(56, 'Del', 0x4C, 15.25), k(57, 'End', 0x4D, 16.25),
     k(58, 'PgDn', 0x4E, 17.25), k(59, '7', 0x5F, 18.5), k(60, '8', 0x60, 19.5), k(61, '9', 0x61, 20.5),
     k(62, '+', 0x57, 21.5)],
    # row 3
    [k(63, 'Caps', 0x39, 0, 1.75), k(64, 'A', 0x04, 1.75), k(65, 'S', 0x16, 2.75), k(66, 'D', 0x07, 3.75),
     k(67, 'F', 0x09, 4.75), k(68, 'G', 0x0A, 5.75), k(69, 'H', 0x0B, 6.75), k(70, 'J', 0x0D, 7.75),
     k(71, 'K', 0x0E, 8.75), k(72, 'L', 0x0F, 9.75), k(73, ';', 0x33, 10.75), k(74, "'", 0x34, 11.75),
     k(75, 'Enter', 0x28, 12.75, 2.25), k(79, '4', 0x5C, 18.5), k(80, '5', 0x5D, 19.5), k(81, '6', 0x5E, 20.5)],
    # row 4: the ISO key (102) sits between left Shift and Z
    [k(84, 'Shift', 0xE1, 0, 1.25), k(102, '\\', 0x64, 1.25), k(85, 'Z', 0x1D, 2.25), k(86, 'X', 0x1B, 3.25),
     k(87, 'C', 0x06, 4.25), k(88, 'V', 0x19, 5.25), k(89, 'B', 0x05, 6.25), k(90, 'N', 0x11, 7.25),
     k(91, 'M', 0x10, 8.25), k(92, ',', 0x36, 9.25), k(93, '.', 0x37, 10.25), k(94, '/', 0x38, 11.25),
     k(95, 'Shift', 0xE5, 12.25, 2.75), k(97, 'Up', 0x52, 16.25), k(99, '1', 0x59, 18.5), k(100, '2', 0x5A, 19.5),
     k(101, '3', 0x5B, 20.5)],
    # row 5
    [k(105, 'Ctrl', 0xE0, 0, 1.25), k(106, 'Win', 0xE3, 1.25, 1.25), k(107, 'Alt', 0xE2, 2.5, 1.25),
     k(108, '', 0x2C, 3.75, 6.25), k(109, 'Alt', 0xE6, 10, 1.25), (110, 'Fn', ('fn',), 11.25, 1.25),
     k(111, 'Menu', 0x65, 12.5, 1.25), k(112, 'Ctrl', 0xE4, 13.75, 1.25), k(113, 'Left', 0x50, 15.25),
     k(114, 'Down', 0x51, 16.25), k(115, 'Right', 0x4F, 17.25), k(116, '0', 0x62, 18.5, 2), k(117, '.', 0x63, 20.5)],
]
# Tall keys: numpad + and Enter span two rows.
TALL = {62: 2, 103: 2}
# (number, label, action, x, width, row): numpad Enter in rows 4-5 of the last column; the game-mode
# key above the macro column.
EXTRA = [(103, 'Ent', ('key', 0x58), 21.5, 1.0, 4), (118, 'GM', ('fn',), -LEFT, 1.0, 0)]
MACROS = [(120 + i, 'G%d' % (i + 1), ('macro', i + 1), i + 1) for i in range(5)]  # rows 1-5


def default_codes():
    """The factory action of each picture key, as the default profile holds it."""
    loader = importlib.util.spec_from_file_location('defaults', os.path.join(HERE, 'make-default-data.py'))
    defaults = importlib.util.module_from_spec(loader)
    loader.loader.exec_module(defaults)
    return [((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF) for c in defaults.keyboard_keys()]


def action_bytes(action):
    kind = action[0]
    if kind == 'key':
        return (0x20, 0x00, action[1])
    if kind == 'fn':
        return (0xA0, 0x01, 0x00)
    if kind == 'macro':
        return (0xD0, 0xA2, action[1])
    if kind == 'media':
        return (0x30, action[1], 0x00)
    raise ValueError(kind)


def all_keys():
    """(number, label, action, x units incl. macro column, row, width, height in rows)"""
    keys = []
    for row, items in enumerate(ROWS):
        for n, label, action, x, w in items:
            keys.append((n, label, action, x + LEFT, row, w, TALL.get(n, 1)))
    for n, label, action, x, w, row in EXTRA:
        keys.append((n, label, action, x + LEFT, row, w, TALL.get(n, 1)))
    for n, label, action, row in MACROS:
        keys.append((n, label, action, 0.0, row, 1.0, 1))
    keys.sort()
    numbers = [key[0] for key in keys]
    assert len(numbers) == len(set(numbers)), 'a picture number is used twice'
    return keys


def y_of(row):
    return row * U + (U // 2 if row > 0 else 0)   # the function row stands apart


def write_picture(keys):
    width = int((22.5 + LEFT) * U) + GAP
    height = y_of(5) + U + GAP
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<!-- Generated by tools/make-keyboard-layout.py: the keyboard picture, a key button per key with its',
             '     light layer. Keys are "key_"n, the picture number of the key. -->',
             '<Window>',
             '  <Style name="kbkey" cursor="hand" borderround="3" bkcolor="#FF1E222A" bordercolor="#FF2E333E" bordersize="1"',
             '         textcolor="#FFC9CED8" font="5" align="center" lightimage="images/keyboard/keylight.svg"/>',
             '  <SelectPanel name="device_key_light" width="%d" height="%d" cursor="cross">' % (width, height)]
    for n, label, action, x, row, w, h in keys:
        px = int(round(x * U))
        py = y_of(row)
        pw = int(round(w * U)) - GAP
        ph = h * U - GAP + (U // 2 if (h > 1 and row == 0) else 0)
        text = label.replace('&', '&amp;').replace('<', '&lt;').replace('>', '&gt;').replace('"', '&quot;')
        lines.append('    <DeviceKeyButton name="key_%d" style="kbkey" float="true" pos="%d,%d,%d,%d" text="%s"/>'
                     % (n, px, py, px + pw, py + ph, text))
    lines.append('  </SelectPanel>')
    lines.append('</Window>')
    path = os.path.join(ROOT, 'skin', 'XML', 'DeviceXml', 'keyboardkeys.xml')
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines) + '\n')


def column_of(n, x):
    """Column 0 is the macro column; the board's keys fall in the column of their left edge."""
    if x < LEFT:
        return 0
    return min(22, 1 + int(x - LEFT + 0.001))


def column_table(keys):
    """23 columns x 6 rows: column 0 the macro keys, then the board's keys by their left edge."""
    table = [[255] * 6 for _ in range(23)]
    for n, label, action, x, row, w, h in keys:
        if n >= 120:
            table[0][row] = n
            continue
        col = column_of(n, x)
        if table[col][row] == 255:
            table[col][row] = n
    return table


def write_tables(keys):
    codes = default_codes()
    assert len(codes) == 170
    on_picture = {key[0] for key in keys}
    for n, c in enumerate(codes):
        assert (c != (0x20, 0, 0)) == (n in on_picture), 'picture and default key list differ at key %d' % n
    cols = column_table(keys)
    out = ['// Generated by tools/make-keyboard-layout.py from its description of the board: do not edit.',
           '#include "device/KeyboardLayout.h"',
           '',
           'namespace q9::keyboard {',
           '',
           'const std::array<std::array<uint8_t, 3>, kPictureKeys>& factoryCodes()',
           '{',
           '    static const std::array<std::array<uint8_t, 3>, kPictureKeys> table{{']
    for i in range(0, 170, 6):
        out.append('        ' + ' '.join('{0x%02X, 0x%02X, 0x%02X},' % c for c in codes[i:i + 6]))
    out += ['    }};', '    return table;', '}', '',
            'const std::array<std::array<uint8_t, 6>, kColumns>& columnTable()', '{',
            '    static const std::array<std::array<uint8_t, 6>, kColumns> table{{']
    for c in cols:
        out.append('        {%s},' % ', '.join(str(v) for v in c))
    out += ['    }};', '    return table;', '}', '']
    # Rings around key 51 (O): the ring of a key is its distance from O's centre in key rows.
    centre = {key[0]: (key[3] + key[5] / 2.0, key[4] + key[6] / 2.0) for key in keys}
    cx, cy = centre[51]
    ring = [255] * 170
    for n, (x, y) in centre.items():
        ring[n] = min(11, int(round(max(abs(x - cx) / 1.6, abs(y - cy)))))
    # The path: row by row, right to left in even rows and back in odd ones, keys 0-125.
    path = []
    for row in range(6):
        in_row = sorted((key[3], key[0]) for key in keys if key[4] == row and key[0] < 126)
        path += [n for x, n in (reversed(in_row) if row % 2 == 0 else in_row)]
    # The sweep: every key left to right, row by row, then the numbers without a key.
    sweep = [key[0] for key in sorted(keys, key=lambda k: (k[4], k[3]))]
    sweep += [n for n in range(170) if n not in sweep]
    stars = [key[0] for key in keys if key[0] < 126]
    def array(name, ctype, values):
        out.append('const std::array<%s, %d>& %s()' % (ctype, len(values), name))
        out.append('{')
        out.append('    static const std::array<%s, %d> table{{' % (ctype, len(values)))
        for i in range(0, len(values), 20):
            out.append('        ' + ', '.join(str(v) for v in values[i:i + 20]) + ',')
        out.append('    }};')
        out.append('    return table;')
        out.append('}')
        out.append('')
    column = [255] * 170
    row_of = [255] * 170
    for n, label, action, x, row, w, h in keys:
        column[n] = column_of(n, x)
        row_of[n] = row
    array('columnOf', 'uint8_t', column)
    array('rowOf', 'uint8_t', row_of)
    array('ringOf', 'uint8_t', ring)
    array('pathTable', 'uint8_t', path)
    array('sweepTable', 'uint8_t', sweep)
    array('starKeys', 'uint8_t', stars)
    out += ['} // namespace q9::keyboard', '']
    with open(os.path.join(ROOT, 'device', 'KeyboardLayout.h'), 'w') as f:
        f.write(HEADER % {'path': len(path), 'stars': len(stars)})
    with open(os.path.join(ROOT, 'device', 'KeyboardLayout.cpp'), 'w') as f:
        f.write('\n'.join(out))


HEADER = '''#pragma once
// Generated by tools/make-keyboard-layout.py with the keyboard picture: do not edit.
// The picture's tables: the factory action of each picture key, by which the key is found in the
// keyboard's key block, and the layout tables of the light effects.
#include <array>
#include <cstdint>

namespace q9::keyboard {

constexpr int kPictureKeys = 170;
constexpr int kColumns = 23;
constexpr int kRings = 12;
constexpr uint8_t kNoKey = 255;

// (type, param1, param2) per picture key; (0x20, 0, 0) where the picture has no key.
const std::array<std::array<uint8_t, 3>, kPictureKeys>& factoryCodes();
// The six keys of each column, row 0 (the function row) first; 255 where there is none.
const std::array<std::array<uint8_t, 6>, kColumns>& columnTable();
// Per picture key its column (0-22) and row (0-5); 255 for no key.
const std::array<uint8_t, kPictureKeys>& columnOf();
const std::array<uint8_t, kPictureKeys>& rowOf();
// Per picture key its ring around the O key (0-11); 255 for no key.
const std::array<uint8_t, kPictureKeys>& ringOf();
// A path through the keys 0-125, row by row in alternating direction.
const std::array<uint8_t, %(path)d>& pathTable();
// Every picture number in the order of the sweep (keys first).
const std::array<uint8_t, kPictureKeys>& sweepTable();
// The keys the random stars light.
const std::array<uint8_t, %(stars)d>& starKeys();

} // namespace q9::keyboard
'''


if __name__ == '__main__':
    keys = all_keys()
    write_picture(keys)
    write_tables(keys)
    print('%d keys' % len(keys))

#include "platform/keyword.h"

#include <array>

namespace platform {

namespace {

// X key codes of the evdev keymap that have no scan code of their own number (code - 8) in the
// Windows report: the extended keys, Pause and Num Lock.
struct KeycodeScan
{
    quint8 keycode;
    quint16 scan;
};

constexpr KeycodeScan ExtendedKeys[] = {
    {77, 0x145},  // Num Lock: reported as the extended form of 0x45
    {104, 0x11C}, // keypad Enter
    {105, 0x11D}, // right Ctrl
    {106, 0x135}, // keypad /
    {107, 0x137}, // Print Screen
    {108, 0x138}, // right Alt
    {110, 0x147}, // Home
    {111, 0x148}, // Up
    {112, 0x149}, // Page Up
    {113, 0x14B}, // Left
    {114, 0x14D}, // Right
    {115, 0x14F}, // End
    {116, 0x150}, // Down
    {117, 0x151}, // Page Down
    {118, 0x152}, // Insert
    {119, 0x153}, // Delete
    {127, 0x045}, // Pause: the plain 0x45 that Num Lock gives up
    {133, 0x15B}, // left Windows key
    {134, 0x15C}, // right Windows key
    {135, 0x15D}, // menu key
};

constexpr std::array<quint16, 256> buildKeycodeTable()
{
    std::array<quint16, 256> table{};
    // The base block: Linux input codes 1 to 88 are the set-1 scan codes themselves (Esc to F12),
    // except 84 and 85, which a standard keyboard does not have.
    for (int code = 1; code <= 88; ++code) {
        if (code != 84 && code != 85)
            table[code + 8] = quint16(code);
    }
    for (const KeycodeScan& key : ExtendedKeys)
        table[key.keycode] = key.scan;
    return table;
}

constexpr std::array<quint16, 256> KeycodeTable = buildKeycodeTable();

} // namespace

quint16 scanForKeycode(quint8 keycode)
{
    return KeycodeTable[keycode];
}

quint16 keyWordForKey(quint8 keycode, bool press, bool repeat, bool altHeld)
{
    const quint16 scan = scanForKeycode(keycode);
    if (scan == 0)
        return 0;
    quint16 word = scan;
    if (press) {
        // An Alt key going down reports Alt held by itself; any key pressed while Alt is down too.
        if (altHeld || isAltKeycode(keycode))
            word |= KeyWordAltHeld;
        if (repeat)
            word |= KeyWordRepeat;
    } else {
        // A release always says the key was down before. The Alt key's own release reports Alt as
        // no longer held.
        word |= KeyWordRelease | KeyWordRepeat;
        if (altHeld && !isAltKeycode(keycode))
            word |= KeyWordAltHeld;
    }
    return word;
}

} // namespace platform

#ifndef TAVREL_PLATFORM_KEYWORD_H
#define TAVREL_PLATFORM_KEYWORD_H

#include <QtGlobal>

namespace platform {

// One physical key event as a 16-bit key word, laid out as the high half of a Windows
// keyboard-message flag word, the form the key counting is defined on:
//
//   bits 0-7   scan code (scan code set 1)
//   bit  8     extended key                 (KeyWordExtended, 0x100)
//   bit  13    Alt is held                  (KeyWordAltHeld,  0x2000)
//   bit  14    key was already down          (KeyWordRepeat,   0x4000; also set on every release)
//   bit  15    key is being released         (KeyWordRelease,  0x8000)
enum KeyWordBits : quint16 {
    KeyWordExtended = 0x0100,
    KeyWordAltHeld = 0x2000,
    KeyWordRepeat = 0x4000,
    KeyWordRelease = 0x8000,
};

// Scan code and extended bit for an X key code of the evdev keymap (Linux input code + 8), as the
// Windows keyboard would report the same physical key; 0 for keys without a set-1 scan code
// (multimedia and vendor keys), which the counting never needs.
quint16 scanForKeycode(quint8 keycode);

// The whole key word of one key event: `keycode` as above; `press` false for a release;
// `repeat` for a press of a key that is already down; `altHeld` when an Alt key is down at the
// event. An Alt key going down carries the Alt bit itself (0x2038, 0x2138); a release always
// carries the repeat bit (0xC137 for Print Screen). 0 when the key has no scan code.
quint16 keyWordForKey(quint8 keycode, bool press, bool repeat, bool altHeld);

// X key codes of the two Alt keys in the evdev keymap.
constexpr quint8 LeftAltKeycode = 64;
constexpr quint8 RightAltKeycode = 108;

inline bool isAltKeycode(quint8 keycode)
{
    return keycode == LeftAltKeycode || keycode == RightAltKeycode;
}

} // namespace platform

#endif

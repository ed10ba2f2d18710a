#ifndef TAVREL_TYPING_KEYCOUNT_H
#define TAVREL_TYPING_KEYCOUNT_H

#include <QtGlobal>

// Key counting of a typing run.
//
// Every physical key event is reduced to one 16-bit hook word, laid out as the high half of a
// Windows keyboard-message flag word, because the counting rules and the result figures were
// defined on that word:
//
//   bits 0-7   scan code (scan code set 1)
//   bit  8     extended key                 (HookExtended, 0x100)
//   bit  13    Alt is held                  (HookAltHeld,  0x2000)
//   bit  14    key was already down          (HookRepeat,   0x4000; also set on every release)
//   bit  15    key is being released         (HookRelease,  0x8000)
//
// The rules compare the whole word with fixed values, so a repeated key, a release and a key
// pressed while Alt is held match nothing, except the three words that carry those bits on
// purpose: 0x2038 and 0x2138 (left and right Alt going down) and 0xC137 (Print Screen released,
// the only moment that key reports itself). In effect only first key-downs are counted.

enum HookWordBits : quint16 {
    HookExtended = 0x0100,
    HookAltHeld = 0x2000,
    HookRepeat = 0x4000,
    HookRelease = 0x8000,
};

// Which counters one hook word raises. Several can be set for one key (Esc: back and left hand).
enum HookCounter : quint8 {
    CountsSelect = 0x01, // App::SelectCount, a candidate-selection key
    CountsKey = 0x02,    // App::KeyCount, keys that never reach the typing pane as text
    CountsEnter = 0x04,  // App::EnterCount
    CountsBack = 0x08,   // App::BackCount, Esc and Backspace
    CountsLeft = 0x10,   // App::LeftKeys
    CountsRight = 0x20,  // App::RightKeys
};

// Space bar hand, the values of App::KongGe; any other value counts no hand for any key.
enum SpaceHand { SpaceRightHand = 0, SpaceLeftHand = 1, SpaceNotCounted = 2 };

// The counters the hook adds to, for callers (and tests) that keep their own set instead of the
// App globals.
struct HookCounters
{
    int selectCount = 0;
    int keyCount = 0;
    int enterCount = 0;
    int backCount = 0;
    int leftKeys = 0;
    int rightKeys = 0;
};

// The counters raised by one hook word. `kongGe` is the space-bar hand (App::KongGe);
// `countSelectKeys` is App::CountSelectKeys: false while the own input-method panel is in use,
// which then counts its selections itself. No allocation: a fixed number of table look-ups.
quint8 hookCounterMask(quint16 word, int kongGe, bool countSelectKeys);

// Adds one hook word to `counters`.
void countHookWord(quint16 word, int kongGe, bool countSelectKeys, HookCounters& counters);

// The counting procedure of the running program: one hook word, with App::KongGe and
// App::CountSelectKeys, added to App::SelectCount, KeyCount, EnterCount, BackCount, LeftKeys and
// RightKeys. App::CorrectCount is never touched here.
void countHookWord(quint16 word);

// Scan code and extended bit for an X key code of the evdev keymap (Linux input code + 8), as the
// Windows keyboard would report the same physical key; 0 for keys without a set-1 scan code
// (multimedia and vendor keys), which the counting never needs.
quint16 hookScanForKeycode(quint8 keycode);

// The whole hook word of one key event: `keycode` as above; `press` false for a release;
// `repeat` for a press of a key that is already down; `altHeld` when an Alt key is down at the
// event. An Alt key going down carries the Alt bit itself (0x2038, 0x2138); a release always
// carries the repeat bit (0xC137 for Print Screen). 0 when the key has no scan code.
quint16 hookWordForKey(quint8 keycode, bool press, bool repeat, bool altHeld);

// X key codes of the two Alt keys in the evdev keymap.
constexpr quint8 LeftAltKeycode = 64;
constexpr quint8 RightAltKeycode = 108;

inline bool isAltKeycode(quint8 keycode)
{
    return keycode == LeftAltKeycode || keycode == RightAltKeycode;
}

#endif

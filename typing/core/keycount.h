#ifndef TAVREL_TYPING_KEYCOUNT_H
#define TAVREL_TYPING_KEYCOUNT_H

#include <QtGlobal>

// Key counting of a typing run.
//
// The key source (platform/keyword.h) reduces every physical key event to one 16-bit hook word,
// laid out as the high half of a Windows keyboard-message flag word, because the counting rules
// and the result figures were defined on that word. The rules compare the whole word with fixed
// values, so a repeated key, a release and a key pressed while Alt is held match nothing, except
// the three words that carry those bits on purpose: 0x2038 and 0x2138 (left and right Alt going
// down) and 0xC137 (Print Screen released, the only moment that key reports itself). In effect
// only first key-downs are counted.

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

#endif

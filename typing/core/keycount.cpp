#include "typing/core/keycount.h"

#include <array>

namespace {

// Every plain word a rule names lies below this bound; the three words with high bits set are
// tested on their own.
constexpr int TableSize = 0x160;
constexpr quint16 SpaceBar = 0x39;
constexpr quint16 LeftAltDown = 0x2038;
constexpr quint16 RightAltDown = 0x2138;
constexpr quint16 PrintScreenUp = 0xC137;

struct Range
{
    quint16 first;
    quint16 last;
    quint8 counters;
};

// The key sets of a standard keyboard, as ranges of hook words.
constexpr Range CounterRanges[] = {
    // Candidate-selection keys: digits 2 to 0 (not 1), ; and ', keypad 7 8 9, 4 5 6, 2 3 0 (not 1).
    {0x03, 0x0B, CountsSelect},
    {0x27, 0x28, CountsSelect},
    {0x47, 0x49, CountsSelect},
    {0x4B, 0x4D, CountsSelect},
    {0x50, 0x52, CountsSelect},
    // Keys that add to the key count although they type nothing: Caps Lock, left Shift.
    {0x3A, 0x3A, CountsKey},
    {0x2A, 0x2A, CountsKey},
    // Main Enter only; keypad Enter is 0x11C.
    {0x1C, 0x1C, CountsEnter},
    // Esc and Backspace.
    {0x01, 0x01, CountsBack},
    {0x0E, 0x0E, CountsBack},
    // Left hand: Esc, 1-5, Tab Q W E R T, left Ctrl A S D F G, `, left Shift, Z X C V B, Caps Lock,
    // F1-F4, left Windows key.
    {0x01, 0x06, CountsLeft},
    {0x0F, 0x14, CountsLeft},
    {0x1D, 0x22, CountsLeft},
    {0x29, 0x2A, CountsLeft},
    {0x2C, 0x30, CountsLeft},
    {0x3A, 0x3E, CountsLeft},
    {0x15B, 0x15B, CountsLeft},
    // Right hand: 6-0 - = Backspace, Y U I O P [ ] Enter, H J K L ; ', \, N M , . / right Shift
    // keypad *, F5-F9, Pause Scroll Lock and the keypad, F11 F12, keypad Enter, right Ctrl,
    // keypad /, Num Lock, the navigation block, menu key. F10 (0x44) and the right Windows key
    // (0x15C) are in no hand set.
    {0x07, 0x0E, CountsRight},
    {0x15, 0x1C, CountsRight},
    {0x23, 0x28, CountsRight},
    {0x2B, 0x2B, CountsRight},
    {0x31, 0x37, CountsRight},
    {0x3F, 0x43, CountsRight},
    {0x45, 0x53, CountsRight},
    {0x57, 0x58, CountsRight},
    {0x11C, 0x11D, CountsRight},
    {0x135, 0x135, CountsRight},
    {0x145, 0x145, CountsRight},
    {0x147, 0x149, CountsRight},
    {0x14B, 0x14B, CountsRight},
    {0x14D, 0x14D, CountsRight},
    {0x14F, 0x153, CountsRight},
    {0x15D, 0x15D, CountsRight},
};

constexpr std::array<quint8, TableSize> buildCounterTable()
{
    std::array<quint8, TableSize> table{};
    for (const Range& range : CounterRanges) {
        for (int word = range.first; word <= range.last; ++word)
            table[word] |= range.counters;
    }
    return table;
}

constexpr std::array<quint8, TableSize> CounterTable = buildCounterTable();

constexpr quint8 HandBits = CountsLeft | CountsRight;

// Compile-time guard: a key is never in both hand sets, so at most one hand counter grows.
constexpr bool handsAreDisjoint()
{
    for (quint8 entry : CounterTable) {
        if ((entry & HandBits) == HandBits)
            return false;
    }
    return true;
}
static_assert(handsAreDisjoint(), "a key cannot belong to both hands");

} // namespace

quint8 hookCounterMask(quint16 word, int kongGe, bool countSelectKeys)
{
    quint8 mask = 0;
    if (word < TableSize)
        mask = CounterTable[word];
    else if (word == LeftAltDown)
        mask = CountsLeft;
    else if (word == RightAltDown)
        mask = CountsRight;
    else if (word == PrintScreenUp)
        mask = CountsKey | CountsRight;

    if (!countSelectKeys)
        mask &= ~CountsSelect;

    switch (kongGe) {
    case SpaceRightHand:
        if (word == SpaceBar)
            mask |= CountsRight;
        break;
    case SpaceLeftHand:
        if (word == SpaceBar)
            mask |= CountsLeft;
        break;
    case SpaceNotCounted:
        break;
    default:
        // An unknown space setting switches the hand count off altogether.
        mask &= ~HandBits;
        break;
    }
    return mask;
}

namespace {

void addMask(quint8 mask, int& selectCount, int& keyCount, int& enterCount, int& backCount, int& leftKeys,
             int& rightKeys)
{
    if (mask & CountsSelect)
        ++selectCount;
    if (mask & CountsKey)
        ++keyCount;
    if (mask & CountsEnter)
        ++enterCount;
    if (mask & CountsBack)
        ++backCount;
    if (mask & CountsLeft)
        ++leftKeys;
    if (mask & CountsRight)
        ++rightKeys;
}

} // namespace

void countHookWord(quint16 word, int kongGe, bool countSelectKeys, HookCounters& counters)
{
    addMask(hookCounterMask(word, kongGe, countSelectKeys), counters.selectCount, counters.keyCount,
            counters.enterCount, counters.backCount, counters.leftKeys, counters.rightKeys);
}

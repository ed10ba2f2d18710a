#ifndef TAVREL_TYPING_DRILLS_H
#define TAVREL_TYPING_DRILLS_H

#include <QDateTime>
#include <QList>
#include <QString>

class QRandomGenerator;

// Built-in texts and the text commands that reshape a passage, without widgets: the window's slots
// reset the run, set the title and segment label from here and hand the text to the loader.

// Segment label of a passage laid by hand.
extern const QString FirstSegmentHeader; // "第1段"

// ---- Built-in character drills ----

// The 1500 most frequent characters in order of frequency, distinct, beginning 的一是了不
// (generated data, see charfreq_data.cpp).
QString frequentCharacters();
constexpr int FrequentCharCount = 1500;

// In menu order. The three 500-character drills are consecutive runs of the frequency list; the
// last is the three joined.
enum class BuiltinDrill { Front500, Middle500, Back500, Front1500 };

QList<BuiltinDrill> builtinDrills();
// "常用单字前五百", "常用单字中五百", "常用单字后五百", "常用单字前1500"
QString builtinDrillTitle(BuiltinDrill drill);
QString builtinDrillText(BuiltinDrill drill);
int builtinDrillLength(BuiltinDrill drill);
// The length of the drill titled `title`, or -1 when no drill has that title.
int builtinDrillLength(const QString& title);
// Whether a finished run typed a whole text, which the ranking asks for: a built-in drill under its
// own title at exactly its length (one cut short or padded does not count), or else the whole of
// the text being sent (a segment of a longer text does not count). Lengths in UTF-16 code units.
enum class WholeText { No, SentText, BuiltinDrill };
WholeText wholeTextOf(const QString& title, int passageLength, int sentLength);

// ---- Text commands ----

// "去除空格": every white-space character goes (blanks, tabs, line breaks, ideographic blanks), so a
// passage of several lines becomes one unbroken line.
QString removeSpaces(const QString& passage);

// "乱序": the characters of `text` in a random order; a character outside the Basic Multilingual
// Plane (a surrogate pair) moves as one, and every character is kept as often as before.
QString shuffleCharacters(const QString& text, QRandomGenerator& random);
// The same with a generator seeded by `seed`: equal seeds give equal orders.
QString shuffleCharacters(const QString& text, quint32 seed);
// The seed of a shuffle started at `now`: its time in whole seconds, so two shuffles of one passage
// within the same second give the same order.
quint32 shuffleSeed(const QDateTime& now);

// The title of a text opened from a file: the name after the last "/" up to its last ".". A dot in
// a folder name does not count, a name without a dot is taken whole, and a name that is only an
// extension (".txt") is kept as it is rather than giving an empty title.
QString titleFromFileName(const QString& fileName);

#endif

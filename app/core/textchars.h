#ifndef TAVREL_TEXTCHARS_H
#define TAVREL_TEXTCHARS_H

#include <QChar>
#include <QString>
#include <QStringView>

// Walking a text by character where characters outside the Basic Multilingual Plane occur: such a
// character is two UTF-16 units (a surrogate pair) and is never cut in two. Lengths and positions
// stay in UTF-16 units; only the steps are whole characters. A lone half of a pair, as a cut chat
// message or a broken file can hold, is a character of its own.
namespace TextChars {

// Whether the two units are the halves of one character.
inline bool isPair(QChar high, QChar low)
{
    return high.isHighSurrogate() && low.isLowSurrogate();
}

// Units of the character that starts at `i`: 2 for a whole pair, else 1.
inline int width(QStringView text, int i)
{
    return i + 1 < text.size() && isPair(text.at(i), text.at(i + 1)) ? 2 : 1;
}

// Where the character holding unit `i` starts: one unit back when `i` is the second half of a pair.
inline int start(QStringView text, int i)
{
    return i > 0 && i < text.size() && isPair(text.at(i - 1), text.at(i)) ? i - 1 : i;
}

// The code point of the character that starts at `i`.
inline uint codePoint(QStringView text, int i)
{
    return width(text, i) == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
}

// The text with every lone half of a pair replaced by U+FFFD, so that it is valid text.
QString withoutLoneHalves(QString text);

} // namespace TextChars

#endif

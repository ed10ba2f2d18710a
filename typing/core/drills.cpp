#include "typing/core/drills.h"

#include "typing/core/comparison.h"

#include "app/core/textchars.h"

#include <QRandomGenerator>
#include <QVector>

#include <utility>

const QString FirstSegmentHeader = QStringLiteral("第1段");

namespace {

struct DrillEntry
{
    BuiltinDrill drill;
    const char16_t* title;
    int first;  // index into the frequency list
    int length; // characters
};

// Menu order; the upload check knows the drills by these titles and lengths.
const DrillEntry Drills[] = {
    {BuiltinDrill::Front500, u"常用单字前五百", 0, 500},
    {BuiltinDrill::Middle500, u"常用单字中五百", 500, 500},
    {BuiltinDrill::Back500, u"常用单字后五百", 1000, 500},
    {BuiltinDrill::Front1500, u"常用单字前1500", 0, 1500},
};

const DrillEntry& entryOf(BuiltinDrill drill)
{
    for (const DrillEntry& e : Drills) {
        if (e.drill == drill)
            return e;
    }
    return Drills[0];
}

QString titleOf(const DrillEntry& e)
{
    return QString::fromUtf16(e.title);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Built-in drills

QList<BuiltinDrill> builtinDrills()
{
    QList<BuiltinDrill> out;
    for (const DrillEntry& e : Drills)
        out.append(e.drill);
    return out;
}

QString builtinDrillTitle(BuiltinDrill drill)
{
    return titleOf(entryOf(drill));
}

QString builtinDrillText(BuiltinDrill drill)
{
    const DrillEntry& e = entryOf(drill);
    // The list holds BMP ideographs only, so UTF-16 positions are character positions.
    return frequentCharacters().mid(e.first, e.length);
}

int builtinDrillLength(BuiltinDrill drill)
{
    return entryOf(drill).length;
}

int builtinDrillLength(const QString& title)
{
    for (const DrillEntry& e : Drills) {
        if (title == titleOf(e))
            return e.length;
    }
    return -1;
}

WholeText wholeTextOf(const QString& title, int passageLength, int sentLength)
{
    const int drillLength = builtinDrillLength(title);
    if (drillLength >= 0 && passageLength == drillLength)
        return WholeText::BuiltinDrill;
    return passageLength == sentLength ? WholeText::SentText : WholeText::No;
}

// ---------------------------------------------------------------------------------------------
// Text commands

QString removeSpaces(const QString& passage)
{
    // The same clean-up as loading with blank removal, without the punctuation step.
    return cleanPassage(passage, true, false);
}

QString shuffleCharacters(const QString& text, QRandomGenerator& random)
{
    // Cut into characters first: a surrogate pair is one character, a lone surrogate stands alone.
    QVector<QStringView> chars;
    chars.reserve(text.size());
    for (int i = 0; i < text.size();) {
        const int width = TextChars::width(text, i);
        chars.append(QStringView(text).mid(i, width));
        i += width;
    }
    // Fisher-Yates: every order equally likely.
    for (int i = chars.size() - 1; i > 0; --i) {
        const int r = int(random.bounded(quint32(i + 1)));
        std::swap(chars[i], chars[r]);
    }
    QString out;
    out.reserve(text.size());
    for (const QStringView& c : chars)
        out.append(c);
    return out;
}

QString shuffleCharacters(const QString& text, quint32 seed)
{
    QRandomGenerator random(seed);
    return shuffleCharacters(text, random);
}

quint32 shuffleSeed(const QDateTime& now)
{
    return quint32(quint64(now.toSecsSinceEpoch()));
}

QString titleFromFileName(const QString& fileName)
{
    const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return name;
    return name.left(dot);
}

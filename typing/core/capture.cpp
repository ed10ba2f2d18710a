#include "typing/core/capture.h"

#include "app/core/textchars.h"

#include <QRegularExpression>

#include <utility>

namespace {

// The marker needs the line break in front of it; what follows "段" (the rest count, which older
// posts and hand-written ones leave out) is not read.
const QRegularExpression& markerExpression()
{
    static const QRegularExpression expression(QStringLiteral("\n-----第([0-9]+)段"));
    return expression;
}

} // namespace

CapturedSegment parseCapturedHistory(const QString& history)
{
    CapturedSegment result;
    QString text = history;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // The regular expression refuses a whole text that holds one half of a surrogate pair without
    // the other, and a chat history may hold one anywhere (cut messages, foreign clients).
    text = TextChars::withoutLoneHalves(std::move(text));

    QRegularExpressionMatch match;
    const int markerStart = text.lastIndexOf(markerExpression(), -1, &match);
    if (markerStart < 0)
        return result;

    const QString digits = match.captured(1);
    result.segmentHeader = QStringLiteral("第") + digits + QStringLiteral("段");
    bool ok = false;
    const int number = digits.toInt(&ok);
    result.segmentNumber = ok ? number : 0;
    result.contest = result.segmentHeader == ContestSegmentHeader;

    // The passage line runs from the last line break before the marker up to it; the title is
    // the line just before. Earlier lines (sender name and time, older posts) are ignored.
    const QString before = text.left(markerStart);
    const int passageBreak = before.lastIndexOf(QLatin1Char('\n'));
    result.passage = before.mid(passageBreak + 1);
    if (passageBreak > 0) {
        const QString earlier = before.left(passageBreak);
        result.title = earlier.mid(earlier.lastIndexOf(QLatin1Char('\n')) + 1);
    }
    result.found = !result.passage.isEmpty();
    return result;
}

QString segmentHeaderText(int number)
{
    return QStringLiteral("第") + QString::number(number) + QStringLiteral("段");
}

int unsentCount(const QString& fullText, const QString& sentText)
{
    return qMax(0, fullText.length() - sentText.length());
}

QString buildFawenPost(const QString& title, const QString& passage, const QString& segmentHeader, int restCount)
{
    return title + QLatin1Char('\n') + passage + QLatin1Char('\n') + QStringLiteral("-----") + segmentHeader +
           QStringLiteral("-余") + QString::number(restCount) + QStringLiteral("字");
}

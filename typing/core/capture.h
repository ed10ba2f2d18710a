#ifndef TAVREL_TYPING_CAPTURE_H
#define TAVREL_TYPING_CAPTURE_H

#include <QString>

// The segment post and its reader: the two ends of the one chat message that carries a passage.
//
// A post is plain text of three lines:
//
//   title
//   passage
//   -----第12段-余300字
//
// The last line is the marker: five hyphens, the segment header ("第", the number in ASCII
// digits, "段"), then "-余", the count of characters of the whole text still unsent, and "字".
// The reader takes a copied chat history (many messages, each after a sender line) and finds the
// newest marker that follows a line break; the line before it is the passage, the line before that
// the title.

// The header of the certified contest segment, and the tool tip the segment label gets for it.
inline const QString ContestSegmentHeader = QStringLiteral("第999段");
inline const QString ContestSegmentToolTip = QStringLiteral("比赛认证段");

// What the reader found in a history.
struct CapturedSegment
{
    // A marker was found and the line before it is not empty. When false the caller shows
    // "暂无文本！" and keeps the current passage; the other fields are then only informative.
    bool found = false;
    QString title;         // the line before the passage; empty when the passage is the first line
    QString passage;       // the line before the marker
    QString segmentHeader; // "第12段", exactly as posted (leading zeros kept)
    int segmentNumber = 0; // 12; 0 when the digits do not fit an int
    bool contest = false;  // the header is ContestSegmentHeader
};

// Reads the newest post out of a copied chat history. Windows line ends ("\r\n") count as "\n".
// Only a marker preceded by a line break counts, so a marker at the very start of the history is
// not one; the digits must be ASCII (a full-width "１" is not a segment number).
CapturedSegment parseCapturedHistory(const QString& history);

// "第" + number + "段".
QString segmentHeaderText(int number);

// Characters of the whole text not yet sent: the difference of the two lengths, never below 0
// (a sent text longer than the whole would otherwise print a minus sign the reader cannot read).
int unsentCount(const QString& fullText, const QString& sentText);

// The post of one segment: title, "\n", passage, "\n", "-----", header, "-余", rest count, "字".
// Title and passage are single lines; a line break inside them would move the reader's title.
QString buildFawenPost(const QString& title, const QString& passage, const QString& segmentHeader, int restCount);

#endif

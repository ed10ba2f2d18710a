#ifndef TAVREL_SENDING_SEGMENTCYCLE_H
#define TAVREL_SENDING_SEGMENTCYCLE_H

#include <QString>

// The send modes, as the sending window lists them and the configuration stores them.
namespace SendMode {
inline const QString AfterRun = QStringLiteral("跟打结束自动发文"); // the next segment when a run ends
inline const QString Period = QStringLiteral("周期发文");           // the next segment every few seconds
inline const QString None = QStringLiteral("不处理");
} // namespace SendMode

// What the sending window hands to the main window when the user sends a text.
struct FawenInfo
{
    int segLength = 0; // characters per segment; 0: the whole text in one segment, none after it
    QString name;      // heads every post and names the progress file
    QString fullText;  // the whole prepared text
    QString part;      // the first segment
    QString notice;    // the record-holder line of a server text, else empty
};

// The first segment of a text: its first segLength characters. A length of 0 (or one past the
// end) gives the whole text, so no empty passage that can never be finished is ever laid.
QString firstSegment(const QString& fullText, int segLength);

// The segment arithmetic of a sending cycle: which piece of the text is current, what has been laid
// since the start or the last wrap, and what is left. Segment k (from 1) starts at (k - 1) * size;
// the segment after the last one is segment 1 again.
class SegmentCycle
{
public:
    void start(const FawenInfo& info);

    // Goes on to the next segment, wrapping at the end. Returns false, changing nothing, while the
    // segment length is 0 (the current segment then stays).
    bool advance();
    // The panel's stop: no further segment is cut, the current one stays.
    void holdSegments() { m_segSize = 0; }
    // The stop command: no segment length and back to the start position; the number and the sent
    // text stay as they were.
    void stop();

    int segmentNumber() const { return m_segNo; }
    int segmentSize() const { return m_segSize; }
    int position() const { return m_position; }
    const QString& fullText() const { return m_fullText; }
    const QString& sentText() const { return m_sentText; }
    const QString& currentPart() const { return m_current; }
    // "第" + number + "段".
    QString header() const;
    // Characters of the whole text not yet laid; never below 0.
    int restCount() const;
    // The current segment and everything after it: what a saved progress continues with.
    QString remainder() const { return m_fullText.mid(m_position); }
    // The text went out in one piece: advancing never changes the passage.
    bool isWhole() const { return m_fullText.length() == m_firstLength; }

private:
    QString m_fullText;
    QString m_sentText;
    QString m_current;
    int m_segNo = 0;
    int m_segSize = 0;
    int m_position = 0;
    int m_firstLength = 0;
};

// The figures of the sending-state panel.
struct SendingFigures
{
    int sent = 0;
    int total = 0;
    int left = 0;
    QString percent; // two decimals, without the "%" sign
};
SendingFigures sendingFigures(const QString& fullText, const QString& sentSoFar);

// (total - left) / total * 100 with two decimals: how far a progress text has been sent. "0.00" for
// a total of 0.
QString progressFigure(int total, int left);

#endif

#include "sending/core/segmentcycle.h"

#include "typing/core/capture.h"

QString firstSegment(const QString& fullText, int segLength)
{
    return segLength <= 0 ? fullText : fullText.left(segLength);
}

void SegmentCycle::start(const FawenInfo& info)
{
    m_fullText = info.fullText;
    m_segSize = qMax(0, info.segLength);
    m_segNo = 1;
    m_position = 0;
    m_current = info.part;
    m_sentText = info.part;
    m_firstLength = info.part.length();
}

bool SegmentCycle::advance()
{
    if (m_segSize <= 0)
        return false;
    m_position += m_segSize;
    ++m_segNo;
    if (m_position >= m_fullText.length()) {
        m_position = 0;
        m_segNo = 1;
        m_sentText.clear();
    }
    m_current = m_fullText.mid(m_position, m_segSize);
    m_sentText += m_current;
    return true;
}

void SegmentCycle::stop()
{
    m_segSize = 0;
    m_position = 0;
}

QString SegmentCycle::header() const
{
    return segmentHeaderText(m_segNo);
}

int SegmentCycle::restCount() const
{
    return unsentCount(m_fullText, m_sentText);
}

SendingFigures sendingFigures(const QString& fullText, const QString& sentSoFar)
{
    SendingFigures f;
    f.sent = sentSoFar.length();
    f.total = fullText.length();
    f.left = f.total - f.sent;
    const double share = f.total > 0 ? double(f.sent) / f.total * 100.0 : 0.0;
    f.percent = QString::number(share, 'f', 2);
    return f;
}

QString progressFigure(int total, int left)
{
    const double figure = total != 0 ? double(total - left) / total * 100.0 : 0.0;
    return QString::number(figure, 'f', 2);
}

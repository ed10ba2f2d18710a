#include "typing/statusbar.h"

#include "app/core/textchars.h"
#include "typing/core/codefile.h"
#include "typing/core/comparison.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocumentFragment>

#include <algorithm>
#include <array>

namespace {

const QChar kEllipsis(0x2026);

// Titles come from the chat and from files: one line, never markup.
QString oneLine(QString text)
{
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]+"));
    return text.replace(breaks, QStringLiteral(" "));
}

// The markup with its text cut after `keep` characters (an entity or a surrogate pair counts as
// one) and `tail` put there, inside the tags still open; every tag is kept, so the markup stays whole.
QString cutMarkup(const QString& markup, int keep, const QString& tail)
{
    QString cut;
    int seen = 0;
    for (int i = 0; i < markup.size();) {
        if (markup.at(i) == QLatin1Char('<')) {
            const int end = markup.indexOf(QLatin1Char('>'), i);
            cut += markup.mid(i, end < 0 ? -1 : end + 1 - i);
            i = end < 0 ? markup.size() : end + 1;
            continue;
        }
        const int entityEnd = markup.at(i) == QLatin1Char('&') ? markup.indexOf(QLatin1Char(';'), i) : -1;
        const int length = entityEnd > i && entityEnd - i <= 10 ? entityEnd + 1 - i : TextChars::width(markup, i);
        if (seen == keep)
            cut += tail;
        if (seen < keep)
            cut += markup.mid(i, length);
        ++seen;
        i += length;
    }
    return cut;
}

// The width the first of two names gets of the `room` they share. Both whole where they fit; else
// the shorter is whole where it fits beside the other's least, or failing that the longer; else
// each gets half, neither less than its least.
int firstShare(int room, int firstNeed, int secondNeed, int firstLeast, int secondLeast)
{
    if (firstNeed + secondNeed <= room)
        return firstNeed;
    const bool firstFits = firstNeed <= room - secondLeast;
    const bool secondFits = secondNeed <= room - firstLeast;
    if (firstFits && (firstNeed <= secondNeed || !secondFits))
        return firstNeed;
    if (secondFits)
        return room - secondNeed;
    return qMax(firstLeast, qMin(room / 2, room - secondLeast));
}

} // namespace

// A status label that gives way to the others: where its text does not fit, it shows the start of
// the text and "…", and its tool tip tells the whole. The layout is told the whole text's size, so
// the label takes its room back once there is some.
class GivingLabel : public QLabel
{
public:
    GivingLabel(const QString& caption, Qt::TextFormat format, QWidget* parent) : QLabel(parent), m_caption(caption)
    {
        setTextFormat(format);
        setWhole(caption);
    }

    // `text` in the label's format, with the tool tips for it shown whole and shown cut.
    void setWhole(const QString& text, const QString& wholeTip = QString(), const QString& cutTip = QString())
    {
        m_text = text;
        m_wholeTip = wholeTip;
        m_cutTip = cutTip;
        measure();
    }

    // The text the label shows at `width`: whole, or its start and "…".
    QString shownIn(int width) const
    {
        if (width >= m_wholeHint.width())
            return m_text;
        const QFontMetrics metrics(font());
        const int room = width - extra();
        // The most characters that fit with the "…" (kept inside the markup), measured as
        // widthShown() measures them, so the narrowed label shows the same.
        int low = 0;
        int high = plain(m_text).size();
        while (low < high) {
            const int keep = (low + high + 1) / 2;
            if (metrics.horizontalAdvance(plain(cut(keep))) <= room)
                low = keep;
            else
                high = keep - 1;
        }
        return cut(low);
    }
    // The width that shows what fits in `width`, no more.
    int widthShown(int width) const
    {
        const QString shown = shownIn(width);
        if (shown == m_text)
            return qMin(width, m_wholeHint.width());
        const int used = fontMetrics().horizontalAdvance(plain(shown)) + extra();
        return qBound(qMin(width, minimumSizeHint().width()), used, width);
    }

    QSize sizeHint() const override { return m_wholeHint; }
    QSize minimumSizeHint() const override
    {
        // The caption and "…" at least, so it still says what it is.
        const int width = fontMetrics().horizontalAdvance(m_caption + kEllipsis) + extra();
        return QSize(qMin(width, m_wholeHint.width()), m_wholeHint.height());
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        fit();
    }
    void showEvent(QShowEvent* event) override
    {
        QLabel::showEvent(event);
        fit();
    }
    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            measure();
    }

private:
    QString plain(const QString& text) const
    {
        return textFormat() == Qt::PlainText ? text : QTextDocumentFragment::fromHtml(text).toPlainText();
    }

    // The text's first `keep` characters and "…".
    QString cut(int keep) const
    {
        if (textFormat() != Qt::PlainText)
            return cutMarkup(m_text, keep, kEllipsis);
        int end = 0;
        for (int seen = 0; seen < keep && end < m_text.size(); ++seen)
            end += TextChars::width(m_text, end);
        return m_text.left(end) + kEllipsis;
    }

    // The whole text's size, as the label itself takes it; then the text that fits.
    void measure()
    {
        if (m_measuring)
            return;
        m_measuring = true;
        QLabel::setText(m_text);
        m_wholeHint = QLabel::sizeHint();
        updateGeometry();
        fit();
        m_measuring = false;
    }

    void fit()
    {
        // A hidden label is not laid out: it keeps its whole text.
        const QString shown = isVisible() ? shownIn(width()) : m_text;
        if (text() != shown)
            QLabel::setText(shown);
        setToolTip(shown == m_text ? m_wholeTip : m_cutTip);
    }

    // Beside the text itself, what the label's width holds: margins, a rich text's document margin.
    int extra() const { return qMax(0, m_wholeHint.width() - fontMetrics().horizontalAdvance(plain(m_text))); }

    const QString m_caption;
    QString m_text;
    QString m_wholeTip;
    QString m_cutTip;
    QSize m_wholeHint;
    bool m_measuring = false;
};

// A figure of the bar that holds its width while its text changes from key to key: as wide as the
// widest text it has shown and as the text it makes room for, so the names beside it keep theirs.
class SteadyLabel : public QLabel
{
public:
    explicit SteadyLabel(QWidget* parent, const QString& text = QString()) : QLabel(parent) { showText(text); }

    void showText(const QString& text)
    {
        QLabel::setText(text);
        m_widest = qMax(m_widest, QLabel::sizeHint().width());
    }
    // Room for `text` from now on, whatever shows; an empty text makes none. A new room forgets
    // the widths shown before it.
    void makeRoom(const QString& text)
    {
        if (text == m_room)
            return;
        m_room = text;
        measureRoom();
        forget();
    }
    // The widths shown so far no longer count: the cell narrows to its text and its room.
    void forget()
    {
        m_widest = 0;
        updateGeometry();
    }

    QSize sizeHint() const override { return steady(QLabel::sizeHint()); }
    QSize minimumSizeHint() const override { return steady(QLabel::minimumSizeHint()); }

protected:
    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
            measureRoom();
            forget();
        }
    }

private:
    QSize steady(QSize size) const { return QSize(std::max({size.width(), m_widest, m_roomWidth}), size.height()); }

    // The room's width as the label takes it: its text for a moment.
    void measureRoom()
    {
        if (m_measuring)
            return;
        m_measuring = true;
        m_roomWidth = 0;
        if (!m_room.isEmpty()) {
            const QString shown = text();
            QLabel::setText(m_room);
            m_roomWidth = QLabel::sizeHint().width();
            QLabel::setText(shown);
        }
        m_measuring = false;
    }

    QString m_room;
    int m_roomWidth = 0;
    int m_widest = 0;
    bool m_measuring = false;
};

// The chat group, the segment and the title in one row of the bar, the first and the last sharing
// the room the segment leaves between them.
class SharingRow : public QWidget
{
public:
    SharingRow(GivingLabel* first, QWidget* middle, GivingLabel* last, QWidget* parent)
        : QWidget(parent), m_first(first), m_middle(middle), m_last(last)
    {
        for (QWidget* label : labels())
            label->setParent(this);
    }

    QSize sizeHint() const override { return rowSize(&QWidget::sizeHint); }
    QSize minimumSizeHint() const override { return rowSize(&QWidget::minimumSizeHint); }

protected:
    bool event(QEvent* event) override
    {
        // A label's text changed its size: the bar asks again, and the row is laid out anew.
        if (event->type() == QEvent::LayoutRequest) {
            updateGeometry();
            place();
        }
        return QWidget::event(event);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        place();
    }

private:
    // As the bar's own layout spaces its widgets.
    int spacing() const
    {
        const int metric = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, this);
        return metric >= 0 ? metric : style()->layoutSpacing(QSizePolicy::Label, QSizePolicy::Label, Qt::Horizontal);
    }

    QSize rowSize(QSize (QWidget::*size)() const) const
    {
        QSize row(2 * spacing(), 0);
        for (const QWidget* label : labels())
            row = QSize(row.width() + (label->*size)().width(), qMax(row.height(), (label->*size)().height()));
        return row;
    }

    void place()
    {
        const int middleWidth = m_middle->sizeHint().width();
        const int room = width() - 2 * spacing() - middleWidth;
        const int firstNeed = m_first->sizeHint().width();
        const int lastNeed = m_last->sizeHint().width();
        int firstWidth = firstShare(room, firstNeed, lastNeed, m_first->minimumSizeHint().width(),
                                    m_last->minimumSizeHint().width());
        int lastWidth = qMax(0, room - firstWidth);
        // A cut name is as wide as what it shows: the room it leaves goes to the other name where
        // that one is cut too, else to the row's end, never between the names.
        if (firstWidth < firstNeed) {
            const int shown = m_first->widthShown(firstWidth);
            if (lastWidth < lastNeed)
                lastWidth += firstWidth - shown;
            firstWidth = shown;
        }
        if (lastWidth < lastNeed)
            lastWidth = m_last->widthShown(lastWidth);
        m_first->setGeometry(0, 0, firstWidth, height());
        m_middle->setGeometry(firstWidth + spacing(), 0, middleWidth, height());
        m_last->setGeometry(firstWidth + middleWidth + 2 * spacing(), 0, lastWidth, height());
    }

    std::array<QWidget*, 3> labels() const { return {m_first, m_middle, m_last}; }

    GivingLabel* const m_first;
    QWidget* const m_middle;
    GivingLabel* const m_last;
};

RunStatusBar::RunStatusBar(QWidget* parent) : QObject(parent)
{
    m_progress = new QProgressBar(parent);
    m_progress->setFixedHeight(8);
    m_progress->setTextVisible(false);
    m_bar = new QStatusBar(parent);
    m_bar->setSizeGripEnabled(false);
    m_chat = new GivingLabel(QStringLiteral("QQ群: "), Qt::RichText, m_bar);
    m_segment = new QLabel(m_bar);
    m_title = new GivingLabel(QStringLiteral("标题: "), Qt::PlainText, m_bar);
    m_count = new SteadyLabel(m_bar);
    m_progressText = new SteadyLabel(m_bar);
    m_codeHint = new SteadyLabel(m_bar);
    m_record = new SteadyLabel(m_bar, QStringLiteral("打字记录: "));
    // The progress moves on every key: its cell is as wide as the figure at its end from the start.
    m_progressText->makeRoom(progressInfo(1, 1).progressText);
    const std::pair<QWidget*, const char*> named[] = {{m_progress, "progressBar"}, {m_chat, "labChat"},
                                                      {m_segment, "labSegment"},   {m_title, "labTitle"},
                                                      {m_count, "labCount"},       {m_progressText, "labProgress"},
                                                      {m_codeHint, "labCodeHint"}, {m_record, "labRecord"}};
    for (const auto& [widget, name] : named)
        widget->setObjectName(QLatin1String(name));
    // The names take the width of their texts, no more, and give it up first; the figures keep
    // their widths from key to key and share what is left over.
    m_bar->addWidget(new SharingRow(m_chat, m_segment, m_title, m_bar));
    for (QLabel* label : std::initializer_list<QLabel*>{m_count, m_progressText, m_codeHint, m_record})
        m_bar->addWidget(label, 1);
}

void RunStatusBar::showPassage(const QString& chatText, const QString& segmentHeader, const QString& title)
{
    const QString idle = QStringLiteral("Tavrel潜水中……");
    m_chatText = chatText == idle ? chatText : QStringLiteral("QQ群: ") + chatText;
    showChat();
    m_segment->setText(QStringLiteral("段号: ") + segmentHeader);
    // The count changes with the passage, not with the keys: a shorter one narrows its cell.
    m_count->makeRoom(QString());
    m_count->forget();
    const QString titleTip =
        title.isEmpty() ? QString() : QStringLiteral("<qt>") + oneLine(title).toHtmlEscaped() + QStringLiteral("</qt>");
    m_title->setWhole(QStringLiteral("标题: ") + oneLine(title), titleTip, titleTip);
    m_codeHint->showText(QStringLiteral("编码提示: "));
    m_codeHint->setToolTip(QStringLiteral("单字词库格式为多多格式，即字+制表符(Tab键)+编码"));
}

void RunStatusBar::showProgress(const ProgressInfo& info)
{
    m_count->showText(info.countText);
    m_progressText->showText(info.progressText);
    m_progress->setValue(info.barValue);
}

void RunStatusBar::showFreeCount(int count)
{
    m_title->setWhole(QStringLiteral("标题: "));
    // The count grows with every key: room for four digits from the start.
    m_count->makeRoom(QStringLiteral("总字数: 0000"));
    m_count->showText(QStringLiteral("总字数: ") + QString::number(count));
}

void RunStatusBar::setProgressVisible(bool visible)
{
    m_progressText->setVisible(visible);
}

void RunStatusBar::setChatToolTip(const QString& tip)
{
    m_chatTip = tip;
    showChat();
}

void RunStatusBar::showChat()
{
    // The chat text is markup already (the group's name escaped); cut, its tool tip tells the whole.
    QString cutTip = QStringLiteral("<qt>") + m_chatText;
    if (!m_chatTip.isEmpty())
        cutTip += QStringLiteral("<br>") + m_chatTip.toHtmlEscaped();
    m_chat->setWhole(m_chatText, m_chatTip, cutTip + QStringLiteral("</qt>"));
}

void RunStatusBar::setSegmentToolTip(const QString& tip)
{
    m_segment->setToolTip(tip);
}

void RunStatusBar::setCodeHint(const QString& text, bool hintsOn)
{
    m_codeHint->makeRoom(hintsOn ? hintRoom() : QString());
    m_codeHint->showText(text);
}

QString RunStatusBar::hintRoom()
{
    // A character and four letters, the widest of them; measured again only when the font changed,
    // not on every key.
    if (m_hintRoom.isEmpty() || m_hintRoomFont != m_codeHint->font()) {
        m_hintRoomFont = m_codeHint->font();
        QFont bold = m_hintRoomFont;
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        QChar widest = QLatin1Char('a');
        for (char letter = 'b'; letter <= 'z'; ++letter)
            if (metrics.horizontalAdvance(QLatin1Char(letter)) > metrics.horizontalAdvance(widest))
                widest = QLatin1Char(letter);
        m_hintRoom = CodeFile::hintLabel(CodeFile::hintFor(QStringLiteral("字"), QString(4, widest)));
    }
    return m_hintRoom;
}

void RunStatusBar::setRecord(const QString& text, const QString& toolTip)
{
    m_record->showText(text);
    m_record->setToolTip(toolTip);
}

void RunStatusBar::setRecordRoom(const QString& text)
{
    m_record->makeRoom(text);
}

void RunStatusBar::setRecordText(const QString& text)
{
    m_record->showText(text);
}

#include "typing/statusbar.h"

#include "app/core/textchars.h"
#include "typing/core/comparison.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocumentFragment>
#include <QVector>

#include <algorithm>

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

    // `text` in the label's format.
    void setWhole(const QString& text)
    {
        m_text = text;
        measure();
    }
    // The tool tips while the text shows whole and while it shows cut; a null cut tip is the whole
    // text with the other tip below it.
    void setTips(const QString& wholeTip, const QString& cutTip = QString())
    {
        m_wholeTip = wholeTip;
        m_cutTip = cutTip;
        fit();
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
    // The caption and "…": the least the label asks for, whatever it shows.
    int captionWidth() const { return fontMetrics().horizontalAdvance(m_caption + kEllipsis) + extra(); }
    int wholeWidth() const { return m_wholeHint.width(); }

    QSize sizeHint() const override { return m_wholeHint; }
    QSize minimumSizeHint() const override
    {
        // The caption and "…" at least, so it still says what it is.
        return QSize(qMin(captionWidth(), m_wholeHint.width()), m_wholeHint.height());
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
        // The row lays its cells out at once, so the text is never cut to the width it had before.
        if (QWidget* row = parentWidget(); row && isVisible()) {
            QEvent relayout(QEvent::LayoutRequest);
            QCoreApplication::sendEvent(row, &relayout);
        }
        fit();
        m_measuring = false;
    }

    void fit()
    {
        // A hidden label is not laid out: it keeps its whole text.
        const QString shown = isVisible() ? shownIn(width()) : m_text;
        if (text() != shown)
            QLabel::setText(shown);
        setToolTip(shown == m_text ? m_wholeTip : cutTip());
    }

    QString cutTip() const
    {
        if (!m_cutTip.isNull())
            return m_cutTip;
        if (textFormat() == Qt::PlainText)
            return m_wholeTip.isEmpty() ? m_text : m_text + QLatin1Char('\n') + m_wholeTip;
        const QString below = m_wholeTip.isEmpty() ? QString() : QStringLiteral("<br>") + m_wholeTip.toHtmlEscaped();
        return QStringLiteral("<qt>") + m_text + below + QStringLiteral("</qt>");
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
// Where the bar has not even that, it gives way as the names do.
class SteadyLabel : public GivingLabel
{
public:
    SteadyLabel(const QString& caption, Qt::TextFormat format, QWidget* parent) : GivingLabel(caption, format, parent)
    {
        showText(QString());
    }

    void showText(const QString& text)
    {
        setWhole(text);
        m_widest = qMax(m_widest, wholeWidth());
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

    QSize sizeHint() const override
    {
        const QSize whole = GivingLabel::sizeHint();
        return QSize(std::max({whole.width(), m_widest, m_roomWidth}), whole.height());
    }

protected:
    void changeEvent(QEvent* event) override
    {
        GivingLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
            measureRoom();
            forget();
        }
    }

private:
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

// The bar's one row: the chat group, the segment, the title, then the figures. The segment and the
// figures keep the room their texts can need and the two names share the rest; where even the
// names' least leaves too little, the figures give way too, the last first. The row asks for no
// more than every cell's caption and "…", so nothing it shows makes the window wider.
class StatusRow : public QWidget
{
public:
    StatusRow(GivingLabel* chat, GivingLabel* segment, GivingLabel* title, const QVector<GivingLabel*>& figures,
              QWidget* parent)
        : QWidget(parent), m_chat(chat), m_segment(segment), m_title(title)
    {
        m_cells << chat << segment << title << figures;
        for (QWidget* cell : qAsConst(m_cells))
            cell->setParent(this);
    }

    QSize sizeHint() const override
    {
        QSize row(gaps(), 0);
        for (const GivingLabel* cell : shownCells())
            row = QSize(row.width() + cell->sizeHint().width(), qMax(row.height(), cell->sizeHint().height()));
        return row;
    }
    QSize minimumSizeHint() const override
    {
        // Every cell, shown or not, so neither a text nor a mode raises it.
        int width = (m_cells.size() - 1) * spacing();
        int height = 0;
        for (const GivingLabel* cell : m_cells) {
            width += cell->captionWidth();
            height = qMax(height, cell->minimumSizeHint().height());
        }
        return QSize(width, height);
    }

protected:
    bool event(QEvent* event) override
    {
        // A label's text changed its size, or a cell showed or hid: laid out anew.
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
    int gaps() const { return qMax(0, shownCells().size() - 1) * spacing(); }

    QVector<GivingLabel*> shownCells() const
    {
        QVector<GivingLabel*> shown;
        for (GivingLabel* cell : m_cells)
            if (!cell->isHidden())
                shown << cell;
        return shown;
    }
    bool isName(const GivingLabel* cell) const { return cell == m_chat || cell == m_title; }

    void place()
    {
        const QVector<GivingLabel*> cells = shownCells();
        QHash<const GivingLabel*, int> widths;
        int room = width() - gaps();
        for (const GivingLabel* cell : cells)
            if (!isName(cell))
                room -= widths[cell] = cell->sizeHint().width();
        // The names' least first: what they lack the figures give, the last first.
        const int namesLeast = m_chat->minimumSizeHint().width() + m_title->minimumSizeHint().width();
        for (int i = cells.size() - 1; i >= 0 && room < namesLeast; --i) {
            const GivingLabel* cell = cells.at(i);
            if (isName(cell))
                continue;
            int& width = widths[cell];
            const int narrowed = qMax(cell->minimumSizeHint().width(), width - (namesLeast - room));
            if (narrowed >= width)
                continue;
            room += width;
            width = cell->widthShown(narrowed);
            room -= width;
        }
        shareNames(qMax(0, room), widths);
        // Room left over while both names show whole goes to the figures, as with equal stretch.
        int spare = width() - gaps();
        QVector<const GivingLabel*> takers;
        for (const GivingLabel* cell : cells) {
            spare -= widths.value(cell);
            if (!isName(cell) && cell != m_segment)
                takers << cell;
        }
        const bool namesWhole =
            widths.value(m_chat) == m_chat->sizeHint().width() && widths.value(m_title) == m_title->sizeHint().width();
        if (namesWhole && spare > 0 && !takers.isEmpty())
            for (int i = 0; i < takers.size(); ++i)
                widths[takers.at(i)] += spare / takers.size() + (i < spare % takers.size() ? 1 : 0);
        int x = 0;
        for (GivingLabel* cell : cells) {
            cell->setGeometry(x, 0, widths.value(cell), height());
            x += widths.value(cell) + spacing();
        }
    }

    // The chat group's and the title's widths in the `room` left to them.
    void shareNames(int room, QHash<const GivingLabel*, int>& widths) const
    {
        const int firstNeed = m_chat->sizeHint().width();
        const int lastNeed = m_title->sizeHint().width();
        int firstWidth = firstShare(room, firstNeed, lastNeed, m_chat->minimumSizeHint().width(),
                                    m_title->minimumSizeHint().width());
        int lastWidth = qMax(0, room - firstWidth);
        // A cut name is as wide as what it shows: the room it leaves goes to the other name where
        // that one is cut too, else to the row's end, never between the names.
        if (firstWidth < firstNeed) {
            const int shown = m_chat->widthShown(firstWidth);
            if (lastWidth < lastNeed)
                lastWidth += firstWidth - shown;
            firstWidth = shown;
        }
        if (lastWidth < lastNeed)
            lastWidth = m_title->widthShown(lastWidth);
        widths[m_chat] = firstWidth;
        widths[m_title] = qMin(lastWidth, lastNeed);
    }

    GivingLabel* const m_chat;
    GivingLabel* const m_segment;
    GivingLabel* const m_title;
    QVector<GivingLabel*> m_cells; // left to right
};

RunStatusBar::RunStatusBar(QWidget* parent) : QObject(parent)
{
    m_progress = new QProgressBar(parent);
    m_progress->setFixedHeight(8);
    m_progress->setTextVisible(false);
    m_bar = new QStatusBar(parent);
    m_bar->setSizeGripEnabled(false);
    m_chat = new GivingLabel(QStringLiteral("QQ群: "), Qt::RichText, m_bar);
    m_segment = new GivingLabel(QStringLiteral("段号: "), Qt::PlainText, m_bar);
    m_title = new GivingLabel(QStringLiteral("标题: "), Qt::PlainText, m_bar);
    m_count = new SteadyLabel(QStringLiteral("总字数: "), Qt::PlainText, m_bar);
    m_progressText = new SteadyLabel(QStringLiteral("进度: "), Qt::PlainText, m_bar);
    m_codeHint = new SteadyLabel(QStringLiteral("编码提示: "), Qt::RichText, m_bar);
    m_record = new SteadyLabel(QStringLiteral("打字记录: "), Qt::PlainText, m_bar);
    m_record->showText(QStringLiteral("打字记录: "));
    m_codeHint->setTips(QStringLiteral("单字词库格式为多多格式，即字+制表符(Tab键)+编码"));
    // The progress moves on every key: its cell is as wide as the figure at its end from the start.
    m_progressText->makeRoom(progressInfo(1, 1).progressText);
    const std::pair<QWidget*, const char*> named[] = {{m_progress, "progressBar"}, {m_chat, "labChat"},
                                                      {m_segment, "labSegment"},   {m_title, "labTitle"},
                                                      {m_count, "labCount"},       {m_progressText, "labProgress"},
                                                      {m_codeHint, "labCodeHint"}, {m_record, "labRecord"}};
    for (const auto& [widget, name] : named)
        widget->setObjectName(QLatin1String(name));
    // The names take the width of their texts, no more, and give it up first; the figures keep
    // their widths from key to key.
    m_bar->addWidget(new StatusRow(m_chat, m_segment, m_title, {m_count, m_progressText, m_codeHint, m_record}, m_bar),
                     1);
}

void RunStatusBar::showPassage(const QString& chatText, const QString& segmentHeader, const QString& title,
                               bool hintsOn)
{
    const QString idle = QStringLiteral("Tavrel潜水中……");
    m_chat->setWhole(chatText == idle ? chatText : QStringLiteral("QQ群: ") + chatText);
    m_segment->setWhole(QStringLiteral("段号: ") + segmentHeader);
    // The count changes with the passage, not with the keys: a shorter one narrows its cell.
    m_count->makeRoom(QString());
    m_count->forget();
    const QString titleTip =
        title.isEmpty() ? QString() : QStringLiteral("<qt>") + oneLine(title).toHtmlEscaped() + QStringLiteral("</qt>");
    m_title->setTips(titleTip, titleTip);
    m_title->setWhole(QStringLiteral("标题: ") + oneLine(title));
    setHintsOn(hintsOn);
    m_codeHint->showText(QStringLiteral("编码提示: "));
}

void RunStatusBar::forgetCodeHints()
{
    m_codeHint->forget();
}

void RunStatusBar::showProgress(const ProgressInfo& info)
{
    m_count->showText(info.countText);
    m_progressText->showText(info.progressText);
    m_progress->setValue(info.barValue);
}

void RunStatusBar::showFreeCount(int count)
{
    m_title->setTips(QString());
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
    // The chat text is markup already (the group's name escaped); cut, its tool tip tells the whole.
    m_chat->setTips(tip);
}

void RunStatusBar::setSegmentToolTip(const QString& tip)
{
    m_segment->setTips(tip);
}

void RunStatusBar::setCodeHint(const QString& text, bool hintsOn)
{
    setHintsOn(hintsOn);
    m_codeHint->showText(text);
}

void RunStatusBar::setHintsOn(bool on)
{
    // The hint's room is the widest hint shown while hints are on; none is kept while they are off.
    if (on == m_hintsOn)
        return;
    m_hintsOn = on;
    m_codeHint->forget();
}

void RunStatusBar::setRecord(const QString& text, const QString& toolTip)
{
    m_record->setTips(toolTip);
    m_record->showText(text);
}

void RunStatusBar::setRecordRoom(const QString& text)
{
    m_record->makeRoom(text);
}

void RunStatusBar::setRecordText(const QString& text)
{
    m_record->showText(text);
}

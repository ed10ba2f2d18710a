#include "typing/statusbar.h"

#include "app/core/textchars.h"
#include "typing/core/comparison.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocumentFragment>

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

// The width the first of two texts gets of the `room` they share: a text that needs less than half
// of it is shown whole and the other takes the rest; when both need more, each gets half, and
// neither less than its least.
int firstShare(int room, int firstNeed, int secondNeed, int firstLeast, int secondLeast)
{
    const int half = room / 2;
    if (firstNeed <= half || firstNeed + secondNeed <= room)
        return firstNeed;
    if (secondNeed <= room - half)
        return room - secondNeed;
    return qMax(firstLeast, qMin(half, room - secondLeast));
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

    QSize sizeHint() const override { return m_wholeHint; }
    QSize minimumSizeHint() const override
    {
        // The caption and "…" at least, so it still says what it is.
        const int width = fontMetrics().horizontalAdvance(m_caption + kEllipsis) + 2 * margin();
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
        const QFontMetrics metrics(font());
        const int room = contentsRect().width() - 2 * margin();
        QString shown = m_text;
        // Cut where it has less than the width it asked for; a hidden one is not laid out.
        if (isVisible() && width() < m_wholeHint.width()) {
            if (textFormat() == Qt::PlainText) {
                shown = metrics.elidedText(m_text, Qt::ElideRight, room);
            } else {
                // The most characters that fit with the "…", kept inside the markup.
                int low = 0;
                int high = plain(m_text).size();
                while (low < high) {
                    const int keep = (low + high + 1) / 2;
                    if (metrics.horizontalAdvance(plain(cutMarkup(m_text, keep, kEllipsis))) <= room)
                        low = keep;
                    else
                        high = keep - 1;
                }
                shown = cutMarkup(m_text, low, kEllipsis);
            }
        }
        if (text() != shown)
            QLabel::setText(shown);
        setToolTip(shown == m_text ? m_wholeTip : m_cutTip);
    }

    const QString m_caption;
    QString m_text;
    QString m_wholeTip;
    QString m_cutTip;
    QSize m_wholeHint;
    bool m_measuring = false;
};

// The chat group, the segment and the title in one row of the bar, the first and the last sharing
// the room the segment leaves between them.
class SharingRow : public QWidget
{
public:
    SharingRow(QWidget* first, QWidget* middle, QWidget* last, QWidget* parent)
        : QWidget(parent), m_labels{first, middle, last}
    {
        for (QWidget* label : m_labels)
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
        for (const QWidget* label : m_labels)
            row = QSize(row.width() + (label->*size)().width(), qMax(row.height(), (label->*size)().height()));
        return row;
    }

    void place()
    {
        const auto [first, middle, last] = m_labels;
        const int room = width() - 2 * spacing() - middle->sizeHint().width();
        const int firstWidth = firstShare(room, first->sizeHint().width(), last->sizeHint().width(),
                                          first->minimumSizeHint().width(), last->minimumSizeHint().width());
        const int lastWidth = qMax(0, room - firstWidth);
        first->setGeometry(0, 0, firstWidth, height());
        middle->setGeometry(firstWidth + spacing(), 0, middle->sizeHint().width(), height());
        last->setGeometry(width() - lastWidth, 0, lastWidth, height());
    }

    const std::array<QWidget*, 3> m_labels;
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
    m_count = new QLabel(m_bar);
    m_progressText = new QLabel(m_bar);
    m_codeHint = new QLabel(m_bar);
    m_record = new QLabel(QStringLiteral("打字记录: "), m_bar);
    const std::pair<QWidget*, const char*> named[] = {{m_progress, "progressBar"}, {m_chat, "labChat"},
                                                      {m_segment, "labSegment"},   {m_title, "labTitle"},
                                                      {m_count, "labCount"},       {m_progressText, "labProgress"},
                                                      {m_codeHint, "labCodeHint"}, {m_record, "labRecord"}};
    for (const auto& [widget, name] : named)
        widget->setObjectName(QLatin1String(name));
    // The names take the width of their texts, no more, and give it up first; the figures share
    // what is left over.
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
    const QString titleTip =
        title.isEmpty() ? QString() : QStringLiteral("<qt>") + oneLine(title).toHtmlEscaped() + QStringLiteral("</qt>");
    m_title->setWhole(QStringLiteral("标题: ") + oneLine(title), titleTip, titleTip);
    m_codeHint->setText(QStringLiteral("编码提示: "));
    m_codeHint->setToolTip(QStringLiteral("单字词库格式为多多格式，即字+制表符(Tab键)+编码"));
}

void RunStatusBar::showProgress(const ProgressInfo& info)
{
    m_count->setText(info.countText);
    m_progressText->setText(info.progressText);
    m_progress->setValue(info.barValue);
}

void RunStatusBar::showFreeCount(int count)
{
    m_title->setWhole(QStringLiteral("标题: "));
    m_count->setText(QStringLiteral("总字数: ") + QString::number(count));
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

void RunStatusBar::setCodeHint(const QString& text)
{
    m_codeHint->setText(text);
}

void RunStatusBar::setRecord(const QString& text, const QString& toolTip)
{
    m_record->setText(text);
    m_record->setToolTip(toolTip);
}

void RunStatusBar::setRecordText(const QString& text)
{
    m_record->setText(text);
}

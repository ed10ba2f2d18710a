#include "typing/statusbar.h"

#include "typing/core/comparison.h"

#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStatusBar>

namespace {

// Titles come from the chat and from files: one line, never markup.
QString oneLine(QString text)
{
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]+"));
    return text.replace(breaks, QStringLiteral(" "));
}

} // namespace

RunStatusBar::RunStatusBar(QWidget* parent) : QObject(parent)
{
    m_progress = new QProgressBar(parent);
    m_progress->setFixedHeight(8);
    m_progress->setTextVisible(false);
    m_bar = new QStatusBar(parent);
    m_bar->setSizeGripEnabled(false);
    m_chat = new QLabel(QStringLiteral("QQ群: "), m_bar);
    m_segment = new QLabel(m_bar);
    m_title = new QLabel(m_bar);
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
    for (QLabel* label : {m_chat, m_segment, m_title, m_count, m_progressText, m_codeHint, m_record})
        m_bar->addWidget(label, 1);
    // The chat label's text arrives as markup with the title escaped (blue while lurking).
    m_chat->setTextFormat(Qt::RichText);
    m_title->setTextFormat(Qt::PlainText);
}

void RunStatusBar::showPassage(const QString& chatText, const QString& segmentHeader, const QString& title)
{
    const QString idle = QStringLiteral("Tavrel潜水中……");
    m_chat->setText(chatText == idle ? chatText : QStringLiteral("QQ群: ") + chatText);
    m_segment->setText(QStringLiteral("段号: ") + segmentHeader);
    m_title->setText(QStringLiteral("标题: ") + oneLine(title));
    m_title->setToolTip(title.isEmpty()
                            ? QString()
                            : QStringLiteral("<qt>") + oneLine(title).toHtmlEscaped() + QStringLiteral("</qt>"));
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
    m_title->setText(QStringLiteral("标题: "));
    m_count->setText(QStringLiteral("总字数: ") + QString::number(count));
}

void RunStatusBar::setProgressVisible(bool visible)
{
    m_progressText->setVisible(visible);
}

void RunStatusBar::setChatToolTip(const QString& tip)
{
    m_chat->setToolTip(tip);
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

// Main window: the typing run. Passages are laid into the panes page by page, every change of the
// typing pane is compared with the page once and painted onto the reference pane, and each clock
// tick tests for the end of the run.
#include "typing/frmmain.h"
#include "typing/chatroad.h"
#include "ui_frmmain.h"

#include "app/core/app.h"
#include "typing/core/results.h"
#include "typing/coresettings.h"
#include "typing/resulttable.h"

#include <QColor>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <utility>

namespace {

const QString kTitle = QStringLiteral("Tavrel跟打器");

// What a reference position shows. Unknown forces a repaint of that position.
enum PaintState : quint8 { PaintUntyped, PaintRight, PaintWrong, PaintUnknown };

PaintState paintStateOf(CharState state, bool hideWrong)
{
    switch (state) {
    case CharState::Right:
        return PaintRight;
    case CharState::Wrong:
        return hideWrong ? PaintRight : PaintWrong;
    case CharState::Untyped:
        break;
    }
    return PaintUntyped;
}

// A passage's line breaks are single characters, as Enter types them: a document would fold
// "\r\n" into one position and shift every later one against the passage.
QString normaliseLineBreaks(QString text)
{
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return text;
}

// Length of a pane's text without copying it (a document always ends with one block separator).
int paneLength(const QTextEdit* pane)
{
    return pane->document()->characterCount() - 1;
}

// A collection is replaced by its file only when the file could be read.
void loadCollection(const QString& fileName, QString& collection)
{
    bool ok = false;
    const QString text = App::readTextFile(fileName, &ok);
    if (ok)
        collection = text;
}

} // namespace

// ---- Loading ----

void frmMain::setUpTypingPanes()
{
    if (m_panesSetUp)
        return;
    m_panesSetUp = true;
    // Painting the reference pane is no edit anyone could undo; keeping an undo history of it
    // would only grow with every change.
    ui->textEdit->setUndoRedoEnabled(false);
    // Pasting into the typing pane is refused by every road: the keys and the mouse in the event
    // filter, the context menu is off, and nothing may be dropped.
    ui->textEdit2->setAcceptDrops(false);
    ui->textEdit2->viewport()->setAcceptDrops(false);
    ui->textEdit2->viewport()->installEventFilter(this);
}

void frmMain::loadArticle(QString text)
{
    setUpTypingPanes();
    text = normaliseLineBreaks(CoreSettings::cleanPassage(text));

    m_run.setLayout(CoreSettings::pageLayout());
    m_run.load(text);
    m_freeTyped = 0;
    showReferencePage();

    retypeCount = 0;
    refreshBottomInfo();

    QTimer::singleShot(200, this, &frmMain::autotd);
    getfirstbmts();
}

void frmMain::autotd()
{
    if (App::Zdcm)
        on_button6_clicked();
}

void frmMain::reloadText()
{
    if (mode != FreeTyping) {
        // Judged before the passage is laid again, which starts its count afresh.
        const int count = typedCount();
        const bool completed = count == passageLength() && finished && count >= 1;
        if (pageNumber() != 1)
            loadArticle(passage());
        if (completed) {
            m_results->setCell(ColCharCount, QString::number(count));
            m_results->nextRow();
            ++retypeCount;
        } else {
            clearResult();
        }
    } else {
        clearResult();
    }

    if (mode == BlindTyping)
        setTypingStyle(typingPaneStyle());
    refreshBottomInfo();
}

void frmMain::Reset()
{
    reloadText();
    prepareRun();
    // Emptying the pane is our own edit: it must not come back as a typed change. What that change
    // would do for an empty first page has just been done by the reload and the preparation.
    setTypingText(QString(), 0);
    paintReference(false);
    BottomChange2();
    getfirstbmts();
}

void frmMain::prepareRun()
{
    minutes = 0;
    seconds = 0;
    centis = 0;
    ticks = 0;
    emit DoStopTimer();
    resetCounters();
    resetDisplay();
}

void frmMain::resetDisplay()
{
    progressBar->setValue(0);
    ui->textEdit2->setReadOnly(false);
    ui->textEdit2->setFocus(Qt::OtherFocusReason);
    ui->button->setText(QStringLiteral("速度:"));
    ui->button2->setText(QStringLiteral("击键:"));
    ui->button3->setText(QStringLiteral("码长:"));
    ui->button6->setText(QStringLiteral("理论码长:"));
    if (latestVersionTitle.simplified() == App::AppTitle.simplified()) {
        setTitleText(kTitle);
    } else {
        showTitleMessage(QStringLiteral("版本更新啦，最新版本 <a href='%1'>%2</a>")
                             .arg(App::DownloadUrl.toHtmlEscaped(), latestVersionTitle.toHtmlEscaped()),
                         -1);
    }
}

// ---- The reference pane ----

void frmMain::showReferencePage()
{
    {
        const QSignalBlocker blocker(ui->textEdit);
        ui->textEdit->document()->setPlainText(m_run.referencePage());
    }
    m_paintedStates.fill(PaintUnknown, m_run.referencePage().size());
    paintReference(true);
}

void frmMain::paintReference(bool whole)
{
    const int size = m_run.referencePage().size();
    if (whole || m_paintedStates.size() != size)
        m_paintedStates.fill(PaintUnknown, size);

    const PageComparison& page = m_run.comparison();
    const bool hideWrong = hidesWrong(mode, m_run.blindEnd());
    QVector<quint8> wanted(size);
    int first = size;
    int last = -1;
    for (int i = 0; i < size; ++i) {
        wanted[i] = paintStateOf(page.stateAt(i), hideWrong);
        if (wanted.at(i) != m_paintedStates.at(i)) {
            first = std::min(first, i);
            last = i;
        }
    }
    if (last < 0)
        return;

    // Only the span that changed is formatted again: typing one character repaints one position.
    const TextRange lookAhead = m_run.lookAheadRange();
    QTextCharFormat formats[3][2];
    const QString colours[3] = {App::Dbj, App::Rc, App::Wc};
    for (int state = 0; state < 3; ++state) {
        for (int ahead = 0; ahead < 2; ++ahead) {
            QTextCharFormat& format = formats[state][ahead];
            format.setBackground(QColor(colours[state]));
            format.setUnderlineStyle(ahead ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline);
            if (ahead)
                format.setUnderlineColor(Qt::red);
        }
    }

    const QSignalBlocker blocker(ui->textEdit);
    QTextCursor cursor(ui->textEdit->document());
    cursor.beginEditBlock();
    int start = first;
    while (start <= last) {
        const bool ahead = !lookAhead.isEmpty() && start >= lookAhead.start;
        int end = start + 1;
        while (end <= last && wanted.at(end) == wanted.at(start) &&
               (lookAhead.isEmpty() || (end >= lookAhead.start) == ahead))
            ++end;
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(formats[wanted.at(start)][ahead ? 1 : 0]);
        start = end;
    }
    cursor.endEditBlock();
    m_paintedStates = wanted;
}

void frmMain::richslot()
{
    if (mode == FreeTyping)
        return;
    scanCollections(m_run.comparison());
    paintReference(false);
}

void frmMain::wrongtest()
{
    // The page's counts are those of the last comparison, read where the run keeps them: always
    // the current mismatches, nothing to bring up to date.
}

void frmMain::scanCollections(const PageComparison& page)
{
    if (App::CuoZiSj) {
        m_collector.scanWrong(App::WrongChars, page, textTitle);
        wrongScanLength = m_collector.wrongScanLength();
    }
    if (App::ManZiSj) {
        const int before = m_collector.slowScanLength();
        m_collector.scanSlow(App::SlowChars, page, lastInputText, App::Limitmz, textTitle);
        slowScanLength = m_collector.slowScanLength();
        if (slowScanLength > before)
            lastGrowthTime = QTime::currentTime();
    }
}

void frmMain::appendTypedSlice()
{
    m_run.appendTypedSlice(ui->textEdit2->toPlainText(), finished);
}

void frmMain::fillCompareRow()
{
    m_run.fillCompareRow();
    m_results->setCell(ColWrong, QString::number(wrongCount()));
}

void frmMain::onTextChanged()
{
    if (m_record.addTyped(paneLength(ui->textEdit2), lastCommitLength)) {
        if (!m_recordSaveTimer) {
            m_recordSaveTimer = new QTimer(this);
            m_recordSaveTimer->setSingleShot(true);
            m_recordSaveTimer->setInterval(1000);
            connect(m_recordSaveTimer, &QTimer::timeout, this, [] { App::writeStats(); });
        }
        if (!m_recordSaveTimer->isActive())
            m_recordSaveTimer->start();
    }
    refreshRecordLabel();
}

void frmMain::flushRecordSave()
{
    if (m_recordSaveTimer && m_recordSaveTimer->isActive()) {
        m_recordSaveTimer->stop();
        App::writeStats();
    }
}

// ---- The typing pane ----

void frmMain::setTypingText(const QString& text, int cursor)
{
    const QSignalBlocker blocker(ui->textEdit2);
    ui->textEdit2->setPlainText(text);
    QTextCursor c = ui->textEdit2->textCursor();
    c.setPosition(qBound(0, cursor, int(text.size())));
    ui->textEdit2->setTextCursor(c);
    m_paneLength = text.size();
}

void frmMain::setTypingStyle(const QString& style)
{
    // Setting a style sheet re-polishes the pane; the end test asks for the same one on every tick.
    if (ui->textEdit2->styleSheet() != style)
        ui->textEdit2->setStyleSheet(style);
}

void frmMain::setMaxLength()
{
    fitTypingPane();
}

QString frmMain::fitTypingPane()
{
    const QString text = ui->textEdit2->toPlainText();
    const TrimResult trimmed = trimToLength(text, ui->textEdit2->textCursor().position(), m_run.referencePage().size());
    if (!trimmed.changed)
        return text;
    setTypingText(trimmed.text, trimmed.cursor);
    return trimmed.text;
}

void frmMain::do_cursorChanged() {}

void frmMain::Start()
{
    // Our own edits of the pane (trimming, a page turn) are made with its signals blocked; this
    // guard also keeps a nested event loop from starting a second pass over a half-done change.
    if (m_inTypedChange)
        return;
    const QScopedValueRollback<bool> guard(m_inTypedChange, true);

    if (paused) {
        setTitleText(kTitle);
        paused = false;
    }
    m_results->view()->scrollToBottom();

    int length = paneLength(ui->textEdit2);
    if (m_paneEvents == m_paneEventsAtChange)
        notePlainInsertion(length);
    m_paneEventsAtChange = m_paneEvents;

    bool started = false;
    if (mode == FreeTyping) {
        // Free mode only counts: no comparison and no copy of a text that may be very long.
        trimFreePane(length);
        m_freeTyped = m_freeHeld + length;
        m_paneLength = length;
        started = m_freeTyped > 0;
    } else {
        // The pane's text is read once per change: trimming hands back what it leaves in the pane.
        typedChange(fitTypingPane());
        started = typedCount() > 0;
    }

    if (started) {
        if (!clockRunning())
            emit DoStartTimer();
        ui->textEdit->verticalScrollBar()->setValue(ui->textEdit2->verticalScrollBar()->value());
    } else if (pageNumber() == 1) {
        reloadText();
        prepareRun();
        paintReference(false);
    }

    if (passageLength() > typedCount()) {
        onTextChanged();
        endTickCount = 0;
    }
    BottomChange2();
}

void frmMain::trimFreePane(int& length)
{
    const int limit = 3000;
    const int keep = 1000;
    if (length <= limit)
        return;
    const int cut = length - keep;
    QTextCursor cursor(ui->textEdit2->document());
    cursor.setPosition(cut, QTextCursor::KeepAnchor);
    // A character outside the Basic Multilingual Plane stays whole on one side of the cut.
    if (cut > 0 && ui->textEdit2->document()->characterAt(cut).isLowSurrogate())
        cursor.setPosition(cut + 1, QTextCursor::KeepAnchor);
    const int removed = cursor.selectionEnd();
    const int typingAt = ui->textEdit2->textCursor().position();
    {
        const QSignalBlocker blocker(ui->textEdit2);
        cursor.removeSelectedText();
        QTextCursor at = ui->textEdit2->textCursor();
        at.setPosition(std::max(0, typingAt - removed));
        ui->textEdit2->setTextCursor(at);
    }
    m_freeHeld += removed;
    length -= removed;
    m_paneLength = length;
}

void frmMain::notePlainInsertion(int length)
{
    // A change with no key or input-method event before it is a plain insertion (the own
    // input-method panel commits that way): its commit is what the pane grew by, before the cursor.
    const int grown = std::max(0, length - m_paneLength);
    QTextCursor cursor = ui->textEdit2->textCursor();
    const int end = cursor.position();
    cursor.setPosition(std::max(0, end - grown));
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    lastInputText = cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    lastCommitLength = grown;
    if (!firstEventSeen && !lastInputText.isEmpty()) {
        firstEventSeen = true;
        uncountedChars = lastInputText;
    }
}

void frmMain::typedChange(const QString& typed)
{
    const PageChange change = m_run.typedChanged(typed, mode);
    scanCollections(change.compared);
    if (change.turned) {
        showReferencePage();
        setTypingText(change.keptTyped, change.keptTyped.size());
    } else {
        m_paneLength = typed.size();
        paintReference(false);
    }
}

// ---- The clock's per-tick work ----

void frmMain::updateStatus(QString minutesText, QString secondsText, QString centisText, QString ticksText)
{
    clockMinutesText = std::move(minutesText);
    clockSecondsText = std::move(secondsText);
    clockCentisText = std::move(centisText);
    clockTicksText = std::move(ticksText);
    computeResults();
    refreshResultButtons();

    // An empty passage never meets the end test.
    if (passageLength() <= 0 || typedCount() < passageLength() || mode == FreeTyping)
        return;

    ++endTickCount;
    if (endTickCount == 1)
        onTextChanged();
    labCount->setText(QStringLiteral("总字数: ") + QString::number(passageLength()));
    labProgress->setText(QStringLiteral("进度: 100.00%"));
    progressBar->setValue(100);

    // The run ends only with the page's last character right; until then each tick tests again.
    if (m_run.comparison().lastCharRight()) {
        Stop();
        ui->textEdit2->setReadOnly(true);
        ui->textEdit->setFocus();
        finished = true;
        computeResults();
        slotDelay();
    } else {
        finished = false;
    }
    setTypingStyle(QStringLiteral("QTextEdit{background:%1;color:%2;}").arg(App::Gbj, App::Ztcg));
}

void frmMain::Stop()
{
    emit DoStopTimer();
    if (typedCount() > 0) {
        setTitleText(kTitle + QStringLiteral("[暂停]"));
        paused = true;
    }
}

void frmMain::pauseSlot()
{
    Stop();
    QTimer::singleShot(300, this, &frmMain::slotDelay2);
}

// ---- Bottom bar and title ----

void frmMain::BottomChange2()
{
    if (mode == FreeTyping) {
        labTitle->setText(QStringLiteral("标题: "));
        labCount->setText(QStringLiteral("总字数: ") + QString::number(m_freeHeld + paneLength(ui->textEdit2)));
        return;
    }
    const ProgressInfo info = progressInfo(typedCount(), passageLength());
    labCount->setText(info.countText);
    labProgress->setText(info.progressText);
    progressBar->setValue(info.barValue);
}

void frmMain::refreshBottomInfo()
{
    const QString idle = QStringLiteral("Tavrel潜水中……");
    const QString chat = m_chat->labelText();
    labChat->setText(chat == idle ? chat : QStringLiteral("QQ群: ") + chat);
    labSegment->setText(QStringLiteral("段号: ") + segmentHeader);
    labTitle->setText(QStringLiteral("标题: ") + textTitle);
    labTitle->setToolTip(textTitle);
    labCodeHint->setText(QStringLiteral("编码提示: "));
    labCodeHint->setToolTip(QStringLiteral("单字词库格式为多多格式，即字+制表符(Tab键)+编码"));
    BottomChange2();
}

void frmMain::setTitleText(const QString& text)
{
    ui->lab_Title->setText(text);
}

void frmMain::showTitleMessage(QString message, int ms)
{
    setTitleText(kTitle + QStringLiteral("[<font color='red';>%1</font>]").arg(message));
    if (ms < 0)
        return;
    // Events keep running while the message shows; quitting cuts the wait short.
    ChatRoad::wait(ms);
    setTitleText(kTitle);
}

// ---- The collections' files ----

void frmMain::loadWrongChars()
{
    loadCollection(QStringLiteral("错字收集.txt"), App::WrongChars);
}

void frmMain::loadSlowChars()
{
    loadCollection(QStringLiteral("慢字收集.txt"), App::SlowChars);
}

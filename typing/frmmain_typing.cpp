// Main window: the typing run. Passages are laid into the panes page by page, every change of the
// typing pane is compared with the page once and painted onto the reference pane, and each clock
// tick tests for the end of the run.
#include "typing/chatroad.h"
#include "typing/frmmain.h"
#include "typing/paneinput.h"
#include "typing/recordview.h"
#include "typing/runclock.h"
#include "typing/statusbar.h"
#include "ui_frmmain.h"

#include "app/core/app.h"
#include "typing/core/results.h"
#include "typing/coresettings.h"
#include "typing/resultbranch.h"
#include "typing/resulttable.h"
#include "typing/typingview.h"
#include "typing/windowframe.h"

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

} // namespace

// ---- Loading ----

void frmMain::loadArticle(QString text)
{
    text = normaliseLineBreaks(CoreSettings::cleanPassage(text));
    // The same passage laid again (a retype from a later page) keeps the hint's room.
    if (text != passage())
        m_status->forgetCodeHints();
    m_view->setUpPanes(this);
    m_view->load(text, CoreSettings::pageLayout());
    m_view->showReferencePage(App::Pattern);

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
    if (App::Pattern != FreeTyping) {
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

    if (App::Pattern == BlindTyping)
        m_look->restyleTypingPane();
    refreshBottomInfo();
}

void frmMain::Reset()
{
    reloadText();
    prepareRun();
    // Emptying the pane is our own edit: it must not come back as a typed change. What that change
    // would do for an empty first page has just been done by the reload and the preparation.
    m_view->setTypingText(QString(), 0);
    m_view->paintReference(App::Pattern, false);
    BottomChange2();
    getfirstbmts();
}

void frmMain::prepareRun()
{
    m_clock->reset();
    emit DoStopTimer();
    resetCounters();
    resetDisplay();
}

void frmMain::resetDisplay()
{
    m_status->progressBar()->setValue(0);
    ui->textEdit2->setReadOnly(false);
    ui->textEdit2->setFocus(Qt::OtherFocusReason);
    showResultButtons(QStringList());
    ui->button6->setText(TheoreticalLengthCaption);
    if (m_branch->postLost()) {
        // The lost post's notice stays until the run starts.
    } else if (latestVersionTitle.simplified() == App::AppTitle.simplified()) {
        setTitleText(kTitle);
    } else {
        showTitleMessage(
            QStringLiteral("版本更新啦，最新版本 ") + Deployment::link(App::DownloadUrl, latestVersionTitle), -1);
    }
}

// ---- The reference pane ----

void frmMain::scanCollections(const PageComparison& page)
{
    m_collections.scan(page, m_input->lastInputText(), textTitle);
}

void frmMain::fillCompareRow()
{
    m_view->fillCompareRow();
    m_results->setCell(ColWrong, QString::number(wrongCount()));
}

void frmMain::onTextChanged()
{
    m_records->typed(m_view->paneLength(), m_input->lastCommitLength());
}

// ---- The typing pane ----

void frmMain::setMaxLength()
{
    m_view->fitTypingPane();
}

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

    if (!m_input->eventSinceLastChange()) {
        // A plain insertion (the own input-method panel commits that way): its commit is what the
        // pane grew by, before the cursor.
        const int length = m_view->paneLength();
        m_input->notePlainInsertion(m_view->grownText(length), std::max(0, length - m_view->knownPaneLength()));
    }
    m_input->markChange();

    if (App::Pattern == FreeTyping) {
        m_view->freeChange();
        m_input->changeFitted(0); // what leaves a free pane still counts
    } else {
        // The pane's text is read once per change: trimming hands back what it leaves in the pane.
        const int untrimmed = m_view->paneLength();
        const QString typed = m_view->fitTypingPane();
        m_input->changeFitted(untrimmed - typed.size());
        scanCollections(m_view->typedChange(typed, App::Pattern));
    }
    const bool started = typedCount() > 0;

    if (started) {
        if (!clockRunning()) {
            emit DoStartTimer();
            if (m_branch->takePostLost())
                setTitleText(kTitle);
        }
        ui->textEdit->verticalScrollBar()->setValue(ui->textEdit2->verticalScrollBar()->value());
    } else if (pageNumber() == 1) {
        reloadText();
        prepareRun();
        m_view->paintReference(App::Pattern, false);
    }

    if (passageLength() > typedCount()) {
        onTextChanged();
        endTickCount = 0;
    }
    BottomChange2();
}

// ---- The clock's per-tick work ----

void frmMain::updateStatus()
{
    computeResults();
    refreshResultButtons();

    // An empty passage never meets the end test.
    if (passageLength() <= 0 || typedCount() < passageLength() || App::Pattern == FreeTyping)
        return;

    ++endTickCount;
    if (endTickCount == 1)
        onTextChanged();
    m_status->showProgress(progressInfo(passageLength(), passageLength()));

    // The run ends only with the page's last character right; until then each tick tests again.
    if (typingRun().comparison().lastCharRight()) {
        Stop();
        ui->textEdit2->setReadOnly(true);
        ui->textEdit->setFocus();
        finished = true;
        m_finishedBy = App::SignedInName;
        computeResults();
        slotDelay();
    } else {
        finished = false;
    }
    m_look->restyleTypingPane(true);
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
    if (App::Pattern == FreeTyping) {
        m_status->showFreeCount(m_view->freeCount());
        return;
    }
    m_status->showProgress(progressInfo(typedCount(), passageLength()));
}

void frmMain::refreshBottomInfo()
{
    m_status->showPassage(m_chat->labelText(), segmentHeader, textTitle, codeHintsOn());
    m_records->makeRoomFor(passageLength());
    BottomChange2();
}

void frmMain::setTitleText(const QString& text)
{
    m_frame->setTitle(text);
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

// ---- The run's state, where the typing view keeps it ----

const PassageRun& frmMain::typingRun() const
{
    return m_view->run();
}

int frmMain::typedCount() const
{
    return m_view->typedCount(App::Pattern);
}

// Main window: result figures and the result table, the result line with its check field, and the
// end of a run: the chain that finishes the figures, then the pop-up, the posting of the result,
// the upload and the automatic next step.
#include "typing/chatroad.h"
#include "typing/frmmain.h"
#include "typing/paneinput.h"
#include "typing/recordview.h"
#include "ui_frmmain.h"

#include "app/core/app.h"
#include "app/frmmessagebox.h"
#include "sending/sendingcycle.h"
#include "typing/core/drills.h"
#include "typing/core/resultline.h"
#include "typing/core/results.h"
#include "typing/coresettings.h"
#include "typing/resultbranch.h"
#include "typing/resulttable.h"
#include "typing/runclock.h"
#include "typing/typingview.h"

#include <QApplication>
#include <QClipboard>

#include <utility>

// ---- Figures and table ----

RunInputs frmMain::currentRunInputs() const
{
    RunInputs in;
    in.ticks = m_clock->ticks();
    in.typedCount = typedCount();
    in.uncountedLength = m_input->uncountedLength();
    in.wordChars = m_input->wordChars();
    in.wrongCount = wrongCount();
    in.retypeCount = retypeCount;
    in.previousCodeLength = m_results->figures().codeLength;
    in.keys = CoreSettings::keyCounters();
    return in;
}

void frmMain::computeResults()
{
    m_results->evaluate(currentRunInputs());
}

void frmMain::refreshResultButtons()
{
    // The row is coloured only where it was written: between writes its colours hold.
    bool written = false;
    if (finished || App::ShiShi) {
        if (finished || m_results->liveRowDue()) {
            fillResultRow();
            written = true;
        }
    } else {
        clearResult();
    }

    if (typedCount() == 0) {
        clearResult();
        showResultButtons(QStringList());
    }
    if (written)
        colourResultRow();
}

void frmMain::colourResultRow()
{
    if (!App::BianSe)
        return;
    const ResultFigures& f = m_results->figures();
    m_results->colourRow(f.speed, f.keyRate, f.codeLength);
}

void frmMain::fillResultRow()
{
    m_results->fillRow(currentRunInputs());
    chengji();
    showResultButtons(m_results->cells());
}

void frmMain::showResultButtons(const QStringList& cells)
{
    const QStringList texts = resultButtonTexts(cells);
    ui->button->setText(texts.at(0));
    ui->button2->setText(texts.at(1));
    ui->button3->setText(texts.at(2));
}

void frmMain::chengji()
{
    if (m_results)
        m_results->applyColumnSwitches(CoreSettings::columnSwitches());
}

// ---- Result line ----

RunResult frmMain::currentRunResult() const
{
    RunResult run;
    run.segmentHeader = segmentHeader;
    run.cells = m_results->cells();
    run.peakSpeed = m_results->peaks().speed;
    run.peakKeyRate = m_results->peaks().keyRate;
    run.peakCodeLength = m_results->peaks().codeLength;
    run.wrongCount = wrongCount();
    run.wrongRefChars = typingRun().wholeComparison().wrongRefChars;
    run.wrongTypedChars = typingRun().wholeComparison().wrongTypedChars;
    return run;
}

void frmMain::buildPostText(RunEnd end)
{
    const ResultLine line = buildResultLine(currentRunResult(), CoreSettings::lineSettings(), end);
    resultText = line.resultText;
    resultTextPlain = line.resultTextPlain;
    shortResult = line.shortResult;
    QApplication::clipboard()->setText(resultText, QClipboard::Clipboard);
}

void frmMain::checkSlot()
{
    const QString text = QApplication::clipboard()->text(QClipboard::Clipboard);
    const LineCheck check = verifyResultLine(text, App::ShuRuFa2, App::QianMing2);
    frmMessageBox box(this);
    box.SetMessage(check.message, 0, Qt::PlainText);
    box.exec();
}

// ---- End of a run ----

void frmMain::waitProcessingEvents(int ms)
{
    // Ticks, hot keys and the wall clock keep being served while the row is on show.
    ChatRoad::wait(ms);
}

void frmMain::markUploadEligibility()
{
    const WholeText whole = wholeTextOf(textTitle, passageLength(), m_sending->segments().fullText().length());
    if (whole == WholeText::BuiltinDrill)
        App::setTextSource(App::TextSource::BuiltInSet);
    wholeText = whole != WholeText::No;
}

void frmMain::slotDelay()
{
    ++runEndCount;
    m_view->appendTypedSlice(finished);
    fillCompareRow();
    // The wrong count is final only now; the cell the line reads must agree with the table.
    m_results->keepCell(ColWrong, QString::number(wrongCount()));

    if (!showFinalRow())
        return;

    if (wrongCount() >= 1) {
        // The speed button shows it with the others below.
        const QString cell = penaltySpeedCell(m_results->figures(), wrongCount());
        m_results->keepCell(ColSpeed, cell);
        m_results->setCell(ColSpeed, cell);
    }

    m_records->record().addRun(m_results->figures().runSeconds, App::KeyCount, typedCount());

    const ResultFigures& last = m_results->figures();
    m_results->takePeaks(last.speed, last.keyRate, last.codeLength);
    updateCurveData();

    showResultButtons(m_results->cells());
    m_records->refreshTotals();

    if (wrongCount() > 0) {
        if (needsWideSpeedColumn(m_results->cells().at(ColSpeed)))
            m_results->widenSpeedColumn();
        chengji();
    }
    buildPostText(RunEnd::FollowOrBlind);
    jltoSql();
    markUploadEligibility();

    // Everything after this works on a copy: the pop-up and the posting waits let other commands run.
    m_branch->followOrBlindEnded(takeFinishedRun());
}

void frmMain::slotDelay2()
{
    ++runEndCount;
    if (App::Pattern != FreeTyping || typedCount() < 1 || runEndCount != 1)
        return;

    ui->textEdit2->setReadOnly(true);
    if (!showFinalRow())
        return;

    m_results->takePeaks(m_results->figures().speedText.toDouble(), m_results->cellText(ColKeyRate).toDouble(),
                         m_results->cellText(ColCodeLength).toDouble());
    updateCurveData();
    buildPostText(RunEnd::Free);

    m_branch->freeRunEnded(takeFinishedRun());

    // The finished free row stays; the next run fills the row below.
    if (!m_results->cellText(ColKeyRate).isEmpty())
        m_results->nextRow();

    finishFreeRunRetype();
}

// ---- End of a run: pop-up, posting, upload and the automatic next step ----

bool frmMain::showFinalRow()
{
    // Also with the live row on: the last tick may not have shown it. Its new figures are
    // coloured as the live row's are; without the live row the end shows no colours.
    fillResultRow();
    if (App::ShiShi) {
        colourResultRow();
        return true;
    }
    waitProcessingEvents(200);
    // A retype or a new passage during the wait reset the counters: this run is gone.
    return runEndCount != 0;
}

FinishedRun frmMain::takeFinishedRun() const
{
    FinishedRun run;
    run.line = resultText;
    run.shortLine = shortResult;
    run.passage = passage();
    run.speed = m_results->figures().speedText.toDouble();
    run.keyRate = m_results->cells().value(ColKeyRate).toDouble();
    run.wrongCell = m_results->cells().value(ColWrong);
    run.wrongCount = wrongCount();
    run.finished = finished;
    return run;
}

void frmMain::finishFreeRunRetype()
{
    if (App::GbtanChuang)
        Reset();
}

void frmMain::updateCurveData()
{
    emit infoqx(m_results->histories().speedHistory);
}

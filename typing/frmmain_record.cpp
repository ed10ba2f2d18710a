// Main window: the typing record (record label, averages, day roll-over, the clearing commands) and
// the code hints (next character's code, theoretical code length).
#include "typing/frmmain.h"
#include "ui_frmmain.h"

#include "account/accountpart.h"
#include "app/core/app.h"
#include "app/frmmessagebox.h"
#include "app/core/myhelper.h"

#include <QDebug>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextDocument>

namespace {

// The settings name a file of the code folder; a name with folders in it cannot reach outside it.
QString codeFilePath()
{
    return CodeFile::pathFor(QFileInfo(App::BianMa).fileName());
}

// The character at `position` of a pane as its plain text has it (a surrogate pair whole), read
// from the document without copying the pane's text; empty past the end.
QString paneCharAt(const QTextDocument* document, int position)
{
    const int length = document->characterCount() - 1; // without the closing paragraph separator
    if (position < 0 || position >= length)
        return QString();
    auto plain = [](QChar c) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            return QChar(QLatin1Char('\n'));
        if (c == QChar::Nbsp)
            return QChar(QLatin1Char(' '));
        return c;
    };
    QString slice(plain(document->characterAt(position)));
    if (slice.at(0).isHighSurrogate() && position + 1 < length)
        slice += plain(document->characterAt(position + 1));
    return slice;
}

} // namespace

// ---- Typing record ----

// The record as the window opens (and after a log-in): the signed-in user's remote row is merged in,
// then the day check corrects today's count and the days of the record before the label is drawn.
void frmMain::getfromSql()
{
    const AccountPart::DayCheck day =
        m_account->mergeRemoteRecord(m_record.today(), TypingRecord::parseDay(App::Day2) == m_record.today());
    m_record.checkDay(day.regTime, day.gdTime);
    refreshRecordLabel();
    refreshTotals();
}

void frmMain::refreshRecordLabel()
{
    labRecord->setText(m_record.recordLabelText());
    labRecord->setToolTip(m_record.recordToolTip());
}

void frmMain::refreshTotals()
{
    m_record.refreshTotals();
    ui->button4->setText(m_record.averageKeyRateButtonText());
    ui->button5->setText(m_record.averageCodeLengthButtonText());
    const QString tip = m_record.totalsToolTip();
    ui->button4->setToolTip(tip);
    ui->button5->setToolTip(tip);
}

void frmMain::qtimeSlot()
{
    // Any change of date resets today's count, not only a tick that falls on midnight itself: the
    // machine may have slept through it or the clock may have been set.
    if (m_record.tick()) {
        refreshRecordLabel();
        jltoSql();
    }
}

bool frmMain::askQuestion(const QString& question)
{
    frmMessageBox box(this);
    box.SetMessage(question, 1);
    return box.exec() == 1;
}

void frmMain::qkSlot()
{
    if (!askQuestion(QStringLiteral("是否清空成绩栏？")))
        return;
    // The run is reset first: resetting books a finished run into the current row, which must
    // not leave a row behind in the emptied table.
    Reset();
    resultModel->removeRows(0, resultModel->rowCount());
    resultRow = 0;
    resetColumnWidths();
}

void frmMain::jlSlot()
{
    if (!askQuestion(QStringLiteral("是否清空打字记录？")))
        return;
    m_record.clearCounts();
    jltoSql();
    labRecord->setText(TypingRecord::clearedRecordLabelText());
}

void frmMain::zdSlot()
{
    if (!askQuestion(QStringLiteral("是否清空置顶成绩栏？")))
        return;
    m_record.clearTotals();
    jltoSql();
    if (App::DbOnline && m_account->signedIn() &&
        !myHelper::exec(QStringLiteral("update kelm_user set u_avejj=0,u_avemc=0 where u_truename=?"),
                        {App::CurrentUserName}))
        qDebug() << "失败";

    const QStringList texts = TypingRecord::clearedResultBarTexts();
    QPushButton* buttons[] = {ui->button, ui->button2, ui->button3, ui->button4, ui->button5, ui->button6};
    for (int i = 0; i < texts.size(); ++i)
        buttons[i]->setText(texts.at(i));
    ui->button4->setToolTip(TypingRecord::clearedTotalsToolTip());
    ui->button5->setToolTip(TypingRecord::clearedTotalsToolTip());
}

// ---- Code hints ----

void frmMain::openCodeFile()
{
    const QString path = codeFilePath();
    const QFileInfo info(path);
    m_codeReader1.open(path);
    m_codeFilePath = path;
    m_codeFileModified = info.lastModified();
    m_codeFileSize = info.exists() ? info.size() : -1;
}

void frmMain::openCodeFile2()
{
    // Both readers are opened one after the other on the same file; reading it twice would only
    // cost time, so reader 2 shares reader 1's index unless the file was changed in between.
    const QString path = codeFilePath();
    const QFileInfo info(path);
    if (path == m_codeFilePath && (info.exists() ? info.size() : -1) == m_codeFileSize &&
        info.lastModified() == m_codeFileModified) {
        m_codeReader2 = m_codeReader1;
        return;
    }
    m_codeReader2.open(path);
}

void frmMain::spellFun()
{
    // An empty typing pane leaves the label as it is; otherwise the hint is for the character the
    // next keystroke types, looked up from that one character rather than the whole page.
    const int typed = ui->textEdit2->document()->characterCount() - 1;
    if (typed <= 0)
        return;
    labCodeHint->setText(
        m_codeReader1.hintLabelForStart(paneCharAt(ui->textEdit->document(), typed), App::BianMa2, mode == FreeTyping));
}

void frmMain::getfirstbmts()
{
    labCodeHint->setText(
        m_codeReader1.hintLabelForStart(paneCharAt(ui->textEdit->document(), 0), App::BianMa2, mode == FreeTyping));
}

void frmMain::on_button6_clicked()
{
    const QString text = m_codeReader2.theoreticalCodeLengthText(passage, mode == FreeTyping);
    if (!text.isNull())
        ui->button6->setText(text);
}

void frmMain::mcSlot()
{
    on_button6_clicked();
}

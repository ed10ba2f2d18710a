// Main window: the typing record (record label, averages, day roll-over, the clearing commands) and
// the code hints (next character's code, theoretical code length).
#include "typing/codehints.h"
#include "typing/frmmain.h"
#include "typing/recordview.h"
#include "typing/resulttable.h"
#include "typing/statusbar.h"
#include "ui_frmmain.h"

#include "account/accountpart.h"
#include "app/core/app.h"
#include "app/frmmessagebox.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextDocument>

// ---- Typing record ----

// The record as the window opens (and after a log-in): the account part reads the signed-in user's
// row and runs the day check, which corrects today's count and the days before the label is drawn.
void frmMain::getfromSql()
{
    m_account->readRecord(m_records->record());
    m_records->refreshLabel();
    m_records->refreshTotals();
}

void frmMain::qtimeSlot()
{
    // Any change of date resets today's count, not only a tick that falls on midnight itself: the
    // machine may have slept through it or the clock may have been set.
    if (m_records->record().tick()) {
        m_records->refreshLabel();
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
    m_results->clearRows();
}

void frmMain::jlSlot()
{
    if (!askQuestion(QStringLiteral("是否清空打字记录？")))
        return;
    m_records->record().clearCounts();
    m_account->syncClearedRecord(m_records->record(), false);
    m_records->showClearedLabel();
}

void frmMain::zdSlot()
{
    if (!askQuestion(QStringLiteral("是否清空置顶成绩栏？")))
        return;
    m_records->record().clearTotals();
    m_account->syncClearedRecord(m_records->record(), true);

    const QStringList texts = TypingRecord::clearedResultBarTexts();
    QPushButton* buttons[] = {ui->button, ui->button2, ui->button3, ui->button4, ui->button5, ui->button6};
    for (int i = 0; i < texts.size(); ++i)
        buttons[i]->setText(texts.at(i));
    m_records->showClearedTotals();
}

void frmMain::jltoSql()
{
    m_account->jltoSql(m_records->record());
}

// ---- Code hints ----

void frmMain::spellFun()
{
    // An empty typing pane leaves the label as it is; otherwise the hint is for the character the
    // next keystroke types, looked up from that one character rather than the whole page.
    const int typed = ui->textEdit2->document()->characterCount() - 1;
    if (typed > 0)
        showCodeHint(typed);
}

void frmMain::getfirstbmts()
{
    showCodeHint(0);
}

void frmMain::showCodeHint(int position)
{
    m_status->setCodeHint(m_hints->hintAt(ui->textEdit->document(), position, App::BianMa2, App::Pattern == FreeTyping),
                          codeHintsOn());
}

bool frmMain::codeHintsOn()
{
    return App::BianMa2 && App::Pattern != FreeTyping;
}

void frmMain::on_button6_clicked()
{
    const QString text = m_hints->theoreticalText(passage(), App::Pattern == FreeTyping);
    if (!text.isNull())
        ui->button6->setText(text);
}

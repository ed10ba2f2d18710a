// Main window: the slots and steps that the window's later topics fill in. Each stays a no-op
// (or the smallest safe stand-in, said where) until its topic is built, and then moves to that
// topic's own frmmain_*.cpp file.
#include "typing/frmmain.h"

#include "account/setting.h"
#include "ui_frmmain.h"

#include "input/inputpanel.h"

#include "input/bmcx.h"
#include "input/cftj.h"
#include "sending/sendingcycle.h"
#include "typing/core/results.h"
#include "typing/resulttable.h"

#include "account/accountpart.h"
#include "typing/recordview.h"

#include <QContextMenuEvent>

// ---- Sending cycle and speed curve (sending/sendingcycle.cpp) ----
void frmMain::infoRecv(int segSize, QString name, QString text, QString first, QString notice)
{
    m_sending->start(segSize, name, text, first, notice);
}
void frmMain::showFawen()
{
    m_sending->openSendingWindow();
}
void frmMain::fxSlot()
{
    m_sending->advance();
}
void frmMain::tzSlot()
{
    m_sending->stop();
}
void frmMain::saveSlot()
{
    m_sending->saveProgress();
}
void frmMain::setSendPanelVisible(bool visible)
{
    m_sending->setPanelVisible(visible);
}
void frmMain::recvQuit(QString message)
{
    m_sending->curveClosed(message);
}
void frmMain::showSlot()
{
    m_sending->toggleCurve();
}

// ---- Settings window ----
// A new settings window on every opening, its OK re-applying the settings here.
void frmMain::showSetting()
{
    Setting::showNew(this, [this] { settingRecv(); });
}

// ---- Input method and code-table tools: filled in with those windows ----
// A new code-lookup window, a new decomposition-picture window, each shown without a parent.
void frmMain::bmcxSlot()
{
    bmcx::showNew();
}
void frmMain::cftjSlot()
{
    cftj::showNew();
}
// Creates the input-method panel once, hides it and clears App::CountSelectKeys.
void frmMain::inputSlot()
{
    InputPanel::open(true);
}

// ---- Account, remote record and ranking: the account part ----
void frmMain::checkRememberedLogin()
{
    m_account->checkRememberedLogin();
}
void frmMain::loginRecv(QString message)
{
    m_account->loginRecv(message);
}
void frmMain::uploadcjSlot()
{
    m_account->uploadcjSlot();
}
void frmMain::rankSlot()
{
    m_account->rankSlot();
}
void frmMain::loginSlot()
{
    m_account->loginSlot();
}
void frmMain::regSlot()
{
    m_account->regSlot();
}
void frmMain::jltoSql()
{
    m_account->jltoSql(m_records->record());
}

// ---- End of a run: filled in with the ranking upload and the sending cycle ----
// Uploads the finished run to the ranking when the text and the account allow it; manual is 1
// when the user accepted the result pop-up, 0 for the quiet upload.
void frmMain::tryUpload(int manual)
{
    m_account->tryUpload(manual);
}
// After a posted result: with a cycle running, Dl off, Fw "跟打结束自动发文" and the run finished
// (its last character right), the next segment.
void frmMain::loadNextSegmentAfterResult(bool runFinished)
{
    m_sending->advanceAfterRun(runFinished);
}

// The histories are already filtered and the peaks taken (takePeaks) when this runs: the
// filtered speeds go to the curve window.
void frmMain::updateCurveData()
{
    emit infoqx(m_results->histories().speedHistory);
}

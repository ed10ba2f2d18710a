// Main window: the slots and steps that the window's later topics fill in. Each stays a no-op
// (or the smallest safe stand-in, said where) until its topic is built, and then moves to that
// topic's own frmmain_*.cpp file.
#include "typing/frmmain.h"

#include "account/setting.h"
#include "ui_frmmain.h"

#include "input/inputpanel.h"

#include "input/bmcx.h"
#include "input/cftj.h"

#include "account/accountpart.h"
#include "typing/recordview.h"

#include <QContextMenuEvent>

// ---- Sending cycle: filled in with the text-sending cycle ----
void frmMain::infoRecv(int segSize, QString name, QString text, QString first, QString notice)
{
    Q_UNUSED(segSize)
    Q_UNUSED(name)
    Q_UNUSED(text)
    Q_UNUSED(first)
    Q_UNUSED(notice)
}
void frmMain::showFawen() {}
void frmMain::fxSlot() {}
void frmMain::tzSlot() {}
void frmMain::saveSlot() {}
void frmMain::setSendPanelVisible(bool visible)
{
    Q_UNUSED(visible)
}

// ---- Speed curve: filled in with the speed-curve window ----
void frmMain::recvQuit(QString message)
{
    Q_UNUSED(message)
}
void frmMain::showSlot() {}

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
// (its last character right), the next segment (fxSlot).
void frmMain::loadNextSegmentAfterResult(bool runFinished)
{
    Q_UNUSED(runFinished)
}

// ---- Speed curve: filled in with the speed-curve window ----
// The histories are already filtered and the peaks taken (takeCurvePeaks) when this runs; what is
// left is handing the filtered speedHistory to the curve window (infoqx).
void frmMain::updateCurveData() {}

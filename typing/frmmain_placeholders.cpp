// Main window: the slots and steps that the window's later topics fill in. Each stays a no-op
// (or the smallest safe stand-in, said where) until its topic is built, and then moves to that
// topic's own frmmain_*.cpp file.
#include "typing/frmmain.h"
#include "ui_frmmain.h"

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

// ---- Speed curve: filled in with the speed-curve window ----
void frmMain::recvQuit(QString message)
{
    Q_UNUSED(message)
}
void frmMain::showSlot() {}

// ---- Typing run: filled in with passage loading and paging ----
void frmMain::do_cursorChanged() {}
void frmMain::setMaxLength() {}
void frmMain::Start() {}
void frmMain::Stop() {}
void frmMain::Reset() {}
void frmMain::pauseSlot() {}
void frmMain::autotd() {}
void frmMain::BottomChange2() {}
void frmMain::resetDisplay() {}

// Until paging is built the passage is only shown, so the window opens with its help text.
void frmMain::loadArticle(QString text)
{
    passage = text;
    passageLength = text.length();
    ui->textEdit->setPlainText(text);
}

// Until the per-tick work is built only the clock texts are kept.
void frmMain::updateStatus(QString minutesText, QString secondsText, QString centisText, QString ticksText)
{
    clockMinutesText = minutesText;
    clockSecondsText = secondsText;
    clockCentisText = centisText;
    clockTicksText = ticksText;
}

// ---- Menus, hot keys and commands: filled in with the menus ----
void frmMain::initMenus() {}
void frmMain::settingRecv() {}
void frmMain::activated() {}
void frmMain::showSetting() {}
void frmMain::fontSlot() {}
void frmMain::xzSlot() {}
void frmMain::qqSlot() {}
void frmMain::tbSlot() {}
void frmMain::aboutSlot() {}
void frmMain::gdSlot() {}
void frmMain::zySlot() {}
void frmMain::mdSlot() {}
void frmMain::bossSlot() {}
void frmMain::fuwSlot() {}
void frmMain::zanzhuSlot() {}
void frmMain::bmcxSlot() {}
void frmMain::cftjSlot() {}
void frmMain::inputSlot() {}
void frmMain::dbjSlot() {}
void frmMain::gbjSlot() {}
void frmMain::cbjSlot() {}
void frmMain::ygczSlot() {}
void frmMain::rcSlot() {}
void frmMain::wcSlot() {}
void frmMain::shortcutSlot() {}
void frmMain::ztcdSlot() {}
void frmMain::ztcgSlot() {}
void frmMain::menu1ActionClick(QAction* action)
{
    Q_UNUSED(action)
}
void frmMain::contextMenuEvent(QContextMenuEvent* event)
{
    QDialog::contextMenuEvent(event);
}

// ---- Account, remote record and ranking: filled in with the account ----
void frmMain::checkRememberedLogin() {}
void frmMain::loginRecv(QString message)
{
    Q_UNUSED(message)
}
void frmMain::uploadcjSlot() {}
void frmMain::rankSlot() {}
void frmMain::loginSlot() {}
void frmMain::regSlot() {}
void frmMain::getfromSql() {}
void frmMain::jltoSql() {}

// ---- Built-in texts and text commands: filled in with the built-in texts ----
void frmMain::openSlot() {}
void frmMain::qwSlot() {}
void frmMain::zwSlot() {}
void frmMain::hwSlot() {}
void frmMain::ywSlot() {}
void frmMain::lxSlot() {}
void frmMain::getClipboard() {}
void frmMain::qcSlot() {}

// ---- Chat-window binding: filled in with the chat-window binding ----
void frmMain::cjSlot() {}
void frmMain::sxSlot() {}
void frmMain::hqSlot() {}
void frmMain::getWaySlot() {}
void frmMain::getHwnd() {}
void frmMain::qmenuActionClick(QAction* action)
{
    Q_UNUSED(action)
}

// ---- Passage capture: filled in with the capture from the chat window ----
void frmMain::shSlot() {}
void frmMain::zdzwSlot() {}
void frmMain::sdzwSlot() {}

// ---- Typing record: filled in with the typing record ----
void frmMain::qkSlot() {}
void frmMain::jlSlot() {}
void frmMain::zdSlot() {}
void frmMain::qtimeSlot() {}

// ---- Comparison and error colouring: filled in with the comparison ----
void frmMain::richslot() {}
void frmMain::wrongtest() {}
void frmMain::loadWrongChars() {}
void frmMain::loadSlowChars() {}

// ---- Key statistics of the typing pane: filled in with the key statistics ----
void frmMain::resetCounters() {}
bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    return QDialog::eventFilter(watched, event);
}

// ---- Code hints: filled in with the code hints ----
void frmMain::openCodeFile() {}
void frmMain::openCodeFile2() {}
void frmMain::spellFun() {}
void frmMain::getfirstbmts() {}
void frmMain::mcSlot() {}
void frmMain::on_button6_clicked() {}

// ---- Result figures, result line, end of a run: filled in with the results ----
void frmMain::chengji() {}
void frmMain::checkSlot() {}
void frmMain::slotDelay() {}
void frmMain::slotDelay2() {}

// ---- Themes, tray and window chrome: filled in with the window chrome ----
void frmMain::on_btnMenu_Max_clicked() {}
void frmMain::on_btnMenu_Min_clicked() {}
void frmMain::StyleSlot() {}
void frmMain::applyColours() {}
void frmMain::initTrayMenu() {}
void frmMain::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    Q_UNUSED(reason)
}
void frmMain::slotExitActionTrigger() {}
void frmMain::NormalSlot() {}
void frmMain::HideSlot() {}

// Until the fading close is built the button closes at once, so the window can be left.
bool frmMain::closeWidget()
{
    close();
    return true;
}

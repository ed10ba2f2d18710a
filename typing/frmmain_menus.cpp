// Main window: the small commands behind the menus (typing mode, settings, the boss key); the menu
// tree itself is the menus part (mainmenus.h).
#include "typing/frmmain.h"
#include "typing/mainmenus.h"
#include "typing/statusbar.h"
#include "typing/typingview.h"
#include "ui_frmmain.h"

#include "account/setting.h"
#include "app/core/app.h"
#include "input/bmcx.h"
#include "input/cftj.h"
#include "input/inputpanel.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>

// ---- Menu tree, context menu and hot keys: the menus part ----

void frmMain::initMenus()
{
    m_menus = new MainMenus(this, m_menuBar, m_chat);
}

void frmMain::contextMenuEvent(QContextMenuEvent* event)
{
    m_menus->showContextMenu(event->globalPos());
}

void frmMain::shortcutSlot()
{
    m_menus->rebindShortcuts();
}

void frmMain::settingRecv()
{
    shortcutSlot();
    ui->horizontalLayoutWidget->setVisible(App::Showcj);
    openCodeFile();
    openCodeFile2();
    getHwnd();
}

// ---- Typing mode ----

void frmMain::setTypingMode(int newMode)
{
    if (App::Pattern != newMode) {
        App::Pattern = newMode;
        // Restoring the saved mode while the window is built leaves the file alone.
        if (m_setUpDone)
            App::writeConfig();
    }
    if (m_menus)
        m_menus->checkMode(newMode);

    ui->textEdit->setVisible(newMode != FreeTyping);
    m_status->setProgressVisible(newMode != FreeTyping);
    m_look->restyleTypingPane();
    Reset();
}

void frmMain::gdSlot()
{
    setTypingMode(FollowTyping);
}

void frmMain::zySlot()
{
    setTypingMode(FreeTyping);
}

void frmMain::mdSlot()
{
    setTypingMode(BlindTyping);
}

void frmMain::fuwSlot()
{
    // The resize handler saves the new size, as after a resize by hand.
    resize(650, 475);
}

// ---- Settings window and tools ----

// A new settings window on every opening, its OK re-applying the settings here.
void frmMain::showSetting()
{
    Setting::showNew(this, [this] { settingRecv(); });
}

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

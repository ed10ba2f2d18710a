// Main window: the small commands behind the menus (typing mode, help texts, settings, the boss
// key); the menu tree itself is the menus part (mainmenus.h).
#include "typing/frmmain.h"
#include "typing/mainmenus.h"
#include "typing/statusbar.h"
#include "typing/typingview.h"
#include "ui_frmmain.h"

#include "app/core/app.h"
#include "app/frmmessagebox.h"
#include "app/frmmessagebox2.h"
#include "app/frmmessagebox3.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDate>
#include <QDebug>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QUrl>
#include <QUrlQuery>

namespace {

const QString kAboutNotice = QStringLiteral("<br>本软件免费使用，仅供跟打练习与交流。"
                                            "<br>问题与建议请到官方群或贴吧反馈。");

const QDate kFirstRelease(2014, 12, 1);

} // namespace

// ---- Menu tree, context menu and hot keys: the menus part ----

void frmMain::initMenus()
{
    // The window is about to be shown by whoever builds it.
    windowShown = true;
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

void frmMain::activated()
{
    bossSlot();
}

void frmMain::bossSlot()
{
    if (windowShown) {
        hide();
        windowShown = false;
        setSendPanelVisible(false);
    } else {
        showNormal();
        windowShown = true;
        setSendPanelVisible(true);
    }
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

// ---- Help ----

void frmMain::zanzhuSlot()
{
    frmMessageBox2 box(this);
    box.SetMessage(QStringLiteral("如果您认为本软件的质量不错，使用后收获很大，不妨小额赞助我一下，"
                                  "让我有动力继续写出高质量的软件。"),
                   1);
    if (box.exec() != 1)
        return;
    frmMessageBox3 picture(this);
    picture.SetMessage(QString(), 0);
    picture.exec();
}

void frmMain::xzSlot()
{
    const qint64 days = kFirstRelease.daysTo(QDate::currentDate());
    frmMessageBox2 box(this);
    box.SetMessage(QStringLiteral("<a href='%1'>Tavrel跟打器</a>从2014/12/1至今已经更新<font color='red';><b>")
                           .arg(App::DownloadUrl.toHtmlEscaped()) +
                       QString::number(days) + QStringLiteral("</b></font>天"),
                   2);
    box.exec();
}

void frmMain::tbSlot()
{
    if (App::ForumUrl.isEmpty()) {
        showTitleMessage(QStringLiteral("未设置论坛地址"), 1000);
        return;
    }
    QUrl url(App::ForumUrl + QStringLiteral("/f"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("ie"), QStringLiteral("utf-8"));
    query.addQueryItem(QStringLiteral("kw"), QStringLiteral("Tavrel跟打器"));
    query.addQueryItem(QStringLiteral("fr"), QStringLiteral("search"));
    url.setQuery(query);
    if (!QDesktopServices::openUrl(url))
        qDebug() << "贴吧：无法打开浏览器" << url.toString();
}

void frmMain::aboutSlot()
{
    frmMessageBox2 box(this);
    box.SetMessage(QStringLiteral("%1 更新时间:%2").arg(App::AppTitle, App::ReleaseDate) + kAboutNotice, 3);
    box.exec();
}

void frmMain::qqSlot()
{
    frmMessageBox box(this);
    if (App::ChatGroup.isEmpty()) {
        box.SetMessage(QStringLiteral("未设置官方群号。"), 0);
        box.exec();
        return;
    }
    QApplication::clipboard()->setText(App::ChatGroup);
    box.SetMessage(QStringLiteral("QQ群号已复制到剪切板！"), 0);
    box.exec();
}

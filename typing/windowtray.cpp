#include "typing/windowtray.h"

#include "typing/frmmain.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {

const QString kTrayTitle = QStringLiteral("Tavrel跟打器");
// The maker's notice in the tray balloon (a deployment text).
const QString kNoticeLine = QStringLiteral("Tavrel跟打器：免费的跟打练习工具，祝您打字愉快！");

} // namespace

WindowTray::WindowTray(frmMain* window) : QObject(window)
{
    QApplication::setQuitOnLastWindowClosed(false);

    m_menu = new QMenu(window);
    m_menu->addAction(QStringLiteral("还原"), window, &frmMain::NormalSlot);
    m_menu->addAction(QStringLiteral("最小化"), window, &frmMain::HideSlot);
    m_menu->addAction(QStringLiteral("退出"), window, &frmMain::slotExitActionTrigger);

    m_icon = new QSystemTrayIcon(QIcon(QStringLiteral(":/image/tb.ico")), this);
    m_icon->setToolTip(kTrayTitle);
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, window, &frmMain::iconActivated);
    // Shown even while no tray runs: a tray that starts later picks the icon up.
    m_icon->show();
}

void WindowTray::showNotice()
{
    m_icon->showMessage(kTrayTitle, kNoticeLine, QSystemTrayIcon::Information, 10000);
}

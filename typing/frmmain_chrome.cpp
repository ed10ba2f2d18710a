// Main window: its frame. The frameless window's own title-bar buttons (maximise and restore,
// minimise, a fading close) and the tray icon with its menu; its look is the look part (panelook.h).
#include "typing/frmmain.h"
#include "typing/windowtray.h"
#include "ui_frmmain.h"

#include "app/core/app.h"
#include "app/iconhelper.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>

namespace {

const int kFadeMs = 500;

} // namespace

// ---- Window set-up and title bar ----

void frmMain::initStyle()
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint);
    normalGeometry = geometry();
    maximised = false;
    dragging = false;

    // A double click on the title maximises or restores; the title's update link opens the browser.
    ui->lab_Title->installEventFilter(this);
    ui->lab_Title->setOpenExternalLinks(true);

    IconHelper::Instance()->setIcon(ui->btnMenu_Close, QChar(0xF00D), 10);
    IconHelper::Instance()->setIcon(ui->btnMenu_Max, QChar(0xF096), 10);
    IconHelper::Instance()->setIcon(ui->btnMenu_Min, QChar(0xF068), 10);
    IconHelper::Instance()->setIcon(ui->btnMenu, QChar(0xF0C9), 10);
    IconHelper::Instance()->setIcon(ui->lab_Ico, QChar(0xF00A), 12);
    ui->btnMenu->setVisible(false);
}

void frmMain::on_btnMenu_Max_clicked()
{
    if (!maximised) {
        normalGeometry = geometry();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        IconHelper::Instance()->setIcon(ui->btnMenu_Max, QChar(0xF079), 10);
        ui->btnMenu_Max->setToolTip(QStringLiteral("还原"));
        maximised = true;
        return;
    }
    setGeometry(normalGeometry);
    IconHelper::Instance()->setIcon(ui->btnMenu_Max, QChar(0xF096), 10);
    ui->btnMenu_Max->setToolTip(QStringLiteral("最大化"));
    setSendPanelVisible(true);
    maximised = false;
}

void frmMain::on_btnMenu_Min_clicked()
{
    showMinimized();
}

bool frmMain::closeWidget()
{
    // A second click while the window fades changes nothing.
    if (m_fadeOut && m_fadeOut->state() == QAbstractAnimation::Running)
        return true;
    if (m_fadeIn)
        m_fadeIn->stop();
    if (!m_fadeOut) {
        m_fadeOut = new QPropertyAnimation(this, "windowOpacity", this);
        m_fadeOut->setDuration(kFadeMs);
        m_fadeOut->setStartValue(1.0);
        m_fadeOut->setEndValue(0.0);
        connect(m_fadeOut, &QPropertyAnimation::finished, this, [this] {
            close();
            // Should the window be shown again it must not stay transparent.
            setWindowOpacity(1.0);
        });
    }
    m_fadeOut->start();
    return true;
}

// ---- Tray ----

void frmMain::initTrayMenu()
{
    m_tray = new WindowTray(this);
}

void frmMain::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (windowShown)
            HideSlot();
        else
            NormalSlot();
        break;
    case QSystemTrayIcon::MiddleClick:
        m_tray->showNotice();
        break;
    default:
        break;
    }
}

void frmMain::NormalSlot()
{
    showNormal();
    windowShown = true;
}

void frmMain::HideSlot()
{
    hide();
    windowShown = false;
}

void frmMain::slotExitActionTrigger()
{
    // Leaving by the tray skips the fade, not the saving.
    saveSessionData();
    QCoreApplication::exit(0);
}

// Main window: its look and its frame. The colour scheme of the whole application, the pane and
// table colours, the frameless window's own title-bar buttons (maximise and restore, minimise, a
// fading close) and the tray icon with its menu.
#include "typing/frmmain.h"
#include "typing/mainmenus.h"
#include "typing/resulttable.h"
#include "typing/typingview.h"
#include "typing/windowtray.h"
#include "ui_frmmain.h"

#include "app/core/app.h"
#include "app/iconhelper.h"
#include "app/startup.h"

#include <QActionGroup>
#include <QApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

namespace {

const int kFadeMs = 500;

} // namespace

// ---- Colour scheme ----

void frmMain::StyleSlot()
{
    const auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    const QString name = MainMenus::schemeName(action->text());
    if (name.isEmpty())
        return;
    App::Style = name;
    App::writeConfig();
    if (!applyStyleSheet(name))
        qDebug() << "样式：无法读取" << name;
}

// ---- Pane and table colours ----

QString frmMain::typingPaneStyle() const
{
    // In blind mode the typed text takes the background colour, so it cannot be read.
    if (App::Pattern == BlindTyping)
        return QStringLiteral("background:%1;color:%1;%2").arg(App::Gbj, m_paneFontRule);
    return QStringLiteral("QTextEdit{background:%1;color:%2;%3}").arg(App::Gbj, App::Ztcg, m_paneFontRule);
}

void frmMain::applyColours()
{
    ui->textEdit->setStyleSheet(
        QStringLiteral("QTextEdit{background:%1;color:%2;%3}").arg(App::Dbj, App::Ztcd, m_paneFontRule));
    m_view->setTypingStyle(typingPaneStyle());
    m_results->view()->setStyleSheet(QStringLiteral("QTableView{background:%1}").arg(App::Tbj));
    // The constructor runs this as its last set-up step.
    m_setUpDone = true;
}

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

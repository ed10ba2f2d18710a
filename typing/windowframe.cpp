#include "typing/windowframe.h"

#include "typing/frmmain.h"
#include "typing/windowtray.h"
#include "ui_frmmain.h"

#include "app/core/app.h"
#include "app/core/screenplace.h"
#include "app/dragframe.h"
#include "app/iconhelper.h"
#include "sending/sideplaces.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>

#include <utility>

namespace {

const int kFadeMs = 500;

} // namespace

WindowFrame::WindowFrame(frmMain* window, Ui_frmMain* ui, std::function<void(bool)> sendPanelVisible)
    : QObject(window), m_window(window), m_ui(ui), m_sendPanelVisible(std::move(sendPanelVisible))
{
    // Dragging by the body, and the size saved after each resize.
    window->installEventFilter(this);
}

void WindowFrame::place()
{
    // The least size is what the layout needs (the status bar's cells give way, so what they show
    // never raises it): no minimum of our own, the layout sets it when the window shows.
    m_window->resize(App::Width, App::Height);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_window->setMaximumSize(screen->availableGeometry().size());
    QPoint at(App::X, App::Y);
    if (App::X == 0 && App::Y == 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        at = QPoint(screen ? screen->availableGeometry().left() : 0, 0);
    }
    // A place saved on a larger screen, or dragged over an edge, comes back whole; the side windows
    // follow the window to where it opens.
    const QRect wanted(at, m_window->size().expandedTo(m_window->minimumSizeHint()));
    const QPoint kept = ScreenPlace::keptInside(wanted, DragFrame::availableAreaNear(wanted)).topLeft();
    m_window->move(kept);
    App::X = kept.x();
    App::Y = kept.y();
    // The side windows leave the title bar and the menu bar below it in sight.
    SidePlaces::setMainBars(m_window->findChild<QMenuBar*>());

    m_fadeIn = new QPropertyAnimation(m_window, "windowOpacity", this);
    m_fadeIn->setDuration(kFadeMs);
    m_fadeIn->setStartValue(0.0);
    m_fadeIn->setEndValue(1.0);
    m_fadeIn->start();
}

void WindowFrame::styleTitleBar()
{
    m_window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                             Qt::WindowMinMaxButtonsHint);
    m_normalGeometry = m_window->geometry();
    m_maximised = false;
    m_dragging = false;

    // A double click on the title maximises or restores; the title's update link opens the browser.
    m_ui->lab_Title->installEventFilter(this);
    m_ui->lab_Title->setOpenExternalLinks(true);

    IconHelper::Instance()->setIcon(m_ui->btnMenu_Close, QChar(0xF00D), 10);
    IconHelper::Instance()->setIcon(m_ui->btnMenu_Max, QChar(0xF096), 10);
    IconHelper::Instance()->setIcon(m_ui->btnMenu_Min, QChar(0xF068), 10);
    IconHelper::Instance()->setIcon(m_ui->btnMenu, QChar(0xF0C9), 10);
    IconHelper::Instance()->setIcon(m_ui->lab_Ico, QChar(0xF00A), 12);
    m_ui->btnMenu->setVisible(false);
}

void WindowFrame::setTitle(const QString& text)
{
    m_title = text;
    // Rich text colours links with the application's link colour, made for the body: on the title
    // bar they take the bar's own text colour, underlined as links are.
    QLabel* title = m_ui->lab_Title;
    const QString colour = title->palette().color(title->foregroundRole()).name();
    title->setText(QString(text).replace(QStringLiteral("<a "), QStringLiteral("<a style='color:%1' ").arg(colour)));
}

void WindowFrame::toggleMaximised()
{
    // Set first: the side windows follow the restored place, not the maximised one.
    if (!m_maximised) {
        m_normalGeometry = m_window->geometry();
        m_maximised = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            m_window->setGeometry(screen->availableGeometry());
        IconHelper::Instance()->setIcon(m_ui->btnMenu_Max, QChar(0xF079), 10);
        m_ui->btnMenu_Max->setToolTip(QStringLiteral("还原"));
        return;
    }
    m_maximised = false;
    m_window->setGeometry(m_normalGeometry);
    IconHelper::Instance()->setIcon(m_ui->btnMenu_Max, QChar(0xF096), 10);
    m_ui->btnMenu_Max->setToolTip(QStringLiteral("最大化"));
    m_sendPanelVisible(true);
}

void WindowFrame::fadeOut()
{
    if (m_fadeOut && m_fadeOut->state() == QAbstractAnimation::Running)
        return;
    if (m_fadeIn)
        m_fadeIn->stop();
    if (!m_fadeOut) {
        m_fadeOut = new QPropertyAnimation(m_window, "windowOpacity", this);
        m_fadeOut->setDuration(kFadeMs);
        m_fadeOut->setStartValue(1.0);
        m_fadeOut->setEndValue(0.0);
        connect(m_fadeOut, &QPropertyAnimation::finished, this, [this] {
            m_window->close();
            // Should the window be shown again it must not stay transparent.
            m_window->setWindowOpacity(1.0);
        });
    }
    m_fadeOut->start();
}

void WindowFrame::showWindow()
{
    // The toolkit's own minimise (the title-bar button) leaves the window asking to be mapped
    // minimised, and a restore by the window manager (a click on the taskbar) does not take that
    // back. A hidden window is shown from the minimised state, which the toolkit maps normally.
    if (!m_window->isVisible())
        m_window->setWindowState(m_window->windowState() | Qt::WindowMinimized);
    // Mapped anew, the window manager gives it the focus; an activation asked for here would only
    // come once the window is mapped, and take the focus from whatever was chosen meanwhile.
    m_window->showNormal();
    m_window->raise();
    // Shown again soon after it hid, the window is still the toolkit's focus window, so the focus
    // the window manager gives it back is taken as no change and the window never counts as active.
    if (QGuiApplication::focusWindow() == m_window->windowHandle())
        QApplication::setActiveWindow(m_window);
    m_shown = true;
}

void WindowFrame::hideWindow()
{
    m_window->hide();
    m_shown = false;
}

void WindowFrame::bossKey()
{
    if (m_shown)
        hideWindow();
    else
        showWindow();
    m_sendPanelVisible(m_shown);
}

void WindowFrame::trayActivated(QSystemTrayIcon::ActivationReason reason, WindowTray* tray)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (m_shown)
            m_window->HideSlot();
        else
            m_window->NormalSlot();
        break;
    case QSystemTrayIcon::MiddleClick:
        tray->showNotice();
        break;
    default:
        break;
    }
}

bool WindowFrame::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == m_ui->lab_Title) {
        // A scheme chosen while a link shows recolours it.
        if (type == QEvent::PaletteChange)
            setTitle(m_title);
        if (type == QEvent::MouseButtonDblClick) {
            toggleMaximised();
            return true;
        }
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
            return false;
        return titleMouse(type, static_cast<QMouseEvent*>(event));
    }
    if (watched != m_window)
        return false;
    if (type == QEvent::Resize)
        saveWindowSize();
    if (type == QEvent::Resize || type == QEvent::Move) {
        placeChanged();
        return false;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (type) {
    case QEvent::MouseButtonPress:
        return DragFrame::press(m_window, mouse, m_dragOffset, m_dragging);
    case QEvent::MouseMove:
        return dragStep(mouse);
    case QEvent::MouseButtonRelease:
        endDrag();
        return false;
    default:
        return false;
    }
}

bool WindowFrame::titleMouse(QEvent::Type type, QMouseEvent* mouse)
{
    // A title that shows a message or a link is rich text and keeps the press for its links, so
    // the drag starts here; a press that never moves stays a click on the link.
    switch (type) {
    case QEvent::MouseButtonPress:
        if (DragFrame::press(m_window, mouse, m_dragOffset, m_dragging))
            m_titlePress = mouse->globalPos();
        return false;
    case QEvent::MouseMove:
        // A hand's jitter on a link is no drag.
        if (!m_dragMoved && (mouse->globalPos() - m_titlePress).manhattanLength() < QApplication::startDragDistance())
            return m_dragging;
        return dragStep(mouse);
    case QEvent::MouseButtonRelease: {
        const bool moved = m_dragMoved;
        endDrag();
        return moved;
    }
    default:
        return false;
    }
}

bool WindowFrame::dragStep(QMouseEvent* mouse)
{
    // The move reaches placeChanged() as the window's own event.
    if (m_maximised || !DragFrame::move(m_window, mouse, m_dragOffset, m_dragging))
        return false;
    m_dragMoved = true;
    return true;
}

void WindowFrame::placeChanged()
{
    // However the window moved or was resized (a drag, kept on the screen, 复位), the globals hold
    // its place and the side windows follow it.
    if (m_maximised)
        return;
    App::X = m_window->x();
    App::Y = m_window->y();
    emit m_window->zbgb(App::X, App::Y);
}

void WindowFrame::endDrag()
{
    // Saved once per drag: a write on every step would rewrite the settings file dozens of times.
    if (m_dragMoved)
        App::writeConfig();
    DragFrame::release(m_dragging);
    m_dragMoved = false;
}

void WindowFrame::saveWindowSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || m_window->width() >= screen->availableGeometry().width())
        return;
    // A resize back to the saved size (a restore) has nothing new to save.
    if (App::Width == m_window->width() && App::Height == m_window->height())
        return;
    App::Width = m_window->width();
    App::Height = m_window->height();
    App::writeConfig();
}

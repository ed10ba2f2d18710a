#include "app/dragframe.h"

#include "app/core/screenplace.h"
#include "app/iconhelper.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QVariant>

namespace DragFrame {

void initFrame(QWidget* window, QLabel* labIco, QAbstractButton* btnMenuClose)
{
    window->setProperty("Form", true);
    centreOnDesktop(window);
    // Every hint is replaced, but the window type stays: a box given a parent must remain a
    // window of its own instead of turning into a child widget.
    const Qt::WindowFlags type = window->windowFlags() & Qt::WindowType_Mask;
    window->setWindowFlags(type | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    keepOnScreen(window);
    IconHelper* icons = IconHelper::Instance();
    if (labIco)
        icons->setIcon(labIco, QChar(0xF00A), 12);
    if (btnMenuClose)
        icons->setIcon(btnMenuClose, QChar(0xF00D), 10);
}

QPoint centredPosition(const QSize& desktop, const QSize& window)
{
    return QPoint(desktop.width() / 2 - window.width() / 2, desktop.height() / 2 - window.height() / 2);
}

void centreOnDesktop(QWidget* window)
{
    // The whole desktop, all screens and the task bar included, not the work area.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desktop = screen->virtualGeometry();
    window->move(desktop.topLeft() + centredPosition(desktop.size(), window->size()));
}

QRect availableAreaNear(const QRect& rect)
{
    QVector<QRect> areas;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens)
        areas << screen->availableGeometry();
    const int index = ScreenPlace::nearest(rect, areas);
    return index < 0 ? QRect() : areas.at(index);
}

bool press(QWidget* window, QMouseEvent* event, QPoint& mousePoint, bool& mousePressed)
{
    if (event->button() != Qt::LeftButton)
        return false;
    mousePressed = true;
    mousePoint = event->globalPos() - window->pos();
    event->accept();
    return true;
}

bool move(QWidget* window, QMouseEvent* event, const QPoint& mousePoint, bool mousePressed)
{
    if (!mousePressed || event->buttons() == Qt::NoButton)
        return false;
    window->move(event->globalPos() - mousePoint);
    event->accept();
    return true;
}

void release(bool& mousePressed)
{
    mousePressed = false;
}

namespace {

class EscapeCloser : public QObject
{
public:
    explicit EscapeCloser(QWidget* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_window || event->type() != QEvent::KeyPress ||
            static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
            return false;
        m_window->close();
        return true;
    }

private:
    QWidget* m_window;
};

// Only growth moves the window: a drag, or a window that shrinks, stays where it was put.
class ScreenKeeper : public QObject
{
public:
    explicit ScreenKeeper(QWidget* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_window || event->type() != QEvent::Resize || !m_window->isVisible())
            return false;
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->size().width() > resize->oldSize().width() ||
            resize->size().height() > resize->oldSize().height()) {
            const QRect frame = m_window->frameGeometry();
            const QRect kept = ScreenPlace::keptInside(frame, availableAreaNear(frame));
            if (kept != frame)
                m_window->move(kept.topLeft());
        }
        return false;
    }

private:
    QWidget* m_window;
};

class WindowDragger : public QObject
{
public:
    explicit WindowDragger(QWidget* window) : QObject(window), m_window(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_window)
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            return press(m_window, static_cast<QMouseEvent*>(event), m_point, m_pressed);
        case QEvent::MouseMove:
            return move(m_window, static_cast<QMouseEvent*>(event), m_point, m_pressed);
        case QEvent::MouseButtonRelease:
            release(m_pressed);
            return false;
        default:
            return false;
        }
    }

private:
    QWidget* m_window;
    QPoint m_point;
    bool m_pressed = false;
};

} // namespace

void keepOnScreen(QWidget* window)
{
    window->installEventFilter(new ScreenKeeper(window));
}

void makeDraggable(QWidget* window)
{
    window->installEventFilter(new WindowDragger(window));
}

void growToFit(QWidget* control)
{
    control->ensurePolished();
    const QSize needed = control->minimumSizeHint();
    if (control->minimumWidth() == control->maximumWidth() && control->width() < needed.width())
        control->setFixedWidth(needed.width());
    if (control->minimumHeight() == control->maximumHeight() && control->height() < needed.height())
        control->setFixedHeight(needed.height());
}

void growBodyToFit(QWidget* window, QWidget* titleBar, QWidget* body)
{
    body->ensurePolished();
    const QSize needed = body->layout() ? body->layout()->totalMinimumSize() : QSize(0, 0);
    const int width = qMax(window->width(), needed.width());
    const int height = qMax(window->height(), body->y() + needed.height());
    window->resize(width, height);
    titleBar->resize(width, titleBar->height());
    body->resize(width, height - body->y());
}

void closeOnEscape(QWidget* window)
{
    // Key presses its children leave alone reach the window's filters on their way up.
    auto* closer = new EscapeCloser(window);
    window->installEventFilter(closer);
}

} // namespace DragFrame

FramelessDialog::FramelessDialog(QWidget* parent) : QDialog(parent) {}

void FramelessDialog::initFrame(QLabel* labIco, QAbstractButton* btnMenuClose, QAbstractButton* btnCancel)
{
    DragFrame::initFrame(this, labIco, btnMenuClose);
    mousePressed = false;
    if (btnMenuClose)
        connect(btnMenuClose, &QAbstractButton::clicked, this, &QWidget::close);
    if (btnCancel)
        connect(btnCancel, &QAbstractButton::clicked, this, &QWidget::close);
}

void FramelessDialog::fitToText(QLabel* label)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->availableVirtualGeometry() : QRect(0, 0, 4096, 4096);
    const int wordWidth = label->minimumSizeHint().width();
    QSize grown = size();
    QWidget* holder = label->parentWidget();
    if (holder && !holder->layout()) {
        // Placed by hand: the form's geometry is what there is to grow from.
        const QRect old = label->geometry();
        const int room = desktop.width() - (width() - old.width());
        const int w = qMax(old.width(), qMin(wordWidth, room));
        const int dw = w - old.width();
        const int dh = qMax(0, label->heightForWidth(w) - old.height());
        for (QWidget* sibling : holder->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (sibling == label)
                continue;
            QRect g = sibling->geometry();
            if (g.top() > old.bottom())
                g.translate(0, dh);
            if (g.right() >= old.right())
                g.setRight(g.right() + dw);
            sibling->setGeometry(g);
        }
        label->setGeometry(old.adjusted(0, 0, dw, dh));
        grown += QSize(dw, dh);
    } else if (QLayout* own = layout()) {
        // In a layout, which places nothing before the box is shown: ask it what the text needs.
        label->setMinimumWidth(wordWidth);
        own->invalidate();
        const int over = own->totalMinimumSize().width() - desktop.width();
        if (over > 0) {
            label->setMinimumWidth(qMax(0, wordWidth - over));
            own->invalidate();
        }
        grown.setWidth(qMax(width(), own->totalMinimumSize().width()));
        const int h =
            own->hasHeightForWidth() ? own->totalHeightForWidth(grown.width()) : own->totalMinimumSize().height();
        grown.setHeight(qMax(height(), h));
    }
    if (grown == size())
        return;
    QRect frame(QPoint(), grown);
    frame.moveCenter(geometry().center());
    resize(frame.size());
    move(ScreenPlace::keptInside(frame, desktop).topLeft());
}

void FramelessDialog::mousePressEvent(QMouseEvent* event)
{
    m_dragMoved = false;
    if (!DragFrame::press(this, event, mousePoint, mousePressed))
        QDialog::mousePressEvent(event);
}

void FramelessDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (canDrag() && DragFrame::move(this, event, mousePoint, mousePressed)) {
        m_dragMoved = true;
        windowMoved();
    } else {
        QDialog::mouseMoveEvent(event);
    }
}

void FramelessDialog::mouseReleaseEvent(QMouseEvent* event)
{
    const bool dragged = mousePressed && m_dragMoved;
    DragFrame::release(mousePressed);
    m_dragMoved = false;
    if (dragged)
        windowDragged();
    QDialog::mouseReleaseEvent(event);
}

#include "typing/chatroad.h"

#include "app/core/app.h"
#include "platform/windowsystem.h"
#include "typing/core/capture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QMenu>
#include <QRegularExpression>
#include <QTimer>

using platform::ShowCommand;
using platform::WindowHandle;
namespace vk = platform::vk;

namespace {

const QString kLurk = QStringLiteral("潜水");
const QString kRefresh = QStringLiteral("刷新");
const QString kLurkLabel = QStringLiteral("Tavrel潜水中……");
const QString kNotActivatedPost = QStringLiteral("聊天窗口未能激活，未发送");
const QString kNotActivatedCapture = QStringLiteral("聊天窗口未能激活，未载文");
// How long a chat window may take to come forward, and how often that is looked at meanwhile.
constexpr int kActivationMs = 3000;
constexpr int kActivationPollMs = 30;
// The property that marks a group menu entry as a chat title (its value is the title).
const char* const kChatTitleProperty = "chatTitle";

// Titles of windows that are never chat groups: the trainer's own sending-state panel and some
// well-known programs' windows.
bool isSkippedTitle(const QString& title)
{
    static const QStringList others{QStringLiteral("桌面"), QStringLiteral("发文状态"), QStringLiteral("电脑管家"),
                                    QStringLiteral("小火箭通用加速"), QStringLiteral("服务器正在运行中")};
    return title == App::AppTitle || others.contains(title);
}

// The title as the group filters leave it: empty when one of them rules it out.
QString filteredTitle(const QString& title)
{
    static const QRegularExpression latin(QStringLiteral("[a-zA-Z]"));
    static const QRegularExpression digit(QStringLiteral("[0-9]"));
    if (App::Gdyw && title.contains(latin))
        return QString();
    if (App::Gdsz && title.contains(digit))
        return QString();
    if (App::Gdcd && title.length() > App::Gdcdlim)
        return QString();
    return title;
}

} // namespace

// ---- Binding ----

void ChatRoad::enumerateWindows()
{
    const QVector<platform::WindowInfo> windows = platform::windowSystem().topLevelWindows();
    for (const platform::WindowInfo& window : windows) {
        if (!window.visible || !window.enabled)
            continue;
        // The own window before the filters: its title holds letters and digits.
        if (window.title == App::AppTitle)
            App::SelfHwnd = window.handle;
        // The input panel, 发文状态, the curve: whatever their titles, they are the trainer's.
        if (window.own)
            continue;
        const QString title = filteredTitle(window.title);
        if (title.isEmpty() || isSkippedTitle(title))
            continue;
        if (!App::ChatTitles.contains(title))
            App::ChatTitles.append(title);
        // A window that is no longer found keeps its old binding; the guard catches it later.
        if (title == App::ChatTitle)
            App::ChatHwnd = window.handle;
    }
}

ChatRoad::ChatRoad(QObject* parent) : QObject(parent) {}

void ChatRoad::bind()
{
    enumerateWindows();
    if (App::ChatTitle == kLurk) {
        App::ChatHwnd = 0;
        m_labelText = kLurkLabel;
        m_labelToolTip.clear();
    } else if (!App::Gdqs) {
        m_labelText = App::ChatTitle.toHtmlEscaped();
        m_labelToolTip.clear();
    } else {
        m_labelText =
            QStringLiteral("<font color='blue';>") + App::ChatTitle.toHtmlEscaped() + QStringLiteral("</font>");
        m_labelToolTip = QStringLiteral("潜水中");
    }
    emit bindingChanged();
}

void ChatRoad::attachMenu(QMenu* menu)
{
    m_menu = menu;
    if (!menu)
        return;
    connect(menu, &QMenu::triggered, this, &ChatRoad::choose, Qt::UniqueConnection);
    rebuildMenu();
}

void ChatRoad::rebuildMenu()
{
    if (!m_menu)
        return;

    // "刷新" rebuilds the menu from its own triggered signal: the old entries go later, never
    // while that signal is still being delivered.
    const QList<QAction*> old = m_menu->actions();
    for (QAction* action : old) {
        m_menu->removeAction(action);
        if (action->parent() == m_menu || action->parent() == this)
            action->deleteLater();
    }

    auto* refreshAction = new QAction(kRefresh, this);
    connect(refreshAction, &QAction::triggered, this, &ChatRoad::refresh);
    m_menu->addAction(refreshAction);
    m_menu->addAction(new QAction(kLurk, this));
    m_menu->addSeparator();
    for (const QString& title : qAsConst(App::ChatTitles)) {
        // A single "&" would mark a shortcut letter and vanish from the entry.
        auto* entry = new QAction(QString(title).replace(QLatin1Char('&'), QStringLiteral("&&")), this);
        entry->setProperty(kChatTitleProperty, title);
        m_menu->addAction(entry);
    }
}

void ChatRoad::refresh()
{
    App::ChatTitles.clear();
    enumerateWindows();
    rebuildMenu();
}

void ChatRoad::choose(QAction* action)
{
    if (!action)
        return;
    // Only a chat title or the lurk entry chooses; "刷新" only refreshes the list.
    const QVariant title = action->property(kChatTitleProperty);
    if (title.isValid())
        App::ChatTitle = title.toString();
    else if (action->text() == kLurk)
        App::ChatTitle = kLurk;
    else
        return;
    bind();
}

void ChatRoad::nextGroup()
{
    refresh();
    if (App::ChatTitles.isEmpty())
        return;
    if (m_index >= App::ChatTitles.size() - 1 || m_index < 0)
        m_index = 0;
    else
        ++m_index;
    App::ChatTitle = App::ChatTitles.at(m_index);
    bind();
}

// ---- Guard, waits and the window in front ----

bool ChatRoad::usable(bool lurkTest) const
{
    const WindowHandle chat = App::ChatHwnd;
    if (!chat || chat == App::SelfHwnd)
        return false;
    platform::WindowSystem& ws = platform::windowSystem();
    if (!ws.isWindowVisible(chat) || !ws.isWindowEnabled(chat))
        return false;
    return !lurkTest || App::ChatTitle != kLurk;
}

void ChatRoad::minimizeChat()
{
    if (usable(false))
        platform::windowSystem().showWindow(App::ChatHwnd, ShowCommand::Minimize);
}

bool ChatRoad::wait(int ms)
{
    // Ticks, hot keys and the chat program's requests for our clipboard are served meanwhile, and
    // at least once: a machine too busy to come back before the time is up still serves what came.
    const QDeadlineTimer deadline(qMax(0, ms));
    do {
        QEventLoop loop;
        bool timedOut = false;
        QTimer::singleShot(qMax<qint64>(deadline.remainingTime(), 0), &loop, [&loop, &timedOut] {
            timedOut = true;
            loop.quit();
        });
        loop.exec();
        // Anything else ending the loop is the application quitting: no more keys then.
        if (!timedOut)
            return false;
    } while (!deadline.hasExpired());
    return true;
}

ChatRoad::Activation ChatRoad::bringForward(quintptr chat, const QString& failure, int noticeMs)
{
    platform::WindowSystem& ws = platform::windowSystem();
    ws.showWindow(chat, ShowCommand::ShowNormal);
    // Only asked here: a window manager busy after a burst of typing may take well over a second,
    // and the wait for it keeps the event loop running. Keys sent while another window has the
    // focus would land there.
    // A window that is handed the focus and passes it on at once (to a dialog of its own, or by a
    // focus rule of the window manager) is not in front: it counts once it stays over one look.
    bool active = ws.setForegroundWindow(chat, 0);
    bool held = false;
    const QDeadlineTimer deadline(kActivationMs);
    while (!held && !deadline.hasExpired()) {
        if (!wait(kActivationPollMs))
            return Activation::Quit;
        const bool now = ws.foregroundWindow() == chat;
        held = active && now;
        active = now;
    }
    if (held)
        return Activation::Active;
    emit notice(failure, noticeMs);
    return Activation::Refused;
}

bool ChatRoad::stillInFront(quintptr chat, const QString& failure)
{
    // The user may have clicked elsewhere during a wait.
    if (platform::windowSystem().foregroundWindow() == chat)
        return true;
    emit notice(failure, 1000);
    return false;
}

bool ChatRoad::rectangles(quintptr chat, QRect* frame, QRect* client, bool* settled)
{
    // A window manager may still be animating the window back from its minimised state: the
    // rectangles are taken once the frame holds still around the client area.
    platform::WindowSystem& ws = platform::windowSystem();
    *settled = false;
    if (!ws.windowRect(chat, frame) || !ws.clientRect(chat, client))
        return true;
    const QDeadlineTimer deadline(500);
    while (!deadline.hasExpired()) {
        if (!wait(30))
            return false;
        QRect nowFrame;
        QRect nowClient;
        if (!ws.windowRect(chat, &nowFrame) || !ws.clientRect(chat, &nowClient))
            return true;
        const bool still = nowFrame == *frame && nowClient == *client && nowFrame.contains(nowClient);
        *frame = nowFrame;
        *client = nowClient;
        if (still)
            break;
    }
    *settled = true;
    return true;
}

// ---- The queue ----

void ChatRoad::run(const Operation& operation)
{
    m_queue.append(operation);
    if (m_busy)
        return;
    m_busy = true;
    while (!m_queue.isEmpty()) {
        const Operation next = m_queue.takeFirst();
        bool completed = true;
        switch (next.kind) {
        case Operation::Post:
            completed = postNow(next.text);
            break;
        case Operation::Capture:
            completed = captureNow();
            break;
        case Operation::ParseClipboard:
            completed = parseClipboardNow();
            break;
        }
        // Cut short by the application quitting: what is still waiting is dropped with it.
        if (!completed)
            m_queue.clear();
    }
    m_busy = false;
}

void ChatRoad::post(const QString& text)
{
    run({Operation::Post, text});
}

void ChatRoad::capture()
{
    run({Operation::Capture, QString()});
}

void ChatRoad::parseClipboard()
{
    run({Operation::ParseClipboard, QString()});
}

// ---- Posting ----

bool ChatRoad::postNow(const QString& text)
{
    // The message goes on the clipboard first, even when nothing is sent: whatever was copied
    // since it was asked for never reaches the group.
    QApplication::clipboard()->setText(text, QClipboard::Clipboard);
    if (!usable(true))
        return true;
    // The window the post began with, whatever the binding becomes during the waits.
    const WindowHandle chat = App::ChatHwnd;
    platform::WindowSystem& ws = platform::windowSystem();
    switch (bringForward(chat, kNotActivatedPost, -1)) {
    case Activation::Quit:
        return false;
    case Activation::Refused:
        // The line stays on the clipboard for a post by hand; the trainer comes back to the front,
        // where the user typed, and the notice stays until the next run.
        if (App::SelfHwnd) {
            ws.showWindow(App::SelfHwnd, ShowCommand::ShowNormal);
            ws.setForegroundWindow(App::SelfHwnd, 0);
        }
        emit postLost();
        return true;
    case Activation::Active:
        break;
    }
    if (!wait(50))
        return false;
    if (!stillInFront(chat, kNotActivatedPost))
        return true;
    ws.keyChord(vk::Control, vk::V);
    if (!wait(App::Gdyslim))
        return false;
    if (!stillInFront(chat, kNotActivatedPost))
        return true;
    ws.keyChord(vk::Alt, vk::S);
    if (!wait(300))
        return false;
    afterSend(chat);
    return true;
}

void ChatRoad::afterSend(quintptr chat)
{
    platform::WindowSystem& ws = platform::windowSystem();
    if (App::Gdjs == QStringLiteral("激活跟打器")) {
        // Bound to the own window until the enumeration finds the chat window again; if it is gone,
        // the guard refuses later posts until a new binding.
        App::ChatHwnd = App::SelfHwnd;
        if (App::SelfHwnd) {
            ws.showWindow(App::SelfHwnd, ShowCommand::ShowNormal);
            ws.setForegroundWindow(App::SelfHwnd);
        }
        wait(50);
        enumerateWindows();
    } else if (App::Gdjs == QStringLiteral("最小化窗口")) {
        if (chat && chat != App::SelfHwnd)
            ws.showWindow(chat, ShowCommand::Minimize);
    }
}

// ---- Capture ----

bool ChatRoad::captureNow()
{
    // The lurk choice has already cleared the handle, so the lurk title is not tested here.
    if (!usable(false))
        return true;
    const WindowHandle chat = App::ChatHwnd;
    platform::WindowSystem& ws = platform::windowSystem();
    switch (bringForward(chat, kNotActivatedCapture, 1000)) {
    case Activation::Quit:
        return false;
    case Activation::Refused:
        return true;
    case Activation::Active:
        break;
    }
    if (!wait(50))
        return false;

    // The history takes the focus: by Tab from the input, or by a click at the frame's corner plus
    // half the client size.
    if (App::GetWay == 0) {
        ws.keyStroke(vk::Tab);
    } else if (App::GetWay == 1) {
        QRect frame;
        QRect client;
        bool settled = false;
        if (!rectangles(chat, &frame, &client, &settled))
            return false;
        if (settled) {
            ws.setCursorPos(frame.left() + client.width() / 2, frame.top() + client.height() / 2);
            if (!wait(50))
                return false;
            ws.leftClick();
        }
    }
    if (!wait(50))
        return false;
    if (!stillInFront(chat, kNotActivatedCapture))
        return true;
    ws.keyChord(vk::Control, vk::A);
    ws.keyChord(vk::Control, vk::C);
    if (!wait(300))
        return false;
    const bool completed = parseClipboardNow();
    if (chat != App::SelfHwnd && ws.isWindowVisible(chat))
        ws.showWindow(chat, ShowCommand::Minimize);
    return completed;
}

bool ChatRoad::parseClipboardNow()
{
    const CapturedSegment segment = parseCapturedHistory(QApplication::clipboard()->text(QClipboard::Clipboard));
    if (!segment.found) {
        // The current passage and run stay as they are.
        if (!wait(200))
            return false;
        minimizeChat();
        emit notice(QStringLiteral("暂无文本！"), 1000);
        return true;
    }
    emit segmentCaptured(segment);
    return wait(50);
}

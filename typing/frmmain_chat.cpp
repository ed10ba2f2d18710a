// Main window: the chat window beside the trainer. Finding it by its title, the group menu and
// the next-group command, the posting sequence (paste, send, then back to the trainer or
// minimise), the capture of the newest posted segment, and the segment post.
//
// Every operation that drives the chat window goes through one queue: its waits keep the event
// loop running, so a hot key or a timer can ask for another post or capture in the middle of one;
// that one then runs after the current one, with the text it was asked with, and two messages
// never mix in the chat's input.
#include "typing/frmmain.h"
#include "ui_frmmain.h"

#include "app/core/app.h"
#include "platform/windowsystem.h"
#include "typing/core/capture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLabel>
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

void frmMain::enumerateWindows()
{
    const QVector<platform::WindowInfo> windows = platform::windowSystem().topLevelWindows();
    for (const platform::WindowInfo& window : windows) {
        if (!window.visible || !window.enabled)
            continue;
        // The own window before the filters: its title holds letters and digits.
        if (window.title == App::AppTitle)
            App::SelfHwnd = window.handle;
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

void frmMain::getHwnd()
{
    enumerateWindows();
    if (App::ChatTitle == kLurk) {
        App::ChatHwnd = 0;
        chatLabelText = kLurkLabel;
        labChat->setToolTip(QString());
    } else if (!App::Gdqs) {
        chatLabelText = App::ChatTitle;
        labChat->setToolTip(QString());
    } else {
        chatLabelText =
            QStringLiteral("<font color='blue';>") + App::ChatTitle.toHtmlEscaped() + QStringLiteral("</font>");
        labChat->setToolTip(QStringLiteral("潜水中"));
    }
    refreshBottomInfo();
}

void frmMain::fillChatMenu(QMenu* menu)
{
    m_chatMenu = menu;
    if (!menu)
        return;
    connect(menu, &QMenu::triggered, this, &frmMain::qmenuActionClick, Qt::UniqueConnection);
    rebuildChatMenu();
}

void frmMain::rebuildChatMenu()
{
    if (!m_chatMenu)
        return;

    // "刷新" rebuilds the menu from its own triggered signal: the old entries go later, never
    // while that signal is still being delivered.
    const QList<QAction*> old = m_chatMenu->actions();
    for (QAction* action : old) {
        m_chatMenu->removeAction(action);
        if (action->parent() == m_chatMenu || action->parent() == this)
            action->deleteLater();
    }

    m_chatRefreshAction = new QAction(kRefresh, this);
    connect(m_chatRefreshAction, &QAction::triggered, this, &frmMain::sxSlot);
    m_chatMenu->addAction(m_chatRefreshAction);
    m_chatMenu->addAction(new QAction(kLurk, this));
    m_chatMenu->addSeparator();
    for (const QString& title : qAsConst(App::ChatTitles)) {
        auto* entry = new QAction(title, this);
        entry->setProperty(kChatTitleProperty, title);
        m_chatMenu->addAction(entry);
    }
}

void frmMain::sxSlot()
{
    App::ChatTitles.clear();
    enumerateWindows();
    rebuildChatMenu();
}

void frmMain::qmenuActionClick(QAction* action)
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
    getHwnd();
}

void frmMain::hqSlot()
{
    sxSlot();
    if (App::ChatTitles.isEmpty())
        return;
    if (chatIndex >= App::ChatTitles.size() - 1 || chatIndex < 0)
        chatIndex = 0;
    else
        ++chatIndex;
    App::ChatTitle = App::ChatTitles.at(chatIndex);
    getHwnd();
}

void frmMain::getWaySlot()
{
    const auto* action = qobject_cast<QAction*>(sender());
    App::GetWay = action && action->text() == QStringLiteral("\t鼠标方式获取") ? 1 : 0;
    App::writeConfig();
}

// ---- Guard, waits and the window in front ----

bool frmMain::chatWindowUsable(bool lurkTest) const
{
    const WindowHandle chat = App::ChatHwnd;
    if (!chat || chat == App::SelfHwnd)
        return false;
    platform::WindowSystem& ws = platform::windowSystem();
    if (!ws.isWindowVisible(chat) || !ws.isWindowEnabled(chat))
        return false;
    return !lurkTest || App::ChatTitle != kLurk;
}

void frmMain::minimizeChatWindow()
{
    if (chatWindowUsable(false))
        platform::windowSystem().showWindow(App::ChatHwnd, ShowCommand::Minimize);
}

bool frmMain::chatWait(int ms)
{
    // Ticks, hot keys and the chat program's requests for our clipboard are served meanwhile.
    const QDeadlineTimer deadline(qMax(0, ms));
    while (!deadline.hasExpired()) {
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
    }
    return true;
}

bool frmMain::bringChatForward(quintptr chat, const QString& failure)
{
    platform::WindowSystem& ws = platform::windowSystem();
    ws.showWindow(chat, ShowCommand::ShowNormal);
    // Keys sent while another window has the focus would land there.
    if (ws.setForegroundWindow(chat))
        return true;
    showTitleMessage(failure, 1000);
    return false;
}

bool frmMain::chatStillInFront(quintptr chat, const QString& failure)
{
    // The user may have clicked elsewhere during a wait.
    if (platform::windowSystem().foregroundWindow() == chat)
        return true;
    showTitleMessage(failure, 1000);
    return false;
}

bool frmMain::chatRectangles(quintptr chat, QRect* frame, QRect* client, bool* settled)
{
    // A window manager may still be animating the window back from its minimised state: the
    // rectangles are taken once the frame holds still around the client area.
    platform::WindowSystem& ws = platform::windowSystem();
    *settled = false;
    if (!ws.windowRect(chat, frame) || !ws.clientRect(chat, client))
        return true;
    const QDeadlineTimer deadline(500);
    while (!deadline.hasExpired()) {
        if (!chatWait(30))
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

void frmMain::runChatOperation(const ChatOperation& operation)
{
    m_chatQueue.append(operation);
    if (m_chatBusy)
        return;
    m_chatBusy = true;
    while (!m_chatQueue.isEmpty()) {
        const ChatOperation next = m_chatQueue.takeFirst();
        bool completed = true;
        switch (next.kind) {
        case ChatOperation::Post:
            completed = postNow(next.text);
            break;
        case ChatOperation::Capture:
            completed = captureNow();
            break;
        case ChatOperation::ParseClipboard:
            completed = parseClipboardNow();
            break;
        }
        // Cut short by the application quitting: what is still waiting is dropped with it.
        if (!completed)
            m_chatQueue.clear();
    }
    m_chatBusy = false;
}

// ---- Posting ----

bool frmMain::postNow(const QString& text)
{
    // The message goes on the clipboard first, even when nothing is sent: whatever was copied
    // since it was asked for never reaches the group.
    QApplication::clipboard()->setText(text, QClipboard::Clipboard);
    if (!chatWindowUsable(true))
        return true;
    // The window the post began with, whatever the binding becomes during the waits.
    const WindowHandle chat = App::ChatHwnd;
    platform::WindowSystem& ws = platform::windowSystem();
    if (!bringChatForward(chat, kNotActivatedPost))
        return true;
    if (!chatWait(50))
        return false;
    if (!chatStillInFront(chat, kNotActivatedPost))
        return true;
    ws.keyChord(vk::Control, vk::V);
    if (!chatWait(App::Gdyslim))
        return false;
    if (!chatStillInFront(chat, kNotActivatedPost))
        return true;
    ws.keyChord(vk::Alt, vk::S);
    if (!chatWait(300))
        return false;
    afterSend(chat);
    return true;
}

void frmMain::afterSend(quintptr chat)
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
        chatWait(50);
        enumerateWindows();
    } else if (App::Gdjs == QStringLiteral("最小化窗口")) {
        if (chat && chat != App::SelfHwnd)
            ws.showWindow(chat, ShowCommand::Minimize);
    }
}

void frmMain::cjSlot()
{
    if (resultText.isEmpty())
        return;
    runChatOperation({ChatOperation::Post, resultText});
}

void frmMain::autoSendResult(const FinishedRun& run)
{
    if (App::Gdcz && run.wrongCount != 0)
        return;
    runChatOperation({ChatOperation::Post, run.line});
}

void frmMain::autoSendResultIfAllowed(const FinishedRun& run)
{
    // Solo practice during a sending cycle keeps the results to itself.
    if (!sendStopped && App::Dl)
        return;
    autoSendResult(run);
}

void frmMain::sendResultAndNext(const FinishedRun& run)
{
    if (!App::Gdqs) {
        if (!App::Gdsd || run.speed > App::Gdsdlim)
            autoSendResultIfAllowed(run);
        chatWait(400);
    }
    loadNextSegmentAfterResult(run.finished);
}

void frmMain::shSlot()
{
    const QString post = buildFawenPost(textTitle, passage(), segmentHeader, unsentCount(fullText, App::SentText));
    runChatOperation({ChatOperation::Post, post});
}

// ---- Capture ----

void frmMain::zdzwSlot()
{
    runChatOperation({ChatOperation::Capture, QString()});
}

void frmMain::sdzwSlot()
{
    runChatOperation({ChatOperation::ParseClipboard, QString()});
}

bool frmMain::captureNow()
{
    // The lurk choice has already cleared the handle, so the lurk title is not tested here.
    if (!chatWindowUsable(false))
        return true;
    const WindowHandle chat = App::ChatHwnd;
    platform::WindowSystem& ws = platform::windowSystem();
    if (!bringChatForward(chat, kNotActivatedCapture))
        return true;
    if (!chatWait(50))
        return false;

    // The history takes the focus: by Tab from the input, or by a click at the frame's corner plus
    // half the client size.
    if (App::GetWay == 0) {
        ws.keyStroke(vk::Tab);
    } else if (App::GetWay == 1) {
        QRect frame;
        QRect client;
        bool settled = false;
        if (!chatRectangles(chat, &frame, &client, &settled))
            return false;
        if (settled) {
            ws.setCursorPos(frame.left() + client.width() / 2, frame.top() + client.height() / 2);
            if (!chatWait(50))
                return false;
            ws.leftClick();
        }
    }
    if (!chatWait(50))
        return false;
    if (!chatStillInFront(chat, kNotActivatedCapture))
        return true;
    ws.keyChord(vk::Control, vk::A);
    ws.keyChord(vk::Control, vk::C);
    if (!chatWait(300))
        return false;
    const bool completed = parseClipboardNow();
    if (chat != App::SelfHwnd && ws.isWindowVisible(chat))
        ws.showWindow(chat, ShowCommand::Minimize);
    return completed;
}

bool frmMain::parseClipboardNow()
{
    const CapturedSegment segment = parseCapturedHistory(QApplication::clipboard()->text(QClipboard::Clipboard));
    if (!segment.found) {
        // The current passage and run stay as they are.
        if (!chatWait(200))
            return false;
        minimizeChatWindow();
        showTitleMessage(QStringLiteral("暂无文本！"), 1000);
        return true;
    }
    Reset();
    labSegment->setToolTip(segment.contest ? ContestSegmentToolTip : QString());
    segmentHeader = segment.segmentHeader;
    textTitle = segment.title;
    // A passage from the chat is not one of the built-in sets the ranking takes.
    App::CanUpload = false;
    loadArticle(segment.passage);
    return chatWait(50);
}

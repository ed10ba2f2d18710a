// Main window: its side of the chat road (chatroad.h): the commands that post, capture and bind,
// and the posting of a finished run's result.
#include "typing/frmmain.h"
#include "typing/statusbar.h"
#include "ui_frmmain.h"

#include "app/core/app.h"
#include "sending/sendingcycle.h"
#include "typing/chatroad.h"
#include "typing/core/capture.h"
#include "typing/resultbranch.h"

#include <QAction>
#include <QLabel>

void frmMain::setUpChatRoad()
{
    m_chat = new ChatRoad(this);
    ResultBranch::Hooks hooks;
    hooks.upload = [this](bool manual) { return m_account->uploadAfterRun(manual); };
    hooks.nextSegment = [this](bool runFinished) { loadNextSegmentAfterResult(runFinished); };
    hooks.notice = [this](const QString& message, int ms) { showTitleMessage(message, ms); };
    hooks.cycleRunning = [this] { return m_sending->isRunning(); };
    m_branch = new ResultBranch(this, m_chat, std::move(hooks));
    connect(m_chat, &ChatRoad::bindingChanged, this, [this] {
        m_status->setChatToolTip(m_chat->labelToolTip());
        refreshBottomInfo();
    });
    connect(m_chat, &ChatRoad::notice, this, &frmMain::showTitleMessage);
    connect(m_chat, &ChatRoad::segmentCaptured, this, [this](const CapturedSegment& segment) {
        Reset();
        m_status->setSegmentToolTip(segment.contest ? ContestSegmentToolTip : QString());
        segmentHeader = segment.segmentHeader;
        textTitle = segment.title;
        // A passage from the chat is not one of the built-in sets the ranking takes.
        App::setTextSource(App::TextSource::Other);
        loadArticle(segment.passage);
    });
}

void frmMain::getHwnd()
{
    m_chat->bind();
}

void frmMain::sxSlot()
{
    m_chat->refresh();
}

void frmMain::qmenuActionClick(QAction* action)
{
    m_chat->choose(action);
}

void frmMain::hqSlot()
{
    m_chat->nextGroup();
}

void frmMain::getWaySlot()
{
    const auto* action = qobject_cast<QAction*>(sender());
    App::GetWay = action && action->text() == QStringLiteral("\t鼠标方式获取") ? 1 : 0;
    App::writeConfig();
}

void frmMain::zdzwSlot()
{
    m_chat->capture();
}

void frmMain::sdzwSlot()
{
    m_chat->parseClipboard();
}

void frmMain::cjSlot()
{
    if (resultText.isEmpty())
        return;
    m_chat->post(resultText);
}

void frmMain::shSlot()
{
    m_chat->post(buildFawenPost(textTitle, passage(), segmentHeader, m_sending->segments().restCount()));
}

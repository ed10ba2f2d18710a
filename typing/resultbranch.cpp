#include "typing/resultbranch.h"

#include "app/core/app.h"
#include "app/frmmessagebox2.h"
#include "typing/chatroad.h"
#include "typing/frmmain.h"

ResultBranch::ResultBranch(frmMain* window, ChatRoad* chat, Hooks hooks)
    : QObject(window), m_window(window), m_chat(chat), m_hooks(std::move(hooks))
{
    connect(m_chat, &ChatRoad::postLost, this, [this] { m_postLost = true; });
}

bool ResultBranch::stillShown(const FinishedRun& run) const
{
    // A new passage, or a new run already typed into, during the posting waits is left alone.
    return m_window->passage() == run.passage && (m_window->runFinished() || m_window->typedCount() == 0);
}

bool ResultBranch::askToSend(const QString& text)
{
    frmMessageBox2 box(m_window);
    // The line carries the passage title, which others wrote.
    box.SetMessage(text, 0, Qt::PlainText);
    return box.exec() == 1;
}

void ResultBranch::quietUpload(const FinishedRun& run)
{
    if (run.wholeText && App::Cypm)
        m_hooks.upload(0);
    else if (!m_postLost)
        m_hooks.notice(QStringLiteral("跟打结束"), -1);
}

void ResultBranch::automaticNextStep(const FinishedRun& run)
{
    if (!App::Zdhd || run.wrongCell != QStringLiteral("0") || !stillShown(run))
        return;
    bool above = false;
    if (App::Zdhd2 == QStringLiteral("击键"))
        above = run.keyRate > App::Zdhd3;
    else if (App::Zdhd2 == QStringLiteral("速度"))
        above = run.speed > App::Zdhd4;
    else
        return;

    if (above)
        m_window->fxSlot();
    else if (App::Zdhd5 == QStringLiteral("乱序"))
        m_window->lxSlot();
    else if (App::Zdhd5 == QStringLiteral("重打"))
        m_window->Reset();
}

void ResultBranch::followOrBlindEnded(const FinishedRun& run)
{
    m_postLost = false;
    if (!App::TanChuang) {
        sendAndNext(run);
        quietUpload(run);
    } else if (App::Limit && run.speed <= App::Limitsudu) {
        // Not fast enough for the pop-up: nothing is posted and no segment follows.
        quietUpload(run);
    } else {
        if (askToSend(run.shortLine)) {
            sendAndNext(run);
            if (App::Uploadcj) {
                if (run.wholeText && App::Cypm)
                    m_hooks.upload(1);
                else if (run.wholeText)
                    m_hooks.notice(
                        QStringLiteral("上传成绩需要开启参与排名功能，请在高级设置中开启！在功能选项中重新手动上传！"),
                        1000);
                else
                    m_hooks.notice(QStringLiteral("上传成绩条件：1.跟打发文中系统文本并全文发文 2.跟打成绩无错情"),
                                   1000);
            }
        }
        if (App::GbtanChuang && stillShown(run))
            m_window->Reset();
    }
    automaticNextStep(run);
}

void ResultBranch::freeRunEnded(const FinishedRun& run)
{
    // Shown whatever TanChuang says: a free run ends only by the user's own stop.
    if (askToSend(run.shortLine))
        sendAndNext(run);
}

void ResultBranch::sendAndNext(const FinishedRun& run)
{
    if (!App::Gdqs) {
        // Solo practice during a sending cycle keeps the results to itself.
        const bool allowed = (!App::Gdsd || run.speed > App::Gdsdlim) && !(m_hooks.cycleRunning() && App::Dl) &&
                             !(App::Gdcz && run.wrongCount != 0);
        if (allowed)
            m_chat->post(run.line);
        ChatRoad::wait(400);
    }
    m_hooks.nextSegment(run.finished);
}

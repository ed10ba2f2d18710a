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

void ResultBranch::upload(bool manual)
{
    const RankUpload::Notice notice = m_hooks.upload(manual);
    // A lost post's notice stays in the title over the plain end of the run.
    if (notice.shown() && !(m_postLost && notice.ms < 0))
        m_hooks.notice(notice.text, notice.ms);
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
        upload(false);
    } else if (App::Limit && run.speed <= App::Limitsudu) {
        // Not fast enough for the pop-up: nothing is posted and no segment follows.
        upload(false);
    } else {
        if (askToSend(run.shortLine)) {
            sendAndNext(run);
            // The pop-up's box "上传成绩" says whether to try at all.
            if (App::Uploadcj)
                upload(true);
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

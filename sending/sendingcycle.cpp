#include "sending/sendingcycle.h"

#include "app/core/app.h"
#include "app/core/progressstore.h"
#include "app/frmmessagebox.h"
#include "sending/form.h"
#include "sending/fwstate.h"
#include "sending/quxian.h"
#include "typing/core/capture.h"

#include <QCoreApplication>
#include <QtDebug>

namespace {

const QString kCurveName = QStringLiteral("child");

} // namespace

SendingCycle::SendingCycle(SendingHost host, QObject* parent)
    : QObject(parent), m_host(std::move(host)), m_dataFolder(QCoreApplication::applicationDirPath()),
      m_periodTimer(this)
{
    m_periodTimer.setObjectName(QStringLiteral("periodicTimer"));
    connect(&m_periodTimer, &QTimer::timeout, this, [this] { advance(Trigger::Period); });
}

SendingCycle::~SendingCycle()
{
    delete m_form.data();
    delete m_panel.data();
    delete m_curve.data();
}

Fwstate* SendingCycle::panel() const
{
    return m_panel;
}

quxian* SendingCycle::curveWindow() const
{
    return m_curve;
}

void SendingCycle::publish() const
{
    // The cycle's figures as the rest of the program reads them.
    App::SegNo = m_cycle.segmentNumber();
    App::SegSize = m_cycle.segmentSize();
    App::SentCount = m_cycle.position();
    App::SentText = m_cycle.sentText();
}

void SendingCycle::emitState()
{
    emit state(m_title, m_cycle.header(), m_cycle.fullText(), m_cycle.sentText());
}

void SendingCycle::start(int segLength, const QString& name, const QString& fullText, const QString& part,
                         const QString& notice)
{
    FawenInfo info{segLength, name, fullText, part, notice};
    // A text handed over without its first segment still starts with a passage that can end.
    if (info.part.isEmpty())
        info.part = firstSegment(fullText, segLength);
    m_running = true;
    m_title = name;
    m_cycle.start(info);
    publish();
    m_host.layPassage(m_title, m_cycle.header(), m_cycle.currentPart());

    delete m_panel.data();
    m_panel = new Fwstate;
    connect(this, &SendingCycle::state, m_panel, &Fwstate::recvstate);
    connect(m_panel, &Fwstate::stopRequested, this, &SendingCycle::holdSegments);
    if (!m_host.maximised()) {
        m_panel->show();
        m_host.focusTypingPane();
    }
    emitState();
    postCurrent();
    armPeriodicSend();
    // The record holder comes from the server: shown as plain text.
    if (!notice.isEmpty())
        m_host.titleMessage(notice.toHtmlEscaped(), -1);
}

void SendingCycle::advance(Trigger trigger)
{
    if (!m_running || m_host.freeTyping() || m_cycle.isWhole())
        return;
    // While the panel's stop holds, only the command repeats the segment: a period tick or the end
    // of a run leaves the run being typed alone.
    if (m_cycle.segmentSize() <= 0 && trigger != Trigger::Command)
        return;
    // A tick during a post (its waits run the event loop) would start a second one inside it.
    if (m_posting && trigger == Trigger::Period)
        return;
    const bool moved = m_cycle.advance();
    if (moved)
        publish();
    m_host.layPassage(m_title, m_cycle.header(), m_cycle.currentPart());
    if (moved)
        emitState();
    if (m_running)
        postCurrent();
}

void SendingCycle::advanceAfterRun(bool runFinished)
{
    if (m_running && !App::Dl && App::Fw == SendMode::AfterRun && runFinished)
        advance(Trigger::RunEnd);
}

void SendingCycle::postCurrent()
{
    if (App::Dl)
        return;
    const QString post = buildFawenPost(m_title, m_host.passage(), m_cycle.header(), m_cycle.restCount());
    const bool nested = m_posting;
    m_posting = true;
    m_host.post(post);
    m_posting = nested;
}

void SendingCycle::armPeriodicSend()
{
    m_periodTimer.stop();
    if (App::Dl || App::Fw != SendMode::Period)
        return;
    // A period of 0 would fire on every pass of the event loop.
    m_periodTimer.start(qMax(1, App::Fwtime) * 1000);
}

void SendingCycle::holdSegments()
{
    m_cycle.holdSegments();
    publish();
}

void SendingCycle::stop()
{
    if (m_panel)
        m_panel->close();
    m_running = false;
    m_cycle.stop();
    publish();
}

void SendingCycle::message(const QString& text, int type)
{
    frmMessageBox box(m_host.window);
    box.SetMessage(text, type, Qt::PlainText);
    box.exec();
}

void SendingCycle::openSendingWindow()
{
    delete m_form.data();
    m_form = new Form(nullptr, m_dataFolder);
    // Started once the sending window has closed: while that application-modal, stay-on-top window
    // holds the focus, the window manager may refuse to bring the chat window forward for the post.
    connect(m_form, &Form::infoSend, this, &SendingCycle::start, Qt::QueuedConnection);
    if (!m_running) {
        stop();
        m_form->show();
        return;
    }
    if (m_cycle.segmentSize() < 1) {
        m_form->show();
        return;
    }
    frmMessageBox box(m_host.window);
    box.SetMessage(QStringLiteral("正在发文，是否结束发文？"), 1);
    if (box.exec() == 1) {
        stop();
        m_form->show();
        return;
    }
    delete m_form.data();
    if (m_panel && !m_host.maximised()) {
        m_panel->show();
        m_host.focusTypingPane();
    }
}

void SendingCycle::saveProgress()
{
    if (!m_running) {
        message(QStringLiteral("只能在发文状态下使用！"), 0);
        return;
    }
    QString saved;
    QString error;
    if (!ProgressStore(m_dataFolder).saveText(m_title, m_cycle.remainder(), &saved, &error)) {
        qWarning("%s", qUtf8Printable(error));
        message(QStringLiteral("保存失败！"), 2);
        return;
    }
    App::Zdname = saved;
    App::writeConfig();
    message(QStringLiteral("保存成功！在发文--跟打进度中可载入进度！"), 0);
}

void SendingCycle::setPanelVisible(bool visible)
{
    if (!m_running || !m_panel)
        return;
    m_panel->setVisible(visible);
}

void SendingCycle::followMainWindow()
{
    if (m_panel)
        m_panel->recvzbgb(App::X, App::Y);
    if (m_curve)
        m_curve->recvzbgb(App::X, App::Y);
}

// ---- Speed curve ----

void SendingCycle::toggleCurve()
{
    if (m_curve) {
        qDebug() << "already open ... ...";
        m_curve->close();
        return;
    }
    m_curve = new quxian;
    connect(m_curve, &quxian::sendQuit, this, &SendingCycle::curveClosed);
    m_curve->show();
}

void SendingCycle::curveClosed(const QString& name)
{
    if (name != kCurveName || !m_curve)
        return;
    // The closed window deletes itself; the next command builds a new one.
    disconnect(m_curve, nullptr, this, nullptr);
    m_curve = nullptr;
}

void SendingCycle::showSpeeds(const QString& speeds)
{
    if (m_curve)
        m_curve->recvqx(speeds);
}

// Main window: the typing pane's key statistics, the hot keys bound to Return, and the reset of the
// run's counters. The keyboard source (platform/keysource.h) counts each physical key first; this
// filter adds what only the typed text can tell, and keeps pasted text and Return out of the pane.
#include "typing/frmmain.h"
#include "typing/paneinput.h"
#include "typing/resulttable.h"
#include "typing/typingview.h"
#include "ui_frmmain.h"

#include "app/core/app.h"

#include <QTextDocument>

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (ui->textEdit2 && watched == ui->textEdit2->viewport())
        return PaneInput::refusesPaste(event);

    if (watched != ui->textEdit2)
        return QDialog::eventFilter(watched, event);
    const QEvent::Type type = event->type();

    if (type == QEvent::FocusOut) {
        Stop();
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::InputMethod)
        return false;
    return m_input->paneEvent(event, m_view->paneLength() == 0 && pageNumber() == 1);
}

bool frmMain::runReturnHotKey()
{
    using Slot = void (frmMain::*)();
    const struct
    {
        const QString& key;
        Slot slot;
    } hotKeys[] = {
        {App::Kjsz, &frmMain::showSetting}, {App::Kjfw, &frmMain::showFawen}, {App::Kjcd, &frmMain::Reset},
        {App::Kjlx, &frmMain::lxSlot},      {App::Kjzt, &frmMain::Stop},      {App::Kjzj, &frmMain::pauseSlot},
        {App::Kjfx, &frmMain::fxSlot},      {App::Kjtz, &frmMain::tzSlot},    {App::Kjsd, &frmMain::sdzwSlot},
        {App::Kjzd, &frmMain::zdzwSlot},    {App::Kjhq, &frmMain::hqSlot},    {App::Kjcj, &frmMain::cjSlot},
        {App::Kjlb, &frmMain::bossSlot},    {App::Kjjy, &frmMain::checkSlot}, {App::Kjcf, &frmMain::cftjSlot},
        {App::Kjsh, &frmMain::shSlot},
    };
    for (const auto& hotKey : hotKeys) {
        if (hotKey.key == QLatin1String("Return")) {
            (this->*hotKey.slot)();
            return true;
        }
    }
    return false;
}

void frmMain::resetCounters()
{
    m_input->reset();
    App::RightKeys = 0;
    App::LeftKeys = 0;
    App::EnterCount = 0;
    App::SelectCount = 0;
    App::BackCount = 0;
    App::CorrectCount = 0;
    App::KeyCount = 0;
    m_results->clearHistories();
    runEndCount = 0;
    endTickCount = 0;
    finished = false;
    m_finishedBy.clear();
    m_view->restart(App::Pattern);
}

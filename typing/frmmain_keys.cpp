// Main window: the typing pane's key statistics, the hot keys bound to Return, and the reset of the
// run's counters. The keyboard source (platform/keysource.h) counts each physical key first; this
// filter adds what only the typed text can tell, and keeps pasted text and Return out of the pane.
#include "typing/frmmain.h"
#include "typing/mainmenus.h"
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
    return m_menus && m_menus->runHotKey(QStringLiteral("Return"));
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

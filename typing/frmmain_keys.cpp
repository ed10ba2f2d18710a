// Main window: the typing pane's key statistics and the title label's events, and the reset of the
// run's counters. The keyboard source (platform/keysource.h) counts each physical key first; this
// filter adds what only the typed text can tell, and keeps pasted text and Return out of the pane.
#include "typing/frmmain.h"
#include "typing/resulttable.h"
#include "typing/typingview.h"
#include "ui_frmmain.h"

#include "app/core/app.h"

#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTextDocument>

#include <algorithm>

namespace {

// A character typed with one of these keys selected no candidate, though the key counts as one.
bool isSelectionKeyText(const QString& text)
{
    if (text.size() != 1)
        return false;
    const QChar c = text.at(0);
    return c == QLatin1Char(';') || c == QLatin1Char('\'') || (c >= QLatin1Char('2') && c <= QLatin1Char('9')) ||
           c == QLatin1Char('0');
}

bool isFullWidthSelectionText(const QString& text)
{
    return text == QStringLiteral("；") || text == QStringLiteral("‘") || text == QStringLiteral("’");
}

bool isMiddleButtonEvent(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return static_cast<const QMouseEvent*>(event)->button() == Qt::MiddleButton;
    default:
        return false;
    }
}

} // namespace

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (ui->textEdit2 && watched == ui->textEdit2->viewport())
        return refusePaste(event);

    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonDblClick) {
        on_btnMenu_Max_clicked();
        return true;
    }
    if (type == QEvent::Resize)
        saveWindowSize();
    if (watched != ui->textEdit2)
        return QDialog::eventFilter(watched, event);

    if (type == QEvent::FocusOut) {
        Stop();
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::InputMethod)
        return false;
    return typingPaneKey(event, ui->textEdit2->document()->characterCount() - 1);
}

bool frmMain::typingPaneKey(QEvent* event, int paneLength)
{
    auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    const bool repeat = key && key->isAutoRepeat();
    lastInputText = key ? key->text() : static_cast<QInputMethodEvent*>(event)->commitString();
    ++App::KeyCount;
    ++m_paneEvents;

    if (!firstEventSeen) {
        firstEventSeen = true;
        if (!lastInputText.isEmpty())
            uncountedChars = lastInputText;
    }

    // The keyboard source counted every selection key; one that produced its character selected
    // nothing. Full-width forms come from the input method's own punctuation and never go below 0.
    if (App::CountSelectKeys) {
        if (isSelectionKeyText(lastInputText) && !repeat)
            --App::SelectCount;
        if (isFullWidthSelectionText(lastInputText))
            App::SelectCount = std::max(App::SelectCount - 1, 0);
    }

    const int keyCode = key ? key->key() : 0;
    // The keyboard source counts only first key-downs; held Backspace and Escape count each repeat.
    if (repeat && (keyCode == Qt::Key_Backspace || keyCode == Qt::Key_Escape))
        ++App::BackCount;

    lastCommitLength = lastInputText.size();
    if (lastCommitLength > 1)
        wordChars += lastCommitLength;

    // The first key of a run starts it afresh.
    if (paneLength == 0 && pageNumber() == 1)
        Reset();

    if (!key)
        return !App::CountSelectKeys; // the system input method is shut out while the own panel works

    switch (keyCode) {
    case Qt::Key_F10:
        ++App::RightKeys;
        return false;
    case Qt::Key_Backspace:
    case Qt::Key_Escape:
        ++App::CorrectCount;
        // Its control character adds nothing to the day's count, and nothing is taken off.
        lastCommitLength = std::max(lastCommitLength - 1, 0);
        return false;
    case Qt::Key_Return:
        runReturnHotKey();
        return true;
    case Qt::Key_Enter:
        return true;
    default:
        break;
    }
    return key->matches(QKeySequence::Paste);
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

bool frmMain::refusePaste(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        event->ignore();
        return true;
    default:
        // The middle button pastes the X selection.
        return isMiddleButtonEvent(event);
    }
}

void frmMain::saveWindowSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || width() >= screen->availableGeometry().width())
        return;
    // Layout passes resize the panes without the window changing size: nothing new to save.
    if (App::Width == width() && App::Height == height())
        return;
    App::Width = width();
    App::Height = height();
    App::writeConfig();
}

void frmMain::resetCounters()
{
    wordChars = 0;
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
    firstEventSeen = false;
    // The first key of the run is taken again, so a stale one cannot lower the next run's count.
    uncountedChars.clear();
    m_view->restart(mode);
}

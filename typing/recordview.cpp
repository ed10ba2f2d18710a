#include "typing/recordview.h"

#include "typing/statusbar.h"

#include <QPushButton>
#include <QTimer>

RecordView::RecordView(RecordStore store, RunStatusBar* status, QPushButton* keyRateButton,
                       QPushButton* codeLengthButton, QObject* parent)
    : QObject(parent), m_record(std::move(store)), m_status(status), m_keyRateButton(keyRateButton),
      m_codeLengthButton(codeLengthButton), m_saveTimer(new QTimer(this))
{
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(1000);
    connect(m_saveTimer, &QTimer::timeout, this, [this] { m_record.save(); });
}

void RecordView::typed(int paneLength, int commitLength)
{
    if (m_record.addTyped(paneLength, commitLength) && !m_saveTimer->isActive())
        m_saveTimer->start();
    refreshLabel();
}

void RecordView::flushSave()
{
    if (m_saveTimer->isActive()) {
        m_saveTimer->stop();
        m_record.save();
    }
}

void RecordView::refreshLabel()
{
    m_status->setRecord(m_record.recordLabelText(), m_record.recordToolTip());
}

void RecordView::makeRoomFor(int chars)
{
    m_status->setRecordRoom(m_record.recordLabelText(chars));
}

void RecordView::refreshTotals()
{
    m_record.refreshTotals();
    m_keyRateButton->setText(m_record.averageKeyRateButtonText());
    m_codeLengthButton->setText(m_record.averageCodeLengthButtonText());
    const QString tip = m_record.totalsToolTip();
    m_keyRateButton->setToolTip(tip);
    m_codeLengthButton->setToolTip(tip);
}

void RecordView::showClearedLabel()
{
    m_status->setRecordText(TypingRecord::clearedRecordLabelText());
}

void RecordView::showClearedTotals()
{
    m_keyRateButton->setToolTip(TypingRecord::clearedTotalsToolTip());
    m_codeLengthButton->setToolTip(TypingRecord::clearedTotalsToolTip());
}

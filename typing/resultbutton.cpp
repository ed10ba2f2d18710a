#include "typing/resultbutton.h"

#include <QEvent>

QSize ResultButton::sizeHint() const
{
    QString shape = text();
    for (QChar& c : shape) {
        if (c.isDigit())
            c = QLatin1Char('0');
    }
    if (!m_hint.isValid() || shape != m_shape) {
        m_shape = shape;
        m_hint = QPushButton::sizeHint();
    }
    return m_hint;
}

QSize ResultButton::minimumSizeHint() const
{
    return sizeHint();
}

void ResultButton::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
        m_hint = QSize();
        break;
    default:
        break;
    }
    QPushButton::changeEvent(event);
}

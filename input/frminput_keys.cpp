// Input panel: the soft keys, the physical keys that stand for them, and the three modes.
#include "input/frminput.h"
#include "ui_frminput.h"

#include "app/core/app.h"
#include "input/core/punctuation.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextEdit>

QPushButton* frmInput::key(const QString& name) const
{
    return findChild<QPushButton*>(name);
}

void frmInput::changeLetter(bool upper)
{
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->property("btnLetter").toBool())
            button->setText(upper ? button->text().toUpper() : button->text().toLower());
    }
}

void frmInput::changeType(const QString& mode)
{
    changeLetter(mode == QLatin1String("max"));
    const bool chinese = mode != QLatin1String("max") && mode != QLatin1String("min");
    if (mode == QLatin1String("max")) {
        m_ui->btnType->setText(QStringLiteral("大写"));
        m_ui->labInfo->setText(QStringLiteral("中文输入法--大写"));
    } else if (mode == QLatin1String("min")) {
        m_ui->btnType->setText(QStringLiteral("小写"));
        m_ui->labInfo->setText(QStringLiteral("中文输入法--小写"));
    } else {
        m_ui->btnType->setText(QStringLiteral("中文"));
        m_ui->labInfo->setText(QStringLiteral("中文输入法--中文"));
    }
    for (const PunctuationMark& mark : Punctuation::marks()) {
        if (!mark.key.isEmpty())
            key(mark.key)->setText(mark.caption(chinese));
    }
    m_engine.escape();
    render();
}

QString frmInput::keyText(const QPushButton* button) const
{
    const QString name = button->objectName();
    if (name == QLatin1String("btnOther7"))
        return button->text().right(1);
    // A code mark adds its ASCII form to the code whatever its caption.
    const PunctuationMark* mark = Punctuation::forKey(name);
    return mark && mark->inCode ? mark->ascii : button->text();
}

void frmInput::btn_clicked()
{
    if (auto* button = qobject_cast<QPushButton*>(sender()))
        dispatch(button);
}

void frmInput::dispatch(QPushButton* button)
{
    ++App::KeyCount;
    if (!attached())
        return;
    syncSettings();
    const QString name = button->objectName();
    const bool chinese = m_inputMode == QLatin1String("chinese");
    const QString code = m_engine.code();
    if (name == QLatin1String("btnType")) {
        if (m_inputMode == QLatin1String("min"))
            m_inputMode = QStringLiteral("max");
        else if (m_inputMode == QLatin1String("max"))
            m_inputMode = QStringLiteral("chinese");
        else if (chinese)
            m_inputMode = QStringLiteral("min");
        changeType(m_inputMode);
    } else if (name == QLatin1String("btnDelete")) {
        ++App::BackCount;
        if (code.isEmpty())
            ++App::CorrectCount;
        if (chinese && !code.isEmpty())
            m_engine.backspaceCode();
        else
            deleteValue();
    } else if (name == QLatin1String("btnPre")) {
        m_engine.previousPage();
    } else if (name == QLatin1String("btnNext")) {
        m_engine.nextPage();
    } else if (name == QLatin1String("btnClose")) {
        hide();
    } else if (name == QLatin1String("btnSpace")) {
        if (chinese)
            m_engine.softSpace();
        else
            m_engine.insert(QStringLiteral(" "));
    } else {
        typingKey(button);
    }
    render();
}

void frmInput::typingKey(QPushButton* button)
{
    const QString text = keyText(button);
    if (m_inputMode != QLatin1String("chinese")) {
        m_engine.insert(text);
        return;
    }
    const QString name = button->objectName();
    const bool noCode = m_engine.code().isEmpty();
    if (button->property("btnOther").toBool()) {
        if (noCode)
            m_engine.insert(text);
    } else if (button->property("btnNum").toBool()) {
        if (noCode) {
            m_engine.insert(text);
        } else if (name != QLatin1String("btn00")) {
            const int digit = name.at(3).digitValue();
            m_engine.setChinese(digit == 0 ? 9 : digit - 1);
        }
    } else if (button->property("btnLetter").toBool() || button->property("btnFuhao").toBool()) {
        m_engine.typeCodeKey(text);
    }
}

// ---- Physical keys ----

bool frmInput::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const int label = m_candidateLabels.indexOf(qobject_cast<QLabel*>(watched));
        if (label >= 0) {
            setChinese(label);
        } else if (attached() && watched != m_ui->btnClose && !App::CountSelectKeys && watched->isWidgetType() &&
                   !isVisible()) {
            show();
        }
        return false;
    }
    // A key travels up from the focused widget to its ancestors; it is taken once, at the pane.
    if (event->type() != QEvent::KeyPress || !isVisible() || watched != m_target || !targetWritable())
        return false;
    return physicalKey(static_cast<QKeyEvent*>(event));
}

bool frmInput::physicalKey(QKeyEvent* event)
{
    const int code = event->key();
    if (event->isAutoRepeat() && (code == Qt::Key_Backspace || code == Qt::Key_Escape))
        ++App::BackCount;
    // X reports the modifiers held before the event, so the Shift key's own press carries none.
    if ((event->modifiers() & Qt::ShiftModifier) || code == Qt::Key_Shift) {
        m_inputMode = m_inputMode == QLatin1String("chinese") ? QStringLiteral("min") : QStringLiteral("chinese");
        changeType(m_inputMode);
    }
    syncSettings();
    const QString text = event->text();
    const bool noCode = m_engine.code().isEmpty();
    switch (code) {
    case Qt::Key_Space:
        if (noCode)
            return false;
        ++App::KeyCount;
        m_engine.spaceOnCode();
        render();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ++App::KeyCount;
        m_engine.returnKey();
        render();
        return true;
    case Qt::Key_Shift:
        return false;
    case Qt::Key_Escape:
        ++App::KeyCount;
        if (noCode)
            ++App::CorrectCount;
        m_engine.escape();
        render();
        return true;
    case Qt::Key_Backspace:
        --App::BackCount;
        m_ui->btnDelete->click();
        return true;
    case Qt::Key_CapsLock:
        m_inputMode = m_inputMode == QLatin1String("max") ? QStringLiteral("min") : QStringLiteral("max");
        changeType(m_inputMode);
        return true;
    default:
        break;
    }
    if (text == QLatin1String("=") || text == QLatin1String("-")) {
        if (noCode)
            return false;
        (text == QLatin1String("=") ? m_ui->btnNext : m_ui->btnPre)->click();
        return true;
    }
    if (m_inputMode == QLatin1String("chinese") && chinesePunctuation(text))
        return true;
    QString caption = text;
    if (m_inputMode == QLatin1String("min"))
        caption = caption.toLower();
    else if (m_inputMode == QLatin1String("max"))
        caption = caption.toUpper();
    if (QPushButton* button = keyByCaption(caption)) {
        button->click();
        return true;
    }
    return false;
}

QPushButton* frmInput::keyByCaption(const QString& caption) const
{
    // Keys without a caption (the header buttons) are never a key's stand-in.
    if (caption.isEmpty())
        return nullptr;
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->text() == caption)
            return button;
    }
    return nullptr;
}

bool frmInput::chinesePunctuation(const QString& text)
{
    const PunctuationMark* mark = Punctuation::forText(text);
    if (!mark)
        return false;
    // A code mark goes through its soft key, which may join it to the code or commit with it.
    if (mark->inCode) {
        key(mark->key)->click();
        return true;
    }
    m_engine.insert(mark->typedForm(m_quoteOpen));
    render();
    return true;
}

#include "input/inputsetting.h"
#include "ui_inputsetting.h"

#include "app/core/app.h"
#include "app/dragframe.h"
#include "app/switchbutton.h"
#include "input/core/codetable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>

namespace {

// The settings the window edits, as the settings table names them; each control is named like its
// key in lower case.
const char* const kKeys[] = {"Opensrf", "Zchongfu", "Tishi",    "Onlye",    "Dingzi",   "Fyxc",  "Zdmc",
                             "Dpmc",    "Qpmc",     "Hcaction", "Kgaction", "Position", "Hxnum", "Mabiao"};

} // namespace

Inputsetting::Inputsetting(QWidget* parent) : QWidget(parent), m_ui(new Ui::Inputsetting)
{
    m_ui->setupUi(this);
    DragFrame::makeDraggable(this);
    DragFrame::closeOnEscape(this);
    setWindowModality(Qt::ApplicationModal);
    DragFrame::initFrame(this, m_ui->lab_Ico, m_ui->btnMenu_Close);
    setWindowFlags(windowFlags() | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    connect(m_ui->btnMenu_Close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->btnClose, &QPushButton::clicked, this, &QWidget::close);
    initControls();
    // Placed at the size it is shown at. The style sheet and the 11-point captions widen the window
    // past the form's size only as it is polished; a window resized between its creation and its
    // mapping has its place read back by Qt while the window manager frames it, when the frame may
    // still stand at the screen's corner: Qt then takes that corner for the window's place, so its
    // lists open that far from their boxes and its first drag jumps.
    ensurePolished();
    resize(size().expandedTo(minimumSizeHint()));
    DragFrame::centreOnDesktop(this);
}

Inputsetting::~Inputsetting() = default;

void Inputsetting::initControls()
{
    connect(m_ui->btnJiben, &QPushButton::clicked, this, &Inputsetting::changeStatus);
    connect(m_ui->btnGaoji, &QPushButton::clicked, this, &Inputsetting::changeStatus);
    showPage(true);

    m_ui->mabiao->addItems(CodeTable::names(QCoreApplication::applicationDirPath()));

    // A short pause with the event loop running, so the window's first paint is not held up.
    const QDeadlineTimer deadline(300);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);

    for (const char* key : kKeys)
        showValue(QLatin1String(key), App::configValue(App::configIndex(QLatin1String(key))));
}

void Inputsetting::changeText()
{
    m_ui->btnJiben->setText(QStringLiteral("基本设置"));
    m_ui->btnGaoji->setText(QStringLiteral("高级设置"));
}

void Inputsetting::changeVisible()
{
    m_ui->jiben->setVisible(false);
    m_ui->gaoji->setVisible(false);
}

void Inputsetting::showPage(bool basic)
{
    changeText();
    changeVisible();
    if (basic) {
        m_ui->btnJiben->setText(QStringLiteral("【基本设置】→"));
        m_ui->jiben->setVisible(true);
    } else {
        m_ui->btnGaoji->setText(QStringLiteral("【高级设置】→"));
        m_ui->gaoji->setVisible(true);
    }
}

void Inputsetting::changeStatus()
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (name == QLatin1String("btnJiben"))
        showPage(true);
    else if (name == QLatin1String("btnGaoji"))
        showPage(false);
}

void Inputsetting::on_btnOk_clicked()
{
    for (const char* key : kKeys)
        App::setConfigValue(App::configIndex(QLatin1String(key)), controlValue(QLatin1String(key)));
    App::writeConfig();
    emit input();
    close();
}

void Inputsetting::on_btnMoren_clicked()
{
    // The code table is not put back: the one in use stays chosen.
    for (const char* key : kKeys) {
        const int index = App::configIndex(QLatin1String(key));
        const bool table = qstrcmp(key, "Mabiao") == 0;
        showValue(QLatin1String(key), table ? App::configValue(index) : App::configDefault(index));
    }
}

void Inputsetting::on_mabiao_activated(const QString& name)
{
    App::Mabiao = name;
    App::writeConfig();
}

QWidget* Inputsetting::control(const QString& key) const
{
    return findChild<QWidget*>(key.toLower());
}

void Inputsetting::showValue(const QString& key, const QVariant& value)
{
    QWidget* widget = control(key);
    if (auto* onOff = qobject_cast<SwitchButton*>(widget)) {
        onOff->setOnOff(value.toBool());
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        check->setChecked(value.toBool());
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(value.toString());
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        // Exact and case-sensitive; a value that is no item leaves no current item.
        list->setCurrentIndex(list->findText(value.toString(), Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
}

QVariant Inputsetting::controlValue(const QString& key) const
{
    const QWidget* widget = control(key);
    if (auto* onOff = qobject_cast<const SwitchButton*>(widget))
        return onOff->switchedOn;
    if (auto* check = qobject_cast<const QCheckBox*>(widget))
        return check->isChecked();
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text(); // as typed
    if (auto* list = qobject_cast<const QComboBox*>(widget))
        return list->currentText(); // empty without a current item
    return QVariant();
}

#include "account/frmlogin.h"
#include "ui_frmlogin.h"

#include "account/core/login.h"
#include "app/core/app.h"
#include "app/core/myhelper.h"
#include "app/frmmessagebox.h"
#include "app/iconhelper.h"
#include "platform/windowsystem.h"

#include <QMouseEvent>
#include <QVariant>

namespace {

const int kWidth = 431;
const int kHeightWithoutKeys = 211;
const int kHeightWithKeys = 293;

// Letter keys first, in keyboard order, then the digits: the order in which a key is recognised.
const char* const kLetterKeys[] = {"btnQ", "btnW", "btnE", "btnR", "btnT", "btnY", "btnU", "btnI", "btnO",
                                   "btnP", "btnA", "btnS", "btnD", "btnF", "btnG", "btnH", "btnJ", "btnK",
                                   "btnL", "btnZ", "btnX", "btnC", "btnV", "btnB", "btnN", "btnM"};

} // namespace

frmLogin::frmLogin(QWidget* parent) : FramelessDialog(parent), m_ui(new Ui::frmLogin)
{
    m_ui->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
    initForm();
    initKeyboard();
    m_ui->btnCaps->setText(QStringLiteral("大"));
    changeLetter(false);
    m_ui->txtUserPwd->setEchoMode(QLineEdit::Password);
    initUser();
    connect(m_ui->btnLogin, &QPushButton::clicked, this, &frmLogin::login);
}

frmLogin::~frmLogin() = default;

void frmLogin::initForm()
{
    setProperty("Form", true);
    mousePressed = false;
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowStaysOnTopHint);
    IconHelper* icons = IconHelper::Instance();
    icons->setIcon(m_ui->lab_Ico, QChar(0xF015), 12);
    icons->setIcon(m_ui->btnMenu_Close, QChar(0xF00D), 10);
    icons->setIcon(m_ui->btnKey, QChar(0xF11C), 13);
    connect(m_ui->btnMenu_Close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->btnClose, &QPushButton::clicked, this, &QWidget::close);
}

void frmLogin::initUser()
{
    // The store remembers a digest, not the password, so only the name is filled in.
    m_ui->lineEdit->setText(App::CurrentUserName);
    m_ui->txtUserPwd->clear();
}

void frmLogin::initKeyboard()
{
    m_ui->gboxSoftKey->hide();
    for (QPushButton* key : m_ui->gboxSoftKey->findChildren<QPushButton*>())
        connect(key, &QPushButton::clicked, this, &frmLogin::buttonClick);
    for (const char* name : kLetterKeys) {
        if (auto* key = m_ui->gboxSoftKey->findChild<QPushButton*>(QLatin1String(name)))
            key->setProperty("btnLetter", true);
    }
}

void frmLogin::changeLetter(bool upper)
{
    for (QPushButton* key : findChildren<QPushButton*>()) {
        if (key->property("btnLetter").toBool())
            key->setText(upper ? key->text().toUpper() : key->text().toLower());
    }
}

void frmLogin::buttonClick()
{
    const auto* key = qobject_cast<QPushButton*>(sender());
    if (!key)
        return;
    const QString name = key->objectName();
    const QString text = m_ui->txtUserPwd->text();
    QString typed;
    if (name == QLatin1String("btnDelete")) {
        if (text.isEmpty())
            return;
        m_ui->txtUserPwd->setText(text.left(text.size() - 1));
        return;
    }
    if (key->property("btnLetter").toBool())
        typed = key->text();
    else if (name.size() == 4 && name.startsWith(QLatin1String("btn")) && name.at(3).isDigit())
        typed = name.at(3);
    if (!typed.isEmpty())
        m_ui->txtUserPwd->setText(text + typed);
}

void frmLogin::takePlacedPosition()
{
    // The window manager places the window once it is shown, and Qt is not always told where (its
    // position can stay at 0,0): a resize or a drag from there would throw the window into the
    // corner. The window system knows where it really is.
    QRect placed;
    if (isVisible() && platform::windowSystem().clientRect(winId(), &placed) &&
        placed.topLeft() != geometry().topLeft())
        setGeometry(QRect(placed.topLeft(), size()));
}

void frmLogin::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        takePlacedPosition();
    FramelessDialog::mousePressEvent(event);
}

void frmLogin::on_btnKey_clicked()
{
    takePlacedPosition();
    const bool shown = m_ui->gboxSoftKey->isVisible();
    setGeometry(x(), y(), kWidth, shown ? kHeightWithoutKeys : kHeightWithKeys);
    m_ui->gboxSoftKey->setVisible(!shown);
    m_ui->lineEdit->setFocus(Qt::OtherFocusReason);
}

void frmLogin::on_btnCaps_clicked()
{
    const bool toUpper = m_ui->btnCaps->text() == QStringLiteral("大");
    m_ui->btnCaps->setText(toUpper ? QStringLiteral("小") : QStringLiteral("大"));
    changeLetter(toUpper);
}

void frmLogin::login()
{
    const QString account = m_ui->lineEdit->text();
    const QString password = m_ui->txtUserPwd->text();
    if (account.isEmpty() || password.isEmpty()) {
        showError(QStringLiteral("用户名或密码不能为空,请重新输入!"), Qt::AutoText);
        return;
    }
    const AccountLogin::Result result = AccountLogin::check(account, password, App::DbOnline);
    // Offline since start-up, or the server away or silent now: the password is not to blame.
    if (!result.answered) {
        showError(QStringLiteral("1.请确保网络连接正常 2.若网络正常，请%1下载最新版本")
                      .arg(Deployment::link(App::DownloadUrl, QStringLiteral("点击"))),
                  Qt::RichText);
        return;
    }
    if (!result.passed) {
        showError(QStringLiteral("用户名或密码错误！"), Qt::AutoText);
        return;
    }
    App::CurrentUserName = result.name;
    App::CurrentUserPwd = myHelper::getMd5(password);
    App::writeStats();
    close();
    emit loginSend(QStringLiteral("1"));
}

void frmLogin::showError(const QString& message, Qt::TextFormat format)
{
    frmMessageBox box;
    box.SetMessage(message, 2, format);
    box.exec();
}

#ifndef TAVREL_FRMLOGIN_H
#define TAVREL_FRMLOGIN_H

#include "app/dragframe.h"

#include <QScopedPointer>

namespace Ui {
class frmLogin;
}

// The login window: an account name or e-mail address and a password, checked against the remote
// user table, with an on-screen keyboard that types into the password field only. A passed check
// remembers the name and the password's digest in the native store, closes the window and then
// emits loginSend("1").
class frmLogin : public FramelessDialog
{
    Q_OBJECT

public:
    explicit frmLogin(QWidget* parent = nullptr);
    ~frmLogin() override;

signals:
    void loginSend(const QString& message);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private slots:
    void buttonClick();
    void on_btnKey_clicked();
    void login();
    void on_btnCaps_clicked();

private:
    void initForm();
    void initUser();
    void initKeyboard();
    void changeLetter(bool upper);
    void takePlacedPosition();
    static void showError(const QString& message, Qt::TextFormat format);

    const QScopedPointer<Ui::frmLogin> m_ui;
};

#endif

#ifndef TAVREL_FRMMESSAGEBOX_H
#define TAVREL_FRMMESSAGEBOX_H

#include "app/messagedialog.h"

#include <QScopedPointer>

namespace Ui {
class frmMessageBox;
}

// The modal message box: information (type 0), question (type 1) and error (type 2).
// exec() returns 1 only for btnOk, whatever its caption.
class frmMessageBox : public MessageDialog
{
    Q_OBJECT
public:
    explicit frmMessageBox(QWidget* parent = nullptr);
    ~frmMessageBox() override;

    // The format as MessageDialog::showMessage takes it.
    void SetMessage(const QString& msg, int type, Qt::TextFormat format = Qt::AutoText);

private:
    void initForm();

    const QScopedPointer<Ui::frmMessageBox> ui;
};

#endif

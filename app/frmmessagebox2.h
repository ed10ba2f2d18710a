#ifndef TAVREL_FRMMESSAGEBOX2_H
#define TAVREL_FRMMESSAGEBOX2_H

#include "app/messagedialog.h"

#include <QScopedPointer>

namespace Ui {
class frmMessageBox2;
}

// The result question with its upload check box (type 0) and the sponsor (1), download (2),
// about (3) and notice (4) texts. exec() returns 1 only for btnOk.
class frmMessageBox2 : public MessageDialog
{
    Q_OBJECT
public:
    explicit frmMessageBox2(QWidget* parent = nullptr);
    ~frmMessageBox2() override;

    // The format as MessageDialog::showMessage takes it: Qt::PlainText for the result line, which
    // carries the passage title.
    void SetMessage(const QString& msg, int type, Qt::TextFormat format = Qt::AutoText);

private slots:
    void on_checkBox_clicked(bool checked);

private:
    void initForm();

    const QScopedPointer<Ui::frmMessageBox2> ui;
};

#endif

#ifndef TAVREL_FRMMESSAGEBOX_H
#define TAVREL_FRMMESSAGEBOX_H

#include "app/dragframe.h"

#include <QScopedPointer>

namespace Ui {
class frmMessageBox;
}

// The modal message box: information (type 0), question (type 1) and error (type 2).
// exec() returns 1 only for btnOk, whatever its caption.
class frmMessageBox : public FramelessDialog
{
    Q_OBJECT
public:
    explicit frmMessageBox(QWidget* parent = nullptr);
    ~frmMessageBox() override;

    // Text from other people (titles, names) goes in as Qt::PlainText so that it cannot turn
    // into markup; the default lets the label detect rich text, and links open in the browser.
    void SetMessage(const QString& msg, int type, Qt::TextFormat format = Qt::AutoText);

private slots:
    void on_btnOk_clicked();

private:
    void initForm();

    const QScopedPointer<Ui::frmMessageBox> ui;
};

#endif

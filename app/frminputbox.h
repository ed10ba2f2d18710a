#ifndef TAVREL_FRMINPUTBOX_H
#define TAVREL_FRMINPUTBOX_H

#include "app/dragframe.h"

#include <QScopedPointer>

namespace Ui {
class frmInputBox;
}

// A one-line input dialog: exec() returns 1 for OK, and getValue() then gives the text entered.
class frmInputBox : public FramelessDialog
{
    Q_OBJECT
public:
    explicit frmInputBox(QWidget* parent = nullptr);
    ~frmInputBox() override;

    void SetMessage(const QString& msg);
    // The text of the line edit when OK was pressed; empty until then.
    QString getValue() const { return value; }

private slots:
    void on_btnOk_clicked();

private:
    void initStyle();

    const QScopedPointer<Ui::frmInputBox> ui;
    QString value;
};

#endif

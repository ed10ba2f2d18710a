#ifndef TAVREL_FRMMESSAGEBOX3_H
#define TAVREL_FRMMESSAGEBOX3_H

#include "app/dragframe.h"

#include <QScopedPointer>

namespace Ui {
class frmMessageBox3;
}

// The sponsor picture with one line under it. It has no OK button, so exec() always returns 0.
class frmMessageBox3 : public FramelessDialog
{
    Q_OBJECT
public:
    explicit frmMessageBox3(QWidget* parent = nullptr);
    ~frmMessageBox3() override;

    void SetMessage(const QString& msg, int type);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void initForm();

    const QScopedPointer<Ui::frmMessageBox3> ui;
};

#endif

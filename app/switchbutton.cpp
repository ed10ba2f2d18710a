#include "app/switchbutton.h"

SwitchButton::SwitchButton(QWidget* parent)
    : QPushButton(parent), switchedOn(true),
      styleOn(QStringLiteral("background-image: url(:/image/btncheckon.png); border: 0px;")),
      styleOff(QStringLiteral("background-image: url(:/image/btncheckoff.png); border: 0px;"))
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(87, 28);
    setStyleSheet(styleOn);
    connect(this, &QPushButton::clicked, this, &SwitchButton::ChangeOnOff);
}

void SwitchButton::ChangeOnOff()
{
    if (switchedOn) {
        setStyleSheet(styleOff);
        switchedOn = false;
    } else {
        setStyleSheet(styleOn);
        switchedOn = true;
    }
}

void SwitchButton::setOnOff(bool on)
{
    if (switchedOn == on)
        return;
    switchedOn = !on;
    ChangeOnOff();
}

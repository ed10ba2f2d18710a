#ifndef TAVREL_SWITCHBUTTON_H
#define TAVREL_SWITCHBUTTON_H

#include <QPushButton>

// An on/off switch drawn with two pictures; settings pages read switchedOn directly.
class SwitchButton : public QPushButton
{
    Q_OBJECT
public:
    explicit SwitchButton(QWidget* parent = nullptr);

    void setOnOff(bool on);

    bool switchedOn;

private slots:
    void ChangeOnOff();

private:
    QString styleOn;
    QString styleOff;
};

#endif

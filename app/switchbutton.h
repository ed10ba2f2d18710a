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

    // The pictures' size. The push buttons' style sheet sets a smaller minimum height, which a
    // layout would otherwise take for the row and cut the picture.
    QSize sizeHint() const override { return QSize(87, 28); }
    QSize minimumSizeHint() const override { return sizeHint(); }

    bool switchedOn;

private slots:
    void ChangeOnOff();

private:
    QString styleOn;
    QString styleOff;
};

#endif

#ifndef TAVREL_TYPING_RESULTBUTTON_H
#define TAVREL_TYPING_RESULTBUTTON_H

#include <QPushButton>

// A result button whose caption follows the live figures about 30 times a second. A push button
// measures its text again after every change, and the window lays itself out again with it. Every
// digit of a figure is as wide as another, so the size is measured again only when the caption's
// shape (its text with each digit taken as "0") changes, or its font or style does.
class ResultButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    mutable QString m_shape;
    mutable QSize m_hint;
};

#endif

#ifndef TAVREL_ELIDINGCOMBOBOX_H
#define TAVREL_ELIDINGCOMBOBOX_H

#include <QComboBox>

// A list of names, some longer than the box: the box asks for room for a few characters only and
// shows a current name it cannot hold cut with "…" and whole in its tool tip. Its list opens as
// wide as its longest name (the style's popup does that, up to the screen's width).
class ElidingComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString shownText READ shownText)

public:
    explicit ElidingComboBox(QWidget* parent = nullptr);

    // The current text as the box paints it.
    QString shownText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

#endif

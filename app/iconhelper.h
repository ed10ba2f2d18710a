#ifndef TAVREL_ICONHELPER_H
#define TAVREL_ICONHELPER_H

#include <QFont>
#include <QObject>

class QAbstractButton;
class QLabel;

// The one holder of the icon font whose glyphs draw the title-bar buttons of every window.
class IconHelper : public QObject
{
public:
    static IconHelper* Instance();
    explicit IconHelper(QObject* parent = nullptr);

    void setIcon(QLabel* label, QChar c, int size);
    void setIcon(QAbstractButton* button, QChar c, int size);

    // Empty when the icon font could not be registered; widgets then keep the default font.
    QString family() const { return m_family; }

private:
    static IconHelper* self;
    QFont iconFont;
    QString m_family;
};

#endif

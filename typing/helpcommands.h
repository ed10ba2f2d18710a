#ifndef TAVREL_TYPING_HELPCOMMANDS_H
#define TAVREL_TYPING_HELPCOMMANDS_H

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

// The small commands of the help menu: the sponsoring request, the download page's age, the forum,
// the about box and the official group's number.
class HelpCommands : public QObject
{
    Q_OBJECT

public:
    // notice shows a message in the window's title for ms milliseconds.
    HelpCommands(QWidget* window, std::function<void(const QString&, int ms)> notice);

    void sponsor();
    void download();
    void forum();
    void about();
    void chatGroup();

private:
    QWidget* m_window;
    std::function<void(const QString&, int ms)> m_notice;
};

#endif

#ifndef TAVREL_TYPING_TEXTCOMMANDS_H
#define TAVREL_TYPING_TEXTCOMMANDS_H

#include <QObject>
#include <QString>

class QAction;
class QTextEdit;
class frmMain;
enum class BuiltinDrill;

// The passages laid by hand (the built-in character drills, the clipboard, a text file, an article
// of the articles menu) and the commands that reshape the current passage (remove spaces,
// shuffle). Each goes through the window's public run commands.
class TextCommands : public QObject
{
    Q_OBJECT

public:
    TextCommands(frmMain* window, QTextEdit* reference);

    void loadDrill(BuiltinDrill drill);
    void pasteClipboard();
    // Asks for a file, then opens it as openTextFile does.
    void openFile();
    bool openTextFile(const QString& fileName);
    // An entry of the articles menu, by its stored name or its text.
    void openArticle(QAction* action);
    void removeSpaces();
    void shuffle();

private:
    frmMain* m_window;
    QTextEdit* m_reference;
    QString m_openedFileName; // the last file opened with "打开"
};

#endif

#ifndef TAVREL_TYPING_MAINMENUS_H
#define TAVREL_TYPING_MAINMENUS_H

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVector>

class ChatRoad;
class MyGlobalShortCut;
class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QPoint;
class frmMain;

// The main window's menu tree on its menu bar, the right-click menu, the window shortcuts read
// from the configuration and the system-wide boss key. Every entry calls one of the window's public
// slots; the group menu is the chat road's.
class MainMenus : public QObject
{
    Q_OBJECT

public:
    // Builds the whole tree; the entries' checks are set from the configuration before anything is
    // connected, so building triggers no slot and writes nothing.
    MainMenus(frmMain* window, QMenuBar* bar, ChatRoad* chat);

    // Binds the shortcuts and the boss key from the configuration again.
    void rebindShortcuts();
    // Runs the command of the first hot key that reads `keyText`; false when none does.
    bool runHotKey(const QString& keyText);
    // Lists the "文章" entries from the text files of `folder`.
    void fillArticleMenu(const QString& folder);
    QString articleFolder() const { return m_articleFolder; }
    void checkMode(int mode);
    void showContextMenu(const QPoint& globalPos);
    QAction* loginAction() const { return m_loginAction; }
    QAction* registerAction() const { return m_registerAction; }
    // The style sheet named by a "风格样式" entry's text; empty for any other text.
    static QString schemeName(const QString& entryText);

private:
    // An entry that runs `slot`, with the shortcut of the hot key that runs it, if any.
    QAction* addCommand(QMenu* menu, const QString& text, void (frmMain::*slot)());
    void addSchemeMenu(QMenu* parent);

    frmMain* m_window;
    QString m_articleFolder; // where the "文章" entries were listed from
    QMenu* m_modeMenu = nullptr;
    QMenu* m_articleMenu = nullptr;
    QActionGroup* m_modeGroup = nullptr;
    QAction* m_settingAction = nullptr;
    QAction* m_sendAction = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_clipboardAction = nullptr;
    QAction* m_removeSpacesAction = nullptr;
    QAction* m_loginAction = nullptr;    // its text follows App::LoginMenuText
    QAction* m_registerAction = nullptr; // its text follows App::RegisterMenuText
    QList<QAction*> m_drillActions;
    // The window shortcuts and the configuration key each one is read from.
    QVector<QPair<const QString*, QAction*>> m_shortcutBindings;
    MyGlobalShortCut* m_bossKey = nullptr; // replaced at each rebinding
};

#endif

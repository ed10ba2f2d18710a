#ifndef TAVREL_TYPING_PANELOOK_H
#define TAVREL_TYPING_PANELOOK_H

#include <QObject>
#include <QString>

class QFont;
class QTableView;
class QTextEdit;
class QWidget;
class TypingView;

// The window's look: the application's colour scheme, the colours of the panes and the result
// table, the marking colours and the panes' font, with the commands that choose them. The font
// is kept in the body's and the panes' style sheets, so a re-polish never hands the panes the
// body's small font.
class PaneLook : public QObject
{
    Q_OBJECT

public:
    // The body's own style sheet is taken as the form sets it.
    PaneLook(QWidget* window, QWidget* body, QTextEdit* reference, QTextEdit* typing, TypingView* view,
             QTableView* table);

    // The configured font, or the default where none or a broken one is configured.
    void applyConfiguredFont();
    // The panes' and the table's colours as configured.
    void applyColours();
    // The typing pane's style for the current mode; revealed: readable even in blind mode.
    void restyleTypingPane(bool revealed = false);

    // The commands: a scheme from its menu action, a colour asked for (the panes restyled unless it
    // is a marking colour; every reference character repainted), the font, the reset of the whole look.
    void chooseScheme(QObject* action);
    void pickColour(QString& stored, bool restyle = true);
    void chooseFont();
    void resetLook();

private:
    void setPaneFont(const QFont& font);
    // After a colour change, so the reference pane shows no character in an old colour.
    void repaintCharacters();
    // revealed: the typed text readable even in blind mode, as at the end of a page.
    QString typingPaneStyle(bool revealed = false) const;

    QWidget* m_window;
    QWidget* m_body;
    QTextEdit* m_reference;
    QTextEdit* m_typing;
    TypingView* m_view;
    QTableView* m_table;
    QString m_bodyStyle;    // the body's own style-sheet declarations, as the form sets them
    QString m_paneFontRule; // the panes' font as a style-sheet declaration
};

#endif

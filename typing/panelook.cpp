#include "typing/panelook.h"

#include "typing/mainmenus.h"
#include "typing/typingview.h"

#include "app/core/app.h"
#include "app/look.h"
#include "typing/core/comparison.h"

#include <QAction>
#include <QColorDialog>
#include <QDebug>
#include <QFontDialog>
#include <QTableView>
#include <QTextDocument>
#include <QTextEdit>

namespace {

QFont defaultPaneFont()
{
    return QFont(QStringLiteral("微软雅黑"), 26);
}

} // namespace

PaneLook::PaneLook(QWidget* window, QWidget* body, QTextEdit* reference, QTextEdit* typing, TypingView* view,
                   QTableView* table)
    : QObject(window), m_window(window), m_body(body), m_reference(reference), m_typing(typing), m_view(view),
      m_table(table), m_bodyStyle(body->styleSheet())
{
}

void PaneLook::applyConfiguredFont()
{
    QFont paneFont = defaultPaneFont();
    if (!App::Font1.isEmpty()) {
        QFont configured;
        if (configured.fromString(App::Font1))
            paneFont = configured;
        else
            qDebug() << "字体设置无效：" << App::Font1;
    }
    setPaneFont(paneFont);
}

void PaneLook::setPaneFont(const QFont& font)
{
    // The body's style sheet gives every child its small font, and each re-polish (theme switch,
    // new window flags, pane colours) would hand it to the panes again, resetting their documents.
    // A rule of its own in that sheet keeps the panes on their font through all of that.
    QString family = font.family();
    family.remove(QLatin1Char('"'));
    const QString size = font.pointSizeF() > 0 ? QString::number(font.pointSizeF()) + QStringLiteral("pt")
                                               : QString::number(font.pixelSize()) + QStringLiteral("px");
    const QString paneRule = QStringLiteral("font:%1 %2 %3 \"%4\";")
                                 .arg(font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"),
                                      font.bold() ? QStringLiteral("bold") : QStringLiteral("normal"), size, family);
    m_body->setStyleSheet(QStringLiteral("*{%1} QTextEdit{%2}").arg(m_bodyStyle, paneRule));
    m_reference->document()->setDefaultFont(font);
    m_typing->document()->setDefaultFont(font);
    // Without an application sheet the body's rule loses to the panes' own sheets, which then hand
    // them the body's small font: their own sheets carry the font as well.
    m_paneFontRule = paneRule;
    applyColours();
}

QString PaneLook::typingPaneStyle(bool revealed) const
{
    // In blind mode the typed text takes the background colour, so it cannot be read.
    if (App::Pattern == BlindTyping && !revealed)
        return QStringLiteral("background:%1;color:%1;%2").arg(App::Gbj, m_paneFontRule);
    return QStringLiteral("QTextEdit{background:%1;color:%2;%3}").arg(App::Gbj, App::Ztcg, m_paneFontRule);
}

void PaneLook::restyleTypingPane(bool revealed)
{
    m_view->setTypingStyle(typingPaneStyle(revealed));
}

void PaneLook::applyColours()
{
    m_reference->setStyleSheet(
        QStringLiteral("QTextEdit{background:%1;color:%2;%3}").arg(App::Dbj, App::Ztcd, m_paneFontRule));
    restyleTypingPane();
    m_table->setStyleSheet(QStringLiteral("QTableView{background:%1}").arg(App::Tbj));
}

void PaneLook::repaintCharacters()
{
    // Each character carries its background: all of them take the new colours at once, not only
    // those whose state changes next.
    m_view->paintReference(App::Pattern, true);
}

void PaneLook::chooseScheme(QObject* sender)
{
    const auto* action = qobject_cast<QAction*>(sender);
    if (!action)
        return;
    const QString name = MainMenus::schemeName(action->text());
    if (name.isEmpty())
        return;
    App::Style = name;
    App::writeConfig();
    if (!applyStyleSheet(name))
        qDebug() << "样式：无法读取" << name;
}

void PaneLook::pickColour(QString& stored, bool restyle)
{
    const QColor colour = QColorDialog::getColor(Qt::green, m_window, QStringLiteral("颜色"));
    if (!colour.isValid())
        return;
    stored = colour.name();
    App::writeConfig();
    if (restyle)
        applyColours();
    repaintCharacters();
}

void PaneLook::chooseFont()
{
    bool accepted = false;
    const QFont font =
        QFontDialog::getFont(&accepted, m_reference->document()->defaultFont(), m_window, QStringLiteral("字体"));
    if (!accepted)
        return;
    setPaneFont(font);
    App::Font1 = font.toString();
    App::writeConfig();
}

void PaneLook::resetLook()
{
    App::resetConfigKeys({QStringLiteral("Font1"), QStringLiteral("Ztcd"), QStringLiteral("Ztcg"),
                          QStringLiteral("Dbj"), QStringLiteral("Gbj"), QStringLiteral("Tbj"), QStringLiteral("Rc"),
                          QStringLiteral("Wc")});
    App::writeConfig();
    setPaneFont(defaultPaneFont());
    repaintCharacters();
}

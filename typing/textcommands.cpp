#include "typing/textcommands.h"

#include "typing/frmmain.h"
#include "typing/mainmenus.h"

#include "app/core/app.h"
#include "app/frmmessagebox.h"
#include "typing/core/drills.h"
#include "typing/core/sourcenames.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTextEdit>

TextCommands::TextCommands(frmMain* window, QTextEdit* reference)
    : QObject(window), m_window(window), m_reference(reference)
{
}

void TextCommands::loadDrill(BuiltinDrill drill)
{
    m_window->layHandPassage(builtinDrillTitle(drill), builtinDrillText(drill));
}

void TextCommands::pasteClipboard()
{
    m_window->layHandPassage(ClipboardTitle, QApplication::clipboard()->text(QClipboard::Clipboard));
}

void TextCommands::openFile()
{
    const QString fileName = QFileDialog::getOpenFileName(m_window, QStringLiteral("打开"), QDir::currentPath(),
                                                          QStringLiteral("File (*.txt *.txty *.*)"));
    if (fileName.isEmpty())
        return;
    openTextFile(fileName);
}

bool TextCommands::openTextFile(const QString& fileName)
{
    m_openedFileName = fileName;
    bool ok = false;
    const QString text = App::readTextFile(fileName, &ok);
    if (!ok) {
        // The old passage leaves the pane, so it is not taken for the file's text; the run stays.
        qDebug() << "打开：无法读取" << fileName;
        m_reference->clear();
        QMessageBox::warning(m_window, QStringLiteral("ERROR"), QStringLiteral("Can't open this file"),
                             QMessageBox::Yes);
        return false;
    }
    m_window->layHandPassage(titleFromFileName(fileName), text);
    return true;
}

void TextCommands::openArticle(QAction* action)
{
    if (!action)
        return;
    const QStringList listed = action->data().toStringList(); // the name shown and the file's name
    const QString name = listed.value(0, action->text());
    // The file it was listed from, in that folder, whatever the working directory is now.
    const QString path =
        QDir(m_window->mainMenus()->articleFolder()).filePath(listed.value(1, name + QStringLiteral(".txt")));
    // The run starts over before the file is tried, whether or not it can be read.
    m_window->Reset();
    bool ok = false;
    const QString text = App::readTextFile(path, &ok);
    if (!ok) {
        qDebug() << "文章：无法打开" << path;
        frmMessageBox box(m_window);
        box.SetMessage(QStringLiteral("无法打开文章“%1”，文件可能已被移动、删除或无权读取。").arg(name), 2,
                       Qt::PlainText);
        box.exec();
        return;
    }
    m_window->layHandPassage(name, text);
}

void TextCommands::removeSpaces()
{
    m_window->loadArticle(::removeSpaces(m_window->passage()));
    // The reset lays the passage out again on its first page.
    m_window->Reset();
}

void TextCommands::shuffle()
{
    if (App::Pattern == FreeTyping)
        return;
    m_window->Reset();
    // Seeded by the second, so two shuffles of one passage within a second give the same order.
    m_window->loadArticle(shuffleCharacters(m_window->passage(), shuffleSeed(QDateTime::currentDateTime())));
}

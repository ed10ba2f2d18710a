// Main window: passages laid by hand (the built-in character drills, the clipboard, a text file, a
// local article) and the commands that reshape the current passage (remove spaces, shuffle).
#include "typing/frmmain.h"
#include "typing/mainmenus.h"
#include "ui_frmmain.h"

#include "app/core/app.h"
#include "app/frmmessagebox.h"
#include "typing/core/drills.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

// Every passage laid by hand goes the same way: the run is reset, the title and segment label
// set, the text laid, and a sending cycle stopped. Such a text is never eligible for the ranking
// on loading; a whole built-in drill becomes eligible at the end of its run.
void frmMain::layHandPassage(const QString& title, const QString& text)
{
    Reset();
    segmentHeader = FirstSegmentHeader;
    textTitle = title;
    App::CanUpload = false;
    if (text.isEmpty())
        refreshBottomInfo(); // nothing to lay: the labels still show the new title
    else
        loadArticle(text);
    tzSlot();
}

// ---- Built-in drills ----

void frmMain::loadDrill(BuiltinDrill drill)
{
    layHandPassage(builtinDrillTitle(drill), builtinDrillText(drill));
}

void frmMain::qwSlot()
{
    loadDrill(BuiltinDrill::Front500);
}

void frmMain::zwSlot()
{
    loadDrill(BuiltinDrill::Middle500);
}

void frmMain::hwSlot()
{
    loadDrill(BuiltinDrill::Back500);
}

void frmMain::ywSlot()
{
    loadDrill(BuiltinDrill::Front1500);
}

// ---- Clipboard, files and articles ----

void frmMain::getClipboard()
{
    layHandPassage(ClipboardTitle, QApplication::clipboard()->text(QClipboard::Clipboard));
}

void frmMain::openSlot()
{
    const QString fileName = QFileDialog::getOpenFileName(this, QStringLiteral("打开"), QDir::currentPath(),
                                                          QStringLiteral("File (*.txt *.txty *.*)"));
    if (fileName.isEmpty())
        return;
    openTextFile(fileName);
}

bool frmMain::openTextFile(const QString& fileName)
{
    openedFileName = fileName;
    bool ok = false;
    const QString text = App::readTextFile(fileName, &ok);
    if (!ok) {
        // The old passage leaves the pane, so it is not taken for the file's text; the run stays.
        qDebug() << "打开：无法读取" << fileName;
        ui->textEdit->clear();
        QMessageBox::warning(this, QStringLiteral("ERROR"), QStringLiteral("Can't open this file"), QMessageBox::Yes);
        return false;
    }
    layHandPassage(titleFromFileName(fileName), text);
    return true;
}

void frmMain::openArticle(const QString& name)
{
    // Opened from the folder it was listed from, whatever the working directory is now.
    const QString path = QDir(m_menus->articleFolder()).filePath(name + QStringLiteral(".txt"));
    bool ok = false;
    const QString text = App::readTextFile(path, &ok);
    if (!ok) {
        qDebug() << "文章：无法打开" << path;
        frmMessageBox box(this);
        box.SetMessage(QStringLiteral("无法打开文章“%1”，文件可能已被移动、删除或无权读取。").arg(name), 2,
                       Qt::PlainText);
        box.exec();
        return;
    }
    layHandPassage(name, text);
}

// ---- Reshaping the current passage ----

void frmMain::qcSlot()
{
    loadArticle(removeSpaces(passage()));
    // The reset lays the passage out again on its first page.
    Reset();
}

void frmMain::lxSlot()
{
    if (App::Pattern == FreeTyping)
        return;
    Reset();
    // Seeded by the second, so two shuffles of one passage within a second give the same order.
    loadArticle(shuffleCharacters(passage(), shuffleSeed(QDateTime::currentDateTime())));
}

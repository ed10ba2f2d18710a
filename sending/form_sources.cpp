// The text-sending window: choosing a source, the preview and its count, the preparation
// commands, the hand-over to the main window and the upload of a local text.
#include "sending/form.h"
#include "ui_form.h"

#include "app/core/app.h"
#include "app/frmmessagebox.h"
#include "app/frmmessagebox2.h"
#include "sending/core/segmentcycle.h"
#include "sending/core/servertexts.h"
#include "typing/core/drills.h"
#include "typing/core/sourcenames.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QtDebug>

namespace {

// Rows of the fixed entries before the local articles.
constexpr int kFixedRows = 4;

} // namespace

QString Form::currentName() const
{
    const QListWidgetItem* item = m_listSource->currentItem();
    return item ? item->text() : QString();
}

bool Form::editableSource() const
{
    const int row = m_listSource->currentRow();
    return row >= 0 && row < 3;
}

void Form::showSourceText(const QString& text)
{
    App::SendText = text;
    m_txtPreview->setPlainText(previewText(text, editableSource()));
}

void Form::count()
{
    int n = App::SendText.length();
    if (editableSource()) {
        App::SendText = m_txtPreview->toPlainText();
        n = App::SendText.length();
    }
    m_labCount->setText(QStringLiteral("总字数: ") + QString::number(n));
    // Every edit of a collection is saved at once; an unchanged one is not written over its file.
    const int row = m_listSource->currentRow();
    if (row == 1 && App::WrongChars != App::SendText) {
        App::WrongChars = App::SendText;
        App::writeFile(WrongCollectionFile, App::WrongChars);
    } else if (row == 2 && App::SlowChars != App::SendText) {
        App::SlowChars = App::SendText;
        App::writeFile(SlowCollectionFile, App::SlowChars);
    }
}

void Form::itemSlot()
{
    const QString name = currentName();
    const int row = m_listSource->currentRow();
    App::setTextSource(App::TextSource::Other);
    m_btnUpload->hide();
    m_notice.clear();
    m_txtPreview->setReadOnly(!editableSource());
    if (editableSource())
        m_ui->lab_Title->setText(QStringLiteral("发文"));

    // Entries are told apart by their row: a server text may carry the name of a fixed entry.
    const int separatorRow = kFixedRows + m_articles.size();
    if (row == 0) {
        showSourceText(QApplication::clipboard()->text(QClipboard::Clipboard));
        m_spinLength->setValue(100);
    } else if (row == 1 || row == 2) {
        loadCollection(row == 1);
    } else if (row == separatorRow) {
        showSourceText(QStringLiteral("本地文本"));
        m_spinLength->setValue(100);
    } else if (row >= kFixedRows) {
        if (row < separatorRow && !loadArticle(row - kFixedRows))
            return;
        if (App::DbOnline)
            loadServerText(name, row > separatorRow);
    }
    setProgressView(row == 3);
    if (row == 3)
        loadProgressText();
}

void Form::loadCollection(bool wrong)
{
    bool ok = false;
    const QString text = App::readTextFile(wrong ? WrongCollectionFile : SlowCollectionFile, &ok);
    if (!ok) {
        // The file is gone or unreadable: the collection gathered in this session stays as it is.
        showSourceText(wrong ? App::WrongChars : App::SlowChars);
        return;
    }
    showSourceText(text);
    m_spinLength->setValue(25);
}

bool Form::loadArticle(int index)
{
    const QString path = QDir(m_articleFolder).filePath(m_articles.at(index).fileName);
    bool ok = false;
    const QString text = App::readTextFile(path, &ok);
    if (!ok) {
        // Nothing of the text chosen before stays under the new name.
        qDebug() << "发文：无法打开" << path;
        showSourceText(QString());
        return false;
    }
    showSourceText(text);
    m_spinLength->setValue(100);
    m_ui->lab_Title->setText(QStringLiteral("发文 （本地文本）"));
    m_btnUpload->show();
    return true;
}

void Form::loadServerText(const QString& name, bool serverEntry)
{
    const QString text = serverText(name);
    if (text.isEmpty()) {
        // No such text any more, or the look-up failed: a local article of that name stays loaded,
        // while a server entry shows nothing rather than the text chosen before.
        if (serverEntry)
            showSourceText(QString());
        return;
    }
    showSourceText(text);
    const RecordHolder holder = recordHolder(name, text.length());
    if (holder.queried) {
        m_notice = holder.notice;
        m_ui->lab_Title->setText(m_notice.isEmpty() ? QStringLiteral("发文 （暂时无人跟打）")
                                                    : QStringLiteral("发文 （%1）").arg(m_notice));
    }
    m_spinLength->setValue(100);
    App::setTextSource(App::TextSource::ServerText);
    m_btnUpload->hide();
}

void Form::loadProgressText()
{
    if (App::Zdname.isEmpty()) {
        showSourceText(QString());
        frmMessageBox2 box(this);
        box.SetMessage(
            QStringLiteral("请把计划跟打的文章放入软件同目录“跟打进度”文件夹中。在功能菜单中可保存跟打进度！"), 4,
            Qt::PlainText);
        box.exec();
    } else {
        bool ok = false;
        const QString text = m_progress.readText(App::Zdname, &ok);
        showSourceText(ok ? text : QString());
        if (!ok)
            return;
    }
    showProgressFigure();
    m_spinLength->setValue(100);
    m_ui->lab_Title->setText(QStringLiteral("发文"));
}

void Form::showProgressFigure()
{
    App::readProgress(m_progress);
    if (App::Zdzs != 0)
        m_labProgress->setText(QStringLiteral("跟打进度:") + progressFigure(App::Zdzs, App::SendText.length()) +
                               QStringLiteral("%"));
}

void Form::zdSlot(const QString& name)
{
    App::Zdname = name;
    App::writeConfig();
    bool ok = false;
    const QString text = m_progress.readText(name, &ok);
    showSourceText(ok ? text : QString());
    if (ok)
        showProgressFigure();
}

// ---- Preparation commands ----

void Form::copySlot()
{
    QApplication::clipboard()->setText(App::SendText, QClipboard::Clipboard);
}

void Form::qcSlot()
{
    showSourceText(removeSpaces(App::SendText));
}

void Form::fhSlot()
{
    QString text = App::SendText;
    App::convertPunct(text);
    showSourceText(text);
}

void Form::random()
{
    showSourceText(shuffleCharacters(App::SendText, *QRandomGenerator::global()));
}

void Form::qw()
{
    m_spinLength->setValue(App::SendText.length());
}

// ---- Hand-over and upload ----

void Form::emit_signal_infosend()
{
    FawenInfo info;
    info.segLength = m_spinLength->value();
    const QString name = currentName();
    QString text = editableSource() ? m_txtPreview->toPlainText() : App::SendText;
    text = prepareForSending(text, {App::Quchu, App::Tihuan});
    if (text.isEmpty()) {
        frmMessageBox box(this);
        box.SetMessage(QStringLiteral("所发内容为空！"), 2);
        box.exec();
        return;
    }
    info.fullText = text;
    info.part = firstSegment(text, info.segLength);
    info.name = m_listSource->currentRow() == 3 ? App::Zdname : name;
    // The receiver posts and waits with the event loop running: no second click may start a
    // cycle inside this one.
    m_btnSend->setEnabled(false);
    emit infoSend(info.segLength, info.name, info.fullText, info.part, m_notice);
    close();
}

void Form::uploadSlot()
{
    UploadRequest request;
    request.online = App::DbOnline;
    request.userName = App::SignedInName;
    request.name = currentName();
    request.text = App::SendText;
    request.appTitle = App::AppTitle;
    request.publicIp = App::PublicIp;
    request.now = QDateTime::currentSecsSinceEpoch();
    const UploadOutcome outcome = uploadText(request);
    info(outcome.message, outcome.uploaded ? 0 : 2);
}

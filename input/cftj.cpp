#include "input/cftj.h"

#include "app/core/app.h"
#include "app/core/textchars.h"
#include "app/dragframe.h"
#include "app/frmmessagebox.h"
#include "app/iconhelper.h"
#include "deployment.h"
#include "input/core/cfpicture.h"
#include "input/core/codeannotation.h"
#include "ui_cftj.h"

#include <QBuffer>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QImageReader>
#include <QPixmap>
#include <QUrl>

namespace {

// A picture is decoded only when its header declares at most this many pixels on a side: a few
// bytes can declare a picture of a gigabyte.
constexpr int kMaxPictureSide = 4096;

// `format` empty: taken from the content.
bool decodePicture(const QByteArray& data, const char* format, QPixmap* picture)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return false;
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    *picture = QPixmap::fromImage(image);
    return true;
}

// The first character of a text as a whole code point, so a surrogate pair is never split.
QString firstCharacter(const QString& text)
{
    return text.left(TextChars::width(text, 0));
}

} // namespace

cftj::cftj(QWidget* parent) : QWidget(parent), m_ui(new Ui::cftj)
{
    m_ui->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
    m_ui->lineEdit->setMaxLength(1);

    CfSources sources;
    sources.ownSite = App::WebUrl;
    sources.outsideSite = Deployment::value("TAVREL_CFTJ_URL", TAVREL_DEFAULT_CFTJ_URL);
    sources.countLookups = App::DbOnline;
    m_downloadPage = Deployment::value("TAVREL_CFTJ_DOWNLOAD_URL", TAVREL_DEFAULT_CFTJ_DOWNLOAD_URL).trimmed();
    m_lookup = new CfLookup(
        sources, [this](const QByteArray& data, const char* format) { return showPicture(data, format); }, this);
    connect(m_lookup, &CfLookup::downloadWanted, this, &cftj::askDownload);

    const QStringList editions = CfLookup::editions(QCoreApplication::applicationDirPath());
    // Editions are mostly two digits: the narrow box asks for room for a few characters and cuts
    // a longer name with "…".
    m_ui->comboBox->setMinimumContentsLength(4);
    m_ui->comboBox->addItems(editions);
    m_ui->comboBox->setCurrentIndex(editions.indexOf(App::Bb));

    initForm();

    const QString first = firstCharacter(QGuiApplication::clipboard()->text());
    if (!first.isEmpty() && App::isGbChar(first)) {
        m_ui->lineEdit->setText(first);
        m_ui->lineEdit->selectAll();
    }
}

cftj::~cftj() = default;

void cftj::showNew()
{
    auto* window = new cftj;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void cftj::initForm()
{
    // Not centred: the window opens where the platform places new windows.
    setProperty("Form", true);
    DragFrame::makeDraggable(this);
    DragFrame::closeOnEscape(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowStaysOnTopHint);
    IconHelper::Instance()->setIcon(m_ui->lab_Ico, QChar(0xF00A), 12);
    IconHelper::Instance()->setIcon(m_ui->btnMenu_Close, QChar(0xF00D), 10);
    connect(m_ui->btnMenu_Close, &QPushButton::clicked, this, &QWidget::close);
}

void cftj::clearResult()
{
    m_lookup->cancel();
    m_ui->label3->clear();
    m_ui->label5->clear();
}

void cftj::on_lineEdit_textChanged(const QString& text)
{
    clearResult();
    m_character = text;
    if (text.isEmpty())
        return;
    if (!App::isGbChar(text)) {
        frmMessageBox box;
        box.SetMessage(QStringLiteral("只能查询GB汉字！"), 0);
        box.exec();
        return;
    }
    showbm();
    showcf();
}

void cftj::on_comboBox_activated(const QString& text)
{
    App::Bb = text;
    App::writeConfig();
    if (m_character.isEmpty())
        return;
    clearResult();
    showbm();
    showcf();
}

void cftj::showbm()
{
    const QString path = CfLookup::editionFile(App::Bb, QStringLiteral(".txt"));
    bool ok = false;
    const QString text = path.isEmpty() ? QString() : App::readTextFile(path, &ok);
    if (ok)
        m_ui->label3->setText(CodeAnnotation::firstCode(text, m_character));
}

void cftj::showcf()
{
    QByteArray data;
    if (!CfLookup::readLibrary(App::Bb, m_character, &data)) {
        m_lookup->lookUp(m_character, App::Bb);
        return;
    }
    // A library picture names no format: it is read from the content.
    QPixmap picture;
    if (decodePicture(data, nullptr, &picture))
        m_ui->label5->setPixmap(picture);
}

bool cftj::showPicture(const QByteArray& data, const char* format)
{
    QPixmap picture;
    if (!decodePicture(data, format, &picture))
        return false;
    m_ui->label5->setPixmap(picture);
    return true;
}

void cftj::askDownload()
{
    frmMessageBox box;
    // Without a download page there is nothing to offer, only the missing library to tell.
    if (m_downloadPage.isEmpty()) {
        box.SetMessage(QStringLiteral("缺少拆分库"), 0);
        box.exec();
        return;
    }
    box.SetMessage(QStringLiteral("缺少拆分库，是否下载？"), 1);
    if (box.exec() == 1)
        QDesktopServices::openUrl(QUrl(m_downloadPage, QUrl::TolerantMode));
}

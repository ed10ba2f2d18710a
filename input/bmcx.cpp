#include "input/bmcx.h"

#include "app/core/textfiles.h"
#include "app/frmmessagebox.h"
#include "app/iconhelper.h"
#include "input/core/codeannotation.h"
#include "typing/core/codefile.h"
#include "ui_bmcx.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

bmcx::bmcx(QWidget* parent) : FramelessDialog(parent), m_ui(new Ui::bmcx)
{
    m_ui->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
    const QFont textFont(QStringLiteral("微软雅黑"), 15);
    m_ui->txt1->setFont(textFont);
    m_ui->txt2->setFont(textFont);
    // Listed beside the program, opened relative to the working directory (the same folder when
    // the program runs from its own directory).
    m_ui->mabiao->addItems(listedNames(
        listTextFiles(QCoreApplication::applicationDirPath() + QStringLiteral("/编码文件"), TextNames::FileName)));
    init();
    initStyle();
}

bmcx::~bmcx() = default;

void bmcx::showNew()
{
    auto* window = new bmcx;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void bmcx::initStyle()
{
    initFrame(m_ui->lab_Ico, m_ui->btnMenu_Close);
    m_location = geometry();
    m_max = false;
    m_ui->lab_Title->installEventFilter(this);
    IconHelper* icons = IconHelper::Instance();
    icons->setIcon(m_ui->btnMenu_Max, QChar(0xF096), 10);
    icons->setIcon(m_ui->btnMenu_Min, QChar(0xF068), 10);
    icons->setIcon(m_ui->btnMenu, QChar(0xF0C9), 10);
    m_ui->btnMenu->setVisible(false);
}

QString bmcx::codeFilePath() const
{
    return CodeFile::pathFor(m_ui->mabiao->currentText());
}

// Every search reads the file again from its first line; this only tells the log at once when the
// chosen file cannot be read.
void bmcx::init()
{
    QFile file(codeFilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qDebug("can't open this zk.txt!!");
}

void bmcx::on_mabiao_activated(const QString& text)
{
    Q_UNUSED(text)
    init();
}

void bmcx::on_search_clicked()
{
    const QString input = m_ui->txt1->toPlainText();
    const QString path = codeFilePath();
    if (input.isEmpty() || !QFile::exists(path)) {
        m_ui->txt2->setPlainText(input);
        return;
    }
    const Annotation result = CodeAnnotation::annotate(input, CodeAnnotation::readFile(path));
    m_ui->txt2->setPlainText(m_ui->checkBox->isChecked() ? result.textCodeForm : result.codeForm);
    if (result.stopped) {
        frmMessageBox box;
        box.SetMessage(QStringLiteral("编码文件的替换使结果过长，查询已停止，结果为原文。"), 2);
        box.exec();
    }
}

void bmcx::on_paste_clicked()
{
    m_ui->txt1->setPlainText(QGuiApplication::clipboard()->text());
}

void bmcx::on_copy_clicked()
{
    QGuiApplication::clipboard()->setText(m_ui->txt2->toPlainText());
}

void bmcx::on_btnMenu_Min_clicked()
{
    showMinimized();
}

void bmcx::on_btnMenu_Max_clicked()
{
    IconHelper* icons = IconHelper::Instance();
    if (m_max) {
        setGeometry(m_location);
        icons->setIcon(m_ui->btnMenu_Max, QChar(0xF096), 10);
        m_ui->btnMenu_Max->setToolTip(QStringLiteral("最大化"));
    } else {
        m_location = geometry();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        icons->setIcon(m_ui->btnMenu_Max, QChar(0xF079), 10);
        m_ui->btnMenu_Max->setToolTip(QStringLiteral("还原"));
    }
    m_max = !m_max;
}

bool bmcx::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->lab_Title && event->type() == QEvent::MouseButtonDblClick) {
        on_btnMenu_Max_clicked();
        return true;
    }
    return FramelessDialog::eventFilter(watched, event);
}

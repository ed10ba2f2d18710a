// The text-sending window: construction, the automatic-sending settings, Escape and dragging.
// The sources, the preview, the preparation commands, the hand-over and the upload are in
// form_sources.cpp.
#include "sending/form.h"
#include "ui_form.h"

#include "app/core/app.h"
#include "app/dragframe.h"
#include "app/elidingcombobox.h"
#include "app/frmmessagebox.h"
#include "sending/core/segmentcycle.h"
#include "sending/core/servertexts.h"
#include "typing/core/sourcenames.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

QString baseOrProgramFolder(const QString& baseFolder)
{
    return baseFolder.isEmpty() ? QCoreApplication::applicationDirPath() : baseFolder;
}

template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

Form::Form(QWidget* parent, const QString& baseFolder)
    : QWidget(parent), m_ui(new Ui::Form),
      m_articleFolder(QDir(baseOrProgramFolder(baseFolder)).filePath(QStringLiteral("文章"))),
      m_progress(baseOrProgramFolder(baseFolder))
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    // The frame first: changing the window's flags re-applies the style sheet to every control
    // already shown, which then loses the body's font.
    initStyle();
    buildBody();
    connectControls();

    m_labCount->setText(QStringLiteral("总字数: ") + QString::number(App::SendText.length()));
    m_txtPreview->moveCursor(QTextCursor::End);
    // Giving the threshold its value now runs autoSlot2, which stores it back rounded.
    updateAutoControls();

    // The collections gathered in this session go to their files, so the list reads them current.
    if (!App::WrongChars.isEmpty())
        App::writeFile(WrongCollectionFile, App::WrongChars);
    if (!App::SlowChars.isEmpty())
        App::writeFile(SlowCollectionFile, App::SlowChars);

    for (QWidget* control : {static_cast<QWidget*>(m_spinLength), static_cast<QWidget*>(m_comboZdhd2),
                             static_cast<QWidget*>(m_spinZdhd), static_cast<QWidget*>(m_comboZdhd5)})
        DragFrame::growToFit(control);
    DragFrame::growBodyToFit(this, m_ui->widget_title, m_ui->formwidget);
    DragFrame::centreOnDesktop(this);
}

Form::~Form() = default;

void Form::buildBody()
{
    QWidget* body = m_ui->formwidget;
    m_txtPreview = named(new QPlainTextEdit(body), "txtPreview");
    m_txtPreview->setFixedWidth(400);
    m_listSource = named(new QListWidget(body), "listSource");
    m_listSource->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listSource->addItems(fixedSourceTitles() << QStringLiteral("跟打进度"));
    m_articles = listTextFiles(m_articleFolder, TextNames::WithoutTxt);
    m_listSource->addItems(listedNames(m_articles));
    m_listSource->addItem(QStringLiteral("---以上为本地文本---"));
    if (App::DbOnline)
        m_listSource->addItems(serverTextNames());
    m_listSource->setCurrentRow(0);
    showSourceText(QApplication::clipboard()->text(QClipboard::Clipboard));

    m_labCount = named(new QLabel(QStringLiteral("总字数:"), body), "labCount");
    m_ckDl = named(new QCheckBox(QStringLiteral("独练"), body), "ckDl");
    m_ckDl->setChecked(App::Dl);
    m_comboFw = named(new QComboBox(body), "comboFw");
    m_comboFw->addItems({SendMode::AfterRun, SendMode::Period, SendMode::None});
    m_comboFw->setCurrentIndex(qMax(0, m_comboFw->findText(App::Fw)));
    m_spinFwtime = named(new QSpinBox(body), "spinFwtime");
    m_spinFwtime->setRange(0, 99);
    m_spinFwtime->setValue(App::Fwtime);
    m_labFwtime = named(new QLabel(QStringLiteral("秒后自动发文"), body), "labFwtime");

    m_labProgress = named(new QLabel(QStringLiteral("跟打进度:"), body), "labProgress");
    m_labProgress->hide();
    m_comboProgress = named(new ElidingComboBox(body), "comboProgress");
    m_comboProgress->hide();
    m_progressNames = m_progress.names();
    m_comboProgress->addItems(m_progressNames);
    m_comboProgress->setCurrentIndex(m_progressNames.indexOf(App::Zdname));

    m_ckZdhd = named(new QCheckBox(body), "ckZdhd");
    m_ckZdhd->setChecked(App::Zdhd);
    m_comboZdhd2 = named(new QComboBox(body), "comboZdhd2");
    m_comboZdhd2->addItems({QStringLiteral("击键"), QStringLiteral("速度")});
    m_comboZdhd2->setFixedWidth(80);
    m_comboZdhd2->setCurrentIndex(m_comboZdhd2->findText(App::Zdhd2));
    m_labOver = named(new QLabel(QStringLiteral("超过"), body), "labOver");
    m_spinZdhd = named(new QDoubleSpinBox(body), "spinZdhd");
    m_spinZdhd->setDecimals(2);
    m_spinZdhd->setRange(0.0, 999999999.0);
    m_spinZdhd->setFixedWidth(80);
    m_labZdhd = named(new QLabel(QStringLiteral("自动换段"), body), "labZdhd");
    m_labElse = named(new QLabel(QStringLiteral("否则"), body), "labElse");
    m_comboZdhd5 = named(new QComboBox(body), "comboZdhd5");
    m_comboZdhd5->addItems({QStringLiteral("乱序"), QStringLiteral("重打"), QStringLiteral("不处理")});
    m_comboZdhd5->setFixedWidth(80);
    m_comboZdhd5->setCurrentIndex(m_comboZdhd5->findText(App::Zdhd5));

    m_spinLength = named(new QSpinBox(body), "spinLength");
    m_spinLength->setRange(0, 999999999);
    m_spinLength->setValue(100);
    m_spinLength->setSuffix(QStringLiteral("字"));
    m_spinLength->setFixedHeight(24);

    m_btnUpload = named(new QPushButton(QStringLiteral("上传文本"), body), "btnUpload");
    m_btnUpload->hide();
    m_btnSend = named(new QPushButton(QStringLiteral("发文"), body), "btnSend");

    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(15, 15, 15, 15);
    grid->setSpacing(10);
    const auto row = [](std::initializer_list<QWidget*> widgets) {
        auto* line = new QHBoxLayout;
        for (QWidget* w : widgets)
            line->addWidget(w);
        return line;
    };
    grid->addLayout(row({m_listSource, m_txtPreview}), 0, 0);
    grid->addLayout(row({m_labCount, m_ckDl, m_comboFw, m_spinFwtime, m_labFwtime}), 1, 0);
    grid->addLayout(row({m_spinLength, m_ckZdhd, m_comboZdhd2, m_labOver, m_spinZdhd, m_labZdhd, m_labElse,
                         m_comboZdhd5, m_labProgress, m_comboProgress}),
                    2, 0);
    auto* buttons = row({m_btnUpload});
    const QList<QPair<const char*, QString>> commands{{"btnCopy", QStringLiteral("复制")},
                                                      {"btnTrim", QStringLiteral("去除空格")},
                                                      {"btnPunct", QStringLiteral("符号替换")},
                                                      {"btnShuffle", QStringLiteral("乱序")},
                                                      {"btnWhole", QStringLiteral("选择全文")}};
    for (const auto& command : commands)
        buttons->addWidget(named(new QPushButton(command.second, body), command.first));
    buttons->addWidget(m_btnSend, 2);
    grid->addLayout(buttons, 3, 0);
}

void Form::connectControls()
{
    connect(m_comboFw, &QComboBox::textActivated, this, qOverload<const QString&>(&Form::fwSlot));
    connect(m_spinFwtime, qOverload<int>(&QSpinBox::valueChanged), this, qOverload<int>(&Form::fwSlot));
    connect(m_ckZdhd, &QCheckBox::clicked, this, &Form::checkSlot);
    connect(m_ckDl, &QCheckBox::clicked, this, &Form::dlSlot);
    connect(m_comboZdhd2, &QComboBox::textActivated, this, &Form::autoSlot);
    connect(m_spinZdhd, qOverload<double>(&QDoubleSpinBox::valueChanged), this, &Form::autoSlot2);
    connect(m_comboZdhd5, &QComboBox::textActivated, this, &Form::autoSlot3);
    connect(m_comboProgress, &QComboBox::textActivated, this, &Form::zdSlot);
    connect(m_btnUpload, &QPushButton::clicked, this, &Form::uploadSlot);
    const auto button = [this](const char* name) { return findChild<QPushButton*>(QLatin1String(name)); };
    connect(button("btnCopy"), &QPushButton::clicked, this, &Form::copySlot);
    connect(button("btnTrim"), &QPushButton::clicked, this, &Form::qcSlot);
    connect(button("btnPunct"), &QPushButton::clicked, this, &Form::fhSlot);
    connect(button("btnShuffle"), &QPushButton::clicked, this, &Form::random);
    connect(button("btnWhole"), &QPushButton::clicked, this, &Form::qw);
    connect(m_btnSend, &QPushButton::clicked, this, &Form::emit_signal_infosend);
    connect(m_listSource, &QListWidget::itemSelectionChanged, this, &Form::itemSlot);
    connect(m_txtPreview, &QPlainTextEdit::textChanged, this, &Form::count);
}

void Form::initStyle()
{
    DragFrame::initFrame(this, m_ui->lab_Ico, m_ui->btnMenu_Close);
    setWindowFlags(windowFlags() | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint);
    DragFrame::makeDraggable(this);
    DragFrame::closeOnEscape(this);
    connect(m_ui->btnMenu_Close, &QPushButton::clicked, this, &QWidget::close);
}

void Form::updateAutoControls()
{
    const bool period = App::Fw == SendMode::Period;
    m_spinFwtime->setVisible(period);
    m_labFwtime->setVisible(period);
    for (QWidget* w :
         {static_cast<QWidget*>(m_comboFw), static_cast<QWidget*>(m_spinFwtime), static_cast<QWidget*>(m_labFwtime)})
        w->setEnabled(!App::Dl);
    if (m_comboZdhd2->currentText() == QStringLiteral("击键"))
        m_spinZdhd->setValue(App::Zdhd3);
    else if (m_comboZdhd2->currentText() == QStringLiteral("速度"))
        m_spinZdhd->setValue(App::Zdhd4);
}

void Form::setProgressView(bool on)
{
    m_comboProgress->setVisible(on);
    m_labProgress->setVisible(on);
    for (QWidget* w :
         {static_cast<QWidget*>(m_ckZdhd), static_cast<QWidget*>(m_comboZdhd2), static_cast<QWidget*>(m_labOver),
          static_cast<QWidget*>(m_spinZdhd), static_cast<QWidget*>(m_labZdhd), static_cast<QWidget*>(m_labElse),
          static_cast<QWidget*>(m_comboZdhd5)})
        w->setVisible(!on);
}

void Form::info(const QString& text, int type)
{
    frmMessageBox box(this);
    box.SetMessage(text, type, Qt::PlainText);
    box.exec();
}

// ---- Settings of the automatic sending ----

void Form::fwSlot(const QString& mode)
{
    if (mode == SendMode::AfterRun && !App::Dl && App::Zdhd)
        info(QStringLiteral("和下方自动换段功能重复，请选择不处理。"), 0);
    App::Fw = mode;
    App::writeConfig();
    updateAutoControls();
}

void Form::fwSlot(int seconds)
{
    App::Fwtime = seconds;
    App::writeConfig();
}

void Form::checkSlot(bool on)
{
    if (on && !App::Dl && App::Fw == SendMode::AfterRun)
        info(QStringLiteral("和上方跟打结束自动发文功能重复，请选择不处理。"), 0);
    App::Zdhd = on;
    App::writeConfig();
}

void Form::dlSlot(bool on)
{
    App::Dl = on;
    App::writeConfig();
    updateAutoControls();
}

void Form::autoSlot(const QString& metric)
{
    if (metric == QStringLiteral("击键"))
        m_spinZdhd->setValue(App::Zdhd3);
    else if (metric == QStringLiteral("速度"))
        m_spinZdhd->setValue(App::Zdhd4);
    App::Zdhd2 = metric;
    App::writeConfig();
}

void Form::autoSlot2(double value)
{
    if (m_comboZdhd2->currentText() == QStringLiteral("击键"))
        App::Zdhd3 = value;
    else if (m_comboZdhd2->currentText() == QStringLiteral("速度"))
        App::Zdhd4 = value;
    App::writeConfig();
}

void Form::autoSlot3(const QString& action)
{
    App::Zdhd5 = action;
    App::writeConfig();
}

// ---- Window ----


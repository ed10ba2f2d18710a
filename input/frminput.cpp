#include "input/frminput.h"
#include "ui_frminput.h"

#include "app/core/app.h"
#include "app/core/screenplace.h"
#include "app/dragframe.h"
#include "app/iconhelper.h"
#include "app/look.h"
#include "input/core/punctuation.h"
#include "input/inputsetting.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDebug>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>
#include <QWindow>

#include <algorithm>

frmInput* frmInput::self = nullptr;

frmInput* frmInput::Instance()
{
    if (!self)
        self = new frmInput;
    return self;
}

frmInput::frmInput(QWidget* parent) : QWidget(parent), m_ui(new Ui::frmInput)
{
    m_ui->setupUi(this);
    m_engine.setTable(&m_table);
    m_engine.setInserter([this](const QString& text) { insertValue(text); });
    m_engine.setSelectionCounter([] { ++App::SelectCount; });
    initProperty();
    initForm();
    init();
    App::KeyCount = 0;

    m_trayIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/image/input.ico")));
    m_trayIcon->setContextMenu(m_trayMenu);
    m_trayIcon->setVisible(true);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &frmInput::iconActivated);
}

frmInput::~frmInput()
{
    delete m_trayIcon;
    if (self == this)
        self = nullptr;
}

void frmInput::initProperty()
{
    for (QPushButton* key : findChildren<QPushButton*>()) {
        const QString name = key->objectName();
        if (name.size() == 4 && name.startsWith(QLatin1String("btn")) && name.at(3).isLower())
            key->setProperty("btnLetter", true);
        else if (name == QLatin1String("btn00") || (name.size() == 4 && name.at(3).isDigit()))
            key->setProperty("btnNum", true);
        else if (name.startsWith(QLatin1String("btnOther"))) {
            const PunctuationMark* mark = Punctuation::forKey(name);
            key->setProperty(mark && mark->inCode ? "btnFuhao" : "btnOther", true);
        }
    }
    m_ui->labInfo->setProperty("labVideo", true);
    m_ui->labPY->setProperty("labVideo", true);
    m_candidateLabels = {m_ui->labCh1, m_ui->labCh2, m_ui->labCh3, m_ui->labCh4, m_ui->labCh5,
                         m_ui->labCh6, m_ui->labCh7, m_ui->labCh8, m_ui->labCh9, m_ui->labCh10};
    // The application filter already sees every press on a label; a filter of their own would
    // see it a second time.
    for (QLabel* label : qAsConst(m_candidateLabels))
        label->setProperty("labVideo", true);
}

void frmInput::initForm()
{
    setProperty("Form", true);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    // The pane being typed into keeps the focus when the panel appears.
    setAttribute(Qt::WA_ShowWithoutActivating);
    IconHelper* icons = IconHelper::Instance();
    icons->setIcon(m_ui->btnPre, QChar(0xF060), 10);
    icons->setIcon(m_ui->btnNext, QChar(0xF061), 10);
    icons->setIcon(m_ui->btnClose, QChar(0xF00D), 10);

    initMenu();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_deskWidth = screen->availableGeometry().width();
        m_deskHeight = screen->availableGeometry().height();
    }
    m_frmWidth = width();
    m_frmHeight = height();

    m_firstFocus = true;
    m_target = nullptr;
    positionMode.clear();
    fontSize = 10;
    m_inputMode = QStringLiteral("chinese");
    changeType(m_inputMode);

    for (QPushButton* key : findChildren<QPushButton*>())
        connect(key, &QPushButton::clicked, this, &frmInput::btn_clicked);
    connect(qApp, &QApplication::focusChanged, this, &frmInput::focusChanged);
    qApp->installEventFilter(this);
}

void frmInput::initMenu()
{
    m_trayMenu = new QMenu(this);
    m_trayMenu->addAction(QStringLiteral("输入法设置"), this, &frmInput::inputsetting);
    m_codeTableMenu = m_trayMenu->addMenu(QStringLiteral("输入法"));
    m_trayMenu->addAction(QStringLiteral("退出"), this, &frmInput::slotExitActionTrigger);

    m_codeTableNames = CodeTable::names(QCoreApplication::applicationDirPath());
    auto* group = new QActionGroup(this);
    for (const QString& name : qAsConst(m_codeTableNames)) {
        QAction* action = group->addAction(QStringLiteral("\t") + name);
        action->setCheckable(true);
        action->setChecked(name == App::Mabiao);
        m_codeTableMenu->addAction(action);
    }
    connect(m_codeTableMenu, &QMenu::triggered, this, &frmInput::menu1ActionClick);
}

// ---- Code table and candidates ----

void frmInput::init()
{
    if (!m_table.open(CodeTable::pathFor(App::Mabiao)))
        qDebug() << "can't open this bm.txt!!";
    // The shown matches point into the table just replaced.
    m_engine.clear();
    render();
}

void frmInput::syncSettings()
{
    InputSettings s;
    s.pageSize = InputSettings::number(App::Hxnum);
    s.hints = App::Tishi;
    s.hintsOnlyOpen = App::Onlye;
    s.commitLength = InputSettings::number(App::Zdmc);
    s.carryLength = InputSettings::number(App::Dpmc);
    s.clearLength = InputSettings::number(App::Qpmc);
    s.zRepeat = App::Zchongfu;
    s.markSelects = App::Fyxc;
    s.markCommits = App::Dingzi;
    s.spaceAction = App::Kgaction;
    s.returnAction = App::Hcaction;
    m_engine.setSettings(s);
}

void frmInput::render()
{
    m_ui->labPY->setText(m_engine.code());
    const QStringList& labels = m_engine.labels();
    if (labels == m_labelTexts || !layout())
        return;
    m_labelTexts = labels;
    for (int i = 0; i < m_candidateLabels.size(); ++i)
        m_candidateLabels.at(i)->setText(labels.at(i));
    // The labels' row first: its new size reaches the panel's layout only through it.
    m_ui->widgetTop->layout()->activate();
    fitLabelsToScreen();
    // The layout widens the panel for a page of long candidates but never narrows it again: the
    // next page takes it back to its own width, as far as its labels allow. Not to the width it
    // had before: the window manager reports sizes late, so that may be an earlier page's.
    layout()->activate();
    resize(qMax(m_frmWidth, minimumWidth()), height());
}

namespace {

// The greatest width each of `widths` may keep so that together they give up at least `excess`:
// the widest give way first, down to a common width.
int commonCap(const QVector<int>& widths, int excess)
{
    const auto loss = [&widths](int cap) {
        int lost = 0;
        for (const int w : widths)
            lost += qMax(0, w - cap);
        return lost;
    };
    int low = 0, high = *std::max_element(widths.begin(), widths.end());
    while (low < high) {
        const int cap = (low + high + 1) / 2;
        if (loss(cap) >= excess)
            low = cap;
        else
            high = cap - 1;
    }
    return low;
}

} // namespace

void frmInput::fitLabelsToScreen()
{
    const int excess = layout()->totalMinimumSize().width() - DragFrame::availableAreaNear(geometry()).width();
    if (excess <= 0)
        return;
    QVector<int> widths;
    for (const QLabel* label : qAsConst(m_candidateLabels))
        widths << label->fontMetrics().horizontalAdvance(label->text());
    // Each keeps its "…" at least.
    const int cap = qMax(commonCap(widths, excess), fontMetrics().horizontalAdvance(QChar(0x2026)));
    for (int i = 0; i < m_candidateLabels.size(); ++i) {
        QLabel* label = m_candidateLabels.at(i);
        if (widths.at(i) > cap)
            label->setText(label->fontMetrics().elidedText(label->text(), Qt::ElideRight, cap));
    }
    m_ui->widgetTop->layout()->activate();
}

void frmInput::clearChinese()
{
    m_engine.clear();
    render();
}

// ---- Commit primitives ----

bool frmInput::targetWritable() const
{
    // A finished run leaves the pane read-only; its text and the record stay as they are.
    return m_target && !m_target->isReadOnly();
}

void frmInput::insertValue(const QString& text)
{
    if (targetWritable())
        m_target->insertPlainText(text);
    resize(610, 210);
}

void frmInput::deleteValue()
{
    if (!targetWritable())
        return;
    QTextCursor cursor = m_target->textCursor();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    else
        cursor.deletePreviousChar();
    m_target->setTextCursor(cursor);
}

void frmInput::setChinese(int index)
{
    syncSettings();
    m_engine.setChinese(index);
    render();
}

// ---- Frame ----

void frmInput::placeBeside(QWidget* widget)
{
    if (App::Position != QStringLiteral("跟随光标"))
        return;
    QRect place;
    if (positionMode == QLatin1String("center")) {
        place = QRect(m_deskWidth / 2 - m_frmWidth / 2, m_deskHeight / 2 - m_frmHeight / 2, m_frmWidth, m_frmHeight);
    } else if (positionMode == QLatin1String("bottom")) {
        place = QRect(0, m_deskHeight - m_frmHeight, m_deskWidth, m_frmHeight);
    } else if (positionMode == QLatin1String("control")) {
        const QRect pane(widget->mapToGlobal(QPoint()), widget->size());
        // The passage the pane's text follows, where its window shows one.
        QWidget* window = widget->window();
        QRect passage;
        auto* reference = window->findChild<QTextEdit*>(QStringLiteral("textEdit"));
        if (reference && reference != widget && reference->isVisible())
            passage = QRect(reference->mapToGlobal(QPoint()), reference->size());
        place = ScreenPlace::under(pane, QSize(m_frmWidth, m_frmHeight), DragFrame::availableAreaNear(pane),
                                   window->frameGeometry(), passage);
    } else {
        return;
    }
    place = keptOnScreen(place);
    m_home = place.topLeft();
    setGeometry(place);
}

QRect frmInput::keptOnScreen(QRect place)
{
    return ScreenPlace::keptInside(place, DragFrame::availableAreaNear(place));
}

void frmInput::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        const QRect place = keptOnScreen(geometry());
        // A panel that moved while hidden is built afresh at its place instead of being moved
        // there. Qt applies such a move just before mapping the window and reads the place back
        // while the window manager frames it; the frame may then still stand at the screen's
        // corner, Qt takes that corner for the panel's place, and the first drag jumps.
        if (testAttribute(Qt::WA_WState_Created) && windowHandle()->geometry() != place)
            destroy();
        setGeometry(place);
    }
    QWidget::setVisible(visible);
}

void frmInput::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!isVisible())
        return;
    // A wider panel moves back onto the screen; narrower again, it returns to where it was put.
    const QPoint kept = keptOnScreen(QRect(m_home, size())).topLeft();
    if (kept != pos())
        move(kept);
}

// The panel's own drag: only it and the placement rule say where the panel belongs. The window
// manager reports the panel's moves late, an earlier place after a later one, so a move as such
// says nothing.
void frmInput::mousePressEvent(QMouseEvent* event)
{
    m_dragMoved = false;
    if (!DragFrame::press(this, event, m_mousePoint, m_mousePressed))
        QWidget::mousePressEvent(event);
}

void frmInput::mouseMoveEvent(QMouseEvent* event)
{
    if (!DragFrame::move(this, event, m_mousePoint, m_mousePressed)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    m_home = pos();
    m_dragMoved = true;
}

void frmInput::mouseReleaseEvent(QMouseEvent* event)
{
    DragFrame::release(m_mousePressed);
    if (m_dragMoved) {
        // Let go partly off the screen, it comes back at once, not at the next key.
        m_home = keptOnScreen(QRect(m_home, size())).topLeft();
        if (m_home != pos())
            move(m_home);
    }
    m_dragMoved = false;
    QWidget::mouseReleaseEvent(event);
}

void frmInput::focusChanged(QWidget* oldWidget, QWidget* nowWidget)
{
    if (!nowWidget || nowWidget == this || isAncestorOf(nowWidget))
        return;
    if (!oldWidget && !m_firstFocus)
        return;
    follow(nowWidget);
}

void frmInput::takeFocusedPane()
{
    // Taken into use while the pane has the focus, the panel sees no focus change to attach on.
    QWidget* focused = QApplication::focusWidget();
    if (focused && focused->objectName() == QLatin1String("textEdit2"))
        follow(focused);
}

void frmInput::follow(QWidget* nowWidget)
{
    m_firstFocus = false;
    // Placed before it is shown, so the window manager maps it where it belongs.
    placeBeside(nowWidget);
    if (!App::CountSelectKeys) {
        auto* pane = qobject_cast<QTextEdit*>(nowWidget);
        if (pane && nowWidget->objectName() == QLatin1String("textEdit2")) {
            m_target = pane;
            show();
        } else {
            m_target = nullptr;
            m_inputMode = QStringLiteral("chinese");
            changeType(m_inputMode);
            hide();
        }
    }
}

void frmInput::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger) {
        m_trayShown = !m_trayShown;
        setVisible(m_trayShown);
    } else if (reason == QSystemTrayIcon::MiddleClick) {
        m_trayIcon->showMessage(tr("Tavrel输入法"), tr("Tavrel跟打器自带的码表输入法"),
                                QSystemTrayIcon::Information, 10000);
    }
}

void frmInput::slotExitActionTrigger()
{
    close();
    // Detached, so no later key or click can type into whatever window has the focus then.
    m_target = nullptr;
    App::CountSelectKeys = true;
}

void frmInput::menu1ActionClick(QAction* action)
{
    App::Mabiao = action->text().remove(QLatin1Char('\t'));
    App::writeConfig();
    init();
}

void frmInput::inputsetting()
{
    m_settingWindow = new Inputsetting;
    m_settingWindow->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_settingWindow, &Inputsetting::input, this, &frmInput::inputRecv);
    m_settingWindow->show();
    setVisible(false);
}

void frmInput::inputRecv()
{
    applyStyleSheet(App::Style);
    init();
}

void frmInput::contextMenuEvent(QContextMenuEvent* event)
{
    m_trayMenu->exec(event->globalPos());
}

// ---- Colour schemes ----

void frmInput::applyStyle()
{
    static const struct
    {
        const char* name;
        const char* colours[4];
    } schemes[] = {
        {"淡蓝色", {"#DEF0FE", "#C0DEF6", "#C0DCF2", "#386487"}},
        {"蓝色", {"#C0D3EB", "#BCCFE7", "#B4C2D7", "#324C6C"}},
        {"灰色", {"#E4E4E4", "#A2A2A2", "#DCDCDC", "#000000"}},
        {"黑色", {"#4D4D4D", "#292929", "#C2CCD8", "#F0F0F0"}},
        {"灰黑色", {"#667481", "#566373", "#C2CCD8", "#E7ECF0"}},
        {"白色", {"#EEEEEE", "#E5E5E5", "#DCDCDC", "#000000"}},
        {"银白色", {"#E1E4E6", "#CCD3D9", "#B2B6B9", "#000000"}},
    };
    for (const auto& scheme : schemes) {
        if (styleName == QString::fromUtf8(scheme.name)) {
            const auto& c = scheme.colours;
            changeStyle(QLatin1String(c[0]), QLatin1String(c[1]), QLatin1String(c[2]), QLatin1String(c[3]));
            return;
        }
    }
}

void frmInput::changeStyle(const QString& topColor, const QString& bottomColor, const QString& borderColor,
                           const QString& textColor)
{
    QStringList rules;
    rules << QStringLiteral("QWidget#frmInput{background:qlineargradient(spread:pad,x1:0,y1:0,x2:0,y2:1,"
                            "stop:0 %1,stop:1 %2);}")
                 .arg(topColor, bottomColor);
    rules << QStringLiteral("QPushButton{padding:5px;border-radius:3px;}");
    rules << QStringLiteral("QPushButton:hover{background:qlineargradient(spread:pad,x1:0,y1:0,x2:0,y2:1,"
                            "stop:0 %1,stop:1 %2);}")
                 .arg(topColor, bottomColor);
    rules << QStringLiteral("QLabel,QPushButton{font-size:%1pt;color:%2;}").arg(fontSize).arg(textColor);
    rules << QStringLiteral("QMenu{color:%1;background-color:%2;}").arg(textColor, topColor);
    rules << QStringLiteral("QMenu::item{padding:3px 10px 3px 10px;}");
    rules << QStringLiteral("QMenu::item:selected{background-color:%1;}").arg(bottomColor);
    rules << QStringLiteral("QPushButton#btnPre,QPushButton#btnNext,QPushButton#btnClose{padding:5px;}");
    rules << QStringLiteral("QPushButton{border:1px solid %1;}").arg(borderColor);
    rules << QStringLiteral("QLineEdit{border:1px solid %1;border-radius:5px;padding:2px;background:none;"
                            "selection-background-color:%2;selection-color:%3;}")
                 .arg(borderColor, bottomColor, topColor);
    setStyleSheet(rules.join(QString()));
}

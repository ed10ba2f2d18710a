// Every window the trainer opens, in each state it opens in, under the fonts a user gets, each colour
// scheme and names as long as users give them: every visible control whole, at least its minimum
// size, its text whole (or cut with "…" and whole in its tool tip) and readable on its background.
#include "testsupport.h"
#include "windowcheck.h"

#include "account/frmlogin.h"
#include "account/setting.h"
#include "app/frminputbox.h"
#include "app/frmmessagebox.h"
#include "app/frmmessagebox2.h"
#include "app/frmmessagebox3.h"
#include "app/look.h"
#include "input/bmcx.h"
#include "input/cftj.h"
#include "input/frminput.h"
#include "input/inputpanel.h"
#include "input/inputsetting.h"
#include "platform/windowsystem.h"
#include "sending/form.h"
#include "sending/fwstate.h"
#include "sending/quxian.h"
#include "typing/chatroad.h"

#include <QDesktopServices>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QTextDocumentFragment>
#include <QVBoxLayout>
#include <qcustomplot.h> // before Xlib, whose macros clash with it

#include <algorithm>

// Xlib last: its macros clash with Qt's names.
#include "x11support.h"

namespace {

// Hands each state of an opened window to the check, named for the failure message.
using Check = std::function<void(QWidget* window, const QString& state)>;

struct Row
{
    const char* name;
    std::function<void(const Check&)> open;
};

void clickNamed(QWidget* window, const char* name)
{
    auto* button = window->findChild<QAbstractButton*>(QLatin1String(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

template <class Box> void box(const Check& check, const QString& text, int type, Qt::TextFormat format = Qt::PlainText)
{
    Box box;
    box.SetMessage(text, type, format);
    check(&box, QString());
}

void sendingWindow(const Check& check, const QString& mode)
{
    App::Fw = mode;
    App::Dl = false;
    auto* form = new Form(nullptr, QDir::currentPath());
    check(form, QString());
    // Every control of a row shares the body's font.
    for (const char* name : {"labCount", "ckDl", "comboFw", "spinFwtime", "labFwtime", "spinLength"})
        QCOMPARE(form->findChild<QWidget*>(QLatin1String(name))->font().pointSize(), 12);
    form->close();
}

// A text's name as users give them, and one of the longest they give.
const QString kTitle = QStringLiteral("第十二章 春晓");
const QString kLongTitle = QStringLiteral("唐诗宋词元曲精选集之春眠不觉晓处处闻啼鸟夜来风雨声花落知多少").repeated(2);

// A code file and a code table named at length, in the program's folder where the windows list them.
const QString kLongCodeFile = kLongTitle + kLongTitle.left(20);
const QString kLongTable = kLongTitle;
QStringList programFiles()
{
    const QString folder = QCoreApplication::applicationDirPath();
    return {folder + QStringLiteral("/编码文件/") + kLongCodeFile + ".txt",
            folder + QStringLiteral("/mb/") + kLongTable + ".txt"};
}

// Whole on the screen, however long the names it lists.
void wholeOnScreen(const QWidget* window)
{
    const auto place = [window] {
        const QRect g = window->frameGeometry();
        return QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
    };
    XT_TRY_VERIFY2(window->screen()->availableGeometry().contains(window->frameGeometry()), qPrintable(place()));
}

// The width a label's text takes as a label beside it, styled as it is, takes it.
int shownWidth(const QLabel* label)
{
    QLabel probe(label->parentWidget());
    probe.setTextFormat(label->textFormat());
    probe.setText(label->text());
    probe.ensurePolished();
    return probe.sizeHint().width();
}

// Where the curve writes over itself: tick labels of an axis running into each other (the y axis's
// stand one above another), or the y axis's title not whole on the plot, along the axis (centred on
// it) or across above it, clear of the top number.
QStringList curveFaults(const QCustomPlot* plot)
{
    QStringList faults;
    for (const QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
        const bool across = axis->orientation() == Qt::Horizontal;
        QVector<double> at;
        for (const double tick : axis->tickVector()) {
            if (axis->range().contains(tick))
                at << axis->coordToPixel(tick);
        }
        std::sort(at.begin(), at.end());
        const QFontMetrics metrics(axis->tickLabelFont());
        int extent = across ? 0 : metrics.height();
        for (const QString& label : axis->tickVectorLabels())
            extent = across ? qMax(extent, metrics.horizontalAdvance(label)) : extent;
        for (int i = 1; i < at.size(); ++i) {
            if (at.at(i) - at.at(i - 1) < extent)
                faults << QStringLiteral("ticks %1 px apart, labels %2 px").arg(at.at(i) - at.at(i - 1)).arg(extent);
        }
    }
    const QString title = QStringLiteral("速度(单位:字数/每分钟)");
    const QRect axes = plot->axisRect()->rect();
    QRectF shown;
    if (plot->yAxis->label() == title) {
        const int length = QFontMetrics(plot->yAxis->labelFont()).horizontalAdvance(title);
        shown = QRectF(0, axes.center().y() - length / 2.0, 1, length);
    }
    for (int i = 0; i < plot->itemCount(); ++i) {
        const auto* text = qobject_cast<const QCPItemText*>(plot->item(i));
        if (text && text->visible() && text->text() == title) {
            // Its bottom-left corner at its position, raised by its padding.
            const QFontMetrics metrics(text->font());
            const QPointF corner = text->position->pixelPosition() - QPointF(0, text->padding().bottom());
            shown =
                QRectF(corner.x(), corner.y() - metrics.height(), metrics.horizontalAdvance(title), metrics.height());
            if (shown.bottom() > axes.top() - QFontMetrics(plot->yAxis->tickLabelFont()).height() / 2.0)
                faults << QStringLiteral("title across down to %1, axes from %2").arg(shown.bottom()).arg(axes.top());
        }
    }
    if (!QRectF(plot->rect()).contains(shown))
        faults << QStringLiteral("title at %1,%2 %3 x %4 on %5 x %6")
                      .arg(shown.x())
                      .arg(shown.y())
                      .arg(shown.width())
                      .arg(shown.height())
                      .arg(plot->width())
                      .arg(plot->height());
    return faults;
}

// The input panel beside a typing pane near the screen's right edge, widened by ten words longer
// than any screen: still whole on the screen, and back where it stood once they are gone.
void inputPanel(const Check& check)
{
    QDir().mkpath(QStringLiteral("mb"));
    QString table;
    for (int i = 0; i < 10; ++i)
        table += QStringLiteral("mm\t") + QString(60, QChar(0x957F + i)) + QLatin1Char('\n');
    App::writeFile(QStringLiteral("mb/五笔.txt"), table);
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    auto* other = new QLineEdit(&host);
    auto* pane = new QTextEdit(&host);
    pane->setObjectName(QStringLiteral("textEdit2"));
    layout->addWidget(other);
    layout->addWidget(pane);
    host.setGeometry(630, 100, 400, 150);
    host.show();
    host.activateWindow();
    QVERIFY(xt::active(&host));
    InputPanel::open(true);
    frmInput* panel = frmInput::self;
    const auto putAway = qScopeGuard([panel] {
        panel->clearChinese();
        panel->hide();
        App::CountSelectKeys = true;
    });
    panel->init();
    // The panel attaches when the focus moves to the pane within its window.
    other->setFocus();
    pane->setFocus();
    XT_TRY_VERIFY(panel->isVisible());
    check(panel, QStringLiteral("no code"));
    const QPoint home = panel->pos();
    for (int i = 0; i < 2; ++i)
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btnm")), Qt::LeftButton);
    QVERIFY(panel->width() > 610);
    XT_TRY_VERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(panel->frameGeometry()));
    check(panel, QStringLiteral("long words"));
    for (int i = 0; i < 2; ++i)
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btnDelete")), Qt::LeftButton);
    XT_TRY_COMPARE(panel->pos(), home);
}

const QVector<Row>& rows()
{
    static const QVector<Row> table{
        {"main window",
         [](const Check& check) {
             ts::MainWindowFixture fixture;
             // The record label as years of typing fill it.
             App::Jilu = 9876543;
             check(&fixture.open(), QString());
         }},
        {"settings",
         [](const Check& check) {
             // A hot key of three parts, and a code file named at length.
             App::Kjlb = QStringLiteral("ALT+SHIFT+F12");
             App::BianMa = kLongCodeFile + QStringLiteral(".txt");
             Setting window;
             window.show();
             for (const char* page : {"btnJiben", "btnChengji", "btnKuaijie", "btnGenda", "btnGaoji"}) {
                 clickNamed(&window, page);
                 check(&window, QLatin1String(page));
             }
             // A longer key typed in shows whole too.
             clickNamed(&window, "btnKuaijie");
             QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("kjlb")), QStringLiteral("+CTRL"));
             check(&window, QStringLiteral("a longer key typed"));
         }},
        {"login",
         [](const Check& check) {
             frmLogin window;
             check(&window, QStringLiteral("without keyboard"));
             clickNamed(&window, "btnKey");
             check(&window, QStringLiteral("with keyboard"));
         }},
        {"sending after each run",
         [](const Check& check) { sendingWindow(check, QStringLiteral("跟打结束自动发文")); }},
        {"sending by period", [](const Check& check) { sendingWindow(check, QStringLiteral("周期发文")); }},
        {"sending by hand", [](const Check& check) { sendingWindow(check, QStringLiteral("不处理")); }},
        {"sending progress view",
         [](const Check& check) {
             QDir().mkpath(QStringLiteral("跟打进度"));
             for (const QString& title : {kTitle, kLongTitle})
                 App::writeFile(QStringLiteral("跟打进度/") + title + QStringLiteral(".txt"),
                                QStringLiteral("春眠不觉晓"));
             App::Zdname = kLongTitle;
             auto* form = new Form(nullptr, QDir::currentPath());
             form->show();
             auto* list = form->findChild<QListWidget*>(QStringLiteral("listSource"));
             list->setCurrentRow(3);
             check(form, QString());
             form->close();
         }},
        {"sending state",
         [](const Check& check) {
             Fwstate panel;
             const QString text(99999, QLatin1Char('x'));
             panel.recvstate(kLongTitle, QStringLiteral("第123段"), text, text.left(12345));
             check(&panel, QString());
             // A title as wide as its field holds shows whole.
             auto* field = panel.findChild<QLineEdit*>(QStringLiteral("lineEdit"));
             const int room = ts::detail::lineEditRoom(field).width();
             QString fits;
             for (const QChar c : kLongTitle + QString(40, QLatin1Char('i')))
                 if (field->fontMetrics().horizontalAdvance(fits + c) <= room)
                     fits += c;
             panel.recvstate(fits, QStringLiteral("第123段"), text, text.left(12345));
             QCOMPARE(field->text(), fits);
         }},
        {"speed curve",
         [](const Check& check) {
             quxian curve;
             check(&curve, QString());
             // At its least size and as it stands below the main window on 1366 x 768, empty and with
             // a run's speeds: the numbers apart and the y axis's title whole.
             for (const QString& speeds : {QString(), QStringLiteral("320 305 298 311 ")}) {
                 curve.recvqx(speeds);
                 for (const QSize& size : {curve.minimumSizeHint(), QSize(650, 293)}) {
                     curve.resize(size);
                     const QString state = QStringLiteral("%1x%2 %3").arg(size.width()).arg(size.height()).arg(speeds);
                     check(&curve, state);
                     const QStringList faults = curveFaults(curve.plot());
                     QVERIFY2(faults.isEmpty(), qPrintable(state + QLatin1Char('\n') + faults.join(QLatin1Char('\n'))));
                 }
             }
         }},
        {"input panel", inputPanel},
        {"input settings",
         [](const Check& check) {
             App::Mabiao = kLongTable;
             Inputsetting window;
             window.show();
             clickNamed(&window, "btnJiben");
             check(&window, QStringLiteral("basic"));
             const int column = window.findChild<QWidget*>(QStringLiteral("gboxLeft"))->width();
             const int width = window.width();
             clickNamed(&window, "btnGaoji");
             check(&window, QStringLiteral("advanced"));
             QCOMPARE(window.findChild<QWidget*>(QStringLiteral("gboxLeft"))->width(), column);
             // The long code table's name does not widen the window.
             QCOMPARE(window.width(), width);
             wholeOnScreen(&window);
         }},
        {"code look-up",
         [](const Check& check) {
             bmcx window;
             check(&window, QString());
             wholeOnScreen(&window);
             // The two text fields in large type, the rest of the body in the body's.
             const std::pair<const char*, int> sizes[] = {{"txt1", 15}, {"txt2", 15}, {"label", 10}, {"search", 10}};
             for (const auto& [name, size] : sizes)
                 QCOMPARE(QFontInfo(window.findChild<QWidget*>(QLatin1String(name))->font()).pointSize(), size);
         }},
        {"picture window",
         [](const Check& check) {
             App::Bb = kLongCodeFile;
             cftj window;
             check(&window, QString());
         }},
        // The longest text each box is given; a title comes from other people's posts.
        {"message box",
         [](const Check& check) {
             box<frmMessageBox>(
                 check, QStringLiteral("上传成绩需要开启参与排名功能，请在高级设置中开启！在功能选项中重新手动上传！"),
                 0);
             box<frmMessageBox>(check, QStringLiteral("正在发文，是否结束发文？"), 1);
             box<frmMessageBox>(check,
                                QStringLiteral("无法打开文章“%1”，文件可能已被移动、删除或无权读取。").arg(kTitle), 2);
         }},
        {"result and notice box",
         [](const Check& check) {
             box<frmMessageBox2>(check,
                                 kTitle + QStringLiteral(" 速度180.25 击键6.54 码长2.73 字数123 错字0 用时41.03秒 "
                                                         "暂停0次 回改0 退格0 回车0 选重0 键准100% 校检:1a2b3 "
                                                         "峰值240.50/8.20/2.10 Tavrel跟打器V201505 签名"),
                                 0);
             box<frmMessageBox2>(check,
                                 QStringLiteral("如果您认为本软件的质量不错，使用后收获很大，不妨小额赞助我一下，"
                                                "让我有动力继续写出高质量的软件。"),
                                 1);
             box<frmMessageBox2>(check, QStringLiteral("Tavrel跟打器从2014/12/1至今已经更新4389天"), 2);
             // The download address alone: the link reads on the box.
             box<frmMessageBox2>(check, QStringLiteral("<a href='http://127.0.0.1/dl'>Tavrel跟打器</a>"), 2,
                                 Qt::RichText);
             box<frmMessageBox2>(check,
                                 QStringLiteral("Tavrel跟打器V201505 更新时间:2015-05-01\n本软件免费使用，仅供跟打"
                                                "练习与交流。\n问题与建议请到官方群或贴吧反馈。"),
                                 3);
             box<frmMessageBox2>(
                 check,
                 QStringLiteral("请把计划跟打的文章放入软件同目录“跟打进度”文件夹中。在功能菜单中可保存跟打进度！"), 4);
         }},
        {"sponsor picture",
         [](const Check& check) {
             frmMessageBox3 box;
             box.SetMessage(QString(), 0);
             check(&box, QString());
         }},
        {"input box",
         [](const Check& check) {
             frmInputBox box;
             box.SetMessage(QStringLiteral("请输入要保存的跟打进度的名称："));
             check(&box, QString());
         }},
    };
    return table;
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        App::initResources();
        applyWindowFonts();
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
        for (const QString& path : programFiles())
            QVERIFY(QDir().mkpath(QFileInfo(path).path()) && App::writeFile(path, QStringLiteral("中\tk\n")));
    }
    void cleanupTestCase()
    {
        for (const QString& path : programFiles())
            QFile::remove(path);
    }
    void init() { ts::resetWindowGlobals(); }

    void everyControlShown_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("scheme");
        for (const char* scheme : {"white", "silvery", "black", "brown", "dev", "blue", "gray"})
            for (int i = 0; i < rows().size(); ++i)
                QTest::addRow("%s, %s", rows().at(i).name, scheme) << i << QString::fromLatin1(scheme);
    }
    void everyControlShown()
    {
        QFETCH(int, row);
        QFETCH(QString, scheme);
        TestDir dir;
        App::Style = scheme;
        QVERIFY(applyStyleSheet(scheme));
        int checked = 0;
        rows().at(row).open([this, &checked](QWidget* window, const QString& state) {
            window->show();
            QVERIFY(xt::exposed(window));
            QApplication::processEvents();
            // The window manager answers resizes late, and may report an earlier size after a later
            // request: checked once the size it has on the screen is the last one it asked for.
            XT_TRY_VERIFY(m_sizes.settled(window));
            const QStringList faults = ts::windowFaults(window) + ts::unreadableTexts(window);
            ++checked;
            QVERIFY2(faults.isEmpty(), qPrintable(state + QLatin1Char('\n') + faults.join(QLatin1Char('\n'))));
        });
        QVERIFY(checked > 0);
    }

    // Real-length texts in the status bar: figures whole; of the chat group and the title, a text that
    // fits beside the other's least shows whole and the other takes the rest, else each gets half;
    // a cut text ends in "…" and shows whole in its tool tip, markup shown as text; the code hint
    // keeps no room while hints are off. Nothing the bar shows widens the window: with hints on and
    // the record in the billions it stays 650 wide while typing, and 复位 gives 650 × 475 again after
    // the window was made as small as it goes. The sending-state panel stands beside the window.
    void statusBarSharesRoom_data()
    {
        QTest::addColumn<QString>("chat");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("chatWhole");
        QTest::addColumn<bool>("titleWhole");
        QTest::addColumn<bool>("hints"); // 编码提示 on, two characters typed, the record in the billions
        const QString longChat = QStringLiteral("唐诗宋词元曲跟打交流群") + QString(20, QChar(0x7FA4));
        const QString longTitle = QStringLiteral("<b>唐诗</b> & ") + QString(28, QChar(0x6625));
        QTest::addRow("short chat, long title") << QStringLiteral("唐诗群") << longTitle << true << false << false;
        QTest::addRow("long chat, short title") << longChat << QStringLiteral("快捷键介绍") << false << true << false;
        QTest::addRow("both long") << longChat << longTitle << false << false << false;
        QTest::addRow("both long, hints on, typing") << longChat << longTitle << false << false << true;
    }
    void statusBarSharesRoom()
    {
        QFETCH(QString, chat);
        QFETCH(QString, title);
        QFETCH(bool, chatWhole);
        QFETCH(bool, titleWhole);
        QFETCH(bool, hints);
        TestDir dir;
        ts::MainWindowFixture f;
        App::Dl = true; // the text is sent without a post into the chat
        if (hints) {
            QVERIFY(QDir().mkpath(QStringLiteral("编码文件")) &&
                    App::writeFile(QStringLiteral("编码文件/h.txt"), QStringLiteral("字\tpbf\n")));
            App::BianMa = QStringLiteral("h.txt");
            App::BianMa2 = true;
            App::TempJilu = App::Jilu = 1999999999;
        }
        frmMain& w = f.open(true);
        App::ChatTitle = chat;
        w.getHwnd();
        w.infoRecv(100, title, QString(300, QChar(0x5B57)), QString(), QString());
        if (hints)
            f.type(QStringLiteral("字字"));
        // At the screen's left edge the panel, on the left by rule, goes to the right.
        QWidget* panel = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            panel = window->isVisible() && window->objectName() == QLatin1String("Fwstate") ? window : panel;
        QVERIFY(panel);
        XT_TRY_COMPARE(panel->frameGeometry().topLeft(), QPoint(650, 0));
        // The labels of the bar, which may give way, are looked at below.
        const QRegularExpression others(QStringLiteral("^(?!QLabel lab(Chat|Segment|Title|Count|Progress|CodeHint|"
                                                       "Record): \")"));
        const QString texts[] = {QStringLiteral("QQ群: ") + chat, QStringLiteral("标题: ") + title};
        const QLabel* labels[] = {w.findChild<QLabel*>(QStringLiteral("labChat")),
                                  w.findChild<QLabel*>(QStringLiteral("labTitle"))};
        const QLabel* hint = w.findChild<QLabel*>(QStringLiteral("labCodeHint"));
        const auto plain = [](const QString& text) { return QTextDocumentFragment::fromHtml(text).toPlainText(); };
        const auto shown = [&plain](const QLabel* label) {
            return label->textFormat() == Qt::PlainText ? label->text() : plain(label->text());
        };
        for (const bool least : {false, true}) {
            if (least)
                w.resize(1, 1); // no smaller than its layout lets it, as the texts settle it
            XT_TRY_VERIFY2(ts::windowFaults(&w).filter(others).isEmpty(),
                           qPrintable(ts::windowFaults(&w).filter(others).join('\n')));
            QCOMPARE(w.size(), least ? w.minimumSize() : QSize(650, 475));
            for (int i = 0; i < 2; ++i) {
                const QString& text = texts[i];
                const QString now = shown(labels[i]);
                if (!least)
                    QVERIFY2((now == text) == (i == 0 ? chatWhole : titleWhole), qPrintable(now));
                if (now == text)
                    continue;
                QVERIFY2(now.endsWith(QChar(0x2026)) && text.startsWith(now.chopped(1)), qPrintable(now));
                QVERIFY2(plain(labels[i]->toolTip()).contains(text.mid(4)), qPrintable(labels[i]->toolTip()));
            }
            // A figure that gives way is cut as the names are.
            for (const QLabel* figure : labels[0]->parentWidget()->findChildren<QLabel*>()) {
                const QString now = shown(figure);
                if (!figure->isVisible() || !now.endsWith(QChar(0x2026)) || figure == labels[0] || figure == labels[1])
                    continue;
                QVERIFY2(plain(figure->toolTip()).startsWith(now.chopped(1)) && plain(figure->toolTip()) != now,
                         qPrintable(now + QStringLiteral(" | ") + figure->toolTip()));
            }
            // Halves, less what the first shows no character in, which the second takes.
            if (!least && !chatWhole && !titleWhole)
                QVERIFY2(qAbs(labels[0]->width() - labels[1]->width()) <
                             2 * labels[1]->fontMetrics().horizontalAdvance(QChar(0x6625)),
                         qPrintable(QStringLiteral("%1 and %2").arg(labels[0]->width()).arg(labels[1]->width())));
            // A name is cut: the hint's cell holds what it shows and no more.
            if (!least)
                QVERIFY2(hint->width() <= shownWidth(hint), qPrintable(QStringLiteral("%1 for %2 px of \"%3\"")
                                                                           .arg(hint->width())
                                                                           .arg(shownWidth(hint))
                                                                           .arg(hint->text())));
        }
        f.action({"复位"})->trigger();
        XT_TRY_COMPARE(w.size(), QSize(650, 475));
    }

    // Keys whose code hints differ in length move neither name, but for the keys at which the hint's
    // room first grows: the hint's cell is as wide as the widest hint shown since the passage was laid,
    // no wider. Typed again after a retype, with a short title beside the chat group whole where it
    // fits beside the group's least, no key moves a name: each as wide before the keys as after each.
    // A new passage starts the room afresh; hints turned off, the cell keeps no room for them.
    void statusBarHoldsStill()
    {
        ts::MainWindowFixture f;
        const QString passage = QStringLiteral("春眠不觉晓花落知多少夜来");
        const QStringList codes{"i", "mmmm", "wm", "il", "mwm", "j", "wwww", "ij", "mmw", "t"};
        QString codeFile;
        for (int i = 0; i < codes.size(); ++i)
            codeFile += passage.at(i + 1) + QLatin1Char('\t') + codes.at(i) + QLatin1Char('\n');
        QVERIFY(QDir().mkpath(QStringLiteral("编码文件")) &&
                App::writeFile(QStringLiteral("编码文件/h.txt"), codeFile));
        App::BianMa = QStringLiteral("h.txt");
        App::BianMa2 = true;
        App::Gdcd = false;
        App::TempJilu = App::Jilu = 5; // the record passes 9 on the way
        frmMain& w = f.open(true);
        App::ChatTitle = kLongTitle;
        w.getHwnd();
        w.layHandPassage(QStringLiteral("万字长文"), passage);
        const QLabel* chat = w.findChild<QLabel*>(QStringLiteral("labChat"));
        const QLabel* title = w.findChild<QLabel*>(QStringLiteral("labTitle"));
        const QLabel* hint = w.findChild<QLabel*>(QStringLiteral("labCodeHint"));
        const auto names = [&] {
            QApplication::processEvents(); // the posted layout requests of the last change
            return QStringLiteral("%1 (%2) | %3 (%4)")
                .arg(QTextDocumentFragment::fromHtml(chat->text()).toPlainText())
                .arg(chat->width())
                .arg(title->text())
                .arg(title->width());
        };
        QString before = names();
        int widest = shownWidth(hint);
        for (int i = 0; i < codes.size(); ++i) {
            f.type(passage.at(i));
            QVERIFY2(hint->text().contains(codes.at(i)), qPrintable(hint->text()));
            const bool grows = shownWidth(hint) > widest;
            widest = qMax(widest, shownWidth(hint));
            QVERIFY2(hint->width() <= widest, qPrintable(QStringLiteral("%1 of %2").arg(hint->width()).arg(widest)));
            if (grows)
                before = names();
            QCOMPARE(names(), before);
        }
        QTest::keyClick(&w, Qt::Key_F3);
        // Room for the title beside the group's least, though not in half of the room: what the
        // names have, and what the group shows no character in.
        const int room = chat->parentWidget()->width() - chat->parentWidget()->childrenRect().width() + chat->width() +
                         title->width();
        const int needed = title->sizeHint().width() + chat->minimumSizeHint().width();
        QVERIFY(needed < 2 * title->sizeHint().width());
        w.resize(w.width() + needed - room, w.height());
        XT_TRY_COMPARE(title->text(), QStringLiteral("标题: 万字长文"));
        before = names();
        QVERIFY2(before.contains(QChar(0x2026)), qPrintable(before));
        for (int i = 0; i < codes.size(); ++i) {
            f.type(passage.at(i));
            QVERIFY2(hint->text().contains(codes.at(i)), qPrintable(hint->text()));
            QCOMPARE(names(), before);
        }
        // A new passage: the room is its own first hint's.
        w.layHandPassage(QStringLiteral("春晓"), passage.mid(1));
        QVERIFY2(hint->text().contains(codes.at(0)), qPrintable(hint->text()));
        XT_TRY_COMPARE(hint->width(), shownWidth(hint));
        // Hints turned off in the settings: no room stays for one, before the next key as after it.
        App::BianMa2 = false;
        w.settingRecv();
        QCOMPARE(hint->text(), QStringLiteral("编码提示: "));
        XT_TRY_COMPARE(hint->width(), shownWidth(hint));
    }

    // However the window was minimised and brought back before, the press of the boss key that
    // shows the window again, or the tray's 还原, brings it back on the screen and active.
    void bossKeyBringsWindowBack_data()
    {
        QTest::addColumn<bool>("restored"); // by the window manager, as a click on the taskbar does
        QTest::addColumn<bool>("tray");     // 最小化 and 还原 of the tray's menu, else the boss key
        QTest::addRow("boss key after a restore") << true << false;
        QTest::addRow("tray after a restore") << true << true;
        QTest::addRow("boss key while minimised") << false << false;
        QTest::addRow("tray while minimised") << false << true;
    }
    void bossKeyBringsWindowBack()
    {
        QFETCH(bool, restored);
        QFETCH(bool, tray);
        xt::XInput x;
        QVERIFY2(x.isOpen(), "needs an X display with XTest (run under test.sh)");
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
        ts::MainWindowFixture f;
        App::Kjlb = QStringLiteral("ALT+Q");
        frmMain& w = f.open(true);
        QVERIFY(xt::active(&w));
        const platform::WindowHandle handle = w.winId();
        // On the screen and active, as the window manager has it.
        const auto onScreen = [&] {
            return w.isVisible() && x.viewable(handle) && !x.iconic(handle) &&
                   platform::windowSystem().foregroundWindow() == handle;
        };
        QMenu* menu = w.findChild<QSystemTrayIcon*>()->contextMenu();
        const auto press = [&](const QString& trayEntry) {
            if (!tray)
                return x.chord({XK_Alt_L}, XK_q);
            for (QAction* action : menu->actions())
                if (action->text() == trayEntry)
                    action->trigger();
        };
        QTest::mouseClick(f.button(QStringLiteral("btnMenu_Min")), Qt::LeftButton);
        XT_TRY_VERIFY(x.iconic(handle));
        if (restored) {
            platform::windowSystem().setForegroundWindow(handle);
            XT_TRY_VERIFY(onScreen());
        }
        press(QStringLiteral("最小化"));
        // Gone from the X server too: until the window manager has taken it off, the window's state
        // and the active window it names are those from before.
        XT_TRY_VERIFY(!w.isVisible() && !x.viewable(handle));
        press(QStringLiteral("还原"));
        // Active for the toolkit too: the typing pane takes the keys.
        XT_TRY_VERIFY2(onScreen() && w.isActiveWindow(),
                       qPrintable(QStringLiteral("visible %1, minimised %2, active %3 and %4")
                                      .arg(w.isVisible())
                                      .arg(x.iconic(handle))
                                      .arg(platform::windowSystem().foregroundWindow() == handle)
                                      .arg(w.isActiveWindow())));
    }

    // The side windows stand beside the main window as the X server has them, however it moved or
    // grew: the curve at the first start and with the window at the right edge, the sending-state
    // panel when the window is made wider.
    void sideWindowsBesideMainWindow()
    {
        TestDir dir;
        ts::MainWindowFixture f;
        App::Dl = true;
        frmMain& w = f.open(true);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(screen.width(), 1280);
        const auto placed = [](const QWidget* window) {
            QRect rect;
            platform::windowSystem().clientRect(window->winId(), &rect);
            return rect;
        };
        const auto shown = [](const char* name) {
            QWidget* found = nullptr;
            for (QWidget* window : QApplication::topLevelWidgets())
                found = window->isVisible() && window->objectName() == QLatin1String(name) ? window : found;
            return found;
        };
        QTest::mouseClick(f.button(QStringLiteral("button")), Qt::LeftButton);
        QWidget* curve = shown("quxian");
        QVERIFY(curve && xt::exposed(curve) && xt::exposed(&w));
        XT_TRY_VERIFY2(placed(curve).left() >= 650 && placed(curve).right() <= screen.right() &&
                           placed(curve).left() > placed(&w).right(),
                       qPrintable(QStringLiteral("%1 %2").arg(placed(curve).left()).arg(placed(curve).right())));
        w.move(screen.right() + 1 - w.width(), 0);
        XT_TRY_VERIFY2(placed(curve).right() < placed(&w).left() && placed(curve).left() >= screen.left(),
                       qPrintable(QString::number(placed(curve).left())));
        curve->close();

        w.move(0, 0);
        w.infoRecv(100, QStringLiteral("春晓"), QString(300, QChar(0x5B57)), QString(), QString());
        QWidget* panel = shown("Fwstate");
        QVERIFY(panel && xt::exposed(panel));
        XT_TRY_COMPARE(placed(panel).topLeft(), QPoint(650, 0));
        w.resize(700, w.height());
        XT_TRY_VERIFY(w.width() > 650);
        XT_TRY_COMPARE(placed(panel).topLeft(), QPoint(placed(&w).right() + 1, 0));
    }

    void sideWindowsApart_data()
    {
        QTest::addColumn<QPoint>("main");
        QTest::addColumn<bool>("panel"); // the sending-state panel opens before the curve
        QTest::addColumn<bool>("room");  // the screen has room for all of them apart
        QTest::addRow("first start") << QPoint(0, 0) << true << true;
        QTest::addRow("at the right edge") << QPoint(630, 0) << true << true;
        QTest::addRow("centred at the top, curve alone") << QPoint(315, 0) << false << true;
        QTest::addRow("at (100,200), the curve shortened below") << QPoint(100, 200) << true << true;
    }

    // The main window, the sending-state panel and the speed curve as the X server has them: none
    // over another where the screen has room; else the curve over the main window, but never over
    // its title bar and menu bar, nor over the panel.
    void sideWindowsApart()
    {
        QFETCH(QPoint, main);
        QFETCH(bool, panel);
        QFETCH(bool, room);
        TestDir dir;
        ts::MainWindowFixture f;
        App::Dl = true;
        App::X = main.x();
        App::Y = main.y();
        frmMain& w = f.open(true);
        if (panel)
            w.infoRecv(100, QStringLiteral("春晓"), QString(300, QChar(0x5B57)), QString(), QString());
        w.showSlot();
        QVector<QWidget*> windows{&w};
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && QStringList{"Fwstate", "quxian"}.contains(window->objectName()))
                windows << window;
        }
        QCOMPARE(windows.size(), panel ? 3 : 2);
        // Framed by the window manager first: a window it has not yet taken in stands where it was
        // made, and while it takes it in, it may stand elsewhere for a moment.
        for (QWidget* window : windows)
            QVERIFY(xt::exposed(window));
        const auto placed = [](const QWidget* window) {
            QRect rect;
            platform::windowSystem().clientRect(window->winId(), &rect);
            return rect;
        };
        const auto* menus = w.findChild<QMenuBar*>();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const auto apart = [&] {
            // Where the main window stands once the window manager has placed it.
            const QRect bars(placed(&w).topLeft(), QSize(w.width(), menus->mapTo(&w, QPoint(0, menus->height())).y()));
            QStringList faults;
            for (int i = 0; i < windows.size(); ++i) {
                const QRect one = placed(windows.at(i));
                if (!screen.contains(one) || (i > 0 && one.intersects(bars)))
                    faults << windows.at(i)->objectName();
                for (int j = qMax(1, i + 1); j < windows.size(); ++j) {
                    if ((room || i > 0) && one.intersects(placed(windows.at(j))))
                        faults << windows.at(i)->objectName() + " " + windows.at(j)->objectName();
                }
            }
            return faults;
        };
        XT_TRY_VERIFY2(placed(&w).topLeft() == main && apart().isEmpty(),
                       qPrintable(QStringLiteral("main window at %1,%2; %3")
                                      .arg(placed(&w).x())
                                      .arg(placed(&w).y())
                                      .arg(apart().join(", "))));
    }

    // The title drags the window whatever it shows: a message in colour, an update link. A click
    // on the link still opens it and a double click still maximises.
    void titleDragsWithMessage()
    {
        xt::XInput x;
        QVERIFY2(x.isOpen(), "needs an X display with XTest (run under test.sh)");
        // A window an earlier case left on top (the input panel) would take the clicks.
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
        TestDir dir;
        ts::MainWindowFixture f;
        App::X = 100;
        App::Y = 80;
        App::Dl = true;
        frmMain& w = f.open(true);
        auto* title = w.findChild<QLabel*>(QStringLiteral("lab_Title"));
        const auto at = [title](int x) { return title->mapToGlobal(QPoint(x, title->height() / 2)); };
        // The pointer goes where the toolkit has the title: only once the X server has it there too,
        // and no late report of an earlier place is still to come.
        const auto standsAt = [&w](const QPoint& place) {
            QRect placed;
            return platform::windowSystem().clientRect(w.winId(), &placed) && placed.topLeft() == place &&
                   w.pos() == place;
        };
        QVERIFY(xt::exposed(&w));
        XT_TRY_VERIFY(standsAt(QPoint(100, 80)));
        // A text sent with its record holder's notice, which stays in the title.
        w.infoRecv(0, QStringLiteral("春晓"), QStringLiteral("春眠不觉晓"), QString(), QStringLiteral("纪录: 某某"));
        QCOMPARE(title->text(), QStringLiteral("Tavrel跟打器[<font color='red';>纪录: 某某</font>]"));
        x.drag(at(20), at(20) + QPoint(60, 40));
        XT_TRY_VERIFY(standsAt(QPoint(160, 120)));
        QCOMPARE(QPoint(App::X, App::Y), QPoint(160, 120));

        // The update notice's link reads on the title bar under every scheme, chosen while it shows.
        QVERIFY(applyStyleSheet(QStringLiteral("white")));
        emit w.findChild<ChatRoad*>()->notice(
            QStringLiteral("版本更新啦，最新版本 <a href='http://127.0.0.1/dl'>V2</a>"), -1);
        for (const char* scheme : {"black", "brown", "dev", "blue", "gray", "white", "silvery"}) {
            QVERIFY(applyStyleSheet(QLatin1String(scheme)));
            const QString shown = title->text();
            const QRect area(title->mapTo(&w, QPoint()), title->size());
            const QImage with = w.grab(area).toImage();
            title->setText(QString(shown).replace(">V2<", "><font color='transparent'>V2</font><"));
            const double contrast = ts::strongestChange(with, w.grab(area).toImage());
            title->setText(shown);
            QVERIFY2(shown.contains(QStringLiteral("V2")) && contrast >= 2.5,
                     qPrintable(QStringLiteral("%1: %2").arg(scheme).arg(contrast)));
        }

        // An update notice's link, as the window shows it when the server has a newer version.
        title->setText(QStringLiteral("<a href='http://127.0.0.1/dl'>Tavrel跟打器V2</a> 版本更新啦"));
        x.click(1, at(20));
        XT_TRY_COMPARE(m_opened, QList<QUrl>{QUrl(QStringLiteral("http://127.0.0.1/dl"))});
        XT_TRY_VERIFY(standsAt(QPoint(160, 120)));
        // Pressed apart from the click, so the two presses make no double click.
        x.drag(at(30), at(30) + QPoint(-50, 30));
        XT_TRY_VERIFY(standsAt(QPoint(110, 150)));
        QCOMPARE(m_opened.size(), 1); // a drag is no click

        x.click(1, at(title->width() - 5));
        x.click(1, at(title->width() - 5));
        XT_TRY_COMPARE(w.geometry(), QGuiApplication::primaryScreen()->availableGeometry());
    }

public slots:
    void openUrl(const QUrl& url) { m_opened << url; }

private:
    QList<QUrl> m_opened; // the links handed to the browser
    xt::SizeRequests m_sizes;
};

QTEST_MAIN(TestWindows)
#include "test_windows.moc"

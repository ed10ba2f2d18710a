// Every window the trainer opens, in each state it opens in, under the fonts a user gets and each of
// the seven colour schemes, with names as long as users give them: every visible control whole,
// at least its minimum size, and its text whole (or cut with "…" and whole in its tool tip) and
// readable on what is painted behind it.
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

#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>

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

template <class Box> void box(const Check& check, const QString& text, int type)
{
    Box box;
    box.SetMessage(text, type, Qt::PlainText);
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

// A file in the program's folder, where the windows list code files; gone with the row.
class ProgramFile
{
public:
    explicit ProgramFile(const QString& name) : m_path(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name)
    {
        QDir().mkpath(QFileInfo(m_path).path());
        App::writeFile(m_path, QStringLiteral("中\tk\n"));
    }
    ~ProgramFile() { QFile::remove(m_path); }

private:
    const QString m_path;
};

// The input panel beside a typing pane near the screen's right edge, widened by a page of code
// hints ("h") and by ten words longer than any screen ("mm"): still whole on the screen, and back
// where it stood once the page is gone.
void inputPanel(const Check& check)
{
    QDir().mkpath(QStringLiteral("mb"));
    QString table;
    for (int i = 0; i < 10; ++i)
        table += QStringLiteral("hqwert%1\t%2\n").arg(QChar('a' + i)).arg(QStringLiteral("一二三四五六七八九十").at(i));
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
    QVERIFY(QTest::qWaitForWindowActive(&host));
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
    QTRY_VERIFY(panel->isVisible());
    check(panel, QStringLiteral("no code"));
    const QPoint home = panel->pos();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    App::Tishi = true;
    for (const char* code : {"h", "mm"}) {
        for (const char* letter = code; *letter; ++letter)
            QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btn") + QLatin1Char(*letter)),
                              Qt::LeftButton);
        QVERIFY(panel->width() > 610);
        QVERIFY2(panel->width() <= screen.width(), qPrintable(QString::number(panel->width())));
        QTRY_VERIFY2(screen.contains(panel->frameGeometry()), code);
        check(panel, QLatin1String(code));
        for (const char* letter = code; *letter; ++letter)
            QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btnDelete")), Qt::LeftButton);
        QTRY_COMPARE(panel->pos(), home);
    }
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
             const ProgramFile file(QStringLiteral("编码文件/") + kLongTitle.left(24) + QStringLiteral(".txt"));
             App::BianMa = kLongTitle.left(24) + QStringLiteral(".txt");
             Setting window;
             window.show();
             for (const char* page : {"btnJiben", "btnChengji", "btnKuaijie", "btnGenda", "btnGaoji"}) {
                 clickNamed(&window, page);
                 check(&window, QLatin1String(page));
             }
             // A longer key typed in shows whole too.
             clickNamed(&window, "btnKuaijie");
             auto* field = window.findChild<QLineEdit*>(QStringLiteral("kjsz"));
             field->selectAll();
             QTest::keyClicks(field, QStringLiteral("CTRL+ALT+SHIFT+F12"));
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
             panel.recvstate(kLongTitle, QStringLiteral("第123段"), QString(99999, QLatin1Char('x')),
                             QString(12345, QLatin1Char('x')));
             check(&panel, QString());
         }},
        {"speed curve",
         [](const Check& check) {
             quxian curve;
             check(&curve, QString());
         }},
        {"input panel", inputPanel},
        {"input settings",
         [](const Check& check) {
             Inputsetting window;
             window.show();
             clickNamed(&window, "btnJiben");
             check(&window, QStringLiteral("basic"));
             const int column = window.findChild<QWidget*>(QStringLiteral("gboxLeft"))->width();
             clickNamed(&window, "btnGaoji");
             check(&window, QStringLiteral("advanced"));
             QCOMPARE(window.findChild<QWidget*>(QStringLiteral("gboxLeft"))->width(), column);
         }},
        {"code look-up",
         [](const Check& check) {
             bmcx window;
             check(&window, QString());
             // The two text fields in large type, the rest of the body in the body's.
             const std::pair<const char*, int> sizes[] = {{"txt1", 15}, {"txt2", 15}, {"label", 10}, {"search", 10}};
             for (const auto& [name, size] : sizes)
                 QCOMPARE(QFontInfo(window.findChild<QWidget*>(QLatin1String(name))->font()).pointSize(), size);
         }},
        {"picture window",
         [](const Check& check) {
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
        rows().at(row).open([&checked](QWidget* window, const QString& state) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QApplication::processEvents();
            // The window manager's answers to a window's resizes come late: it is checked at the
            // size it has on the screen.
            QRect placed;
            QTRY_VERIFY(platform::windowSystem().clientRect(window->winId(), &placed) &&
                        placed.size() == window->size());
            const QStringList faults = ts::windowFaults(window) + ts::unreadableTexts(window);
            ++checked;
            QVERIFY2(faults.isEmpty(), qPrintable(state + QLatin1Char('\n') + faults.join(QLatin1Char('\n'))));
        });
        QVERIFY(checked > 0);
    }
};

QTEST_MAIN(TestWindows)
#include "test_windows.moc"

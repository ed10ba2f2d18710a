// The main window's menus, hot keys and commands, its colour scheme, title-bar buttons and tray,
// and the passages laid by hand, on the real window.
#include "app/app.h"
#include "app/globalshortcut.h"
#include "testsupport.h"
#include "typing/drills.h"
#include "typing/frmmain.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTextCodec>
#include <QTextEdit>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

// Waits for the next modal dialog (or popup menu) and hands it to `answer`, which closes it.
class Answerer : public QObject
{
public:
    explicit Answerer(std::function<void(QWidget*)> answer, bool popup = false)
        : m_answer(std::move(answer)), m_popup(popup)
    {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            QWidget* widget = m_popup ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
            if (!widget) {
                if (++m_tries > 500)
                    m_poll.stop();
                return;
            }
            m_poll.stop();
            ++seen;
            m_answer(widget);
        });
        m_poll.start(10);
    }
    int seen = 0;

private:
    std::function<void(QWidget*)> m_answer;
    bool m_popup;
    QTimer m_poll;
    int m_tries = 0;
};

// Closing or leaving asks the application to quit; running the loop once consumes the request.
void consumeQuitRequest()
{
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

// A quit request makes every new event loop return at once with -1.
bool quitRequested()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&loop] { loop.exit(1); });
    return loop.exec() == -1;
}

QAction* findAction(const QList<QAction*>& actions, const QStringList& path)
{
    for (QAction* action : actions) {
        if (action->text() != path.first())
            continue;
        if (path.size() == 1)
            return action;
        if (action->menu())
            return findAction(action->menu()->actions(), path.mid(1));
    }
    return nullptr;
}

QString checkedText(QActionGroup* group)
{
    QAction* action = group->checkedAction();
    return action ? action->text() : QString();
}

bool configWritten()
{
    return QFile::exists(QStringLiteral("CONFIG/settings.ini"));
}

QVariant storedSetting(const QString& key)
{
    QSettings ini(QStringLiteral("CONFIG/settings.ini"), QSettings::IniFormat);
    return ini.value(QStringLiteral("AppConfig/") + key);
}

int configIndex(const QString& key)
{
    for (int i = 0; i < App::configKeyCount(); ++i) {
        if (App::configKey(i) == key)
            return i;
    }
    return -1;
}

QString sortedCodePoints(const QString& text)
{
    QVector<uint> points = text.toUcs4();
    std::sort(points.begin(), points.end());
    return QString::fromUcs4(points.data(), points.size());
}

} // namespace

class TestMenus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void initialChecks_data();
    void initialChecks();
    void shortcutsFromConfiguration_data();
    void shortcutsFromConfiguration();
    void hotKeysRunTheirCommands();
    void settingsRebindKeys();
    void typingModes();
    void schemeChoice_data();
    void schemeChoice();
    void colourCommands_data();
    void colourCommands();
    void appearanceReset();
    void maximiseAndRestore();
    void resetSize();
    void trayClicks();
    void trayExitKeepsData();
    void closeFadesFirst();
    void drills_data();
    void drills();
    void removeSpaces();
    void shuffleKeepsCharacters();
    void clipboard_data();
    void clipboard();
    void articles();
    void articleThatCannotBeOpened();
    void openFile();
    void contextMenu();

private:
    QAction* action(const QStringList& path) const { return findAction(m_window->m_menuBar->actions(), path); }
    void build();
    void showActive();
    void typeKeys(const QString& text) { QTest::keyClicks(m_typing, text); }

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<frmMain> m_window;
    QTextEdit* m_ref = nullptr;
    QTextEdit* m_typing = nullptr;
};

void TestMenus::initTestCase()
{
    App::initResources();
}

void TestMenus::init()
{
    m_dir = std::make_unique<TestDir>();
    App::resetConfig();
    App::DbOnline = false;
    App::WebUrl.clear();
    App::WrongChars.clear();
    App::SlowChars.clear();
    App::Jilu = 0;
    App::TempJilu = 0;
    App::CanUpload = false;
}

void TestMenus::cleanup()
{
    m_window.reset();
    qApp->setStyleSheet(QString());
    QApplication::setPalette(QApplication::style()->standardPalette());
    m_dir.reset();
}

void TestMenus::build()
{
    m_window = std::make_unique<frmMain>();
    m_ref = m_window->findChild<QTextEdit*>(QStringLiteral("textEdit"));
    m_typing = m_window->findChild<QTextEdit*>(QStringLiteral("textEdit2"));
    QVERIFY(m_ref && m_typing);
}

void TestMenus::showActive()
{
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_typing->setFocus();
}

void TestMenus::initialChecks_data()
{
    QTest::addColumn<int>("getWay");
    QTest::addColumn<int>("pattern");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QStringList>("checked"); // fetch method, mode, scheme
    QTest::addColumn<int>("mode");

    using L = QStringList;
    QTest::addRow("tab, follow, white") << 0 << 0 << "white" << L{"\tTAB方式获取", "\t跟打模式", "\t白色"} << 0;
    QTest::addRow("mouse, blind, dev") << 1 << 2 << "dev" << L{"\t鼠标方式获取", "\t盲打模式", "\t蓝色"} << 2;
    QTest::addRow("free, blue") << 0 << 1 << "blue" << L{"\tTAB方式获取", "\t自由模式", "\t淡蓝色"} << 1;
    QTest::addRow("unknown scheme") << 0 << 0 << "pink" << L{"\tTAB方式获取", "\t跟打模式", ""} << 0;
    QTest::addRow("mode out of range") << 0 << 5 << "gray" << L{"\tTAB方式获取", "\t盲打模式", "\t灰色"} << 2;
}

void TestMenus::initialChecks()
{
    QFETCH(int, getWay);
    QFETCH(int, pattern);
    QFETCH(QString, style);
    QFETCH(QStringList, checked);
    App::GetWay = getWay;
    App::Pattern = pattern;
    App::Style = style;
    build();
    frmMain& w = *m_window;

    QCOMPARE(QStringList({checkedText(w.m_getWayGroup), checkedText(w.m_modeGroup), checkedText(w.m_styleGroup)}),
             checked);
    QTEST(w.mode, "mode");
    // Restoring what the file holds writes nothing back.
    QVERIFY(!configWritten());
    QCOMPARE(App::GetWay, getWay);
    QCOMPARE(App::Style, style);
    // The text typed blind stays unreadable from the first run on.
    QCOMPARE(m_typing->styleSheet().contains(QStringLiteral("color:%1;").arg(App::Gbj)), w.mode == BlindTyping);
    QCOMPARE(m_ref->isVisibleTo(&w), w.mode != FreeTyping);
}

void TestMenus::shortcutsFromConfiguration_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("key"); // empty: a fixed shortcut
    QTest::addColumn<QString>("sequence");

    const struct
    {
        QStringList path;
        const char* key;
        const char* sequence;
    } rows[] = {
        {{"菜单", "设置"}, "Kjsz", "Shift+F1"},
        {{"菜单", "发文"}, "Kjfw", "Ctrl+Shift+F2"},
        {{"菜单", "载文", "载文"}, "Kjzd", "Alt+F4"},
        {{"菜单", "载文", "从QQ窗口剪切板"}, "Kjsd", "Ctrl+Y"},
        {{"功能", "快捷键列表", "重打"}, "Kjcd", "F6"},
        {{"功能", "快捷键列表", "换群"}, "Kjhq", "Ctrl+H"},
        {{"功能", "快捷键列表", "乱序"}, "Kjlx", "Ctrl+Shift+L"},
        {{"功能", "快捷键列表", "暂停"}, "Kjzt", "Return"},
        {{"功能", "快捷键列表", "暂停/结束(自由模式)"}, "Kjzj", "F12"},
        {{"功能", "快捷键列表", "检验真伪"}, "Kjjy", "Alt+J"},
        {{"功能", "拆分图解"}, "Kjcf", "Ctrl+G"},
        {{"发文", "发送成绩"}, "Kjcj", "F10"},
        {{"发文", "分享发文"}, "Kjsh", "Ctrl+E"},
        {{"发文", "发下一段"}, "Kjfx", "Ctrl+N"},
        {{"发文", "停止发文"}, "Kjtz", "Ctrl+K"},
        {{"功能", "保存跟打进度"}, "", "Ctrl+S"},
        {{"发文", "打开"}, "", "Ctrl+O"},
    };
    for (const auto& row : rows)
        QTest::addRow("%s", qPrintable(row.path.join('/'))) << row.path << row.key << row.sequence;
}

void TestMenus::shortcutsFromConfiguration()
{
    QFETCH(QStringList, path);
    QFETCH(QString, key);
    QFETCH(QString, sequence);
    if (!key.isEmpty())
        App::setConfigValue(configIndex(key), sequence);
    build();
    QAction* entry = action(path);
    QVERIFY(entry);
    QCOMPARE(entry->shortcut(), QKeySequence::fromString(sequence, QKeySequence::NativeText));
    // The boss key is listed without a window shortcut of its own.
    QVERIFY(action({"功能", "快捷键列表", "老板键"})->shortcut().isEmpty());
}

void TestMenus::hotKeysRunTheirCommands()
{
    build();
    frmMain& w = *m_window;
    showActive();
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    w.loadArticle(letters);
    w.Reset();

    typeKeys(QStringLiteral("ab"));
    QCOMPARE(m_typing->toPlainText(), QStringLiteral("ab"));
    QTest::keyClick(&w, Qt::Key_F3); // retype
    QVERIFY(m_typing->toPlainText().isEmpty());

    QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier); // shuffle
    QVERIFY(w.passage != letters);
    QCOMPARE(sortedCodePoints(w.passage), letters);

    typeKeys(QStringLiteral("x"));
    QVERIFY(w.clockRunning());
    QTest::keyClick(&w, Qt::Key_F8); // pause
    QVERIFY(!w.clockRunning());
    QVERIFY(w.paused);
}

void TestMenus::settingsRebindKeys()
{
    build();
    frmMain& w = *m_window;
    showActive();
    w.loadArticle(QStringLiteral("abcdef"));
    w.Reset();

    App::Kjcd = QStringLiteral("F11");
    App::Showcj = false;
    w.settingRecv();
    typeKeys(QStringLiteral("ab"));
    QTest::keyClick(&w, Qt::Key_F3);
    QCOMPARE(m_typing->toPlainText(), QStringLiteral("ab"));
    QTest::keyClick(&w, Qt::Key_F11);
    QVERIFY(m_typing->toPlainText().isEmpty());
    auto* buttons = w.findChild<QWidget*>(QStringLiteral("horizontalLayoutWidget"));
    QVERIFY(!buttons->isVisibleTo(&w));

    App::Showcj = true;
    w.settingRecv();
    QVERIFY(buttons->isVisibleTo(&w));
    // One boss key at a time, however often the settings come back.
    QCOMPARE(w.findChildren<MyGlobalShortCut*>().size(), 1);
}

void TestMenus::typingModes()
{
    build();
    frmMain& w = *m_window;
    w.loadArticle(QStringLiteral("abcdef"));

    action({"模式", "\t自由模式"})->trigger();
    QCOMPARE(w.mode, int(FreeTyping));
    QCOMPARE(App::Pattern, int(FreeTyping));
    QCOMPARE(storedSetting("Pattern").toInt(), int(FreeTyping));
    QVERIFY(!m_ref->isVisibleTo(&w));
    QVERIFY(!w.labProgress->isVisibleTo(&w));
    QCOMPARE(m_typing->styleSheet(), QStringLiteral("QTextEdit{background:%1;color:%2;}").arg(App::Gbj, App::Ztcg));

    action({"模式", "\t盲打模式"})->trigger();
    QCOMPARE(w.mode, int(BlindTyping));
    QCOMPARE(storedSetting("Pattern").toInt(), int(BlindTyping));
    QVERIFY(m_ref->isVisibleTo(&w));
    QVERIFY(w.labProgress->isVisibleTo(&w));
    QCOMPARE(m_typing->styleSheet(), QStringLiteral("background:%1;color:%1;").arg(App::Gbj));

    // The colour commands keep the blind pane unreadable.
    App::Gbj = QStringLiteral("#101010");
    w.applyColours();
    QCOMPARE(m_typing->styleSheet(), QStringLiteral("background:#101010;color:#101010;"));

    action({"模式", "\t跟打模式"})->trigger();
    QCOMPARE(w.mode, int(FollowTyping));
    QCOMPARE(storedSetting("Pattern").toInt(), int(FollowTyping));
    QCOMPARE(checkedText(w.m_modeGroup), QStringLiteral("\t跟打模式"));
    QCOMPARE(m_typing->styleSheet(), QStringLiteral("QTextEdit{background:#101010;color:%1;}").arg(App::Ztcg));
}

void TestMenus::schemeChoice_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");

    const char* const rows[][2] = {{"\t白色", "white"},   {"\t银白色", "silvery"}, {"\t黑色", "black"},
                                   {"\t灰黑色", "brown"}, {"\t蓝色", "dev"},       {"\t淡蓝色", "blue"},
                                   {"\t灰色", "gray"}};
    for (const auto& row : rows)
        QTest::addRow("%s", row[1]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
}

void TestMenus::schemeChoice()
{
    QFETCH(QString, entry);
    QFETCH(QString, name);
    App::Style = QStringLiteral("none");
    build();

    QAction* choice = action({"功能", "风格样式", entry});
    QVERIFY(choice);
    choice->trigger();
    QVERIFY(choice->isChecked());
    QCOMPARE(App::Style, name);
    QCOMPARE(storedSetting("Style").toString(), name);

    QFile sheet(QStringLiteral(":/image/%1.css").arg(name));
    QVERIFY(sheet.open(QIODevice::ReadOnly));
    const QString expected = QString::fromLatin1(sheet.readAll());
    QCOMPARE(qApp->styleSheet(), expected);
    const QColor colour(expected.mid(20, 7));
    QVERIFY(colour.isValid());
    QCOMPARE(QApplication::palette().color(QPalette::Button), colour);
}

void TestMenus::colourCommands_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("target"); // widget whose style shows the colour, or empty

    QTest::addRow("reference text") << QStringList{"功能", "外观", "字体颜色\t", "对照区"} << "Ztcd"
                                    << "textEdit";
    QTest::addRow("typing text") << QStringList{"功能", "外观", "字体颜色\t", "跟打区"} << "Ztcg"
                                 << "textEdit2";
    QTest::addRow("reference background") << QStringList{"功能", "外观", "背景颜色\t", "对照区"} << "Dbj"
                                          << "textEdit";
    QTest::addRow("typing background") << QStringList{"功能", "外观", "背景颜色\t", "跟打区"} << "Gbj"
                                       << "textEdit2";
    QTest::addRow("result table") << QStringList{"功能", "外观", "背景颜色\t", "成绩栏"} << "Tbj"
                                  << "table";
    QTest::addRow("right mark") << QStringList{"功能", "外观", "对错色\t", "打对色"} << "Rc"
                                << "";
    QTest::addRow("wrong mark") << QStringList{"功能", "外观", "对错色\t", "打错色"} << "Wc"
                                << "";
}

void TestMenus::colourCommands()
{
    QFETCH(QStringList, path);
    QFETCH(QString, key);
    QFETCH(QString, target);
    build();
    const int index = configIndex(key);
    const QString before = App::configValue(index).toString();
    QAction* entry = action(path);
    QVERIFY(entry);

    // A cancelled dialog changes nothing.
    Answerer cancel([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    entry->trigger();
    QCOMPARE(cancel.seen, 1);
    QCOMPARE(App::configValue(index).toString(), before);
    QVERIFY(!configWritten());

    QColor offered;
    QString title;
    Answerer pick([&](QWidget* widget) {
        auto* dialog = qobject_cast<QColorDialog*>(widget);
        QVERIFY(dialog);
        offered = dialog->currentColor();
        title = dialog->windowTitle();
        dialog->setCurrentColor(QColor(QStringLiteral("#123456")));
        dialog->accept();
    });
    entry->trigger();
    QCOMPARE(pick.seen, 1);
    QCOMPARE(offered, QColor(Qt::green));
    QCOMPARE(title, QStringLiteral("颜色"));
    QCOMPARE(App::configValue(index).toString(), QStringLiteral("#123456"));
    QCOMPARE(storedSetting(key).toString(), QStringLiteral("#123456"));
    if (!target.isEmpty()) {
        QWidget* widget = target == QLatin1String("table") ? static_cast<QWidget*>(m_window->resultView)
                                                           : m_window->findChild<QWidget*>(target);
        QVERIFY2(widget->styleSheet().contains(QStringLiteral("#123456")), qPrintable(widget->styleSheet()));
    }
}

void TestMenus::appearanceReset()
{
    App::Font1 = QStringLiteral("Serif,14,-1,5,50,0,0,0,0,0");
    for (QString* colour : {&App::Ztcd, &App::Ztcg, &App::Dbj, &App::Gbj, &App::Tbj, &App::Rc, &App::Wc})
        *colour = QStringLiteral("#abcdef");
    build();
    // Shown, as the panes take their font from the window's style sheet once polished.
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    action({"功能", "外观", "外观重置"})->trigger();

    QVERIFY(App::Font1.isEmpty());
    QCOMPARE(m_ref->styleSheet(), QStringLiteral("QTextEdit{background:#f4f7fc;color:#000000;}"));
    QCOMPARE(m_typing->styleSheet(), QStringLiteral("QTextEdit{background:#f4f7fc;color:#000000;}"));
    QCOMPARE(m_window->resultView->styleSheet(), QStringLiteral("QTableView{background:#f4f7fc}"));
    QCOMPARE(storedSetting("Rc").toString(), QStringLiteral("#707070"));
    QCOMPARE(storedSetting("Wc").toString(), QStringLiteral("#FF3030"));
    for (QTextEdit* pane : {m_ref, m_typing}) {
        QCOMPARE(pane->document()->defaultFont().family(), QStringLiteral("微软雅黑"));
        QCOMPARE(pane->document()->defaultFont().pointSize(), 26);
    }
}

void TestMenus::maximiseAndRestore()
{
    App::X = 30;
    App::Y = 40;
    App::Width = 600;
    App::Height = 400;
    build();
    frmMain& w = *m_window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect before = w.geometry();
    auto* button = w.findChild<QPushButton*>(QStringLiteral("btnMenu_Max"));
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(w.maximised);
    QCOMPARE(w.geometry(), available);
    QCOMPARE(button->toolTip(), QStringLiteral("还原"));
    QCOMPARE(button->text().at(0).unicode(), ushort(0xF079));

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!w.maximised);
    QCOMPARE(w.geometry(), before);
    QCOMPARE(button->toolTip(), QStringLiteral("最大化"));

    // A double click on the title does the same.
    auto* title = w.findChild<QLabel*>(QStringLiteral("lab_Title"));
    QTest::mouseDClick(title, Qt::LeftButton);
    QVERIFY(w.maximised);
    QCOMPARE(w.geometry(), available);
    QTest::mouseDClick(title, Qt::LeftButton);
    QCOMPARE(w.geometry(), before);
}

void TestMenus::resetSize()
{
    App::Width = 700;
    App::Height = 500;
    build();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    action({"复位"})->trigger();
    QCOMPARE(m_window->size(), QSize(650, 475));
    QCOMPARE(App::Width, 650);
    QCOMPARE(App::Height, 475);
    QCoreApplication::processEvents();
    QVERIFY(!configWritten());
}

void TestMenus::trayClicks()
{
    build();
    frmMain& w = *m_window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.windowShown);

    w.iconActivated(QSystemTrayIcon::Trigger);
    QVERIFY(!w.isVisible());
    QVERIFY(!w.windowShown);
    w.iconActivated(QSystemTrayIcon::DoubleClick);
    QVERIFY(!w.isVisible());
    w.iconActivated(QSystemTrayIcon::Trigger);
    QVERIFY(w.isVisible());
    QVERIFY(w.windowShown);

    const QList<QAction*> entries = w.m_trayMenu->actions();
    QStringList texts;
    for (QAction* entry : entries)
        texts << entry->text();
    QCOMPARE(texts, QStringList({"还原", "最小化", "退出"}));
    entries.at(1)->trigger();
    QVERIFY(!w.isVisible());
    entries.at(0)->trigger();
    QVERIFY(w.isVisible());
    // Hiding to the tray never ends the program.
    QVERIFY(!QApplication::quitOnLastWindowClosed());
}

void TestMenus::trayExitKeepsData()
{
    auto stored = [] {
        QSettings store(QStringLiteral("VEK Helper"), QStringLiteral("VEK"));
        return store.value(QStringLiteral("VekConfig/TempJilu")).toInt();
    };
    build();
    frmMain& w = *m_window;
    w.show();
    w.loadArticle(QStringLiteral("abcdef"));
    w.Reset();
    typeKeys(QStringLiteral("abc"));
    QCOMPARE(App::TempJilu, 3);
    App::WrongChars = QStringLiteral("错");
    App::SlowChars = QStringLiteral("慢");

    w.m_trayMenu->actions().at(2)->trigger();
    QVERIFY(quitRequested());
    consumeQuitRequest();
    QVERIFY(!w.m_fadeOut); // no fade on this way out
    QCOMPARE(App::readTextFile(QStringLiteral("错字收集.txt")), QStringLiteral("错"));
    QCOMPARE(App::readTextFile(QStringLiteral("慢字收集.txt")), QStringLiteral("慢"));
    QCOMPARE(stored(), 3);
}

void TestMenus::closeFadesFirst()
{
    build();
    frmMain& w = *m_window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    App::WrongChars = QStringLiteral("错");
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnMenu_Close")), Qt::LeftButton);
    QVERIFY(w.isVisible());
    QVERIFY(w.m_fadeOut && w.m_fadeOut->state() == QAbstractAnimation::Running);
    QCOMPARE(w.m_fadeOut->duration(), 500);
    QVERIFY(!QFile::exists(QStringLiteral("错字收集.txt")));
    QTRY_VERIFY(!w.isVisible());
    consumeQuitRequest();
    QCOMPARE(App::readTextFile(QStringLiteral("错字收集.txt")), QStringLiteral("错"));
}

void TestMenus::drills_data()
{
    QTest::addColumn<int>("drill");
    QTest::addColumn<int>("length");
    QTest::addRow("front 500") << int(BuiltinDrill::Front500) << 500;
    QTest::addRow("middle 500") << int(BuiltinDrill::Middle500) << 500;
    QTest::addRow("back 500") << int(BuiltinDrill::Back500) << 500;
    QTest::addRow("front 1500") << int(BuiltinDrill::Front1500) << 1500;
}

void TestMenus::drills()
{
    QFETCH(int, drill);
    QFETCH(int, length);
    const auto which = BuiltinDrill(drill);
    const QString title = builtinDrillTitle(which);
    build();
    frmMain& w = *m_window;
    App::CanUpload = true; // left over from an earlier text
    w.segmentHeader = QStringLiteral("第7段");

    action({"发文", title})->trigger();
    QCOMPARE(w.textTitle, title);
    QCOMPARE(w.segmentHeader, QStringLiteral("第1段"));
    QCOMPARE(w.passage, builtinDrillText(which));
    QCOMPARE(w.passageLength, length);
    QCOMPARE(w.labTitle->text(), QStringLiteral("标题: ") + title);
    QCOMPARE(w.labSegment->text(), QStringLiteral("段号: 第1段"));
    QVERIFY(!App::CanUpload);
    // Typed whole, a drill may enter the ranking.
    w.markUploadEligibility();
    QVERIFY(App::CanUpload);
}

void TestMenus::removeSpaces()
{
    build();
    frmMain& w = *m_window;
    w.textTitle = QStringLiteral("原题");
    w.loadArticle(QStringLiteral(" 甲 乙\t丙\n丁\r\n戊　己 "));
    action({"发文", "去除空格"})->trigger();
    QCOMPARE(w.passage, QStringLiteral("甲乙丙丁戊己"));
    QCOMPARE(m_ref->toPlainText(), QStringLiteral("甲乙丙丁戊己"));
    QCOMPARE(w.textTitle, QStringLiteral("原题"));
}

void TestMenus::shuffleKeepsCharacters()
{
    build();
    frmMain& w = *m_window;
    const QString text = QStringLiteral("𠀀𠀁𠀂𠀃甲乙丙丁戊己庚辛abc甲");
    w.textTitle = QStringLiteral("常用单字前五百");
    w.loadArticle(text);
    action({"功能", "快捷键列表", "乱序"})->trigger();
    QCOMPARE(sortedCodePoints(w.passage), sortedCodePoints(text));
    QCOMPARE(w.passage.size(), text.size());
    QCOMPARE(w.textTitle, QStringLiteral("常用单字前五百"));

    // Free typing has nothing to shuffle against.
    w.zySlot();
    const QString before = w.passage;
    w.lxSlot();
    QCOMPARE(w.passage, before);
}

void TestMenus::clipboard_data()
{
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("expected");
    QTest::addRow("text") << "剪切板上的文字"
                          << "剪切板上的文字";
    QTest::addRow("empty clipboard keeps the passage") << ""
                                                       << "旧文章";
}

void TestMenus::clipboard()
{
    QFETCH(QString, clip);
    QFETCH(QString, expected);
    build();
    frmMain& w = *m_window;
    w.loadArticle(QStringLiteral("旧文章"));
    App::CanUpload = true;
    QApplication::clipboard()->setText(clip);

    action({"发文", "剪切板"})->trigger();
    QCOMPARE(w.textTitle, QStringLiteral("剪切板"));
    QCOMPARE(w.labTitle->text(), QStringLiteral("标题: 剪切板"));
    QCOMPARE(w.segmentHeader, QStringLiteral("第1段"));
    QCOMPARE(w.passage, expected);
    QVERIFY(!App::CanUpload);
}

void TestMenus::articles()
{
    const QString folder = m_dir->file(QStringLiteral("文章"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(App::writeFile(folder + QStringLiteral("/b文.txt"), QStringLiteral("第二篇")));
    QFile gb(folder + QStringLiteral("/A&甲.txt"));
    QVERIFY(gb.open(QIODevice::WriteOnly));
    gb.write(QTextCodec::codecForName("GB18030")->fromUnicode(QStringLiteral("第一篇文章")));
    gb.close();
    QVERIFY(App::writeFile(folder + QStringLiteral("/c.dat"), QStringLiteral("不是文章")));
    build();
    frmMain& w = *m_window;
    w.fillArticleMenu(folder);

    const QList<QAction*> entries = w.m_articleMenu->actions();
    QStringList names;
    for (QAction* entry : entries)
        names << entry->data().toString();
    QCOMPARE(names, QStringList({"A&甲", "b文"}));
    QCOMPARE(entries.at(0)->text(), QStringLiteral("A&&甲")); // shown with its ampersand

    // Opened from where it was listed, whatever the working folder has become.
    QDir::setCurrent(QDir::tempPath());
    App::CanUpload = true;
    entries.at(0)->trigger();
    QDir::setCurrent(m_dir->path());
    QCOMPARE(w.passage, QStringLiteral("第一篇文章"));
    QCOMPARE(w.textTitle, QStringLiteral("A&甲"));
    QCOMPARE(w.segmentHeader, QStringLiteral("第1段"));
    QVERIFY(!App::CanUpload);
}

void TestMenus::articleThatCannotBeOpened()
{
    const QString folder = m_dir->file(QStringLiteral("文章"));
    QVERIFY(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/<i>斜.txt");
    QVERIFY(App::writeFile(file, QStringLiteral("内容")));
    build();
    frmMain& w = *m_window;
    w.fillArticleMenu(folder);
    QVERIFY(QFile::remove(file));
    w.textTitle = QStringLiteral("之前");
    w.loadArticle(QStringLiteral("之前的文章"));

    QString message, boxTitle;
    Qt::TextFormat format = Qt::AutoText;
    Answerer answer([&](QWidget* box) {
        message = box->findChild<QLabel*>(QStringLiteral("labInfo"))->text();
        format = box->findChild<QLabel*>(QStringLiteral("labInfo"))->textFormat();
        boxTitle = box->findChild<QLabel*>(QStringLiteral("lab_Title"))->text();
        box->findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    });
    w.m_articleMenu->actions().at(0)->trigger();
    QCOMPARE(answer.seen, 1);
    QCOMPARE(boxTitle, QStringLiteral("错误"));
    QVERIFY2(message.contains(QStringLiteral("<i>斜")) && message.contains(QStringLiteral("无法打开")),
             qPrintable(message));
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(w.passage, QStringLiteral("之前的文章"));
    QCOMPARE(w.textTitle, QStringLiteral("之前"));
}

void TestMenus::openFile()
{
    const QString path = m_dir->file(QStringLiteral("练习.v2.txt"));
    QVERIFY(App::writeFile(path, QStringLiteral("文件里的文字")));
    build();
    frmMain& w = *m_window;

    QString caption;
    Answerer choose([&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        QVERIFY(dialog);
        caption = dialog->windowTitle();
        // Typed into the name field, as a user would.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    w.m_openAction->trigger();
    QCOMPARE(choose.seen, 1);
    QCOMPARE(caption, QStringLiteral("打开"));
    QCOMPARE(w.openedFileName, path);
    QCOMPARE(w.textTitle, QStringLiteral("练习.v2"));
    QCOMPARE(w.passage, QStringLiteral("文件里的文字"));

    // A file that cannot be read is reported and leaves the passage on show.
    QString boxTitle, boxText;
    Answerer warn([&](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        QVERIFY(box);
        boxTitle = box->windowTitle();
        boxText = box->text();
        box->button(QMessageBox::Yes)->click();
    });
    QVERIFY(!w.openTextFile(m_dir->file(QStringLiteral("没有.txt"))));
    QCOMPARE(warn.seen, 1);
    QCOMPARE(boxTitle, QStringLiteral("ERROR"));
    QCOMPARE(boxText, QStringLiteral("Can't open this file"));
    QCOMPARE(w.passage, QStringLiteral("文件里的文字"));
    QCOMPARE(m_ref->toPlainText(), QStringLiteral("文件里的文字"));
}

void TestMenus::contextMenu()
{
    build();
    frmMain& w = *m_window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QStringList entries;
    Answerer read(
        [&](QWidget* widget) {
            for (QAction* entry : widget->actions())
                entries << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
            widget->close();
        },
        true);
    const QPoint at(20, 20);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, w.mapToGlobal(at));
    QApplication::sendEvent(&w, &event);
    QCOMPARE(read.seen, 1);
    QStringList expected{"设置", "发文", "-", "模式", "-", "打开", "剪切板", "去除空格", "-"};
    for (BuiltinDrill drill : builtinDrills())
        expected << builtinDrillTitle(drill);
    expected << "-"
             << "文章";
    QCOMPARE(entries, expected);
}

QTEST_MAIN(TestMenus)
#include "test_menus.moc"

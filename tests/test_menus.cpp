// The main window's menus, hot keys and commands, colour schemes, title-bar buttons and tray, and
// the passages laid by hand, on the real window.
#include "app/core/app.h"
#include "app/globalshortcut.h"
#include "testsupport.h"
#include "typing/core/drills.h"
#include "typing/frmmain.h"

#include <QActionGroup>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTextCodec>
#include <QTextEdit>

#include <algorithm>
#include <memory>

using namespace ts;

namespace {

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
    return group->checkedAction() ? group->checkedAction()->text() : QString();
}

int configIndex(const QString& key)
{
    for (int i = 0; i < App::configKeyCount(); ++i)
        if (App::configKey(i) == key)
            return i;
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
    void initTestCase() { App::initResources(); }
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        resetWindowGlobals();
    }
    void cleanup()
    {
        m_window.reset();
        qApp->setStyleSheet(QString());
        QApplication::setPalette(QApplication::style()->standardPalette());
        m_dir.reset();
    }

    void initialChecks_data()
    {
        QTest::addColumn<int>("getWay");
        QTest::addColumn<int>("pattern");
        QTest::addColumn<QString>("style");
        QTest::addColumn<QStringList>("checked"); // fetch method, mode, scheme
        QTest::addColumn<int>("mode");
        using L = QStringList;
        QTest::addRow("tab, follow, white") << 0 << 0 << "white" << L{"\tTAB方式获取", "\t跟打模式", "\t白色"} << 0;
        QTest::addRow("mouse, blind, dev") << 1 << 2 << "dev" << L{"\t鼠标方式获取", "\t盲打模式", "\t蓝色"} << 2;
        QTest::addRow("free, unknown scheme") << 0 << 1 << "pink" << L{"\tTAB方式获取", "\t自由模式", ""} << 1;
        QTest::addRow("mode out of range") << 0 << 5 << "gray" << L{"\tTAB方式获取", "\t盲打模式", "\t灰色"} << 2;
    }

    void initialChecks()
    {
        QFETCH(int, getWay);
        QFETCH(int, pattern);
        QFETCH(QString, style);
        App::GetWay = getWay;
        App::Pattern = pattern;
        App::Style = style;
        build();
        frmMain& w = *m_window;
        QTEST(QStringList({checkedText(w.m_getWayGroup), checkedText(w.m_modeGroup), checkedText(w.m_styleGroup)}),
              "checked");
        QTEST(w.mode, "mode");
        // Restoring what the file holds writes nothing back.
        QVERIFY(!configFileWritten());
        QCOMPARE(App::Style, style);
        // The text typed blind stays unreadable from the first run on.
        QCOMPARE(m_typing->styleSheet().contains(QStringLiteral("color:%1;").arg(App::Gbj)), w.mode == BlindTyping);
        QCOMPARE(m_ref->isVisibleTo(&w), w.mode != FreeTyping);
    }

    void shortcutsFromConfiguration_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("key"); // empty: a fixed shortcut
        QTest::addColumn<QString>("sequence");
        QTest::addRow("load, nested") << QStringList{"菜单", "载文", "载文"} << "Kjzd" << "Alt+F4";
        QTest::addRow("retype") << QStringList{"功能", "快捷键列表", "重打"} << "Kjcd" << "F6";
        QTest::addRow("save progress, fixed") << QStringList{"功能", "保存跟打进度"} << "" << "Ctrl+S";
    }

    void shortcutsFromConfiguration()
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

    void hotKeysRunTheirCommands()
    {
        build();
        frmMain& w = *m_window;
        showActive();
        const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
        w.loadArticle(letters);
        w.Reset();
        QTest::keyClicks(m_typing, QStringLiteral("ab"));
        QTest::keyClick(&w, Qt::Key_F3); // retype
        QVERIFY(m_typing->toPlainText().isEmpty());
        QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier); // shuffle
        QVERIFY(w.passage != letters);
        QCOMPARE(sortedCodePoints(w.passage), letters);
        QTest::keyClicks(m_typing, QStringLiteral("x"));
        QTest::keyClick(&w, Qt::Key_F8); // pause
        QVERIFY(!w.clockRunning() && w.paused);

        // New settings rebind the keys, show or hide the result buttons, and keep one boss key.
        App::Kjcd = QStringLiteral("F11");
        App::Showcj = false;
        w.settingRecv();
        QTest::keyClicks(m_typing, QStringLiteral("y"));
        QTest::keyClick(&w, Qt::Key_F3);
        QVERIFY(!m_typing->toPlainText().isEmpty());
        QTest::keyClick(&w, Qt::Key_F11);
        QVERIFY(m_typing->toPlainText().isEmpty());
        auto* buttons = w.findChild<QWidget*>(QStringLiteral("horizontalLayoutWidget"));
        QVERIFY(!buttons->isVisibleTo(&w));
        App::Showcj = true;
        w.settingRecv();
        QVERIFY(buttons->isVisibleTo(&w));
        QCOMPARE(w.findChildren<MyGlobalShortCut*>().size(), 1);
    }

    void typingModes()
    {
        build();
        frmMain& w = *m_window;
        w.loadArticle(QStringLiteral("abcdef"));
        action({"模式", "\t自由模式"})->trigger();
        QCOMPARE(w.mode, int(FreeTyping));
        QCOMPARE(configFileValue("Pattern").toInt(), int(FreeTyping));
        QVERIFY(!m_ref->isVisibleTo(&w));
        QVERIFY(!w.labProgress->isVisibleTo(&w));
        QCOMPARE(m_typing->styleSheet(), QStringLiteral("QTextEdit{background:%1;color:%2;}").arg(App::Gbj, App::Ztcg));

        action({"模式", "\t盲打模式"})->trigger();
        QCOMPARE(w.mode, int(BlindTyping));
        QVERIFY(m_ref->isVisibleTo(&w));
        // The colour commands keep the blind pane unreadable.
        App::Gbj = QStringLiteral("#101010");
        w.applyColours();
        QCOMPARE(m_typing->styleSheet(), QStringLiteral("background:#101010;color:#101010;"));

        action({"模式", "\t跟打模式"})->trigger();
        QCOMPARE(configFileValue("Pattern").toInt(), int(FollowTyping));
        QCOMPARE(checkedText(w.m_modeGroup), QStringLiteral("\t跟打模式"));
        QCOMPARE(m_typing->styleSheet(), QStringLiteral("QTextEdit{background:#101010;color:%1;}").arg(App::Ztcg));
    }

    void schemeChoice_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("name");
        const char* const rows[][2] = {{"\t白色", "white"},   {"\t银白色", "silvery"}, {"\t黑色", "black"},
                                       {"\t灰黑色", "brown"}, {"\t蓝色", "dev"},       {"\t淡蓝色", "blue"},
                                       {"\t灰色", "gray"}};
        for (const auto& row : rows)
            QTest::addRow("%s", row[1]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
    }

    void schemeChoice()
    {
        QFETCH(QString, entry);
        QFETCH(QString, name);
        App::Style = QStringLiteral("none");
        build();
        QAction* choice = action({"功能", "风格样式", entry});
        choice->trigger();
        QVERIFY(choice->isChecked());
        QCOMPARE(App::Style, name);
        QCOMPARE(configFileValue("Style").toString(), name);
        QFile sheet(QStringLiteral(":/image/%1.css").arg(name));
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        const QString expected = QString::fromLatin1(sheet.readAll());
        QCOMPARE(qApp->styleSheet(), expected);
        QCOMPARE(QApplication::palette().color(QPalette::Button), QColor(expected.mid(20, 7)));
    }

    void colourCommands_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("target"); // widget whose style shows the colour, or empty
        QTest::addRow("typing text") << QStringList{"功能", "外观", "字体颜色\t", "跟打区"} << "Ztcg" << "textEdit2";
        QTest::addRow("result table") << QStringList{"功能", "外观", "背景颜色\t", "成绩栏"} << "Tbj" << "table";
        QTest::addRow("wrong mark") << QStringList{"功能", "外观", "对错色\t", "打错色"} << "Wc" << "";
    }

    void colourCommands()
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
        ModalAnswerer cancel([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
        entry->trigger();
        QCOMPARE(cancel.seen, 1);
        QCOMPARE(App::configValue(index).toString(), before);
        QVERIFY(!configFileWritten());

        QColor offered;
        ModalAnswerer pick([&](QWidget* widget) {
            auto* dialog = qobject_cast<QColorDialog*>(widget);
            QVERIFY(dialog);
            offered = dialog->currentColor();
            dialog->setCurrentColor(QColor(QStringLiteral("#123456")));
            dialog->accept();
        });
        entry->trigger();
        QCOMPARE(offered, QColor(Qt::green));
        QCOMPARE(App::configValue(index).toString(), QStringLiteral("#123456"));
        QCOMPARE(configFileValue(key).toString(), QStringLiteral("#123456"));
        if (!target.isEmpty()) {
            QWidget* widget = target == QLatin1String("table") ? static_cast<QWidget*>(m_window->resultView)
                                                               : m_window->findChild<QWidget*>(target);
            QVERIFY2(widget->styleSheet().contains(QStringLiteral("#123456")), qPrintable(widget->styleSheet()));
        }
    }

    void maximiseAndRestore()
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
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        auto* button = w.findChild<QPushButton*>(QStringLiteral("btnMenu_Max"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(w.maximised);
        QCOMPARE(w.geometry(), available);
        QCOMPARE(button->toolTip(), QStringLiteral("还原"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!w.maximised);
        QCOMPARE(w.geometry(), before);
        QCOMPARE(button->toolTip(), QStringLiteral("最大化"));

        // A double click on the title does the same.
        auto* title = w.findChild<QLabel*>(QStringLiteral("lab_Title"));
        QTest::mouseDClick(title, Qt::LeftButton);
        QCOMPARE(w.geometry(), available);
        QTest::mouseDClick(title, Qt::LeftButton);
        QCOMPARE(w.geometry(), before);

        // The reset command gives the first-start size without writing it.
        action({"复位"})->trigger();
        QCOMPARE(w.size(), QSize(650, 475));
        QCOMPARE(App::Width, 650);
        QCoreApplication::processEvents();
        QVERIFY(!configFileWritten());
    }

    void trayClicks()
    {
        build();
        frmMain& w = *m_window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.iconActivated(QSystemTrayIcon::Trigger);
        QVERIFY(!w.isVisible());
        w.iconActivated(QSystemTrayIcon::DoubleClick);
        QVERIFY(!w.isVisible());
        w.iconActivated(QSystemTrayIcon::Trigger);
        QVERIFY(w.isVisible());

        const QList<QAction*> entries = w.m_trayMenu->actions(); // restore, minimise, exit
        entries.at(1)->trigger();
        QVERIFY(!w.isVisible());
        entries.at(0)->trigger();
        QVERIFY(w.isVisible());
        QVERIFY(!QApplication::quitOnLastWindowClosed()); // hiding to the tray never ends the program
    }

    void trayExitKeepsData()
    {
        build();
        frmMain& w = *m_window;
        w.show();
        w.loadArticle(QStringLiteral("abcdef"));
        w.Reset();
        QTest::keyClicks(m_typing, QStringLiteral("abc"));
        App::WrongChars = QStringLiteral("错");
        App::SlowChars = QStringLiteral("慢");

        w.m_trayMenu->actions().at(2)->trigger();
        QVERIFY(quitRequested());
        consumeQuitRequest();
        QVERIFY(!w.m_fadeOut); // no fade on this way out
        QCOMPARE(App::readTextFile(QStringLiteral("错字收集.txt")), QStringLiteral("错"));
        QCOMPARE(App::readTextFile(QStringLiteral("慢字收集.txt")), QStringLiteral("慢"));
        QCOMPARE(storedRecord("TempJilu").toInt(), 3);
    }

    void closeButtonFadesThenSaves()
    {
        build();
        frmMain& w = *m_window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        App::WrongChars = QStringLiteral("错");
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnMenu_Close")), Qt::LeftButton);
        QVERIFY(w.isVisible());
        QVERIFY(w.m_fadeOut && w.m_fadeOut->state() == QAbstractAnimation::Running);
        QVERIFY(!QFile::exists(QStringLiteral("错字收集.txt")));
        QTRY_VERIFY(!w.isVisible());
        consumeQuitRequest();
        QCOMPARE(App::readTextFile(QStringLiteral("错字收集.txt")), QStringLiteral("错"));
    }

    void drills_data()
    {
        QTest::addColumn<int>("drill");
        QTest::addColumn<int>("length");
        QTest::addRow("front 500") << int(BuiltinDrill::Front500) << 500;
        QTest::addRow("back 500") << int(BuiltinDrill::Back500) << 500;
        QTest::addRow("front 1500") << int(BuiltinDrill::Front1500) << 1500;
    }

    void drills()
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
        QVERIFY(!App::CanUpload);
        w.markUploadEligibility(); // typed whole, a drill may enter the ranking
        QVERIFY(App::CanUpload);
    }

    void removeSpacesAndShuffle()
    {
        build();
        frmMain& w = *m_window;
        w.textTitle = QStringLiteral("原题");
        w.loadArticle(QStringLiteral(" 甲 乙\t丙\n丁\r\n戊　己 "));
        action({"发文", "去除空格"})->trigger();
        QCOMPARE(w.passage, QStringLiteral("甲乙丙丁戊己"));
        QCOMPARE(m_ref->toPlainText(), QStringLiteral("甲乙丙丁戊己"));
        QCOMPARE(w.textTitle, QStringLiteral("原题"));

        const QString text = QStringLiteral("𠀀𠀁𠀂𠀃甲乙丙丁戊己庚辛abc甲");
        w.loadArticle(text);
        action({"功能", "快捷键列表", "乱序"})->trigger();
        QCOMPARE(sortedCodePoints(w.passage), sortedCodePoints(text));
        QCOMPARE(w.passage.size(), text.size());
        // Free typing has nothing to shuffle against.
        w.zySlot();
        const QString before = w.passage;
        w.lxSlot();
        QCOMPARE(w.passage, before);
    }

    void clipboard_data()
    {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("expected");
        QTest::addRow("text") << "剪切板上的文字" << "剪切板上的文字";
        QTest::addRow("empty clipboard keeps the passage") << "" << "旧文章";
    }

    void clipboard()
    {
        QFETCH(QString, clip);
        build();
        frmMain& w = *m_window;
        w.loadArticle(QStringLiteral("旧文章"));
        App::CanUpload = true;
        QApplication::clipboard()->setText(clip);
        action({"发文", "剪切板"})->trigger();
        QCOMPARE(w.textTitle, QStringLiteral("剪切板"));
        QCOMPARE(w.segmentHeader, QStringLiteral("第1段"));
        QTEST(w.passage, "expected");
        QVERIFY(!App::CanUpload);
    }

    void articles()
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
        QVERIFY(!App::CanUpload);
    }

    void articleThatCannotBeOpened()
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

        QString boxTitle;
        BoxAnswerer answer(true);
        answer.whileShown = [&] { boxTitle = QApplication::activeModalWidget()->findChild<QLabel*>("lab_Title")->text(); };
        w.m_articleMenu->actions().at(0)->trigger();
        QCOMPARE(answer.seen, 1);
        QCOMPARE(boxTitle, QStringLiteral("错误"));
        QVERIFY2(answer.text.contains(QStringLiteral("<i>斜")) && answer.text.contains(QStringLiteral("无法打开")),
                 qPrintable(answer.text));
        QCOMPARE(answer.format, Qt::PlainText);
        QCOMPARE(w.passage, QStringLiteral("之前的文章"));
        QCOMPARE(w.textTitle, QStringLiteral("之前"));
    }

    void openFile()
    {
        const QString path = m_dir->file(QStringLiteral("练习.v2.txt"));
        QVERIFY(App::writeFile(path, QStringLiteral("文件里的文字")));
        build();
        frmMain& w = *m_window;
        ModalAnswerer choose([&](QWidget* widget) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            QVERIFY(dialog);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(path); // typed into the name field, as a user would
            QMetaObject::invokeMethod(dialog, "accept");
        });
        w.m_openAction->trigger();
        QCOMPARE(choose.seen, 1);
        QCOMPARE(w.textTitle, QStringLiteral("练习.v2"));
        QCOMPARE(w.passage, QStringLiteral("文件里的文字"));

        // A file that cannot be read is reported and leaves the passage on show.
        QString boxText;
        ModalAnswerer warn([&](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            QVERIFY(box);
            boxText = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        QVERIFY(!w.openTextFile(m_dir->file(QStringLiteral("没有.txt"))));
        QCOMPARE(boxText, QStringLiteral("Can't open this file"));
        QCOMPARE(m_ref->toPlainText(), QStringLiteral("文件里的文字"));
    }

private:
    QAction* action(const QStringList& path) const { return findAction(m_window->m_menuBar->actions(), path); }
    void build()
    {
        m_window = std::make_unique<frmMain>();
        m_ref = m_window->findChild<QTextEdit*>(QStringLiteral("textEdit"));
        m_typing = m_window->findChild<QTextEdit*>(QStringLiteral("textEdit2"));
    }
    void showActive()
    {
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_typing->setFocus();
    }

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<frmMain> m_window;
    QTextEdit* m_ref = nullptr;
    QTextEdit* m_typing = nullptr;
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"

// The main window's menus, hot keys and commands, colour schemes, title-bar buttons and tray, and
// the passages laid by hand, on the real window; the settings window on its own and opened from it.
#include "account/setting.h"
#include "testsupport.h"
#include "typing/core/drills.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>

#include <algorithm>

using namespace ts;

namespace {

// A quit request makes every new event loop return at once with -1.
bool quitRequested()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&loop] { loop.exit(1); });
    return loop.exec() == -1;
}

// The code-file and article folders beside the program (this test program's own).
QString codeFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/编码文件");
}

QString articleFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/文章");
}

// Every configuration global away from its default; texts unique, so hot keys do not conflict.
void setNonDefaults()
{
    for (int i = 0; i < App::configKeyCount(); ++i) {
        const QVariant d = App::configDefault(i);
        const QVariant odd = d.userType() == QMetaType::Bool  ? QVariant(!d.toBool())
                             : d.userType() == QMetaType::Int ? QVariant(d.toInt() - 1)
                             : d.userType() == QMetaType::Double ? QVariant(d.toDouble() + 1)
                                                                 : QVariant(QStringLiteral("x%1").arg(i));
        App::setConfigValue(i, odd);
    }
    App::writeConfig();
}

QByteArray configBytes()
{
    QFile file(QStringLiteral("CONFIG/settings.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestMenus : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_f;
    std::unique_ptr<Setting> m_setting;
    QStringList m_opened; // the pages handed to the browser

    QAction* action(const QStringList& path) const { return m_f->action(path); }
    QString checkedIn(const QStringList& menu) const
    {
        for (QAction* entry : action(menu)->menu()->actions())
            if (entry->isChecked())
                return entry->text();
        return QString();
    }
    void openSetting()
    {
        m_setting = std::make_unique<Setting>();
        m_setting->show();
    }
    QPushButton* button(const QString& name) const { return m_setting->findChild<QPushButton*>(name); }
    void type(const QString& name, const QString& text)
    {
        QWidget* edit = m_setting->findChild<QWidget*>(name); // a line edit or a spin box
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }
    QStringList visiblePages() const
    {
        QStringList shown;
        for (const char* page : {"jiben", "chengji", "kuaijie", "genda", "gaoji"})
            if (m_setting->findChild<QWidget*>(page)->isVisibleTo(m_setting.get()))
                shown << page;
        return shown;
    }

public slots:
    void openUrl(const QUrl& url) { m_opened << url.toString(); }

private slots:
    void initTestCase()
    {
        App::initResources();
        QDesktopServices::setUrlHandler("https", this, "openUrl");
    }
    void cleanupTestCase() { QDir(articleFolder()).removeRecursively(); }
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        QDir(codeFolder()).removeRecursively();
        QDir().mkpath(codeFolder());
        QFile(codeFolder() + QStringLiteral("/86.txt")).open(QIODevice::WriteOnly);
    }
    void cleanup()
    {
        m_setting.reset();
        m_f.reset();
        QDir(codeFolder()).removeRecursively();
        qApp->setStyleSheet(QString());
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    void initialChecks_data()
    {
        QTest::addColumn<int>("getWay");
        QTest::addColumn<int>("pattern");
        QTest::addColumn<QString>("style");
        QTest::addColumn<QStringList>("checked"); // fetch method, mode, scheme
        using L = QStringList;
        QTest::addRow("tab, follow, white") << 0 << 0 << "white" << L{"\tTAB方式获取", "\t跟打模式", "\t白色"};
        QTest::addRow("mouse, blind, dev") << 1 << 2 << "dev" << L{"\t鼠标方式获取", "\t盲打模式", "\t蓝色"};
        QTest::addRow("free, unknown scheme") << 0 << 1 << "pink" << L{"\tTAB方式获取", "\t自由模式", ""};
        QTest::addRow("mode out of range") << 0 << 5 << "gray" << L{"\tTAB方式获取", "\t盲打模式", "\t灰色"};
    }

    void initialChecks()
    {
        QFETCH(int, getWay);
        QFETCH(int, pattern);
        QFETCH(QString, style);
        QFETCH(QStringList, checked);
        App::GetWay = getWay;
        App::Pattern = pattern;
        App::Style = style;
        m_f->open();
        QCOMPARE(QStringList({checkedIn({"菜单", "载文"}), checkedIn({"模式"}), checkedIn({"功能", "风格样式"})}),
                 checked);
        // Restoring what the file holds writes nothing back.
        QVERIFY(!configFileWritten());
        QCOMPARE(App::Style, style); // (the mode's panes: the window sets them as a mode command does)
    }

    // The keys come from the configuration; the boss key is listed without a window shortcut of
    // its own, and saving progress has a fixed one.
    void hotKeysRunTheirCommands()
    {
        App::Kjzd = QStringLiteral("Alt+F4");
        frmMain& w = m_f->open(true);
        QCOMPARE(action({"菜单", "载文", "载文"})->shortcut(), QKeySequence(Qt::ALT + Qt::Key_F4));
        QVERIFY(action({"功能", "快捷键列表", "老板键"})->shortcut().isEmpty());
        QCOMPARE(action({"功能", "保存跟打进度"})->shortcut(), QKeySequence(Qt::CTRL + Qt::Key_S));
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
        m_f->lay(letters);
        m_f->typing()->setFocus(); // (the retype key: see mainWindowAppliesOk)
        QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier); // shuffle
        const QString shuffled = m_f->reference()->toPlainText();
        QVERIFY(shuffled != letters && std::is_permutation(shuffled.begin(), shuffled.end(), letters.begin()));
        m_f->type(QStringLiteral("x"));
        QTest::keyClick(&w, Qt::Key_F8); // pause
        QVERIFY(!w.clockRunning());
        QCOMPARE(m_f->title(), QStringLiteral("Tavrel跟打器[暂停]"));
        auto* buttons = w.findChild<QWidget*>(QStringLiteral("horizontalLayoutWidget"));
        for (const bool shown : {false, true}) {
            App::Showcj = shown;
            w.settingRecv();
            QCOMPARE(buttons->isVisibleTo(&w), shown);
        }
    }

    // The modes show and hide the panes and keep blind typing unreadable; a scheme chosen is
    // stored, and its sheet and palette colour applied (the other entries' names: see initialChecks).
    void modesAndLook()
    {
        App::Style = QStringLiteral("none");
        frmMain& w = m_f->open();
        m_f->lay(QStringLiteral("abcdef"));
        action({"模式", "\t自由模式"})->trigger();
        QCOMPARE(configFileValue("Pattern").toInt(), int(FreeTyping));
        QVERIFY(!m_f->reference()->isVisibleTo(&w));
        QVERIFY(!m_f->status("进度")->isVisibleTo(&w));
        QVERIFY(m_f->typing()->styleSheet().startsWith(
            QStringLiteral("QTextEdit{background:%1;color:%2;").arg(App::Gbj, App::Ztcg)));

        action({"模式", "\t盲打模式"})->trigger();
        QVERIFY(m_f->reference()->isVisibleTo(&w));
        QVERIFY(m_f->typing()->styleSheet().contains(QStringLiteral("color:%1;").arg(App::Gbj)));
        // The colour commands keep the blind pane unreadable.
        ModalAnswerer pick([](QWidget* widget) {
            qobject_cast<QColorDialog*>(widget)->setCurrentColor(QColor(QStringLiteral("#101010")));
            static_cast<QDialog*>(widget)->accept();
        });
        action({"功能", "外观", "背景颜色\t", "跟打区"})->trigger();
        QVERIFY(m_f->typing()->styleSheet().startsWith(QStringLiteral("background:#101010;color:#101010;")));

        action({"模式", "\t跟打模式"})->trigger();
        QCOMPARE(configFileValue("Pattern").toInt(), int(FollowTyping));
        QVERIFY(m_f->typing()->styleSheet().startsWith(
            QStringLiteral("QTextEdit{background:#101010;color:%1;").arg(App::Ztcg)));

        action({"功能", "风格样式", "\t灰黑色"})->trigger();
        QCOMPARE(configFileValue("Style").toString(), QStringLiteral("brown"));
        QFile sheet(QStringLiteral(":/image/brown.css"));
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        const QString expected = QString::fromLatin1(sheet.readAll());
        QCOMPARE(qApp->styleSheet(), expected);
        QCOMPARE(QApplication::palette().color(QPalette::Button), QColor(expected.mid(20, 7)));

        // What the palette paints and the sheets do not: the colour dialog stands on the scheme's
        // colour under 黑色 too.
        action({"功能", "风格样式", "\t黑色"})->trigger();
        QColor behind;
        ModalAnswerer look([&behind](QWidget* dialog) {
            behind = dialog->grab().toImage().pixelColor(1, 1);
            static_cast<QDialog*>(dialog)->reject();
        });
        action({"功能", "外观", "背景颜色\t", "跟打区"})->trigger();
        QCOMPARE(behind, QColor(qApp->styleSheet().mid(20, 7)));
    }

    void colourCommands_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("target"); // widget whose style shows the colour, or empty
        QTest::addRow("typing text") << QStringList{"功能", "外观", "字体颜色\t", "跟打区"} << "Ztcg" << "textEdit2";
        QTest::addRow("reference pane") << QStringList{"功能", "外观", "背景颜色\t", "对照区"} << "Dbj" << "textEdit";
        QTest::addRow("result table") << QStringList{"功能", "外观", "背景颜色\t", "成绩栏"} << "Tbj" << "table";
        QTest::addRow("wrong mark") << QStringList{"功能", "外观", "对错色\t", "打错色"} << "Wc" << "";
    }

    void colourCommands()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, key);
        QFETCH(QString, target);
        frmMain& w = m_f->open();
        const int index = App::configIndex(key);
        const QString before = App::configValue(index).toString();
        // A cancelled dialog changes nothing.
        ModalAnswerer cancel([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
        action(path)->trigger();
        QCOMPARE(App::configValue(index).toString(), before);
        QVERIFY(!configFileWritten());

        ModalAnswerer pick([&](QWidget* widget) {
            auto* dialog = qobject_cast<QColorDialog*>(widget);
            QVERIFY(dialog);
            dialog->setCurrentColor(QColor(QStringLiteral("#123456")));
            dialog->accept();
        });
        action(path)->trigger();
        QCOMPARE(configFileValue(key).toString(), QStringLiteral("#123456"));
        if (!target.isEmpty()) {
            QWidget* widget = target == QLatin1String("table") ? static_cast<QWidget*>(w.findChild<QTableView*>())
                                                               : w.findChild<QWidget*>(target);
            QVERIFY2(widget->styleSheet().contains(QStringLiteral("#123456")), qPrintable(widget->styleSheet()));
        }
    }

    // 外观重置 gives the eight look settings their defaults and leaves every other setting alone.
    void lookReset()
    {
        setNonDefaults();
        m_f->open();
        QVariantList before;
        for (int i = 0; i < App::configKeyCount(); ++i)
            before << App::configValue(i);
        action({"功能", "外观", "外观重置"})->trigger();
        const QStringList look{"Font1", "Ztcd", "Ztcg", "Dbj", "Gbj", "Tbj", "Rc", "Wc"};
        for (int i = 0; i < App::configKeyCount(); ++i) {
            const QString key = App::configKey(i);
            const QVariant expected = look.contains(key) ? App::configDefault(i) : before.at(i);
            QVERIFY2(App::configValue(i) == expected && configFileValue(key) == expected.toString(), qPrintable(key));
        }
    }

    // The title bar maximises and restores, by its button and by a double click. The tray hides and
    // shows the window, and hiding never ends the program; its exit saves the collections and the
    // record at once, while the close button fades the window out first.
    void windowFrame()
    {
        App::Width = 600;
        App::Height = 400;
        frmMain& w = m_f->open(true);
        const QRect before = w.geometry();
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QPushButton* button = m_f->button("btnMenu_Max");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(w.geometry(), available);
        QCOMPARE(button->toolTip(), QStringLiteral("还原"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(w.geometry(), before);
        QCOMPARE(button->toolTip(), QStringLiteral("最大化"));
        auto* title = w.findChild<QLabel*>(QStringLiteral("lab_Title"));
        QTest::mouseDClick(title, Qt::LeftButton);
        QCOMPARE(w.geometry(), available);
        QTest::mouseDClick(title, Qt::LeftButton);
        QCOMPARE(w.geometry(), before);
        action({"复位"})->trigger();
        QCOMPARE(w.size(), QSize(650, 475));

        w.iconActivated(QSystemTrayIcon::Trigger);
        QVERIFY(!w.isVisible());
        w.iconActivated(QSystemTrayIcon::DoubleClick);
        QVERIFY(!w.isVisible());
        w.iconActivated(QSystemTrayIcon::Trigger);
        QVERIFY(w.isVisible());
        w.HideSlot();
        QVERIFY(!w.isVisible());
        w.NormalSlot();
        QVERIFY(w.isVisible());
        QVERIFY(!QApplication::quitOnLastWindowClosed());
        m_f->lay(QStringLiteral("abcdef"));
        m_f->type(QStringLiteral("abc"));
        App::WrongChars = QStringLiteral("错");
        w.slotExitActionTrigger();
        QVERIFY(quitRequested());
        consumeQuitRequest();
        QCOMPARE(App::readTextFile(QStringLiteral("错字收集.txt")), QStringLiteral("错"));
        QCOMPARE(storedRecord("TempJilu").toInt(), 3);

        frmMain& again = m_f->open(true);
        App::WrongChars = QStringLiteral("错二");
        QTest::mouseClick(m_f->button("btnMenu_Close"), Qt::LeftButton);
        QCOMPARE(App::readTextFile(QStringLiteral("错字收集.txt")), QStringLiteral("错"));
        QTRY_VERIFY(!again.isVisible());
        consumeQuitRequest();
        QCOMPARE(App::readTextFile(QStringLiteral("错字收集.txt")), QStringLiteral("错二"));
    }

    void passageSources_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("expected"); // empty: the drill's first page
        QTest::addColumn<QString>("title");
        const QString drill = builtinDrillTitle(BuiltinDrill::Front1500);
        QTest::addRow("drill") << drill << "" << "" << drill;
        QTest::addRow("clipboard") << "剪切板" << "剪切板上的文字" << "剪切板上的文字" << "剪切板";
        QTest::addRow("empty clipboard keeps the passage") << "剪切板" << "" << "旧文章" << "剪切板";
        QTest::addRow("file, its last suffix left out") << "打开" << "" << "文件里的文字" << "练习.v2";
    }

    // Each source lays its passage from segment 1, and a text from it never enters the ranking.
    void passageSources()
    {
        QFETCH(QString, entry);
        QFETCH(QString, clip);
        QFETCH(QString, expected);
        QFETCH(QString, title);
        const QString path = m_f->dir().file(QStringLiteral("练习.v2.txt"));
        QVERIFY(App::writeFile(path, QStringLiteral("文件里的文字")));
        frmMain& w = m_f->open();
        m_f->action({"发文", "常用单字前五百"})->trigger();
        m_f->lay(QStringLiteral("旧文章"));
        App::CanUpload = true; // left over from an earlier text
        QApplication::clipboard()->setText(clip);
        ModalAnswerer chosen([&path](QWidget* widget) {
            // typed into the file dialog's name field, as a user would
            widget->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            QMetaObject::invokeMethod(widget, "accept");
        });
        action({"发文", entry})->trigger();
        QCOMPARE(m_f->statusText("标题"), QStringLiteral("标题: ") + title);
        QCOMPARE(m_f->statusText("段号"), QStringLiteral("段号: 第1段"));
        QCOMPARE(m_f->reference()->toPlainText(),
                 expected.isEmpty() ? builtinDrillText(BuiltinDrill::Front1500).left(510) : expected);
        QVERIFY(!App::CanUpload);

        // Spaces removed from what is laid; in free typing there is nothing to shuffle against.
        m_f->lay(QStringLiteral(" 甲 乙\t丙\n丁\r\n戊　己 "));
        action({"发文", "去除空格"})->trigger();
        QCOMPARE(m_f->reference()->toPlainText(), QStringLiteral("甲乙丙丁戊己"));
        action({"模式", "\t自由模式"})->trigger();
        w.lxSlot();
        action({"模式", "\t跟打模式"})->trigger();
        QCOMPARE(m_f->reference()->toPlainText(), QStringLiteral("甲乙丙丁戊己"));
    }

    // Articles are listed from the program's folder and opened from there, whatever the working
    // folder or the case of ".txt"; one that went away is reported, the run starts over and the passage stays.
    void articles()
    {
        const QString folder = articleFolder();
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        QVERIFY(App::writeFile(folder + QStringLiteral("/b文.txt"), QStringLiteral("第二篇")));
        QVERIFY(App::writeFile(folder + QStringLiteral("/A&甲.TXT"), QStringLiteral("第一篇文章")));
        QVERIFY(App::writeFile(folder + QStringLiteral("/c.dat"), QStringLiteral("不是文章")));
        QVERIFY(App::writeFile(folder + QStringLiteral("/<i>斜.txt"), QStringLiteral("内容")));
        m_f->open();
        QStringList names;
        for (QAction* entry : action({"发文", "文章"})->menu()->actions())
            names << entry->text();
        QCOMPARE(names, QStringList({"<i>斜", "A&&甲", "b文"})); // shown with its ampersand

        QDir::setCurrent(QDir::tempPath());
        {
            BoxAnswerer none(true);                       // a failed open would say so
            action({"发文", "文章", "A&&甲"})->trigger(); // laid as every hand-laid passage: see passageSources
            QCOMPARE(none.seen, 0);
        }
        QDir::setCurrent(m_f->dir().path());
        QCOMPARE(m_f->reference()->toPlainText(), QStringLiteral("第一篇文章"));
        QCOMPARE(m_f->statusText("标题"), QStringLiteral("标题: A&甲"));

        QVERIFY(QFile::remove(folder + QStringLiteral("/<i>斜.txt")));
        m_f->type(QStringLiteral("第一"));
        QString boxTitle;
        BoxAnswerer answer(true);
        answer.whileShown = [&] { boxTitle = QApplication::activeModalWidget()->findChild<QLabel*>("lab_Title")->text(); };
        action({"发文", "文章", "<i>斜"})->trigger();
        QCOMPARE(boxTitle, QStringLiteral("错误"));
        QVERIFY2(answer.text.contains(QStringLiteral("<i>斜")) && answer.text.contains(QStringLiteral("无法打开")),
                 qPrintable(answer.text));
        QCOMPARE(answer.format, Qt::PlainText);
        QCOMPARE(m_f->typing()->toPlainText(), QString());
        QCOMPARE(m_f->reference()->toPlainText(), QStringLiteral("第一篇文章"));
        QCOMPARE(m_f->statusText("标题"), QStringLiteral("标题: A&甲"));
    }

    void pages()
    {
        openSetting();
        QCOMPARE(visiblePages(), QStringList{"jiben"});
        QTest::mouseClick(button("btnGenda"), Qt::LeftButton);
        QCOMPARE(visiblePages(), QStringList{"genda"});
        QCOMPARE(button("btnGenda")->text(), QStringLiteral("【跟打设置】→"));
        QCOMPARE(button("btnJiben")->text(), QStringLiteral("基本设置"));
    }

    void storesWhatTheControlsShow_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("inFile"); // invalid: the key is missing
        QTest::addColumn<QString>("stored");
        QTest::addRow("page size missing") << "Fanye" << QVariant() << "500";
        QTest::addRow("send delay 0") << "Gdyslim" << QVariant(0) << "200";
        QTest::addRow("preview too large") << "Yulanq" << QVariant(99) << "10";
        QTest::addRow("space bar out of range") << "KongGe" << QVariant(5) << "-1";
        QTest::addRow("space bar left") << "KongGe" << QVariant(1) << "1";
        QTest::addRow("code file gone") << "BianMa" << QVariant("bm.txt") << "";
        QTest::addRow("code file case differs") << "BianMa" << QVariant("86.TXT") << "";
        QTest::addRow("code file listed") << "BianMa" << QVariant("86.txt") << "86.txt";
        QTest::addRow("after-send action unknown") << "Gdjs" << QVariant("关机") << "激活跟打器";
        QTest::addRow("after-send action") << "Gdjs" << QVariant("不处理") << "不处理";
        QTest::addRow("hot key as typed") << "Kjzt" << QVariant("Return") << "Return";
    }

    void storesWhatTheControlsShow()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, inFile);
        QSettings(QStringLiteral("CONFIG/settings.ini"), QSettings::IniFormat)
            .setValue(QStringLiteral("AppConfig/") + (inFile.isValid() ? key : QStringLiteral("Other")), inFile);
        App::readConfig();
        openSetting();
        QTest::mouseClick(button("btnOk"), Qt::LeftButton); // (what OK does besides: see restoreDefaults)
        QTEST(configFileValue(key).toString(), "stored");
    }

    void restoreDefaults_data()
    {
        QTest::addColumn<QString>("how"); // the button that ends, or empty: Escape
        QTest::addColumn<QString>("codeFiles"); // in the folder, in list order
        QTest::addColumn<QString>("codeFile"); // the one OK stores, bm.txt where it is there
        QTest::addRow("close button") << "btnClose" << "86.txt" << "";
        QTest::addRow("title-bar close") << "btnMenu_Close" << "86.txt" << "";
        QTest::addRow("escape") << "" << "86.txt" << "";
        QTest::addRow("OK, bm.txt there") << "btnOk" << "86.txt bm.txt" << "bm.txt";
        QTest::addRow("OK, only 86.txt") << "btnOk" << "86.txt" << "86.txt";
        QTest::addRow("OK, bm.txt alone") << "btnOk" << "bm.txt" << "bm.txt";
    }

    // Restored defaults are stored only by OK, for every control; closing keeps file and globals.
    void restoreDefaults()
    {
        QFETCH(QString, how);
        QFETCH(QString, codeFiles);
        QFETCH(QString, codeFile);
        QFile::remove(codeFolder() + "/86.txt");
        for (const QString& name : codeFiles.split(' '))
            QFile(codeFolder() + '/' + name).open(QIODevice::WriteOnly);
        setNonDefaults();
        const QByteArray before = configBytes();
        openSetting();
        QSignalSpy applied(m_setting.get(), &Setting::setting);
        QTest::mouseClick(button("btnMoren"), Qt::LeftButton);
        if (how.isEmpty())
            QTest::keyClick(m_setting.get(), Qt::Key_Escape);
        else
            QTest::mouseClick(button(how), Qt::LeftButton);
        QVERIFY(!m_setting->isVisible());
        QCOMPARE(applied.count(), codeFile.isEmpty() ? 0 : 1);
        if (codeFile.isEmpty()) {
            QCOMPARE(configBytes(), before);
            QCOMPARE(App::Kjsz, QStringLiteral("x29"));
            return;
        }
        int edited = 0;
        for (int i = 0; i < App::configKeyCount(); ++i) {
            const QString key = App::configKey(i);
            if (!m_setting->findChild<QWidget*>(key.toLower()))
                continue;
            ++edited;
            const QVariant expected = key == "BianMa" ? QVariant(codeFile) : App::configDefault(i);
            QCOMPARE(configFileValue(key).toString(), expected.toString());
        }
        QCOMPARE(edited, 65);
    }

    void conflictKeepsTheWindowOpen()
    {
        openSetting();
        QTest::mouseClick(button("btnKuaijie"), Qt::LeftButton);
        type("kjsz", "F5");
        QSignalSpy applied(m_setting.get(), &Setting::setting);
        for (const QString& how : {"btnOk", "btnClose", ""}) {
            BoxAnswerer box(true);
            if (QString(how).isEmpty())
                QTest::keyClick(m_setting.get(), Qt::Key_Escape);
            else
                QTest::mouseClick(button(how), Qt::LeftButton);
            QCOMPARE(box.text, QStringLiteral("快捷键冲突！"));
            QVERIFY(m_setting->isVisible());
        }
        QCOMPARE(applied.count(), 1);
        QCOMPARE(configFileValue("Kjsz").toString(), QStringLiteral("F5"));
        type("kjsz", "F1");
        QTest::mouseClick(button("btnOk"), Qt::LeftButton);
        QVERIFY(!m_setting->isVisible());
    }

    void longHotKeys_data()
    {
        QTest::addColumn<QString>("stored"); // 拆分图解's stored key
        QTest::addColumn<QString>("typed");  // then typed into its field
        QTest::addColumn<QString>("how");    // the button that ends, or empty: Escape
        // A text that once swallowed the later lines of a damaged file, stored as the window found it.
        QString swallowed = QStringLiteral("CTRL+G\nKjsh=F7\nGdcd=true\n");
        for (int i = 0; i < 60; ++i)
            swallowed += QStringLiteral("Key%1=value%1\n").arg(i);
        swallowed.chop(1); // a last line break would leave a bare "]" entry, alike in every key
        const QString typed(150, QLatin1Char('W'));
        QTest::addRow("150 characters typed") << "CTRL+F" << typed << "btnOk";
        QTest::addRow("stored with line breaks, close button") << swallowed << ""
                                                               << "btnClose";
        QTest::addRow("stored with line breaks, escape") << swallowed << ""
                                                         << "";
    }

    // However long a hot key, the window stays within the screen with its buttons in reach, any text is
    // stored, and the window closes as it does with short keys.
    void longHotKeys()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, how);
        App::Kjcf = stored;
        App::writeConfig();
        const QByteArray before = configBytes();
        openSetting();
        QTest::mouseClick(button("btnKuaijie"), Qt::LeftButton);
        auto* field = m_setting->findChild<QLineEdit*>("kjcf");
        const bool startInView = field->cursorPosition() == 0;
        if (!typed.isEmpty())
            type("kjcf", typed);
        const QRect screen = m_setting->screen()->availableGeometry();
        QVERIFY2(screen.contains(m_setting->frameGeometry()),
                 qPrintable(QStringLiteral("%1 px wide").arg(m_setting->frameGeometry().width())));
        for (const char* name : {"btnOk", "btnClose", "btnMoren", "kjsh"}) {
            QWidget* w = m_setting->findChild<QWidget*>(name);
            QCOMPARE(w->visibleRegion().boundingRect(), w->rect());
        }
        QVERIFY(startInView);
        BoxAnswerer box(true);
        if (how.isEmpty())
            QTest::keyClick(m_setting.get(), Qt::Key_Escape);
        else
            QTest::mouseClick(button(how), Qt::LeftButton);
        QVERIFY(!m_setting->isVisible());
        QVERIFY(box.text.isEmpty());
        if (typed.isEmpty()) {
            QCOMPARE(configBytes(), before);
        } else {
            QCOMPARE(configFileValue("Kjcf").toString(), typed);
        }
    }

    // The forum's address is taken as a site base, blanks and a final "/" left off.
    void forumPage()
    {
        App::ForumUrl = "https://forum.example.org/ ";
        m_f->open();
        m_opened.clear();
        action({"帮助", "关注贴吧"})->trigger();
        QCOMPARE(m_opened, QStringList{"https://forum.example.org/f?ie=utf-8&kw=Tavrel跟打器&fr=search"});
    }

    void mainWindowAppliesOk()
    {
        m_f->open(true);
        QVERIFY(QTest::qWaitForWindowActive(&m_f->w()));
        m_f->w().qwSlot();
        m_f->type(QStringLiteral("ab"));
        const QString page = m_f->reference()->toPlainText();
        QTest::keyClick(&m_f->w(), Qt::Key_F1);
        QPointer<Setting> window = qobject_cast<Setting*>(QApplication::activeModalWidget());
        QVERIFY(window && window->isVisible());
        m_setting.reset(window);
        QTest::mouseClick(button("btnKuaijie"), Qt::LeftButton);
        type("kjcd", "F6");
        QTest::mouseClick(button("btnGaoji"), Qt::LeftButton);
        QTest::mouseClick(button("showcj"), Qt::LeftButton);
        QTest::mouseClick(button("btnJiben"), Qt::LeftButton);
        type("fanye", "20");
        QTest::mouseClick(button("btnOk"), Qt::LeftButton);
        m_setting.release();
        QTRY_VERIFY(!window);

        // The run in progress stays as it was; the new page size comes with the next passage.
        QCOMPARE(m_f->reference()->toPlainText(), page);
        QCOMPARE(m_f->typing()->toPlainText(), QStringLiteral("ab"));
        for (int restart = 0; restart < 2; ++restart) {
            m_f->w().activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&m_f->w()));
            QVERIFY(!m_f->w().findChild<QWidget*>(QStringLiteral("horizontalLayoutWidget"))->isVisibleTo(&m_f->w()));
            m_f->w().qwSlot();
            QCOMPARE(m_f->reference()->toPlainText().size(), 20 + App::Yulanh);
            m_f->type(QStringLiteral("cd"));
            QTest::keyClick(&m_f->w(), Qt::Key_F6);
            QVERIFY(m_f->typing()->toPlainText().isEmpty());
            // What OK stored is what the next start reads.
            m_f->close();
            App::resetConfig();
            App::readConfig();
            m_f->open(true);
        }
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"

// The input-method panel on a real X display: physical keys by XTest into a pane named like the
// main window's typing pane, soft keys by clicks, focus tracking, its menu and settings window; last,
// a passage typed through it in the real main window with the generated code table.
#include "app/dragframe.h"
#include "input/frminput.h"
#include "input/inputpanel.h"
#include "input/inputsetting.h"
#include "platform/keysource.h"
#include "platform/windowsystem.h"
#include "testsupport.h"
#include "typing/coresettings.h"
#include "x11support.h"

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

// "gsg": a page of short words, then one of long words that widens the panel.
static QString twoPages()
{
    QString lines;
    for (int i = 0; i < 20; ++i)
        lines += QStringLiteral("gsg%1\t%2\n")
                     .arg(QChar(QLatin1Char(char('a' + i))), QString(i < 10 ? 2 : 6, QChar(0x4E00 + i)));
    return lines;
}

// "h": a page whose code hints fill the row; "mm": a word too long for the panel.
static const QString kTable = QStringLiteral("a\t工\naa\t式\naaaa\t工工\nggll\t一\nkhlg\t中国\nkhlg\t跨国\nkhlg\t跑车\n"
                                             "hqwerta\t一\nhqwertb\t二\nhqwertc\t三\nhqwertd\t四\nhqwerte\t五\n"
                                             "hqwertf\t六\nhqwertg\t七\nhqwerth\t八\nhqwerti\t九\nhqwertj\t十\nmm\t") +
                              QString(3000, QChar(0x957F)) + '\n' + twoPages();

class TestInputX11 : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    TestDir m_dir;
    QWidget m_host;
    QTextEdit* m_pane = nullptr;
    QTextEdit* m_other = nullptr; // a text editor, but not the typing pane
    // F12 is not the panel's: once one reaches the pane, every key tapped before it was handled.
    xt::InputRecorder m_reached;
    frmInput* m_panel = nullptr;

    QLabel* label(const char* name) const { return m_panel->findChild<QLabel*>(name); }
    QPushButton* key(const char* name) const { return m_panel->findChild<QPushButton*>(name); }

    // Keysym names separated by blanks; a leading '+' holds Shift. Returns once all are handled.
    bool tap(const QString& keys)
    {
        for (QString name : keys.split(' ', Qt::SkipEmptyParts)) {
            const bool shift = name.startsWith('+');
            m_x.chord(shift ? xt::KeySyms{XK_Shift_L} : xt::KeySyms{},
                      XStringToKeysym(name.mid(shift ? 1 : 0).toLatin1().constData()));
            QTest::qWait(5); // a repeated key never looks like an auto-repeat
        }
        const int before = m_reached.keys.count(Qt::Key_F12);
        m_x.chord({}, XK_F12);
        return xt::waitFor([&] { return m_reached.keys.count(Qt::Key_F12) > before; });
    }
    // Where a widget stands on the screen as the X server has it (a window at the size it has
    // there); the toolkit may believe otherwise.
    QRect onScreen(QWidget* widget)
    {
        QRect window;
        platform::windowSystem().clientRect(widget->window()->winId(), &window);
        return widget->isWindow() ? window
                                  : QRect(window.topLeft() + widget->mapTo(widget->window(), QPoint()), widget->size());
    }
    // Drags by `widget`; true when its window followed the pointer's movement.
    bool dragBy(QWidget* widget, const QPoint& by)
    {
        platform::WindowSystem& ws = platform::windowSystem();
        const QPoint start = onScreen(widget->window()).topLeft(), from = onScreen(widget).center();
        ws.setCursorPos(from.x(), from.y());
        ws.mouseLeftButton(false);
        ws.setCursorPos(from.x() + by.x(), from.y() + by.y());
        const bool followed = xt::waitFor([&] { return onScreen(widget->window()).topLeft() == start + by; });
        ws.mouseLeftButton(true);
        return followed;
    }

    // Mapped by the X server, as a user sees it; the toolkit's flag alone may say otherwise.
    bool mapped(QWidget* window)
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(m_x.display(), window->winId(), &attributes) &&
               attributes.map_state == IsViewable && window->visibleRegion() == QRegion(window->rect());
    }

    // Focus away and back: the panel detaches (mode and code reset) and attaches again.
    void refocus()
    {
        m_other->setFocus();
        XT_TRY_VERIFY(!m_panel->isVisible());
        m_pane->setFocus();
        XT_TRY_VERIFY(m_panel->isVisible());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_x.isOpen(), "needs an X display with XTest (run under test.sh)");
        App::initResources();
        ts::resetWindowGlobals();
        QDir().mkpath("mb");
        QVERIFY(App::writeFile("mb/五笔.txt", kTable) && App::writeFile("mb/测试.txt", kTable));
        QVERIFY(App::writeFile("mb/其他.txt", "a\t乙\n"));
        // The panel lists the tables of the program's folder.
        QDir().mkpath(QCoreApplication::applicationDirPath() + "/mb");
        for (const char* name : {"/mb/其他.txt", "/mb/测试.txt"})
            QVERIFY(App::writeFile(QCoreApplication::applicationDirPath() + name, QString()));

        auto* layout = new QVBoxLayout(&m_host);
        layout->addWidget(m_pane = new QTextEdit);
        layout->addWidget(m_other = new QTextEdit);
        m_other->setObjectName("textEdit");
        m_pane->setObjectName("textEdit2");
        m_pane->installEventFilter(&m_reached);
        m_host.show();
        m_host.activateWindow();
        QVERIFY(xt::active(&m_host));

        // Taken into use while the pane has the focus, the panel attaches at once.
        m_pane->setFocus();
        XT_TRY_VERIFY(m_pane->hasFocus());
        InputPanel::open(true);
        m_panel = frmInput::self;
        QVERIFY(m_panel && !App::CountSelectKeys);
        XT_TRY_VERIFY(mapped(m_panel));
    }
    void cleanupTestCase()
    {
        for (const char* name : {"/mb/其他.txt", "/mb/测试.txt"})
            QFile::remove(QCoreApplication::applicationDirPath() + name);
    }
    void init()
    {
        ts::resetWindowGlobals();
        m_pane->setReadOnly(false);
        m_pane->setPlainText("前");
        m_pane->moveCursor(QTextCursor::End);
        // A window closed by the case before may leave no window of ours active.
        m_host.activateWindow();
        XT_TRY_VERIFY(m_host.isActiveWindow());
        refocus();
    }
    void cleanup()
    {
        // A failed case leaves no window that holds the input.
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    }

    void physicalKeys_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("pane");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QVector<int>>("counts"); // keys, backspaces, corrections, selections
        using C = QVector<int>;
        QTest::addRow("unique code commits") << "g g l l" << "前一" << "" << "" << C{4, 0, 0, 0};
        QTest::addRow("Space commits the first") << "k h l g space" << "前中国" << "" << "" << C{5, 0, 0, 0};
        QTest::addRow("digit picks, counts") << "k h l g 2" << "前跨国" << "" << "" << C{5, 0, 0, 1};
        QTest::addRow("Space without code reaches the pane") << "space" << "前 " << "" << "" << C{0, 0, 0, 0};
        QTest::addRow("Backspace deletes") << "BackSpace" << "" << "" << "" << C{1, 0, 1, 0};
        QTest::addRow("Backspace shortens the code") << "k h BackSpace" << "前" << "k" << "1.中国" << C{3, 0, 0, 0};
        QTest::addRow("Escape drops the code") << "g Escape" << "前" << "" << "" << C{2, 0, 0, 0};
        QTest::addRow("Escape without code corrects") << "Escape" << "前" << "" << "" << C{1, 0, 1, 0};
        QTest::addRow("Return types the code") << "k h Return" << "前kh" << "" << "" << C{3, 0, 0, 0};
        QTest::addRow("Space without match clears the code") << "q space" << "前" << "" << "" << C{2, 0, 0, 0};
        QTest::addRow("code past the carry length carries") << "g g l q" << "前一" << "q" << "" << C{4, 0, 0, 0};
        QTest::addRow("= pages") << "a equal" << "前" << "a" << "1.工工" << C{2, 0, 0, 0};
        QTest::addRow("Shift drops the code, ? is Chinese") << "g +question" << "前？" << "" << "" << C{1, 0, 0, 0};
        QTest::addRow("quotes pair") << "+quotedbl +quotedbl" << "前“”" << "" << "" << C{0, 0, 0, 0};
        QTest::addRow("^ is Chinese") << "+asciicircum" << "前……" << "" << "" << C{0, 0, 0, 0};
        QTest::addRow("Shift gives lower case") << "Shift_L a b" << "前ab" << "" << "" << C{2, 0, 0, 0};
        QTest::addRow("; after a code selects the second") << "k h l semicolon" << "前跨国" << "" << "" << C{4, 0, 0, 1};
        QTest::addRow("& is no key") << "+ampersand" << "前&" << "" << "" << C{0, 0, 0, 0};
    }
    void physicalKeys()
    {
        QFETCH(QString, keys);
        App::Hcaction = "上屏英文";
        App::Hxnum = "2";
        App::Dpmc = "3"; // a code without candidates carries one key sooner than by default
        QVERIFY(tap(keys));
        QTEST(m_pane->toPlainText(), "pane");
        QTEST(label("labPY")->text(), "code");
        QTEST(label("labCh1")->text(), "first");
        QTEST((QVector<int>{App::KeyCount, App::BackCount, App::CorrectCount, App::SelectCount}), "counts");
        QVERIFY(m_pane->hasFocus());
    }

    // Attached below the pane, the panel leaves it the focus. A read-only pane (a finished run's)
    // is left alone; otherwise clicks type as keys do.
    void attachedPanelAndClicks()
    {
        QVERIFY(m_pane->hasFocus() && m_host.isActiveWindow());
        XT_TRY_COMPARE(m_panel->pos(), m_pane->mapToGlobal(QPoint(0, m_pane->height() + 1)));
        QCOMPARE(label("labInfo")->text(), QString("中文输入法--中文"));
        QCOMPARE(key("btnOther13")->text(), QString("、")); // the backslash key's Chinese caption
        m_pane->setReadOnly(true);
        QVERIFY(tap("g g l l BackSpace"));
        QTest::mouseClick(key("btnSpace"), Qt::LeftButton);
        QCOMPARE(m_pane->toPlainText(), QString("前"));
        m_pane->setReadOnly(false);
        ts::resetWindowGlobals(); // counts from here
        QVERIFY(tap("k h l g"));
        QTest::mouseClick(label("labCh3"), Qt::LeftButton); // a candidate clicked counts once
        // 0 picks the tenth candidate.
        for (const char* name :
             {"btng", "btng", "btnl", "btnl", "btnh", "btn0", "btnType", "btnOther7", "btnSpace", "btnDelete"})
            QTest::mouseClick(key(name), Qt::LeftButton);
        QCOMPARE(m_pane->toPlainText(), QString("前跑车一十&"));
        QCOMPARE((QVector<int>{App::KeyCount, App::BackCount, App::SelectCount}), (QVector<int>{14, 1, 2}));
        QCOMPARE(key("btnType")->text(), QString("小写"));
        QTest::mouseClick(key("btnType"), Qt::LeftButton);
        QCOMPARE(key("btna")->text(), QString("A"));
        QTest::mouseClick(label("labCh1"), Qt::LeftButton);
        QVERIFY(m_pane->hasFocus());
        QTest::mouseClick(key("btnClose"), Qt::LeftButton);
        QVERIFY(!m_panel->isVisible());
        QVERIFY(tap("g")); // hidden: the key is the pane's
        QCOMPARE(m_pane->toPlainText(), QString("前跑车一十&g"));
    }

    // Code hints stand apart from the next candidate; a long candidate widens the panel only while
    // it is shown.
    void candidateLabelsFit()
    {
        App::Tishi = true;
        const int width = m_panel->width();
        QVERIFY(tap("h"));
        QCOMPARE(label("labCh10")->text(), QString("10.十qwertj"));
        // A label's text is centred in it.
        const auto margin = [](QLabel* l) { return (l->width() - l->fontMetrics().horizontalAdvance(l->text())) / 2; };
        for (int i = 1; i < 10; ++i) {
            QLabel* left = label(qPrintable(QString("labCh%1").arg(i)));
            QLabel* right = label(qPrintable(QString("labCh%1").arg(i + 1)));
            XT_TRY_VERIFY2(right->x() + margin(right) - (left->geometry().right() + 1 - margin(left)) >= 4,
                           qPrintable(right->text()));
        }
        QVERIFY(tap("Escape m m"));
        XT_TRY_VERIFY(m_panel->width() > width);
        QVERIFY(tap("Escape"));
        XT_TRY_COMPARE(m_panel->width(), width);
    }

    // The settings window the menu opens is centred for the size it is shown at and its lists open
    // on their boxes.
    void menuSwitchesTablesAndOpensSettings()
    {
        // The panel's right-click menu is the tray menu.
        ts::ModalAnswerer pick(
            [](QWidget* popup) {
                auto* menu = qobject_cast<QMenu*>(popup);
                QAction* tables = menu ? menu->actions().value(1) : nullptr;
                QAction* other = tables ? tables->menu()->actions().value(0) : nullptr;
                QVERIFY(other && other->text() == "\t其他");
                menu->close();
                other->trigger();
            },
            true);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), m_panel->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(m_panel, &event);
        QCOMPARE(ts::configFileValue("Mabiao").toString(), QString("其他"));
        QVERIFY(tap("a"));
        QCOMPARE(label("labCh1")->text(), QString("1.乙"));

        App::Mabiao = "测试";
        m_panel->inputsetting();
        QVERIFY(!m_panel->isVisible());
        QWidget* settings = nullptr;
        XT_TRY_VERIFY((settings = QApplication::activeModalWidget()) && settings->objectName() == "Inputsetting");
        QVERIFY(xt::exposed(settings));
        const QRect window = onScreen(settings);
        QCOMPARE(window.topLeft(),
                 DragFrame::centredPosition(QGuiApplication::primaryScreen()->virtualSize(), window.size()));
        m_x.click(1, onScreen(settings->findChild<QPushButton*>("btnGaoji")).center());
        auto* hxnum = settings->findChild<QComboBox*>("hxnum");
        XT_TRY_VERIFY(hxnum->isVisible() && hxnum->currentText() == "10");
        QCOMPARE(settings->findChild<QPushButton*>("btnGaoji")->text(), QString("【高级设置】→"));
        QCOMPARE(settings->findChild<QPushButton*>("btnJiben")->text(), QString("基本设置"));
        m_x.click(1, onScreen(hxnum).center());
        QWidget* list = nullptr;
        XT_TRY_VERIFY((list = QApplication::activePopupWidget()) && xt::exposed(list));
        QCOMPARE(onScreen(list).left(), onScreen(hxnum).left());
        m_x.chord({}, XK_Escape);
        XT_TRY_VERIFY(!QApplication::activePopupWidget());
        hxnum->setFocus();
        QTest::keyClick(hxnum, Qt::Key_Home);
        QPointer<QWidget> closed = settings;
        QTest::mouseClick(settings->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        QCOMPARE(ts::configFileValue("Hxnum").toString(), QString("1"));
        XT_TRY_VERIFY(!closed);
        // The panel follows: one candidate a page, and the table reopened.
        m_host.activateWindow();
        XT_TRY_VERIFY(m_host.isActiveWindow());
        refocus();
        QTest::mouseClick(key("btna"), Qt::LeftButton);
        QCOMPARE(label("labCh1")->text(), QString("1.工"));
        QVERIFY(label("labCh2")->text().isEmpty());
    }

    // OK stores the fourteen settings as the window shows them; "恢复默认" shows the defaults but
    // keeps the code table. A settings window opened again is dragged by the pointer from the start.
    void settingsWindowKeys()
    {
        const QStringList keys = {"Opensrf", "Zchongfu", "Tishi",    "Onlye",    "Dingzi",   "Fyxc",  "Zdmc",
                                  "Dpmc",    "Qpmc",     "Hcaction", "Kgaction", "Position", "Hxnum", "Mabiao"};
        const QVariantList changed = {true, false, true,   true,       false,      false, "x",
                                      "5",  "6",   "清屏", "上屏英文", "固定位置", "4",   "测试"};
        QStringList defaults;
        for (int i = 0; i < App::configKeyCount(); ++i) {
            const int key = keys.indexOf(App::configKey(i));
            if (key >= 0) {
                defaults << App::configDefault(i).toString();
                App::setConfigValue(i, changed.at(key));
            }
        }
        defaults.last() = "测试";
        for (const QStringList& expected : {QVariant(changed).toStringList(), defaults}) {
            Inputsetting window;
            window.show();
            QVERIFY(xt::exposed(&window));
            QVERIFY(dragBy(window.findChild<QLabel*>("lab_Title"), QPoint(40, -20)));
            if (expected == defaults)
                QTest::mouseClick(window.findChild<QPushButton*>("btnMoren"), Qt::LeftButton);
            QTest::mouseClick(window.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
            QStringList stored;
            for (const QString& key : keys)
                stored << ts::configFileValue(key).toString();
            QCOMPARE(stored, expected);
        }
    }

    // The panel shown where it stood partly off the screen is moved onto it; it drags by the
    // pointer's movement from there.
    void panelKeptOnScreen_data()
    {
        QTest::addColumn<QPoint>("place");
        QTest::addColumn<QPoint>("shown");
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const int right = screen.right() + 1 - 610, bottom = screen.bottom() + 1 - 210;
        QTest::addRow("on the screen") << QPoint(200, 150) << QPoint(200, 150);
        QTest::addRow("past the right edge") << QPoint(right + 142, 300) << QPoint(right, 300);
        QTest::addRow("past the bottom") << QPoint(100, bottom + 60) << QPoint(100, bottom);
        QTest::addRow("above and left") << QPoint(-500, -147) << QPoint(0, 0);
    }
    void panelKeptOnScreen()
    {
        QFETCH(QPoint, place);
        QFETCH(QPoint, shown);
        App::Position = "固定位置";
        m_other->setFocus();
        XT_TRY_VERIFY(!m_panel->isVisible());
        m_panel->move(place);
        m_pane->setFocus();
        XT_TRY_VERIFY(m_panel->isVisible());
        QVERIFY(xt::exposed(m_panel)); // framed by the window manager: in its place
        XT_TRY_COMPARE(onScreen(m_panel).topLeft(), shown);
        // Towards the middle, where the window manager lets it go.
        QVERIFY(dragBy(label("labPY"), QPoint(shown.x() < 400 ? 40 : -40, shown.y() < 400 ? 20 : -20)));
    }

    // The panel stays where the user dragged it: let go partly off the screen it comes back at once,
    // and a page of long candidates moves it onto the screen only while it is shown. The window
    // manager reports moves and resizes late, an earlier one after a later request, as synthetic
    // ConfigureNotify events (ICCCM 4.1.5); when they come is up to it, so such reports are sent
    // here as well, each read before the keys tapped after it. Whatever they said, after the keys
    // the panel stands where it belongs, at its own size, and the toolkit knows it.
    void panelStaysWhereDragged()
    {
        const auto standsAt = [this](const QRect& place) {
            return onScreen(m_panel) == place && m_panel->geometry() == place;
        };
        const auto report = [this](const QRect& place) {
            XEvent report{};
            report.xconfigure.type = ConfigureNotify;
            report.xconfigure.event = report.xconfigure.window = m_panel->winId();
            report.xconfigure.x = place.x();
            report.xconfigure.y = place.y();
            report.xconfigure.width = place.width();
            report.xconfigure.height = place.height();
            XSendEvent(m_x.display(), m_panel->winId(), False, StructureNotifyMask, &report);
            XFlush(m_x.display());
        };
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        XT_TRY_VERIFY(mapped(m_panel) && standsAt(m_panel->geometry()));
        const QRect edge(screen.right() + 1 - m_panel->width(), m_panel->y(), m_panel->width(), m_panel->height());
        QVERIFY(dragBy(label("labPY"), edge.topLeft() - m_panel->pos() + QPoint(100, 0)));
        XT_TRY_VERIFY(standsAt(edge));

        QVERIFY(tap(QString("g s g equal space ").repeated(4)));
        XT_TRY_VERIFY(standsAt(edge));

        QVERIFY(tap("g s g equal"));
        QCOMPARE(label("labCh1")->text(), QString("1.") + QString(6, QChar(0x4E0A)));
        XT_TRY_VERIFY(onScreen(m_panel).right() == screen.right() && m_panel->x() < edge.x() &&
                      standsAt(m_panel->geometry()));
        const QRect wide = m_panel->geometry();
        // The long page's size at the drag's place, then Space.
        report(QRect(edge.topLeft(), wide.size()));
        QVERIFY(tap("space"));
        XT_TRY_VERIFY(standsAt(edge));
        // The long page's place and size, then a page of short words and Escape.
        report(wide);
        QVERIFY(tap("g Escape"));
        XT_TRY_VERIFY(standsAt(edge));
    }

    // The shipped table draws no empty box: no character outside the Basic Multilingual Plane or in
    // Extension A (U+3400-U+4DBF), and every one in the installed Chinese font.
    void shippedTableDrawsEveryCharacter()
    {
        QFile file(qEnvironmentVariable("TAVREL_BUILD_DIR") + "/mb/五笔.txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.contains("\npw\t空\n") && text.count('\n') > 80000);
        QFont font("WenQuanYi Micro Hei");
        font.setStyleStrategy(QFont::NoFontMerging);
        const QFontMetrics metrics(font);
        QVERIFY(metrics.inFontUcs4(0x7A7A) && !metrics.inFontUcs4(0x3400)); // that font: 空 is there, 㐀 is not
        QSet<uint> boxes;
        for (const uint c : text.toUcs4()) {
            if (c > 0xFFFF || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x80 && !metrics.inFontUcs4(c)))
                boxes.insert(c);
        }
        QVERIFY2(boxes.isEmpty(), qPrintable(QString::number(boxes.size())));
    }

    // Last: after "退出" the panel stays detached until the main window's input command takes it back;
    // at the screen's foot it stands off the main window; a run typed through it ends with the
    // panel's key counts, the keyboard source counting the hands.
    void exitThenTheMainWindowTakesItBack()
    {
        m_panel->findChild<QMenu*>()->actions().last()->trigger();
        QVERIFY(!m_panel->isVisible() && App::CountSelectKeys);
        m_other->setFocus();
        m_pane->setFocus();
        XT_TRY_VERIFY(m_pane->hasFocus());
        QTest::keyClicks(m_pane, "ggll");
        QVERIFY(!m_panel->isVisible());
        QCOMPARE(m_pane->toPlainText(), QString("前ggll"));

        platform::KeySource keys{&CoreSettings::countKeyWord}; // as start-up installs it
        QVERIFY(keys.install());
        ts::MainWindowFixture f;
        QDir().mkpath("mb");
        QVERIFY(QFile::copy(qEnvironmentVariable("TAVREL_BUILD_DIR") + "/mb/五笔.txt", "mb/五笔.txt"));
        frmMain& window = f.open(true);
        QVERIFY(xt::active(&window));
        f.lay(QStringLiteral("中国一"));
        // A click on the typing pane, then the menu command: the panel shows at once, where the pane's
        // focus puts it.
        m_x.click(1, f.typing());
        XT_TRY_VERIFY(f.typing()->hasFocus());
        auto* bar = window.findChild<QMenuBar*>();
        QAction* tools = f.action({"功能"});
        m_x.click(1, bar->mapToGlobal(bar->actionGeometry(tools).center()));
        XT_TRY_VERIFY(tools->menu()->isVisible());
        QAction* command = f.action({"功能", "打开自带输入法"});
        m_x.click(1, tools->menu()->mapToGlobal(tools->menu()->actionGeometry(command).center()));
        XT_TRY_VERIFY(!App::CountSelectKeys);
        XT_TRY_VERIFY(mapped(m_panel));
        const QRect shown = onScreen(m_panel);
        f.reference()->setFocus();
        f.typing()->setFocus();
        XT_TRY_VERIFY(m_panel->isVisible() && f.typing()->hasFocus());
        // Framed by the window manager first: while it takes a window in, the window may stand
        // elsewhere for a moment.
        XT_TRY_VERIFY(mapped(m_panel) && onScreen(m_panel) == shown);
        m_panel->init(); // the table of this working folder
        // At the screen's foot no room is left below the typing pane: the panel goes above the
        // window and leaves both panes in sight.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint foot(100, screen.bottom() + 1 - window.height());
        window.move(foot);
        XT_TRY_COMPARE(onScreen(&window).topLeft(), foot);
        f.reference()->setFocus();
        f.typing()->setFocus();
        XT_TRY_VERIFY(m_panel->isVisible() && f.typing()->hasFocus());
        XT_TRY_VERIFY2(mapped(m_panel) && onScreen(m_panel).bottom() < foot.y() && screen.contains(onScreen(m_panel)),
                       qPrintable(QStringLiteral("%1,%2").arg(onScreen(m_panel).x()).arg(onScreen(m_panel).y())));
        for (const char* key : {"k", "h", "l", "g", "space", "g", "g", "l", "l"}) {
            m_x.chord({}, XStringToKeysym(key));
            QTest::qWait(5); // a repeated key never looks like an auto-repeat
        }
        XT_TRY_VERIFY(f.typing()->isReadOnly() && !window.clockRunning()); // the run has ended
        QCOMPARE(f.typing()->toPlainText(), QStringLiteral("中国一"));
        QCOMPARE((QVector<int>{App::KeyCount, App::SelectCount, App::LeftKeys, App::RightKeys}),
                 (QVector<int>{9, 0, 3, 6}));
    }
};

QTEST_MAIN(TestInputX11)
#include "test_input_x11.moc"

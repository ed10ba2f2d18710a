#include "app/globalshortcut.h"
#include "platform/keysource.h"
#include "platform/x11errortrap.h"
#include "platform/x11windowsystem.h"
#include "testsupport.h"
#include "typing/core/capture.h"
#include "typing/coresettings.h"

#include <qcustomplot.h> // before Xlib, whose macros clash with it

#include "x11support.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

using platform::ShowCommand;
using platform::WindowHandle;
using xt::KeySyms;

namespace {

QWidget* topLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

// The desktop on a real X display (Xvfb with openbox): the X11 window system against the stand-in
// chat window, this test's own window and bare X windows; hot keys from XTest, grabs checked against
// a second client (the test's own connection), the main window's boss key; last, a text sent end to
// end through the chat window (keys and clicks into it are the chat road's: see the chat tests).
class TestDesktopX11 : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    QWidget m_other;
    xt::InputRecorder m_recorder;
    xt::Sentinel m_sentinel{m_x};
    platform::X11WindowSystem m_ws;
    QTemporaryDir m_dir;
    xt::ChatStub m_stub;
    WindowHandle m_chat = 0;
    const QString m_title = QStringLiteral("端到端%1").arg(QCoreApplication::applicationPid());
    const QString m_programDir = QCoreApplication::applicationDirPath();

    // Alt+Q grabbed by the other client; true when it got it.
    bool otherClientGrab(unsigned locks)
    {
        platform::X11ErrorTrap trap(m_x.display());
        XGrabKey(m_x.display(), m_x.keycode(XK_q), Mod1Mask | locks, DefaultRootWindow(m_x.display()), False,
                 GrabModeAsync, GrabModeAsync);
        return !trap.failed();
    }
    void otherClientUngrab(unsigned locks)
    {
        XUngrabKey(m_x.display(), m_x.keycode(XK_q), Mod1Mask | locks, DefaultRootWindow(m_x.display()));
        XSync(m_x.display(), False);
    }
    // Nothing shows when the server starts repeating a grabbed key, so this waits for a time.
    void waitPastRepeatDelay(int extraMs)
    {
        unsigned int delay = 660, interval = 40;
        XkbGetAutoRepeatRate(m_x.display(), XkbUseCoreKbd, &delay, &interval);
        QTest::qWait(int(delay) + extraMs);
    }

    // A bare X window, neither mapped nor named; it goes with the test's connection.
    WindowHandle rawWindow()
    {
        return XCreateSimpleWindow(m_x.display(), DefaultRootWindow(m_x.display()), 20, 20, 240, 120, 0, 0, 0);
    }
    // Keys pressed as a user does; true once the hot-key connection has handled them.
    bool press(const KeySyms& modifiers, quint32 keysym)
    {
        m_x.chord(modifiers, keysym);
        return m_sentinel.settle();
    }
    void focusOther()
    {
        m_other.raise();
        m_other.activateWindow();
        XT_TRY_VERIFY(m_other.isActiveWindow());
        QTest::qWait(5); // keeps these key time stamps apart from the last ones
        m_recorder.keys.clear();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_ws.isOpen() && m_x.isOpen(), "needs an X display (run under test.sh)");
        App::initResources();
        m_other.setWindowTitle(QStringLiteral("Tavrel 1.36 窗口测试"));
        m_other.setFocusPolicy(Qt::StrongFocus);
        m_other.resize(300, 200);
        m_other.installEventFilter(&m_recorder);
        m_other.show();
        QVERIFY((m_chat = m_stub.start(m_dir.path(), m_ws)) != 0);
    }
    void cleanupTestCase()
    {
        for (const char* file : {"/文章/%1.txt", "/跟打进度/%1.txt", "/跟打进度/%1.ini"})
            QFile::remove(m_programDir + QString::fromUtf8(file).arg(m_title));
    }
    void init() { focusOther(); }
    void cleanup() { QVERIFY(m_x.setLocks(false, false)); }

    void listsActivatesAndMinimises()
    {
        const auto windows = m_ws.topLevelWindows();
        const auto chat = std::find_if(windows.begin(), windows.end(), [this](auto& w) { return w.handle == m_chat; });
        QVERIFY(chat != windows.end() && chat->visible && chat->enabled && !chat->own);
        QSet<WindowHandle> seen;
        for (const auto& window : windows) {
            seen.insert(window.handle);
            QCOMPARE(window.own, window.handle == m_other.winId()); // the chat stub's process is another
        }
        QCOMPARE(seen.size(), windows.size()); // each window once
        QCOMPARE(m_ws.findWindow(m_other.windowTitle()), WindowHandle(m_other.winId()));

        // Activation reports success, and the list puts the active window first.
        for (const WindowHandle window : {WindowHandle(m_other.winId()), m_chat}) {
            QVERIFY(m_ws.setForegroundWindow(window));
            QCOMPARE(m_ws.foregroundWindow(), window);
            XT_TRY_COMPARE(m_ws.topLevelWindows().first().handle, window);
        }
        XT_TRY_VERIFY(!m_other.isActiveWindow()); // really lost the focus, not just the property

        QRect client;
        QRect frame;
        QVERIFY(m_ws.clientRect(m_other.winId(), &client) && m_ws.windowRect(m_other.winId(), &frame));
        QCOMPARE(client, QRect(m_other.mapToGlobal(QPoint(0, 0)), m_other.size()));
        QCOMPARE(frame, m_other.frameGeometry());

        // Minimised, the chat window stays listed and visible; activating it brings it back.
        QVERIFY(m_ws.showWindow(m_chat, ShowCommand::Minimize));
        XT_TRY_VERIFY(m_x.iconic(m_chat)); // (and visible to the chat road: see the chat tests)
        XT_TRY_VERIFY(m_ws.foregroundWindow() != m_chat);
        const auto listed = m_ws.topLevelWindows();
        QVERIFY(std::any_of(listed.begin(), listed.end(), [this](auto& w) { return w.handle == m_chat && w.visible; }));
        QVERIFY(m_ws.setForegroundWindow(m_chat));
        XT_TRY_VERIFY(!m_x.iconic(m_chat));
    }

    // Just minimised, a window the window manager still names the active one does not count as active,
    // so no keys go into it; its state is set here as the window manager sets it.
    void justMinimisedIsNotActive()
    {
        const WindowHandle window = rawWindow();
        XStoreName(m_x.display(), window, "minimised");
        XMapWindow(m_x.display(), window);
        XSync(m_x.display(), False);
        XT_TRY_VERIFY(m_ws.findWindow("minimised") == window);
        QVERIFY(m_ws.setForegroundWindow(window, 3000));
        const Atom wmState = XInternAtom(m_x.display(), "WM_STATE", False);
        const long iconic[] = {3, 0};
        XChangeProperty(m_x.display(), window, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(iconic), 2);
        XSync(m_x.display(), False);
        QCOMPARE(m_ws.foregroundWindow(), window);
        QVERIFY(!m_ws.setForegroundWindow(window, 0));
        XDestroyWindow(m_x.display(), window);
        XSync(m_x.display(), False);
    }

    void badWindows_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addRow("no window") << 0;
        QTest::addRow("destroyed window") << 1;
        QTest::addRow("window never shown") << 2;
    }
    void badWindows()
    {
        QFETCH(int, kind);
        const WindowHandle window = kind == 0 ? 0 : rawWindow();
        if (kind == 1)
            XDestroyWindow(m_x.display(), window);
        XSync(m_x.display(), False);

        // Refused activation: the chat window keeps the focus, so a caller sends no keys elsewhere.
        QVERIFY(m_ws.setForegroundWindow(m_chat));
        QVERIFY(!m_ws.setForegroundWindow(window, 300));
        QCOMPARE(m_ws.foregroundWindow(), m_chat);
        if (kind == 2)
            return;
        // Every query answers empty, and the connection survives the errors.
        QVERIFY(m_ws.windowTitle(window).isEmpty());
        QVERIFY(!m_ws.isWindowVisible(window) && !m_ws.isWindowEnabled(window));
        QVERIFY(!m_ws.showWindow(window, ShowCommand::Minimize) && !m_ws.showWindow(window, ShowCommand::ShowNormal));
        QRect rect(1, 2, 3, 4);
        QVERIFY(!m_ws.windowRect(window, &rect) && !m_ws.clientRect(window, &rect));
        QCOMPARE(rect, QRect(1, 2, 3, 4));
        QCOMPARE(m_ws.findWindow(xt::ChatStub::title()), m_chat);
    }

    void legacyTitle_data()
    {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("title");
        QTest::addRow("STRING is Latin-1") << QByteArray("STRING") << QByteArray("Fen\xeatre") << "Fenêtre";
        // GB2312 designated to the right half, then 测试 in that set.
        QTest::addRow("COMPOUND_TEXT") << QByteArray("COMPOUND_TEXT") << QByteArray("\x1b$)A\xb2\xe2\xca\xd4") << "测试";
    }
    void legacyTitle()
    {
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, title);
        // A window without _NET_WM_NAME: only the old WM_NAME property.
        const WindowHandle window = rawWindow();
        XChangeProperty(m_x.display(), window, XA_WM_NAME, XInternAtom(m_x.display(), type.constData(), false), 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
        XSync(m_x.display(), False);
        QCOMPARE(m_ws.windowTitle(window), title);
    }

    void windowRefusingInputIsNotEnabled()
    {
        const WindowHandle window = rawWindow();
        XStoreName(m_x.display(), window, "no input");
        XWMHints hints{};
        hints.flags = InputHint;
        hints.input = false;
        XSetWMHints(m_x.display(), window, &hints);
        XMapWindow(m_x.display(), window);
        XSync(m_x.display(), False);
        XT_TRY_VERIFY(m_ws.findWindow("no input") == window && m_ws.isWindowVisible(window));
        QVERIFY(!m_ws.isWindowEnabled(window));
        QVERIFY(m_ws.isWindowEnabled(m_chat));
        // Unmapped by its owner, it leaves the list and is no longer visible.
        XUnmapWindow(m_x.display(), window);
        XSync(m_x.display(), False);
        XT_TRY_VERIFY(m_ws.findWindow("no input") == 0);
        QVERIFY(!m_ws.isWindowVisible(window));
    }
    void keyTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("virtualKey");
        QTest::addColumn<int>("modifiers");
        QTest::addRow("F24 is the last F key") << "CTRL+F24" << 0x87 << 2;
        QTest::addRow("F25 has no code") << "CTRL+F25" << 0 << 2;
        QTest::addRow("Print is VK_PRINT") << "Alt+Print" << 0x2A << 1;
        QTest::addRow("full stop has no code") << "Alt+." << 0 << 1;
        QTest::addRow("keypad bit: no code") << "Alt+Num+5" << 0 << 1;
        QTest::addRow("two keys take the first") << "ALT+Q, CTRL+F4" << 0x51 << 1;
        QTest::addRow("empty") << "" << 0 << 0;
    }
    void keyTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, virtualKey);
        QFETCH(int, modifiers);
        const MyGlobalShortCut::NativeKey native = MyGlobalShortCut::nativeHotKey(text);
        QCOMPARE(native.virtualKey, quint32(virtualKey));
        QCOMPARE(native.modifiers, quint32(modifiers));
        if (virtualKey == 0) // never grabbed, so it can never fire
            QVERIFY(!MyGlobalShortCut(text, nullptr).registerHotKey());
    }

    void pressFiresOnce_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<KeySyms>("modifierKeys");
        QTest::addColumn<quint32>("keysym");
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<bool>("capsLock");
        QTest::addColumn<bool>("numLock");
        const KeySyms alt{XK_Alt_L};
        QTest::addRow("Alt+Q, Caps Lock") << "ALT+Q" << alt << quint32(XK_q) << int(Qt::Key_Q) << true << false;
        QTest::addRow("Alt+Q, both locks") << "ALT+Q" << alt << quint32(XK_q) << int(Qt::Key_Q) << true << true;
        QTest::addRow("Meta+F5, Num Lock")
            << "Meta+F5" << KeySyms{XK_Super_L} << quint32(XK_F5) << int(Qt::Key_F5) << false << true;
        QTest::addRow("all four modifiers") << "Shift+Ctrl+Alt+Meta+A"
                                            << KeySyms{XK_Shift_L, XK_Control_L, XK_Alt_L, XK_Super_L}
                                            << quint32(XK_a) << int(Qt::Key_A) << false << false;
        QTest::addRow("asterisk is the keypad key")
            << "Alt+*" << alt << quint32(XK_KP_Multiply) << int(Qt::Key_Asterisk) << false << false;
        QTest::addRow("Return also on the keypad")
            << "Ctrl+Return" << KeySyms{XK_Control_L} << quint32(XK_KP_Enter) << int(Qt::Key_Enter) << false << true;
    }
    void pressFiresOnce()
    {
        QFETCH(QString, text);
        QFETCH(KeySyms, modifierKeys);
        QFETCH(quint32, keysym);
        QFETCH(int, qtKey);
        QFETCH(bool, capsLock);
        QFETCH(bool, numLock);
        QVERIFY2(!numLock || m_x.numLockMask(), "Num Lock is not a modifier on this keyboard");
        QVERIFY(m_x.setLocks(capsLock, numLock));
        MyGlobalShortCut shortcut(text, nullptr);
        QSignalSpy spy(&shortcut, &MyGlobalShortCut::activated);
        for (int count = 1; count <= 2; ++count) {
            QVERIFY(press(modifierKeys, keysym));
            QCOMPARE(spy.count(), count);
        }
        QVERIFY(!m_recorder.keys.contains(qtKey)); // the focused program never saw it
    }

    void otherKeysGoToTheFocusedProgram()
    {
        MyGlobalShortCut shortcut("ALT+Q", nullptr);
        QSignalSpy spy(&shortcut, &MyGlobalShortCut::activated);
        m_x.chord({}, XK_q);
        m_x.chord({XK_Shift_L, XK_Alt_L}, XK_q);
        m_x.chord({XK_Control_L, XK_Alt_L}, XK_q);
        QVERIFY(press({XK_Alt_L}, XK_w));
        QCOMPARE(spy.count(), 0);
        XT_TRY_VERIFY(m_recorder.keys.count(Qt::Key_Q) == 3 && m_recorder.keys.contains(Qt::Key_W));
    }

    void grabsCountedPerHolder()
    {
        auto older = std::make_unique<MyGlobalShortCut>("ALT+Q", nullptr);
        QSignalSpy olderSpy(older.get(), &MyGlobalShortCut::activated);
        QVERIFY(older->registerHotKey()); // registering again keeps one grab
        QVERIFY(press({XK_Alt_L}, XK_q));
        QCOMPARE(olderSpy.count(), 1);

        // A new object made before the old one goes takes the key over; the grab lasts until the
        // last holder goes, and each press fires once in all.
        MyGlobalShortCut newer("ALT+Q", nullptr);
        QSignalSpy newerSpy(&newer, &MyGlobalShortCut::activated);
        QVERIFY(press({XK_Alt_L}, XK_q));
        QCOMPARE(olderSpy.count() + newerSpy.count(), 2);
        older.reset();
        QVERIFY(press({XK_Alt_L}, XK_q));
        QCOMPARE(newerSpy.count() + olderSpy.count(), 3);
        QVERIFY(!m_recorder.keys.contains(Qt::Key_Q));

        QVERIFY(newer.unregisterHotKey());
        QVERIFY(!newer.unregisterHotKey());
        QVERIFY(press({XK_Alt_L}, XK_q));
        QCOMPARE(newerSpy.count() + olderSpy.count(), 3);
        XT_TRY_VERIFY(m_recorder.keys.contains(Qt::Key_Q));
    }

    void repeatsAndTwoKeys()
    {
        MyGlobalShortCut quit("ALT+Q", nullptr);
        MyGlobalShortCut desk("ALT+D", nullptr);
        QSignalSpy quitSpy(&quit, &MyGlobalShortCut::activated);
        QSignalSpy deskSpy(&desk, &MyGlobalShortCut::activated);
        m_x.sym(XK_Alt_L, true);
        m_x.sym(XK_q, true);
        waitPastRepeatDelay(400); // held: the repeats fire nothing
        m_x.sym(XK_q, false);
        m_x.chord({}, XK_d);
        m_x.chord({}, XK_d);
        m_x.sym(XK_Alt_L, false);
        QVERIFY(m_sentinel.settle());
        QCOMPARE(quitSpy.count(), 1);
        QCOMPARE(deskSpy.count(), 2);

        // Q comes up after the Alt+D grab ended, so its release is never seen here: a press a repeat
        // delay later is still a new one.
        for (quint32 sym : {XK_Alt_L, XK_d, XK_q})
            m_x.sym(sym, true);
        for (quint32 sym : {XK_d, XK_q, XK_Alt_L})
            m_x.sym(sym, false);
        QVERIFY(m_sentinel.settle());
        QCOMPARE(deskSpy.count(), 3);
        QCOMPARE(quitSpy.count(), 2);
        waitPastRepeatDelay(500);
        QVERIFY(press({XK_Alt_L}, XK_q));
        QCOMPARE(quitSpy.count(), 3);
    }

    void keySharedWithAnotherClient()
    {
        QVERIFY(otherClientGrab(0));
        auto shortcut = std::make_unique<MyGlobalShortCut>("ALT+Q", nullptr);
        QVERIFY(!shortcut->registerHotKey());
        QVERIFY(otherClientGrab(LockMask)); // the lock variants it did get were given back
        otherClientUngrab(LockMask);
        otherClientUngrab(0);

        QVERIFY(shortcut->registerHotKey());
        QSignalSpy spy(shortcut.get(), &MyGlobalShortCut::activated);
        QVERIFY(press({XK_Alt_L}, XK_q));
        QCOMPARE(spy.count(), 1);
        QVERIFY(!otherClientGrab(0));

        // Deleted, it gives every lock variant back, and the key reaches the focused program again.
        shortcut.reset();
        for (unsigned locks : {0u, unsigned(LockMask), m_x.numLockMask(), LockMask | m_x.numLockMask()}) {
            QVERIFY(otherClientGrab(locks));
            otherClientUngrab(locks);
        }
        m_x.chord({XK_Alt_L}, XK_q);
        XT_TRY_VERIFY(m_recorder.keys.contains(Qt::Key_Q));
    }

    // The boss key hides and shows the main window; rebound back and forth, one key is left and
    // the old one is free again.
    void bossKey()
    {
        App::Kjlb = QStringLiteral("ALT+Q");
        ts::MainWindowFixture f;
        f.open(true);
        for (const bool shown : {false, true}) {
            focusOther();
            QVERIFY(press({XK_Alt_L}, XK_q));
            XT_TRY_COMPARE(f.w().isVisible(), shown);
            QVERIFY(!m_recorder.keys.contains(Qt::Key_Q));
        }
        for (const char* key : {"ALT+W", "ALT+Q", "ALT+W", "ALT+W"}) {
            App::Kjlb = QString::fromLatin1(key);
            f.w().settingRecv();
        }
        const auto keys = f.w().findChildren<MyGlobalShortCut*>();
        QCOMPARE(keys.size(), 1);
        focusOther();
        QSignalSpy spy(keys.first(), &MyGlobalShortCut::activated);
        QVERIFY(press({XK_Alt_L}, XK_q));
        XT_TRY_VERIFY(m_recorder.keys.contains(Qt::Key_Q));
        QVERIFY(press({XK_Alt_L}, XK_w)); // one press, one toggle: a second one would show it again
        QCOMPARE(spy.count(), 1);
        XT_TRY_VERIFY(!f.w().isVisible());
        QVERIFY(!m_recorder.keys.contains(Qt::Key_W));
    }

    // An article goes in segments of 100 into the chat window, each typed with real key strokes; the
    // panel counts down, the next segment follows each result, progress is saved, the curve shown.
    void textSentInSegments()
    {
        const QString text = QStringLiteral("abcdefghijklmnopqrstuvwxyz").repeated(10).left(250);
        platform::KeySource keys{&CoreSettings::countKeyWord}; // as start-up installs it
        QVERIFY(keys.install());
        ts::MainWindowFixture f;
        App::Gdyslim = 100;
        App::Dl = false;
        QVERIFY(QDir().mkpath(m_programDir + "/文章"));
        QVERIFY(App::writeFile(m_programDir + "/文章/" + m_title + ".txt", text));
        f.open(true);
        f.action({"换群", xt::ChatStub::title()})->trigger();

        f.w().showFawen();
        QWidget* form = topLevel(QStringLiteral("Form"));
        QVERIFY(form);
        auto* list = form->findChild<QListWidget*>(QStringLiteral("listSource"));
        list->setCurrentItem(list->findItems(m_title, Qt::MatchExactly).value(0)); // (by click: see test_widgets)
        int sent = m_stub.sent().size();
        QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("btnSend")), Qt::LeftButton);
        QCOMPARE(m_stub.nextSent(sent), buildFawenPost(m_title, text.left(100), "第1段", 150).toUtf8());

        const QStringList rests{"50", "0", "150"};
        for (int segment = 1; segment <= 3; ++segment) {
            if (segment == 2) {
                ts::BoxAnswerer saved(true);
                f.w().saveSlot();
                QCOMPARE(saved.text, QStringLiteral("保存成功！在发文--跟打进度中可载入进度！"));
            }
            if (segment == 3) {
                f.w().showSlot(); // the new window takes the focus once it is mapped
                QVERIFY(topLevel(QStringLiteral("quxian")));
                QVERIFY(xt::active(topLevel(QStringLiteral("quxian"))));
            }
            sent = m_stub.sent().size() + 1; // the result line comes first
            // The post brought the trainer back, bound to the chat window again; the last key ends the run.
            XT_TRY_COMPARE(App::ChatHwnd, m_chat);
            QVERIFY(platform::windowSystem().setForegroundWindow(f.w().winId(), 3000));
            f.w().activateWindow(); // the window manager may see it active while the focus is elsewhere
            QVERIFY(xt::active(&f.w()));
            f.typing()->setFocus();
            XT_TRY_VERIFY(f.typing()->hasFocus());
            for (const QChar c : text.mid((segment - 1) * 100, 100))
                QVERIFY2(m_x.typeInto(f.typing(), c), qPrintable(QString(c)));
            const int next = segment % 3 + 1;
            QCOMPARE(QString::fromUtf8(m_stub.nextSent(sent)),
                     buildFawenPost(m_title, text.mid((next - 1) * 100, 100), QStringLiteral("第%1段").arg(next),
                                    rests.at(segment - 1).toInt()));
            QCOMPARE(topLevel(QStringLiteral("Fwstate"))->findChild<QLineEdit*>("lineEdit5")->text(),
                     rests.at(segment - 1));
        }

        // The finished runs reached the open curve.
        QWidget* curve = topLevel(QStringLiteral("quxian"));
        QVERIFY(curve && curve->findChild<QCustomPlot*>(QStringLiteral("plot1"))->graph(0)->dataCount() > 0);

        // The saved progress comes back in a new sending window, once the running cycle is ended.
        ts::BoxAnswerer endCycle(true);
        f.w().showFawen();
        QCOMPARE(endCycle.text, QStringLiteral("正在发文，是否结束发文？"));
        XT_TRY_VERIFY((form = topLevel(QStringLiteral("Form"))) != nullptr);
        QVERIFY(!topLevel(QStringLiteral("Fwstate")));
        form->findChild<QListWidget*>(QStringLiteral("listSource"))->setCurrentRow(3); // "跟打进度"
        QCOMPARE(form->findChild<QPlainTextEdit*>(QStringLiteral("txtPreview"))->toPlainText(), text.mid(100));
        QCOMPARE(form->findChild<QComboBox*>(QStringLiteral("comboProgress"))->currentText(), m_title);
        form->close();
    }
};

QTEST_MAIN(TestDesktopX11)
#include "test_desktop_x11.moc"

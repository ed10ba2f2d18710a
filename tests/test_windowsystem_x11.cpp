#include "platform/x11windowsystem.h"
#include "x11support.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QWidget>

using platform::ShowCommand;
using platform::WindowHandle;

// The X11 window system on a real desktop (Xvfb with openbox): the stand-in chat window in its own
// process, this test's own window and bare X windows. Keys, clicks and the clipboard into the chat
// window are the chat road's, tested whole in the chat and sending tests on this display.
class TestWindowSystemX11 : public QObject
{
    Q_OBJECT

    platform::X11WindowSystem m_ws;
    xt::XInput m_x;
    QTemporaryDir m_dir;
    xt::ChatStub m_stub;
    WindowHandle m_chat = 0;
    QWidget m_own;

    // A bare X window, neither mapped nor named; it goes with the test's connection.
    WindowHandle rawWindow()
    {
        return XCreateSimpleWindow(m_x.display(), DefaultRootWindow(m_x.display()), 20, 20, 240, 120, 0, 0, 0);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_ws.isOpen() && m_x.isOpen(), "needs an X display (run under test.sh)");
        m_own.setWindowTitle(QStringLiteral("Tavrel 1.36 窗口测试"));
        m_own.resize(300, 200);
        m_own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_own));
        QVERIFY((m_chat = m_stub.start(m_dir.path(), m_ws)) != 0);
    }

    void listsAndActivatesTopFirst()
    {
        const auto windows = m_ws.topLevelWindows();
        const auto chat = std::find_if(windows.begin(), windows.end(), [this](auto& w) { return w.handle == m_chat; });
        QVERIFY(chat != windows.end());
        QCOMPARE(chat->title, xt::ChatStub::title());
        QVERIFY(chat->visible && chat->enabled);
        QSet<WindowHandle> seen;
        for (const auto& window : windows)
            seen.insert(window.handle);
        QCOMPARE(seen.size(), windows.size()); // each window once
        QCOMPARE(m_ws.findWindow(m_own.windowTitle()), WindowHandle(m_own.winId()));

        // Activation reports success, and the list puts the active window first.
        for (const WindowHandle window : {WindowHandle(m_own.winId()), m_chat}) {
            QVERIFY(m_ws.setForegroundWindow(window));
            QCOMPARE(m_ws.foregroundWindow(), window);
            QTRY_COMPARE(m_ws.topLevelWindows().first().handle, window);
        }
        QTRY_VERIFY(!m_own.isActiveWindow()); // really lost the focus, not just the property

        QRect client;
        QRect frame;
        QVERIFY(m_ws.clientRect(m_own.winId(), &client) && m_ws.windowRect(m_own.winId(), &frame));
        QCOMPARE(client, QRect(m_own.mapToGlobal(QPoint(0, 0)), m_own.size()));
        QCOMPARE(frame, m_own.frameGeometry());
    }

    void minimisedWindowStaysListedAndComesBack()
    {
        QVERIFY(m_ws.setForegroundWindow(m_chat));
        QVERIFY(m_ws.showWindow(m_chat, ShowCommand::Minimize));
        QTRY_VERIFY(m_ws.isWindowMinimized(m_chat));
        QVERIFY(m_ws.isWindowVisible(m_chat));
        QTRY_VERIFY(m_ws.foregroundWindow() != m_chat);
        const auto windows = m_ws.topLevelWindows();
        QVERIFY(std::any_of(windows.begin(), windows.end(), [this](auto& w) {
            return w.handle == m_chat && w.visible && w.title == xt::ChatStub::title();
        }));
        QVERIFY(m_ws.setForegroundWindow(m_chat)); // activating it brings it back
        QTRY_VERIFY(!m_ws.isWindowMinimized(m_chat));
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
        QVERIFY(!m_ws.isWindowVisible(window) && !m_ws.isWindowEnabled(window) && !m_ws.isWindowMinimized(window));
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
        QTRY_VERIFY(m_ws.findWindow("no input") == window && m_ws.isWindowVisible(window));
        QVERIFY(!m_ws.isWindowEnabled(window));
        QVERIFY(m_ws.isWindowEnabled(m_chat));
        // Unmapped by its owner, it leaves the list and is no longer visible.
        XUnmapWindow(m_x.display(), window);
        XSync(m_x.display(), False);
        QTRY_VERIFY(m_ws.findWindow("no input") == 0);
        QVERIFY(!m_ws.isWindowVisible(window));
    }
};

QTEST_MAIN(TestWindowSystemX11)
#include "test_windowsystem_x11.moc"

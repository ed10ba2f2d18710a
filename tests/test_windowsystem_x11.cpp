#include "platform/x11windowsystem.h"
#include "x11support.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>

using platform::ShowCommand;
using platform::WindowHandle;
namespace vk = platform::vk;

// The X11 window system on a real desktop (Xvfb with openbox): the stand-in chat window in its own
// process and this test's own window; real XTest keys and clicks, the real X clipboard.
class TestWindowSystemX11 : public QObject
{
    Q_OBJECT

    platform::X11WindowSystem m_ws;
    xt::XInput m_x;
    QTemporaryDir m_dir;
    xt::ChatStub m_stub;
    WindowHandle m_chat = 0;
    QWidget m_own;

    // Minimised first, as the trainer leaves it: coming back, its input has the focus.
    bool bringChatForward()
    {
        if (!m_ws.showWindow(m_chat, ShowCommand::Minimize) ||
            !QTest::qWaitFor([this] { return m_ws.isWindowMinimized(m_chat); }))
            return false;
        if (!m_ws.showWindow(m_chat, ShowCommand::ShowNormal) || !m_ws.setForegroundWindow(m_chat))
            return false;
        QTest::qWait(50); // let the stub take the activation before keys arrive
        return !m_ws.isWindowMinimized(m_chat);
    }
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

    // A segment post: line breaks, and characters outside the basic plane among plain ASCII.
    void pasteAndSendReachChat()
    {
        const QString text = QStringLiteral("春晓\n生僻字𠀀𪚥与符号😀，半角 ASCII 混排\n-----第3段-余120字");
        QGuiApplication::clipboard()->setText(text);
        const int before = m_stub.sent().size();
        QVERIFY(bringChatForward());
        QVERIFY(m_ws.keyChord(vk::Control, vk::V));
        QTest::qWait(100); // the stub fetches the clipboard from this process, whose loop must run
        QVERIFY(m_ws.keyChord(vk::Alt, vk::S));
        QCOMPARE(m_stub.nextSent(before), text.toUtf8());
    }

    void copyHistory_data()
    {
        QTest::addColumn<bool>("byClick");
        QTest::addRow("tab") << false;
        QTest::addRow("click at the window centre") << true;
    }
    void copyHistory()
    {
        QFETCH(bool, byClick);
        const QString message = QStringLiteral("欢迎新人 %1\n第二行").arg(QTest::currentDataTag());
        QVERIFY(m_stub.receive(message));
        // A text the copy must replace; the input, which has the focus, would copy nothing.
        const QString previous = QStringLiteral("剪贴板原样");
        QGuiApplication::clipboard()->setText(previous);
        QVERIFY(bringChatForward());
        if (byClick) {
            // The point the trainer computes: frame corner plus half the client size.
            QRect frame;
            QRect client;
            QVERIFY(m_ws.windowRect(m_chat, &frame) && m_ws.clientRect(m_chat, &client));
            QVERIFY(m_ws.setCursorPos(frame.left() + client.width() / 2, frame.top() + client.height() / 2));
            QTest::qWait(50);
            QVERIFY(m_ws.leftClick());
        } else {
            QVERIFY(m_ws.keyStroke(vk::Tab));
        }
        QTest::qWait(50);
        QVERIFY(m_ws.keyChord(vk::Control, vk::A) && m_ws.keyChord(vk::Control, vk::C));
        QTRY_VERIFY(QGuiApplication::clipboard()->text() != previous);
        // The newest message comes last, after the other member's sender line.
        const QString history = QGuiApplication::clipboard()->text();
        const QRegularExpression sender(QStringLiteral("(^|\n)张三 \\d\\d:\\d\\d:\\d\\d\n") +
                                        QRegularExpression::escape(message) + QStringLiteral("$"));
        QVERIFY2(sender.match(history).hasMatch(), qPrintable(history));
    }

    void minimisedWindowStaysListedAndComesBack()
    {
        QVERIFY(bringChatForward());
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
        QVERIFY(bringChatForward());
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

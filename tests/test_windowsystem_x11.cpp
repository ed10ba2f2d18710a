#include "platform/display.h"
#include "platform/x11windowsystem.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

// Xlib last: its macros clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef None
#undef Bool
#undef Status
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef Unsorted

using platform::ShowCommand;
using platform::WindowHandle;
using platform::X11WindowSystem;
namespace vk = platform::vk;

namespace {

const QString ChatTitle = QStringLiteral("测试群");
const QString OwnTitle = QStringLiteral("Tavrel 1.36 窗口测试");
constexpr int StartTimeoutMs = 15000;

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The X11 window system against a real desktop: Xvfb with openbox, the stand-in chat window in a
// process of its own, and this test's own window. The keys and clicks are real XTest events, the
// clipboard is the real X selection (this process owns it when it sets a text).
class TestWindowSystemX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void listsChatWindowWithChineseTitle();
    void activationRaisesAndReports();
    void ownWindowFoundByTitleWithItsRectangles();
    void pasteAndSendReachChat_data();
    void pasteAndSendReachChat();
    void copyHistory_data();
    void copyHistory();
    void minimisedWindowStaysVisibleAndComesBack();
    void refusedActivation_data();
    void refusedActivation();
    void badHandleAnswersEmpty_data();
    void badHandleAnswersEmpty();
    void legacyTitle_data();
    void legacyTitle();
    void windowRefusingInputIsNotEnabled();

private:
    // The chat window in front with its input focused.
    bool bringChatForward();
    QStringList sentFiles() const;
    WindowHandle rawWindow();
    void injectMessage(const QString& name, const QString& text);

    X11WindowSystem* m_ws = nullptr;
    QTemporaryDir m_dir;
    QProcess m_stub;
    WindowHandle m_chat = 0;
    QWidget* m_own = nullptr;
    Display* m_x = nullptr;
    QVector<WindowHandle> m_rawWindows;
};

void TestWindowSystemX11::initTestCase()
{
    if (!platform::x11Available())
        QSKIP("needs an X display");
    m_ws = new X11WindowSystem;
    QVERIFY(m_ws->isOpen());
    m_x = XOpenDisplay(nullptr);
    QVERIFY(m_x);
    QVERIFY(m_dir.isValid());

    m_own = new QWidget;
    m_own->setWindowTitle(OwnTitle);
    m_own->resize(300, 200);
    m_own->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_own));

    const QString stub = QCoreApplication::applicationDirPath() + QStringLiteral("/tavrel_chatstub");
    QVERIFY2(QFile::exists(stub), qPrintable(stub));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    m_stub.setProcessEnvironment(environment);
    m_stub.setProcessChannelMode(QProcess::ForwardedChannels);
    m_stub.start(stub, {QStringLiteral("--group"), ChatTitle, QStringLiteral("--sent"), m_dir.filePath("sent"),
                        QStringLiteral("--inbox"), m_dir.filePath("inbox")});
    QVERIFY(m_stub.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT((m_chat = m_ws->findWindow(ChatTitle)) != 0, StartTimeoutMs);
    // Listed a moment before the window manager marks it shown.
    QTRY_VERIFY_WITH_TIMEOUT(m_ws->isWindowVisible(m_chat), StartTimeoutMs);
}

void TestWindowSystemX11::cleanupTestCase()
{
    if (m_stub.state() != QProcess::NotRunning) {
        m_stub.terminate();
        if (!m_stub.waitForFinished(5000))
            m_stub.kill();
        m_stub.waitForFinished(5000);
    }
    if (m_x) {
        for (WindowHandle window : qAsConst(m_rawWindows))
            XDestroyWindow(m_x, window);
        XCloseDisplay(m_x);
    }
    delete m_own;
    delete m_ws;
}

bool TestWindowSystemX11::bringChatForward()
{
    // Minimised first, as the trainer leaves it after each fetch: coming back, its input has the
    // focus whatever had it before.
    if (!m_ws->showWindow(m_chat, ShowCommand::Minimize) ||
        !QTest::qWaitFor([this] { return m_ws->isWindowMinimized(m_chat); }, 5000))
        return false;
    if (!m_ws->showWindow(m_chat, ShowCommand::ShowNormal) || !m_ws->setForegroundWindow(m_chat))
        return false;
    // Let the stub take the activation before keys arrive.
    QTest::qWait(50);
    return !m_ws->isWindowMinimized(m_chat);
}

QStringList TestWindowSystemX11::sentFiles() const
{
    return QDir(m_dir.filePath("sent")).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
}

WindowHandle TestWindowSystemX11::rawWindow()
{
    const WindowHandle window = XCreateSimpleWindow(m_x, DefaultRootWindow(m_x), 20, 20, 240, 120, 0, 0, 0);
    m_rawWindows.append(window);
    return window;
}

void TestWindowSystemX11::injectMessage(const QString& name, const QString& text)
{
    const QString inbox = m_dir.filePath("inbox");
    QFile file(QDir(inbox).filePath(name + QStringLiteral(".part")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    file.close();
    const QString message = QDir(inbox).filePath(name + QStringLiteral(".msg"));
    QVERIFY(file.rename(message));
    // The stub removes the file once the message is in its history.
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(message), 5000);
}

void TestWindowSystemX11::listsChatWindowWithChineseTitle()
{
    const auto windows = m_ws->topLevelWindows();
    auto chat = std::find_if(windows.begin(), windows.end(),
                             [this](const platform::WindowInfo& window) { return window.handle == m_chat; });
    QVERIFY(chat != windows.end());
    QCOMPARE(chat->title, ChatTitle);
    QVERIFY(chat->visible);
    QVERIFY(chat->enabled);
    QCOMPARE(m_ws->windowTitle(m_chat), ChatTitle);
    QVERIFY(!m_ws->isWindowMinimized(m_chat));
    // Each window once, and only windows the manager manages: no root, no Qt helper windows.
    QSet<WindowHandle> seen;
    for (const auto& window : windows) {
        QVERIFY(!seen.contains(window.handle));
        seen.insert(window.handle);
    }
    QVERIFY(seen.contains(m_own->winId()));
}

void TestWindowSystemX11::activationRaisesAndReports()
{
    QVERIFY(m_ws->setForegroundWindow(m_own->winId()));
    QCOMPARE(m_ws->foregroundWindow(), WindowHandle(m_own->winId()));
    QTRY_COMPARE(m_ws->topLevelWindows().first().handle, WindowHandle(m_own->winId()));

    QVERIFY(m_ws->setForegroundWindow(m_chat));
    QCOMPARE(m_ws->foregroundWindow(), m_chat);
    QTRY_COMPARE(m_ws->topLevelWindows().first().handle, m_chat);
    // Our window has really lost the focus, not just the property.
    QTRY_VERIFY(!m_own->isActiveWindow());
}

void TestWindowSystemX11::ownWindowFoundByTitleWithItsRectangles()
{
    const WindowHandle own = m_ws->findWindow(OwnTitle);
    QCOMPARE(own, WindowHandle(m_own->winId()));
    QVERIFY(m_ws->setForegroundWindow(own));
    QTRY_VERIFY(m_own->isActiveWindow());

    QRect client;
    QRect frame;
    QVERIFY(m_ws->clientRect(own, &client));
    QVERIFY(m_ws->windowRect(own, &frame));
    QCOMPARE(client, QRect(m_own->mapToGlobal(QPoint(0, 0)), m_own->size()));
    // The frame holds the title bar: it encloses the client area and is taller than it.
    QVERIFY(frame.contains(client));
    QVERIFY(frame.height() > client.height());
    QCOMPARE(frame, m_own->frameGeometry());
}

void TestWindowSystemX11::pasteAndSendReachChat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addRow("segment post") << QStringLiteral("春晓\n春眠不觉晓，处处闻啼鸟。\n-----第3段-余120字");
    QTest::addRow("result line") << QStringLiteral("第1段 速度88.52 击键5.21 码长2.73 回改0 校验:3fa0c");
    QTest::addRow("outside the basic plane") << QStringLiteral("生僻字𠀀𪚥与符号😀，半角 ASCII 混排");
}

void TestWindowSystemX11::pasteAndSendReachChat()
{
    QFETCH(QString, text);
    QGuiApplication::clipboard()->setText(text);
    const int before = sentFiles().size();

    QVERIFY(bringChatForward());
    QVERIFY(m_ws->keyChord(vk::Control, vk::V));
    // The stub fetches the clipboard from this process, which must keep its event loop running.
    QTest::qWait(100);
    QVERIFY(m_ws->keyChord(vk::Alt, vk::S));

    QTRY_COMPARE_WITH_TIMEOUT(sentFiles().size(), before + 1, 5000);
    QCOMPARE(readFile(QDir(m_dir.filePath("sent")).filePath(sentFiles().last())), text.toUtf8());
}

void TestWindowSystemX11::copyHistory_data()
{
    QTest::addColumn<bool>("byClick");
    QTest::addRow("tab") << false;
    QTest::addRow("click at the window centre") << true;
}

void TestWindowSystemX11::copyHistory()
{
    QFETCH(bool, byClick);
    const QString message = QStringLiteral("欢迎新人 %1\n第二行").arg(QTest::currentDataTag());
    injectMessage(QStringLiteral("m-%1").arg(byClick), message);

    // A text that the copy must replace; an input with the focus would copy nothing.
    const QString sentinel = QStringLiteral("剪贴板原样");
    QGuiApplication::clipboard()->setText(sentinel);
    QVERIFY(bringChatForward());
    if (byClick) {
        // The point the trainer computes: frame corner plus half the client size.
        QRect frame;
        QRect client;
        QVERIFY(m_ws->windowRect(m_chat, &frame));
        QVERIFY(m_ws->clientRect(m_chat, &client));
        QVERIFY(m_ws->setCursorPos(frame.left() + client.width() / 2, frame.top() + client.height() / 2));
        QTest::qWait(50);
        QVERIFY(m_ws->leftClick());
    } else {
        QVERIFY(m_ws->keyStroke(vk::Tab));
    }
    QTest::qWait(50);
    QVERIFY(m_ws->keyChord(vk::Control, vk::A));
    QVERIFY(m_ws->keyChord(vk::Control, vk::C));

    QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->text() != sentinel, 5000);
    const QString history = QGuiApplication::clipboard()->text();
    // The newest message comes last, on its own lines after the other member's sender line.
    QVERIFY2(history.endsWith(QLatin1Char('\n') + message), qPrintable(history));
    const QRegularExpression sender(QStringLiteral("(^|\n)张三 \\d\\d:\\d\\d:\\d\\d\n") +
                                    QRegularExpression::escape(message) + QStringLiteral("$"));
    QVERIFY2(sender.match(history).hasMatch(), qPrintable(history));
}

void TestWindowSystemX11::minimisedWindowStaysVisibleAndComesBack()
{
    QVERIFY(bringChatForward());
    QVERIFY(m_ws->showWindow(m_chat, ShowCommand::Minimize));
    QTRY_VERIFY(m_ws->isWindowMinimized(m_chat));
    QVERIFY(m_ws->isWindowVisible(m_chat));
    QTRY_VERIFY(m_ws->foregroundWindow() != m_chat);
    bool listedVisible = false;
    for (const auto& window : m_ws->topLevelWindows())
        listedVisible = listedVisible || (window.handle == m_chat && window.visible && window.title == ChatTitle);
    QVERIFY(listedVisible);

    QVERIFY(m_ws->showWindow(m_chat, ShowCommand::ShowNormal));
    QTRY_VERIFY(!m_ws->isWindowMinimized(m_chat));
    QVERIFY(m_ws->setForegroundWindow(m_chat));

    // Activating a minimised window directly brings it back as well.
    QVERIFY(m_ws->showWindow(m_chat, ShowCommand::Minimize));
    QTRY_VERIFY(m_ws->isWindowMinimized(m_chat));
    QVERIFY(m_ws->setForegroundWindow(m_chat));
    QTRY_VERIFY(!m_ws->isWindowMinimized(m_chat));

    // And the keys reach it again.
    const QString text = QStringLiteral("恢复后发送");
    QGuiApplication::clipboard()->setText(text);
    const int before = sentFiles().size();
    QVERIFY(bringChatForward());
    QVERIFY(m_ws->keyChord(vk::Control, vk::V));
    QTest::qWait(100);
    QVERIFY(m_ws->keyChord(vk::Alt, vk::S));
    QTRY_COMPARE_WITH_TIMEOUT(sentFiles().size(), before + 1, 5000);
    QCOMPARE(readFile(QDir(m_dir.filePath("sent")).filePath(sentFiles().last())), text.toUtf8());
}

void TestWindowSystemX11::refusedActivation_data()
{
    QTest::addColumn<int>("kind");
    QTest::addRow("no window") << 0;
    QTest::addRow("destroyed window") << 1;
    QTest::addRow("window never shown") << 2;
}

void TestWindowSystemX11::refusedActivation()
{
    QFETCH(int, kind);
    WindowHandle window = 0;
    if (kind == 1) {
        window = rawWindow();
        XDestroyWindow(m_x, window);
        m_rawWindows.removeAll(window);
        XSync(m_x, false);
    } else if (kind == 2) {
        window = rawWindow();
        XSync(m_x, false);
    }
    QVERIFY(bringChatForward());
    QVERIFY(!m_ws->setForegroundWindow(window, 300));
    // The chat window keeps the focus: a caller that sends no keys leaves everything as it was.
    QCOMPARE(m_ws->foregroundWindow(), m_chat);
}

void TestWindowSystemX11::badHandleAnswersEmpty_data()
{
    QTest::addColumn<bool>("destroyed");
    QTest::addRow("destroyed window") << true;
    QTest::addRow("id nobody owns") << false;
}

void TestWindowSystemX11::badHandleAnswersEmpty()
{
    QFETCH(bool, destroyed);
    WindowHandle window = 0x7ffff0;
    if (destroyed) {
        window = rawWindow();
        XDestroyWindow(m_x, window);
        m_rawWindows.removeAll(window);
        XSync(m_x, false);
    }
    QVERIFY(m_ws->windowTitle(window).isEmpty());
    QVERIFY(!m_ws->isWindowVisible(window));
    QVERIFY(!m_ws->isWindowEnabled(window));
    QVERIFY(!m_ws->isWindowMinimized(window));
    QVERIFY(!m_ws->showWindow(window, ShowCommand::Minimize));
    QVERIFY(!m_ws->showWindow(window, ShowCommand::ShowNormal));
    QRect rect(1, 2, 3, 4);
    QVERIFY(!m_ws->windowRect(window, &rect));
    QVERIFY(!m_ws->clientRect(window, &rect));
    QCOMPARE(rect, QRect(1, 2, 3, 4));
    // The connection is still good afterwards.
    QCOMPARE(m_ws->findWindow(ChatTitle), m_chat);
}

void TestWindowSystemX11::legacyTitle_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addRow("STRING is Latin-1") << QByteArrayLiteral("STRING") << QByteArray("Fen\xeatre")
                                       << QStringLiteral("Fenêtre");
    QTest::addRow("UTF8_STRING") << QByteArrayLiteral("UTF8_STRING") << QStringLiteral("旧式群").toUtf8()
                                 << QStringLiteral("旧式群");
    // GB2312 designated to the right half, then 测试 in that set.
    QTest::addRow("COMPOUND_TEXT") << QByteArrayLiteral("COMPOUND_TEXT") << QByteArray("\x1b$)A\xb2\xe2\xca\xd4")
                                   << QStringLiteral("测试");
}

void TestWindowSystemX11::legacyTitle()
{
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    // A window without _NET_WM_NAME: the old WM_NAME property in one of its encodings.
    const WindowHandle window = rawWindow();
    XChangeProperty(m_x, window, XA_WM_NAME, XInternAtom(m_x, type.constData(), false), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
    XSync(m_x, false);
    QCOMPARE(m_ws->windowTitle(window), title);
}

void TestWindowSystemX11::windowRefusingInputIsNotEnabled()
{
    const WindowHandle window = rawWindow();
    XStoreName(m_x, window, "no input");
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = false;
    XSetWMHints(m_x, window, &hints);
    XMapWindow(m_x, window);
    XSync(m_x, false);

    // The window manager lists a new window a moment before it marks it shown.
    QTRY_VERIFY_WITH_TIMEOUT(m_ws->findWindow(QStringLiteral("no input")) == window, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_ws->isWindowVisible(window), 5000);
    QVERIFY(!m_ws->isWindowEnabled(window));
    QVERIFY(m_ws->isWindowEnabled(m_chat));

    // Unmapped by its owner, it leaves the managed list and is no longer visible.
    XUnmapWindow(m_x, window);
    XSync(m_x, false);
    QTRY_VERIFY(m_ws->findWindow(QStringLiteral("no input")) == 0);
    QVERIFY(!m_ws->isWindowVisible(window));
}

QTEST_MAIN(TestWindowSystemX11)
#include "test_windowsystem_x11.moc"

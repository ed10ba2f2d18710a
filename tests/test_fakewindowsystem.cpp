#include "platform/fakewindowsystem.h"

#include <QtTest>

using platform::FakeWindowSystem;
using platform::ShowCommand;
using platform::WindowHandle;
namespace vk = platform::vk;

namespace {

constexpr WindowHandle Chat = 0x2a;
constexpr WindowHandle Self = 0x51;

FakeWindowSystem::Window makeWindow(WindowHandle handle, const QString& title)
{
    FakeWindowSystem::Window window;
    window.handle = handle;
    window.title = title;
    window.frame = QRect(100, 50, 400, 300);
    window.client = QRect(104, 80, 392, 266);
    return window;
}

} // namespace

// The recording fake stands in for the desktop in the main window's tests, so its answers must
// follow the same rules as the X11 one: activation refused for hidden, disabled or refusing
// windows, minimised windows still visible, keys recorded with the window they would reach.
class TestFakeWindowSystem : public QObject
{
    Q_OBJECT

private slots:
    void listsScriptedWindowsTopFirst();
    void activation_data();
    void activation();
    void postingSequenceIsRecordedInOrder();
    void minimiseDropsFocusAndKeepsWindowVisible();
    void reactionSeesEveryCallBeforeItActs();
    void badHandlesAndUnknownKeys();
    void injectedSystemReplacesDefault();
};

void TestFakeWindowSystem::listsScriptedWindowsTopFirst()
{
    FakeWindowSystem desktop;
    desktop.addWindow(makeWindow(Self, QStringLiteral("Tavrel 1.36")));
    desktop.addWindow(makeWindow(Chat, QStringLiteral("测试群")));
    auto hidden = makeWindow(0x77, QStringLiteral("隐藏群"));
    hidden.visible = false;
    desktop.addWindow(hidden);

    const auto windows = desktop.topLevelWindows();
    QCOMPARE(windows.size(), 3);
    QCOMPARE(windows.at(0).handle, WindowHandle(0x77));
    QCOMPARE(windows.at(0).visible, false);
    QCOMPARE(windows.at(1).title, QStringLiteral("测试群"));
    QCOMPARE(windows.at(2).handle, Self);
    QCOMPARE(desktop.findWindow(QStringLiteral("Tavrel 1.36")), Self);
    QCOMPARE(desktop.findWindow(QStringLiteral("测试")), WindowHandle(0));

    // Activating the bottom window brings it to the top, as the X11 stacking list does.
    QVERIFY(desktop.setForegroundWindow(Self));
    QCOMPARE(desktop.topLevelWindows().first().handle, Self);
}

void TestFakeWindowSystem::activation_data()
{
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("accepts");
    QTest::addColumn<bool>("minimized");
    QTest::addColumn<bool>("active");

    QTest::addRow("normal window") << true << true << true << false << true;
    QTest::addRow("minimised window is restored") << true << true << true << true << true;
    QTest::addRow("hidden window") << false << true << true << false << false;
    QTest::addRow("disabled window") << true << false << true << false << false;
    QTest::addRow("refusing window") << true << true << false << false << false;
}

void TestFakeWindowSystem::activation()
{
    QFETCH(bool, visible);
    QFETCH(bool, enabled);
    QFETCH(bool, accepts);
    QFETCH(bool, minimized);
    QFETCH(bool, active);

    FakeWindowSystem desktop;
    desktop.addWindow(makeWindow(Self, QStringLiteral("Tavrel 1.36")));
    auto chat = makeWindow(Chat, QStringLiteral("测试群"));
    chat.visible = visible;
    chat.enabled = enabled;
    chat.acceptsActivation = accepts;
    chat.minimized = minimized;
    desktop.addWindow(chat);
    desktop.setForeground(Self);

    QCOMPARE(desktop.setForegroundWindow(Chat, 300), active);
    QCOMPARE(desktop.foregroundWindow(), active ? Chat : Self);
    if (active)
        QVERIFY(!desktop.isWindowMinimized(Chat));
    QCOMPARE(desktop.calls().first().text(), QStringLiteral("setForegroundWindow 0x2a 300"));
}

void TestFakeWindowSystem::postingSequenceIsRecordedInOrder()
{
    FakeWindowSystem desktop;
    desktop.addWindow(makeWindow(Chat, QStringLiteral("测试群")));
    desktop.addWindow(makeWindow(Self, QStringLiteral("Tavrel 1.36")));
    desktop.setForeground(Self);

    QVERIFY(desktop.showWindow(Chat, ShowCommand::ShowNormal));
    QVERIFY(desktop.setForegroundWindow(Chat));
    QVERIFY(desktop.keyChord(vk::Control, vk::V));
    QVERIFY(desktop.keyChord(vk::Alt, vk::S));

    const QStringList expected{
        QStringLiteral("showWindow 0x2a normal"), QStringLiteral("setForegroundWindow 0x2a 500"),
        QStringLiteral("keyEvent 17 down"),       QStringLiteral("keyEvent 86 down"),
        QStringLiteral("keyEvent 86 up"),         QStringLiteral("keyEvent 17 up"),
        QStringLiteral("keyEvent 18 down"),       QStringLiteral("keyEvent 83 down"),
        QStringLiteral("keyEvent 83 up"),         QStringLiteral("keyEvent 18 up"),
    };
    QCOMPARE(desktop.callTexts(), expected);
    QVERIFY(desktop.heldKeys().isEmpty());

    // The first two calls happened while the trainer was in front, every key after the chat
    // window came forward; times never run backwards.
    const auto& calls = desktop.calls();
    QCOMPARE(calls.at(0).foreground, Self);
    QCOMPARE(calls.at(1).foreground, Self);
    for (int i = 2; i < calls.size(); ++i) {
        QCOMPARE(calls.at(i).foreground, Chat);
        QVERIFY(calls.at(i).msecs >= calls.at(i - 1).msecs);
    }
}

void TestFakeWindowSystem::minimiseDropsFocusAndKeepsWindowVisible()
{
    FakeWindowSystem desktop;
    desktop.addWindow(makeWindow(Chat, QStringLiteral("测试群")));
    QVERIFY(desktop.setForegroundWindow(Chat));

    QVERIFY(desktop.showWindow(Chat, ShowCommand::Minimize));
    QVERIFY(desktop.isWindowMinimized(Chat));
    QVERIFY(desktop.isWindowVisible(Chat));
    QCOMPARE(desktop.topLevelWindows().first().visible, true);
    QCOMPARE(desktop.foregroundWindow(), WindowHandle(0));

    QVERIFY(desktop.showWindow(Chat, ShowCommand::ShowNormal));
    QVERIFY(!desktop.isWindowMinimized(Chat));
    QCOMPARE(desktop.callTexts(),
             QStringList({QStringLiteral("setForegroundWindow 0x2a 500"), QStringLiteral("showWindow 0x2a minimize"),
                          QStringLiteral("showWindow 0x2a normal")}));
    // Queries are recorded too, only left out of callTexts() unless asked for.
    QVERIFY(desktop.callTexts(true).contains(QStringLiteral("isWindowMinimized 0x2a")));
}

void TestFakeWindowSystem::reactionSeesEveryCallBeforeItActs()
{
    FakeWindowSystem desktop;
    auto chat = makeWindow(Chat, QStringLiteral("测试群"));
    desktop.addWindow(chat);
    QVERIFY(desktop.setForegroundWindow(Chat));
    desktop.clearCalls();

    // The scripted chat window copies its history when C goes down with Control held.
    int copies = 0;
    QStringList seen;
    desktop.setReaction([&](const FakeWindowSystem::Call& call) {
        seen << call.name;
        if (call.name == QLatin1String("keyEvent") && call.args.value(0).toInt() == vk::C &&
            call.args.value(1).toString() == QLatin1String("down") && desktop.heldKeys().contains(vk::Control) &&
            call.foreground == Chat)
            ++copies;
    });

    QVERIFY(desktop.keyStroke(vk::Tab));
    QVERIFY(desktop.keyChord(vk::Control, vk::A));
    QVERIFY(desktop.keyStroke(vk::C));
    QCOMPARE(copies, 0);
    QVERIFY(desktop.keyChord(vk::Control, vk::C));
    QCOMPARE(copies, 1);
    QCOMPARE(seen.size(), desktop.calls().size());
}

void TestFakeWindowSystem::badHandlesAndUnknownKeys()
{
    FakeWindowSystem desktop;
    desktop.addWindow(makeWindow(Chat, QStringLiteral("测试群")));

    QRect rect(1, 2, 3, 4);
    QVERIFY(!desktop.windowRect(0x99, &rect));
    QVERIFY(!desktop.clientRect(0, &rect));
    QCOMPARE(rect, QRect(1, 2, 3, 4));
    QVERIFY(desktop.windowRect(Chat, &rect));
    QCOMPARE(rect, QRect(100, 50, 400, 300));
    QVERIFY(desktop.clientRect(Chat, &rect));
    QCOMPARE(rect, QRect(104, 80, 392, 266));

    QVERIFY(desktop.windowTitle(0x99).isEmpty());
    QVERIFY(!desktop.isWindowVisible(0x99));
    QVERIFY(!desktop.isWindowEnabled(0));
    QVERIFY(!desktop.showWindow(0x99, ShowCommand::ShowNormal));
    QVERIFY(!desktop.setForegroundWindow(0));

    // Enter has no key in this layer; the attempt is still recorded and holds nothing down.
    QVERIFY(!desktop.keyEvent(13, false));
    QVERIFY(desktop.heldKeys().isEmpty());
    QCOMPARE(desktop.callTexts().last(), QStringLiteral("keyEvent 13 down"));

    QVERIFY(desktop.setCursorPos(300, 200));
    QVERIFY(desktop.leftClick());
    QCOMPARE(desktop.cursorPos(), QPoint(300, 200));
    QCOMPARE(desktop.callTexts().mid(desktop.callTexts().size() - 3),
             QStringList({QStringLiteral("setCursorPos 300 200"), QStringLiteral("mouseLeftButton down"),
                          QStringLiteral("mouseLeftButton up")}));
}

void TestFakeWindowSystem::injectedSystemReplacesDefault()
{
    // Without a GUI application there is no X display: the default is an empty desktop on which
    // nothing can be activated, so no key is ever sent from a test that forgot to inject.
    platform::WindowSystem& fallback = platform::windowSystem();
    QVERIFY(fallback.topLevelWindows().isEmpty());
    QVERIFY(!fallback.setForegroundWindow(Chat, 0));

    FakeWindowSystem desktop;
    desktop.addWindow(makeWindow(Chat, QStringLiteral("测试群")));
    platform::setWindowSystem(&desktop);
    QCOMPARE(&platform::windowSystem(), static_cast<platform::WindowSystem*>(&desktop));
    QCOMPARE(platform::windowSystem().findWindow(QStringLiteral("测试群")), Chat);
    platform::setWindowSystem(nullptr);
    QCOMPARE(&platform::windowSystem(), &fallback);
}

QTEST_GUILESS_MAIN(TestFakeWindowSystem)
#include "test_fakewindowsystem.moc"

// The chat-window road of the main window against the recording desktop: the window list and its
// filters, the group menu, the posting sequence with its waits and after-send actions, every
// refusal of the guard, the queue of chat operations, the capture of a posted segment, and the
// result branch at the end of a run.
#include "app/app.h"
#include "platform/fakewindowsystem.h"
#include "testsupport.h"
#include "typing/capture.h"
#include "typing/frmmain.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>

#include <functional>
#include <memory>

using platform::FakeWindowSystem;
using Call = FakeWindowSystem::Call;

namespace {

constexpr platform::WindowHandle Self = 0x1;
constexpr platform::WindowHandle Chat = 0x10;
const QString ChatTitle = QStringLiteral("测试群");
const QString Line = QStringLiteral("第1段 速度120.00 击键6.00 码长3.00 校检:abcde");

void consumeQuitRequest()
{
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

// Notes every text the title label shows while it is alive, so a flashed message is seen.
class TitleWatcher : public QObject
{
public:
    explicit TitleWatcher(QLabel* label) : m_label(label)
    {
        connect(&m_poll, &QTimer::timeout, this, &TitleWatcher::sample);
        m_poll.start(5);
    }
    // Also what the title shows now: a message meant to stay is never followed by another event.
    bool saw(const QString& part)
    {
        sample();
        return std::any_of(seen.begin(), seen.end(), [&part](const QString& text) { return text.contains(part); });
    }
    QStringList seen;

private:
    void sample()
    {
        if (seen.isEmpty() || seen.last() != m_label->text())
            seen << m_label->text();
    }
    QLabel* m_label;
    QTimer m_poll;
};

// Answers the next modal box with yes or no and keeps its text.
class BoxAnswerer : public QObject
{
public:
    explicit BoxAnswerer(bool yes)
    {
        connect(&m_poll, &QTimer::timeout, this, [this, yes] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            ++boxes;
            if (auto* info = modal->findChild<QLabel*>(QStringLiteral("labInfo")))
                text = info->text();
            if (whileShown)
                whileShown();
            modal->findChild<QPushButton*>(yes ? QStringLiteral("btnOk") : QStringLiteral("btnCancel"))->click();
        });
        m_poll.start(10);
    }
    int boxes = 0;
    QString text;
    // What the user does elsewhere while the box is up (hot keys and timers still run).
    std::function<void()> whileShown;

private:
    QTimer m_poll;
};

} // namespace

class TestChat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { App::initResources(); }
    void init();
    void cleanup();

    void windowListFilters_data();
    void windowListFilters();
    void ownWindowDuplicatesAndStaleBinding();
    void groupMenu();
    void nextGroupCycles();
    void postSequence_data();
    void postSequence();
    void guardRefusals_data();
    void guardRefusals();
    void resultPostRules_data();
    void resultPostRules();
    void operationsQueueInOrder();
    void capture_data();
    void capture();
    void captureWithoutMarker_data();
    void captureWithoutMarker();
    void fetchMethodFromMenu();
    void resultBranch_data();
    void resultBranch();
    void automaticNextStep_data();
    void automaticNextStep();

private:
    void addWindow(platform::WindowHandle handle, const QString& title)
    {
        m_desktop->addWindow(
            {handle, title, true, true, false, true, QRect(100, 100, 500, 400), QRect(104, 130, 492, 366)});
    }
    void openWindow()
    {
        m_window = std::make_unique<frmMain>();
        m_window->loadArticle(QStringLiteral("春眠不觉晓处处闻啼鸟"));
        m_desktop->clearCalls();
    }
    void bindChat();
    // The window's last run, as the chain leaves it just before its result branch.
    void setFinishedRun(const QString& speed, const QString& keyRate, int wrong);
    // The keys sent, as "17 down" and so on.
    QStringList keyTexts() const
    {
        return m_desktop->callTexts().filter(QRegularExpression("^keyEvent ")).replaceInStrings("keyEvent ", "");
    }
    qint64 timeOf(const QString& text, int occurrence = 0) const
    {
        for (const Call& call : m_desktop->calls())
            if (call.text() == text && occurrence-- == 0)
                return call.msecs;
        return -1;
    }

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<FakeWindowSystem> m_desktop;
    std::unique_ptr<frmMain> m_window;
    // The clipboard text at each Ctrl+V, as the chat window would paste it.
    QStringList m_pasted;
};

void TestChat::init()
{
    m_dir = std::make_unique<TestDir>();
    App::resetConfig();
    App::DbOnline = false;
    App::ChatHwnd = 0;
    App::SelfHwnd = 0;
    App::ChatTitle.clear();
    App::ChatTitles.clear();
    App::CanUpload = false;
    App::Gdyslim = 60;
    m_pasted.clear();
    m_desktop = std::make_unique<FakeWindowSystem>();
    m_desktop->setReaction([this](const Call& call) {
        if (call.text() == QStringLiteral("keyEvent 86 down"))
            m_pasted << QApplication::clipboard()->text();
    });
    platform::setWindowSystem(m_desktop.get());
    addWindow(Self, App::AppTitle);
}

void TestChat::cleanup()
{
    if (m_window) {
        m_window->close();
        consumeQuitRequest();
    }
    m_window.reset();
    platform::setWindowSystem(nullptr);
    m_desktop.reset();
    m_dir.reset();
}

void TestChat::bindChat()
{
    addWindow(Chat, ChatTitle);
    openWindow();
    App::ChatTitle = ChatTitle;
    m_window->getHwnd();
    QCOMPARE(App::ChatHwnd, Chat);
    m_desktop->clearCalls();
}

void TestChat::setFinishedRun(const QString& speed, const QString& keyRate, int wrong)
{
    frmMain& w = *m_window;
    w.resultText = Line;
    w.shortResult = QStringLiteral("短成绩");
    w.speedText = speed;
    w.resultCells = QVector<QString>(15, QStringLiteral("1")).toList();
    w.resultCells[1] = keyRate;
    w.resultCells[14] = QString::number(wrong);
    w.wrongCount = wrong;
    w.finished = true;
    w.runEndCount = 1; // any reset puts it back to 0
}

// ---- Window list and binding ----

void TestChat::windowListFilters_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("latin");
    QTest::addColumn<bool>("digits");
    QTest::addColumn<bool>("length");
    QTest::addColumn<bool>("listed");

    QTest::addRow("Chinese only") << ChatTitle << true << true << true << true;
    QTest::addRow("Latin letter") << QStringLiteral("跟打Q群") << true << true << true << false;
    QTest::addRow("Latin letter allowed") << QStringLiteral("跟打Q群") << false << true << true << true;
    QTest::addRow("digit") << QStringLiteral("跟打2群") << true << true << true << false;
    QTest::addRow("digit allowed") << QStringLiteral("跟打2群") << true << false << true << true;
    QTest::addRow("12 characters") << QStringLiteral("一二三四五六七八九十甲乙") << true << true << true << true;
    QTest::addRow("13 characters") << QStringLiteral("一二三四五六七八九十甲乙丙") << true << true << true << false;
    QTest::addRow("13 characters, no limit")
        << QStringLiteral("一二三四五六七八九十甲乙丙") << true << true << false << true;
    QTest::addRow("sending-state panel") << QStringLiteral("发文状态") << true << true << true << false;
    QTest::addRow("desktop") << QStringLiteral("桌面") << true << true << true << false;
}

void TestChat::windowListFilters()
{
    QFETCH(QString, title);
    QFETCH(bool, latin);
    QFETCH(bool, digits);
    QFETCH(bool, length);
    QFETCH(bool, listed);
    App::Gdyw = latin;
    App::Gdsz = digits;
    App::Gdcd = length;
    App::Gdcdlim = 12;
    addWindow(Chat, title);
    openWindow();

    // Building the window lists once; the own window is found but never offered.
    QCOMPARE(App::SelfHwnd, Self);
    QCOMPARE(App::ChatTitles, listed ? QStringList{title} : QStringList());
    QStringList entries;
    for (QAction* action : m_window->m_chatMenu->actions())
        entries << action->text();
    QStringList expected{QStringLiteral("刷新"), QStringLiteral("潜水"), QString()};
    if (listed)
        expected << title;
    QCOMPARE(entries, expected);
}

void TestChat::ownWindowDuplicatesAndStaleBinding()
{
    // Two windows of one title, and two that are not usable at all.
    addWindow(0x12, ChatTitle);
    addWindow(0x11, ChatTitle);
    addWindow(0x13, QStringLiteral("隐藏群"));
    m_desktop->window(0x13)->visible = false;
    addWindow(0x14, QStringLiteral("禁用群"));
    m_desktop->window(0x14)->enabled = false;
    openWindow();
    QCOMPARE(App::ChatTitles, QStringList{ChatTitle});

    // The title is listed once, but each window of that title is bound in turn: the last one met.
    App::ChatTitle = ChatTitle;
    m_window->getHwnd();
    QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x12));

    // A window that has gone keeps its handle; the guard then refuses to post into it.
    m_desktop->removeWindow(0x11);
    m_desktop->removeWindow(0x12);
    m_window->getHwnd();
    QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x12));
    m_window->resultText = Line;
    m_window->cjSlot();
    QVERIFY(keyTexts().isEmpty());
}

void TestChat::groupMenu()
{
    addWindow(0x11, QStringLiteral("乙群"));
    addWindow(0x10, QStringLiteral("甲群"));
    openWindow();
    frmMain& w = *m_window;
    const auto entry = [&w](const QString& text) -> QAction* {
        for (QAction* action : w.m_chatMenu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    };

    QVERIFY(entry(QStringLiteral("乙群")));
    entry(QStringLiteral("乙群"))->trigger();
    QCOMPARE(App::ChatTitle, QStringLiteral("乙群"));
    QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x11));
    QCOMPARE(w.labChat->text(), QStringLiteral("QQ群: 乙群"));

    // Refreshing lists a new group but chooses nothing, whichever of the menu's and the entry's own
    // signal comes first; its own entry goes only after its signal.
    addWindow(0x12, QStringLiteral("丙群"));
    QPointer<QAction> refresh = entry(QStringLiteral("刷新"));
    w.qmenuActionClick(refresh);
    QCOMPARE(App::ChatTitle, QStringLiteral("乙群"));
    refresh->trigger();
    QVERIFY(refresh);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!refresh);
    QVERIFY(entry(QStringLiteral("丙群")));
    QCOMPARE(App::ChatTitle, QStringLiteral("乙群"));
    QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x11));

    // Lurking clears the binding: the result line is still copied, but no key is sent.
    entry(QStringLiteral("潜水"))->trigger();
    QCOMPARE(App::ChatHwnd, platform::WindowHandle(0));
    QCOMPARE(w.labChat->text(), QStringLiteral("Tavrel潜水中……"));
    w.resultText = Line;
    m_desktop->clearCalls();
    w.cjSlot();
    QCOMPARE(QApplication::clipboard()->text(), Line);
    QVERIFY(keyTexts().isEmpty());

    App::Gdqs = true;
    entry(QStringLiteral("甲群"))->trigger();
    QCOMPARE(w.labChat->text(), QStringLiteral("QQ群: <font color='blue';>甲群</font>"));
    QCOMPARE(w.labChat->toolTip(), QStringLiteral("潜水中"));
}

void TestChat::nextGroupCycles()
{
    addWindow(0x12, QStringLiteral("丙群"));
    addWindow(0x11, QStringLiteral("乙群"));
    addWindow(0x10, QStringLiteral("甲群"));
    openWindow();
    QStringList chosen;
    for (int i = 0; i < 4; ++i) {
        m_window->hqSlot();
        chosen << App::ChatTitle;
    }
    QCOMPARE(chosen, QStringList({"乙群", "丙群", "甲群", "乙群"}));
    QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x11));

    // With no group at all the choice stays.
    for (platform::WindowHandle handle : {0x10, 0x11, 0x12})
        m_desktop->removeWindow(handle);
    m_window->hqSlot();
    QCOMPARE(App::ChatTitle, QStringLiteral("乙群"));
}

// ---- Posting ----

void TestChat::postSequence_data()
{
    QTest::addColumn<QString>("afterSend");
    QTest::addColumn<QStringList>("afterCalls");
    QTest::addRow("back to the trainer") << QStringLiteral("激活跟打器")
                                         << QStringList{"showWindow 0x1 normal", "setForegroundWindow 0x1 500"};
    QTest::addRow("minimise") << QStringLiteral("最小化窗口") << QStringList{"showWindow 0x10 minimize"};
    QTest::addRow("leave it") << QStringLiteral("不处理") << QStringList();
}

void TestChat::postSequence()
{
    QFETCH(QString, afterSend);
    QFETCH(QStringList, afterCalls);
    App::Gdjs = afterSend;
    App::Gdyslim = 120;
    bindChat();
    m_window->resultText = Line;
    m_window->cjSlot();
    m_desktop->foregroundWindow(); // a query that only marks the time the post returned
    const qint64 end = m_desktop->calls().last().msecs;

    const QStringList keys{"17 down", "86 down", "86 up", "17 up", "18 down", "83 down", "83 up", "18 up"};
    QStringList expected{"showWindow 0x10 normal", "setForegroundWindow 0x10 500"};
    for (const QString& key : keys)
        expected << QStringLiteral("keyEvent ") + key;
    QCOMPARE(m_desktop->callTexts(), expected + afterCalls);
    QCOMPARE(m_pasted, QStringList{Line});
    for (const Call& call : m_desktop->calls())
        if (call.name == QStringLiteral("keyEvent"))
            QCOMPARE(call.foreground, Chat);

    // The waits: 50 ms after activation, Gdyslim after the paste, 300 ms after sending.
    QVERIFY(timeOf("keyEvent 17 down") - timeOf("setForegroundWindow 0x10 500") >= 50);
    QVERIFY(timeOf("keyEvent 18 down") - timeOf("keyEvent 17 up") >= 120);
    const qint64 afterAlt = afterCalls.isEmpty() ? end : timeOf(afterCalls.first());
    QVERIFY(afterAlt - timeOf("keyEvent 18 up") >= 300);

    // Back in the trainer, the enumeration found the chat window again.
    QCOMPARE(App::ChatHwnd, Chat);
}

void TestChat::guardRefusals_data()
{
    QTest::addColumn<int>("refusal");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<bool>("captureTried");
    QTest::addRow("nothing bound") << 0 << QStringList() << false;
    QTest::addRow("bound to the own window") << 1 << QStringList() << false;
    QTest::addRow("hidden") << 2 << QStringList() << false;
    QTest::addRow("disabled") << 3 << QStringList() << false;
    QTest::addRow("lurking") << 4 << QStringList() << true;
    QTest::addRow("activation refused") << 5 << QStringList() << true;
    // The user clicks another window while the paste settles: no Alt+S into it.
    QTest::addRow("focus lost after the paste") << 6 << QStringList{"17 down", "86 down", "86 up", "17 up"} << true;
}

void TestChat::guardRefusals()
{
    QFETCH(int, refusal);
    QFETCH(QStringList, keys);
    QFETCH(bool, captureTried);
    bindChat();
    frmMain& w = *m_window;
    switch (refusal) {
    case 0:
        App::ChatHwnd = 0;
        break;
    case 1:
        App::ChatHwnd = Self;
        break;
    case 2:
        m_desktop->window(Chat)->visible = false;
        break;
    case 3:
        m_desktop->window(Chat)->enabled = false;
        break;
    case 4:
        App::ChatTitle = QStringLiteral("潜水");
        break;
    case 5:
        m_desktop->window(Chat)->acceptsActivation = false;
        break;
    case 6:
        m_desktop->setReaction([this](const Call& call) {
            if (call.text() == QStringLiteral("keyEvent 17 up"))
                m_desktop->setForeground(Self);
        });
        break;
    }
    QApplication::clipboard()->setText(QStringLiteral("别的内容"));
    TitleWatcher title(w.findChild<QLabel*>(QStringLiteral("lab_Title")));
    w.resultText = Line;
    w.cjSlot();
    QCOMPARE(keyTexts(), keys);
    // The line is on the clipboard whether or not it was sent.
    QCOMPARE(QApplication::clipboard()->text(), Line);
    QCOMPARE(title.saw(QStringLiteral("聊天窗口未能激活，未发送")), refusal >= 5);

    // The capture tests all but the lurk title; refused, it touches nothing at all.
    m_desktop->clearCalls();
    w.zdzwSlot();
    QCOMPARE(!m_desktop->callTexts().isEmpty(), captureTried);
}

void TestChat::resultPostRules_data()
{
    // What differs from the defaults: "hand" posts by the command instead of the end of a run;
    // "wrong" has two wrong characters; "anyWrong" clears Gdcz; "lurk" sets Gdqs; "limit" sets Gdsd
    // (limit 200) for a speed of 200.00, "fast" for 200.01; "cycle" runs a sending cycle; "team"
    // clears Dl.
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("posted");
    QTest::addRow("plain") << "" << true;
    QTest::addRow("wrong characters kept back") << "wrong" << false;
    QTest::addRow("wrong characters by hand") << "wrong hand" << true;
    QTest::addRow("wrong characters allowed") << "wrong anyWrong" << true;
    QTest::addRow("lurking") << "lurk" << false;
    QTest::addRow("at the speed limit") << "limit" << false;
    QTest::addRow("above the speed limit") << "limit fast" << true;
    QTest::addRow("solo practice in a cycle") << "cycle" << false;
    QTest::addRow("cycle, not solo") << "cycle team" << true;
}

void TestChat::resultPostRules()
{
    QFETCH(QString, setting);
    QFETCH(bool, posted);
    const QStringList set = setting.split(QLatin1Char(' '));
    App::Gdcz = !set.contains("anyWrong");
    App::Gdqs = set.contains("lurk");
    App::Gdsd = set.contains("limit");
    App::Gdsdlim = 200;
    App::Dl = !set.contains("team");
    App::Gdjs = QStringLiteral("不处理");
    bindChat();
    frmMain& w = *m_window;
    w.sendStopped = !set.contains("cycle");
    setFinishedRun(set.contains("fast") ? "200.01" : "200.00", QStringLiteral("6.00"), set.contains("wrong") ? 2 : 0);

    // Whatever the user copied after the run ended is not what goes to the group.
    QApplication::clipboard()->setText(QStringLiteral("用户复制的内容"));
    if (set.contains("hand"))
        w.cjSlot();
    else
        w.sendResultAndNext(w.takeFinishedRun());
    QCOMPARE(m_pasted, posted ? QStringList{Line} : QStringList());
}

void TestChat::operationsQueueInOrder()
{
    App::Gdjs = QStringLiteral("不处理");
    bindChat();
    frmMain& w = *m_window;
    w.textTitle = QStringLiteral("春晓");
    w.segmentHeader = QStringLiteral("第2段");
    w.fullText = QString(30, QChar(0x6625));
    App::SentText = QString(20, QChar(0x6625));
    const QString post = buildFawenPost(w.textTitle, w.passage, w.segmentHeader, 10);
    const QString history = QStringLiteral("张三 12:00:00\n") +
                            buildFawenPost(QStringLiteral("新文"), QStringLiteral("夜来风雨声"), "第3段", 5);

    // During the first post's wait a hot key asks for the segment post and a capture; both wait
    // their turn and no key of theirs comes in between.
    int keysWhenAsked = -1;
    m_desktop->setReaction([&](const Call& call) {
        if (call.text() == QStringLiteral("keyEvent 86 down")) {
            m_pasted << QApplication::clipboard()->text();
            if (m_pasted.size() == 1)
                QTimer::singleShot(0, &w, [&] {
                    keysWhenAsked = keyTexts().size();
                    w.shSlot();
                    w.zdzwSlot();
                    QCOMPARE(keyTexts().size(), keysWhenAsked);
                });
        } else if (call.text() == QStringLiteral("keyEvent 67 down")) {
            QApplication::clipboard()->setText(history);
        }
    });
    w.resultText = Line;
    w.cjSlot();

    QCOMPARE(keysWhenAsked, 4);
    QCOMPARE(m_pasted, QStringList({Line, post}));
    const QStringList paste{"17 down", "86 down", "86 up", "17 up", "18 down", "83 down", "83 up", "18 up"};
    const QStringList copy{"9 down", "9 up",    "17 down", "65 down", "65 up",
                           "17 up",  "17 down", "67 down", "67 up",   "17 up"};
    QCOMPARE(keyTexts(), paste + paste + copy);
    QCOMPARE(w.passage, QStringLiteral("夜来风雨声"));
    QCOMPARE(w.segmentHeader, QStringLiteral("第3段"));
}

// ---- Capture ----

void TestChat::capture_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QStringList>("focusCalls");
    const QStringList tab{"keyEvent 9 down", "keyEvent 9 up"};
    // Frame corner (100, 100) plus half the client size (492 x 366).
    const QStringList click{"setCursorPos 346 283", "mouseLeftButton down", "mouseLeftButton up"};
    QTest::addRow("tab") << 0 << QStringLiteral("第4段") << tab;
    QTest::addRow("mouse") << 1 << QStringLiteral("第4段") << click;
    QTest::addRow("contest segment") << 0 << QStringLiteral("第999段") << tab;
    QTest::addRow("no focus step") << 2 << QStringLiteral("第4段") << QStringList();
}

void TestChat::capture()
{
    QFETCH(int, way);
    QFETCH(QString, header);
    QFETCH(QStringList, focusCalls);
    App::GetWay = way;
    bindChat();
    frmMain& w = *m_window;
    w.labSegment->setToolTip(QStringLiteral("比赛认证段"));
    App::CanUpload = true;
    const QString history = QStringLiteral("张三 12:00:00\n") +
                            buildFawenPost(QStringLiteral("旧文"), QStringLiteral("旧的一段"), "第3段", 100) +
                            QStringLiteral("\r\n张三 12:01:00\r\n") +
                            buildFawenPost(QStringLiteral("春晓"), QStringLiteral("夜来风雨声花落知多少"), header, 50);
    m_desktop->setReaction([&history](const Call& call) {
        if (call.text() == QStringLiteral("keyEvent 67 down"))
            QApplication::clipboard()->setText(history);
    });
    w.zdzwSlot();

    QStringList expected{"showWindow 0x10 normal", "setForegroundWindow 0x10 500"};
    expected << focusCalls;
    for (const QString key : {"17 down", "65 down", "65 up", "17 up", "17 down", "67 down", "67 up", "17 up"})
        expected << QStringLiteral("keyEvent ") + key;
    expected << QStringLiteral("showWindow 0x10 minimize");
    QCOMPARE(m_desktop->callTexts(), expected);
    QVERIFY(timeOf("keyEvent 17 down") - timeOf("setForegroundWindow 0x10 500") >= 100);
    if (way == 1)
        QVERIFY(timeOf("mouseLeftButton down") - timeOf("setCursorPos 346 283") >= 50);
    QVERIFY(timeOf("showWindow 0x10 minimize") - timeOf("keyEvent 17 up", 1) >= 300);

    QCOMPARE(w.passage, QStringLiteral("夜来风雨声花落知多少"));
    QCOMPARE(w.textTitle, QStringLiteral("春晓"));
    QCOMPARE(w.segmentHeader, header);
    QCOMPARE(w.labSegment->text(), QStringLiteral("段号: ") + header);
    QCOMPARE(w.labSegment->toolTip(), header == QStringLiteral("第999段") ? QStringLiteral("比赛认证段") : QString());
    QVERIFY(!App::CanUpload);
}

void TestChat::captureWithoutMarker_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("boundToSelf");
    QTest::addRow("no marker") << QStringLiteral("张三 12:00:00\n大家好") << false;
    QTest::addRow("marker at the very start") << QStringLiteral("-----第2段-余10字") << false;
    QTest::addRow("empty passage line") << QStringLiteral("标题\n\n-----第2段-余10字") << false;
    QTest::addRow("bound to the own window") << QString() << true;
}

void TestChat::captureWithoutMarker()
{
    QFETCH(QString, clipboard);
    QFETCH(bool, boundToSelf);
    bindChat();
    frmMain& w = *m_window;
    if (boundToSelf)
        App::ChatHwnd = Self;
    QApplication::clipboard()->setText(clipboard);
    const QString passageBefore = w.passage;
    const QString titleBefore = w.textTitle;
    TitleWatcher title(w.findChild<QLabel*>(QStringLiteral("lab_Title")));
    w.sdzwSlot();

    QVERIFY(title.saw(QStringLiteral("暂无文本！")));
    QCOMPARE(w.passage, passageBefore);
    QCOMPARE(w.textTitle, titleBefore);
    // The chat window is put away, but never the trainer's own.
    QCOMPARE(m_desktop->callTexts(),
             boundToSelf ? QStringList() : QStringList{QStringLiteral("showWindow 0x10 minimize")});
}

void TestChat::fetchMethodFromMenu()
{
    openWindow();
    const QList<QAction*> ways = m_window->m_getWayGroup->actions();
    QCOMPARE(ways.size(), 2);
    ways.at(1)->trigger();
    QCOMPARE(App::GetWay, 1);
    QCOMPARE(QSettings(QStringLiteral("CONFIG/settings.ini"), QSettings::IniFormat).value("AppConfig/GetWay").toInt(),
             1);
    ways.at(0)->trigger();
    QCOMPARE(App::GetWay, 0);
}

// ---- End of a run ----

void TestChat::resultBranch_data()
{
    QTest::addColumn<bool>("freeRun");
    QTest::addColumn<bool>("popUp");   // TanChuang
    QTest::addColumn<bool>("limit");   // Limit, at 200
    QTest::addColumn<int>("answer");   // -1 no box expected, 0 no, 1 yes
    QTest::addColumn<bool>("whole");   // wholeText
    QTest::addColumn<bool>("ranking"); // Cypm
    QTest::addColumn<bool>("posted");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QString>("message");

    QTest::addRow("no pop-up") << false << false << false << -1 << false << true << true << false << "跟打结束";
    QTest::addRow("not above the limit") << false << true << true << -1 << false << true << false << false
                                         << "跟打结束";
    QTest::addRow("accepted") << false << true << false << 1 << false << true << true << true << "上传成绩条件";
    QTest::addRow("accepted, whole text without ranking")
        << false << true << false << 1 << true << false << true << true << "上传成绩需要开启参与排名功能";
    QTest::addRow("declined") << false << true << false << 0 << false << true << false << true << "";
    QTest::addRow("free run accepted") << true << false << false << 1 << false << true << true << true << "";
    QTest::addRow("free run declined") << true << false << false << 0 << false << true << false << true << "";
}

void TestChat::resultBranch()
{
    QFETCH(bool, freeRun);
    QFETCH(bool, popUp);
    QFETCH(bool, limit);
    QFETCH(int, answer);
    QFETCH(bool, whole);
    QFETCH(bool, ranking);
    QFETCH(bool, posted);
    QFETCH(bool, reset);
    QFETCH(QString, message);
    App::TanChuang = popUp;
    App::Limit = limit;
    App::Limitsudu = 200;
    App::Cypm = ranking;
    App::GbtanChuang = true;
    App::Gdjs = QStringLiteral("不处理");
    bindChat();
    frmMain& w = *m_window;
    setFinishedRun(QStringLiteral("200.00"), QStringLiteral("6.00"), 0);
    w.wholeText = whole;

    // The window's line changes while the pop-up is up: what is posted is still the line of the run
    // that ended.
    BoxAnswerer box(answer == 1);
    box.whileShown = [&w] { w.resultText = QStringLiteral("改过的成绩"); };
    TitleWatcher title(w.findChild<QLabel*>(QStringLiteral("lab_Title")));
    if (freeRun) {
        w.finishFreeRunPopup();
        w.finishFreeRunRetype();
    } else {
        w.finishRunBranch();
    }

    QCOMPARE(box.boxes, answer < 0 ? 0 : 1);
    if (answer >= 0)
        QCOMPARE(box.text, QStringLiteral("短成绩"));
    QCOMPARE(m_pasted, posted ? QStringList{Line} : QStringList());
    QCOMPARE(w.runEndCount == 0, reset);
    if (!message.isEmpty())
        QVERIFY2(title.saw(message), qPrintable(title.seen.join('|')));
}

void TestChat::automaticNextStep_data()
{
    QTest::addColumn<QString>("rule");     // Zdhd2
    QTest::addColumn<QString>("elseStep"); // Zdhd5
    QTest::addColumn<QString>("keyRate");  // cell 1, against Zdhd3 10.0
    QTest::addColumn<QString>("speed");    // against Zdhd4 200.0
    QTest::addColumn<int>("wrong");
    QTest::addColumn<bool>("newPassage"); // a passage arrives while the result is posted
    QTest::addColumn<QString>("outcome"); // "reset", "shuffled" or "none"

    // clang-format off
    QTest::addRow("key rate at the threshold") << "击键" << "重打" << "10.00" << "100.00" << 0 << false << "reset";
    QTest::addRow("key rate above it") << "击键" << "重打" << "10.01" << "100.00" << 0 << false << "none";
    QTest::addRow("shuffle") << "击键" << "乱序" << "9.00" << "100.00" << 0 << false << "shuffled";
    QTest::addRow("leave it") << "击键" << "不处理" << "9.00" << "100.00" << 0 << false << "none";
    QTest::addRow("speed below") << "速度" << "重打" << "99.00" << "199.99" << 0 << false << "reset";
    QTest::addRow("speed above") << "速度" << "重打" << "1.00" << "200.01" << 0 << false << "none";
    QTest::addRow("wrong characters") << "击键" << "重打" << "9.00" << "100.00" << 1 << false << "none";
    QTest::addRow("other rule") << "不处理" << "重打" << "9.00" << "100.00" << 0 << false << "none";
    QTest::addRow("new passage meanwhile") << "击键" << "重打" << "9.00" << "100.00" << 0 << true << "none";
    // clang-format on
}

void TestChat::automaticNextStep()
{
    QFETCH(QString, rule);
    QFETCH(QString, elseStep);
    QFETCH(QString, keyRate);
    QFETCH(QString, speed);
    QFETCH(int, wrong);
    QFETCH(bool, newPassage);
    QFETCH(QString, outcome);
    App::Zdhd = true;
    App::Zdhd2 = rule;
    App::Zdhd3 = 10.0;
    App::Zdhd4 = 200.0;
    App::Zdhd5 = elseStep;
    App::Gdcz = false;
    App::Gdjs = QStringLiteral("不处理");
    bindChat();
    frmMain& w = *m_window;
    const QString passage = QStringLiteral("一二三四五六七八九十甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉");
    w.loadArticle(passage);
    setFinishedRun(speed, keyRate, wrong);
    QString laid = passage;
    if (newPassage) {
        laid = QStringLiteral("新来的一段");
        m_desktop->setReaction([&w, &laid](const Call& call) {
            if (call.text() == QStringLiteral("keyEvent 86 down"))
                w.loadArticle(laid);
        });
    }
    w.finishRunBranch();

    QCOMPARE(w.runEndCount == 0, outcome != QStringLiteral("none"));
    if (outcome == QStringLiteral("shuffled")) {
        QVERIFY(w.passage != passage);
        QString sorted = w.passage;
        std::sort(sorted.begin(), sorted.end());
        QString original = passage;
        std::sort(original.begin(), original.end());
        QCOMPARE(sorted, original);
    } else {
        QCOMPARE(w.passage, laid);
    }
}

QTEST_MAIN(TestChat)
#include "test_chat.moc"

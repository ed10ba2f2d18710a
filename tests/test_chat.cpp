// The chat-window road of the main window against the recording desktop: window list, group menu,
// posting with its waits, the guard, the operation queue, capture, and the end of a typed run.
#include "platform/fakewindowsystem.h"
#include "testsupport.h"
#include "typing/core/capture.h"
#include "typing/core/resultline.h"
#include "typing/resultbranch.h"

using namespace ts;
using platform::FakeWindowSystem;
using Call = FakeWindowSystem::Call;

namespace {

constexpr platform::WindowHandle Self = 0x1;
constexpr platform::WindowHandle Chat = 0x10;
const QString ChatTitle = QStringLiteral("测试群");
const QString Passage = QStringLiteral("abcdefgh");
// The keys as the recording desktop writes them: Ctrl+V, Alt+S, Ctrl+A with Ctrl+C, Tab.
const QStringList PasteKeys{"keyEvent 17 down", "keyEvent 86 down", "keyEvent 86 up", "keyEvent 17 up"};
const QStringList SendKeys{"keyEvent 18 down", "keyEvent 83 down", "keyEvent 83 up", "keyEvent 18 up"};
const QStringList CopyKeys{"keyEvent 17 down", "keyEvent 65 down", "keyEvent 65 up", "keyEvent 17 up",
                           "keyEvent 17 down", "keyEvent 67 down", "keyEvent 67 up", "keyEvent 17 up"};
const QStringList TabKey{"keyEvent 9 down", "keyEvent 9 up"};

QString sorted(QString text)
{
    std::sort(text.begin(), text.end());
    return text;
}

// What a label (or a tool tip, always AutoText) shows of a text.
QString shown(const QString& text, Qt::TextFormat format = Qt::AutoText)
{
    QTextDocument document;
    if (format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text)))
        document.setHtml(text);
    else
        document.setPlainText(text);
    return document.toPlainText();
}

// The result line of the table's first row as its parts must read, item by item: the items the
// table shows, the peaks (shown nowhere else, so taken from `peaks`, empty for none), the error part,
// the names, the check over what comes before them, the title and the mode. `popUp` gives the
// pop-up's form, with long error parts and names cut; its check is still that of the whole line.
QString expectedLine(const QTableView* table, const QString& peaks, const QString& wrongRef, const QString& wrongTyped,
                     bool popUp)
{
    const QAbstractItemModel* model = table->model();
    const auto cell = [model](int column) { return model->index(0, column).data().toString(); };
    QString items = QStringLiteral("第1段");
    for (int column = 0; column < 14; ++column)
        if (!table->isColumnHidden(column))
            items += ' ' + model->headerData(column, Qt::Horizontal).toString() + cell(column);
    if (!peaks.isEmpty())
        items += QStringLiteral(" 峰值") + peaks;
    const bool errors = !wrongRef.isEmpty() && !table->isColumnHidden(14) && App::Pattern != FreeTyping;
    const auto errorPart = [&](bool cut) {
        const auto shortened = [cut](const QString& text) { return cut ? text.left(10) + "..." : text; };
        return QStringLiteral(" 错字") + cell(14) + QStringLiteral(" 错情[") + shortened(wrongRef) +
               QStringLiteral("√ ") + shortened(wrongTyped) + QStringLiteral("×][错一罚五]");
    };
    const QString plain = items + (errors ? errorPart(false) : QString());
    QString line = items + (errors ? errorPart(popUp && wrongRef.size() > 10) : QString());
    const auto name = [popUp](const QString& text, int keep) {
        return popUp && text.size() > keep ? text.left(keep) + QStringLiteral("...") : text;
    };
    if (App::ShuRuFa2)
        line += QStringLiteral(" 输入法:") + name(App::ShuRuFa, 10);
    if (App::QianMing2)
        line += QStringLiteral(" 个签:") + name(App::QianMing, 15);
    line += QStringLiteral(" 校检:") +
            QCryptographicHash::hash(plain.toUtf8(), QCryptographicHash::Md5).toHex().left(5) + ' ' + App::AppTitle;
    if (popUp)
        line = line.left(230);
    return line + QStringList{"", QStringLiteral(" 自由模式"), QStringLiteral(" 盲打模式")}.value(App::Pattern);
}

// Runs `then` once the typing pane turns read-only, as the end of a run makes it, at the event loop's
// next round: within the end's own waits, however late a loaded machine lets a timer come.
class AtRunEnd : public QObject
{
public:
    explicit AtRunEnd(QTextEdit* pane) { pane->installEventFilter(this); }
    std::function<void()> then;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ReadOnlyChange && static_cast<QTextEdit*>(watched)->isReadOnly() && then)
            QTimer::singleShot(0, this, std::exchange(then, nullptr));
        return false;
    }
};

} // namespace

class TestChat : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeWindowSystem> m_desktop;
    std::unique_ptr<MainWindowFixture> m_f;
    QStringList m_pasted;

    void addWindow(platform::WindowHandle handle, const QString& title)
    {
        m_desktop->addWindow(
            {handle, title, true, true, false, true, QRect(100, 100, 500, 400), QRect(104, 130, 492, 366)});
    }
    frmMain& openWindow()
    {
        frmMain& w = m_f->open();
        m_f->lay(Passage);
        m_desktop->clearCalls();
        return w;
    }
    frmMain& bindChat()
    {
        addWindow(Chat, ChatTitle);
        frmMain& w = openWindow();
        m_f->action({"换群", ChatTitle})->trigger();
        [&] { QCOMPARE(App::ChatHwnd, Chat); }();
        m_desktop->clearCalls();
        return w;
    }
    // Types the passage (its third character wrong when asked) and returns the run's result line;
    // the end of the run, posting included, is over by then.
    QString typeRun(bool wrong = false)
    {
        QString typed = Passage;
        if (wrong)
            typed[2] = QLatin1Char('X');
        m_f->type(typed);
        return m_f->waitLine();
    }
    // The clipboard text at each Ctrl+V, as the chat window would paste it.
    void notePaste(const Call& call)
    {
        if (call.text() == QStringLiteral("keyEvent 86 down"))
            m_pasted << QApplication::clipboard()->text();
    }
    QStringList keyTexts() const { return m_desktop->callTexts().filter(QRegularExpression("^keyEvent ")); }

private slots:
    void initTestCase() { App::initResources(); }
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        App::ChatHwnd = App::SelfHwnd = 0;
        App::ChatTitle.clear();
        App::ChatTitles.clear();
        App::Gdyslim = 10;
        App::Gdjs = QStringLiteral("不处理");
        App::Gdqs = true; // a run's end posts nothing unless the case asks for it
        m_pasted.clear();
        m_desktop = std::make_unique<FakeWindowSystem>();
        m_desktop->setReaction([this](const Call& call) { notePaste(call); });
        platform::setWindowSystem(m_desktop.get());
        addWindow(Self, App::AppTitle);
    }
    void cleanup()
    {
        m_f.reset();
        platform::setWindowSystem(nullptr);
        m_desktop.reset();
    }

    void windowListFilters_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filters"); // of Gdyw, Gdsz, Gdcd (limit 12): the ones switched on
        QTest::addColumn<bool>("own");        // a window of the trainer's own process
        QTest::addColumn<bool>("listed");
        // clang-format off
        QTest::addRow("Chinese only") << ChatTitle << "latin digits length" << false << true;
        QTest::addRow("Latin letter") << "跟打Q群" << "latin" << false << false;
        QTest::addRow("Latin letter allowed") << "跟打Q群" << "digits length" << false << true;
        QTest::addRow("digit") << "跟打2群" << "digits" << false << false;
        QTest::addRow("12 characters") << "一二三四五六七八九十甲乙" << "length" << false << true;
        QTest::addRow("13 characters") << "一二三四五六七八九十甲乙丙" << "length" << false << false;
        QTest::addRow("13 characters, no limit") << "一二三四五六七八九十甲乙丙" << "latin digits" << false << true;
        QTest::addRow("sending-state panel") << "发文状态" << "" << false << false;
        QTest::addRow("own input panel") << "输入法" << "latin digits length" << true << false;
        // clang-format on
    }

    void windowListFilters()
    {
        QFETCH(QString, title);
        QFETCH(QString, filters);
        QFETCH(bool, own);
        QFETCH(bool, listed);
        App::Gdyw = filters.contains("latin");
        App::Gdsz = filters.contains("digits");
        App::Gdcd = filters.contains("length");
        addWindow(Chat, title);
        m_desktop->window(Chat)->own = own;
        App::ChatTitle = title; // bound only where listed
        openWindow();
        QCOMPARE(App::ChatHwnd, listed ? Chat : 0);
        // The own window is never offered.
        QStringList entries;
        for (QAction* action : m_f->action({"换群"})->menu()->actions())
            entries << action->text();
        QCOMPARE(entries, QStringList({"刷新", "潜水", ""}) + (listed ? QStringList{title} : QStringList()));
    }

    // The group menu lists usable titles once, never the own window; choosing binds the last window
    // met. Refreshing lists new groups but chooses nothing, whichever signal comes first, and its own
    // entry goes only after them. The next-group command goes round the list, keeping its choice when
    // there is none; a gone window keeps its handle (the guard catches it); lurking unbinds.
    void groups()
    {
        addWindow(0x12, QStringLiteral("乙群"));
        addWindow(0x11, QStringLiteral("乙群"));
        addWindow(0x10, QStringLiteral("甲群"));
        addWindow(0x13, QStringLiteral("隐藏群"));
        m_desktop->window(0x13)->visible = false;
        addWindow(0x14, QStringLiteral("禁用群"));
        m_desktop->window(0x14)->enabled = false;
        App::Gdqs = false;
        frmMain& w = openWindow();
        QCOMPARE(App::ChatTitles, QStringList({"甲群", "乙群"}));
        m_f->action({"换群", "乙群"})->trigger();
        QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x12));
        QCOMPARE(m_f->statusText("QQ群"), QStringLiteral("QQ群: 乙群"));

        addWindow(0x15, QStringLiteral("丙群"));
        QPointer<QAction> refresh = m_f->action({"换群", "刷新"});
        w.qmenuActionClick(refresh);
        refresh->trigger();
        QVERIFY(refresh);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!refresh);
        QVERIFY(m_f->action({"换群", "丙群"}));
        QCOMPARE(App::ChatTitle, QStringLiteral("乙群"));
        QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x12));

        QStringList chosen;
        for (int i = 0; i < 4; ++i) {
            w.hqSlot();
            chosen << App::ChatTitle;
        }
        QCOMPARE(chosen, QStringList({"甲群", "乙群", "丙群", "甲群"}));
        QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x10));
        for (platform::WindowHandle handle : {0x10, 0x11, 0x12, 0x15})
            m_desktop->removeWindow(handle);
        w.hqSlot();
        w.getHwnd();
        QCOMPARE(App::ChatTitle, QStringLiteral("甲群"));
        QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x10));

        m_f->action({"换群", "潜水"})->trigger();
        QCOMPARE(App::ChatHwnd, platform::WindowHandle(0));
        QVERIFY(m_f->status("Tavrel潜水中……"));
    }

    void post_data()
    {
        QTest::addColumn<QString>("setting"); // the step after sending (Gdjs), or what keeps the post back
        QTest::addColumn<QStringList>("calls");
        const QStringList forward{"showWindow 0x10 normal", "setForegroundWindow 0x10 0"};
        const QStringList sent = forward + PasteKeys + SendKeys;
        QTest::addRow("back to the trainer")
            << "激活跟打器" << sent + QStringList{"showWindow 0x1 normal", "setForegroundWindow 0x1 500"};
        QTest::addRow("minimise") << "最小化窗口" << sent + QStringList{"showWindow 0x10 minimize"};
        QTest::addRow("leave it") << "不处理" << sent;
        QTest::addRow("nothing bound") << "unbound" << QStringList();
        QTest::addRow("bound to the own window") << "self" << QStringList();
        QTest::addRow("hidden") << "hidden" << QStringList();
        QTest::addRow("disabled") << "disabled" << QStringList();
        QTest::addRow("lurking") << "lurk" << QStringList();
        // The user clicks another window while the paste settles: no Alt+S into it.
        QTest::addRow("focus lost after the paste") << "focus lost" << forward + PasteKeys;
        // A window manager slow to hand over the focus (1.5 s) still gets the line; one that never
        // does leaves the trainer in front.
        QTest::addRow("late window") << "late" << sent;
        QTest::addRow("window never comes")
            << "never" << forward + QStringList{"showWindow 0x1 normal", "setForegroundWindow 0x1 0"};
    }

    // The send command posts the run's line into the bound chat, keys into the chat window only;
    // the guard refuses a window that cannot take it. The line is on the clipboard either way; a
    // lost post's notice stays in the title until the next run starts.
    void post()
    {
        QFETCH(QString, setting);
        QFETCH(QStringList, calls);
        App::Gdjs = setting;
        frmMain& w = bindChat();
        const QString line = typeRun();
        if (setting == QStringLiteral("unbound"))
            App::ChatHwnd = 0;
        else if (setting == QStringLiteral("self"))
            App::ChatHwnd = Self;
        else if (setting == QStringLiteral("hidden"))
            m_desktop->window(Chat)->visible = false;
        else if (setting == QStringLiteral("disabled"))
            m_desktop->window(Chat)->enabled = false;
        else if (setting == QStringLiteral("lurk"))
            App::ChatTitle = QStringLiteral("潜水");
        m_desktop->window(Chat)->acceptsActivation = setting != QStringLiteral("late") && setting != "never";
        m_desktop->setReaction([this, setting](const Call& call) {
            notePaste(call);
            if (setting == QStringLiteral("focus lost") && call.text() == QStringLiteral("keyEvent 17 up"))
                m_desktop->setForeground(Self);
            if (setting == QStringLiteral("late") && call.text() == QStringLiteral("setForegroundWindow 0x10 0"))
                QTimer::singleShot(1500, this, [this] { m_desktop->setForeground(Chat); });
        });
        QApplication::clipboard()->setText(QStringLiteral("用户复制的内容"));
        const QStringList titles = m_f->titlesDuring([&w] { w.cjSlot(); });
        QCOMPARE(m_desktop->callTexts(), calls);
        QCOMPARE(m_pasted, calls.contains(PasteKeys.at(1)) ? QStringList{line} : QStringList());
        for (const Call& call : m_desktop->calls())
            if (call.name == QStringLiteral("keyEvent"))
                QCOMPARE(call.foreground, Chat);
        QCOMPARE(QApplication::clipboard()->text(), line);
        const QString notice = QStringLiteral("聊天窗口未能激活，未发送");
        QCOMPARE(titles.filter(notice).isEmpty(), setting != "focus lost" && setting != "never");
        if (setting == QStringLiteral("激活跟打器"))
            QCOMPARE(App::ChatHwnd, Chat); // back in the trainer, the enumeration found the chat again
        if (calls.isEmpty() && setting != QStringLiteral("lurk")) { // the capture's guard refuses them too
            w.zdzwSlot();
            QVERIFY(m_desktop->callTexts().isEmpty());
        }
        w.Reset(); // a new run prepared, not begun
        QCOMPARE(m_f->title().contains(notice), setting == QStringLiteral("never"));
        m_f->type(QStringLiteral("a"));
        QVERIFY(!m_f->title().contains(notice));
    }

    // During the first post's wait a hot key asks for the segment post and a capture; both wait
    // their turn, with the text they were asked with, and no key of theirs comes in between.
    void operationsQueueInOrder()
    {
        App::Gdqs = false;
        frmMain& w = bindChat();
        const QString history = QStringLiteral("张三 12:00:00\n") +
                                buildFawenPost(QStringLiteral("新文"), QStringLiteral("夜来风雨声"), "第3段", 5);
        int keysWhenAsked = -1;
        m_desktop->setReaction([&](const Call& call) {
            notePaste(call);
            if (call.text() == QStringLiteral("keyEvent 86 down") && m_pasted.size() == 1) {
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
        m_f->type(Passage);
        QTRY_COMPARE(m_f->reference()->toPlainText(), QStringLiteral("夜来风雨声"));
        QCOMPARE(keysWhenAsked, 4);
        QCOMPARE(m_pasted.size(), 2);
        QCOMPARE(verifyResultLine(m_pasted.at(0), App::ShuRuFa2, App::QianMing2).outcome, LineCheck::Genuine);
        QVERIFY2(m_pasted.at(1).contains(Passage), qPrintable(m_pasted.at(1)));
        QCOMPARE(keyTexts(), PasteKeys + SendKeys + PasteKeys + SendKeys + TabKey + CopyKeys);
        QCOMPARE(m_f->statusText("段号"), QStringLiteral("段号: 第3段"));
    }

    void capture_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QStringList>("focusCalls");
        // Frame corner (100, 100) plus half the client size (492 x 366).
        QTest::addRow("mouse") << 1 << QStringLiteral("第4段")
                               << QStringList{"setCursorPos 346 283", "mouseLeftButton down", "mouseLeftButton up"};
        // The capture does not test the lurk title; a contest segment keeps its note.
        QTest::addRow("no focus step, lurk title, contest") << 2 << QStringLiteral("第999段") << QStringList();
    }

    void capture()
    {
        QFETCH(int, way);
        QFETCH(QString, header);
        QFETCH(QStringList, focusCalls);
        App::GetWay = way;
        frmMain& w = bindChat();
        if (way == 2)
            App::ChatTitle = QStringLiteral("潜水");
        m_f->status("段号")->setToolTip(QStringLiteral("比赛认证段"));
        App::CanUpload = true;
        const QString history =
            QStringLiteral("张三 12:01:00\r\n") +
            buildFawenPost(QStringLiteral("春晓"), QStringLiteral("夜来风雨声花落知多少"), header, 50);
        m_desktop->setReaction([&history](const Call& call) {
            if (call.text() == QStringLiteral("keyEvent 67 down"))
                QApplication::clipboard()->setText(history);
        });
        w.zdzwSlot();

        QCOMPARE(m_desktop->callTexts(), QStringList({"showWindow 0x10 normal", "setForegroundWindow 0x10 0"}) +
                                             focusCalls + CopyKeys + QStringList{"showWindow 0x10 minimize"});
        QCOMPARE(m_f->reference()->toPlainText(), QStringLiteral("夜来风雨声花落知多少"));
        QCOMPARE(m_f->statusText("标题"), QStringLiteral("标题: 春晓"));
        QCOMPARE(m_f->statusText("段号"), QStringLiteral("段号: ") + header);
        QCOMPARE(m_f->status("段号")->toolTip(), way == 2 ? QStringLiteral("比赛认证段") : QString());
        QVERIFY(!App::CanUpload);
    }

    // A pasted history without a post leaves the passage and says so. Titles from the chat window
    // and from a post are text on screen, on one line, never markup.
    void pastedHistory()
    {
        App::Gdyw = App::Gdsz = App::Gdcd = App::Gdqs = false;
        const QString markup = QStringLiteral("<font color=red><b>x</b></font>&<img src=\"/dev/zero\">");
        addWindow(Chat, markup + QStringLiteral("\n二"));
        frmMain& w = openWindow();
        m_f->action({"换群", QString(markup).replace("&", "&&") + QStringLiteral("\n二")})->trigger();
        QLabel* chat = m_f->status("QQ群");
        QCOMPARE(shown(chat->text(), chat->textFormat()), QStringLiteral("QQ群: ") + markup + " 二");

        m_desktop->clearCalls();
        QApplication::clipboard()->setText(QStringLiteral("张三 12:00:00\n大家好"));
        QVERIFY(!m_f->titlesDuring([&w] { w.sdzwSlot(); }).filter(QStringLiteral("暂无文本！")).isEmpty());
        QCOMPARE(m_f->reference()->toPlainText(), Passage);
        QCOMPARE(m_desktop->callTexts(), QStringList{"showWindow 0x10 minimize"});

        QApplication::clipboard()->setText(QStringLiteral("张三 12:00:00\n") +
                                           buildFawenPost(markup, QStringLiteral("夜来风雨声"), "第1段", 5));
        w.sdzwSlot();
        QLabel* title = m_f->status("标题");
        QCOMPARE(shown(title->text(), title->textFormat()), QStringLiteral("标题: ") + markup);
        QCOMPARE(shown(title->toolTip()), markup);
    }

    void postedLine_data()
    {
        // "wrong" types the third character wrong, "eleven" eleven of them; "im" and "sign" add the
        // input-method name and the signature, both longer than the pop-up keeps; "noWrongItem" and
        // "noKeyRate" switch those items off, "itemsOff" all but the speed; "popUp" shows the result
        // pop-up and accepts it; "blind" and "free" choose the mode.
        QTest::addColumn<QString>("setting");
        QTest::addRow("follow, defaults") << "";
        QTest::addRow("follow, wrong, both names, pop-up") << "wrong im sign popUp";
        QTest::addRow("follow, eleven wrong, pop-up") << "eleven popUp";
        QTest::addRow("blind, wrong, 错字 off, signature") << "blind wrong noWrongItem sign";
        QTest::addRow("blind, 击键 off, no peaks") << "blind noKeyRate im";
        QTest::addRow("free, wrong, input method, pop-up") << "free wrong im";
        QTest::addRow("free, all but 速度 off") << "free itemsOff sign";
    }

    // The line the end of a run posts into the chat, and shows in its pop-up, reads item by item as
    // the table shows the run, whatever the mode and the switches.
    void postedLine()
    {
        QFETCH(QString, setting);
        const QStringList set = setting.split(QLatin1Char(' '));
        App::Gdqs = false;
        App::Gdcz = false;
        App::Pattern = set.contains("free") ? FreeTyping : set.contains("blind") ? BlindTyping : FollowTyping;
        App::TanChuang = set.contains("popUp");
        App::ShuRuFa2 = set.contains("im");
        App::ShuRuFa = QStringLiteral("五笔86版输入法王码"); // 11 characters
        App::QianMing2 = set.contains("sign");
        App::QianMing = QStringLiteral("慢慢来比较快，一步一个脚印往前走"); // 16 characters
        App::Cuozi = !set.contains("noWrongItem");
        App::Jijian = !set.contains("noKeyRate");
        if (set.contains("itemsOff"))
            App::Jijian = App::Machang = App::Zishu = App::Shijian = App::Huigai = App::Tuige = App::Huiche =
                App::Jianshu = App::Xuanchong = App::Jianzhun = App::Jianfa = App::Chongda = App::Daci = false;
        const QString passage = QStringLiteral("abcdefghijklmnop");
        QString typed = passage;
        QString wrongRef, wrongTyped;
        if (set.contains("wrong") || set.contains("eleven")) {
            const int count = set.contains("eleven") ? 11 : 1;
            wrongRef = passage.mid(2, count);
            wrongTyped = wrongRef.toUpper();
            typed.replace(2, count, wrongTyped);
        }
        addWindow(Chat, ChatTitle);
        frmMain& w = m_f->open();
        m_f->lay(passage);
        m_f->action({"换群", ChatTitle})->trigger();
        BoxAnswerer box(true);
        m_f->type(typed);
        if (App::Pattern == FreeTyping) {
            QTRY_VERIFY(!m_f->cell(0, "字数").isEmpty()); // the live figures, from the clock's ticks
            m_f->action({"功能", "快捷键列表", "暂停/结束(自由模式)"})->trigger();
        }
        const QString line = m_f->waitLine();
        QTRY_COMPARE(m_pasted, QStringList{line});

        const QRegularExpressionMatch peaks = QRegularExpression(" 峰值(\\S+/\\S+/\\S+)").match(line);
        QCOMPARE(peaks.hasMatch(), App::Sudu && App::Jijian && App::Machang);
        for (const QString& peak : peaks.captured(1).split('/'))
            QVERIFY2(peak.toDouble() >= 0, qPrintable(line));
        const auto* table = w.findChild<QTableView*>();
        QCOMPARE(line, expectedLine(table, peaks.captured(1), wrongRef, wrongTyped, false));
        // The free run's pop-up comes whatever TanChuang says.
        const bool popUp = App::TanChuang || App::Pattern == FreeTyping;
        QCOMPARE(box.seen, int(popUp));
        if (popUp)
            QCOMPARE(box.text, expectedLine(table, peaks.captured(1), wrongRef, wrongTyped, true));
    }

    void endOfRun_data()
    {
        // Apart from the defaults: "wrong" types a wrong character, "anyWrong" clears Gdcz, "lurk" sets
        // Gdqs, "limit" Gdsd far above any speed ("low": below), "hand" posts by the send command;
        // "popUp" sets TanChuang, "popLimit" Limit far above any speed, "yes"/"no" answer it; "free"
        // stops a free run; "key"/"speed" step on by key rate or speed, far above any ("fast": below),
        // else "shuffle" or retype; "new" lays a drill during the post; "retype" retypes (the hot key
        // still works) in the end's wait, the figures not live.
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("posted");
        QTest::addColumn<QString>("after");   // the run "kept" as it ended, "reset", "shuffled" or a "new" passage
        QTest::addColumn<QString>("message"); // a title shown on the way
        // clang-format off
        QTest::addRow("plain run") << "" << true << "kept" << "跟打结束";
        QTest::addRow("wrong characters kept back") << "wrong" << false << "kept" << "";
        QTest::addRow("wrong characters by hand") << "wrong hand" << true << "kept" << "";
        QTest::addRow("wrong characters allowed") << "wrong anyWrong" << true << "kept" << "";
        QTest::addRow("lurking") << "lurk" << false << "kept" << "";
        QTest::addRow("below the speed limit") << "limit" << false << "kept" << "";
        QTest::addRow("above the speed limit") << "limit low" << true << "kept" << "";
        QTest::addRow("pop-up not above its limit") << "popUp popLimit" << false << "kept" << "跟打结束";
        QTest::addRow("pop-up accepted, not a whole text") << "popUp yes" << true << "reset" << "上传成绩条件";
        QTest::addRow("pop-up declined") << "popUp no" << false << "reset" << "";
        QTest::addRow("free run accepted") << "free yes" << true << "reset" << "";
        QTest::addRow("free run declined") << "free no" << false << "reset" << "";
        QTest::addRow("key rate below: retype") << "lurk key" << false << "reset" << "";
        QTest::addRow("key rate above") << "lurk key fast" << false << "kept" << "";
        QTest::addRow("key rate below: shuffle") << "lurk key shuffle" << false << "shuffled" << "";
        QTest::addRow("speed below") << "lurk speed" << false << "reset" << "";
        QTest::addRow("wrong characters: no next step") << "lurk key wrong" << false << "kept" << "";
        QTest::addRow("new passage while posting") << "key new" << true << "new" << "";
        QTest::addRow("retype while the row is on show") << "retype" << false << "reset" << "";
        // clang-format on
    }

    // The pop-up asks for a final speed above its limit: 200.00 at a limit of 200 gets none.
    void popUpAboveItsLimitOnly()
    {
        App::TanChuang = App::Limit = true;
        App::Limitsudu = 200;
        frmMain& w = bindChat();
        for (const double speed : {200.0, 200.01}) {
            BoxAnswerer box(false);
            FinishedRun run;
            run.speed = speed;
            run.passage = Passage;
            w.findChild<ResultBranch*>()->followOrBlindEnded(run);
            QCOMPARE(box.seen, int(speed > 200));
        }
    }

    // What the end of a run posts and does next; a retype under the pop-up changes nothing posted.
    void endOfRun()
    {
        QFETCH(QString, setting);
        QFETCH(bool, posted);
        QFETCH(QString, after);
        QFETCH(QString, message);
        const QStringList set = setting.split(QLatin1Char(' '));
        App::Gdcz = !set.contains("anyWrong");
        App::Gdqs = set.contains("lurk") || set.contains("hand");
        App::Gdsd = set.contains("limit");
        App::Gdsdlim = set.contains("low") ? 1 : 1000000;
        App::TanChuang = set.contains("popUp");
        App::Limit = set.contains("popLimit");
        App::Limitsudu = 1000000;
        App::Zdhd = set.contains("key") || set.contains("speed");
        App::Zdhd2 = set.contains("key") ? QStringLiteral("击键") : QStringLiteral("速度");
        App::Zdhd3 = App::Zdhd4 = set.contains("fast") ? 0.0 : 1e9;
        App::Zdhd5 = set.contains("shuffle") ? QStringLiteral("乱序") : QStringLiteral("重打");
        App::Pattern = set.contains("free") ? FreeTyping : FollowTyping;
        App::ShiShi = !set.contains("retype");
        frmMain& w = bindChat();
        BoxAnswerer box(set.contains("yes"));
        box.whileShown = [&w] { w.Reset(); };
        // Acts once the run has ended, from within the end's own waits.
        AtRunEnd runEnd(m_f->typing());
        if (set.contains("new") || set.contains("retype"))
            runEnd.then = [&] {
                if (set.contains("retype"))
                    w.Reset();
                else
                    m_f->action({"发文", "常用单字前五百"})->trigger();
            };
        QString line;
        const QStringList titles = m_f->titlesDuring([&] {
            if (set.contains("free")) {
                m_f->type(Passage);
                QTRY_VERIFY(!m_f->cell(0, "字数").isEmpty()); // the live figures, from the clock's ticks
                w.slotDelay2();
                line = QApplication::clipboard()->text();
            } else {
                line = typeRun(set.contains("wrong"));
            }
            if (set.contains("hand"))
                w.cjSlot();
        });
        QCOMPARE(box.seen, int(set.contains("yes") || set.contains("no")));
        if (box.seen)
            QVERIFY2(line.startsWith(box.text.left(10)), qPrintable(box.text));
        QCOMPARE(m_pasted, posted ? QStringList{line} : QStringList());
        if (set.contains("retype")) // the run is gone: no line, no totals
            QCOMPARE(QPair(line, App::Totaljs), QPair(QString(), 0));
        if (!message.isEmpty())
            QVERIFY2(!titles.filter(message).isEmpty(), qPrintable(titles.join('|')));
        const QString shown = m_f->reference()->toPlainText();
        if (after == QStringLiteral("shuffled")) {
            QVERIFY(shown != Passage);
            QCOMPARE(sorted(shown), sorted(Passage));
        } else {
            QCOMPARE(shown == Passage, after != QStringLiteral("new"));
        }
        QCOMPARE(m_f->typing()->isReadOnly(), after == QStringLiteral("kept"));
    }
};

QTEST_MAIN(TestChat)
#include "test_chat.moc"

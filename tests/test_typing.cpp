// The typing run in the real main window: loading and paging, the comparison painted onto the
// reference pane, the end of a run, the typing pane's key statistics and its refusal of pasted text.
#include "app/app.h"
#include "testsupport.h"
#include "typing/frmmain.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTextBlock>
#include <QTextCodec>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <memory>

namespace {

// Letters that never repeat within 26 positions, so a shifted page can never compare equal.
QString letters(int length, int offset = 0)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QChar('a' + (i + offset) % 26));
    return text;
}

// Sends an input-method commit, as a system input method delivers a committed word.
void commit(QWidget* pane, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(pane, &event);
}

// Inserts text with no key event, as the own input-method panel does.
void insertPlain(QTextEdit* pane, const QString& text)
{
    pane->moveCursor(QTextCursor::End);
    pane->insertPlainText(text);
}

QTextCharFormat formatAt(QTextEdit* pane, int position)
{
    QTextCursor cursor(pane->document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat();
}

QColor backgroundAt(QTextEdit* pane, int position)
{
    return formatAt(pane, position).background().color();
}

void consumeQuitRequest()
{
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

} // namespace

class TestTyping : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void paging_data();
    void paging();
    void typingPastThePageTurnsOnce();
    void zeroPageSizeDoesNotRecurse();
    void markupAndWhiteSpaceKeptExactly();
    void lineBreaksOfWindowsFiles();
    void wrongCharacterPaintedAndCounted();
    void lastCharacterWrongKeepsRunOpen();
    void extraCharactersTrimmedAtCursor();
    void blindMode();
    void emptyPassage();
    void emptiedFirstPageResetsRun();
    void retypeAfterFinishedRun_data();
    void retypeAfterFinishedRun();
    void freeModeOnlyCounts();
    void plainInsertionStartsRun();
    void pasteRefused_data();
    void pasteRefused();
    void dropRefused();
    void backspaceNeverLowersRecord();
    void recordGrowthReachesStore();
    void keyCounters_data();
    void keyCounters();
    void returnRunsHotKeyAndStops();
    void focusLossPauses();
    void firstKeyOfRunResets();
    void collectionsScanned();
    void collectionsLoadedFromFiles();
    void resizeSavesWindowSize();
    void titleMessageWaitsWithEvents();

private:
    // A window with `text` laid as the passage and the run prepared, as the retype command does.
    void open(const QString& text);
    void typeKeys(const QString& text);
    void tick(int count = 1);

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<frmMain> m_window;
    QTextEdit* m_ref = nullptr;
    QTextEdit* m_typing = nullptr;
};

void TestTyping::initTestCase()
{
    App::initResources();
}

void TestTyping::init()
{
    m_dir = std::make_unique<TestDir>();
    App::resetConfig();
    App::DbOnline = false;
    App::WebUrl.clear();
    App::WrongChars.clear();
    App::SlowChars.clear();
    App::Jilu = 0;
    App::TempJilu = 0;
    App::Quchu = false;
    App::Tihuan = false;
    App::CountSelectKeys = true;
}

void TestTyping::cleanup()
{
    if (m_window) {
        m_window->close();
        consumeQuitRequest();
    }
    m_window.reset();
    m_dir.reset();
}

void TestTyping::open(const QString& text)
{
    m_window = std::make_unique<frmMain>();
    m_ref = m_window->findChild<QTextEdit*>("textEdit");
    m_typing = m_window->findChild<QTextEdit*>("textEdit2");
    QVERIFY(m_ref && m_typing);
    m_window->loadArticle(text);
    m_window->Reset();
}

void TestTyping::typeKeys(const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            commit(m_typing, QStringLiteral("\n")); // Return never reaches the pane
        else
            QTest::keyClicks(m_typing, QString(c));
    }
}

void TestTyping::tick(int count)
{
    for (int i = 0; i < count; ++i)
        m_window->TimeSlot();
}

void TestTyping::paging_data()
{
    QTest::addColumn<int>("length");
    QTest::addRow("one page exactly") << 500;
    QTest::addRow("page and look-ahead") << 510;
    QTest::addRow("one more than a page") << 501;
    QTest::addRow("three pages") << 1200;
}

void TestTyping::paging()
{
    QFETCH(int, length);
    const QString passage = letters(length);
    open(passage);
    frmMain& w = *m_window;
    QCOMPARE(m_ref->toPlainText(), passage.left(510));
    QCOMPARE(w.remainingText, passage.mid(490));

    // The look-ahead of a paged passage is underlined in red; a one-page passage has none.
    const QTextCharFormat ahead = formatAt(m_ref, std::min(505, length - 1));
    QCOMPARE(ahead.underlineStyle() == QTextCharFormat::SingleUnderline, length > 500);
    if (length > 500)
        QCOMPARE(ahead.underlineColor(), QColor(Qt::red));
    QCOMPARE(formatAt(m_ref, 499).underlineStyle(), QTextCharFormat::NoUnderline);

    typeKeys(passage.left(500));
    if (length == 500) {
        QCOMPARE(w.pageNumber, 1);
        QCOMPARE(m_typing->toPlainText(), passage);
        QCOMPARE(w.typedCount, 500);
    } else {
        // Page 2 starts at 490 and shows 510 characters; the pane keeps the last 10 typed.
        QCOMPARE(w.pageNumber, 2);
        QCOMPARE(m_ref->toPlainText(), passage.mid(490, 510));
        QCOMPARE(m_typing->toPlainText(), passage.mid(490, 10));
        QCOMPARE(w.typedCount, 490 + 10);
        QCOMPARE(w.remainingText, passage.mid(980));
        QVERIFY(!w.finished);
        typeKeys(passage.mid(500));
    }
    QCOMPARE(w.typedCount, length);
    QCOMPARE(w.pageNumber, length <= 500 ? 1 : 1 + (length - 11) / 490);
    QVERIFY(w.clockRunning());

    tick();
    QVERIFY(w.finished);
    QVERIFY(!w.clockRunning());
    QVERIFY(m_typing->isReadOnly());
    QCOMPARE(w.wrongCount, 0);
    QCOMPARE(w.typedAll, passage);
    // Every character joined the day's record once, none twice at a page turn.
    QCOMPARE(App::Jilu, length);
    QCOMPARE(App::TempJilu, length);
}

void TestTyping::typingPastThePageTurnsOnce()
{
    // One change that runs past the page (a long commit) turns once and keeps everything typed
    // beyond the page; the counts come from one comparison.
    const QString passage = letters(1000);
    open(passage);
    frmMain& w = *m_window;
    QString typed = passage.left(505);
    typed[3] = QLatin1Char('#');   // counted on page 1
    typed[495] = QLatin1Char('#'); // look-back: counted again on page 2
    commit(m_typing, typed);

    QCOMPARE(w.pageNumber, 2);
    QCOMPARE(m_typing->toPlainText(), typed.mid(490));
    QCOMPARE(w.typedCount, 505);
    QCOMPARE(w.wrongBeforePage, 1);
    QCOMPARE(w.pageWrong, 1);
    QCOMPARE(w.wrongCount, 2);
    QCOMPARE(w.lastCommitLength, 505);
    QCOMPARE(App::Jilu, 505);
    QCOMPARE(backgroundAt(m_ref, 5), QColor(App::Wc));
    QCOMPARE(backgroundAt(m_ref, 4), QColor(App::Rc));
    QCOMPARE(backgroundAt(m_ref, 15), QColor(App::Dbj));
}

void TestTyping::zeroPageSizeDoesNotRecurse()
{
    // A missing page size reads as 0; paging still moves on by whole pages, one turn at a time.
    App::Fanye = 0;
    const QString passage = letters(95);
    open(passage);
    frmMain& w = *m_window;
    const PageLayout layout = PageLayout::fromConfig();
    QVERIFY(layout.pageSize() > 0);

    int turns = 0;
    int lastPage = 1;
    for (int i = 0; i < passage.size(); ++i) {
        typeKeys(passage.mid(i, 1));
        QVERIFY(w.pageNumber - lastPage <= 1);
        turns += w.pageNumber - lastPage;
        lastPage = w.pageNumber;
        QCOMPARE(m_ref->toPlainText(), layout.pageText(passage, w.pageNumber));
        QCOMPARE(w.typedCount, i + 1);
    }
    QVERIFY(turns > 0);
    tick();
    QVERIFY(w.finished);
    QCOMPARE(w.typedAll, passage);
}

void TestTyping::markupAndWhiteSpaceKeptExactly()
{
    const QString passage = QStringLiteral("a<b &lt;\t<b>x</b>\n\n  &amp; 中文<i>");
    open(passage);
    frmMain& w = *m_window;
    QCOMPARE(m_ref->toPlainText(), passage);

    for (int i = 0; i < passage.size(); ++i) {
        const QChar c = passage.at(i);
        if (c.unicode() > 127 || c == QLatin1Char('\n'))
            commit(m_typing, QString(c));
        else
            QTest::keyClicks(m_typing, QString(c));
        QCOMPARE(m_ref->toPlainText(), passage);
        QCOMPARE(m_typing->toPlainText(), passage.left(i + 1));
        QCOMPARE(w.wrongCount, 0);
        if (c != QLatin1Char('\n'))
            QCOMPARE(backgroundAt(m_ref, i), QColor(App::Rc));
    }
    QCOMPARE(w.typedCount, passage.size());
    tick();
    QVERIFY(w.finished);
    QCOMPARE(w.wrongCount, 0);
}

void TestTyping::lineBreaksOfWindowsFiles()
{
    // A file made on Windows ends its lines with CR LF; each is one line break to type.
    open(QStringLiteral("ab\r\ncd\re"));
    QCOMPARE(m_window->passage, QStringLiteral("ab\ncd\ne"));
    QCOMPARE(m_ref->toPlainText(), m_window->passage);
    typeKeys(QStringLiteral("ab\ncd\ne"));
    tick();
    QVERIFY(m_window->finished);
}

void TestTyping::wrongCharacterPaintedAndCounted()
{
    open(QStringLiteral("abcdef"));
    frmMain& w = *m_window;
    typeKeys(QStringLiteral("abX"));
    QCOMPARE(m_ref->toPlainText(), QStringLiteral("abcdef")); // the reference character stays
    QCOMPARE(backgroundAt(m_ref, 1), QColor(App::Rc));
    QCOMPARE(backgroundAt(m_ref, 2), QColor(App::Wc));
    QCOMPARE(backgroundAt(m_ref, 3), QColor(App::Dbj));
    QCOMPARE(w.wrongCount, 1);
    QCOMPARE(w.pageWrongChars, QStringLiteral("c"));

    // Corrected, it stops counting at once.
    QTest::keyClick(m_typing, Qt::Key_Backspace);
    QCOMPARE(backgroundAt(m_ref, 2), QColor(App::Dbj));
    QCOMPARE(w.wrongCount, 0);
    typeKeys(QStringLiteral("c"));
    QCOMPARE(backgroundAt(m_ref, 2), QColor(App::Rc));
    QCOMPARE(w.wrongCount, 0);
    QVERIFY(w.pageWrongChars.isEmpty());
}

void TestTyping::lastCharacterWrongKeepsRunOpen()
{
    open(QStringLiteral("abc"));
    frmMain& w = *m_window;
    typeKeys(QStringLiteral("abX"));
    tick(3);
    QVERIFY(!w.finished);
    QCOMPARE(w.endTickCount, 3);
    QVERIFY(!m_typing->isReadOnly());
    QCOMPARE(w.labProgress->text(), QStringLiteral("进度: 100.00%"));

    QTest::keyClick(m_typing, Qt::Key_Backspace);
    QCOMPARE(w.endTickCount, 0);
    typeKeys(QStringLiteral("c"));
    QVERIFY(!w.finished);
    tick();
    QVERIFY(w.finished);
    QVERIFY(m_typing->isReadOnly());
    QCOMPARE(w.wrongCount, 0);
    QCOMPARE(w.typedAll, QStringLiteral("abc"));
}

void TestTyping::extraCharactersTrimmedAtCursor()
{
    open(QStringLiteral("abcd"));
    frmMain& w = *m_window;
    typeKeys(QStringLiteral("abcd"));
    // A character typed inside a full page goes again; the cursor stays where it was typed.
    QTextCursor cursor = m_typing->textCursor();
    cursor.setPosition(2);
    m_typing->setTextCursor(cursor);
    QTest::keyClicks(m_typing, QStringLiteral("X"));
    QCOMPARE(m_typing->toPlainText(), QStringLiteral("abcd"));
    QCOMPARE(m_typing->textCursor().position(), 2);
    QCOMPARE(w.typedCount, 4);
    QCOMPARE(w.wrongCount, 0);
}

void TestTyping::blindMode()
{
    App::Pattern = BlindTyping;
    open(QStringLiteral("abcd"));
    frmMain& w = *m_window;
    w.mode = BlindTyping;
    w.Reset();
    QVERIFY(m_typing->styleSheet().contains(QStringLiteral("color:%1").arg(App::Gbj)));

    typeKeys(QStringLiteral("aXc"));
    // Errors stay hidden until the passage is typed to its end.
    QCOMPARE(backgroundAt(m_ref, 1), QColor(App::Rc));
    QCOMPARE(w.wrongCount, 1);
    typeKeys(QStringLiteral("d"));
    QVERIFY(w.blindEnd);
    QCOMPARE(backgroundAt(m_ref, 1), QColor(App::Wc));

    tick();
    QVERIFY(w.finished);
    QCOMPARE(m_typing->styleSheet(), QStringLiteral("QTextEdit{background:%1;color:%2;}").arg(App::Gbj, App::Ztcg));
    QCOMPARE(w.wrongRefChars, QStringLiteral("b"));
    QCOMPARE(w.wrongTypedChars, QStringLiteral("X"));
}

void TestTyping::emptyPassage()
{
    open(QString());
    frmMain& w = *m_window;
    QCOMPARE(w.labProgress->text(), QStringLiteral("进度: 0.00%"));
    QCOMPARE(w.labCount->text(), QStringLiteral("总字数: 0"));
    QCOMPARE(w.progressBar->value(), 0);
    typeKeys(QStringLiteral("ab"));
    QVERIFY(m_typing->toPlainText().isEmpty());
    tick(2);
    QVERIFY(!w.finished);
    QCOMPARE(w.labProgress->text(), QStringLiteral("进度: 0.00%"));
}

void TestTyping::emptiedFirstPageResetsRun()
{
    open(QStringLiteral("abcdef"));
    frmMain& w = *m_window;
    typeKeys(QStringLiteral("aX"));
    QVERIFY(w.clockRunning());
    QCOMPARE(w.progressBar->value(), 33);
    QCOMPARE(w.labProgress->text(), QStringLiteral("进度: 33.33%"));
    tick(5);
    QTest::keyClick(m_typing, Qt::Key_Backspace);
    QTest::keyClick(m_typing, Qt::Key_Backspace);
    QVERIFY(!w.clockRunning());
    QCOMPARE(w.ticks, 0);
    QCOMPARE(w.wrongCount, 0);
    QCOMPARE(App::KeyCount, 0);
    QCOMPARE(backgroundAt(m_ref, 0), QColor(App::Dbj));
    QCOMPARE(backgroundAt(m_ref, 1), QColor(App::Dbj));
    QCOMPARE(w.progressBar->value(), 0);
}

void TestTyping::retypeAfterFinishedRun_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("secondRetypeCount");
    // A one-page passage counts its runs; a longer one is laid again from page 1 each time, which
    // starts the count afresh before it is raised.
    QTest::addRow("one page") << 3 << 2;
    QTest::addRow("two pages") << 501 << 1;
}

void TestTyping::retypeAfterFinishedRun()
{
    QFETCH(int, length);
    QFETCH(int, secondRetypeCount);
    const QString passage = letters(length);
    open(passage);
    frmMain& w = *m_window;
    for (int run = 0; run < 2; ++run) {
        typeKeys(passage);
        tick();
        QVERIFY(w.finished);
        QCOMPARE(w.resultRow, run);

        w.Reset();
        QCOMPARE(w.resultRow, run + 1);
        QCOMPARE(w.retypeCount, run == 0 ? 1 : secondRetypeCount);
        QCOMPARE(w.resultModel->item(run, 3)->text(), QString::number(length));
        QVERIFY(!w.finished);
        QVERIFY(!m_typing->isReadOnly());
        QVERIFY(m_typing->toPlainText().isEmpty());
        QCOMPARE(w.typedCount, 0);
        QCOMPARE(w.pageNumber, 1);
        QCOMPARE(m_ref->toPlainText(), passage.left(510));
        QCOMPARE(backgroundAt(m_ref, 2), QColor(App::Dbj));
    }
}

void TestTyping::freeModeOnlyCounts()
{
    App::Pattern = FreeTyping;
    open(QStringLiteral("abcdef"));
    frmMain& w = *m_window;
    w.mode = FreeTyping;
    typeKeys(QStringLiteral("abXdefgh"));
    QCOMPARE(w.typedCount, 8);
    QVERIFY(w.clockRunning());
    QCOMPARE(w.labCount->text(), QStringLiteral("总字数: 8"));
    QCOMPARE(m_typing->toPlainText(), QStringLiteral("abXdefgh")); // nothing trimmed
    QCOMPARE(backgroundAt(m_ref, 2), QColor(App::Dbj));            // nothing compared
    tick(3);
    QVERIFY(!w.finished); // free runs end by the pause command only
    QCOMPARE(w.endTickCount, 0);
}

void TestTyping::plainInsertionStartsRun()
{
    // The own input-method panel inserts plain text with no key event: the change alone starts
    // the run and counts its commit.
    open(QStringLiteral("中文输入法"));
    frmMain& w = *m_window;
    insertPlain(m_typing, QStringLiteral("中文"));
    QVERIFY(w.clockRunning());
    QCOMPARE(w.typedCount, 2);
    QCOMPARE(w.lastInputText, QStringLiteral("中文"));
    QCOMPARE(w.lastCommitLength, 2);
    QCOMPARE(w.uncountedChars, QStringLiteral("中文"));
    QCOMPARE(App::Jilu, 2);
    insertPlain(m_typing, QStringLiteral("输"));
    QCOMPARE(w.typedCount, 3);
    QCOMPARE(App::Jilu, 3);
    QCOMPARE(w.uncountedChars, QStringLiteral("中文"));
}

void TestTyping::pasteRefused_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier);
    QTest::addRow("Shift+Insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier);
}

void TestTyping::pasteRefused()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QApplication::clipboard()->setText(QStringLiteral("abcdef"));
    open(QStringLiteral("abcdef"));
    typeKeys(QStringLiteral("ab"));
    QTest::keyClick(m_typing, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_typing->toPlainText(), QStringLiteral("ab"));
    QCOMPARE(m_window->typedCount, 2);
    QCOMPARE(m_typing->contextMenuPolicy(), Qt::NoContextMenu);
}

void TestTyping::dropRefused()
{
    open(QStringLiteral("abcdef"));
    typeKeys(QStringLiteral("ab"));
    QVERIFY(!m_typing->acceptDrops());

    QMimeData mime;
    mime.setText(QStringLiteral("cdef"));
    QWidget* viewport = m_typing->viewport();
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QCOMPARE(m_typing->toPlainText(), QStringLiteral("ab"));
    QCOMPARE(m_window->typedCount, 2);
}

void TestTyping::backspaceNeverLowersRecord()
{
    open(QStringLiteral("abcdef"));
    typeKeys(QStringLiteral("ab"));
    QCOMPARE(App::Jilu, 2);
    QTest::keyClick(m_typing, Qt::Key_Backspace);
    QTest::keyClick(m_typing, Qt::Key_Backspace);
    QCOMPARE(App::Jilu, 2);
    QCOMPARE(App::TempJilu, 2);
    // On the empty pane nothing changes, and nothing may go negative for the next change.
    QTest::keyClick(m_typing, Qt::Key_Backspace);
    QVERIFY(m_window->lastCommitLength >= 0);
    commit(m_typing, QStringLiteral("a"));
    QCOMPARE(App::Jilu, 3);
    QCOMPARE(App::TempJilu, 3);
}

// Typing saves the day's growth within a second, and closing the window saves what is still owed.
void TestTyping::recordGrowthReachesStore()
{
    auto stored = [] {
        QSettings store(QStringLiteral("VEK Helper"), QStringLiteral("VEK"));
        return store.value(QStringLiteral("VekConfig/TempJilu")).toInt();
    };
    open(QStringLiteral("abcdef"));
    typeKeys(QStringLiteral("ab"));
    QCOMPARE(App::TempJilu, 2);
    QTRY_COMPARE_WITH_TIMEOUT(stored(), 2, 3000);

    typeKeys(QStringLiteral("c"));
    QCOMPARE(App::TempJilu, 3);
    m_window->close();
    consumeQuitRequest();
    QCOMPARE(stored(), 3);
}

void TestTyping::keyCounters_data()
{
    // Counter changes of one key press into a pane that already holds text, with selection keys
    // counted by the keyboard: keys, select, back, correct, right.
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("autoRepeat");
    QTest::addColumn<QVector<int>>("deltas");
    using V = QVector<int>;
    QTest::addRow("letter") << int(Qt::Key_C) << "c" << false << V{1, 0, 0, 0, 0};
    QTest::addRow("semicolon") << int(Qt::Key_Semicolon) << ";" << false << V{1, -1, 0, 0, 0};
    QTest::addRow("digit 3") << int(Qt::Key_3) << "3" << false << V{1, -1, 0, 0, 0};
    QTest::addRow("digit 1") << int(Qt::Key_1) << "1" << false << V{1, 0, 0, 0, 0};
    QTest::addRow("repeated digit") << int(Qt::Key_3) << "3" << true << V{1, 0, 0, 0, 0};
    QTest::addRow("backspace") << int(Qt::Key_Backspace) << "\b" << false << V{1, 0, 0, 1, 0};
    QTest::addRow("repeated backspace") << int(Qt::Key_Backspace) << "\b" << true << V{1, 0, 1, 1, 0};
    QTest::addRow("escape") << int(Qt::Key_Escape) << "\x1b" << false << V{1, 0, 0, 1, 0};
    QTest::addRow("F10") << int(Qt::Key_F10) << "" << false << V{1, 0, 0, 0, 1};
    QTest::addRow("keypad Enter") << int(Qt::Key_Enter) << "\r" << false << V{1, 0, 0, 0, 0};
}

void TestTyping::keyCounters()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, autoRepeat);
    QFETCH(QVector<int>, deltas);
    open(QStringLiteral("abcdefgh"));
    frmMain& w = *m_window;
    typeKeys(QStringLiteral("ab"));
    App::SelectCount = 5;
    const QVector<int> before{App::KeyCount, App::SelectCount, App::BackCount, App::CorrectCount, App::RightKeys};

    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, autoRepeat);
    QApplication::sendEvent(m_typing, &press);
    const QVector<int> after{App::KeyCount, App::SelectCount, App::BackCount, App::CorrectCount, App::RightKeys};
    QVector<int> actual;
    for (int i = 0; i < after.size(); ++i)
        actual << after.at(i) - before.at(i);
    QCOMPARE(actual, deltas);
    if (key == Qt::Key_Enter)
        QCOMPARE(m_typing->toPlainText(), QStringLiteral("ab")); // keypad Enter never reaches the pane
    QVERIFY(w.lastCommitLength >= 0);
}

void TestTyping::returnRunsHotKeyAndStops()
{
    open(QStringLiteral("abcdef"));
    frmMain& w = *m_window;
    typeKeys(QStringLiteral("ab"));
    QVERIFY(w.clockRunning());
    QTest::keyClick(m_typing, Qt::Key_Return);
    QCOMPARE(m_typing->toPlainText(), QStringLiteral("ab"));
    QVERIFY(!w.clockRunning());
    QVERIFY(w.paused);
    auto* title = w.findChild<QLabel*>("lab_Title");
    QCOMPARE(title->text(), QStringLiteral("Tavrel跟打器[暂停]"));

    // The next change goes on and takes the pause note away.
    typeKeys(QStringLiteral("c"));
    QVERIFY(w.clockRunning());
    QVERIFY(!w.paused);
    QCOMPARE(title->text(), QStringLiteral("Tavrel跟打器"));

    // A Return bound to nothing still never reaches the pane, and stops nothing.
    App::Kjzt = QStringLiteral("F7");
    QTest::keyClick(m_typing, Qt::Key_Return);
    QCOMPARE(m_typing->toPlainText(), QStringLiteral("abc"));
    QVERIFY(w.clockRunning());
}

void TestTyping::focusLossPauses()
{
    open(QStringLiteral("abcdef"));
    frmMain& w = *m_window;
    QFocusEvent idle(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(m_typing, &idle);
    QVERIFY(!w.paused); // nothing typed yet

    typeKeys(QStringLiteral("ab"));
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(m_typing, &out);
    QVERIFY(!w.clockRunning());
    QVERIFY(w.paused);
}

void TestTyping::firstKeyOfRunResets()
{
    open(QStringLiteral("abcdef"));
    frmMain& w = *m_window;
    App::KeyCount = 40;
    w.uncountedChars = QStringLiteral("stale");
    w.firstEventSeen = true;
    // The first key of a run resets it: its own count goes with the reset.
    typeKeys(QStringLiteral("a"));
    QCOMPARE(App::KeyCount, 0);
    QVERIFY(w.uncountedChars.isEmpty());
    typeKeys(QStringLiteral("b"));
    QCOMPARE(App::KeyCount, 1);
    QCOMPARE(w.uncountedChars, QStringLiteral("b"));
    // A commit of several characters counts as a word.
    commit(m_typing, QStringLiteral("cd"));
    QCOMPARE(w.wordChars, 2);
    QCOMPARE(w.typedCount, 4);
}

void TestTyping::collectionsScanned()
{
    App::CuoZiSj = true;
    open(QStringLiteral("天地玄黄"));
    frmMain& w = *m_window;
    commit(m_typing, QStringLiteral("天"));
    commit(m_typing, QStringLiteral("他"));
    QCOMPARE(App::WrongChars, QStringLiteral("地"));
    QCOMPARE(w.wrongScanLength, 2);

    // Practising the collection: a right character leaves it.
    App::WrongChars = QStringLiteral("玄地");
    w.textTitle = QStringLiteral("错字收集");
    QTest::keyClick(m_typing, Qt::Key_Backspace);
    commit(m_typing, QStringLiteral("地玄"));
    QVERIFY(App::WrongChars.isEmpty());
}

void TestTyping::collectionsLoadedFromFiles()
{
    // A missing file leaves the collection as it is; a file read on Windows (GB18030) reads right.
    App::WrongChars = QStringLiteral("旧");
    App::SlowChars = QStringLiteral("慢");
    QFile slow(QStringLiteral("慢字收集.txt"));
    QVERIFY(slow.open(QIODevice::WriteOnly));
    slow.write(QTextCodec::codecForName("GB18030")->fromUnicode(QStringLiteral("迟缓")));
    slow.close();
    open(QStringLiteral("abc"));
    QCOMPARE(App::WrongChars, QStringLiteral("旧"));
    QCOMPARE(App::SlowChars, QStringLiteral("迟缓"));
}

void TestTyping::resizeSavesWindowSize()
{
    open(QStringLiteral("abc"));
    frmMain& w = *m_window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::processEvents();
    // Showing the window at its saved size saves nothing.
    QVERIFY(!QFile::exists(QStringLiteral("CONFIG/settings.ini")));

    w.resize(700, 420);
    QTRY_COMPARE(App::Width, 700);
    QCOMPARE(App::Height, 420);
    QSettings ini(QStringLiteral("CONFIG/settings.ini"), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("AppConfig/Width")).toInt(), 700);
}

void TestTyping::titleMessageWaitsWithEvents()
{
    open(QStringLiteral("abc"));
    frmMain& w = *m_window;
    auto* title = w.findChild<QLabel*>("lab_Title");
    w.showTitleMessage(QStringLiteral("跟打结束"), -1);
    QCOMPARE(title->text(), QStringLiteral("Tavrel跟打器[<font color='red';>跟打结束</font>]"));

    bool served = false;
    QTimer::singleShot(10, this, [&] { served = title->text().contains(QStringLiteral("稍等")); });
    w.showTitleMessage(QStringLiteral("稍等"), 100);
    QVERIFY(served); // events ran while the message showed
    QCOMPARE(title->text(), QStringLiteral("Tavrel跟打器"));
}

QTEST_MAIN(TestTyping)
#include "test_typing.moc"

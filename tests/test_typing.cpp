// The typing run in the real main window: paging, the comparison painted onto the reference pane,
// the end of a run, the typing pane's key counters, pauses, and its refusal of pasted text.
#include "app/core/app.h"
#include "testsupport.h"
#include "typing/coresettings.h"
#include "typing/frmmain.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTextEdit>

#include <memory>

using namespace ts;

namespace {

// Letters that never repeat within 26 positions, so a shifted page never compares equal.
QString letters(int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QChar('a' + i % 26));
    return text;
}

// An input-method commit, as a system input method delivers a committed word.
void commit(QWidget* pane, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(pane, &event);
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

} // namespace

class TestTyping : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { App::initResources(); }
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        resetWindowGlobals();
        App::Quchu = App::Tihuan = false; // passages laid as given
        App::CountSelectKeys = true;
    }
    void cleanup()
    {
        if (m_window) {
            m_window->close();
            consumeQuitRequest();
        }
        m_window.reset();
        m_dir.reset();
    }

    void paging_data()
    {
        QTest::addColumn<int>("length");
        QTest::addRow("one page exactly") << 500;
        QTest::addRow("one more than a page") << 501;
        QTest::addRow("three pages") << 1200;
    }

    void paging()
    {
        QFETCH(int, length);
        const QString passage = letters(length);
        open(passage);
        frmMain& w = *m_window;
        QCOMPARE(m_ref->toPlainText(), passage.left(510));
        // The look-ahead of a paged passage is underlined in red.
        const QTextCharFormat ahead = formatAt(m_ref, std::min(505, length - 1));
        QCOMPARE(ahead.underlineStyle() == QTextCharFormat::SingleUnderline, length > 500);
        QCOMPARE(formatAt(m_ref, 499).underlineStyle(), QTextCharFormat::NoUnderline);

        typeKeys(passage.left(500));
        if (length > 500) {
            // Page 2 starts at 490 and shows 510 characters; the pane keeps the last 10 typed.
            QCOMPARE(w.pageNumber, 2);
            QCOMPARE(m_ref->toPlainText(), passage.mid(490, 510));
            QCOMPARE(m_typing->toPlainText(), passage.mid(490, 10));
            QCOMPARE(w.typedCount, 500);
            QVERIFY(!w.finished);
            typeKeys(passage.mid(500));
        }
        QCOMPARE(w.typedCount, length);
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

    // A commit that runs past the page turns once, keeps what lies beyond, counts from one comparison.
    void commitPastThePageTurnsOnce()
    {
        const QString passage = letters(1000);
        open(passage);
        frmMain& w = *m_window;
        QString typed = passage.left(505);
        typed[3] = QLatin1Char('#');   // counted on page 1
        typed[495] = QLatin1Char('#'); // in the look-back: counted again on page 2
        commit(m_typing, typed);
        QCOMPARE(w.pageNumber, 2);
        QCOMPARE(m_typing->toPlainText(), typed.mid(490));
        QCOMPARE(w.typedCount, 505);
        QCOMPARE(w.wrongCount, 2);
        QCOMPARE(App::Jilu, 505);
        QCOMPARE(backgroundAt(m_ref, 5), QColor(App::Wc));
        QCOMPARE(backgroundAt(m_ref, 15), QColor(App::Dbj));
    }

    // A missing page size reads as 0; paging still moves on by whole pages, one turn at a time.
    void zeroPageSizeDoesNotRecurse()
    {
        App::Fanye = 0;
        const QString passage = letters(95);
        open(passage);
        frmMain& w = *m_window;
        const PageLayout layout = CoreSettings::pageLayout();
        QVERIFY(layout.pageSize() > 0);
        int lastPage = 1;
        for (int i = 0; i < passage.size(); ++i) {
            typeKeys(passage.mid(i, 1));
            QVERIFY(w.pageNumber - lastPage <= 1);
            lastPage = w.pageNumber;
            QCOMPARE(m_ref->toPlainText(), layout.pageText(passage, w.pageNumber));
        }
        QVERIFY(lastPage > 1);
        tick();
        QVERIFY(w.finished);
        QCOMPARE(w.typedAll, passage);
    }

    void markupAndWhiteSpaceKeptExactly()
    {
        const QString passage = QStringLiteral("a<b &lt;\t<b>x</b>\n\n  &amp; 中文<i>");
        open(passage);
        frmMain& w = *m_window;
        QCOMPARE(m_ref->toPlainText(), passage);
        for (int i = 0; i < passage.size(); ++i) {
            const QChar c = passage.at(i);
            if (c.unicode() > 127)
                commit(m_typing, QString(c));
            else
                typeKeys(QString(c));
            QCOMPARE(m_ref->toPlainText(), passage);
            QCOMPARE(m_typing->toPlainText(), passage.left(i + 1));
            QCOMPARE(w.wrongCount, 0);
            if (c != QLatin1Char('\n'))
                QCOMPARE(backgroundAt(m_ref, i), QColor(App::Rc));
        }
        tick();
        QVERIFY(w.finished);

        // A file made on Windows ends its lines with CR LF; each is one line break to type.
        open(QStringLiteral("ab\r\ncd\re"));
        QCOMPARE(m_window->passage, QStringLiteral("ab\ncd\ne"));
        typeKeys(QStringLiteral("ab\ncd\ne"));
        tick();
        QVERIFY(m_window->finished);
    }

    // A wrong character is painted and counted until corrected; while the last one is wrong the
    // run stays open; a character typed inside a full page goes again.
    void wrongCharacters()
    {
        open(QStringLiteral("abc"));
        frmMain& w = *m_window;
        typeKeys(QStringLiteral("abX"));
        QCOMPARE(m_ref->toPlainText(), QStringLiteral("abc"));
        QCOMPARE(backgroundAt(m_ref, 1), QColor(App::Rc));
        QCOMPARE(backgroundAt(m_ref, 2), QColor(App::Wc));
        QCOMPARE(w.wrongCount, 1);
        QCOMPARE(w.pageWrongChars, QStringLiteral("c"));
        tick(3);
        QVERIFY(!w.finished);
        QCOMPARE(w.endTickCount, 3);
        QVERIFY(!m_typing->isReadOnly());
        QCOMPARE(w.labProgress->text(), QStringLiteral("进度: 100.00%"));

        QTest::keyClick(m_typing, Qt::Key_Backspace);
        QCOMPARE(backgroundAt(m_ref, 2), QColor(App::Dbj));
        QCOMPARE(w.wrongCount, 0);
        QCOMPARE(w.endTickCount, 0);
        typeKeys(QStringLiteral("c"));
        QCOMPARE(backgroundAt(m_ref, 2), QColor(App::Rc));
        QVERIFY(w.pageWrongChars.isEmpty());

        QTextCursor cursor = m_typing->textCursor();
        cursor.setPosition(1);
        m_typing->setTextCursor(cursor);
        typeKeys(QStringLiteral("X"));
        QCOMPARE(m_typing->toPlainText(), QStringLiteral("abc"));
        QCOMPARE(m_typing->textCursor().position(), 1);
        tick();
        QVERIFY(w.finished);
        QCOMPARE(w.wrongCount, 0);
        QCOMPARE(w.typedAll, QStringLiteral("abc"));
    }

    // Errors stay hidden until the passage is typed to its end.
    void blindMode()
    {
        App::Pattern = BlindTyping;
        open(QStringLiteral("abcd"));
        frmMain& w = *m_window;
        QCOMPARE(w.mode, int(BlindTyping));
        QVERIFY(m_typing->styleSheet().contains(QStringLiteral("color:%1").arg(App::Gbj)));
        typeKeys(QStringLiteral("aXc"));
        QCOMPARE(backgroundAt(m_ref, 1), QColor(App::Rc));
        QCOMPARE(w.wrongCount, 1);
        typeKeys(QStringLiteral("d"));
        QCOMPARE(backgroundAt(m_ref, 1), QColor(App::Wc));
        tick();
        QVERIFY(w.finished);
        QCOMPARE(m_typing->styleSheet(), QStringLiteral("QTextEdit{background:%1;color:%2;}").arg(App::Gbj, App::Ztcg));
        QCOMPARE(w.wrongRefChars, QStringLiteral("b"));
        QCOMPARE(w.wrongTypedChars, QStringLiteral("X"));
    }

    void freeModeOnlyCounts()
    {
        App::Pattern = FreeTyping;
        open(QStringLiteral("abcdef"));
        frmMain& w = *m_window;
        typeKeys(QStringLiteral("abXdefgh"));
        QCOMPARE(w.typedCount, 8);
        QCOMPARE(w.labCount->text(), QStringLiteral("总字数: 8"));
        QCOMPARE(m_typing->toPlainText(), QStringLiteral("abXdefgh")); // nothing trimmed
        QCOMPARE(backgroundAt(m_ref, 2), QColor(App::Dbj));            // nothing compared
        tick(3);
        QVERIFY(!w.finished); // free runs end by the pause command only

        // A long free run keeps only its recent end in the pane; the count goes on, a character
        // outside the Basic Multilingual Plane is never cut in two, and a retype starts at 0.
        const QString pair = QStringLiteral("\U00020000");
        // Placed so that the cut falls between the two halves of the pair.
        QString text = QString(3999, QLatin1Char('x')) + pair + QString(999, QLatin1Char('y'));
        commit(m_typing, text);
        QCOMPARE(w.typedCount, 8 + text.size());
        QCOMPARE(w.labCount->text(), QStringLiteral("总字数: %1").arg(8 + text.size()));
        QCOMPARE(m_typing->toPlainText(), QString(999, QLatin1Char('y')));
        typeKeys(QStringLiteral("z"));
        QCOMPARE(w.typedCount, 9 + text.size());
        QVERIFY(m_typing->toPlainText().endsWith(QLatin1Char('z')));
        w.Reset();
        QCOMPARE(w.typedCount, 0);
        typeKeys(QStringLiteral("a"));
        QCOMPARE(w.typedCount, 1);
    }

    void emptyPassage()
    {
        open(QString());
        frmMain& w = *m_window;
        typeKeys(QStringLiteral("ab"));
        QVERIFY(m_typing->toPlainText().isEmpty());
        tick(2);
        QVERIFY(!w.finished);
        QCOMPARE(w.labProgress->text(), QStringLiteral("进度: 0.00%"));
    }

    // Emptying the pane resets the run; the day's record never goes down, nothing goes negative.
    void backspaceToEmptyPane()
    {
        open(QStringLiteral("abcdef"));
        frmMain& w = *m_window;
        typeKeys(QStringLiteral("aX"));
        QCOMPARE(w.progressBar->value(), 33);
        tick(5);
        QTest::keyClick(m_typing, Qt::Key_Backspace);
        QTest::keyClick(m_typing, Qt::Key_Backspace);
        QVERIFY(!w.clockRunning());
        QCOMPARE(w.ticks, 0);
        QCOMPARE(w.wrongCount, 0);
        QCOMPARE(App::KeyCount, 0);
        QCOMPARE(backgroundAt(m_ref, 1), QColor(App::Dbj));
        QCOMPARE(w.progressBar->value(), 0);
        QCOMPARE(App::Jilu, 2);
        QCOMPARE(App::TempJilu, 2);

        QTest::keyClick(m_typing, Qt::Key_Backspace);
        QVERIFY(w.lastCommitLength >= 0);
        commit(m_typing, QStringLiteral("a"));
        QCOMPARE(App::Jilu, 3);
        QCOMPARE(App::TempJilu, 3);
    }

    // A retype books the finished run into its row and lays a paged passage again from page 1,
    // which starts the retype count afresh.
    void retypeAfterFinishedRun()
    {
        const QString passage = letters(501);
        open(passage);
        frmMain& w = *m_window;
        for (int run = 0; run < 2; ++run) {
            commit(m_typing, passage);
            tick();
            QVERIFY(w.finished);
            w.Reset();
            QCOMPARE(w.resultRow, run + 1);
            QCOMPARE(w.retypeCount, 1);
            QCOMPARE(w.resultModel->item(run, 3)->text(), QStringLiteral("501"));
            QVERIFY(!m_typing->isReadOnly() && m_typing->toPlainText().isEmpty());
            QCOMPARE(w.pageNumber, 1);
            QCOMPARE(m_ref->toPlainText(), passage.left(510));
        }
    }

    // The own input-method panel inserts with no key event: the change alone starts the run.
    void plainInsertionStartsRun()
    {
        open(QStringLiteral("中文输入法"));
        frmMain& w = *m_window;
        m_typing->insertPlainText(QStringLiteral("中文"));
        QVERIFY(w.clockRunning());
        QCOMPARE(w.typedCount, 2);
        QCOMPARE(w.lastCommitLength, 2);
        QCOMPARE(App::Jilu, 2);
    }

    void pasteRefused_data()
    {
        QTest::addColumn<int>("key"); // 0: dropped instead
        QTest::addColumn<int>("modifiers");
        QTest::addRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier);
        QTest::addRow("Shift+Insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier);
        QTest::addRow("drag and drop") << 0 << 0;
    }

    void pasteRefused()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QApplication::clipboard()->setText(QStringLiteral("cdef"));
        open(QStringLiteral("abcdef"));
        typeKeys(QStringLiteral("ab"));
        QCOMPARE(m_typing->contextMenuPolicy(), Qt::NoContextMenu);
        if (key) {
            QTest::keyClick(m_typing, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        } else {
            QMimeData mime;
            mime.setText(QStringLiteral("cdef"));
            QWidget* viewport = m_typing->viewport();
            const QPoint at = viewport->rect().center();
            QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &enter);
            QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &drop);
        }
        QCOMPARE(m_typing->toPlainText(), QStringLiteral("ab"));
        QCOMPARE(m_window->typedCount, 2);
    }

    // Typing saves the day's growth within a second; closing saves what is still owed.
    void recordGrowthReachesStore()
    {
        open(QStringLiteral("abcdef"));
        typeKeys(QStringLiteral("ab"));
        QTRY_COMPARE_WITH_TIMEOUT(storedRecord("TempJilu").toInt(), 2, 3000);
        typeKeys(QStringLiteral("c"));
        m_window->close();
        consumeQuitRequest();
        QCOMPARE(storedRecord("TempJilu").toInt(), 3);
    }

    void keyCounters_data()
    {
        // Counter changes of one key press into a pane holding text: keys, select, back, correct, right.
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("autoRepeat");
        QTest::addColumn<QVector<int>>("deltas");
        using V = QVector<int>;
        QTest::addRow("letter") << int(Qt::Key_C) << "c" << false << V{1, 0, 0, 0, 0};
        QTest::addRow("semicolon") << int(Qt::Key_Semicolon) << ";" << false << V{1, -1, 0, 0, 0};
        QTest::addRow("digit 1") << int(Qt::Key_1) << "1" << false << V{1, 0, 0, 0, 0};
        QTest::addRow("repeated digit") << int(Qt::Key_3) << "3" << true << V{1, 0, 0, 0, 0};
        QTest::addRow("repeated backspace") << int(Qt::Key_Backspace) << "\b" << true << V{1, 0, 1, 1, 0};
        QTest::addRow("F10") << int(Qt::Key_F10) << "" << false << V{1, 0, 0, 0, 1};
        QTest::addRow("keypad Enter") << int(Qt::Key_Enter) << "\r" << false << V{1, 0, 0, 0, 0};
    }

    void keyCounters()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(bool, autoRepeat);
        open(QStringLiteral("abcdefgh"));
        typeKeys(QStringLiteral("ab"));
        App::SelectCount = 5;
        const auto counters = [] {
            return QVector<int>{App::KeyCount, App::SelectCount, App::BackCount, App::CorrectCount, App::RightKeys};
        };
        const QVector<int> before = counters();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, autoRepeat);
        QApplication::sendEvent(m_typing, &press);
        QVector<int> deltas = counters();
        for (int i = 0; i < deltas.size(); ++i)
            deltas[i] -= before.at(i);
        QTEST(deltas, "deltas");
        if (key == Qt::Key_Enter)
            QCOMPARE(m_typing->toPlainText(), QStringLiteral("ab")); // keypad Enter never reaches the pane
    }

    // The first key of a run resets the counters, its own count with them; a multi-character commit is a word.
    void firstKeyOfRunResets()
    {
        open(QStringLiteral("abcdef"));
        frmMain& w = *m_window;
        App::KeyCount = 40;
        w.firstEventSeen = true;
        typeKeys(QStringLiteral("a"));
        QCOMPARE(App::KeyCount, 0);
        typeKeys(QStringLiteral("b"));
        QCOMPARE(App::KeyCount, 1);
        commit(m_typing, QStringLiteral("cd"));
        QCOMPARE(w.wordChars, 2);
        QCOMPARE(w.typedCount, 4);
    }

    void returnAndFocusLossPause()
    {
        open(QStringLiteral("abcdef"));
        frmMain& w = *m_window;
        QFocusEvent idle(QEvent::FocusOut, Qt::MouseFocusReason);
        QApplication::sendEvent(m_typing, &idle);
        QVERIFY(!w.paused); // nothing typed yet

        typeKeys(QStringLiteral("ab"));
        QTest::keyClick(m_typing, Qt::Key_Return);
        QCOMPARE(m_typing->toPlainText(), QStringLiteral("ab"));
        QVERIFY(!w.clockRunning() && w.paused);
        QCOMPARE(w.findChild<QLabel*>("lab_Title")->text(), QStringLiteral("Tavrel跟打器[暂停]"));
        typeKeys(QStringLiteral("c")); // goes on
        QVERIFY(w.clockRunning() && !w.paused);

        // A Return bound to nothing still never reaches the pane, and stops nothing.
        App::Kjzt = QStringLiteral("F7");
        QTest::keyClick(m_typing, Qt::Key_Return);
        QCOMPARE(m_typing->toPlainText(), QStringLiteral("abc"));
        QVERIFY(w.clockRunning());

        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QApplication::sendEvent(m_typing, &out);
        QVERIFY(!w.clockRunning() && w.paused);
    }

private:
    // A window with `text` laid as the passage and the run prepared, as the retype command does.
    void open(const QString& text)
    {
        if (m_window) {
            m_window->close();
            consumeQuitRequest();
        }
        m_window = std::make_unique<frmMain>();
        m_ref = m_window->findChild<QTextEdit*>("textEdit");
        m_typing = m_window->findChild<QTextEdit*>("textEdit2");
        m_window->loadArticle(text);
        m_window->Reset();
    }
    void typeKeys(const QString& text)
    {
        for (const QChar c : text) {
            if (c == QLatin1Char('\n'))
                commit(m_typing, QStringLiteral("\n")); // Return never reaches the pane
            else
                QTest::keyClicks(m_typing, QString(c));
        }
    }
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            m_window->TimeSlot();
    }

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<frmMain> m_window;
    QTextEdit* m_ref = nullptr;
    QTextEdit* m_typing = nullptr;
};

QTEST_MAIN(TestTyping)
#include "test_typing.moc"

// The typing run in the real main window, typed with key events and input-method commits: paging,
// the comparison painted onto the reference pane, the end of a run, the typing pane's key counters,
// pauses, and its refusal of pasted text.
#include "app/core/app.h"
#include "testsupport.h"
#include "typing/core/resultline.h"

#include <QMimeData>
#include <QProgressBar>

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

} // namespace

class TestTyping : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_f;

    // The run ended: the typing pane is closed and the result line arrived.
    QString finish()
    {
        [&] { QTRY_VERIFY(m_f->typing()->isReadOnly()); }();
        return m_f->waitLine();
    }

private slots:
    void initTestCase() { App::initResources(); }
    void init() { m_f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { m_f.reset(); }

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
        m_f->open();
        m_f->lay(passage);
        QTextEdit* ref = m_f->reference();
        QCOMPARE(ref->toPlainText(), passage.left(510));
        // The look-ahead of a paged passage is underlined in red.
        const auto underlined = [ref](int at) {
            return MainWindowFixture::formatAt(ref, at).underlineStyle() == QTextCharFormat::SingleUnderline;
        };
        QCOMPARE(underlined(std::min(505, length - 1)), length > 500);
        QVERIFY(!underlined(499));

        m_f->type(passage.left(500));
        if (length > 500) {
            // Page 2 starts at 490 and shows 510 characters; the pane keeps the last 10 typed.
            QCOMPARE(ref->toPlainText(), passage.mid(490, 510));
            QCOMPARE(m_f->typing()->toPlainText(), passage.mid(490, 10));
            QVERIFY(!m_f->typing()->isReadOnly());
            m_f->type(passage.mid(500));
        }
        const QString line = finish();
        QVERIFY(!m_f->w().clockRunning());
        QCOMPARE(m_f->cell(0, "字数"), QString::number(length));
        QCOMPARE(m_f->cell(0, "错字"), QStringLiteral("0"));
        QCOMPARE(verifyResultLine(line, App::ShuRuFa2, App::QianMing2).outcome, LineCheck::Genuine);
        // Every character joined the day's record once, none twice at a page turn.
        QCOMPARE(App::Jilu, length);
        QCOMPARE(App::TempJilu, length);
    }

    // A commit that runs past the page turns once, keeps what lies beyond, counts from one comparison.
    void commitPastThePageTurnsOnce()
    {
        const QString passage = letters(1000);
        m_f->open();
        m_f->lay(passage);
        QString typed = passage.left(505);
        typed[3] = QLatin1Char('#');   // counted on page 1
        typed[495] = QLatin1Char('#'); // in the look-back: counted again on page 2
        m_f->commit(typed);
        QCOMPARE(m_f->reference()->toPlainText(), passage.mid(490, 510));
        QCOMPARE(m_f->typing()->toPlainText(), typed.mid(490));
        QCOMPARE(App::Jilu, 505);
        QCOMPARE(m_f->background(5), QColor(App::Wc));
        QCOMPARE(m_f->background(15), QColor(App::Dbj));
        m_f->commit(passage.mid(505));
        finish();
        QCOMPARE(m_f->cell(0, "错字"), QStringLiteral("2"));
    }

    void markupAndWhiteSpaceKeptExactly()
    {
        const QString passage = QStringLiteral("a<b &lt;\t<b>x</b>\n\n  &amp; 中文<i>");
        m_f->open();
        m_f->lay(passage);
        QCOMPARE(m_f->reference()->toPlainText(), passage);
        for (int i = 0; i < passage.size(); ++i) {
            m_f->type(passage.mid(i, 1));
            QCOMPARE(m_f->reference()->toPlainText(), passage);
            QCOMPARE(m_f->typing()->toPlainText(), passage.left(i + 1));
            if (passage.at(i) != QLatin1Char('\n'))
                QCOMPARE(m_f->background(i), QColor(App::Rc));
        }
        finish();
        QCOMPARE(m_f->cell(0, "错字"), QStringLiteral("0"));

        // A file made on Windows ends its lines with CR LF; each is one line break to type.
        m_f->lay(QStringLiteral("ab\r\ncd\re"));
        QCOMPARE(m_f->reference()->toPlainText(), QStringLiteral("ab\ncd\ne"));
        m_f->type(QStringLiteral("ab\ncd\ne"));
        finish();
    }

    // A wrong character is painted and counted until corrected; while the last one is wrong the
    // run stays open.
    void wrongCharacters()
    {
        m_f->open();
        m_f->lay(QStringLiteral("abc"));
        m_f->type(QStringLiteral("abX"));
        QCOMPARE(m_f->reference()->toPlainText(), QStringLiteral("abc"));
        QCOMPARE(m_f->background(1), QColor(App::Rc));
        QCOMPARE(m_f->background(2), QColor(App::Wc));
        QTest::qWait(60); // several ticks of the run clock
        QVERIFY(!m_f->typing()->isReadOnly());
        QCOMPARE(m_f->statusText("进度"), QStringLiteral("进度: 100.00%"));

        QTest::keyClick(m_f->typing(), Qt::Key_Backspace);
        QCOMPARE(m_f->background(2), QColor(App::Dbj));
        m_f->type(QStringLiteral("c"));
        QCOMPARE(m_f->background(2), QColor(App::Rc));
        finish();
        QCOMPARE(m_f->cell(0, "错字"), QStringLiteral("0"));
        QCOMPARE(m_f->typing()->toPlainText(), QStringLiteral("abc"));
    }

    // Errors stay hidden until the passage is typed to its end.
    void blindMode()
    {
        App::Pattern = BlindTyping;
        m_f->open();
        m_f->lay(QStringLiteral("abcd"));
        m_f->type(QStringLiteral("aXc"));
        QCOMPARE(m_f->background(1), QColor(App::Rc));
        m_f->type(QStringLiteral("d"));
        QCOMPARE(m_f->background(1), QColor(App::Wc));
        const QString line = finish();
        // The typed text is readable again, in the panes' own font.
        QVERIFY(m_f->typing()->styleSheet().startsWith(
            QStringLiteral("QTextEdit{background:%1;color:%2;").arg(App::Gbj, App::Ztcg)));
        QCOMPARE(m_f->cell(0, "错字"), QStringLiteral("1"));
        QVERIFY2(line.contains(QStringLiteral("错情[b√ X×]")), qPrintable(line));
    }

    void freeModeOnlyCounts()
    {
        App::Pattern = FreeTyping;
        m_f->open();
        m_f->lay(QStringLiteral("abcdef"));
        m_f->type(QStringLiteral("abXdefgh"));
        QCOMPARE(m_f->statusText("总字数"), QStringLiteral("总字数: 8"));
        QCOMPARE(m_f->typing()->toPlainText(), QStringLiteral("abXdefgh")); // nothing trimmed
        QCOMPARE(m_f->background(2), QColor(App::Dbj));                      // nothing compared
        QTest::qWait(60);
        QVERIFY(!m_f->typing()->isReadOnly()); // free runs end by the pause command only

        // A long free run keeps only its recent end in the pane; the count goes on, a character
        // outside the Basic Multilingual Plane is never cut in two, and a retype starts at 0.
        // Placed so that the cut falls between the two halves of the pair.
        const QString text = QString(3999, QLatin1Char('x')) + QStringLiteral("\U00020000") + QString(999, 'y');
        m_f->commit(text);
        QCOMPARE(m_f->statusText("总字数"), QStringLiteral("总字数: %1").arg(8 + text.size()));
        QCOMPARE(m_f->typing()->toPlainText(), QString(999, QLatin1Char('y')));
        m_f->type(QStringLiteral("z"));
        QCOMPARE(m_f->statusText("总字数"), QStringLiteral("总字数: %1").arg(9 + text.size()));
        m_f->w().Reset();
        m_f->type(QStringLiteral("a"));
        QCOMPARE(m_f->statusText("总字数"), QStringLiteral("总字数: 1"));
    }

    void passageEmptiedByCleaning()
    {
        App::Quchu = true;
        m_f->open();
        m_f->lay(QStringLiteral("  \t "));
        m_f->type(QStringLiteral("ab"));
        QVERIFY(m_f->typing()->toPlainText().isEmpty());
        QTest::qWait(60);
        QVERIFY(!m_f->typing()->isReadOnly());
        QCOMPARE(m_f->statusText("进度"), QStringLiteral("进度: 0.00%"));
    }

    // Emptying the pane resets the run; the day's record never goes down.
    void backspaceToEmptyPane()
    {
        m_f->open();
        m_f->lay(QStringLiteral("abcdef"));
        m_f->type(QStringLiteral("aX"));
        auto* progress = m_f->w().findChild<QProgressBar*>();
        QCOMPARE(progress->value(), 33);
        QVERIFY(m_f->w().clockRunning());
        QTest::keyClick(m_f->typing(), Qt::Key_Backspace);
        QTest::keyClick(m_f->typing(), Qt::Key_Backspace);
        QVERIFY(!m_f->w().clockRunning());
        QCOMPARE(App::KeyCount, 0);
        QCOMPARE(m_f->background(1), QColor(App::Dbj));
        QCOMPARE(progress->value(), 0);
        QCOMPARE(App::Jilu, 2);
        QCOMPARE(App::TempJilu, 2);

        QTest::keyClick(m_f->typing(), Qt::Key_Backspace);
        m_f->commit(QStringLiteral("a"));
        QCOMPARE(App::Jilu, 3);
        QCOMPARE(App::TempJilu, 3);
    }

    // A retype books the finished run into its row and lays a paged passage again from page 1; the
    // first key of each run resets the counters, its own count with them.
    void retypeAfterFinishedRun()
    {
        const QString passage = letters(501);
        m_f->open();
        m_f->lay(passage);
        for (int run = 0; run < 2; ++run) {
            App::KeyCount = 40;
            m_f->commit(passage);
            finish();
            QApplication::clipboard()->clear();
            m_f->w().Reset();
            QCOMPARE(m_f->table()->rowCount(), run + 1);
            QCOMPARE(m_f->cell(run, "字数"), QStringLiteral("501"));
            QCOMPARE(m_f->cell(run, "键数"), QStringLiteral("0"));
            QVERIFY(!m_f->typing()->isReadOnly() && m_f->typing()->toPlainText().isEmpty());
            QCOMPARE(m_f->reference()->toPlainText(), passage.left(510));
        }
    }

    // The own input-method panel inserts with no key event: the change alone starts the run.
    void plainInsertionStartsRun()
    {
        m_f->open();
        m_f->lay(QStringLiteral("中文输入法"));
        m_f->typing()->insertPlainText(QStringLiteral("中文"));
        QVERIFY(m_f->w().clockRunning());
        QCOMPARE(App::Jilu, 2);
        QCOMPARE(m_f->statusText("进度"), QStringLiteral("进度: 40.00%"));
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
        m_f->open();
        m_f->lay(QStringLiteral("abcdef"));
        QApplication::clipboard()->setText(QStringLiteral("cdef"));
        m_f->type(QStringLiteral("ab"));
        QTextEdit* typing = m_f->typing();
        QCOMPARE(typing->contextMenuPolicy(), Qt::NoContextMenu);
        if (key) {
            QTest::keyClick(typing, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        } else {
            QMimeData mime;
            mime.setText(QStringLiteral("cdef"));
            const QPoint at = typing->viewport()->rect().center();
            QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(typing->viewport(), &enter);
            QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(typing->viewport(), &drop);
        }
        QCOMPARE(typing->toPlainText(), QStringLiteral("ab"));
        QCOMPARE(App::Jilu, 2);
    }

    // Typing saves the day's growth within a second; closing saves what is still owed.
    void recordGrowthReachesStore()
    {
        m_f->open();
        m_f->lay(QStringLiteral("abcdef"));
        m_f->type(QStringLiteral("ab"));
        QTRY_COMPARE_WITH_TIMEOUT(storedRecord("TempJilu").toInt(), 2, 3000);
        m_f->type(QStringLiteral("c"));
        m_f->close();
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
        App::CountSelectKeys = true;
        m_f->open();
        m_f->lay(QStringLiteral("abcdefgh"));
        m_f->type(QStringLiteral("ab"));
        App::SelectCount = 5;
        const auto counters = [] {
            return QVector<int>{App::KeyCount, App::SelectCount, App::BackCount, App::CorrectCount, App::RightKeys};
        };
        const QVector<int> before = counters();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, autoRepeat);
        QApplication::sendEvent(m_f->typing(), &press);
        QVector<int> deltas = counters();
        for (int i = 0; i < deltas.size(); ++i)
            deltas[i] -= before.at(i);
        QTEST(deltas, "deltas");
        if (key == Qt::Key_Enter)
            QCOMPARE(m_f->typing()->toPlainText(), QStringLiteral("ab")); // keypad Enter never reaches the pane
    }

    void returnAndFocusLossPause()
    {
        m_f->open();
        m_f->lay(QStringLiteral("abcdef"));
        QTextEdit* typing = m_f->typing();
        QFocusEvent idle(QEvent::FocusOut, Qt::MouseFocusReason);
        QApplication::sendEvent(typing, &idle);
        QCOMPARE(m_f->title(), QStringLiteral("Tavrel跟打器")); // nothing typed yet: no pause

        m_f->type(QStringLiteral("ab"));
        QTest::keyClick(typing, Qt::Key_Return);
        QCOMPARE(typing->toPlainText(), QStringLiteral("ab"));
        QVERIFY(!m_f->w().clockRunning());
        QCOMPARE(m_f->title(), QStringLiteral("Tavrel跟打器[暂停]"));
        m_f->type(QStringLiteral("c")); // goes on
        QVERIFY(m_f->w().clockRunning());
        QCOMPARE(m_f->title(), QStringLiteral("Tavrel跟打器"));

        // A Return bound to nothing still never reaches the pane, and stops nothing.
        App::Kjzt = QStringLiteral("F7");
        QTest::keyClick(typing, Qt::Key_Return);
        QCOMPARE(typing->toPlainText(), QStringLiteral("abc"));
        QVERIFY(m_f->w().clockRunning());

        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QApplication::sendEvent(typing, &out);
        QVERIFY(!m_f->w().clockRunning());
        QCOMPARE(m_f->title(), QStringLiteral("Tavrel跟打器[暂停]"));
    }
};

QTEST_MAIN(TestTyping)
#include "test_typing.moc"

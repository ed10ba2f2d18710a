// The typing run in the real main window, typed with key events and input-method commits: paging,
// painting, the pane's key counters, pauses and refused pastes; the end of a run in the table, its
// buttons and line, the free run's end, the check and clearing commands and the code hints.
#include "testsupport.h"
#include "typing/core/resultline.h"
#include "typing/coresettings.h"
#include "typing/resulttable.h"

#include <QProgressBar>
#include <QScrollBar>

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

const QString Passage = letters(20);

const char* const ColourNames[] = {"none", "red", "green", "blue"}; // by CellColour

// The colours of a table row's speed, key rate and code length as shown ("none": the view's default).
QString cellColours(const QAbstractItemModel* table, int row)
{
    QStringList names;
    for (int column = 0; column < 3; ++column) {
        const QVariant brush = table->index(row, column).data(Qt::ForegroundRole);
        const int band = QList<QColor>{Qt::red, Qt::green, Qt::blue}.indexOf(brush.value<QBrush>().color()) + 1;
        names << (!brush.isValid() ? "none" : band > 0 ? ColourNames[band] : "other");
    }
    return names.join(' ');
}

// The colours the bands give the figures a row shows (none for a penalty speed "P/S").
QString bandColours(const QAbstractItemModel* table, int row)
{
    const auto figure = [&](int column) { return table->index(row, column).data().toString(); };
    const ResultColours c = resultColours(figure(0).toDouble(), figure(1).toDouble(), figure(2).toDouble());
    return QStringList{figure(0).contains('/') ? "none" : ColourNames[int(c.speed)], ColourNames[int(c.keyRate)],
                       ColourNames[int(c.codeLength)]}
        .join(' ');
}

QString codeHint(const QString& character, const QString& code)
{
    return QStringLiteral("编码提示: %1 <font color='red';><b>%2</b></font>").arg(character, code);
}

} // namespace

class TestTyping : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_f;

    frmMain& open(const QString& passage)
    {
        frmMain& w = m_f->open();
        m_f->lay(passage);
        return w;
    }
    // The run ended: the typing pane is closed and the result line arrived.
    QString finish()
    {
        [&] { QTRY_VERIFY(m_f->typing()->isReadOnly()); }();
        return m_f->waitLine();
    }
    // Types Passage with its 11th character wrong (`wrong`) and returns the result line.
    QString typeRun(bool wrong)
    {
        QString typed = Passage;
        if (wrong)
            typed[10] = QLatin1Char('X');
        m_f->type(typed);
        return m_f->waitLine();
    }

private slots:
    void initTestCase() { App::initResources(); }
    void init() { m_f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { m_f.reset(); }

    void paging_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("commit"); // 505 characters at once, two of them wrong, rather than keys
        QTest::addRow("one page exactly") << 500 << false;
        QTest::addRow("one more than a page") << 501 << false;
        QTest::addRow("three pages") << 1200 << false;
        QTest::addRow("a commit past the page") << 1000 << true;
    }

    void paging()
    {
        QFETCH(int, length);
        QFETCH(bool, commit);
        const QString passage = letters(length);
        frmMain& w = open(passage);
        QTextEdit* ref = m_f->reference();
        QCOMPARE(ref->toPlainText(), passage.left(510));
        // The look-ahead of a paged passage is underlined in red.
        const auto underlined = [ref](int at) {
            return MainWindowFixture::formatAt(ref, at).underlineStyle() == QTextCharFormat::SingleUnderline;
        };
        QCOMPARE(underlined(std::min(505, length - 1)), length > 500);
        QVERIFY(!underlined(499));

        // A commit past the page turns it once, keeping what lies beyond; the comparison counts once.
        QString typed = passage.left(commit ? 505 : 500);
        if (commit) {
            typed[3] = QLatin1Char('#');   // counted on page 1
            typed[495] = QLatin1Char('#'); // in the look-back: counted again on page 2
            m_f->commit(typed);
        } else {
            m_f->type(typed);
        }
        if (length > 500) {
            // Page 2 starts at 490 and shows 510 characters; the pane keeps what was typed from there.
            QCOMPARE(ref->toPlainText(), passage.mid(490, 510));
            QCOMPARE(m_f->typing()->toPlainText(), typed.mid(490));
            QCOMPARE(m_f->background(5), QColor(commit ? App::Wc : App::Rc));
            QCOMPARE(m_f->background(typed.size() - 490), QColor(App::Dbj));
            if (commit)
                m_f->commit(passage.mid(505));
            else
                m_f->type(passage.mid(500));
        }
        finish();
        QCOMPARE(m_f->cell(0, "字数"), QString::number(length));
        QCOMPARE(m_f->cell(0, "错字"), QString::number(commit ? 2 : 0));
        // Every character joined the day's record once, none twice at a page turn.
        QCOMPARE(App::Jilu, length);

        // A retype books the run into its row and lays a paged passage again from page 1; the first
        // key of the next run resets the counters, its own count with them.
        w.Reset();
        QCOMPARE(ref->toPlainText(), passage.left(510));
        QVERIFY(!m_f->typing()->isReadOnly() && m_f->typing()->toPlainText().isEmpty());
        App::KeyCount = 40;
        for (int at = 0; at < length; at += 500)
            m_f->commit(passage.mid(at, 500));
        finish();
        w.Reset();
        QCOMPARE(m_f->table()->rowCount(), 2);
        QCOMPARE(m_f->cell(1, "字数"), QString::number(length));
        QCOMPARE(m_f->cell(1, "键数"), QString::number((length - 1) / 500));
    }

    // Unequal look-back and look-ahead: a page shows 8 characters past its 20; the next starts 3 before.
    void unequalPreview()
    {
        App::Fanye = 20;
        App::Yulanq = 3;
        App::Yulanh = 8;
        const QString passage = letters(60);
        open(passage);
        QCOMPARE(m_f->reference()->toPlainText(), passage.left(28));
        m_f->type(passage.left(20));
        QCOMPARE(m_f->reference()->toPlainText(), passage.mid(17, 28));
    }

    void markupAndWhiteSpaceKeptExactly()
    {
        const QString passage = QStringLiteral("a<b &lt;\t<b>x</b>\n\n  &amp; 中文<i>");
        open(passage);
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

    void painting_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addRow("follow") << int(FollowTyping);
        QTest::addRow("blind") << int(BlindTyping);
    }

    // A wrong character is painted (blind: once the passage is typed to its end) and counted until
    // corrected; while the last one is wrong the run stays open. At its end the typed text is
    // readable again, in the panes' own font.
    void painting()
    {
        QFETCH(int, mode);
        App::Pattern = mode;
        open(QStringLiteral("abcd"));
        m_f->type(QStringLiteral("aXc"));
        QCOMPARE(m_f->background(1), QColor(mode == BlindTyping ? App::Rc : App::Wc));
        m_f->type(QStringLiteral("X"));
        QCOMPARE(m_f->background(1), QColor(App::Wc));
        QCOMPARE(m_f->background(2), QColor(App::Rc));
        QTest::qWait(60); // several ticks of the run clock
        QVERIFY(!m_f->typing()->isReadOnly());
        QCOMPARE(m_f->statusText("进度"), QStringLiteral("进度: 100.00%"));

        QTest::keyClick(m_f->typing(), Qt::Key_Backspace);
        QCOMPARE(m_f->background(3), QColor(App::Dbj));
        m_f->type(QStringLiteral("d"));
        QCOMPARE(m_f->background(3), QColor(App::Rc));
        finish();
        QCOMPARE(m_f->cell(0, "错字"), QStringLiteral("1"));
        QVERIFY(m_f->typing()->styleSheet().startsWith(
            QStringLiteral("QTextEdit{background:%1;color:%2;").arg(App::Gbj, App::Ztcg)));
    }

    void freeModeOnlyCounts()
    {
        App::Pattern = FreeTyping;
        open(QStringLiteral("abcdef"));
        m_f->type(QStringLiteral("abXdefgh"));
        QCOMPARE(m_f->statusText("总字数"), QStringLiteral("总字数: 8"));
        QCOMPARE(m_f->typing()->toPlainText(), QStringLiteral("abXdefgh")); // nothing trimmed
        QCOMPARE(m_f->background(2), QColor(App::Dbj));                     // nothing compared
        QTest::qWait(60);
        QVERIFY(!m_f->typing()->isReadOnly()); // free runs end by the pause command only

        // A long free run keeps only its recent end in the pane, never cutting a surrogate pair in two
        // (the cut falls inside one here); the count goes on, and a retype starts at 0.
        const QString text = QString(3999, QLatin1Char('x')) + QStringLiteral("\U00020000") + QString(999, 'y');
        m_f->commit(text);
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
        open(QStringLiteral("  \t "));
        m_f->type(QStringLiteral("ab"));
        QVERIFY(m_f->typing()->toPlainText().isEmpty());
        QTest::qWait(60);
        QVERIFY(!m_f->typing()->isReadOnly());
        QCOMPARE(m_f->statusText("进度"), QStringLiteral("进度: 0.00%"));
    }

    // The own input-method panel inserts with no key event: the change alone starts the run and
    // counts. Nothing may be dropped in. The day's growth is saved within a second. Emptying the
    // pane resets the run; the day's record never goes down.
    void typingPane()
    {
        frmMain& w = open(QStringLiteral("abcdef"));
        QTextEdit* typing = m_f->typing();
        typing->insertPlainText(QStringLiteral("ab"));
        QVERIFY(w.clockRunning());
        QCOMPARE(App::Jilu, 2);
        QCOMPARE(m_f->statusText("进度"), QStringLiteral("进度: 33.33%"));
        QTRY_COMPARE_WITH_TIMEOUT(storedRecord("TempJilu").toInt(), 2, 3000);
        QCOMPARE(typing->contextMenuPolicy(), Qt::NoContextMenu);
        QMimeData mime;
        mime.setText(QStringLiteral("cdef"));
        const QPoint at = typing->viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(typing->viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(typing->viewport(), &drop);
        QCOMPARE(typing->toPlainText(), QStringLiteral("ab"));

        m_f->type(QStringLiteral("X"));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(typing, Qt::Key_Backspace);
        QVERIFY(!w.clockRunning());
        QCOMPARE(App::KeyCount, 0);
        QCOMPARE(m_f->background(1), QColor(App::Dbj));
        QCOMPARE(w.findChild<QProgressBar*>()->value(), 0);
        QCOMPARE(App::Jilu, 3);
        QTest::keyClick(typing, Qt::Key_Backspace);
        m_f->commit(QStringLiteral("a"));
        QCOMPARE(App::Jilu, 4);
    }

    void keyCounters_data()
    {
        // One key press into a pane holding "ab": the counters' changes (keys, select, back, correct,
        // right) and the pane's text after it.
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("autoRepeat");
        QTest::addColumn<QVector<int>>("deltas");
        QTest::addColumn<QString>("pane");
        using V = QVector<int>;
        const int none = Qt::NoModifier;
        // clang-format off
        QTest::addRow("letter") << int(Qt::Key_C) << none << "c" << false << V{1, 0, 0, 0, 0} << "abc";
        QTest::addRow("semicolon") << int(Qt::Key_Semicolon) << none << ";" << false << V{1, -1, 0, 0, 0} << "ab;";
        QTest::addRow("digit 1") << int(Qt::Key_1) << none << "1" << false << V{1, 0, 0, 0, 0} << "ab1";
        QTest::addRow("repeated digit") << int(Qt::Key_3) << none << "3" << true << V{1, 0, 0, 0, 0} << "ab3";
        QTest::addRow("repeated backspace") << int(Qt::Key_Backspace) << none << "\b" << true << V{1, 0, 1, 1, 0} << "a";
        QTest::addRow("F10") << int(Qt::Key_F10) << none << "" << false << V{1, 0, 0, 0, 1} << "ab";
        QTest::addRow("keypad Enter") << int(Qt::Key_Enter) << none << "\r" << false << V{1, 0, 0, 0, 0} << "ab";
        QTest::addRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier) << "" << false << V{1, 0, 0, 0, 0}
                                << "ab";
        QTest::addRow("Shift+Insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier) << "" << false
                                      << V{1, 0, 0, 0, 0} << "ab";
        // clang-format on
    }

    void keyCounters()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(bool, autoRepeat);
        App::CountSelectKeys = true;
        open(QStringLiteral("abcdefgh"));
        QApplication::clipboard()->setText(QStringLiteral("cdef")); // what a paste would bring
        m_f->type(QStringLiteral("ab"));
        App::SelectCount = 5;
        const auto counters = [] {
            return QVector<int>{App::KeyCount, App::SelectCount, App::BackCount, App::CorrectCount, App::RightKeys};
        };
        QVector<int> deltas = counters();
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text, autoRepeat);
        QApplication::sendEvent(m_f->typing(), &press);
        for (int i = 0; i < deltas.size(); ++i)
            deltas[i] = counters().at(i) - deltas.at(i);
        QTEST(deltas, "deltas");
        QTEST(m_f->typing()->toPlainText(), "pane");
    }

    // 退格 and 回车 count the key source's first presses, each run its own.
    void keySourceCountsPerRun()
    {
        frmMain& w = open(QStringLiteral("abcd"));
        for (const int run : {0, 1}) {
            m_f->type(QStringLiteral("aX"));
            CoreSettings::countKeyWord(0x0E); // Backspace, as the key source hands it over
            QTest::keyClick(m_f->typing(), Qt::Key_Backspace);
            if (run == 0)
                CoreSettings::countKeyWord(0x1C); // Enter
            m_f->type(QStringLiteral("bcd"));
            finish();
            QCOMPARE(QStringList({m_f->cell(run, "回改"), m_f->cell(run, "退格"), m_f->cell(run, "回车")}),
                     QStringList({"1", "0", run == 0 ? "1" : "0"}));
            w.Reset();
        }
    }

    void returnAndFocusLossPause()
    {
        frmMain& w = open(QStringLiteral("abcdef"));
        QTextEdit* typing = m_f->typing();
        QFocusEvent idle(QEvent::FocusOut, Qt::MouseFocusReason);
        QApplication::sendEvent(typing, &idle);
        QCOMPARE(m_f->title(), QStringLiteral("Tavrel跟打器")); // nothing typed yet: no pause

        m_f->type(QStringLiteral("ab"));
        QTest::keyClick(typing, Qt::Key_Return);
        QCOMPARE(typing->toPlainText(), QStringLiteral("ab"));
        QVERIFY(!w.clockRunning());
        QCOMPARE(m_f->title(), QStringLiteral("Tavrel跟打器[暂停]"));
        m_f->type(QStringLiteral("c")); // goes on
        QVERIFY(w.clockRunning());
        QCOMPARE(m_f->title(), QStringLiteral("Tavrel跟打器"));

        // A Return bound to nothing still never reaches the pane, and stops nothing.
        App::Kjzt = QStringLiteral("F7");
        QTest::keyClick(typing, Qt::Key_Return);
        QCOMPARE(typing->toPlainText(), QStringLiteral("abc"));
        QVERIFY(w.clockRunning());

        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QApplication::sendEvent(typing, &out);
        QVERIFY(!w.clockRunning());
        QCOMPARE(m_f->title(), QStringLiteral("Tavrel跟打器[暂停]"));
        // Bound to the retype key, Return retypes.
        App::Kjcd = QStringLiteral("Return");
        QTest::keyClick(typing, Qt::Key_Return);
        QCOMPARE(typing->toPlainText(), QString());
    }

    void followRun_data()
    {
        QTest::addColumn<bool>("live");
        QTest::addColumn<bool>("wrong");
        QTest::addColumn<bool>("corrections"); // 回改 shown in the table and the line
        QTest::addRow("live figures") << true << true << true;
        QTest::addRow("figures only at the end, 回改 off") << false << true << false;
        QTest::addRow("no wrong character") << true << false << true;
    }

    void followRun()
    {
        QFETCH(bool, live);
        QFETCH(bool, wrong);
        QFETCH(bool, corrections);
        App::ShiShi = live;
        App::Huigai = corrections;
        App::Totaljs = 50;
        frmMain& w = open(Passage);
        QString typed = Passage;
        if (wrong)
            typed[10] = QLatin1Char('X');
        m_f->type(typed.chopped(1));
        // With the live row, the last key comes right after the row showed the run, so the end shows
        // figures the live row never did (the row is shown at most 30 times a second).
        QSignalSpy rowShown(m_f->table(), &QAbstractItemModel::dataChanged);
        while (live && m_f->cell(0, "字数") != QString::number(typed.size() - 1))
            QVERIFY(rowShown.wait());
        if (live) // coloured by the bands
            QCOMPARE(cellColours(m_f->table(), 0), bandColours(m_f->table(), 0));
        m_f->type(typed.right(1));
        const QString line = m_f->waitLine();
        // The first key starts the run and is not counted.
        const int keys = Passage.size() - 1;
        QCOMPARE(m_f->cell(0, "字数"), QStringLiteral("20"));
        QCOMPARE(m_f->cell(0, "键数"), QString::number(keys));
        QCOMPARE(m_f->cell(0, "错字"), QString::number(wrong));
        // With a wrong character the speed shows penalty and plain speed, in the button too.
        const QString speed = m_f->cell(0, "速度");
        const QRegularExpression format(wrong ? "^\\d+\\.\\d\\d/\\d+\\.\\d\\d$" : "^\\d+\\.\\d\\d$");
        QVERIFY2(format.match(speed).hasMatch(), qPrintable(speed));
        QCOMPARE(m_f->button("button")->text(), QStringLiteral("速度:") + speed);
        // A penalty speed widens its column; the others give way.
        const QTableView* view = m_f->w().findChild<QTableView*>();
        QCOMPARE(QVector<int>({view->columnWidth(0), view->columnWidth(1)}),
                 wrong ? QVector<int>({WideSpeedColumnWidth, NarrowColumnWidth})
                       : QVector<int>({ResultColumnWidth, ResultColumnWidth}));
        QCOMPARE(m_f->button("button2")->text(), QStringLiteral("击键:") + m_f->cell(0, "击键"));
        // The first key's character goes uncounted in the final figures: 19 over the run's time.
        const QStringList time = m_f->cell(0, "时间").split(QRegularExpression("[:.]"));
        RunInputs counted;
        counted.ticks = time.at(0).toInt() * 6000 + time.at(1).toInt() * 100 + time.at(2).toInt();
        counted.typedCount = Passage.size();
        counted.uncountedLength = 1;
        QCOMPARE(speed.section('/', -1), computeRunFigures(counted).speedText);
        QCOMPARE(m_f->cell(0, "码长"), QStringLiteral("1.00"));
        // Coloured by the final figures as the live row was, a new penalty speed not; without the
        // live row not at all.
        QCOMPARE(cellColours(m_f->table(), 0), live ? bandColours(m_f->table(), 0) : "none none none");
        // Totals of finished runs, saved to the store, and their averages.
        QCOMPARE(storedRecord("Totaljs").toInt(), 50 + keys);
        QVERIFY2(m_f->button("button4")->text().startsWith(QStringLiteral("平均击键: ")),
                 qPrintable(m_f->button("button4")->text()));
        // The line carries the segment, the speed of the table, the count and the errors, and verifies.
        QVERIFY2(line.startsWith(QStringLiteral("第1段 速度") + speed + QStringLiteral(" ")), qPrintable(line));
        QCOMPARE(line.contains(QStringLiteral(" 错字1 错情[k√ X×]")), wrong);
        // Each item follows its own switch, in the line and, once switched, in the table.
        QCOMPARE(QStringList({line.section(" 回改", 1, 1).left(1), line.section(" 退格", 1, 1).left(1)}),
                 QStringList({corrections ? "0" : "", "0"}));
        if (!corrections)
            QCOMPARE(QStringList({m_f->cell(0, "回改"), m_f->cell(0, "退格")}),
                     QStringList({"hidden column 回改", "0"}));
        // The check command verifies the clipboard's line, blanks around it, and shows plain text.
        QApplication::clipboard()->setText("\n  " + line + "  \n");
        BoxAnswerer check(true);
        w.checkSlot();
        QCOMPARE(check.text, QStringLiteral("成绩为真！"));
        QCOMPARE(check.format, Qt::PlainText);
    }

    void firstEventUncounted_data()
    {
        QTest::addColumn<int>("first"); // characters of the run's first event: a key, or one commit
        QTest::addRow("one key") << 1;
        QTest::addRow("a long commit") << 300;
    }

    // The first key or commit starts the clock and is left out of the figures from that moment on:
    // until the second one the live speed and code length read 0.00, however few ticks have passed.
    void firstEventUncounted()
    {
        QFETCH(int, first);
        App::ShiShi = true;
        const QString passage = letters(400);
        open(passage);
        if (first == 1)
            m_f->type(passage.left(1));
        else
            m_f->commit(passage.left(first));
        QSignalSpy rowShown(m_f->table(), &QAbstractItemModel::dataChanged);
        for (int shown = 0; shown < 3; ++shown) {
            QVERIFY(rowShown.wait());
            QCOMPARE(m_f->button("button")->text(), QStringLiteral("速度:0.00"));
            QCOMPARE(QStringList({m_f->cell(0, "速度"), m_f->cell(0, "码长")}), QStringList({"0.00", "0.00"}));
        }
        m_f->type(passage.mid(first, 1));
        QTRY_VERIFY(m_f->button("button")->text() != QStringLiteral("速度:0.00"));
    }

    // A retype shows the passage from its first line and books only a finished run into its row,
    // counting it in 重打; a new passage shows its start too.
    void retypeFromTheStart()
    {
        App::ShiShi = true;
        QString passage;
        for (int line = 0; line < 24; ++line) // one page, taller than the pane
            passage += letters(19) + QLatin1Char('\n');
        passage.chop(1);
        frmMain& w = m_f->open(true);
        m_f->lay(passage);
        QScrollBar* scroll = m_f->reference()->verticalScrollBar();
        // The last character wrong: the run stays open, scrolled down with the typing pane.
        m_f->commit(passage.chopped(1));
        m_f->type(QStringLiteral("X"));
        QTRY_COMPARE(m_f->cell(0, "字数"), QString::number(passage.size()));
        QVERIFY(scroll->value() > 0);
        w.Reset();
        QCOMPARE(scroll->value(), 0);
        QCOMPARE(m_f->cell(0, "字数"), QString()); // not booked

        for (const QString retyped : {"0", "1"}) {
            QApplication::clipboard()->clear();
            m_f->commit(passage.chopped(1));
            m_f->type(passage.right(1));
            finish();
            QVERIFY(scroll->value() > 0);
            QCOMPARE(m_f->cell(retyped.toInt(), "重打"), retyped);
            w.Reset();
            QCOMPARE(scroll->value(), 0);
        }
        QCOMPARE(m_f->table()->rowCount(), 2);
        m_f->commit(passage.left(400));
        m_f->type(passage.mid(400, 1));
        QVERIFY(scroll->value() > 0);
        m_f->lay(passage + QStringLiteral("z"));
        QCOMPARE(scroll->value(), 0);
    }

    // A sent text typed whole goes on to the ranking's upload (which wants a sign-in here).
    void wholeTextOnly()
    {
        const QString text = letters(26);
        m_f->open().infoRecv(26, QStringLiteral("发文"), text, text, QString());
        m_f->type(text);
        QVERIFY(!m_f->waitLine().isEmpty());
        const QStringList titles = m_f->titlesDuring([this] { m_f->action({"功能", "手动上传成绩"})->trigger(); });
        QVERIFY2(!titles.filter(QStringLiteral("上传成绩需要登录帐号！")).isEmpty(), qPrintable(titles.join('|')));
    }

    // The own panel's first commit, far longer than the page, is cut to the page; only what stayed of
    // it goes uncounted, so the keys typed after it give a code length of one key a character.
    void longFirstCommit()
    {
        open(letters(1200));
        m_f->typing()->insertPlainText(letters(5000)); // 510 stay, the page turns at 500
        m_f->type(letters(530).mid(510));
        QTRY_COMPARE(m_f->button("button3")->text(), QStringLiteral("码长:1.00"));
        QCOMPARE(App::KeyCount, 20);
    }

    // Only commits of two or more characters are words; the first, which starts the run, is not counted.
    void wordRatio()
    {
        open(QStringLiteral("甲乙丙丁戊己"));
        for (const QString text : {"甲", "乙", "丙丁戊", "己"})
            m_f->commit(text);
        finish();
        QCOMPARE(m_f->cell(0, "打词"), QStringLiteral("60.00%")); // 3 of the 5 counted
    }

    // A row coloured on one tick and written again: a new figure starts without colour, and the
    // colouring clears a cell whose figure falls outside every band.
    void resultCellColours()
    {
        QWidget window;
        ResultTable table(&window);
        // A run of ticks (10 ms), characters and keys evaluated; the row filled and coloured as asked.
        const auto shown = [&](int ticks, int characters, int keys, bool fill, bool colour = true) {
            const RunInputs in{ticks, characters, 0, 0, 0, 0, 0.0, {keys, 0, 0, 0, 0, 0, 0}};
            table.evaluate(in);
            if (fill)
                table.fillRow(in);
            if (colour)
                table.colourRow(table.figures().speed, table.figures().keyRate, table.figures().codeLength);
            return cellColours(table.view()->model(), table.row());
        };
        QCOMPARE(shown(6000, 231, 630, true), "red red none");          // 231/min, 10.50 keys/s, 2.73 keys a character
        QCOMPARE(shown(6021, 120, 448, true), "none none none");        // slower: 119.58, 7.44, 3.73
        QCOMPARE(shown(6000, 190, 540, true), "blue green none");       // 190, 9.00, 2.84
        QCOMPARE(shown(12000, 190, 540, false), "none none none");      // left idle as long again: 95.00, 4.50
        QCOMPARE(shown(6000, 300, 540, true), "red green red");         // 300, 9.00, 1.80
        QCOMPARE(shown(6000, 250, 600, true, false), "none none none"); // refilled, not coloured: 250, 10.00, 2.40
        // The clock's time across a minute.
        QCOMPARE(table.cellText(ColTime), QStringLiteral("01:00.00"));
        shown(5999, 250, 600, true, false);
        QCOMPARE(table.cellText(ColTime), QStringLiteral("00:59.99"));
    }

    void freeRunEndsOnce()
    {
        App::Pattern = FreeTyping;
        App::GbtanChuang = false;
        frmMain& w = open(Passage);
        m_f->type(QStringLiteral("abcd"));
        QTRY_COMPARE(m_f->cell(0, "字数"), QStringLiteral("4")); // the live figures, from the clock's ticks
        // Ended one tick after the row was shown, too soon to show it again: the end shows figures
        // the live row did not, coloured as it would be.
        QSignalSpy rowShown(m_f->table(), &QAbstractItemModel::dataChanged);
        QVERIFY(rowShown.wait());
        QTest::qWait(15);
        // The pop-up comes whatever TanChuang says; declined, nothing is posted, and without
        // GbtanChuang the run is not reset for retyping.
        BoxAnswerer answer(false);
        w.slotDelay2();
        QCOMPARE(answer.seen, 1);
        QVERIFY(m_f->typing()->isReadOnly());
        QCOMPARE(cellColours(m_f->table(), 0), bandColours(m_f->table(), 0));
        const QString line = QApplication::clipboard()->text();
        QVERIFY2(line.endsWith(App::AppTitle + QStringLiteral(" 自由模式")), qPrintable(line));
        QCOMPARE(verifyResultLine(line, false, false).outcome, LineCheck::Genuine);

        // A second stop of the same run does nothing; nor does a stop before anything is typed.
        QApplication::clipboard()->clear();
        BoxAnswerer none(false);
        w.slotDelay2();
        w.Reset();
        w.slotDelay2();
        QTest::qWait(100);
        QCOMPARE(none.seen, 0);
        QVERIFY(QApplication::clipboard()->text().isEmpty());
    }

    // Each clearing command asks first; "no" keeps everything, "yes" clears and saves.
    void clearingCommands()
    {
        frmMain& w = open(Passage);
        typeRun(true);
        QApplication::clipboard()->clear(); // so the last run's line is waited for
        const auto buttons = [this] {
            QStringList texts;
            for (const char* name : {"button", "button2", "button3", "button4", "button5", "button6"})
                texts << m_f->button(name)->text();
            return texts;
        };
        w.Reset(); // the run's own buttons go back to their captions; the averages stay
        QCOMPARE(buttons().mid(0, 3) << buttons().at(5), QStringList({"速度:", "击键:", "码长:", "理论码长:"}));
        const int jilu = App::Jilu;
        const int totalco = App::Totalco;
        for (bool yes : {false, true}) {
            BoxAnswerer table(yes);
            w.qkSlot();
            QCOMPARE(table.text, QStringLiteral("是否清空成绩栏？"));
            QCOMPARE(m_f->table()->rowCount(), yes ? 0 : 1);
            BoxAnswerer record(yes);
            w.jlSlot();
            QCOMPARE(record.text, QStringLiteral("是否清空打字记录？"));
            QCOMPARE(storedRecord("Jilu").toInt(), yes ? 0 : jilu);
            BoxAnswerer totals(yes);
            w.zdSlot();
            QCOMPARE(totals.text, QStringLiteral("是否清空置顶成绩栏？"));
            QCOMPARE(storedRecord("Totalco").toInt(), yes ? 0 : totalco);
        }
        QCOMPARE(m_f->statusText("打字记录"), QStringLiteral("打字记录: "));
        QCOMPARE(buttons(), QStringList({"速度:", "击键:", "码长:", "平均击键:", "平均码长:", "理论码长:"}));
        // The next run books into the first row again.
        typeRun(false);
        QCOMPARE(m_f->table()->rowCount(), 1);
    }

    void codeHints_data()
    {
        QTest::addColumn<bool>("hintOn");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("length"); // the theoretical code length button after a click
        QTest::addRow("hint on") << true << int(FollowTyping) << true << "理论码长:1.40";
        QTest::addRow("hint off") << false << int(FollowTyping) << false << "理论码长:1.40";
        QTest::addRow("free mode leaves the length") << true << int(FreeTyping) << false << "理论码长:";
    }

    // The code file the settings name is read from the code folder, a name with folders in it too.
    void codeHints()
    {
        QFETCH(bool, hintOn);
        QFETCH(int, mode);
        QFETCH(bool, shown);
        QVERIFY(App::writeFile(QStringLiteral("small.txt"), QStringLiteral("我\tq\n们\toutside\n")));
        QDir().mkpath(QStringLiteral("编码文件"));
        QVERIFY(App::writeFile(QStringLiteral("编码文件/small.txt"),
                               QStringLiteral("世界\tln\n我\tq\n们\twux\n们的\twrrr\n们\twu\t注释\n世\tan\n界\tlw\n"
                                              "\U00020BB7\tzz\n")));
        App::BianMa = QStringLiteral("../small.txt");
        App::BianMa2 = hintOn;
        App::Pattern = mode;
        open(QStringLiteral("我们的世界"));
        m_f->button("button6")->click();
        QTEST(m_f->button("button6")->text(), "length");
        m_f->commit(QStringLiteral("我"));
        QCOMPARE(m_f->statusText("编码提示"),
                 shown ? codeHint(QStringLiteral("们"), "wu") : QStringLiteral("编码提示: "));
        // Everything typed: no next character, and no read past the end.
        m_f->commit(QStringLiteral("们的世界"));
        QCOMPARE(m_f->statusText("编码提示"), QStringLiteral("编码提示: "));
        // A character outside the Basic Multilingual Plane is looked up whole, first and next.
        const QString outside = QStringLiteral("\U00020BB7");
        m_f->lay(outside + outside);
        QCOMPARE(m_f->statusText("编码提示"), shown ? codeHint(outside, "zz") : QStringLiteral("编码提示: "));
        m_f->commit(outside);
        QCOMPARE(m_f->statusText("编码提示"), shown ? codeHint(outside, "zz") : QStringLiteral("编码提示: "));
    }
};

QTEST_MAIN(TestTyping)
#include "test_typing.moc"

#include "app/core/app.h"

#include <QtTest>

class TestPunct : public QObject
{
    Q_OBJECT

private slots:
    void converts_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("english sentence") << "Hello, world." << "Hello, world.";
        QTest::addRow("after a digit") << "3.14 1,000" << "3。14 1，000";
        QTest::addRow("initials and apostrophe") << "U.S.A. it's" << "U.S.A. it's";
        QTest::addRow("other marks after letters") << "Go!a;b? c: d" << "Go！a；b？ c： d";
        QTest::addRow("parentheses") << "(a)（b）" << "（a）（b）";
        QTest::addRow("double quotes") << "\"引号\"" << "“引号“";
        QTest::addRow("chinese sentence") << "你好,世界." << "你好，世界。";
        QTest::addRow("chinese marks after letter") << "ok，好。b。" << "ok,好。b.";
        QTest::addRow("full-width apostrophe after letter") << "don＇t" << "don't";
        QTest::addRow("full-width digits") << "１２３" << "123";
        QTest::addRow("full-width symbols") << "｀－＝［］／～＠＃＄％＾＆＊＿＋｛｝｜＜＞＼" << "`-=[]/~@#$%^&*_+{}|<>\\";
        QTest::addRow("full-width letters are not latin") << "ＡＢｃ，" << "ＡＢｃ，";
        QTest::addRow("accented letter is not latin") << "café," << "café，";
        QTest::addRow("mark after a mark") << "a,," << "a,，";
        QTest::addRow("other full-width forms untouched") << "：；？！、《》\n" << "：；？！、《》\n";
        QTest::addRow("empty") << "" << "";
        // clang-format on
    }

    void converts()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        App::convertPunct(input);
        QCOMPARE(input, expected);
        App::convertPunct(input); // a second pass changes nothing
        QCOMPARE(input, expected);
    }

    void everyLetterRestoresAsciiMarks()
    {
        const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
        for (const QChar letter : letters) {
            const QString l(letter);
            QString text = "中" + l + ",中" + l + ".中" + l + "'中" + l + "，" + l + "。" + l + "‘";
            App::convertPunct(text);
            QCOMPARE(text, "中" + l + ",中" + l + ".中" + l + "'中" + l + "," + l + "." + l + "'");
        }
    }
};

QTEST_GUILESS_MAIN(TestPunct)
#include "test_punct.moc"

#include "app/app.h"

#include <QtTest>

class TestPunct : public QObject
{
    Q_OBJECT

private slots:
    void converts_data();
    void converts();
    void secondPassChangesNothing_data();
    void secondPassChangesNothing();
    void everyLetterRestoresAsciiMarks();
    void longTextConvertsLikeItsParts();
};

void TestPunct::converts_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::addRow("english sentence") << "Hello, world." << "Hello, world.";
    QTest::addRow("decimal point") << "3.14" << "3。14";
    QTest::addRow("thousands comma") << "1,000" << "1，000";
    QTest::addRow("abbreviation") << "e.g." << "e.g.";
    QTest::addRow("initials") << "U.S.A." << "U.S.A.";
    QTest::addRow("apostrophe") << "it's" << "it's";
    QTest::addRow("colon after letter") << "a: b" << "a： b";
    QTest::addRow("question after letter") << "Why?" << "Why？";
    QTest::addRow("exclamation and semicolon") << "Go!a;b" << "Go！a；b";
    QTest::addRow("ascii parentheses") << "(abc)" << "（abc）";
    QTest::addRow("full-width parentheses") << "（abc）" << "（abc）";
    QTest::addRow("full-width digits") << "１２３" << "123";
    QTest::addRow("empty") << "" << "";
    QTest::addRow("nothing to convert") << "跟打器 测试\n第二行 abc" << "跟打器 测试\n第二行 abc";
    QTest::addRow("double quotes") << "\"引号\"" << "“引号“";
    QTest::addRow("full-width apostrophe after letter") << "don＇t" << "don't";
    QTest::addRow("chinese sentence") << "你好,世界." << "你好，世界。";
    QTest::addRow("chinese marks after letter") << "ok，好。b。" << "ok,好。b.";
    QTest::addRow("mark after digit stays chinese") << "第1，2。" << "第1，2。";
    QTest::addRow("full-width symbols")
        << "｀－＝［］／～＠＃＄％＾＆＊＿＋｛｝｜＜＞＼" << "`-=[]/~@#$%^&*_+{}|<>\\";
    QTest::addRow("full-width letters untouched") << "ＡＢｃ，" << "ＡＢｃ，";
    QTest::addRow("accented letter is not latin") << "café," << "café，";
    QTest::addRow("mark after a mark") << "a,," << "a,，";
    QTest::addRow("other full-width forms untouched") << "：；？！、《》" << "：；？！、《》";
}

void TestPunct::converts()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    App::convertPunct(input);
    QCOMPARE(input, expected);
}

void TestPunct::secondPassChangesNothing_data()
{
    converts_data();
}

void TestPunct::secondPassChangesNothing()
{
    QFETCH(QString, input);
    App::convertPunct(input);
    const QString once = input;
    App::convertPunct(input);
    QCOMPARE(input, once);
}

void TestPunct::everyLetterRestoresAsciiMarks()
{
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    for (const QChar letter : letters) {
        for (const QString& mark : {QStringLiteral(","), QStringLiteral("."), QStringLiteral("'")}) {
            QString text = QStringLiteral("中") + letter + mark + QStringLiteral("文");
            App::convertPunct(text);
            QCOMPARE(text, QStringLiteral("中") + letter + mark + QStringLiteral("文"));
        }
        // Chinese marks that already stood after the letter come back to ASCII as well.
        QString chinese = QString(letter) + QStringLiteral("，") + letter + QStringLiteral("。") + letter
                          + QStringLiteral("‘");
        App::convertPunct(chinese);
        QCOMPARE(chinese, QString(letter) + QLatin1Char(',') + letter + QLatin1Char('.') + letter + QLatin1Char('\''));
    }
}

void TestPunct::longTextConvertsLikeItsParts()
{
    // Each chunk starts with a Chinese character, so no replacement reaches across a seam.
    const QStringList chunks = {QStringLiteral("中Hello, world. "), QStringLiteral("字３.１４（x）"),
                                QStringLiteral("文it's \"ok\"; "), QStringLiteral("汉１，０００!\n")};
    QString whole;
    QString expected;
    for (int i = 0; i < 25000; ++i) {
        QString chunk = chunks.at(i % chunks.size());
        whole += chunk;
        App::convertPunct(chunk);
        expected += chunk;
    }
    QVERIFY(whole.size() > 100000);
    App::convertPunct(whole);
    QCOMPARE(whole, expected);
}

QTEST_GUILESS_MAIN(TestPunct)
#include "test_punct.moc"

// The code look-up tools' logic: annotation in file order with its growth cap, the first code.
#include "input/core/cfpicture.h"
#include "input/core/codeannotation.h"
#include "testsupport.h"

class TestCodeAnnotation : public QObject
{
    Q_OBJECT

private slots:
    void annotate_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("codeForm");
        QTest::addColumn<QString>("textCodeForm");
        const QString wordFirst = QStringLiteral("中国\tkhlg\n中\tk\n");
        // 中 still occurs in the code form, so every 中 of the text-plus-code form is rewritten.
        QTest::addRow("word first") << wordFirst << "中国中"
                                    << "khlg k "
                                    << "中k 国khlg 中k ";
        QTest::addRow("character first") << "中\tk\n中国\tkhlg\n"
                                         << "中国"
                                         << "k 国"
                                         << "中k 国";
        QTest::addRow("unknown kept") << wordFirst << "中a国。"
                                      << "k a国。"
                                      << "中k a国。";
        QTest::addRow("codes searched by later lines") << "中\tab\nb\tc\n"
                                                       << "中"
                                                       << "ac  "
                                                       << "中abc  ";
        QTest::addRow("bad lines skipped") << "\tx\nno tab\n中\tk\t9\r\n"
                                           << "中"
                                           << "k "
                                           << "中k ";
        QTest::addRow("empty input") << wordFirst << ""
                                     << ""
                                     << "";
        // Stopped growth gives the input back: past 50 times the input, or past a million.
        QTest::addRow("self-feeding") << QStringLiteral("a\taa\n").repeated(24) << "aaaaaaaaaa"
                                      << "aaaaaaaaaa"
                                      << "aaaaaaaaaa";
        const QString many(30000, 'a');
        QTest::addRow("a million") << QStringLiteral("a\t") + QString(39, 'a') << many << many << many;
    }

    void annotate()
    {
        QFETCH(QString, file);
        QFETCH(QString, input);
        QFETCH(QString, codeForm);
        QFETCH(QString, textCodeForm);
        const Annotation result = CodeAnnotation::annotate(input, CodeAnnotation::parse(file));
        QCOMPARE(result.codeForm, codeForm);
        QCOMPARE(result.textCodeForm, textCodeForm);
        QCOMPARE(result.stopped, codeForm == input && !input.isEmpty());
    }

    void firstCodeAndFiles()
    {
        const QString file = QStringLiteral("中国\tkhlg\n中\tk\n中\tkhk\n");
        QCOMPARE(CodeAnnotation::firstCode(file, QStringLiteral("中")), QStringLiteral("k"));
        QCOMPARE(CodeAnnotation::firstCode(file, QStringLiteral("国")), QString());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("编码文件打不开")));
        QVERIFY(CodeAnnotation::readFile(QStringLiteral("编码文件/none.txt")).isEmpty());
        QCOMPARE(CfLookup::editionFile(QStringLiteral("../x"), QStringLiteral(".rcc")), QString());
    }
};

QTEST_GUILESS_MAIN(TestCodeAnnotation)
#include "test_codeannotation.moc"

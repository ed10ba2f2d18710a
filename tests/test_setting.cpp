// The settings window on its own and opened from the real main window.
#include "account/setting.h"
#include "testsupport.h"

using namespace ts;

namespace {

QString codeFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/编码文件");
}

// Every configuration global away from its default; texts unique, so hot keys do not conflict.
void setNonDefaults()
{
    for (int i = 0; i < App::configKeyCount(); ++i) {
        const QVariant d = App::configDefault(i);
        const QVariant odd = d.userType() == QMetaType::Bool  ? QVariant(!d.toBool())
                             : d.userType() == QMetaType::Int ? QVariant(d.toInt() - 1)
                             : d.userType() == QMetaType::Double ? QVariant(d.toDouble() + 1)
                                                                 : QVariant(QStringLiteral("x%1").arg(i));
        App::setConfigValue(i, odd);
    }
    App::writeConfig();
}

QByteArray configBytes()
{
    QFile file(QStringLiteral("CONFIG/settings.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSetting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { App::initResources(); }
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        resetWindowGlobals();
        QDir(codeFolder()).removeRecursively();
        QDir().mkpath(codeFolder());
        QFile(codeFolder() + QStringLiteral("/86.txt")).open(QIODevice::WriteOnly);
    }
    void cleanup()
    {
        m_setting.reset();
        QDir(codeFolder()).removeRecursively();
        m_dir.reset();
    }

    void pages()
    {
        open();
        QCOMPARE(visiblePages(), QStringList{"jiben"});
        QCOMPARE(button("btnJiben")->text(), QStringLiteral("【基本设置】→"));
        QTest::mouseClick(button("btnGenda"), Qt::LeftButton);
        QCOMPARE(visiblePages(), QStringList{"genda"});
        QCOMPARE(button("btnGenda")->text(), QStringLiteral("【跟打设置】→"));
        QCOMPARE(button("btnJiben")->text(), QStringLiteral("基本设置"));
    }

    void storesWhatTheControlsShow_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("inFile"); // invalid: the key is missing
        QTest::addColumn<QString>("stored");
        QTest::addRow("page size missing") << "Fanye" << QVariant() << "20";
        QTest::addRow("send delay 0") << "Gdyslim" << QVariant(0) << "200";
        QTest::addRow("preview too large") << "Yulanq" << QVariant(99) << "10";
        QTest::addRow("space bar out of range") << "KongGe" << QVariant(5) << "-1";
        QTest::addRow("space bar left") << "KongGe" << QVariant(1) << "1";
        QTest::addRow("code file gone") << "BianMa" << QVariant("bm.txt") << "";
        QTest::addRow("code file case differs") << "BianMa" << QVariant("86.TXT") << "";
        QTest::addRow("code file listed") << "BianMa" << QVariant("86.txt") << "86.txt";
        QTest::addRow("after-send action unknown") << "Gdjs" << QVariant("关机") << "激活跟打器";
        QTest::addRow("after-send action") << "Gdjs" << QVariant("不处理") << "不处理";
        QTest::addRow("hot key as typed") << "Kjzt" << QVariant("Return") << "Return";
    }

    void storesWhatTheControlsShow()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, inFile);
        {
            QSettings ini(QStringLiteral("CONFIG/settings.ini"), QSettings::IniFormat);
            ini.setValue(QStringLiteral("AppConfig/") + (inFile.isValid() ? key : QStringLiteral("Other")), inFile);
        }
        App::readConfig();
        open();
        QSignalSpy applied(m_setting.get(), &Setting::setting);
        QTest::mouseClick(button("btnOk"), Qt::LeftButton);
        QTEST(configFileValue(key).toString(), "stored");
        QCOMPARE(applied.count(), 1);
        QVERIFY(!m_setting->isVisible());
    }

    void restoreDefaults_data()
    {
        QTest::addColumn<QString>("how"); // the button that ends, or empty: Escape
        QTest::addColumn<QString>("codeFile"); // the one OK stores, bm.txt where it is there
        QTest::addRow("close button") << "btnClose" << "";
        QTest::addRow("title-bar close") << "btnMenu_Close" << "";
        QTest::addRow("escape") << "" << "";
        QTest::addRow("OK, bm.txt there") << "btnOk" << "bm.txt";
        QTest::addRow("OK, only 86.txt") << "btnOk" << "86.txt";
    }

    // Restored defaults are stored only by OK, for every control; closing keeps file and globals.
    void restoreDefaults()
    {
        QFETCH(QString, how);
        QFETCH(QString, codeFile);
        if (codeFile == "bm.txt")
            QFile(codeFolder() + "/bm.txt").open(QIODevice::WriteOnly);
        setNonDefaults();
        const QByteArray before = configBytes();
        open();
        QSignalSpy applied(m_setting.get(), &Setting::setting);
        QTest::mouseClick(button("btnMoren"), Qt::LeftButton);
        if (how.isEmpty())
            QTest::keyClick(m_setting.get(), Qt::Key_Escape);
        else
            QTest::mouseClick(button(how), Qt::LeftButton);
        QVERIFY(!m_setting->isVisible());
        QCOMPARE(applied.count(), codeFile.isEmpty() ? 0 : 1);
        if (codeFile.isEmpty()) {
            QCOMPARE(configBytes(), before);
            QCOMPARE(App::Kjsz, QStringLiteral("x29"));
            return;
        }
        int edited = 0;
        for (int i = 0; i < App::configKeyCount(); ++i) {
            const QString key = App::configKey(i);
            if (!m_setting->findChild<QWidget*>(key.toLower()))
                continue;
            ++edited;
            const QVariant expected = key == "BianMa" ? QVariant(codeFile) : App::configDefault(i);
            QCOMPARE(configFileValue(key).toString(), expected.toString());
        }
        QCOMPARE(edited, 65);
    }

    void conflictKeepsTheWindowOpen()
    {
        open();
        QTest::mouseClick(button("btnKuaijie"), Qt::LeftButton);
        type("kjsz", "F5");
        QSignalSpy applied(m_setting.get(), &Setting::setting);
        for (const QString& how : {"btnOk", "btnClose", ""}) {
            BoxAnswerer box(true);
            if (QString(how).isEmpty())
                QTest::keyClick(m_setting.get(), Qt::Key_Escape);
            else
                QTest::mouseClick(button(how), Qt::LeftButton);
            QCOMPARE(box.text, QStringLiteral("快捷键冲突！"));
            QVERIFY(m_setting->isVisible());
        }
        QCOMPARE(applied.count(), 1);
        QCOMPARE(configFileValue("Kjsz").toString(), QStringLiteral("F5"));
        type("kjsz", "F1");
        QTest::mouseClick(button("btnOk"), Qt::LeftButton);
        QVERIFY(!m_setting->isVisible());
    }

    void mainWindowAppliesOk()
    {
        MainWindowFixture f;
        f.open(true);
        QVERIFY(QTest::qWaitForWindowActive(&f.w()));
        f.w().qwSlot();
        f.type(QStringLiteral("ab"));
        const QString page = f.reference()->toPlainText();
        QTest::keyClick(&f.w(), Qt::Key_F1);
        QPointer<Setting> window = qobject_cast<Setting*>(QApplication::activeModalWidget());
        QVERIFY(window && window->isVisible());
        m_setting.reset(window);
        QTest::mouseClick(button("btnKuaijie"), Qt::LeftButton);
        type("kjcd", "F6");
        QTest::mouseClick(button("btnGaoji"), Qt::LeftButton);
        QTest::mouseClick(button("showcj"), Qt::LeftButton);
        QTest::mouseClick(button("btnJiben"), Qt::LeftButton);
        type("fanye", "20");
        QTest::mouseClick(button("btnOk"), Qt::LeftButton);
        m_setting.release();
        QTRY_VERIFY(!window);

        // The run in progress stays as it was; the new page size comes with the next passage.
        QCOMPARE(f.reference()->toPlainText(), page);
        QCOMPARE(f.typing()->toPlainText(), QStringLiteral("ab"));
        for (int restart = 0; restart < 2; ++restart) {
            f.w().activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&f.w()));
            QVERIFY(!f.w().findChild<QWidget*>(QStringLiteral("horizontalLayoutWidget"))->isVisibleTo(&f.w()));
            f.w().qwSlot();
            QCOMPARE(f.reference()->toPlainText().size(), 20 + App::Yulanh);
            f.type(QStringLiteral("cd"));
            QTest::keyClick(&f.w(), Qt::Key_F6);
            QVERIFY(f.typing()->toPlainText().isEmpty());
            // What OK stored is what the next start reads.
            f.close();
            App::resetConfig();
            App::readConfig();
            f.open(true);
        }
    }

private:
    void open()
    {
        m_setting = std::make_unique<Setting>();
        m_setting->show();
    }
    QPushButton* button(const QString& name) const { return m_setting->findChild<QPushButton*>(name); }
    void type(const QString& name, const QString& text)
    {
        QWidget* edit = m_setting->findChild<QWidget*>(name); // a line edit or a spin box
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }
    QStringList visiblePages() const
    {
        QStringList shown;
        for (const char* page : {"jiben", "chengji", "kuaijie", "genda", "gaoji"})
            if (m_setting->findChild<QWidget*>(page)->isVisibleTo(m_setting.get()))
                shown << page;
        return shown;
    }

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<Setting> m_setting;
};

QTEST_MAIN(TestSetting)
#include "test_setting.moc"

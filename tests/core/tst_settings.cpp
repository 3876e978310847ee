// The settings store: defaults, reading rules, and what survives a bad or foreign file.
#include "Config.h"
#include "Settings.h"
#include "TestEnv.h"

using namespace tv;

class SettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ReadConfiguration(); }
    void init() {
        QFile::remove(SettingsFilePath());
        QDir(SettingsFilePath()).removeRecursively();
    }

    void dontAskIsReadOnlyWithACloseChoice_data() {
        QTest::addColumn<QString>("closeEvent");
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("dontAsk");
        QTest::newRow("tray") << "1" << 1 << true;
        QTest::newRow("exit, padded") << " 2 " << 2 << true;
        QTest::newRow("no choice") << "0" << 0 << false;
        QTest::newRow("unknown choice") << "7" << 0 << false;
    }
    void dontAskIsReadOnlyWithACloseChoice() {
        QFETCH(QString, closeEvent);
        QFETCH(int, choice);
        QFETCH(bool, dontAsk);
        WriteSetting("CloseEvent", closeEvent);
        WriteSetting("CloseDontAskMe", "-1");
        LoadSettings();
        QCOMPARE(Settings().closeEvent, choice);
        QCOMPARE(Settings().closeDontAskMe, dontAsk);
    }

    void unknownValuesReadAsTheirDefaults() {
        WriteSetting("UpdateActive", "0");
        WriteSetting("UpdateLastTime", "not a date");
        WriteSetting("OutputFileName", " 0 ");
        WriteSetting("ThemeNo", "2");
        LoadSettings();
        QCOMPARE(Settings().updateActive, false);
        QCOMPARE(Settings().updateLastTime, QDate::currentDate());
        QCOMPARE(Settings().outputFileName, 0);
        QCOMPARE(Settings().themeNo, 2);

        WriteSetting("UpdateActive", "yes please");
        WriteSetting("OutputFileName", "5");
        WriteSetting("ThemeNo", "3");
        LoadSettings();
        QCOMPARE(Settings().updateActive, true);
        QCOMPARE(Settings().outputFileName, 1);
        QCOMPARE(Settings().themeNo, 1);
    }

    void saveThenLoadKeepsEverything() {
        GeneralSettings &s = Settings();
        s.closeEvent = 2;
        s.closeDontAskMe = true;
        s.updateActive = false;
        s.updateLastTime = QDate(2024, 2, 29);
        s.outputFileName = 0;
        s.themeNo = 2;
        SaveSettings();
        QCOMPARE(ReadSetting("CloseDontAskMe"), QStringLiteral("-1"));
        Settings() = GeneralSettings();
        LoadSettings();
        QCOMPARE(QList<int>({s.closeEvent, s.closeDontAskMe, s.updateActive, s.outputFileName, s.themeNo}),
                 QList<int>({2, true, false, 0, 2}));
        QCOMPARE(Settings().updateLastTime, QDate(2024, 2, 29));
    }

    void textsRoundTripUnchanged_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("accents and CJK") << QStringLiteral("/home/é/日本語/Musik/");
        QTest::newRow("emoji") << QStringLiteral("🎵 mix ♫");
        QTest::newRow("comma and quotes") << QStringLiteral("a, b \"c\" = d; e");
        QTest::newRow("leading at-sign") << QStringLiteral("@Variant(garbage)");
        QTest::newRow("backslashes") << QStringLiteral("C:\\Music\\");
        QTest::newRow("empty") << QString();
    }
    void textsRoundTripUnchanged() {
        QFETCH(QString, text);
        QVERIFY(WriteSetting("InputPath", text));
        QCOMPARE(ReadSetting("InputPath"), text);
        QVERIFY(WriteSetting("Software\\Other\\Key", "Value", text));
        QCOMPARE(ReadSetting("Software\\Other\\Key", "Value"), text);
    }

    void missingAndBadFilesReadAsDefaults_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe[[[=\x01\n\x80\x81", 12);
        QTest::newRow("text garbage") << QByteArray("this is not an ini file\n=====\n[unclosed\n");
        QTest::newRow("other program's key") << QByteArray("[Elsewhere]\nThemeNo=2\nCloseEvent=1\n");
    }
    void missingAndBadFilesReadAsDefaults() {
        QFETCH(QByteArray, content);
        if (!content.isNull())
            test::WriteFile(SettingsFilePath(), content);
        LoadSettings();
        const GeneralSettings &s = Settings();
        QCOMPARE(QList<int>({s.closeEvent, s.closeDontAskMe, s.updateActive, s.outputFileName, s.themeNo}),
                 QList<int>({0, false, true, 1, 1}));
        QCOMPARE(s.updateLastTime, QDate::currentDate());
        QCOMPARE(ReadSetting("OutputPath"), QString());
        // Writing over a bad file works and reads back.
        WriteSetting("ThemeNo", "2");
        QCOMPARE(ReadSetting("ThemeNo"), QStringLiteral("2"));
    }

    void unreadableStoreReadsEmpty() {
        // A folder where the file should be cannot be read by anyone, root included.
        QVERIFY(QDir().mkpath(SettingsFilePath()));
        QCOMPARE(ReadSetting("ThemeNo"), QString());
        QVERIFY(WriteSetting("ThemeNo", "2")); // a failing write is ignored, not reported
        LoadSettings();
        QCOMPARE(Settings().themeNo, 1);
    }
};

TV_TEST_MAIN_CORE(SettingsTest)
#include "tst_settings.moc"

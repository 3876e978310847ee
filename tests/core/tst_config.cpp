// The configuration table and the line cipher shared with the catalog files.
#include "Cipher.h"
#include "Config.h"
#include "TestEnv.h"

using namespace tv;

class ConfigTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cipherIsLengthPreservingAndReversible_data() {
        QTest::addColumn<QString>("plain");
        QTest::newRow("header") << QStringLiteral("\"Name\",\"ID\",\"Maker\"");
        QTest::newRow("non-ASCII") << QStringLiteral("\"Préréglage 日本\",\"🎵\"");
        QTest::newRow("longer than the key") << QString(200, QLatin1Char('A'));
        QTest::newRow("empty") << QString();
    }
    void cipherIsLengthPreservingAndReversible() {
        QFETCH(QString, plain);
        const QByteArray bytes = plain.toUtf8();
        const QByteArray hex = EncipherLine(bytes);
        QCOMPARE(hex.size(), bytes.size() * 2);
        QCOMPARE(hex, hex.toUpper());
        if (!bytes.isEmpty())
            QVERIFY(!hex.contains(bytes.toHex().toUpper())); // really enciphered, not just hex
        bool ok = false;
        QCOMPARE(DecipherLine(hex, &ok), bytes);
        QVERIFY(ok);
        QCOMPARE(DecipherLine(hex.toLower(), &ok), bytes);
    }

    void badHexIsRefused_data() {
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("odd length") << QByteArray("ABC");
        QTest::newRow("not hex") << QByteArray("ZZ");
        QTest::newRow("plain text line") << QByteArray("\"Name\",\"ID\"");
    }
    void badHexIsRefused() {
        QFETCH(QByteArray, hex);
        bool ok = true;
        QVERIFY(DecipherLine(hex, &ok).isEmpty());
        QVERIFY(!ok);
    }

    void derivedPathsLiveInTheUsersDataFolder() {
        ReadConfiguration();
        const QString dataHome = test::Home().path() + "/.local/share/";
        QCOMPARE(Paths().appDataFolder, dataHome);
        QVERIFY(Paths().dataFolder.startsWith(dataHome));
        QVERIFY(Paths().tempFolder.startsWith(dataHome));
        QVERIFY(Paths().tempFolder.endsWith('/'));
        QVERIFY(Paths().userPresetFile.startsWith(Paths().userPresetFolder));
        QVERIFY(Config().favoriteMax > 0);
    }

    void linksCanPointAtALocalServer() {
        qputenv("TUNEVANE_LINK_SEND_REPORT", "http://127.0.0.1:9/report?");
        QCOMPARE(ConfigValue("LINK_SEND_REPORT"), QStringLiteral("http://127.0.0.1:9/report?"));
        qunsetenv("TUNEVANE_LINK_SEND_REPORT");
        QVERIFY(ConfigValue("LINK_SEND_REPORT").startsWith("https://"));
        QCOMPARE(ConfigValue("NO_SUCH_KEY"), QString());
    }
};

TV_TEST_MAIN_CORE(ConfigTest)
#include "tst_config.moc"

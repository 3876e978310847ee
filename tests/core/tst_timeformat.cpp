// Clock, duration, position and size texts as the list, the player and the status bar show them.
#include "TestEnv.h"
#include "TimeFormat.h"

using namespace tv;

class TimeFormatTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void clockTextsCountHoursPastADay_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("3725 s") << qint64(3725) << "01:02:05";
        QTest::newRow("100 hours") << qint64(360000) << "100:00:00";
    }
    void clockTextsCountHoursPastADay() {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(FormatClock(seconds), text);
    }

    void positionsKeepTheirMillisecondsTruncated_data() {
        QTest::addColumn<qint64>("micro");
        QTest::addColumn<QString>("text");
        QTest::newRow("one and a half") << qint64(1500000) << "00:00:01.500";
        QTest::newRow("truncated, not rounded") << qint64(59999999) << "00:00:59.999";
        QTest::newRow("negative") << qint64(-1) << "00:00:00.000";
        QTest::newRow("unknown duration") << std::numeric_limits<qint64>::min() << "00:00:00.000";
        QTest::newRow("0.29 s keeps its 290 ms") << qint64(290000) << "00:00:00.290";
        QTest::newRow("over 99 hours") << qint64(360000) * 1000000 + 1000 << "100:00:00.001";
    }
    void positionsKeepTheirMillisecondsTruncated() {
        QFETCH(qint64, micro);
        QFETCH(QString, text);
        QCOMPARE(FormatPosition(micro), text);
    }

    void sizesTakeTheirUnitAndPrecision_data() {
        QTest::addColumn<QVariant>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("1023") << QVariant(1023) << "1023 bytes";
        QTest::newRow("1024") << QVariant(1024) << "1.00 KB";
        QTest::newRow("10239") << QVariant(10239) << "10.00 KB";
        QTest::newRow("10240") << QVariant(10240) << "10.0 KB";
        QTest::newRow("500 KB") << QVariant(500 * 1024) << "500 KB";
        QTest::newRow("threshold 1,024,000") << QVariant(1024000) << "0.98 MB";
        QTest::newRow("5 MB as double") << QVariant(5.0 * 1048576) << "5.00 MB";
        QTest::newRow("4 GB") << QVariant(qint64(4) << 30) << "4.00 GB";
        QTest::newRow("numeric text") << QVariant(QStringLiteral("2048")) << "2.00 KB";
        QTest::newRow("not numeric") << QVariant(QStringLiteral("abc")) << "";
        QTest::newRow("empty variant") << QVariant() << "";
        QTest::newRow("units run out") << QVariant(1e30) << "";
    }
    void sizesTakeTheirUnitAndPrecision() {
        QFETCH(QVariant, bytes);
        QFETCH(QString, text);
        QCOMPARE(FormatSize(bytes), text);
    }

    // The decimal mark follows the locale.
    void sizeFollowsLocale() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString text = FormatSize(QVariant(1536));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(text, QStringLiteral("1,50 KB"));
    }
};

TV_TEST_MAIN_CORE(TimeFormatTest)
#include "tst_timeformat.moc"

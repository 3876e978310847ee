// Clock, duration, position and size texts as the list, the player and the status bar show them.
#include "TestEnv.h"
#include "TimeFormat.h"

using namespace tv;

class TimeFormatTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void clock_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "00:00:00";
        QTest::newRow("3725 s") << qint64(3725) << "01:02:05";
        QTest::newRow("100 hours") << qint64(360000) << "100:00:00";
        QTest::newRow("just under a day") << qint64(86399) << "23:59:59";
    }
    void clock() {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(FormatClock(seconds), text);
    }

    void durationWords_data() {
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QString>("words");
        QTest::newRow("all parts") << "01:02:03"
                                   << "1 hour, 2 minutes, and 3 seconds";
        QTest::newRow("hours without minutes") << "02:00:10"
                                               << "2 hours, 0 minutes, and 10 seconds";
        QTest::newRow("singular minute and second") << "00:01:01"
                                                    << "1 minute and 1 second";
        QTest::newRow("minute, zero seconds") << "00:01:00"
                                              << "1 minute and 0 seconds";
        QTest::newRow("seconds only") << "00:00:05"
                                      << "5 seconds";
        QTest::newRow("nothing") << "00:00:00"
                                 << "0 seconds";
        QTest::newRow("long batch") << "100:10:59"
                                    << "100 hours, 10 minutes, and 59 seconds";
    }
    void durationWords() {
        QFETCH(QString, clock);
        QFETCH(QString, words);
        QCOMPARE(FormatDurationWords(clock), words);
    }

    void position_data() {
        QTest::addColumn<qint64>("micro");
        QTest::addColumn<QString>("text");
        QTest::newRow("one and a half") << qint64(1500000) << "00:00:01.500";
        QTest::newRow("truncated, not rounded") << qint64(59999999) << "00:00:59.999";
        QTest::newRow("negative") << qint64(-1) << "00:00:00.000";
        QTest::newRow("unknown duration") << std::numeric_limits<qint64>::min() << "00:00:00.000";
        QTest::newRow("0.29 s keeps its 290 ms") << qint64(290000) << "00:00:00.290";
        QTest::newRow("over 99 hours") << qint64(360000) * 1000000 + 1000 << "100:00:00.001";
    }
    void position() {
        QFETCH(qint64, micro);
        QFETCH(QString, text);
        QCOMPARE(FormatPosition(micro), text);
    }

    void size_data() {
        QTest::addColumn<QVariant>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("512") << QVariant(512) << "512 bytes";
        QTest::newRow("1023") << QVariant(1023) << "1023 bytes";
        QTest::newRow("1024") << QVariant(1024) << "1.00 KB";
        QTest::newRow("1536") << QVariant(1536) << "1.50 KB";
        QTest::newRow("10239") << QVariant(10239) << "10.00 KB";
        QTest::newRow("10240") << QVariant(10240) << "10.0 KB";
        QTest::newRow("500 KB") << QVariant(500 * 1024) << "500 KB";
        QTest::newRow("threshold 1,024,000") << QVariant(1024000) << "0.98 MB";
        QTest::newRow("1 MB") << QVariant(qint64(1048576)) << "1.00 MB";
        QTest::newRow("5 MB as double") << QVariant(5.0 * 1048576) << "5.00 MB";
        QTest::newRow("4 GB") << QVariant(qint64(4) << 30) << "4.00 GB";
        QTest::newRow("numeric text") << QVariant(QStringLiteral("2048")) << "2.00 KB";
        QTest::newRow("not numeric") << QVariant(QStringLiteral("abc")) << "";
        QTest::newRow("empty variant") << QVariant() << "";
        QTest::newRow("units run out") << QVariant(1e30) << "";
    }
    void size() {
        QFETCH(QVariant, bytes);
        QFETCH(QString, text);
        QCOMPARE(FormatSize(bytes), text);
    }

    void parseSize_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("N/A") << "N/A" << 0.0;
        QTest::newRow("bytes") << "512 bytes" << 512.0;
        QTest::newRow("KB keeps its unit") << "1.50 KB" << 1.5;
        QTest::newRow("lower-case unit") << "3.25 mb" << 3.25;
        QTest::newRow("garbage") << "lots" << 0.0;
    }
    void parseSize() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(ParseSize(text), value);
    }

    // The decimal mark follows the locale both ways, so a German size text reads back.
    void sizeFollowsLocale() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString text = FormatSize(QVariant(1536));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(text, QStringLiteral("1,50 KB"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const double back = ParseSize(text);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(back, 1.5);
    }
};

TV_TEST_MAIN_CORE(TimeFormatTest)
#include "tst_timeformat.moc"

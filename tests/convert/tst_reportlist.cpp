// The failure report: its two kinds, the text sent to the report address, and the window's
// Close, Escape and Send.
#include "Config.h"
#include "MessageBox.h"
#include "ReportList.h"
#include "TestEnv.h"
#include "TextServer.h"
#include "WindowDriver.h"
#include "frmReportList.h"

#include <QPushButton>
#include <QTreeWidget>

using namespace tv;

class ReportListTest : public QObject {
    Q_OBJECT
private:
    test::MessageRecorder m_messages{AnsOk};
    test::TextServer m_server;

private Q_SLOTS:
    void initTestCase() {
        qputenv("TUNEVANE_LINK_SEND_REPORT", m_server.url("/report/?data=").toUtf8());
        ReadConfiguration();
        frmReportList::SetRandomSource([]() { return 537; });
    }

    void init() {
        ClearReport();
        m_messages.clear();
        m_server.requests.clear();
        m_server.answer("ok");
    }

    void theWindowShowsTheEntriesAndOneUnreadableInputMakesItTheCopyProtectionReport() {
        QVERIFY(!ShowReport(nullptr, "Failed", "Failed to import files!"));
        QVERIFY(!test::VisibleWindow("frmReportList"));

        AddReportEntry("a.mp3", "  File not found!  ");
        AddReportEntry("b.wav", "Permission denied");
        QCOMPARE(ReportEntries().at(0).errorText, QStringLiteral("File not found!"));
        ReportKind kind =
            ChooseReportKind(ReportEntries(), "Conversion Reports", "Can not convert these files!");
        QVERIFY(!kind.copyProtected);

        frmReportList *w = ShowReport(nullptr, "Failed", "Failed to import files!");
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Failed"));
        auto *list = w->findChild<QTreeWidget *>("View_ListBox");
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("Permission denied"));

        // One entry with the engine's wording for unreadable input makes it the copy-protection
        // report, whatever the others say and whatever its letter case.
        AddReportEntry("c.wma", "Error: invalid DATA found when processing INPUT");
        QVERIFY(ShowReport(nullptr, "Failed", "Failed to import files!") == w);
        QCOMPARE(w->windowTitle(), QStringLiteral("DRM Protection"));
        QCOMPARE(list->topLevelItemCount(), 3);

        QPointer<frmReportList> guard(w);
        QSignalSpy closed(w, &frmReportList::reportClosed);
        w->findChild<QPushButton *>("Cmd_Panels(0)")->click();
        QCOMPARE(closed.size(), 1);
        QVERIFY(ReportEntries().isEmpty());
        QTRY_VERIFY(guard.isNull());
        QVERIFY(m_server.requests.isEmpty());

        AddReportEntry("a.mp3", "File not found!");
        guard = ShowReport(nullptr, "Failed", "Failed to import files!");
        QTest::keyClick(guard, Qt::Key_Escape);
        QVERIFY(ReportEntries().isEmpty());
        QTRY_VERIFY(guard.isNull());
    }

    void theRequestTextStopsPastItsLengthLimit() {
        QList<ReportEntry> entries{{"a#1.mp3", "File not found!"}, {"b.mp3", "Bad # data "}};
        QCOMPARE(ReportListText(entries), QStringLiteral("a#1.mp3,File not found!,b.mp3,Bad # data ,"));
        QCOMPARE(ReportRequestText(entries, "1.0", 537),
                 QStringLiteral("inputfailed,10a1.mp3,File not found!,b.mp3,Bad  data ,@@537"));
        QCOMPARE(ReportRequestText({}, "2.13", 1), QStringLiteral("inputfailed,213@@1"));

        // Entries go in up to and including the first one that makes the text pass 1800.
        QList<ReportEntry> many;
        for (int i = 0; i < 40; ++i)
            many.append({QStringLiteral("file %1.mp3").arg(i, 2, 10, QLatin1Char('0')), QString(88, 'x')});
        const QString text = ReportListText(many);
        // Each entry is 11 + 1 + 88 + 1 = 101 characters: 18 make 1818, the first above 1800.
        QCOMPARE(text.size(), 18 * 101);
        QVERIFY(text.endsWith(QString(88, 'x') + ","));
        QVERIFY(text.contains("file 17.mp3"));
        QVERIFY(!text.contains("file 18.mp3"));

        const QUrl url = ReportRequestUrl("http://127.0.0.1:9/report/?data=", "inputfailed,10a b,c&d@@5");
        QVERIFY(url.isValid());
        QCOMPARE(QUrl::fromPercentEncoding(
                     url.toEncoded().mid(QByteArray("http://127.0.0.1:9/report/?data=").size())),
                 QStringLiteral("inputfailed,10a b,c&d@@5"));
    }

    void sendThanksAndCloses() {
        AddReportEntry("song #1.mp3", "Invalid data found when processing input");
        AddReportEntry("talk.wav", "File not found!");
        QPointer<frmReportList> w = ShowReport(nullptr, "Failed", "Failed to import files!");
        QVERIFY(w);
        w->findChild<QPushButton *>("Cmd_Panels(1)")->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_messages.texts, QStringList{Config().productName + "|Thank you."}, 20000);
        QTRY_VERIFY(w.isNull());
        QVERIFY(ReportEntries().isEmpty());
        QCOMPARE(m_server.requests.size(), 1);
        const QString line = m_server.requests.first();
        QVERIFY2(line.startsWith("/report/?data="), qPrintable(line));
        const QString sent = QUrl::fromPercentEncoding(line.mid(14).toLatin1());
        QCOMPARE(sent,
                 QStringLiteral("inputfailed,10song 1.mp3,Invalid data found when processing input,talk.wav,"
                                "File not found!,@@537"));
    }

    void sendFailuresAreThankedToo() {
        // A server that never answers: the time limit ends the wait (a refused connection ends
        // the same reply sooner).
        m_server.stayQuiet();
        frmReportList::SetSendTimeLimit(500);
        AddReportEntry("a.mp3", "File not found!");
        QPointer<frmReportList> w = ShowReport(nullptr, "Failed", "Failed to import files!");
        w->findChild<QPushButton *>("Cmd_Panels(1)")->click();
        QVERIFY(!w->findChild<QPushButton *>("Cmd_Panels(0)")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(m_messages.texts, QStringList{Config().productName + "|Thank you."}, 10000);
        QTRY_VERIFY(w.isNull());
        QVERIFY(ReportEntries().isEmpty());
    }
};

TV_TEST_MAIN(ReportListTest)
#include "tst_reportlist.moc"

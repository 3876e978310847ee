// The update check: the request address, the release notes, and the answers of a local server,
// including one that never answers.
#include "TestEnv.h"
#include "TextServer.h"
#include "UpdateCheck.h"

using namespace tv;
using namespace tv::test;

namespace {

const QString kBlanks(17, QLatin1Char(' '));

} // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theAddressCarriesProductAndVersion() {
        QCOMPARE(
            UpdateUrl("https://x.org/u?p=PRODUCTNAME&n=productName&v=VERSION&w=version", "My Tool", "4.5"),
            QStringLiteral("https://x.org/u?p=My%20Tool&n=My%20Tool&v=4.5&w=version"));
    }

    void releaseNotesFollowTheReleaseList() {
        // The newer version with its notes, each line ending in CR LF, then an empty line.
        QString notes;
        QVERIFY(UpdateAvailable("4.6/Faster start/New skins/", "4.5", &notes));
        QCOMPARE(notes,
                 " Version 4.6\r\n" + kBlanks + "- Faster start\r\n" + kBlanks + "- New skins\r\n\r\n");

        // Without the closing "/" the last note is the skipped last field.
        QVERIFY(UpdateAvailable("4.6/Faster start", "4.5", &notes));
        QCOMPARE(notes, QStringLiteral(" Version 4.6\r\n\r\n"));

        // "0", an empty answer and the running version itself mean no update.
        QVERIFY(!UpdateAvailable("0", "4.5", &notes));
        QVERIFY(!UpdateAvailable(" \r\n", "4.5", &notes));
        QVERIFY(!UpdateAvailable("4.5/Same/", "4.5", &notes));
        QVERIFY(notes.isEmpty());

        // Older lines add nothing; versions are numbers, so 4.10 is older than 4.5.
        QVERIFY(UpdateAvailable("4.4/Old/\r\n4.10/Ten/\r\n5.0/Five/\r\n", "4.5", &notes));
        QCOMPARE(notes, " Version 5.0\r\n" + kBlanks + "- Five\r\n\r\n");
        QCOMPARE(VersionNumber(" 4.6 beta"), 4.6);
        QCOMPARE(VersionNumber("beta"), 0.0);
    }

    void aLocalServerIsAskedAndAnswered() {
        TextServer server;
        UpdateCheck check;
        QSignalSpy finished(&check, &UpdateCheck::finished);
        const QString url = UpdateUrl(server.url("/update?p=PRODUCTNAME&v=VERSION"), "Tunevane", "4.5");

        server.answer("4.6/Faster start/New skins/\r\n");
        check.start(url, "4.5");
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.takeFirst().first().toBool(), true);
        QCOMPARE(server.requests, QStringList{"/update?p=Tunevane&v=4.5"});
        QVERIFY(check.releaseNotes().startsWith(" Version 4.6\r\n"));

        server.answer("0");
        check.start(url, "4.5");
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.takeFirst().first().toBool(), false);

        // An error page is no release list, whatever it says.
        server.answer("4.6/Faster start/", 404);
        check.start(url, "4.5");
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.takeFirst().first().toBool(), false);
        QVERIFY(check.releaseNotes().isEmpty());
    }

    void aServerThatNeverAnswersEndsAtTheTimeLimit() {
        TextServer server;
        server.stayQuiet();
        UpdateCheck check;
        check.setTimeLimit(300);
        QSignalSpy finished(&check, &UpdateCheck::finished);
        check.start(server.url("/update"), "4.5");
        QVERIFY(check.isRunning());
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(server.requests.size(), 1);
        QVERIFY(!check.isRunning());

        // Nobody listening at all is no update either.
        check.start("http://127.0.0.1:9/update", "4.5");
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.last().first().toBool(), false);
    }
};

TV_TEST_MAIN_CORE(UpdateCheckTest)
#include "tst_updatecheck.moc"

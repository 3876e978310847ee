// Whole music folders through tunevane-cli convert: --keep-tree, --base and --skip-existing, one
// run or many at once into one output tree.
#include "CliRun.h"
#include "Config.h"
#include "MediaGen.h"
#include "TestEnv.h"
#include "WorkFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

#include <utime.h>

using namespace tv;
using test::CliRun;
using test::RunCli;

namespace {

QStringList Statuses(const QList<QJsonObject> &lines) {
    QStringList statuses;
    for (const QJsonObject &line : lines)
        statuses << line.value("status").toString();
    return statuses;
}

// Every file below root (hidden ones too), as paths relative to root, sorted.
QStringList TreeOf(const QString &root) {
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

QDateTime Modified(const QString &path) {
    return QFileInfo(path).lastModified();
}

// Sets a file's modification time this many seconds from now.
bool Touch(const QString &path, int secondsFromNow) {
    const time_t when = QDateTime::currentDateTime().addSecs(secondsFromNow).toSecsSinceEpoch();
    const utimbuf times{when, when};
    return ::utime(QFile::encodeName(path).constData(), &times) == 0;
}

} // namespace

class CliTreeTest : public QObject {
    Q_OBJECT
private:
    QString m_lib;
    QStringList m_expected; // the outputs a tree of m_lib gives, relative to the output folder

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        m_lib = test::Home().path() + "/Bibliothèque/";
        // Three levels, names beyond ASCII, a file at each level, and a text file to pass over.
        const QStringList inputs = {"Top Ünïcode.wav", "Ärtist ß/Single.flac",
                                    "Ärtist ß/Albüm 一/01 Sång.wav", "Ärtist ß/Albüm 一/Disc 2/02 Ωmega.mp3"};
        for (const QString &input : inputs) {
            QVERIFY(test::GenerateTone(m_lib + input, 1.5));
            m_expected << input.section('.', 0, -2) + ".mp3";
        }
        m_expected.sort();
        test::WriteFile(m_lib + "Ärtist ß/cover notes.txt", "not media");
    }

    void keepTreeReproducesTheFolders() {
        const QString out = test::Home().path() + "/out-tree/";
        const CliRun run = RunCli({"convert", "--keyword", "MP3", "--keep-tree", "--output", out, m_lib});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(TreeOf(out), m_expected);
        // Without --keep-tree the same folder gives a flat list of outputs.
        const QString flat = test::Home().path() + "/out-flat/";
        QCOMPARE(RunCli({"convert", "--keyword", "MP3", "--output", flat, m_lib}).exitCode, 0);
        QCOMPARE(TreeOf(flat).size(), m_expected.size());
        for (const QString &file : TreeOf(flat))
            QVERIFY2(!file.contains('/'), qPrintable(file));
    }

    // --base alone keeps the tree (files given one at a time are the parallel runs' test), so an
    // input outside it is refused.
    void theBaseRefusesOutsiders() {
        const QString out = test::Home().path() + "/out-base/";
        const QString outsider = test::Home().path() + "/elsewhere.wav";
        QVERIFY(test::GenerateTone(outsider, 1.5));
        const CliRun refused =
            RunCli({"convert", "--keyword", "MP3", "--base", m_lib, "--output", out, outsider});
        QCOMPARE(refused.exitCode, 2);
        QVERIFY(refused.err.contains("--base"));
        QVERIFY(!QFileInfo::exists(out + "elsewhere.mp3"));
    }

    void aSecondSkipExistingRunConvertsNothing() {
        const QString out = test::Home().path() + "/out-sync/";
        const QStringList command = {"convert",         "--keyword", "MP3", "--keep-tree",
                                     "--skip-existing", "--output",  out};
        const CliRun first = RunCli(command + QStringList{"--json", m_lib});
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(Statuses(first.lines()), QStringList(m_expected.size(), "Done"));
        QHash<QString, QDateTime> written;
        for (const QString &file : TreeOf(out))
            written.insert(file, Modified(out + file));

        const CliRun second = RunCli(command + QStringList{"--json", m_lib});
        QCOMPARE(second.exitCode, 0);
        QCOMPARE(Statuses(second.lines()), QStringList(m_expected.size(), "Skipped"));
        const CliRun text = RunCli(command + QStringList{m_lib});
        QCOMPARE(text.exitCode, 0);
        QVERIFY2(text.out.contains("0 of 0 files converted") && text.out.contains("4 skipped"),
                 qPrintable(text.out));
        for (const QString &file : TreeOf(out))
            QCOMPARE(Modified(out + file), written.value(file));

        // A changed input and a new one are converted again; the older output is replaced,
        // not joined by a "_(new)" copy.
        QVERIFY(Touch(m_lib + "Ärtist ß/Single.flac", 5));
        QVERIFY(test::GenerateTone(m_lib + "Ärtist ß/Albüm 一/03 New.wav", 1.5));
        // What a killed run left deep in the tree goes with the next run there.
        const QString host = WorkFileStamp().section('-', 0, -3);
        const QString leftover = out + "Ärtist ß/Albüm 一/.03 New.tvpart-" + host + "-4194000-zz.mp3";
        test::WriteFile(leftover, "half an output");
        const CliRun third = RunCli(command + QStringList{"--json", m_lib});
        QCOMPARE(third.exitCode, 0);
        QCOMPARE(Statuses(third.lines()).count("Done"), 2);
        QCOMPARE(Statuses(third.lines()).count("Skipped"), 3);
        QStringList expected = m_expected;
        expected << "Ärtist ß/Albüm 一/03 New.mp3";
        expected.sort();
        QCOMPARE(TreeOf(out), expected);
        QVERIFY(!QFileInfo::exists(leftover));
        QFile::remove(m_lib + "Ärtist ß/Albüm 一/03 New.wav");
        QVERIFY(Touch(m_lib + "Ärtist ß/Single.flac", -60)); // back in the past for the tests after this one
    }

    void manyRunsAtOnceIntoOneTree() {
        const QString parallel = QStandardPaths::findExecutable("parallel");
        if (parallel.isEmpty())
            QSKIP("GNU parallel is not installed");
        const QString out = test::Home().path() + "/out-parallel/";
        // One run per file, four at a time, as the README shows; then the same again.
        const QString script = QStringLiteral(
            "find \"$1\" -type f \\( -name '*.wav' -o -name '*.flac' -o -name '*.mp3' \\) -print0 | "
            "parallel -0 -j4 --halt never \"$2\" convert --keyword MP3 --keep-tree --base \"$1\" "
            "--skip-existing --json --output \"$3\" {}");
        for (int round = 0; round < 2; ++round) {
            QProcess sh;
            sh.setProcessEnvironment(test::Home().environment());
            sh.start("sh", {"-c", script, "sh", m_lib, TUNEVANE_CLI_BINARY, out});
            QVERIFY(sh.waitForFinished(300000));
            QCOMPARE(sh.exitCode(), 0); // parallel answers how many runs failed
            const QStringList statuses =
                Statuses(test::JsonLines(QString::fromUtf8(sh.readAllStandardOutput())));
            QCOMPARE(statuses, QStringList(m_expected.size(), round == 0 ? "Done" : "Skipped"));
            // Every output once, under its own name, and no work file left behind.
            QCOMPARE(TreeOf(out), m_expected);
        }
    }
};

TV_TEST_MAIN_CORE(CliTreeTest)
#include "tst_cli_tree.moc"

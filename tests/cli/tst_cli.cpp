// tunevane-cli run as a user or a script would run it, on generated media.
#include "CatalogOperations.h"
#include "CatalogStartup.h"
#include "CatalogTable.h"
#include "Config.h"
#include "EncodingParameters.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "MediaGen.h"
#include "MediaItem.h"
#include "MediaProbe.h"
#include "OutputFolders.h"
#include "OutputPanel.h"
#include "TestEnv.h"
#include "frmMain.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>

using namespace tv;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run Cli(const QStringList &args, int timeoutMs = 120000) {
    QProcess p;
    p.setProcessEnvironment(test::Home().environment());
    p.start(TUNEVANE_CLI_BINARY, args);
    Run run;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

QList<QJsonObject> JsonLines(const QString &text) {
    QList<QJsonObject> objects;
    for (const QString &line : text.split('\n', Qt::SkipEmptyParts))
        objects << QJsonDocument::fromJson(line.toUtf8()).object();
    return objects;
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT
private:
    QString m_in;

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        m_in = test::Home().path() + "/album/";
        QVERIFY(
            test::GenerateTaggedTone(m_in + "01 first.flac", 2.0, {"title=First", "artist=Band", "track=1"}));
        QVERIFY(test::GenerateTaggedTone(m_in + "02 second.mp3", 1.5,
                                         {"title=Second", "artist=Band", "track=2"}));
        QVERIFY(test::GenerateTone(m_in + "too short.wav", 0.5));
        test::WriteFile(m_in + "notes.txt", "not media");
    }

    void listsPresetsForPeopleAndScripts() {
        const Run json = Cli({"--list-presets", "--json", "--keyword", "mp3"});
        QCOMPARE(json.exitCode, 0);
        const QJsonArray presets = QJsonDocument::fromJson(json.out.toUtf8()).array();
        QVERIFY(presets.size() >= 5);
        for (const QJsonValue &value : presets) {
            const QJsonObject preset = value.toObject();
            for (const char *key : {"id", "name", "maker", "keyword", "format", "extension", "codec",
                                    "sampleRate", "channels", "bitrate", "sampleSize"})
                QVERIFY2(preset.contains(key), key);
            QCOMPARE(preset.value("keyword").toString().toUpper(), QStringLiteral("MP3"));
            QVERIFY(!preset.value("codec").toString().startsWith('#'));
            QVERIFY(preset.value("name").toString() != "[%Custom%]");
        }
        const Run text = Cli({"--list-presets", "--maker", "DeviceFormat"});
        QCOMPARE(text.exitCode, 0);
        QVERIFY(text.out.contains("presets\n"));
        QVERIFY(!text.out.contains("AF-MP3-01"));
    }

    void infoGivesTheListsFields() {
        const Run run =
            Cli({"info", "--json", m_in + "01 first.flac", m_in + "too short.wav", m_in + "notes.txt"});
        QCOMPARE(run.exitCode, 1); // one file could not be read
        const QList<QJsonObject> lines = JsonLines(run.out);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].value("Name").toString(), QStringLiteral("01 first"));
        QCOMPARE(lines[0].value("Format").toString(), QStringLiteral("FLAC"));
        QCOMPARE(lines[0].value("Duration").toString(), QStringLiteral("00:00:02"));
        QCOMPARE(lines[0].value("FileType").toString(), QStringLiteral("AUDIO"));
        QCOMPARE(lines[0].value("Tag_Title").toString(), QStringLiteral("First"));
        QCOMPARE(lines[0].value("AudioSampleRate").toString(), QStringLiteral("44100"));
        QCOMPARE(lines[1].value("skipped").toBool(), true);
        QVERIFY(!lines[2].value("error").toString().isEmpty());
        // The probe's pictures do not stay behind.
        QVERIFY(QDir(Paths().tempFolder).entryList(QDir::Files).isEmpty());
    }

    void convertsAFolderWithTagsAndReportsAsJson() {
        const QString out = test::Home().path() + "/out-json/";
        const Run run = Cli({"convert", "--keyword", "MP3", "--output", out, "--json", m_in});
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> lines = JsonLines(run.out);
        QCOMPARE(lines.size(), 2); // the short file is skipped, the text file is not media
        for (const QJsonObject &line : lines) {
            QCOMPARE(line.value("status").toString(), QStringLiteral("Done"));
            const QString output = line.value("output").toString();
            QVERIFY2(QFile::exists(output), qPrintable(output));
            QVERIFY(output.startsWith(out) && output.endsWith(".mp3"));
            QVERIFY(line.contains("seconds") && line.contains("raw") && line.contains("message"));
        }
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 2);
        const QJsonObject probe = test::FFprobe(out + "01 first.mp3");
        QCOMPARE(test::FFprobeTag(probe, "title"), QStringLiteral("First"));
        QCOMPARE(test::FFprobeTag(probe, "artist"), QStringLiteral("Band"));

        // Again: new names instead of overwriting, unless asked.
        const Run again =
            Cli({"convert", "--keyword", "MP3", "--output", out, "--json", m_in + "01 first.flac"});
        QVERIFY(JsonLines(again.out).first().value("output").toString().endsWith("01 first_(new).mp3"));
        const Run overwrite = Cli({"convert", "--keyword", "MP3", "--output", out, "--overwrite", "--json",
                                   m_in + "01 first.flac"});
        QCOMPARE(JsonLines(overwrite.out).first().value("output").toString(), out + "01 first.mp3");
    }

    void trimAndMerge() {
        const QString out = test::Home().path() + "/out-merge/";
        const Run run =
            Cli({"convert", "--keyword", "FLAC", "--output", out, "--start", "00:00:00.500", "--length",
                 "00:00:00.750", "--merge", m_in + "01 first.flac", m_in + "02 second.mp3"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{"01 first_(new).flac"});
        QVERIFY(qAbs(test::ProbeWithFFprobe(out + "01 first_(new).flac").duration - 1.5) < 0.02);
        QCOMPARE(test::FFprobeTag(test::FFprobe(out + "01 first_(new).flac"), "title"),
                 QStringLiteral("First"));
    }

    void exitCodesAndSuggestions() {
        QCOMPARE(Cli({}).exitCode, 2);
        QCOMPARE(Cli({"convert", m_in}).exitCode, 2);
        const Run unknown = Cli({"convert", "--preset", "Best Qualty", "--keyword", "MP3", m_in});
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY2(unknown.err.contains("Best Quality"), qPrintable(unknown.err));
        const Run shared = Cli({"convert", "--preset", "Best Quality - 48000 Hz, Stereo, 320 kbps", m_in});
        QCOMPARE(shared.exitCode, 2);
        QVERIFY(shared.err.contains("--keyword"));
        const Run missing = Cli({"convert", "--keyword", "MP3", "--output", test::Home().path() + "/o",
                                 m_in + "nothing.flac", m_in + "01 first.flac"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains("nothing.flac"));
        test::WriteFile(test::Home().path() + "/plainfile");
        QCOMPARE(Cli({"convert", "--keyword", "MP3", "--output", test::Home().path() + "/plainfile/x", m_in})
                     .exitCode,
                 2);
        for (const char *sub : {"info", "convert"})
            QVERIFY(Cli({sub, "--help"}).out.contains("--json"));
    }

    // The window and the command line build the same option text for the same preset and file.
    void sameOptionTextAsTheWindow() {
        const QString input = m_in + "01 first.flac";
        const Run dry = Cli({"convert", "--keyword", "OGG", "--dry-run", "--json", "--output",
                             test::Home().path() + "/dry", input});
        QCOMPARE(dry.exitCode, 0);
        const QJsonObject job = JsonLines(dry.out).first();
        QVERIFY(!QFileInfo::exists(test::Home().path() + "/dry/01 first.ogg"));

        LoadFolders();
        frmMain window({});
        QVERIFY(window.Form_Load());
        window.importFile(input);
        window.outputPanel()->SelectOutputFormat(QString(), "AudioFormat", "OGG");
        JobParameters parameters = window.formatJobParameters();
        parameters.TrimStart = window.fileList()->list()->item(0, Item::TrimStart);
        parameters.TrimDuration = window.fileList()->list()->item(0, Item::TrimDuration);
        QCOMPARE(job.value("options").toString(), BuildAudioArguments(parameters));
        QCOMPARE(job.value("inputOptions").toString(), " -ss " + parameters.TrimStart);
        QCOMPARE(job.value("options").toString(),
                 QStringLiteral(" -ac 2 -ar 44100 -ab 192k -acodec libvorbis -vn -t 00:00:02.000"));
    }

    void interruptStopsAndCleansUp() {
        const QString input = m_in + "long.flac";
        QVERIFY(test::GenerateTone(input, 240.0));
        const QString out = test::Home().path() + "/out-int/";
        QProcess p;
        p.setProcessEnvironment(test::Home().environment());
        p.start(TUNEVANE_CLI_BINARY, {"convert", "--keyword", "WAV", "--output", out, "--jobs", "1", "--json",
                                      input, input, input});
        QVERIFY(p.waitForStarted());
        // Interrupt once the first job has written something under its work name.
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty(), 30000);
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 130);
        const QStringList left = QDir(out).entryList(QDir::Files | QDir::Hidden);
        for (const QString &name : left)
            QVERIFY2(!name.contains(".tvpart-"), qPrintable(name)); // no partial file anywhere
        const QList<QJsonObject> lines = JsonLines(QString::fromUtf8(p.readAllStandardOutput()));
        QVERIFY(!lines.isEmpty());
        QVERIFY(std::any_of(lines.begin(), lines.end(),
                            [](const QJsonObject &o) { return o.value("status") == "Canceled!"; }));
    }

    void everyShippedPresetConvertsAShortFile() {
        CatalogTable formats;
        CatalogTable presets;
        QCOMPARE(LoadShippedCatalogs(formats, presets), QString());
        QStringList ids;
        for (int row = 1; row <= presets.rows(); ++row) {
            if (GetCatalogField(presets, row, "Name") != "[%Custom%]")
                ids << GetCatalogField(presets, row, "ID");
        }
        QVERIFY(ids.size() > 100);
        const QString input = m_in + "01 first.flac";
        QList<QProcess *> running;
        QStringList failures;
        auto collect = [&](QProcess *p) {
            p->waitForFinished(120000);
            const QList<QJsonObject> lines = JsonLines(QString::fromUtf8(p->readAllStandardOutput()));
            const QString id = p->property("id").toString();
            if (p->exitCode() != 0 || lines.isEmpty() || lines.first().value("status") != "Done" ||
                !test::ProbeWithFFprobe(lines.first().value("output").toString()).ok)
                failures << id + ": " + QString::fromUtf8(p->readAllStandardError());
            delete p;
        };
        for (const QString &id : ids) {
            auto *p = new QProcess;
            p->setProperty("id", id);
            p->setProcessEnvironment(test::Home().environment());
            p->start(TUNEVANE_CLI_BINARY,
                     {"convert", "--preset", id, "--output", test::Home().path() + "/all/" + id, "--json",
                      "--jobs", "1", input});
            running << p;
            if (running.size() == 2)
                collect(running.takeFirst());
        }
        while (!running.isEmpty())
            collect(running.takeFirst());
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
    }
};

TV_TEST_MAIN(CliTest)
#include "tst_cli.moc"

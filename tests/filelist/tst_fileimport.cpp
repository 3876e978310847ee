// Adding files: the open-file dialog, a path, dropped folders with good, broken and non-media
// files, the wait window and its Cancel (answered while the probes run, so the window is never
// held by them) and the report of failures.
#include "Config.h"
#include "FFLogger.h"
#include "FileImporter.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "MediaGen.h"
#include "MessageBox.h"
#include "OpenFileFilter.h"
#include "OutputFolders.h"
#include "ProbeQueue.h"
#include "ReportList.h"
#include "Settings.h"
#include "TestEnv.h"
#include "WindowDriver.h"
#include "frmReportList.h"
#include "frmWait.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace tv;

class FileImportTest : public QObject {
    Q_OBJECT
private:
    QString m_media;
    std::unique_ptr<QWidget> m_window;
    FileListView *m_view = nullptr;
    FileImporter *m_importer = nullptr;
    std::unique_ptr<QSignalSpy> m_finished; // the importer's importFinished
    test::MessageRecorder m_messages{AnsOk};
    bool m_busy = false;

    FileListModel *model() const { return m_view->list(); }

    QStringList names() const {
        QStringList list;
        for (int row = 0; row < model()->rowCount(); ++row)
            list << model()->item(row, Item::FileName);
        return list;
    }

    static frmReportList *reportWindow() {
        return qobject_cast<frmReportList *>(test::VisibleWindow("frmReportList"));
    }

    static QList<QPair<QString, QString>> reportLines(frmReportList *w) {
        QList<QPair<QString, QString>> lines;
        auto *list = w->findChild<QTreeWidget *>("View_ListBox");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            lines.append({list->topLevelItem(i)->text(0), list->topLevelItem(i)->text(1)});
        return lines;
    }

    // Copies the generated files into a folder under numbered names.
    QStringList makeSet(const QString &folder, int count) {
        QDir().mkpath(folder);
        const QStringList sources{m_media + "/tone.mp3", m_media + "/tone.wav", m_media + "/tone.ogg"};
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            const QString source = sources.at(i % sources.size());
            const QString path =
                QStringLiteral("%1/song %2.%3").arg(folder).arg(i + 1).arg(QFileInfo(source).suffix());
            QFile::copy(source, path);
            paths << path;
        }
        return paths;
    }

private Q_SLOTS:
    void initTestCase() {
        FFLogger::instance(); // as in the program, the engine's logger exists before any import
        ReadConfiguration();
        QDir().mkpath(test::Home().path() + "/Music");
        LoadFolders();
        m_media = test::Home().path() + "/media";
        QVERIFY(test::GenerateTone(m_media + "/tone.mp3", 1.5, 44100, 2, {"-metadata", "title=Tone"}));
        QVERIFY(test::GenerateTone(m_media + "/tone.wav", 1.2));
        QVERIFY(test::GenerateTone(m_media + "/tone.ogg", 1.3));
        QVERIFY(test::GenerateTone(m_media + "/short.ogg", 0.6));
        QVERIFY(test::GenerateVideo(m_media + "/clip.mp4", 1.5, 160, 120));
        QVERIFY(test::GenerateTone(m_media + "/deep.flac", 1.1));
    }

    void init() {
        m_window = std::make_unique<QWidget>();
        m_window->setObjectName("mainWindow");
        m_view = new FileListView(m_window.get());
        m_importer = new FileImporter(m_view, m_window.get());
        m_finished = std::make_unique<QSignalSpy>(m_importer, &FileImporter::importFinished);
        m_busy = false;
        m_view->setConversionBusyTest([this]() { return m_busy; });
        m_window->resize(800, 500);
        m_window->show();
        m_messages.clear();
        ClearReport();
    }

    void cleanup() {
        if (frmReportList *w = reportWindow())
            w->findChild<QPushButton *>("Cmd_Panels(0)")->click();
        m_finished.reset();
        m_window.reset();
    }

    void theDialogStartsInTheRememberedFolderAndImportsTheChosenFiles() {
        Folders().inputFolder = m_media + "/";
        test::OnNextModal(this, [](QWidget *dialog) { QMetaObject::invokeMethod(dialog, "reject"); });
        m_importer->ImportFiles();
        QCOMPARE(m_finished->size(), 0);
        QCOMPARE(model()->rowCount(), 0);

        QStringList filters;
        QString startFolder;
        test::OnNextModal(this, [&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QCOMPARE(dialog->objectName(), QStringLiteral("dlgOpenFiles"));
            filters = dialog->nameFilters();
            startFolder = dialog->directory().absolutePath();
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText("\"tone.wav\" \"clip.mp4\" \"tone.mp3\"");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        m_importer->ImportFiles();
        QVERIFY(m_finished->wait(30000));
        QCOMPARE(filters, OpenFileNameFilters());
        QCOMPARE(startFolder, m_media);
        QCOMPARE(names(), (QStringList{"tone.wav", "clip.mp4", "tone.mp3"}));
        QCOMPARE(ReadSetting("InputPath"), m_media + "/");
        QCOMPARE(Folders().inputFolder, m_media + "/");
        QCOMPARE(model()->footerText(1), QStringLiteral("3 files"));
        QVERIFY(!reportWindow());
    }

    void onePathNeedsNoWaitWindowAMissingOneIsReportedAndTheLogGoesBack() {
        QSignalSpy cleared(m_importer, &FileImporter::clearJobsRequested);
        QSignalSpy info(m_view, &FileListView::showInputInfoRequested);
        QSignalSpy state(m_view, &FileListView::listStateChanged);
        m_importer->ImportFiles(m_media + "/tone.mp3");
        QVERIFY(m_importer->isImporting());
        QVERIFY(m_finished->wait(30000));
        QCOMPARE(m_finished->first().first().toInt(), 1);
        QVERIFY(!m_importer->waitWindow() || !m_importer->waitWindow()->isVisible());
        QCOMPARE(names(), QStringList{"tone.mp3"});
        QCOMPARE(cleared.size(), 1);
        QCOMPARE(state.last().first().toBool(), true);
        QCOMPARE(info.last().first().toInt(), 0);
        QCOMPARE(m_view->selectedRowNumbers(), QList<int>{0});

        m_importer->ImportFiles(m_media + "/missing one.mp3");
        QVERIFY(m_finished->wait(30000));
        QCOMPARE(model()->rowCount(), 1);
        QVERIFY(reportWindow());
        QCOMPARE(reportLines(reportWindow()).value(0).first, QStringLiteral("missing one.mp3"));

        // Probing over, the libraries' log goes to the engine's logger again.
        QSignalSpy lines(FFLogger::instance(), &FFLogger::LogLine);
        av_log(nullptr, AV_LOG_WARNING, "a warning after probing\n");
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().at(2).toString().contains("a warning after probing"));
    }

    void aFolderAddsItsMediaInOrderAndReportsTheBrokenOnes() {
        const QString folder = test::Home().path() + "/mixed";
        QDir().mkpath(folder + "/sub/deeper");
        QVERIFY(QFile::copy(m_media + "/tone.mp3", folder + "/track 10.mp3"));
        QVERIFY(QFile::copy(m_media + "/tone.wav", folder + "/track 2.wav"));
        QVERIFY(QFile::copy(m_media + "/clip.mp4", folder + "/a clip.mp4"));
        QVERIFY(QFile::copy(m_media + "/short.ogg", folder + "/too short.ogg"));
        QVERIFY(QFile::copy(m_media + "/deep.flac", folder + "/sub/deeper/deep.flac"));
        test::WriteFile(folder + "/cut short.mp4", test::ReadFile(m_media + "/clip.mp4").left(1500));
        test::WriteFile(folder + "/notes.txt", "not media");
        test::WriteFile(folder + "/cover.jpg", "not media either");
        QVERIFY(QFile::link(folder + "/gone.mp3", folder + "/dangling.mp3"));

        QStringList waitTexts;
        connect(m_importer->queue(), &ProbeQueue::outcomeReady, this, [&]() {
            if (frmWait *w = m_importer->waitWindow(); w && w->isVisible())
                waitTexts << w->findChild<QLabel *>("lbl_FileNumber")->text() + " / " +
                                 w->findChild<QLabel *>("lbl_FileName")->text();
        });
        m_importer->ImportDroppedPaths({folder});
        QVERIFY(m_finished->wait(60000));
        QCOMPARE(names(), (QStringList{"a clip.mp4", "track 2.wav", "track 10.mp3", "deep.flac"}));
        QCOMPARE(model()->item(3, Item::FilePath), folder + "/sub/deeper/");
        QVERIFY(!m_importer->waitWindow()->isVisible());
        QCOMPARE(waitTexts.size(), 7);
        QCOMPARE(waitTexts.first(), QStringLiteral("1 of 7 files / a clip.mp4"));
        QCOMPARE(waitTexts.at(5), QStringLiteral("6 of 7 files / track 10.mp3"));

        frmReportList *w = reportWindow();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Failed"));
        QCOMPARE(w->findChild<QLabel *>("lbl_Msg")->text(), QStringLiteral("Failed to import files!"));
        // Each with its reason (the reasons themselves are the prober's test).
        QStringList failed;
        for (const auto &line : reportLines(w)) {
            failed << line.first;
            QVERIFY2(!line.second.trimmed().isEmpty(), qPrintable(line.first));
        }
        QCOMPARE(failed, (QStringList{"cut short.mp4", "dangling.mp3"}));
    }

    void cancelKeepsWhatWasAdded() {
        const QStringList paths = makeSet(test::Home().path() + "/cancel", 300);
        int seen = 0;
        connect(m_importer->queue(), &ProbeQueue::outcomeReady, this, [&]() {
            if (++seen == 25) {
                auto *cancel = m_importer->waitWindow()->findChild<QPushButton *>("Cmd_Cancel");
                QVERIFY(cancel->isVisible());
                cancel->click();
            }
        });
        m_importer->ImportPaths(paths);
        QVERIFY(m_finished->wait(60000));
        QCOMPARE(m_finished->first().first().toInt(), 25);
        QCOMPARE(model()->footerText(1), QStringLiteral("25 files"));
        QVERIFY(!m_importer->waitWindow()->isVisible());
        QVERIFY(!m_importer->isImporting());
        // A new import after it adds its own file, and nothing of the cancelled one comes late.
        m_importer->ImportPaths({m_media + "/tone.wav"});
        QVERIFY(m_finished->size() == 2 || m_finished->wait(30000));
        QCOMPARE(names().mid(24), (QStringList{"song 25.mp3", "tone.wav"}));
    }

    void windowStaysResponsiveWhileImportingThousands() {
        const QStringList paths = makeSet(test::Home().path() + "/thousands", 3000);
        int ticksMidway = 0; // the window ran its event loop while rows were still arriving
        QTimer watchdog;
        watchdog.setInterval(10);
        connect(&watchdog, &QTimer::timeout, this, [&]() {
            const int rows = model()->rowCount();
            if (rows > 0 && rows < paths.size())
                ++ticksMidway;
        });
        watchdog.start();
        m_importer->ImportPaths(paths);
        QVERIFY(m_finished->wait(240000));
        QVERIFY2(ticksMidway >= 3, qPrintable(QString::number(ticksMidway)));
        QCOMPARE(model()->rowCount(), 3000);
        QCOMPARE(model()->item(2999, Item::FileName), QStringLiteral("song 3000.ogg"));
        QCOMPARE(model()->item(1233, Item::FileName), QStringLiteral("song 1234.mp3"));
    }

    void anEngineThatCannotStartAndDiscFilesAreRefused() {
        // An engine that cannot be made ready: its text, nothing imported.
        m_importer->setEncoderReadyCheck([]() { return QStringLiteral("The encoder could not start."); });
        m_importer->ImportFiles(m_media + "/tone.mp3");
        QCOMPARE(m_messages.texts, QStringList{"|The encoder could not start."});
        QCOMPARE(m_messages.styles.first() & 0x70, int(MsgCritical));
        QVERIFY(!m_importer->isImporting());
        m_importer->setEncoderReadyCheck({});

        // Disc files: the rejected names are reported as not supported.
        m_importer->ImportDiscFiles({m_media + "/clip.mp4"}, {"VIDEO_TS.IFO", "VTS_01_0.BUP"});
        QVERIFY(m_finished->wait(30000));
        QCOMPARE(names(), QStringList{"clip.mp4"});
        frmReportList *w = reportWindow();
        QVERIFY(w);
        QCOMPARE(reportLines(w).size(), 2);
        QCOMPARE(reportLines(w).at(1),
                 qMakePair(QStringLiteral("VTS_01_0.BUP"), QStringLiteral("File format not supported!")));
    }

    void filesDroppedOnTheWindow() {
        new FileDropTarget(m_window.get(), m_view, m_importer);
        QVERIFY(m_window->acceptDrops());
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(m_media + "/tone.wav"), QUrl("https://example.org/song.mp3")});
        const QPointF at(10, 10);

        // Refused while a conversion runs, welcome otherwise.
        for (const bool busy : {true, false}) {
            m_busy = busy;
            QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_window.get(), &enter);
            QCOMPARE(enter.isAccepted(), !busy);
        }
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &drop);
        QCOMPARE(m_messages.texts.size(), 1);
        QVERIFY(m_messages.texts.first().startsWith("Drag and Drop|"));
        QVERIFY(m_messages.texts.first().contains("https://example.org/song.mp3"));
        QVERIFY(m_finished->wait(30000));
        QCOMPARE(names(), QStringList{"tone.wav"});

        // Files dropped onto the list itself are imported the same way.
        connect(m_view, &FileListView::filesDropped, m_importer, &FileImporter::ImportDroppedPaths);
        QMimeData onList;
        onList.setUrls({QUrl::fromLocalFile(m_media + "/tone.ogg")});
        model()->dropMimeData(&onList, Qt::CopyAction, -1, -1, QModelIndex());
        QVERIFY(m_finished->wait(30000));
        QCOMPARE(names(), (QStringList{"tone.wav", "tone.ogg"}));
    }
};

TV_TEST_MAIN(FileImportTest)
#include "tst_fileimport.moc"

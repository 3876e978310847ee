// The list of media items: footers, rows and their cells, row status and progress, dragging
// rows, searching folders, and cancelling probes.
#include "Config.h"
#include "FileListModel.h"
#include "MediaGen.h"
#include "MediaItem.h"
#include "MediaScan.h"
#include "ProbeQueue.h"
#include "RowProgress.h"
#include "RowStatus.h"
#include "TestEnv.h"

#include <QDeadlineTimer>
#include <QThread>
#include <unistd.h>

using namespace tv;

namespace {

MediaItem Row(const QString &name, const QString &seconds, const QString &type = "AUDIO") {
    MediaItem item;
    item[Item::Name] = name;
    item[Item::Format] = "MP3";
    item[Item::FileName] = name + ".mp3";
    item[Item::FilePath] = "/music/";
    item[Item::FileDurationInMs] = seconds;
    item[Item::FileType] = type;
    return item;
}

QStringList Names(const FileListModel &model) {
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.item(row, Item::Name);
    return names;
}

} // namespace

class FileListModelTest : public QObject {
    Q_OBJECT
private:
    QString m_media;

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        m_media = test::Home().path() + "/media";
        QVERIFY(test::GenerateTone(m_media + "/tone.mp3", 1.5));
        QVERIFY(test::GenerateVideo(m_media + "/clip.mp4", 1.2, 160, 120));
    }

    void footersCountFilesAndRoundEachRow() {
        FileListModel model;
        QCOMPARE(model.footerText(1), QStringLiteral("0 file"));
        QCOMPARE(model.footerText(3), QStringLiteral("00:00:00"));
        model.appendItem(Row("a", "1.40"));
        model.UpdateListFooters();
        QCOMPARE(model.footerText(1), QStringLiteral("1 file"));
        QCOMPARE(model.footerText(3), QStringLiteral("00:00:01"));
        // Each row is rounded on its own: 1.4 + 1.4 gives 2 seconds, not 3.
        model.appendItem(Row("b", "1.40"));
        model.UpdateListFooters();
        QCOMPARE(model.footerText(1), QStringLiteral("2 files"));
        QCOMPARE(model.footerText(3), QStringLiteral("00:00:02"));
        model.appendItem(Row("c", "3661.60"));
        model.setFooterText(4, "Elapsed: 00:00:05");
        QSignalSpy changed(&model, &FileListModel::footerTextChanged);
        model.UpdateListFooters();
        QCOMPARE(model.footerText(3), QStringLiteral("01:01:04"));
        QCOMPARE(model.footerText(4), QStringLiteral("Elapsed: 00:00:05"));
        QCOMPARE(changed.size(), 2);
        model.clearRows();
        model.UpdateListFooters();
        QCOMPARE(model.footerText(1), QStringLiteral("0 file"));
    }

    void cellsShowTheirFieldsAndRowsGoInAnyOrder() {
        FileListModel model;
        for (const char *name : {"a", "b", "c", "d", "e"})
            model.appendItem(Row(name, "2.00"));
        model.setItem(1, Item::TagTrack, "7");
        QCOMPARE(model.index(1, ItemColumn(Item::TagTrack)).data().toString(), QStringLiteral("7"));
        QCOMPARE(model.index(0, 1).data(Qt::ToolTipRole).toString(), QStringLiteral("/music/a.mp3"));

        // Rows go in any order, duplicates and strays ignored; the removed items come back.
        const QList<MediaItem> removed = model.removeRowsAt({3, 0, 3, 9, -1});
        QCOMPARE(removed.size(), 2);
        QCOMPARE(Names(model), (QStringList{"b", "c", "e"}));
        QCOMPARE(model.clearRows().size(), 3);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.item(0, Item::Name), QString());
        model.setItem(5, Item::Name, "nothing happens");

        // Only the name cell takes an edit, and only while renaming is on; renaming itself is
        // the view's test.
        model.appendItem(Row("Song", "2.00"));
        QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
        model.setRenameEnabled(true);
        QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
        QVERIFY(!(model.flags(model.index(0, 2)) & Qt::ItemIsEditable));
        QVERIFY(!model.setData(model.index(0, 2), "MP4"));
    }

    // Every icon a row shows is an image of the theme; the busy icon runs through its frames and
    // starts again, whichever row it is drawn in.
    void rowStatusShowsThemeIconsAndReplacesTheProgressFigure() {
        FileListModel model;
        model.appendItem(Row("v", "2.00", "VIDEO"));
        model.appendItem(Row("a", "2.00", "AUDIO"));
        model.appendItem(Row("c", "2.00", "CD"));
        SetRowStatus(model, -1, true, RowStatus::Done);
        QStringList icons;
        for (int row = 0; row < 3; ++row) {
            SetRowStatus(model, row, true, RowStatus::Ready);
            icons << model.index(row, 0).data(FileListModel::StatusIconRole).toString();
        }
        QCOMPARE(QSet<QString>(icons.cbegin(), icons.cend()).size(), 3);
        QStringList frames;
        for (int i = 0; i < 24; ++i) {
            SetRowStatus(model, i % 2, true, RowStatus::Converting);
            frames << model.statusIcon(i % 2);
        }
        const qsizetype period = QSet<QString>(frames.cbegin(), frames.cend()).size();
        QVERIFY(period > 1);
        for (int i = 0; i + period < frames.size(); ++i)
            QCOMPARE(frames.at(i + period), frames.at(i));

        // The bar is empty at 0 % and fills the cell at 100 %.
        QCOMPARE(RowProgressGeometry(0, 0, 152, 20, 0).bar, 0);
        QCOMPARE(RowProgressGeometry(0, 0, 152, 20, 100).bar, RowProgressGeometry(0, 0, 152, 20, 100).width);
        // A converting frame keeps the progress figure; a finished status replaces it with its text.
        model.setRowProgress(1, RowProgressGeometry(300, 40, 452, 60, 37));
        QCOMPARE(model.index(1, 4).data(FileListModel::ProgressRole).value<RowProgressCell>().bar, 56);
        QVERIFY(model.index(1, 4).data(FileListModel::ProgressMarkupRole).toString().contains(">37%<"));
        QVERIFY(!model.index(1, 4).data(Qt::DisplayRole).isValid());
        SetRowStatus(model, 1, true, RowStatus::Converting);
        QVERIFY(model.hasRowProgress(1));
        SetRowStatus(model, 1, true, RowStatus::Done);
        QVERIFY(!model.hasRowProgress(1));
        QCOMPARE(model.index(1, 4).data().toString(), QStringLiteral("Done"));
        SetRowStatus(model, 2, true, RowStatus::Unsuccessful);
        QCOMPARE(model.item(2, Item::Progress), QStringLiteral("Unsuccessful!"));
        SetRowStatus(model, 0, true, RowStatus::Canceled);
        QCOMPARE(model.item(0, Item::Progress), QStringLiteral("Canceled!"));
        icons = QStringList{model.statusIcon(0), model.statusIcon(1), model.statusIcon(2)} +
                frames.mid(0, period);
        QCOMPARE(QSet<QString>(icons.cbegin(), icons.cend()).size(), icons.size());
        for (const QString &icon : icons)
            QVERIFY2(QFile::exists(QStringLiteral(TUNEVANE_SOURCE_DIR "/data/skin/Light/") + icon + ".svg"),
                     qPrintable(icon));
        // Without the icon flag only the text goes; the icon stays.
        SetRowStatus(model, 2, false, RowStatus::Done);
        QCOMPARE(model.item(2, Item::Progress), QString());
        QCOMPARE(model.statusIcon(2), icons.at(2));
    }

    void draggingRowsAndDroppingFiles() {
        FileListModel model;
        for (const char *name : {"a", "b", "c", "d"})
            model.appendItem(Row(name, "2.00"));
        QMimeData *mime = model.mimeData({model.index(3, 1), model.index(0, 1), model.index(0, 2)});
        QVERIFY(mime->hasFormat(Config().clipboardId));
        QVERIFY(model.canDropMimeData(mime, Qt::MoveAction, 2, 0, QModelIndex()));
        QVERIFY(!model.canDropMimeData(mime, Qt::CopyAction, 2, 0, QModelIndex()));
        QSignalSpy rearranged(&model, &FileListModel::rowsRearranged);
        // The view must not delete the originals: the move is complete when the drop answers.
        QVERIFY(!model.dropMimeData(mime, Qt::MoveAction, 2, 0, QModelIndex()));
        QCOMPARE(Names(model), (QStringList{"b", "a", "d", "c"}));
        QCOMPARE(rearranged.size(), 1);
        delete mime;
        // Dropped onto a row: before it; onto nothing: to the end.
        mime = model.mimeData({model.index(0, 1)});
        model.dropMimeData(mime, Qt::MoveAction, -1, -1, QModelIndex());
        QCOMPARE(Names(model), (QStringList{"a", "d", "c", "b"}));
        delete mime;
        mime = model.mimeData({model.index(3, 1)});
        model.dropMimeData(mime, Qt::MoveAction, -1, -1, model.index(1, 1));
        QCOMPARE(Names(model), (QStringList{"a", "b", "d", "c"}));
        delete mime;

        QSignalSpy dropped(&model, &FileListModel::filesDropped);
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile("/music/x y.mp3"), QUrl("https://example.org/a.mp3"),
                       QUrl::fromLocalFile("/music/folder")});
        QVERIFY(model.canDropMimeData(&files, Qt::CopyAction, -1, -1, QModelIndex()));
        model.dropMimeData(&files, Qt::CopyAction, -1, -1, QModelIndex());
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped.first().first().toStringList(), (QStringList{"/music/x y.mp3", "/music/folder"}));
        QCOMPARE(model.rowCount(), 4);
    }

    void foldersAreSearchedForMediaFiles() {
        const QString root = test::Home().path() + "/scan";
        for (const char *name :
             {"track 10.mp3", "track 2.mp3", "Track 1.FLAC", "notes.txt", "cover.jpg", "no extension",
              "sub/inner.wav", "sub/deeper/deep.ogg", "sub/readme.md", "a folder.mp3/inside.wav"})
            test::WriteFile(root + "/" + QString::fromUtf8(name));
        QVERIFY(QFile::link(root, root + "/sub/loop"));
        // A name that is not valid text is still found, so the import can say why it fails.
        const QByteArray raw = QFile::encodeName(root) + "/bad\xff.mp3";
        FILE *f = fopen(raw.constData(), "w");
        QVERIFY(f);
        fclose(f);

        const QStringList found = CollectMediaFiles({root, root + "/notes.txt"});
        QStringList relative;
        for (const QString &path : found)
            relative << QString(path).remove(root + "/");
        const QString bad = QFile::decodeName(raw).remove(root + "/");
        QCOMPARE(relative,
                 (QStringList{bad, "Track 1.FLAC", "track 2.mp3", "track 10.mp3", "a folder.mp3/inside.wav",
                              "sub/inner.wav", "sub/deeper/deep.ogg", "notes.txt"}));
        std::atomic_bool cancel{true};
        QVERIFY(CollectMediaFiles({root}, &cancel).size() <= 4);
        ::unlink(raw.constData());
    }

    // Order, progress and the kinds of outcome are the import's tests (thousands of files, a
    // folder of good and broken ones); here a cancel in the middle of parallel probes.
    void aCancelledProbeDeliversNothingMoreAndLeavesNoPicture() {
        const QString folder = test::Home().path() + "/many";
        QDir().mkpath(folder);
        const QStringList sources{m_media + "/tone.mp3", m_media + "/clip.mp4"};
        for (int i = 0; i < 40; ++i)
            QVERIFY(QFile::copy(sources.at(i % 2), QStringLiteral("%1/%2 file.%3")
                                                       .arg(folder)
                                                       .arg(i, 3, 10, QLatin1Char('0'))
                                                       .arg(QFileInfo(sources.at(i % 2)).suffix())));
        const QString temp = test::Home().path() + "/probe-temp/";
        QDir().mkpath(temp);
        ProbeQueue queue;
        queue.setThreadCount(4);
        ProbeOptions options;
        options.tempFolder = temp;
        queue.setOptions(options);
        int delivered = 0;
        int addedPictures = 0;
        connect(&queue, &ProbeQueue::outcomeReady, this, [&](const ProbeOutcome &o) {
            if (!o.item[Item::Thumbnail].isEmpty())
                ++addedPictures;
            if (++delivered == 6)
                queue.cancel();
        });
        QSignalSpy finished(&queue, &ProbeQueue::finished);
        QVERIFY(queue.start({folder}, true));
        QVERIFY(!queue.start({folder}, true)); // one run at a time
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(delivered, 6);
        QVERIFY(!queue.isRunning());
        // What the workers held when the cancel came leaves no picture behind.
        QTRY_COMPARE_WITH_TIMEOUT(QDir(temp).entryList(QDir::Files).size(), addedPictures, 20000);
        QCOMPARE(delivered, 6);

        // Nor does what they held when the queue itself went away (the list being closed): this
        // thread delivers nothing until a worker has written a picture, then the queue goes.
        QStringList videos;
        for (const QString &name : QDir(folder).entryList({"*.mp4"}, QDir::Files))
            videos << folder + "/" + name;
        QDir(temp).removeRecursively();
        QDir().mkpath(temp);
        auto *closing = new ProbeQueue;
        closing->setThreadCount(4);
        closing->setOptions(options);
        QVERIFY(closing->start(videos, false));
        const QDeadlineTimer deadline(60000);
        while (QDir(temp).isEmpty(QDir::Files) && !deadline.hasExpired())
            QThread::msleep(5);
        QVERIFY(!QDir(temp).isEmpty(QDir::Files));
        delete closing;
        QCOMPARE(QDir(temp).entryList(QDir::Files), QStringList());
    }
};

TV_TEST_MAIN_CORE(FileListModelTest)
#include "tst_filelistmodel.moc"

// The tag editor's rules below its window, on rows probed from generated tagged files: what the
// window's tests cannot reach (picture copies made ahead or arriving late, pictures gone before
// they are stored, films, the covers of other rows, an empty list) and the texts of its "Format"
// page. Stepping, the save question and the buttons are the window's tests.
#include "FileProperties.h"
#include "MediaItemTags.h"
#include "TagEditorCovers.h"
#include "TagEditorState.h"
#include "TagPictures.h"
#include "TagTestSupport.h"

using namespace tv;
using namespace tv::test;

class TagEditorStateTest : public QObject {
    Q_OBJECT

    TagEditorMedia m_media;

    static QStringList Tags(const FileListModel &list, int row) {
        QStringList tags;
        for (int box = 0; box < kTagBoxCount; ++box)
            tags << list.item(row, TagBoxItem(box));
        return tags;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(MakeTagEditorMedia(m_media)); }

    void applyStoresTrimmedTextsAndAnOwnCopyOfTheChosenPicture() {
        FileListModel list;
        QVERIFY(FillList(list, m_media));
        TagEditorState state(&list);
        state.ShowItem(1);
        const QStringList texts{" 4 ",    "Новая песня", " 日本語 ",
                                "Album",  "2024",        "Ambient ",
                                "(c) me", "Ünïcode",     "line one\nline two \n"};
        for (int box = 0; box < kTagBoxCount; ++box)
            state.setField(box, texts[box]);

        // A picture from elsewhere (a drive that may go away) is copied when it is stored.
        const QString outside = Home().path() + "/removable/cover.png";
        QVERIFY(QDir().mkpath(QFileInfo(outside).absolutePath()));
        QVERIFY(QFile::copy(m_media.picture, outside));
        state.ChoosePicture(outside);
        QCOMPARE(state.shownPicture(), outside);
        QVERIFY(state.Apply());
        QVERIFY(!state.changed());
        for (int box = 0; box < kTagBoxCount; ++box)
            QCOMPARE(list.item(1, TagBoxItem(box)), texts[box].trimmed());
        const QString stored = list.item(1, Item::Thumbnail);
        QVERIFY2(QFileInfo(stored).fileName().startsWith("tagimg_") && stored.endsWith(".png"),
                 qPrintable(stored));
        QCOMPARE(QFileInfo(stored).absolutePath() + "/", Paths().tempFolder);
        QFile::remove(outside);
        QCOMPARE(ReadFile(stored), ReadFile(m_media.picture));
        // The window keeps showing the stored picture; applying again makes no further copy.
        QCOMPARE(state.shownPicture(), stored);
        QVERIFY(state.Apply());
        QCOMPARE(list.item(1, Item::Thumbnail), stored);

        // A copy made ahead of time is what gets stored (that the picture's drive may then go is
        // the window's test); the copy itself goes once it has served.
        const QString early = Home().path() + "/removable/early.png";
        QVERIFY(QFile::copy(m_media.picture, early));
        state.ChoosePicture(early);
        const QString staged = StoreCoverCopy(early);
        state.setStagedCopy(early, staged);
        QVERIFY(state.Apply());
        const QString fromStaged = list.item(1, Item::Thumbnail);
        QVERIFY(fromStaged != staged && fromStaged != stored);
        QVERIFY(!QFile::exists(staged));
        QVERIFY(!QFile::exists(stored)); // the item's previous cover, which no row refers to now
        // A copy that arrives after another picture was chosen is not kept.
        state.ChoosePicture(m_media.picture);
        const QString late = StoreCoverCopy(m_media.picture);
        state.setStagedCopy(early, late);
        QVERIFY(state.stagedCopy().isEmpty());
        QVERIFY(!QFile::exists(late));
        state.ShowItem(1);

        // A picture that has gone by the time it is stored: the texts are stored, the cover
        // stays, and the reason is given.
        const QString gone = Home().path() + "/removable/gone.png";
        QVERIFY(QFile::copy(m_media.picture, gone));
        state.ChoosePicture(gone);
        state.setField(BoxAlbum, "Other album");
        QFile::remove(gone);
        QString error;
        QVERIFY(!state.Apply(&error));
        QVERIFY2(error.contains("gone.png"), qPrintable(error));
        QCOMPARE(list.item(1, Item::TagAlbum), QStringLiteral("Other album"));
        QCOMPARE(list.item(1, Item::Thumbnail), fromStaged);
        QVERIFY(state.changed());
        // Stepping on with "Yes" fails the same way and stays on the item.
        QVERIFY(!state.Step(
            1, []() { return true; }, &error));
        QCOMPARE(state.shownIndex(), 1);
    }

    void aFilmsThumbnailIsNoCoverAndAnEmptyListShowsNothing() {
        FileListModel list;
        QVERIFY(AddRow(list, m_media.video));
        const QString thumbnail = list.item(0, Item::Thumbnail);
        QVERIFY(QFileInfo(thumbnail).fileName().startsWith("thumbnail_"));
        TagEditorState state(&list);
        state.ShowItem(0);
        QVERIFY(state.shownPicture().isEmpty());
        state.ChoosePicture(m_media.picture);
        state.RemovePicture();
        QVERIFY(state.Apply());
        QCOMPARE(list.item(0, Item::Thumbnail), thumbnail);
        QVERIFY(QFile::exists(thumbnail));

        FileListModel empty;
        TagEditorState none(&empty);
        none.ShowItem(0);
        QCOMPARE(none.shownIndex(), -1);
        QVERIFY(none.positionText().isEmpty());
        QVERIFY(!none.Save(0));
    }

    void applyToAllGivesEveryItemItsOwnCopyOfTheStoredCover() {
        FileListModel list;
        QVERIFY(FillList(list, m_media));
        const QString wavCover = StoreItemCover(m_media.picture);
        list.setItem(2, Item::Thumbnail, wavCover);
        TagEditorState state(&list);
        state.ShowItem(0);
        const QString shownCover = list.item(0, Item::Thumbnail);
        const QByteArray coverBytes = ReadFile(shownCover);
        state.setField(BoxArtist, "Everyone");
        // A picture chosen but not applied is dropped: the stored cover goes to all.
        state.ChoosePicture(m_media.picture);
        QVERIFY(state.ApplyToAll());
        QVERIFY(!state.changed());
        QCOMPARE(state.shownPicture(), shownCover);
        QSet<QString> files;
        for (int row = 0; row < list.rowCount(); ++row) {
            QCOMPARE(list.item(row, Item::TagArtist), QStringLiteral("Everyone"));
            QCOMPARE(list.item(row, Item::TagTitle), QStringLiteral("Morning Song"));
            const QString cover = list.item(row, Item::Thumbnail);
            QCOMPARE(ReadFile(cover), coverBytes);
            files << cover;
        }
        QCOMPARE(files.size(), list.rowCount());
        QCOMPARE(list.item(0, Item::Thumbnail), shownCover); // the shown item keeps its own file
        QVERIFY(!QFile::exists(wavCover));                   // the replaced cover no row refers to
        // Removing one row's file (as removing the row does) leaves the others' pictures.
        QFile::remove(list.item(1, Item::Thumbnail));
        QCOMPARE(ReadFile(list.item(2, Item::Thumbnail)), coverBytes);

        // Shown from an item without a cover: the texts go to all, every item keeps its cover.
        list.setItem(1, Item::Thumbnail, QString());
        const QString kept = list.item(2, Item::Thumbnail);
        state.ShowItem(1);
        state.setField(BoxAlbum, "Collected");
        QVERIFY(state.ApplyToAll());
        QCOMPARE(list.item(2, Item::Thumbnail), kept);
        QCOMPARE(list.item(0, Item::Thumbnail), shownCover);
        QVERIFY(list.item(1, Item::Thumbnail).isEmpty());
        for (int row = 0; row < list.rowCount(); ++row)
            QCOMPARE(list.item(row, Item::TagAlbum), QStringLiteral("Collected"));

        // On a list of one item it does what Apply does.
        FileListModel one;
        QVERIFY(AddRow(one, m_media.plainFlac));
        TagEditorState single(&one);
        single.ShowItem(0);
        single.setField(BoxGenre, "Blues");
        QVERIFY(single.ApplyToAll());
        QCOMPARE(one.item(0, Item::TagGenre), QStringLiteral("Blues"));
        QVERIFY(one.item(0, Item::Thumbnail).isEmpty());
    }

    void readOnlyChangesAndStoresNothing() {
        FileListModel list;
        QVERIFY(FillList(list, m_media));
        TagEditorState state(&list);
        state.setReadOnly(true);
        state.ShowItem(0);
        const QStringList before = Tags(list, 0);
        const QString cover = list.item(0, Item::Thumbnail);
        state.setField(BoxTitle, "x");
        state.RemovePicture();
        state.ChoosePicture(m_media.picture);
        QVERIFY(!state.changed());
        QVERIFY(!state.Apply());
        QVERIFY(!state.ApplyToAll());
        QVERIFY(state.LeaveShownItem([]() { return true; }));
        QCOMPARE(Tags(list, 0), before);
        QCOMPARE(list.item(0, Item::Thumbnail), cover);
        QCOMPARE(state.SaveAsSource(), cover); // the cover can still be saved elsewhere
    }

    void saveAsNamesTheFileAfterTheChosenFormat() {
        const QString out = Home().path() + "/saved/";
        QCOMPARE(SaveAsTarget(out + "a", 2).path, out + "a.png");
        QCOMPARE(SaveAsTarget(out + "a", 2).format, 2);
        QCOMPARE(SaveAsTarget(out + "b.JPEG", 3).format, 1); // the name's own picture type wins
        QCOMPARE(SaveAsTarget(out + "b.JPEG", 3).path, out + "b.JPEG");
        QCOMPARE(SaveAsTarget(out + "c.txt", 3).path, out + "c.txt.bmp");
        QCOMPARE(SaveAsTarget(out + "d", 4).format, 0);
    }

    void formatPageTexts() {
        QCOMPARE(FileSizeText(1234567), QStringLiteral("1.18 MB (1,234,567 bytes)"));
        QCOMPARE(FileSizeText(512), QStringLiteral("512 bytes (512 bytes)"));
        const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
        QCOMPARE(FileDateText(when), QStringLiteral("Tuesday, March 05, 2024, 02:07:09 PM"));
        QCOMPARE(FileDateText(QDateTime(QDate(2023, 12, 31), QTime(0, 30, 0))),
                 QStringLiteral("Sunday, December 31, 2023, 12:30:00 AM"));

        const QString hidden = WriteFile(Home().path() + "/attr/.hidden.mp3");
        const QString normal = WriteFile(Home().path() + "/attr/normal.mp3");
        QCOMPARE(FileAttributesText(QFileInfo(normal)), QStringLiteral("Normal"));
        QFile::setPermissions(hidden, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        QCOMPARE(FileAttributesText(QFileInfo(hidden)), QStringLiteral("Hidden, Read-only"));

        FileListModel list;
        QVERIFY(AddRow(list, m_media.coverMp3));
        QVERIFY(AddRow(list, m_media.video));
        const auto value = [](const QList<PropertyLine> &lines, const QString &title) {
            for (const PropertyLine &line : lines) {
                if (line.title == title)
                    return line.value;
            }
            return QStringLiteral("<missing>");
        };
        const QList<PropertyLine> audio = FilePropertyLines(list.mediaItem(0));
        const QList<PropertyLine> video = FilePropertyLines(list.mediaItem(1));
        const QStringList titles{
            "Type:",       "Size:",       "Modified:",    "Attributes:", "Sample Rate:", "Bits per Sample:",
            "Frame Size:", "Frame Rate:", "Aspect Ratio:"};
        QStringList audioValues, videoValues;
        for (const QString &title : titles) {
            audioValues << value(audio, title);
            videoValues << value(video, title);
        }
        QCOMPARE(audioValues,
                 (QStringList{"AUDIO", FileSizeText(QFileInfo(m_media.coverMp3).size()),
                              FileDateText(QFileInfo(m_media.coverMp3).lastModified()), "Normal", "44100 Hz",
                              "16 bits", "Not Available", "Not Available", "Not Available"}));
        QCOMPARE(videoValues.first(), QStringLiteral("VIDEO"));
        QCOMPARE(videoValues.mid(6), (QStringList{"320 x 240 pixels", "25 frames/second", "1.33:1 - (4:3)"}));
        QCOMPARE(audio.size(), video.size()); // every line is there, known or not

        // A file moved away since it was added: its file properties are not available.
        MediaItem moved = list.mediaItem(0);
        moved[Item::FilePath] = Home().path() + "/nowhere/";
        const QList<PropertyLine> gone = FilePropertyLines(moved);
        QCOMPARE(value(gone, "Size:"), QStringLiteral("Not Available"));
        QCOMPARE(value(gone, "Sample Rate:"), QStringLiteral("44100 Hz"));
    }
};

TV_TEST_MAIN_CORE(TagEditorStateTest)
#include "tst_tageditorstate.moc"

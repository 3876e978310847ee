// The tag field mapping: genre numbers, which blocks are read in which order, what the MP3
// writer puts in, non-Latin text, and the probe's covers and picture files.
#include "Genres.h"
#include "MediaGen.h"
#include "TagFiles.h"
#include "TagManager.h"
#include "TagMapping.h"
#include "TagPictures.h"
#include "TagTestSupport.h"
#include "TestEnv.h"

#include <QImage>

#include <taglib/asffile.h>
#include <taglib/commentsframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/xiphcomment.h>

using namespace tv;
using namespace tv::test;

namespace {

QString Q(const TagLib::String &s) {
    return QString::fromStdString(s.to8Bit(true));
}

TagRecord ReadRecord(const QString &path) {
    TagManager m;
    TagRecord r;
    if (m.Load(path)) {
        TagFamilies f;
        DetectTagFamilies(m, &f);
        ReadTags(m, f, &r);
    }
    return r;
}

} // namespace

class TagMappingTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_cover;

    QString Path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_cover = Path("cover.png");
        QVERIFY(GeneratePicture(m_cover, 64, 48));
    }

    // The list index is not the ID3v1 number; every name but Rock/Pop has one (matched
    // without regard to case and blanks), and the name comes back in the list's own spelling.
    void genreNamesHaveTheirId3v1NumbersBothWays() {
        const QStringList &names = GenreNames();
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        const QList<QPair<const char *, int>> numbers = {
            {"Reggae", 16},    {"Merengue", 142},      {"JPop", 146},
            {"ambient", 26},   {"Fast Fusion", 84},    {"Jazz-Funk", 29}, // TagLib's spelling of "Jazz+Funk"
            {"Psybient", 191},                                            // a late extension, not in the list
            {"Rock/Pop", 255}, {"Nonsense genre", 255}};
        for (const auto &[name, number] : numbers)
            QCOMPARE(Id3v1GenreNumber(name), number);
        for (const QString &name : names) {
            const int number = Id3v1GenreNumber(name);
            if (name == QLatin1String("Rock/Pop"))
                continue;
            QVERIFY2(number >= 0 && number < 192, qPrintable(name));
            QCOMPARE(Id3v1GenreName(number), name);
        }
        QCOMPARE(Id3v1GenreName(255), QString());
    }

    // Speex has a type code but no tag block written; its comments are still read. (Files the
    // tag reader cannot load are the round trip's and the writing safety test's.)
    void speexCommentsAreRead() {
        const QString speex = Path("t.spx");
        QVERIFY(GenerateTaggedTone(speex, 1.5, {"title=Speex title"}, QString(),
                                   {"-c:a", "libspeex", "-ar", "16000", "-ac", "1"}));
        const ProbeTags tags = ReadTagsForProbe(speex);
        QVERIFY(tags.loaded);
        QCOMPARE(tags.record.title, QStringLiteral("Speex title"));
    }

    void id3v1IsReadAfterId3v2() {
        const QString path = Path("both.mp3");
        QVERIFY(CopyTo(UntaggedTone(Path("t.mp3")), path));
        const QString longTitle = "A title that is far longer than thirty characters";
        {
            TagLib::MPEG::File f(path.toUtf8().constData());
            TagLib::ID3v2::Tag *v2 = f.ID3v2Tag(true);
            v2->setTitle(longTitle.toStdString());
            v2->setArtist("Both Artist");
            v2->setAlbum("Only in ID3v2");
            auto *copyright = new TagLib::ID3v2::TextIdentificationFrame("TCOP", TagLib::String::Latin1);
            copyright->setText("(C) ID3v2");
            v2->addFrame(copyright);
            TagLib::ID3v1::Tag *v1 = f.ID3v1Tag(true);
            v1->setTitle(longTitle.toStdString());
            v1->setArtist("Own v1 Artist");
            v1->setGenreNumber(8);
            v1->setComment("v1 comment");
            QVERIFY(f.save(TagLib::MPEG::File::AllTags, TagLib::File::StripNone, TagLib::ID3v2::v4,
                           TagLib::File::DoNotDuplicate));
        }
        const TagRecord r = ReadRecord(path);
        QCOMPARE(r.title, longTitle); // an ID3v1 text that is only the ID3v2 one cut short says nothing new
        QCOMPARE(r.artist, QStringLiteral("Own v1 Artist")); // an ID3v1 text of its own wins
        QCOMPARE(r.album, QString());                        // an empty ID3v1 field clears the ID3v2 value
        QCOMPARE(r.genre, QStringLiteral("Jazz"));
        QCOMPARE(r.comment, QStringLiteral("v1 comment"));
        QCOMPARE(r.copyright, QStringLiteral("(C) ID3v2")); // ID3v1 has no copyright to give
    }

    void wmaTrackAndCopyrightFallBack() {
        const QString path = Path("fallback.wma");
        QVERIFY(CopyTo(UntaggedTone(Path("t.wma")), path));
        {
            TagLib::ASF::File f(path.toUtf8().constData());
            f.tag()->removeItem("WM/TrackNumber");
            f.tag()->setAttribute("WM/Track", TagLib::ASF::Attribute(TagLib::String("7")));
            f.tag()->setCopyright("");
            f.tag()->setAttribute("WM/Copyright", TagLib::ASF::Attribute(TagLib::String("(C) attribute")));
            QVERIFY(f.save());
        }
        TagRecord r = ReadRecord(path);
        QCOMPARE(r.track, QStringLiteral("7"));
        QCOMPARE(r.copyright, QStringLiteral("(C) attribute"));
        {
            TagLib::ASF::File f(path.toUtf8().constData());
            f.tag()->setAttribute("WM/TrackNumber", TagLib::ASF::Attribute(9u));
            f.tag()->setCopyright("(C) header");
            QVERIFY(f.save());
        }
        r = ReadRecord(path);
        QCOMPARE(r.track, QStringLiteral("9"));
        QCOMPARE(r.copyright, QStringLiteral("(C) header"));
    }

    void mp3OutputGetsBothId3BlocksAndTheCommentsLanguage() {
        const QString path = Path("out.mp3");
        QVERIFY(CopyTo(UntaggedTone(Path("t.mp3")), path));
        TagRecord record = SampleRecord();
        record.commentLanguage = "deu";
        record.commentDescription = "Notiz";
        QVERIFY(WriteTagsToOutput(path, record).Succeeded());

        // ID3v2.3, with an ID3v1 block at the end (its values are the round trip's ADTS rows).
        const QByteArray bytes = ReadFile(path);
        QVERIFY(bytes.startsWith("ID3\x03") && bytes.left(1000).contains("TYER"));
        QVERIFY(bytes.right(128).startsWith("TAG"));

        TagLib::MPEG::File f(path.toUtf8().constData());
        const auto &comments = f.ID3v2Tag()->frameList("COMM");
        QCOMPARE(int(comments.size()), 1);
        const auto *comment = dynamic_cast<TagLib::ID3v2::CommentsFrame *>(comments.front());
        QVERIFY(comment);
        QCOMPARE(QStringList({QString::fromLatin1(comment->language().data(), 3), Q(comment->description()),
                              Q(comment->text())}),
                 QStringList({"deu", "Notiz", record.comment}));
        // Read back as the program reads: the language and description survive.
        const TagRecord back = ReadRecord(path);
        QCOMPARE(QStringList({back.commentLanguage, back.commentDescription}), QStringList({"deu", "Notiz"}));
        QCOMPARE(back.commentFrameCount, qint16(1));
    }

    void emptyValuesClearWhatTheEncoderWrote() {
        const QString path = Path("old.flac");
        QVERIFY(GenerateTaggedTone(path, 1.5, {"title=Old title", "artist=Old artist", "genre=Old genre"}));
        TagRecord record;
        record.artist = "New artist";
        QVERIFY(WriteTagsToOutput(path, record).Succeeded());
        TagLib::FLAC::File f(path.toUtf8().constData());
        const TagLib::Ogg::FieldListMap fields = f.xiphComment()->fieldListMap();
        QVERIFY(!fields.contains("TITLE"));
        QVERIFY(!fields.contains("GENRE"));
        QCOMPARE(Q(fields["ARTIST"].front()), QStringLiteral("New artist"));
    }

    // (Other blocks keeping such text is the writing safety test's, with many writers at once.)
    void nonLatinTextInMp3() {
        TagRecord record;
        record.title = QStringLiteral("Ünïcödé 漢字 Кириллица 🎵");
        record.artist = QStringLiteral("Antonín Dvořák");
        // ID3v2.3 keeps the text as UTF-16; ID3v1 holds Latin-1 only.
        const QString mp3 = Path("u.mp3");
        QVERIFY(CopyTo(UntaggedTone(Path("t.mp3")), mp3));
        QVERIFY(WriteTagsToOutput(mp3, record).Succeeded());
        TagLib::MPEG::File f(mp3.toUtf8().constData());
        const auto *title =
            dynamic_cast<TagLib::ID3v2::TextIdentificationFrame *>(f.ID3v2Tag()->frameList("TIT2").front());
        QVERIFY(title);
        QCOMPARE(Q(title->toString()), record.title);
        QCOMPARE(title->textEncoding(), TagLib::String::UTF16);
        QCOMPARE(Q(f.ID3v1Tag()->title()), QStringLiteral("Ünïcödé ?? ????????? ?"));
        QCOMPARE(Q(f.ID3v1Tag()->artist()), QStringLiteral("Antonín Dvorák"));
        QCOMPARE(FFprobeTag(FFprobe(mp3), "title"), record.title);

        // Read again (ID3v2, then ID3v1): copies with "?" or plain letters leave the whole texts.
        const TagRecord again = ReadRecord(mp3);
        QCOMPARE(QStringList({again.title, again.artist}), QStringList({record.title, record.artist}));
    }

    // (A comment's language, and no cover where none is, are the round trip's.)
    void probeReadsBitsAndCover() {
        const QString path = Path("probe.flac");
        QVERIFY(GenerateTaggedTone(path, 1.5, {"title=Probe"}, m_cover, {"-sample_fmt", "s32"}));
        const QString temp = Path("temp");
        const ProbeTags tags = ReadTagsForProbe(path, temp);
        QVERIFY(tags.loaded);
        QCOMPARE(tags.bitsPerSample, 24); // FLAC keeps 24 bits for 32-bit samples from ffmpeg
        QCOMPARE(tags.record.title, QStringLiteral("Probe"));
        QCOMPARE(tags.record.pictureCount, qint16(1));
        QVERIFY(QFileInfo(tags.coverPath).fileName().startsWith("tagimg_"));
        QVERIFY(tags.coverPath.endsWith(".jpg") && ReadFile(tags.coverPath).startsWith("\xFF\xD8\xFF"));
        QCOMPARE(QFileInfo(tags.coverPath).absolutePath(), QDir(temp).absolutePath());
        QCOMPARE(tags.record.picturePath, tags.coverPath);
        QCOMPARE(QImage(tags.coverPath).size(), QSize(64, 48));
        // A second probe makes a second file: each item keeps its own cover.
        QVERIFY(ReadTagsForProbe(path, temp).coverPath != tags.coverPath);
    }

    void savedPicturesTakeTheChosenFormat() {
        const struct {
            int filter;
            const char *magic;
        } saves[] = {{1, "\xFF\xD8\xFF"}, {2, "\x89PNG"}, {3, "BM"}};
        for (const auto &save : saves) {
            const QString target = Path(QStringLiteral("saved-as-%1").arg(save.filter));
            QVERIFY(ConvertPictureFile(m_cover, target, save.filter));
            QVERIFY(ReadFile(target).startsWith(save.magic));
            QCOMPARE(QImage(target).size(), QSize(64, 48));
        }
        QVERIFY(!ConvertPictureFile(m_cover, Path("saved-as-4"), 4));
        QVERIFY(!QFile::exists(Path("saved-as-4")));
        const QString text = WriteFile(Path("not-a-picture.png"), "just text");
        QVERIFY(!ConvertPictureFile(text, Path("saved-from-text.jpg"), 1));
        QVERIFY(!QFile::exists(Path("saved-from-text.jpg")));
    }
};

TV_TEST_MAIN_CORE(TagMappingTest)
#include "tst_tagmapping.moc"

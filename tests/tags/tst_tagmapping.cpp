// The tag field mapping: genre list, file types from content, which blocks are read and written
// and what each of them receives.
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
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

using namespace tv;
using namespace tv::test;

namespace {

QString Q(const TagLib::String &s) {
    return QString::fromStdString(s.to8Bit(true));
}
TagLib::String T(const QString &s) {
    return TagLib::String(s.toUtf8().toStdString(), TagLib::String::UTF8);
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

    QString Untagged(const QString &name, const QStringList &codec = {}) {
        return UntaggedTone(Path(name), codec);
    }

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

    void fileTypesComeFromTheContent() {
        const int id3 = TagFamilyId3v2 | TagFamilyId3v1;
        const struct {
            const char *name;
            QStringList codec;
            int code;
            const char *typeName;
            int writeFlags;
        } files[] = {{"t.mp3", {}, 0, "MP3", id3},
                     {"t.mp2", {"-c:a", "mp2"}, 2, "MP2", id3},
                     {"t.aac", {"-c:a", "aac"}, 15, "AAC", id3},
                     {"t.wav", {}, 1, "WAV", TagFamilyRiffInfo},
                     {"f.wav", {"-c:a", "pcm_f32le"}, 20, "WAV IEEE float", TagFamilyRiffInfo},
                     {"a.wav", {"-c:a", "pcm_alaw"}, 20, "WAV A-law", TagFamilyRiffInfo},
                     {"t.ogg", {"-c:a", "libvorbis"}, 4, "OGG Vorbis", TagFamilyOggVorbis},
                     {"t.flac", {}, 14, "FLAC", TagFamilyFlac},
                     {"t.m4a", {}, 16, "MP4", TagFamilyMp4},
                     {"l.m4a", {"-c:a", "alac"}, 18, "ALAC", 0},
                     {"t.wma", {}, 5, "Windows Media Audio", TagFamilyWma},
                     {"t.aiff", {}, 13, "AIFF", 0},
                     {"t.ac3", {}, 17, "AC3", 0},
                     {"t.spx", {"-c:a", "libspeex", "-ar", "16000"}, 33, "Speex", 0}};
        for (const auto &t : files) {
            const QString path = Untagged(t.name, t.codec);
            QVERIFY2(!path.isEmpty(), t.name);
            // The same file under a misleading name is the same type.
            const QString renamed = Path(QString("renamed-") + t.name + (t.code == 0 ? ".wav" : ".mp3"));
            QVERIFY(CopyTo(path, renamed));
            for (const QString &file : {path, renamed}) {
                TagManager m;
                QVERIFY2(m.Load(file), qPrintable(m.LastError()));
                TagFamilies f;
                const QString detected = DetectTagFamilies(m, &f);
                QCOMPARE(QList<int>({m.FileTypeCode(), f.fileType, f.writeFlags}),
                         QList<int>({t.code, t.code, t.writeFlags}));
                // (The WMA type name goes on with the codec's version.)
                QVERIFY2(t.code == FileTypeWma ? detected.startsWith(t.typeName) : detected == t.typeName,
                         qPrintable(file + ": " + detected));
            }
        }
    }

    void filesWithoutTagSupportAreNotLoaded() {
        // Matroska cannot be handled by the tag reader: the probe uses the decoder.
        const QString mka = Untagged("t.mka");
        QVERIFY(!mka.isEmpty());
        QCOMPARE(ReadTagsForProbe(mka).loaded, false);
        QVERIFY(!ReadTagsForProbe(mka).error.isEmpty());
        // (Missing files and noise are the writing safety test's.)
        // Speex has a type code but no tag block written; its comments are still read.
        const QString speex = Path("t.spx");
        QVERIFY(GenerateTaggedTone(speex, 1.5, {"title=Speex title"}, QString(),
                                   {"-c:a", "libspeex", "-ar", "16000", "-ac", "1"}));
        const ProbeTags tags = ReadTagsForProbe(speex);
        QVERIFY(tags.loaded);
        QCOMPARE(tags.record.title, QStringLiteral("Speex title"));
    }

    void id3v1IsReadAfterId3v2() {
        const QString path = Path("both.mp3");
        QVERIFY(CopyTo(Untagged("t.mp3"), path));
        const QString longTitle = "A title that is far longer than thirty characters";
        {
            TagLib::MPEG::File f(path.toUtf8().constData());
            TagLib::ID3v2::Tag *v2 = f.ID3v2Tag(true);
            v2->setTitle(T(longTitle));
            v2->setArtist("Both Artist");
            v2->setAlbum("Only in ID3v2");
            auto *copyright = new TagLib::ID3v2::TextIdentificationFrame("TCOP", TagLib::String::Latin1);
            copyright->setText("(C) ID3v2");
            v2->addFrame(copyright);
            TagLib::ID3v1::Tag *v1 = f.ID3v1Tag(true);
            v1->setTitle(T(longTitle));
            v1->setArtist("Both Artist");
            v1->setGenreNumber(8);
            v1->setComment("v1 comment");
            QVERIFY(f.save(TagLib::MPEG::File::AllTags, TagLib::File::StripNone, TagLib::ID3v2::v4,
                           TagLib::File::DoNotDuplicate));
        }
        TagManager m;
        QVERIFY(m.Load(path));
        TagFamilies f;
        DetectTagFamilies(m, &f);
        QCOMPARE(f.readFlags, TagFamilyId3v1 | TagFamilyId3v2);
        TagRecord r;
        ReadTags(m, f, &r);
        QCOMPARE(r.title, longTitle); // an ID3v1 text that is only the ID3v2 one cut short says nothing new
        QCOMPARE(r.album, QString()); // an empty ID3v1 field clears the ID3v2 value
        QCOMPARE(r.genre, QStringLiteral("Jazz"));
        QCOMPARE(r.comment, QStringLiteral("v1 comment"));
        QCOMPARE(r.copyright, QStringLiteral("(C) ID3v2")); // ID3v1 has no copyright to give

        // Without the ID3v1 flag the ID3v2 values stand.
        f.readFlags = TagFamilyId3v2;
        TagRecord only;
        ReadTags(m, f, &only);
        QCOMPARE(only.title, longTitle);
        QCOMPARE(only.album, QStringLiteral("Only in ID3v2"));
    }

    void wmaTrackAndCopyrightFallBack() {
        const QString path = Path("fallback.wma");
        QVERIFY(CopyTo(Untagged("t.wma"), path));
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

    void mp3OutputGetsBothId3BlocksWithoutId3v1Copyright() {
        const QString path = Path("out.mp3");
        QVERIFY(CopyTo(Untagged("t.mp3"), path));
        TagRecord record = SampleRecord();
        record.commentLanguage = "deu";
        record.commentDescription = "Notiz";
        QVERIFY(WriteTagsToOutput(path, record).Succeeded());

        TagLib::MPEG::File f(path.toUtf8().constData());
        QVERIFY(f.hasID3v2Tag());
        QVERIFY(f.hasID3v1Tag());
        // The ID3v2 values themselves are the round trip's test (ffprobe reads that block).
        const auto &comments = f.ID3v2Tag()->frameList("COMM");
        QCOMPARE(int(comments.size()), 1);
        const auto *comment = dynamic_cast<TagLib::ID3v2::CommentsFrame *>(comments.front());
        QVERIFY(comment);
        QCOMPARE(QByteArray(comment->language().data(), 3), QByteArray("deu"));
        QCOMPARE(Q(comment->description()), QStringLiteral("Notiz"));
        QCOMPARE(Q(comment->text()), record.comment);

        // The ID3v1 block, byte by byte: the same values, and the copyright nowhere in it.
        const QByteArray bytes = ReadFile(path);
        QVERIFY(bytes.startsWith("ID3\x03"));
        QVERIFY(bytes.left(1000).contains("TYER"));
        QVERIFY(!bytes.left(1000).contains("TDRC"));
        const QByteArray v1 = bytes.right(128);
        QVERIFY(v1.startsWith("TAG"));
        const auto text = [&v1](int at, int size) { return QByteArray(v1.constData() + at).left(size); };
        QCOMPARE(QList<QByteArray>({text(3, 30), text(33, 30), text(63, 30), v1.mid(93, 4), text(97, 28)}),
                 QList<QByteArray>({record.title.toLatin1(), record.artist.toLatin1(),
                                    record.album.toLatin1(), "2021", record.comment.toLatin1()}));
        QCOMPARE(QList<int>({quint8(v1[126]), quint8(v1[127])}), QList<int>({3, 8})); // track, Jazz
        QVERIFY(!v1.contains(record.copyright.toLatin1()));
        QVERIFY(!v1.contains(record.composer.toLatin1()));

        // Read back as the program reads: ID3v2's language and description survive.
        const TagRecord back = ReadRecord(path);
        QCOMPARE(back.commentLanguage, QStringLiteral("deu"));
        QCOMPARE(back.commentDescription, QStringLiteral("Notiz"));
        QCOMPARE(back.commentFrameCount, qint16(1));
    }

    void wavOutputGetsOnlyItsSixChunks() {
        const QString path = Path("out.wav");
        QVERIFY(CopyTo(Untagged("t.wav"), path));
        QVERIFY(WriteTagsToOutput(path, SampleRecord()).Succeeded());
        TagLib::RIFF::WAV::File f(path.toUtf8().constData());
        QVERIFY(f.hasInfoTag());
        QVERIFY(!f.hasID3v2Tag());
        QStringList ids;
        for (const auto &field : f.InfoTag()->fieldListMap())
            ids << QString::fromLatin1(field.first.data(), 4);
        ids.removeAll("ISFT"); // the encoder's own name stays
        ids.sort();
        QCOMPARE(ids, QStringList({"IART", "ICMT", "ICOP", "ICRD", "IGNR", "INAM"}));
        // What reads back from them is the round trip's WAV row.
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

    void vorbisDescriptionServesAsComment() {
        // ffmpeg and others keep a Vorbis comment under DESCRIPTION (the round trip reads it from
        // a FLAC input).
        const QString ogg = Path("described.ogg");
        QVERIFY(GenerateTaggedTone(ogg, 1.5, {"comment=Described"}, QString(), {"-c:a", "libvorbis"}));
        QCOMPARE(ReadRecord(ogg).comment, QStringLiteral("Described"));
    }

    void nonLatinTextInEveryField() {
        TagRecord record;
        record.title = QStringLiteral("Ünïcödé 漢字 Кириллица 🎵");
        record.artist = QStringLiteral("Antonín Dvořák");
        record.album = QStringLiteral("Ελληνικά");
        record.year = QStringLiteral("2021");
        record.track = QStringLiteral("4");
        record.genre = QStringLiteral("Музыка");
        record.copyright = QStringLiteral("© 株式会社");
        record.composer = QStringLiteral("Łukasz Żółw");
        record.comment = QStringLiteral("עברית and العربية");
        const struct {
            const char *name;
            QStringList codec;
            bool composer, album;
        } outputs[] = {{"u.flac", {}, true, true},
                       {"u.m4a", {}, true, true},
                       {"u.ogg", {"-c:a", "libvorbis"}, false, true},
                       {"u.wma", {}, true, true},
                       {"u.wav", {}, false, false}};
        for (const auto &o : outputs) {
            const QString path = Path(o.name);
            QVERIFY(CopyTo(Untagged(QString("src-") + o.name, o.codec), path));
            QVERIFY2(WriteTagsToOutput(path, record).Succeeded(), o.name);
            const TagRecord b = ReadRecord(path);
            QCOMPARE(
                QStringList({b.title, b.artist, b.genre, b.copyright, b.comment, b.composer, b.album}),
                QStringList({record.title, record.artist, record.genre, record.copyright, record.comment,
                             o.composer ? record.composer : QString(), o.album ? record.album : QString()}));
            // ffprobe, reading independently, sees the same text.
            QCOMPARE(FFprobeTag(FFprobe(path), "title"), record.title);
        }

        // MP3: ID3v2.3 keeps the text as UTF-16; ID3v1 holds Latin-1 only.
        const QString mp3 = Path("u.mp3");
        QVERIFY(CopyTo(Untagged("t.mp3"), mp3));
        QVERIFY(WriteTagsToOutput(mp3, record).Succeeded());
        TagLib::MPEG::File f(mp3.toUtf8().constData());
        const auto *title =
            dynamic_cast<TagLib::ID3v2::TextIdentificationFrame *>(f.ID3v2Tag()->frameList("TIT2").front());
        QVERIFY(title);
        QCOMPARE(Q(title->toString()), record.title);
        QCOMPARE(title->textEncoding(), TagLib::String::UTF16);
        QCOMPARE(Q(f.ID3v2Tag()->artist()), record.artist);
        QCOMPARE(Q(f.ID3v1Tag()->title()), QStringLiteral("Ünïcödé ?? ????????? ?"));
        QCOMPARE(Q(f.ID3v1Tag()->artist()), QStringLiteral("Antonín Dvorák"));
        QCOMPARE(FFprobeTag(FFprobe(mp3), "title"), record.title);

        // Read again (ID3v2, then ID3v1): copies cut short or with "?" leave the whole texts; an
        // ID3v1 text of its own still wins, as it always has.
        const TagRecord again = ReadRecord(mp3);
        QCOMPARE(QStringList({again.title, again.artist, again.album, again.comment}),
                 QStringList({record.title, record.artist, record.album, record.comment}));
        {
            TagLib::MPEG::File edit(mp3.toUtf8().constData());
            edit.ID3v1Tag()->setTitle("Another title");
            QVERIFY(edit.save(TagLib::MPEG::File::AllTags, TagLib::File::StripNone, TagLib::ID3v2::v3,
                              TagLib::File::DoNotDuplicate));
        }
        QCOMPARE(ReadRecord(mp3).title, QStringLiteral("Another title"));
    }

    void coversGoInAsFrontCoverAndComeOutAsJpeg() {
        QImage bmp(40, 30, QImage::Format_RGB32);
        bmp.fill(Qt::darkCyan);
        const QString bmpPath = Path("cover.bmp");
        QVERIFY(bmp.save(bmpPath, "BMP"));
        for (const char *name : {"c.mp3", "c.flac", "c.m4a", "c.wma"}) {
            const QString path = Path(name);
            QVERIFY(CopyTo(Untagged(QString("src-") + name), path));
            TagRecord record = SampleRecord();
            record.picturePath = m_cover;
            QVERIFY2(WriteTagsToOutput(path, record).Succeeded(), name);
            // Twice: the front cover is replaced, not added.
            record.picturePath = bmpPath;
            QVERIFY2(WriteTagsToOutput(path, record).Succeeded(), name);

            TagManager m;
            QVERIFY(m.Load(path));
            TagFamilies f;
            DetectTagFamilies(m, &f);
            const int family = PictureFamily(f);
            QCOMPARE(m.PictureCount(family), 1);
            const QByteArray embedded = m.PictureData(family, 0);
            QVERIFY2(embedded.startsWith("\x89PNG"), name); // the bitmap went in as PNG
            QCOMPARE(QImage::fromData(embedded).size(), QSize(40, 30));

            const QString exported = Path(QString(name) + ".jpg");
            QVERIFY(ExportCoverPicture(m, f, exported));
            const QByteArray jpeg = ReadFile(exported);
            QVERIFY(jpeg.startsWith("\xFF\xD8\xFF"));
            QCOMPARE(QImage::fromData(jpeg).size(), QSize(40, 30));
        }
        // An ID3v2 cover is typed as the front cover.
        TagLib::MPEG::File f(Path("c.mp3").toUtf8().constData());
        const auto *apic =
            dynamic_cast<TagLib::ID3v2::AttachedPictureFrame *>(f.ID3v2Tag()->frameList("APIC").front());
        QVERIFY(apic);
        QCOMPARE(apic->type(), TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        QCOMPARE(Q(apic->mimeType()), QStringLiteral("image/png"));
    }

    void probeReadsBitsLanguageAndCover() {
        const QString path = Path("probe.flac");
        QVERIFY(GenerateTaggedTone(path, 1.5, {"title=Probe"}, m_cover, {"-sample_fmt", "s32"}));
        const QString temp = Path("temp");
        const ProbeTags tags = ReadTagsForProbe(path, temp);
        QVERIFY(tags.loaded);
        QCOMPARE(tags.bitsPerSample, 24); // FLAC keeps 24 bits for 32-bit samples from ffmpeg
        QCOMPARE(tags.record.title, QStringLiteral("Probe"));
        QCOMPARE(tags.record.pictureCount, qint16(1));
        QVERIFY(QFileInfo(tags.coverPath).fileName().startsWith("tagimg_"));
        QVERIFY(tags.coverPath.endsWith(".jpg"));
        QCOMPARE(QFileInfo(tags.coverPath).absolutePath(), QDir(temp).absolutePath());
        QCOMPARE(tags.record.picturePath, tags.coverPath);
        QCOMPARE(QImage(tags.coverPath).size(), QSize(64, 48));
        // A second probe makes a second file: each item keeps its own cover.
        QVERIFY(ReadTagsForProbe(path, temp).coverPath != tags.coverPath);

        const QString mp3 = Path("lang.mp3");
        QVERIFY(CopyTo(Untagged("t.mp3"), mp3));
        {
            TagLib::MPEG::File f(mp3.toUtf8().constData());
            auto *comment = new TagLib::ID3v2::CommentsFrame;
            comment->setLanguage("fra");
            comment->setText("Bonjour");
            f.ID3v2Tag(true)->addFrame(comment);
            QVERIFY(f.save());
        }
        const ProbeTags mp3Tags = ReadTagsForProbe(mp3, temp);
        QCOMPARE(mp3Tags.language, QStringLiteral("fra"));
        QCOMPARE(mp3Tags.record.comment, QStringLiteral("Bonjour"));
        QCOMPARE(mp3Tags.bitsPerSample, 16);
        QCOMPARE(mp3Tags.coverPath, QString());
    }

    void coverCopiesAndSavedPicturesForTheEditor() {
        const QString temp = Path("editor-temp");
        const QString copy = StoreCoverCopy(m_cover, temp);
        QVERIFY(QFileInfo(copy).fileName().startsWith("tagimg_"));
        QVERIFY(copy.endsWith(".png"));
        QCOMPARE(QFileInfo(copy).absolutePath(), QDir(temp).absolutePath());
        QCOMPARE(ReadFile(copy), ReadFile(m_cover));
        QVERIFY(StoreCoverCopy(m_cover, temp) != copy);
        QCOMPARE(StoreCoverCopy(Path("no-such-picture.png"), temp), QString());

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

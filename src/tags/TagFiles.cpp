#include "TagFiles.h"

#include "Config.h"
#include "PresetIdentifier.h"
#include "ReplayGainTags.h"
#include "TagManager.h"
#include "TagMapping.h"
#include "TagPictures.h"
#include "WorkFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

namespace tv {

namespace {

// What must not change when only tags change.
struct SoundFingerprint {
    int fileType = -1;
    int sampleRate = 0;
    int channels = 0;
    int durationMs = 0;

    static SoundFingerprint Of(const TagManager &m) {
        return {m.FileTypeCode(), m.SoundInformation(SoundSampleRate), m.SoundInformation(SoundChannels),
                m.SoundInformation(SoundDurationMs)};
    }
    bool SameSound(const SoundFingerprint &o) const {
        const int tolerance = std::max(50, durationMs / 200);
        return fileType == o.fileType && sampleRate == o.sampleRate && channels == o.channels &&
               std::abs(durationMs - o.durationMs) <= tolerance;
    }
};

TagWriteResult Fail(TagWriteOutcome outcome, const QString &error) {
    return {outcome, error};
}

bool CopyFileContent(const QString &from, QFile *to, QString *error) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = source.errorString();
        return false;
    }
    QByteArray block;
    while (!source.atEnd()) {
        block = source.read(1024 * 1024);
        if (block.isEmpty() && source.error() != QFileDevice::NoError) {
            *error = source.errorString();
            return false;
        }
        if (to->write(block) != block.size()) {
            *error = to->errorString();
            return false;
        }
    }
    if (!to->flush()) {
        *error = to->errorString();
        return false;
    }
    return true;
}

} // namespace

ProbeTags ReadTagsForProbe(const QString &path, const QString &tempFolder) {
    ProbeTags result;
    TagManager manager;
    if (!manager.Load(path)) {
        result.error = manager.LastError();
        return result;
    }
    if (!manager.HasTagAccess()) {
        result.error = QStringLiteral("The tags of this kind of file cannot be read.");
        return result;
    }
    TagFamilies families;
    result.typeName = DetectTagFamilies(manager, &families);
    result.fileType = families.fileType;
    ReadTags(manager, families, &result.record);
    result.bitsPerSample = manager.SoundInformation(SoundBitsPerSample);
    result.language = result.record.commentLanguage;
    if (result.record.pictureCount > 0) {
        QString folder = !tempFolder.isEmpty() ? tempFolder : Paths().tempFolder;
        if (folder.isEmpty())
            folder = QDir::tempPath();
        const QString coverPath =
            WithTrailingSlash(folder) + QStringLiteral("tagimg_") + NewPresetID() + QStringLiteral(".jpg");
        if (ExportCoverPicture(manager, families, coverPath))
            result.coverPath = coverPath;
    }
    result.record.picturePath = result.coverPath;
    result.loaded = true;
    return result;
}

TagWriteResult WriteTagsToOutput(const QString &outputPath, const TagRecord &record,
                                 const LoudnessOutcome *loudness) {
    // First a look at the output as the encoder left it.
    TagManager look;
    if (!look.Load(outputPath))
        return Fail(TagWriteOutcome::NotLoaded, look.LastError());
    TagFamilies families;
    DetectTagFamilies(look, &families);
    QByteArray cover;
    if (record.HasPicture() && TakesCover(families))
        cover = PreparePictureForTag(record.pictureData.isEmpty() ? ReadPictureFile(record.picturePath)
                                                                  : record.pictureData);
    if (families.writeFlags == 0 && cover.isEmpty())
        return {TagWriteOutcome::NothingToWrite, QString()};
    if (!look.HasTagAccess())
        return Fail(TagWriteOutcome::Failed,
                    QStringLiteral("The tags of this kind of file cannot be written."));
    const SoundFingerprint before = SoundFingerprint::Of(look);
    look.Close();
    // Without a measurable sound there is nothing to check the result against (and a converted
    // output always has one): such a file, damaged or a bare tag, is left alone.
    if (before.durationMs <= 0)
        return Fail(
            TagWriteOutcome::Failed,
            QStringLiteral("The sound of this file cannot be measured; its tags were left as they are."));

    // The tags go into a copy beside the output, which replaces the output only when all went
    // well: a full disk or a failing write never leaves a damaged output behind.
    const QFileInfo info(outputPath);
    QTemporaryFile copy(WorkFileTemplate(outputPath, QStringLiteral("tags")));
    if (!copy.open())
        return Fail(TagWriteOutcome::Failed,
                    QStringLiteral("No working copy can be made beside the file: ") + copy.errorString());
    QString error;
    if (!CopyFileContent(outputPath, &copy, &error))
        return Fail(TagWriteOutcome::Failed,
                    QStringLiteral("No working copy can be made beside the file: ") + error);
    copy.setPermissions(QFile::permissions(outputPath));
    const QString copyPath = copy.fileName();
    copy.close();

    // TagLib does not report failed writes, so there must be room for the tags beforehand.
    const qint64 room = QStorageInfo(info.absolutePath()).bytesAvailable();
    const qint64 needed = cover.size() + 1024 * 1024;
    if (room >= 0 && room < needed)
        return Fail(TagWriteOutcome::Failed,
                    QStringLiteral("There is not enough room on the disk for the tags."));

    {
        TagManager writer;
        if (!writer.Load(copyPath, TagManager::OpenMode::ReadWrite))
            return Fail(TagWriteOutcome::Failed, writer.LastError());
        DetectTagFamilies(writer, &families);
        if (!cover.isEmpty())
            WriteCoverPicture(writer, families, cover);
        if (loudness)
            WriteReplayGain(writer, families, *loudness); // before the tags: their commit stores it
        const int written = WriteTags(writer, families, record);
        const int saved = writer.Save();
        if (written != TagResultOk || saved != TagResultOk)
            return Fail(TagWriteOutcome::Failed,
                        QStringLiteral("The tags could not be saved into the file."));
    }

    {
        TagManager check;
        if (!check.Load(copyPath) || !SoundFingerprint::Of(check).SameSound(before))
            return Fail(
                TagWriteOutcome::Failed,
                QStringLiteral("Writing the tags would have damaged the file; it was left as it was."));
    }

    if (std::rename(QFile::encodeName(copyPath).constData(), QFile::encodeName(outputPath).constData()) != 0)
        return Fail(TagWriteOutcome::Failed, qt_error_string(errno));
    copy.setAutoRemove(false); // the copy is the output now
    return {TagWriteOutcome::Written, QString()};
}

} // namespace tv

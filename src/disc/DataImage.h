#pragma once
// A data disc as an ISO 9660 file system with Rock Ridge (the names and folders as they are)
// and Joliet (for other systems), made by libisofs from the files and folders of a burn list,
// with the volume label. The image is written as a file through libburn's stdio drive, or
// handed to a real drive as the track of a session.

#include "AudioImage.h"
#include "Task.h"

#include <QString>
#include <QVector>
#include <memory>

namespace burn {
struct burn_source;
struct burn_drive;
} // namespace burn

namespace tv {

// One entry of a data compilation: a file, or a folder with everything below it, placed at the
// top of the disc under `name`.
struct DataEntry {
    QString path;
    QString name;
    bool folder = false;
    qint64 bytes = 0; // the file's size, or the sum of the folder's files
    int files = 1;    // files below a folder (1 for a file)
    int folders = 0;  // folders below and including a folder (0 for a file)
};

// The entry of a file or folder on the disk, with its sizes (a folder is walked: blocks on it).
DataEntry DataEntryOf(const QString &path);

// A size that is sure to hold the image of these entries: their files rounded up to whole
// 2048-byte blocks, with room for the descriptors and the directories of both name trees.
qint64 EstimateDataImageBytes(const QVector<DataEntry> &entries);

// The libisofs image of a compilation, ready to be written.
class DataImage {
public:
    ~DataImage();
    DataImage(const DataImage &) = delete;
    DataImage &operator=(const DataImage &) = delete;

    // The last session of a medium that the new one is appended to: its files stay visible.
    struct Previous {
        burn::burn_drive *drive = nullptr; // read while the image is built and written
        int start = 0;                     // first block of the last session
        int next = 0;                      // where the new session begins
    };
    // Builds the file tree (reads the folders; blocks). Entries whose names clash with each
    // other or with files of the previous session get " (2)" … before their extension. Null with
    // the reason in *error when a file or the previous session cannot be read.
    static std::unique_ptr<DataImage> Build(const QVector<DataEntry> &entries, const QString &label,
                                            QString *error, const Previous *previous = nullptr);

    // The exact size in bytes of the image as it would be written now.
    qint64 exactBytes(QString *error) const;
    // A source that produces the image (the caller frees it with burn_source_free).
    burn::burn_source *createSource(QString *error) const;

private:
    DataImage() = default;
    bool importPrevious(const Previous &previous, QString *error);
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

// Writes the ISO image of the entries to isoPath through libburn's stdio drive. With replace
// false an existing file stops the write before anything is written; the image takes its name
// only once it is complete. progress reports percent of 100.
BurnResult WriteDataImage(const QString &isoPath, const QVector<DataEntry> &entries, const QString &label,
                          bool replace, qint64 capacityBytes, TaskControl &control,
                          const TaskProgress &progress);

} // namespace tv

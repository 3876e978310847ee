#pragma once
// Drives and disc images on libcdio. A disc image (.cue with its .bin, cdrdao .toc, Nero .nrg)
// opens exactly like a drive holding that disc, so users can rip images and the program can be
// tried without hardware. Everything here may block on a drive: call it from worker threads.

#include "DiscToc.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

typedef struct _CdIo CdIo_t;
class QTemporaryDir;
class QTemporaryFile;

namespace tv {

// A drive as the drive box lists it.
struct DriveEntry {
    QString device;      // "/dev/sr0", or the image file's path
    QString description; // vendor and model, or the image's file name
    bool image = false;

    // The entry's text: device + ": " + description.
    QString text() const { return device + QStringLiteral(": ") + description; }
};

// The audio-capable CD drives of the machine, in libcdio's order.
QVector<DriveEntry> ListCdDrives();

// The image file extensions that open like drives (lower case, without the dot).
QStringList DiscImageExtensions();
bool IsDiscImagePath(const QString &path);
// The drive entry of an image file.
DriveEntry ImageDriveEntry(const QString &path);

// What reading a disc gives.
struct DiscReading {
    int code = 0;    // 0, or a sound-control code: -35 cannot open, -36 no disc
    QString message; // why an image cannot be read, in libcdio's words ("" otherwise)
    DiscToc toc;
    DiscText cdText; // empty when the disc has no CD-Text
};

// An open drive or image. Owned by one thread at a time.
class DiscHandle {
public:
    ~DiscHandle();
    DiscHandle(const DiscHandle &) = delete;
    DiscHandle &operator=(const DiscHandle &) = delete;

    // Opens a drive's device or an image file; null with the reason in *error (and the
    // sound-control code in *code) when it cannot be opened.
    static std::unique_ptr<DiscHandle> Open(const QString &source, QString *error = nullptr,
                                            int *code = nullptr);

    CdIo_t *cdio() const { return m_cdio; }
    bool isImage() const { return m_image; }
    QString source() const { return m_source; }
    // Vendor and model of a drive ("" for an image).
    QString driveModel() const;

    // Reads the table of contents; an empty one when the drive holds no disc.
    DiscToc readToc() const;
    // The disc's CD-Text (first language block), converted to UTF-8 by libcdio.
    DiscText readCdText(const DiscToc &toc) const;

private:
    DiscHandle() = default;
    CdIo_t *m_cdio = nullptr;
    bool m_image = false;
    QString m_source;
    // A copy of a .toc file whose data file names were made absolute; it lives as long as the
    // handle because libcdio reads it by name.
    std::unique_ptr<QTemporaryFile> m_tocCopy;
    // libcdio takes a cue sheet's data from the BIN file of the same name; a sheet naming another
    // file is opened through a folder where a copy of the sheet and a link to that file match.
    std::unique_ptr<QTemporaryDir> m_cueFolder;
};

// Opens the source and reads its table of contents and CD-Text.
DiscReading ReadDisc(const QString &source);

// Opens or closes a drive's tray; 0 or a sound-control code. Images have no tray (-38).
int OpenTray(const QString &device);
int CloseTray(const QString &device);

// Whether a drive holds a disc now. Images always do.
enum class MediaState { Present, Absent, Unknown };
MediaState ProbeMedia(const QString &device);

// Adds a line to the calling thread's capture (libcdio's log handler calls it).
void AppendDiscLogLine(const QString &line);

// libcdio's warnings and errors are collected per thread while a DiscLogCapture lives (instead
// of going to standard error), so a damaged image can be explained to the user.
class DiscLogCapture {
public:
    DiscLogCapture();
    ~DiscLogCapture();
    DiscLogCapture(const DiscLogCapture &) = delete;
    DiscLogCapture &operator=(const DiscLogCapture &) = delete;
    QStringList lines() const { return m_lines; }

private:
    friend void AppendDiscLogLine(const QString &line);
    QStringList m_lines;
    DiscLogCapture *m_outer = nullptr;
};

} // namespace tv

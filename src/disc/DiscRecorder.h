#pragma once
// The writers a burner can choose: the machine's CD/DVD writers through libburn, and the image
// recorder, always listed last, which writes what a blank disc would hold into a file (BIN/CUE
// for an audio CD, ISO 9660 for a data disc). A recorder is opened for one operation on a
// worker thread; every call may block on the drive.

#include "AudioImage.h"
#include "BurnSpace.h"
#include "DataImage.h"
#include "Task.h"

#include <QString>
#include <QVector>
#include <functional>
#include <memory>

namespace tv {

// The image recorder's description in the drive box.
inline constexpr const char *kImageRecorderName = "Disc image (file)";

struct BurnDrive {
    QString address;     // "/dev/sr0"; "" for the image recorder
    QString description; // vendor, product and revision, joined by single blanks
    bool image = false;
};

// What reading the medium gives.
struct MediumInfo {
    int code = 0;            // 0, or a BurnError code (the drive could not be asked)
    QString message;         // why, when code is not 0
    bool present = false;    // a medium is in the drive
    bool recognized = false; // its type is one of the ten the burners know
    int type = -1;           // 0 to 9 (MediumTypeText)
    int status = 4;          // 0 blank, 1 writable, 2 write protected, 3 closed, 4 unknown
    double capacity = 0;     // bytes the medium holds in all, 0 when the drive does not say
    qint64 recorded = 0;     // bytes already written on it
    bool erasable = false;
    bool overwritable = false; // DVD+RW, DVD-RAM: written over in place rather than blanked
    int sessions = 0;

    // A medium that the burner of that kind can write now.
    bool writableFor(BurnKind kind) const {
        return present && recognized && (status == 0 || status == 1) && MediumFitsKind(type, kind);
    }
};

// Everything one write needs.
struct BurnJob {
    BurnKind kind = BurnKind::AudioCD;
    QVector<AudioTrackSource> tracks; // audio
    AudioDiscText discText;
    QVector<DataEntry> entries; // data
    QString label;
    bool finalize = true;
    double speed = kFallbackSpeed; // in × of the kind's unit
    QString target;                // the image recorder's file
    bool replaceTarget = false;    // whether an existing file of that name may be replaced
};

// The bytes a compilation takes on a disc: an audio CD's sectors (pregap and padded tracks)
// counted at 2048 bytes each, as capacities are, or a data disc's estimated image size.
qint64 CompilationBytes(const BurnJob &job);

class Recorder {
public:
    virtual ~Recorder() = default;
    virtual MediumInfo readMedium(BurnKind kind) = 0;
    // The speeds the drive accepts, as the start window lists them (see BurnSpace.h).
    virtual QVector<double> detectSpeeds(BurnKind kind, const std::function<void(int)> &progress) = 0;
    // progress reports percent of 100.
    virtual BurnResult write(const BurnJob &job, TaskControl &control, const TaskProgress &progress) = 0;
    virtual BurnResult erase(bool quick, TaskControl &control, const TaskProgress &progress) = 0;
    virtual int sessionCount() = 0;
    // Deletes session `number` (1 = the first) and everything after it.
    virtual BurnResult deleteSession(int number, TaskControl &control, const TaskProgress &progress) = 0;
};

// The writing drives of the machine, then the image recorder. *code is 0, or BurnNotStarted
// (with *message) when libburn cannot run; the image recorder is listed even then.
QVector<BurnDrive> ListBurnDrives(int *code = nullptr, QString *message = nullptr);
BurnDrive ImageRecorderDrive();
std::unique_ptr<Recorder> OpenRecorder(const BurnDrive &drive);

// The real drives alone (DriveRecorder.cpp).
QVector<BurnDrive> ListWritingDrives(int *code, QString *message);
std::unique_ptr<Recorder> OpenDriveRecorder(const QString &address);
// The image recorder (ImageRecorder.cpp).
std::unique_ptr<Recorder> OpenImageRecorder();

} // namespace tv

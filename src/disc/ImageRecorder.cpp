// The image recorder: a drive that always holds a blank disc (a CD-R for the CD burners, a
// DVD+R for the DVD burner) and writes it into the file named when writing starts.
#include "DiscRecorder.h"

#include <QCoreApplication>

namespace tv {

namespace {

class ImageRecorder : public Recorder {
public:
    MediumInfo readMedium(BurnKind kind) override {
        MediumInfo info;
        info.present = true;
        info.recognized = true;
        info.type = IsDvdKind(kind) ? 4 : 1;
        info.status = 0;
        info.capacity = DefaultCapacity(kind);
        return info;
    }

    // A file takes any speed: every speed tried is accepted (and writing ignores it).
    QVector<double> detectSpeeds(BurnKind kind, const std::function<void(int)> &progress) override {
        QVector<double> speeds;
        if (IsDvdKind(kind))
            return DetectDvdSpeeds([](double s) { return s; }, progress);
        for (const int s : DetectCdSpeeds([](int s) { return s; }, progress))
            speeds << s;
        return speeds;
    }

    BurnResult write(const BurnJob &job, TaskControl &control, const TaskProgress &progress) override {
        if (job.target.isEmpty())
            return {BurnFailed, QStringLiteral("No image file was named.")};
        const qint64 capacity = static_cast<qint64>(DefaultCapacity(job.kind));
        if (CompilationBytes(job) > capacity)
            return {BurnNoSpace,
                    QStringLiteral("This disc doesn't have enough free space for all the selected file.")};
        if (job.kind == BurnKind::AudioCD) {
            // The image's progress counts bytes; the burner's counts percent, below 100 until done.
            const TaskProgress percent = [&progress](qint64 done, qint64 total) {
                if (progress && total > 0)
                    progress(qMin<qint64>(99, done * 100 / total), 100);
            };
            return WriteAudioImage(CuePathOfImage(job.target), job.tracks, job.discText, job.replaceTarget,
                                   control, percent);
        }
        return WriteDataImage(job.target, job.entries, job.label, job.replaceTarget, capacity, control,
                              progress);
    }

    BurnResult erase(bool, TaskControl &, const TaskProgress &) override {
        return {BurnNotErasable, QStringLiteral("Disc is not erasable!")};
    }

    int sessionCount() override { return 0; }

    BurnResult deleteSession(int, TaskControl &, const TaskProgress &) override { return {}; }
};

} // namespace

BurnDrive ImageRecorderDrive() {
    BurnDrive drive;
    drive.description = QCoreApplication::translate("tv", kImageRecorderName);
    drive.image = true;
    return drive;
}

std::unique_ptr<Recorder> OpenImageRecorder() {
    return std::make_unique<ImageRecorder>();
}

QVector<BurnDrive> ListBurnDrives(int *code, QString *message) {
    int listed = 0;
    QString why;
    QVector<BurnDrive> drives = ListWritingDrives(&listed, &why);
    if (code)
        *code = listed;
    if (message)
        *message = why;
    drives << ImageRecorderDrive();
    return drives;
}

std::unique_ptr<Recorder> OpenRecorder(const BurnDrive &drive) {
    if (drive.image)
        return OpenImageRecorder();
    return OpenDriveRecorder(drive.address);
}

qint64 CompilationBytes(const BurnJob &job) {
    if (job.kind != BurnKind::AudioCD)
        return EstimateDataImageBytes(job.entries);
    QVector<qint64> bytes;
    for (const AudioTrackSource &track : job.tracks)
        bytes << (track.bytes >= 0 ? track.bytes : ReadWavInfo(track.wavPath).dataBytes);
    return AudioDiscSectors(bytes) * 2048;
}

} // namespace tv

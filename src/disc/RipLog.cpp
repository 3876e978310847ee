#include "RipLog.h"

#include "Config.h"
#include "SecureReader.h"

namespace tv {

namespace {

// m:ss.ff (frames) of a sector count, as CD tables of contents show positions.
QString SectorTime(qint64 sectors) {
    const qint64 frames = sectors % kSectorsPerSecond;
    const qint64 seconds = sectors / kSectorsPerSecond;
    return QStringLiteral("%1:%2.%3")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(frames, 2, 10, QLatin1Char('0'));
}

QString Line(const QString &label, const QString &value) {
    return QStringLiteral("%1%2\n").arg(label + QLatin1Char(':'), -22).arg(value);
}

QString OrUnknown(const QString &text) {
    return text.isEmpty() ? QStringLiteral("unknown") : text;
}

} // namespace

QString RipStatusText(RipStatus status) {
    switch (status) {
    case RipStatus::Done:
        return QStringLiteral("Done");
    case RipStatus::Unsuccessful:
        return QStringLiteral("Unsuccessful!");
    case RipStatus::Canceled:
        return QStringLiteral("Canceled!");
    }
    return QString();
}

QString RipLogText(const RipLogInfo &info, const QVector<RipTrackResult> &tracks) {
    QString text;
    text += QStringLiteral("%1 %2 rip log, %3\n\n")
                .arg(Config().productName, Config().productVersion,
                     info.started.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    if (info.image)
        text += Line(QStringLiteral("Disc image"), info.source);
    else
        text +=
            Line(QStringLiteral("Drive"), info.source + QStringLiteral(": ") + OrUnknown(info.driveModel));
    text +=
        Line(QStringLiteral("Read mode"),
             QStringLiteral("secure (paranoia full mode, %1 retries a sector)%2")
                 .arg(kParanoiaRetries)
                 .arg(info.testAndCopy ? QStringLiteral(", test and copy") : QStringLiteral(", copy only")));
    text +=
        Line(QStringLiteral("Read offset"), QStringLiteral("%1%2 samples")
                                                .arg(info.readOffset > 0 ? QStringLiteral("+") : QString())
                                                .arg(info.readOffset));
    text += Line(QStringLiteral("Artist"), OrUnknown(info.info.artist));
    text += Line(QStringLiteral("Album"), OrUnknown(info.info.album));
    text += Line(QStringLiteral("Year"), OrUnknown(info.info.year));
    text += Line(QStringLiteral("Genre"), OrUnknown(info.info.genre));
    if (!info.discId.isEmpty())
        text += Line(QStringLiteral("MusicBrainz disc ID"), info.discId);
    if (!info.toc.mcn.isEmpty())
        text += Line(QStringLiteral("Catalog number"), info.toc.mcn);

    text += QStringLiteral(
        "\nTable of contents\n  Track   Start      Length     Start sector  End sector  Type\n");
    for (const DiscTrack &track : info.toc.tracks) {
        text += QStringLiteral("  %1   %2   %3   %4  %5  %6\n")
                    .arg(track.number, 5)
                    .arg(SectorTime(track.startLsn), 8)
                    .arg(SectorTime(track.sectors), 8)
                    .arg(track.startLsn, 12)
                    .arg(track.startLsn + track.sectors - 1, 10)
                    .arg(track.audio ? QStringLiteral("audio") : QStringLiteral("data"));
    }

    int done = 0;
    int failed = 0;
    for (const RipTrackResult &track : tracks) {
        text +=
            QStringLiteral("\nTrack %1  %2\n").arg(track.number, 2, 10, QLatin1Char('0')).arg(track.title);
        text += Line(QStringLiteral("  File"), track.outputPath);
        text += Line(QStringLiteral("  Test CRC"),
                     track.tested ? ChecksumText(track.testCrc) : QStringLiteral("(no test read)"));
        text += Line(QStringLiteral("  Copy CRC"), ChecksumText(track.copyCrc));
        text += Line(QStringLiteral("  AccurateRip v1"), ChecksumText(track.accurateRipV1));
        text += Line(QStringLiteral("  AccurateRip v2"), ChecksumText(track.accurateRipV2));
        text += Line(QStringLiteral("  Corrections"), QString::number(track.corrections));
        text += Line(QStringLiteral("  Skipped sectors"), QString::number(track.skips));
        text += Line(QStringLiteral("  Read errors"), QString::number(track.readErrors));
        text += Line(QStringLiteral("  Read time"), QStringLiteral("%1 s").arg(track.seconds, 0, 'f', 1));
        QString status = RipStatusText(track.status);
        if (!track.error.isEmpty())
            status += QStringLiteral(" ") + track.error;
        text += Line(QStringLiteral("  Status"), status);
        done += track.status == RipStatus::Done ? 1 : 0;
        failed += track.status == RipStatus::Unsuccessful ? 1 : 0;
    }
    text += QLatin1Char('\n');
    if (!info.error.isEmpty())
        text += QStringLiteral("Error: %1\n").arg(info.error);
    text += QStringLiteral("%1 of %2 tracks ripped and verified").arg(done).arg(tracks.size());
    if (failed > 0)
        text += QStringLiteral(", %1 unsuccessful").arg(failed);
    text += QStringLiteral(".\n");
    return text;
}

} // namespace tv

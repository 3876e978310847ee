#include "MediaPlayer_Mod.h"

#include "Config.h"
#include "Player.h"
#include "TimeFormat.h"

#include <algorithm>

namespace tv {

MediaPlayerState &MediaPlayer() {
    static MediaPlayerState state;
    return state;
}

QString PlayerCommand(Player &player, int command, const PlayerSettings &settings) {
    PlayerOpenRequest request;
    request.path = settings.filePath;
    request.start = settings.startPosition;
    request.end = settings.endPosition;
    request.box = settings.pictureBox;
    request.aspectMode = std::clamp(settings.aspectMode, 0, 2);
    switch (command) {
    case -1:
        if (!player.IsInitialized() && !player.Initialize(Paths().libraryFolder))
            return player.LastError();
        player.Open(request);
        player.SetVolume(settings.volume);
        break;
    case 0:
        // A stopped player plays its file again without being initialised anew.
        if (!player.isActive() && !settings.filePath.isEmpty())
            player.Open(request);
        else
            player.Resume();
        break;
    case 1:
        if (player.State() == PlayerState::Playing)
            player.Pause();
        else
            player.Resume();
        break;
    case 2:
        player.Stop();
        break;
    case 3:
        if (player.Length() > 0)
            player.Seek(player.Length());
        break;
    default:
        break;
    }
    return QString();
}

QString PlayTimeText(qint64 microseconds) {
    return FormatPosition(std::max<qint64>(0, microseconds));
}

QString PlayClockText(qint64 microseconds) {
    return PlayTimeText(microseconds).left(8);
}

int PlayBarValue(qint64 position, qint64 length, int maximum) {
    if (length <= 0)
        return 0;
    const double share = double(std::clamp<qint64>(position, 0, length)) / double(length);
    return int(share * maximum);
}

qint64 PlaySeekPosition(int x, int width, qint64 length) {
    if (width <= 0 || length <= 0)
        return 0;
    return qint64(double(std::clamp(x, 0, width)) * double(length) / double(width));
}

QString SnapshotFileName(const QString &playTime) {
    QString name = playTime;
    name.replace(QLatin1Char(':'), QLatin1Char('.'));
    return QStringLiteral("Snapshot-") + name;
}

} // namespace tv

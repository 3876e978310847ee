#pragma once
// The routine that gives the player its commands, the record an owner fills before opening,
// and the player state every hosting window shares: who owns the player, the owner flags,
// the length, the position and whether a file is loaded.

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

namespace tv {

class Player;

// The windows that can host the player; each has an owner flag.
enum PlayerOwnerKind : int {
    OwnerMainWindow = 0,
    OwnerPlayerWindow = 1,
    OwnerAudioCDBurner = 2,
    OwnerDataCDBurner = 3,
    OwnerDataDVDBurner = 4,
    OwnerTrimWindow = 5,
    OwnerKindCount = 6
};

// Filled by the owning window before it opens a file.
struct PlayerSettings {
    QString filePath;
    QSize pictureBox;                                 // the size of the owner's picPreview, in device pixels
    int volume = 100;                                 // 0 to 100
    bool options[5] = {true, true, true, true, true}; // display options, each on or off
    int aspectMode = 1;       // 0, 1: keep the picture's proportions; 2: fill the window
    int displayMode = 0;      // 0, 1 or 2
    qint64 startPosition = 0; // microseconds
    qint64 endPosition = 0;   // microseconds; 0: to the end (a trim window plays its selection)
};

// Owned by the UI thread.
struct MediaPlayerState {
    QPointer<QObject> PlayerOwner; // the window whose controls the player's events address
    bool ownerFlags[OwnerKindCount] = {};
    qint64 PlayerLength = 0;   // microseconds
    qint64 PlayerPosition = 0; // microseconds
    bool PlayerLoaded = false;
};
MediaPlayerState &MediaPlayer();

// Commands: -1 open and play the record's file, 0 play (again from the record's file when the
// player has stopped, else resume), 1 pause or resume, 2 stop, 3 go to the end. Answers ""
// or the player's error text (the engine could not be initialised).
QString PlayerCommand(Player &player, int command, const PlayerSettings &settings);

// "hh:mm:ss.fff" of a position and its first eight characters, as the time labels show them.
QString PlayTimeText(qint64 microseconds);
QString PlayClockText(qint64 microseconds);
// The position bar's value for a position (0 when the length is unknown).
int PlayBarValue(qint64 position, qint64 length, int maximum);
// The position a click at x on a bar `width` pixels wide asks for.
qint64 PlaySeekPosition(int x, int width, qint64 length);
// The file name a snapshot proposes: "Snapshot-" and the time label with "." for ":".
QString SnapshotFileName(const QString &playTime);

} // namespace tv

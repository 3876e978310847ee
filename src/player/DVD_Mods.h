#pragma once
// The DVD video source of the main window's disc menu: the optical drives of the system (each
// shown by the folder it is mounted on) and the video files of a DVD's video folder.

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

struct OpticalDrive {
    QString device; // e.g. "/dev/sr0"
    QString root;   // the folder the disc is mounted on, ending with "/"; "" without a disc
};

// The optical drives libcdio finds, with their mount points.
QList<OpticalDrive> OpticalDrives();

// The folder a chosen folder stands for: its "VIDEO_TS" subfolder when it has one (in any
// letter case), else the folder itself; ends with "/".
QString DvdSourceFolder(const QString &chosen);

// The video files of a source folder (`DVDFiles`): those named "VTS_*.vob", then those named
// "VIDEO_*.vob", each group in name order, letter case ignored.
QStringList DvdVideoFiles(const QString &source);

} // namespace tv

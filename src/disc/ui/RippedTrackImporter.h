#pragma once
// Takes ripped tracks into the main list one by one through the list's own import (which probes
// each file), then gives the new row the disc's tags and cover. Tracks that arrive while an
// import is running wait their turn. Lives with the main window, so tracks of a ripper window
// that has closed still arrive; the rip folders it was given go when it goes.

#include "frmCDRipper.h"

#include <QObject>
#include <QQueue>
#include <QStringList>

namespace tv {

class FileImporter;
class FileListView;

class RippedTrackImporter : public QObject {
    Q_OBJECT
public:
    RippedTrackImporter(FileImporter *importer, FileListView *list, QObject *parent = nullptr);
    ~RippedTrackImporter() override;

    void add(const RippedTrack &track);
    int waiting() const { return static_cast<int>(m_queue.size()); }

Q_SIGNALS:
    // A track became a row of the main list (its index).
    void trackAdded(int row);

private:
    void next();
    void onImportFinished(int added);

    // UI thread only.
    FileImporter *m_importer;
    FileListView *m_list;
    QQueue<RippedTrack> m_queue;
    bool m_importing = false; // one of ours is being imported
    RippedTrack m_current;
    QStringList m_folders; // rip folders whose files the list's rows may use
};

} // namespace tv

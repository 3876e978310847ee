#include "RippedTrackImporter.h"

#include "FileImporter.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "MediaItem.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace tv {

RippedTrackImporter::RippedTrackImporter(FileImporter *importer, FileListView *list, QObject *parent)
    : QObject(parent), m_importer(importer), m_list(list) {
    connect(m_importer, &FileImporter::importFinished, this, &RippedTrackImporter::onImportFinished);
}

RippedTrackImporter::~RippedTrackImporter() {
    // The files of this run's rips are no longer needed once the main window goes.
    for (const QString &folder : std::as_const(m_folders))
        QDir(folder).removeRecursively();
}

void RippedTrackImporter::add(const RippedTrack &track) {
    const QString folder = QFileInfo(track.path).absolutePath();
    if (QFileInfo(folder).fileName().startsWith(QLatin1String("rip_")) && !m_folders.contains(folder))
        m_folders << folder;
    m_queue.enqueue(track);
    next();
}

void RippedTrackImporter::next() {
    if (m_importing || m_queue.isEmpty() || m_importer->isImporting())
        return;
    m_current = m_queue.dequeue();
    m_importer->ImportPaths({m_current.path});
    m_importing = m_importer->isImporting();
    if (!m_importing)
        QTimer::singleShot(0, this, &RippedTrackImporter::next);
}

void RippedTrackImporter::onImportFinished(int added) {
    if (!m_importing) {
        // Someone else's import ended: ours may go now.
        next();
        return;
    }
    m_importing = false;
    FileListModel &list = *m_list->list();
    const int row = list.rowCount() - 1;
    if (added > 0 && row >= 0 && list.mediaItem(row).inputPath() == m_current.path) {
        list.setItem(row, Item::TagTitle, m_current.title);
        list.setItem(row, Item::TagArtist, m_current.artist);
        list.setItem(row, Item::TagAlbum, m_current.album);
        list.setItem(row, Item::TagGenre, m_current.genre);
        list.setItem(row, Item::TagYear, m_current.year);
        list.setItem(row, Item::TagTrack, m_current.track);
        if (!m_current.thumbnail.isEmpty())
            list.setItem(row, Item::Thumbnail, m_current.thumbnail);
        m_list->viewport()->update();
        emit trackAdded(row);
    }
    next();
}

} // namespace tv

#include "TrimRecord.h"

#include "FileListModel.h"
#include "MediaItem.h"
#include "SoundEditor.h"

#include <limits>

namespace tv {

StoredTrim ReadStoredTrim(const FileListModel &list, int row) {
    StoredTrim trim;
    trim.inputPath = (list.item(row, Item::FilePath) + list.item(row, Item::FileName)).trimmed();
    trim.name = list.item(row, Item::Name).trimmed();
    trim.startMs = list.item(row, Item::TrimStartInMs).trimmed().toInt();
    trim.durationMs = list.item(row, Item::TrimDurationInMs).trimmed().toInt();
    return trim;
}

bool StoredTrimSelection(int startMs, int durationMs, int lengthMs, int *selectionStart, int *selectionEnd) {
    if (lengthMs <= 0)
        return false;
    if (durationMs == 0)
        durationMs = lengthMs;
    if (durationMs == lengthMs && startMs == 0)
        return false;
    const qint64 end = qint64(startMs) + durationMs;
    if (end > std::numeric_limits<int>::max() || end < std::numeric_limits<int>::min())
        return false;
    *selectionStart = startMs;
    *selectionEnd = int(end);
    return true;
}

QString TrimTimeText(qint64 ms) {
    return SoundEditor::FormatTime(ms, true, true);
}

TrimCells TrimCellsToSave(int startMs, int durationMs, int lengthMs) {
    TrimCells cells;
    if (startMs == 0 && durationMs == lengthMs) {
        cells.durationIcon = 0;
        cells.start = TrimTimeText(0);
        cells.duration = TrimTimeText(lengthMs);
        cells.startMs = QStringLiteral("0");
        cells.durationMs = QStringLiteral("0");
        return cells;
    }
    if (durationMs == 0)
        durationMs = lengthMs - startMs;
    cells.durationIcon = kTrimmedIcon;
    cells.start = TrimTimeText(startMs);
    cells.duration = TrimTimeText(durationMs);
    cells.startMs = QString::number(startMs);
    cells.durationMs = QString::number(durationMs);
    return cells;
}

void WriteTrimCells(FileListModel &list, int row, const TrimCells &cells) {
    list.setDurationIcon(row, cells.durationIcon);
    list.setItem(row, Item::TrimStart, cells.start);
    list.setItem(row, Item::TrimDuration, cells.duration);
    list.setItem(row, Item::TrimStartInMs, cells.startMs);
    list.setItem(row, Item::TrimDurationInMs, cells.durationMs);
}

} // namespace tv

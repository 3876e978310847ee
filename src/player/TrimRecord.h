#pragma once
// The trim of one row of the file list: what the trim window reads from the row when it opens
// and what it writes back when the user presses OK (cells 37 to 40 and the icon of the
// "Duration" column), in whole milliseconds.

#include <QString>

namespace tv {

class FileListModel;

// What a row holds when the trim window opens.
struct StoredTrim {
    QString inputPath;  // FilePath followed by FileName, surrounding blanks removed
    QString name;       // the "Name" cell, surrounding blanks removed
    int startMs = 0;    // cell 39
    int durationMs = 0; // cell 40; 0: not trimmed
};
StoredTrim ReadStoredTrim(const FileListModel &list, int row);

// The selection the window shows for a stored trim on a sound of lengthMs: none when the trim
// is the whole sound (a length of 0 stands for the whole sound); false also when the end does
// not fit a 32-bit millisecond count.
bool StoredTrimSelection(int startMs, int durationMs, int lengthMs, int *selectionStart, int *selectionEnd);

// The cells a save writes.
struct TrimCells {
    QString start;      // cell 37, time text
    QString duration;   // cell 38, time text
    QString startMs;    // cell 39
    QString durationMs; // cell 40; "0": not trimmed
    int durationIcon = 0;
};
// The whole sound (start 0, length = the sound's) is saved untrimmed; a length of 0 (no
// selection) means from the start to the end of the sound.
TrimCells TrimCellsToSave(int startMs, int durationMs, int lengthMs);
void WriteTrimCells(FileListModel &list, int row, const TrimCells &cells);

// The time text of the trim cells: "hh:mm:ss.fff".
QString TrimTimeText(qint64 ms);

} // namespace tv

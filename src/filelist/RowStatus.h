#pragma once
// The status of a row: an icon in column 0 and a text in column 4, written by one setter that
// the list (Ready when a file is added) and the conversion driver share.

#include <QString>

namespace tv {

class FileListModel;

enum class RowStatus : int {
    Converting = 0,   // next frame of the busy animation, text unchanged
    Ready = 1,        // the type icon of the row's FileType, text unchanged
    Done = 2,         // "Done"
    Unsuccessful = 3, // "Unsuccessful!"
    Canceled = 4,     // "Canceled!"
};

// Image file names of the status icons.
QString FileTypeIconName(const QString &fileType);
QString BusyFrameIconName(int frame);

// Writes the status of a row; row -1 does nothing; with showIcon false only the text is cleared.
void SetRowStatus(FileListModel &list, int row, bool showIcon, RowStatus code);

} // namespace tv

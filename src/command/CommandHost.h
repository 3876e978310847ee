#pragma once
// What text commands act on. The main window implements it; the interpreter knows nothing else.

#include <QString>
#include <QStringList>

namespace tv {

class CommandHost {
public:
    virtual ~CommandHost() = default;

    // A conversion runs or is paused, or a dialog of the program is open.
    virtual bool commandsBlocked() const = 0;
    // "|3gp|…|wv|": every supported input extension, each enclosed by "|".
    virtual QString inputExtensionList() const = 0;
    // One line per preset-catalog row, as "@OutputFormat" reports them.
    virtual QStringList outputFormatLines() const = 0;
    virtual void removeAllFiles() = 0;
    // The main window's handle, and the active window's (0 when the program has none).
    virtual quint64 mainWindowHandle() const = 0;
    virtual quint64 activeWindowHandle() const = 0;
    // Selects the first preset whose keyword (short names) or name matches; false when none.
    virtual bool selectOutputByName(const QString &name) = 0;
    // The picture notice; fewer than four fields only hide the drag-and-drop hint.
    virtual void showImageOverlay(const QStringList &fields) = 0;
    // Imports one file through the file list (it is probed there); false when no row came of it.
    virtual bool importFile(const QString &path) = 0;
    // "Can not open file": the extension is missing or not supported.
    virtual void showCannotOpenFile() = 0;
    // After adding: list state with the first row selected, or the empty-list state.
    virtual void showListState() = 0;
};

} // namespace tv

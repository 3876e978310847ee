#pragma once
// Shows a folder, or a file inside its folder, in the desktop's file manager.

#include <QString>
#include <functional>

class QWidget;

namespace tv {

// Opens the folder (select false) or shows the item selected in its folder (select true).
// With askCreate set, a missing folder is offered for creation first.
void OpenFolder(QWidget *window, const QString &path, bool select, bool askCreate);

// Replaces the call into the desktop (file manager over D-Bus, then the URL handler), e.g. in
// tests. The backend receives the path and the select flag.
using FolderOpenerBackend = std::function<void(const QString &, bool)>;
void SetFolderOpenerBackend(FolderOpenerBackend backend);

} // namespace tv

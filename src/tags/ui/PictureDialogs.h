#pragma once
// The two file dialogs of the tag editor's cover: choosing a picture and saving one under
// another name and format. Both start in the last picture folder of this run.

#include <QString>
#include <functional>

class QWidget;

namespace tv {

enum class PictureDialogKind { Open, Save };

// The folder of the last picture chosen or saved during this run ("" at first).
QString LastPictureFolder();
void SetLastPictureFolder(const QString &folder);

// Shows the dialog of the kind in the last picture folder and answers the chosen path ("" when
// cancelled); for Save, filterIndex receives the entry chosen (1 JPEG, 2 PNG, 3 BMP). A chosen
// path makes its folder the last picture folder.
QString ShowPictureDialog(QWidget *parent, PictureDialogKind kind, int *filterIndex = nullptr);

// Replaces the dialogs, e.g. in tests that answer them themselves. The backend receives the
// parent, the kind and the starting folder, and sets the filter entry for Save. An empty
// backend restores the real dialogs.
using PictureDialogBackend =
    std::function<QString(QWidget *parent, PictureDialogKind kind, const QString &folder, int *filterIndex)>;
void SetPictureDialogBackend(PictureDialogBackend backend);

} // namespace tv

#include "PictureDialogs.h"

#include "Config.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace tv {

namespace {

// UI thread only; one per run, as a user picks covers from the same folder several times.
QString gLastPictureFolder;
PictureDialogBackend gBackend;

const QString kAllImages = QStringLiteral("All Image Files (*.png *.jpg *.jpeg *.bmp)");
const QString kJpeg = QStringLiteral("JPG - JPEG File (*.jpg *.jpeg)");
const QString kPng = QStringLiteral("PNG - Portable Network Graphics File (*.png)");
const QString kBmp = QStringLiteral("BMP - Windows Bitmap File (*.bmp)");

QString RealDialog(QWidget *parent, PictureDialogKind kind, const QString &folder, int *filterIndex) {
    // Before any picture was chosen, the user's pictures folder is the likeliest place.
    const QString start = !folder.isEmpty() ? folder : SpecialFolder(39);
    if (kind == PictureDialogKind::Open) {
        const QStringList filters{kAllImages, kJpeg, kPng, kBmp};
        QFileDialog dialog(parent, QObject::tr("Open"), start, filters.join(QStringLiteral(";;")));
        dialog.setObjectName(QStringLiteral("dlgOpenPicture"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.selectNameFilter(kAllImages);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }
    const QStringList filters{kJpeg, kPng, kBmp};
    QFileDialog dialog(parent, QObject::tr("Save As"), start, filters.join(QStringLiteral(";;")));
    dialog.setObjectName(QStringLiteral("dlgSavePicture"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectNameFilter(kJpeg);
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, filters](const QString &filter) {
                         static const char *const kSuffixes[] = {"jpg", "png", "bmp"};
                         const int index = static_cast<int>(filters.indexOf(filter));
                         if (index >= 0)
                             dialog.setDefaultSuffix(QLatin1String(kSuffixes[index]));
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (filterIndex)
        *filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString LastPictureFolder() {
    return gLastPictureFolder;
}
void SetLastPictureFolder(const QString &folder) {
    gLastPictureFolder = folder;
}

void SetPictureDialogBackend(PictureDialogBackend backend) {
    gBackend = std::move(backend);
}

QString ShowPictureDialog(QWidget *parent, PictureDialogKind kind, int *filterIndex) {
    int chosenFilter = 0;
    const QString path = gBackend ? gBackend(parent, kind, gLastPictureFolder, &chosenFilter)
                                  : RealDialog(parent, kind, gLastPictureFolder, &chosenFilter);
    if (filterIndex)
        *filterIndex = chosenFilter;
    if (!path.isEmpty())
        gLastPictureFolder = QFileInfo(path).absolutePath();
    return path;
}

} // namespace tv

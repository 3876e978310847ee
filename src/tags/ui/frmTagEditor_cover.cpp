// The cover on the tag editor's "Tag" page: showing it (large pictures read off the window's
// thread), choosing, removing and saving it in another format.
#include "frmTagEditor.h"

#include "ImageStore.h"
#include "MessageBox.h"
#include "PictureDialogs.h"
#include "TagEditorCovers.h"
#include "TagPictures.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace tv {

namespace {
// Pictures up to this size are read at once; larger ones off the window's thread.
constexpr qint64 kDirectPictureBytes = 2 * 1024 * 1024;
} // namespace

void frmTagEditor::showPicture(const QString &path) {
    m_coverTasks.cancel(); // a preview still being read is no longer wanted
    if (path.isEmpty()) {
        m_coverLoading = false;
        showEmptyCover();
        emit coverShown();
        return;
    }
    // The buttons follow the picture at once; an unreadable one turns them off again.
    setPictureButtons(true);
    const QSize box = QSize(kCoverSide, kCoverSide) * devicePixelRatioF();
    if (QFileInfo(path).size() <= kDirectPictureBytes) {
        const CoverPreview preview = LoadCoverPreview(path, box);
        m_coverLoading = false;
        showCoverImage(preview.image, preview.size);
        emit coverShown();
        return;
    }
    m_coverLoading = true;
    TagImg->setPixmap(QPixmap());
    TagImg->setText(tr("Loading..."));
    lbl_ImageSize->clear();
    m_coverTasks.start(
        [path, box](TaskControl &, const TaskProgress &) { return LoadCoverPreview(path, box); },
        [this](const CoverPreview &preview) {
            m_coverLoading = false;
            showCoverImage(preview.image, preview.size);
            emit coverShown();
        });
}

void frmTagEditor::showCoverImage(const QImage &image, const QSize &size) {
    if (image.isNull()) {
        showEmptyCover();
        return;
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatioF());
    TagImg->setText(QString());
    TagImg->setPixmap(pixmap);
    lbl_ImageSize->setText(ImageSizeText(size));
    setPictureButtons(true);
}

void frmTagEditor::showEmptyCover() {
    TagImg->setText(QString());
    TagImg->setPixmap(ThemePixmap(QStringLiteral("tag_cover_empty.jpg"), QSize(kCoverSide, kCoverSide)));
    lbl_ImageSize->clear();
    setPictureButtons(false);
}

void frmTagEditor::setPictureButtons(bool pictureShown) {
    m_pictureShown = pictureShown;
    Cmd_Properties(2)->setEnabled(pictureShown && !m_savingPicture);
    Cmd_Properties(3)->setEnabled(pictureShown && !m_state.readOnly());
}

void frmTagEditor::savePictureAs() {
    const QString source = m_state.SaveAsSource();
    if (source.isEmpty())
        return;
    int filter = 0;
    const QString chosen = ShowPictureDialog(this, PictureDialogKind::Save, &filter);
    if (chosen.isEmpty())
        return;
    const PictureTarget target = SaveAsTarget(chosen, filter);
    if (target.format == 0)
        return;
    // The dialog asked about the name typed; the one with the added extension is asked about here.
    if (target.path != chosen && QFileInfo::exists(target.path) &&
        ShowMessage(QDir::toNativeSeparators(target.path) +
                        QStringLiteral(" already exists.\nDo you want to replace it?"),
                    MsgYesNo | MsgExclamation, QStringLiteral("Confirm Save As")) != AnsYes)
        return;
    // Converting a large picture takes a moment: it is done off the window's thread.
    m_savingPicture = true;
    Cmd_Properties(2)->setEnabled(false);
    m_tasks.start(
        [source, target](TaskControl &, const TaskProgress &) {
            return ConvertPictureFile(source, target.path, target.format);
        },
        [this, target](bool saved) {
            m_savingPicture = false;
            setPictureButtons(m_pictureShown);
            if (!saved)
                showFailure(QStringLiteral("The picture could not be saved as:\n") +
                            QDir::toNativeSeparators(target.path));
        });
}

void frmTagEditor::removePicture() {
    if (m_state.readOnly())
        return;
    m_state.RemovePicture();
    m_coverTasks.cancel(); // a preview still being read is no longer wanted
    m_coverLoading = false;
    showEmptyCover();
}

void frmTagEditor::choosePicture() {
    if (m_state.readOnly())
        return;
    const QString path = ShowPictureDialog(this, PictureDialogKind::Open);
    if (path.isEmpty())
        return;
    if (!IsReadablePicture(path)) {
        showFailure(QStringLiteral("This file is not a picture that can be shown:\n") +
                    QDir::toNativeSeparators(path));
        return;
    }
    m_state.ChoosePicture(path);
    showPicture(path);
    stagePicture(path);
}

void frmTagEditor::stagePicture(const QString &path) {
    if (IsOwnPictureFile(path))
        return; // already one of the program's own files: storing it is instant
    m_tasks.start([path](TaskControl &, const TaskProgress &) { return StoreCoverCopy(path); },
                  [this, path](const QString &copy) { m_state.setStagedCopy(path, copy); });
}

} // namespace tv

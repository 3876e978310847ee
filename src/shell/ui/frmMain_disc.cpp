// The main window's way to the CD ripper: the menu entry that opens it, and the importer that
// takes its ripped tracks into the file list with the disc's tags (it stays with the main
// window, so a ripper that closed after its last track still delivers).
#include "FileImporter.h"
#include "FileListView.h"
#include "ImageStore.h"
#include "RippedTrackImporter.h"
#include "frmCDRipper.h"
#include "frmMain.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

namespace tv {

// What the main window keeps for the ripper. UI thread only.
class RipperArea : public QObject {
public:
    using QObject::QObject;
    RippedTrackImporter *importer = nullptr;
    QPointer<frmCDRipper> window;
    QString lastLog; // the last rip's log, for the next ripper window
};

void frmMain::setupDisc() {
    m_ripper = new RipperArea(this);
    m_ripper->importer = new RippedTrackImporter(m_fileImporter, FileViewMain, m_ripper);
    auto *ripper = new QAction(ThemeIcon(QStringLiteral("img_cd_rip.png")), tr("CD Ripper..."), mnuMenu);
    connect(ripper, &QAction::triggered, this, [this]() { OpenCDRipper(); });
    insertMenuEntry(5, ripper);
}

void frmMain::OpenCDRipper(const QString &image) {
    if (frmCDRipper *open = m_ripper->window) {
        open->raise();
        open->activateWindow();
        if (!image.isEmpty())
            open->OpenDiscImage(image);
        return;
    }
    RippedTrackImporter *importer = m_ripper->importer;
    auto *window =
        new frmCDRipper([importer](const RippedTrack &track) { importer->add(track); }, this, image);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setRipLog(m_ripper->lastLog);
    connect(window, &frmCDRipper::ripLogReady, m_ripper,
            [area = m_ripper](const QString &text) { area->lastLog = text; });
    m_ripper->window = window;
    window->show();
    window->Form_Load();
}

} // namespace tv

// The main window's way to the burners: the menu entry and the completion dialog's "Burn to
// disc" open the chooser frmBurnTypes; the chosen burner takes the converted files of the list
// with their rows' tags. One window of each burner at a time.
#include "FileListModel.h"
#include "FileListView.h"
#include "ImageStore.h"
#include "MediaItem.h"
#include "frmBurnDisc.h"
#include "frmBurnTypes.h"
#include "frmMain.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

namespace tv {

// The open burner windows, by kind. UI thread only.
class BurnArea : public QObject {
public:
    using QObject::QObject;
    QPointer<frmBurnDisc> windows[3];
};

void frmMain::setupBurn() {
    m_burnArea = new BurnArea(this);
    auto *burn = new QAction(ThemeIcon(QStringLiteral("img_cd_burn.png")), tr("Burn CD/DVD..."), mnuMenu);
    connect(burn, &QAction::triggered, this, &frmMain::OpenBurnTypes);
    insertMenuEntry(6, burn);
}

void frmMain::OpenBurnTypes() {
    // A burner decodes with the engine's second instance, whose flags a batch shares.
    if (conversionState() != Idle || m_unloading)
        return;
    frmBurnTypes chooser(this);
    connect(
        &chooser, &frmBurnTypes::burnerChosen, this,
        [this](BurnKind kind) { OpenBurner(static_cast<int>(kind)); }, Qt::QueuedConnection);
    chooser.exec();
}

void frmMain::OpenBurner(int kind) {
    if (kind < 0 || kind > 2)
        return;
    if (frmBurnDisc *open = m_burnArea->windows[kind]) {
        open->raise();
        open->activateWindow();
        return;
    }
    const BurnSourceList sources = [list = FileViewMain->list()]() {
        QVector<BurnSource> files;
        for (int row = 0; row < list->rowCount(); ++row) {
            const MediaItem &item = list->mediaItem(row);
            if (item[Item::ConvertedFileName].trimmed().isEmpty())
                continue;
            files << BurnSource{item[Item::ConvertedFileName].trimmed(), item[Item::TagTitle].trimmed(),
                                item[Item::TagArtist].trimmed(), item[Item::TagAlbum].trimmed()};
        }
        return files;
    };
    frmBurnDisc *window = nullptr;
    switch (static_cast<BurnKind>(kind)) {
    case BurnKind::AudioCD:
        window = new frmBurnAudioCD(m_playerEvents, m_singleFile, sources, this);
        break;
    case BurnKind::DataCD:
        window = new frmBurnDataCD(m_playerEvents, sources, this);
        break;
    case BurnKind::DataDVD:
        window = new frmBurnDataDVD(m_playerEvents, sources, this);
        break;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_burnArea->windows[kind] = window;
    window->show();
    window->Form_Load();
}

} // namespace tv

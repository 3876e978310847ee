#include "frmBurnDisc.h"

#include "BurnListView.h"
#include "Config.h"
#include "ConversionFlags.h"
#include "DiscWriter.h"
#include "ImageStore.h"
#include "MediaPlayer_Mod.h"
#include "MessageBox.h"
#include "OutputFolders.h"
#include "PlayerPane.h"
#include "PlayerWidgets.h"
#include "Slider_Ctrl.h"
#include "Task.h"
#include "frmBurnErase.h"
#include "frmBurnStart.h"
#include "frmMsg.h"
#include "frmWait.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tv {

namespace {

const QString kAccessDenied =
    QStringLiteral("Access to CD or DVD drives is denied!\n"
                   "Your CD or DVD drive is occupied with another application.\n"
                   "Or access to CD or DVD drives is denied by your system Administrator.");
const QString kNoSpace =
    QStringLiteral("This disc doesn't have enough free space for all the selected file.");

PlayerOwnerKind OwnerOf(BurnKind kind) {
    switch (kind) {
    case BurnKind::AudioCD:
        return OwnerAudioCDBurner;
    case BurnKind::DataCD:
        return OwnerDataCDBurner;
    case BurnKind::DataDVD:
        break;
    }
    return OwnerDataDVDBurner;
}

// The picture of the drive button for what the drive holds.
QString MediumImage(const MediumInfo &medium, bool reading) {
    if (reading)
        return QStringLiteral("img_cdburn_unknown.png");
    if (medium.code != 0 || !medium.present)
        return QStringLiteral("img_cdburn_nodisc.png");
    if (!medium.recognized)
        return QStringLiteral("img_cdburn_error.png");
    switch (medium.status) {
    case 0:
    case 1:
        return QStringLiteral("img_cdburn_empty.png");
    case 2:
    case 3:
        return QStringLiteral("img_cdburn_locked.png");
    default:
        return QStringLiteral("img_cdburn_unknown.png");
    }
}

} // namespace

frmBurnDisc::frmBurnDisc(BurnKind kind, PlayerEvents *events, SingleFileConversion *converter,
                         BurnSourceList mainList, QWidget *parent)
    : QWidget(parent, Qt::Window), m_kind(kind), m_events(events), m_converter(converter),
      m_mainList(std::move(mainList)) {
    setObjectName(BurnerName(kind));
    setWindowTitle(caption());
    setWindowIcon(ThemeIcon(QStringLiteral("img_cd_burn.png")));
    m_writer = new DiscWriter(kind, this);
    m_writer->setObjectName(kind == BurnKind::AudioCD  ? QStringLiteral("AudioCDWriter")
                            : kind == BurnKind::DataCD ? QStringLiteral("DataCDWriter")
                                                       : QStringLiteral("DataDVDWriter"));
    m_list = new BurnListModel(kind, this);
    m_wait = new frmWait(this);
    m_runner = new TaskRunner(this);
    buildLayout();

    Timer_AddFileFromMainList = new QTimer(this);
    Timer_AddFileFromMainList->setObjectName(QStringLiteral("Timer_AddFileFromMainList"));
    Timer_AddFileFromMainList->setSingleShot(true);
    Timer_AddFileFromMainList->setInterval(100);
    connect(Timer_AddFileFromMainList, &QTimer::timeout, this, &frmBurnDisc::AddFilesFromMainList);

    connect(m_writer, &DiscWriter::drivesListed, this, &frmBurnDisc::fillDrives);
    connect(m_writer, &DiscWriter::mediumRead, this, &frmBurnDisc::showDisc);
    connect(m_writer, &DiscWriter::MediaChange, this, &frmBurnDisc::MediaChange);
    connect(m_list, &BurnListModel::rowsRearranged, this, &frmBurnDisc::CalcCDSpace);
    connect(m_list, &BurnListModel::filesDropped, this, [this](const QStringList &paths) {
        if (!m_adding && !m_writer->isBusy())
            AddFiles(paths);
    });
    connect(FileViewMain, &BurnListView::removeRequested, this, [this]() { Cmd_Panel_Click(4); });
    SetUiState(5);
}

frmBurnDisc::~frmBurnDisc() {
    delete m_runner;
}

QString frmBurnDisc::caption() const {
    switch (m_kind) {
    case BurnKind::AudioCD:
        return tr("Audio CD Burner");
    case BurnKind::DataCD:
        return tr("Data CD Burner");
    case BurnKind::DataDVD:
        break;
    }
    return tr("Data DVD Burner");
}

QString frmBurnDisc::noDiscText() const {
    return IsDvdKind(m_kind)
               ? QStringLiteral("There is no disc in the drive!\n\nPlease insert the writable DVD disc.")
               : QStringLiteral("There is no disc in the drive!\n\nPlease insert the CD-R or CD-RW disc.");
}

QString frmBurnDisc::notWritableText() const {
    return IsDvdKind(m_kind)
               ? noDiscText()
               : QStringLiteral(
                     "Disc is closed or not writable!\n\nPlease insert the writable CD-R or CD-RW disc.");
}

QPushButton *frmBurnDisc::addPanel(int index, const QString &caption, const QString &image,
                                   const QString &tip) {
    auto *button = new QPushButton(ThemeIcon(image), caption, this);
    button->setObjectName(QStringLiteral("Cmd_Panel(%1)").arg(index));
    button->setToolTip(tip);
    button->setIconSize(QSize(22, 22));
    button->setAutoDefault(false);
    m_panel.insert(index, button);
    connect(button, &QPushButton::clicked, this, [this, index]() { Cmd_Panel_Click(index); });
    return button;
}

void frmBurnDisc::buildLayout() {
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->setSpacing(8);

    auto *driveRow = new QHBoxLayout();
    auto *driveLabel = new QLabel(tr("Drive:"), this);
    driveRow->addWidget(driveLabel);
    ComboCdDrives = new QComboBox(this);
    ComboCdDrives->setObjectName(QStringLiteral("ComboCdDrives"));
    ComboCdDrives->setMinimumContentsLength(30);
    ComboCdDrives->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboCdDrives->setEnabled(false);
    driveLabel->setBuddy(ComboCdDrives);
    connect(ComboCdDrives, &QComboBox::activated, this, [this]() { ComboCdDrives_Click(); });
    driveRow->addWidget(ComboCdDrives, 1);
    Cmd_DiscInfo =
        new QPushButton(ThemeIcon(QStringLiteral("img_cdburn_unknown.png")), tr("Please wait..."), this);
    Cmd_DiscInfo->setObjectName(QStringLiteral("Cmd_DiscInfo"));
    Cmd_DiscInfo->setToolTip(tr("Read the disc again"));
    Cmd_DiscInfo->setIconSize(QSize(24, 24));
    Cmd_DiscInfo->setMinimumWidth(230);
    Cmd_DiscInfo->setAutoDefault(false);
    connect(Cmd_DiscInfo, &QPushButton::clicked, this, &frmBurnDisc::GetDiscInfo);
    driveRow->addWidget(Cmd_DiscInfo);
    outer->addLayout(driveRow);

    auto *body = new QHBoxLayout();
    auto *listColumn = new QVBoxLayout();
    listColumn->setSpacing(0);
    FileViewMain = new BurnListView(m_list, this);
    listColumn->addWidget(FileViewMain, 1);
    listColumn->addWidget(new BurnListFooter(FileViewMain, this));
    body->addLayout(listColumn, 1);

    GroupBox_Player = new QGroupBox(tr("Preview"), this);
    GroupBox_Player->setObjectName(QStringLiteral("GroupBox_Player"));
    GroupBox_Player->setFixedWidth(260);
    auto *playerLayout = new QVBoxLayout(GroupBox_Player);
    playerLayout->setContentsMargins(6, 6, 6, 6);
    if (m_events) {
        m_preview = new PlayerPane(m_events, GroupBox_Player, OwnerOf(m_kind), 3);
        m_preview->setSource([this](PlayerSettings &settings) { return previewSource(settings); });
        // A picture of the list's height would letterbox a sound file's cover: it keeps 16:10.
        m_preview->picPreview->setFixedHeight(155);
        playerLayout->addWidget(m_preview->picPreview);
        auto *timeRow = new QHBoxLayout();
        timeRow->addWidget(m_preview->lbl_PlayTime);
        timeRow->addWidget(m_preview->ProgressBar_Play, 1);
        timeRow->addWidget(m_preview->lbl_PlayTotal);
        playerLayout->addLayout(timeRow);
        auto *buttonRow = new QHBoxLayout();
        for (int i : {0, 1, 2})
            buttonRow->addWidget(m_preview->Cmd_Player(i));
        buttonRow->addWidget(m_preview->Slider_MPVolume);
        buttonRow->addStretch(1);
        playerLayout->addLayout(buttonRow);
    }
    body->addWidget(GroupBox_Player, 0, Qt::AlignTop);
    outer->addLayout(body, 1);

    auto *bottom = new QHBoxLayout();
    bottom->addWidget(
        addPanel(3, tr("Add Files"), QStringLiteral("img_addfile.png"), tr("Add files to the disc")));
    if (m_kind != BurnKind::AudioCD)
        bottom->addWidget(addPanel(5, tr("Add Folder"), QStringLiteral("img_add_folder.png"),
                                   tr("Add a folder with everything in it")));
    bottom->addWidget(
        addPanel(4, tr("Remove"), QStringLiteral("img_removefile.png"), tr("Remove the selected files")));
    bottom->addWidget(
        addPanel(7, tr("Remove All"), QStringLiteral("img_clearall.png"), tr("Remove every file")));
    bottom->addWidget(
        addPanel(1, tr("Erase"), QStringLiteral("img_cdburn_erase.png"), tr("Erase a rewritable disc")));
    bottom->addStretch(1);
    PicCDSize = new DiscGauge(this);
    bottom->addWidget(PicCDSize);
    auto *figures = new QVBoxLayout();
    figures->setSpacing(2);
    lbl_ShowUsedValue = new QLabel(this);
    lbl_ShowUsedValue->setObjectName(QStringLiteral("lbl_ShowUsedValue"));
    lbl_ShowBurnValue = new QLabel(this);
    lbl_ShowBurnValue->setObjectName(QStringLiteral("lbl_ShowBurnValue"));
    auto *freeRow = new QHBoxLayout();
    freeRow->addWidget(new QLabel(tr("Free"), this));
    lbl_FreeSpaceValue = new QLabel(this);
    lbl_FreeSpaceValue->setObjectName(QStringLiteral("lbl_FreeSpaceValue"));
    QFont bold = lbl_FreeSpaceValue->font();
    bold.setBold(true);
    lbl_FreeSpaceValue->setFont(bold);
    freeRow->addWidget(lbl_FreeSpaceValue);
    freeRow->addStretch(1);
    figures->addWidget(lbl_ShowUsedValue);
    figures->addWidget(lbl_ShowBurnValue);
    figures->addLayout(freeRow);
    auto *figureBox = new QWidget(this);
    figureBox->setLayout(figures);
    figureBox->setMinimumWidth(120);
    bottom->addWidget(figureBox);
    QPushButton *burn = addPanel(2, tr("Burn"), QStringLiteral("img_cd_burn.png"), tr("Write the disc"));
    burn->setIconSize(QSize(28, 28));
    burn->setMinimumSize(120, 44);
    burn->setFont(bold);
    bottom->addWidget(burn);
    outer->addLayout(bottom);
    resize(980, 560);
    CalcCDSpace();
}

void frmBurnDisc::Form_Load() {
    Cmd_DiscInfo->setText(tr("Please wait..."));
    m_writer->Initialize();
}

void frmBurnDisc::fillDrives(int code, const QString &message) {
    if (code != 0)
        ShowMessage(kAccessDenied + (message.isEmpty() ? QString() : QStringLiteral("\n\n") + message),
                    MsgExclamation, QStringLiteral("Attention!"));
    ComboCdDrives->clear();
    const QVector<BurnDrive> &drives = m_writer->drives();
    for (int i = 0; i < drives.size(); ++i) {
        ComboCdDrives->addItem(drives.at(i).description, i);
        ComboCdDrives->setItemData(
            i, drives.at(i).image ? tr("Writes the disc into an image file") : drives.at(i).address,
            Qt::ToolTipRole);
    }
    if (drives.isEmpty()) {
        ComboCdDrives->addItem(QStringLiteral("CD Burner Not Detected!"));
        ComboCdDrives->setProperty("tag", QStringLiteral("-1"));
        ComboCdDrives->setEnabled(false);
        Cmd_DiscInfo->setText(QStringLiteral("No disc"));
        return;
    }
    ComboCdDrives->setProperty("tag", QStringLiteral("0"));
    ComboCdDrives->setEnabled(true);
    ComboCdDrives->setCurrentIndex(0);
    ComboCdDrives_Click();
}

void frmBurnDisc::ComboCdDrives_Click() {
    if (m_writer->isBusy() || ComboCdDrives->currentIndex() < 0)
        return;
    StopPreview();
    Cmd_DiscInfo->setText(tr("Please wait..."));
    Cmd_DiscInfo->setIcon(ThemeIcon(MediumImage(MediumInfo(), true)));
    m_writer->SelectDrive(ComboCdDrives->currentData().toInt());
}

void frmBurnDisc::GetDiscInfo() {
    if (m_writer->isBusy() || !m_writer->drive())
        return;
    Cmd_DiscInfo->setText(tr("Please wait..."));
    Cmd_DiscInfo->setIcon(ThemeIcon(MediumImage(MediumInfo(), true)));
    m_writer->ReadMedium();
}

void frmBurnDisc::showDisc() {
    const MediumInfo &medium = m_writer->medium();
    QString text;
    if (medium.code != 0 || !medium.present)
        text = QStringLiteral("No disc");
    else if (!medium.recognized)
        text = QStringLiteral("Unrecognized disc!");
    else
        text = MediumDescription(medium.type, medium.status);
    Cmd_DiscInfo->setText(text);
    Cmd_DiscInfo->setToolTip(medium.message.isEmpty() ? tr("Read the disc again") : medium.message);
    Cmd_DiscInfo->setIcon(ThemeIcon(MediumImage(medium, false)));
    CalcCDSpace();
    // The main list's files are taken once, when the first disc has been read.
    if (m_mainListPending && !m_adding)
        Timer_AddFileFromMainList->start();
    Q_EMIT discShown();
}

void frmBurnDisc::syncCompilation() {
    m_writer->ClearTracks();
    QStringList albums;
    QStringList artists;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_kind == BurnKind::AudioCD) {
            m_writer->AddTrack(m_list->trackOf(row));
            albums << m_list->record(row).album;
            artists << m_list->record(row).performer;
        } else {
            m_writer->AddEntry(m_list->entryOf(row));
        }
    }
    m_writer->SetDiscText(SharedDiscText(albums, artists));
}

void frmBurnDisc::CalcCDSpace() {
    syncCompilation();
    m_space = m_writer->isWritable()
                  ? CalcDiscSpace(m_writer->capacity(), m_writer->SizeA(), m_writer->SizeB(), m_kind)
                  : DiscSpace();
    lbl_ShowUsedValue->setText(UsedSpaceText(m_space));
    lbl_ShowBurnValue->setText(BurnSpaceText(m_space));
    lbl_FreeSpaceValue->setText(FreeSpaceText(m_space));
    lbl_FreeSpaceValue->setProperty("tag", FreeSpaceTag(m_space));
    PicCDSize->setSpace(m_space);
}

bool frmBurnDisc::hasFreeSpace() const {
    return lbl_FreeSpaceValue->property("tag").toString().toDouble() > 0;
}

bool frmBurnDisc::DiscWritable() {
    const MediumInfo &medium = m_writer->medium();
    if (m_writer->isReadingMedium() || medium.code != 0 || !medium.present) {
        ShowMessage(noDiscText(), MsgExclamation, QStringLiteral("Attention!"));
        return false;
    }
    if (!m_writer->isWritable()) {
        ShowMessage(notWritableText(), MsgExclamation, QStringLiteral("Attention!"));
        return false;
    }
    return true;
}

int frmBurnDisc::DeleteAllSessions() {
    return m_writer->DeleteAllSessions();
}

void frmBurnDisc::SetUiState(int state) {
    const bool rows = state == 6;
    for (int index : {2, 4, 7}) {
        if (QPushButton *button = m_panel.value(index))
            button->setEnabled(rows);
    }
}

void frmBurnDisc::Cmd_Panel_Click(int index) {
    if (m_adding || m_writer->isBusy())
        return;
    switch (index) {
    case 1:
        erase();
        break;
    case 2:
        burn();
        break;
    case 3:
    case 5: {
        if (!DiscWritable())
            return;
        if (index == 5) {
            const QString folder =
                QFileDialog::getExistingDirectory(this, tr("Add Folder"), Folders().outputFolder);
            if (!folder.isEmpty())
                AddFolder(folder);
            return;
        }
        const QString filter =
            m_kind == BurnKind::AudioCD
                ? QStringLiteral("All Audio Files (*.mp3 *.wav *.ogg *.wma);;MPEG Files (*.mp3);;Wave Files "
                                 "(*.wav);;Ogg Vorbis Files (*.ogg);;Windows Media Audio Files (*.wma)")
                : QStringLiteral(
                      "All Audio Files (*.mp3 *.wma);;MPEG Files (*.mp3);;Windows Media Audio Files "
                      "(*.wma)");
        const QStringList files =
            QFileDialog::getOpenFileNames(this, tr("Add Files"), Folders().outputFolder, filter);
        if (!files.isEmpty())
            AddFiles(files);
        break;
    }
    case 4:
        removeRows(FileViewMain->selectedRowNumbers());
        break;
    case 7: {
        QList<int> all;
        for (int row = 0; row < m_list->rowCount(); ++row)
            all << row;
        removeRows(all);
        break;
    }
    default:
        break;
    }
}

void frmBurnDisc::removeRows(const QList<int> &rows) {
    if (rows.isEmpty())
        return;
    StopPreview();
    for (const int row : rows) {
        const QString wav = m_list->item(row, AudioItem::Raw).trimmed();
        // Only the WAVs this window decoded go with their rows.
        if (m_kind == BurnKind::AudioCD && !wav.isEmpty() && wav.startsWith(Paths().tempFolder))
            QFile::remove(wav);
    }
    m_list->removeRecords(rows);
    m_list->UpdateListFooters();
    CalcCDSpace();
    SetUiState(m_list->rowCount() > 0 ? 6 : 5);
}

void frmBurnDisc::burn() {
    if (!DiscWritable())
        return;
    StopPreview();
    CalcCDSpace();
    if (m_list->rowCount() == 0)
        return;
    if (m_space.free < 0) {
        ShowMessage(kNoSpace, MsgExclamation, QStringLiteral("Attention!"));
        return;
    }
    // The writer's track list is what the list holds now, in its order.
    syncCompilation();
    frmBurnStart start(this);
    if (start.exec() == QDialog::Accepted) {
        frmMsg done(QStringLiteral("Successfully completed!"), this);
        done.exec();
    }
}

void frmBurnDisc::erase() {
    const MediumInfo &medium = m_writer->medium();
    // A closed rewritable disc is what one erases: only a missing disc stops here.
    if (m_writer->isReadingMedium() || medium.code != 0 || !medium.present) {
        ShowMessage(noDiscText(), MsgExclamation, QStringLiteral("Attention!"));
        return;
    }
    StopPreview();
    if (!m_writer->IsErasable()) {
        ShowMessage(IsDvdKind(m_kind)
                        ? QStringLiteral("Disc is not erasable!\n\nPlease insert the DVD rewritable disc.")
                        : QStringLiteral("Disc is not erasable!\n\nPlease insert the CD-RW disc."),
                    MsgExclamation, QStringLiteral("Erase disc"));
        return;
    }
    frmBurnErase dialog(this);
    if (dialog.exec() == QDialog::Accepted) {
        frmMsg done(QStringLiteral("Erasing is completed!"), this);
        done.exec();
    }
}

void frmBurnDisc::MediaChange() {
    if (m_writer->isBusy())
        return;
    if (m_decoding && m_mainListPending)
        Timer_AddFileFromMainList->start();
    else
        Timer_AddFileFromMainList->stop();
    GetDiscInfo();
    SetUiState(m_list->rowCount() > 0 ? 6 : 5);
}

void frmBurnDisc::StopPreview() {
    if (m_preview && m_preview->isPlaying())
        m_preview->Cmd_Player(1)->click();
}

bool frmBurnDisc::previewSource(PlayerSettings &settings) {
    const QList<int> rows = FileViewMain->selectedRowNumbers();
    if (rows.size() != 1)
        return false;
    const QString path = m_list->sourcePath(rows.constFirst());
    if (QFileInfo(path).isDir())
        return false;
    if (!QFileInfo::exists(path)) {
        ShowMessage(path + QStringLiteral("\n") + QStringLiteral("File not found!"), MsgExclamation,
                    QStringLiteral("Attention!"));
        return false;
    }
    settings.filePath = path;
    return true;
}

void frmBurnDisc::closeEvent(QCloseEvent *event) {
    if (m_writer->isBusy()) {
        event->ignore();
        return;
    }
    if (m_adding) {
        // The add in progress ends first (its wait is cancelled); the window closes after it.
        m_closing = true;
        Flags().cancelPrepare = true;
        m_wait->close();
        event->ignore();
        return;
    }
    StopPreview();
    if (m_kind == BurnKind::AudioCD) {
        for (int row = 0; row < m_list->rowCount(); ++row) {
            const QString wav = m_list->item(row, AudioItem::Raw).trimmed();
            if (!wav.isEmpty() && wav.startsWith(Paths().tempFolder))
                QFile::remove(wav);
        }
    }
    event->accept();
}

} // namespace tv

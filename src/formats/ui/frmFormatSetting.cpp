#include "frmFormatSetting.h"

#include "CatalogFile.h"
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "ComboChooser.h"
#include "Config.h"
#include "ImageStore.h"
#include "KeyFilters.h"
#include "MessageBox.h"
#include "OutputPanel.h"
#include "PanelButtons.h"
#include "PresetSearch.h"
#include "Settings.h"
#include "UpDown.h"
#include "frmNewPreset.h"

#include "WindowUtil.h"
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <limits>

namespace tv {

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kRemovableRole = Qt::UserRole + 1;

const char *const kNumberBoxNames[kNumberBoxCount] = {"OutputVideoWidth", "OutputVideoHeight",
                                                      "OutputVideoBitrate"};

} // namespace

frmFormatSetting::frmFormatSetting(const CatalogTable &formats, CatalogTable &presets, OutputPanel *panel,
                                   QWidget *parent)
    : QDialog(parent), m_formats(formats), m_presets(presets), m_panel(panel) {
    setObjectName(QStringLiteral("frmFormatSetting"));
    setWindowIcon(ThemeIcon(QStringLiteral("img_setting.png")));
    buildLayout();

    FormatSettings::Choosers choosers{};
    for (int i = 0; i < kFormatChooserCount; ++i) {
        m_comboChoosers[i] = std::make_unique<ComboChooser>(Combo_OutputFile[i]);
        choosers[i] = m_comboChoosers[i].get();
    }
    m_settings = std::make_unique<FormatSettings>(m_formats, m_presets, choosers);
    syncControls();
    RefreshPresetList(-1);
}

frmFormatSetting::~frmFormatSetting() = default;

QComboBox *frmFormatSetting::makeChooser(int index) {
    auto *combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("Combo_OutputFile(%1)").arg(index));
    combo->setMinimumWidth(190);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(combo, &QComboBox::currentIndexChanged, this, [this, index]() { Combo_OutputFile_Click(index); });
    Combo_OutputFile[index] = combo;
    return combo;
}

QWidget *frmFormatSetting::makeNumberBox(int box, const QString &before, const QString &after) {
    const QString name = QLatin1String(kNumberBoxNames[box]);
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    if (!before.isEmpty())
        layout->addWidget(new QLabel(before, row));
    auto *text = new QLineEdit(row);
    text->setObjectName(QStringLiteral("Txt_") + name);
    text->setFixedWidth(64);
    text->setAlignment(Qt::AlignRight);
    InstallNumericKeyFilter(text);
    connect(text, &QLineEdit::textChanged, this,
            [this, box](const QString &typed) { numberTyped(box, typed); });
    // A box left empty or with a lone minus shows its number again.
    connect(text, &QLineEdit::editingFinished, this, [this]() { runRules([]() {}); });
    auto *spin = new UpDown(row);
    spin->setObjectName(QStringLiteral("UpDown_") + name);
    connect(spin, &QSpinBox::valueChanged, this, [this, box](int value) { numberStepped(box, value); });
    layout->addWidget(text);
    layout->addWidget(spin);
    if (!after.isEmpty()) {
        layout->addSpacing(4);
        layout->addWidget(new QLabel(after, row));
    }
    m_numberText[box] = text;
    m_numberSpin[box] = spin;
    m_numberRow[box] = row;
    return row;
}

QGroupBox *frmFormatSetting::buildVideoGroup() {
    auto *group = new QGroupBox(tr("Video"), this);
    group->setObjectName(QStringLiteral("GroupBox_Video"));
    auto *form = new QFormLayout(group);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);

    form->addRow(tr("Codec:"), makeChooser(VideoCodecChooser));

    auto *sizeRow = new QHBoxLayout();
    sizeRow->setSpacing(6);
    sizeRow->addWidget(makeChooser(FrameSizeChooser), 1);
    sizeRow->addWidget(makeNumberBox(WidthBox, QString(), QString()));
    sizeRow->addWidget(makeNumberBox(HeightBox, QStringLiteral("x "), QString()));
    m_numberText[WidthBox]->setToolTip(tr("Width"));
    m_numberText[HeightBox]->setToolTip(tr("Height"));
    form->addRow(tr("Frame size:"), sizeRow);

    form->addRow(tr("Frame rate:"), makeChooser(FrameRateChooser));
    form->addRow(tr("Aspect ratio:"), makeChooser(AspectRatioChooser));

    auto *bitrateRow = new QHBoxLayout();
    bitrateRow->setSpacing(6);
    bitrateRow->addWidget(makeChooser(VideoBitrateChooser), 1);
    bitrateRow->addWidget(makeNumberBox(VideoBitrateBox, QString(), tr("kbps")));
    m_numberText[VideoBitrateBox]->setToolTip(tr("Video bitrate in kbps"));
    form->addRow(tr("Bitrate:"), bitrateRow);

    auto *qualityRow = new QHBoxLayout();
    m_qualityGroup = new QButtonGroup(this);
    const QString captions[3] = {tr("High"), tr("Standard"), tr("Small size")};
    for (int i = 0; i < 3; ++i) {
        Radio_Quality[i] = new QRadioButton(captions[i], group);
        Radio_Quality[i]->setObjectName(QStringLiteral("Radio_Quality(%1)").arg(i));
        m_qualityGroup->addButton(Radio_Quality[i], i);
        connect(Radio_Quality[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                Radio_Quality_Click(i);
        });
        qualityRow->addWidget(Radio_Quality[i]);
    }
    qualityRow->addStretch(1);
    form->addRow(tr("Quality:"), qualityRow);
    return group;
}

QGroupBox *frmFormatSetting::buildAudioGroup() {
    auto *group = new QGroupBox(tr("Audio"), this);
    group->setObjectName(QStringLiteral("GroupBox_Audio"));
    auto *form = new QFormLayout(group);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(tr("Codec:"), makeChooser(AudioCodecChooser));
    form->addRow(tr("Sample rate:"), makeChooser(SampleRateChooser));
    form->addRow(tr("Channels:"), makeChooser(ChannelsChooser));
    form->addRow(tr("Sample size:"), makeChooser(AudioSizeChooser));
    form->addRow(tr("Bitrate:"), makeChooser(AudioBitrateChooser));
    return group;
}

void frmFormatSetting::buildLayout() {
    auto *outer = new QVBoxLayout(this);
    auto *body = new QHBoxLayout();
    body->setSpacing(12);

    // The presets of the keyword, with their count and the new and delete buttons.
    auto *listColumn = new QVBoxLayout();
    PresetList = new QTreeWidget(this);
    PresetList->setObjectName(QStringLiteral("PresetList"));
    PresetList->setColumnCount(1);
    PresetList->setRootIsDecorated(false);
    PresetList->setUniformRowHeights(true);
    PresetList->setSelectionMode(QAbstractItemView::SingleSelection);
    PresetList->setMinimumWidth(220);
    PresetList->setContextMenuPolicy(Qt::CustomContextMenu);
    PresetList->header()->setStretchLastSection(true);
    PresetList->installEventFilter(this);
    connect(PresetList, &QTreeWidget::itemSelectionChanged, this,
            &frmFormatSetting::PresetList_SelectionChanged);
    connect(PresetList, &QTreeWidget::customContextMenuRequested, this,
            &frmFormatSetting::PresetList_ContextMenu);
    listColumn->addWidget(PresetList, 1);

    auto *listButtons = new QHBoxLayout();
    lbl_TotalPreset = new QLabel(this);
    lbl_TotalPreset->setObjectName(QStringLiteral("lbl_TotalPreset"));
    listButtons->addWidget(lbl_TotalPreset, 1);
    const QString images[2] = {QStringLiteral("img_remove_preset.png"), QStringLiteral("img_add_preset.png")};
    const QString tips[2] = {tr("Delete the selected preset"), tr("Save the settings as a new preset")};
    for (int i : {1, 0}) {
        Cmd_PanelList[i] = new QPushButton(ThemeIcon(images[i]), QString(), this);
        Cmd_PanelList[i]->setObjectName(QStringLiteral("Cmd_PanelList(%1)").arg(i));
        Cmd_PanelList[i]->setToolTip(tips[i]);
        Cmd_PanelList[i]->setIconSize(QSize(20, 20));
        Cmd_PanelList[i]->setAutoDefault(false);
        connect(Cmd_PanelList[i], &QPushButton::clicked, this, [this, i]() { Cmd_PanelList_Click(i); });
        listButtons->addWidget(Cmd_PanelList[i]);
    }
    listColumn->addLayout(listButtons);
    body->addLayout(listColumn, 1);

    // The settings scroll when the window is shorter than they are (a small screen).
    auto *settingsRoom = new QScrollArea(this);
    settingsRoom->setObjectName(QStringLiteral("SettingsScroll"));
    settingsRoom->setFrameShape(QFrame::NoFrame);
    settingsRoom->setWidgetResizable(true);
    settingsRoom->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *settingsPage = new QWidget(settingsRoom);
    auto *settingsColumn = new QVBoxLayout(settingsPage);
    settingsColumn->setContentsMargins(0, 0, 0, 0);
    auto *fileForm = new QFormLayout();
    fileForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fileForm->addRow(tr("File extension:"), makeChooser(ExtensionChooser));
    settingsColumn->addLayout(fileForm);
    settingsColumn->addWidget(buildVideoGroup());
    settingsColumn->addWidget(buildAudioGroup());
    settingsColumn->addStretch(1);
    settingsRoom->setWidget(settingsPage);
    settingsRoom->setMinimumWidth(settingsPage->minimumSizeHint().width() + 16);
    body->addWidget(settingsRoom, 2);
    outer->addLayout(body, 1);

    Cmd_Panel = AddPanelButtons(this, outer, [this](int i) { Cmd_Panel_Click(i); });

    // The list's context menu.
    mnuLists = new QMenu(this);
    mnuLists->setObjectName(QStringLiteral("mnuLists"));
    mnuList[1] = mnuLists->addAction(tr("Delete"), this, &frmFormatSetting::DeleteSelectedPreset);
    mnuList[2] = mnuLists->addSeparator();
    mnuList[3] = mnuLists->addAction(tr("Rename"), this, &frmFormatSetting::renamePreset);
    for (int i = 1; i <= 3; ++i)
        mnuList[i]->setObjectName(QStringLiteral("mnuList(%1)").arg(i));

    // The hidden copies of the shown preset's descriptive fields.
    QLineEdit **hidden[] = {&Txt_Format, &Txt_Maker,     &Txt_Keyword, &Txt_Type,
                            &Txt_Image,  &Txt_Thumbnail, &Txt_ID};
    const char *const hiddenNames[] = {"Txt_Format", "Txt_Maker",     "Txt_Keyword", "Txt_Type",
                                       "Txt_Image",  "Txt_Thumbnail", "Txt_ID"};
    for (int i = 0; i < 7; ++i) {
        *hidden[i] = new QLineEdit(this);
        (*hidden[i])->setObjectName(QLatin1String(hiddenNames[i]));
        (*hidden[i])->setVisible(false);
        (*hidden[i])->setReadOnly(true);
    }
    resize(980, 580);
    FitToScreen(this);
}

template <typename F> void frmFormatSetting::runRules(F &&rules) {
    // Controls set by the rules must not report their change back as the user's.
    const bool outer = !m_syncing;
    m_syncing = true;
    rules();
    syncControls();
    if (outer)
        m_syncing = false;
}

void frmFormatSetting::syncControls() {
    const bool wasSyncing = m_syncing;
    m_syncing = true;
    const FormatSettings &s = *m_settings;
    for (int box = 0; box < kNumberBoxCount; ++box) {
        const NumberBox &number = s.numberBox(box);
        m_numberSpin[box]->setMaximum(number.maximum);
        m_numberSpin[box]->setValue(number.value);
        const QString text = QString::number(number.value);
        if (m_numberText[box]->text() != text)
            m_numberText[box]->setText(text);
        m_numberText[box]->setEnabled(number.enabled);
        m_numberSpin[box]->setEnabled(number.enabled);
        m_numberRow[box]->setVisible(number.visible);
    }
    for (int i = 0; i < 3; ++i) {
        Radio_Quality[i]->setChecked(i == s.qualityLevel());
        Radio_Quality[i]->setEnabled(s.qualityEnabled());
    }
    const PresetDescription &d = s.description();
    Txt_Format->setText(d.Format);
    Txt_Maker->setText(d.Maker);
    Txt_Keyword->setText(d.Keyword);
    Txt_Type->setText(d.Type);
    Txt_Image->setText(d.Image);
    Txt_Thumbnail->setText(d.Thumbnail);
    Txt_ID->setText(d.ID);
    m_syncing = wasSyncing;
}

void frmFormatSetting::Combo_OutputFile_Click(int index) {
    if (m_syncing)
        return;
    runRules([this, index]() { m_settings->ChooserChanged(index); });
}

void frmFormatSetting::numberTyped(int box, const QString &text) {
    if (m_syncing)
        return;
    // An empty box or a lone minus is a number still being typed.
    const QString typed = text.trimmed();
    if (typed.isEmpty() || typed == QLatin1String("-"))
        return;
    bool ok = false;
    qint64 value = typed.toLongLong(&ok);
    if (!ok) // only digits get this far, so it is a number too long for any box
        value = typed.startsWith(QLatin1Char('-')) ? std::numeric_limits<qint64>::min()
                                                   : std::numeric_limits<qint64>::max();
    runRules([this, box, value]() { m_settings->SetNumber(box, value); });
}

void frmFormatSetting::numberStepped(int box, int value) {
    if (m_syncing)
        return;
    runRules([this, box, value]() { m_settings->SetNumber(box, value); });
}

void frmFormatSetting::Radio_Quality_Click(int index) {
    if (m_syncing)
        return;
    runRules([this, index]() { m_settings->SetQualityLevel(index); });
}

void frmFormatSetting::StorePresetValues() {
    m_settings->StorePresetValues();
}

void frmFormatSetting::ApplyPreset(int presetRow) {
    runRules([this, presetRow]() { m_settings->ApplyPreset(presetRow); });
    if (m_panel)
        m_panel->ShowFavoriteState(m_settings->description().ID);
}

// The preset list --------------------------------------------------------------------------

QTreeWidgetItem *frmFormatSetting::addListRow(const QString &name, const QString &id, bool removable) {
    auto *item = new QTreeWidgetItem(PresetList, QStringList{name});
    item->setToolTip(0, name);
    item->setData(0, kIdRole, id);
    item->setData(0, kRemovableRole, removable);
    if (removable)
        item->setIcon(0, ThemeIcon(QStringLiteral("img_user_preset.png")));
    return item;
}

void frmFormatSetting::SetPresetList(const QList<PresetListEntry> &entries) {
    m_listSelecting = true;
    PresetList->clear();
    for (const PresetListEntry &entry : entries)
        addListRow(entry.name, entry.id, entry.removable);
    m_listSelecting = false;
    lbl_TotalPreset->setText(PresetCountText(PresetList->topLevelItemCount()));
}

int frmFormatSetting::selectedListRow() const {
    const QList<QTreeWidgetItem *> selected = PresetList->selectedItems();
    return selected.size() == 1 ? PresetList->indexOfTopLevelItem(selected.first()) : -1;
}

bool frmFormatSetting::listRowRemovable(int row) const {
    const QTreeWidgetItem *item = PresetList->topLevelItem(row);
    return item && item->data(0, kRemovableRole).toBool();
}

QString frmFormatSetting::listRowId(int row) const {
    const QTreeWidgetItem *item = PresetList->topLevelItem(row);
    return item ? item->data(0, kIdRole).toString() : QString();
}

QList<PresetListEntry> frmFormatSetting::listEntries() const {
    QList<PresetListEntry> entries;
    for (int row = 0; row < PresetList->topLevelItemCount(); ++row)
        entries.append({PresetList->topLevelItem(row)->text(0), listRowId(row), listRowRemovable(row)});
    return entries;
}

void frmFormatSetting::RefreshPresetList(int index) {
    const int count = PresetList->topLevelItemCount();
    if (count > 0 && index >= 0 && index < count) {
        m_listSelecting = true;
        PresetList->setCurrentItem(PresetList->topLevelItem(index));
        m_listSelecting = false;
        m_settings->setSelectedPresetId(listRowId(index));
        Txt_ID->setText(listRowId(index));
    }
    PresetList->setFocus();
    const int row = FindCatalogRow(m_presets, QStringLiteral("ID"), Txt_ID->text());
    const bool removable = row > 0 && GetCatalogField(m_presets, row, QStringLiteral("Removable")) == "Yes";
    Cmd_PanelList[0]->setEnabled(removable);
    mnuList[1]->setEnabled(removable);
    mnuList[3]->setEnabled(removable);
    lbl_TotalPreset->setText(PresetCountText(count));
    const QString keyword = m_panel ? m_panel->currentOutputKeyword() : QString();
    PresetList->setHeaderLabels({keyword + QStringLiteral(" Presets")});
    setWindowTitle(keyword + QStringLiteral(" Presets - Setting"));
}

void frmFormatSetting::PresetList_SelectionChanged() {
    if (m_listSelecting)
        return;
    const int index = selectedListRow();
    if (index < 0)
        return;
    const int row = FindCatalogRow(m_presets, QStringLiteral("ID"), listRowId(index));
    if (row > 0)
        ApplyPreset(row);
    RefreshPresetList(index);
}

void frmFormatSetting::PresetList_ContextMenu(const QPoint &pos) {
    if (!m_listButtonsShown)
        return;
    mnuLists->popup(PresetList->viewport()->mapToGlobal(pos));
}

bool frmFormatSetting::eventFilter(QObject *watched, QEvent *event) {
    if (watched == PresetList && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers held =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if (key->key() == Qt::Key_Delete && held == Qt::NoModifier) {
            if (m_listButtonsShown && Cmd_PanelList[0]->isEnabled())
                DeleteSelectedPreset();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmFormatSetting::Cmd_PanelList_Click(int index) {
    if (index == 0)
        DeleteSelectedPreset();
    else
        newPreset();
}

void frmFormatSetting::newPreset() {
    const QString name = frmNewPreset::AskPresetName(this, tr("New Preset"), tr("Name"));
    if (name.isEmpty())
        return;

    // A user preset of the same name is replaced, keeping its row and ID; a built-in one
    // of that name is not touched and the new preset joins it.
    for (int index = 0; index < PresetList->topLevelItemCount(); ++index) {
        if (PresetList->topLevelItem(index)->text(0) != name || !listRowRemovable(index))
            continue;
        if (ShowMessage(QStringLiteral("The preset '") + name +
                            QStringLiteral("' already exists, replace it ?"),
                        MsgYesNo | MsgQuestion, QStringLiteral("Confirmation")) != AnsYes)
            return;
        const QString id = listRowId(index);
        m_settings->WritePresetFields(FindCatalogRow(m_presets, QStringLiteral("ID"), id), id);
        RefreshPresetList(index);
        return;
    }

    const int row = m_settings->CreateUserPreset(name);
    if (row == 0)
        return;
    m_listSelecting = true;
    addListRow(name, GetCatalogField(m_presets, row, QStringLiteral("ID")), true);
    m_listSelecting = false;
    RefreshPresetList(PresetList->topLevelItemCount() - 1);
}

void frmFormatSetting::renamePreset() {
    const int index = selectedListRow();
    if (index < 0 || !listRowRemovable(index))
        return;
    QTreeWidgetItem *item = PresetList->topLevelItem(index);
    const QString name =
        frmNewPreset::AskPresetName(this, tr("Rename Preset"), tr("New Name"), item->text(0));
    if (name.isEmpty())
        return;
    item->setText(0, name);
    item->setToolTip(0, name);
    const int row = FindCatalogRow(m_presets, QStringLiteral("ID"), listRowId(index));
    if (row > 0)
        SetCatalogField(m_presets, row, QStringLiteral("Name"), name, false, false);
}

void frmFormatSetting::DeleteSelectedPreset() {
    const int index = selectedListRow();
    if (index < 0 || !listRowRemovable(index))
        return;
    const QString name = PresetList->topLevelItem(index)->text(0);
    if (ShowMessage(QStringLiteral("Are you sure you want to delete '") + name + QStringLiteral("' preset ?"),
                    MsgYesNo | MsgQuestion, QStringLiteral("Delete")) != AnsYes)
        return;
    const int row = FindCatalogRow(m_presets, QStringLiteral("ID"), listRowId(index));
    if (row > 0)
        m_presets.removeRowAt(row);
    // A favorite of the preset goes with it.
    if (m_panel)
        m_panel->RefreshFavoriteButtons();
    m_listSelecting = true;
    delete PresetList->takeTopLevelItem(index);
    m_listSelecting = false;

    // The neighbouring preset is shown, so that later edits go to the preset on screen.
    const int count = PresetList->topLevelItemCount();
    if (count == 0) {
        RefreshPresetList(-1);
        return;
    }
    const int next = std::min(index, count - 1);
    const int nextRow = FindCatalogRow(m_presets, QStringLiteral("ID"), listRowId(next));
    if (nextRow > 0)
        ApplyPreset(nextRow);
    RefreshPresetList(next);
}

// Opening and closing ------------------------------------------------------------------------

void frmFormatSetting::OpenSettings() {
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void frmFormatSetting::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_opened)
        Form_Activate();
}

void frmFormatSetting::Form_Activate() {
    // 1. Presets are neither made nor deleted on the devices and favorites tabs.
    const int tab = m_panel ? m_panel->currentTab() : AudioTab;
    m_listButtonsShown = tab != DeviceTab && tab != FavoritesTab;
    for (QPushButton *button : Cmd_PanelList)
        button->setVisible(m_listButtonsShown);
    // 2. New presets belong to keywords that offer a custom placeholder.
    const int count = PresetList->topLevelItemCount();
    Cmd_PanelList[1]->setEnabled(count > 0 && PresetList->topLevelItem(0)->text(0) == kCustomPresetEntry);
    // 3. The preset chosen in the main window, shown in every control.
    RefreshPresetList(m_panel ? m_panel->presetChooser()->currentIndex() : -1);
    const int index = selectedListRow();
    const int row = index < 0 ? 0 : FindCatalogRow(m_presets, QStringLiteral("ID"), listRowId(index));
    if (row > 0)
        ApplyPreset(row);
    // 4. The theme's colours.
    applyThemeColours();
    m_opened = true;
}

void frmFormatSetting::applyThemeColours() {
    const bool dark = Settings().themeNo == 2;
    QList<QWidget *> fields(Combo_OutputFile.cbegin(), Combo_OutputFile.cend());
    fields.append(QList<QWidget *>(m_numberText.cbegin(), m_numberText.cend()));
    // The list and the fields take the theme's colours; disabled fields keep the greyed look.
    const QColor light(Qt::white);
    const QColor ink(0x1b, 0x1f, 0x24);
    SetFieldColours(PresetList, dark ? QColor(0x16, 0x16, 0x16) : light, dark ? QColor(Qt::white) : ink);
    for (QWidget *field : fields)
        SetFieldColours(field, dark ? QColor(Qt::black) : light, dark ? QColor(Qt::white) : ink);
}

void frmFormatSetting::Cmd_Panel_Click(int index) {
    if (index == 0) {
        reject();
        return;
    }
    // The main preset chooser takes the list as it now is, and chooses the selected preset.
    if (m_panel)
        m_panel->SetPresetEntries(listEntries(), selectedListRow());
    const QString file = m_userPresetFile.isEmpty() ? Paths().userPresetFile : m_userPresetFile;
    if (!file.isEmpty()) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        // The presets stay in memory when the file cannot be written.
        if (!SaveUserPresets(m_presets, file, true))
            ShowMessage(QStringLiteral("Your presets could not be saved to \"%1\".\n\nThey can be used "
                                       "until Tunevane is closed.")
                            .arg(file),
                        MsgExclamation, QStringLiteral("Attention!"));
    }
    m_opened = false;
    QDialog::accept();
}

void frmFormatSetting::reject() {
    // Changes stay in the presets in memory; the controls show the selected preset again.
    const int index = selectedListRow();
    const int row = index < 0 ? 0 : FindCatalogRow(m_presets, QStringLiteral("ID"), listRowId(index));
    if (row > 0)
        ApplyPreset(row);
    m_opened = false;
    QDialog::reject();
}

} // namespace tv

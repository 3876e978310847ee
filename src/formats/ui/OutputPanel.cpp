#include "OutputPanel.h"

#include "CatalogFile.h"
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "ComboChooser.h"
#include "Favorites.h"
#include "ImageStore.h"
#include "MessageBox.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tv {

namespace {

// The notice of an empty Favorites tab wraps its text within the page's fixed height; a label
// that asked for a height for its width would make the window's scrolling area grow to it.
class FixedNoticeLabel : public QLabel {
public:
    using QLabel::QLabel;
    bool hasHeightForWidth() const override { return false; }
};

// The button arrays keep the names scripts and tests know them by, "Outout" spelling included.
const char *const kButtonArrayNames[kOutputTabCount] = {"Cmd_OutoutFormat", "Cmd_OutoutDevice",
                                                        "Cmd_OutoutAudio", "Cmd_OutoutWeb", "Cmd_Favorites"};

// These outputs are single pictures or animations; joining several of them makes no sense.
bool BlocksMerge(const QString &caption) {
    return caption == QLatin1String("GIF") || caption == QLatin1String("SWF");
}

const char *const kPanelStyle = R"(
QPushButton[outputTab="true"] { border: none; border-bottom: 2px solid transparent; padding: 6px 14px;
    font-weight: 600; background: transparent; }
QPushButton[outputTab="true"]:checked { border-bottom: 2px solid #007AFF; color: #007AFF; }
QToolButton[outputButton="true"] { border: 1px solid transparent; border-radius: 6px; padding: 3px; }
QToolButton[outputButton="true"]:hover { background: rgba(0, 122, 255, 0.08); }
QToolButton[outputButton="true"]:checked { background: rgba(0, 122, 255, 0.16); border: 1px solid #007AFF; }
)";

} // namespace

OutputPanel::OutputPanel(CatalogTable &presets, CatalogTable &favorites, QWidget *parent)
    : QWidget(parent), m_presets(presets), m_favorites(favorites) {
    setObjectName(QStringLiteral("OutputPanel"));
    setStyleSheet(QString::fromLatin1(kPanelStyle));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(4);

    auto *tabRow = new QHBoxLayout();
    tabRow->setSpacing(2);
    for (int tab = 0; tab < kOutputTabCount; ++tab) {
        auto *button = new QPushButton(OutputTabCaption(tab), this);
        button->setObjectName(QStringLiteral("Cmd_PanelOutput(%1)").arg(tab));
        button->setProperty("outputTab", true);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QPushButton::clicked, this, [this, tab]() { Cmd_PanelOutput_Click(tab); });
        Cmd_PanelOutput[tab] = button;
        tabRow->addWidget(button);
    }
    tabRow->addStretch(1);
    outer->addLayout(tabRow);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("OutputPages"));
    for (int tab = 0; tab < kOutputTabCount; ++tab) {
        auto *page = new QWidget(m_pages);
        auto *pageLayout = new QHBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->setSpacing(6);
        if (tab == DeviceTab) {
            ListBox_MakerNames = new QListWidget(page);
            ListBox_MakerNames->setObjectName(QStringLiteral("ListBox_MakerNames"));
            ListBox_MakerNames->setFixedWidth(150);
            connect(ListBox_MakerNames, &QListWidget::currentRowChanged, this,
                    [this]() { ListBox_MakerNames_Click(); });
            pageLayout->addWidget(ListBox_MakerNames);
        }
        ButtonTab &strip = m_tabs[tab];
        strip.scroll = new QScrollArea(page);
        strip.scroll->setObjectName(QStringLiteral("%1Strip").arg(QLatin1String(kButtonArrayNames[tab])));
        strip.scroll->setWidgetResizable(true);
        strip.scroll->setFrameShape(QFrame::NoFrame);
        strip.scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        strip.scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        strip.strip = new QWidget(strip.scroll);
        strip.layout = new QHBoxLayout(strip.strip);
        strip.layout->setContentsMargins(2, 2, 2, 2);
        strip.layout->setSpacing(4);
        strip.layout->addStretch(1);
        strip.scroll->setWidget(strip.strip);
        pageLayout->addWidget(strip.scroll, 1);
        if (tab == FavoritesTab) {
            Pic_FavMsg = new FixedNoticeLabel(page);
            Pic_FavMsg->setObjectName(QStringLiteral("Pic_FavMsg"));
            Pic_FavMsg->setWordWrap(true);
            Pic_FavMsg->setAlignment(Qt::AlignCenter);
            Pic_FavMsg->setTextFormat(Qt::RichText);
            pageLayout->addWidget(Pic_FavMsg, 1);
        }
        m_pages->addWidget(page);
    }
    m_pages->setFixedHeight(100);
    outer->addWidget(m_pages);

    auto *presetRow = new QHBoxLayout();
    lbl_OutputPreset = new QLabel(tr("Preset:"), this);
    lbl_OutputPreset->setObjectName(QStringLiteral("lbl_OutputPreset"));
    Cmd_OutputPreset = new QComboBox(this);
    Cmd_OutputPreset->setObjectName(QStringLiteral("Cmd_OutputPreset"));
    Cmd_OutputPreset->setMinimumWidth(420);
    Cmd_OutputPreset->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lbl_OutputPreset->setBuddy(Cmd_OutputPreset);
    connect(Cmd_OutputPreset, &QComboBox::currentIndexChanged, this, [this]() { Cmd_OutputPreset_Click(); });
    // Hidden on an empty Favorites tab, the row keeps its room, so the tabs above stay put.
    for (QWidget *w : {static_cast<QWidget *>(lbl_OutputPreset), static_cast<QWidget *>(Cmd_OutputPreset)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    presetRow->addWidget(lbl_OutputPreset);
    presetRow->addWidget(Cmd_OutputPreset);
    presetRow->addStretch(1);
    outer->addLayout(presetRow);

    for (int tab = 0; tab < kOutputTabCount; ++tab)
        Cmd_PanelOutput[tab]->setChecked(tab == m_currentTab);
    m_pages->setCurrentIndex(m_currentTab);
}

void OutputPanel::setToolbarButtons(QPushButton *favorite, QPushButton *settings) {
    m_favoriteButton = favorite;
    m_settingsButton = settings;
    updateFavoriteButton();
    updateSettingsButton();
}

void OutputPanel::setFavoritesStorage(const QString &file, int favoriteMax) {
    m_favoritesFile = file;
    m_favoriteMax = favoriteMax;
}

void OutputPanel::setFormatSettingsAvailable(bool available) {
    m_settingsAvailable = available;
    updateSettingsButton();
}

QString OutputPanel::tabMaker(int tab) const {
    return tab == DeviceTab ? deviceMaker() : FixedTabMaker(tab);
}

QString OutputPanel::deviceMaker() const {
    const QListWidgetItem *item = ListBox_MakerNames->currentItem();
    return item ? item->text() : kDeviceMaker;
}

int OutputPanel::selectedButton(int tab) const {
    return tab >= 0 && tab < kButtonTabCount ? m_selectedButton[tab] : -1;
}

QString OutputPanel::currentPresetId() const {
    return Cmd_OutputPreset->currentData().toString();
}

int OutputPanel::currentPresetRow() const {
    const QString id = currentPresetId();
    return id.isEmpty() ? 0 : FindCatalogRow(m_presets, QStringLiteral("ID"), id);
}

QToolButton *OutputPanel::makeButton(const QString &name, const QString &caption, const QString &thumbnail) {
    auto *button = new QToolButton();
    button->setObjectName(name);
    button->setProperty("outputButton", true);
    button->setText(caption);
    button->setToolTip(caption);
    if (!thumbnail.isEmpty())
        button->setIcon(ThemeIcon(thumbnail));
    button->setIconSize(QSize(40, 40));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setCheckable(true);
    // The whole caption shows; the strip scrolls rather than squeezing it.
    button->setMinimumWidth(std::max(84, button->fontMetrics().horizontalAdvance(caption) + 18));
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

namespace {

// Takes the buttons out of the strip. They go later, since one of them may be the button
// whose click is being handled.
void DiscardButtons(QList<QToolButton *> &buttons) {
    for (QToolButton *button : buttons) {
        button->hide();
        button->setObjectName(QString());
        button->deleteLater();
    }
    buttons.clear();
}

} // namespace

void OutputPanel::buildTabButtons(int tab) {
    ButtonTab &strip = m_tabs[tab];
    DiscardButtons(strip.buttons);
    const KeywordList list = CollectKeywords(m_presets, tabMaker(tab));
    const QStringList keywords = SplitBarList(list.keywords);
    const QStringList thumbnails = SplitBarList(list.thumbnails);
    for (int i = 0; i < keywords.size(); ++i) {
        QToolButton *button =
            makeButton(QStringLiteral("%1(%2)").arg(QLatin1String(kButtonArrayNames[tab])).arg(i),
                       keywords.at(i), thumbnails.value(i));
        connect(button, &QToolButton::clicked, this, [this, tab, i, button]() {
            // A click on the checked button leaves everything as it is.
            if (!button->isChecked()) {
                button->setChecked(true);
                return;
            }
            button->setChecked(false);
            Cmd_Outout_Click(tab, i);
        });
        strip.layout->insertWidget(strip.layout->count() - 1, button);
        strip.buttons.append(button);
    }
    if (m_selectedButton[tab] >= strip.buttons.size())
        m_selectedButton[tab] = 0;
}

void OutputPanel::rebuildFavoriteButtons() {
    ButtonTab &strip = m_tabs[FavoritesTab];
    DiscardButtons(strip.buttons);
    const QList<FavoriteKeyword> keywords = RefreshFavorites(m_favorites, m_presets);
    for (int i = 0; i < keywords.size(); ++i) {
        const FavoriteKeyword &favorite = keywords.at(i);
        QToolButton *button =
            makeButton(QStringLiteral("Cmd_Favorites(%1)").arg(i), favorite.keyword, favorite.thumbnail);
        button->setProperty("Tag", favorite.maker);
        connect(button, &QToolButton::clicked, this, [this, i, button]() {
            if (!button->isChecked()) {
                button->setChecked(true);
                return;
            }
            button->setChecked(false);
            Cmd_Favorites_Click(i);
        });
        strip.layout->insertWidget(strip.layout->count() - 1, button);
        strip.buttons.append(button);
    }
    Pic_FavMsg->setText(
        QStringLiteral("<p><img src=\"%1\" width=\"32\" height=\"32\"></p><p>%2</p>")
            .arg(ThemeFolder() + QStringLiteral("img_favorite_off.png"),
                 tr("No favorites yet. Choose a preset on another tab and click the star on the toolbar to "
                    "keep it here.")));
}

void OutputPanel::rebuildMakerList() {
    QStringList makers{kDeviceMaker};
    const int makerColumn = m_presets.columnOf(QStringLiteral("Maker"));
    for (int row = 1; row <= m_presets.rows(); ++row) {
        const QString maker = m_presets.cell(row, makerColumn).trimmed();
        if (!maker.isEmpty() && maker != kVideoMaker && maker != kAudioMaker && maker != kWebMaker &&
            !makers.contains(maker))
            makers.append(maker);
    }
    const QString current = deviceMaker();
    const QSignalBlocker blocker(ListBox_MakerNames);
    ListBox_MakerNames->clear();
    ListBox_MakerNames->addItems(makers);
    ListBox_MakerNames->setCurrentRow(std::max(0, static_cast<int>(makers.indexOf(current))));
    // With a single maker the list would offer no choice.
    ListBox_MakerNames->setVisible(makers.size() > 1);
}

void OutputPanel::BuildOutputButtons() {
    rebuildMakerList();
    for (int tab = 0; tab < kButtonTabCount; ++tab)
        buildTabButtons(tab);
    rebuildFavoriteButtons();
}

void OutputPanel::RefreshFavoriteButtons() {
    rebuildFavoriteButtons();
    if (m_currentTab == FavoritesTab)
        SelectPanel(FavoritesTab);
}

void OutputPanel::RefillOutputPanels() {
    BuildOutputButtons();
    SelectPanel(m_currentTab);
}

void OutputPanel::setPresetRowVisible(bool visible) {
    m_presetRowVisible = visible;
    lbl_OutputPreset->setVisible(visible);
    Cmd_OutputPreset->setVisible(visible);
    updateFavoriteButton();
    updateSettingsButton();
}

void OutputPanel::Cmd_PanelOutput_Click(int tab) {
    SelectPanel(tab);
}

void OutputPanel::SelectPanel(int tab) {
    if (tab < 0 || tab >= kOutputTabCount)
        return;
    m_currentTab = tab;
    m_pages->setCurrentIndex(tab);
    for (int i = 0; i < kOutputTabCount; ++i)
        Cmd_PanelOutput[i]->setChecked(i == tab);
    setPresetRowVisible(true);

    ButtonTab &strip = m_tabs[tab];
    if (tab == FavoritesTab) {
        const bool empty = m_favorites.rows() == 0 || strip.buttons.isEmpty();
        strip.scroll->setVisible(!empty);
        Pic_FavMsg->setVisible(empty);
        if (empty) {
            setPresetRowVisible(false);
            return;
        }
        strip.buttons.first()->setChecked(false);
        Cmd_Favorites_Click(0);
        strip.scroll->ensureWidgetVisible(strip.buttons.first());
        return;
    }
    if (strip.buttons.isEmpty()) {
        const QSignalBlocker blocker(Cmd_OutputPreset);
        Cmd_OutputPreset->clear();
        m_currentKeyword.clear();
        updateFavoriteButton();
        return;
    }
    const int index = std::clamp(m_selectedButton[tab], 0, static_cast<int>(strip.buttons.size()) - 1);
    strip.buttons.at(index)->setChecked(false);
    Cmd_Outout_Click(tab, index);
    strip.scroll->ensureWidgetVisible(strip.buttons.at(index));
}

// Checks the strip's button alone; answers nullptr when there is nothing to do.
QToolButton *OutputPanel::checkAlone(int tab, int index) {
    ButtonTab &strip = m_tabs[tab];
    if (index < 0 || index >= strip.buttons.size())
        return nullptr;
    QToolButton *button = strip.buttons.at(index);
    if (button->isChecked())
        return nullptr;
    for (QToolButton *other : strip.buttons)
        other->setChecked(false);
    button->setChecked(true);
    return button;
}

void OutputPanel::Cmd_Outout_Click(int tab, int index) {
    QToolButton *button = checkAlone(tab, index);
    if (!button)
        return;
    const QString caption = button->text();
    m_currentKeyword = caption;
    m_selectedButton[tab] = index;
    // A button without a remembered slot starts at the first preset.
    fillChooser(m_presets, tabMaker(tab), caption, std::max(0, m_remembered.index(tab, index)));
    emit mergeAvailableChanged(!(tab == VideoTab && BlocksMerge(caption)));
    Cmd_OutputPreset_Click();
}

void OutputPanel::Cmd_Favorites_Click(int index) {
    QToolButton *button = checkAlone(FavoritesTab, index);
    if (!button)
        return;
    const QString caption = button->text();
    m_currentKeyword = caption;
    fillChooser(m_favorites, button->property("Tag").toString(), caption, 0);
    emit mergeAvailableChanged(!BlocksMerge(caption));
    Cmd_OutputPreset_Click();
}

void OutputPanel::fillChooser(const CatalogTable &table, const QString &maker, const QString &keyword,
                              int select) {
    QList<PresetListEntry> entries;
    {
        const QSignalBlocker blocker(Cmd_OutputPreset);
        ComboChooser chooser(Cmd_OutputPreset);
        FillPresetChooser(table, maker, keyword, chooser);
        const int count = Cmd_OutputPreset->count();
        Cmd_OutputPreset->setCurrentIndex(count == 0 ? -1 : (select < count ? select : 0));
        for (int i = 0; i < count; ++i) {
            const QString id = Cmd_OutputPreset->itemData(i).toString();
            const int row = FindCatalogRow(m_presets, QStringLiteral("ID"), id);
            entries.append(
                {Cmd_OutputPreset->itemText(i), id,
                 GetCatalogField(m_presets, row, QStringLiteral("Removable")) == QLatin1String("Yes")});
        }
    }
    emit presetListLoaded(entries);
}

void OutputPanel::Cmd_OutputPreset_Click() {
    const int index = Cmd_OutputPreset->currentIndex();
    if (index >= 0 && m_currentTab < kButtonTabCount)
        m_remembered.store(m_currentTab, m_selectedButton[m_currentTab], index);
    updateFavoriteButton();
    const int row = currentPresetRow();
    if (row > 0)
        emit presetChosen(row);
}

void OutputPanel::ListBox_MakerNames_Click() {
    m_remembered.resetDevices();
    buildTabButtons(DeviceTab);
    m_selectedButton[DeviceTab] = 0;
    if (m_currentTab == DeviceTab && !m_tabs[DeviceTab].buttons.isEmpty())
        Cmd_Outout_Click(DeviceTab, 0);
}

void OutputPanel::ShowFavoriteState(const QString &presetId) {
    if (!m_favoriteButton)
        return;
    const bool favorite = FindFavorite(m_favorites, presetId) > 0;
    m_favoriteButton->setToolTip(favorite ? tr("Remove from favorites tab") : tr("Add to favorites tab"));
    m_favoriteButton->setIcon(
        ThemeIcon(favorite ? QStringLiteral("img_favorite_on.png") : QStringLiteral("img_favorite_off.png")));
}

void OutputPanel::updateFavoriteButton() {
    if (!m_favoriteButton)
        return;
    ShowFavoriteState(currentPresetId());
    // Off the favorites tab the first entry (the custom placeholder) cannot become a favorite.
    const int index = Cmd_OutputPreset->currentIndex();
    m_favoriteButton->setVisible(m_presetRowVisible && index >= 0 &&
                                 (m_currentTab == FavoritesTab || index != 0));
}

void OutputPanel::updateSettingsButton() {
    if (!m_settingsButton)
        return;
    m_settingsButton->setVisible(m_presetRowVisible);
    m_settingsButton->setEnabled(m_settingsAvailable && m_currentTab != FavoritesTab);
}

bool OutputPanel::SelectOutputFormat(const QString &name, const QString &maker, const QString &keyword) {
    int tab = TabOfMaker(maker);
    if (tab == DeviceTab) {
        const QList<QListWidgetItem *> found = ListBox_MakerNames->findItems(maker, Qt::MatchExactly);
        if (found.isEmpty()) {
            ShowMessage(tr("There are no results to display!"), MsgInformation, tr("Search"));
            return false;
        }
        const int makerRow = ListBox_MakerNames->row(found.first());
        if (makerRow != ListBox_MakerNames->currentRow()) {
            const QSignalBlocker blocker(ListBox_MakerNames);
            ListBox_MakerNames->setCurrentRow(makerRow);
            m_remembered.resetDevices();
            buildTabButtons(DeviceTab);
            m_selectedButton[DeviceTab] = 0;
        }
    }
    const QList<QToolButton *> &buttons = m_tabs[tab].buttons;
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons.at(i)->text() == keyword) {
            m_selectedButton[tab] = i;
            break;
        }
    }
    SelectPanel(tab);
    const int entry = Cmd_OutputPreset->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry >= 0)
        Cmd_OutputPreset->setCurrentIndex(entry);
    return true;
}

void OutputPanel::ToggleFavorite() {
    if (m_favorites.columns() == 0)
        CopyCatalogColumns(m_presets, m_favorites);
    const QString id = currentPresetId();
    const int favoriteRow = FindFavorite(m_favorites, id);
    if (favoriteRow == 0) {
        const int presetRow = FindCatalogRow(m_presets, QStringLiteral("ID"), id);
        if (id.isEmpty() || presetRow == 0)
            return;
        const QString problem = AddToFavorites(m_presets, presetRow, m_favorites, m_favoriteMax);
        if (!problem.isEmpty()) {
            ShowMessage(problem, MsgExclamation, QString());
            return;
        }
    } else {
        RemoveFavorite(m_favorites, favoriteRow);
    }
    // The table in memory stays as it is when the file cannot be written.
    if (!m_favoritesFile.isEmpty() && !SaveCatalogFile(m_favorites, m_favoritesFile, true))
        ShowMessage(QStringLiteral("The favorites could not be saved to \"%1\".\n\nThey stay as they are "
                                   "until Tunevane is closed.")
                        .arg(m_favoritesFile),
                    MsgExclamation, QStringLiteral("Attention!"));
    RefreshFavoriteButtons();
    if (m_currentTab != FavoritesTab)
        updateFavoriteButton();
}

void OutputPanel::OpenFormatSettings() {
    if (m_settingsAvailable)
        emit formatSettingsRequested();
}

void OutputPanel::SetPresetEntries(const QList<PresetListEntry> &entries, int index) {
    {
        const QSignalBlocker blocker(Cmd_OutputPreset);
        Cmd_OutputPreset->clear();
        for (const PresetListEntry &entry : entries)
            Cmd_OutputPreset->addItem(entry.name, entry.id);
        Cmd_OutputPreset->setCurrentIndex(index >= 0 && index < entries.size() ? index : -1);
    }
    Cmd_OutputPreset_Click();
}

QList<QWidget *> OutputPanel::focusOrder() const {
    QList<QWidget *> order(Cmd_PanelOutput.cbegin(), Cmd_PanelOutput.cend());
    if (m_currentTab == DeviceTab && ListBox_MakerNames)
        order << ListBox_MakerNames;
    if (m_currentTab >= 0 && m_currentTab < kOutputTabCount) {
        for (QToolButton *button : m_tabs[m_currentTab].buttons)
            order << button;
    }
    order << Cmd_OutputPreset;
    return order;
}

} // namespace tv

#include "frmSearch.h"

#include "CatalogTable.h"
#include "ImageStore.h"
#include "OutputTabs.h"
#include "PresetSearch.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tv {

namespace {

// The results as people read them: tab captions instead of the makers' internal names, and
// captions over the columns.
class SearchResultsView : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role) const override {
        const QVariant value = QIdentityProxyModel::data(index, role);
        if (role == Qt::DisplayRole && index.column() == 1)
            return OutputTabCaption(TabOfMaker(value.toString()));
        return value;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char *const kCaptions[] = {"Preset", "Tab", "Format"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 3)
            return QCoreApplication::translate("frmSearch", kCaptions[section]);
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
};

} // namespace

frmSearch::frmSearch(const CatalogTable &presets, QWidget *parent) : QDialog(parent), m_presets(presets) {
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(tr("Search"));
    setWindowIcon(ThemeIcon(QStringLiteral("img_search_format.png")));
    m_results = new CatalogTable(this);
    m_results->setObjectName(QStringLiteral("SearchResults"));

    auto *layout = new QVBoxLayout(this);
    auto *searchRow = new QHBoxLayout();
    Txt_Search = new QLineEdit(this);
    Txt_Search->setObjectName(QStringLiteral("Txt_Search"));
    Txt_Search->setPlaceholderText(tr("Type part of a preset name, format or device"));
    Txt_Search->setClearButtonEnabled(false);
    connect(Txt_Search, &QLineEdit::textChanged, this, &frmSearch::Txt_Search_Change);
    Cmd_Search = new QToolButton(this);
    Cmd_Search->setObjectName(QStringLiteral("Cmd_Search"));
    Cmd_Search->setToolTip(tr("Clear the search"));
    Cmd_Search->setIconSize(QSize(20, 20));
    connect(Cmd_Search, &QToolButton::clicked, Txt_Search, &QLineEdit::clear);
    searchRow->addWidget(Txt_Search, 1);
    searchRow->addWidget(Cmd_Search);
    layout->addLayout(searchRow);

    View_Found = new QTableView(this);
    View_Found->setObjectName(QStringLiteral("View_Found"));
    SearchPresets(m_presets, QString(), *m_results); // gives the list its three columns
    auto *shown = new SearchResultsView(this);
    shown->setSourceModel(m_results);
    View_Found->setModel(shown);
    View_Found->setSelectionBehavior(QAbstractItemView::SelectRows);
    View_Found->setSelectionMode(QAbstractItemView::SingleSelection);
    View_Found->setEditTriggers(QAbstractItemView::NoEditTriggers);
    View_Found->setAlternatingRowColors(true);
    View_Found->verticalHeader()->hide();
    View_Found->setShowGrid(false);
    View_Found->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    View_Found->horizontalHeader()->resizeSection(1, 100);
    View_Found->horizontalHeader()->resizeSection(2, 100);
    View_Found->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Interactive);
    View_Found->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Interactive);
    connect(View_Found, &QTableView::doubleClicked, this, [this]() { Cmd_Panels_Click(0); });
    layout->addWidget(View_Found, 1);

    auto *buttonRow = new QHBoxLayout();
    lbl_TotalPreset = new QLabel(PresetCountText(0), this);
    lbl_TotalPreset->setObjectName(QStringLiteral("lbl_TotalPreset"));
    buttonRow->addWidget(lbl_TotalPreset, 1);
    Cmd_Panels[0] = new QPushButton(tr("OK"), this);
    Cmd_Panels[1] = new QPushButton(tr("Cancel"), this);
    for (int i = 0; i < 2; ++i) {
        Cmd_Panels[i]->setObjectName(QStringLiteral("Cmd_Panels(%1)").arg(i));
        connect(Cmd_Panels[i], &QPushButton::clicked, this, [this, i]() { Cmd_Panels_Click(i); });
        buttonRow->addWidget(Cmd_Panels[i]);
    }
    Cmd_Panels[0]->setDefault(true);
    Cmd_Panels[0]->setEnabled(false);
    Cmd_Panels[1]->setAutoDefault(false);
    layout->addLayout(buttonRow);

    Timer_OK_Button = new QTimer(this);
    Timer_OK_Button->setObjectName(QStringLiteral("Timer_OK_Button"));
    Timer_OK_Button->setInterval(100);
    connect(Timer_OK_Button, &QTimer::timeout, this, &frmSearch::Timer_OK_Button_Timer);
    Timer_OK_Button->start();
    Timer_OK_Button_Timer();

    resize(620, 420);
    // Down goes from the search text into the results.
    Txt_Search->installEventFilter(this);
    Txt_Search->setFocus();
}

frmSearch::~frmSearch() = default;

void frmSearch::Txt_Search_Change() {
    const int count = SearchPresets(m_presets, Txt_Search->text(), *m_results);
    if (count > 0)
        View_Found->selectRow(0);
    lbl_TotalPreset->setText(PresetCountText(count));
}

void frmSearch::Timer_OK_Button_Timer() {
    const int selected = static_cast<int>(View_Found->selectionModel()->selectedRows().size());
    Cmd_Panels[0]->setEnabled(selected == 1);
    const bool empty = Txt_Search->text().isEmpty();
    Cmd_Search->setEnabled(!empty);
    // The picture changes only when the state does, so the timer does not reload it.
    if (m_searchIconIsRemove == empty) {
        m_searchIconIsRemove = !empty;
        Cmd_Search->setIcon(
            ThemeIcon(empty ? QStringLiteral("img_search.png") : QStringLiteral("img_search_remove.png")));
    }
}

void frmSearch::Cmd_Panels_Click(int index) {
    if (index != 0) {
        reject();
        return;
    }
    const QModelIndexList rows = View_Found->selectionModel()->selectedRows();
    if (rows.size() != 1)
        return;
    const int row = rows.first().row() + 1;
    const QString name = m_results->cell(row, 0).trimmed();
    const QString maker = m_results->cell(row, 1);
    const QString keyword = m_results->cell(row, 2);
    hide();
    emit outputChosen(name, maker, keyword);
    accept();
}

void frmSearch::keyPressEvent(QKeyEvent *event) {
    // Enter on a selected result accepts it, like a double-click.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        Cmd_Panels_Click(0);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmSearch::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Txt_Search && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down && m_results->rows() > 0) {
        View_Found->setFocus(Qt::TabFocusReason);
        if (View_Found->selectionModel()->selectedRows().isEmpty())
            View_Found->selectRow(0);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tv

#include "FileListView.h"

#include "Config.h"
#include "FileListDelegate.h"
#include "FileListFooter.h"
#include "FileListModel.h"
#include "FolderOpener.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QThreadPool>
#include <QVBoxLayout>

namespace tv {

namespace {

constexpr int kNameColumn = 1;

void InsertNumbered(QMenu *menu, int number, QAction *action) {
    action->setObjectName(QStringLiteral("mnuFileList(%1)").arg(number));
    action->setProperty("menuNumber", number);
    QAction *before = nullptr;
    for (QAction *existing : menu->actions()) {
        if (existing->property("menuNumber").toInt() > number) {
            before = existing;
            break;
        }
    }
    menu->insertAction(before, action);
}

} // namespace

FileListView::FileListView(QWidget *parent) : QTableView(parent), m_model(new FileListModel(this)) {
    setObjectName(QStringLiteral("FileViewMain"));
    setModel(m_model);
    setItemDelegate(new FileListDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A click on the name of the selected row renames it (see the mouse handlers); F2 as well.
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setShowGrid(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    setDragDropOverwriteMode(false);

    buildColumns();
    buildMenu();

    connect(m_model, &FileListModel::filesDropped, this, [this](const QStringList &paths) {
        if (!conversionBusy())
            emit filesDropped(paths);
    });
    connect(m_model, &FileListModel::rowsRearranged, this,
            [this]() { emit showInputInfoRequested(focusedRow()); });
    UpdateListFooters();
}

void FileListView::buildColumns() {
    QHeaderView *header = horizontalHeader();
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    // The last shown column (the progress) takes the room the others leave.
    header->setStretchLastSection(true);
    header->setMinimumSectionSize(16);
    for (int column = 0; column < m_model->columnCount(); ++column) {
        setColumnWidth(column, ColumnWidth(column));
        setColumnHidden(column, column >= kFirstHiddenColumn);
    }
}

void FileListView::buildMenu() {
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("mnuFileLists"));
    m_menu->setSeparatorsCollapsible(true);

    m_openLocation = new QAction(tr("Open file location..."), m_menu);
    connect(m_openLocation, &QAction::triggered, this, &FileListView::openFileLocation);
    InsertNumbered(m_menu, 1, m_openLocation);
    for (int number : {2, 4, 7, 10}) {
        auto *separator = new QAction(m_menu);
        separator->setSeparator(true);
        InsertNumbered(m_menu, number, separator);
    }
    m_remove = new QAction(tr("Remove"), m_menu);
    connect(m_remove, &QAction::triggered, this, &FileListView::RemoveSelectedFiles);
    InsertNumbered(m_menu, 5, m_remove);
    m_removeAll = new QAction(tr("Remove All"), m_menu);
    connect(m_removeAll, &QAction::triggered, this, &FileListView::RemoveAllFiles);
    InsertNumbered(m_menu, 6, m_removeAll);
}

void FileListView::addPopupEntry(int number, QAction *action) {
    action->setParent(m_menu);
    InsertNumbered(m_menu, number, action);
}

int FileListView::focusedRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

QList<int> FileListView::selectedRowNumbers() const {
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FileListView::deleteThumbnails(const QStringList &paths) const {
    // Only pictures this program made in its temporary folder are ever deleted; the removal
    // runs off the window's thread, so clearing thousands of rows stays instant.
    const QString temp = QDir::cleanPath(Paths().tempFolder);
    QStringList ours;
    for (const QString &path : paths) {
        if (!path.isEmpty() && !temp.isEmpty() && QFileInfo(path).absolutePath() == temp)
            ours << path;
    }
    if (ours.isEmpty())
        return;
    QThreadPool::globalInstance()->start([ours]() {
        for (const QString &path : ours)
            QFile::remove(path);
    });
}

void FileListView::RemoveSelectedFiles() {
    // Jobs report by row number: the list keeps its rows until the batch ends.
    if (conversionBusy())
        return;
    emit stopPlayerRequested();
    const QList<int> rows = selectedRowNumbers();
    if (rows.isEmpty())
        return;
    const bool hadRows = m_model->rowCount() > 0;
    const QList<MediaItem> removed = m_model->removeRowsAt(rows);
    QStringList thumbnails;
    for (const MediaItem &item : removed)
        thumbnails << item[Item::Thumbnail];
    deleteThumbnails(thumbnails);
    afterRemoval(hadRows);
}

void FileListView::RemoveAllFiles() {
    if (conversionBusy())
        return;
    emit stopPlayerRequested();
    const bool hadRows = m_model->rowCount() > 0;
    const QList<MediaItem> removed = m_model->clearRows();
    QStringList thumbnails;
    for (const MediaItem &item : removed)
        thumbnails << item[Item::Thumbnail];
    deleteThumbnails(thumbnails);
    afterRemoval(hadRows);
}

void FileListView::afterRemoval(bool hadRows) {
    UpdateListFooters();
    const int rows = m_model->rowCount();
    if (rows > 0) {
        if (!currentIndex().isValid())
            setCurrentIndex(m_model->index(qMin(rows - 1, 0), kNameColumn));
        selectionModel()->select(currentIndex(),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        emit showInputInfoRequested(focusedRow());
    } else {
        emit showInputInfoRequested(-1);
        if (hadRows)
            emit listStateChanged(false);
    }
}

void FileListView::ShowListState() {
    if (m_model->rowCount() == 0) {
        emit listStateChanged(false);
        return;
    }
    emit listStateChanged(true);
    // Selected outright, whatever keys happen to be held while the import ends.
    setCurrentIndex(m_model->index(0, kNameColumn));
    selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit showInputInfoRequested(0);
    setFocus();
}

void FileListView::UpdateListFooters() {
    m_model->UpdateListFooters();
}

void FileListView::ShowRowProgress(int row, int column, int percent) {
    if (row == -1 || column == -1 || row >= m_model->rowCount() || column >= m_model->columnCount())
        return;
    const int left = columnViewportPosition(column);
    const int top = rowViewportPosition(row);
    const RowProgressCell cell =
        RowProgressGeometry(left, top, left + columnWidth(column), top + rowHeight(row), percent);
    m_model->setRowProgress(row, cell);
}

bool FileListView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) {
    if (!index.isValid())
        return QTableView::edit(index, trigger, event);
    const bool renameTrigger =
        trigger == QAbstractItemView::EditKeyPressed || trigger == QAbstractItemView::AllEditTriggers;
    if (!renameTrigger || index.column() != kNameColumn || conversionBusy() ||
        selectedRowNumbers() != QList<int>{index.row()})
        return false;
    emit stopPlayerRequested();
    m_model->setRenameEnabled(true);
    const bool started = QTableView::edit(index, trigger, event);
    if (!started)
        m_model->setRenameEnabled(false);
    return started;
}

void FileListView::mousePressEvent(QMouseEvent *event) {
    // Renaming starts when the name of the row that was already the only selected one is clicked.
    const QModelIndex index = indexAt(event->position().toPoint());
    m_renameCandidate = QPersistentModelIndex();
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier &&
        index.column() == kNameColumn && selectedRowNumbers() == QList<int>{index.row()})
        m_renameCandidate = index;
    QTableView::mousePressEvent(event);
}

void FileListView::mouseReleaseEvent(QMouseEvent *event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool rename = m_renameCandidate.isValid() && index == m_renameCandidate && state() != DraggingState;
    m_renameCandidate = QPersistentModelIndex();
    QTableView::mouseReleaseEvent(event);
    if (rename)
        edit(index, QAbstractItemView::AllEditTriggers, event);
}

void FileListView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    m_model->setRenameEnabled(false);
}

void FileListView::keyPressEvent(QKeyEvent *event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool plain = (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
    if (plain && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Space)) {
        // Shortcuts are ignored while a conversion runs; the list then stays as the jobs know it.
        if (!conversionBusy()) {
            if (event->key() == Qt::Key_Space)
                emit togglePlayerRequested();
            else if (shift)
                RemoveAllFiles();
            else
                RemoveSelectedFiles();
        }
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void FileListView::contextMenuEvent(QContextMenuEvent *event) {
    const bool busy = conversionBusy();
    const bool hasRows = m_model->rowCount() > 0;
    m_openLocation->setEnabled(focusedRow() >= 0);
    m_remove->setEnabled(!busy && !selectedRowNumbers().isEmpty());
    m_removeAll->setEnabled(!busy && hasRows);
    m_menu->popup(event->globalPos());
    event->accept();
}

void FileListView::openFileLocation() {
    const int row = focusedRow();
    if (row < 0)
        return;
    OpenFolder(window(), m_model->mediaItem(row).inputPath(), true, false);
}

void FileListView::startDrag(Qt::DropActions supportedActions) {
    if (conversionBusy())
        return;
    QTableView::startDrag(supportedActions);
}

void FileListView::dragEnterEvent(QDragEnterEvent *event) {
    if (conversionBusy()) {
        event->ignore();
        return;
    }
    QTableView::dragEnterEvent(event);
}

void FileListView::dragMoveEvent(QDragMoveEvent *event) {
    if (conversionBusy()) {
        event->ignore();
        return;
    }
    QTableView::dragMoveEvent(event);
}

void FileListView::dropEvent(QDropEvent *event) {
    if (conversionBusy()) {
        event->ignore();
        return;
    }
    QTableView::dropEvent(event);
}

void FileListView::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QTableView::currentChanged(current, previous);
    if (current.row() != previous.row() || current.isValid() != previous.isValid())
        emit showInputInfoRequested(current.isValid() ? current.row() : -1);
}

FileListPanel::FileListPanel(QWidget *parent) : QWidget(parent), m_view(new FileListView(this)) {
    setObjectName(QStringLiteral("FileViewMain_Panel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    auto *footer = new FileListFooter(m_view->horizontalHeader(), m_view->list(), this);
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, footer, qOverload<>(&QWidget::update));
    layout->addWidget(footer);
}

} // namespace tv

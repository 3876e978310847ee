#pragma once
// The main window's file list FileViewMain: the rows of media items in 46 columns (the first
// five shown), footers, status icons and progress figures, in-place renaming of "Name", the
// keyboard shortcuts, row dragging and the pop-up menu mnuFileLists.

#include <QPersistentModelIndex>
#include <QTableView>
#include <functional>

class QMenu;

namespace tv {

class FileListFooter;
class FileListModel;

class FileListView : public QTableView {
    Q_OBJECT
public:
    explicit FileListView(QWidget *parent = nullptr);

    FileListModel *list() const { return m_model; }
    using QTableView::edit;

    // Whether a conversion is running or paused; the conversion driver sets the test. While it
    // answers true the shortcuts, renaming, row dragging and dropped files are refused.
    void setConversionBusyTest(std::function<bool()> test) { m_busyTest = std::move(test); }
    bool conversionBusy() const { return m_busyTest && m_busyTest(); }

    void RemoveSelectedFiles();
    void RemoveAllFiles();
    void UpdateListFooters();
    // After an import: with rows, the list state, the first row selected and shown in the
    // information panel, the focus on the list; without, the empty-list state.
    void ShowListState();
    // Draws a progress figure into a cell from the cell's rectangle; row or column -1 does nothing.
    void ShowRowProgress(int row, int column, int percent);

    // The row whose information the panel shows: the current row, -1 without one.
    int focusedRow() const;
    QList<int> selectedRowNumbers() const;

    // The pop-up menu; entries keep their number as their place (mnuFileList(1) ... (11)), so
    // entries added later by other windows land where they belong.
    QMenu *mnuFileLists() const { return m_menu; }
    void addPopupEntry(int number, QAction *action);

Q_SIGNALS:
    // The preview player is to stop (before removing rows or renaming) or to toggle play and
    // pause (Space); the player connects here.
    void stopPlayerRequested();
    void togglePlayerRequested();
    // The information panel is to show this row (-1: to be cleared).
    void showInputInfoRequested(int row);
    // Files or folders were dropped onto the list.
    void filesDropped(const QStringList &paths);
    // The list went from empty to filled or back; the main window's interface state follows.
    void listStateChanged(bool hasRows);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void buildColumns();
    void buildMenu();
    void openFileLocation();
    void deleteThumbnails(const QStringList &paths) const;
    void afterRemoval(bool hadRows);

    FileListModel *m_model = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_openLocation = nullptr;
    QAction *m_remove = nullptr;
    QAction *m_removeAll = nullptr;
    std::function<bool()> m_busyTest;
    QPersistentModelIndex m_renameCandidate; // the name cell pressed while its row was the only one selected
};

// The list with its footer row beneath it, as the main window places it.
class FileListPanel : public QWidget {
    Q_OBJECT
public:
    explicit FileListPanel(QWidget *parent = nullptr);
    FileListView *view() const { return m_view; }

private:
    FileListView *m_view;
};

} // namespace tv

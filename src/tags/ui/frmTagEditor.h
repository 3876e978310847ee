#pragma once
// The tag editor frmTagEditor: one media item of the file list at a time, with its file
// properties ("Format" page) and its tag values and cover ("Tag" page). Edited values go back
// into the item's fields, from where every converted output gets them; the input file itself is
// never written. Shown modally over the main window.

#include "TagEditorState.h"
#include "Task.h"

#include <QDialog>
#include <QHash>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace tv {

class FileListModel;

class frmTagEditor : public QDialog {
    Q_OBJECT
public:
    // The list whose items are edited, and the main window that owns the editor.
    frmTagEditor(FileListModel *list, QWidget *mainWindow);
    ~frmTagEditor() override;

    // Opening: the genre choices, the item at index, the theme's colours; nothing changed.
    void Form_Load(int index);
    // The window's two operations: show an item, store the shown values into an item.
    void ShowItem(int index);
    bool Save(int index);

    // Read-only while a conversion runs or is paused: the values can be looked at, not changed.
    void setReadOnly(bool readOnly);

    const TagEditorState &state() const { return m_state; }
    QPushButton *Cmd_Properties(int index) const { return m_buttons.value(index); }
    // The shown cover is still being read (large pictures are read off the window's thread).
    bool coverLoading() const { return m_coverLoading; }

Q_SIGNALS:
    // The cover of the shown item is in place (or the empty cover, when there is none).
    void coverShown();

protected:
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static constexpr int kCoverSide = 200; // the cover box, in pixels
    void buildLayout();
    QWidget *buildTagPage();
    QWidget *buildFormatPage();
    QPushButton *addButton(int index, const QString &caption, const QString &image, const QString &toolTip);
    void connectBoxes();
    void Cmd_Properties_Click(int index);

    void fillBoxes();
    void showProperties();
    void showPicture(const QString &path);
    void showCoverImage(const QImage &image, const QSize &size);
    void showEmptyCover();
    void setPictureButtons(bool pictureShown);
    void applyThemeColours();
    void updateEditable();
    void onListChanged();

    void openFileLocation();
    void savePictureAs();
    void removePicture();
    void apply();
    void step(int delta);
    void choosePicture();
    // Copies the chosen picture into the temporary folder in the background.
    void stagePicture(const QString &path);
    void applyToAll();
    // "Do you want to save changes?": true on Yes.
    static bool SaveWanted();
    void showFailure(const QString &text);

    TagEditorState m_state;
    QWidget *m_mainWindow;

    // Controls (UI thread).
    QLineEdit *TextTrack = nullptr;
    QLineEdit *TextTitle = nullptr;
    QLineEdit *TextArtist = nullptr;
    QLineEdit *TextAlbum = nullptr;
    QLineEdit *TextYear = nullptr;
    QComboBox *Cmb_Genre = nullptr;
    QLineEdit *TextBoxCopyright = nullptr;
    QLineEdit *TextComposer = nullptr;
    QPlainTextEdit *TextBoxComments = nullptr;
    std::array<QWidget *, kTagBoxCount> m_boxes{};
    QLabel *TagImg = nullptr;
    QLabel *lbl_ImageSize = nullptr;
    QLineEdit *Txt_FileName = nullptr;
    QLabel *lbl_Titles = nullptr;
    QLabel *lbl_Infos = nullptr;
    QLabel *lbl_SelectedFileIndex = nullptr;
    QLabel *lbl_ReadOnly = nullptr;
    QTabWidget *TabControl1 = nullptr;
    QWidget *TabControlPage1 = nullptr;
    QWidget *TabControlPage2 = nullptr;
    QHash<int, QPushButton *> m_buttons;

    bool m_filling = false;        // the boxes are being filled by the window, not typed into
    bool m_coverLoading = false;   // a preview of the shown cover is being read
    TaskRunner m_coverTasks{this}; // reads the shown cover's preview; a newer request drops older ones
    TaskRunner m_tasks{this};      // saves and stores pictures
    bool m_pictureShown = false;   // a picture (not the empty cover) is shown or being read
    bool m_savingPicture = false;  // "Save As" is writing a picture
};

} // namespace tv

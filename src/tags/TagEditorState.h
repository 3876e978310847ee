#pragma once
// What the tag editor remembers and decides, apart from its controls: which item of the file
// list it shows, the nine tag texts being edited, the cover change not stored yet, the changed
// flag, and the rules of applying, applying to all and stepping from item to item. The editor
// stores into the list's items only (items 28 to 36 and the cover in item 43); it never writes
// an input file. Owned and used by the UI thread only.

#include "MediaItem.h"

#include <QString>
#include <array>
#include <functional>

namespace tv {

class FileListModel;

// The nine tag boxes in the order of their items, 28 to 36.
enum TagBox : int {
    BoxTrack = 0,
    BoxTitle,
    BoxArtist,
    BoxAlbum,
    BoxYear,
    BoxGenre,
    BoxCopyright,
    BoxComposer,
    BoxComment,
};
inline constexpr int kTagBoxCount = 9;
inline constexpr int TagBoxItem(int box) {
    return Item::TagTrack + box;
}

// The pending picture of a cover that is to be removed.
inline constexpr char kRemovedPicture[] = "Removed";

class TagEditorState {
public:
    explicit TagEditorState(FileListModel *list);
    ~TagEditorState();
    TagEditorState(const TagEditorState &) = delete;
    TagEditorState &operator=(const TagEditorState &) = delete;

    FileListModel *list() const { return m_list; }
    int count() const;
    int shownIndex() const { return m_shown; }
    // The position text of the shown item: "3 of 12".
    QString positionText() const;

    // Shows an item (clamped to the list): its tag texts, no pending picture, nothing changed.
    void ShowItem(int index);

    QString field(int box) const { return m_fields.at(static_cast<std::size_t>(box)); }
    // A change in a tag box (or a choice in the genre chooser, even of the same text).
    void setField(int box, const QString &text);
    void markChanged();

    bool changed() const { return m_changed; }
    // "" no cover change, "Removed", or the path of the picture chosen to become the cover.
    const QString &pendingPicture() const { return m_pending; }
    bool pendingIsPicture() const;

    // The picture the window shows for the shown item: the chosen one, none once removed,
    // otherwise the item's stored cover when its file is still there.
    QString shownPicture() const;

    void ChoosePicture(const QString &path);
    void RemovePicture();
    // A copy of the chosen picture made ahead of time in the temporary folder (off the window's
    // thread, as the picture may sit on a slow drive): storing the picture then takes no time
    // and no longer needs the drive. A copy of a picture that is no longer the chosen one is
    // deleted at once.
    void setStagedCopy(const QString &source, const QString &copy);
    const QString &stagedCopy() const { return m_stagedCopy; }
    // The picture "Save As" writes out: the chosen one, else the item's stored cover.
    QString SaveAsSource() const;

    // Stores the shown values into item `index`: the trimmed tag texts, and the pending cover
    // change (a chosen picture is copied into the temporary folder first, so the item does not
    // depend on where it came from). False, with the reason in error, when the picture could not
    // be copied; the tag texts are stored all the same.
    bool Save(int index, QString *error = nullptr);
    // Save into the shown item, then nothing is changed any more.
    bool Apply(QString *error = nullptr);
    // The shown tag texts into every item, in order; when the shown item has a stored cover,
    // every item gets its own copy of it (a picture chosen but not applied is dropped); without
    // one every item keeps its cover.
    bool ApplyToAll(QString *error = nullptr);

    // Leaving the shown item (stepping on, or closing): with changes, asks through saveWanted
    // and saves on a yes. False only when the save was wanted and failed.
    using SaveQuestion = std::function<bool()>;
    bool LeaveShownItem(const SaveQuestion &saveWanted, QString *error = nullptr);
    // Next (+1) and previous (-1): leave the shown item, then show the neighbour; the last item
    // stays the last and the first the first. A failed save stays on the shown item.
    bool Step(int delta, const SaveQuestion &saveWanted, QString *error = nullptr);

    // While read-only (a conversion runs) nothing can be changed or stored.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool readOnly() const { return m_readOnly; }

    // The list's rows went away under the editor (the shown index is kept inside the list).
    void ListChanged();

private:
    bool validIndex(int index) const { return index >= 0 && index < count(); }
    // The shown item's cover when its file is still there.
    QString storedCover() const;
    void dropStagedCopy();

    FileListModel *m_list;
    int m_shown = -1;
    std::array<QString, kTagBoxCount> m_fields;
    bool m_changed = false;
    QString m_pending;
    QString m_stagedSource; // the chosen picture the staged copy was made from
    QString m_stagedCopy;   // owned by the editor; rows get their own names for it
    bool m_readOnly = false;
};

} // namespace tv

#include "TagEditorState.h"

#include "FileListModel.h"
#include "TagEditorCovers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tv {

TagEditorState::TagEditorState(FileListModel *list) : m_list(list) {}

TagEditorState::~TagEditorState() {
    dropStagedCopy();
}

void TagEditorState::dropStagedCopy() {
    if (!m_stagedCopy.isEmpty())
        QFile::remove(m_stagedCopy);
    m_stagedCopy.clear();
    m_stagedSource.clear();
}

void TagEditorState::setStagedCopy(const QString &source, const QString &copy) {
    if (copy.isEmpty())
        return;
    if (source != m_pending || source.isEmpty()) {
        QFile::remove(copy);
        return;
    }
    dropStagedCopy();
    m_stagedSource = source;
    m_stagedCopy = copy;
}

int TagEditorState::count() const {
    return m_list ? m_list->rowCount() : 0;
}

QString TagEditorState::positionText() const {
    if (!validIndex(m_shown))
        return QString();
    return QStringLiteral("%1 of %2").arg(m_shown + 1).arg(count());
}

void TagEditorState::ShowItem(int index) {
    m_pending.clear();
    dropStagedCopy();
    m_shown = count() == 0 ? -1 : std::clamp(index, 0, count() - 1);
    for (int box = 0; box < kTagBoxCount; ++box)
        m_fields[static_cast<std::size_t>(box)] =
            validIndex(m_shown) ? m_list->item(m_shown, TagBoxItem(box)) : QString();
    m_changed = false;
}

void TagEditorState::setField(int box, const QString &text) {
    if (m_readOnly || box < 0 || box >= kTagBoxCount)
        return;
    m_fields[static_cast<std::size_t>(box)] = text;
    m_changed = true;
}

void TagEditorState::markChanged() {
    if (!m_readOnly)
        m_changed = true;
}

bool TagEditorState::pendingIsPicture() const {
    return !m_pending.isEmpty() && m_pending != QLatin1String(kRemovedPicture);
}

QString TagEditorState::shownPicture() const {
    if (pendingIsPicture())
        return m_pending;
    return m_pending.isEmpty() ? storedCover() : QString();
}

void TagEditorState::ChoosePicture(const QString &path) {
    if (m_readOnly || path.isEmpty())
        return;
    if (path != m_pending)
        dropStagedCopy();
    m_pending = path;
    m_changed = true;
}

void TagEditorState::RemovePicture() {
    if (m_readOnly)
        return;
    m_pending = QString::fromLatin1(kRemovedPicture);
    dropStagedCopy();
    m_changed = true;
}

QString TagEditorState::SaveAsSource() const {
    if (pendingIsPicture())
        return m_pending;
    return validIndex(m_shown) ? ItemCoverPath(m_list->mediaItem(m_shown)) : QString();
}

bool TagEditorState::Save(int index, QString *error) {
    if (m_readOnly || !validIndex(index))
        return false;
    for (int box = 0; box < kTagBoxCount; ++box)
        m_list->setItem(index, TagBoxItem(box), m_fields[static_cast<std::size_t>(box)].trimmed());

    const QString current = m_list->item(index, Item::Thumbnail);
    if (m_pending == QLatin1String(kRemovedPicture)) {
        // Only a cover goes; a video's thumbnail was never one and stays with its row.
        if (!ItemCoverPath(m_list->mediaItem(index)).isEmpty()) {
            m_list->setItem(index, Item::Thumbnail, QString());
            ReleaseCoverFile(current, *m_list);
        }
    } else if (!m_pending.isEmpty() && m_pending != current) {
        const bool staged = m_pending == m_stagedSource && QFileInfo(m_stagedCopy).isFile();
        const QString stored = StoreItemCover(staged ? m_stagedCopy : m_pending);
        if (stored.isEmpty()) {
            if (error)
                *error = QStringLiteral("The picture could not be copied into the temporary folder:\n") +
                         QDir::toNativeSeparators(m_pending);
            return false;
        }
        m_list->setItem(index, Item::Thumbnail, stored);
        ReleaseCoverFile(current, *m_list);
    }
    return true;
}

bool TagEditorState::Apply(QString *error) {
    if (!Save(m_shown, error))
        return false;
    // The item now holds its own copy of the chosen picture; storing it again would only make
    // another copy of the same picture.
    if (pendingIsPicture()) {
        m_pending.clear();
        dropStagedCopy();
    }
    m_changed = false;
    return true;
}

bool TagEditorState::ApplyToAll(QString *error) {
    if (m_readOnly || !validIndex(m_shown))
        return false;
    // The stored cover (not a picture chosen but not applied) goes to every item; a cover whose
    // file is gone counts as none, so the other items keep theirs.
    m_pending = storedCover();
    dropStagedCopy();
    bool ok = true;
    for (int index = 0; index < count(); ++index) {
        QString failure;
        if (!Save(index, &failure) && ok) {
            ok = false;
            if (error)
                *error = failure;
        }
    }
    if (ok)
        m_changed = false;
    return ok;
}

QString TagEditorState::storedCover() const {
    if (!validIndex(m_shown))
        return QString();
    const QString stored = ItemCoverPath(m_list->mediaItem(m_shown));
    return !stored.isEmpty() && QFileInfo(stored).isFile() ? stored : QString();
}

bool TagEditorState::LeaveShownItem(const SaveQuestion &saveWanted, QString *error) {
    if (!m_changed || m_readOnly || !validIndex(m_shown))
        return true;
    if (!saveWanted || !saveWanted())
        return true;
    return Save(m_shown, error);
}

bool TagEditorState::Step(int delta, const SaveQuestion &saveWanted, QString *error) {
    // A save that failed keeps the item shown, with what was not stored still pending.
    if (!LeaveShownItem(saveWanted, error))
        return false;
    ShowItem(m_shown + delta);
    return true;
}

void TagEditorState::ListChanged() {
    if (!validIndex(m_shown) && count() > 0)
        m_shown = count() - 1;
    else if (count() == 0)
        m_shown = -1;
}

} // namespace tv

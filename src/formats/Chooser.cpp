#include "Chooser.h"

namespace tv {

int Chooser::findEntry(const QString &text) const {
    for (int i = 0; i < entryCount(); ++i) {
        if (entryText(i) == text)
            return i;
    }
    return -1;
}

QStringList Chooser::entryTexts() const {
    QStringList texts;
    for (int i = 0; i < entryCount(); ++i)
        texts.append(entryText(i));
    return texts;
}

void ChoiceList::clearEntries() {
    m_texts.clear();
    m_data.clear();
    m_current = -1;
}

void ChoiceList::addEntry(const QString &text, const QVariant &data) {
    m_texts.append(text);
    m_data.append(data);
    // Like a combo box, the first entry added becomes the selected one.
    if (m_current < 0)
        m_current = 0;
}

void ChoiceList::setCurrentEntry(int index) {
    m_current = index >= 0 && index < entryCount() ? index : -1;
}

} // namespace tv

#include "ComboChooser.h"


#include <QComboBox>

namespace tv {

void ComboChooser::clearEntries() {
    m_combo->clear();
}

void ComboChooser::addEntry(const QString &text, const QVariant &data) {
    m_combo->addItem(text, data);
}

int ComboChooser::entryCount() const {
    return m_combo->count();
}

QString ComboChooser::entryText(int index) const {
    return index >= 0 && index < m_combo->count() ? m_combo->itemText(index) : QString();
}

QVariant ComboChooser::entryData(int index) const {
    return m_combo->itemData(index);
}

int ComboChooser::currentEntry() const {
    return m_combo->currentIndex();
}

void ComboChooser::setCurrentEntry(int index) {
    m_combo->setCurrentIndex(index);
}

bool ComboChooser::isChooserEnabled() const {
    return m_combo->isEnabled();
}

void ComboChooser::setChooserEnabled(bool enabled) {
    m_combo->setEnabled(enabled);
}

} // namespace tv

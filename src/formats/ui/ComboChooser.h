#pragma once
// A combo box seen as a Chooser, so the catalog operations fill the windows' drop-downs.

#include "CatalogOperations.h"
#include "Chooser.h"

class QComboBox;

namespace tv {

class ComboChooser : public Chooser {
public:
    explicit ComboChooser(QComboBox *combo) : m_combo(combo) {}
    void clearEntries() override;
    void addEntry(const QString &text, const QVariant &data = QVariant()) override;
    int entryCount() const override;
    QString entryText(int index) const override;
    QVariant entryData(int index) const override;
    int currentEntry() const override;
    void setCurrentEntry(int index) override;
    bool isChooserEnabled() const override;
    void setChooserEnabled(bool enabled) override;

private:
    QComboBox *m_combo;
};

} // namespace tv

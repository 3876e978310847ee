#pragma once
// A drop-down seen from the catalog operations: entries with a text and item data, one
// selected entry, and an enabled mark. The windows adapt their combo boxes to it; the
// headless ChoiceList serves tests and code that fills lists without a window.

#include <QList>
#include <QString>
#include <QVariant>

namespace tv {

class Chooser {
public:
    virtual ~Chooser() = default;
    virtual void clearEntries() = 0;
    virtual void addEntry(const QString &text, const QVariant &data = QVariant()) = 0;
    virtual int entryCount() const = 0;
    virtual QString entryText(int index) const = 0;
    virtual QVariant entryData(int index) const = 0;
    // -1 when nothing is selected.
    virtual int currentEntry() const = 0;
    virtual void setCurrentEntry(int index) = 0;
    virtual bool isChooserEnabled() const = 0;
    virtual void setChooserEnabled(bool enabled) = 0;

    // The first entry whose text equals the text exactly; -1 when none.
    int findEntry(const QString &text) const;
    QString currentText() const { return entryText(currentEntry()); }
    QStringList entryTexts() const;
};

class ChoiceList : public Chooser {
public:
    void clearEntries() override;
    void addEntry(const QString &text, const QVariant &data = QVariant()) override;
    int entryCount() const override { return static_cast<int>(m_texts.size()); }
    QString entryText(int index) const override { return m_texts.value(index); }
    QVariant entryData(int index) const override { return m_data.value(index); }
    int currentEntry() const override { return m_current; }
    void setCurrentEntry(int index) override;
    bool isChooserEnabled() const override { return m_enabled; }
    void setChooserEnabled(bool enabled) override { m_enabled = enabled; }

private:
    QStringList m_texts;
    QList<QVariant> m_data;
    int m_current = -1;
    bool m_enabled = true;
};

} // namespace tv

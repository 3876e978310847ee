#pragma once
// Finding presets for the command line: by ID, by name (within a keyword when the name is
// shared), or a keyword's recommended preset; and close matches for a name that is unknown.

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

class CatalogTable;

struct PresetMatch {
    int row = 0;     // 1-based preset-catalog row, 0 when none
    QString problem; // why nothing was chosen
    QStringList suggestions;
};

// Real presets only: the custom placeholders are not offered on the command line.
bool IsListedPreset(const CatalogTable &presets, int row);

PresetMatch FindPreset(const CatalogTable &presets, const QString &preset, const QString &keyword);

// The value of a field as the catalog holds it, without the fixed marker.
QString PlainField(const CatalogTable &presets, int row, const QString &field);

} // namespace tv

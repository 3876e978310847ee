#pragma once
// Finding presets by part of their name, keyword or maker.

#include <QString>

namespace tv {

class CatalogTable;

// Fills the result table (columns "Preset", "Maker", "Keyword") with every preset whose
// Name, Keyword and Maker, written one after the other, contain the text (ignoring case);
// custom placeholders never match. A text of blanks finds nothing. Answers the number of
// results.
int SearchPresets(const CatalogTable &presets, const QString &text, CatalogTable &results);

// The count text under the results: "0 preset", "1 preset", "2 presets".
QString PresetCountText(int count);

} // namespace tv

#pragma once
// Operations on catalog tables: field access by caption, lookups, adding and clearing rows,
// and filling choosers from the format and preset catalogs.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace tv {

class CatalogTable;
class Chooser;

// Cell conventions of the catalogs.
inline constexpr char16_t kFixedMarker = u'#';
inline const QString kNotApplicable = QStringLiteral("#");
inline const QString kCustomPresetName = QStringLiteral("[%Custom%]");
inline const QString kCustomPresetEntry = QStringLiteral("[Custom]");

// The cell of the column captioned with the field name (ignoring case; the last such column
// counts); "" for an unknown caption or row.
QString GetCatalogField(const CatalogTable &table, int row, const QString &field);

// Sets a cell so that a fixed value stays fixed: with force, the value is stored as given
// when plain is set and with the fixed marker otherwise; without force, a cell that holds a
// fixed value keeps its marker. An unknown caption changes nothing.
void SetCatalogField(CatalogTable &table, int row, const QString &field, const QString &value, bool force,
                     bool plain);

// The first row whose field equals the value exactly; 0 when none.
int FindCatalogRow(const CatalogTable &table, const QString &field, const QString &value);

// Adds a row (mode 0) or overwrites the given row (mode 1) from values separated by "//",
// one per column in order. Unless overrideMarker is set, a cell that holds a fixed value
// keeps its marker. Answers the row written, 0 when there was none.
int AddCatalogRow(CatalogTable &table, const QString &values, int mode, bool overrideMarker, int row = 0);

// Asks the user a yes/no question; answers true for Yes.
using YesNoQuestion = std::function<bool(const QString &prompt)>;

// Removes the selected rows; with confirm set the user is asked first.
bool RemoveSelectedRows(CatalogTable &table, bool confirm, const YesNoQuestion &ask = {});

// Gives an empty table the columns (captions and widths) of another.
void CopyCatalogColumns(const CatalogTable &from, CatalogTable &to);

// The presets of one button: every row of the maker and keyword, named by its Name and
// carrying its ID; the first custom placeholder appears as "[Custom]", later ones not at all.
void FillPresetChooser(const CatalogTable &presets, const QString &maker, const QString &keyword,
                       Chooser &chooser);
// One entry per format-catalog row of the container whose field applies; each entry carries
// the row number.
void FillCodecChooser(const CatalogTable &formats, const QString &format, const QString &field,
                      Chooser &chooser);
// The options of a list field ("a;b;c;"); the text after the last ";" is not an option.
void FillOptionChooser(const CatalogTable &formats, int row, const QString &field, Chooser &chooser);
// Selects the entry with the value (first or last entry when none has it, by fallback 0 or
// 1); a fixed value disables the chooser.
void SelectOptionValue(Chooser &chooser, const QString &value, int fallback);

// The distinct keywords of a maker in catalog order with their thumbnails, each followed
// by "|".
struct KeywordList {
    QString keywords;
    QString thumbnails;
};
KeywordList CollectKeywords(const CatalogTable &presets, const QString &maker);
// The items of a "|"-terminated list.
QStringList SplitBarList(const QString &list);

} // namespace tv

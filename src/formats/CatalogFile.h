#pragma once
// The catalog file format shared by the shipped catalogs, the user presets and the favorites:
// lines ending in CR LF, each value in double quotes, values separated by commas, line 1 the
// column captions, every line enciphered as upper-case hex text (a plain variant exists
// behind a flag). There is no escaping, so a value may hold neither a double quote nor a
// line break.

#include <QString>
#include <QStringList>

namespace tv {

class CatalogTable;

// Splits a line at every double quote followed by a comma, then removes every double quote
// from each piece.
QStringList SplitCatalogLine(const QString &line);
// Writes values as one line (without its line end): each trimmed, in double quotes, joined
// by commas.
QString JoinCatalogLine(const QStringList &values);

// "" when the text can be stored in a catalog file, otherwise the reason it cannot, in
// words for the user.
QString CatalogTextProblem(const QString &text);

// Fills the table from a file; append 0 replaces the table (columns from line 1), any other
// value appends the rows (line 1 skipped). Unreadable lines (bad hex, wrong cipher, not
// UTF-8, not a quoted line, a last line cut short) are skipped; the readable ones load.
// Answers the number of rows added, or -1 when the file cannot be read (in replace mode the
// table is then empty).
int LoadCatalogFile(CatalogTable &table, const QString &path, int append, bool enciphered);

// Replaces the file with the header and every row (missing folders are created). The file
// is replaced atomically: on any failure the earlier file stays as it was. Answers false
// when nothing was written, which includes a table holding a value that the format cannot
// carry.
bool SaveCatalogFile(const CatalogTable &table, const QString &path, bool enciphered);
// The same with only the rows whose Removable is "Yes" (the user's own presets).
bool SaveUserPresets(const CatalogTable &presets, const QString &path, bool enciphered);

} // namespace tv

#pragma once
// The rules that change the output names of all rows at once.

#include <QString>
#include <QStringList>
#include <QVector>

namespace tv {

enum RenameRule {
    CapitalizeEachWord = 1,
    SentenceCase = 2,
    LowerCase = 3,
    UpperCase = 4,
    Numbers = 5,
    AddBefore = 6,
    AddAfter = 7,
    Replace = 8,
    ResetAll = 9,
};

// What the dialogs collected; cleared values make their rules change nothing.
struct RenameParameters {
    QString findText;
    QString replaceText;
    QString prefix;
    QString suffix;
    qint32 startNumber = -1;
};

struct RenameRow {
    QString outputName; // the current output name (the list's name cell)
    QString inputPath;  // the row's input file
};

// The new output names of every row under a rule, in list order.
QStringList RenameAll(int rule, const RenameParameters &parameters, const QVector<RenameRow> &rows);

// One row's new name (r counts rows from 0).
QString RenamedName(int rule, const RenameParameters &parameters, const RenameRow &row, int r);

// The text of the numbers box as a start number: -1 when empty, a lone "-", or not a number.
qint32 StartNumberFromText(const QString &text);

// A name that can stand as a file name inside the output folder: "/" and NUL become "_".
QString FileNameSafe(QString name);

// The menu captions by entry index (1–11); separators are "-".
QString RenameMenuCaption(int index);
// The rule of a menu entry (0 for separators).
int RenameMenuRule(int index);

} // namespace tv

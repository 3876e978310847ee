#include "RenameRules.h"

#include <QFileInfo>

namespace tv {

namespace {

// The first character (a whole surrogate pair where there is one) and the rest.
std::pair<QString, QString> SplitFirst(const QString &text) {
    if (text.isEmpty())
        return {QString(), QString()};
    const qsizetype length = text.at(0).isHighSurrogate() && text.size() > 1 ? 2 : 1;
    return {text.left(length), text.mid(length)};
}

QString Capitalized(const QString &word) {
    const auto [first, rest] = SplitFirst(word);
    return first.toUpper() + rest.toLower();
}

QString TrimBlanks(QString text) {
    while (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

QString InputBaseName(const QString &inputPath) {
    return QFileInfo(inputPath).completeBaseName();
}

} // namespace

QString FileNameSafe(QString name) {
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QChar(0), QLatin1Char('_'));
    return name;
}

QString RenamedName(int rule, const RenameParameters &p, const RenameRow &row, int r) {
    const QString &n = row.outputName;
    QString result = n;
    switch (rule) {
    case CapitalizeEachWord: {
        QString built;
        for (const QString &piece : n.split(QLatin1Char(' ')))
            built += piece.isEmpty() ? QStringLiteral(" ") : Capitalized(piece) + QLatin1Char(' ');
        result = TrimBlanks(built);
        break;
    }
    case SentenceCase:
        result = Capitalized(n);
        break;
    case LowerCase:
        result = n.toLower();
        break;
    case UpperCase:
        result = n.toUpper();
        break;
    case Numbers:
        if (p.startNumber < 0)
            return n;
        result = QString::number(static_cast<qint64>(p.startNumber) + r);
        break;
    case AddBefore:
        result = p.prefix + n;
        break;
    case AddAfter:
        result = n + p.suffix;
        break;
    case Replace:
        if (!p.findText.isEmpty())
            result = QString(n).replace(p.findText, p.replaceText, Qt::CaseInsensitive);
        if (result.trimmed().isEmpty())
            result = InputBaseName(row.inputPath);
        break;
    case ResetAll:
        result = InputBaseName(row.inputPath);
        break;
    default:
        return n;
    }
    return FileNameSafe(result);
}

QStringList RenameAll(int rule, const RenameParameters &parameters, const QVector<RenameRow> &rows) {
    QStringList names;
    names.reserve(rows.size());
    for (int r = 0; r < rows.size(); ++r)
        names << RenamedName(rule, parameters, rows.at(r), r);
    return names;
}

qint32 StartNumberFromText(const QString &text) {
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    return ok ? value : -1;
}

QString RenameMenuCaption(int index) {
    static const char *const kCaptions[] = {
        "Capitalize Each Word", "Sentence case.",    "lowercase",  "UPPERCASE", "Numbers (1,2,3...)...", "-",
        "Add before name...",   "Add after name...", "Replace...", "-",         "Reset all changes"};
    return index >= 1 && index <= 11 ? QString::fromLatin1(kCaptions[index - 1]) : QString();
}

int RenameMenuRule(int index) {
    static const int kRules[] = {1, 2, 3, 4, 5, 0, 6, 7, 8, 0, 9};
    return index >= 1 && index <= 11 ? kRules[index - 1] : 0;
}

} // namespace tv

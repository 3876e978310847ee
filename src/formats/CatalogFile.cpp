#include "CatalogFile.h"

#include "CatalogTable.h"
#include "Cipher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStringDecoder>

namespace tv {

namespace {

Q_LOGGING_CATEGORY(lcCatalog, "tunevane.catalog", QtWarningMsg)

// The first column of a catalog is shown wide, the others narrower.
constexpr int kFirstColumnWidth = 600;
constexpr int kColumnWidth = 200;

// Turns one stored line into its text; false when the line is not a readable catalog line.
bool DecodeLine(QByteArray bytes, bool enciphered, QString *text) {
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    if (enciphered) {
        bool ok = false;
        bytes = DecipherLine(bytes, &ok);
        if (!ok)
            return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return false;
    // Every line the writer makes begins and ends with a double quote and has no control
    // characters; anything else is a damaged line or a line read with the wrong cipher.
    if (decoded.size() < 2 || !decoded.startsWith(QLatin1Char('"')) || !decoded.endsWith(QLatin1Char('"')))
        return false;
    for (QChar c : decoded) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    *text = decoded;
    return true;
}

QByteArray EncodeLine(const QStringList &values, bool enciphered) {
    const QByteArray plain = JoinCatalogLine(values).toUtf8();
    return (enciphered ? EncipherLine(plain) : plain) + "\r\n";
}

bool WriteCatalog(const CatalogTable &table, const QString &path, bool enciphered, bool onlyRemovable) {
    const int removable = table.columnOf(QStringLiteral("Removable"));
    QList<int> rows;
    for (int row = 1; row <= table.rows(); ++row) {
        if (onlyRemovable && (removable < 0 || table.cell(row, removable) != QLatin1String("Yes")))
            continue;
        rows.append(row);
    }
    // A value the format cannot carry would corrupt the file for good: write nothing instead.
    for (const QString &caption : table.captions()) {
        if (!CatalogTextProblem(caption).isEmpty())
            return false;
    }
    for (int row : rows) {
        for (const QString &value : table.rowCells(row)) {
            if (!CatalogTextProblem(value).isEmpty()) {
                qCWarning(lcCatalog) << "not saving" << path << "because of the value" << value;
                return false;
            }
        }
    }

    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray content = EncodeLine(table.captions(), enciphered);
    for (int row : rows)
        content += EncodeLine(table.rowCells(row), enciphered);
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

QStringList SplitCatalogLine(const QString &line) {
    QStringList pieces = line.split(QStringLiteral("\","));
    for (QString &piece : pieces)
        piece.remove(QLatin1Char('"'));
    return pieces;
}

QString JoinCatalogLine(const QStringList &values) {
    QStringList quoted;
    quoted.reserve(values.size());
    for (const QString &value : values)
        quoted.append(QLatin1Char('"') + value.trimmed() + QLatin1Char('"'));
    return quoted.join(QLatin1Char(','));
}

QString CatalogTextProblem(const QString &text) {
    if (text.contains(QLatin1Char('"')))
        return QStringLiteral("A name cannot contain a double quote (\").");
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("A name cannot contain line breaks or other control characters.");
    }
    return QString();
}

int LoadCatalogFile(CatalogTable &table, const QString &path, int append, bool enciphered) {
    const bool replace = append == 0;
    if (replace)
        table.removeAll();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        qCWarning(lcCatalog) << "reading" << path << "stopped:" << file.errorString();

    table.beginBulkChange();
    int added = 0;
    int skipped = 0;
    bool noCaptions = false;
    qsizetype start = 0;
    for (int lineNumber = 1; start < content.size(); ++lineNumber) {
        qsizetype end = content.indexOf('\n', start);
        // Every line the writer makes ends with a line end; a last line without one is what
        // is left of a file cut short, and however it reads, it is incomplete.
        const bool cutShort = end < 0;
        if (cutShort)
            end = content.size();
        const QByteArray bytes = content.mid(start, end - start);
        start = end + 1;

        if (lineNumber == 1 && !replace)
            continue; // an appended file keeps the table's columns
        QString text;
        const bool readable = !cutShort && DecodeLine(bytes, enciphered, &text);
        if (lineNumber == 1) {
            if (!readable) {
                noCaptions = !content.trimmed().isEmpty();
                break; // without its captions no row of the file can be placed
            }
            const QStringList captions = SplitCatalogLine(text);
            for (int i = 0; i < captions.size(); ++i)
                table.addColumn(captions.at(i), i == 0 ? kFirstColumnWidth : kColumnWidth);
            continue;
        }
        if (!readable || table.columns() == 0) {
            if (!bytes.trimmed().isEmpty())
                ++skipped;
            continue;
        }
        const QStringList pieces = SplitCatalogLine(text);
        const int row = table.appendRow();
        for (int k = 0; k < pieces.size() && k < table.columns(); ++k)
            table.setCell(row, k, pieces.at(k));
        ++added;
    }
    table.endBulkChange();
    if (skipped > 0 || noCaptions) {
        // The next save writes what was read; the file as it was stays beside it for the user.
        QString copy = path + QStringLiteral(".unreadable");
        for (int n = 2; QFileInfo::exists(copy); ++n)
            copy = path + QStringLiteral(".unreadable-%1").arg(n);
        QFile::copy(path, copy);
        qCWarning(lcCatalog) << "skipped" << skipped << "unreadable lines of" << path << "- kept as" << copy;
    }
    return added;
}

bool SaveCatalogFile(const CatalogTable &table, const QString &path, bool enciphered) {
    return WriteCatalog(table, path, enciphered, false);
}

bool SaveUserPresets(const CatalogTable &presets, const QString &path, bool enciphered) {
    return WriteCatalog(presets, path, enciphered, true);
}

} // namespace tv

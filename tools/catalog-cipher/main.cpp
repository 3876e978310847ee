// Build-time tool: turns a catalog authored as plain text (data/catalog/*.csv) into the
// enciphered catalog file that the program carries. It refuses a source that the program
// would not read back exactly, so a slip in the catalog stops the build instead of
// silently losing a preset.
#include "Cipher.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <QString>
#include <QStringDecoder>
#include <cstdio>

namespace {

int Fail(const QString &path, int line, const char *why) {
    std::fprintf(stderr, "%s:%d: %s\n", qPrintable(path), line, why);
    return 1;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tunevane-catalog-cipher SOURCE.csv OUTPUT.dat\n");
        return 2;
    }
    const QString sourcePath = QString::fromLocal8Bit(argv[1]);
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return Fail(sourcePath, 0, "cannot read the file");
    QByteArray content = source.readAll();
    if (content.isEmpty() || !content.endsWith("\r\n"))
        return Fail(sourcePath, 0, "the file must end with CR LF");
    content.chop(1); // the last line end's LF, so the split below yields no empty last piece

    QByteArray output;
    qsizetype fields = -1;
    int lineNumber = 0;
    for (const QByteArray &line : content.split('\n')) {
        ++lineNumber;
        if (!line.endsWith('\r'))
            return Fail(sourcePath, lineNumber, "every line must end with CR LF");
        const QByteArray text = line.left(line.size() - 1);
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString decoded = decoder.decode(text);
        if (decoder.hasError())
            return Fail(sourcePath, lineNumber, "not UTF-8 text");
        if (text.size() < 2 || !text.startsWith('"') || !text.endsWith('"'))
            return Fail(sourcePath, lineNumber, "a line is values in double quotes separated by commas");
        const QList<QByteArray> values = text.mid(1, text.size() - 2).split('"');
        // Between the values there must be exactly "," and no value may hold a quote.
        for (qsizetype i = 1; i < values.size(); i += 2) {
            if (values.at(i) != ",")
                return Fail(sourcePath, lineNumber, "a value holds a double quote");
        }
        for (qsizetype i = 0; i < values.size(); i += 2) {
            if (values.at(i) != values.at(i).trimmed())
                return Fail(sourcePath, lineNumber, "a value begins or ends with blanks");
        }
        for (QChar c : decoded) {
            if (c.unicode() < 0x20)
                return Fail(sourcePath, lineNumber, "a value holds a control character");
        }
        const qsizetype count = values.size() / 2 + 1;
        if (fields < 0)
            fields = count;
        else if (count != fields)
            return Fail(sourcePath, lineNumber, "the line has not as many values as the header has captions");
        output += tv::EncipherLine(text) + "\r\n";
    }

    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(output) != output.size() || !out.commit()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

#include "DiscTestSupport.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtEndian>
#include <cmath>

namespace tv::test {

QString CorpusImagesFolder() {
    QString corpus = qEnvironmentVariable("TUNEVANE_CORPUS_DIR", QStringLiteral(TUNEVANE_CORPUS_DIR));
    const QString folder = corpus + QStringLiteral("/cd-images");
    return QFileInfo(folder).isDir() ? folder : QString();
}

bool HaveCdInfo() {
    return !QStandardPaths::findExecutable(QStringLiteral("cd-info")).isEmpty();
}

CdInfoDisc RunCdInfo(const QString &image) {
    CdInfoDisc disc;
    QProcess p;
    p.setWorkingDirectory(QFileInfo(image).absolutePath());
    p.start(QStringLiteral("cd-info"),
            {"--no-header", "--no-device-info", "--no-cddb", "-i", QFileInfo(image).fileName()});
    if (!p.waitForFinished(30000))
        return disc;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression kTrack(
        QStringLiteral("^\\s*(\\d+): \\d\\d:\\d\\d:\\d\\d\\s+(\\d+) (\\w+)"));
    int section = 0; // 1 disc CD-Text, 2 a track's
    int cdTextTrack = 0;
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = kTrack.match(line);
        if (m.hasMatch()) {
            // Negative addresses come out as 64-bit unsigned numbers.
            qint64 lsn = static_cast<qint64>(m.captured(2).toULongLong());
            const int number = m.captured(1).toInt();
            if (number == 170) {
                disc.leadout = lsn;
                disc.ok = true;
                continue;
            }
            if (disc.lsn.isEmpty())
                disc.first = number;
            disc.lsn << lsn;
            disc.audio << (m.captured(3) == QLatin1String("audio"));
            continue;
        }
        if (line.startsWith(QLatin1String("CD-TEXT for Disc"))) {
            section = 1;
        } else if (line.startsWith(QLatin1String("CD-TEXT for Track"))) {
            section = 2;
            cdTextTrack = line.mid(17).remove(QLatin1Char(':')).trimmed().toInt();
        } else if (line.startsWith(QLatin1Char('\t')) && section > 0) {
            const QString field = line.section(QLatin1Char(':'), 0, 0).trimmed();
            const QString value = line.section(QLatin1Char(':'), 1).trimmed();
            if (section == 1 && field == QLatin1String("TITLE"))
                disc.album = value;
            else if (section == 1 && field == QLatin1String("PERFORMER"))
                disc.artist = value;
            else if (section == 2 && field == QLatin1String("TITLE"))
                disc.titles.insert(cdTextTrack, value);
        } else if (!line.startsWith(QLatin1Char('\t'))) {
            section = 0;
        }
    }
    return disc;
}

QString WriteToneImage(const QString &folder, const QString &name, const QVector<int> &trackSectors,
                       const QStringList &cdText) {
    QDir().mkpath(folder);
    QFile bin(folder + QLatin1Char('/') + name + QStringLiteral(".bin"));
    if (!bin.open(QIODevice::WriteOnly))
        return QString();
    QString cue;
    if (cdText.size() >= 2)
        cue += QStringLiteral("TITLE \"%1\"\nPERFORMER \"%2\"\n").arg(cdText.at(0), cdText.at(1));
    cue += QStringLiteral("FILE \"%1.bin\" BINARY\n").arg(name);
    qint64 sector = 0;
    QByteArray chunk;
    for (int t = 0; t < trackSectors.size(); ++t) {
        cue += QStringLiteral("  TRACK %1 AUDIO\n    INDEX 01 %2:%3:%4\n")
                   .arg(t + 1, 2, 10, QLatin1Char('0'))
                   .arg(sector / 75 / 60, 2, 10, QLatin1Char('0'))
                   .arg(sector / 75 % 60, 2, 10, QLatin1Char('0'))
                   .arg(sector % 75, 2, 10, QLatin1Char('0'));
        if (t + 2 < cdText.size())
            cue += QStringLiteral("    TITLE \"%1\"\n").arg(cdText.at(t + 2));
        const double left = 220.0 * (t + 2);
        const double right = left * 1.5;
        qint64 sample = 0;
        for (int s = 0; s < trackSectors.at(t); ++s) {
            chunk.resize(2352);
            for (int i = 0; i < 588; ++i, ++sample) {
                const double time = sample / 44100.0;
                qToLittleEndian(static_cast<qint16>(9000 * std::sin(2 * M_PI * left * time)),
                                chunk.data() + i * 4);
                qToLittleEndian(static_cast<qint16>(7000 * std::sin(2 * M_PI * right * time)),
                                chunk.data() + i * 4 + 2);
            }
            bin.write(chunk);
        }
        sector += trackSectors.at(t);
    }
    bin.close();
    const QString cuePath = folder + QLatin1Char('/') + name + QStringLiteral(".cue");
    QFile sheet(cuePath);
    if (!sheet.open(QIODevice::WriteOnly))
        return QString();
    sheet.write(cue.toUtf8());
    return cuePath;
}

QByteArray WavSamples(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray all = file.readAll();
    if (all.size() < 44 || !all.startsWith("RIFF") || all.mid(8, 8) != "WAVEfmt ")
        return QByteArray();
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(all.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(all.constData() + at); };
    if (u16(20) != 1 || u16(22) != 2 || u32(24) != 44100 || u16(34) != 16 || all.mid(36, 4) != "data")
        return QByteArray();
    if (u32(40) != static_cast<quint32>(all.size() - 44) || u32(4) != static_cast<quint32>(all.size() - 8))
        return QByteArray();
    return all.mid(44);
}

quint32 ReferenceCrc32(const QByteArray &bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

ArSums ReferenceAccurateRip(const QByteArray &samples, bool firstTrack, bool lastTrack) {
    ArSums sums;
    const qint64 count = samples.size() / 4;
    const qint64 from = firstTrack ? 5 * 588 - 1 : 1;
    const qint64 to = lastTrack ? count - 5 * 588 : count;
    for (qint64 n = 1; n <= count; ++n) {
        if (n < from || n > to)
            continue;
        const quint64 value = qFromLittleEndian<quint32>(samples.constData() + (n - 1) * 4);
        const quint64 product = value * static_cast<quint64>(n);
        sums.v1 += static_cast<quint32>(product & 0xFFFFFFFFu);
        sums.v2 += static_cast<quint32>(product & 0xFFFFFFFFu) + static_cast<quint32>(product >> 32);
    }
    return sums;
}

QByteArray Jpeg(Qt::GlobalColor colour) {
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

QString ReferenceDiscId(int first, int last, const QVector<qint64> &addresses, qint64 leadout) {
    QByteArray text = QByteArray::number(first, 16).toUpper().rightJustified(2, '0') +
                      QByteArray::number(last, 16).toUpper().rightJustified(2, '0');
    QVector<qint64> offsets(100, 0);
    offsets[0] = leadout;
    for (int i = 0; i < addresses.size(); ++i)
        offsets[first + i] = addresses.at(i);
    for (const qint64 offset : offsets)
        text += QByteArray::number(offset, 16).toUpper().rightJustified(8, '0');
    QByteArray id = QCryptographicHash::hash(text, QCryptographicHash::Sha1).toBase64();
    id.replace('+', '.').replace('/', '_').replace('=', '-');
    return QString::fromLatin1(id);
}

} // namespace tv::test

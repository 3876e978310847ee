#include "FlacHeader.h"

#include <QFile>

namespace tv {

namespace {

// "fLaC", the block header (4 bytes), then the 34 bytes of STREAMINFO.
constexpr qint64 kStreamInfoOffset = 8;
constexpr int kStreamInfoSize = 34;

bool ReadStreamInfo(QFile &file, QByteArray *info) {
    if (!file.seek(0))
        return false;
    const QByteArray head = file.read(kStreamInfoOffset + kStreamInfoSize);
    if (head.size() < kStreamInfoOffset + kStreamInfoSize || !head.startsWith("fLaC") ||
        (head.at(4) & 0x7F) != 0)
        return false;
    *info = head.mid(kStreamInfoOffset, kStreamInfoSize);
    return true;
}

qint64 TotalSamples(const QByteArray &info) {
    const auto byte = [&info](int i) { return static_cast<qint64>(static_cast<unsigned char>(info.at(i))); };
    return ((byte(13) & 0x0F) << 32) | (byte(14) << 24) | (byte(15) << 16) | (byte(16) << 8) | byte(17);
}

} // namespace

qint64 FlacTotalSamples(const QString &path) {
    QFile file(path);
    QByteArray info;
    if (!file.open(QIODevice::ReadOnly) || !ReadStreamInfo(file, &info))
        return -1;
    return TotalSamples(info);
}

bool FixJoinedFlacHeader(const QString &joinedPath, const QStringList &partPaths) {
    qint64 total = 0;
    for (const QString &part : partPaths) {
        const qint64 samples = FlacTotalSamples(part);
        if (samples <= 0) {
            total = 0;
            break;
        }
        total += samples;
    }
    if (total >= (qint64(1) << 36))
        total = 0;
    QFile file(joinedPath);
    QByteArray info;
    if (!file.open(QIODevice::ReadWrite) || !ReadStreamInfo(file, &info))
        return false;
    info[13] = static_cast<char>((static_cast<unsigned char>(info.at(13)) & 0xF0) | ((total >> 32) & 0x0F));
    info[14] = static_cast<char>((total >> 24) & 0xFF);
    info[15] = static_cast<char>((total >> 16) & 0xFF);
    info[16] = static_cast<char>((total >> 8) & 0xFF);
    info[17] = static_cast<char>(total & 0xFF);
    // The parts' checksum covers only the first part's audio; all zeros means "not known".
    for (int i = 18; i < kStreamInfoSize; ++i)
        info[i] = 0;
    // The frame sizes of every part are not known here either.
    for (int i = 4; i < 10; ++i)
        info[i] = 0;
    return file.seek(kStreamInfoOffset) && file.write(info) == kStreamInfoSize && file.flush();
}

} // namespace tv

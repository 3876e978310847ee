#include "WavWriter.h"

#include <QtEndian>

namespace tv {

namespace {

// Writes go out in pieces of this size; smaller ones are gathered first.
constexpr qint64 kBufferBytes = 1 << 20;

void Put32(QByteArray &bytes, quint32 value) {
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

void Put16(QByteArray &bytes, quint16 value) {
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

} // namespace

QByteArray WavHeader(qint64 dataBytes) {
    QByteArray header;
    header.reserve(44);
    header.append("RIFF", 4);
    Put32(header, static_cast<quint32>(36 + dataBytes));
    header.append("WAVEfmt ", 8);
    Put32(header, 16);
    Put16(header, 1); // PCM
    Put16(header, 2);
    Put32(header, 44100);
    Put32(header, 44100 * 4);
    Put16(header, 4);
    Put16(header, 16);
    header.append("data", 4);
    Put32(header, static_cast<quint32>(dataBytes));
    return header;
}

WavWriter::WavWriter(const QString &path, qint64 dataBytes) : m_file(path), m_expected(dataBytes) {
    m_ok = m_file.open(QIODevice::WriteOnly);
    if (!m_ok) {
        m_error = m_file.errorString();
        return;
    }
    m_buffer.reserve(kBufferBytes + 4096);
    m_buffer = WavHeader(dataBytes);
}

WavWriter::~WavWriter() {
    if (!m_done)
        cancel();
}

bool WavWriter::flush() {
    if (m_buffer.isEmpty())
        return true;
    if (m_file.write(m_buffer) != m_buffer.size()) {
        m_error = m_file.errorString();
        m_ok = false;
        return false;
    }
    m_buffer.clear();
    return true;
}

bool WavWriter::write(const char *data, qint64 bytes) {
    if (!m_ok)
        return false;
    m_buffer.append(data, bytes);
    m_written += bytes;
    return m_buffer.size() < kBufferBytes || flush();
}

bool WavWriter::commit() {
    if (!m_ok || !flush()) {
        cancel();
        return false;
    }
    if (m_written != m_expected) {
        m_error = QStringLiteral("The audio ended early.");
        cancel();
        return false;
    }
    m_done = true;
    if (!m_file.commit()) {
        m_error = m_file.errorString();
        return false;
    }
    return true;
}

void WavWriter::cancel() {
    m_done = true;
    if (!m_file.isOpen())
        return;
    m_file.cancelWriting();
    m_file.commit(); // with writing cancelled this only removes the temporary file
}

} // namespace tv

#pragma once
// Writes CD audio as a WAV file (44.1 kHz, 16-bit, stereo) under a temporary name beside the
// final one; only a complete file takes the final name.

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace tv {

class WavWriter {
public:
    // dataBytes: the exact size of the audio to come (the header is written first).
    WavWriter(const QString &path, qint64 dataBytes);
    ~WavWriter();
    WavWriter(const WavWriter &) = delete;
    WavWriter &operator=(const WavWriter &) = delete;

    bool isOpen() const { return m_ok; }
    bool write(const char *data, qint64 bytes);
    // Gives the file its name; false (and no file) when something could not be written.
    bool commit();
    // Drops what was written.
    void cancel();
    QString errorString() const { return m_error; }

private:
    bool flush();

    QSaveFile m_file;
    QByteArray m_buffer;
    qint64 m_expected = 0;
    qint64 m_written = 0;
    bool m_ok = false;
    bool m_done = false;
    QString m_error;
};

// The 44-byte header of a CD-audio WAV file holding dataBytes of samples.
QByteArray WavHeader(qint64 dataBytes);

} // namespace tv

#include "SecureReader.h"

#include "DiscSource.h"
#include "DiscToc.h"

#include <QByteArray>

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
#include <cstdio>

namespace tv {

namespace {

// paranoia's callback has no user data: each reading thread counts into its own record.
thread_local ParanoiaCounts *tCounts = nullptr;

void ParanoiaCallback(long int, paranoia_cb_mode_t mode) {
    if (!tCounts)
        return;
    switch (mode) {
    case PARANOIA_CB_FIXUP_EDGE:
    case PARANOIA_CB_FIXUP_ATOM:
    case PARANOIA_CB_FIXUP_DROPPED:
    case PARANOIA_CB_FIXUP_DUPED:
        ++tCounts->corrections;
        break;
    case PARANOIA_CB_SKIP:
        ++tCounts->skips;
        break;
    case PARANOIA_CB_READERR:
        ++tCounts->readErrors;
        break;
    default:
        break;
    }
}

struct CountsScope {
    explicit CountsScope(ParanoiaCounts *counts) : m_outer(tCounts) { tCounts = counts; }
    ~CountsScope() { tCounts = m_outer; }
    ParanoiaCounts *m_outer;
};

struct ParanoiaDeleter {
    void operator()(cdrom_paranoia_t *p) const { cdio_paranoia_free(p); }
};

} // namespace

SecureReader::~SecureReader() {
    // The disc handle stays open: it belongs to the caller.
    if (m_drive)
        cdio_cddap_close_no_free_cdio(m_drive);
}

std::unique_ptr<SecureReader> SecureReader::Open(DiscHandle &disc, QString *error) {
    DiscLogCapture capture;
    std::unique_ptr<SecureReader> reader(new SecureReader);
    reader->m_drive = cdio_cddap_identify_cdio(disc.cdio(), CDDA_MESSAGE_FORGETIT, nullptr);
    if (!reader->m_drive || cdio_cddap_open(reader->m_drive) != 0) {
        if (error)
            *error = capture.lines().isEmpty() ? QStringLiteral("The disc cannot be read as audio.")
                                               : capture.lines().join(QLatin1Char('\n'));
        return nullptr;
    }
    // Drives (and image files) deliver little-endian samples; paranoia's guess from the music
    // can be wrong on quiet or synthetic audio and would swap every sample.
    reader->m_drive->bigendianp = 0;
    return reader;
}

bool SecureReader::read(const SampleRange &range, TaskControl &control, ParanoiaCounts &counts,
                        const std::function<bool(const char *, qint64)> &sink,
                        const std::function<void(qint64)> &progress, QString *error) {
    CountsScope scope(&counts);
    const qint64 end = range.first + range.count;
    const qint64 readFrom = qMax(range.first, range.readableFirst);
    const qint64 readTo = qMin(end, range.readableEnd);
    qint64 position = range.first;
    static const QByteArray kSilence(kSectorBytes, '\0');

    auto silence = [&](qint64 until) {
        while (position < until) {
            const qint64 samples = qMin<qint64>(until - position, kSamplesPerSector);
            if (!control.proceed() || !sink(kSilence.constData(), samples * 4))
                return false;
            position += samples;
            if (progress)
                progress(position - range.first);
        }
        return true;
    };

    if (!silence(qMin(end, readFrom)))
        return false;
    if (position < readTo) {
        std::unique_ptr<cdrom_paranoia_t, ParanoiaDeleter> paranoia(cdio_paranoia_init(m_drive));
        if (!paranoia) {
            if (error)
                *error = QStringLiteral("The secure reader cannot be started.");
            return false;
        }
        cdio_paranoia_modeset(paranoia.get(), PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
        qint64 skip = position % kSamplesPerSector;
        cdio_paranoia_seek(paranoia.get(), static_cast<int32_t>(position / kSamplesPerSector), SEEK_SET);
        while (position < readTo) {
            if (!control.proceed())
                return false;
            const int16_t *sector =
                cdio_paranoia_read_limited(paranoia.get(), ParanoiaCallback, kParanoiaRetries);
            if (!sector) {
                if (error)
                    *error = QStringLiteral("Reading sector %1 failed.").arg(position / kSamplesPerSector);
                return false;
            }
            const qint64 samples = qMin<qint64>(kSamplesPerSector - skip, readTo - position);
            if (!sink(reinterpret_cast<const char *>(sector) + skip * 4, samples * 4))
                return false;
            position += samples;
            skip = 0;
            if (progress)
                progress(position - range.first);
        }
    }
    return silence(end);
}

} // namespace tv

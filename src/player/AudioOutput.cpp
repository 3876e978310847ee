#include "AudioOutput.h"

#include "PlayerClock.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

namespace tv {

void AudioFeed::configure(int sampleRate, int channels, bool store) {
    std::lock_guard lock(m_mutex);
    m_rate = std::max(1, sampleRate);
    m_channels = std::max(1, channels);
    m_store = store;
}

int AudioFeed::sampleRate() const {
    std::lock_guard lock(m_mutex);
    return m_rate;
}

int AudioFeed::channels() const {
    std::lock_guard lock(m_mutex);
    return m_channels;
}

qint64 AudioFeed::bytesToMicroseconds(qint64 bytes) const {
    std::lock_guard lock(m_mutex);
    return bytes * 1000000 / (qint64(m_rate) * m_channels * 2);
}

int AudioFeed::clear(qint64 position) {
    std::lock_guard lock(m_mutex);
    m_data.clear();
    m_readOffset = 0;
    m_headPosition = position;
    m_end = position;
    return ++m_epoch;
}

int AudioFeed::epoch() const {
    std::lock_guard lock(m_mutex);
    return m_epoch;
}

void AudioFeed::push(const char *data, qint64 bytes, qint64 position, int epoch) {
    std::lock_guard lock(m_mutex);
    if (epoch != m_epoch || bytes <= 0)
        return;
    const qint64 duration = bytes * 1000000 / (qint64(m_rate) * m_channels * 2);
    if (m_store) {
        if (m_data.size() == m_readOffset)
            m_headPosition = position;
        m_data.append(data, bytes);
    }
    m_end = position + duration;
}

qint64 AudioFeed::end() const {
    std::lock_guard lock(m_mutex);
    return m_end;
}

qint64 AudioFeed::read(char *out, qint64 max, qint64 *position, int *epoch) {
    std::lock_guard lock(m_mutex);
    const qint64 frame = qint64(m_channels) * 2;
    const qint64 count = std::min<qint64>(max, m_data.size() - m_readOffset) / frame * frame;
    *position = m_headPosition;
    *epoch = m_epoch;
    if (count <= 0)
        return 0;
    std::memcpy(out, m_data.constData() + m_readOffset, count);
    m_readOffset += count;
    m_headPosition += count * 1000000 / (qint64(m_rate) * frame);
    // The consumed front goes once it outweighs what is left, so appends stay cheap.
    if (m_readOffset > 65536 && m_readOffset * 2 > m_data.size()) {
        m_data.remove(0, m_readOffset);
        m_readOffset = 0;
    }
    return count;
}

// What the sink pulls from: the feed, anchoring the clock to the time of the sound handed over
// minus what the card holds and has not yet played.
class AudioDevice::FeedDevice : public QIODevice {
public:
    FeedDevice(AudioDevice *owner) : m_owner(owner) { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 1 << 20; }

protected:
    qint64 readData(char *data, qint64 maxSize) override {
        qint64 position = 0;
        int epoch = 0;
        const qint64 count = m_owner->m_feed->read(data, maxSize, &position, &epoch);
        if (count > 0 && m_owner->m_sink) {
            const qint64 held =
                std::max<qint64>(0, m_owner->m_sink->bufferSize() - m_owner->m_sink->bytesFree());
            const qint64 heard = position - m_owner->m_feed->bytesToMicroseconds(held);
            const qint64 limit = position + m_owner->m_feed->bytesToMicroseconds(count);
            m_owner->m_clock->anchor(std::max<qint64>(0, heard), limit, epoch);
        }
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    AudioDevice *m_owner;
};

AudioDevice::~AudioDevice() {
    stop();
}

bool AudioDevice::available() {
    return !QMediaDevices::defaultAudioOutput().isNull();
}

QAudioFormat AudioDevice::chosenFormat() {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format = device.preferredFormat();
    if (format.sampleRate() <= 0)
        format.setSampleRate(48000);
    format.setChannelCount(std::clamp(format.channelCount(), 1, 2));
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

void AudioDevice::start(const QAudioFormat &format, std::shared_ptr<AudioFeed> feed,
                        std::shared_ptr<PlayerClock> clock) {
    stop();
    m_feed = std::move(feed);
    m_clock = std::move(clock);
    m_format = format;
    m_sink = new QAudioSink(QMediaDevices::defaultAudioOutput(), format, this);
    // A short card buffer keeps seeks, pauses and volume changes prompt.
    m_sink->setBufferSize(format.bytesForDuration(200000));
    m_sink->setVolume(m_volume);
    connect(m_sink, &QAudioSink::stateChanged, this, &AudioDevice::onStateChanged);
    m_device = new FeedDevice(this);
    m_sink->start(m_device);
    onStateChanged();
}

void AudioDevice::restart() {
    if (!m_sink)
        return;
    m_sink->stop();
    m_sink->start(m_device);
    if (m_suspended)
        m_sink->suspend();
}

void AudioDevice::suspend() {
    m_suspended = true;
    if (m_sink)
        m_sink->suspend();
}

void AudioDevice::resume() {
    m_suspended = false;
    if (m_sink)
        m_sink->resume();
}

void AudioDevice::stop() {
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        delete m_sink;
        m_sink = nullptr;
    }
    delete m_device;
    m_device = nullptr;
    m_suspended = false;
}

void AudioDevice::setVolume(qreal linear) {
    m_volume = linear;
    if (m_sink)
        m_sink->setVolume(linear);
}

void AudioDevice::onStateChanged() {
    if (!m_sink)
        return;
    const QAudio::Error error = m_sink->error();
    if (m_sink->state() == QAudio::StoppedState && error != QAudio::NoError && error != QAudio::UnderrunError)
        emit failed();
}

} // namespace tv

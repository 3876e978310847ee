#include "DiscSession.h"

#include "DiscId.h"
#include "PresetIdentifier.h"
#include "SoundErrors.h"

#include <QDir>
#include <QTimer>

namespace tv {

DiscSession::DiscSession(QObject *parent)
    : QObject(parent), m_runner(this), m_client(new MusicBrainzClient(this)) {
    qRegisterMetaType<tv::ReleaseCandidate>();
    qRegisterMetaType<QVector<tv::ReleaseCandidate>>();
    connect(m_client, &MusicBrainzClient::lookupFinished, this, &DiscSession::onLookup);
    connect(m_client, &MusicBrainzClient::coverFinished, this,
            [this](bool ok, const QString &path, const QString &) {
                if (ok) {
                    m_coverPath = path;
                    emit coverReady(m_source, path);
                }
                finishLookup();
            });
}

DiscSession::~DiscSession() = default;

void DiscSession::cancel() {
    m_runner.cancel();
    m_client->cancel();
    ++m_generation;
    m_reading = false;
    m_lookingUp = false;
}

void DiscSession::readDisc(const QString &source) {
    cancel();
    m_source = source;
    m_disc = DiscReading();
    m_info = DiscText();
    m_infoAvailable = false;
    m_infoRequested = false;
    m_discId.clear();
    m_coverPath.clear();
    m_candidates.clear();
    m_reading = true;
    m_runner.start([source](TaskControl &, const TaskProgress &) { return ReadDisc(source); },
                   [this, source](DiscReading reading) {
                       m_reading = false;
                       m_disc = std::move(reading);
                       m_discId = MusicBrainzDiscId(m_disc.toc);
                       emit discRead(source, m_disc.code);
                   });
}

int DiscSession::requestDiscInfo() {
    if (m_reading)
        return SoundError::InfoUnavailable;
    if (m_disc.toc.isEmpty())
        return m_disc.code != 0 ? m_disc.code : SoundError::DriveNotReady;
    m_client->cancel();
    m_lookingUp = true;
    m_infoRequested = true;
    const int generation = ++m_generation;
    // The event follows the request, as a component's event would, never inside it.
    QTimer::singleShot(0, this, [this, generation]() {
        if (generation != m_generation)
            return;
        if (!m_disc.cdText.isEmpty()) {
            m_info = m_disc.cdText;
            m_infoAvailable = true;
            emit discInfoReady(m_source, true);
            if (generation != m_generation)
                return;
        }
        if (m_network && !m_discId.isEmpty()) {
            m_client->lookup(m_discId);
            return;
        }
        if (!m_infoAvailable)
            emit discInfoReady(m_source, false);
        finishLookup();
    });
    return 0;
}

void DiscSession::onLookup(const LookupOutcome &outcome) {
    if (outcome.kind == LookupOutcome::Found && outcome.releases.size() == 1) {
        applyRelease(outcome.releases.constFirst());
        return;
    }
    if (outcome.kind == LookupOutcome::Found) {
        m_candidates = outcome.releases;
        emit releasesFound(m_source, m_candidates);
        return;
    }
    // Offline or unknown to the service: what CD-Text gave stays, without an error box.
    if (!m_infoAvailable)
        emit discInfoReady(m_source, false);
    finishLookup();
}

void DiscSession::chooseRelease(int index) {
    if (!m_lookingUp || m_candidates.isEmpty())
        return;
    const QVector<ReleaseCandidate> candidates = std::exchange(m_candidates, {});
    if (index < 0 || index >= candidates.size()) {
        if (!m_infoAvailable)
            emit discInfoReady(m_source, false);
        finishLookup();
        return;
    }
    applyRelease(candidates.at(index));
}

void DiscSession::applyRelease(const ReleaseCandidate &release) {
    const int generation = m_generation;
    // CD-Text comes from the disc itself and stays first; the release fills what it lacks.
    DiscText merged = m_disc.cdText;
    merged.fillFrom(release.discText(m_disc.toc));
    m_info = merged;
    m_infoAvailable = true;
    emit discInfoReady(m_source, true);
    if (generation != m_generation)
        return;
    if (m_coverFolder.isEmpty()) {
        finishLookup();
        return;
    }
    QDir().mkpath(m_coverFolder);
    m_client->fetchCover(release.id,
                         m_coverFolder + QStringLiteral("cover_") + NewPresetID() + QStringLiteral(".jpg"));
}

void DiscSession::finishLookup() {
    if (!m_lookingUp)
        return;
    m_lookingUp = false;
    emit lookupFinished(m_source);
}

} // namespace tv

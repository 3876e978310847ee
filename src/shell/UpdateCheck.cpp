#include "UpdateCheck.h"

#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>

namespace tv {

namespace {

Q_LOGGING_CATEGORY(lcUpdate, "tunevane.update", QtWarningMsg)

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

QString UpdateUrl(const QString &urlTemplate, const QString &productName, const QString &version) {
    QString url = urlTemplate;
    url.replace(QStringLiteral("PRODUCTNAME"), productName, Qt::CaseInsensitive);
    url.replace(QStringLiteral("VERSION"), version);
    url.replace(QLatin1Char(' '), QStringLiteral("%20"));
    return url;
}

double VersionNumber(const QString &text) {
    static const QRegularExpression kNumber(QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+))"));
    const QRegularExpressionMatch match = kNumber.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

QString ReleaseNotes(const QString &answer, const QString &runningVersion) {
    const double running = VersionNumber(runningVersion);
    QString notes;
    // Lines end with CR LF; a bare LF from a server that writes Unix lines ends them too.
    static const QRegularExpression kLineBreak(QStringLiteral("\r?\n"));
    for (const QString &line : answer.split(kLineBreak)) {
        const QStringList fields = line.split(QLatin1Char('/'));
        const double version = VersionNumber(fields.constFirst());
        // The last field is never shown: a line ends with "/" after its last note.
        for (qsizetype j = 0; j <= fields.size() - 2; ++j) {
            if (!(running < version))
                continue;
            if (j == 0)
                notes += QStringLiteral(" Version ") + fields.at(0) + kCrLf;
            else
                notes += QString(17, QLatin1Char(' ')) + QStringLiteral("- ") + fields.at(j) + kCrLf;
        }
        if (!notes.trimmed().isEmpty())
            notes += kCrLf;
    }
    return notes;
}

bool UpdateAvailable(const QString &answer, const QString &runningVersion, QString *releaseNotes) {
    const QString text = answer.trimmed();
    QString notes;
    if (!text.isEmpty() && text != QLatin1String("0"))
        notes = ReleaseNotes(text, runningVersion);
    if (releaseNotes)
        *releaseNotes = notes;
    return !notes.trimmed().isEmpty();
}

UpdateCheck::UpdateCheck(QObject *parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)), m_limit(new QTimer(this)) {
    m_limit->setSingleShot(true);
    connect(m_limit, &QTimer::timeout, this, [this]() {
        if (m_reply)
            m_reply->abort();
    });
}

UpdateCheck::~UpdateCheck() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void UpdateCheck::start(const QString &url, const QString &runningVersion) {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    m_runningVersion = runningVersion;
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateCheck::onReplyFinished);
    // A server that never answers, or answers forever, is cut off after the time limit.
    m_limit->start(m_timeLimitMs);
}

void UpdateCheck::onReplyFinished() {
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    m_limit->stop();
    QString answer;
    if (reply->error() == QNetworkReply::NoError)
        answer = QString::fromUtf8(reply->readAll());
    else
        qCInfo(lcUpdate) << "no answer from the update address:" << reply->errorString();
    reply->deleteLater();
    m_available = UpdateAvailable(answer, m_runningVersion, &m_notes);
    Q_EMIT finished(m_available);
}

} // namespace tv

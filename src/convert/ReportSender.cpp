#include "ReportSender.h"

#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace tv {

namespace {
Q_LOGGING_CATEGORY(lcReport, "tunevane.report", QtWarningMsg)
}

ReportSender::ReportSender(QObject *parent) : QObject(parent), m_network(new QNetworkAccessManager(this)) {}

void ReportSender::send(const QUrl &url, int timeLimitMs) {
    QNetworkRequest request(url);
    request.setTransferTimeout(timeLimitMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = m_network->get(request);
    // A server that accepts the connection but keeps answering slowly is cut off as well.
    QTimer::singleShot(timeLimitMs, reply, [reply]() { reply->abort(); });
    connect(reply, &QNetworkReply::finished, this, [this, reply]() {
        const bool delivered = reply->error() == QNetworkReply::NoError;
        if (!delivered)
            qCInfo(lcReport) << "report not sent:" << reply->errorString();
        reply->deleteLater();
        emit finished(delivered);
    });
}

} // namespace tv

#pragma once
// Sends the failure report to the report address with a time limit; the outcome only decides
// what the log says, the user is thanked either way.

#include <QObject>
#include <QUrl>

class QNetworkAccessManager;

namespace tv {

class ReportSender : public QObject {
    Q_OBJECT
public:
    explicit ReportSender(QObject *parent = nullptr);

    // Requests the address; finished() follows once, when the answer is complete, the request
    // failed, or the time limit passed.
    void send(const QUrl &url, int timeLimitMs = 15000);

Q_SIGNALS:
    void finished(bool delivered);

private:
    QNetworkAccessManager *m_network = nullptr;
};

} // namespace tv

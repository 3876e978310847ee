#include "ReportList.h"

namespace tv {

namespace {
QList<ReportEntry> gEntries; // UI thread only
constexpr int kSendLimit = 1800;
} // namespace

const QList<ReportEntry> &ReportEntries() {
    return gEntries;
}

void ClearReport() {
    gEntries.clear();
}

void AddReportEntry(const QString &displayName, const QString &errorText) {
    gEntries.append({displayName, errorText.trimmed()});
}

ReportKind ChooseReportKind(const QList<ReportEntry> &entries, const QString &title, const QString &message) {
    bool copyProtected = false;
    for (const ReportEntry &entry : entries) {
        const QString text = (entry.displayName + QLatin1Char(' ') + entry.errorText).trimmed();
        if (text.contains(QLatin1String(kCopyProtectedMessage), Qt::CaseInsensitive))
            copyProtected = true;
    }
    ReportKind kind;
    kind.copyProtected = copyProtected;
    if (copyProtected) {
        kind.caption = QStringLiteral("DRM Protection");
        kind.headline = QStringLiteral("These files are copy-protected and can not be converted.");
        kind.headlineFontSize = 10;
        kind.iconName = QStringLiteral("img_report_protected.png");
    } else {
        kind.caption = title;
        kind.headline = message;
        kind.headlineFontSize = 12;
        kind.iconName = QStringLiteral("img_report_failed.png");
    }
    return kind;
}

QString ReportListText(const QList<ReportEntry> &entries) {
    QString text;
    for (const ReportEntry &entry : entries) {
        text += entry.displayName + QLatin1Char(',') + entry.errorText + QLatin1Char(',');
        if (text.size() > kSendLimit)
            break;
    }
    return text;
}

QString ReportRequestText(const QList<ReportEntry> &entries, const QString &version, int random) {
    const QStringList parts = version.split(QLatin1Char('.'));
    const QString major = QString::number(parts.value(0).toInt());
    const QString minor = QString::number(parts.value(1).toInt());
    QString list = ReportListText(entries);
    list.remove(QLatin1Char('#'));
    return QStringLiteral("inputfailed,") + major + minor + list.trimmed() + QStringLiteral("@@") +
           QString::number(random);
}

QUrl ReportRequestUrl(const QString &link, const QString &request) {
    return QUrl(link + QString::fromLatin1(QUrl::toPercentEncoding(request)), QUrl::StrictMode);
}

} // namespace tv

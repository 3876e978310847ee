#pragma once
// The failure report: the list of files that could not be imported or converted with their
// reasons, the kind of report it makes, and the text sent to the report address.

#include <QList>
#include <QString>
#include <QUrl>

namespace tv {

struct ReportEntry {
    QString displayName;
    QString errorText;
};

// The report window's list. UI thread only.
const QList<ReportEntry> &ReportEntries();
void ClearReport();
// Appends one entry; the reason is kept trimmed.
void AddReportEntry(const QString &displayName, const QString &errorText);

// The engine's wording for input it cannot read, which the report takes for copy protection.
inline constexpr char kCopyProtectedMessage[] = "Invalid data found when processing input";

struct ReportKind {
    bool copyProtected = false;
    QString caption;
    QString headline;
    int headlineFontSize = 12;
    QString iconName; // image file name
};

// "DRM Protection" when any entry's reason holds the copy-protection wording, otherwise the
// caller's title and message.
ReportKind ChooseReportKind(const QList<ReportEntry> &entries, const QString &title, const QString &message);

// The list part of the report to send: each entry's two texts each followed by ",", up to and
// including the first entry that makes the text longer than 1800 characters.
QString ReportListText(const QList<ReportEntry> &entries);

// "inputfailed," + major + minor + the list text without "#", trimmed + "@@" + random.
QString ReportRequestText(const QList<ReportEntry> &entries, const QString &version, int random);

// The report address followed by the request text (escaped for an address).
QUrl ReportRequestUrl(const QString &link, const QString &request);

} // namespace tv

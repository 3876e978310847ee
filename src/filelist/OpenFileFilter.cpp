#include "OpenFileFilter.h"

#include "MediaItem.h"

#include <QRegularExpression>

namespace tv {

namespace {

QString Patterns(const QString &extensionList) {
    QStringList patterns;
    for (const QString &extension : extensionList.split(QLatin1Char('|'), Qt::SkipEmptyParts))
        patterns << QStringLiteral("*.") + extension;
    return patterns.join(QLatin1Char(';'));
}

// The descriptions after the first three; each carries its patterns in parentheses.
const char *const kDescriptions[] = {
    "AC3 Audio Files (*.ac3;*.dts)",
    "AMR Files (*.amr)",
    "AIFF Files (*.aif;*.aiff;*.aifc)",
    "AWB Audio Files (*.awb)",
    "CAF Audio Files (*.caf)",
    "Creative Labs Audio Files (*.voc)",
    "FLAC Files (*.flac)",
    "MPEG 2/4 Audio Files (*.aac;*.m4a;*.m4r;*.m4b;*.mpa)",
    "MPEG Files (*.mp3;*.mpeg3;*.mp2;*.mp1)",
    "Matroska Audio Files (*.mka)",
    "MLP Audio Files (*.mlp)",
    "Monkey's Audio Files (*.ape)",
    "Musepack Audio Files (*.mpc)",
    "Ogg Vorbis Files (*.ogg)",
    "QCP Audio Files (*.qcp)",
    "Raw Audio Files (*.raw;*.gsm)",
    "Real Audio Files (*.ra;*.ram)",
    "SHN Audio Files (*.shn)",
    "Sun Audio Files (*.au)",
    "True Audio Files (*.tta)",
    "Wave Files (*.wav)",
    "WavePack Audio Files (*.wv)",
    "Windows Media Audio Files (*.wma)",
    "XA Audio Files (*.xa)",
    "3GPP Files (*.3gp;*.3gpp)",
    "3GPP2 Files (*.3gp2;*.3g2;*.3gpp2;)",
    "Apple Video Files (*.m4v)",
    "Audio Video Interleave Files (*.avi;*.ivf;*.div;*.divx)",
    "AVCHD Files (*.mts;*.m2ts)",
    "Anime Music Video Files (*.amv)",
    "Blu-ray (*.m2ts)",
    "Digital Video Files (*.dv)",
    "Flash Video Files (*.flv;*.f4v)",
    "Matroska Video (*.mkv)",
    "MPEG Video Files (*.mpg;*.mpeg;*.mpa;*.dat;*.vob)",
    "MPEG4 Video Files (*.mp4;*.m4v)",
    "MXF Files (*.mxf)",
    "Microsoft Digital Video Files (*.dvr-ms)",
    "Nullsoft Stream Video Files (*.nsv)",
    "OGV Files (*.ogv)",
    "Quick Time Files (*.mov;*.qt)",
    "Real Media Files (*.rm;*.rmvb)",
    "Raw h.264 Video Files (*.h264)",
    "Tivo Video Files (*.tivo)",
    "Unprotected VOB Files (*.vob)",
    "Video CD Files (*.dat)",
    "Video Transport Stream Files (*.ts;*.tp;*.trp)",
    "VRO Files (*.vro)",
    "Windows Media Files (*.wmv;*.asf)",
    "Windows Recorded TV Show Files (*.wtv)",
    "WebM Files (*.webm)",
    "Opus Audio Files (*.opus)",
    "Ogg Audio Files (*.oga;*.spx)",
    "WebM Audio Files (*.weba)",
    "DSD Audio Files (*.dsf;*.dff)",
    "TAK Audio Files (*.tak)",
    "Wave64 Audio Files (*.w64;*.rf64)",
    "3GPP Audio Files (*.3ga)",
    "All Files (*)",
};

QString EntryPatterns(const QString &description) {
    const int open = description.lastIndexOf(QLatin1Char('('));
    const int close = description.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return QString();
    QString patterns = description.mid(open + 1, close - open - 1);
    // The 3GPP2 entry's description ends its list with ";", its patterns do not.
    if (patterns.endsWith(QLatin1Char(';')) && !description.startsWith(QLatin1String("Anime")))
        patterns.chop(1);
    // The Anime Music Video entry keeps a closing ";" in its patterns.
    if (description.startsWith(QLatin1String("Anime")))
        patterns += QLatin1Char(';');
    return patterns;
}

} // namespace

QStringList OpenFileFilterTable() {
    QStringList table;
    table << QStringLiteral("All Media Files|") + Patterns(kVideoExtensions + kAudioExtensions) +
                 QLatin1Char('|');
    table << QStringLiteral("All Audio Files|") + Patterns(kAudioExtensions) + QLatin1Char('|');
    table << QStringLiteral("All Video Files|") + Patterns(kVideoExtensions) + QLatin1Char('|');
    for (const char *d : kDescriptions) {
        const QString description = QString::fromUtf8(d);
        table << description + QLatin1Char('|') + EntryPatterns(description) + QLatin1Char('|');
    }
    while (table.size() < kFilterTableSize)
        table << QString();
    return table;
}

QStringList OpenFileNameFilters() {
    static const QRegularExpression kTrailingPatterns(QStringLiteral(R"(\s*\([^()]*\)\s*$)"));
    QStringList filters;
    for (const QString &entry : OpenFileFilterTable()) {
        if (entry.trimmed().isEmpty())
            continue;
        const QStringList parts = entry.split(QLatin1Char('|'));
        QString label = parts.value(0);
        label.remove(kTrailingPatterns);
        QStringList patterns = parts.value(1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        patterns.removeDuplicates();
        filters << label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

} // namespace tv

// The menu entry offers Tunevane for every file type it reads: each input extension whose
// media type the desktop knows is among the entry's MIME types.
#include "MediaItem.h"
#include "TestEnv.h"

using namespace tv;

class DesktopEntryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyReadableMediaTypeIsOffered() {
        QFile entry(TUNEVANE_SOURCE_DIR "/data/desktop/org.tunevane.Tunevane.desktop");
        QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList offered;
        while (!entry.atEnd()) {
            const QString line = QString::fromUtf8(entry.readLine()).trimmed();
            if (line.startsWith("MimeType="))
                offered = line.mid(9).split(';', Qt::SkipEmptyParts);
        }
        QVERIFY(offered.size() > 20);
        const QMimeDatabase mimes;
        int known = 0;
        const QStringList extensions = (kVideoExtensions + kAudioExtensions).split('|', Qt::SkipEmptyParts);
        for (const QString &extension : extensions) {
            const QMimeType type = mimes.mimeTypeForFile("x." + extension, QMimeDatabase::MatchExtension);
            if (!type.name().startsWith("audio/") && !type.name().startsWith("video/"))
                continue;
            ++known;
            const QStringList names = QStringList{type.name()} + type.aliases();
            const bool listed = std::any_of(names.cbegin(), names.cend(),
                                            [&](const QString &name) { return offered.contains(name); });
            QVERIFY2(listed, qPrintable(extension + " is " + type.name()));
        }
        QVERIFY(known > 40);
    }
};

TV_TEST_MAIN_CORE(DesktopEntryTest)
#include "tst_desktopentry.moc"

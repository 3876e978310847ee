#pragma once
// What the disc tests share: the corpus images and what cd-info says about them, tone images
// written by the test, independent CRC32 / AccurateRip / disc id computations, WAV reading,
// and a local web server standing in for MusicBrainz and the Cover Art Archive.

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QVector>

namespace tv::test {

// The corpus folder of disc images, "" when it is absent.
QString CorpusImagesFolder();
bool HaveCdInfo();

// A disc as cd-info reports it (run in the image's folder, as its users do).
struct CdInfoDisc {
    bool ok = false;
    int first = 0;
    QVector<qint64> lsn; // by track, in order
    QVector<bool> audio;
    qint64 leadout = 0;
    QString album; // CD-Text of the disc
    QString artist;
    QMap<int, QString> titles; // CD-Text by track number
};
CdInfoDisc RunCdInfo(const QString &image);

// Writes folder/name.bin and folder/name.cue: one track per length (in sectors), each a tone of
// its own pitch, left and right apart. cdText, when given, is the disc's album and artist and
// then the track titles, written into the sheet as CD-Text. Answers the cue sheet's path.
QString WriteToneImage(const QString &folder, const QString &name, const QVector<int> &trackSectors,
                       const QStringList &cdText = {});

// Checks the header of a CD-audio WAV file and answers its samples ("" when it is not one).
QByteArray WavSamples(const QString &path);

// The zip CRC32 bit by bit, and the AccurateRip sums by their definition.
quint32 ReferenceCrc32(const QByteArray &bytes);
struct ArSums {
    quint32 v1 = 0;
    quint32 v2 = 0;
};
ArSums ReferenceAccurateRip(const QByteArray &samples, bool firstTrack, bool lastTrack);

// A MusicBrainz disc id from addresses (LSN + 150; offsets[0] is the lead-out).
QString ReferenceDiscId(int first, int last, const QVector<qint64> &addresses, qint64 leadout);

// A web server on 127.0.0.1 answering fixed replies by path (the query left out); a path that
// is set to hang is accepted and never answered; unknown paths get 404.
class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    LocalHttpServer();
    QString base() const; // "http://127.0.0.1:port/"
    void reply(const QString &path, const QByteArray &body,
               const QByteArray &contentType = "application/json", int status = 200);
    void hang(const QString &path);
    QStringList paths;      // requested paths in order, with their queries
    QStringList userAgents; // User-Agent of each request

private:
    void onConnection();
    struct Reply {
        int status = 200;
        QByteArray type;
        QByteArray body;
        bool hang = false;
    };
    QTcpServer m_server;
    QHash<QString, Reply> m_replies;
};

} // namespace tv::test

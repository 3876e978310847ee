#include "ProbeInputs.h"

#include "Config.h"
#include "ProbeQueue.h"

#include <QEventLoop>
#include <QFile>

namespace tv {

QList<ProbeOutcome> ProbeInputs(const QStringList &paths, bool expandFolders) {
    QList<ProbeOutcome> outcomes;
    ProbeQueue queue;
    ProbeOptions options;
    options.tempFolder = Paths().tempFolder;
    queue.setOptions(options);
    QEventLoop loop;
    QObject::connect(&queue, &ProbeQueue::outcomeReady, &loop,
                     [&outcomes](const ProbeOutcome &outcome) { outcomes.append(outcome); });
    QObject::connect(&queue, &ProbeQueue::finished, &loop, &QEventLoop::quit);
    if (!queue.start(paths, expandFolders))
        return outcomes;
    loop.exec();
    return outcomes;
}

void ForgetProbePictures(const MediaItem &item) {
    const QString picture = item[Item::Thumbnail];
    // Only the pictures the probe made; a picture elsewhere belongs to someone else.
    if (!picture.isEmpty() && picture.startsWith(Paths().tempFolder))
        QFile::remove(picture);
}

} // namespace tv

// Import speed and memory of the file list: 1,000 generated audio files probed into the list
// against running ffprobe once per file on the same files, and the peak resident memory of a
// list of 10,000 rows.
#include "Config.h"
#include "FileImporter.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "OutputFolders.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

using namespace tv;

namespace {

bool Run(const QString &program, const QStringList &args) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, args);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

long StatusKilobytes(const char *field) {
    FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long value = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, length) == 0) {
            value = std::atol(line + length + 1);
            break;
        }
    }
    std::fclose(status);
    return value;
}

double ImportSeconds(FileImporter &importer, const QStringList &paths) {
    QEventLoop loop;
    QObject::connect(&importer, &FileImporter::importFinished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    importer.ImportPaths(paths);
    loop.exec();
    return clock.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + "/.config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/.local/share"));
    QApplication app(argc, argv);
    ReadConfiguration();
    LoadFolders();

    // Five short tones in the common formats, copied to 1,000 files and linked to 10,000.
    const QString media = home.path() + "/media";
    QDir().mkpath(media + "/thousand");
    QDir().mkpath(media + "/ten-thousand");
    const QStringList formats{"mp3", "m4a", "ogg", "flac", "wav"};
    for (const QString &format : formats) {
        if (!Run("ffmpeg", {"-hide_banner", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                            "sine=frequency=440:duration=3", "-ac", "2", media + "/source." + format})) {
            std::fprintf(stderr, "ffmpeg could not generate the %s source\n", qPrintable(format));
            return 1;
        }
    }
    QStringList thousand;
    for (int i = 0; i < 1000; ++i) {
        const QString format = formats.at(i % formats.size());
        const QString path = QStringLiteral("%1/thousand/song %2.%3").arg(media).arg(i + 1).arg(format);
        QFile::copy(media + "/source." + format, path);
        thousand << path;
    }
    QStringList tenThousand;
    for (int i = 0; i < 10000; ++i) {
        const QString source = thousand.at(i % thousand.size());
        const QString path = QStringLiteral("%1/ten-thousand/track %2.%3")
                                 .arg(media)
                                 .arg(i + 1)
                                 .arg(QFileInfo(source).suffix());
        if (::link(QFile::encodeName(source).constData(), QFile::encodeName(path).constData()) != 0)
            QFile::copy(source, path);
        tenThousand << path;
    }

    QWidget window;
    auto *list = new FileListPanel(&window);
    FileImporter importer(list->view(), &window);
    window.resize(1000, 700);
    window.show();
    QApplication::processEvents();

    // Memory first, so the peak belongs to the list of 10,000 rows.
    const long before = StatusKilobytes("VmRSS:");
    const double tenSeconds = ImportSeconds(importer, tenThousand);
    const long peak = StatusKilobytes("VmHWM:");
    const int tenRows = list->view()->list()->rowCount();
    list->view()->RemoveAllFiles();

    const double ours = ImportSeconds(importer, thousand);
    const int rows = list->view()->list()->rowCount();

    // "--no-ffprobe" leaves out the slow part while working on the list itself.
    const bool withFfprobe = !QApplication::arguments().contains("--no-ffprobe");
    QElapsedTimer clock;
    clock.start();
    int probed = 0;
    for (const QString &path : withFfprobe ? thousand : QStringList())
        probed += Run("ffprobe", {"-v", "error", "-show_format", "-show_streams", path}) ? 1 : 0;
    const double theirs = clock.elapsed() / 1000.0;

    std::printf("Import of %d audio files (%d rows): %.2f s to the last row\n", int(thousand.size()), rows,
                ours);
    if (withFfprobe) {
        std::printf("ffprobe once per file (%d files):   %.2f s\n", probed, theirs);
        std::printf("Ratio: %.1fx faster (target: at least 10x)\n", theirs / ours);
    }
    std::printf("List of %d rows: imported in %.2f s, resident memory %.1f MB before, peak %.1f MB "
                "(target: under 150 MB)\n",
                tenRows, tenSeconds, before / 1024.0, peak / 1024.0);
    return 0;
}

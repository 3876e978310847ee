// tunevane-cli: the conversions of Tunevane from a terminal or a script, without a window.
#include "CliCommon.h"
#include "Config.h"
#include "OutputFolders.h"

#include <QCoreApplication>

namespace {

const char *const kUsage =
    "Usage:\n"
    "  tunevane-cli --list-presets [--maker M] [--keyword K] [--json]\n"
    "  tunevane-cli info [--json] FILES...\n"
    "  tunevane-cli convert (--preset NAME | --keyword K) [--output DIR] [--jobs N] [--merge]\n"
    "               [--overwrite] [--start hh:mm:ss.fff] [--length hh:mm:ss.fff] [--dry-run] [--json]\n"
    "               [--loudness off|track[=LUFS]|album[=LUFS]|tags]\n"
    "               [--keep-tree [--base DIR]] [--skip-existing]\n"
    "               FILES/FOLDERS...\n"
    "  tunevane-cli rip [--drive DEVICE | --image FILE.cue|.toc|.nrg] [--tracks 1,3-5]\n"
    "               (--preset ID | --keyword EXT) [--output DIR] [--no-network] [--log FILE] [--json]\n"
    "  tunevane-cli burn (--audio | --data-cd | --data-dvd) [--drive DEVICE | --image FILE] [--label TEXT]\n"
    "               [--speed N] [--no-finalize] [--json] FILES/FOLDERS...\n"
    "  tunevane-cli SUBCOMMAND --help\n";

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tunevane-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TUNEVANE_VERSION));
    tv::ReadConfiguration();
    tv::LoadFolders();

    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        tv::PrintError(QString::fromLatin1(kUsage).trimmed());
        return tv::ExitUsage;
    }
    const QString first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        tv::PrintOut(QString::fromLatin1(kUsage));
        return tv::ExitOk;
    }
    if (first == QLatin1String("--version")) {
        tv::PrintOut(QStringLiteral("tunevane-cli %1\n").arg(QStringLiteral(TUNEVANE_VERSION)));
        return tv::ExitOk;
    }
    if (arguments.contains(QStringLiteral("--list-presets")))
        return tv::ListPresetsCommand(arguments);
    if (first == QLatin1String("info"))
        return tv::InfoCommand(arguments.mid(1));
    if (first == QLatin1String("convert"))
        return tv::ConvertCommand(arguments.mid(1));
    if (first == QLatin1String("rip"))
        return tv::RipCommand(arguments.mid(1));
    if (first == QLatin1String("burn"))
        return tv::BurnCommand(arguments.mid(1));
    tv::PrintError(
        QStringLiteral("Unknown subcommand \"%1\".\n%2").arg(first, QString::fromLatin1(kUsage).trimmed()));
    return tv::ExitUsage;
}

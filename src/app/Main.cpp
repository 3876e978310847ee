#include "Main.h"

#include "Config.h"
#include "OutputFolders.h"
#include "UnixSignals.h"
#include "frmMain.h"

#include <QApplication>
#include <QFileInfo>

namespace tv {

int Main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tunevane"));
    QApplication::setApplicationVersion(QStringLiteral(TUNEVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.tunevane.Tunevane"));
    // The window may hide in the notification area; the program ends when it unloads.
    QApplication::setQuitOnLastWindowClosed(false);

    ReadConfiguration();
    LoadFolders();

    QStringList arguments = QApplication::arguments().mid(1);
    // A file named relative to where this start was made means the same to a running window,
    // which was started elsewhere.
    if (!arguments.isEmpty() && !arguments.first().startsWith(QLatin1Char('@'))) {
        const QFileInfo file(arguments.first());
        if (file.isRelative() && file.exists())
            arguments.first() = file.absoluteFilePath();
    }
    frmMain window(arguments);
    if (!window.Form_Load())
        return window.exitCode();
    QObject::connect(&window, &frmMain::unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();

    // A polite end from the session (SIGTERM, Ctrl-C) runs the same unload as closing the window.
    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::terminateRequested, &window, [&window]() {
        window.Form_Unload();
        QApplication::quit();
    });

    return app.exec();
}

} // namespace tv

#include "ThemeLoader.h"

#include "ImageStore.h"
#include "Theme.h"

#include <QApplication>
#include <QStyle>

namespace tv {

int LoadTheme(int themeNo) {
    const QString skin = SkinFolder();
    const QString folder = skin + ThemeName(themeNo) + QLatin1Char('/');
    // The image folder is the theme's for the rest of the run, whatever follows; every image is
    // read anew from it.
    SetThemeFolder(folder);
    if (const int error = ThemeFolderError(folder))
        return error;

    ColourScheme scheme;
    if (const int error = ReadColourScheme(skin + ColourSchemeFile(themeNo), &scheme))
        return error;
    // The skin draws every window alike, whatever style the desktop would pick.
    if (QApplication::style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStringLiteral("Fusion"));
    if (QApplication::palette() != scheme.palette)
        QApplication::setPalette(scheme.palette);
    const QString sheet = SkinStyleSheet(scheme, folder);
    if (qApp->styleSheet() != sheet)
        qApp->setStyleSheet(sheet);

    for (const QString &file : ThemeImageFiles()) {
        if (const int error = LoadThemeImage(file))
            return error;
    }
    return 0;
}

} // namespace tv

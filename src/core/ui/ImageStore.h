#pragma once
// The shared image store: every window takes its pictures from here by file name
// ("img_addfile.png", "img_convert.png" ...), read from the current theme folder. Each image
// is drawn from its vector source ("img_addfile.png.svg") at the size and device pixel ratio
// it is shown at; the raster file of that name serves where there is no vector source.

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace tv {

// The folder that holds the theme folders and the colour schemes ("…/Skin/"), ending with
// "/". Found beside the program, in the installed data folder, or in the build tree, in that
// order; TUNEVANE_SKIN_DIR names another one.
QString SkinFolder();

// The theme folder ("…/Skin/Light/"), ending with "/".
QString ThemeFolder();
// Chooses the theme folder by its path.
void SetThemeFolder(const QString &folder);
// Counts theme changes, so that whoever keeps a picture knows when to fetch it again.
int ThemeGeneration();

// An image at its own size, drawn for the device pixel ratio of the screens.
QPixmap ThemePixmap(const QString &fileName);
// An image fitted into a size given in device-independent pixels.
QPixmap ThemePixmap(const QString &fileName, const QSize &size);
// An icon that draws the image of the theme current at the time it is painted, at every size.
QIcon ThemeIcon(const QString &fileName);

// Reads one image of the theme folder into the store: 0 when it can be drawn, otherwise the
// number of the error that stopped it (53 no such file, 70 permission denied, 481 not a
// picture).
int LoadThemeImage(const QString &fileName);

} // namespace tv

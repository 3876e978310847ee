#pragma once
// The two themes: their numbers, folders and image sets, and the colour schemes that recolour
// the windows (a palette and the colours of the window skin's style rules).

#include <QColor>
#include <QHash>
#include <QPalette>
#include <QString>
#include <QStringList>

namespace tv {

// The folder name of a theme number: 2 is "Dark", anything else "Light".
QString ThemeName(int themeNo);
// The colour scheme file of a theme number: "NormalBlack.ini" for Dark, else "NormalWhite.ini".
QString ColourSchemeFile(int themeNo);

// The image files the theme loader reads into the image store, in the order it reads them.
const QStringList &ThemeImageFiles();
// Icons other windows read from the theme folder themselves: the completion notice and the tray.
QStringList ThemeIconFiles();

// Whether a theme folder can be read: 0, 70 when it is there but cannot be opened as a folder,
// 76 when there is nothing by that name.
int ThemeFolderError(const QString &folder);

// A colour scheme: the palette of every window and the named colours of the style rules.
struct ColourScheme {
    QPalette palette;
    QHash<QString, QColor> sheetColours;
};

// Reads a scheme file: 0, or 53 when it is missing, 70 when it cannot be read, 13 when a
// line names an unknown colour role or a value that is not a colour.
int ReadColourScheme(const QString &path, ColourScheme *scheme);

// The window skin's style rules in the scheme's colours, with pictures from the theme folder.
QString SkinStyleSheet(const ColourScheme &scheme, const QString &themeFolder);

} // namespace tv

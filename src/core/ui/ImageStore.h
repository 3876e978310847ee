#pragma once
// The shared image store: every window takes its pictures from here by file name
// ("img_addfile.png", "img_convert.png" ...), read from the current theme folder.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace tv {

// The theme folder ("…/Skin/Light/"), ending with "/". Found beside the program, in the
// installed data folder, or in the build tree, in that order.
QString ThemeFolder();
void SetThemeName(const QString &name);

QPixmap ThemePixmap(const QString &fileName);
QIcon ThemeIcon(const QString &fileName);

} // namespace tv

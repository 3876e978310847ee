#pragma once
// The theme loader: points the image store at a theme folder, recolours every window with the
// theme's colour scheme and reads the theme's image set.

namespace tv {

// Applies the theme with that number (1 Light, 2 Dark) to the whole program; answers 0, or
// the number of the error that stopped it (70 when the theme folder cannot be read).
int LoadTheme(int themeNo);

} // namespace tv

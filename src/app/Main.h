#pragma once

namespace tv {

// The start procedure: configuration, folders, then the main window.
int Main(int argc, char *argv[]);

} // namespace tv

#pragma once
// Each running process of the program (the window, a command-line run, a second start) keeps
// its temporary files in a folder of its own below the shared temporary folder, locked for as
// long as the process lives. Cleaning up never reaches into another live process's folder:
// only folders whose lock nobody holds any more (their process has ended) are swept.

#include <QString>

namespace tv {

// Creates and locks this process's folder below sharedFolder (created when missing), after
// sweeping the folders of processes that have ended. Answers the folder with a trailing "/",
// or "" when it cannot be made. Calling it again releases the earlier folder first.
QString ClaimTempFolder(const QString &sharedFolder);

// Deletes this process's folder and everything in it, and lets go of its lock (also done at
// the process's normal exit).
void ReleaseTempFolder();

// Deletes the files in this process's folder (the window's unload); the folder stays.
void ClearTempFolder();

// Deletes the folders of ended processes below sharedFolder; answers how many went.
int SweepEndedTempFolders(const QString &sharedFolder);

} // namespace tv

#pragma once
// Work files (an output being written, a copy being tagged) lie beside their final names under
// hidden names that tell which process on which machine made them, so that a later run can
// tell the leftover of a process that was killed from a file that is still being written.

#include <QString>

namespace tv {

// "HOST-PID-" + random letters: the part of a work file's name after its kind ("tvpart-").
QString WorkFileStamp();

// The work name of finalPath: hidden, in the same folder, kind + stamp, the same extension:
// ".song.tvpart-HOST-PID-RANDOM.mp3".
QString WorkFilePath(const QString &finalPath, const QString &kind = QStringLiteral("tvpart"));

// The QTemporaryFile template of a work copy of finalPath: ".song.mp3.tags-HOST-PID-XXXXXX".
QString WorkFileTemplate(const QString &finalPath, const QString &kind);

// Deletes the work files in folder that a process of this machine left when it ended without
// cleaning up (killed, crashed); answers how many went. Files of live processes and of other
// machines (a shared folder) are kept.
int SweepDeadWorkFiles(const QString &folder);

} // namespace tv

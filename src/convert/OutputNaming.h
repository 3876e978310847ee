#pragma once
// Output file names: extension changes, the "_(new%n)" rule that never overwrites a file, and
// the output path of a job.

#include <QSet>
#include <QString>

namespace tv {

// The unique-name pattern; "%n" becomes "" first, then "_1", "_2" ...
inline constexpr char kUniqueNamePattern[] = "_(new%n)";

// The parent folder, the name without its last extension, ".", and the new extension.
QString ChangeExtension(const QString &path, const QString &extension);

// The path itself when its folder is missing or nothing carries its name; otherwise the first
// free name of the pattern: song_(new).MP3, song_(new_1).MP3, ... Names in `reserved` count as
// taken too (outputs promised to other jobs of the same batch that do not exist yet).
QString UniqueName(const QString &path, const QSet<QString> &reserved = {});

// True when a file, folder or even a dangling link already carries this name.
bool NameTaken(const QString &path);

// Gives a finished file its name. With `replace` false nothing that carries the name meanwhile
// (another program's file) is replaced: the answer is false with errno EEXIST.
bool PlaceFile(const QString &from, const QString &to, bool replace);

// Makes a display name safe as a file name inside the output folder: "/" and NUL become "_"
// and the name is shortened (at a character boundary) so that the file name, its extension
// and room for the unique-name and work suffixes stay within the file system's 255 bytes.
QString SafeOutputName(const QString &displayName, const QString &extension);

// The output path of a job: output folder + display name with the extension replaced by the
// current output extension in lower case; with the "OutputFileName" policy 1 the unique-name rule applies.
// A name in `reserved` is always made unique: overwriting may replace an old file, never
// another output of the same batch.
QString OutputPathForJob(const QString &outputFolder, const QString &displayName, const QString &extension,
                         int outputFileNamePolicy, const QSet<QString> &reserved = {});

} // namespace tv

#pragma once
// Whole music folders for tunevane-cli convert: the folder below the output folder each input's
// output goes to (--keep-tree, --base), and the outputs that are already up to date
// (--skip-existing), so that running the same command again converts only what is new.

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

struct TreeInput {
    QString path;      // the input file, as found
    QString subfolder; // relative to the output folder: "Artist/Album", or "" for the folder itself
};

// Expands folder arguments into their media files (as the window adds a folder). With keepTree,
// a file found in a folder argument keeps its path below that folder; with a base folder, every
// input keeps its path below the base instead (so files given one at a time land in the same
// tree). Answers "" or, when an input lies outside the base folder, why nothing can be done.
QString ExpandInputTree(const QStringList &arguments, bool keepTree, const QString &base,
                        QList<TreeInput> *inputs);

// Where the input's output would be written under its plain name (no "_(new)").
QString PlainOutputPath(const QString &outputFolder, const TreeInput &input, const QString &extension);

// True when the output exists and was written no earlier than the input last changed.
bool OutputUpToDate(const QString &outputPath, const QString &inputPath);

} // namespace tv

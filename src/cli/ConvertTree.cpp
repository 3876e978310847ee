#include "ConvertTree.h"

#include "Config.h"
#include "MediaScan.h"
#include "OutputNaming.h"

#include <QDir>
#include <QFileInfo>

namespace tv {

namespace {

// The folder of file relative to root, or nothing when file does not lie below root.
bool RelativeFolder(const QString &root, const QString &file, QString *relative) {
    const QString folder = QFileInfo(file).absolutePath();
    const QString rootPath = QDir(root).absolutePath();
    if (folder == rootPath) {
        relative->clear();
        return true;
    }
    if (!folder.startsWith(WithTrailingSlash(rootPath)))
        return false;
    *relative = folder.mid(WithTrailingSlash(rootPath).size());
    return true;
}

} // namespace

QString ExpandInputTree(const QStringList &arguments, bool keepTree, const QString &base,
                        QList<TreeInput> *inputs) {
    inputs->clear();
    for (const QString &argument : arguments) {
        const bool folder = QFileInfo(argument).isDir();
        const QStringList files = folder ? CollectMediaFiles({argument}) : QStringList{argument};
        for (const QString &file : files) {
            TreeInput input{file, QString()};
            if (!base.isEmpty()) {
                if (!RelativeFolder(base, file, &input.subfolder))
                    return QStringLiteral("%1 is not inside the --base folder %2.").arg(file, base);
            } else if (keepTree && folder) {
                RelativeFolder(argument, file, &input.subfolder);
            }
            inputs->append(input);
        }
    }
    return QString();
}

QString PlainOutputPath(const QString &outputFolder, const TreeInput &input, const QString &extension) {
    const QFileInfo info(input.path);
    const QString folder =
        input.subfolder.isEmpty() ? outputFolder : WithTrailingSlash(outputFolder) + input.subfolder;
    return OutputPathForJob(folder, info.completeBaseName() + QLatin1Char('.') + info.suffix().toUpper(),
                            extension, 0);
}

bool OutputUpToDate(const QString &outputPath, const QString &inputPath) {
    const QFileInfo output(outputPath);
    const QFileInfo input(inputPath);
    return output.isFile() && output.size() > 0 && input.exists() &&
           output.lastModified() >= input.lastModified();
}

} // namespace tv

#include "ErrorTexts.h"

#include <QStorageInfo>

namespace tv {

FailureKind ClassifyEngineMessage(const QString &message) {
    if (message.contains(QLatin1String("No space left on device"), Qt::CaseInsensitive))
        return FailureKind::DiskFull;
    if (message.contains(QLatin1String("Invalid data found when processing input"), Qt::CaseInsensitive))
        return FailureKind::InvalidData;
    return FailureKind::Other;
}

QString DiskFullText(const QString &folder) {
    return QStringLiteral("The disk in the destination folder is full.\n\n\"%1\"").arg(folder);
}

QString InvalidDataText() {
    return QStringLiteral("Please change the format parameters or use one of the preset profiles.");
}

QString DamagedAudioText() {
    return QStringLiteral("The audio data of this file is damaged: most of it cannot be decoded, so no "
                          "output was written.");
}

QString NoAudioText() {
    return QStringLiteral("The file holds no sound that could be converted, so no output was written.");
}

QString CouldNotOpenText() {
    return QStringLiteral(
        "The file couldn't be opened, it might be corrupted, truncated, or in an unexpected format.");
}

QString SingleFileErrorText(const QString &message, const QString &temporaryFolder) {
    QString text;
    switch (ClassifyEngineMessage(message)) {
    case FailureKind::DiskFull: {
        // The "drive" of a folder here is the file system it lives on.
        const QString root = QStorageInfo(temporaryFolder).rootPath();
        text = DiskFullText(root.isEmpty() ? temporaryFolder : root);
        break;
    }
    case FailureKind::InvalidData:
        text = InvalidDataText();
        break;
    case FailureKind::Other:
        text = message;
        break;
    }
    if (text.trimmed().isEmpty())
        text = CouldNotOpenText();
    return text;
}

QString RefusalText(const QString &lastErrorText) {
    return QString(lastErrorText).replace(QLatin1String(": "), QLatin1String("\n\n"));
}

} // namespace tv

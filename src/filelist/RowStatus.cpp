#include "RowStatus.h"

#include "FileListModel.h"

namespace tv {

QString FileTypeIconName(const QString &fileType) {
    if (fileType == QLatin1String("VIDEO"))
        return QStringLiteral("img_type_video.png");
    if (fileType == QLatin1String("AUDIO"))
        return QStringLiteral("img_type_audio.png");
    return QStringLiteral("img_type_cd.png");
}

QString BusyFrameIconName(int frame) {
    return QStringLiteral("img_busy_%1.png").arg(frame);
}

void SetRowStatus(FileListModel &list, int row, bool showIcon, RowStatus code) {
    if (row < 0 || row >= list.rowCount())
        return;
    if (!showIcon) {
        list.setItem(row, Item::Progress, QString());
        return;
    }
    switch (code) {
    case RowStatus::Converting:
        list.setStatusIcon(row, BusyFrameIconName(list.nextBusyFrame()));
        break;
    case RowStatus::Ready:
        list.setStatusIcon(row, FileTypeIconName(list.item(row, Item::FileType)));
        break;
    case RowStatus::Done:
        list.setStatusIcon(row, QStringLiteral("img_status_done.png"));
        list.setItem(row, Item::Progress, QStringLiteral("Done"));
        break;
    case RowStatus::Unsuccessful:
        list.setStatusIcon(row, QStringLiteral("img_status_failed.png"));
        list.setItem(row, Item::Progress, QStringLiteral("Unsuccessful!"));
        break;
    case RowStatus::Canceled:
        list.setStatusIcon(row, QStringLiteral("img_status_canceled.png"));
        list.setItem(row, Item::Progress, QStringLiteral("Canceled!"));
        break;
    }
}

} // namespace tv

#pragma once
// The ripper's track list TrackViewMain: one record per audio track with its status icon, tick,
// title, length, status text or progress figure, and the file it was extracted to while that
// file waits to go to the main list. Footers count the tracks and add up their lengths. Owner's
// (UI) thread only.

#include "RowStatus.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QVector>

namespace tv {

class TrackListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { StatusColumn = 0, TickColumn, TitleColumn, DurationColumn, ProgressColumn, FileColumn };
    enum Role {
        StatusIconRole = Qt::UserRole + 1, // column 0: image file name of the status icon
        ProgressRole,                      // column 4: the percent while a figure is shown, else -1
    };

    explicit TrackListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    void clear();
    // Adds a record (ticked, status Ready); answers its index.
    int addTrack(int trackNumber, const QString &title, const QString &durationText);
    int trackNumber(int record) const;
    QString title(int record) const;

    bool isTicked(int record) const;
    void setTicked(int record, bool ticked);
    int tickedCount() const;

    // The record's status as the main list's rows show theirs; record -1 does nothing.
    void setStatus(int record, RowStatus status);
    QString statusText(int record) const;
    QString statusIcon(int record) const;
    // The progress figure of column 4 (setting a status text removes it).
    void setProgress(int record, int percent);
    int progress(int record) const;

    QString filePath(int record) const;
    void setFilePath(int record, const QString &path);

    QString footerText(int column) const { return m_footers.value(column); }
    void setFooterText(int column, const QString &text);
    // The text the empty list shows.
    QString emptyText() const { return m_emptyText; }
    void setEmptyText(const QString &text);

Q_SIGNALS:
    void tickChanged();
    void footerTextChanged();
    void emptyTextChanged();

private:
    struct Record {
        int track = 0;
        bool ticked = true;
        QString title;
        QString duration;
        QString icon;
        QString statusText;
        bool red = false;
        int progress = -1;
        QString file;
    };
    bool valid(int record) const { return record >= 0 && record < m_records.size(); }
    void changed(int record, int first, int last);

    QVector<Record> m_records;
    QHash<int, QString> m_footers;
    QString m_emptyText;
    int m_busyFrame = 0; // frame counter of the busy animation (1 to 4)
};

// " 1 audio track", " 2 audio tracks", " 0 audio track": the footer of the title column.
QString AudioTrackCountText(int count);

} // namespace tv

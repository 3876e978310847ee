#pragma once
// The input information panel GroupBox_InputInfo: eleven lines about the selected file (type,
// duration, video codec, resolution, video bitrate, frame rate, aspect ratio, audio codec,
// sample rate, audio bitrate, channels) in lbl_InputFileValue(0) ... (10), and the button
// Cmd_MoreInfo that opens the shown file's tags and properties.

#include <QGroupBox>

class QLabel;
class QPushButton;

namespace tv {

class FileListModel;

class InputInfoPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit InputInfoPanel(QWidget *parent = nullptr);

    // Shows the row of the list; an invalid row empties the labels.
    void ShowInputInfo(const FileListModel *list, int row);
    void clear();

    QLabel *lbl_InputFileValue(int index) const { return m_values.value(index); }
    QPushButton *Cmd_MoreInfo() const { return m_moreInfo; }

Q_SIGNALS:
    // Cmd_MoreInfo was clicked: the tag editor is to show the file the panel shows.
    void moreInfoRequested();

private:
    QList<QLabel *> m_values;
    QPushButton *m_moreInfo = nullptr;
};

// The description of a file's type, as the desktop names it ("MP3 audio").
QString FileTypeDescription(const QString &path);

} // namespace tv

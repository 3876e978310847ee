#include "InputInfoPanel.h"

#include "FileListModel.h"
#include "ImageStore.h"
#include "MediaCaptions.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeDatabase>
#include <QPushButton>

namespace tv {

QString FileTypeDescription(const QString &path) {
    // Judged by the name only: reading the file here could stall the window on a slow drive.
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    return type.isDefault() ? QString() : type.comment();
}

InputInfoPanel::InputInfoPanel(QWidget *parent) : QGroupBox(tr("Input File Information"), parent) {
    setObjectName(QStringLiteral("GroupBox_InputInfo"));
    auto *layout = new QFormLayout(this);
    layout->setLabelAlignment(Qt::AlignRight);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const QString captions[kInputInfoLineCount] = {
        tr("File Type:"),     tr("Duration:"),      tr("Video Codec:"),  tr("Resolution:"),
        tr("Video Bitrate:"), tr("Frame Rate:"),    tr("Aspect Ratio:"), tr("Audio Codec:"),
        tr("Sample Rate:"),   tr("Audio Bitrate:"), tr("Channels:"),
    };
    for (int i = 0; i < kInputInfoLineCount; ++i) {
        auto *value = new QLabel(this);
        value->setObjectName(QStringLiteral("lbl_InputFileValue(%1)").arg(i));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        auto *caption = new QLabel(captions[i], this);
        caption->setObjectName(QStringLiteral("lbl_InputFile(%1)").arg(i));
        layout->addRow(caption, value);
        m_values << value;
    }
    m_moreInfo = new QPushButton(ThemeIcon(QStringLiteral("img_music_tag.png")), tr("Tag / Info..."), this);
    m_moreInfo->setObjectName(QStringLiteral("Cmd_MoreInfo"));
    m_moreInfo->setToolTip(tr("Edit the tags of this file and see its properties"));
    m_moreInfo->setEnabled(false);
    connect(m_moreInfo, &QPushButton::clicked, this, &InputInfoPanel::moreInfoRequested);
    auto *buttonRow = new QHBoxLayout();
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_moreInfo);
    layout->addRow(buttonRow);
}

void InputInfoPanel::clear() {
    m_moreInfo->setEnabled(false);
    for (QLabel *label : std::as_const(m_values)) {
        label->clear();
        label->setPalette(palette());
    }
}

void InputInfoPanel::ShowInputInfo(const FileListModel *list, int row) {
    if (!list || row < 0 || row >= list->rowCount()) {
        clear();
        return;
    }
    m_moreInfo->setEnabled(true);
    const MediaItem &item = list->mediaItem(row);
    const auto lines = InputInfoLines(item, FileTypeDescription(item.inputPath()));
    const QColor normal = palette().color(QPalette::Active, QPalette::ButtonText);
    const QColor grey = palette().color(QPalette::Disabled, QPalette::WindowText);
    for (int i = 0; i < kInputInfoLineCount; ++i) {
        const InputInfoLine &line = lines[static_cast<std::size_t>(i)];
        QLabel *label = m_values.at(i);
        label->setText(line.text);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, line.available ? normal : grey);
        label->setPalette(pal);
    }
}

} // namespace tv

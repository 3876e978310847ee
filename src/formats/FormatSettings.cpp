#include "FormatSettings.h"

#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "PresetIdentifier.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace tv {

namespace {

// The choosers that follow the video codec and the audio codec ("No Video", "No Audio").
constexpr int kVideoStreamChoosers[] = {FrameSizeChooser, FrameRateChooser, ExtensionChooser,
                                        AspectRatioChooser, VideoBitrateChooser};
constexpr int kAudioStreamChoosers[] = {SampleRateChooser, AudioBitrateChooser, ChannelsChooser,
                                        AudioSizeChooser};

// A number text as the nearest whole number (halves to even); false when it is none.
bool WholeNumber(const QString &text, qint64 *number) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return false;
    const double rounded = std::nearbyint(value);
    // Beyond these bounds every box clamps anyway.
    *number = static_cast<qint64>(std::clamp(rounded, -1e15, 1e15));
    return true;
}

// "640 x 480" (the blanks and the case of the x may vary in a catalog's list).
bool ParseFrameSize(const QString &text, qint64 *width, qint64 *height) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d+)\\s*[xX]\\s*(\\d+)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() && WholeNumber(match.captured(1), width) &&
           WholeNumber(match.captured(2), height);
}

QString FrameSizeText(qint64 width, qint64 height) {
    return width == 0 && height == 0 ? kOriginalChoice : QStringLiteral("%1 x %2").arg(width).arg(height);
}

qint32 WholeField(const CatalogTable &table, int row, const QString &field) {
    qint64 number = 0;
    if (!WholeNumber(GetCatalogField(table, row, field), &number))
        return 0;
    return static_cast<qint32>(std::clamp<qint64>(number, 0, std::numeric_limits<qint32>::max()));
}

QString Unfixed(QString value) {
    return value.remove(QChar(kFixedMarker));
}

} // namespace

QString QualityLevelText(int level) {
    switch (level) {
    case QualityHigh:
        return QStringLiteral("High");
    case QualityStandard:
        return QStringLiteral("Standard");
    case QualitySmallSize:
        return QStringLiteral("SmallSize");
    default:
        return QString();
    }
}

int QualityLevelOf(const QString &text) {
    const QString level = Unfixed(text);
    for (int i = QualityHigh; i <= QualitySmallSize; ++i) {
        if (level == QualityLevelText(i))
            return i;
    }
    return -1;
}

qint16 QualityMotion(int level) {
    switch (level) {
    case QualityHigh:
        return 4;
    case QualitySmallSize:
        return 1;
    default:
        return 2;
    }
}

void NumberBox::setValue(qint64 newValue) {
    value = static_cast<qint32>(std::clamp<qint64>(newValue, 0, std::max<qint32>(0, maximum)));
}

void SetFixableNumber(const QString &value, NumberBox &box) {
    box.fixed = value.startsWith(QChar(kFixedMarker));
    box.enabled = !box.fixed;
    QString text = Unfixed(value).trimmed();
    if (text == QLatin1String("-"))
        text = QStringLiteral("0");
    qint64 number = 0;
    if (!WholeNumber(text, &number))
        number = 0;
    box.setValue(number);
}

FormatSettings::FormatSettings(const CatalogTable &formats, CatalogTable &presets, const Choosers &choosers)
    : FormatSettings(formats, presets, &presets, choosers) {}

FormatSettings::FormatSettings(const CatalogTable &formats, const CatalogTable &presets,
                               const Choosers &choosers)
    : FormatSettings(formats, presets, nullptr, choosers) {}

FormatSettings::FormatSettings(const CatalogTable &formats, const CatalogTable &presets, CatalogTable *store,
                               const Choosers &choosers)
    : m_formats(formats), m_presets(presets), m_store(store) {
    for (int i = 0; i < kFormatChooserCount; ++i)
        m_choosers[i] = choosers[i] ? choosers[i] : &m_ownLists[i];
    updateEnabling();
}

int FormatSettings::formatRow(int codecChooser) const {
    const Chooser &codecs = chooser(codecChooser);
    return codecs.entryData(codecs.currentEntry()).toInt();
}

void FormatSettings::selectAndHandle(int index, const QString &value, int fallback) {
    SelectOptionValue(chooser(index), value, fallback);
    m_fixed[index] = value.startsWith(QChar(kFixedMarker));
    handleChange(index);
}

void FormatSettings::handleChange(int index) {
    switch (index) {
    case VideoCodecChooser:
        videoCodecChanged();
        break;
    case AudioCodecChooser:
        audioCodecChanged();
        break;
    case FrameSizeChooser:
        frameSizeChanged();
        break;
    case FrameRateChooser:
        if (m_applyingFlag)
            rebuildVideoBitrates();
        break;
    case VideoBitrateChooser:
        videoBitrateChanged();
        break;
    case SampleRateChooser:
    case ChannelsChooser:
    case AudioSizeChooser:
        if (m_applyingFlag)
            rebuildAudioBitrates();
        break;
    default:
        break;
    }
}

void FormatSettings::fillFrameSizes(int row) {
    Chooser &sizes = chooser(FrameSizeChooser);
    const QString list = GetCatalogField(m_formats, row, QStringLiteral("FrameSize"));
    if (list == QLatin1String("UseFrameLib")) {
        FillChoiceList(ChoiceListText(PictureSizeTable()), sizes);
        return;
    }
    ChoiceList options;
    FillOptionChooser(m_formats, row, QStringLiteral("FrameSize"), options);
    sizes.clearEntries();
    for (const QString &option : options.entryTexts()) {
        qint64 width = 0;
        qint64 height = 0;
        sizes.addEntry(ParseFrameSize(option, &width, &height) ? FrameSizeText(width, height)
                                                               : option.trimmed());
    }
}

void FormatSettings::videoCodecChanged() {
    const int row = formatRow(VideoCodecChooser);
    const QString frameRate = text(FrameRateChooser);
    const QString extension = text(ExtensionChooser);
    const QString aspect = text(AspectRatioChooser);
    const QString frameSize = text(FrameSizeChooser);

    if (GetCatalogField(m_formats, row, QStringLiteral("FPS")) == QLatin1String("UseFPSLib"))
        FillChoiceList(ChoiceListText(FrameRateTable()), chooser(FrameRateChooser));
    else
        FillOptionChooser(m_formats, row, QStringLiteral("FPS"), chooser(FrameRateChooser));
    FillOptionChooser(m_formats, row, QStringLiteral("FileExtention"), chooser(ExtensionChooser));
    if (GetCatalogField(m_formats, row, QStringLiteral("AspectRatio")) == QLatin1String("UseAspectRatioLib"))
        FillChoiceList(ChoiceListText(AspectRatioTable()), chooser(AspectRatioChooser));
    else
        FillOptionChooser(m_formats, row, QStringLiteral("AspectRatio"), chooser(AspectRatioChooser));
    fillFrameSizes(row);

    m_boxes[WidthBox].maximum = WholeField(m_formats, row, QStringLiteral("MaxWidth"));
    m_boxes[HeightBox].maximum = WholeField(m_formats, row, QStringLiteral("MaxHeight"));
    m_boxes[VideoBitrateBox].maximum = WholeField(m_formats, row, QStringLiteral("MaxVideoBitrate"));
    for (NumberBox &box : m_boxes)
        box.setValue(box.value);

    if (m_applyingFlag) {
        selectAndHandle(FrameRateChooser, frameRate, 0);
        selectAndHandle(ExtensionChooser, extension, 0);
        selectAndHandle(AspectRatioChooser, aspect, 0);
        selectAndHandle(FrameSizeChooser, frameSize, 0);
    }
}

void FormatSettings::audioCodecChanged() {
    const int row = formatRow(AudioCodecChooser);
    const QString rate = text(SampleRateChooser);
    const QString channels = text(ChannelsChooser);
    const QString size = text(AudioSizeChooser);
    const QString bitrate = text(AudioBitrateChooser);

    FillOptionChooser(m_formats, row, QStringLiteral("SampleRate"), chooser(SampleRateChooser));
    FillOptionChooser(m_formats, row, QStringLiteral("Channels"), chooser(ChannelsChooser));
    FillOptionChooser(m_formats, row, QStringLiteral("AudioSize"), chooser(AudioSizeChooser));
    FillOptionChooser(m_formats, row, QStringLiteral("AudioBitrate"), chooser(AudioBitrateChooser));

    if (m_applyingFlag) {
        selectAndHandle(SampleRateChooser, rate, 0);
        selectAndHandle(ChannelsChooser, channels, 0);
        selectAndHandle(AudioSizeChooser, size, 0);
        selectAndHandle(AudioBitrateChooser, bitrate, 0);
    }
}

void FormatSettings::frameSizeChanged() {
    const QString size = text(FrameSizeChooser);
    qint64 width = 0;
    qint64 height = 0;
    if (size == kOriginalChoice || ParseFrameSize(size, &width, &height)) {
        m_boxes[WidthBox].setValue(width);
        m_boxes[HeightBox].setValue(height);
        recomputeSmartFit();
    }
    if (m_applyingFlag)
        rebuildVideoBitrates();
}

void FormatSettings::rebuildVideoBitrates() {
    const QString previous = text(VideoBitrateChooser);
    FillChoiceList(VideoBitrateChoices(m_boxes[WidthBox].value, m_boxes[HeightBox].value,
                                       m_boxes[VideoBitrateBox].maximum),
                   chooser(VideoBitrateChooser));
    selectAndHandle(VideoBitrateChooser, previous, 0);
}

void FormatSettings::rebuildAudioBitrates() {
    const QString previous = text(AudioBitrateChooser);
    FillChoiceList(AudioBitrateChoices(text(AudioCodecChooser), text(SampleRateChooser),
                                       text(ChannelsChooser), text(AudioSizeChooser)),
                   chooser(AudioBitrateChooser));
    selectAndHandle(AudioBitrateChooser, previous, 0);
}

void FormatSettings::recomputeSmartFit() {
    if (text(VideoBitrateChooser) != kSmartFit)
        return;
    m_boxes[VideoBitrateBox].setValue(EstimateVideoBitrate(m_boxes[WidthBox].value, m_boxes[HeightBox].value,
                                                           text(FrameRateChooser), QualityMotion(m_quality),
                                                           1));
}

void FormatSettings::videoBitrateChanged() {
    const QString choice = text(VideoBitrateChooser);
    if (choice == kSmartFit) {
        recomputeSmartFit();
        return;
    }
    qint64 number = 0;
    if (choice.endsWith(QLatin1String(" kbps")) && WholeNumber(choice.chopped(5), &number))
        m_boxes[VideoBitrateBox].setValue(number);
    // "Custom" and "-" leave the number as it is.
}

void FormatSettings::clearStreamFixing() {
    for (int index : kVideoStreamChoosers)
        m_fixed[index] = false;
    for (int index : kAudioStreamChoosers)
        m_fixed[index] = false;
}

void FormatSettings::updateEnabling() {
    const bool video = text(VideoCodecChooser) != kNoVideo;
    const bool audio = text(AudioCodecChooser) != kNoAudio;
    chooser(VideoCodecChooser).setChooserEnabled(!m_fixed[VideoCodecChooser]);
    chooser(AudioCodecChooser).setChooserEnabled(!m_fixed[AudioCodecChooser]);
    for (int index : kVideoStreamChoosers)
        chooser(index).setChooserEnabled(video && !m_fixed[index]);
    for (int index : kAudioStreamChoosers)
        chooser(index).setChooserEnabled(audio && !m_fixed[index]);

    const bool customSize = text(FrameSizeChooser) == kCustomChoice;
    for (int id : {WidthBox, HeightBox}) {
        m_boxes[id].visible = customSize;
        m_boxes[id].enabled = !m_boxes[id].fixed;
    }
    const bool customBitrate = text(VideoBitrateChooser) == kCustomChoice;
    m_boxes[VideoBitrateBox].visible = customBitrate;
    m_boxes[VideoBitrateBox].enabled = customBitrate && !m_boxes[VideoBitrateBox].fixed;
}

void FormatSettings::storeIfApplied() {
    if (m_applyingFlag)
        StorePresetValues();
}

void FormatSettings::ApplyPreset(int presetRow) {
    const bool applyingFlag = m_applyingFlag;
    m_applyingFlag = false;
    auto field = [&](const char *name) { return GetCatalogField(m_presets, presetRow, QLatin1String(name)); };
    m_fixed.fill(false);

    // 1. The codecs of the preset's container; each codec brings its own option lists.
    const QString format = field("Format");
    FillCodecChooser(m_formats, format, QStringLiteral("VideoCodec"), chooser(VideoCodecChooser));
    FillCodecChooser(m_formats, format, QStringLiteral("AudioCodec"), chooser(AudioCodecChooser));
    selectAndHandle(VideoCodecChooser, field("VideoCodec"), 0);
    selectAndHandle(AudioCodecChooser, field("AudioCodec"), 0);

    // 2. Picture size: a size the list does not hold is a custom one.
    SetFixableNumber(field("Width"), m_boxes[WidthBox]);
    SetFixableNumber(field("Height"), m_boxes[HeightBox]);
    Chooser &sizes = chooser(FrameSizeChooser);
    int size = sizes.findEntry(FrameSizeText(m_boxes[WidthBox].value, m_boxes[HeightBox].value));
    if (size < 0)
        size = sizes.findEntry(kCustomChoice);
    if (size >= 0) {
        sizes.setCurrentEntry(size);
        frameSizeChanged();
    }
    m_fixed[FrameSizeChooser] = m_boxes[WidthBox].fixed;

    // 3. The descriptive fields a new preset copies.
    m_description.Format = format;
    m_description.Keyword = field("Keyword");
    m_description.Maker = field("Maker");
    m_description.Type = field("Type");
    m_description.Thumbnail = field("Thumbnail");
    m_description.Image = field("Image");
    m_description.ID = field("ID");

    // 4.-5. Frame rate and quality level.
    selectAndHandle(FrameRateChooser, field("FPS"), 0);
    const QString quality = field("QualityLevel");
    const int level = QualityLevelOf(quality);
    if (level >= 0) {
        m_quality = level;
        m_qualityFixed = quality.startsWith(QChar(kFixedMarker));
    }

    // 6. Video bitrate: the estimate, or the stored number (a number the list lacks is a
    // custom one).
    const QString videoBitrate = field("VideoBitrate");
    FillChoiceList(VideoBitrateChoices(m_boxes[WidthBox].value, m_boxes[HeightBox].value,
                                       m_boxes[VideoBitrateBox].maximum),
                   chooser(VideoBitrateChooser));
    if (Unfixed(videoBitrate) == kSmartFit) {
        m_boxes[VideoBitrateBox].fixed = false;
        selectAndHandle(VideoBitrateChooser, kSmartFit, 0);
    } else {
        const QString choice = Unfixed(videoBitrate).trimmed() == QLatin1String("0")
                                   ? videoBitrate
                                   : videoBitrate + QStringLiteral(" kbps");
        selectAndHandle(VideoBitrateChooser, choice, 1);
        SetFixableNumber(videoBitrate, m_boxes[VideoBitrateBox]);
    }

    // 7.-8. The remaining lists, then the bitrates their combination offers.
    selectAndHandle(ExtensionChooser, field("FileExtention"), 0);
    selectAndHandle(AspectRatioChooser, field("AspectRatio"), 0);
    selectAndHandle(SampleRateChooser, field("SampleRate"), 0);
    selectAndHandle(ChannelsChooser, field("Channels"), 0);
    selectAndHandle(AudioSizeChooser, field("AudioSize"), 0);
    FillChoiceList(AudioBitrateChoices(text(AudioCodecChooser), text(SampleRateChooser),
                                       text(ChannelsChooser), text(AudioSizeChooser)),
                   chooser(AudioBitrateChooser));
    selectAndHandle(AudioBitrateChooser, field("AudioBitrate"), 0);

    updateEnabling();
    m_applyingFlag = applyingFlag;
}

void FormatSettings::ChooserChanged(int index) {
    if (index < 0 || index >= kFormatChooserCount)
        return;
    // A fixed value holds until the user changes a chooser.
    clearStreamFixing();
    handleChange(index);
    updateEnabling();
    storeIfApplied();
}

qint32 FormatSettings::SetNumber(int box, qint64 value) {
    if (box < 0 || box >= kNumberBoxCount)
        return 0;
    m_boxes[box].setValue(value);
    if (box != VideoBitrateBox)
        recomputeSmartFit();
    storeIfApplied();
    return m_boxes[box].value;
}

void FormatSettings::SetQualityLevel(int level) {
    if (QualityLevelText(level).isEmpty())
        return;
    m_quality = level;
    if (text(VideoCodecChooser) != kNoVideo) {
        clearStreamFixing();
        selectAndHandle(VideoBitrateChooser, kSmartFit, 0);
    }
    updateEnabling();
    storeIfApplied();
}

QList<QPair<const char *, QString>> FormatSettings::parameterFields() const {
    const QString videoBitrate =
        text(VideoBitrateChooser) == kSmartFit ? kSmartFit : QString::number(m_boxes[VideoBitrateBox].value);
    return {{"QualityLevel", QualityLevelText(m_quality)},
            {"VideoCodec", text(VideoCodecChooser)},
            {"FPS", text(FrameRateChooser)},
            {"Width", QString::number(m_boxes[WidthBox].value)},
            {"Height", QString::number(m_boxes[HeightBox].value)},
            {"VideoBitrate", videoBitrate},
            {"AspectRatio", text(AspectRatioChooser)},
            {"FileExtention", text(ExtensionChooser)},
            {"AudioCodec", text(AudioCodecChooser)},
            {"SampleRate", text(SampleRateChooser)},
            {"AudioBitrate", text(AudioBitrateChooser)},
            {"Channels", text(ChannelsChooser)},
            {"AudioSize", text(AudioSizeChooser)}};
}

void FormatSettings::StorePresetValues() {
    if (!m_store)
        return;
    const int row = FindCatalogRow(*m_store, QStringLiteral("ID"), m_description.ID);
    if (row == 0)
        return;
    for (const auto &[field, value] : parameterFields())
        SetCatalogField(*m_store, row, QLatin1String(field), value, false, false);
}

void FormatSettings::WritePresetFields(int presetRow, const QString &id) {
    if (!m_store || !m_store->isRow(presetRow))
        return;
    const QList<QPair<const char *, QString>> description = {{"Format", m_description.Format},
                                                             {"Keyword", m_description.Keyword},
                                                             {"Maker", m_description.Maker},
                                                             {"Type", m_description.Type},
                                                             {"Thumbnail", m_description.Thumbnail},
                                                             {"Image", m_description.Image},
                                                             {"ID", id},
                                                             {"Removable", QStringLiteral("Yes")}};
    for (const auto &[field, value] : parameterFields() + description)
        SetCatalogField(*m_store, presetRow, QLatin1String(field), value, false, false);
}

int FormatSettings::CreateUserPreset(const QString &name) {
    if (!m_store || m_store->columns() == 0)
        return 0;
    // Identifiers are random; drawing again on a clash keeps every preset's key unique.
    QString id;
    do {
        id = QStringLiteral("User-") + NewPresetID();
    } while (FindCatalogRow(*m_store, QStringLiteral("ID"), id) != 0);
    const int row = m_store->appendRow();
    m_store->setCell(row, 0, name); // the first column is the preset's name
    WritePresetFields(row, id);
    return row;
}

JobParameters FormatSettings::jobParameters() const {
    JobParameters job;
    job.AudioCodec = text(AudioCodecChooser).trimmed();
    job.FileExtention = text(ExtensionChooser).toUpper();
    job.Channels = chooser(ChannelsChooser).currentEntry();
    job.AudioBitrate = QString(text(AudioBitrateChooser)).remove(QStringLiteral("kbps")).trimmed();
    job.SampleRate = QString(text(SampleRateChooser)).remove(QStringLiteral("Hz")).trimmed();
    job.AudioSize = text(AudioSizeChooser).trimmed();
    return job;
}

JobParameters PresetJobParameters(const CatalogTable &formats, const CatalogTable &presets, int presetRow) {
    FormatSettings settings(formats, presets);
    settings.ApplyPreset(presetRow);
    return settings.jobParameters();
}

} // namespace tv

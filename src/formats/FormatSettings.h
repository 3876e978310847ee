#pragma once
// The format settings: the eleven option choosers, the custom width, height and video
// bitrate boxes, the quality level and the descriptive fields of the preset they show.
// Applying a preset fills all of them from the catalogs; a change the user makes follows the
// rules that keep the other choosers consistent and, once the program has started, is
// stored into the preset. The settings window binds its widgets to this class, and the
// conversion reads its JobParameters from it, so a preset gives the same job with or without
// a window.

#include "Chooser.h"
#include "EncodingParameters.h"

#include <QPair>
#include <QString>
#include <array>

namespace tv {

class CatalogTable;

// The choosers by index (Combo_OutputFile(0) … (10) of the settings window).
enum FormatChooser : int {
    VideoCodecChooser = 0,
    FrameSizeChooser = 1,
    FrameRateChooser = 2,
    ExtensionChooser = 3,
    AudioCodecChooser = 4,
    SampleRateChooser = 5,
    AudioBitrateChooser = 6,
    ChannelsChooser = 7,
    AudioSizeChooser = 8,
    AspectRatioChooser = 9,
    VideoBitrateChooser = 10,
};
inline constexpr int kFormatChooserCount = 11;

// The number boxes with their spin controls.
enum NumberBoxId : int { WidthBox = 0, HeightBox = 1, VideoBitrateBox = 2 };
inline constexpr int kNumberBoxCount = 3;

// Radio_Quality(0 … 2).
enum QualityLevel : int { QualityHigh = 0, QualityStandard = 1, QualitySmallSize = 2 };
// "High", "Standard", "SmallSize"; "" for any other level.
QString QualityLevelText(int level);
// The level of a stored text (without its fixed marker); -1 when it names none.
int QualityLevelOf(const QString &text);
// The motion factor of the video bitrate estimate: 4, 2 or 1.
qint16 QualityMotion(int level);

inline const QString kNoVideo = QStringLiteral("No Video");
inline const QString kNoAudio = QStringLiteral("No Audio");
inline const QString kSmartFit = QStringLiteral("Smart Fit");
inline const QString kCustomChoice = QStringLiteral("Custom");
inline const QString kOriginalChoice = QStringLiteral("Original");

// A number box and its spin control: a whole number from 0 to the maximum.
struct NumberBox {
    qint32 value = 0;
    qint32 maximum = 0;
    bool fixed = false;   // the stored value carried the fixed marker
    bool enabled = true;  // the user may change it
    bool visible = false; // shown only while the chooser beside it offers a custom value
    // Sets the value; one above the maximum becomes the maximum, one below 0 becomes 0.
    void setValue(qint64 newValue);
};

// Puts a stored number into a box: a value beginning with "#" fixes (disables) the box, any
// other frees it; the value without "#" ("-" read as 0, anything that is not a number as 0)
// becomes the box's whole-number value.
void SetFixableNumber(const QString &value, NumberBox &box);

// The descriptive fields of the preset shown (the settings window's hidden boxes Txt_Format
// … Txt_ID); a new preset takes its descriptive fields from them.
struct PresetDescription {
    QString Format;
    QString Maker;
    QString Keyword;
    QString Type;
    QString Image;
    QString Thumbnail;
    QString ID;
};

class FormatSettings {
public:
    using Choosers = std::array<Chooser *, kFormatChooserCount>;

    // Settings whose edits are stored into the preset catalog. A null chooser is replaced by
    // a headless list of the settings' own.
    FormatSettings(const CatalogTable &formats, CatalogTable &presets, const Choosers &choosers = {});
    // Settings that never change the catalogs (to learn what a preset gives).
    FormatSettings(const CatalogTable &formats, const CatalogTable &presets, const Choosers &choosers = {});
    FormatSettings(const FormatSettings &) = delete;
    FormatSettings &operator=(const FormatSettings &) = delete;

    Chooser &chooser(int index) { return *m_choosers.at(index); }
    const Chooser &chooser(int index) const { return *m_choosers.at(index); }
    const NumberBox &numberBox(int id) const { return m_boxes.at(id); }
    int qualityLevel() const { return m_quality; }
    bool qualityEnabled() const { return !m_qualityFixed; }
    const PresetDescription &description() const { return m_description; }
    // The preset whose row edits are stored into (Txt_ID).
    void setSelectedPresetId(const QString &id) { m_description.ID = id; }

    // The applying flag: set once the program has started, and cleared while a preset is
    // being applied. While it is clear, changes only rebuild the lists that depend on them;
    // they neither select earlier values again, nor rebuild bitrate choices, nor store.
    bool applyingFlag() const { return m_applyingFlag; }
    void setApplyingFlag(bool set) { m_applyingFlag = set; }

    // Fills every chooser, box and field from a preset-catalog row (1-based). Fixed values
    // are shown with their choosers disabled until the user changes a chooser.
    void ApplyPreset(int presetRow);

    // What the user does; each follows the change rules and then stores the values.
    // A chooser's selection has changed.
    void ChooserChanged(int index);
    // A number was typed into a box or set with its spin control; answers the value kept.
    qint32 SetNumber(int box, qint64 value);
    void SetQualityLevel(int level);

    // Writes the shown values into the selected preset's row (fixed values stay fixed).
    void StorePresetValues();
    // Writes every field of a preset from the shown values, with the given ID, and marks it
    // removable (a user preset). Does nothing for settings that cannot change the catalog.
    void WritePresetFields(int presetRow, const QString &id);
    // Appends a user preset with the name and the shown values; answers its row, 0 when the
    // catalog cannot be changed.
    int CreateUserPreset(const QString &name);

    // The encoding parameters a conversion takes from the shown values (trim and merge are
    // the row's and the window's business).
    JobParameters jobParameters() const;

private:
    // The encoding parameters as catalog fields (the values a preset stores), from the choosers.
    QList<QPair<const char *, QString>> parameterFields() const;
    FormatSettings(const CatalogTable &formats, const CatalogTable &presets, CatalogTable *store,
                   const Choosers &choosers);

    QString text(int index) const { return chooser(index).currentText(); }
    int formatRow(int codecChooser) const;
    // Selects a value (fixed marker honoured) and runs the chooser's change rules.
    void selectAndHandle(int index, const QString &value, int fallback);
    void handleChange(int index);
    void videoCodecChanged();
    void audioCodecChanged();
    void frameSizeChanged();
    void videoBitrateChanged();
    void rebuildVideoBitrates();
    void rebuildAudioBitrates();
    void recomputeSmartFit();
    void fillFrameSizes(int row);
    void clearStreamFixing();
    void updateEnabling();
    void storeIfApplied();

    // Everything here belongs to the thread that made the settings (the UI thread for the
    // window's settings).
    const CatalogTable &m_formats;
    const CatalogTable &m_presets;
    CatalogTable *m_store = nullptr; // the same preset catalog, when edits may be stored
    std::array<ChoiceList, kFormatChooserCount> m_ownLists;
    Choosers m_choosers{};
    std::array<bool, kFormatChooserCount> m_fixed{};
    std::array<NumberBox, kNumberBoxCount> m_boxes{};
    int m_quality = QualityHigh;
    bool m_qualityFixed = false;
    PresetDescription m_description;
    bool m_applyingFlag = false;
};

// The encoding parameters of a preset-catalog row, as the settings window gives them once
// the preset is chosen.
JobParameters PresetJobParameters(const CatalogTable &formats, const CatalogTable &presets, int presetRow);

} // namespace tv

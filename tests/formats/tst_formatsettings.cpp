// The format settings without a window: applying presets (fixed values included), the
// change rules of every chooser and number box, storing edits into the preset, new user
// presets, every shipped preset shown after any other, and every reachable combination of the
// shipped formats keeping its choices valid.
#include "CatalogOperations.h"
#include "CatalogStartup.h"
#include "CatalogTable.h"
#include "Chooser.h"
#include "EncodingParameters.h"
#include "FormatSettings.h"
#include "TestEnv.h"

#include <functional>

using namespace tv;
using tv::test::Options;

namespace {

void Columns(CatalogTable &table, const QStringList &captions) {
    for (const QString &caption : captions)
        table.addColumn(caption, 200);
}

// The current texts of the choosers.
QStringList Shown(const FormatSettings &s, const QList<int> &choosers) {
    QStringList texts;
    for (int chooser : choosers)
        texts << s.chooser(chooser).currentText();
    return texts;
}

// Selects an entry as the user would and lets the rules run.
void Choose(FormatSettings &s, int chooser, const QString &text) {
    const int entry = s.chooser(chooser).findEntry(text);
    QVERIFY2(entry >= 0, qPrintable(text + " is not offered by chooser " + QString::number(chooser) + ": " +
                                    s.chooser(chooser).entryTexts().join('|')));
    s.chooser(chooser).setCurrentEntry(entry);
    s.ChooserChanged(chooser);
}

} // namespace

class FormatSettingsTest : public QObject {
    Q_OBJECT
private:
    CatalogTable m_shippedFormats;
    CatalogTable m_shippedPresets;
    CatalogTable m_formats; // a small catalog of the shipped catalogs' columns, made for each test
    CatalogTable m_presets;

    int Row(const QString &id) const { return FindCatalogRow(m_presets, "ID", id); }
    QString Field(const QString &id, const QString &field) const {
        return GetCatalogField(m_presets, Row(id), field);
    }
    QStringList Fields(const QString &id, const QStringList &fields) const {
        QStringList values;
        for (const QString &field : fields)
            values << Field(id, field);
        return values;
    }

private Q_SLOTS:
    void initTestCase() { QCOMPARE(LoadShippedCatalogs(m_shippedFormats, m_shippedPresets), QString()); }

    void init() {
        m_formats.removeAll();
        m_presets.removeAll();
        Columns(m_formats, m_shippedFormats.captions());
        Columns(m_presets, m_shippedPresets.captions());
        for (const char *row :
             {"MP4//H.264//UseFPSLib//MP4;M4V;//UseAspectRatioLib//UseFrameLib//1920//1080//3000//AAC//"
              "22050 Hz;44100 Hz;48000 Hz;//Mono;Stereo;//16 bit;//64 kbps;128 kbps;",
              "MP4//MPEG-4//15 fps;25 fps;//MP4;//4:3;//320x240;0 x 0;Custom;//1280//720//1000//MP3//"
              "44100 Hz;48000 Hz;//Mono;Stereo;//16 bit;//128 kbps;",
              "MP4//No Video//#//M4A;//#//#//0//0//0//No Audio//-;//Mono;//16 bit;//-;",
              "WAV//No Video//#//WAV;//#//#//0//0//0//PCM little-endian//8000 Hz;44100 Hz;//"
              "Mono;Stereo;5.1 Surround;//8 bit;16 bit;//64 kbps;"})
            AddCatalogRow(m_formats, row, 0, false);
        for (const char *row :
             {"HD//V-1//VideoFormat//MP4//MP4//Video//hd.png//thumb_mp4.png//High//H.264//25 fps//640//"
              "480//Smart Fit//16:9//M4V//AAC//44100 Hz//128 kbps//Stereo//16 bit//No",
              "Locked//V-2//VideoFormat//MP4//MP4//Video//lock.png//thumb_mp4.png//#SmallSize//#MPEG-4//"
              "#25 fps//#320//#240//#1000//#4:3//#MP4//MP3//48000 Hz//#128 kbps//#Mono//16 bit//No",
              "Wave//A-1//AudioFormat//WAV//WAV//Audio//wav.png//thumb_wav.png//High//No Video//#//#0//"
              "#0//#0//#//WAV//PCM little-endian//44100 Hz//1408 kbps//Stereo//16 bit//No",
              "Odd//V-3//VideoFormat//MP4//MP4//Video//odd.png//thumb_mp4.png//Standard//H.264//"
              "Original//1000//500//2500//Original//MP4//AAC//48000 Hz//64 kbps//Mono//16 bit//Yes"})
            AddCatalogRow(m_presets, row, 0, false);
    }

    // (Choice lists from the computed texts are the rule tests' below.)
    void fixableNumbers() {
        NumberBox box;
        box.maximum = 1920;
        SetFixableNumber("#1280", box);
        QVERIFY(box.fixed && !box.enabled);
        QCOMPARE(box.value, 1280);
        SetFixableNumber("640", box);
        QVERIFY(!box.fixed && box.enabled);
        QCOMPARE(box.value, 640);
        SetFixableNumber("#-", box);
        QVERIFY(box.fixed);
        // Nearest with halves to even, 0 for what is no number or below 0, the spin control's
        // maximum for what is above it.
        const QList<QPair<const char *, int>> numbers = {{"12.5", 12}, {"13.5", 14},          {"-", 0},
                                                         {"wide", 0},  {"99999999999", 1920}, {"-40", 0}};
        for (const auto &[text, value] : numbers) {
            SetFixableNumber(text, box);
            QCOMPARE(box.value, value);
        }
    }

    void applyingAVideoPresetFillsEveryChooser() {
        FormatSettings s(m_formats, m_presets);
        s.ApplyPreset(Row("V-1"));
        QCOMPARE(s.chooser(FrameSizeChooser).entryTexts(), PictureSizeTable());
        QCOMPARE(s.chooser(FrameRateChooser).entryTexts(), FrameRateTable());
        QCOMPARE(Shown(s, {VideoCodecChooser, FrameSizeChooser, FrameRateChooser, ExtensionChooser,
                           AspectRatioChooser}),
                 QStringList({"H.264", "640 x 480", "25 fps", "M4V", "16:9"}));
        QCOMPARE(s.qualityLevel(), int(QualityHigh));
        QVERIFY(s.qualityEnabled());

        // Smart Fit: the bitrate choices of 640 × 480 under the cap, and an estimate within it.
        QCOMPARE(s.chooser(VideoBitrateChooser).entryTexts(), Options(VideoBitrateChoices(640, 480, 3000)));
        QCOMPARE(s.chooser(VideoBitrateChooser).currentText(), QStringLiteral("Smart Fit"));
        QVERIFY(s.numberBox(VideoBitrateBox).value > 0 && s.numberBox(VideoBitrateBox).value < 3000);
        QCOMPARE(QList<int>({s.numberBox(WidthBox).value, s.numberBox(HeightBox).value,
                             s.numberBox(WidthBox).maximum, s.numberBox(HeightBox).maximum,
                             s.numberBox(VideoBitrateBox).maximum}),
                 QList<int>({640, 480, 1920, 1080, 3000}));
        for (int box = 0; box < kNumberBoxCount; ++box)
            QVERIFY(!s.numberBox(box).visible); // no custom size or bitrate chosen

        QCOMPARE(s.chooser(AudioBitrateChooser).entryTexts(),
                 Options(AudioBitrateChoices("AAC", "44100 Hz", "Stereo", "16 bit")));
        QCOMPARE(s.chooser(AudioBitrateChooser).currentText(), QStringLiteral("128 kbps"));
        for (int i = 0; i < kFormatChooserCount; ++i)
            QVERIFY2(s.chooser(i).isChooserEnabled(), qPrintable(QString::number(i)));
    }

    void fixedValuesAreShownDisabledUntilTheUserChangesAChooser() {
        FormatSettings s(m_formats, m_presets);
        s.setApplyingFlag(true);
        s.ApplyPreset(Row("V-2"));
        QCOMPARE(s.chooser(VideoCodecChooser).currentText(), QStringLiteral("MPEG-4"));
        // The codec's own lists: a catalog frame size list shown as width x height.
        QCOMPARE(s.chooser(FrameSizeChooser).entryTexts(), QStringList({"320 x 240", "Original", "Custom"}));
        QCOMPARE(s.chooser(FrameRateChooser).entryTexts(), QStringList({"15 fps", "25 fps"}));
        QCOMPARE(Shown(s, {FrameSizeChooser, VideoBitrateChooser, ChannelsChooser}),
                 QStringList({"320 x 240", "1000 kbps", "Mono"}));
        QCOMPARE(s.qualityLevel(), int(QualitySmallSize));
        QVERIFY(!s.qualityEnabled());
        QVERIFY(s.numberBox(WidthBox).fixed && !s.numberBox(WidthBox).enabled);
        QCOMPARE(s.numberBox(VideoBitrateBox).value, 1000);

        const QList<int> fixed = {VideoCodecChooser,   FrameSizeChooser,   FrameRateChooser,
                                  ExtensionChooser,    AspectRatioChooser, VideoBitrateChooser,
                                  AudioBitrateChooser, ChannelsChooser};
        for (int i = 0; i < kFormatChooserCount; ++i)
            QVERIFY2(s.chooser(i).isChooserEnabled() != fixed.contains(i), qPrintable(QString::number(i)));
        // Applying stores nothing, even with the flag set; the flag is back afterwards.
        QCOMPARE(Field("V-2", "FPS"), QStringLiteral("#25 fps"));
        QVERIFY(s.applyingFlag());

        // The user's next chooser change ends the fixing of the stream choosers, not of the
        // codecs; the stored values keep their fixed marker.
        Choose(s, SampleRateChooser, "44100 Hz");
        for (int i = 0; i < kFormatChooserCount; ++i)
            QVERIFY2(s.chooser(i).isChooserEnabled() == (i != VideoCodecChooser),
                     qPrintable(QString::number(i)));
        QVERIFY(!s.numberBox(WidthBox).enabled);
        QCOMPARE(Fields("V-2", {"SampleRate", "FPS", "Width", "QualityLevel", "VideoBitrate"}),
                 QStringList({"44100 Hz", "#25 fps", "#320", "#SmallSize", "#1000"}));
        Choose(s, ChannelsChooser, "Stereo");
        QCOMPARE(Field("V-2", "Channels"), QStringLiteral("#Stereo"));
    }

    void noVideoAndNoAudioDisableTheirStreams() {
        FormatSettings s(m_formats, m_presets);
        s.ApplyPreset(Row("A-1"));
        QCOMPARE(s.chooser(VideoCodecChooser).currentText(), QStringLiteral("No Video"));
        for (int i :
             {FrameSizeChooser, FrameRateChooser, ExtensionChooser, AspectRatioChooser, VideoBitrateChooser})
            QVERIFY(!s.chooser(i).isChooserEnabled());
        QCOMPARE(s.chooser(ExtensionChooser).currentText(), QStringLiteral("WAV"));
        QCOMPARE(s.chooser(VideoBitrateChooser).entryTexts(), QStringList({"-"}));
        QCOMPARE(s.chooser(AudioBitrateChooser).entryTexts(), QStringList({"1408 kbps"}));
        QCOMPARE(s.numberBox(WidthBox).maximum, 0);
        QCOMPARE(s.jobParameters().FileExtention, QStringLiteral("WAV"));
        QCOMPARE(s.jobParameters().AudioBitrate, QStringLiteral("1408"));

        // Sample width and channels rebuild the computed PCM bitrate.
        s.setApplyingFlag(true);
        Choose(s, AudioSizeChooser, "8 bit");
        QCOMPARE(s.chooser(AudioBitrateChooser).entryTexts(), QStringList({"704 kbps"}));
        Choose(s, ChannelsChooser, "5.1 Surround");
        QCOMPARE(s.chooser(AudioBitrateChooser).entryTexts(), QStringList({"2112 kbps"}));
        QCOMPARE(s.jobParameters().Channels, 2);
        QCOMPARE(Field("A-1", "AudioBitrate"), QStringLiteral("2112 kbps"));

        // "No Audio" in a video container: the audio choosers go dark, the job says so.
        // The fixed bitrate of the audio preset does not carry over to Smart Fit.
        s.ApplyPreset(Row("V-1"));
        Choose(s, VideoBitrateChooser, "Custom");
        QVERIFY(s.numberBox(VideoBitrateBox).visible && s.numberBox(VideoBitrateBox).enabled);
        Choose(s, AudioCodecChooser, "No Audio");
        for (int i : {SampleRateChooser, AudioBitrateChooser, ChannelsChooser, AudioSizeChooser})
            QVERIFY(!s.chooser(i).isChooserEnabled());
        QCOMPARE(s.chooser(SampleRateChooser).currentText(), QStringLiteral("-"));
        QCOMPARE(s.chooser(AudioBitrateChooser).currentText(), QStringLiteral("-"));
        QCOMPARE(s.jobParameters().AudioCodec, QStringLiteral("No Audio"));
        Choose(s, VideoCodecChooser, "No Video");
        for (int i :
             {FrameSizeChooser, FrameRateChooser, ExtensionChooser, AspectRatioChooser, VideoBitrateChooser})
            QVERIFY(!s.chooser(i).isChooserEnabled());
        Choose(s, AudioCodecChooser, "AAC");
        QVERIFY(s.chooser(SampleRateChooser).isChooserEnabled());
    }

    void videoRulesFollowSizeRateBitrateAndQuality() {
        FormatSettings s(m_formats, m_presets);
        s.setApplyingFlag(true);
        s.ApplyPreset(Row("V-3"));
        // A size the table lacks is a custom one; so is a bitrate the choices lack.
        QCOMPARE(s.chooser(FrameSizeChooser).currentText(), QStringLiteral("Custom"));
        QVERIFY(s.numberBox(WidthBox).visible && s.numberBox(HeightBox).visible);
        QCOMPARE(s.numberBox(WidthBox).value, 1000);
        QCOMPARE(s.chooser(VideoBitrateChooser).currentText(), QStringLiteral("Custom"));
        QVERIFY(s.numberBox(VideoBitrateBox).visible && s.numberBox(VideoBitrateBox).enabled);
        QCOMPARE(s.numberBox(VideoBitrateBox).value, 2500);

        // A listed size sets both numbers, hides the boxes and rebuilds the bitrate choices,
        // keeping the custom choice.
        Choose(s, FrameSizeChooser, "320 x 240");
        QCOMPARE(s.numberBox(WidthBox).value, 320);
        QCOMPARE(s.numberBox(HeightBox).value, 240);
        QVERIFY(!s.numberBox(WidthBox).visible);
        QCOMPARE(s.chooser(VideoBitrateChooser).entryTexts(), Options(VideoBitrateChoices(320, 240, 3000)));
        QCOMPARE(s.chooser(VideoBitrateChooser).currentText(), QStringLiteral("Custom"));
        QCOMPARE(s.numberBox(VideoBitrateBox).value, 2500);
        QCOMPARE(Fields("V-3", {"Width", "VideoBitrate"}), QStringList({"320", "2500"}));

        // Smart Fit estimates again at every change: more for a higher quality or frame rate, less
        // for a lower one, never more than the codec's cap.
        const auto bitrate = [&s]() { return s.numberBox(VideoBitrateBox).value; };
        Choose(s, VideoBitrateChooser, "Smart Fit");
        const int standard = bitrate();
        QVERIFY(standard > 0 && !s.numberBox(VideoBitrateBox).visible);
        QCOMPARE(Field("V-3", "VideoBitrate"), QStringLiteral("Smart Fit"));
        s.SetQualityLevel(QualityHigh);
        const int high = bitrate();
        QVERIFY(high > standard);
        QCOMPARE(Field("V-3", "QualityLevel"), QStringLiteral("High"));
        Choose(s, FrameRateChooser, "30 fps"); // from "Original", counted as 24
        QCOMPARE(s.chooser(VideoBitrateChooser).currentText(), QStringLiteral("Smart Fit"));
        QVERIFY(bitrate() > high);
        // A listed bitrate becomes the number; a quality level goes back to Smart Fit.
        Choose(s, VideoBitrateChooser, "1200 kbps");
        QCOMPARE(bitrate(), 1200);
        QCOMPARE(Field("V-3", "VideoBitrate"), QStringLiteral("1200"));
        s.SetQualityLevel(QualitySmallSize);
        QCOMPARE(s.chooser(VideoBitrateChooser).currentText(), QStringLiteral("Smart Fit"));
        QVERIFY(bitrate() < high);

        // Custom size: typed numbers are clamped to the spin controls' maxima, and a size change
        // estimates again.
        Choose(s, FrameSizeChooser, "Custom");
        QVERIFY(s.numberBox(WidthBox).visible);
        QCOMPARE(s.SetNumber(WidthBox, 5000), 1920);
        QCOMPARE(s.SetNumber(HeightBox, -3), 0);
        QCOMPARE(s.SetNumber(HeightBox, 1080), 1080);
        QCOMPARE(bitrate(), s.numberBox(VideoBitrateBox).maximum); // 1920 x 1080 wants more than the cap
        QCOMPARE(s.SetNumber(WidthBox, 640), 640);
        QVERIFY(bitrate() < s.numberBox(VideoBitrateBox).maximum);
        QCOMPARE(Fields("V-3", {"Width", "Height"}), QStringList({"640", "1080"}));
        Choose(s, VideoBitrateChooser, "Custom");
        QCOMPARE(s.SetNumber(VideoBitrateBox, 1 << 30), 3000);

        // Another video codec keeps what its lists still hold and caps the numbers.
        Choose(s, FrameSizeChooser, "640 x 480");
        Choose(s, AspectRatioChooser, "4:3");
        Choose(s, VideoCodecChooser, "MPEG-4");
        // 30 fps and 640 x 480 are gone.
        QCOMPARE(Shown(s, {FrameRateChooser, AspectRatioChooser, ExtensionChooser, FrameSizeChooser}),
                 QStringList({"15 fps", "4:3", "MP4", "320 x 240"}));
        QCOMPARE(s.numberBox(WidthBox).maximum, 1280);
        QCOMPARE(s.numberBox(VideoBitrateBox).maximum, 1000);
        QCOMPARE(Fields("V-3", {"VideoCodec", "FPS"}), QStringList({"MPEG-4", "15 fps"}));
    }

    void audioRulesKeepWhatTheNewListsHold() {
        FormatSettings s(m_formats, m_presets);
        s.setApplyingFlag(true);
        s.ApplyPreset(Row("V-3"));
        QCOMPARE(s.chooser(AudioBitrateChooser).currentText(), QStringLiteral("64 kbps"));
        Choose(s, AudioCodecChooser, "MP3");
        QCOMPARE(s.chooser(SampleRateChooser).entryTexts(), QStringList({"44100 Hz", "48000 Hz"}));
        QCOMPARE(s.chooser(SampleRateChooser).currentText(), QStringLiteral("48000 Hz"));
        QCOMPARE(s.chooser(ChannelsChooser).currentText(), QStringLiteral("Mono"));
        QCOMPARE(s.chooser(AudioBitrateChooser).entryTexts(),
                 Options(AudioBitrateChoices("MP3", "48000 Hz", "Mono", "16 bit")));
        QCOMPARE(s.chooser(AudioBitrateChooser).currentText(), QStringLiteral("64 kbps"));
        // Stereo MP3 starts at 96 kbps: the first choice replaces the missing one.
        Choose(s, ChannelsChooser, "Stereo");
        QCOMPARE(s.chooser(AudioBitrateChooser).currentText(), QStringLiteral("96 kbps"));
        QCOMPARE(Fields("V-3", {"AudioCodec", "Channels", "AudioBitrate"}),
                 QStringList({"MP3", "Stereo", "96 kbps"}));
        Choose(s, AudioBitrateChooser, "320 kbps");
        QCOMPARE(Field("V-3", "AudioBitrate"), QStringLiteral("320 kbps"));
        QCOMPARE(s.jobParameters().AudioBitrate, QStringLiteral("320"));

        // With the flag clear (start-up, or a preset being applied) a change only rebuilds
        // the dependent lists: nothing is selected again and nothing is stored.
        s.setApplyingFlag(false);
        Choose(s, AudioCodecChooser, "AAC");
        QCOMPARE(s.chooser(SampleRateChooser).currentText(), QStringLiteral("22050 Hz"));
        QCOMPARE(s.chooser(AudioBitrateChooser).entryTexts(), QStringList({"64 kbps", "128 kbps"}));
        QCOMPARE(Field("V-3", "AudioCodec"), QStringLiteral("MP3"));
        Choose(s, SampleRateChooser, "44100 Hz");
        QCOMPARE(s.chooser(AudioBitrateChooser).entryTexts(), QStringList({"64 kbps", "128 kbps"}));
        QCOMPARE(Field("V-3", "SampleRate"), QStringLiteral("48000 Hz"));
    }

    void newUserPresetsCopyTheShownValues() {
        FormatSettings s(m_formats, m_presets);
        s.ApplyPreset(Row("V-1"));
        const int rows = m_presets.rows();
        const int row = s.CreateUserPreset("Mine // a copy");
        QCOMPARE(row, rows + 1);
        const QString id = GetCatalogField(m_presets, row, "ID");
        QVERIFY(id.startsWith("User-"));
        QCOMPARE(id.size(), 14);
        QCOMPARE(GetCatalogField(m_presets, row, "Name"), QStringLiteral("Mine // a copy"));
        QCOMPARE(GetCatalogField(m_presets, row, "Removable"), QStringLiteral("Yes"));
        for (const QString &field : m_presets.captions()) {
            if (field != "Name" && field != "ID" && field != "Removable")
                QCOMPARE(GetCatalogField(m_presets, row, field), Field("V-1", field));
        }
        // Applying the copy gives the same parameters; a second copy gets its own ID.
        QCOMPARE(PresetJobParameters(m_formats, m_presets, row).AudioBitrate, QStringLiteral("128"));
        QVERIFY(GetCatalogField(m_presets, s.CreateUserPreset("Again"), "ID") != id);

        // Settings over a catalog they may not change store nothing and add nothing.
        const CatalogTable &readOnly = m_presets;
        FormatSettings viewer(m_formats, readOnly);
        viewer.setApplyingFlag(true);
        viewer.ApplyPreset(Row("V-1"));
        Choose(viewer, AudioBitrateChooser, "64 kbps");
        viewer.StorePresetValues();
        QCOMPARE(Field("V-1", "AudioBitrate"), QStringLiteral("128 kbps"));
        QCOMPARE(viewer.CreateUserPreset("Nope"), 0);
        QCOMPARE(m_presets.rows(), rows + 2);
    }

    // One settings object shows preset after preset, as the running editor does: each shows its
    // own values and gives the job a fresh one gives, so nothing of an earlier preset stays.
    void everyShippedPresetShowsItsValuesAfterAnyOther() {
        const CatalogTable &formats = m_shippedFormats;
        const CatalogTable &presets = m_shippedPresets;
        FormatSettings s(formats, presets);
        s.setApplyingFlag(true);
        const QList<QPair<int, const char *>> shown = {
            {VideoCodecChooser, "VideoCodec"},     {ExtensionChooser, "FileExtention"},
            {AudioCodecChooser, "AudioCodec"},     {SampleRateChooser, "SampleRate"},
            {AudioBitrateChooser, "AudioBitrate"}, {ChannelsChooser, "Channels"},
            {AudioSizeChooser, "AudioSize"},       {FrameRateChooser, "FPS"}};
        for (int row = 1; row <= presets.rows(); ++row) {
            s.ApplyPreset(row);
            auto field = [&](const char *name) { return GetCatalogField(presets, row, name).remove('#'); };
            for (const auto &[chooser, name] : shown) {
                if (!field(name).isEmpty())
                    QCOMPARE(s.chooser(chooser).currentText(), field(name));
            }
            QCOMPARE(s.qualityLevel(), QualityLevelOf(field("QualityLevel")));
            const JobParameters job = s.jobParameters();
            const JobParameters alone = PresetJobParameters(formats, presets, row);
            QCOMPARE(QStringList({job.AudioCodec, job.FileExtention, QString::number(job.Channels),
                                  job.AudioBitrate, job.SampleRate, job.AudioSize}),
                     QStringList({alone.AudioCodec, alone.FileExtention, QString::number(alone.Channels),
                                  alone.AudioBitrate, alone.SampleRate, alone.AudioSize}));
        }
    }

    void everyReachableCombinationKeepsItsChoicesValid() {
        const CatalogTable &presets = m_shippedPresets;
        FormatSettings s(m_shippedFormats, presets);
        s.setApplyingFlag(true);
        QSet<QString> seenFormats;
        int combinations = 0;
        for (int row = 1; row <= presets.rows(); ++row) {
            const QString format = GetCatalogField(presets, row, "Format");
            if (seenFormats.contains(format))
                continue;
            seenFormats.insert(format);
            s.ApplyPreset(row);

            auto each = [&s](int chooser, const std::function<void()> &then) {
                const int count = s.chooser(chooser).entryCount();
                for (int i = 0; i < std::max(1, count); ++i) {
                    if (count > 0) {
                        s.chooser(chooser).setCurrentEntry(i);
                        s.ChooserChanged(chooser);
                    }
                    then();
                }
            };
            // Every audio choice leaves a bitrate to choose and a channel option the text has.
            each(AudioCodecChooser, [&]() {
                each(SampleRateChooser, [&]() {
                    each(ChannelsChooser, [&]() {
                        each(AudioSizeChooser, [&]() {
                            const QStringList shown = Shown(
                                s, {AudioCodecChooser, SampleRateChooser, ChannelsChooser, AudioSizeChooser});
                            QVERIFY2(s.chooser(AudioBitrateChooser).entryCount() > 0,
                                     qPrintable(format + ": " + shown.join(", ")));
                            QVERIFY(s.jobParameters().Channels >= 0 && s.jobParameters().Channels <= 2);
                            ++combinations;
                        });
                    });
                });
            });
            // The video side never reaches the option text, but every choice keeps the
            // numbers within their spin controls.
            each(VideoCodecChooser, [&]() {
                each(FrameSizeChooser, [&]() {
                    each(VideoBitrateChooser, [&]() {
                        for (int box = 0; box < kNumberBoxCount; ++box) {
                            const NumberBox &n = s.numberBox(box);
                            QVERIFY(n.value >= 0 && n.value <= std::max(0, n.maximum));
                        }
                        QCOMPARE(s.numberBox(VideoBitrateBox).visible,
                                 s.chooser(VideoBitrateChooser).currentText() == "Custom");
                    });
                });
            });
        }
        QVERIFY(combinations > 1000);
    }
};

TV_TEST_MAIN_CORE(FormatSettingsTest)
#include "tst_formatsettings.moc"

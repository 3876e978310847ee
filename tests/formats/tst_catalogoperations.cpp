// Operations on catalog tables: field access, choosers, keywords, favorites, search and the
// identifiers of new presets.
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "Chooser.h"
#include "Favorites.h"
#include "OutputTabs.h"
#include "PresetIdentifier.h"
#include "PresetSearch.h"
#include "TestEnv.h"

using namespace tv;

namespace {

const QStringList kPresetColumns = {"Name",   "ID",        "Maker",        "Keyword",
                                    "Format", "Thumbnail", "QualityLevel", "Removable"};

// A small preset catalog: name, ID, maker, keyword (format and thumbnail follow the keyword).
CatalogTable *Presets(QObject *parent, const QList<QStringList> &rows) {
    auto *table = new CatalogTable(parent);
    for (const QString &caption : kPresetColumns)
        table->addColumn(caption, 200);
    for (const QStringList &r : rows) {
        const QString keyword = r.at(3);
        AddCatalogRow(*table,
                      QStringList({r.at(0), r.at(1), r.at(2), keyword, keyword,
                                   "thumb_" + keyword.toLower() + ".png", "High", r.value(4, "No")})
                          .join("//"),
                      0, false);
    }
    return table;
}

} // namespace

class CatalogOperationsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // (Stored values keeping their fixed marker are the format settings' test.)
    void fieldsAreFoundByCaptionIgnoringCase() {
        CatalogTable table;
        table.addColumn("Name", 600);
        table.addColumn("Rate", 200);
        table.addColumn("RATE", 200); // the last column of a caption counts
        AddCatalogRow(table, "MP3 // 44100 Hz // 48000 Hz", 0, false);
        QCOMPARE(GetCatalogField(table, 1, "name"), QStringLiteral("MP3"));
        QCOMPARE(GetCatalogField(table, 1, "rate"), QStringLiteral("48000 Hz"));
        QCOMPARE(GetCatalogField(table, 1, "Unknown"), QString());
        QCOMPARE(GetCatalogField(table, 2, "Name"), QString());

        // Value matching is exact and case-sensitive.
        QCOMPARE(FindCatalogRow(table, "NAME", "MP3"), 1);
        QCOMPARE(FindCatalogRow(table, "Name", "mp3"), 0);
        QCOMPARE(FindCatalogRow(table, "Nope", "MP3"), 0);
    }

    // (Which entry a stored value selects is the format settings' test.)
    void choosersFollowTheCatalogs() {
        auto *presets = Presets(this, {{"[%Custom%]", "C1", "AudioFormat", "MP3"},
                                       {"High", "P1", "AudioFormat", "MP3"},
                                       {"[%Custom%]", "C2", "AudioFormat", "MP3"},
                                       {"Other maker", "P2", "VideoFormat", "MP3"},
                                       {"Low", "P3", "AudioFormat", "MP3"},
                                       {"lower case", "P4", "AudioFormat", "mp3"}});
        ChoiceList chooser;
        chooser.addEntry("stale");
        FillPresetChooser(*presets, "AudioFormat", "MP3", chooser);
        QCOMPARE(chooser.entryTexts(), QStringList({"[Custom]", "High", "Low"}));
        QCOMPARE(chooser.entryData(0).toString(), QStringLiteral("C1"));
        QCOMPARE(chooser.entryData(2).toString(), QStringLiteral("P3"));
        FillPresetChooser(*presets, "AudioFormat", "OGG", chooser);
        QCOMPARE(chooser.entryCount(), 0);

        CatalogTable formats;
        for (const char *caption : {"Format", "VideoCodec", "AudioCodec", "SampleRate"})
            formats.addColumn(caption, 200);
        AddCatalogRow(formats, "MP4//H.264//AAC//44100 Hz;48000 Hz;", 0, false);
        AddCatalogRow(formats, " MP4 //#//MP3//44100 Hz;48000 Hz", 0, false);
        AddCatalogRow(formats, "MKV//H.264//#//#", 0, false);
        FillCodecChooser(formats, "MP4 ", "VideoCodec", chooser);
        QCOMPARE(chooser.entryTexts(), QStringList({"H.264"}));
        FillCodecChooser(formats, "MP4", "AudioCodec", chooser);
        QCOMPARE(chooser.entryTexts(), QStringList({"AAC", "MP3"}));
        QCOMPARE(chooser.entryData(1).toInt(), 2);

        FillOptionChooser(formats, 1, "SampleRate", chooser);
        QCOMPARE(chooser.entryTexts(), QStringList({"44100 Hz", "48000 Hz"}));
        FillOptionChooser(formats, 2, "SampleRate", chooser); // no final ";": the last option is lost
        QCOMPARE(chooser.entryTexts(), QStringList({"44100 Hz"}));
        FillOptionChooser(formats, 3, "SampleRate", chooser);
        QCOMPARE(chooser.entryCount(), 0);
    }

    void keywordsAreCollectedOncePerMaker() {
        auto *presets = Presets(this, {{"a", "1", "AudioFormat", "MP3"},
                                       {"b", "2", "VideoFormat", "MP4"},
                                       {"c", "3", "AudioFormat", "OGG"},
                                       {"d", "4", "AudioFormat", "mp3"},
                                       {"e", "5", "AudioFormat", "WAV"}});
        // Blanks around maker, keyword and thumbnail do not count.
        presets->setCell(5, 2, " AudioFormat ");
        presets->setCell(5, 3, " WAV ");
        presets->setCell(5, 5, " thumb_wav.png ");
        const KeywordList list = CollectKeywords(*presets, "AudioFormat");
        QCOMPARE(list.keywords, QStringLiteral("MP3|OGG|WAV|"));
        QCOMPARE(list.thumbnails, QStringLiteral("thumb_mp3.png|thumb_ogg.png|thumb_wav.png|"));
        QCOMPARE(SplitBarList(list.keywords), QStringList({"MP3", "OGG", "WAV"}));
        QCOMPARE(CollectKeywords(*presets, "WebFormat").keywords, QString());
    }

    // What a button remembers (that each starts at a recommended preset is the shipped catalogs'
    // test): stored indexes come back, buttons beyond the slots keep nothing, and a new device
    // maker puts every device button back where the first one starts.
    void rememberedPresetsKeepWhatIsStoredWithinTheirRuns() {
        RememberedPresets remembered;
        const int deviceStart = remembered.index(DeviceTab, 0);
        QVERIFY(deviceStart >= 0);
        QCOMPARE(remembered.index(AudioTab, 31), -1);
        QCOMPARE(remembered.index(FavoritesTab, 0), -1);
        remembered.store(DeviceTab, 30, deviceStart + 3);
        remembered.store(DeviceTab, 0, deviceStart + 2);
        remembered.store(AudioTab, 31, 4);
        QCOMPARE(remembered.index(DeviceTab, 30), deviceStart + 3);
        QCOMPARE(remembered.index(AudioTab, 31), -1);
        remembered.resetDevices();
        QCOMPARE(remembered.index(DeviceTab, 30), deviceStart);
        QCOMPARE(remembered.index(DeviceTab, 0), deviceStart);
        QCOMPARE(TabOfMaker("WebFormat"), int(WebTab));
        QCOMPARE(TabOfMaker("SomeMaker"), int(DeviceTab));
    }

    void presetIdentifiersHaveTheirShapeAndRanges() {
        static const QRegularExpression shape(QStringLiteral("^([0-9A-F]{2})([0-9]{5})([0-9A-F]{2})$"));
        QSet<QString> seen;
        for (int i = 0; i < 2000; ++i) {
            const QString id = NewPresetID();
            const auto m = shape.match(id);
            QVERIFY2(m.hasMatch(), qPrintable(id));
            const int b = m.captured(1).toInt(nullptr, 16);
            const int a = m.captured(2).toInt();
            const int c = m.captured(3).toInt(nullptr, 16);
            QVERIFY(b >= 20 && b <= 220 && c >= 20 && c <= 220 && a >= 1 && a <= 32701);
            seen.insert(id);
        }
        QVERIFY(seen.size() > 1990); // fresh names for thumbnails in practice
    }

    void favoritesKeepTheNewestWithinTheLimit() {
        auto *presets = Presets(this, {{"A", "ID-A", "AudioFormat", "MP3"},
                                       {"B", "ID-B", "AudioFormat", "ogg"},
                                       {"C", "ID-C", "DeviceFormat", "OGG"},
                                       {"D", "ID-D", "VideoFormat", "MP4", "Yes"}});
        CatalogTable favorites;
        QVERIFY(AddToFavorites(*presets, 1, favorites, 3).isEmpty());
        QCOMPARE(favorites.captions(), presets->captions()); // the first favorite brings the columns
        QVERIFY(AddToFavorites(*presets, 2, favorites, 3).isEmpty());
        QVERIFY(AddToFavorites(*presets, 3, favorites, 3).isEmpty());
        QVERIFY(AddToFavorites(*presets, 4, favorites, 3).isEmpty());
        QCOMPARE(favorites.rows(), 3);
        QCOMPARE(GetCatalogField(favorites, 1, "ID"), QStringLiteral("ID-D"));
        QCOMPARE(GetCatalogField(favorites, 3, "ID"), QStringLiteral("ID-B")); // A, the oldest, went
        QCOMPARE(favorites.rowCells(1), presets->rowCells(4));
        QCOMPARE(FindFavorite(favorites, "ID-C"), 2);
        QCOMPARE(FindFavorite(favorites, "ID-A"), 0);
        QCOMPARE(FindFavorite(favorites, QString()), 0);

        // Keywords differing only in case make one button, with the first one's maker.
        QList<FavoriteKeyword> keywords = RefreshFavorites(favorites, *presets);
        QCOMPARE(keywords.size(), 2);
        QCOMPARE(keywords.at(0).keyword, QStringLiteral("MP4"));
        QCOMPARE(keywords.at(1).keyword, QStringLiteral("OGG"));
        QCOMPARE(keywords.at(1).maker, QStringLiteral("DeviceFormat"));
        QCOMPARE(keywords.at(1).thumbnail, QStringLiteral("thumb_ogg.png"));

        // A preset that left the catalog leaves the favorites at the next refresh.
        presets->removeRowAt(FindCatalogRow(*presets, "ID", "ID-D"));
        keywords = RefreshFavorites(favorites, *presets);
        QCOMPARE(favorites.rows(), 2);
        QCOMPARE(keywords.size(), 1);
        RemoveFavorite(favorites, 1);
        QCOMPARE(favorites.rows(), 1);
        QCOMPARE(GetCatalogField(favorites, 1, "ID"), QStringLiteral("ID-B"));

        // A preset without its key field stops the adding, and costs no favorite.
        presets->setCell(1, 2, "  ");
        QCOMPARE(AddToFavorites(*presets, 2, favorites, 1), QStringLiteral("'ID-A' is empty!"));
        QCOMPARE(favorites.rows(), 1);
    }

    void searchMatchesNameKeywordAndMakerTogether() {
        auto *presets = Presets(this, {{"[%Custom%]", "C", "AudioFormat", "MP3"},
                                       {"High Quality 320", "1", "AudioFormat", "MP3"},
                                       {"iPhone - AAC", "2", "DeviceFormat", "iPhone"},
                                       {"Lossless", "3", "AudioFormat", "FLAC"}});
        CatalogTable results;
        QCOMPARE(SearchPresets(*presets, "   ", results), 0);
        QCOMPARE(results.captions(), QStringList({"Preset", "Maker", "Keyword"}));
        QCOMPARE(SearchPresets(*presets, "mp3", results), 1); // never the custom placeholder
        QCOMPARE(results.rowCells(1), QStringList({"High Quality 320", "AudioFormat", "MP3"}));
        QCOMPARE(SearchPresets(*presets, "DEVICE", results), 1);
        QCOMPARE(SearchPresets(*presets, "320MP3Audio", results), 1); // across the joined fields
        QCOMPARE(SearchPresets(*presets, "audioformat", results), 2);
        QCOMPARE(SearchPresets(*presets, "custom", results), 0);
        QCOMPARE(SearchPresets(*presets, "nothing", results), 0);
        QCOMPARE(results.rows(), 0);
        QCOMPARE(PresetCountText(0), QStringLiteral("0 preset"));
        QCOMPARE(PresetCountText(1), QStringLiteral("1 preset"));
        QCOMPARE(PresetCountText(2), QStringLiteral("2 presets"));
    }
};

TV_TEST_MAIN_CORE(CatalogOperationsTest)
#include "tst_catalogoperations.moc"

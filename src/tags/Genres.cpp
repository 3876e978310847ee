#include "Genres.h"

#include <QHash>

#include <taglib/id3v1genres.h>

namespace tv {

namespace {

// Genre names are compared without regard to case and to the number of blanks, so that
// "Ambient " and "Fast  Fusion" of the chooser match the usual "Ambient" and "Fast Fusion".
QString GenreKey(const QString &genre) {
    return genre.simplified().toCaseFolded();
}

// The chooser's first 23 names differ from the ID3v1 order: after Rap (15) come seven later
// genres; from index 23 on the list follows ID3v1 from Reggae (16), so its number is index - 7.
int NumberOfListIndex(int index) {
    static const int kHead[] = {0,  1,  2,  3,  4,   5,   6,   7,   8,   9,   10, 11,
                                12, 13, 14, 15, 142, 143, 144, 145, 146, 147, 255};
    if (index < 0)
        return 255;
    if (index < 23)
        return kHead[index];
    return index - 7;
}

} // namespace

const QStringList &GenreNames() {
    static const QStringList names{"Blues",
                                   "Classic Rock",
                                   "Country",
                                   "Dance",
                                   "Disco",
                                   "Funk",
                                   "Grunge",
                                   "Hip-Hop",
                                   "Jazz",
                                   "Metal",
                                   "New Age",
                                   "Oldies",
                                   "Other",
                                   "Pop",
                                   "R&B",
                                   "Rap",
                                   "Merengue",
                                   "Salsa",
                                   "Thrash Metal",
                                   "Anime",
                                   "JPop",
                                   "Synthpop",
                                   "Rock/Pop",
                                   "Reggae",
                                   "Rock",
                                   "Techno",
                                   "Industrial",
                                   "Alternative",
                                   "Ska",
                                   "Death Metal",
                                   "Pranks",
                                   "Soundtrack",
                                   "Euro-Techno",
                                   "Ambient ",
                                   "Trip-Hop",
                                   "Vocal",
                                   "Jazz+Funk",
                                   "Fusion",
                                   "Trance",
                                   "Classical",
                                   "Instrumental",
                                   "Acid",
                                   "House",
                                   "Game",
                                   "Sound Clip",
                                   "Gospel",
                                   "Noise",
                                   "AlternRock",
                                   "Bass",
                                   "Soul",
                                   "Punk",
                                   "Space",
                                   "Meditative",
                                   "Instrumental Pop",
                                   "Instrumental Rock",
                                   "Ethnic",
                                   "Gothic",
                                   "Darkwave",
                                   "Techno-Industrial",
                                   "Electronic",
                                   "Pop-Folk",
                                   "Eurodance",
                                   "Dream",
                                   "Southern Rock",
                                   "Comedy",
                                   "Cult",
                                   "Gangsta Rap",
                                   "Top 40",
                                   "Christian Rap",
                                   "Pop / Funk",
                                   "Jungle",
                                   "Native American",
                                   "Cabaret",
                                   "New Wave",
                                   "Psychedelic",
                                   "Rave",
                                   "Showtunes",
                                   "Trailer",
                                   "Lo-Fi",
                                   "Tribal",
                                   "Acid Punk",
                                   "Acid Jazz",
                                   "Polka",
                                   "Retro",
                                   "Musical",
                                   "Rock & Roll",
                                   "Hard Rock",
                                   "Folk",
                                   "Folk-Rock",
                                   "National Folk",
                                   "Swing",
                                   "Fast  Fusion",
                                   "Bebob",
                                   "Latin",
                                   "Revival",
                                   "Celtic",
                                   "Bluegrass",
                                   "Avantgarde",
                                   "Gothic Rock",
                                   "Progressive Rock",
                                   "Psychedelic Rock",
                                   "Symphonic Rock",
                                   "Slow Rock",
                                   "Big Band",
                                   "Chorus",
                                   "Easy Listening",
                                   "Acoustic",
                                   "Humour",
                                   "Speech",
                                   "Chanson",
                                   "Opera",
                                   "Chamber Music",
                                   "Sonata",
                                   "Symphony",
                                   "Booty Bass",
                                   "Primus",
                                   "Porn Groove",
                                   "Satire",
                                   "Slow Jam",
                                   "Club",
                                   "Tango",
                                   "Samba",
                                   "Folklore",
                                   "Ballad",
                                   "Power Ballad",
                                   "Rhythmic Soul",
                                   "Freestyle",
                                   "Duet",
                                   "Punk Rock",
                                   "Drum Solo",
                                   "A Cappella",
                                   "Euro-House",
                                   "Dance Hall",
                                   "Goa",
                                   "Drum & Bass",
                                   "Club-House",
                                   "Hardcore",
                                   "Terror",
                                   "Indie",
                                   "BritPop",
                                   "Negerpunk",
                                   "Polsk Punk",
                                   "Beat",
                                   "Christian Gangsta Rap",
                                   "Heavy Metal",
                                   "Black Metal",
                                   "Crossover",
                                   "Contemporary Christian",
                                   "Christian Rock"};
    return names;
}

int Id3v1GenreNumber(const QString &genre) {
    const QString key = GenreKey(genre);
    if (key.isEmpty())
        return 255;
    static const QHash<QString, int> byName = [] {
        QHash<QString, int> map;
        const QStringList &names = GenreNames();
        for (int i = 0; i < names.size(); ++i) {
            if (NumberOfListIndex(i) != 255)
                map.insert(GenreKey(names[i]), NumberOfListIndex(i));
        }
        // TagLib's spellings of the same numbers and of the later Winamp additions.
        const TagLib::StringList taglibNames = TagLib::ID3v1::genreList();
        for (unsigned int n = 0; n < taglibNames.size() && n < 255; ++n)
            map.insert(GenreKey(QString::fromUtf8(taglibNames[n].toCString(true))), static_cast<int>(n));
        for (int n = 0; n < 255; ++n) {
            const QString name = Id3v1GenreName(n);
            if (!name.isEmpty())
                map.insert(GenreKey(name), n);
        }
        return map;
    }();
    return byName.value(key, 255);
}

QString Id3v1GenreName(int number) {
    if (number < 0 || number >= 255)
        return QString();
    static const QHash<int, QString> byNumber = [] {
        QHash<int, QString> map;
        const QStringList &names = GenreNames();
        for (int i = 0; i < names.size(); ++i) {
            if (NumberOfListIndex(i) != 255)
                map.insert(NumberOfListIndex(i), names[i]);
        }
        return map;
    }();
    const auto it = byNumber.constFind(number);
    if (it != byNumber.constEnd())
        return *it;
    return QString::fromUtf8(TagLib::ID3v1::genre(number).toCString(true));
}

} // namespace tv

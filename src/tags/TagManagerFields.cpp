// Field access of TagManager by field number (ID3v1, APE, MP4, OGG Vorbis comments), and the
// field keys and text helpers the other field files share.
#include "Genres.h"
#include "TagFields.h"
#include "TagManager.h"
#include "TagManagerPrivate.h"

#include <QRegularExpression>

#include <taglib/asfattribute.h>
#include <taglib/commentsframe.h>
#include <taglib/textidentificationframe.h>

namespace tv {

namespace TagField {

QString ApeKey(int number) {
    switch (number) {
    case ApeTitle:
        return QStringLiteral("Title");
    case ApeArtist:
        return QStringLiteral("Artist");
    case ApeAlbum:
        return QStringLiteral("Album");
    case ApeYear:
        return QStringLiteral("Year");
    case ApeComment:
        return QStringLiteral("Comment");
    case ApeTrack:
        return QStringLiteral("Track");
    case ApeGenre:
        return QStringLiteral("Genre");
    case ApeComposer:
        return QStringLiteral("Composer");
    case ApeCopyright:
        return QStringLiteral("Copyright");
    default:
        return QString();
    }
}

QString Mp4Key(int number) {
    switch (number) {
    case Mp4Album:
        return QStringLiteral("\u00A9alb");
    case Mp4Artist:
        return QStringLiteral("\u00A9ART");
    case Mp4Comment:
        return QStringLiteral("\u00A9cmt");
    case Mp4Composer:
        return QStringLiteral("\u00A9wrt");
    case Mp4Copyright:
        return QStringLiteral("cprt");
    case Mp4Year:
        return QStringLiteral("\u00A9day");
    case Mp4Title:
        return QStringLiteral("\u00A9nam");
    case Mp4Genre:
        return QStringLiteral("\u00A9gen");
    case Mp4Track:
        return QStringLiteral("trkn");
    default:
        return QString();
    }
}

QString OggFieldName(int number) {
    static const char *const kNames[] = {
        "ALBUM", "ARTIST",  "COMMENT",  "CONTACT",      "COPYRIGHT", "DATE",  "DESCRIPTION", "GENRE",
        "ISRC",  "LICENSE", "LOCATION", "ORGANIZATION", "PERFORMER", "TITLE", "TRACKNUMBER", "VERSION"};
    if (number < 0 || number >= int(std::size(kNames)))
        return QString();
    return QLatin1String(kNames[number]);
}

} // namespace TagField

QString JoinValues(const TagLib::StringList &values) {
    QStringList parts;
    for (const TagLib::String &value : values) {
        const QString text = FromTagString(value);
        if (!text.isEmpty())
            parts << text;
    }
    return parts.join(QStringLiteral(" / "));
}

QString ToLatin1Text(const QString &text) {
    QString out;
    for (const char32_t code : text.toUcs4()) {
        if (code < 0x100) {
            out += QChar(code);
            continue;
        }
        const QString decomposed = QString::fromUcs4(&code, 1).normalized(QString::NormalizationForm_KD);
        const QChar base = decomposed.isEmpty() ? QChar() : decomposed.front();
        out += (!base.isNull() && base.unicode() < 0x100 && base.unicode() >= 0x20) ? base : QChar(u'?');
    }
    return out;
}

namespace {

// The leading number of a text ("7/12" → 7), or 0.
unsigned int LeadingNumber(const QString &text) {
    static const QRegularExpression digits(QStringLiteral("^\\s*(\\d+)"));
    const auto m = digits.match(text);
    return m.hasMatch() ? m.captured(1).left(9).toUInt() : 0;
}

} // namespace

bool TagManager::GetField(int family, int number, QString *text) const {
    using namespace TagField;
    switch (family) {
    case TagFamilyId3v1: {
        TagLib::ID3v1::Tag *tag = d->Id3v1(false);
        if (!tag)
            return false;
        switch (number) {
        case Id3v1Title:
            *text = FromTagString(tag->title());
            return true;
        case Id3v1Artist:
            *text = FromTagString(tag->artist());
            return true;
        case Id3v1Album:
            *text = FromTagString(tag->album());
            return true;
        case Id3v1Year:
            *text = tag->year() ? QString::number(tag->year()) : QString();
            return true;
        case Id3v1Comment:
            *text = FromTagString(tag->comment());
            return true;
        case Id3v1Track:
            *text = tag->track() ? QString::number(tag->track()) : QString();
            return true;
        case Id3v1Genre:
            *text = Id3v1GenreName(int(tag->genreNumber()));
            return true;
        default:
            return false;
        }
    }
    case TagFamilyApe: {
        TagLib::APE::Tag *tag = d->Ape(false);
        const QString key = ApeKey(number);
        if (!tag || key.isEmpty())
            return false;
        const TagLib::APE::ItemListMap &items = tag->itemListMap();
        const auto it = items.find(ToTagString(key.toUpper()));
        *text = it == items.end() ? QString() : JoinValues(it->second.values());
        return true;
    }
    case TagFamilyMp4: {
        TagLib::MP4::Tag *tag = d->Mp4();
        const QString key = Mp4Key(number);
        if (!tag || key.isEmpty())
            return false;
        const TagLib::String tagKey = ToTagString(key);
        if (!tag->contains(tagKey)) {
            text->clear();
            return true;
        }
        const TagLib::MP4::Item item = tag->item(tagKey);
        if (number == Mp4Track) {
            const TagLib::MP4::Item::IntPair pair = item.toIntPair();
            *text = pair.first <= 0
                        ? QString()
                        : (pair.second > 0 ? QStringLiteral("%1/%2").arg(pair.first).arg(pair.second)
                                           : QString::number(pair.first));
        } else {
            *text = JoinValues(item.toStringList());
        }
        return true;
    }
    case TagFamilyOggVorbis: {
        TagLib::Ogg::XiphComment *tag = d->Xiph(TagFamilyOggVorbis, false);
        const QString name = OggFieldName(number);
        if (!tag || name.isEmpty())
            return false;
        const TagLib::Ogg::FieldListMap &fields = tag->fieldListMap();
        const auto it = fields.find(ToTagString(name));
        *text = it == fields.end() ? QString() : JoinValues(it->second);
        return true;
    }
    default:
        return false;
    }
}

bool TagManager::SetField(int family, int number, const QString &text) {
    using namespace TagField;
    switch (family) {
    case TagFamilyId3v1: {
        TagLib::ID3v1::Tag *tag = d->Id3v1(true);
        if (!tag)
            return false;
        const TagLib::String latin1 = ToTagString(ToLatin1Text(text));
        switch (number) {
        case Id3v1Title:
            tag->setTitle(latin1);
            return true;
        case Id3v1Artist:
            tag->setArtist(latin1);
            return true;
        case Id3v1Album:
            tag->setAlbum(latin1);
            return true;
        case Id3v1Year:
            tag->setYear(std::min(LeadingNumber(text), 9999u));
            return true;
        case Id3v1Comment:
            tag->setComment(latin1);
            return true;
        case Id3v1Track: {
            const unsigned int track = LeadingNumber(text);
            tag->setTrack(track <= 255 ? track : 0);
            return true;
        }
        case Id3v1Genre:
            tag->setGenreNumber(unsigned(Id3v1GenreNumber(text)));
            return true;
        default:
            return false; // ID3v1 has no composer (8) or other fields
        }
    }
    case TagFamilyApe: {
        TagLib::APE::Tag *tag = d->Ape(true);
        const QString key = ApeKey(number);
        if (!tag || key.isEmpty())
            return false;
        if (text.isEmpty())
            tag->removeItem(ToTagString(key));
        else
            tag->addValue(ToTagString(key), ToTagString(text), true);
        return true;
    }
    case TagFamilyMp4: {
        TagLib::MP4::Tag *tag = d->Mp4();
        const QString key = Mp4Key(number);
        if (!tag || key.isEmpty())
            return false;
        const TagLib::String tagKey = ToTagString(key);
        if (text.trimmed().isEmpty()) {
            tag->removeItem(tagKey);
            if (number == Mp4Genre)
                tag->removeItem("gnre");
            return true;
        }
        if (number == Mp4Track) {
            static const QRegularExpression pair(
                QStringLiteral("^\\s*(\\d{1,5})\\s*(?:/\\s*(\\d{1,5})\\s*)?$"));
            const auto m = pair.match(text);
            if (!m.hasMatch())
                return false; // an MP4 track is a number; other texts cannot be stored
            tag->setItem(tagKey, TagLib::MP4::Item(m.captured(1).toInt(), m.captured(2).toInt()));
            return true;
        }
        if (number == Mp4Genre)
            tag->removeItem("gnre");
        tag->setItem(tagKey, TagLib::MP4::Item(TagLib::StringList(ToTagString(text))));
        return true;
    }
    case TagFamilyOggVorbis: {
        TagLib::Ogg::XiphComment *tag = d->Xiph(TagFamilyOggVorbis, true);
        const QString name = OggFieldName(number);
        if (!tag || name.isEmpty())
            return false;
        SetXiphField(*tag, name, text);
        return true;
    }
    default:
        return false;
    }
}

} // namespace tv

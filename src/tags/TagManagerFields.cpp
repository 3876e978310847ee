// Field access of TagManager: ID3v2 frames, numbered fields, named fields.
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

bool IsLatin1(const QString &text) {
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

// ID3v2.3 has no UTF-8: texts outside Latin-1 are stored as UTF-16.
TagLib::String::Type Id3v2Encoding(const QString &text) {
    return IsLatin1(text) ? TagLib::String::Latin1 : TagLib::String::UTF16;
}

bool IsFrameId(const QString &id) {
    static const QRegularExpression shape(QStringLiteral("^[A-Z][A-Z0-9]{3}$"));
    return shape.match(id).hasMatch();
}

// A genre reference of ID3v2 ("17", "(17)") as its name; other texts as they are.
QString GenreText(const QString &value) {
    static const QRegularExpression number(QStringLiteral("^\\(?(\\d{1,3})\\)?$"));
    const auto m = number.match(value.trimmed());
    if (m.hasMatch()) {
        const QString name = Id3v1GenreName(m.captured(1).toInt());
        if (!name.isEmpty())
            return name;
    }
    if (value == QLatin1String("RX"))
        return QStringLiteral("Remix");
    if (value == QLatin1String("CR"))
        return QStringLiteral("Cover");
    return value;
}

// The leading number of a text ("7/12" → 7), or 0.
unsigned int LeadingNumber(const QString &text) {
    static const QRegularExpression digits(QStringLiteral("^\\s*(\\d+)"));
    const auto m = digits.match(text);
    return m.hasMatch() ? m.captured(1).left(9).toUInt() : 0;
}

QString AsfAttributeText(const TagLib::ASF::Attribute &a) {
    switch (a.type()) {
    case TagLib::ASF::Attribute::UnicodeType:
        return FromTagString(a.toString());
    case TagLib::ASF::Attribute::DWordType:
        return QString::number(a.toUInt());
    case TagLib::ASF::Attribute::QWordType:
        return QString::number(a.toULongLong());
    case TagLib::ASF::Attribute::WordType:
        return QString::number(a.toUShort());
    case TagLib::ASF::Attribute::BoolType:
        return a.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return QString();
    }
}

enum class AsfBuiltIn { None, Title, Author, Description, Copyright, Rating };

AsfBuiltIn AsfBuiltInField(const QString &name) {
    if (name == QLatin1String("Title"))
        return AsfBuiltIn::Title;
    if (name == QLatin1String("Author"))
        return AsfBuiltIn::Author;
    if (name == QLatin1String("Description"))
        return AsfBuiltIn::Description;
    if (name == QLatin1String("Copyright"))
        return AsfBuiltIn::Copyright;
    if (name == QLatin1String("Rating"))
        return AsfBuiltIn::Rating;
    return AsfBuiltIn::None;
}

// At most maxUnits UTF-16 units, never splitting a character in two.
QString Shortened(const QString &text, qsizetype maxUnits) {
    if (text.size() <= maxUnits)
        return text;
    qsizetype end = maxUnits;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end);
}

bool IsChunkId(const QString &id) {
    static const QRegularExpression shape(QStringLiteral("^[A-Z0-9 ]{4}$"));
    return shape.match(id).hasMatch();
}

} // namespace

bool TagManager::GetId3v2Frame(const QString &frameId, QString *text) const {
    TagLib::ID3v2::Tag *tag = d->Id3v2(false);
    if (!tag || !IsFrameId(frameId))
        return false;
    // TagLib keeps the year of ID3v2.3 (TYER, with TDAT and TIME) as the ID3v2.4 recording time
    // (TDRC), which holds the whole date.
    QStringList ids{frameId};
    if (frameId == QLatin1String("TYER"))
        ids.prepend(QStringLiteral("TDRC"));
    for (const QString &id : ids) {
        const TagLib::ID3v2::FrameList &frames =
            tag->frameList(TagLib::ByteVector(id.toLatin1().constData(), 4));
        if (frames.isEmpty())
            continue;
        const TagLib::ID3v2::Frame *frame = frames.front();
        if (const auto *textFrame = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame *>(frame)) {
            QStringList values;
            for (const TagLib::String &v : textFrame->fieldList()) {
                QString value = FromTagString(v);
                if (id == QLatin1String("TCON"))
                    value = GenreText(value);
                if (!value.isEmpty() && !values.contains(value))
                    values << value;
            }
            *text = values.join(QStringLiteral(" / "));
        } else {
            *text = FromTagString(frame->toString());
        }
        return true;
    }
    text->clear();
    return true;
}

bool TagManager::SetId3v2Frame(const QString &frameId, const QString &text) {
    if (!IsFrameId(frameId))
        return false;
    if (frameId == QLatin1String("COMM"))
        return SetId3v2Comment(QString(), QString(), text);
    if (!frameId.startsWith(QLatin1Char('T')) || frameId == QLatin1String("TXXX"))
        return false; // only text frames are set by name
    TagLib::ID3v2::Tag *tag = d->Id3v2(true);
    if (!tag)
        return false;
    QString id = frameId;
    if (frameId == QLatin1String("TYER") || frameId == QLatin1String("TDRC")) {
        // Saved as ID3v2.3, TagLib writes the year of TDRC as TYER (and its day and time as TDAT, TIME).
        tag->removeFrames("TYER");
        id = QStringLiteral("TDRC");
    }
    const TagLib::ByteVector key(id.toLatin1().constData(), 4);
    tag->removeFrames(key);
    if (text.isEmpty())
        return true;
    auto *frame = new TagLib::ID3v2::TextIdentificationFrame(key, Id3v2Encoding(text));
    frame->setText(ToTagString(text));
    tag->addFrame(frame);
    return true;
}

int TagManager::Id3v2FrameCount(const QString &frameId) const {
    TagLib::ID3v2::Tag *tag = d->Id3v2(false);
    if (!tag || !IsFrameId(frameId))
        return 0;
    int count = int(tag->frameList(TagLib::ByteVector(frameId.toLatin1().constData(), 4)).size());
    if (frameId == QLatin1String("TYER"))
        count += int(tag->frameList("TDRC").size());
    return count;
}

bool TagManager::GetId3v2Comment(int index, QString *language, QString *description, QString *text) const {
    TagLib::ID3v2::Tag *tag = d->Id3v2(false);
    if (!tag)
        return false;
    const TagLib::ID3v2::FrameList &frames = tag->frameList("COMM");
    if (index < 0 || index >= int(frames.size()))
        return false;
    const auto *comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame *>(frames[index]);
    if (!comment)
        return false;
    const TagLib::ByteVector lang = comment->language();
    *language = QString::fromLatin1(lang.data(), int(lang.size())).remove(QChar(0)).trimmed();
    *description = FromTagString(comment->description());
    *text = FromTagString(comment->text());
    return true;
}

bool TagManager::SetId3v2Comment(const QString &language, const QString &description, const QString &text) {
    TagLib::ID3v2::Tag *tag = d->Id3v2(true);
    if (!tag)
        return false;
    // The plain comment (no description) and the one of the same description are replaced;
    // comments that other programs keep under their own descriptions stay.
    const TagLib::ID3v2::FrameList frames = tag->frameList("COMM");
    for (TagLib::ID3v2::Frame *frame : frames) {
        const auto *comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame *>(frame);
        const QString existing = comment ? FromTagString(comment->description()) : QString();
        if (existing.isEmpty() || existing.compare(description, Qt::CaseInsensitive) == 0)
            tag->removeFrame(frame, true);
    }
    if (text.isEmpty())
        return true;
    static const QRegularExpression threeLetters(QStringLiteral("^[A-Za-z]{3}$"));
    const QByteArray lang = threeLetters.match(language).hasMatch() ? language.toLatin1() : QByteArray("XXX");
    auto *comment = new TagLib::ID3v2::CommentsFrame(Id3v2Encoding(description + text));
    comment->setLanguage(TagLib::ByteVector(lang.constData(), 3));
    comment->setDescription(ToTagString(description));
    comment->setText(ToTagString(text));
    tag->addFrame(comment);
    return true;
}

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
        if (text.isEmpty())
            tag->removeFields(ToTagString(name));
        else
            tag->addField(ToTagString(name), ToTagString(text), true);
        return true;
    }
    default:
        return false;
    }
}

bool TagManager::GetNamedField(int family, const QString &name, QString *text) const {
    if (name.isEmpty())
        return false;
    switch (family) {
    case TagFamilyFlac: {
        TagLib::Ogg::XiphComment *tag = d->Xiph(TagFamilyFlac, false);
        if (!tag)
            return false;
        const TagLib::Ogg::FieldListMap &fields = tag->fieldListMap();
        const auto it = fields.find(ToTagString(name.toUpper()));
        *text = it == fields.end() ? QString() : JoinValues(it->second);
        return true;
    }
    case TagFamilyWma: {
        TagLib::ASF::Tag *tag = d->Asf();
        if (!tag)
            return false;
        switch (AsfBuiltInField(name)) {
        case AsfBuiltIn::Title:
            *text = FromTagString(tag->title());
            return true;
        case AsfBuiltIn::Author:
            *text = FromTagString(tag->artist());
            return true;
        case AsfBuiltIn::Description:
            *text = FromTagString(tag->comment());
            return true;
        case AsfBuiltIn::Copyright:
            *text = FromTagString(tag->copyright());
            return true;
        case AsfBuiltIn::Rating:
            *text = FromTagString(tag->rating());
            return true;
        case AsfBuiltIn::None:
            break;
        }
        const TagLib::String key = ToTagString(name);
        QStringList values;
        if (tag->contains(key)) {
            for (const TagLib::ASF::Attribute &a : tag->attribute(key)) {
                const QString value = AsfAttributeText(a);
                if (!value.isEmpty())
                    values << value;
            }
        }
        *text = values.join(QStringLiteral(" / "));
        return true;
    }
    case TagFamilyRiffInfo: {
        TagLib::RIFF::Info::Tag *tag = d->RiffInfo();
        if (!tag || !IsChunkId(name))
            return false;
        *text = FromTagString(tag->fieldText(TagLib::ByteVector(name.toLatin1().constData(), 4)));
        return true;
    }
    default:
        return false;
    }
}

bool TagManager::SetNamedField(int family, const QString &name, const QString &text) {
    if (name.isEmpty())
        return false;
    switch (family) {
    case TagFamilyFlac: {
        TagLib::Ogg::XiphComment *tag = d->Xiph(TagFamilyFlac, true);
        if (!tag)
            return false;
        const TagLib::String key = ToTagString(name.toUpper());
        if (text.isEmpty())
            tag->removeFields(key);
        else
            tag->addField(key, ToTagString(text), true);
        return true;
    }
    case TagFamilyWma: {
        TagLib::ASF::Tag *tag = d->Asf();
        if (!tag)
            return false;
        // The five texts of the content description hold at most 64 kB of UTF-16 each; longer
        // ones would overflow their length fields and garble the header.
        const TagLib::String value =
            ToTagString(AsfBuiltInField(name) == AsfBuiltIn::None ? text : Shortened(text, 32766));
        switch (AsfBuiltInField(name)) {
        case AsfBuiltIn::Title:
            tag->setTitle(value);
            return true;
        case AsfBuiltIn::Author:
            tag->setArtist(value);
            return true;
        case AsfBuiltIn::Description:
            tag->setComment(value);
            return true;
        case AsfBuiltIn::Copyright:
            tag->setCopyright(value);
            return true;
        case AsfBuiltIn::Rating:
            tag->setRating(value);
            return true;
        case AsfBuiltIn::None:
            break;
        }
        const TagLib::String key = ToTagString(name);
        if (text.isEmpty()) {
            tag->removeItem(key);
            return true;
        }
        // Track numbers are stored as numbers where they are plain numbers, as Windows does.
        static const QRegularExpression plainNumber(QStringLiteral("^\\d{1,9}$"));
        if (name == QLatin1String("WM/TrackNumber") && plainNumber.match(text).hasMatch())
            tag->setAttribute(key, TagLib::ASF::Attribute(text.toUInt()));
        else
            tag->setAttribute(key, TagLib::ASF::Attribute(value));
        return true;
    }
    case TagFamilyRiffInfo: {
        TagLib::RIFF::Info::Tag *tag = d->RiffInfo();
        if (!tag || !IsChunkId(name))
            return false;
        tag->setFieldText(TagLib::ByteVector(name.toLatin1().constData(), 4), ToTagString(text));
        return true;
    }
    default:
        return false;
    }
}

} // namespace tv

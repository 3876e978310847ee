// Field access of TagManager by name: FLAC and OGG Vorbis comments, WMA attributes, RIFF INFO chunks.
#include "TagFields.h"
#include "TagManager.h"
#include "TagManagerPrivate.h"

#include <QRegularExpression>

#include <taglib/asfattribute.h>

namespace tv {

namespace {

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
        SetXiphField(*tag, name.toUpper(), text);
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

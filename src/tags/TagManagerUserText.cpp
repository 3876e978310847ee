// Free-form texts of TagManager: values under names other programs agree on (ReplayGain),
// stored in each tag family's own form.
#include "TagManager.h"
#include "TagManagerPrivate.h"

#include <taglib/asfattribute.h>
#include <taglib/textidentificationframe.h>

namespace tv {

namespace {

// MP4 keeps such texts in freeform atoms of the iTunes namespace, named in lower case by the
// players that read ReplayGain from them.
TagLib::String Mp4FreeformKey(const QString &name) {
    return ToTagString(QStringLiteral("----:com.apple.iTunes:") + name.toLower());
}

TagLib::ID3v2::UserTextIdentificationFrame *FindUserText(TagLib::ID3v2::Tag *tag, const QString &name) {
    for (TagLib::ID3v2::Frame *frame : tag->frameList("TXXX")) {
        auto *user = dynamic_cast<TagLib::ID3v2::UserTextIdentificationFrame *>(frame);
        if (user && FromTagString(user->description()).compare(name, Qt::CaseInsensitive) == 0)
            return user;
    }
    return nullptr;
}

} // namespace

bool TagManager::GetUserText(int family, const QString &name, QString *text) const {
    if (name.isEmpty())
        return false;
    text->clear();
    switch (family) {
    case TagFamilyId3v2: {
        TagLib::ID3v2::Tag *tag = d->Id3v2(false);
        if (!tag)
            return false;
        if (auto *frame = FindUserText(tag, name)) {
            TagLib::StringList values = frame->fieldList();
            values.erase(values.begin()); // the first field is the description
            *text = JoinValues(values);
        }
        return true;
    }
    case TagFamilyOggVorbis:
    case TagFamilyFlac: {
        TagLib::Ogg::XiphComment *tag = d->Xiph(family, false);
        if (!tag)
            return false;
        const TagLib::Ogg::FieldListMap &fields = tag->fieldListMap();
        const auto it = fields.find(ToTagString(name.toUpper()));
        if (it != fields.end())
            *text = JoinValues(it->second);
        return true;
    }
    case TagFamilyMp4: {
        TagLib::MP4::Tag *tag = d->Mp4();
        if (!tag)
            return false;
        if (tag->contains(Mp4FreeformKey(name)))
            *text = JoinValues(tag->item(Mp4FreeformKey(name)).toStringList());
        return true;
    }
    case TagFamilyApe: {
        TagLib::APE::Tag *tag = d->Ape(false);
        if (!tag)
            return false;
        const TagLib::APE::ItemListMap &items = tag->itemListMap();
        const auto it = items.find(ToTagString(name.toUpper()));
        if (it != items.end())
            *text = JoinValues(it->second.values());
        return true;
    }
    case TagFamilyWma:
        return GetNamedField(TagFamilyWma, name.toLower(), text);
    default:
        return false;
    }
}

bool TagManager::SetUserText(int family, const QString &name, const QString &text) {
    if (name.isEmpty())
        return false;
    switch (family) {
    case TagFamilyId3v2: {
        TagLib::ID3v2::Tag *tag = d->Id3v2(true);
        if (!tag)
            return false;
        while (auto *old = FindUserText(tag, name))
            tag->removeFrame(old, true);
        if (text.isEmpty())
            return true;
        auto *frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::Latin1);
        frame->setDescription(ToTagString(name));
        frame->setText(ToTagString(text));
        tag->addFrame(frame);
        return true;
    }
    case TagFamilyOggVorbis:
    case TagFamilyFlac: {
        TagLib::Ogg::XiphComment *tag = d->Xiph(family, true);
        if (!tag)
            return false;
        SetXiphField(*tag, name.toUpper(), text);
        return true;
    }
    case TagFamilyMp4: {
        TagLib::MP4::Tag *tag = d->Mp4();
        if (!tag)
            return false;
        if (text.isEmpty())
            tag->removeItem(Mp4FreeformKey(name));
        else
            tag->setItem(Mp4FreeformKey(name), TagLib::MP4::Item(TagLib::StringList(ToTagString(text))));
        return true;
    }
    case TagFamilyApe: {
        TagLib::APE::Tag *tag = d->Ape(true);
        if (!tag)
            return false;
        if (text.isEmpty())
            tag->removeItem(ToTagString(name.toUpper()));
        else
            tag->addValue(ToTagString(name.toUpper()), ToTagString(text), true);
        return true;
    }
    case TagFamilyWma:
        return SetNamedField(TagFamilyWma, name.toLower(), text);
    default:
        return false;
    }
}

} // namespace tv

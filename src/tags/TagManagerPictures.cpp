// Pictures of TagManager: counting, reading and putting in a front cover.
#include "TagManager.h"
#include "TagManagerPrivate.h"
#include "TagPictures.h"

#include <QBuffer>
#include <QImageReader>

#include <taglib/asfpicture.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacpicture.h>
#include <taglib/mp4coverart.h>

#include <vector>

namespace tv {

namespace {

QByteArray ToBytes(const TagLib::ByteVector &v) {
    return QByteArray(v.data(), int(v.size()));
}
TagLib::ByteVector ToByteVector(const QByteArray &a) {
    return TagLib::ByteVector(a.constData(), static_cast<unsigned int>(a.size()));
}

// The pictures of one family, front covers first.
std::vector<QByteArray> Ordered(std::vector<std::pair<bool, QByteArray>> pictures) {
    std::stable_sort(pictures.begin(), pictures.end(),
                     [](const auto &a, const auto &b) { return a.first && !b.first; });
    std::vector<QByteArray> out;
    for (auto &p : pictures)
        out.push_back(std::move(p.second));
    return out;
}

TagLib::List<TagLib::FLAC::Picture *> FlacPictures(const TagManager::Private &d) {
    if (d.flac)
        return d.flac->pictureList();
    if (d.oggFlac && d.oggFlac->tag())
        return d.oggFlac->tag()->pictureList();
    return {};
}

TagLib::FLAC::Picture *NewFlacPicture(const QByteArray &data) {
    auto *picture = new TagLib::FLAC::Picture;
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType(ToTagString(PictureMimeType(PictureKindOf(data))));
    picture->setData(ToByteVector(data));
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid()) {
        picture->setWidth(size.width());
        picture->setHeight(size.height());
        picture->setColorDepth(24);
    }
    return picture;
}

// Puts the picture in as the comment's front cover, in place of an earlier one.
bool ReplaceFrontCover(TagLib::Ogg::XiphComment *comment, const QByteArray &picture) {
    for (TagLib::FLAC::Picture *old : comment->pictureList()) {
        if (old->type() == TagLib::FLAC::Picture::FrontCover)
            comment->removePicture(old, true);
    }
    comment->addPicture(NewFlacPicture(picture));
    return true;
}

std::vector<QByteArray> PicturesOf(const TagManager::Private &d, int family) {
    std::vector<std::pair<bool, QByteArray>> pictures;
    switch (family) {
    case TagFamilyId3v2:
        if (TagLib::ID3v2::Tag *tag = d.Id3v2(false)) {
            for (const TagLib::ID3v2::Frame *frame : tag->frameList("APIC")) {
                if (const auto *apic = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame *>(frame))
                    pictures.emplace_back(apic->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover,
                                          ToBytes(apic->picture()));
            }
        }
        break;
    case TagFamilyMp4:
        if (TagLib::MP4::Tag *tag = d.Mp4(); tag && tag->contains("covr")) {
            for (const TagLib::MP4::CoverArt &art : tag->item("covr").toCoverArtList())
                pictures.emplace_back(false, ToBytes(art.data()));
        }
        break;
    case TagFamilyWma:
        if (TagLib::ASF::Tag *tag = d.Asf(); tag && tag->contains("WM/Picture")) {
            for (const TagLib::ASF::Attribute &a : tag->attribute("WM/Picture")) {
                const TagLib::ASF::Picture picture = a.toPicture();
                if (picture.isValid())
                    pictures.emplace_back(picture.type() == TagLib::ASF::Picture::FrontCover,
                                          ToBytes(picture.picture()));
            }
        }
        break;
    case TagFamilyFlac:
        for (const TagLib::FLAC::Picture *picture : FlacPictures(d))
            pictures.emplace_back(picture->type() == TagLib::FLAC::Picture::FrontCover,
                                  ToBytes(picture->data()));
        break;
    case TagFamilyOggVorbis:
        // METADATA_BLOCK_PICTURE comments, as Opus files carry their covers.
        if (TagLib::Ogg::XiphComment *comment = d.Xiph(TagFamilyOggVorbis, false)) {
            for (const TagLib::FLAC::Picture *picture : comment->pictureList())
                pictures.emplace_back(picture->type() == TagLib::FLAC::Picture::FrontCover,
                                      ToBytes(picture->data()));
        }
        break;
    default:
        break;
    }
    // A picture without bytes (it happens) is no picture.
    pictures.erase(
        std::remove_if(pictures.begin(), pictures.end(), [](const auto &p) { return p.second.isEmpty(); }),
        pictures.end());
    return Ordered(std::move(pictures));
}

} // namespace

int TagManager::PictureCount(int family) const {
    return int(PicturesOf(*d, family).size());
}

QByteArray TagManager::PictureData(int family, int index) const {
    const std::vector<QByteArray> pictures = PicturesOf(*d, family);
    return index >= 0 && index < int(pictures.size()) ? pictures[size_t(index)] : QByteArray();
}

bool TagManager::SetFrontCover(int family, const QByteArray &picture) {
    const PictureKind kind = PictureKindOf(picture);
    if (picture.isEmpty() || picture.size() > kMaxTagPictureBytes ||
        (kind != PictureKind::Jpeg && kind != PictureKind::Png))
        return false;
    const TagLib::String mime = ToTagString(PictureMimeType(kind));
    switch (family) {
    case TagFamilyId3v2: {
        TagLib::ID3v2::Tag *tag = d->Id3v2(true);
        if (!tag)
            return false;
        const TagLib::ID3v2::FrameList frames = tag->frameList("APIC");
        for (TagLib::ID3v2::Frame *frame : frames) {
            const auto *apic = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame *>(frame);
            if (apic && apic->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
                tag->removeFrame(frame, true);
        }
        auto *apic = new TagLib::ID3v2::AttachedPictureFrame;
        apic->setTextEncoding(TagLib::String::Latin1);
        apic->setMimeType(mime);
        apic->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        apic->setPicture(ToByteVector(picture));
        tag->addFrame(apic);
        return true;
    }
    case TagFamilyMp4: {
        TagLib::MP4::Tag *tag = d->Mp4();
        if (!tag)
            return false;
        // MP4 pictures carry no type: the cover put in becomes the only one.
        const auto format =
            kind == PictureKind::Jpeg ? TagLib::MP4::CoverArt::JPEG : TagLib::MP4::CoverArt::PNG;
        TagLib::MP4::CoverArtList covers;
        covers.append(TagLib::MP4::CoverArt(format, ToByteVector(picture)));
        tag->setItem("covr", TagLib::MP4::Item(covers));
        return true;
    }
    case TagFamilyWma: {
        TagLib::ASF::Tag *tag = d->Asf();
        if (!tag)
            return false;
        TagLib::ASF::AttributeList kept;
        if (tag->contains("WM/Picture")) {
            for (const TagLib::ASF::Attribute &a : tag->attribute("WM/Picture")) {
                if (a.toPicture().type() != TagLib::ASF::Picture::FrontCover)
                    kept.append(a);
            }
        }
        TagLib::ASF::Picture cover;
        cover.setType(TagLib::ASF::Picture::FrontCover);
        cover.setMimeType(mime);
        cover.setPicture(ToByteVector(picture));
        kept.prepend(TagLib::ASF::Attribute(cover));
        tag->removeItem("WM/Picture");
        for (const TagLib::ASF::Attribute &a : kept)
            tag->addAttribute("WM/Picture", a);
        return true;
    }
    case TagFamilyFlac: {
        if (d->flac) {
            for (TagLib::FLAC::Picture *old : d->flac->pictureList()) {
                if (old->type() == TagLib::FLAC::Picture::FrontCover)
                    d->flac->removePicture(old, true);
            }
            d->flac->addPicture(NewFlacPicture(picture));
            return true;
        }
        if (d->oggFlac && d->oggFlac->tag())
            return ReplaceFrontCover(d->oggFlac->tag(), picture);
        return false;
    }
    case TagFamilyOggVorbis: {
        TagLib::Ogg::XiphComment *comment = d->Xiph(TagFamilyOggVorbis, true);
        return comment && ReplaceFrontCover(comment, picture);
    }
    default:
        return false;
    }
}

} // namespace tv

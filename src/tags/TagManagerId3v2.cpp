// Field access of TagManager: ID3v2 frames and comment frames.
#include "Genres.h"
#include "TagManager.h"
#include "TagManagerPrivate.h"

#include <QRegularExpression>

#include <taglib/commentsframe.h>
#include <taglib/textidentificationframe.h>

namespace tv {

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

} // namespace tv

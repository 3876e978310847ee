#include "DataImage.h"

#include "Libburn.h"
#include "OutputNaming.h"
#include "WorkFiles.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/types.h>

#include <libburn/libburn.h>
#include <libisofs/libisofs.h>

namespace tv {

// libisofs names the global struct burn_source as well: these declarations make the unqualified
// libburn names in this file mean libburn's.
using burn::BURN_BLOCK_SAO;
using burn::burn_disc;
using burn::burn_disc_add_session;
using burn::burn_disc_create;
using burn::burn_disc_free;
using burn::burn_drive;
using burn::burn_read_data;
using burn::burn_session;
using burn::burn_session_add_track;
using burn::burn_session_create;
using burn::burn_session_free;
using burn::burn_source;
using burn::burn_source_free;
using burn::burn_track;
using burn::burn_track_create;
using burn::burn_track_define_data;
using burn::burn_track_free;
using burn::burn_track_set_source;
using burn::burn_write_opts;
using burn::burn_write_opts_free;
using burn::burn_write_opts_new;
using burn::burn_write_opts_set_stdio_fsync;
using burn::burn_write_opts_set_write_type;
using burn::BURN_WRITE_SAO;

namespace {

constexpr qint64 kBlock = 2048;

QString IsoErrorText(int code) {
    const QString queued = burnlib::TakeMessages();
    return queued.isEmpty() ? QString::fromLocal8Bit(iso_error_to_msg(code)) : queued;
}

// Reads the blocks of a medium's earlier sessions for libisofs.
struct DriveBlocks {
    burn_drive *drive = nullptr;
};

int DriveOpen(IsoDataSource *) {
    return 1;
}

int DriveClose(IsoDataSource *) {
    return 1;
}

int DriveRead(IsoDataSource *source, uint32_t lba, uint8_t *buffer) {
    auto *blocks = static_cast<DriveBlocks *>(source->data);
    off_t count = 0;
    const int r = burn_read_data(blocks->drive, off_t(lba) * kBlock, reinterpret_cast<char *>(buffer), kBlock,
                                 &count, 2);
    return r > 0 && count == kBlock ? 1 : int(ISO_DATA_SOURCE_FAILURE);
}

// libisofs declares its image source with the global struct burn_source, which is the struct
// libburn declares in its namespace: the same C type under two C++ names.
int CreateSource(IsoImage *image, IsoWriteOpts *opts, burn_source **source) {
    ::burn_source *made = nullptr;
    const int r = iso_image_create_burn_source(image, opts, &made);
    *source = reinterpret_cast<burn_source *>(made);
    return r;
}

void DriveFree(IsoDataSource *source) {
    delete static_cast<DriveBlocks *>(source->data);
    delete source;
}

} // namespace

struct DataImage::Parts {
    IsoImage *image = nullptr;
    bool append = false;
    uint32_t msBlock = 0;
    ~Parts() {
        if (image)
            iso_image_unref(image);
    }

    IsoWriteOpts *options(bool sizeOnly, QString *error) const {
        IsoWriteOpts *opts = nullptr;
        const int r = iso_write_opts_new(&opts, 2);
        if (r < 0) {
            if (error)
                *error = IsoErrorText(r);
            return nullptr;
        }
        iso_write_opts_set_rockridge(opts, 1);
        iso_write_opts_set_joliet(opts, 1);
        // Level 3 lets a DVD hold files of 4 GB and more.
        iso_write_opts_set_iso_level(opts, 3);
        iso_write_opts_set_joliet_longer_paths(opts, 1);
        iso_write_opts_set_joliet_long_names(opts, 1);
        iso_write_opts_set_always_gmt(opts, 1);
        // The label is written as the user typed it, not in upper case with "_" for blanks.
        iso_write_opts_set_relaxed_vol_atts(opts, 1);
        if (append) {
            iso_write_opts_set_appendable(opts, 1);
            iso_write_opts_set_ms_block(opts, msBlock);
        }
        if (sizeOnly)
            iso_write_opts_set_will_cancel(opts, 1);
        return opts;
    }
};

DataEntry DataEntryOf(const QString &path) {
    DataEntry entry;
    const QFileInfo info(path);
    entry.path = info.absoluteFilePath();
    entry.name = info.fileName();
    if (!info.isDir()) {
        entry.bytes = info.size();
        return entry;
    }
    entry.folder = true;
    entry.files = 0;
    entry.folders = 1;
    QDirIterator walk(entry.path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                      QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const QFileInfo found(walk.next());
        if (found.isDir() && !found.isSymLink()) {
            ++entry.folders;
        } else {
            ++entry.files;
            entry.bytes += found.isSymLink() ? 0 : found.size();
        }
    }
    return entry;
}

qint64 EstimateDataImageBytes(const QVector<DataEntry> &entries) {
    if (entries.isEmpty())
        return 0;
    // System area, volume descriptors and the four path tables.
    qint64 blocks = 16 + 3 + 4;
    qint64 names = 0;
    qint64 folders = 1;
    for (const DataEntry &entry : entries) {
        // A file's blocks: each file rounds up on its own, so a folder counts one spare block per file.
        blocks += (entry.bytes + kBlock - 1) / kBlock + (entry.folder ? entry.files : 0);
        names += entry.files + entry.folders;
        folders += entry.folders;
    }
    // Directory records of the ISO tree with Rock Ridge fields and of the Joliet tree: about a
    // quarter block per name in all, at least one block per folder in each tree.
    blocks += (names * 512 + kBlock - 1) / kBlock + 2 * folders;
    // The libraries' own padding and tables, with room to spare.
    blocks += 160;
    return blocks * kBlock;
}

DataImage::~DataImage() = default;

std::unique_ptr<DataImage> DataImage::Build(const QVector<DataEntry> &entries, const QString &label,
                                            QString *error, const Previous *previous) {
    QString why;
    if (!burnlib::Start(&why)) {
        if (error)
            *error = why;
        return nullptr;
    }
    std::unique_ptr<DataImage> data(new DataImage);
    data->m_parts = std::make_unique<Parts>();
    Parts &parts = *data->m_parts;
    const QByteArray volume = label.toUtf8();
    int r = iso_image_new(volume.constData(), &parts.image);
    if (r < 0) {
        if (error)
            *error = IsoErrorText(r);
        return nullptr;
    }
    // The earlier session comes first: importing replaces whatever the tree holds.
    if (previous && !data->importPrevious(*previous, error))
        return nullptr;
    iso_image_set_volume_id(parts.image, volume.constData());
    iso_tree_set_follow_symlinks(parts.image, 0);
    iso_tree_set_ignore_hidden(parts.image, 0);
    iso_tree_set_ignore_special(parts.image, 1);
    IsoDir *root = iso_image_get_root(parts.image);
    QSet<QString> taken;
    const auto free = [root, &taken](const QString &name) {
        IsoNode *existing = nullptr;
        return !taken.contains(name) && iso_dir_get_node(root, name.toUtf8().constData(), &existing) != 1;
    };
    for (const DataEntry &entry : entries) {
        QString name = entry.name;
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        const QString stem = dot > 0 ? name.left(dot) : name;
        const QString extension = dot > 0 ? name.mid(dot) : QString();
        for (int n = 2; !free(name); ++n)
            name = QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(extension);
        taken.insert(name);
        IsoNode *node = nullptr;
        r = iso_tree_add_new_node(parts.image, root, name.toUtf8().constData(),
                                  QFile::encodeName(entry.path).constData(), &node);
        if (r >= 0 && entry.folder && node && iso_node_get_type(node) == LIBISO_DIR)
            r = iso_tree_add_dir_rec(parts.image, reinterpret_cast<IsoDir *>(node),
                                     QFile::encodeName(entry.path).constData());
        if (r < 0) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(entry.path, IsoErrorText(r));
            return nullptr;
        }
    }
    return data;
}

bool DataImage::importPrevious(const Previous &previous, QString *error) {
    Parts &parts = *m_parts;
    auto *source = new IsoDataSource{};
    source->version = 0;
    source->refcount = 1;
    source->open = DriveOpen;
    source->close = DriveClose;
    source->read_block = DriveRead;
    source->free_data = DriveFree;
    source->data = new DriveBlocks{previous.drive};
    IsoReadOpts *read = nullptr;
    int r = iso_read_opts_new(&read, 0);
    if (r >= 0) {
        iso_read_opts_set_start_block(read, uint32_t(previous.start));
        IsoReadImageFeatures *features = nullptr;
        r = iso_image_import(parts.image, source, read, &features);
        if (features)
            iso_read_image_features_destroy(features);
        iso_read_opts_free(read);
    }
    iso_data_source_unref(source);
    if (r < 0) {
        if (error)
            *error = IsoErrorText(r);
        return false;
    }
    parts.append = true;
    parts.msBlock = uint32_t(previous.next);
    return true;
}

qint64 DataImage::exactBytes(QString *error) const {
    IsoWriteOpts *opts = m_parts->options(true, error);
    if (!opts)
        return -1;
    burn_source *source = nullptr;
    const int r = CreateSource(m_parts->image, opts, &source);
    iso_write_opts_free(opts);
    if (r < 0) {
        if (error)
            *error = IsoErrorText(r);
        return -1;
    }
    const qint64 bytes = source->get_size(source);
    source->cancel(source);
    burn_source_free(source);
    return bytes;
}

burn_source *DataImage::createSource(QString *error) const {
    IsoWriteOpts *opts = m_parts->options(false, error);
    if (!opts)
        return nullptr;
    burn_source *source = nullptr;
    const int r = CreateSource(m_parts->image, opts, &source);
    iso_write_opts_free(opts);
    if (r < 0) {
        if (error)
            *error = IsoErrorText(r);
        return nullptr;
    }
    return source;
}

BurnResult WriteDataImage(const QString &isoPath, const QVector<DataEntry> &entries, const QString &label,
                          bool replace, qint64 capacityBytes, TaskControl &control,
                          const TaskProgress &progress) {
    if (entries.isEmpty())
        return {BurnNothingToWrite, QStringLiteral("There is nothing to write.")};
    if (!replace && NameTaken(isoPath))
        return {BurnTargetExists, QStringLiteral("%1 already exists.").arg(isoPath)};
    QString error;
    auto lock = burnlib::Lock();
    const std::unique_ptr<DataImage> image = DataImage::Build(entries, label, &error);
    if (!image)
        return {BurnFailed, error};
    const qint64 bytes = image->exactBytes(&error);
    if (bytes < 0)
        return {BurnFailed, error};
    if (capacityBytes > 0 && bytes > capacityBytes)
        return {BurnNoSpace,
                QStringLiteral("This disc doesn't have enough free space for all the selected file.")};
    if (!control.proceed())
        return {BurnAborted, QString()};

    const QString work = WorkFilePath(isoPath);
    struct Remove {
        QString path;
        ~Remove() {
            if (!path.isEmpty())
                QFile::remove(path);
        }
    } removeWork{work};
    BurnResult result;
    {
        const auto grabbed = burnlib::GrabbedDrive::Grab(QStringLiteral("stdio:") + work, &error);
        if (!grabbed)
            return {BurnFailed, error};
        burn_source *iso = image->createSource(&error);
        if (!iso)
            return {BurnFailed, error};
        // libisofs fills its own ring buffer on its own thread; a libburn fifo of 2 KB chunks
        // between the two would make the write several times slower.
        burn_disc *disc = burn_disc_create();
        burn_session *session = burn_session_create();
        burn_disc_add_session(disc, session, BURN_POS_END);
        burn_track *track = burn_track_create();
        burn_track_define_data(track, 0, 0, 0, BURN_MODE1);
        burn_track_set_source(track, iso);
        burn_session_add_track(session, track, BURN_POS_END);
        burn_write_opts *opts = burn_write_opts_new(grabbed->drive());
        burn_write_opts_set_write_type(opts, BURN_WRITE_SAO, BURN_BLOCK_SAO);
        // The name is given only after the content is on the disk (see PlaceFile), not before.
        burn_write_opts_set_stdio_fsync(opts, -1);
        const burnlib::RunEnd end = burnlib::RunWrite(grabbed->drive(), opts, disc, bytes, control, progress);
        if (end == burnlib::RunEnd::Cancelled) {
            // The generator thread may still wait on a full buffer; it has to be told to end.
            iso->cancel(iso);
            result = {BurnAborted, QString()};
        } else if (end == burnlib::RunEnd::Failed) {
            const QString why = burnlib::TakeMessages();
            result = {BurnFailed, why.isEmpty()
                                      ? QStringLiteral("%1: the image could not be written.").arg(isoPath)
                                      : why};
        }
        burn_write_opts_free(opts);
        burn_track_free(track);
        burn_session_free(session);
        burn_disc_free(disc);
        burn_source_free(iso);
    }
    if (!result.ok())
        return result;
    if (!PlaceFile(work, isoPath, replace))
        return {BurnFailed, QStringLiteral("%1: %2").arg(isoPath, QString::fromLocal8Bit(strerror(errno)))};
    removeWork.path.clear();
    return {};
}

} // namespace tv

// Adding to a burner's list: the audio CD's tracks decoded one after another into temporary
// WAVs by the single-file conversion (with the wait window and its Cancel), the data burners'
// files and folders taken as they are (their sizes and channels found on a worker), and the
// main list's converted files taken when the window opens.
#include "BurnListView.h"
#include "Config.h"
#include "ConversionFlags.h"
#include "DiscWriter.h"
#include "Engine.h"
#include "MediaItem.h"
#include "MediaProber.h"
#include "MessageBox.h"
#include "PresetIdentifier.h"
#include "ReportList.h"
#include "SingleFileConversion.h"
#include "Task.h"
#include "TimeFormat.h"
#include "frmBurnDisc.h"
#include "frmReportList.h"
#include "frmWait.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

namespace tv {

namespace {

const QString kNoSpace =
    QStringLiteral("This disc doesn't have enough free space for all the selected file.");
// What an audio CD holds: the decoded WAV is already what is written.
const QString kCdAudioOptions = QStringLiteral(" -ac 2 -ar 44100 -acodec pcm_s16le");

// The tags a track's CD-Text comes from, read on a worker.
BurnSource ProbeTags(const QString &path) {
    ProbeOptions options;
    options.importMode = 0;
    const ProbeOutcome outcome = ProbeFile(path, options);
    BurnSource tags;
    tags.path = path;
    if (outcome.addsRow()) {
        tags.title = outcome.item[Item::TagTitle].trimmed();
        tags.artist = outcome.item[Item::TagArtist].trimmed();
        tags.album = outcome.item[Item::TagAlbum].trimmed();
        // A cover the tag reader saved for the probe is not needed here.
        const QString picture = outcome.item[Item::Thumbnail];
        if (!picture.isEmpty() && picture.startsWith(Paths().tempFolder))
            QFile::remove(picture);
    }
    return tags;
}

// A data entry of the list with the channel count of a sound file.
struct FoundEntry {
    DataEntry entry;
    QString channels;
    bool exists = true;
};

} // namespace

void frmBurnDisc::AddFiles(const QStringList &paths) {
    if (m_kind == BurnKind::AudioCD)
        addAudioFiles(paths, false, {});
    else
        addDataPaths(paths, false);
}

void frmBurnDisc::AddFolder(const QString &path) {
    if (m_kind != BurnKind::AudioCD)
        addDataPaths({path}, true);
}

void frmBurnDisc::AddFilesFromMainList() {
    // A medium change while a file is decoded starts the timer again: the walk is under way.
    if (m_adding || !m_mainListPending)
        return;
    m_mainListPending = false;
    if (!m_mainList)
        return;
    QVector<BurnSource> sources;
    QStringList paths;
    for (const BurnSource &source : m_mainList()) {
        if (source.path.trimmed().isEmpty())
            continue;
        sources << source;
        paths << source.path.trimmed();
    }
    if (paths.isEmpty() || !DiscWritable())
        return;
    if (m_kind == BurnKind::AudioCD)
        addAudioFiles(paths, true, sources);
    else
        addDataPaths(paths, false);
}

void frmBurnDisc::addAudioFiles(const QStringList &paths, bool fromMainList,
                                const QVector<BurnSource> &tags) {
    if (!m_converter || paths.isEmpty())
        return;
    m_adding = true;
    setEnabled(false);
    ConversionFlags &flags = Flags();
    flags.waitMode = 1;
    flags.cancelPrepare = false;
    m_wait->ShowMode(frmWait::PrepareFiles);
    m_wait->setEnabled(true);
    const QMetaObject::Connection cancel =
        connect(m_wait, &frmWait::canceled, this, []() { Flags().cancelPrepare = true; });
    QStringList failures;
    for (int i = 0; i < paths.size(); ++i) {
        const QString &path = paths.at(i);
        m_wait->setFileNumber(i + 1, static_cast<int>(paths.size()));
        m_wait->setFileName(QFileInfo(path).fileName());
        if (!QFileInfo(path).isFile()) {
            failures << path;
            continue;
        }
        const AddResult result = AddConvertedFileToList(path, fromMainList ? tags.value(i) : BurnSource());
        if (result == AddResult::NoSpace || result == AddResult::Cancelled || flags.cancelPrepare)
            break;
    }
    disconnect(cancel);
    m_wait->hide();
    flags.waitMode = 0;
    setEnabled(true);
    finishAdding(failures);
    // The disc is read again after the main list's files have been taken.
    if (fromMainList)
        GetDiscInfo();
}

frmBurnDisc::AddResult frmBurnDisc::AddConvertedFileToList(const QString &source, const BurnSource &known) {
    if (!hasFreeSpace()) {
        ShowMessage(kNoSpace, MsgExclamation, QStringLiteral("Attention!"));
        return AddResult::NoSpace;
    }
    ConversionFlags &flags = Flags();
    const QString wav =
        Paths().tempFolder + QStringLiteral("burnaudiocd_") + NewPresetID() + QStringLiteral(".wav");
    BurnSource tags = known;
    bool tagsRead = !known.path.isEmpty();
    bool converted = false;
    QEventLoop wait;
    if (!tagsRead) {
        m_runner->start([source](TaskControl &, const TaskProgress &) { return ProbeTags(source); },
                        [&](BurnSource read) {
                            tags = read;
                            tagsRead = true;
                            if (converted)
                                wait.quit();
                        });
    }
    const QMetaObject::Connection done = connect(m_converter, &SingleFileConversion::finished, &wait, [&]() {
        converted = true;
        if (tagsRead)
            wait.quit();
    });
    const QMetaObject::Connection cancel = connect(m_wait, &frmWait::canceled, &wait, &QEventLoop::quit);
    m_decoding = true;
    m_converter->ConvertSingleFile(source, wav, kCdAudioOptions);
    if (!flags.cancelPrepare)
        wait.exec();
    m_decoding = false;
    disconnect(cancel);

    if (!flags.cancelPrepare && flags.lastError.isEmpty() && converted && !QFileInfo::exists(wav))
        flags.lastError = source + QStringLiteral("\n\n") + QStringLiteral("File format error.");
    if (!flags.lastError.isEmpty()) {
        disconnect(done);
        ShowMessage(flags.lastError, MsgExclamation, windowTitle());
        QFile::remove(wav);
        return AddResult::Failed;
    }
    if (flags.cancelPrepare && !converted) {
        // The engine is told to stop and is waited for, so that no file is left half-written.
        QEventLoop stopped;
        connect(m_converter, &SingleFileConversion::finished, &stopped, &QEventLoop::quit);
        Engine *engine = m_converter->engine();
        const bool running = engine->isRunning();
        engine->StopAll(true);
        if (!converted && running)
            stopped.exec();
        disconnect(done);
        QFile::remove(wav);
        return AddResult::Cancelled;
    }
    disconnect(done);
    if (!tagsRead) {
        // The tags may still be on their way: the track is added without CD-Text then.
        m_runner->cancel();
    }

    const WavInfo info = ReadWavInfo(wav);
    const QFileInfo file(source);
    BurnRecord record;
    record.items = QStringList(AudioItem::Count, QString());
    record.items[AudioItem::Name] = file.completeBaseName() + QLatin1Char('.') + file.suffix();
    record.items[AudioItem::Duration] =
        info.ok ? FormatClock(info.lengthMs() / 1000) : QStringLiteral("00:00:00");
    record.items[AudioItem::Number] = QStringLiteral("0.00");
    record.items[AudioItem::FilePath] = file.absolutePath() + QLatin1Char('/');
    record.items[AudioItem::AudioChannels] = QString::number(info.channels);
    record.items[AudioItem::Raw] = wav;
    record.title = tags.title;
    record.performer = tags.artist;
    record.album = tags.album;
    record.bytes = info.ok ? info.dataBytes : -1;
    m_list->addRecord(record);
    m_list->UpdateListFooters();
    CalcCDSpace();
    return AddResult::Added;
}

void frmBurnDisc::addDataPaths(const QStringList &paths, bool folders) {
    if (paths.isEmpty())
        return;
    if (!hasFreeSpace()) {
        ShowMessage(kNoSpace, MsgExclamation, QStringLiteral("Attention!"));
        return;
    }
    m_adding = true;
    setEnabled(false);
    Flags().waitMode = 1;
    m_wait->ShowMode(frmWait::PrepareFiles);
    m_wait->setEnabled(true);
    m_wait->setFileNumber(0, static_cast<int>(paths.size()));
    const auto finished = [this](const QVector<FoundEntry> &found) {
        QStringList failures;
        for (const FoundEntry &f : found) {
            if (!f.exists) {
                failures << f.entry.path;
                continue;
            }
            BurnRecord record;
            record.items = QStringList(DataItem::Count, QString());
            record.items[DataItem::Name] = f.entry.name;
            record.items[DataItem::Type] = f.entry.folder ? QStringLiteral("Folder") : QStringLiteral("File");
            record.items[DataItem::Size] = FormatSize(double(f.entry.bytes));
            record.items[DataItem::SrcSize] = QString::number(f.entry.bytes);
            record.items[DataItem::Folder] = QFileInfo(f.entry.path).absolutePath() + QLatin1Char('/');
            record.items[DataItem::Channels] = f.channels;
            record.bytes = f.entry.bytes;
            record.files = f.entry.files;
            record.folders = f.entry.folders;
            m_list->addRecord(record);
        }
        m_list->UpdateListFooters();
        CalcCDSpace();
        m_wait->hide();
        Flags().waitMode = 0;
        setEnabled(true);
        finishAdding(failures);
    };
    const QMetaObject::Connection cancel = connect(m_wait, &frmWait::canceled, this, [this, finished]() {
        m_runner->cancel();
        finished({});
    });
    m_runner->start(
        [paths, folders](TaskControl &control, const TaskProgress &progress) {
            QVector<FoundEntry> found;
            for (int i = 0; i < paths.size() && control.proceed(); ++i) {
                FoundEntry f;
                const QFileInfo info(paths.at(i));
                f.exists = folders ? info.isDir() : info.exists();
                f.entry = f.exists ? DataEntryOf(paths.at(i)) : DataEntry{paths.at(i), info.fileName()};
                if (f.exists && !f.entry.folder) {
                    ProbeOptions options;
                    options.importMode = 0;
                    options.cancel = control.cancelFlag();
                    const ProbeOutcome outcome = ProbeFile(paths.at(i), options);
                    if (outcome.addsRow())
                        f.channels = outcome.item[Item::AudioChannels];
                }
                found << f;
                progress(i + 1, paths.size());
            }
            return found;
        },
        [finished, this, cancel](QVector<FoundEntry> found) {
            disconnect(cancel);
            finished(found);
        },
        [this](qint64 done, qint64 total) {
            m_wait->setFileNumber(static_cast<int>(done), static_cast<int>(total));
        });
}

void frmBurnDisc::finishAdding(const QStringList &failures) {
    m_adding = false;
    if (!failures.isEmpty()) {
        ClearReport();
        for (const QString &path : failures)
            AddReportEntry(QFileInfo(path).fileName(), QStringLiteral("File not found!"));
        ShowReport(this, QStringLiteral("Failed"), QStringLiteral("Failed to import files!"));
    }
    if (m_space.known && m_space.free < 0)
        ShowMessage(kNoSpace, MsgExclamation, QStringLiteral("Attention!"));
    SetUiState(m_list->rowCount() > 0 ? 6 : 5);
    Q_EMIT addingFinished();
    if (m_closing)
        close();
}

} // namespace tv

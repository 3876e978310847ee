#pragma once
// The two ways the rest of the program uses tags: reading an input's tags while it is probed,
// and writing a media item's tags into a freshly converted output. Both may run on any worker
// thread, several at once.

#include "TagRecord.h"

#include "Loudness.h"

#include <QString>

namespace tv {

struct ProbeTags {
    bool loaded = false; // false: the tag reader could not load the file; use the decoder's tags
    QString error;       // why not, in plain words
    int fileType = -1;
    QString typeName;
    TagRecord record; // record.picturePath is the exported cover, or ""
    int bitsPerSample = 16;
    QString language;  // the language of the first ID3v2 comment frame
    QString coverPath; // "tagimg_" + identifier + ".jpg" in the temporary folder, or ""
};

// Reads the tags of an input file. The cover, when the file has one, is saved in tempFolder
// (the program's temporary folder when empty).
ProbeTags ReadTagsForProbe(const QString &path, const QString &tempFolder = QString());

enum class TagWriteOutcome {
    Written,        // the output now holds the record's tags
    NothingToWrite, // the output's type carries none of the tag blocks written (e.g. AIFF, ALAC)
    NotLoaded,      // the tag writer cannot load the output; it keeps the encoder's tags
    Failed,         // the tags could not be written; the output is as the encoder left it
};

struct TagWriteResult {
    TagWriteOutcome outcome = TagWriteOutcome::Failed;
    QString error; // plain words, for a log line; empty when written
    bool Succeeded() const { return outcome == TagWriteOutcome::Written; }
};

// Writes a record (and its cover, when it has one) into a converted output: loads it, detects
// its tag families, puts the cover in, writes the tags and saves. The work is done on a copy
// beside the output, checked, and only then moved over it, so the output is either fully tagged
// or left exactly as it was.
// With loudness, its ReplayGain values are written too (when it has them).
TagWriteResult WriteTagsToOutput(const QString &outputPath, const TagRecord &record,
                                 const LoudnessOutcome *loudness = nullptr);

} // namespace tv

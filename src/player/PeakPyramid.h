#pragma once
// The waveform's peaks at several resolutions: level 0 holds the lowest and highest sample of
// every 256 frames of each channel, and each further level one pair per twice as many frames,
// up to a level of a few blocks for the whole sound. Drawing any zoom takes its columns from
// the level just finer than a screen pixel, so zooming and scrolling never go back to the
// sound itself except at the closest zooms, where a column covers fewer than 256 frames and
// the few samples on screen are read directly.
//
// Threads: a pyramid is built on one worker thread (Builder) and then only read, from any
// thread, through a shared pointer to const.

#include <QtGlobal>
#include <vector>

namespace tv {

class WaveFile;

struct Peak {
    qint16 min = 0;
    qint16 max = 0;
};

class PeakPyramid {
public:
    static constexpr int kBaseFrames = 256;

    int channels() const { return m_channels; }
    qint64 frames() const { return m_frames; }
    int levelCount() const { return int(m_levels.size()); }
    // Frames per peak of a level (256, 512, 1024 …).
    static qint64 blockFrames(int level) { return qint64(kBaseFrames) << level; }
    qint64 blockCount(int level) const;
    // The peak of frames [block × blockFrames, (block + 1) × blockFrames) of a channel; the last
    // block of a level covers what is left.
    Peak peak(int level, qint64 block, int channel) const;
    // Bytes the peaks take.
    qint64 memoryBytes() const;

    // Builds level 0 from frames handed over in order, then the coarser levels from it.
    class Builder {
    public:
        Builder(int channels, qint64 expectedFrames);
        // Interleaved frames, any count per call.
        void add(const qint16 *samples, qint64 frameCount);
        PeakPyramid finish();
        // The level-0 peaks so far (the last block closed even when it is short), for a
        // builder that covered one part of the sound; the parts are joined by Join.
        std::vector<Peak> takeBlocks();

    private:
        void closeBlock();

        int m_channels;
        qint64 m_frames = 0;
        int m_inBlock = 0; // frames of the block being filled
        std::vector<Peak> m_open;
        std::vector<Peak> m_base;
    };

    // The pyramid over level-0 peaks made in parts, in order; every part but the last covers a
    // whole number of blocks.
    static PeakPyramid Join(int channels, qint64 frames, std::vector<std::vector<Peak>> parts);

private:
    int m_channels = 0;
    qint64 m_frames = 0;
    std::vector<std::vector<Peak>> m_levels; // per level: blocks × channels, channel fastest
};

// The peaks of `columns` screen columns of one channel: column x covers frames
// [start + x × perColumn, start + (x + 1) × perColumn). Columns that reach past the sound, or
// start before it, take only what lies inside (nothing at all: min = max = 0 and covered false).
// Columns of 256 frames or more come from the pyramid (whole blocks around the column, so a
// column may show a peak up to one block early or late); finer ones from the samples.
struct ColumnPeak {
    Peak peak;
    bool covered = false;
};
void ViewColumns(const PeakPyramid &pyramid, const WaveFile &wave, int channel, double start,
                 double perColumn, int columns, std::vector<ColumnPeak> &out);

} // namespace tv

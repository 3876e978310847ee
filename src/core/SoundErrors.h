#pragma once
// The sound-control error codes (-1 to -186) and their texts, which the CD ripper and the trim
// window show for the codes their sound components answer.

#include <QString>

namespace tv {

// Sound-control codes the program gives meaning to itself.
namespace SoundError {
enum : int {
    NotEnoughMemory = -2,  // the sound's samples or peaks do not fit in memory
    InvalidSoundFile = -6, // the sound editor cannot read the file
    InvalidDrive = -35,    // the drive (or image) cannot be opened
    DriveNotReady = -36,   // no disc in the drive
    InvalidTrack = -37,    // no such track on the disc
    NotAudioTrack = -41,   // a data track was asked for as audio
    InfoUnavailable = -48, // the requested information is not available yet
    CoverUrlUnavailable = -55,
    CoverFileUnavailable = -56,
    InternetUnavailable = -63,
    RecorderBusy = -64, // a rip is already running
    Unknown = -100,
};
} // namespace SoundError

// The text of a code; "" for 0, positive codes and codes beyond the table.
QString SoundErrorText(int code);

} // namespace tv

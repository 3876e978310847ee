#pragma once
// Field numbers of the tag families addressed by number, and the field names of the others.

#include <QString>

namespace tv::TagField {

// ID3v1 (composer cannot be stored: setting it fails, reading it is never asked for).
inline constexpr int Id3v1Title = 0, Id3v1Artist = 1, Id3v1Album = 2, Id3v1Year = 3, Id3v1Comment = 4,
                     Id3v1Track = 5, Id3v1Genre = 7, Id3v1Composer = 8;

// APE items.
inline constexpr int ApeTitle = 0, ApeArtist = 1, ApeAlbum = 2, ApeYear = 3, ApeComment = 4, ApeTrack = 5,
                     ApeGenre = 7, ApeComposer = 8, ApeCopyright = 9;

// MP4 items.
inline constexpr int Mp4Album = 0, Mp4Artist = 1, Mp4Comment = 8, Mp4Composer = 9, Mp4Copyright = 12,
                     Mp4Year = 13, Mp4Title = 22, Mp4Genre = 31, Mp4Track = 32;

// OGG Vorbis comment fields, numbered in the alphabetical order of the common field names.
inline constexpr int OggAlbum = 0, OggArtist = 1, OggComment = 2, OggContact = 3, OggCopyright = 4,
                     OggDate = 5, OggDescription = 6, OggGenre = 7, OggIsrc = 8, OggLicense = 9,
                     OggLocation = 10, OggOrganization = 11, OggPerformer = 12, OggTitle = 13,
                     OggTrackNumber = 14, OggVersion = 15;

// The item key / field name behind a field number ("" for a number the family does not have).
QString ApeKey(int number);
QString Mp4Key(int number);
QString OggFieldName(int number);

} // namespace tv::TagField

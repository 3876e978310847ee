#pragma once
// What the burner windows show about a disc and its speeds: the medium's type and status
// texts, the space gauge's figures (used, to burn, free, the used percentage and its gauge
// image), the speed lists and their entry texts, and the volume label as it is written.

#include <QString>
#include <QVector>
#include <functional>

namespace tv {

// The three burners: they differ in their medium family, capacity default and speed unit.
enum class BurnKind { AudioCD = 0, DataCD = 1, DataDVD = 2 };

inline constexpr double kCdCapacityDefault = 702000000.0;   // bytes, when a CD writer reports 0
inline constexpr double kDvdCapacityDefault = 4700000000.0; // bytes, when a DVD writer reports 0
inline constexpr qint64 kCdSpeedBytes = 176400;             // 1× audio CD, bytes per second
inline constexpr qint64 kDvdSpeedBytes = 1380000;           // 1× DVD, bytes per second
inline constexpr int kGaugeSteps = 20;                      // images of the space gauge
inline constexpr int kDvdSpeedEntries = 11;                 // at most this many DVD speeds

double DefaultCapacity(BurnKind kind);
bool IsDvdKind(BurnKind kind);

// The medium type texts 0 to 9 ("CD-ROM" ... "DVD+R DL") and status texts 0 to 4
// (" - (Blank)" ... " - (Unknown)"); "" outside the tables.
QString MediumTypeText(int type);
QString MediumStatusText(int status);
// What the drive button shows for a medium: type text + status text.
QString MediumDescription(int type, int status);
// Whether a medium of this type is one the burner of that kind writes (CD-R/RW for the CD
// burners, the recordable DVDs for the DVD burner).
bool MediumFitsKind(int type, BurnKind kind);

// The gauge of a burner. The figures are megabytes taken from the size texts, as the labels
// show them; free is what remains after what the disc holds and what is to be burned.
struct DiscSpace {
    bool known = false;  // a writable medium is known; otherwise everything is 0
    double capacity = 0; // number of the capacity's size text
    double used = 0;     // number of size value A's text
    double burn = 0;     // (A - B) / 1024 / 1024, to the nearest whole number
    double free = 0;     // capacity - used - burn
    int percent = 0;     // used percentage (integer division), 0 when negative
    int step = 0;        // gauge image of the used percentage, 0 to 19
    int burnPercent = 0; // percentage of used + to burn, for the part of the gauge still to come
};

// capacityBytes 0 takes the kind's default. sizeA and sizeB are the writer's two size values.
DiscSpace CalcDiscSpace(double capacityBytes, qint64 sizeA, qint64 sizeB, BurnKind kind);
// The megabytes a size text of these bytes shows (its number, in megabytes whatever unit the
// text chose, so that the gigabytes of a DVD and the kilobytes of a small file compare).
double SizeTextMegabytes(double bytes);
// used \ (capacity \ 100) with whole numbers; 0 when negative or when capacity \ 100 is 0.
int UsedSpacePercents(double used, double capacity);
// 0 → 0; 1–5 → 1; 6–10 → 2; …; 91 and above → 19.
int GaugeStep(int percent);
// "Used  350 MB", "Burn  12 MB", "369 MB": the gauge's three texts.
QString UsedSpaceText(const DiscSpace &space);
QString BurnSpaceText(const DiscSpace &space);
QString FreeSpaceText(const DiscSpace &space);
// The bare free number kept in the free label's tag ("0" without a writable medium).
QString FreeSpaceTag(const DiscSpace &space);

// "16X  (2.69 MB/s)": a CD speed entry.
QString CdSpeedText(int speed);
// "8.0X  (10.5 MB/s)": a DVD speed entry.
QString DvdSpeedText(double speed);
// A DVD speed as the list keeps it: rounded to two, then one decimal place.
double RoundDvdSpeed(double speed);

// Speed detection. setAndRead(s) sets the writer's speed to s and answers the speed it reads
// back (0 when none); progress(percent) follows the trials.
// CD: tried from 64 down to 1; an entry for each speed read back as set.
QVector<int> DetectCdSpeeds(const std::function<int(int)> &setAndRead,
                            const std::function<void(int)> &progress);
// DVD: tried from 20 down in steps of 0.1; the distinct accepted speeds, at most 11.
QVector<double> DetectDvdSpeeds(const std::function<double(double)> &setAndRead,
                                const std::function<void(int)> &progress);
// The speed writing uses when the list is empty.
inline constexpr int kFallbackSpeed = 4;

// The volume label as it is written: surrounding blanks removed (blanks only: empty).
QString DiscLabelText(const QString &text);

} // namespace tv

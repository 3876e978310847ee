#pragma once
// The program's use of libburn and libisofs, in one place: starting them once, one operation
// at a time per process (a drive scan must not meet a grabbed drive), their messages collected
// for the user instead of printed, a drive grabbed for the length of one operation, and the
// wait for a write or an erase with its progress and cancellation. Worker threads only.

#include "Task.h"

#include <QString>
#include <memory>
#include <mutex>

// libburn declares its C API inside namespace burn when compiled as C++.
namespace burn {
struct burn_drive;
struct burn_drive_info;
struct burn_disc;
struct burn_write_opts;
} // namespace burn

namespace tv::burnlib {

using burn::burn_disc;
using burn::burn_drive;
using burn::burn_drive_info;
using burn::burn_write_opts;

// Starts libburn and libisofs once per process; false (with the reason) when they cannot run.
bool Start(QString *error = nullptr);

// Held for the length of every libburn operation of this process.
std::unique_lock<std::mutex> Lock();

// The messages libburn and libisofs queued since the last call (severity SORRY and above),
// the most severe last, joined by line breaks; "" when there are none.
QString TakeMessages();

// A drive grabbed by its address ("/dev/sr0", or "stdio:/path" for a file); released when the
// object goes. Call under Lock().
class GrabbedDrive {
public:
    ~GrabbedDrive();
    GrabbedDrive(const GrabbedDrive &) = delete;
    GrabbedDrive &operator=(const GrabbedDrive &) = delete;
    // Null with the reason in *error when the drive cannot be grabbed.
    static std::unique_ptr<GrabbedDrive> Grab(const QString &address, QString *error);
    burn_drive *drive() const { return m_drive; }

private:
    GrabbedDrive() = default;
    burn_drive_info *m_info = nullptr;
    burn_drive *m_drive = nullptr;
};

// How waiting for the drive ended.
enum class RunEnd { Done, Failed, Cancelled };

// Starts writing disc with opts and waits until the drive is idle again, reporting the bytes
// sent of totalBytes (at most 99 % before the drive has closed the disc) and cancelling the
// drive when control is cancelled. Call under Lock().
RunEnd RunWrite(burn_drive *drive, burn_write_opts *opts, burn_disc *disc, qint64 totalBytes,
                TaskControl &control, const TaskProgress &progress);

// Blanks the medium (quick or full) and waits, reporting steps of 0x10000. Call under Lock().
RunEnd RunErase(burn_drive *drive, bool quick, TaskControl &control, const TaskProgress &progress);

} // namespace tv::burnlib

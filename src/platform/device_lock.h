#pragma once
// The lock files by which Linux serial programs (terminal programs, modem and
// fax tools) tell each other that a device is in use: "LCK..<name>" in the
// lock folder, where <name> is the device's path below /dev with "/" written
// as "_" ("ttyUSB0", "pts_3"; a link such as /dev/serial/by-id/... is
// followed to the tty it names), holding the owner's
// process id as ten characters, right-aligned, and a newline. Readers also
// accept a plain decimal number and the old binary 4-byte form.
//
// The lock folder is KONWERTER_LOCK_DIR where that is set (tests point it at
// a folder of their own); otherwise /run/lock, or /var/lock where there is no
// /run/lock.

#include <string>

namespace platform {

enum class DeviceLock {
  kTaken,     // the lock file is ours now
  kHeld,      // a live process holds the device (or a lock file names no process)
  kNotTaken,  // no lock file could be made (folder missing or not writable): go on without
};

// Takes the device's lock file for this process. A lock file of a process
// that has ended is stale and is removed first. A device given by a link is
// held too while a live lock file stands under the link's own name (as a
// program given that link names it). *lock_path is the file taken (kTaken)
// and "" otherwise.
DeviceLock TakeDeviceLock(const std::string& device, std::string* lock_path);

// Removes a lock file taken by TakeDeviceLock, while it still names this
// process.
void DropDeviceLock(const std::string& lock_path);

}  // namespace platform

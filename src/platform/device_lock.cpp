#include "platform/device_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

std::string LockFolder() {
  if (const char* folder = std::getenv("KONWERTER_LOCK_DIR"); folder != nullptr && *folder) {
    return folder;
  }
  struct stat info;
  if (stat("/run/lock", &info) == 0 && S_ISDIR(info.st_mode)) return "/run/lock";
  return "/var/lock";
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The process a lock file names: its id; 0 when the file names none (empty,
// garbage, unreadable); -1 when there is no such file.
long LockOwner(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? -1 : 0;
  char text[32];
  ssize_t n = ::read(fd, text, sizeof text);
  ::close(fd);
  if (n <= 0 || n == static_cast<ssize_t>(sizeof text)) return 0;
  bool decimal = true;
  for (ssize_t i = 0; i < n; ++i) {
    if (!IsBlank(text[i]) && (text[i] < '0' || text[i] > '9')) decimal = false;
  }
  if (!decimal) {
    if (n != 4) return 0;
    int32_t binary;
    std::memcpy(&binary, text, sizeof binary);
    return binary > 0 ? binary : 0;
  }
  // Blanks, at most ten digits, blanks.
  ssize_t i = 0;
  while (i < n && IsBlank(text[i])) ++i;
  long pid = 0;
  int digits = 0;
  for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) pid = pid * 10 + (text[i] - '0');
  while (i < n && IsBlank(text[i])) ++i;
  if (i != n || digits == 0 || digits > 10 || pid > INT32_MAX) return 0;
  return pid;
}

// A process that exists, also one of another user (EPERM).
bool Alive(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

// A lock file's owner keeps the device: a live process, or one that cannot
// be read, since its owner may still be writing its number.
bool Holds(long owner) { return owner == 0 || (owner > 0 && Alive(owner)); }

// The lock file named after a path as it is written: its path below /dev
// with "/" as "_" (ttyUSB0, pts_3), as the serial programs write it;
// elsewhere the file's own name.
std::string LockPathOf(std::string name) {
  const std::string dev = "/dev/";
  if (name.compare(0, dev.size(), dev) == 0 && name.size() > dev.size()) {
    name.erase(0, dev.size());
    for (char& c : name) {
      if (c == '/') c = '_';
    }
  } else {
    name.erase(0, name.rfind('/') + 1);
  }
  return LockFolder() + "/LCK.." + name;
}

// The lock file that stands for the device: named after the tty a link leads to.
std::string DeviceLockPath(const std::string& device) {
  std::string name = device;
  if (char* real = realpath(device.c_str(), nullptr)) {
    name = real;
    std::free(real);
  }
  return LockPathOf(name);
}

}  // namespace

DeviceLock TakeDeviceLock(const std::string& device, std::string* lock_path) {
  lock_path->clear();
  const std::string path = DeviceLockPath(device);
  // A program given the device by a link (/dev/serial/by-id/...) may have
  // locked it under the link's name.
  const std::string given = LockPathOf(device);
  if (given != path && Holds(LockOwner(given))) return DeviceLock::kHeld;
  // A few times: a stale file removed here may be taken by another program
  // before this one creates its own.
  for (int attempt = 0; attempt < 3; ++attempt) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd >= 0) {
      char text[16];
      int size = std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(getpid()));
      bool written = ::write(fd, text, static_cast<size_t>(size)) == size;
      if (::close(fd) != 0) written = false;
      if (!written) {  // a full folder: a lock file without an owner would only mislead
        ::unlink(path.c_str());
        return DeviceLock::kNotTaken;
      }
      *lock_path = path;
      return DeviceLock::kTaken;
    }
    const int error = errno;
    const long owner = LockOwner(path);
    if (Holds(owner)) return DeviceLock::kHeld;
    // No lock file can be made here (a folder this user may not write, or
    // none): serial programs then go on without one, and so does this one.
    if (error != EEXIST) return DeviceLock::kNotTaken;
    // Stale: its owner has ended. One this user may not remove (another
    // user's, in a sticky folder) cannot be replaced either.
    if (owner > 0 && ::unlink(path.c_str()) != 0 && errno != ENOENT) return DeviceLock::kNotTaken;
  }
  return DeviceLock::kHeld;
}

void DropDeviceLock(const std::string& lock_path) {
  if (!lock_path.empty() && LockOwner(lock_path) == getpid()) ::unlink(lock_path.c_str());
}

}  // namespace platform

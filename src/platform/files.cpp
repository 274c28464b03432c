#include "platform/files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/ascii.h"

namespace platform {
namespace {

std::mutex& AppFolderMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& AppFolderOverride() {
  static std::string folder;
  return folder;
}

std::string ExecutableFolder() {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return ".";
    if (static_cast<size_t>(length) < buffer.size()) {
      std::string exe(buffer.data(), static_cast<size_t>(length));
      size_t slash = exe.rfind('/');
      if (slash == std::string::npos) return ".";
      if (slash == 0) return "/";
      return exe.substr(0, slash);
    }
    buffer.resize(buffer.size() * 2);
  }
}

// Splits a path into its folder ("." when it names none) and its last name.
void SplitPath(const std::string& path, std::string* folder, std::string* name) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    *folder = ".";
    *name = path;
  } else {
    *folder = slash == 0 ? "/" : path.substr(0, slash);
    *name = path.substr(slash + 1);
  }
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// The name of a temporary file beside the target. Long names are shortened so
// that the temporary name stays within the file system's limit on one name.
std::string TemporaryPrefix(const std::string& name) { return "." + name.substr(0, 200) + ".tmp"; }

std::string NextTemporaryName(const std::string& folder, const std::string& name) {
  static std::atomic<unsigned> counter{0};
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, "%ld.%u", static_cast<long>(getpid()), counter.fetch_add(1));
  return JoinPath(folder, TemporaryPrefix(name) + suffix);
}

// Creates an empty, not yet used file beside the target. Mode 0666 lets the
// umask decide the bits of a new file, the way any other file is created.
int CreateTemporaryFile(const std::string& folder, const std::string& name, std::string* temp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temp = NextTemporaryName(folder, name);
    int fd = open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  return -1;
}

// Gives a file opened with O_TMPFILE a temporary name beside the target.
bool LinkUnnamedFile(int fd, const std::string& folder, const std::string& name,
                     std::string* temp) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temp = NextTemporaryName(folder, name);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp->c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// The write permission the header describes: some write bit, and the
// system's consent for this user.
bool MayWrite(const std::string& target, const struct stat& existing) {
  if ((existing.st_mode & 0222) == 0) return false;
  return faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

// Overwrites the file itself, for a folder that refuses new files. Room for a
// longer text is claimed first, so that a full disk fails the write before a
// byte of the old text is overwritten.
bool WriteInPlace(const std::string& target, const struct stat& existing, std::string_view bytes,
                  bool flush) {
  int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info;
  bool ok = fstat(fd, &info) == 0 && info.st_ino == existing.st_ino &&
            info.st_dev == existing.st_dev && S_ISREG(info.st_mode);
  if (ok && static_cast<off_t>(bytes.size()) > info.st_size &&
      fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0) {
    ok = errno == EOPNOTSUPP || errno == ENOSYS;  // no way to claim room: just write
  }
  ok = ok && lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes.data(), bytes.size());
  ok = ok && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
  ok = ok && (!flush || fsync(fd) == 0);
  if (close(fd) != 0) ok = false;
  return ok;
}

// Puts the new file in the old one's place by exchanging their names, then
// removes the old one; false where the file system cannot exchange names.
// A file replaced without a flush goes this way because ext4 flushes a new
// file's data when a rename replaces another file with it, at a cost of a
// flush per write; exchanged names take the place just as atomically.
// Flushes a folder's entries (a rename in it) to disk.
bool SyncFolder(const std::string& folder) {
  int dir_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd < 0) return false;
  const bool ok = fsync(dir_fd) == 0;
  close(dir_fd);
  return ok;
}

bool ExchangeAndDropOld(const std::string& temp, const std::string& target) {
  if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) != 0) {
    return false;
  }
  // Left behind only if this fails; a later start removes it as stale.
  unlink(temp.c_str());
  return true;
}

// Writes the bytes to a new file beside the target and renames it over the
// target. *refused tells a failure because the folder will not have a new
// file take the target's place: no new file may be made in it, or, in a
// folder with the sticky bit, only the target's owner may replace it.
bool ReplaceWithNewFile(const std::string& target, const struct stat& existing, bool exists,
                        std::string_view bytes, bool flush, bool* refused) {
  auto folder_refuses = [](int error) { return error == EACCES || error == EPERM; };
  std::string folder, name;
  SplitPath(target, &folder, &name);
  if (name.empty()) return false;
  // A file without a name cannot be left behind by a write that is cut short;
  // where the file system has no such files, a named one is used.
  std::string temp;
  bool named = false;
  int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    fd = CreateTemporaryFile(folder, name, &temp);
    named = fd >= 0;
  }
  if (fd < 0) {
    *refused = folder_refuses(errno);
    return false;
  }

  bool ok = true;
  if (exists) {
    ok = fchmod(fd, existing.st_mode & 07777) == 0;
    // Keep the owner when running with the right to do so; failing that the
    // file simply belongs to whoever saved it.
    if (ok && (existing.st_uid != geteuid() || existing.st_gid != getegid())) {
      if (fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        // Not fatal; ownership is kept only where possible.
      }
      // fchown may clear set-user-id bits; put the permission bits back.
      ok = fchmod(fd, existing.st_mode & 07777) == 0;
    }
  }
  ok = ok && WriteAll(fd, bytes.data(), bytes.size());
  ok = ok && (!flush || fsync(fd) == 0);
  if (ok && !named) {
    named = ok = LinkUnnamedFile(fd, folder, name, &temp);
    if (!ok) *refused = folder_refuses(errno);
  }
  if (close(fd) != 0) ok = false;
  if (ok && !(!flush && exists && ExchangeAndDropOld(temp, target)) &&
      rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    *refused = folder_refuses(errno);
  }
  if (!ok) {
    // The user made the temporary file, so may remove it even where the
    // sticky bit keeps the target from being replaced.
    if (named) unlink(temp.c_str());
    return false;
  }
  // The rename itself reaches the disk with the folder's entry.
  if (flush) SyncFolder(folder);
  return true;
}

// The file a write to path lands in: a symbolic link to an existing file is
// followed so that the link itself survives the rename.
bool WriteTarget(const std::string& path, std::string* target, struct stat* existing,
                 bool* exists) {
  *target = path;
  *exists = false;
  struct stat link_info;
  if (lstat(path.c_str(), &link_info) != 0) return errno == ENOENT;
  if (S_ISLNK(link_info.st_mode)) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
      // A dangling link: the new file takes the link's place.
      return errno == ENOENT;
    }
    if (!S_ISREG(info.st_mode)) return false;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return false;
    *target = resolved;
    free(resolved);
    *existing = info;
    *exists = true;
    return true;
  }
  if (!S_ISREG(link_info.st_mode)) return false;  // a folder, a device, a pipe
  *existing = link_info;
  *exists = true;
  return true;
}

// ---------------------------------------------------------------------------
// Loads

// A folder's entry names, each ended by a NUL, in one string: a folder of
// thousands of files is listed without an allocation per name.
struct FolderEntries {
  std::string names;

  template <typename Visit>
  void ForEach(Visit visit) const {
    const std::string_view all = names;
    for (size_t at = 0; at < all.size();) {
      const size_t end = all.find('\0', at);
      visit(all.substr(at, end - at));
      at = end + 1;
    }
  }
};

// What the load under way on this thread has seen; nullopt for a folder that
// could not be listed or a file that could not be read.
struct LoadState {
  std::map<std::string, std::optional<FolderEntries>> folders;
  std::map<std::string, std::string> resolved;  // a path as given -> its entry
  std::map<std::string, std::optional<std::string>> files;
};

thread_local std::optional<LoadState> current_load;

bool ListFolder(const std::string& folder, FolderEntries* entries) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return false;
  // A folder's size is about the room its names take.
  struct stat info;
  if (fstat(dirfd(dir), &info) == 0) {
    entries->names.reserve(static_cast<size_t>(std::max<off_t>(info.st_size, 4096)));
  }
  while (struct dirent* entry = readdir(dir)) {
    entries->names += entry->d_name;
    entries->names += '\0';
  }
  closedir(dir);
  return true;
}

// The folder's entries: the load's listing inside a load, else a new one in
// *scratch. Null when the folder cannot be listed.
const FolderEntries* FolderNames(const std::string& folder, FolderEntries* scratch) {
  if (!current_load) return ListFolder(folder, scratch) ? scratch : nullptr;
  auto [it, fresh] = current_load->folders.try_emplace(folder);
  if (fresh && !ListFolder(folder, &it->second.emplace())) it->second.reset();
  return it->second ? &*it->second : nullptr;
}

std::string ResolveOnDisk(const std::string& path) {
  std::string folder, name;
  SplitPath(path, &folder, &name);
  if (name.empty() || name == "." || name == "..") return path;
  FolderEntries scratch;
  const FolderEntries* entries = FolderNames(folder, &scratch);
  if (entries == nullptr) return path;
  std::string_view first;
  entries->ForEach([&](std::string_view entry) {
    if (EqualIgnoringAsciiCase(entry, name) && (first.empty() || entry < first)) first = entry;
  });
  if (first.empty()) return path;
  const size_t slash = path.rfind('/');
  return (slash == std::string::npos ? "" : path.substr(0, slash + 1)) + std::string(first);
}

}  // namespace

std::string AppFolder() {
  {
    std::lock_guard<std::mutex> lock(AppFolderMutex());
    if (!AppFolderOverride().empty()) return AppFolderOverride();
  }
  static const std::string folder = ExecutableFolder();
  return folder;
}

void SetAppFolderForTesting(const std::string& folder) {
  std::lock_guard<std::mutex> lock(AppFolderMutex());
  std::string trimmed = folder;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  AppFolderOverride() = trimmed;
}

std::string AppPath(std::string_view name) { return JoinPath(AppFolder(), std::string(name)); }

std::string ResolveCaseInsensitive(const std::string& path) {
  if (!current_load) return ResolveOnDisk(path);
  auto [it, fresh] = current_load->resolved.try_emplace(path);
  if (fresh) it->second = ResolveOnDisk(path);
  return it->second;
}

FileLoad::FileLoad() : owner_(!current_load) {
  if (owner_) current_load.emplace();
}

FileLoad::~FileLoad() {
  if (owner_) current_load.reset();
}

bool ReadWholeFile(const std::string& path, std::string* bytes, size_t max_size) {
  bytes->clear();
  // O_NONBLOCK so that opening a pipe by mistake does not wait for a writer;
  // it changes nothing for a regular file.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  std::string data;
  struct stat info;
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            static_cast<unsigned long long>(info.st_size) <= max_size;
  if (ok && info.st_size > 0) data.reserve(static_cast<size_t>(info.st_size));
  char buffer[65536];
  while (ok) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    data.append(buffer, static_cast<size_t>(got));
    ok = data.size() <= max_size;  // it grew while being read
  }
  close(fd);
  if (ok) *bytes = std::move(data);
  return ok;
}

bool ReadFileInLoad(const std::string& path, std::string* bytes, size_t max_size) {
  if (!current_load) return ReadWholeFile(path, bytes, max_size);
  auto [it, fresh] = current_load->files.try_emplace(path);
  if (fresh && !ReadWholeFile(path, &it->second.emplace(), max_size)) it->second.reset();
  const bool ok = it->second && it->second->size() <= max_size;
  *bytes = ok ? *it->second : std::string();
  return ok;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, FileSync sync) {
  if (path.empty()) return false;
  std::string target;
  struct stat existing {};
  bool exists = false;
  if (!WriteTarget(path, &target, &existing, &exists)) return false;
  if (exists && !MayWrite(target, existing)) return false;

  // A write past the file-size limit would raise SIGXFSZ, which ends the
  // process unless ignored; refuse such contents before writing anything.
  struct rlimit limit;
  if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
      bytes.size() > limit.rlim_cur) {
    return false;
  }

  const bool flush = sync == FileSync::kNow;
  bool refused = false;
  const bool written = ReplaceWithNewFile(target, existing, exists, bytes, flush, &refused) ||
                       (exists && refused && WriteInPlace(target, existing, bytes, flush));
  // Later reads in the load see what it wrote.
  if (written && current_load) {
    const auto it = current_load->files.find(path);
    if (it != current_load->files.end()) it->second = std::string(bytes);
  }
  return written;
}

bool SyncFile(const std::string& path) {
  std::string target = path;
  if (char* resolved = realpath(path.c_str(), nullptr)) {
    target = resolved;
    free(resolved);
  }
  int fd = open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0;
  close(fd);
  std::string folder, name;
  SplitPath(target, &folder, &name);
  return SyncFolder(folder) && ok;
}

namespace {

// The background flushes; the program waits for them when it ends.
struct BackgroundSyncs {
  ~BackgroundSyncs() { JoinAll(); }
  void JoinAll() {
    std::vector<std::thread> started;
    {
      std::lock_guard<std::mutex> lock(mutex);
      started.swap(threads);
    }
    for (std::thread& t : started) t.join();
  }

  std::mutex mutex;
  std::vector<std::thread> threads;
};

BackgroundSyncs& Syncs() {
  static BackgroundSyncs syncs;
  return syncs;
}

}  // namespace

void SyncFileInBackground(const std::string& path) {
  {
    std::lock_guard<std::mutex> lock(Syncs().mutex);
    try {
      Syncs().threads.emplace_back([path] { SyncFile(path); });
      return;
    } catch (...) {
      // No thread to be had (a process limit reached): the caller waits.
    }
  }
  SyncFile(path);
}

void WaitForBackgroundSyncs() { Syncs().JoinAll(); }

void RemoveStaleTemporaryFiles(const std::string& path) {
  // A write through a symbolic link works beside the link's target.
  std::string target = path;
  if (char* resolved = realpath(path.c_str(), nullptr)) {
    target = resolved;
    free(resolved);
  }
  std::string folder, name;
  SplitPath(target, &folder, &name);
  if (name.empty()) return;
  const std::string prefix = TemporaryPrefix(name);
  FolderEntries scratch;
  const FolderEntries* entries = FolderNames(folder, &scratch);
  if (entries == nullptr) return;
  std::vector<std::string> stale;
  entries->ForEach([&](std::string_view entry_name) {
    if (entry_name.substr(0, prefix.size()) != prefix) return;
    // "<pid>.<n>" and nothing else after the prefix.
    std::string_view rest = entry_name.substr(prefix.size());
    size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string_view::npos || dot + 1 == rest.size()) return;
    if (rest.find_first_not_of("0123456789.") != std::string_view::npos ||
        rest.find('.', dot + 1) != std::string_view::npos || dot > 9) {
      return;
    }
    pid_t pid = static_cast<pid_t>(std::stol(std::string(rest.substr(0, dot))));
    // A process that still runs may be writing it.
    if (pid == getpid() || kill(pid, 0) == 0 || errno != ESRCH) return;
    stale.push_back(JoinPath(folder, std::string(entry_name)));
  });
  for (const auto& file : stale) unlink(file.c_str());
}

void IgnoreFileSizeSignal() { signal(SIGXFSZ, SIG_IGN); }

}  // namespace platform

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
#include <mutex>
#include <vector>

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

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
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

// Creates an empty, not yet used file beside the target. Mode 0666 lets the
// umask decide the bits of a new file, the way any other file is created.
int CreateTemporaryFile(const std::string& folder, const std::string& name, std::string* temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".tmp%ld.%u", static_cast<long>(getpid()),
                  counter.fetch_add(1));
    // Long names are shortened so that the temporary name stays within the
    // file system's limit on one name.
    *temp = JoinPath(folder, "." + name.substr(0, 200) + suffix);
    int fd = open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  return -1;
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
  struct stat info;
  if (lstat(path.c_str(), &info) == 0) return path;
  std::string folder, name;
  SplitPath(path, &folder, &name);
  if (name.empty()) return path;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return path;
  std::vector<std::string> matches;
  while (struct dirent* entry = readdir(dir)) {
    std::string entry_name = entry->d_name;
    if (EqualIgnoringCase(entry_name, name)) matches.push_back(entry_name);
  }
  closedir(dir);
  if (matches.empty()) return path;
  std::sort(matches.begin(), matches.end());
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? matches.front() : path.substr(0, slash + 1) + matches.front();
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  bytes->clear();
  // O_NONBLOCK so that opening a pipe by mistake does not wait for a writer;
  // it changes nothing for a regular file.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return false;
  }
  std::string data;
  if (info.st_size > 0) data.reserve(static_cast<size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return false;
    }
    if (got == 0) break;
    data.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  *bytes = std::move(data);
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  if (path.empty()) return false;
  std::string target;
  struct stat existing {};
  bool exists = false;
  if (!WriteTarget(path, &target, &existing, &exists)) return false;

  // A write past the file-size limit would raise SIGXFSZ, which ends the
  // process unless ignored; refuse such contents before writing anything.
  struct rlimit limit;
  if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
      bytes.size() > limit.rlim_cur) {
    return false;
  }

  std::string folder, name;
  SplitPath(target, &folder, &name);
  if (name.empty()) return false;
  std::string temp;
  int fd = CreateTemporaryFile(folder, name, &temp);
  if (fd < 0) return false;

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
  ok = ok && fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  ok = ok && rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // The rename itself reaches the disk with the folder's entry.
  int dir_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    fsync(dir_fd);
    close(dir_fd);
  }
  return true;
}

void IgnoreFileSizeSignal() { signal(SIGXFSZ, SIG_IGN); }

}  // namespace platform

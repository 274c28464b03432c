#pragma once
// A temporary folder of the test's own, removed with everything in it when the
// object goes, and byte-level file helpers.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace testing_support {

class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/konwerter_test_XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
      throw std::system_error(errno, std::generic_category(), "no temporary folder");
    }
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  // Names of the entries in the folder, sorted.
  std::string Listing() const {
    std::string names;
    std::vector<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      all.push_back(entry.path().filename().string());
    }
    std::sort(all.begin(), all.end());
    for (const auto& n : all) names += n + ";";
    return names;
  }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Sets the modification time of a file or folder to one long past,
// 2020-01-02 03:04:05 and the given nanoseconds, so that two versions of a
// file can carry the very same time.
inline bool SetModifiedLongAgo(const std::string& path, long nanoseconds) {
  const timespec times[2] = {{0, UTIME_OMIT}, {1577934245, nanoseconds}};
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

// The inode changes with every atomic replacement, so an equal inode means
// the file was not written.
inline ino_t Inode(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

}  // namespace testing_support

#pragma once
// Helpers shared by the fuzz targets: a private temporary folder per process,
// raw file access that does not go through the code under test, and the
// checks' own small text rules.

#include <dirent.h>
#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz_util {

// Stops the run: libFuzzer reports the input that got here.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

inline void RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    if (DIR* dir = opendir(path.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        RemoveTree(path + "/" + name);
      }
      closedir(dir);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

// A folder of this process only, removed when the process ends normally.
inline const std::string& TempFolder() {
  static const std::string folder = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/konwerter-fuzz-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) std::abort();
    static std::string made(buffer.data());
    std::atexit([] { RemoveTree(made); });
    return made;
  }();
  return folder;
}

inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

inline void WriteRaw(const std::string& path, const std::string& bytes) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) std::abort();
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) std::abort();
    done += static_cast<size_t>(n);
  }
  close(fd);
}

inline std::string ReadRaw(const std::string& path) {
  std::string bytes;
  int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return bytes;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<size_t>(n));
  close(fd);
  return bytes;
}

// The lines of a file, each with its "\n" (the last one may have none).
inline std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size() - 1;
    lines.push_back(bytes.substr(start, end - start + 1));
    start = end + 1;
  }
  return lines;
}

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

inline std::string Trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// The broadest case folding the INI code could use on windows-1250 bytes:
// ASCII letters and the accented letters, whose capitals lie 0x10 or 0x20
// below them. Two names equal under it may be one name to the code under test.
inline std::string FoldCp1250(const std::string& bytes) {
  std::string out = bytes;
  for (char& c : out) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') {
      u = static_cast<unsigned char>(u + 0x20);
    } else if (u == 0x8A || u == 0x8C || u == 0x8D || u == 0x8E || u == 0x8F) {
      u = static_cast<unsigned char>(u + 0x10);
    } else if (u == 0xA3) {
      u = 0xB3;
    } else if (u == 0xA5) {
      u = 0xB9;
    } else if (u == 0xAA) {
      u = 0xBA;
    } else if (u == 0xAF) {
      u = 0xBF;
    } else if (u == 0xBC) {
      u = 0xBE;
    } else if (u >= 0xC0 && u <= 0xDE && u != 0xD7) {
      u = static_cast<unsigned char>(u + 0x20);
    }
    c = static_cast<char>(u);
  }
  return out;
}

// How a target picks a section or key name: a name the file holds (often) or
// a random one, perhaps in other letter case.
struct NameChoice {
  uint8_t how;
  uint16_t index;
  std::string random;
};

inline NameChoice ConsumeNameChoice(FuzzedDataProvider& data) {
  NameChoice choice;
  choice.how = data.ConsumeIntegral<uint8_t>();
  choice.index = data.ConsumeIntegral<uint16_t>();
  choice.random = data.ConsumeRandomLengthString(40);
  return choice;
}

inline std::string PickName(const NameChoice& choice, const std::vector<std::string>& found) {
  std::string name =
      (choice.how & 3) != 0 && !found.empty() ? found[choice.index % found.size()] : choice.random;
  if (choice.how & 4) name = FoldCp1250(name);
  return name;
}

// Number texts at the edges of what the conversions take: beyond a double's
// range both ways, below its smallest value, absurdly long, hexadecimal
// without digits or beyond 32 bits, signs and points alone, words.
inline const std::vector<std::string>& EdgeNumberTexts() {
  static const std::vector<std::string> texts = {"1e400",
                                                 "-1e400",
                                                 "1e-400",
                                                 std::string(400, '9'),
                                                 "&H",
                                                 "&HFFFFFFFFFFFFFFFF",
                                                 "-0",
                                                 ".",
                                                 "1e",
                                                 "NaN",
                                                 "Infinity",
                                                 "1d5",
                                                 "9e999",
                                                 "1e309",
                                                 "-",
                                                 "&O",
                                                 "2.5",
                                                 "-2.5",
                                                 "1.7976931348623157e308"};
  return texts;
}

// A stored number's text: now and then one of the edge texts, perhaps with
// random text after it, otherwise random text.
inline std::string ConsumeNumberText(FuzzedDataProvider& data, size_t max_length) {
  const uint8_t how = data.ConsumeIntegral<uint8_t>();
  std::string random = data.ConsumeRandomLengthString(max_length);
  if ((how & 1) == 0) return random;
  const auto& edges = EdgeNumberTexts();
  std::string text = edges[(how >> 2) % edges.size()];
  if (how & 2) text += random;
  return text;
}

}  // namespace fuzz_util

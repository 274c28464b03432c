#include "settings/profile.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include "platform/files.h"

namespace settings {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

std::string_view TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return s.substr(0, n);
}

std::string_view Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

// Lower-case partner of every windows-1250 byte: ASCII letters, the accented
// capitals of 0xC0-0xDE (but the multiplication sign 0xD7) and the capitals
// scattered through 0x8A-0xBC.
std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i);
  for (int c = 'A'; c <= 'Z'; ++c) table[c] = static_cast<unsigned char>(c + 32);
  for (int c = 0xC0; c <= 0xDE; ++c) {
    if (c != 0xD7) table[c] = static_cast<unsigned char>(c + 32);
  }
  const unsigned char pairs[][2] = {{0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
                                    {0x8F, 0x9F}, {0xA3, 0xB3}, {0xA5, 0xB9}, {0xAA, 0xBA},
                                    {0xAF, 0xBF}, {0xBC, 0xBE}};
  for (const auto& p : pairs) table[p[0]] = p[1];
  return table;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  static const std::array<unsigned char, 256> fold = MakeFoldTable();
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold[static_cast<unsigned char>(a[i])] != fold[static_cast<unsigned char>(b[i])]) {
      return false;
    }
  }
  return true;
}

// The text that a read hands out for a stored value: no NUL inside.
std::string Printable(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c == '\0') c = '?';
  }
  return out;
}

std::string_view StripValue(std::string_view raw) {
  std::string_view v = Trim(raw);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  return v;
}

enum class LineKind { kBlank, kComment, kSection, kEntry, kBare };

struct Line {
  size_t begin = 0;        // first byte of the line
  size_t content_end = 0;  // where the line end (LF or CR LF) starts
  size_t end = 0;          // after the line end
  LineKind kind = LineKind::kBlank;
  std::string_view name;   // section name, key, or the whole bare entry
  std::string_view value;  // an entry's text after its "=", as it stands
  size_t equals = 0;       // an entry's "=" in the file
};

// Walks the lines of text in order; visit returns false to stop.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  size_t pos = 0;
  while (pos < text.size()) {
    Line line;
    line.begin = pos;
    const void* lf = std::memchr(text.data() + pos, '\n', text.size() - pos);
    if (lf == nullptr) {
      line.content_end = line.end = text.size();
    } else {
      size_t at = static_cast<const char*>(lf) - text.data();
      line.end = at + 1;
      line.content_end = (at > pos && text[at - 1] == '\r') ? at - 1 : at;
    }
    pos = line.end;

    std::string_view content = text.substr(line.begin, line.content_end - line.begin);
    std::string_view lead = TrimLeft(content);
    if (lead.empty()) {
      line.kind = LineKind::kBlank;
    } else if (lead.front() == ';') {
      line.kind = LineKind::kComment;
    } else if (lead.front() == '[') {
      line.kind = LineKind::kSection;
      std::string_view inner = lead.substr(1);
      size_t close = inner.find(']');
      line.name = Trim(inner.substr(0, close));
    } else {
      size_t eq = content.find('=');
      if (eq == std::string_view::npos) {
        line.kind = LineKind::kBare;
        line.name = Trim(content);
      } else {
        line.kind = LineKind::kEntry;
        line.name = Trim(content.substr(0, eq));
        line.value = content.substr(eq + 1);
        line.equals = line.begin + eq;
      }
    }
    if (!visit(line)) return;
  }
}

// What a look-up found in the first section of the wanted name.
struct Lookup {
  bool section_found = false;
  bool key_found = false;
  Line key_line;     // the first entry of the key
  Line anchor_line;  // the section's last entry, or its header when it has none
};

Lookup Find(std::string_view text, std::string_view section, std::string_view key) {
  Lookup result;
  std::string_view want_section = Trim(section);
  std::string_view want_key = Trim(key);
  bool inside = false;
  ForEachLine(text, [&](const Line& line) {
    if (line.kind == LineKind::kSection) {
      if (inside) return false;  // only the first section of the name counts
      if (EqualsIgnoreCase(line.name, want_section)) {
        inside = true;
        result.section_found = true;
        result.anchor_line = line;
      }
      return true;
    }
    if (!inside) return true;
    if (line.kind == LineKind::kEntry || line.kind == LineKind::kBare) {
      result.anchor_line = line;
      if (line.kind == LineKind::kEntry && EqualsIgnoreCase(line.name, want_key)) {
        result.key_found = true;
        result.key_line = line;
        return false;
      }
    }
    return true;
  });
  return result;
}

// The first time the program touches a file, it removes what a run killed
// during a write of that file left beside it.
void RemoveStaleTemporaryFilesOnce(const std::string& path) {
  static std::mutex mutex;
  static std::set<std::string> done;
  std::lock_guard<std::mutex> lock(mutex);
  if (done.insert(path).second) platform::RemoveStaleTemporaryFiles(path);
}

// Reads the file's bytes; false when it is there but cannot be read.
bool ReadExisting(const std::string& path, std::string* bytes) {
  RemoveStaleTemporaryFilesOnce(path);
  return platform::ReadFileInLoad(path, bytes, kLargestProfileFile);
}

std::string ReadFile(const std::string& file) {
  std::string bytes;
  if (!ReadExisting(platform::ResolveCaseInsensitive(file), &bytes)) bytes.clear();
  return bytes;
}

// True unless the path is known not to exist.
bool MayExist(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0) return true;
  return errno != ENOENT && errno != ENOTDIR;
}

std::string_view LineEndOf(std::string_view text) {
  size_t lf = text.find('\n');
  if (lf != std::string_view::npos && (lf == 0 || text[lf - 1] != '\r')) return "\n";
  return "\r\n";
}

bool HasLineBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool WritableEntry(std::string_view section, std::string_view key, std::string_view value) {
  if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) {
    return false;
  }
  if (section.find(']') != std::string_view::npos) return false;
  if (key.find('=') != std::string_view::npos) return false;
  std::string_view lead = TrimLeft(key);
  if (!lead.empty() && (lead.front() == '[' || lead.front() == ';')) return false;
  return true;
}

}  // namespace

size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view default_value, std::string* buffer,
                               size_t buffer_size, const std::string& file) {
  std::string text = ReadFile(file);
  Lookup found = Find(text, section, key);
  std::string result;
  if (found.key_found) {
    result = Printable(StripValue(found.key_line.value));
  } else {
    result = std::string(TrimRight(default_value));
  }
  size_t room = buffer_size > 0 ? buffer_size - 1 : 0;
  if (result.size() > room) result.resize(room);
  *buffer = std::move(result);
  return buffer->size();
}

size_t GetPrivateProfileSection(std::string_view section, std::string* buffer, size_t buffer_size,
                                const std::string& file) {
  std::string text = ReadFile(file);
  std::string_view want = Trim(section);
  std::string out;
  bool inside = false;
  ForEachLine(text, [&](const Line& line) {
    if (line.kind == LineKind::kSection) {
      if (inside) return false;
      inside = EqualsIgnoreCase(line.name, want);
      return true;
    }
    if (!inside) return true;
    if (line.kind == LineKind::kEntry) {
      out += Printable(line.name);
      out += '=';
      out += Printable(StripValue(line.value));
      out += '\0';
    } else if (line.kind == LineKind::kBare) {
      out += Printable(line.name);
      out += '\0';
    }
    // Nothing past what the buffer could take is needed.
    return out.size() < buffer_size;
  });
  // The entries and the final NUL must fit; otherwise the text is cut two
  // short of the buffer's size.
  if (out.size() + 1 > buffer_size) out.resize(buffer_size >= 2 ? buffer_size - 2 : 0);
  *buffer = std::move(out);
  return buffer->size();
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file,
                               platform::FileSync sync) {
  if (!WritableEntry(section, key, value)) return false;
  const std::string path = platform::ResolveCaseInsensitive(file);
  std::string text;
  bool existed = ReadExisting(path, &text);
  if (!existed) {
    // Never replace a file that is there but could not be read.
    if (MayExist(path)) return false;
    text.clear();
  }
  const std::string_view eol = LineEndOf(text);
  Lookup found = Find(text, section, key);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  if (found.key_found) {
    out.append(text, 0, found.key_line.equals + 1);
    out.append(value);
    out.append(text, found.key_line.content_end, std::string::npos);
  } else if (found.section_found) {
    const Line& anchor = found.anchor_line;
    out.append(text, 0, anchor.end);
    if (anchor.end == anchor.content_end) out.append(eol);  // last line had no line end
    out.append(key);
    out += '=';
    out.append(value);
    out.append(eol);
    out.append(text, anchor.end, std::string::npos);
  } else {
    out = text;
    if (!out.empty() && out.back() != '\n') out.append(eol);
    out += '[';
    out.append(section);
    out += ']';
    out.append(eol);
    out.append(key);
    out += '=';
    out.append(value);
    out.append(eol);
  }
  // The file already says it: left alone, not even flushed.
  if (existed && out == text) return true;
  // A write never makes a file that could no longer be read.
  if (out.size() > kLargestProfileFile) return false;
  return platform::WriteFileAtomically(path, out, sync);
}

bool ProfileHoldsNoEntries(const std::string& file) {
  bool none = true;
  ForEachLine(ReadFile(file), [&](const Line& line) {
    none = line.kind != LineKind::kEntry && line.kind != LineKind::kBare;
    return none;
  });
  return none;
}

std::optional<std::string> FindPrivateProfileValue(std::string_view section, std::string_view key,
                                                   const std::string& file) {
  std::string text = ReadFile(file);
  Lookup found = Find(text, section, key);
  if (!found.key_found) return std::nullopt;
  return Printable(StripValue(found.key_line.value));
}

}  // namespace settings

// Writes one value into an INI file of arbitrary bytes. Whatever the file
// holds: nothing crashes; every other line stays byte for byte (one line is
// replaced, or up to three are added); no other setting changes; no stray
// file is left in the folder; a refused write leaves the file as it was; and
// a value within the rules reads back as written.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_util.h"
#include "platform/cp1250.h"
#include "settings/ini.h"
#include "settings/profile.h"

namespace {

const char kSentinel[] = "\x01-missing-";

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string TrimSpace(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// The form under which the INI code may take two names for one: blanks at
// the ends dropped, letters folded, a NUL read as "?".
std::string SameNameForm(const std::string& name) {
  std::string form = fuzz_util::FoldCp1250(TrimSpace(name));
  for (char& c : form) {
    if (c == '\0') c = '?';
  }
  return form;
}

bool Has(const std::string& text, char c) { return text.find(c) != std::string::npos; }

bool EndsBlank(const std::string& text) {
  return !text.empty() && (IsSpace(text.front()) || IsSpace(text.back()));
}

// A section name, key and value (windows-1250 bytes) that the file can hold
// so that they read back unchanged.
bool WithinRules(const std::string& section, const std::string& key, const std::string& value) {
  for (const std::string* text : {&section, &key, &value}) {
    if (Has(*text, '\r') || Has(*text, '\n') || Has(*text, '\0')) return false;
  }
  if (Has(section, ']') || EndsBlank(section)) return false;
  if (Has(key, '=') || EndsBlank(key)) return false;
  if (!key.empty() && (key[0] == '[' || key[0] == ';')) return false;
  if (value.size() > 98 || EndsBlank(value)) return false;
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    return false;
  }
  return true;
}

// The (section, key) pairs that the file seems to hold, as raw bytes.
std::vector<std::pair<std::string, std::string>> CollectEntries(const std::string& bytes) {
  std::vector<std::pair<std::string, std::string>> entries;
  std::string section;
  for (const std::string& raw : fuzz_util::SplitLines(bytes)) {
    std::string line = raw;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    std::string trimmed = TrimSpace(line);
    if (!trimmed.empty() && trimmed[0] == '[') {
      size_t close = trimmed.find(']');
      section =
          TrimSpace(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    } else if (size_t eq = trimmed.find('='); eq != std::string::npos) {
      entries.emplace_back(section, TrimSpace(trimmed.substr(0, eq)));
    }
  }
  return entries;
}

bool SameLine(const std::string& old_line, const std::string& new_line, bool old_unterminated) {
  if (old_line == new_line) return true;
  // The old last line without a line end may get one when a line follows it.
  return old_unterminated && (new_line == old_line + "\n" || new_line == old_line + "\r\n");
}

// The change is one hunk: at most one old line replaced, at most three added.
void CheckOneHunk(const std::string& before, const std::string& after,
                  const std::string& value_bytes) {
  // Writing the value a key already has may leave the file as it was.
  if (before == after) return;
  std::vector<std::string> old_lines = fuzz_util::SplitLines(before);
  std::vector<std::string> new_lines = fuzz_util::SplitLines(after);
  bool unterminated = !before.empty() && before.back() != '\n';
  size_t n_old = old_lines.size(), n_new = new_lines.size();
  size_t prefix = 0;
  while (prefix < n_old && prefix < n_new &&
         SameLine(old_lines[prefix], new_lines[prefix], unterminated && prefix + 1 == n_old)) {
    ++prefix;
  }
  size_t suffix = 0;
  while (suffix < n_old - prefix && suffix < n_new - prefix &&
         SameLine(old_lines[n_old - 1 - suffix], new_lines[n_new - 1 - suffix],
                  unterminated && suffix == 0)) {
    ++suffix;
  }
  size_t removed = n_old - prefix - suffix;
  size_t added = n_new - prefix - suffix;
  FUZZ_CHECK(removed <= 1);
  FUZZ_CHECK(added <= 3);
  FUZZ_CHECK(added >= 1);
  if (!value_bytes.empty()) {
    std::string hunk;
    for (size_t i = prefix; i < prefix + added; ++i) hunk += new_lines[i];
    FUZZ_CHECK(hunk.find(value_bytes) != std::string::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  uint8_t flags = data.ConsumeIntegral<uint8_t>();
  fuzz_util::NameChoice section_choice = fuzz_util::ConsumeNameChoice(data);
  fuzz_util::NameChoice key_choice = fuzz_util::ConsumeNameChoice(data);
  std::string value_bytes = data.ConsumeRandomLengthString(130);
  std::string contents = data.ConsumeRemainingBytesAsString();
  if ((flags & 0x1F) == 0x1F) {
    // A line of a megabyte at the start of the file.
    contents.insert(0, std::string(1 << 20, 'z'));
  } else if ((flags & 0x1F) == 0x1E && !contents.empty()) {
    // The file over and over: many duplicate sections and keys.
    std::string once = contents;
    while (contents.size() < 30000) contents += once;
  }
  // The folder's only file; the code under test may add none that stays.
  const std::string folder = fuzz_util::TempFolder();
  const std::string file = folder + "/settings.ini";
  bool exists = !(flags & 0x20) || !contents.empty();
  if (exists) {
    fuzz_util::WriteRaw(file, contents);
  } else {
    unlink(file.c_str());
  }

  std::vector<std::pair<std::string, std::string>> entries = CollectEntries(contents);
  std::vector<std::string> sections, keys;
  for (const auto& entry : entries) {
    sections.push_back(entry.first);
    keys.push_back(entry.second);
  }
  std::string section_bytes = fuzz_util::PickName(section_choice, sections);
  std::string key_bytes = fuzz_util::PickName(key_choice, keys);
  // Mostly the program's own form of text; now and then malformed UTF-8.
  bool raw_text = (flags & 0x40) != 0;
  auto text = [raw_text](const std::string& b) { return raw_text ? b : platform::Cp1250ToUtf8(b); };
  std::string section = text(section_bytes);
  std::string key = text(key_bytes);
  std::string value = text(value_bytes);
  // What the file will hold of them.
  section_bytes = platform::Utf8ToCp1250(section);
  key_bytes = platform::Utf8ToCp1250(key);
  value_bytes = platform::Utf8ToCp1250(value);

  // Some other settings of the file, to show that none of them changes.
  std::vector<std::pair<std::string, std::string>> others;
  for (size_t i = 0; i < entries.size() && others.size() < 4; i += 1 + entries.size() / 4) {
    // The names as the reads below will ask for them.
    std::string other_section = platform::Cp1250ToUtf8(entries[i].first);
    std::string other_key = platform::Cp1250ToUtf8(entries[i].second);
    if (SameNameForm(platform::Utf8ToCp1250(other_section)) == SameNameForm(section_bytes) &&
        SameNameForm(platform::Utf8ToCp1250(other_key)) == SameNameForm(key_bytes)) {
      continue;
    }
    others.emplace_back(other_section, other_key);
  }
  std::vector<std::string> others_before;
  for (const auto& other : others) {
    others_before.push_back(settings::ReadIniValue(file, other.first, other.second, kSentinel));
  }

  bool written = settings::WriteIniValue(file, section, key, value);
  if (std::getenv("FUZZ_EXPLAIN")) {
    auto show = [](const char* label, const std::string& text) {
      std::fprintf(stderr, "%s [", label);
      for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F)
          std::fputc(c, stderr);
        else
          std::fprintf(stderr, "\\x%02x", c);
      }
      std::fprintf(stderr, "]\n");
    };
    show("section", section_bytes);
    show("key", key_bytes);
    show("value", value_bytes);
    std::fprintf(stderr, "written %d\n", written);
    show("before", contents.size() > 4096 ? contents.substr(0, 4096) : contents);
    std::string now = fuzz_util::ReadRaw(file);
    show("after", now.size() > 4096 ? now.substr(0, 4096) : now);
    for (size_t i = 0; i < others.size(); ++i) {
      show("other section", others[i].first);
      show("other key", others[i].second);
      show("  before", others_before[i]);
      show("  after", settings::ReadIniValue(file, others[i].first, others[i].second, kSentinel));
    }
  }

  FUZZ_CHECK(fuzz_util::FolderEntries(folder).size() == (written || exists ? 1u : 0u));
  std::string after = fuzz_util::ReadRaw(file);
  // A file over the size limit, before or after, is never written.
  const size_t largest_result =
      contents.size() + section_bytes.size() + key_bytes.size() + value_bytes.size() + 8;
  bool within_rules = WithinRules(section_bytes, key_bytes, value_bytes) &&
                      largest_result <= settings::kLargestProfileFile;
  if (!written) {
    FUZZ_CHECK(!within_rules);
    FUZZ_CHECK(after == contents);
    return 0;
  }
  CheckOneHunk(exists ? contents : std::string(), after, value_bytes);
  for (size_t i = 0; i < others.size(); ++i) {
    FUZZ_CHECK(settings::ReadIniValue(file, others[i].first, others[i].second, kSentinel) ==
               others_before[i]);
  }
  if (within_rules) {
    FUZZ_CHECK(settings::ReadIniValue(file, section, key, kSentinel) ==
               platform::Cp1250ToUtf8(value_bytes));
  }
  return 0;
}

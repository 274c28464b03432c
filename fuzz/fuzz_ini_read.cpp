// Reads values and sections from an INI file of arbitrary bytes: lines without
// "=", NUL bytes, bytes that are no windows-1250 text, a line of a megabyte,
// no final line end. Nothing may crash, the results keep their length rules
// and reading never changes the file.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "platform/cp1250.h"
#include "settings/ini.h"

namespace {

// Section names and keys that the file itself holds, so that the reads often
// find something.
void CollectNames(const std::string& bytes, std::vector<std::string>* sections,
                  std::vector<std::string>* keys) {
  for (const std::string& raw : fuzz_util::SplitLines(bytes)) {
    std::string line = raw;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    std::string trimmed = fuzz_util::Trim(line);
    if (!trimmed.empty() && trimmed[0] == '[') {
      size_t close = trimmed.find(']');
      sections->push_back(fuzz_util::Trim(
          trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
    } else if (size_t eq = trimmed.find('='); eq != std::string::npos) {
      keys->push_back(fuzz_util::Trim(trimmed.substr(0, eq)));
    }
  }
}

// A picked name mostly in the program's own form of text, now and then
// malformed UTF-8.
std::string PickTextName(const fuzz_util::NameChoice& choice,
                         const std::vector<std::string>& found) {
  std::string name = fuzz_util::PickName(choice, found);
  return (choice.how & 8) ? name : platform::Cp1250ToUtf8(name);
}

// The value read must be the default (perhaps without its trailing blanks) or
// a stored value of at most 98 windows-1250 characters on one line.
void CheckValue(const std::string& value, const std::string& default_value) {
  if (value == default_value) return;
  if (value.size() <= default_value.size() && default_value.compare(0, value.size(), value) == 0) {
    bool only_blanks = true;
    for (size_t i = value.size(); i < default_value.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(default_value[i]);
      if (c != ' ' && !(c >= '\t' && c <= '\r')) only_blanks = false;
    }
    if (only_blanks) return;
  }
  FUZZ_CHECK(platform::Utf8ToCp1250(value).size() <= 98);
  // Text from the file: every character is one of windows-1250.
  FUZZ_CHECK(platform::Cp1250ToUtf8(platform::Utf8ToCp1250(value)) == value);
  FUZZ_CHECK(value.find('\n') == std::string::npos);
}

void CheckSection(const std::vector<settings::IniPair>& table) {
  FUZZ_CHECK(!table.empty());
  FUZZ_CHECK(table.back().KeyText.empty() && table.back().ValueText.empty());
  size_t total = 0;
  for (size_t i = 0; i + 1 < table.size(); ++i) {
    const settings::IniPair& pair = table[i];
    FUZZ_CHECK(pair.KeyText.find('=') == std::string::npos);
    FUZZ_CHECK(pair.ValueText.find('=') == std::string::npos);
    FUZZ_CHECK(pair.KeyText.find('\n') == std::string::npos);
    FUZZ_CHECK(pair.ValueText.find('\n') == std::string::npos);
    // Each entry stood in the buffer as key, "=" (unless bare), value and a NUL.
    total += platform::Utf8ToCp1250(pair.KeyText).size() +
             platform::Utf8ToCp1250(pair.ValueText).size() + 1;
  }
  // Everything taken must have fitted in the 10000 characters of the buffer.
  FUZZ_CHECK(total <= 10000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  uint8_t flags = data.ConsumeIntegral<uint8_t>();
  uint16_t where = data.ConsumeIntegral<uint16_t>();
  fuzz_util::NameChoice section_choice = fuzz_util::ConsumeNameChoice(data);
  fuzz_util::NameChoice key_choice = fuzz_util::ConsumeNameChoice(data);
  std::string default_value = platform::Cp1250ToUtf8(data.ConsumeRandomLengthString(120));
  std::string contents = data.ConsumeRemainingBytesAsString();
  if ((flags & 0x0F) == 0x0F) {
    // A line of a megabyte somewhere in the file.
    size_t at = where % (contents.size() + 1);
    char fill = contents.empty() ? 'x' : contents[at % contents.size()];
    if (fill == '\n') fill = 'y';
    contents.insert(at, std::string(1 << 20, fill));
  } else if ((flags & 0x0F) == 0x0E && !contents.empty()) {
    // The file over and over: sections longer than the section buffer.
    std::string once = contents;
    while (contents.size() < 30000) contents += once;
  }

  const std::string file = fuzz_util::TempFolder() + "/settings.ini";
  fuzz_util::WriteRaw(file, contents);

  std::vector<std::string> sections, keys;
  CollectNames(contents, &sections, &keys);
  std::string section = PickTextName(section_choice, sections);
  std::string key = PickTextName(key_choice, keys);

  std::string value = settings::ReadIniValue(file, section, key, default_value);
  CheckValue(value, default_value);
  FUZZ_CHECK(settings::ReadIniValue(file, section, key, default_value) == value);

  std::vector<settings::IniPair> table(3, settings::IniPair{"old", "pair"});
  settings::ReadIniSection(section, file, table);
  CheckSection(table);

  FUZZ_CHECK(fuzz_util::ReadRaw(file) == contents);
  return 0;
}

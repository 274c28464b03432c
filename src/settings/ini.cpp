#include "settings/ini.h"

#include "platform/cp1250.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "settings/profile.h"

namespace settings {
namespace {

// The buffers the readers hand to the profile functions.
constexpr size_t kValueBufferSize = 100;
constexpr size_t kSectionBufferSize = 10000;

}  // namespace

std::string ReadIniValue(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& default_value) {
  std::string buffer;
  size_t n = GetPrivateProfileString(platform::Utf8ToCp1250(section), platform::Utf8ToCp1250(key),
                                     platform::Utf8ToCp1250(default_value), &buffer,
                                     kValueBufferSize, file);
  // A full buffer cannot be told from a value that was cut: the caller's
  // default stands for both.
  if (n == kValueBufferSize - 1) return default_value;
  return platform::Cp1250ToUtf8(std::string_view(buffer).substr(0, n));
}

bool WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value, platform::FileSync sync) {
  return WritePrivateProfileString(platform::Utf8ToCp1250(section), platform::Utf8ToCp1250(key),
                                   platform::Utf8ToCp1250(value), file, sync);
}

std::string SettingsFile() {
  return platform::ResolveCaseInsensitive(platform::AppPath("Settings.ini"));
}

bool SaveUserSetting(const std::string& section, const std::string& key, const std::string& value) {
  const platform::FileLoad one_listing;  // the name is resolved here and by the write
  const std::string file = SettingsFile();
  if (WriteIniValue(file, section, key, value)) return true;
  platform::MsgBox("Nie można zapisać pliku " + file + ". Ustawienie nie zostało zapisane.",
                   platform::MsgBoxIcon::kCritical);
  return false;
}

void ReadIniSection(const std::string& section, const std::string& file,
                    std::vector<IniPair>& table) {
  std::string buffer;
  size_t n =
      GetPrivateProfileSection(platform::Utf8ToCp1250(section), &buffer, kSectionBufferSize, file);
  std::string_view text = std::string_view(buffer).substr(0, n);

  // Pieces between NULs; the one after the last NUL (nothing, or an entry cut
  // short by the buffer) becomes the closing empty pair. An empty text is one
  // piece, so a missing or empty section gives the closing pair alone.
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\0') {
      pieces.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }

  table.assign(pieces.size() + 1, IniPair{});
  for (size_t i = 0; i < pieces.size(); ++i) {
    std::string_view piece = pieces[i];
    size_t first = piece.find('=');
    if (first == std::string_view::npos) {
      // An entry without "=": the whole entry is the key, the value is empty.
      table[i].KeyText = platform::Cp1250ToUtf8(piece);
      continue;
    }
    std::string_view rest = piece.substr(first + 1);
    table[i].KeyText = platform::Cp1250ToUtf8(piece.substr(0, first));
    table[i].ValueText = platform::Cp1250ToUtf8(rest.substr(0, rest.find('=')));
  }
}

}  // namespace settings

#pragma once
// Access to the two INI files (the settings file and the language file). Every
// call looks at the file on disk, once for a load (platform::FileLoad), and
// nothing is held open. Texts are UTF-8 here and windows-1250 in the file.

#include <string>
#include <vector>

#include "platform/files.h"

namespace settings {

struct IniPair {
  std::string KeyText;    // the entry's text before its first "="
  std::string ValueText;  // between the first and the second "=" (or to the end)
};

// One value, or the default (the rules of the 100-character buffer apply: a
// stored value of 98 characters reads whole, one of 99 or more gives the
// default unchanged, a missing key gives the default without trailing blanks).
std::string ReadIniValue(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& default_value);

// Writes one value; true when the file was written. sync: platform::FileSync.
bool WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value, platform::FileSync sync = platform::FileSync::kNow);

// The settings file: the executable's folder and "Settings.ini", reached
// without regard to the letter case of its name there (where the folder holds
// both "Settings.ini" and "settings.ini", the first in byte order,
// "Settings.ini", is the one).
std::string SettingsFile();

// Writes a value that the user chose into section of the settings file. When
// the write fails, a critical message names the file and says the setting was
// not saved; the caller keeps the value in force for this run all the same.
// True when the value was written.
bool SaveUserSetting(const std::string& section, const std::string& key, const std::string& value);

// A whole section into table (made anew): one pair per entry, then a closing
// empty pair. A missing or empty section gives only the closing pair; an entry
// without "=" gives KeyText = the entry and ValueText = "".
void ReadIniSection(const std::string& section, const std::string& file,
                    std::vector<IniPair>& table);

}  // namespace settings

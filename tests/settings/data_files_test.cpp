// The settings file and the language file delivered with the tool.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "settings/ini.h"
#include "support/temp_folder.h"

namespace settings {
namespace {

std::string DataFile(const std::string& name) {
  return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "data" / name)
      .string();
}

std::vector<IniPair> Section(const std::string& file, const std::string& name) {
  std::vector<IniPair> table;
  ReadIniSection(name, file, table);
  return table;
}

// Windows-1250 text with CR LF after every line, and nothing past 98 bytes
// in a value, so that every entry reads whole.
void ExpectWellFormed(const std::string& path) {
  const std::string bytes = testing_support::ReadBytes(path);
  ASSERT_FALSE(bytes.empty()) << path;
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  size_t line_start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\n') {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(bytes[i - 1], '\r') << "bare LF at " << i;
      size_t eq = bytes.find('=', line_start);
      if (eq < i) {
        EXPECT_LE(i - 1 - (eq + 1), 98u) << "long value at " << line_start;
      }
      line_start = i + 1;
    }
    // Bytes windows-1250 leaves undefined, and the lead bytes of UTF-8.
    EXPECT_FALSE(c == 0x81 || c == 0x83 || c == 0x88 || c == 0x90 || c == 0x98) << i;
    EXPECT_FALSE(c == 0xC3 || c == 0xC4 || c == 0xC5) << "UTF-8 text at " << i;
    EXPECT_TRUE(c >= 0x20 || c == '\r' || c == '\n') << "control byte at " << i;
  }
}

TEST(DataFilesTest, SettingsFileHoldsThePortDefaults) {
  const std::string ini = DataFile("Settings.ini");
  ExpectWellFormed(ini);
  EXPECT_EQ(ReadIniValue(ini, "USTAWIENIA", "NR PORTU", "?"), "1");
  EXPECT_EQ(ReadIniValue(ini, "USTAWIENIA", "PRĘDKOŚĆ", "?"), "9600");
  EXPECT_EQ(ReadIniValue(ini, "USTAWIENIA", "PARZYSTOŚĆ", "?"), "N");
  EXPECT_EQ(ReadIniValue(ini, "USTAWIENIA", "BITY DANYCH", "?"), "8");
  EXPECT_EQ(ReadIniValue(ini, "USTAWIENIA", "BITY STOPU", "?"), "1");
  EXPECT_EQ(ReadIniValue(ini, "parametry", "mode", "?"), "0");
  EXPECT_EQ(ReadIniValue(ini, "parametry", "max", "?"), "001500");
  EXPECT_EQ(ReadIniValue(ini, "parametry", "jm", "?"), "kg");
}

TEST(DataFilesTest, SettingsFileFrameTypesScalesAndLayoutsAgree) {
  const std::string ini = DataFile("Settings.ini");
  std::vector<IniPair> types = Section(ini, "typy ramek");
  ASSERT_EQ(types.size(), 5u);
  std::set<std::string> codes;
  for (size_t i = 0; i + 1 < types.size(); ++i) {
    EXPECT_EQ(types[i].KeyText, std::to_string(i));
    EXPECT_EQ(types[i].ValueText, "Ramka " + std::to_string(i));
    codes.insert(types[i].KeyText);
    const std::string& code = types[i].KeyText;
    for (const char* key : {"plus", "minus", "zero"}) {
      EXPECT_EQ(platform::Utf8Length(ReadIniValue(ini, code, key, "??")), 1u) << code << key;
    }
    const std::string mask = ReadIniValue(ini, code, "ramka", "");
    EXPECT_FALSE(mask.empty()) << code;
    EXPECT_EQ(mask.find_first_not_of("zm0ksj"), std::string::npos) << mask;
  }
  const std::string start_code = ReadIniValue(ini, "parametry", "ramka", "");
  const std::string start_scale = ReadIniValue(ini, "parametry", "waga", "");
  EXPECT_TRUE(codes.count(start_code) == 1 || !start_scale.empty());

  std::vector<IniPair> scales = Section(ini, "wagi");
  ASSERT_GE(scales.size(), 4u);
  int all = 0;
  for (size_t i = 0; i + 1 < scales.size(); ++i) {
    EXPECT_FALSE(scales[i].KeyText.empty());
    EXPECT_TRUE(codes.count(scales[i].ValueText) == 1 || scales[i].ValueText == "ALL")
        << scales[i].KeyText;
    if (scales[i].ValueText == "ALL") ++all;
  }
  EXPECT_EQ(all, 1);
  EXPECT_EQ(scales.back().KeyText, "");
}

TEST(DataFilesTest, LanguageFileHoldsEveryTextOfTheWindows) {
  const std::string lng = DataFile("set.lng");
  ExpectWellFormed(lng);
  EXPECT_EQ(ReadIniValue(lng, "Formatki", "glowna", ""), "Konwerter - C\\I");
  EXPECT_EQ(ReadIniValue(lng, "wykresy", "zamknij_okno", ""), "Zamknij to okno");

  const std::vector<std::string> keys = {
      "param_wagi",   "odbierz",    "ustaw",       "max_wagi",    "wagi_zgodne",  "typ_ramki",
      "text",         "value",      "hot key",     "dot",         "LF",           "CR",
      "block",        "wersja",     "tryb_pracy",  "opModPracy0", "opModPracy1",  "opModPracy2",
      "pokaz_wykres", "print",      "transmition", "set",         "cancel",       "clr",
      "conect",       "speed",      "bits data",   "bits stop",   "parity",       "comm",
      "odczytPlik",   "zapiszPlik", "start",       "end",         "cntkonwerter", "cntPlik",
      "CONFIG",       "logoHandel", "logoTel",     "logo3",       "logo2",        "logo1",
      "help",         "wait"};
  std::vector<IniPair> glowna = Section(lng, "glowna");
  ASSERT_EQ(glowna.size(), keys.size() + 1);
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(glowna[i].KeyText, keys[i]);
    // Only the check boxes' shared key stays empty, and "logo3", whose label
    // reaches below the window.
    if (keys[i] != "hot key" && keys[i] != "logo3") {
      EXPECT_FALSE(glowna[i].ValueText.empty()) << keys[i];
    }
  }
  EXPECT_EQ(ReadIniValue(lng, "glowna", "conect", ""), "POŁĄCZENIE");
  EXPECT_EQ(ReadIniValue(lng, "glowna", "pokaz_wykres", ""), "Pokaż wykres");
  EXPECT_EQ(ReadIniValue(lng, "glowna", "dot", ""), "Zmiana \".\" >> \",\"");

  EXPECT_EQ(ReadIniValue(lng, "komunikaty", "BrakPortu", ""), "Port com%1 nie jest zainstalowany");
  EXPECT_EQ(ReadIniValue(lng, "komunikaty", "PortOtwarty", ""),
            "Port com%1 jest już otwarty przez inną aplikację");
  EXPECT_EQ(ReadIniValue(lng, "komunikatyProste", "Przekroczony czas oczekiwania!", ""),
            "Przekroczony czas oczekiwania!");
}

}  // namespace
}  // namespace settings

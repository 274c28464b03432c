#include "settings/startup_params.h"

#include <cmath>

#include "platform/vb_number.h"
#include "settings/ini.h"

namespace settings {

namespace {
constexpr char kSection[] = "parametry";
constexpr char kNoMaximum[] = "000000";
}  // namespace

StartupParams ReadStartupParams(const std::string& file) {
  StartupParams params;
  params.Waga = ReadIniValue(file, kSection, "waga", "");
  params.Ramka = ReadIniValue(file, kSection, "ramka", "");
  params.Mode = ModeOption(ReadIniValue(file, kSection, "mode", ""));
  params.Max = ShownMaximum(ReadIniValue(file, kSection, "max", ""));
  return params;
}

int ModeOption(const std::string& stored) {
  const double v = platform::Val(stored);
  if (!(v >= 0 && v <= 2)) return 0;
  return platform::CInt(v);
}

std::string ShownMaximum(const std::string& stored) {
  const double v = platform::Val(stored);
  // The window must come up whatever the file holds.
  if (!std::isfinite(v)) return kNoMaximum;
  return platform::Format(v, kNoMaximum);
}

}  // namespace settings

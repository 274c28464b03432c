// The start-up parameters of a hand-edited settings file, as the main window
// shows them: any text in "waga", "ramka", "mode" and "max". Nothing may
// crash or raise; the mode is one of the three options and the maximum box
// gets a whole number of at least six digits that matches the stored number.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz_util.h"
#include "platform/files.h"
#include "platform/vb_number.h"
#include "settings/ini.h"
#include "settings/startup_params.h"

namespace {

bool IsWholeNumberText(const std::string& text) {
  size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
  if (text.size() - start < 6) return false;
  for (size_t i = start; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  static const char* const kKeys[] = {"waga", "ramka", "mode", "max"};
  std::string file = "[parametry]\r\n";
  for (const char* key : kKeys) {
    std::string value = fuzz_util::ConsumeNumberText(data, 120);
    if (!value.empty() && value[0] == '#') continue;  // now and then a missing key
    file += std::string(key) + "=" + value + "\r\n";
  }
  file += data.ConsumeRemainingBytesAsString();
  const std::string path = fuzz_util::TempFolder() + "/Settings.ini";
  fuzz_util::WriteRaw(path, file);

  const settings::StartupParams params = settings::ReadStartupParams(path);
  FUZZ_CHECK(params.Mode >= 0 && params.Mode <= 2);
  FUZZ_CHECK(IsWholeNumberText(params.Max));
  FUZZ_CHECK(platform::IsNumeric(params.Max));

  // What the file holds, read the same way, against what is shown.
  const double mode = platform::Val(settings::ReadIniValue(path, "parametry", "mode", ""));
  if (mode >= 0 && mode <= 2) FUZZ_CHECK(std::fabs(params.Mode - mode) <= 0.5);
  const double max = platform::Val(settings::ReadIniValue(path, "parametry", "max", ""));
  if (!std::isfinite(max)) {
    FUZZ_CHECK(params.Max == "000000");
  } else if (std::fabs(max) < 1e15) {
    FUZZ_CHECK(platform::Val(params.Max) == std::round(max));
  }
  return 0;
}

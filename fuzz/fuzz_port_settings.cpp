// The port settings from a hand-edited settings file, given to the serial
// control, and the number conversions every stored number goes through. Any
// text: nothing crashes, the labels show what was loaded, the control keeps a
// port number it accepts and either its former line settings or the new ones.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "link/port_settings.h"
#include "platform/cp1250.h"
#include "platform/files.h"
#include "platform/serial_port.h"
#include "platform/vb_error.h"
#include "platform/vb_number.h"

namespace {

class FakeView : public converter::PortSettingsView {
 public:
  void SetValueLabel(converter::PortField field, const std::string& text) override {
    labels[static_cast<int>(field)] = text;
  }
  std::string ValueLabel(converter::PortField field) const override {
    return labels[static_cast<int>(field)];
  }
  void ParkPicker(converter::PortField) override {}
  std::string labels[5];
};

void CheckNumber(const std::string& text) {
  double value = platform::Val(text);
  FUZZ_CHECK(!std::isnan(value));
  if (platform::IsNumeric(text)) FUZZ_CHECK(std::isfinite(value));
  if (!std::isfinite(value)) return;
  std::string shown = platform::NumberToText(value);
  // Fifteen significant digits round the very largest doubles up past the
  // range ("1.79769313486232E+308"), as the platform's text did; the text
  // then reads back as infinity, which every conversion after it refuses.
  if (std::fabs(value) < 1.797693134862315e308) FUZZ_CHECK(std::isfinite(platform::Val(shown)));
  if (std::fabs(value) < 1e15) {
    std::string padded = platform::Format(value, "000000");
    FUZZ_CHECK(padded.size() >= 6);
    FUZZ_CHECK(platform::IsNumeric(padded));
    FUZZ_CHECK(platform::Format(value, "@@@@@@").size() >= 6);
  }
  try {
    int16_t small = platform::CInt(value);
    FUZZ_CHECK(std::fabs(value - small) <= 0.5);
  } catch (const platform::VbError& error) {
    FUZZ_CHECK(error.number() == platform::kErrOverflow);
    FUZZ_CHECK(std::fabs(value) > 32767);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const bool folder_set = [] {
    platform::SetAppFolderForTesting(fuzz_util::TempFolder());
    return true;
  }();
  (void)folder_set;
  FuzzedDataProvider data(bytes, size);
  static const char* const kKeys[] = {"NR PORTU",
                                      ("PR\xCA"
                                       "DKO\x8C\xC6"),
                                      ("PARZYSTO\x8C\xC6"), "BITY DANYCH", "BITY STOPU"};
  std::string file = "[USTAWIENIA]\r\n";
  std::vector<std::string> stored;
  for (const char* key : kKeys) {
    std::string value = fuzz_util::ConsumeNumberText(data, 40);
    stored.push_back(value);
    if (!value.empty() && value[0] == '#') continue;  // now and then a missing key
    file += std::string(key) + "=" + value + "\r\n";
  }
  file += data.ConsumeRemainingBytesAsString();
  fuzz_util::WriteRaw(fuzz_util::TempFolder() + "/Settings.ini", file);

  FakeView view;
  platform::SerialPort comm;
  converter::PortSettingsController controller(view, comm);
  controller.LoadPortSettings();
  const converter::PortSettingsData& loaded = converter::PortSettings;
  FUZZ_CHECK(view.labels[0] == loaded.PortNumber && view.labels[1] == loaded.BaudRate &&
             view.labels[2] == loaded.Parity && view.labels[3] == loaded.DataBits &&
             view.labels[4] == loaded.StopBits);
  for (const std::string* text :
       {&loaded.PortNumber, &loaded.BaudRate, &loaded.Parity, &loaded.DataBits, &loaded.StopBits}) {
    CheckNumber(*text);
  }
  for (const std::string& raw : stored) CheckNumber(platform::Cp1250ToUtf8(raw));

  const std::string former = comm.Settings();
  controller.ApplyPortSettings();
  FUZZ_CHECK(!comm.PortOpen());
  FUZZ_CHECK(comm.CommPort() >= 1 && comm.CommPort() <= 255);
  std::string wanted =
      loaded.BaudRate + "," + loaded.Parity + "," + loaded.DataBits + "," + loaded.StopBits;
  FUZZ_CHECK(comm.Settings() == former || comm.Settings() == wanted);
  return 0;
}

#pragma once
// The five settings of the converter's serial port: loaded at start, changed
// one at a time by the pickers, written to the settings file at once and
// applied to the serial control.

#include <string>

#include "platform/serial_port.h"

namespace converter {

struct PortSettingsData {
  std::string PortNumber = "1";
  std::string BaudRate = "9600";
  std::string Parity = "N";
  std::string DataBits = "8";
  std::string StopBits = "1";
};

// Program-wide, as long as the program runs.
extern PortSettingsData PortSettings;

enum class PortField { kPortNumber, kBaudRate, kParity, kDataBits, kStopBits };

// What the port settings need of the main window: the value labels of the
// connection page and the parking of a picker.
class PortSettingsView {
 public:
  virtual ~PortSettingsView() = default;
  virtual void SetValueLabel(PortField field, const std::string& text) = 0;
  virtual std::string ValueLabel(PortField field) const = 0;
  // Moves the field's picker into the parking box, which closes it.
  virtual void ParkPicker(PortField field) = 0;
};

class PortSettingsController {
 public:
  PortSettingsController(PortSettingsView& view, platform::SerialPort& comm)
      : view_(view), comm_(comm) {}

  void ReloadPortSettings();
  void LoadPortSettings();
  void SetPortNumber(const std::string& value);
  void SetBaudRate(const std::string& value);
  void SetParity(const std::string& value);
  void SetDataBits(const std::string& value);
  void SetStopBits(const std::string& value);
  void ApplyPortSettings();

 private:
  // What every setter does: closes the field's picker, shows, keeps and
  // stores the value, and applies the settings.
  void SetPortSetting(PortField field, const std::string& value);

  PortSettingsView& view_;
  platform::SerialPort& comm_;
};

}  // namespace converter

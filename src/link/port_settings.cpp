#include "link/port_settings.h"

#include "platform/files.h"
#include "platform/vb_error.h"
#include "platform/vb_number.h"
#include "settings/ini.h"

namespace converter {

PortSettingsData PortSettings;

namespace {

constexpr char kSection[] = "USTAWIENIA";
constexpr char kKeyPortNumber[] = "NR PORTU";
constexpr char kKeyBaudRate[] = "PRĘDKOŚĆ";
constexpr char kKeyParity[] = "PARZYSTOŚĆ";
constexpr char kKeyDataBits[] = "BITY DANYCH";
constexpr char kKeyStopBits[] = "BITY STOPU";

std::string SettingsFile() {
  return platform::ResolveCaseInsensitive(platform::AppPath("Settings.ini"));
}

}  // namespace

void PortSettingsController::ReloadPortSettings() { LoadPortSettings(); }

void PortSettingsController::LoadPortSettings() {
  const std::string file = SettingsFile();
  PortSettings.PortNumber = platform::NumberToText(
      platform::Val(settings::ReadIniValue(file, kSection, kKeyPortNumber, "1")));
  PortSettings.BaudRate = settings::ReadIniValue(file, kSection, kKeyBaudRate, "9600");
  PortSettings.Parity = settings::ReadIniValue(file, kSection, kKeyParity, "N");
  PortSettings.DataBits = settings::ReadIniValue(file, kSection, kKeyDataBits, "8");
  PortSettings.StopBits = settings::ReadIniValue(file, kSection, kKeyStopBits, "1");
  view_.SetValueLabel(PortField::kPortNumber, PortSettings.PortNumber);
  view_.SetValueLabel(PortField::kBaudRate, PortSettings.BaudRate);
  view_.SetValueLabel(PortField::kParity, PortSettings.Parity);
  view_.SetValueLabel(PortField::kDataBits, PortSettings.DataBits);
  view_.SetValueLabel(PortField::kStopBits, PortSettings.StopBits);
}

void PortSettingsController::SetPortNumber(const std::string& value) {
  view_.ParkPicker(PortField::kPortNumber);
  view_.SetValueLabel(PortField::kPortNumber, value);
  PortSettings.PortNumber = value;
  settings::WriteIniValue(SettingsFile(), kSection, kKeyPortNumber,
                          view_.ValueLabel(PortField::kPortNumber));
  ApplyPortSettings();
}

void PortSettingsController::SetBaudRate(const std::string& value) {
  view_.ParkPicker(PortField::kBaudRate);
  view_.SetValueLabel(PortField::kBaudRate, value);
  PortSettings.BaudRate = value;
  settings::WriteIniValue(SettingsFile(), kSection, kKeyBaudRate, value);
  ApplyPortSettings();
}

void PortSettingsController::SetParity(const std::string& value) {
  view_.ParkPicker(PortField::kParity);
  view_.SetValueLabel(PortField::kParity, value);
  PortSettings.Parity = value;
  settings::WriteIniValue(SettingsFile(), kSection, kKeyParity, value);
  ApplyPortSettings();
}

void PortSettingsController::SetDataBits(const std::string& value) {
  view_.ParkPicker(PortField::kDataBits);
  view_.SetValueLabel(PortField::kDataBits, value);
  PortSettings.DataBits = value;
  settings::WriteIniValue(SettingsFile(), kSection, kKeyDataBits, value);
  ApplyPortSettings();
}

void PortSettingsController::SetStopBits(const std::string& value) {
  view_.ParkPicker(PortField::kStopBits);
  view_.SetValueLabel(PortField::kStopBits, value);
  PortSettings.StopBits = value;
  settings::WriteIniValue(SettingsFile(), kSection, kKeyStopBits, value);
  ApplyPortSettings();
}

void PortSettingsController::ApplyPortSettings() {
  // Each step on its own: a refused value leaves the control's former one
  // in force and the next step still runs; nothing is reported.
  bool was_open = false;
  platform::ResumeNext([&] { was_open = comm_.PortOpen(); });
  platform::ResumeNext([&] {
    if (comm_.PortOpen()) comm_.SetPortOpen(false);
  });
  platform::ResumeNext(
      [&] { comm_.SetCommPort(platform::CInt(platform::Val(PortSettings.PortNumber))); });
  platform::ResumeNext([&] {
    comm_.SetSettings(PortSettings.BaudRate + "," + PortSettings.Parity + "," +
                      PortSettings.DataBits + "," + PortSettings.StopBits);
  });
  platform::ResumeNext([&] {
    if (was_open) comm_.SetPortOpen(true);
  });
}

}  // namespace converter

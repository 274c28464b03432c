#include "link/port_settings.h"

#include "platform/vb_error.h"
#include "platform/vb_number.h"
#include "settings/ini.h"

namespace converter {

PortSettingsData PortSettings;

namespace {

constexpr char kSection[] = "USTAWIENIA";

// Each setting's key in the settings file, its field and its default.
struct PortSetting {
  PortField field;
  const char* key;
  std::string PortSettingsData::*value;
  const char* default_value;
};

constexpr PortSetting kPortSettings[] = {
    {PortField::kPortNumber, "NR PORTU", &PortSettingsData::PortNumber, "1"},
    {PortField::kBaudRate, "PRĘDKOŚĆ", &PortSettingsData::BaudRate, "9600"},
    {PortField::kParity, "PARZYSTOŚĆ", &PortSettingsData::Parity, "N"},
    {PortField::kDataBits, "BITY DANYCH", &PortSettingsData::DataBits, "8"},
    {PortField::kStopBits, "BITY STOPU", &PortSettingsData::StopBits, "1"},
};

const PortSetting& SettingOf(PortField field) {
  for (const PortSetting& setting : kPortSettings) {
    if (setting.field == field) return setting;
  }
  return kPortSettings[0];
}

}  // namespace

void PortSettingsController::ReloadPortSettings() { LoadPortSettings(); }

void PortSettingsController::LoadPortSettings() {
  const std::string file = settings::SettingsFile();
  for (const PortSetting& setting : kPortSettings) {
    PortSettings.*setting.value =
        settings::ReadIniValue(file, kSection, setting.key, setting.default_value);
  }
  // The port number is the number at the start of the stored text.
  PortSettings.PortNumber = platform::NumberToText(platform::Val(PortSettings.PortNumber));
  for (const PortSetting& setting : kPortSettings) {
    view_.SetValueLabel(setting.field, PortSettings.*setting.value);
  }
}

void PortSettingsController::SetPortNumber(const std::string& value) {
  SetPortSetting(PortField::kPortNumber, value);
}
void PortSettingsController::SetBaudRate(const std::string& value) {
  SetPortSetting(PortField::kBaudRate, value);
}
void PortSettingsController::SetParity(const std::string& value) {
  SetPortSetting(PortField::kParity, value);
}
void PortSettingsController::SetDataBits(const std::string& value) {
  SetPortSetting(PortField::kDataBits, value);
}
void PortSettingsController::SetStopBits(const std::string& value) {
  SetPortSetting(PortField::kStopBits, value);
}

void PortSettingsController::SetPortSetting(PortField field, const std::string& value) {
  const PortSetting& setting = SettingOf(field);
  view_.ParkPicker(field);
  view_.SetValueLabel(field, value);
  PortSettings.*setting.value = value;
  // The label's text as it reads back is what is stored. A value that cannot
  // be stored stays in force for this run; the user is told.
  settings::SaveUserSetting(kSection, setting.key, view_.ValueLabel(field));
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

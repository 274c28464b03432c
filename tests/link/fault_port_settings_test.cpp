// The port settings when the settings file is broken: no regular file (a
// folder, a dangling link, a pipe, an endless device), hand-edited values that
// the serial control cannot take, garbage bytes, or a folder that cannot be
// written. Start-up goes on with the defaults or the values as they stand;
// nothing crashes, hangs or replaces what was there.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/link_fixture.h"
#include "link/port_settings.h"
#include "platform/serial_port.h"
#include "support/child_process.h"

namespace converter {
namespace {

using test::TempAppFolder;

class FakePortView : public PortSettingsView {
 public:
  void SetValueLabel(PortField field, const std::string& text) override { labels[field] = text; }
  std::string ValueLabel(PortField field) const override {
    auto it = labels.find(field);
    return it == labels.end() ? "" : it->second;
  }
  void ParkPicker(PortField field) override { parked.push_back(field); }

  std::vector<std::string> Labels() const {
    std::vector<std::string> out;
    for (PortField field : {PortField::kPortNumber, PortField::kBaudRate, PortField::kParity,
                            PortField::kDataBits, PortField::kStopBits}) {
      out.push_back(ValueLabel(field));
    }
    return out;
  }

  std::map<PortField, std::string> labels;
  std::vector<PortField> parked;
};

const std::vector<std::string> kDefaults = {"1", "9600", "N", "8", "1"};

class FaultPortSettingsTest : public ::testing::Test {
 protected:
  FaultPortSettingsTest() : controller_(view_, comm_) {
    PortSettings = PortSettingsData{};
    settings_ = app_.File("Settings.ini");
  }

  TempAppFolder app_;
  FakePortView view_;
  platform::SerialPort comm_;
  PortSettingsController controller_;
  std::string settings_;
};

TEST_F(FaultPortSettingsTest, SettingsFileThatIsNoRegularFileGivesTheDefaults) {
  ASSERT_EQ(mkfifo(app_.File("pipe").c_str(), 0600), 0);
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"folder", [&] { mkdir(settings_.c_str(), 0755); }},
      {"dangling link", [&] { symlink("gone/Settings.ini", settings_.c_str()); }},
      {"link to a pipe", [&] { symlink("pipe", settings_.c_str()); }},
      {"link to an endless device", [&] { symlink("/dev/zero", settings_.c_str()); }},
  };
  for (const auto& [what, make] : cases) {
    make();
    struct stat before;
    ASSERT_EQ(lstat(settings_.c_str(), &before), 0) << what;
    comm_.SetSettings("4800,E,7,2");
    auto start = std::chrono::steady_clock::now();
    controller_.ReloadPortSettings();
    EXPECT_EQ(view_.Labels(), kDefaults) << what;
    controller_.ApplyPortSettings();
    EXPECT_EQ(comm_.CommPort(), 1) << what;
    EXPECT_EQ(comm_.Settings(), "9600,N,8,1") << what;
    // A choice made now is shown, kept and applied, though it cannot be saved.
    controller_.SetBaudRate("19200");
    controller_.SetParity("E");
    EXPECT_EQ(view_.Labels(), (std::vector<std::string>{"1", "19200", "E", "8", "1"})) << what;
    EXPECT_EQ(PortSettings.BaudRate, "19200") << what;
    EXPECT_EQ(comm_.Settings(), "19200,E,8,1") << what;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << what;
    struct stat after;
    ASSERT_EQ(lstat(settings_.c_str(), &after), 0) << what;
    EXPECT_EQ(after.st_ino, before.st_ino) << what << ": replaced";
    EXPECT_EQ(after.st_mode, before.st_mode) << what;
    std::error_code ignored;
    std::filesystem::remove_all(settings_, ignored);
    PortSettings = PortSettingsData{};
  }
}

TEST_F(FaultPortSettingsTest, HandEditedValuesTheControlRefusesKeepItsFormerSettings) {
  // Values the serial control cannot take, a port number far outside any
  // integer, a line of half a megabyte, NUL bytes and bytes that are no text.
  std::string garbage = std::string(1 << 19, 'x') + "\r\n[USTAWIENIA]\r\n";
  garbage += "NR PORTU=99999999999999999999999\r\n";
  garbage += platform::Utf8ToCp1250(
      "PRĘDKOŚĆ=12\x01"
      "34\r\n");
  garbage += platform::Utf8ToCp1250("PARZYSTOŚĆ=\r\n");
  garbage += std::string("BITY DANYCH=8\0\x81\x98", 16) + "\r\n";
  garbage += "BITY STOPU=-1e308\r\n";
  std::FILE* file = std::fopen(settings_.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(garbage.data(), 1, garbage.size(), file);
  std::fclose(file);

  comm_.SetCommPort(5);
  comm_.SetSettings("4800,E,7,2");
  controller_.ReloadPortSettings();
  std::vector<std::string> labels = view_.Labels();
  EXPECT_EQ(labels[0], PortSettings.PortNumber);
  EXPECT_EQ(labels[1],
            "12\x01"
            "34");
  EXPECT_EQ(labels[2], "");
  EXPECT_EQ(labels[3], "8???");
  EXPECT_EQ(labels[4], "-1e308");
  controller_.ApplyPortSettings();  // every refused step is dropped
  EXPECT_EQ(comm_.CommPort(), 5);
  EXPECT_EQ(comm_.Settings(), "4800,E,7,2");
  EXPECT_FALSE(comm_.PortOpen());
  // Setting a sound value still works, and the rest of the file stays.
  controller_.SetPortNumber("7");
  EXPECT_EQ(comm_.CommPort(), 7);
  std::string now = app_.ReadBytes("Settings.ini");
  EXPECT_EQ(now.substr(0, 1 << 19), std::string(1 << 19, 'x'));
  EXPECT_NE(now.find("NR PORTU=7\r\n"), std::string::npos);
  EXPECT_NE(now.find(std::string("BITY DANYCH=8\0\x81\x98", 16)), std::string::npos);
}

TEST_F(FaultPortSettingsTest, ReadOnlyFileKeepsTheFileAndTheUserIsTold) {
  app_.WriteText("Settings.ini", "[USTAWIENIA]\nPRĘDKOŚĆ=9600\n");
  const std::string before = app_.ReadBytes("Settings.ini");
  ASSERT_EQ(chmod(settings_.c_str(), 0444), 0);
  controller_.SetBaudRate("19200");
  // In force for this run all the same.
  EXPECT_EQ(view_.ValueLabel(PortField::kBaudRate), "19200");
  EXPECT_EQ(PortSettings.BaudRate, "19200");
  EXPECT_EQ(comm_.Settings(), "19200,N,8,1");
  EXPECT_EQ(app_.ReadBytes("Settings.ini"), before);
  ASSERT_EQ(app_.shown().size(), 1u);
  EXPECT_EQ(app_.shown()[0].icon, platform::MsgBoxIcon::kCritical);
  EXPECT_EQ(app_.shown()[0].text,
            "Nie można zapisać pliku " + settings_ + ". Ustawienie nie zostało zapisane.");
}

TEST_F(FaultPortSettingsTest, ReadOnlyFolderKeepsTheFileAndTheChoice) {
  app_.WriteText("Settings.ini", "[USTAWIENIA]\nNR PORTU=3\nBITY STOPU=2\n");
  const std::string before = app_.ReadBytes("Settings.ini");
  const std::string folder = app_.path();
  // As root nothing but a read-only mount stops a write; the child takes a
  // private view of the mounts for it.
  const int status = testing_support::RunInChild([&] {
    if (!testing_support::PrivateMounts() || !testing_support::MakeReadOnly(folder)) {
      return testing_support::kChildCannotSetUp;
    }
    controller_.LoadPortSettings();
    if (view_.Labels() != std::vector<std::string>{"3", "9600", "N", "8", "2"}) return 1;
    controller_.SetStopBits("1");
    controller_.SetPortNumber("4");
    if (PortSettings.StopBits != "1" || view_.ValueLabel(PortField::kPortNumber) != "4") return 2;
    if (comm_.CommPort() != 4 || comm_.Settings() != "9600,N,8,1") return 3;
    if (app_.ReadBytes("Settings.ini") != before) return 4;
    // The user is told of each setting that was not stored.
    const std::string told = "Nie można zapisać pliku " + folder + "/Settings.ini.";
    if (app_.shown().size() != 2) return 5;
    for (const auto& shown : app_.shown()) {
      if (shown.icon != platform::MsgBoxIcon::kCritical || shown.text.find(told) != 0) return 6;
    }
    return 0;
  });
  if (status == testing_support::kChildCannotSetUp) GTEST_SKIP() << "mounting is not allowed here";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(app_.ReadBytes("Settings.ini"), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace converter

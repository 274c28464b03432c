#include "link/port_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/link_fixture.h"
#include "platform/serial_port.h"
#include "support/converter_emulator.h"

namespace converter {
namespace {

using test::TempAppFolder;

const char* FieldName(PortField field) {
  switch (field) {
    case PortField::kPortNumber:
      return "port";
    case PortField::kBaudRate:
      return "speed";
    case PortField::kParity:
      return "parity";
    case PortField::kDataBits:
      return "data";
    case PortField::kStopBits:
      return "stop";
  }
  return "?";
}

class RecordingPortView : public PortSettingsView {
 public:
  void SetValueLabel(PortField field, const std::string& text) override {
    labels[field] = text;
    calls.push_back(std::string("label ") + FieldName(field) + "=" + text);
  }
  std::string ValueLabel(PortField field) const override {
    auto it = labels.find(field);
    return it == labels.end() ? "" : it->second;
  }
  void ParkPicker(PortField field) override {
    calls.push_back(std::string("park ") + FieldName(field));
  }
  std::map<PortField, std::string> labels;
  std::vector<std::string> calls;
};

class PortSettingsTest : public ::testing::Test {
 protected:
  PortSettingsTest() : controller_(view_, comm_) { PortSettings = PortSettingsData{}; }

  std::string SettingsBytes() const { return app_.ReadBytes("Settings.ini"); }

  TempAppFolder app_;
  RecordingPortView view_;
  platform::SerialPort comm_;
  PortSettingsController controller_;
};

TEST_F(PortSettingsTest, NoSectionGivesTheDefaultsAndWritesNothing) {
  app_.WriteText("Settings.ini", "[parametry]\nmax=1500\n");
  const std::string before = SettingsBytes();
  comm_.SetCommPort(9);
  comm_.SetSettings("4800,E,7,2");
  controller_.ReloadPortSettings();
  EXPECT_EQ(view_.calls,
            (std::vector<std::string>{"label port=1", "label speed=9600", "label parity=N",
                                      "label data=8", "label stop=1"}));
  EXPECT_EQ(SettingsBytes(), before);
  controller_.ApplyPortSettings();
  EXPECT_EQ(comm_.CommPort(), 1);
  EXPECT_EQ(comm_.Settings(), "9600,N,8,1");
  EXPECT_FALSE(comm_.PortOpen());
}

TEST_F(PortSettingsTest, LoadsTheStoredValuesWithPolishKeys) {
  app_.WriteText("Settings.ini",
                 "[USTAWIENIA]\nNR PORTU=4\nPRĘDKOŚĆ=19200\nPARZYSTOŚĆ=E\nBITY DANYCH=7\n"
                 "BITY STOPU=2\n");
  controller_.LoadPortSettings();
  EXPECT_EQ(PortSettings.PortNumber, "4");
  EXPECT_EQ(PortSettings.BaudRate, "19200");
  EXPECT_EQ(PortSettings.Parity, "E");
  EXPECT_EQ(PortSettings.DataBits, "7");
  EXPECT_EQ(PortSettings.StopBits, "2");
  controller_.ApplyPortSettings();
  EXPECT_EQ(comm_.CommPort(), 4);
  EXPECT_EQ(comm_.Settings(), "19200,E,7,2");
}

TEST_F(PortSettingsTest, PortNumberLoadsAsTheNumberAtItsStart) {
  struct Case {
    const char* stored;
    const char* loaded;
  } cases[] = {{"03", "3"}, {"7x", "7"}, {"COM3", "0"}, {"", "0"}, {" 12", "12"}, {"2.5", "2.5"}};
  for (const Case& c : cases) {
    app_.WriteText("Settings.ini", std::string("[USTAWIENIA]\nNR PORTU=") + c.stored + "\n");
    controller_.LoadPortSettings();
    EXPECT_EQ(PortSettings.PortNumber, c.loaded) << c.stored;
    EXPECT_EQ(view_.labels[PortField::kPortNumber], c.loaded) << c.stored;
  }
}

TEST_F(PortSettingsTest, RefusedPortNumberKeepsTheFormerOne) {
  comm_.SetCommPort(5);
  app_.WriteText("Settings.ini", "[USTAWIENIA]\nNR PORTU=COM3\nPRĘDKOŚĆ=4800\n");
  controller_.LoadPortSettings();
  controller_.ApplyPortSettings();
  EXPECT_EQ(comm_.CommPort(), 5);
  EXPECT_EQ(comm_.Settings(), "4800,N,8,1");  // the next step still ran
}

TEST_F(PortSettingsTest, PortNumberIsRoundedHalvesToEven) {
  struct Case {
    const char* value;
    int port;
  } cases[] = {{"2.5", 2}, {"3.5", 4}, {"6.4", 6}, {"007", 7}};
  for (const Case& c : cases) {
    PortSettings.PortNumber = c.value;
    controller_.ApplyPortSettings();
    EXPECT_EQ(comm_.CommPort(), c.port) << c.value;
  }
  comm_.SetCommPort(8);
  for (const char* out_of_range : {"70000", "-40000", "1e10", "-1", "0"}) {
    PortSettings.PortNumber = out_of_range;
    controller_.ApplyPortSettings();  // the step is abandoned, nothing raised
    EXPECT_EQ(comm_.CommPort(), 8) << out_of_range;
  }
}

TEST_F(PortSettingsTest, SetPortNumberKeepsLeadingZerosAndReloadsAsNumber) {
  controller_.SetPortNumber("007");
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"park port", "label port=007"}));
  EXPECT_EQ(PortSettings.PortNumber, "007");
  EXPECT_NE(SettingsBytes().find("NR PORTU=007\r\n"), std::string::npos);
  EXPECT_EQ(comm_.CommPort(), 7);
  controller_.LoadPortSettings();
  EXPECT_EQ(PortSettings.PortNumber, "7");
}

TEST_F(PortSettingsTest, SettersWriteCp1250KeysAndApply) {
  controller_.SetBaudRate("19200");
  EXPECT_EQ(comm_.Settings(), "19200,N,8,1");
  controller_.SetParity("O");
  controller_.SetDataBits("7");
  controller_.SetStopBits("2");
  EXPECT_EQ(comm_.Settings(), "19200,O,7,2");
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"park speed", "label speed=19200", "park parity",
                                                   "label parity=O", "park data", "label data=7",
                                                   "park stop", "label stop=2"}));
  const std::string bytes = SettingsBytes();
  EXPECT_NE(bytes.find("[USTAWIENIA]"), std::string::npos);
  EXPECT_NE(bytes.find("PR\xCA"
                       "DKO\x8C\xC6=19200"),
            std::string::npos);
  EXPECT_NE(bytes.find("PARZYSTO\x8C\xC6=O"), std::string::npos);
  EXPECT_NE(bytes.find("BITY DANYCH=7"), std::string::npos);
  EXPECT_NE(bytes.find("BITY STOPU=2"), std::string::npos);
  controller_.LoadPortSettings();
  EXPECT_EQ(PortSettings.BaudRate, "19200");
  EXPECT_EQ(PortSettings.Parity, "O");
}

TEST_F(PortSettingsTest, RefusedLineSettingIsKeptEverywhereButInTheControl) {
  controller_.SetBaudRate("12345");
  EXPECT_EQ(PortSettings.BaudRate, "12345");
  EXPECT_EQ(view_.labels[PortField::kBaudRate], "12345");
  EXPECT_NE(SettingsBytes().find("=12345"), std::string::npos);
  EXPECT_EQ(comm_.Settings(), "9600,N,8,1");
}

TEST_F(PortSettingsTest, ChoosingTheSameValueWritesItAgain) {
  controller_.SetStopBits("1");
  app_.WriteText("Settings.ini", "[USTAWIENIA]\n");
  controller_.SetStopBits("1");
  EXPECT_NE(SettingsBytes().find("BITY STOPU=1"), std::string::npos);
}

TEST_F(PortSettingsTest, ExistingFileOfOtherCaseIsTheOneWritten) {
  app_.WriteText("settings.ini", "[parametry]\nmax=1500\n");
  controller_.SetDataBits("7");
  EXPECT_NE(app_.ReadBytes("settings.ini").find("BITY DANYCH=7"), std::string::npos);
  EXPECT_NE(app_.ReadBytes("settings.ini").find("max=1500"), std::string::npos);
}

TEST_F(PortSettingsTest, BothSpellingsBesideEachOtherReachOneFile) {
  app_.WriteText("settings.ini", "[USTAWIENIA]\nBITY DANYCH=7\n[parametry]\njm=lb\n");
  app_.WriteText("Settings.ini", "[USTAWIENIA]\nBITY DANYCH=8\n[parametry]\njm=g\n");
  const std::string other = app_.ReadBytes("settings.ini");
  controller_.LoadPortSettings();
  EXPECT_EQ(PortSettings.DataBits, "8");
  LoadFrameLayout("1");
  EXPECT_EQ(FrameLayout.UnitText, "g");
  controller_.SetDataBits("7");
  EXPECT_NE(app_.ReadBytes("Settings.ini").find("BITY DANYCH=7"), std::string::npos);
  EXPECT_EQ(app_.ReadBytes("settings.ini"), other);
}

TEST_F(PortSettingsTest, AnOpenPortIsReopenedWithTheNewSettings) {
  testing_support::ConverterEmulator emulator;
  emulator.Attach(43);
  PortSettings.PortNumber = "43";
  controller_.ApplyPortSettings();
  comm_.SetPortOpen(true);
  controller_.SetBaudRate("4800");
  EXPECT_TRUE(comm_.PortOpen());
  EXPECT_EQ(comm_.Settings(), "4800,N,8,1");
  // Reopening fails (port 200 names no device): the port stays closed.
  controller_.SetPortNumber("200");
  EXPECT_FALSE(comm_.PortOpen());
  EXPECT_EQ(comm_.CommPort(), 200);
}

}  // namespace
}  // namespace converter

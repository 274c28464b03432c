// The pickers of the connection page: where they open, the keypad's entry,
// the tab stops the keypad leaves, and the values handed to the settings.

#include <QTest>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "link/port_settings.h"
#include "settings/ini.h"
#include "ui_test_support.h"

namespace ui_test {
namespace {

class PickersTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    WriteSettings("ramka=0\r\n", 5);
    Start();
    ClickOn("LblUstawieniaPortu");
  }
  void ClickOn(const std::string& name, int index = -1) {
    QTest::mouseClick(C(name, index).widget(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    QCoreApplication::processEvents();
  }
  void Type(const std::string& digits) {
    for (char d : digits) ClickOn("ButtonXP1", d - '0');
  }
  std::string Stored(const std::string& key) {
    return settings::ReadIniValue(folder_.File("Settings.ini"), "USTAWIENIA", key, "<none>");
  }
  void Store(const std::string& key, const std::string& value) {
    settings::WriteIniValue(folder_.File("Settings.ini"), "USTAWIENIA", key, value);
  }
  std::string Entry() { return C("lblNrPortuVal").Caption(); }
  bool IsOpen(const std::string& picker) { return C(picker).Container() == &C("picPoloczenie"); }
  bool IsParked(const std::string& picker) { return C(picker).Container() == &C("Smietnik"); }
  // Every control that has a tab stop, as "name" or "name(index)".
  std::set<std::string> TabStops() {
    std::set<std::string> stops;
    for (int i = 0; i < form().ControlCount(); ++i) {
      tk::Control& c = form().ControlAt(i);
      try {
        if (c.TabStop())
          stops.insert(c.Name() + (c.Index() >= 0 ? "(" + std::to_string(c.Index()) + ")" : ""));
      } catch (const platform::VbError&) {
      }
    }
    return stops;
  }
  std::string Active() {
    tk::Control* c = form().ActiveControl();
    return c ? c->Name() : "";
  }
};

TEST_F(PickersTest, EachCaptionOpensItsPickerOnThePageBelowItsRowOrAboveForTheStopBits) {
  struct Case {
    const char* caption;
    const char* picker;
    int top;
    bool takes_focus;
    const char* closer;  // a button that parks the picker again
  };
  const Case cases[] = {
      {"LblNrPortuCap", "picNrPort", 900, true, "cmdNoNrPortu"},
      {"lblSpeedCap", "picSpeed", 1241, true, "ButtonXP5"},
      {"lblPariteCap", "picParite", 1582, false, "ButtonXP7"},
      {"lblBitsDataCap", "picData", 1923, true, "ButtonXP10"},
      {"lblBitsStopCap", "picStop", 1560, true, "ButtonXP12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    ClickOn(c.caption);
    EXPECT_TRUE(IsOpen(c.picker));
    EXPECT_EQ(C(c.picker).Left(), 60);
    EXPECT_EQ(C(c.picker).Top(), c.top);
    EXPECT_LE(C(c.picker).Top() + C(c.picker).Height(), 2340);  // within the page
    if (c.takes_focus) {
      EXPECT_EQ(Active(), c.picker);
    } else {
      EXPECT_NE(Active(), c.picker);
    }
    ClickOn(c.closer);
    EXPECT_TRUE(IsParked(c.picker));
  }
  // The parity picker leaves the focus where it was.
  C("cmdZamknij").SetFocus();
  key().lblPariteCap_Click();
  EXPECT_TRUE(IsOpen("picParite"));
  EXPECT_EQ(Active(), "cmdZamknij");
  // The stop bits' picker ends where its row begins.
  ClickOn("lblBitsStopCap");
  EXPECT_EQ(C("picStop").Top() + C("picStop").Height(), C("Picture8").Top());
}

TEST_F(PickersTest, AClickOnAValueLabelOrBesideTheCaptionOpensNothing) {
  for (const char* label :
       {"lblNrPortuVal", "lblSpeedVal", "lblPariteVal", "lblBitsDataVal", "lblBitsStopVal"})
    ClickOn(label);
  for (const char* row : {"Picture4", "Picture10", "Picture7", "Picture9", "Picture8"}) {
    QTest::mouseClick(C(row).widget(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 2));
  }
  for (const char* picker : {"picNrPort", "picSpeed", "picParite", "picData", "picStop"})
    EXPECT_EQ(C(picker).Container(), &form()) << picker;
  EXPECT_EQ(Entry(), "5");
}

TEST_F(PickersTest, EveryChoiceButtonShowsStoresAndAppliesItsValue) {
  struct Case {
    const char* caption;
    const char* button;
    const char* label;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"lblSpeedCap", "ButtonXP4", "lblSpeedVal", "PRĘDKOŚĆ", "4800"},
      {"lblSpeedCap", "ButtonXP6", "lblSpeedVal", "PRĘDKOŚĆ", "19200"},
      {"lblSpeedCap", "ButtonXP5", "lblSpeedVal", "PRĘDKOŚĆ", "9600"},
      {"lblPariteCap", "ButtonXP8", "lblPariteVal", "PARZYSTOŚĆ", "O"},
      {"lblPariteCap", "ButtonXP9", "lblPariteVal", "PARZYSTOŚĆ", "E"},
      {"lblBitsDataCap", "ButtonXP13", "lblBitsDataVal", "BITY DANYCH", "7"},
      {"lblBitsStopCap", "ButtonXP11", "lblBitsStopVal", "BITY STOPU", "2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    ClickOn(c.caption);
    ClickOn(c.button);
    EXPECT_EQ(C(c.label).Caption(), c.value);
    EXPECT_EQ(Stored(c.key), c.value);
  }
  EXPECT_EQ(key().comm().Settings(), "9600,E,7,2");
  // The remaining three: back to the defaults.
  for (const auto& [caption, button] :
       std::vector<std::pair<const char*, const char*>>{{"lblPariteCap", "ButtonXP7"},
                                                        {"lblBitsDataCap", "ButtonXP10"},
                                                        {"lblBitsStopCap", "ButtonXP12"}}) {
    ClickOn(caption);
    ClickOn(button);
  }
  EXPECT_EQ(key().comm().Settings(), "9600,N,8,1");
  // Choosing the value already set writes it again.
  Store("PRĘDKOŚĆ", "1200");
  ClickOn("lblSpeedCap");
  ClickOn("ButtonXP5");
  EXPECT_EQ(Stored("PRĘDKOŚĆ"), "9600");
  EXPECT_FALSE(key().comm().PortOpen());
}

TEST_F(PickersTest, TheKeypadTakesFourDigitsAndAppliesThemAsTyped) {
  ClickOn("LblNrPortuCap");
  EXPECT_EQ(Entry(), "");
  Type("12345");
  EXPECT_EQ(Entry(), "1234");
  ClickOn("cmdCLRNrPortu");
  EXPECT_EQ(Entry(), "");
  EXPECT_TRUE(IsOpen("picNrPort"));
  Type("007");
  EXPECT_EQ(Entry(), "007");
  EXPECT_EQ(converter::PortSettings.PortNumber, "5");  // not before "Zastosuj"
  ClickOn("cmdOkNrPortu");
  EXPECT_TRUE(IsParked("picNrPort"));
  EXPECT_EQ(Entry(), "007");
  EXPECT_EQ(converter::PortSettings.PortNumber, "007");
  EXPECT_EQ(Stored("NR PORTU"), "007");
  EXPECT_EQ(key().comm().CommPort(), 7);
  // The digit keys keep their tab stops, but a parked key takes no focus,
  // and a key press that reaches it anyway types nothing.
  EXPECT_THROW(C("ButtonXP1", 0).SetFocus(), platform::VbError);
  QTest::keyClick(C("ButtonXP1", 0).widget(), Qt::Key_Space);
  EXPECT_EQ(Entry(), "007");
}

TEST_F(PickersTest, ApplyingNothingOrCancellingBringsBackAndStoresTheStoredNumber) {
  ClickOn("LblNrPortuCap");
  Store("NR PORTU", "9");  // shows whether the number is written again
  ClickOn("cmdOkNrPortu");
  EXPECT_EQ(Entry(), "5");
  EXPECT_EQ(Stored("NR PORTU"), "5");
  EXPECT_TRUE(IsParked("picNrPort"));

  ClickOn("LblNrPortuCap");
  Type("12");
  Store("NR PORTU", "9");
  ClickOn("cmdNoNrPortu");
  EXPECT_EQ(Entry(), "5");
  EXPECT_EQ(Stored("NR PORTU"), "5");
  EXPECT_EQ(converter::PortSettings.PortNumber, "5");
  EXPECT_TRUE(IsParked("picNrPort"));
}

TEST_F(PickersTest, OpeningTheKeypadLeavesTheTenDigitKeysAsTheOnlyTabStopsForGood) {
  const std::set<std::string> at_start = TabStops();
  ASSERT_GT(at_start.size(), 10u);
  ClickOn("lblSpeedCap");
  ClickOn("ButtonXP6");
  ClickOn("lblPariteCap");
  EXPECT_EQ(TabStops(), at_start);
  ClickOn("ButtonXP7");

  ClickOn("LblNrPortuCap");
  std::set<std::string> digits;
  for (int d = 0; d <= 9; ++d) {
    digits.insert("ButtonXP1(" + std::to_string(d) + ")");
    EXPECT_EQ(C("ButtonXP1", d).TabIndex(), d);
  }
  EXPECT_EQ(TabStops(), digits);
  // Tab walks the keys from "0" to "9" and round again.
  C("ButtonXP1", 8).SetFocus();
  form().FocusNext(true);
  EXPECT_EQ(form().ActiveControl(), &C("ButtonXP1", 9));
  form().FocusNext(true);
  EXPECT_EQ(form().ActiveControl(), &C("ButtonXP1", 0));
  form().FocusNext(false);
  EXPECT_EQ(form().ActiveControl(), &C("ButtonXP1", 9));
  // The keys' own arrows follow the same order.
  QTest::keyClick(C("ButtonXP1", 9).widget(), Qt::Key_Right);
  QCoreApplication::processEvents();
  EXPECT_EQ(form().ActiveControl(), &C("ButtonXP1", 0));
  QTest::keyClick(C("ButtonXP1", 0).widget(), Qt::Key_Up);
  QCoreApplication::processEvents();
  EXPECT_EQ(form().ActiveControl(), &C("ButtonXP1", 9));

  ClickOn("cmdNoNrPortu");
  ClickOn("lblPlik");
  ClickOn("LblUstawieniaPortu");
  EXPECT_EQ(TabStops(), digits);
}

TEST_F(PickersTest, AnOpenKeypadTravelsWithItsPageAndASecondClickEmptiesItAgain) {
  ClickOn("LblNrPortuCap");
  Type("12");
  ClickOn("lblPlik");
  EXPECT_EQ(C("picPoloczenie").Container(), &C("Smietnik"));
  ClickOn("LblUstawieniaPortu");
  EXPECT_TRUE(IsOpen("picNrPort"));
  EXPECT_EQ(C("picNrPort").Top(), 900);
  EXPECT_EQ(Entry(), "12");
  ClickOn("LblNrPortuCap");
  EXPECT_EQ(Entry(), "");
  EXPECT_TRUE(IsOpen("picNrPort"));
}

TEST_F(PickersTest, WithTwoPickersOpenAChoiceClosesOnlyItsOwn) {
  ClickOn("lblPariteCap");
  ClickOn("lblBitsStopCap");
  ASSERT_TRUE(IsOpen("picParite"));
  ASSERT_TRUE(IsOpen("picStop"));
  ClickOn("ButtonXP11");
  EXPECT_TRUE(IsParked("picStop"));
  EXPECT_TRUE(IsOpen("picParite"));
  EXPECT_EQ(C("lblBitsStopVal").Caption(), "2");
  EXPECT_EQ(C("lblPariteVal").Caption(), "N");
}

}  // namespace
}  // namespace ui_test

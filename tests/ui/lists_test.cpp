// The frame-type list and the compatible scales following each other, and
// the frame type read from and set in the emulated converter.

#include <QListWidget>
#include <QTest>
#include <string>
#include <vector>

#include "link/frame.h"
#include "support/converter_emulator.h"
#include "ui_test_support.h"

namespace ui_test {
namespace {

constexpr int kPort = 24;
const char kTimeout[] = "Przekroczony czas oczekiwania!";

std::string Frame(const std::string& body) { return "\x01" + body + "\x04"; }

// Rows of the frame-type list: 0 "0", 1 "1", 2 "2", 3 "1" again, 4 "ALL",
// 5 "01", 6 the closing empty row.
const char kTables[] =
    "[typy ramek]\r\n0=Ramka 0\r\n1=Ramka 1\r\n2=Ramka 2\r\n1=Ramka 1 bis\r\n"
    "ALL=Wszystkie\r\n01=Ramka 01\r\n\r\n"
    "[wagi]\r\nWaga A=0\r\nWaga B=1\r\nWaga C=0\r\nWaga Dowolna=ALL\r\nWaga Pusta=\r\n\r\n"
    "[0]\r\nramka=mm0k00msjj\r\n\r\n[1]\r\nramka=zmmmmmm\r\n\r\n[ALL]\r\nramka=mmm\r\n";
constexpr int kRowAll = 4;
constexpr int kRow01 = 5;
constexpr int kRowEmpty = 6;

const std::vector<std::string> kEveryScale = {"Waga A",       "Waga B",     "Waga C",
                                              "Waga Dowolna", "Waga Pusta", ""};

class ListsTest : public WindowTest {
 protected:
  void StartWith(const std::string& parametry, const std::string& tables = kTables,
                 platform::Clock& clock = platform::SystemClock()) {
    WriteSettings(parametry, kPort, tables);
    Start(clock);
    ui::KeyTestPeer::ShowPanel(key(), C("picPlik"));
    QCoreApplication::processEvents();
  }
  tk::ListBox& Types() { return Get<tk::ListBox>("lstTypRamki"); }
  tk::ListBox& Scales() { return Get<tk::ListBox>("lstWagiZgodne"); }
  std::vector<std::string> Rows(tk::ListBox& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.ListCount(); ++i) rows.push_back(list.List(i));
    return rows;
  }
  void ClickRow(tk::ListBox& list, int row) {
    auto* w = static_cast<QListWidget*>(list.widget());
    QTest::mouseClick(w->viewport(), Qt::LeftButton, Qt::NoModifier,
                      w->visualItemRect(w->item(row)).center());
    QCoreApplication::processEvents();
  }
  void Press(tk::ListBox& list, Qt::Key key) {
    QTest::keyClick(list.widget(), key);
    QCoreApplication::processEvents();
  }
  void ClickButton(const char* name) {
    QTest::mouseClick(C(name).widget(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 8));
    QCoreApplication::processEvents();
  }
  std::string Mask() { return converter::FrameLayout.FrameMask; }
  std::vector<std::string> FramesReceived() {
    std::vector<std::string> frames;
    for (const auto& f : emulator.Frames()) frames.push_back(f.bytes);
    return frames;
  }
  // Makes the layout look unloaded, so that a later load shows.
  void ForgetLayout() { converter::FrameLayout.FrameMask = "forgotten"; }

  testing_support::ConverterEmulator emulator;
};

TEST_F(ListsTest, PickingAFrameTypeByMouseOrKeysListsExactlyItsScalesAndLoadsItsLayout) {
  StartWith("ramka=2\r\n");
  ClickRow(Types(), 0);
  EXPECT_EQ(Rows(Scales()), (std::vector<std::string>{"Waga A", "Waga C"}));
  EXPECT_EQ(Scales().ListIndex(), -1);
  EXPECT_EQ(Mask(), "mm0k00msjj");

  Press(Types(), Qt::Key_Down);  // code "1"
  EXPECT_EQ(Types().ListIndex(), 1);
  EXPECT_EQ(Rows(Scales()), (std::vector<std::string>{"Waga B"}));
  EXPECT_EQ(Mask(), "zmmmmmm");

  Press(Types(), Qt::Key_Down);  // code "2": no scale, no layout section
  EXPECT_TRUE(Rows(Scales()).empty());
  EXPECT_EQ(Mask(), "mmmmmm");

  ClickRow(Types(), kRowAll);  // a frame type whose code is "ALL" lists every scale
  EXPECT_EQ(Rows(Scales()), kEveryScale);
  EXPECT_EQ(Mask(), "mmm");

  // The empty last row: the scales whose code is empty, the empty one among them.
  ClickRow(Types(), kRowEmpty);
  EXPECT_EQ(Rows(Scales()), (std::vector<std::string>{"Waga Pusta", ""}));
  EXPECT_EQ(Mask(), "mmmmmm");
}

TEST_F(ListsTest, PickingAScaleSelectsItsFrameTypeAndLeavesTheScaleListAsItWas) {
  StartWith("ramka=ALL\r\n");
  ASSERT_EQ(Types().ListIndex(), kRowAll);
  ASSERT_EQ(Rows(Scales()), kEveryScale);

  ClickRow(Scales(), 1);  // "Waga B", code "1": two rows have it, the later stays
  EXPECT_EQ(Types().ListIndex(), 3);
  EXPECT_EQ(Mask(), "zmmmmmm");
  EXPECT_EQ(Rows(Scales()), kEveryScale);
  EXPECT_EQ(Scales().ListIndex(), 1);

  ClickRow(Scales(), 0);
  EXPECT_EQ(Types().ListIndex(), 0);
  EXPECT_EQ(Mask(), "mm0k00msjj");

  ClickRow(Scales(), 5);  // the empty row: no such entry, so "ALL"
  EXPECT_EQ(Types().ListIndex(), kRowAll);
  EXPECT_EQ(Mask(), "mmm");

  ClickRow(Scales(), 0);
  ClickRow(Scales(), 4);  // "Waga Pusta": its code is the empty text
  EXPECT_EQ(Types().ListIndex(), kRowEmpty);
  EXPECT_EQ(Rows(Scales()), kEveryScale);
}

TEST_F(ListsTest, AClickOnTheSelectedRowIsAPickAndNothingTheUserDoesEmptiesAList) {
  emulator.Attach(kPort);
  StartWith("waga=Waga B\r\n");  // its frame type selected, every scale listed
  ASSERT_EQ(Types().ListIndex(), 3);
  ClickRow(Types(), 3);
  EXPECT_EQ(Rows(Scales()), std::vector<std::string>{"Waga B"});

  ClickRow(Scales(), 0);
  auto* w = static_cast<QListWidget*>(Scales().widget());
  const QPoint below(5, w->viewport()->height() - 3);
  ASSERT_FALSE(w->indexAt(below).isValid());
  QTest::mouseClick(w->viewport(), Qt::LeftButton, Qt::NoModifier, below);
  EXPECT_EQ(Scales().ListIndex(), 0);
  QTest::mouseClick(w->viewport(), Qt::LeftButton, Qt::ControlModifier,
                    w->visualItemRect(w->item(0)).center());
  EXPECT_EQ(Scales().ListIndex(), 0);
  QTest::keyClick(w, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(Scales().ListIndex(), 0);

  ClickRow(Types(), kRowAll);
  ClickRow(Scales(), 0);  // "Waga A", code "0"
  emulator.SetState('0', '2', "001500", "EMU");
  ClickButton("cmdOdbierzRamke");
  ASSERT_EQ(Types().ListIndex(), 2);
  ClickRow(Scales(), 0);  // brings its frame type back
  EXPECT_EQ(Types().ListIndex(), 0);
}

TEST_F(ListsTest, AScaleTheFileNoLongerListsGetsTheCodeAll) {
  StartWith("ramka=ALL\r\n");
  ClickRow(Scales(), 0);
  ASSERT_EQ(Types().ListIndex(), 0);
  // The scale look-up reads the file again, not the table of start-up.
  WriteSettings(
      "ramka=ALL\r\n", kPort,
      "[typy ramek]\r\n0=Ramka 0\r\n\r\n[wagi]\r\nWaga A=0\r\n\r\n[ALL]\r\nramka=mmm\r\n");
  ClickRow(Scales(), 1);
  EXPECT_EQ(Types().ListIndex(), kRowAll);
  EXPECT_EQ(Mask(), "mmm");
}

TEST_F(ListsTest, WithoutARowForAllAnUnlistedScaleChangesNothing) {
  StartWith("waga=Waga A\r\n",
            "[typy ramek]\r\n0=Ramka 0\r\n1=Ramka 1\r\n\r\n[wagi]\r\nWaga A=0\r\nWaga B=7\r\n\r\n"
            "[0]\r\nramka=mm0k00msjj\r\n");
  ASSERT_EQ(Types().ListIndex(), 0);
  ASSERT_EQ(Scales().Text(), "Waga A");
  ForgetLayout();
  ClickRow(Scales(), 1);  // code "7": no row
  EXPECT_EQ(Types().ListIndex(), 0);
  EXPECT_EQ(Mask(), "forgotten");
  WriteSettings("", kPort, "[typy ramek]\r\n0=Ramka 0\r\n\r\n[wagi]\r\n");
  ClickRow(Scales(), 0);  // no longer listed: "ALL", which no row has
  EXPECT_EQ(Types().ListIndex(), 0);
  EXPECT_EQ(Mask(), "forgotten");
}

TEST_F(ListsTest, ReadingTheFrameTypeSelectsItsRowWithoutRefillingTheScales) {
  emulator.Attach(kPort);
  StartWith("ramka=0\r\n");
  ClickRow(Types(), 0);  // the list has the focus until the button takes it
  const std::vector<std::string> scales = Rows(Scales());
  emulator.SetState('0', '2', "001500", "EMU");
  ClickButton("cmdOdbierzRamke");
  EXPECT_EQ(FramesReceived(), std::vector<std::string>{"\x01"
                                                       "1?\x04"});
  EXPECT_EQ(Types().ListIndex(), 2);
  EXPECT_EQ(Rows(Scales()), scales);
  EXPECT_TRUE(boxes.empty());

  emulator.SetState('0', '1', "001500", "EMU");  // two rows: the later one
  ClickButton("cmdOdbierzRamke");
  EXPECT_EQ(Types().ListIndex(), 3);
  EXPECT_EQ(Mask(), "zmmmmmm");
  EXPECT_EQ(Rows(Scales()), scales);
  EXPECT_TRUE(boxes.empty());

  emulator.SetState('0', '7', "001500", "EMU");  // no row has it
  ForgetLayout();
  ClickButton("cmdOdbierzRamke");
  EXPECT_EQ(boxes, std::vector<Box>{Info("Wartość niezefiniowana")});
  EXPECT_EQ(Types().ListIndex(), 3);
  EXPECT_EQ(Mask(), "forgotten");
}

TEST_F(ListsTest, AWrongReplyToTheReadIsShownAsItCame) {
  emulator.Attach(kPort);
  StartWith("ramka=0\r\n");
  emulator.SetRawReply('1', Frame("12x"));  // one character too many
  ClickButton("cmdOdbierzRamke");
  EXPECT_EQ(boxes, std::vector<Box>{Info(Frame("12x"))});
  EXPECT_EQ(Types().ListIndex(), 0);
}

TEST_F(ListsTest, ReadingWithAPortThatDoesNotExistShowsThePortMessageThenAnEmptyBox) {
  setenv("KONWERTER_COM24", "/nonexistent/ttyKONWERTER", 1);
  StartWith("ramka=0\r\n");
  ClickButton("cmdOdbierzRamke");
  unsetenv("KONWERTER_COM24");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].icon, platform::MsgBoxIcon::kCritical);
  EXPECT_EQ(boxes[1], Info(""));
  EXPECT_EQ(Types().ListIndex(), 0);
}

TEST_F(ListsTest, SettingSendsTheSelectedCodeAndComparesTheReadBackByValue) {
  emulator.Attach(kPort);
  StartWith("ramka=0\r\n");
  ClickRow(Types(), 2);
  ClickButton("cmdUstawRamke");
  EXPECT_EQ(FramesReceived(), (std::vector<std::string>{"\x01"
                                                        "12\x04",
                                                        "\x01"
                                                        "1?\x04"}));
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(emulator.FrameType(), '2');
  EXPECT_EQ(Types().ListIndex(), 2);

  // Another code read back.
  emulator.SetReadBackOverride('1', "3");
  ClickRow(Types(), 0);
  const std::vector<std::string> scales = Rows(Scales());
  ClickButton("cmdUstawRamke");
  EXPECT_EQ(boxes, std::vector<Box>{Info("Błąd zapisu")});
  EXPECT_EQ(Types().ListIndex(), 0);
  EXPECT_EQ(Rows(Scales()), scales);

  // "01" sent and "1" read back are the same frame type.
  boxes.clear();
  emulator.SetRawReply('1', Frame("11"));
  ClickRow(Types(), kRow01);
  ClickButton("cmdUstawRamke");
  EXPECT_TRUE(boxes.empty());

  // A read-back that is no number: that text, and no "Błąd zapisu".
  emulator.SetRawReply('1', Frame("1?"));  // well formed, but "?" is no code
  ClickRow(Types(), 1);
  ClickButton("cmdUstawRamke");
  EXPECT_EQ(boxes, std::vector<Box>{Info("?")});
  boxes.clear();
  emulator.SetRawReply('1', Frame("1"));  // too short: shown as it came
  ClickButton("cmdUstawRamke");
  EXPECT_EQ(boxes, std::vector<Box>{Info(Frame("1"))});
}

TEST_F(ListsTest, SettingWhenTheConverterIsSilentShowsOnlyTheTimeOutText) {
  emulator.Attach(kPort);
  HurryingClock hurrying;
  StartWith("ramka=1\r\n", kTables, hurrying);
  emulator.SetSilent(true);
  ClickButton("cmdUstawRamke");
  EXPECT_EQ(boxes, std::vector<Box>{Info(kTimeout)});
}

TEST_F(ListsTest, SettingSendsNothingForACodeThatIsNoNumberOrWhenNoRowIsSelected) {
  emulator.Attach(kPort);
  StartWith("ramka=nic takiego\r\n");  // no row has it: none is selected
  ASSERT_EQ(Types().ListIndex(), -1);
  ClickButton("cmdUstawRamke");
  for (int row : {kRowAll, kRowEmpty}) {
    ClickRow(Types(), row);
    ClickButton("cmdUstawRamke");
  }
  // A read's request comes after anything the clicks sent.
  ClickButton("cmdOdbierzRamke");
  EXPECT_EQ(emulator.Received(), Frame("1?"));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ListsTest, StartingWithAnEmptyCodeSelectsTheEmptyLastRow) {
  StartWith("mode=0\r\n", kDefaultTables);
  EXPECT_EQ(Types().ListIndex(), Types().ListCount() - 1);
  EXPECT_EQ(Types().Text(), "");
  EXPECT_EQ(Rows(Scales()), std::vector<std::string>{""});
}

}  // namespace
}  // namespace ui_test

// The simulator end to end: the frames of the slider's value on the line of
// the emulated converter, every 50 ms, each ended by CR LF.

#include <stdlib.h>

#include <QSlider>
#include <QTest>
#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "support/converter_emulator.h"
#include "support/tick_barrier.h"
#include "ui_test_support.h"

namespace ui_test {
namespace {

constexpr int kPort = 23;

const char kLayouts[] =
    "[typy ramek]\r\n0=Ramka 0\r\n1=Ramka 1\r\n2=Ramka 2\r\n\r\n"
    "[wagi]\r\nWaga A=0\r\nWaga B=1\r\nWaga C=2\r\n\r\n"
    "[0]\r\nramka=mm0k00msjj\r\n\r\n"
    "[1]\r\nramka=zmmmmmm\r\nplus=P\r\n\r\n"
    "[2]\r\nramka=zm0k00sjj\r\n";

class SimulatorTest : public WindowTest {
 protected:
  void StartWith(const std::string& parametry, int port = kPort) {
    WriteSettings(parametry, port, kLayouts);
    Start();
    ui::KeyTestPeer::ShowPanel(key(), C("picTransmisja"));
    QCoreApplication::processEvents();
  }
  // Moves the slider as the user's dragging does.
  void Slide(int value) {
    static_cast<QSlider*>(C("Slider1").widget())->setValue(value);
    QCoreApplication::processEvents();
  }
  void ClickBox() {
    QTest::mouseClick(C("chNasluch").widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCoreApplication::processEvents();
  }
  int Box() { return Get<tk::CheckBox>("chNasluch").Value(); }
  bool Sending() { return Get<tk::Timer>("Timer3").Enabled(); }
  bool MenuEnabled() {
    for (const char* entry : {"lblzdarzenia", "lblPlik", "LblUstawieniaPortu", "lblTransmisja"})
      if (!C(entry).Enabled()) return false;
    return true;
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (const auto& line : emulator.Lines()) lines.push_back(line.text);
    return lines;
  }
  bool WaitForLines(size_t n, int ms = 3000) {
    return QTest::qWaitFor([&] { return emulator.Lines().size() >= n; }, ms);
  }
  // Waits until n lines of this text have come after the first one of it.
  bool WaitForLinesOf(const std::string& text, size_t n) {
    return QTest::qWaitFor(
        [&] {
          size_t count = 0;
          for (const auto& line : Lines()) count += line == text;
          return count >= n;
        },
        3000);
  }

  testing_support::ConverterEmulator emulator;
};

TEST_F(SimulatorTest, FramesFollowTheSliderEachEndedByCrLfAndStopWhenTheBoxIsCleared) {
  emulator.Attach(kPort);
  StartWith("ramka=0\r\nmax=001500\r\njm=kg\r\n");
  Slide(1500);
  ClickBox();
  ASSERT_EQ(Box(), 1);
  EXPECT_TRUE(Sending());
  EXPECT_TRUE(key().comm().PortOpen());
  EXPECT_FALSE(MenuEnabled());
  EXPECT_EQ(C("Text1").Text(), "  1.500 kg");
  ASSERT_TRUE(WaitForLines(3));

  // A move while sending: the preview at once, the line from the next tick.
  Slide(-42);
  EXPECT_EQ(C("Text1").Text(), "  0.042 kg");
  // What the user types into the preview is not sent.
  Get<tk::TextBox>("Text1").SetText("abc");
  ASSERT_TRUE(WaitForLinesOf("  0.042 kg", 3));
  Slide(5);
  ASSERT_TRUE(WaitForLinesOf("  0.005 kg", 2));

  ClickBox();
  EXPECT_EQ(Box(), 0);
  EXPECT_FALSE(Sending());
  EXPECT_FALSE(key().comm().PortOpen());
  EXPECT_TRUE(MenuEnabled());
  // A timer left running would send the new value's frame at its next tick.
  Slide(7);
  ASSERT_TRUE(testing_support::TickBarrier(Get<tk::Timer>("Timer3").Interval()).Wait());

  // The port is free again for an exchange with the converter. Its request
  // comes after every byte the simulator sent, so once it is answered every
  // frame has arrived, however slowly the emulator's thread ran.
  key().cmdOdbierzMax_Click();
  ASSERT_EQ(emulator.Frames().size(), 1u);
  EXPECT_EQ(emulator.Frames()[0].bytes,
            "\x01"
            "2?\x04");
  EXPECT_TRUE(boxes.empty());

  // Old frames, then the new ones, never mixed; nothing but CR LF between.
  std::string expected_bytes;
  int phase = 0;
  const std::vector<std::string> order = {"  1.500 kg", "  0.042 kg", "  0.005 kg"};
  for (const auto& line : Lines()) {
    while (phase < 2 && line != order[static_cast<size_t>(phase)] &&
           line == order[static_cast<size_t>(phase) + 1])
      ++phase;
    EXPECT_EQ(line, order[static_cast<size_t>(phase)]) << "a frame after the box was cleared";
    expected_bytes += line + "\r\n";
  }
  EXPECT_EQ(phase, 2);
  EXPECT_EQ(emulator.Received(), expected_bytes +
                                     "\x01"
                                     "2?\x04");
}

TEST_F(SimulatorTest, TheLayoutOfTheSelectedFrameTypeShapesTheFrameInWindows1250) {
  emulator.Attach(kPort);
  StartWith("ramka=2\r\nmax=001500\r\njm=kł\r\n");
  Slide(-250);
  ClickBox();
  ASSERT_TRUE(WaitForLines(2));
  ClickBox();
  // The sign, two digits after the point, the unit's letters; "ł" is one byte.
  EXPECT_EQ(Lines()[0], platform::Utf8ToCp1250("_ 2.50 kł"));
  EXPECT_EQ(emulator.Received().substr(0, 11), "_ 2.50 k\xB3\r\n");
  EXPECT_EQ(C("Text1").Text(), "_ 2.50 kł");
}

TEST_F(SimulatorTest, ASignedMaskShowsPlusMinusAndZeroCharacters) {
  emulator.Attach(kPort);
  StartWith("ramka=1\r\nmax=001500\r\n");
  Slide(42);
  ClickBox();
  ASSERT_TRUE(WaitForLinesOf("P    42", 1));
  Slide(0);
  ASSERT_TRUE(WaitForLinesOf("      0", 1));
  Slide(-7);
  ASSERT_TRUE(WaitForLinesOf("_     7", 1));
  // The keys move the slider as well; the preview follows each step.
  C("Slider1").widget()->setFocus();
  QTest::keyClick(C("Slider1").widget(), Qt::Key_Right);
  EXPECT_EQ(Get<tk::Slider>("Slider1").Value(), -6);
  EXPECT_EQ(C("Text1").Text(), "_     6");
  ASSERT_TRUE(WaitForLinesOf("_     6", 1));
  ClickBox();
  EXPECT_FALSE(Sending());
}

TEST_F(SimulatorTest, APortThatDoesNotExistLeavesTheBoxClearAndTheMenuEnabled) {
  setenv("KONWERTER_COM78", "/nonexistent/ttyKONWERTER", 1);
  StartWith("ramka=0\r\nmax=001500\r\n", 78);
  ClickBox();
  unsetenv("KONWERTER_COM78");
  EXPECT_EQ(Box(), 0);
  EXPECT_FALSE(Sending());
  EXPECT_TRUE(MenuEnabled());
  EXPECT_FALSE(key().comm().PortOpen());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, platform::MsgBoxIcon::kCritical);
  EXPECT_NE(boxes[0].text.find("78"), std::string::npos) << boxes[0].text;
}

TEST_F(SimulatorTest, ADevicePulledAwayWhileSendingStopsTheSimulatorCleanly) {
  emulator.Attach(kPort);
  StartWith("ramka=0\r\nmax=001500\r\n");
  ClickBox();
  ASSERT_TRUE(WaitForLines(2));
  emulator.Unplug();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Box() == 0; }, 3000));
  EXPECT_FALSE(Sending());
  EXPECT_FALSE(key().comm().PortOpen());
  EXPECT_TRUE(MenuEnabled());
  EXPECT_TRUE(boxes.empty());
  // Ticking the box again meets the missing device like any missing port.
  ClickBox();
  EXPECT_EQ(Box(), 0);
  EXPECT_FALSE(Sending());
  EXPECT_TRUE(MenuEnabled());
}

TEST_F(SimulatorTest, APortClosedUnderTheSimulatorStopsItAtTheNextTick) {
  emulator.Attach(kPort);
  StartWith("ramka=0\r\nmax=001500\r\n");
  ClickBox();
  ASSERT_TRUE(WaitForLines(1));
  key().comm().SetPortOpen(false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Sending(); }, 3000));
  EXPECT_EQ(Box(), 0);
  EXPECT_TRUE(MenuEnabled());
  ASSERT_TRUE(testing_support::TickBarrier(Get<tk::Timer>("Timer3").Interval()).Wait());
  // An exchange's request comes after every frame sent before it: nothing
  // may follow it.
  key().cmdOdbierzMax_Click();
  const std::string received = emulator.Received();
  ASSERT_GE(received.size(), 4u);
  EXPECT_EQ(received.substr(received.size() - 4),
            "\x01"
            "2?\x04");
}

}  // namespace
}  // namespace ui_test

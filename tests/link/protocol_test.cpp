#include "link/protocol.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

#include "link/link_fixture.h"
#include "link/port_settings.h"
#include "platform/serial_port.h"
#include "platform/vb_error.h"
#include "support/converter_emulator.h"
#include "support/port_test_util.h"
#include "support/test_clock.h"

namespace converter {
namespace {

using std::chrono::milliseconds;
using test::RecordingConverterView;
using test::TempAppFolder;
using testing_support::ConverterEmulator;
using testing_support::TestClock;

constexpr int kPort = 42;
const std::string kTimeout = "Przekroczony czas oczekiwania!";

std::string Frame(const std::string& inner) { return "\x01" + inner + "\x04"; }

TEST(CommandFrameTest, QueryAndSettingFrames) {
  EXPECT_EQ(CommandFrame('2', "?"), "\x01\x32?\x04");
  EXPECT_EQ(CommandFrame('0', "1"), "\x01\x30\x31\x04");
  EXPECT_EQ(CommandFrame('2', "001500").size(), 9u);
}

TEST(JudgeReplyTest, FixedLengthReplies) {
  EXPECT_EQ(JudgeModeReply(Frame("02")), "2");
  EXPECT_EQ(JudgeModeReply(Frame("0x")), "x");  // the value itself is not tested
  EXPECT_EQ(JudgeFrameTypeReply(Frame("13")), "3");
  EXPECT_EQ(JudgeMaxReply(Frame("2001500")), "001500");
  EXPECT_EQ(JudgeMaxReply(Frame("2 15.0a")), " 15.0a");
  for (const std::string& bad :
       {Frame("0"), Frame("012"), Frame("12"), "x" + Frame("02"), Frame("02") + "x",
        std::string("\x01\x30\x32x"), std::string("\x02\x30\x32\x04"), std::string(""),
        std::string("\x04")}) {
    EXPECT_EQ(JudgeModeReply(bad), bad);
  }
  EXPECT_EQ(JudgeFrameTypeReply(Frame("02")), Frame("02"));  // another command's reply
  EXPECT_EQ(JudgeMaxReply(Frame("21234567")), Frame("21234567"));
  EXPECT_EQ(JudgeMaxReply(Frame("200150")), Frame("200150"));
  EXPECT_EQ(JudgeMaxReply(Frame("2001500") + "\x04"), Frame("2001500") + "\x04");
  EXPECT_EQ(JudgeMaxReply(kTimeout), kTimeout);
}

TEST(JudgeReplyTest, LengthsCountCharactersNotBytes) {
  // A byte above 127 arrives as one character of two UTF-8 bytes.
  EXPECT_EQ(JudgeModeReply(Frame("0ą")), "ą");
  EXPECT_EQ(JudgeMaxReply(Frame("2ąęść12")), "ąęść12");
  EXPECT_EQ(JudgeMaxReply(Frame("2ąęść123")), Frame("2ąęść123"));
}

TEST(JudgeReplyTest, VersionReplies) {
  EXPECT_EQ(JudgeVersionReply(Frame("3")), "");
  EXPECT_EQ(JudgeVersionReply(Frame("3KONW v2.01")), "KONW v2.01");
  EXPECT_EQ(JudgeVersionReply(Frame("3a\x04")), "a\x04");  // up to the final EOT
  EXPECT_EQ(JudgeVersionReply("\x01\x04"), "\x01\x04");
  EXPECT_EQ(JudgeVersionReply(Frame("2v1")), Frame("2v1"));
  EXPECT_EQ(JudgeVersionReply(" " + Frame("3v1")), " " + Frame("3v1"));
  EXPECT_EQ(JudgeVersionReply(Frame("3v1") + " "), Frame("3v1") + " ");
}

class ProtocolTest : public ::testing::Test {
 protected:
  ProtocolTest() : link_(comm_, view_) {
    emulator_.Attach(kPort);
    emulator_.SetState('1', '2', "012345", "KONW 2.01");
    comm_.SetCommPort(kPort);
    PortSettings = PortSettingsData{};
    PortSettings.PortNumber = std::to_string(kPort);
  }

  std::vector<std::string> FramesReceived() const {
    std::vector<std::string> out;
    for (const auto& frame : emulator_.Frames()) out.push_back(frame.bytes);
    return out;
  }
  void ExpectClosedAndBannerCycled(size_t exchanges = 1) {
    EXPECT_FALSE(comm_.PortOpen());
    std::vector<bool> expected;
    for (size_t i = 0; i < exchanges; ++i) {
      expected.push_back(true);
      expected.push_back(false);
    }
    EXPECT_EQ(view_.calls, expected);
  }

  TempAppFolder app_;
  ConverterEmulator emulator_;
  platform::SerialPort comm_;
  RecordingConverterView view_;
  ConverterLink link_;
};

TEST_F(ProtocolTest, QueriesSendTheirFrameAndReturnTheValue) {
  EXPECT_EQ(link_.GetMode(), "1");
  ExpectClosedAndBannerCycled();
  EXPECT_EQ(link_.GetFrameType(), "2");
  EXPECT_EQ(link_.GetMax(), "012345");
  EXPECT_EQ(link_.GetVersion(), "KONW 2.01");
  ExpectClosedAndBannerCycled(4);
  EXPECT_EQ(emulator_.Received(), Frame("0?") + Frame("1?") + Frame("2?") + Frame("3?"));
}

TEST_F(ProtocolTest, RejectedRepliesComeBackUnchanged) {
  emulator_.QueueReply(Frame("012"));               // too long
  emulator_.QueueReply(Frame("11"));                // another command
  emulator_.QueueReply("\x7f" + Frame("2001500"));  // a byte before SOH
  emulator_.QueueReply(Frame("2001500") + "\r\n");  // bytes after EOT, same read
  emulator_.QueueReply(Frame("21234567"));          // seven digits
  EXPECT_EQ(link_.GetMode(), Frame("012"));
  EXPECT_EQ(link_.GetMode(), Frame("11"));
  EXPECT_EQ(link_.GetMax(), "\x7f" + Frame("2001500"));
  EXPECT_EQ(link_.GetMax(), Frame("2001500") + "\r\n");
  EXPECT_EQ(link_.GetMax(), Frame("21234567"));
  EXPECT_FALSE(comm_.PortOpen());
}

TEST_F(ProtocolTest, StrayBytesAroundAReplyFailItsTest) {
  emulator_.SetStrayBytes("??", "");
  EXPECT_EQ(link_.GetMode(), "??" + Frame("01"));
  emulator_.SetStrayBytes("", "!");
  EXPECT_EQ(link_.GetVersion(), Frame("3KONW 2.01") + "!");
}

TEST_F(ProtocolTest, ReplySplitOverSeveralReadsIsJoined) {
  emulator_.SetSplitReplies(2, milliseconds(30));
  EXPECT_EQ(link_.GetMax(), "012345");
  emulator_.SetSplitReplies(1, milliseconds(5));
  EXPECT_EQ(link_.GetVersion(), "KONW 2.01");
}

TEST_F(ProtocolTest, ReplyEndsAtTheReadThatBroughtTheEot) {
  // The tail after the EOT comes in a later write: it is not read, and the
  // next exchange starts with nothing received.
  emulator_.SetSplitReplies(4, milliseconds(150));
  emulator_.SetStrayBytes("", "tail");
  EXPECT_EQ(link_.GetMode(), "1");
  ASSERT_TRUE(emulator_.WaitForReplies(1, milliseconds(5000)));  // the tail is out
  emulator_.SetSplitReplies(0, milliseconds(0));
  emulator_.SetStrayBytes("", "");
  EXPECT_EQ(link_.GetMode(), "1");
}

TEST_F(ProtocolTest, BytesArrivingWhileClosedAreNotPartOfTheNextReply) {
  EXPECT_EQ(link_.GetMode(), "1");
  emulator_.SendRaw("late garbage");
  ASSERT_TRUE(emulator_.WaitForRawSent(milliseconds(5000)));
  EXPECT_EQ(link_.GetMode(), "1");
}

TEST_F(ProtocolTest, LateReplyWithinTwoSecondsIsAccepted) {
  emulator_.SetReplyDelay(milliseconds(400));
  EXPECT_EQ(link_.GetFrameType(), "2");
}

TEST_F(ProtocolTest, PauseAfterEveryFrame) {
  TestClock clock;
  ConverterLink link(comm_, view_, clock);
  EXPECT_EQ(link.SetMode("2"), "2");
  EXPECT_EQ(clock.sleeps, (std::vector<int>{20, 20}));
}

TEST_F(ProtocolTest, SettingsSendTheValueThenReadBack) {
  EXPECT_EQ(link_.SetMode("2"), "2");
  EXPECT_EQ(link_.SetFrameType("3"), "3");
  EXPECT_EQ(link_.SetMax("1500"), "001500");
  EXPECT_EQ(FramesReceived(),
            (std::vector<std::string>{Frame("02"), Frame("0?"), Frame("13"), Frame("1?"),
                                      Frame("2001500"), Frame("2?")}));
  EXPECT_EQ(emulator_.Mode(), '2');
  EXPECT_EQ(emulator_.FrameType(), '3');
  ExpectClosedAndBannerCycled(6);
}

TEST_F(ProtocolTest, SevenDigitMaximumIsSentWhole) {
  std::string result = link_.SetMax("1234567");
  auto frames = FramesReceived();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], Frame("21234567"));
  EXPECT_EQ(frames[0].size(), 10u);
  // The read-back of seven digits fails the nine-character test.
  EXPECT_EQ(result, Frame("21234567"));
}

TEST_F(ProtocolTest, ReadBackThatDiffersIsReturned) {
  emulator_.SetReadBackOverride('2', "000999");
  EXPECT_EQ(link_.SetMax("1500"), "000999");
  emulator_.SetRawReply('0', "garbage\x04");
  EXPECT_EQ(link_.SetMode("1"), "garbage\x04");
}

TEST_F(ProtocolTest, SettingWithoutAnswerGivesTheReadBackAlone) {
  TestClock clock;
  // The setting frame is lost unanswered (its wait hurries to the time-out);
  // the read-back is answered.
  clock.on_sleep = [&] { clock.SetHurrying(clock.sleeps.size() == 1); };
  ConverterLink link(comm_, view_, clock);
  emulator_.QueueReply(std::nullopt);
  EXPECT_EQ(link.SetFrameType("1"), "2");
  EXPECT_EQ(FramesReceived(), (std::vector<std::string>{Frame("11"), Frame("1?")}));
}

TEST_F(ProtocolTest, SilentConverterTimesOutWithTheTranslatedText) {
  emulator_.SetSilent(true);
  TestClock clock(/*hurrying=*/true);
  ConverterLink link(comm_, view_, clock);
  EXPECT_EQ(link.GetMax(), kTimeout);
  ExpectClosedAndBannerCycled();
  // The wait blocks on the port for all the time that is left (and a
  // millisecond), then the read after it finds the two seconds past.
  EXPECT_EQ(clock.waited_ms, std::vector<int>{2001});
  EXPECT_NEAR(clock.Now(), 0.020 + 2.001, 1e-9);
  // The text comes from the language file, which now holds it.
  EXPECT_NE(app_.ReadBytes("set.lng").find("komunikatyProste"), std::string::npos);
  app_.WriteText("set.lng", "[komunikatyProste]\nPrzekroczony czas oczekiwania!=Brak odpowiedzi\n");
  EXPECT_EQ(link.GetMode(), "Brak odpowiedzi");
}

TEST_F(ProtocolTest, EotInTheReadAfterTwoSecondsIsATimeOut) {
  // The pause after the frame lasts until the whole reply is in the port, so
  // that the first read brings the EOT.
  TestClock late(false, {0.0, 2.001});
  late.on_sleep = [&] { comm_.WaitForInput(TestClock::kPatienceMs); };
  ConverterLink link(comm_, view_, late);
  EXPECT_EQ(link.GetMode(), kTimeout);
  EXPECT_FALSE(comm_.PortOpen());

  TestClock just_in_time(false, {0.0, 2.0});
  just_in_time.on_sleep = late.on_sleep;
  ConverterLink link2(comm_, view_, just_in_time);
  EXPECT_EQ(link2.GetMode(), "1");
}

TEST_F(ProtocolTest, FloodWithoutEotEndsAtTheTimeOut) {
  emulator_.SetSilent(true);
  emulator_.StartFlood('A');
  TestClock clock(/*hurrying=*/true, {}, 0.01);  // the reads never find the port empty
  ConverterLink link(comm_, view_, clock);
  EXPECT_EQ(link.GetMax(), kTimeout);
  emulator_.StopFlood();
  EXPECT_FALSE(comm_.PortOpen());
}

TEST_F(ProtocolTest, SilentConverterWithTheRealClock) {
  emulator_.SetSilent(true);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link_.GetVersion(), kTimeout);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, milliseconds(2000));
  EXPECT_LT(elapsed, milliseconds(4000));  // generous: a loaded machine
  ExpectClosedAndBannerCycled();
  EXPECT_EQ(emulator_.Received(), Frame("3?"));
}

TEST_F(ProtocolTest, MissingPortShowsItsMessageAndWritesNothing) {
  comm_.SetCommPort(200);  // names no device
  PortSettings.PortNumber = "200";
  EXPECT_EQ(link_.GetMax(), "");
  EXPECT_EQ(link_.SetMax("1500"), "");  // no read-back either
  ASSERT_EQ(app_.shown().size(), 2u);
  EXPECT_EQ(app_.shown()[0].text, "Port com200 nie jest zainstalowany");
  EXPECT_EQ(app_.shown()[0].icon, platform::MsgBoxIcon::kCritical);
  EXPECT_TRUE(view_.calls.empty());
  EXPECT_FALSE(comm_.PortOpen());
  // An exchange on the emulator's port: its request is the first thing there.
  comm_.SetCommPort(kPort);
  PortSettings.PortNumber = std::to_string(kPort);
  EXPECT_EQ(link_.GetMode(), "1");
  EXPECT_EQ(emulator_.Received(), Frame("0?"));
}

TEST_F(ProtocolTest, PortHeldByAnotherShowsItsMessageAndWritesNothing) {
  platform::SerialPort holder;
  holder.SetCommPort(kPort);
  holder.SetPortOpen(true);
  EXPECT_EQ(link_.GetMode(), "");
  ASSERT_EQ(app_.shown().size(), 1u);
  EXPECT_EQ(app_.shown()[0].text, "Port com42 jest już otwarty przez inną aplikację");
  EXPECT_EQ(app_.shown()[0].icon, platform::MsgBoxIcon::kCritical);
  EXPECT_FALSE(comm_.PortOpen());
  holder.SetPortOpen(false);
  EXPECT_EQ(link_.GetMode(), "1");
  EXPECT_EQ(emulator_.Received(), Frame("0?"));  // the first request that got through
}

TEST_F(ProtocolTest, PortMessageNamesThePortInForceWhenShown) {
  comm_.SetCommPort(200);
  PortSettings.PortNumber = "200";
  link_.GetMode();
  // The language file keeps the text with its place holder, not the number.
  EXPECT_NE(app_.ReadBytes("set.lng").find("Port com%1 nie jest zainstalowany"), std::string::npos);
  comm_.SetCommPort(201);
  PortSettings.PortNumber = "0201";
  link_.GetMode();
  ASSERT_EQ(app_.shown().size(), 2u);
  EXPECT_EQ(app_.shown()[1].text, "Port com0201 nie jest zainstalowany");

  app_.WriteText("set.lng", "[komunikaty]\nBrakPortu=Nie ma portu %1 (%1)\n");
  link_.GetMode();
  EXPECT_EQ(app_.shown()[2].text, "Nie ma portu 0201 (0201)");
  app_.WriteText("set.lng", "[komunikaty]\nBrakPortu=Port com3 nie jest zainstalowany\n");
  link_.GetMode();
  EXPECT_EQ(app_.shown()[3].text, "Port com3 nie jest zainstalowany");  // as it stands
}

TEST_F(ProtocolTest, OpenPortKeepsAnOpenPortOpen) {
  comm_.SetCommPort(kPort);
  PortSettings.PortNumber = "42";
  // An already open port is kept open: OpenPort succeeds without reopening.
  comm_.SetPortOpen(true);
  EXPECT_TRUE(link_.OpenPort());
  EXPECT_TRUE(comm_.PortOpen());
  EXPECT_TRUE(app_.shown().empty());
}

TEST_F(ProtocolTest, DeviceVanishingDuringTheWaitEndsItAtOnce) {
  emulator_.SetSilent(true);
  std::thread unplug([&] {
    if (emulator_.WaitForFrames(1, milliseconds(3000))) emulator_.Unplug();
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link_.GetMax(), kTimeout);
  auto elapsed = std::chrono::steady_clock::now() - start;
  unplug.join();
  EXPECT_LT(elapsed, milliseconds(1500));
  ExpectClosedAndBannerCycled();
  // The device is gone for good: the next request meets a missing port.
  EXPECT_EQ(link_.GetMax(), "");
  ASSERT_EQ(app_.shown().size(), 1u);
  EXPECT_EQ(app_.shown()[0].text, "Port com42 nie jest zainstalowany");
}

TEST_F(ProtocolTest, AnErrorInTheMiddleOfAnExchangeLeavesThePortFree) {
  // The wait on the port fails, as a poll might: the error goes on to the
  // caller, and the port is closed and the banner hidden all the same.
  class FailingWait : public TestClock {
   public:
    bool WaitFor(const std::function<bool(int)>&, int) override {
      throw std::runtime_error("poll failed");
    }
  } clock;
  emulator_.SetSilent(true);
  ConverterLink link(comm_, view_, clock);
  EXPECT_THROW(link.GetMax(), std::runtime_error);
  ExpectClosedAndBannerCycled();
  platform::SerialPort other;  // no lock is left behind either
  other.SetCommPort(kPort);
  EXPECT_NO_THROW(other.SetPortOpen(true));
  other.SetPortOpen(false);
  // A setting value that cannot be sent fails once the port is open.
  EXPECT_THROW(link.SetMax("1e400"), platform::VbError);
  EXPECT_FALSE(comm_.PortOpen());
}

TEST_F(ProtocolTest, ARequestTheLineDoesNotTakeLeavesThePortFree) {
  // The line's output is stopped, so the query's frame cannot be written: the
  // user sees the time-out, and the port is given back whole all the same.
  testing_support::ScopedLockFolder locks;
  const int probe = open(emulator_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(probe, 0);
  ASSERT_EQ(tcflow(probe, TCOOFF), 0);
  EXPECT_EQ(link_.GetMode(), kTimeout);
  ExpectClosedAndBannerCycled(0);
  EXPECT_FALSE(std::filesystem::exists(locks.LockFileOf(emulator_.SlavePath())));
  int exclusive = 1;
  ASSERT_EQ(ioctl(probe, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0);
  tcflow(probe, TCOON);
  close(probe);
  platform::SerialPort other;  // nor is its flock kept
  other.SetCommPort(kPort);
  EXPECT_NO_THROW(other.SetPortOpen(true));
}

TEST_F(ProtocolTest, DeviceGoneBeforeTheFrameIsATimeOutAtOnce) {
  comm_.SetPortOpen(true);  // held open, as the simulator does
  emulator_.Unplug();
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link_.GetMode(), kTimeout);
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(1500));
  EXPECT_FALSE(comm_.PortOpen());
  EXPECT_TRUE(app_.shown().empty());
}

}  // namespace
}  // namespace converter

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/message_box.h"

namespace platform {
namespace {

TEST(MsgBoxTest, GoesToTheInstalledSinkAndBackToStandardError) {
  std::vector<std::pair<std::string, MsgBoxIcon>> shown;
  MsgBoxSink previous = SetMsgBoxSink(
      [&shown](const std::string& text, MsgBoxIcon icon) { shown.emplace_back(text, icon); });
  MsgBox("Błąd zapisu");
  MsgBox("Port zajęty", MsgBoxIcon::kCritical);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].first, "Błąd zapisu");
  EXPECT_EQ(shown[0].second, MsgBoxIcon::kInformation);
  EXPECT_EQ(shown[1].second, MsgBoxIcon::kCritical);

  MsgBoxSink mine = SetMsgBoxSink(nullptr);
  EXPECT_TRUE(static_cast<bool>(mine));
  testing::internal::CaptureStderr();
  MsgBox("one");
  MsgBox("two", MsgBoxIcon::kCritical);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "[info] one\n[critical] two\n");
  EXPECT_EQ(shown.size(), 2u);
  SetMsgBoxSink(std::move(previous));
}

TEST(MsgBoxTest, ASinkMayShowAnotherMessage) {
  std::vector<std::string> shown;
  MsgBoxSink previous = SetMsgBoxSink([&shown](const std::string& text, MsgBoxIcon) {
    shown.push_back(text);
    if (shown.size() == 1) MsgBox("nested");
  });
  MsgBox("outer");
  EXPECT_EQ(shown, (std::vector<std::string>{"outer", "nested"}));
  SetMsgBoxSink(std::move(previous));
}

TEST(ClockTest, SleepWaitsAndTimeNeverGoesBack) {
  Clock& clock = SystemClock();
  double start = clock.Seconds();
  clock.Sleep(30);
  double after = clock.Seconds();
  EXPECT_GE(after - start, 0.029);
  clock.Sleep(0);
  clock.Sleep(-5);
  EXPECT_GE(clock.Seconds(), after);
  EXPECT_EQ(&SystemClock(), &clock);
}

}  // namespace
}  // namespace platform

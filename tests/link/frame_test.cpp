#include "link/frame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "platform/cp1250.h"
#include "platform/files.h"
#include "support/temp_folder.h"

namespace converter {
namespace {

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetAppFolderForTesting(folder_.path());
    FrameLayout = FrameLayoutData{};
    Digits.assign(6, "");
    UnitChars.clear();
    SimulatedFrame.clear();
  }
  void TearDown() override { platform::SetAppFolderForTesting(""); }
  // Writes the settings file (UTF-8 given, windows-1250 on disk, CR LF).
  void WriteSettings(const std::string& text) {
    std::string bytes;
    for (char c : platform::Utf8ToCp1250(text)) {
      if (c == '\n') bytes += '\r';
      bytes += c;
    }
    testing_support::WriteBytes(folder_.File("settings.ini"), bytes);
  }
  static std::string Build(int32_t value, const std::string& mask, const std::string& unit) {
    FrameLayout.FrameMask = mask;
    FrameLayout.UnitText = unit;
    return BuildFrame(value);
  }

  testing_support::TempFolder folder_;
};

TEST_F(FrameTest, WorkedExamples) {
  struct Case {
    int32_t value;
    const char* mask;
    const char* unit;
    const char* frame;
  } cases[] = {
      {1500, "", "", "  1.500 kg"},
      {5, "mm0k00msjj", "kg", "  0.005 kg"},
      {0, "mm0k00msjj", "kg", "  0.000 kg"},
      {-1500, "mm0k00msjj", "kg", "  1.500 kg"},
      {123456, "mm0k00msjj", "kg", "123.456 kg"},
      {1500, "mmmmmm", "t", "  1500"},
      {-42, "zmmmmmm", "kg", "_    42"},
      {0, "zmmmmmm", "kg", "      0"},
      {42, "zmmmmmm", "kg", "+    42"},
      {-250, "zm0k00sjj", "kg", "_ 2.50 kg"},
  };
  for (const Case& c : cases) {
    FrameLayout = FrameLayoutData{};
    EXPECT_EQ(Build(c.value, c.mask, c.unit), c.frame) << c.value << " " << c.mask;
    EXPECT_EQ(SimulatedFrame, c.frame);
  }
}

TEST_F(FrameTest, EmptyMaskAndUnitAreReplacedAndStored) {
  EXPECT_EQ(BuildFrame(7), "  0.007 kg");
  EXPECT_EQ(FrameLayout.FrameMask, "mm0k00msjj");
  EXPECT_EQ(FrameLayout.UnitText, "kg");
}

TEST_F(FrameTest, UnitLongerOrShorterThanItsPlaces) {
  EXPECT_EQ(Build(0, "jjj", "kg"), " kg");
  EXPECT_EQ(Build(0, "jj", "lbs"), "bs");
  EXPECT_EQ(Build(0, "sjj", "g"), "  g");
}

TEST_F(FrameTest, UnknownAndUpperCaseLettersGiveBlanks) {
  EXPECT_EQ(Build(12, "xmmM", "kg"), " 12 ");
  EXPECT_EQ(Build(12, "Zmm", "kg"), " 12");
  EXPECT_EQ(Build(3, "m-m", "kg"), "  3");  // "-" takes no digit place
}

TEST_F(FrameTest, MoreThanSixDigitPlaces) {
  EXPECT_EQ(Build(42, "mmmmmmmm", "kg"), "      42");
  EXPECT_EQ(Build(42, "00000000", "kg"), "00000042");
  EXPECT_EQ(Build(42, "0000m000", "kg"), "0000 042");
}

TEST_F(FrameTest, SevenDigitValueIsSentAsTheLargestShown) {
  EXPECT_EQ(Build(1234567, "zmmmmmm", "kg"), "+999999");
  EXPECT_EQ(Build(-1234567, "zmmmmmm", "kg"), "_999999");
  EXPECT_EQ(Build(std::numeric_limits<int32_t>::min(), "zmm0k00", "kg"), "_999.99");
  EXPECT_EQ(Build(999999, "mm0k00msjj", "kg"), "999.999 kg");
}

TEST_F(FrameTest, SplitValueDigitsPlacesRightAligned) {
  SplitValueDigits(1500);
  EXPECT_EQ(Digits, (std::vector<std::string>{" ", " ", "1", "5", "0", "0"}));
  SplitValueDigits(0);
  EXPECT_EQ(Digits, (std::vector<std::string>{" ", " ", " ", " ", " ", "0"}));
  SplitValueDigits(10000000);
  EXPECT_EQ(Digits, (std::vector<std::string>{"9", "9", "9", "9", "9", "9"}));
}

TEST_F(FrameTest, SplitUnitCharsOnePerCharacter) {
  SplitUnitChars("");
  EXPECT_EQ(UnitChars, (std::vector<std::string>{"k", "g"}));
  SplitUnitChars("ąb");  // a Polish letter is one character
  EXPECT_EQ(UnitChars, (std::vector<std::string>{"ą", "b"}));
}

TEST_F(FrameTest, LoadFrameLayoutReadsTheSectionAndTheUnit) {
  WriteSettings("[parametry]\njm=lb\n[R1]\nplus=PL\nminus=M\nzero=Z\nramka=zmmmm0sjj\n");
  LoadFrameLayout("R1");
  EXPECT_EQ(FrameLayout.PlusChar, "P");
  EXPECT_EQ(FrameLayout.MinusChar, "M");
  EXPECT_EQ(FrameLayout.ZeroChar, "Z");
  EXPECT_EQ(FrameLayout.FrameMask, "zmmmm0sjj");
  EXPECT_EQ(FrameLayout.UnitText, "lb");
  EXPECT_EQ(BuildFrame(42), "P   42 lb");
  EXPECT_EQ(BuildFrame(-42), "M   42 lb");
  EXPECT_EQ(BuildFrame(0), "Z    0 lb");
}

TEST_F(FrameTest, LoadFrameLayoutDefaultsAndEmptyValues) {
  WriteSettings("[R2]\nplus=\nramka=\n[parametry]\njm=\n");
  LoadFrameLayout("R2");
  EXPECT_EQ(FrameLayout.PlusChar, " ");  // present but empty: one blank
  EXPECT_EQ(FrameLayout.MinusChar, "_");
  EXPECT_EQ(FrameLayout.ZeroChar, " ");
  EXPECT_EQ(FrameLayout.FrameMask, "");
  EXPECT_EQ(FrameLayout.UnitText, "");
  EXPECT_EQ(BuildFrame(1500), "  1.500 kg");

  LoadFrameLayout("no such section");
  EXPECT_EQ(FrameLayout.PlusChar, "+");
  EXPECT_EQ(FrameLayout.FrameMask, "mmmmmm");
  EXPECT_EQ(FrameLayout.UnitText, "");  // "jm" is still there, empty
}

TEST_F(FrameTest, MissingUnitKeyGivesKg) {
  WriteSettings("[R6]\nramka=mmsjj\n");
  LoadFrameLayout("R6");
  EXPECT_EQ(FrameLayout.UnitText, "kg");
  EXPECT_EQ(BuildFrame(-3), " 3 kg");
}

TEST_F(FrameTest, BlankPlusSignWithSignPlace) {
  WriteSettings("[R3]\nplus=\nramka=zmmm\n");
  LoadFrameLayout("R3");
  EXPECT_EQ(BuildFrame(5), "   5");
}

TEST_F(FrameTest, LoadingDoesNotRebuildTheFrame) {
  BuildFrame(5);
  WriteSettings("[R4]\nramka=mmmmmm\n");
  LoadFrameLayout("R4");
  EXPECT_EQ(SimulatedFrame, "  0.005 kg");
  EXPECT_EQ(BuildFrame(5), "     5");
}

TEST_F(FrameTest, SettingsFileFoundWhateverItsLetterCase) {
  testing_support::WriteBytes(folder_.File("Settings.ini"), "[R5]\r\nramka=0000\r\n");
  LoadFrameLayout("R5");
  EXPECT_EQ(FrameLayout.FrameMask, "0000");
}

}  // namespace
}  // namespace converter

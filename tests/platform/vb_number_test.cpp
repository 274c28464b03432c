#include "platform/vb_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/vb_error.h"
#include "support/polish_locale.h"

namespace platform {
namespace {

using namespace std::string_literals;

int ErrorNumberOf(void (*call)()) {
  try {
    call();
  } catch (const VbError& e) {
    return e.number();
  }
  return 0;
}

TEST(ValTest, ReadsTheLeadingNumber) {
  EXPECT_EQ(Val("12,5"), 12);
  EXPECT_EQ(Val("7x"), 7);
  EXPECT_EQ(Val("03"), 3);
  EXPECT_EQ(Val("000250"), 250);
  EXPECT_EQ(Val("1.5"), 1.5);
  EXPECT_EQ(Val(".5"), 0.5);
  EXPECT_EQ(Val("-.5"), -0.5);
  EXPECT_EQ(Val("5."), 5);
  EXPECT_EQ(Val("1.2.3"), 1.2);
  EXPECT_EQ(Val("+8"), 8);
  EXPECT_EQ(Val("-42"), -42);
}

TEST(ValTest, NoNumberGivesZero) {
  EXPECT_EQ(Val(""), 0);
  EXPECT_EQ(Val("abc"), 0);
  EXPECT_EQ(Val("-"), 0);
  EXPECT_EQ(Val("."), 0);
  EXPECT_EQ(Val("--5"), 0);
  EXPECT_EQ(Val("\x01"
                "2?\x04"),
            0);
  EXPECT_EQ(Val("&"), 0);
  EXPECT_EQ(Val("&H"), 0);
  EXPECT_EQ(Val("&X12"), 0);
}

TEST(ValTest, SkipsBlanksTabsAndLineFeedsEvenInsideTheDigits) {
  EXPECT_EQ(Val("  \t\n42"), 42);
  EXPECT_EQ(Val("1 2 3"), 123);
  EXPECT_EQ(Val("- 5"), -5);
  EXPECT_EQ(Val("1\t.\n5"), 1.5);
  // A carriage return is not a blank to Val.
  EXPECT_EQ(Val("\r42"), 0);
}

TEST(ValTest, Exponents) {
  EXPECT_EQ(Val("1e3"), 1000);
  EXPECT_EQ(Val("1E+3"), 1000);
  EXPECT_EQ(Val("25e-1"), 2.5);
  EXPECT_EQ(Val("2D2"), 200);
  EXPECT_EQ(Val("1e"), 1);
  EXPECT_EQ(Val("1e+"), 1);
  EXPECT_EQ(Val("1ex"), 1);
}

TEST(ValTest, HexAndOctalLiteralsAreSignedLikeThePlatformIntegers) {
  EXPECT_EQ(Val("&HFF"), 255);
  EXPECT_EQ(Val("&hff"), 255);
  EXPECT_EQ(Val("&H7FFF"), 32767);
  EXPECT_EQ(Val("&H8000"), -32768);
  EXPECT_EQ(Val("&HFFFF"), -1);
  EXPECT_EQ(Val("&H10000"), 65536);
  EXPECT_EQ(Val("&H80000005"), -2147483643.0);
  EXPECT_EQ(Val("&HFFFFFFFF"), -1);
  EXPECT_EQ(Val("&H100000000"), 4294967296.0);
  EXPECT_EQ(Val("&O17"), 15);
  EXPECT_EQ(Val("&O8"), 0);
  EXPECT_EQ(Val("&H1G"), 1);
}

TEST(ValTest, IgnoresTheLocale) {
  testing_support::PolishLocale polish;
  ASSERT_TRUE(polish.SetProcessLocale());
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(Val("1.5"), 1.5);
  EXPECT_EQ(Val("1,5"), 1);
  EXPECT_EQ(NumberToText(12.5), "12.5");
  EXPECT_EQ(Format(1234.5, "000000"), "001235");
}

TEST(ValTest, HostileInputEndsWithAResult) {
  EXPECT_TRUE(std::isinf(Val("1e400")));
  EXPECT_GT(Val("1e400"), 0);
  EXPECT_LT(Val("-1e400"), 0);
  EXPECT_EQ(Val("1e-400"), 0);
  EXPECT_TRUE(std::isinf(Val("1e99999999999999999999999999")));
  EXPECT_EQ(Val("1e-99999999999999999999999999"), 0);
  EXPECT_EQ(Val("12\0"
                "34"s),
            12);
  EXPECT_EQ(Val("\0"
                "12"s),
            0);
  std::string zeros(1000000, '0');
  EXPECT_EQ(Val(zeros + "7"), 7);
  EXPECT_EQ(Val("0." + zeros + "1e1000001"), 1);
  EXPECT_TRUE(std::isinf(Val(std::string(400, '9'))));
  EXPECT_TRUE(std::isinf(Val("&H" + std::string(1000, 'F'))));
  EXPECT_EQ(Val(std::string(1000000, ' ')), 0);
  EXPECT_THROW(CLng(Val("1e400")), VbError);
}

// The numeric test follows the user's decimal mark; these cases are written
// for ".", whatever locale the suite runs in.
class IsNumericTest : public testing::Test {
 protected:
  void SetUp() override { SetUserDecimalMark("."); }
  void TearDown() override { SetUserDecimalMark(""); }
};

TEST_F(IsNumericTest, AcceptsWholeNumbers) {
  for (const char* text : {"000250", " 42 ", "-1", "+1", "1.5", ".5", "1.", "1e3", "1E-3", "2d2",
                           "&HFF", "&o17", "0", "-0"}) {
    EXPECT_TRUE(IsNumeric(text)) << text;
  }
  EXPECT_TRUE(IsNumeric(std::string(1000, '0') + "1"));
}

TEST_F(IsNumericTest, RejectsEverythingElse) {
  for (const char* text : {"", "   ", "12abc", "+", "-", ".", "1e", "1e+", "1.2.3", "1 2", "12,5",
                           "&H", "&HG", "&O8", "e3", "--1", "1-", "$5", "(5)"}) {
    EXPECT_FALSE(IsNumeric(text)) << text;
  }
  EXPECT_FALSE(IsNumeric("1e400"));
  EXPECT_FALSE(IsNumeric("&H100000000"));
}

TEST_F(IsNumericTest, ControlCharactersAreNotNumeric) {
  EXPECT_FALSE(
      IsNumeric("\x01"
                "2"));
  EXPECT_FALSE(
      IsNumeric("\x01"
                "2000000\x04"));
  EXPECT_FALSE(IsNumeric("42\x04"));
  EXPECT_FALSE(IsNumeric("\t42"));
  EXPECT_FALSE(IsNumeric("42\r\n"));
  EXPECT_FALSE(
      IsNumeric("4\0"
                "2"s));
}

// A Polish desktop writes "1,5": the platform's numeric test took the
// environment's decimal mark, and only that one.
TEST_F(IsNumericTest, FollowsTheDecimalMarkOfTheUsersEnvironment) {
  testing_support::PolishLocale polish;
  const char* previous = std::getenv("LC_ALL");
  const std::string saved = previous ? previous : "";
  SetUserDecimalMark("");
  setenv("LC_ALL", "pl_PL.UTF-8", 1);
  EXPECT_EQ(UserDecimalMark(), ",");
  EXPECT_TRUE(IsNumeric("1,5"));
  EXPECT_TRUE(IsNumeric(" -12,5e1 "));
  EXPECT_FALSE(IsNumeric("1.5"));
  EXPECT_FALSE(IsNumeric("1,5,"));
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(UserDecimalMark(), ".");
  EXPECT_TRUE(IsNumeric("1.5"));
  EXPECT_FALSE(IsNumeric("1,5"));
  if (previous) {
    setenv("LC_ALL", saved.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
}

TEST(FormatTest, ZeroPatternsPadOnTheLeftAndNeverCut) {
  EXPECT_EQ(Format(250, "000000"), "000250");
  EXPECT_EQ(Format(0, "000000"), "000000");
  EXPECT_EQ(Format(1234567, "000000"), "1234567");
  EXPECT_EQ(Format(999999, "000000"), "999999");
  EXPECT_EQ(Format(-42, "000000"), "-000042");
  EXPECT_EQ(Format(5, "0"), "5");
  EXPECT_EQ(Format(0, "0"), "0");
  EXPECT_EQ(Format(1e20, "0"), "100000000000000000000");
}

TEST(FormatTest, ZeroPatternsRoundHalvesAwayFromZero) {
  EXPECT_EQ(Format(12.7, "000000"), "000013");
  EXPECT_EQ(Format(12.5, "000000"), "000013");
  EXPECT_EQ(Format(13.5, "000000"), "000014");
  EXPECT_EQ(Format(-2.5, "0"), "-3");
  EXPECT_EQ(Format(12.4, "000000"), "000012");
  // A negative value that rounds to zero has no sign left.
  EXPECT_EQ(Format(-0.4, "000000"), "000000");
  EXPECT_EQ(Format(-0.0, "0"), "0");
}

TEST(FormatTest, AtPatternRightAlignsWithBlanks) {
  EXPECT_EQ(Format(1500, "@@@@@@"), "  1500");
  EXPECT_EQ(Format(0, "@@@@@@"), "     0");
  EXPECT_EQ(Format(999999, "@@@@@@"), "999999");
  EXPECT_EQ(Format(1234567, "@@@@@@"), "1234567");
  EXPECT_EQ(Format(-5, "@@@@@@"), "    -5");
  EXPECT_EQ(Format(2.5, "@@@@@@"), "   2.5");
}

TEST(FormatTest, RejectsOtherPatternsAndNonFiniteValues) {
  EXPECT_EQ(ErrorNumberOf([] { Format(1, ""); }), kErrInvalidCall);
  EXPECT_EQ(ErrorNumberOf([] { Format(1, "0.00"); }), kErrInvalidCall);
  EXPECT_EQ(ErrorNumberOf([] { Format(1, "00@"); }), kErrInvalidCall);
  EXPECT_EQ(ErrorNumberOf([] { Format(INFINITY, "000000"); }), kErrOverflow);
  EXPECT_EQ(ErrorNumberOf([] { Format(NAN, "0"); }), kErrOverflow);
}

TEST(CIntTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(CInt(2.5), 2);
  EXPECT_EQ(CInt(3.5), 4);
  EXPECT_EQ(CInt(-2.5), -2);
  EXPECT_EQ(CInt(-3.5), -4);
  EXPECT_EQ(CInt(0.5), 0);
  EXPECT_EQ(CInt(1.5), 2);
  EXPECT_EQ(CInt(2.4999), 2);
  EXPECT_EQ(CInt(2.5001), 3);
  EXPECT_EQ(CLng(2.5), 2);
  EXPECT_EQ(CLng(-1.5), -2);
  EXPECT_EQ(CLng(1e9 + 0.5), 1000000000);
}

TEST(CIntTest, RangeEdges) {
  EXPECT_EQ(CInt(32767), 32767);
  EXPECT_EQ(CInt(32767.4), 32767);
  EXPECT_EQ(CInt(-32768), -32768);
  EXPECT_EQ(CInt(-32768.5), -32768);
  EXPECT_EQ(ErrorNumberOf([] { CInt(32767.5); }), kErrOverflow);
  EXPECT_EQ(ErrorNumberOf([] { CInt(-32769); }), kErrOverflow);
  EXPECT_EQ(CLng(2147483647.0), 2147483647);
  EXPECT_EQ(CLng(-2147483648.0), -2147483647 - 1);
  EXPECT_EQ(CLng(-2147483648.5), -2147483647 - 1);
  EXPECT_EQ(ErrorNumberOf([] { CLng(2147483647.5); }), kErrOverflow);
  EXPECT_EQ(ErrorNumberOf([] { CLng(-2147483649.0); }), kErrOverflow);
  EXPECT_EQ(ErrorNumberOf([] { CLng(NAN); }), kErrOverflow);
  EXPECT_EQ(ErrorNumberOf([] { CLng(INFINITY); }), kErrOverflow);
  EXPECT_EQ(ErrorNumberOf([] { CInt(-INFINITY); }), kErrOverflow);
}

TEST(NumberToTextTest, WholeAndFractionalValues) {
  EXPECT_EQ(NumberToText(3), "3");
  EXPECT_EQ(NumberToText(-250), "-250");
  EXPECT_EQ(NumberToText(0), "0");
  EXPECT_EQ(NumberToText(-0.0), "0");
  EXPECT_EQ(NumberToText(12.5), "12.5");
  EXPECT_EQ(NumberToText(0.1), "0.1");
  EXPECT_EQ(NumberToText(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(NumberToText(123456789012345.0), "123456789012345");
  EXPECT_EQ(NumberToText(1e20), "1E+20");
  EXPECT_EQ(NumberToText(1e-5), "1E-05");
  EXPECT_EQ(Val(NumberToText(-1234.5)), -1234.5);
}

}  // namespace
}  // namespace platform

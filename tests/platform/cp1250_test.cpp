#include "platform/cp1250.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

using namespace std::string_literals;

TEST(Cp1250Test, PolishLettersBothWays) {
  EXPECT_EQ(Utf8ToCp1250("PRĘDKOŚĆ"), "\x50\x52\xCA\x44\x4B\x4F\x8C\xC6");
  const std::string polish = "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
  EXPECT_EQ(Utf8ToCp1250(polish),
            "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
  EXPECT_EQ(Cp1250ToUtf8(Utf8ToCp1250(polish)), polish);
  EXPECT_EQ(Cp1250ToUtf8("\x80"), "€");
  EXPECT_EQ(Utf8ToCp1250("€"), "\x80");
  EXPECT_EQ(Cp1250ToUtf8("\xA0"), "\u00A0");
}

TEST(Cp1250Test, AsciiAndNulPassUnchanged) {
  std::string ascii;
  for (int c = 0; c < 128; ++c) ascii.push_back(static_cast<char>(c));
  EXPECT_EQ(Utf8ToCp1250(ascii), ascii);
  EXPECT_EQ(Cp1250ToUtf8(ascii), ascii);
  EXPECT_EQ(Utf8ToCp1250("\x01"
                         "2?\x04"),
            "\x01"
            "2?\x04");
  EXPECT_EQ(Utf8ToCp1250(""), "");
  EXPECT_EQ(Cp1250ToUtf8(""), "");
}

TEST(Cp1250Test, EveryDefinedByteRoundTrips) {
  int undefined = 0;
  for (int b = 0x80; b <= 0xFF; ++b) {
    std::string byte(1, static_cast<char>(b));
    std::string utf8 = Cp1250ToUtf8(byte);
    EXPECT_EQ(Utf8Length(utf8), 1u) << std::hex << b;
    if (utf8 == "?") {
      ++undefined;
      continue;
    }
    EXPECT_EQ(Utf8ToCp1250(utf8), byte) << std::hex << b;
  }
  EXPECT_EQ(undefined, 5);
}

TEST(Cp1250Test, UndefinedBytesDecodeToQuestionMarks) {
  EXPECT_EQ(Cp1250ToUtf8("\x81\x83\x88\x90\x98"), "?????");
  EXPECT_EQ(Cp1250ToUtf8("a\x81"
                         "b"),
            "a?b");
  // Their Unicode namesakes are no windows-1250 characters either.
  EXPECT_EQ(Utf8ToCp1250("\u0081\u0098"), "??");
}

TEST(Cp1250Test, MissingCharactersBecomeOneQuestionMarkEach) {
  EXPECT_EQ(Utf8ToCp1250("日本"), "??");
  EXPECT_EQ(Utf8ToCp1250("a😀b"), "a?b");
  EXPECT_EQ(Utf8ToCp1250("ñ"), "?");  // Spanish n with tilde is not in windows-1250
  EXPECT_EQ(Utf8ToCp1250("\uFFFD"), "?");
}

TEST(Cp1250Test, MalformedUtf8BecomesOneQuestionMarkPerByte) {
  EXPECT_EQ(Utf8ToCp1250("\xC4"), "?");  // cut short at the end
  EXPECT_EQ(Utf8ToCp1250("\xE2\x82"
                         "A"),
            "??A");                                     // cut short before ASCII
  EXPECT_EQ(Utf8ToCp1250("\x99"), "?");                 // stray continuation byte
  EXPECT_EQ(Utf8ToCp1250("\xC0\xAF"), "??");            // overlong "/"
  EXPECT_EQ(Utf8ToCp1250("\xED\xA0\x80"), "???");       // surrogate
  EXPECT_EQ(Utf8ToCp1250("\xF4\x90\x80\x80"), "????");  // past U+10FFFF
  EXPECT_EQ(Utf8ToCp1250("\xFF\xFE"), "??");
  EXPECT_EQ(Utf8ToCp1250("\xC4\x99\xC4"), "\xEA?");  // good then cut
  // A failure leaves nothing behind for the next conversion.
  EXPECT_EQ(Utf8ToCp1250("Ł"), "\xA3");
}

TEST(Cp1250Test, LongTextsConvertWhole) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "zażółć ";
  std::string bytes = Utf8ToCp1250(text);
  EXPECT_EQ(bytes.size(), 700000u);
  EXPECT_EQ(Cp1250ToUtf8(bytes), text);
}

TEST(Utf8Test, LengthCountsCharactersAndMalformedBytes) {
  EXPECT_EQ(Utf8Length(""), 0u);
  EXPECT_EQ(Utf8Length("kg"), 2u);
  EXPECT_EQ(Utf8Length("PRĘDKOŚĆ"), 8u);
  EXPECT_EQ(Utf8Length("😀"), 1u);
  EXPECT_EQ(Utf8Length("\xE2\x82"), 2u);
  EXPECT_EQ(Utf8Length("a\0b"s), 3u);
}

TEST(Utf8Test, CodePointsBothWays) {
  EXPECT_EQ(Utf8ToCodePoints("aŁ€😀"), U"aŁ€😀");
  EXPECT_EQ(CodePointsToUtf8(U"aŁ€😀"), "aŁ€😀");
  EXPECT_EQ(Utf8ToCodePoints("a\xFF"
                             "b"),
            U"a\uFFFDb");
  std::u32string bad = {U'a', static_cast<char32_t>(0xD800), static_cast<char32_t>(0x110000)};
  EXPECT_EQ(CodePointsToUtf8(bad), "a\uFFFD\uFFFD");
  EXPECT_EQ(CodePointsToUtf8(U""), "");
}

}  // namespace
}  // namespace platform

#include "toolkit/property_bag.h"

#include <gtest/gtest.h>

namespace tk {
namespace {

TEST(PropertyBagTest, KeysIgnoreCaseAndAbsentKeysGiveTheDefault) {
  PropertyBag bag;
  bag.Set("Caption", std::string("Zamknij"));
  bag.Set("ForeHover", 255.0);
  EXPECT_EQ(bag.ReadProperty("caption", "x"), "Zamknij");
  EXPECT_EQ(bag.ReadProperty("CAPTION", "x"), "Zamknij");
  EXPECT_EQ(bag.ReadProperty("forehover", Colour{7}), Colour{255});
  EXPECT_EQ(bag.ReadProperty("missing", "x"), "x");
  EXPECT_EQ(bag.ReadProperty("missing", 42), 42);
  EXPECT_TRUE(bag.ReadProperty("missing", true));
  bag.Set("CAPTION", std::string("Nowy"));  // replaces, keeps its place
  ASSERT_EQ(bag.entries().size(), 2u);
  EXPECT_EQ(bag.entries()[0].first, "caption");
  EXPECT_EQ(bag.ReadProperty("Caption", ""), "Nowy");
}

TEST(PropertyBagTest, ConversionsToTheDefaultsType) {
  PropertyBag bag;
  bag.Set("enabled", -1.0);
  bag.Set("off", 0.0);
  bag.Set("text", std::string("12.5"));
  bag.Set("word", std::string("abc"));
  bag.Set("half", 2.5);
  bag.Set("negative_colour", -2147483630.0);  // &H80000012 stored signed
  bag.Set("huge", 1e12);
  EXPECT_TRUE(bag.ReadProperty("enabled", false));
  EXPECT_FALSE(bag.ReadProperty("off", true));
  EXPECT_DOUBLE_EQ(bag.ReadProperty("text", 0.0), 12.5);
  EXPECT_DOUBLE_EQ(bag.ReadProperty("word", 1.0), 1.0);  // not a number: the default
  EXPECT_EQ(bag.ReadProperty("half", 0), 2);             // half to even
  EXPECT_EQ(bag.ReadProperty("negative_colour", Colour{0}), SystemColour(0x12));
  EXPECT_EQ(bag.ReadProperty("huge", 7), 7);  // outside 32 bits: the default
  EXPECT_EQ(bag.ReadProperty("half", ""), "2.5");
  EXPECT_EQ(bag.ReadProperty("enabled", FontSpec{}), FontSpec{});
}

TEST(PropertyBagTest, WriteLeavesOutDefaultsAndPutsTheExtentsFirst) {
  PropertyBag bag;
  FontSpec bold;
  bold.weight = 700;
  bag.WriteProperty("Caption", std::string("OK"), PropertyValue(std::string("")));
  bag.WriteProperty("Enabled", -1.0, PropertyValue(-1.0));  // the default: left out
  bag.WriteProperty("Font", bold, PropertyValue(FontSpec{}));
  bag.WriteProperty("ForeColor", static_cast<double>(SystemColour(0x12)));
  bag.WriteProperty("_ExtentY", 953.0);
  bag.WriteProperty("_ExtentX", 3995.0);
  EXPECT_EQ(bag.Find("enabled"), nullptr);
  EXPECT_EQ(bag.ToDescription(4),
            "    _extentx = 3995\n"
            "    _extenty = 953\n"
            "    caption = \"OK\"\n"
            "    font = \"MS Sans Serif\" 8.25 700 238\n"
            "    forecolor = 2147483666\n");
  // Writing the default again removes an older value.
  bag.WriteProperty("caption", std::string(""), PropertyValue(std::string("")));
  EXPECT_EQ(bag.Find("Caption"), nullptr);
}

TEST(PropertyBagTest, ValuesReadBackAsWritten) {
  FontSpec f;
  f.name = "Say \"hi\"";
  f.size = 9.75;
  f.underline = f.italic = f.strikethrough = true;
  EXPECT_EQ(FormatPropertyValue(f),
            "\"Say \"\"hi\"\"\" 9.75 400 238 Underline Italic Strikethrough");
  EXPECT_EQ(FormatPropertyValue(0.1), "0.1");
  EXPECT_EQ(FormatPropertyValue(-30.0), "-30");
  EXPECT_EQ(FormatPropertyValue(std::string("")), "\"\"");
}

}  // namespace
}  // namespace tk

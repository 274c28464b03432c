#include "toolkit/description.h"

#include <gtest/gtest.h>

#include <QImage>

#include "support/polish_locale.h"
#include "support/temp_folder.h"
#include "toolkit/property_bag.h"

namespace tk {
namespace {

const char kWindow[] = R"(# a window with one control of every kind
Begin Form KEY
  Caption = "Konwerter - C\I"
  Tag = "glowna"
  BackColor = &H00FF8080&
  BorderStyle = 1
  ClientWidth = 6000
  ClientHeight = 4500
  StartUpPosition = 2
  MaxButton = False
  Font = "MS Sans Serif" 8.25 700 238
  Begin PictureBox Picture3
    Align = 4
    Width = 2550
    BackColor = &H00FFE0E0&
    BorderStyle = 0
    Begin Label Label12
      Caption = "Konfiguracja"
      Tag = "CONFIG"
      Left = 240
      Top = 0
      Width = 2130
      Height = 360
      Alignment = 2
      Font = "MS Sans Serif" 9.75 700 238 Underline
    End
    Begin Shape Shape1
      Shape = 4
      FillColor = &H00FFD0D0&
      FillStyle = 0
      Left = 75
      Top = 240
      Width = 2415
      Height = 360
    End
  End
  Begin Frame Frame1
    Caption = "TORMEX"
    Left = 0
    Top = 2760
    Width = 3000
    Height = 1335
    TabIndex = 1
    Begin Label Label2
      Caption = "Uwaga ""cytat"""
      Left = 120
      Top = 240
      Width = 2000
      Height = 600
      TabIndex = 2
    End
  End
  Begin ListBox lstWagi
    List = "Ramka 0", "Ramka 1", "Ramka 2"
    Left = 60
    Top = 60
    Width = 1500
    Height = 900
    TabIndex = 0
  End
  Begin OptionButton opModPracy
    Index = 0
    Caption = "0"
    Value = True
    Left = 60
    Top = 1000
    Width = 600
    Height = 255
  End
  Begin OptionButton opModPracy
    Index = 1
    Caption = "1"
    Left = 700
    Top = 1000
    Width = 600
    Height = 255
  End
  Begin CheckBox chkHot
    Caption = ""
    Tag = "hot key"
    Value = 1
    Left = 60
    Top = 1300
    Width = 255
    Height = 255
  End
  Begin CommandButton Command1
    Caption = "&Dalej"
    Left = 3240
    Top = 2040
    Width = 1095
    Height = 375
  End
  Begin Image Image1
    Picture = "logo"
    Left = 120
    Top = 240
  End
  Begin Timer Timer1
    Interval = 5000
    Enabled = False
  End
  Begin Slider Slider1
    Min = -9999
    Max = 9999
    Value = 0
    Left = 60
    Top = 1600
    Width = 2000
    Height = 400
  End
  Begin TextBox txtMax
    Text = "000250"
    MaxLength = 6
    Alignment = 1
    Left = 60
    Top = 2000
    Width = 1140
    Height = 360
  End
  Begin Menu mnuTray
    Caption = "Tray"
    Visible = False
    Begin Menu mnuVisible
      Caption = "Pokaż okno"
    End
  End
  Begin ImageList ImageList1
    ListImage = "logo"
    ListImage = "logo"
  End
  Begin MSComm MSComm1
    CommPort = 3
    Settings = "19200,N,8,1"
  End
End
)";

class DescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QImage logo(209, 150, QImage::Format_RGB32);
    logo.fill(Qt::lightGray);
    RegisterPicture("logo", logo);
  }
};

TEST_F(DescriptionTest, LoadsEveryKindInControlOrder) {
  auto form = LoadForm(kWindow, "test.frm");
  EXPECT_EQ(form->Name(), "KEY");
  EXPECT_EQ(form->Caption(), "Konwerter - C\\I");
  EXPECT_EQ(form->Tag(), "glowna");
  EXPECT_EQ(form->ScaleWidth(), 6000);
  EXPECT_EQ(form->ScaleHeight(), 4500);
  const std::vector<std::string> names = {
      "Picture3",   "Label12",    "Shape1",  "Frame1",     "Label2",     "lstWagi",
      "opModPracy", "opModPracy", "chkHot",  "Command1",   "Image1",     "Timer1",
      "Slider1",    "txtMax",     "mnuTray", "mnuVisible", "ImageList1", "MSComm1"};
  ASSERT_EQ(form->ControlCount(), static_cast<int>(names.size()));
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(form->ControlAt(static_cast<int>(i)).Name(), names[i]) << i;
  }
}

TEST_F(DescriptionTest, ContainersGeometryTagsCaptionsAndFonts) {
  auto form = LoadForm(kWindow, "test.frm");
  auto& side = form->Get<PictureBox>("Picture3");
  // Aligned to the right edge, as tall as the client area.
  EXPECT_EQ(side.Left(), 6000 - 2550);
  EXPECT_EQ(side.Top(), 0);
  EXPECT_EQ(side.Height(), 4500);
  EXPECT_EQ(side.widget()->geometry(), QRect(230, 0, 170, 300));
  auto& heading = form->Get<Label>("Label12");
  EXPECT_EQ(heading.Container(), &side);
  EXPECT_EQ(heading.widget()->parentWidget(), side.ClientWidget());
  EXPECT_EQ(heading.Left(), 240);
  EXPECT_EQ(heading.Width(), 2130);
  EXPECT_EQ(heading.widget()->geometry(), QRect(16, 0, 142, 24));
  EXPECT_EQ(heading.Tag(), "CONFIG");
  EXPECT_EQ(heading.Caption(), "Konfiguracja");
  EXPECT_EQ(heading.Font().name, "MS Sans Serif");
  EXPECT_DOUBLE_EQ(heading.Font().size, 9.75);
  EXPECT_EQ(heading.Font().weight, 700);
  EXPECT_TRUE(heading.Font().underline);
  EXPECT_EQ(heading.widget()->font().family(), "Liberation Sans");
  EXPECT_EQ(heading.widget()->font().pixelSize(), 13);
  EXPECT_TRUE(heading.widget()->font().underline());
  EXPECT_EQ(form->Get("Label2").Container(), &form->Get("Frame1"));
  EXPECT_EQ(form->Get("Label2").Caption(), "Uwaga \"cytat\"");
  EXPECT_EQ(form->Get("Frame1").Caption(), "TORMEX");
  EXPECT_EQ(form->Get("Frame1").TabIndex(), 1);
  EXPECT_EQ(form->Get("chkHot").Tag(), "hot key");
  EXPECT_EQ(form->Get<CheckBox>("chkHot").Value(), 1);
  EXPECT_EQ(form->Get("Command1").Caption(), "&Dalej");
  EXPECT_EQ(form->BackColor(), Rgb(0x80, 0x80, 0xFF));
  EXPECT_EQ(ToQColor(form->BackColor()), QColor(0x80, 0x80, 0xFF));
  // Lists, option arrays, the image at its picture's size.
  auto& list = form->Get<ListBox>("lstWagi");
  EXPECT_EQ(list.ListCount(), 3);
  EXPECT_EQ(list.List(2), "Ramka 2");
  EXPECT_TRUE(form->Get<OptionButton>("opModPracy", 0).Value());
  EXPECT_FALSE(form->Get<OptionButton>("opModPracy", 1).Value());
  EXPECT_EQ(form->Get("Image1").Width(), 209 * 15);
  EXPECT_EQ(form->Get("Image1").Height(), 150 * 15);
  EXPECT_EQ(form->Get<Timer>("Timer1").Interval(), 5000);
  EXPECT_FALSE(form->Get<Timer>("Timer1").Enabled());
  EXPECT_EQ(form->Get<Slider>("Slider1").Min(), -9999);
  EXPECT_EQ(form->Get<TextBox>("txtMax").Text(), "000250");
  EXPECT_EQ(form->Get<TextBox>("txtMax").MaxLength(), 6);
  EXPECT_EQ(form->Get<TextBox>("txtMax").Alignment(), 1);
  EXPECT_EQ(form->Get<ImageList>("ImageList1").Count(), 2);
  EXPECT_THROW(form->Get<ImageList>("ImageList1").ListImage(3), platform::VbError);
  EXPECT_EQ(form->Get<MSComm>("MSComm1").port().CommPort(), 3);
  EXPECT_EQ(form->Get<MSComm>("MSComm1").port().Settings(), "19200,N,8,1");
  EXPECT_FALSE(form->Get("mnuTray").Visible());
}

// Qt puts the user's locale in force at start; on a Polish desktop the C
// library's decimal mark is ",", and the descriptions still read "8.25".
TEST_F(DescriptionTest, NumbersKeepTheirPointOnAPolishDesktop) {
  testing_support::PolishLocale polish;
  ASSERT_TRUE(polish.SetProcessLocale());
  auto form = LoadForm(kWindow, "test.frm");
  EXPECT_DOUBLE_EQ(form->Get<Label>("Label12").Font().size, 9.75);
  EXPECT_EQ(FormatPropertyValue(9.75), "9.75");
  PropertyBag bag;
  bag.Set("scale", PropertyValue(std::string("12.5")));
  EXPECT_DOUBLE_EQ(bag.ReadProperty("scale", 0.0), 12.5);
}

TEST_F(DescriptionTest, FirstBlockLiesOnTopAndWindowlessKindsBelow) {
  const char text[] = R"(Begin Form F
  Begin Label Label1
    Caption = "Zamknij to okno"
    Width = 600
    Height = 300
  End
  Begin Image Image1
    Width = 600
    Height = 300
  End
  Begin PictureBox Picture1
    Width = 600
    Height = 300
  End
End
)";
  auto form = LoadForm(text, "z.frm");
  const QObjectList& stack = form->ClientWidget()->children();  // bottom first
  auto at = [&](const char* name) { return stack.indexOf(form->Get(name).widget()); };
  EXPECT_LT(at("Image1"), at("Label1"));
  EXPECT_LT(at("Label1"), at("Picture1"));
  // ZOrder moves each within its own layer.
  form->Get("Image1").ZOrder(0);
  EXPECT_LT(at("Label1"), at("Image1"));
  EXPECT_LT(at("Image1"), at("Picture1"));
  form->Get("Picture1").ZOrder(1);
  EXPECT_LT(at("Image1"), at("Picture1"));
  form->Get("Label1").ZOrder(1);
  EXPECT_EQ(at("Label1"), 0);
}

// Loading text that must fail, and the line its message names.
void ExpectFailure(const std::string& text, int line, const std::string& part) {
  try {
    LoadForm(text, "broken.frm");
    ADD_FAILURE() << "loaded: " << text;
  } catch (const DescriptionError& e) {
    EXPECT_EQ(e.line(), line) << e.what();
    const std::string what = e.what();
    EXPECT_EQ(what.rfind("broken.frm:" + std::to_string(line) + ": ", 0), 0u) << what;
    EXPECT_NE(what.find(part), std::string::npos) << what;
  }
}

TEST_F(DescriptionTest, FailuresNameTheLine) {
  ExpectFailure("Begin Form F\n  Begin Gauge G1\n  End\nEnd\n", 2, "unknown kind 'Gauge'");
  ExpectFailure("Begin Form F\n  Begin Label L\n    Colour = 5\n  End\nEnd\n", 3,
                "unknown property 'Colour'");
  // A property another kind has.
  ExpectFailure("Begin Form F\n  Begin Label L\n    Interval = 5\n  End\nEnd\n", 3,
                "unknown property");
  ExpectFailure("Begin Form F\n  Begin Label L\n    TabStop = True\n  End\nEnd\n", 3,
                "unknown property 'TabStop'");
  ExpectFailure("Begin Form F\n  Begin Label L\n    Left = 1O0\n  End\nEnd\n", 3, "Left");
  ExpectFailure("Begin Form F\n  Begin Label L\n    Left = \"100\"\n  End\nEnd\n", 3, "Left");
  ExpectFailure("Begin Form F\n  Begin Label L\n    Caption = \"open\n  End\nEnd\n", 3,
                "closing quote");
  ExpectFailure("Begin Form F\n  BackColor = &H00GG0000&\nEnd\n", 2, "colour");
  ExpectFailure("Begin Form F\n  Index = 1\nEnd\n", 2, "unknown property 'Index' for Form");
  ExpectFailure("Begin Form F\n  Begin Label L\n    Index = -1\n  End\nEnd\n", 3, "Index");
  ExpectFailure("Begin Form F\n  Font = \"Arial\" 9\nEnd\n", 2, "font");
  ExpectFailure("Begin Form F\n  Font = \"Arial\" 9 400 238 Bold\nEnd\n", 2, "style");
  ExpectFailure("Begin Form F\n  Begin CheckBox C\n    Value = 3\n  End\nEnd\n", 3, "Value");
  ExpectFailure("Begin Form F\n  Begin TextBox T\n    Alignment = 7\n  End\nEnd\n", 3, "Alignment");
  ExpectFailure("Begin Form F\n  Begin Image I\n    Picture = \"nowhere\"\n  End\nEnd\n", 3,
                "unknown picture");
  ExpectFailure("Begin Form F\n  Begin MSComm M\n    Settings = \"fast\"\n  End\nEnd\n", 3,
                "Settings");
  // Structure.
  ExpectFailure("Begin Form F\n  Begin Label L\n  End\n", 1, "left open");
  ExpectFailure("Begin Form F\nEnd\nEnd\n", 3, "'End' without");
  ExpectFailure("Begin Form F\nEnd\nBegin Form G\nEnd\n", 3, "one window");
  ExpectFailure("Caption = \"x\"\n", 1, "outside any block");
  ExpectFailure("Begin Form F\n  just words\nEnd\n", 2, "expected");
  ExpectFailure("Begin Form\nEnd\n", 1, "Begin <Kind> <Name>");
  ExpectFailure("Begin Label L\nEnd\n", 1, "Form");
  ExpectFailure("# nothing\n", 1, "no window");
  ExpectFailure("Begin Form F\n  Begin Label L\n    Begin Label M\n    End\n  End\nEnd\n", 3,
                "cannot hold");
  ExpectFailure("Begin Form F\n  Begin Label L\n  End\n  Begin Label l\n  End\nEnd\n", 4,
                "second control");
  ExpectFailure("Begin Form F\n  Begin Menu M\n    Begin Label L\n    End\n  End\nEnd\n", 3,
                "cannot hold");
}

TEST_F(DescriptionTest, CommentsBlankLinesAndLineEnds) {
  const std::string text =
      "\xEF\xBB\xBF# window\r\n\r\nBegin Form F\r\n  # a comment\r\n  Caption = \"A = B\"\r\n"
      "  Begin Label L\r\n    Caption = \"\"\r\n  End\r\nEnd";
  auto form = LoadForm(text, "crlf.frm");
  EXPECT_EQ(form->Caption(), "A = B");
  EXPECT_EQ(form->Get("L").Caption(), "");
}

TEST_F(DescriptionTest, UserControlsGetTheirStoredPropertiesAsABag) {
  struct Made {
    std::string name;
    int index;
    Control* container;
    bool had_bag;
    PropertyBag bag;
  };
  std::vector<Made> made;
  RegisterUserControl("ButtonXP", [&](const std::string& name, int index, Form&, Control* container,
                                      const PropertyBag* bag) {
    made.push_back({name, index, container, bag != nullptr, bag ? *bag : PropertyBag()});
    auto label = std::make_unique<Label>(name, index);  // any control will do here
    return std::unique_ptr<Control>(std::move(label));
  });
  const char text[] = R"(Begin Form F
  Begin PictureBox P
    Begin ButtonXP cmdZamknij
      Index = 2
      Left = 135
      Top = 60
      Tag = "end"
      _extentx = 3995
      _extenty = 953
      font = "MS Sans Serif" 8.25 700 238
      caption = "Zamknij"
      forecolor = &H80000012&
      enabled = False
    End
    Begin ButtonXP cmdPusty
    End
  End
End
)";
  auto form = LoadForm(text, "uc.frm");
  ASSERT_EQ(made.size(), 2u);
  EXPECT_EQ(made[0].name, "cmdZamknij");
  EXPECT_EQ(made[0].index, 2);
  EXPECT_EQ(made[0].container, &form->Get("P"));
  ASSERT_TRUE(made[0].had_bag);
  const PropertyBag& bag = made[0].bag;
  EXPECT_EQ(bag.ReadProperty("Caption", ""), "Zamknij");
  EXPECT_EQ(bag.ReadProperty("ForeColor", Colour{0}), SystemColour(0x12));
  EXPECT_FALSE(bag.ReadProperty("Enabled", true));
  EXPECT_EQ(bag.ReadProperty("Font", FontSpec{}).weight, 700);
  EXPECT_EQ(bag.ReadProperty("_ExtentX", 0), 3995);
  EXPECT_EQ(bag.Find("tag"), nullptr);  // capitalised keys are the host's
  // A block with nothing stored still has its (empty) bag.
  EXPECT_TRUE(made[1].had_bag);
  EXPECT_TRUE(made[1].bag.entries().empty());
  // The host's properties went to the control.
  auto& c = form->Get("cmdZamknij", 2);
  EXPECT_EQ(c.Tag(), "end");
  EXPECT_EQ(c.Left(), 135);
  EXPECT_EQ(c.Container(), &form->Get("P"));
  ExpectFailure("Begin Form F\n  Begin ButtonXP B\n    Colour = 1\n  End\nEnd\n", 3,
                "unknown property 'Colour'");
  ExpectFailure("Begin Form F\n  Begin ButtonXP B\n    rows = \"a\", \"b\"\n  End\nEnd\n", 3,
                "rows");
}

TEST_F(DescriptionTest, DescriptionsReadFromFilesAndResources) {
  try {
    LoadFormResource(":/ui/none.frm");
    FAIL();
  } catch (const DescriptionError& e) {
    EXPECT_EQ(std::string(e.what()).rfind(":/ui/none.frm:0: ", 0), 0u) << e.what();
  }
  testing_support::TempFolder dir;
  testing_support::WriteBytes(dir.File("w.frm"),
                              "Begin Form W\n  Caption = \"Wagi \xC5\x82\"\nEnd\n");
  auto form = LoadFormResource(dir.File("w.frm"));
  EXPECT_EQ(form->Caption(), "Wagi ł");
}

}  // namespace
}  // namespace tk

#include "toolkit/description.h"

#include <gtest/gtest.h>

#include <QImage>

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
    Default = True
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
      Caption = "Poka\u017C okno"
    End
  End
  Begin ImageList ImageList1
    ImageWidth = 16
    ImageHeight = 16
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

}  // namespace
}  // namespace tk

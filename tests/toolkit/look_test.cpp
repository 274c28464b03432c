// Colours, fonts, pictures and the smaller behaviours of the kinds.
#include <gtest/gtest.h>

#include <QLabel>
#include <QSlider>
#include <QTest>

#include "toolkit/description.h"

namespace tk {
namespace {

TEST(LookTest, ColoursAreBlueGreenRedWithTheDesktopsSystemColours) {
  EXPECT_EQ(ToQColor(0x000000FFu), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(Rgb(0xE0, 0xE0, 0xFF)), QColor(0xE0, 0xE0, 0xFF));
  EXPECT_EQ(ToQColor(0x00FF8080u), QColor(0x80, 0x80, 0xFF));
  EXPECT_EQ(ToQColor(SystemColour(0x0F)), QColor(0xF0, 0xF0, 0xF0));  // button face
  EXPECT_EQ(ToQColor(SystemColour(5)), QColor(0xFF, 0xFF, 0xFF));     // window
  EXPECT_EQ(ToQColor(SystemColour(8)), QColor(0, 0, 0));              // window text
  EXPECT_EQ(ToQColor(SystemColour(0x12)), QColor(0, 0, 0));           // button text
  EXPECT_EQ(ToQColor(SystemColour(0xEE)), QColor(0, 0, 0));           // no such index
}

TEST(LookTest, FontsUseTheFreeFacesAtTheDesignsPixelSizes) {
  FontSpec design;
  QFont f = ToQFont(design);
  EXPECT_EQ(f.family(), "Liberation Sans");
  EXPECT_EQ(f.pixelSize(), 11);  // 8.25 pt at 96 dpi
  EXPECT_EQ(f.weight(), QFont::Normal);
  design.name = "MS Serif";
  design.size = 12;
  design.weight = 700;
  design.italic = true;
  f = ToQFont(design);
  EXPECT_EQ(f.family(), "Liberation Serif");
  EXPECT_EQ(f.pixelSize(), 16);
  EXPECT_EQ(f.weight(), QFont::Bold);
  EXPECT_TRUE(f.italic());
  design.name = "Verdana";
  EXPECT_EQ(ToQFont(design).family(), "Liberation Sans");
  design.name = "arial";
  design.size = 9;
  EXPECT_EQ(ToQFont(design).family(), "Liberation Sans");
  EXPECT_EQ(ToQFont(design).pixelSize(), 12);
  // The substitution also holds for fonts made by name elsewhere.
  EXPECT_EQ(QFont::substitute("MS Sans Serif").compare("Liberation Sans", Qt::CaseInsensitive), 0);
  EXPECT_EQ(QFont::substitute("MS Serif").compare("Liberation Serif", Qt::CaseInsensitive), 0);
}

const char kKinds[] = R"(Begin Form F
  ClientWidth = 6000
  ClientHeight = 4000
  Begin Image Image1
    Stretch = True
    Left = 75
    Top = 75
    Width = 1500
    Height = 750
  End
  Begin Image Image2
    Left = 2000
    Top = 75
    Width = 15
    Height = 15
  End
  Begin Label Label1
    Caption = "&Zamknij && wyjdź"
    Left = 75
    Top = 1000
  End
  Begin Slider Slider1
    Min = 0
    Max = 100
    Left = 75
    Top = 2000
    Width = 3000
    Height = 450
  End
End
)";

TEST(LookTest, ImagesStretchOrTakeThePicturesSize) {
  auto form = LoadForm(kKinds, "kinds.frm");
  QImage picture(40, 20, QImage::Format_RGB32);
  picture.fill(Qt::green);
  auto& stretched = form->Get<Image>("Image1");
  stretched.SetPicture(picture);
  EXPECT_EQ(stretched.Width(), 1500);
  EXPECT_EQ(stretched.Height(), 750);
  EXPECT_EQ(stretched.widget()->grab().toImage().pixelColor(90, 45), QColor(Qt::green));
  // Given what draws it, a stretched image draws its picture when it is
  // first painted, and once.
  int draws = 0;
  stretched.SetPicture([&] { return ++draws, picture; });
  EXPECT_EQ(draws, 0);
  stretched.widget()->grab();
  stretched.widget()->grab();
  EXPECT_EQ(draws, 1);
  auto& plain = form->Get<Image>("Image2");
  plain.SetPicture(picture);
  EXPECT_EQ(plain.Width(), 600);
  EXPECT_EQ(plain.Height(), 300);
  EXPECT_EQ(plain.widget()->size(), QSize(40, 20));
  EXPECT_EQ(&plain.Picture(), &plain.Picture());
  plain.SetPicture(QImage());
  EXPECT_TRUE(plain.Picture().isNull());
}

TEST(LookTest, LabelsShowTheirCaptionWithoutAccessKeyMarks) {
  auto form = LoadForm(kKinds, "kinds.frm");
  auto& label = form->Get<Label>("Label1");
  EXPECT_EQ(label.Caption(), "&Zamknij && wyjdź");
  auto* w = static_cast<QLabel*>(label.widget());
  EXPECT_EQ(w->text(), QString::fromUtf8("Zamknij & wyjdź"));
}

const char kFrames[] = R"(Begin Form F
  ClientWidth = 3000
  ClientHeight = 2000
  Begin Frame Frame1
    Caption = "Typ ramki"
    Left = 75
    Top = 60
    Width = 1635
    Height = 1590
    BackColor = &H00E0E0E0&
    Font = "MS Sans Serif" 9.75 700 238
    Begin ListBox lstTypRamki
      Left = 45
      Top = 225
      Width = 1530
      Height = 1200
    End
  End
End
)";

TEST(LookTest, AFramesCaptionInterruptsItsTopLineAtTheCaptionsMiddle) {
  auto form = LoadForm(kFrames, "frames.frm");
  form->Show();
  Control& frame = form->Get("Frame1");
  const QImage shot = frame.widget()->grab().toImage();
  const QColor back(0xE0, 0xE0, 0xE0);
  // The caption's letters: the dark pixels, all above the list.
  int text_top = shot.height(), text_bottom = -1, text_left = shot.width(), text_right = -1;
  for (int y = 0; y < 15; ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      if (shot.pixelColor(x, y).lightness() >= 110) continue;
      text_top = std::min(text_top, y), text_bottom = std::max(text_bottom, y);
      text_left = std::min(text_left, x), text_right = std::max(text_right, x);
    }
  }
  ASSERT_GE(text_bottom, 0) << "no caption drawn";
  EXPECT_LT(text_left, 15);  // near the left
  // The top line: the first row drawn across the right half, beside the caption.
  int line = -1;
  for (int y = 0; y < shot.height() / 2 && line < 0; ++y) {
    bool across = true;
    for (int x = std::max(text_right + 8, shot.width() / 2); x < shot.width() - 3; ++x) {
      across = across && shot.pixelColor(x, y) != back;
    }
    if (across) line = y;
  }
  ASSERT_GE(line, 0) << "no top line";
  EXPECT_LE(std::abs(line - (text_top + text_bottom) / 2), 2) << line;
  // Continuous but for the letters' room: their advance, a pixel or two past
  // the ink, and the padding.
  const QColor ink = shot.pixelColor(shot.width() - 4, line);
  std::vector<int> gaps;
  for (int x = 1; x < shot.width() - 3; ++x) {
    const bool at_caption = x >= text_left - 4 && x <= text_right + 7;
    if (!at_caption && shot.pixelColor(x, line) != ink) gaps.push_back(x);
  }
  EXPECT_TRUE(gaps.empty()) << "first gap at " << gaps.front();
  // Interrupted, with a little room either side of the letters.
  EXPECT_EQ(shot.pixelColor(text_left - 2, line), back);
  EXPECT_EQ(shot.pixelColor(text_right + 3, line), back);
}

TEST(LookTest, SliderDraggingRaisesMovedAtEveryStepAndOnRelease) {
  auto form = LoadForm(kKinds, "kinds.frm");
  auto& slider = form->Get<Slider>("Slider1");
  std::vector<int> seen;
  slider.Moved = [&] { seen.push_back(slider.Value()); };
  auto* w = static_cast<QSlider*>(slider.widget());
  // The drag as the widget sees it: pressed, moved step by step, let go.
  w->setSliderDown(true);
  w->setSliderPosition(10);
  w->setSliderPosition(20);
  w->setSliderDown(false);
  EXPECT_EQ(seen, std::vector<int>({10, 20, 20}));
  slider.SetValue(50);  // the program's own moves raise nothing
  EXPECT_EQ(seen.size(), 3u);
}

}  // namespace
}  // namespace tk

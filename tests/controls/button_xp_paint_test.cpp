// The button's looks, pixel by pixel, rendered offscreen.

#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "controls/button_xp.h"
#include "toolkit/device_context.h"

namespace controls {
namespace {

using tk::Colour;
using tk::Rgb;

QRgb Hex(uint32_t rrggbb) { return rrggbb & 0xFFFFFF; }

class ButtonPaintTest : public ::testing::Test {
 protected:
  ButtonPaintTest() {
    // The pointer is nowhere near the button.
    tk::SetPointerSources([] { return QPoint(-5000, -5000); },
                          [](const QPoint&) -> QWidget* { return nullptr; });
    parent_.resize(400, 300);
  }
  ~ButtonPaintTest() override { tk::SetPointerSources(nullptr, nullptr); }

  ButtonXP& Make(int w, int h, const std::string& caption = "") {
    button_ = std::make_unique<ButtonXP>("cmdTest", -1);
    button_->UserControl_InitProperties();
    button_->mutable_state().m_Caption = caption;
    button_->widget()->setParent(&parent_);
    button_->widget()->setGeometry(10, 10, w, h);
    parent_.show();
    button_->widget()->show();
    button_->HostResized();
    return *button_;
  }
  QRgb At(int x, int y) const { return button_->Image().pixel(x, y) & 0xFFFFFF; }
  QRgb Back() const { return 0xF0F0F0; }  // the button face of the system palette
  // The rows' colour at column x, for rows [from, to].
  void ExpectColumn(int x, int from, int to, QRgb start, int dr, int dg, int db, int steps) {
    for (int y = from; y <= to; ++y) {
      const int k = std::min(y - from, steps);
      const QRgb want = ((((start >> 16) & 0xFF) + k * dr) << 16) |
                        ((((start >> 8) & 0xFF) + k * dg) << 8) | ((start & 0xFF) + k * db);
      EXPECT_EQ(At(x, y), want) << "x " << x << " y " << y;
    }
  }
  void ExpectRow(int y, int from, int to, QRgb colour) {
    for (int x = from; x <= to; ++x) EXPECT_EQ(At(x, y), colour) << "x " << x << " y " << y;
  }
  void ExpectBorder(int w, int h) {
    const QRgb frame = Hex(0x003C74), outer = Hex(0x7A95A8), inner = Hex(0x255783);
    for (int x : {0, 2, w / 2, w - 3, w - 1}) {
      EXPECT_EQ(At(x, 0), frame) << x;
      EXPECT_EQ(At(x, h - 1), frame) << x;
    }
    EXPECT_EQ(At(0, 0), frame);
    EXPECT_EQ(At(w - 1, h - 1), frame);
    EXPECT_EQ(At(0, 1), outer);
    EXPECT_EQ(At(1, 1), inner);
    EXPECT_EQ(At(1, 0), outer);
    EXPECT_EQ(At(w - 2, 0), outer);
    EXPECT_EQ(At(w - 2, 1), inner);
    EXPECT_EQ(At(w - 1, 1), outer);
    EXPECT_EQ(At(0, h - 2), outer);
    EXPECT_EQ(At(1, h - 2), inner);
    EXPECT_EQ(At(1, h - 1), outer);
    EXPECT_EQ(At(w - 1, h - 2), outer);
    EXPECT_EQ(At(w - 2, h - 2), inner);
    EXPECT_EQ(At(w - 2, h - 1), outer);
  }
  bool HasColour(QRgb colour, int top = 0, int bottom = -1) const {
    const QImage& img = button_->Image();
    if (bottom < 0) bottom = img.height();
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < img.width(); ++x)
        if ((img.pixel(x, y) & 0xFFFFFF) == colour) return true;
    return false;
  }

  QWidget parent_;
  std::unique_ptr<ButtonXP> button_;
};

TEST_F(ButtonPaintTest, Released127x21) {
  Make(127, 21);
  button_->Redraw(0);
  for (int x : {1, 60, 125}) ExpectColumn(x, 3, 16, Hex(0xFFFFFD), -1, -1, -1, 24);
  EXPECT_EQ(At(60, 16), Hex(0xF2F2F0));
  ExpectRow(17, 1, 125, Hex(0xECEBE6));
  ExpectRow(18, 1, 125, Hex(0xE2DFD6));
  ExpectRow(19, 2, 124, Hex(0xD6D0C5));
  ExpectRow(1, 2, 124, Back());
  ExpectRow(2, 1, 125, Back());
  for (int y = 2; y <= 18; ++y) {
    EXPECT_EQ(At(0, y), Hex(0x003C74)) << y;
    EXPECT_EQ(At(126, y), Hex(0x003C74)) << y;
  }
  ExpectBorder(127, 21);
}

TEST_F(ButtonPaintTest, Focused127x21) {
  Make(127, 21);
  button_->mutable_state().HasFocus = true;
  button_->Redraw(0);
  for (int x : {1, 2, 124, 125}) ExpectColumn(x, 3, 17, Hex(0xBAD3F6), -4, -3, -1, 19);
  EXPECT_EQ(At(1, 17), Hex(0x82A9E8));
  ExpectColumn(3, 3, 16, Hex(0xFFFFFD), -1, -1, -1, 24);  // the face between the bands
  ExpectRow(18, 1, 124, Hex(0x7EA6E7));
  EXPECT_EQ(At(125, 18), Hex(0xE2DFD6));
  ExpectRow(1, 2, 124, Hex(0xCEE7FB));
  ExpectRow(2, 1, 125, Hex(0xBCD4F6));
  EXPECT_EQ(At(2, 19), Hex(0x4D7DC1));
  ExpectRow(19, 3, 123, Hex(0x617DE5));
  EXPECT_EQ(At(124, 19), Hex(0x4D7DC1));
  ExpectBorder(127, 21);
}

TEST_F(ButtonPaintTest, Hovered127x21) {
  Make(127, 21);
  button_->mutable_state().IsHover = true;
  button_->Redraw(0);
  ExpectColumn(1, 2, 18, Hex(0xFEDF9A), -1, -3, -7, 16);
  EXPECT_EQ(At(1, 18), Hex(0xEEAF2A));
  ExpectColumn(125, 2, 17, Hex(0xFEDF9A), -1, -3, -7, 16);
  ExpectColumn(2, 3, 18, Hex(0xFCD279), -1, -4, -8, 9);
  ExpectColumn(124, 3, 18, Hex(0xFCD279), -1, -4, -8, 9);
  for (int y = 12; y <= 18; ++y) EXPECT_EQ(At(2, y), Hex(0xF3AE31)) << y;
  ExpectRow(18, 3, 125, Hex(0xF3AE31));
  ExpectRow(1, 2, 124, Hex(0xFFF0CF));
  ExpectRow(2, 2, 124, Hex(0xFDD889));
  ExpectRow(19, 2, 124, Hex(0xE59700));
  ExpectBorder(127, 21);
}

TEST_F(ButtonPaintTest, HoverWinsOverFocus) {
  Make(127, 21);
  button_->mutable_state().IsHover = true;
  button_->mutable_state().HasFocus = true;
  button_->Redraw(0);
  EXPECT_EQ(At(1, 1 + 17), Hex(0xEEAF2A));
  EXPECT_FALSE(HasColour(Hex(0x617DE5)));
}

TEST_F(ButtonPaintTest, PressedFaceBandsCoverTheFace) {
  Make(127, 21);
  button_->mutable_state().LastButton = 1;
  button_->Redraw(1);
  ExpectRow(1, 2, 124, Hex(0xD1CCC0));
  ExpectRow(2, 1, 125, Hex(0xDCD8CF));
  for (int y = 3; y <= 4; ++y) ExpectRow(y, 1, 125, Hex(0xE2E1DA));
  for (int y = 5; y <= 17; ++y) ExpectRow(y, 1, 125, Hex(0xE1E0D9));
  ExpectRow(18, 1, 125, Hex(0xEAE9E3));
  ExpectRow(19, 2, 124, Hex(0xF2F1EE));
  ExpectBorder(127, 21);
  EXPECT_FALSE(HasColour(Back()));
}

TEST_F(ButtonPaintTest, PressedRequestWithOtherButtonDrawsReleased) {
  Make(127, 21);
  button_->mutable_state().LastButton = 2;
  button_->mutable_state().HasFocus = true;
  button_->Redraw(1);
  EXPECT_EQ(At(60, 3), Hex(0xFFFFFD));
  EXPECT_EQ(At(1, 3), Hex(0xBAD3F6));  // with the focus frame
}

TEST_F(ButtonPaintTest, PressedWhileHoveredHasNoFrameButHoverCaption) {
  Make(127, 21, "MMMMMM");
  button_->SetForeHover(Rgb(255, 0, 0));
  button_->mutable_state().LastButton = 1;
  button_->mutable_state().IsHover = true;
  button_->Redraw(1);
  EXPECT_EQ(At(1, 10), Hex(0xE1E0D9));
  EXPECT_TRUE(HasColour(Hex(0xFF0000)));
}

TEST_F(ButtonPaintTest, Tall32RowsHoldTheLastGradientColour) {
  Make(60, 40);
  button_->Redraw(0);
  ExpectColumn(20, 3, 35, Hex(0xFFFFFD), -1, -1, -1, 24);
  EXPECT_EQ(At(20, 27), Hex(0xE7E7E5));
  EXPECT_EQ(At(20, 35), Hex(0xE7E7E5));
  EXPECT_EQ(At(20, 36), Hex(0xECEBE6));
}

TEST_F(ButtonPaintTest, DisabledLookWhateverTheState) {
  Make(127, 21, "MMMMMM");
  button_->mutable_state().m_Enabled = false;
  button_->mutable_state().IsHover = true;
  button_->mutable_state().HasFocus = true;
  button_->mutable_state().LastButton = 1;
  button_->Redraw(1);
  EXPECT_EQ(At(5, 5), Hex(0xF5F4EA));
  ExpectRow(0, 2, 124, Hex(0xC9C7BA));
  ExpectRow(20, 2, 124, Hex(0xC9C7BA));
  EXPECT_EQ(At(0, 0), Hex(0xC9C7BA));
  const QRgb dark = Hex(0xD8D5C7), light = Hex(0xEAE9DE);
  EXPECT_EQ(At(0, 1), dark);
  EXPECT_EQ(At(1, 1), dark);
  EXPECT_EQ(At(1, 0), dark);
  EXPECT_EQ(At(1, 2), light);
  EXPECT_EQ(At(2, 1), light);
  EXPECT_EQ(At(125, 0), dark);
  EXPECT_EQ(At(124, 1), light);
  EXPECT_EQ(At(125, 2), light);
  EXPECT_EQ(At(1, 20), dark);
  EXPECT_EQ(At(1, 18), light);
  EXPECT_EQ(At(2, 19), light);
  EXPECT_EQ(At(126, 19), dark);
  EXPECT_EQ(At(125, 20), dark);
  EXPECT_EQ(At(124, 19), light);
  EXPECT_TRUE(HasColour(Hex(0xA1A192)));
  EXPECT_FALSE(HasColour(Hex(0x003C74)));
  EXPECT_FALSE(HasColour(Hex(0xE59700)));
}

TEST_F(ButtonPaintTest, CaptionInForeColourAndHoverColour) {
  Make(127, 21, "MMMMMM");
  button_->SetForeColor(Rgb(0, 0, 255));
  EXPECT_TRUE(HasColour(Hex(0x0000FF), 4, 18));
  EXPECT_FALSE(HasColour(Hex(0x0000FF), 0, 4));
  button_->SetForeHover(Rgb(0, 255, 0));
  button_->mutable_state().IsHover = true;
  button_->Redraw(0);
  EXPECT_TRUE(HasColour(Hex(0x00FF00)));
  EXPECT_FALSE(HasColour(Hex(0x0000FF)));
}

TEST(CaptionRectTest, HalvesGoToTheEvenNeighbour) {
  tk::Rect r = CaptionRect(127, 21, 14);
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(r.Top, 4);      // 3.5
  EXPECT_EQ(r.Bottom, 18);  // 17.5
  EXPECT_EQ(r.Right, 127);
  r = CaptionRect(127, 20, 13);
  EXPECT_EQ(r.Top, 4);      // 3.5
  EXPECT_EQ(r.Bottom, 16);  // 16.5: the block's last row is clipped
  r = CaptionRect(50, 10, 27);
  EXPECT_EQ(r.Top, -8);  // -8.5
  EXPECT_EQ(r.Bottom, 18);
  r = CaptionRect(50, 21, 13);
  EXPECT_EQ(r.Top, 4);  // exactly 4
  EXPECT_EQ(r.Bottom, 17);
}

TEST_F(ButtonPaintTest, CaptionStaysInsideItsRectangle) {
  Make(127, 20, "Zamknij");
  button_->SetFont(tk::FontSpec{});
  button_->SetForeColor(Rgb(0, 0, 255));
  QFontMetrics fm(tk::ToQFont(tk::FontSpec{}));
  const tk::Rect r = CaptionRect(127, 20, fm.height());
  EXPECT_TRUE(HasColour(Hex(0x0000FF), r.Top, r.Bottom));
  EXPECT_FALSE(HasColour(Hex(0x0000FF), 0, r.Top));
  EXPECT_FALSE(HasColour(Hex(0x0000FF), r.Bottom, 20));
}

TEST_F(ButtonPaintTest, WindowShapeLeavesOutTheFourCorners) {
  Make(127, 21);
  button_->Redraw(0);
  const QRegion shape = tk::WindowRegion(button_->hWnd());
  int inside = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 127; ++x) inside += shape.contains(QPoint(x, y));
  EXPECT_EQ(inside, 127 * 21 - 4);
  for (QPoint p : {QPoint(0, 0), QPoint(126, 0), QPoint(0, 20), QPoint(126, 20)}) {
    EXPECT_FALSE(shape.contains(p));
  }
  EXPECT_TRUE(shape.contains(QPoint(1, 0)));

  // Up to 2 x 2 pixels a button is all corners: nothing of it shows.
  for (int side : {1, 2}) {
    Make(side, side);
    button_->widget()->hide();
    const QImage without = parent_.grab(QRect(10, 10, side, side)).toImage();
    button_->widget()->show();
    button_->Redraw(0);
    EXPECT_EQ(parent_.grab(QRect(10, 10, side, side)).toImage(), without) << side;
  }
}

TEST_F(ButtonPaintTest, RedrawLeaksNoObjects) {
  Make(127, 21, "Ok");
  const int before = tk::GdiObjectCount();
  for (int i = 0; i < 3; ++i) {
    button_->mutable_state().LastButton = 1;
    button_->Redraw(1);
    button_->mutable_state().IsHover = true;
    button_->Redraw(0);
    button_->mutable_state().IsHover = false;
    button_->mutable_state().HasFocus = true;
    button_->Redraw(0);
    button_->mutable_state().m_Enabled = false;
    button_->Redraw(0);
    button_->mutable_state().m_Enabled = true;
  }
  EXPECT_EQ(tk::GdiObjectCount(), before);
}

TEST_F(ButtonPaintTest, TinyButtonsPaintOnlyWhatFits) {
  for (int h : {1, 2, 3, 4, 5}) {
    Make(8, h, "x");
    button_->Redraw(0);
    button_->mutable_state().HasFocus = true;
    button_->Redraw(0);
    button_->mutable_state().IsHover = true;
    button_->Redraw(0);
    button_->mutable_state().LastButton = 1;
    button_->Redraw(1);
    button_->mutable_state().m_Enabled = false;
    button_->Redraw(0);
  }
  Make(10, 5);
  button_->Redraw(0);
  EXPECT_EQ(At(4, 1), Hex(0xECEBE6));      // H - 4
  EXPECT_EQ(At(4, 2), Hex(0xE2DFD6));      // H - 3
  EXPECT_EQ(At(4, 3), Hex(0xD6D0C5));      // H - 2
  EXPECT_FALSE(HasColour(Hex(0xFFFFFD)));  // no gradient row
  Make(1, 1);
  button_->Redraw(0);
  Make(0, 0);
  button_->Redraw(0);
}

}  // namespace
}  // namespace controls

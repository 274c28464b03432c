// The pictures drawn in code.

#include "ui/pictures.h"

#include <gtest/gtest.h>

namespace {

int GreenPixelsInColumn(const QImage& image, int x) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    const QColor c = image.pixelColor(x, y);
    if (c.green() > 120 && c.red() < 100 && c.blue() < 100) ++n;
  }
  return n;
}

// The row of the topmost green pixel in a column, -1 when none.
int GreenRow(const QImage& image, int x) {
  for (int y = 0; y < image.height(); ++y) {
    const QColor c = image.pixelColor(x, y);
    if (c.green() > 120 && c.red() < 100 && c.blue() < 100) return y;
  }
  return -1;
}

TEST(PicturesTest, ChartsHaveTheirPixelSizesOnWhite) {
  EXPECT_EQ(ui::DrawChart(0).size(), QSize(447, 224));
  EXPECT_EQ(ui::DrawChart(1).size(), QSize(393, 224));
  EXPECT_EQ(ui::DrawChart(2).size(), QSize(393, 224));
  for (int mode = 0; mode < 3; ++mode) {
    const QImage chart = ui::DrawChart(mode);
    EXPECT_EQ(chart.pixelColor(2, 2), QColor(Qt::white)) << mode;
    EXPECT_EQ(chart.pixelColor(chart.width() - 3, 2), QColor(Qt::white)) << mode;
  }
}

TEST(PicturesTest, ChartLinesFollowTheirModes) {
  // Mode 0 rises steadily; mode 1 is a V; mode 2 is level, then rises.
  const QImage m0 = ui::DrawChart(0), m1 = ui::DrawChart(1), m2 = ui::DrawChart(2);
  const int q0 = m0.width() / 4, h0 = m0.width() / 2, t0 = 3 * m0.width() / 4;
  EXPECT_GT(GreenRow(m0, q0), GreenRow(m0, h0));
  EXPECT_GT(GreenRow(m0, h0), GreenRow(m0, t0));
  const int q = m1.width() / 4, h = m1.width() / 2, t = 3 * m1.width() / 4;
  EXPECT_LT(GreenRow(m1, q), GreenRow(m1, h));
  EXPECT_GT(GreenRow(m1, h), GreenRow(m1, t));
  EXPECT_NEAR(GreenRow(m1, q), GreenRow(m1, t), 2);
  EXPECT_NEAR(GreenRow(m2, q), GreenRow(m2, h - 20), 1);
  EXPECT_GT(GreenRow(m2, h), GreenRow(m2, t));
  EXPECT_GE(GreenPixelsInColumn(m2, q), 3);  // a thick line
}

TEST(PicturesTest, IconsPointerBackgroundAndProgramIconHaveTheirSizes) {
  for (const QImage& icon : {ui::DrawExclamationIcon(), ui::DrawNotepadIcon(), ui::DrawCableIcon(),
                             ui::DrawComputersIcon(), ui::DrawChipIcon(), ui::DrawProgramIcon()}) {
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_FALSE(icon.isNull());
  }
  const QImage hand = ui::DrawHandPointer();
  EXPECT_EQ(hand.size(), QSize(32, 32));
  EXPECT_GT(hand.pixelColor(12, 2).alpha(), 0);  // the fingertip lies on the hot spot
  EXPECT_EQ(hand.pixelColor(0, 0).alpha(), 0);
  EXPECT_EQ(ui::DrawBackground().size(), QSize(579, 488));
}

}  // namespace

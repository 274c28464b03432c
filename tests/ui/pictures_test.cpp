// The pictures drawn in code.

#include "ui/pictures.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
#include <cmath>

#include "ui_test_support.h"

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
  EXPECT_EQ(ui::DrawBackground(QSize(332, 328)).size(), QSize(332, 328));
  // No memory for it: no picture, nothing drawn.
  EXPECT_TRUE(ui::DrawBackground(QSize(1 << 30, 1 << 30)).isNull());
}

// The relative luminance of a colour as the readability guidelines (WCAG)
// define it, and the contrast ratio of two colours.
double Luminance(const QColor& c) {
  auto linear = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}
double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class PictureOnWindowTest : public ui_test::WindowTest {};

TEST_F(PictureOnWindowTest, TheCreditLabelCanBeReadOnTheBackground) {
  UseDeliveredFiles();
  Start();
  // Drawn at the size it is shown, so painted without scaling.
  EXPECT_EQ(Get<tk::Image>("TORMEX").Picture().size(), C("TORMEX").widget()->size());
  auto* label = static_cast<QLabel*>(C("Label4").widget());
  const QColor ink = label->palette().color(QPalette::WindowText);
  EXPECT_EQ(ink, QColor(0, 0, 0xC0));
  QWidget* window = form().widget()->window();
  // The text's box: the label's top left, as wide and high as its text.
  const QFontMetrics metrics(label->font());
  const QRect text = QRect(label->mapTo(window, QPoint(0, 0)),
                           QSize(metrics.horizontalAdvance(label->text()), metrics.height()))
                         .intersected(QRect(label->mapTo(window, QPoint(0, 0)), label->size()))
                         .intersected(window->rect());
  ASSERT_FALSE(text.isEmpty());
  label->hide();  // the picture behind it
  const QImage behind = window->grab().toImage();
  double worst = 21;
  for (int y = text.top(); y <= text.bottom(); ++y) {
    for (int x = text.left(); x <= text.right(); ++x) {
      worst = std::min(worst, Contrast(ink, behind.pixelColor(x, y)));
    }
  }
  EXPECT_GE(worst, 4.5);
}

}  // namespace

#include "toolkit/device_context.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace tk {
namespace {

class DeviceContextTest : public ::testing::Test {
 protected:
  DeviceContextTest() : image_(10, 8, QImage::Format_RGB32), dc_(&image_) {
    image_.fill(Qt::white);
  }
  QRgb At(int x, int y) const { return image_.pixel(x, y) & 0xFFFFFF; }
  void Line(int width, int x1, int y1, int x2, int y2, Colour c = Rgb(255, 0, 0)) {
    GdiHandle pen = CreatePen(PS_SOLID, width, c);
    GdiHandle old = SelectObject(&dc_, pen);
    MoveToEx(&dc_, x1, y1, nullptr);
    LineTo(&dc_, x2, y2);
    EXPECT_EQ(SelectObject(&dc_, old), pen);
    EXPECT_TRUE(DeleteObject(pen));
  }
  int CountColour(QRgb colour) const {
    int n = 0;
    for (int y = 0; y < image_.height(); ++y)
      for (int x = 0; x < image_.width(); ++x) n += At(x, y) == colour;
    return n;
  }

  QImage image_;
  DeviceContext dc_;
};

constexpr QRgb kRed = 0xFF0000;

TEST_F(DeviceContextTest, LineLeavesItsLastPointUnpainted) {
  Line(1, 2, 3, 6, 3);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(At(x, 3), x >= 2 && x <= 5 ? kRed : 0xFFFFFFu) << x;
  EXPECT_EQ(CountColour(kRed), 4);
  // A line of one step paints exactly its first point.
  Line(1, 8, 5, 8, 6, Rgb(0, 0, 255));
  EXPECT_EQ(At(8, 5), 0x0000FFu);
  EXPECT_EQ(At(8, 6), 0xFFFFFFu);
}

TEST_F(DeviceContextTest, WidePensCoverAcrossTheLine) {
  Line(4, 0, 3, 9, 3);  // rows 1..4, columns 0..8
  for (int y = 0; y < 8; ++y) {
    EXPECT_EQ(At(0, y), y >= 1 && y <= 4 ? kRed : 0xFFFFFFu) << y;
    EXPECT_EQ(At(9, y), 0xFFFFFFu) << y;
  }
  image_.fill(Qt::white);
  Line(2, 2, 3, 2, 4);  // a vertical stroke: columns 1..2 of row 3
  EXPECT_EQ(CountColour(kRed), 2);
  EXPECT_EQ(At(1, 3), kRed);
  EXPECT_EQ(At(2, 3), kRed);
}

TEST_F(DeviceContextTest, DrawingOutsideTheImageIsDropped) {
  Line(4, -5, 0, 20, 0);  // rows -2..1
  EXPECT_EQ(CountColour(kRed), 20);
  EXPECT_EQ(SetPixel(&dc_, 10, 0, Rgb(0, 0, 255)), Rgb(0, 0, 255));
  EXPECT_EQ(SetPixel(&dc_, -1, -1, Rgb(0, 0, 255)), Rgb(0, 0, 255));
  EXPECT_EQ(CountColour(0x0000FF), 0);
}

TEST_F(DeviceContextTest, FillAndFrameExcludeRightAndBottom) {
  Rect r;
  SetRect(&r, 1, 1, 4, 3);
  GdiHandle brush = CreateSolidBrush(Rgb(0, 255, 0));
  FillRect(&dc_, &r, brush);
  EXPECT_EQ(CountColour(0x00FF00), 6);
  EXPECT_EQ(At(3, 2), 0x00FF00u);
  EXPECT_EQ(At(4, 2), 0xFFFFFFu);
  EXPECT_EQ(At(3, 3), 0xFFFFFFu);
  DeleteObject(brush);

  image_.fill(Qt::white);
  Rect whole{0, 0, 10, 8};
  brush = CreateSolidBrush(Rgb(0, 0, 255));
  FrameRect(&dc_, &whole, brush);
  DeleteObject(brush);
  EXPECT_EQ(CountColour(0x0000FF), 2 * 10 + 2 * 6);
  EXPECT_EQ(At(9, 7), 0x0000FFu);
  EXPECT_EQ(At(1, 1), 0xFFFFFFu);
}

TEST_F(DeviceContextTest, SystemColoursArePaintedAsThePaletteGivesThem) {
  SetPixel(&dc_, 0, 0, SystemColour(15));   // button face
  SetPixel(&dc_, 1, 0, SystemColour(26));   // hot-tracked item: red, green and blue all differ
  SetPixel(&dc_, 2, 0, SystemColour(200));  // no such entry
  EXPECT_EQ(At(0, 0), 0xF0F0F0u);
  EXPECT_EQ(At(1, 0), 0x0066CCu);
  EXPECT_EQ(At(2, 0), 0x000000u);
}

TEST_F(DeviceContextTest, SelectReturnsThePreviousObjectAndObjectsAreCounted) {
  const int before = GdiObjectCount();
  GdiHandle a = CreatePen(PS_SOLID, 1, 0);
  GdiHandle b = CreatePen(PS_SOLID, 2, 0);
  GdiHandle brush = CreateSolidBrush(0);
  EXPECT_EQ(GdiObjectCount(), before + 3);
  GdiHandle stock = SelectObject(&dc_, a);
  EXPECT_NE(stock, 0);
  EXPECT_EQ(SelectObject(&dc_, b), a);
  EXPECT_EQ(SelectObject(&dc_, stock), b);
  EXPECT_NE(SelectObject(&dc_, brush), 0);
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_FALSE(DeleteObject(a));
  EXPECT_FALSE(DeleteObject(stock));
  DeleteObject(b);
  DeleteObject(brush);
  EXPECT_EQ(GdiObjectCount(), before);
  EXPECT_EQ(SelectObject(&dc_, 123456), 0);  // no such object
}

TEST_F(DeviceContextTest, RegionDifferenceAndWindowShape) {
  const int before = GdiObjectCount();
  GdiHandle whole = CreateRectRgn(0, 0, 5, 4);
  GdiHandle corner = CreateRectRgn(0, 0, 1, 1);
  EXPECT_EQ(CombineRgn(whole, whole, corner, RGN_DIFF), kComplexRegion);
  DeleteObject(corner);
  EXPECT_EQ(CombineRgn(whole, whole, whole, 2), kRegionError);  // only the difference
  QWidget w;
  w.resize(5, 4);
  EXPECT_EQ(SetWindowRgn(&w, whole, true), 1);
  EXPECT_EQ(GdiObjectCount(), before);  // the window holds the shape now
  const QRegion shape = WindowRegion(&w);
  EXPECT_FALSE(shape.contains(QPoint(0, 0)));
  EXPECT_TRUE(shape.contains(QPoint(1, 0)));
  EXPECT_TRUE(shape.contains(QPoint(4, 3)));
  EXPECT_FALSE(shape.contains(QPoint(5, 3)));
  Rect r;
  EXPECT_TRUE(GetClientRect(&w, &r));
  EXPECT_EQ(r.Right, 5);
  EXPECT_EQ(r.Bottom, 4);
}

class DrawTextTest : public ::testing::Test {
 protected:
  DrawTextTest() : image_(200, 60, QImage::Format_RGB32), dc_(&image_) {
    image_.fill(Qt::white);
    QFont f("Liberation Sans");
    f.setPixelSize(11);
    dc_.SetFont(f);
  }
  // The columns holding text colour in rows [top, bottom).
  std::pair<int, int> InkColumns(int top, int bottom) const {
    int first = -1, last = -1;
    for (int x = 0; x < image_.width(); ++x)
      for (int y = top; y < bottom; ++y)
        if ((image_.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
          if (first < 0) first = x;
          last = x;
        }
    return {first, last};
  }
  std::pair<int, int> InkRows() const {
    int first = -1, last = -1;
    for (int y = 0; y < image_.height(); ++y)
      for (int x = 0; x < image_.width(); ++x)
        if ((image_.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
          if (first < 0) first = y;
          last = y;
          break;
        }
    return {first, last};
  }
  // The widths of the blank column runs between the first and the last column
  // holding ink.
  std::vector<int> GapsBetweenInk() const {
    std::vector<int> gaps;
    auto [first, last] = InkColumns(0, image_.height());
    int run = 0;
    for (int x = first; first >= 0 && x <= last; ++x) {
      bool ink = false;
      for (int y = 0; y < image_.height() && !ink; ++y) ink = qGray(image_.pixel(x, y)) < 128;
      if (!ink) {
        ++run;
      } else if (run > 0) {
        gaps.push_back(run);
        run = 0;
      }
    }
    return gaps;
  }
  QImage image_;
  DeviceContext dc_;
};

TEST_F(DrawTextTest, MeasuresWordBrokenLinesWithoutDrawing) {
  Rect one{0, 0, 200, 0};
  const int h1 = DrawTextA(&dc_, "Zamknij", -1, &one, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  EXPECT_GT(h1, 8);
  EXPECT_EQ(one.Bottom, h1);
  EXPECT_LT(one.Right, 200);  // the widest line
  Rect narrow{0, 0, 30, 0};
  const int h3 = DrawTextA(&dc_, "aaaa bbbb cccc", -1, &narrow, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(h3, 3 * h1);
  Rect single{0, 0, 30, 0};
  EXPECT_EQ(DrawTextA(&dc_, "aaaa bbbb cccc", -1, &single, DT_CALCRECT), h1);
  EXPECT_EQ(InkRows().first, -1);  // nothing drawn
  Rect part{0, 0, 30, 0};
  EXPECT_EQ(DrawTextA(&dc_, "aaaa bbbb cccc", 4, &part, DT_CALCRECT | DT_WORDBREAK), h1);
}

TEST_F(DrawTextTest, CentresEachLineAndClipsToTheRectangle) {
  SetTextColor(&dc_, Rgb(0, 0, 0));
  Rect r{0, 10, 200, 20};
  DrawTextA(&dc_, "MMMM", -1, &r, DT_WORDBREAK | DT_CENTER);
  auto [first, last] = InkColumns(0, 60);
  ASSERT_GE(first, 0);
  EXPECT_NEAR((first + last) / 2.0, 100, 3);
  auto [top, bottom] = InkRows();
  EXPECT_GE(top, 10);
  EXPECT_LE(bottom, 19);
}

TEST_F(DrawTextTest, PrefixesUnderlineAndDoubledAmpersandShowsOne) {
  QFontMetrics fm(dc_.font());
  Rect plain{0, 0, 200, 0}, marked{0, 0, 200, 0};
  DrawTextA(&dc_, "a&b", -1, &plain, DT_CALCRECT);
  DrawTextA(&dc_, "ab", -1, &marked, DT_CALCRECT);
  EXPECT_EQ(plain.Right, marked.Right);  // the "&" takes no room
  Rect amp{0, 0, 200, 0};
  DrawTextA(&dc_, "a&&b", -1, &amp, DT_CALCRECT);
  EXPECT_EQ(amp.Right, fm.horizontalAdvance("a&b"));

  // The underline lies below the letters of an otherwise identical text.
  SetTextColor(&dc_, Rgb(0, 0, 0));
  Rect r{0, 0, 200, 30};
  DrawTextA(&dc_, "&xx", -1, &r, 0);
  const int underlined_bottom = InkRows().second;
  image_.fill(Qt::white);
  DrawTextA(&dc_, "xx", -1, &r, 0);
  EXPECT_GT(underlined_bottom, InkRows().second);
}

TEST_F(DrawTextTest, LettersOfAWordStandOneEvenStepApartInBothWeights) {
  SetTextColor(&dc_, Rgb(0, 0, 0));
  FontSpec design;  // the buttons' stored font, "MS Sans Serif" 8.25
  for (int weight : {400, 700}) {
    design.weight = weight;
    dc_.SetFont(ToQFont(design));
    for (const char* word :
         {"Ustaw", "Odbierz", "Pokaż", "wykres", "Wersja", "Zastosuj", "Anuluj", "Zamknij"}) {
      image_.fill(Qt::white);
      Rect r{0, 0, 200, 30};
      DrawTextA(&dc_, word, -1, &r, 0);
      const std::vector<int> gaps = GapsBetweenInk();
      ASSERT_FALSE(gaps.empty()) << word << " " << weight;
      // No gap opens inside the word, and its letters do not run together:
      // at least every other pair of neighbours is kept apart.
      const int pairs = static_cast<int>(QString::fromUtf8(word).size()) - 1;
      EXPECT_LE(*std::max_element(gaps.begin(), gaps.end()), 1) << word << " " << weight;
      EXPECT_GE(static_cast<int>(gaps.size()), pairs / 2) << word << " " << weight;
    }
  }
}

TEST(PointerTest, SourcesCanBeReplacedAndRestored) {
  QWidget w;
  SetPointerSources([] { return QPoint(7, 9); },
                    [&w](const QPoint& p) { return p == QPoint(7, 9) ? &w : nullptr; });
  PointApi p;
  ASSERT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p.x, 7);
  EXPECT_EQ(p.y, 9);
  EXPECT_EQ(WindowFromPoint(p), &w);
  SetPointerSources(nullptr, nullptr);
  EXPECT_EQ(WindowFromPoint(PointApi{-10000, -10000}), nullptr);
}

}  // namespace
}  // namespace tk

namespace tk {
namespace {

TEST(PointerTest, TheRealWindowUnderThePointerHonoursTheShape) {
  QWidget top;
  top.setGeometry(100, 100, 60, 40);
  QWidget child(&top);
  child.setGeometry(10, 10, 20, 10);
  top.show();
  if (!QTest::qWaitForWindowExposed(&top)) GTEST_SKIP() << "no exposed window";
  const QPoint inside = child.mapToGlobal(QPoint(5, 5));
  if (WindowFromPoint(PointApi{inside.x(), inside.y()}) != &child) {
    GTEST_SKIP() << "the platform does not report windows under a point";
  }
  GdiHandle shape = CreateRectRgn(0, 0, 20, 10);
  GdiHandle corner = CreateRectRgn(0, 0, 1, 1);
  CombineRgn(shape, shape, corner, RGN_DIFF);
  DeleteObject(corner);
  SetWindowRgn(&child, shape, true);
  const QPoint cut = child.mapToGlobal(QPoint(0, 0));
  EXPECT_EQ(WindowFromPoint(PointApi{cut.x(), cut.y()}), &top);
  EXPECT_EQ(WindowFromPoint(PointApi{inside.x(), inside.y()}), &child);
}

}  // namespace
}  // namespace tk

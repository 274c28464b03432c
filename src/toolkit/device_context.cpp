#include "toolkit/device_context.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <variant>
#include <vector>

namespace tk {
namespace {

struct Pen {
  int width;
  Colour colour;
};
struct Brush {
  Colour colour;
};
using GdiObject = std::variant<Pen, Brush, QRegion>;

// Stock objects selected into a new device context: a black 1-pixel pen and
// a white brush. They are never deleted.
constexpr GdiHandle kStockPen = 1;
constexpr GdiHandle kStockBrush = 2;
constexpr GdiHandle kFirstHandle = 16;

struct ObjectTable {
  std::unordered_map<GdiHandle, GdiObject> objects;
  GdiHandle next = kFirstHandle;

  GdiHandle Add(GdiObject object) {
    GdiHandle h = next++;
    if (next <= 0) next = kFirstHandle;  // wrapped: start again
    objects.emplace(h, std::move(object));
    return h;
  }
  GdiObject* Find(GdiHandle h) {
    auto it = objects.find(h);
    return it == objects.end() ? nullptr : &it->second;
  }
};

ObjectTable& Objects() {
  static ObjectTable table;
  return table;
}

Pen PenOf(GdiHandle h) {
  if (GdiObject* o = Objects().Find(h)) {
    if (auto* p = std::get_if<Pen>(o)) return *p;
  }
  return Pen{1, 0};
}

bool BrushColour(GdiHandle h, Colour* colour) {
  if (h == kStockBrush) {
    *colour = Rgb(255, 255, 255);
    return true;
  }
  if (GdiObject* o = Objects().Find(h)) {
    if (auto* b = std::get_if<Brush>(o)) {
      *colour = b->colour;
      return true;
    }
  }
  return false;
}

QRegion* RegionOf(GdiHandle h) {
  if (GdiObject* o = Objects().Find(h)) return std::get_if<QRegion>(o);
  return nullptr;
}

CursorPosSource& CursorSource() {
  static CursorPosSource source;
  return source;
}
WindowAtSource& WindowSource() {
  static WindowAtSource source;
  return source;
}
QPointer<QWidget>& CapturedWindow() {
  static QPointer<QWidget> window;
  return window;
}

// One line of text after prefix processing: what is shown, and the index of
// the underlined character (-1 for none).
struct TextLine {
  QString shown;
  int underline = -1;
};

TextLine StripPrefixes(const QString& raw) {
  TextLine line;
  for (int i = 0; i < raw.size(); ++i) {
    QChar c = raw.at(i);
    if (c == QLatin1Char('&')) {
      if (i + 1 >= raw.size()) break;  // a lone trailing "&" shows nothing
      ++i;
      if (raw.at(i) != QLatin1Char('&')) line.underline = line.shown.size();
      line.shown.append(raw.at(i));
      continue;
    }
    line.shown.append(c);
  }
  return line;
}

// Splits a paragraph at blanks into lines no wider than width; a word that
// alone is wider keeps a line of its own. The blanks at a break are dropped.
std::vector<TextLine> BreakWords(const TextLine& paragraph, const QFontMetrics& fm, int width) {
  std::vector<TextLine> lines;
  const QString& s = paragraph.shown;
  int start = 0;
  while (true) {
    int end = start;  // end of the line found so far (exclusive)
    int scan = start;
    bool fitted_any = false;
    while (scan <= s.size()) {
      int word_end = scan;
      while (word_end < s.size() && s.at(word_end) != QLatin1Char(' ')) ++word_end;
      int w = fm.horizontalAdvance(s.mid(start, word_end - start));
      if (fitted_any && w > width) break;
      end = word_end;
      fitted_any = true;
      if (word_end >= s.size()) break;
      scan = word_end + 1;
    }
    TextLine line;
    line.shown = s.mid(start, end - start);
    if (paragraph.underline >= start && paragraph.underline < end) {
      line.underline = paragraph.underline - start;
    }
    lines.push_back(line);
    int next = end;
    while (next < s.size() && s.at(next) == QLatin1Char(' ')) ++next;
    if (next >= s.size()) break;
    start = next;
  }
  return lines;
}

// Paints pixels of one colour on an image, clipped to it. The controls'
// surfaces are RGB32, and a control redraws every pixel of its face: there
// the pixels are written directly, which is what QImage::setPixelColor does
// after a conversion and checks per pixel that cost more than the write.
class PixelPainter {
 public:
  PixelPainter(QImage* target, const QColor& colour) : target_(target), colour_(colour) {
    if (!target_) return;
    width_ = target_->width();
    height_ = target_->height();
    if (target_->format() == QImage::Format_RGB32) {
      bits_ = target_->bits();  // detaches once
      stride_ = target_->bytesPerLine();
      rgb_ = 0xFF000000u | colour.rgb();
    }
  }

  void Paint(int x, int y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    if (bits_) {
      reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_)[x] = rgb_;
    } else {
      target_->setPixelColor(x, y, colour_);
    }
  }

 private:
  QImage* target_;
  QColor colour_;
  int width_ = 0, height_ = 0;
  uchar* bits_ = nullptr;
  qsizetype stride_ = 0;
  QRgb rgb_ = 0;
};

}  // namespace

DeviceContext::DeviceContext(QImage* target)
    : target_(target), pen_(kStockPen), brush_(kStockBrush) {
  SetFont(font_);
}

DeviceContext::~DeviceContext() = default;

void DeviceContext::SetFont(const QFont& font) {
  font_ = font;
  // Text here is set the way the classic interface face set it: whole-pixel
  // glyphs, hinted to the pixel grid at their natural width, so that the
  // letters of a word stand one even step apart. A narrowing stretch cannot
  // be hinted: its glyphs land on rounded positions and open gaps inside
  // words, and a bold face without full hinting runs its letters together.
  font_.setStretch(QFont::Unstretched);
  font_.setHintingPreference(QFont::PreferFullHinting);
  font_.setStyleStrategy(QFont::NoAntialias);
}

void DeviceContext::PaintPixel(int x, int y, const QColor& colour) {
  PixelPainter(target_, colour).Paint(x, y);
}

GdiHandle CreatePen(int style, int width, Colour colour) {
  if (style != PS_SOLID) return 0;
  return Objects().Add(Pen{std::max(1, width), colour});
}

GdiHandle CreateSolidBrush(Colour colour) { return Objects().Add(Brush{colour}); }

GdiHandle SelectObject(HDC dc, GdiHandle object) {
  if (!dc) return 0;
  if (object == kStockPen) {
    GdiHandle old = dc->pen();
    dc->set_pen(object);
    return old;
  }
  if (object == kStockBrush) {
    GdiHandle old = dc->brush();
    dc->set_brush(object);
    return old;
  }
  GdiObject* o = Objects().Find(object);
  if (!o) return 0;
  if (std::holds_alternative<Pen>(*o)) {
    GdiHandle old = dc->pen();
    dc->set_pen(object);
    return old;
  }
  if (std::holds_alternative<Brush>(*o)) {
    GdiHandle old = dc->brush();
    dc->set_brush(object);
    return old;
  }
  return 0;  // regions are not selected in this layer
}

bool DeleteObject(GdiHandle object) { return Objects().objects.erase(object) > 0; }

int GdiObjectCount() { return static_cast<int>(Objects().objects.size()); }

bool MoveToEx(HDC dc, int x, int y, PointApi* previous) {
  if (!dc) return false;
  if (previous) *previous = dc->position();
  dc->set_position(PointApi{x, y});
  return true;
}

bool LineTo(HDC dc, int x, int y) {
  if (!dc) return false;
  const Pen pen = PenOf(dc->pen());
  PixelPainter painter(dc->target(), ToQColor(pen.colour));
  const PointApi from = dc->position();
  const int dx = std::abs(x - from.x), dy = std::abs(y - from.y);
  const int sx = from.x < x ? 1 : -1, sy = from.y < y ? 1 : -1;
  const bool mostly_horizontal = dx >= dy;
  const int lo = -(pen.width / 2), hi = (pen.width - 1) / 2;
  // Bresenham over every point but the last.
  int px = from.x, py = from.y;
  int err = dx - dy;
  while (!(px == x && py == y)) {
    for (int k = lo; k <= hi; ++k) {
      if (mostly_horizontal) {
        painter.Paint(px, py + k);
      } else {
        painter.Paint(px + k, py);
      }
    }
    int e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      px += sx;
    }
    if (e2 < dx) {
      err += dx;
      py += sy;
    }
  }
  dc->set_position(PointApi{x, y});
  return true;
}

Colour SetPixel(HDC dc, int x, int y, Colour colour) {
  if (!dc) return 0xFFFFFFFFu;
  dc->PaintPixel(x, y, ToQColor(colour));
  return colour;
}

Colour SetTextColor(HDC dc, Colour colour) {
  if (!dc) return 0xFFFFFFFFu;
  Colour old = dc->text_colour();
  dc->set_text_colour(colour);
  return old;
}

GdiHandle CreateRectRgn(int left, int top, int right, int bottom) {
  QRegion region;
  if (right > left && bottom > top) region = QRegion(left, top, right - left, bottom - top);
  return Objects().Add(region);
}

int CombineRgn(GdiHandle destination, GdiHandle source1, GdiHandle source2, int mode) {
  QRegion* dest = RegionOf(destination);
  QRegion* a = RegionOf(source1);
  QRegion* b = RegionOf(source2);
  if (!dest || !a || !b || mode != RGN_DIFF) return kRegionError;
  *dest = a->subtracted(*b);
  if (dest->isEmpty()) return kNullRegion;
  return dest->rectCount() == 1 ? kSimpleRegion : kComplexRegion;
}

bool GetClientRect(HWND window, Rect* rect) {
  if (!window || !rect) return false;
  *rect = Rect{0, 0, window->width(), window->height()};
  return true;
}

bool SetRect(Rect* rect, int left, int top, int right, int bottom) {
  if (!rect) return false;
  *rect = Rect{left, top, right, bottom};
  return true;
}

int FillRect(HDC dc, const Rect* rect, GdiHandle brush) {
  Colour c;
  if (!dc || !rect || !BrushColour(brush, &c)) return 0;
  PixelPainter painter(dc->target(), ToQColor(c));
  for (int y = rect->Top; y < rect->Bottom; ++y) {
    for (int x = rect->Left; x < rect->Right; ++x) painter.Paint(x, y);
  }
  return 1;
}

int FrameRect(HDC dc, const Rect* rect, GdiHandle brush) {
  Colour c;
  if (!dc || !rect || !BrushColour(brush, &c)) return 0;
  if (rect->Right <= rect->Left || rect->Bottom <= rect->Top) return 1;
  PixelPainter painter(dc->target(), ToQColor(c));
  for (int x = rect->Left; x < rect->Right; ++x) {
    painter.Paint(x, rect->Top);
    painter.Paint(x, rect->Bottom - 1);
  }
  for (int y = rect->Top; y < rect->Bottom; ++y) {
    painter.Paint(rect->Left, y);
    painter.Paint(rect->Right - 1, y);
  }
  return 1;
}

int DrawTextA(HDC dc, const std::string& text, int length, Rect* rect, uint32_t flags) {
  if (!dc || !rect) return 0;
  QString all = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (length >= 0 && length < all.size()) all.truncate(length);
  const QFontMetrics fm(dc->font());
  const int width = rect->Right - rect->Left;

  std::vector<TextLine> lines;
  all.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  all.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  for (const QString& paragraph : all.split(QLatin1Char('\n'))) {
    TextLine stripped = StripPrefixes(paragraph);
    if (flags & DT_WORDBREAK) {
      for (TextLine& l : BreakWords(stripped, fm, width)) lines.push_back(std::move(l));
    } else {
      lines.push_back(std::move(stripped));
    }
  }
  const int line_height = fm.height();
  const int height = static_cast<int>(lines.size()) * line_height;

  if (flags & DT_CALCRECT) {
    int widest = 0;
    for (const TextLine& l : lines) widest = std::max(widest, fm.horizontalAdvance(l.shown));
    rect->Right = rect->Left + widest;
    rect->Bottom = rect->Top + height;
    return height;
  }

  QImage* image = dc->target();
  if (!image || rect->Right <= rect->Left || rect->Bottom <= rect->Top) return height;
  QPainter painter(image);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setClipRect(QRect(rect->Left, rect->Top, width, rect->Bottom - rect->Top));
  painter.setFont(dc->font());
  const QColor colour = ToQColor(dc->text_colour());
  painter.setPen(colour);
  int y = rect->Top;
  for (const TextLine& l : lines) {
    const int w = fm.horizontalAdvance(l.shown);
    const int x = (flags & DT_CENTER) ? rect->Left + (width - w) / 2 : rect->Left;
    painter.drawText(QPoint(x, y + fm.ascent()), l.shown);
    if (l.underline >= 0) {
      const int ux = x + fm.horizontalAdvance(l.shown.left(l.underline));
      const int uw = fm.horizontalAdvance(l.shown.at(l.underline));
      const int uy = y + fm.ascent() + std::max(1, fm.underlinePos());
      painter.fillRect(QRect(ux, uy, std::max(1, uw), std::max(1, fm.lineWidth())), colour);
    }
    y += line_height;
  }
  return height;
}

int SetWindowRgn(HWND window, GdiHandle region, bool redraw) {
  if (!window) return 0;
  if (region == 0) {
    window->clearMask();
  } else {
    QRegion* r = RegionOf(region);
    if (!r) return 0;
    // An empty region leaves nothing of the window to show or to hit. Qt
    // takes an empty mask for no mask at all, so the window gets one that
    // lies wholly outside it.
    window->setMask(r->isEmpty() ? QRegion(-1, -1, 1, 1) : *r);
    DeleteObject(region);  // the window keeps its own copy
  }
  if (redraw) window->update();
  return 1;
}

QRegion WindowRegion(HWND window) { return window ? window->mask() & window->rect() : QRegion(); }

void SetPointerSources(CursorPosSource cursor, WindowAtSource window_at) {
  CursorSource() = std::move(cursor);
  WindowSource() = std::move(window_at);
}

bool GetCursorPos(PointApi* point) {
  if (!point) return false;
  const QPoint p = CursorSource() ? CursorSource()() : QCursor::pos();
  *point = PointApi{p.x(), p.y()};
  return true;
}

HWND WindowFromPoint(PointApi point) {
  const QPoint p(point.x, point.y);
  QWidget* w = WindowSource() ? WindowSource()(p) : QApplication::widgetAt(p);
  // A disabled window is never the one under the pointer; the one it lies
  // on is.
  while (w && !w->isEnabled()) w = w->parentWidget();
  return w;
}

HWND SetCapture(HWND window) {
  QWidget* previous = CapturedWindow();
  if (previous && previous != window) previous->releaseMouse();
  CapturedWindow() = window;
  if (window && window->isVisible()) window->grabMouse();
  return previous;
}

bool ReleaseCapture() {
  QWidget* w = CapturedWindow();
  if (w) w->releaseMouse();
  CapturedWindow() = nullptr;
  return true;
}

HWND GetCapture() { return CapturedWindow(); }

}  // namespace tk

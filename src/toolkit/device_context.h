#pragma once
// A small GDI over Qt: the device context of a user control's persistent
// image, with the pixel rules the styled controls were drawn for.
//
//   - A line is a move to its first point and a line to its second; the
//     second point is not painted. A pen wider than one pixel covers, across
//     the line, from c - width/2 to c + (width-1)/2 (c the 1-pixel line's
//     row or column), with flat ends: a 4-pixel pen on row 3 paints rows 1..4,
//     a 2-pixel pen on column 2 paints columns 1..2.
//   - Rectangles exclude their right and bottom edges (FillRect, regions);
//     FrameRect paints the rectangle's outermost pixels.
//   - Drawing outside the image is dropped.
//   - Text is drawn with a transparent background, without anti-aliasing,
//     in fully hinted glyphs at the face's natural width (no stretch).
//
// Colours are the platform's 32-bit values (&HBBGGRR, or &H8000xxxx for a
// system colour, resolved to the desktop palette where it is painted).
//
// Handles of pens, brushes and regions are small integers in one table for
// the user-interface thread; GdiObjectCount() lets tests find leaks.

#include <QFont>
#include <QImage>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/control.h"

class QWidget;

namespace tk {

struct Rect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

struct PointApi {
  int32_t x = 0;
  int32_t y = 0;
};

using GdiHandle = int32_t;  // 0: no object

inline constexpr int PS_SOLID = 0;
inline constexpr int RGN_DIFF = 4;
// CombineRgn results.
inline constexpr int kRegionError = 0;
inline constexpr int kNullRegion = 1;
inline constexpr int kSimpleRegion = 2;
inline constexpr int kComplexRegion = 3;

inline constexpr uint32_t DT_CENTER = 0x1;
inline constexpr uint32_t DT_WORDBREAK = 0x10;
inline constexpr uint32_t DT_CALCRECT = 0x400;

// The drawing state of one image: selected pen and brush, current position,
// text colour and font.
class DeviceContext {
 public:
  explicit DeviceContext(QImage* target = nullptr);
  ~DeviceContext();
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  void SetTarget(QImage* target) { target_ = target; }
  QImage* target() const { return target_; }
  void SetFont(const QFont& font);
  const QFont& font() const { return font_; }

  // Used by the free functions below.
  void PaintPixel(int x, int y, const QColor& colour);
  GdiHandle pen() const { return pen_; }
  void set_pen(GdiHandle pen) { pen_ = pen; }
  GdiHandle brush() const { return brush_; }
  void set_brush(GdiHandle brush) { brush_ = brush; }
  PointApi position() const { return position_; }
  void set_position(PointApi p) { position_ = p; }
  Colour text_colour() const { return text_colour_; }
  void set_text_colour(Colour c) { text_colour_ = c; }

 private:
  QImage* target_;
  QFont font_;
  GdiHandle pen_;
  GdiHandle brush_;
  PointApi position_;
  Colour text_colour_ = 0;
};

using HDC = DeviceContext*;
using HWND = QWidget*;

// gdi32
GdiHandle CreatePen(int style, int width, Colour colour);
GdiHandle CreateSolidBrush(Colour colour);
// Returns the object of the same type selected before (a stock object at
// first), or 0 when the handle names no pen or brush.
GdiHandle SelectObject(HDC dc, GdiHandle object);
// False for an unknown handle and for the stock objects.
bool DeleteObject(GdiHandle object);
bool MoveToEx(HDC dc, int x, int y, PointApi* previous);
bool LineTo(HDC dc, int x, int y);
Colour SetPixel(HDC dc, int x, int y, Colour colour);
Colour SetTextColor(HDC dc, Colour colour);  // returns the previous colour
GdiHandle CreateRectRgn(int left, int top, int right, int bottom);
// Only RGN_DIFF (source1 without source2) is offered; other modes give
// kRegionError and change nothing.
int CombineRgn(GdiHandle destination, GdiHandle source1, GdiHandle source2, int mode);
int GdiObjectCount();  // live pens, brushes and regions, stock objects excluded

// user32
bool GetClientRect(HWND window, Rect* rect);
bool SetRect(Rect* rect, int left, int top, int right, int bottom);
int FillRect(HDC dc, const Rect* rect, GdiHandle brush);
int FrameRect(HDC dc, const Rect* rect, GdiHandle brush);
// Measures (DT_CALCRECT: the rectangle's bottom, and its right to the widest
// line, are set; nothing is drawn) or draws text. length counts characters;
// -1 takes the whole text. Lines break at CR/LF and, with DT_WORDBREAK, at
// blanks to fit the width (a word wider than the rectangle keeps its line).
// "&" underlines the next character, "&&" shows one "&". Drawing is clipped
// to the rectangle. Returns the height of the text block in pixels.
int DrawTextA(HDC dc, const std::string& text, int length, Rect* rect, uint32_t flags);
// The window takes the region (its shape from then on; 0 removes the shape)
// and the handle is no longer the caller's.
int SetWindowRgn(HWND window, GdiHandle region, bool redraw);
// The shape last given to the window, for tests; empty when it has none.
QRegion WindowRegion(HWND window);

// The pointer and the window under it. Both can be replaced, so that hover
// tracking can be driven without a real pointer; an empty function restores
// the real one (QCursor::pos, QApplication::widgetAt, which honours masks).
using CursorPosSource = std::function<QPoint()>;
using WindowAtSource = std::function<QWidget*(const QPoint& global)>;
void SetPointerSources(CursorPosSource cursor, WindowAtSource window_at);
bool GetCursorPos(PointApi* point);
HWND WindowFromPoint(PointApi point);  // never a disabled window
// Sends every mouse event to the window until ReleaseCapture.
HWND SetCapture(HWND window);
bool ReleaseCapture();
HWND GetCapture();

}  // namespace tk

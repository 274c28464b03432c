#include "controls/button_xp.h"

#include <QString>
#include <cmath>

#include "toolkit/send_keys.h"

namespace controls {
namespace {

using tk::Colour;
using tk::Rgb;

constexpr int Red(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int Green(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int Blue(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

// One step of a gradient: while blue is at or above the threshold, every
// part moves by its step; below it the colour holds.
void StepColour(Colour& c, int dr, int dg, int db, int threshold) {
  if (Blue(c) >= threshold) c = Rgb(Red(c) + dr, Green(c) + dg, Blue(c) + db);
}

// The nearest whole number, a value exactly halfway going to the even one.
int32_t RoundHalfEven(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

}  // namespace

tk::Rect CaptionRect(float scale_width, float scale_height, int h) {
  const double half_height = static_cast<double>(scale_height) * 0.5;
  const double half_text = h * 0.5;
  tk::Rect r;
  tk::SetRect(&r, 0, RoundHalfEven(half_height - half_text),
              RoundHalfEven(static_cast<double>(scale_width)),
              RoundHalfEven(half_height + half_text));
  return r;
}

ButtonXP::ButtonXP(std::string name, int index)
    : tk::UserControl(std::move(name), index, /*can_get_focus=*/true),
      hover_timer_(new QTimer(widget())) {
  // The hover timer runs from creation until its first tick that finds the
  // pointer outside.
  hover_timer_->setInterval(50);
  QObject::connect(hover_timer_, &QTimer::timeout, widget(), [this] {
    RaiseTimerTick(
        hover_timer_, [this] { HoverTimer_Timer(); }, [this] { hover_timer_->stop(); });
  });
  hover_timer_->start();
}

ButtonXP::~ButtonXP() { DetachSurface(); }

// ---------------------------------------------------------------------------
// Properties

bool ButtonXP::Enabled() const { return s_.m_Enabled; }

void ButtonXP::SetEnabled(bool newValue) {
  s_.m_Enabled = newValue;
  PropertyChanged("Enabled");
  SetSurfaceEnabled(newValue);
  Redraw(0);
}

const tk::FontSpec& ButtonXP::Font() const { return UserControl::Font(); }

void ButtonXP::SetFont(const tk::FontSpec& newValue) {
  UserControl::SetFont(newValue);
  Redraw(0);
  PropertyChanged("Font");
}

std::string ButtonXP::Caption() const { return s_.m_Caption; }

void ButtonXP::SetCaption(const std::string& newValue) {
  s_.m_Caption = newValue;
  Redraw(0);
  UpdateAccessKey();
  PropertyChanged("Caption");
}

tk::Colour ButtonXP::ForeColor() const { return UserControl::ForeColor(); }

void ButtonXP::SetForeColor(tk::Colour newValue) {
  UserControl::SetForeColor(newValue);
  Redraw(0);
  PropertyChanged("ForeColor");
}

tk::Colour ButtonXP::ForeHover() const { return s_.m_ForeHover; }

void ButtonXP::SetForeHover(tk::Colour newValue) {
  s_.m_ForeHover = newValue;
  PropertyChanged("ForeHover");
  // No redraw: the colour shows at the next redraw while hovered.
}

// ---------------------------------------------------------------------------
// Size, visibility and focus

void ButtonXP::UserControl_Resize() {
  tk::GetClientRect(hWnd(), &s_.ClientRect);
  s_.RightEdge = s_.ClientRect.Right - 1;
  s_.LeftEdge = s_.ClientRect.Left;
  s_.TopEdge = s_.ClientRect.Top;
  s_.BottomEdge = s_.ClientRect.Bottom;
  s_.ClientWidth = s_.ClientRect.Right;
  s_.ClientHeight = s_.ClientRect.Bottom;
  Redraw(0);
}

void ButtonXP::UserControl_Show() { Redraw(0); }

void ButtonXP::UserControl_GotFocus() {
  s_.HasFocus = true;
  Redraw(1);
}

void ButtonXP::UserControl_LostFocus() {
  s_.HasFocus = false;
  Redraw(0);
}

// ---------------------------------------------------------------------------
// Hover tracking

bool ButtonXP::IsMouseOver() {
  tk::PointApi p;
  tk::GetCursorPos(&p);
  return tk::WindowFromPoint(p) == hWnd();
}

void ButtonXP::UserControl_MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y) {
  if (Button >= 2) {
    if (MouseMove) MouseMove(Button, Shift, X, Y);
    return;
  }
  const bool over = IsMouseOver();
  if (!over) {
    if (s_.HoverSeen == 0) return;
    // Dragged out while the button holds the mouse. Once the timer has
    // stopped nothing else would clear HoverSeen, and hover tracking would
    // never resume: clear it here.
    if (!hover_timer_->isActive()) s_.HoverSeen = 0;
    Redraw(0);
    if (MouseMove) MouseMove(Button, Shift, X, Y);
    return;
  }
  if (s_.HoverSeen == 1) {
    // Released inside after coming back in with the left button held: the
    // timer is not running and no hover is shown, so this move enters.
    if (Button == 0 && !s_.IsHover && !hover_timer_->isActive()) {
      s_.HoverSeen = 0;
    } else {
      return;
    }
  }
  s_.HoverSeen = 1;
  if (Button == 0 && !s_.IsHover) {
    if (!hover_timer_->isActive()) hover_timer_->start();
    s_.IsHover = true;
    s_.HoverSeen = 0;
    Redraw(0);
    if (MouseOver) MouseOver();
    if (MouseMove) MouseMove(Button, Shift, X, Y);
  } else if (Button == 1) {
    s_.IsHover = true;
    Redraw(1);
    s_.IsHover = false;
    if (MouseMove) MouseMove(Button, Shift, X, Y);
  } else {
    if (MouseMove) MouseMove(Button, Shift, X, Y);
  }
}

void ButtonXP::HoverTimer_Timer() {
  if (IsMouseOver()) return;
  hover_timer_->stop();
  s_.IsHover = false;
  s_.HoverSeen = 0;
  Redraw(0);
  if (MouseOut) MouseOut();
}

// ---------------------------------------------------------------------------
// Presses and clicks

void ButtonXP::UserControl_MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y) {
  if (!s_.m_Enabled) return;
  s_.LastButton = Button;
  Refresh();
  if (Button != 2) Redraw(1);
  if (MouseDown) MouseDown(Button, Shift, X, Y);
}

void ButtonXP::UserControl_MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y) {
  Redraw(0);
  Refresh();
  if (MouseUp) MouseUp(Button, Shift, X, Y);
}

void ButtonXP::UserControl_Click() {
  if (s_.LastButton != 1) return;
  Redraw(0);
  Refresh();
  if (Click) Click();
}

void ButtonXP::UserControl_DblClick() {
  if (s_.LastButton != 1) return;
  int16_t button = 1, shift = 0;
  float x = 0, y = 0;
  UserControl_MouseDown(button, shift, x, y);
  tk::SetCapture(hWnd());
}

void ButtonXP::UserControl_AccessKeyPress(int16_t& /*KeyAscii*/) {
  s_.LastButton = 1;
  UserControl_Click();
}

// ---------------------------------------------------------------------------
// Keyboard

void ButtonXP::UserControl_KeyDown(int16_t& KeyCode, int16_t& Shift) {
  s_.LastKeyDown = KeyCode;
  switch (KeyCode) {
    case 32:  // Space
    case 13:  // Enter
      Redraw(1);
      break;
    case 37:  // Left and Right move the focus forward
    case 39:
      tk::SendKeys("{Tab}");
      break;
    case 40:  // Down and Up move it back
    case 38:
      tk::SendKeys("+{Tab}");
      break;
    default:
      break;
  }
  if (KeyDown) KeyDown(KeyCode, Shift);
}

void ButtonXP::UserControl_KeyUp(int16_t& KeyCode, int16_t& Shift) {
  if ((KeyCode == 32 && s_.LastKeyDown == 32) || (KeyCode == 13 && s_.LastKeyDown == 13)) {
    Redraw(0);
    s_.LastButton = 1;
    Refresh();
    if (Click) Click();
  }
  if (KeyUp) KeyUp(KeyCode, Shift);
}

void ButtonXP::UserControl_KeyPress(int16_t& KeyAscii) {
  if (KeyPress) KeyPress(KeyAscii);
}

// ---------------------------------------------------------------------------
// Access key

void ButtonXP::UpdateAccessKey() {
  SetAccessKeys("");
  const QString caption = QString::fromStdString(s_.m_Caption);
  const int n = static_cast<int>(caption.size());
  if (n < 2) return;
  // Positions below count from 0.
  const int p = static_cast<int>(caption.indexOf(QLatin1Char('&')));
  if (p < 0 || p == n - 1) return;
  if (caption.at(p + 1) != QLatin1Char('&')) {
    SetAccessKeys(caption.mid(p + 1, 1).toLower().toStdString());
    return;
  }
  const int q = static_cast<int>(caption.indexOf(QLatin1Char('&'), p + 2));
  if (q < 0) return;
  if (q + 1 < n && caption.at(q + 1) == QLatin1Char('&')) return;
  if (q + 1 < n) SetAccessKeys(caption.mid(q + 1, 1).toLower().toStdString());
}

// ---------------------------------------------------------------------------
// Stored properties

void ButtonXP::UserControl_InitProperties() {
  UserControl::SetFont(AmbientFont());
  const std::string display_name = AmbientDisplayName();
  s_.m_Caption = "Command" + (display_name.size() >= 14 ? display_name.substr(13) : std::string());
  s_.m_Enabled = true;
}

void ButtonXP::UserControl_ReadProperties(const tk::PropertyBag& PropBag) {
  s_.m_Enabled = PropBag.ReadProperty("Enabled", true);
  UserControl::SetFont(PropBag.ReadProperty("Font", AmbientFont()));
  s_.m_Caption = PropBag.ReadProperty("Caption", AmbientDisplayName());
  UserControl::SetForeColor(PropBag.ReadProperty("ForeColor", AmbientForeColor()));
  s_.m_ForeHover = PropBag.ReadProperty("ForeHover", UserControl::ForeColor());
  SetSurfaceEnabled(s_.m_Enabled);
  UpdateAccessKey();
}

void ButtonXP::UserControl_WriteProperties(tk::PropertyBag& PropBag) {
  auto boolean = [](bool b) { return tk::PropertyValue(b ? -1.0 : 0.0); };
  auto colour = [](tk::Colour c) { return tk::PropertyValue(static_cast<double>(c)); };
  PropBag.WriteProperty("Enabled", boolean(s_.m_Enabled), boolean(true));
  PropBag.WriteProperty("Font", tk::PropertyValue(UserControl::Font()),
                        tk::PropertyValue(AmbientFont()));
  PropBag.WriteProperty("Caption", tk::PropertyValue(s_.m_Caption),
                        tk::PropertyValue(AmbientDisplayName()));
  PropBag.WriteProperty("ForeColor", colour(UserControl::ForeColor()));
  PropBag.WriteProperty("ForeHover", colour(s_.m_ForeHover), colour(AmbientForeColor()));
}

// ---------------------------------------------------------------------------
// Painting

void ButtonXP::PenLine(tk::Colour colour, int width, int x1, int y1, int x2, int y2) {
  tk::GdiHandle pen = tk::CreatePen(tk::PS_SOLID, width, colour);
  tk::GdiHandle old = tk::SelectObject(hDC(), pen);
  tk::MoveToEx(hDC(), x1, y1, nullptr);
  tk::LineTo(hDC(), x2, y2);
  tk::SelectObject(hDC(), old);
  tk::DeleteObject(pen);
}

void ButtonXP::Pixel(int x, int y, tk::Colour colour) { tk::SetPixel(hDC(), x, y, colour); }

void ButtonXP::Redraw(int16_t ShowPressed) {
  if (!hWnd()) return;  // the window is already gone
  if (!s_.m_Enabled) {
    DrawDisabled();
  } else if (ShowPressed == 1 && s_.LastButton == 1) {
    DrawPressedFace();
    DrawBorder();
  } else if (s_.IsHover) {
    DrawNormalFace();
    DrawHoverFrame();
    DrawBorder();
  } else if (s_.HasFocus) {
    DrawNormalFace();
    DrawFocusFrame();
    DrawBorder();
  } else {
    DrawNormalFace();
    DrawBorder();
  }
  PaintCaption();
  ApplyRoundedRegion();
  hWnd()->update();  // the window shows the new picture when it next paints
}

void ButtonXP::DrawNormalFace() {
  SetAutoRedraw(true);
  Cls();
  SetScaleMode(tk::kScalePixels);
  const int left = s_.LeftEdge, right = s_.RightEdge, bottom = s_.BottomEdge;
  Colour c = Rgb(0xFF, 0xFF, 0xFD);
  const int last = bottom - 3;
  for (int y = 3; y <= last; ++y) {
    PenLine(c, 1, left, y, right, y);
    StepColour(c, -1, -1, -1, 230);
  }
  PenLine(Rgb(0xD6, 0xD0, 0xC5), 1, left, bottom - 2, right, bottom - 2);
  PenLine(Rgb(0xE2, 0xDF, 0xD6), 1, left, bottom - 3, right, bottom - 3);
  PenLine(Rgb(0xEC, 0xEB, 0xE6), 1, left, bottom - 4, right, bottom - 4);
}

void ButtonXP::DrawPressedFace() {
  SetAutoRedraw(true);
  Cls();
  SetScaleMode(tk::kScalePixels);
  const int left = s_.LeftEdge, right = s_.RightEdge, bottom = s_.BottomEdge;
  Colour c = Rgb(0xE2, 0xE1, 0xDA);
  for (int y = 3; y <= bottom - 2; y += 4) {
    PenLine(c, 4, left, y, right, y);
    StepColour(c, -1, -1, -1, 218);
  }
  PenLine(Rgb(0xD1, 0xCC, 0xC0), 1, left, 1, right, 1);
  PenLine(Rgb(0xDC, 0xD8, 0xCF), 1, left, 2, right, 2);
  PenLine(Rgb(0xEA, 0xE9, 0xE3), 1, left, bottom - 3, right, bottom - 3);
  PenLine(Rgb(0xF2, 0xF1, 0xEE), 1, left, bottom - 2, right, bottom - 2);
}

void ButtonXP::DrawDisabled() {
  SetAutoRedraw(true);
  Cls();
  SetScaleMode(tk::kScalePixels);
  tk::GdiHandle brush = tk::CreateSolidBrush(Rgb(0xF5, 0xF4, 0xEA));
  tk::FillRect(hDC(), &s_.ClientRect, brush);
  tk::DeleteObject(brush);
  brush = tk::CreateSolidBrush(Rgb(0xC9, 0xC7, 0xBA));
  tk::FrameRect(hDC(), &s_.ClientRect, brush);
  tk::DeleteObject(brush);

  const Colour dark = Rgb(0xD8, 0xD5, 0xC7), light = Rgb(0xEA, 0xE9, 0xDE);
  const int r = s_.RightEdge, b = s_.BottomEdge;
  // top left
  Pixel(0, 1, dark);
  Pixel(1, 1, dark);
  Pixel(1, 0, dark);
  Pixel(1, 2, light);
  Pixel(2, 1, light);
  // top right
  Pixel(r - 1, 0, dark);
  Pixel(r - 1, 1, dark);
  Pixel(r, 1, dark);
  Pixel(r - 2, 1, light);
  Pixel(r - 1, 2, light);
  // bottom left
  Pixel(0, b - 2, dark);
  Pixel(1, b - 2, dark);
  Pixel(1, b - 1, dark);
  Pixel(1, b - 3, light);
  Pixel(2, b - 2, light);
  // bottom right
  Pixel(r, b - 2, dark);
  Pixel(r - 1, b - 2, dark);
  Pixel(r - 1, b - 1, dark);
  Pixel(r - 1, b - 3, light);
  Pixel(r - 2, b - 2, light);
}

void ButtonXP::DrawBorder() {
  tk::GdiHandle brush = tk::CreateSolidBrush(Rgb(0x00, 0x3C, 0x74));
  tk::FrameRect(hDC(), &s_.ClientRect, brush);
  tk::DeleteObject(brush);

  const Colour outer = Rgb(0x7A, 0x95, 0xA8), inner = Rgb(0x25, 0x57, 0x83);
  const int r = s_.RightEdge, b = s_.BottomEdge;
  Pixel(0, 1, outer);
  Pixel(1, 1, inner);
  Pixel(1, 0, outer);
  Pixel(r - 1, 0, outer);
  Pixel(r - 1, 1, inner);
  Pixel(r, 1, outer);
  Pixel(0, b - 2, outer);
  Pixel(1, b - 2, inner);
  Pixel(1, b - 1, outer);
  Pixel(r, b - 2, outer);
  Pixel(r - 1, b - 2, inner);
  Pixel(r - 1, b - 1, outer);
}

void ButtonXP::DrawFocusFrame() {
  const int left = s_.LeftEdge, right = s_.RightEdge, bottom = s_.BottomEdge;
  PenLine(Rgb(0xCE, 0xE7, 0xFB), 1, left + 2, 1, right - 1, 1);
  PenLine(Rgb(0xBC, 0xD4, 0xF6), 1, left + 1, 2, right, 2);
  Colour c = Rgb(0xBA, 0xD3, 0xF6);
  for (int y = 3; y <= bottom - 4; ++y) {
    PenLine(c, 2, left + 2, y, left + 2, y + 1);
    PenLine(c, 2, right - 1, y, right - 1, y + 1);
    StepColour(c, -4, -3, -1, 228);
  }
  PenLine(c, 1, left + 1, bottom - 3, right - 1, bottom - 3);
  Pixel(left + 2, bottom - 2, Rgb(0x4D, 0x7D, 0xC1));
  PenLine(Rgb(0x61, 0x7D, 0xE5), 1, left + 3, bottom - 2, right - 2, bottom - 2);
  Pixel(right - 2, bottom - 2, Rgb(0x4D, 0x7D, 0xC1));
}

void ButtonXP::DrawHoverFrame() {
  const int left = s_.LeftEdge, right = s_.RightEdge, bottom = s_.BottomEdge;
  PenLine(Rgb(0xFF, 0xF0, 0xCF), 1, left + 2, 1, right - 1, 1);
  PenLine(Rgb(0xFD, 0xD8, 0x89), 1, left + 1, 2, right, 2);
  Colour outer = Rgb(0xFE, 0xDF, 0x9A);
  for (int y = 2; y <= bottom - 3; ++y) {
    PenLine(outer, 1, left + 1, y, left + 1, y + 1);
    PenLine(outer, 1, right - 1, y, right - 1, y + 1);
    StepColour(outer, -1, -3, -7, 49);
  }
  Colour inner = Rgb(0xFC, 0xD2, 0x79);
  for (int y = 3; y <= bottom - 3; ++y) {
    PenLine(inner, 1, left + 2, y, left + 2, y + 1);
    PenLine(inner, 1, right - 2, y, right - 2, y + 1);
    StepColour(inner, -1, -4, -8, 57);
  }
  PenLine(inner, 1, left + 3, bottom - 3, right, bottom - 3);
  PenLine(Rgb(0xE5, 0x97, 0x00), 1, left + 2, bottom - 2, right - 1, bottom - 2);
}

void ButtonXP::PaintCaption() {
  tk::Rect r;
  tk::GetClientRect(hWnd(), &r);
  if (!s_.m_Enabled) {
    tk::SetTextColor(hDC(), Rgb(0xA1, 0xA1, 0x92));
  } else if (s_.IsHover) {
    tk::SetTextColor(hDC(), s_.m_ForeHover);
  } else {
    tk::SetTextColor(hDC(), UserControl::ForeColor());
  }
  const int length = static_cast<int>(QString::fromStdString(s_.m_Caption).size());
  const int h = tk::DrawTextA(hDC(), s_.m_Caption, length, &r,
                              tk::DT_CALCRECT | tk::DT_WORDBREAK | tk::DT_CENTER);
  r = CaptionRect(ScaleWidth(), ScaleHeight(), h);
  tk::DrawTextA(hDC(), s_.m_Caption, length, &r, tk::DT_WORDBREAK | tk::DT_CENTER);
}

void ButtonXP::ApplyRoundedRegion() {
  const int w = s_.ClientWidth, h = s_.ClientHeight;
  s_.RegionHandle = tk::CreateRectRgn(0, 0, w, h);
  const int corners[4][4] = {
      {0, 0, 1, 1}, {0, h - 1, 1, h}, {w - 1, 0, w, 1}, {w - 1, h - 1, w, h}};
  for (const auto& c : corners) {
    s_.CornerRegion = tk::CreateRectRgn(c[0], c[1], c[2], c[3]);
    tk::CombineRgn(s_.RegionHandle, s_.RegionHandle, s_.CornerRegion, tk::RGN_DIFF);
    tk::DeleteObject(s_.CornerRegion);
  }
  // The window owns the region from here on.
  tk::SetWindowRgn(hWnd(), s_.RegionHandle, true);
}

}  // namespace controls

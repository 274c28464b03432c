#pragma once
// ButtonXP: a push button that paints every pixel of itself (a gradient
// face, a dark-blue border with softened corners, an orange hover frame, a
// light-blue focus frame, a flat disabled look) and gives its window a shape
// without the four corner pixels.
//
// Events: Click, MouseDown, MouseMove, MouseUp, KeyPress, KeyDown and KeyUp
// are the tk::Control members of those names, so a window wires a ButtonXP
// like any other control; MouseOver and MouseOut are its own.

#include <QTimer>
#include <cstdint>
#include <string>

#include "toolkit/device_context.h"
#include "toolkit/user_control.h"

namespace controls {

// The instance's state, named as the button's design names it.
struct ButtonXPState {
  tk::Rect ClientRect;
  int32_t ClientWidth = 0;
  int32_t ClientHeight = 0;
  tk::GdiHandle RegionHandle = 0;
  tk::GdiHandle CornerRegion = 0;
  bool IsHover = false;
  int16_t HoverSeen = 0;
  bool HasFocus = false;
  int16_t LastButton = 0;
  int16_t LastKeyDown = 0;
  int32_t RightEdge = 0;
  int32_t LeftEdge = 0;
  int32_t TopEdge = 0;
  int32_t BottomEdge = 0;
  bool m_Enabled = false;
  std::string m_Caption;
  tk::Colour m_ForeHover = 0;
};

class ButtonXP : public tk::UserControl {
 public:
  ButtonXP(std::string name, int index);
  ~ButtonXP() override;

  // Properties.
  bool Enabled() const override;
  void SetEnabled(bool newValue) override;
  const tk::FontSpec& Font() const override;
  void SetFont(const tk::FontSpec& newValue) override;
  std::string Caption() const override;
  void SetCaption(const std::string& newValue) override;
  tk::Colour ForeColor() const override;
  void SetForeColor(tk::Colour newValue) override;
  tk::Colour ForeHover() const;
  void SetForeHover(tk::Colour newValue);

  // Events of its own (the others are tk::Control's).
  tk::Handler MouseOver, MouseOut;

  // Host notifications.
  void UserControl_Resize() override;
  void UserControl_Show() override;
  void UserControl_GotFocus() override;
  void UserControl_LostFocus() override;
  void UserControl_MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y) override;
  void UserControl_MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y) override;
  void UserControl_MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y) override;
  void UserControl_Click() override;
  void UserControl_DblClick() override;
  void UserControl_AccessKeyPress(int16_t& KeyAscii) override;
  void UserControl_KeyDown(int16_t& KeyCode, int16_t& Shift) override;
  void UserControl_KeyPress(int16_t& KeyAscii) override;
  void UserControl_KeyUp(int16_t& KeyCode, int16_t& Shift) override;
  void HoverTimer_Timer();
  void UserControl_InitProperties() override;
  void UserControl_ReadProperties(const tk::PropertyBag& PropBag) override;
  void UserControl_WriteProperties(tk::PropertyBag& PropBag) override;

  // Painting.
  void Redraw(int16_t ShowPressed);

  // For tests and the window code.
  const ButtonXPState& state() const { return s_; }
  ButtonXPState& mutable_state() { return s_; }
  QTimer& HoverTimer() { return *hover_timer_; }

 private:
  bool IsMouseOver();
  void UpdateAccessKey();

  void DrawNormalFace();
  void DrawPressedFace();
  void DrawDisabled();
  void DrawBorder();
  void DrawFocusFrame();
  void DrawHoverFrame();
  void PaintCaption();
  void ApplyRoundedRegion();

  void PenLine(tk::Colour colour, int width, int x1, int y1, int x2, int y2);
  void Pixel(int x, int y, tk::Colour colour);

  ButtonXPState s_;
  QTimer* hover_timer_;
};

// The caption's rectangle for a text block h pixels high on a surface of
// scale_width x scale_height: centred vertically, halves to the even
// neighbour.
tk::Rect CaptionRect(float scale_width, float scale_height, int h);

}  // namespace controls

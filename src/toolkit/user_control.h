#pragma once
// The host of a user control (ButtonXP, TextXP): a drawing surface with its
// own window and a persistent image, the container's ambient values, the
// property-change notice, and the host's notifications, delivered as the
// virtual UserControl_* functions below.
//
// What the host delivers, and when:
//   - Resize when the window changes size, Show each time it is shown.
//   - GotFocus / LostFocus when the surface itself gains or loses the focus;
//     ExitFocus when the focus leaves the surface and everything inside it.
//     Focus changes caused by another window being activated are not
//     delivered.
//   - MouseDown / MouseMove / MouseUp with Button (1 left, 2 right, 4 middle;
//     for MouseMove the buttons held, added together), Shift (1 Shift,
//     2 Ctrl, 4 Alt) and X, Y in the surface's ScaleMode units.
//   - Click after a release inside the window (inside its shape), after
//     MouseUp. The second press of a double click (same button, within the
//     desktop's double-click time) is delivered as DblClick in place of its
//     MouseDown, and its release brings MouseUp but no Click.
//   - KeyDown / KeyUp with Windows virtual-key codes (Enter 13, Space 32,
//     arrows 37-40, letters and digits their upper-case character code);
//     auto-repeat gives further KeyDowns but no KeyUp until the real release.
//     KeyPress after KeyDown for a key that gives a character.
//   - AccessKeyPress when Alt and the surface's AccessKeys character are
//     pressed anywhere in the surface's window.
//
// Drawing always goes into the persistent image, which the window shows when
// it repaints; AutoRedraw is kept as a flag only.

#include <QImage>
#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/control.h"
#include "toolkit/device_context.h"
#include "toolkit/kinds.h"
#include "toolkit/property_bag.h"

class QWidget;

namespace tk {

class Form;

inline constexpr int kScaleTwips = 1;
inline constexpr int kScalePixels = 3;

class UserControl : public VisualControl {
 public:
  // can_get_focus: whether the surface itself takes the focus (false when a
  // control inside it does).
  UserControl(std::string name, int index, bool can_get_focus);
  ~UserControl() override;

  // The surface.
  HWND hWnd() const { return widget(); }
  HDC hDC() { return &dc_; }
  bool AutoRedraw() const { return auto_redraw_; }
  void SetAutoRedraw(bool on) { auto_redraw_ = on; }
  void Cls();  // clears the persistent image to BackColor
  int ScaleMode() const { return scale_mode_; }
  void SetScaleMode(int mode);  // kScaleTwips or kScalePixels
  float ScaleWidth() const;
  float ScaleHeight() const;
  void Refresh();  // repaints the window now
  const std::string& AccessKeys() const { return access_keys_; }
  void SetAccessKeys(const std::string& keys);
  bool SurfaceEnabled() const;
  void SetSurfaceEnabled(bool enabled);
  // The surface's Line method: from (x1, y1) to (x2, y2) in ScaleMode units,
  // one pixel wide and solid, the last point not painted.
  void Line(double x1, double y1, double x2, double y2, Colour colour);
  const QImage& Image() const { return image_; }

  // The surface's own colours and font (BackColor is what Cls clears to).
  Colour BackColor() const override { return back_color_; }
  void SetBackColor(Colour colour) override;
  Colour ForeColor() const override { return fore_color_; }
  void SetForeColor(Colour colour) override;
  const FontSpec& Font() const override { return font_; }
  void SetFont(const FontSpec& font) override;

  // The container's values. DisplayName is the instance's name; a member of a
  // control array gets its name without the index, as the platform gave it.
  void SetAmbientSource(Control* container, Form* form);
  FontSpec AmbientFont() const;
  Colour AmbientForeColor() const;
  std::string AmbientDisplayName() const { return Name(); }

  // The notice that a stored property changed. Nothing of it is kept: the
  // hook, when one is set (a test's recorder), hears each one.
  void PropertyChanged(const std::string& name);
  std::function<void(const std::string& name)> PropertyChangedHook;

  // Builds a new instance (bag == nullptr: InitProperties) or a stored one
  // (ReadProperties), as the description loader does.
  void LoadProperties(const PropertyBag* bag);
  // Stores the instance: "_extentx" and "_extenty" (hundredths of a
  // millimetre), then WriteProperties.
  void SaveProperties(PropertyBag& bag);

  // Host notifications.
  virtual void UserControl_Resize() {}
  virtual void UserControl_Show() {}
  virtual void UserControl_GotFocus() {}
  virtual void UserControl_LostFocus() {}
  virtual void UserControl_ExitFocus() {}
  virtual void UserControl_MouseDown(int16_t& /*Button*/, int16_t& /*Shift*/, float& /*X*/,
                                     float& /*Y*/) {}
  virtual void UserControl_MouseMove(int16_t& /*Button*/, int16_t& /*Shift*/, float& /*X*/,
                                     float& /*Y*/) {}
  virtual void UserControl_MouseUp(int16_t& /*Button*/, int16_t& /*Shift*/, float& /*X*/,
                                   float& /*Y*/) {}
  virtual void UserControl_Click() {}
  virtual void UserControl_DblClick() {}
  virtual void UserControl_KeyDown(int16_t& /*KeyCode*/, int16_t& /*Shift*/) {}
  virtual void UserControl_KeyUp(int16_t& /*KeyCode*/, int16_t& /*Shift*/) {}
  virtual void UserControl_KeyPress(int16_t& /*KeyAscii*/) {}
  virtual void UserControl_AccessKeyPress(int16_t& /*KeyAscii*/) {}
  virtual void UserControl_InitProperties() {}
  virtual void UserControl_ReadProperties(const PropertyBag& /*PropBag*/) {}
  virtual void UserControl_WriteProperties(PropertyBag& /*PropBag*/) {}

  bool CanTakeFocus() const override { return true; }

  // Used by the surface widget.
  void HostResized();
  void PaintSurface(QWidget* target);
  float ToScale(int pixels) const;

 protected:
  void ApplyLook() override;
  // Stops the host's notifications; the derived control calls it first in
  // its destructor, so that nothing reaches a half-destroyed control.
  void DetachSurface();

 private:
  QImage image_;
  DeviceContext dc_;
  bool auto_redraw_ = false;
  int scale_mode_ = kScaleTwips;
  std::string access_keys_;
  Control* ambient_container_ = nullptr;
  Form* ambient_form_ = nullptr;
};

}  // namespace tk

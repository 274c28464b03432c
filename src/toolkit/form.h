#pragma once
// A top-level window with its controls in control order.

#include <QImage>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/control.h"
#include "toolkit/kinds.h"

class QEventLoop;
class QMenuBar;

namespace tk {

class FormWidget;

class Form : public VisualControl, public settings::TranslatableWindow {
 public:
  explicit Form(std::string name);
  ~Form() override;

  // TranslatableWindow (Tag and Caption are the window's own).
  std::string Tag() const override { return tag_; }
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  int ControlCount() const override;
  Control& ControlAt(int index) override;  // raises kErrSubscript outside the range

  // The control of that name (and index, for arrays; names ignore case);
  // raises kErrInvalidCall when there is none, kErrTypeMismatch when it is
  // not of kind T.
  template <typename T = Control>
  T& Get(const std::string& name, int index = -1) {
    Control& c = Find(name, index);
    T* t = dynamic_cast<T*>(&c);
    if (!t) throw platform::VbError(platform::kErrTypeMismatch, "wrong kind: " + name);
    return *t;
  }
  Control& Find(const std::string& name, int index = -1);
  bool Has(const std::string& name, int index = -1) const;

  // The control that has the keyboard focus, or nullptr.
  Control* ActiveControl() const;

  // Outer size in twips, title bar and border included. Where the window
  // system does not tell the frame (not shown yet, offscreen), the frame
  // counts 45 twips at the sides and bottom and 330 at the top.
  void SetOuterSize(int width_twips, int height_twips);
  int ScaleWidth() const;  // client area, twips
  int ScaleHeight() const;
  void SetClientSize(int width_twips, int height_twips);

  // Left and Top place the window on the screen; Width and Height are its
  // outer size.
  int Left() const override;
  void SetLeft(int twips) override;
  int Top() const override;
  void SetTop(int twips) override;
  int Width() const override;
  void SetWidth(int twips) override;
  int Height() const override;
  void SetHeight(int twips) override;
  bool Visible() const override;
  void SetVisible(bool visible) override;  // True shows the window (modeless), False hides it
  bool TabStop() const override;
  void SetTabStop(bool) override;
  void SetFocus() override;  // activates the window
  QWidget* ClientWidget() const override;

  void SetBorderStyle(int style);  // 0 none, 1 fixed single, 2 sizable
  void SetMinButton(bool on);
  void SetMaxButton(bool on);
  void SetIcon(const QImage& icon);
  void SetCentred(bool centred);  // centred on the screen when shown
  int BorderStyle() const { return border_style_; }

  void Show();       // modeless
  void ShowModal();  // returns when the window is unloaded or hidden
  void Hide();
  // Raises QueryUnload, then Unload; neither may cancel in this program.
  void Unload();
  bool Loaded() const;
  bool IsModal() const { return modal_loop_ != nullptr; }

  std::function<void(int16_t& cancel, int16_t& unload_mode)> QueryUnload;
  std::function<void(int16_t& cancel)> Unloaded;  // the window's Unload event

  // Controls are added by the description loader in control order.
  void AddControl(std::unique_ptr<Control> control, Control* container);
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  // Tab order. MoveInTabOrder gives the control that TabIndex and renumbers
  // the others so that the indexes stay 0, 1, 2, ... FocusNext moves the
  // focus to the next (or previous) tab stop after the active control:
  // controls whose TabStop is True and that can take the focus now
  // (Control::Focusable: visible, enabled and in view), in TabIndex order.
  // False when the window has no such stop.
  void MoveInTabOrder(Control* control, int tab_index);
  bool FocusNext(bool forward);
  // When the focus lies on something that can no longer be seen, it goes to
  // the next tab stop in view, or to the window itself when there is none.
  void KeepFocusInView();

  // Brings the menu bar in line with the window's top-level menu entries:
  // shown only while one of them is visible, and made only then (a window
  // whose only menu is hidden never builds one).
  void UpdateMenuBar();

 protected:
  bool ClicksOnMouseUp() const override { return true; }
  void ApplyLook() override;
  void ApplyGeometry() override {}

 private:
  friend class FormWidget;
  void UnloadWith(int16_t unload_mode);  // 0 the close button, 1 the program
  void ApplyWindowFlags();
  void LayoutClient();
  void Hidden();
  int FrameLeft() const;  // twips of frame beside the client area, each side
  int FrameTop() const;   // above it: title bar, border and menu bar
  int FrameBottom() const;
  void PressCancelButton();  // Esc
  void FocusOnActivation();

  std::vector<std::unique_ptr<Control>> controls_;
  FormWidget* window_ = nullptr;
  QWidget* client_ = nullptr;
  QMenuBar* menu_bar_ = nullptr;
  QEventLoop* modal_loop_ = nullptr;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // false once destroyed
  bool loaded_ = true;
  bool unloading_ = false;
  bool centred_ = false;
  bool min_button_ = true;
  bool max_button_ = true;
  int border_style_ = 2;
  std::string caption_;
};

}  // namespace tk

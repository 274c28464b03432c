#pragma once
// The intrinsic control kinds. Each maps onto one Qt widget (or none, for the
// Timer, ImageList and MSComm kinds, which have no window).

#include <QImage>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "toolkit/control.h"

class QTimer;
class QString;
class QAction;
class QMenu;

namespace tk {

enum class Alignment { kLeft = 0, kRight = 1, kCenter = 2 };

// Properties shared by the kinds that draw text or a background.
class VisualControl : public Control {
 public:
  using Control::Control;
  virtual Colour BackColor() const { return back_color_; }
  virtual void SetBackColor(Colour colour);
  virtual Colour ForeColor() const { return fore_color_; }
  virtual void SetForeColor(Colour colour);
  virtual const FontSpec& Font() const { return font_; }
  virtual void SetFont(const FontSpec& font);

 protected:
  virtual void ApplyLook();  // pushes colours and font into the widget
  Colour back_color_ = SystemColour(15);
  Colour fore_color_ = SystemColour(18);
  FontSpec font_;
};

class Label : public VisualControl {
 public:
  Label(std::string name, int index);
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;  // "&" marks an access key
  void SetAlignment(Alignment a);
  void SetBackStyle(int style);   // 0 transparent, 1 opaque
  bool TabStop() const override;  // labels have no tab stop: raise
  void SetTabStop(bool) override;
  void SetFocus() override;
  bool CanTakeFocus() const override { return false; }

 protected:
  void ApplyLook() override;
  bool ClicksOnMouseUp() const override { return true; }

 private:
  std::string caption_;
  int back_style_ = 1;
};

// Container kinds.
class PictureBox : public VisualControl {
 public:
  PictureBox(std::string name, int index);
  void SetPicture(const QImage& picture);
  void SetAlign(int align);  // 0 none, 4 right edge of the form, as tall as its client area
  int Align() const { return align_; }
  void SetBorderStyle(int style);  // 0 none, 1 fixed single
  QWidget* ClientWidget() const override;
  bool CanTakeFocus() const override { return true; }
  // Follows the form's client area when aligned to one of its edges.
  void FollowAlignment();

 protected:
  void ApplyLook() override;
  // A click on the box itself gives it the focus; a click on a label or
  // picture inside it does not (Qt would hand the focus on to the box).
  void ApplyFocusPolicy() override;
  void ApplyGeometry() override;
  bool ClicksOnMouseUp() const override { return true; }

 private:
  QWidget* client_ = nullptr;
  int align_ = 0;
  int border_style_ = 1;
};

class Frame : public VisualControl {
 public:
  Frame(std::string name, int index);
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  QWidget* ClientWidget() const override { return widget(); }
  bool CanTakeFocus() const override { return false; }

 protected:
  bool ClicksOnMouseUp() const override { return true; }

 private:
  std::string caption_;
};

class ListBox : public VisualControl {
 public:
  ListBox(std::string name, int index);
  void Clear();
  void AddItem(const std::string& item);
  int ListCount() const;
  std::string List(int i) const;  // raises kErrInvalidCall outside 0..ListCount-1
  int ListIndex() const;          // -1 when no row is selected
  // Selecting a row raises Click at once, inside the call, as the platform did.
  void SetListIndex(int i);
  bool Selected(int i) const;
  void SetSelected(int i, bool selected);
  // Text: the selected row's text; setting it selects the first row whose
  // text matches without regard to case, or nothing when none does.
  std::string Text() const override;
  void SetText(const std::string& text) override;

 private:
  void Select(int i);  // selects row i (-1: none), raising Click when it changes
  void RaiseClick();   // a user's pick: Click, through the event guard
  bool setting_ = false;
};

// Option buttons in one container form a group: selecting one clears the others.
class OptionButton : public VisualControl {
 public:
  OptionButton(std::string name, int index);
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  bool Value() const;
  // True raises Click (also when set by the program) when the button was not
  // selected; a user's click raises Click also on the selected button.
  void SetValue(bool value);
  // The option buttons of this one's group (its container), in tab order.
  std::vector<OptionButton*> Group() const;

 private:
  friend class OptionWidget;
  OptionButton* Neighbour(bool forward) const;  // for the arrow keys
  std::string caption_;
  bool value_ = false;
};

class CheckBox : public VisualControl {
 public:
  CheckBox(std::string name, int index);
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  int Value() const;         // 0 clear, 1 ticked, 2 greyed
  void SetValue(int value);  // a change raises Click, also when set by the program

 private:
  friend class CheckWidget;
  std::string caption_;
  int value_ = 0;
};

class CommandButton : public VisualControl {
 public:
  CommandButton(std::string name, int index);
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void SetCancel(bool is_cancel);  // Esc clicks it
  bool IsCancel() const { return is_cancel_; }
  // Clicks the button as the user would (Esc, the access key).
  void PressByKey();

 private:
  std::string caption_;
  bool is_cancel_ = false;
};

class Image : public Control {
 public:
  Image(std::string name, int index);
  void SetPicture(const QImage& picture);  // a null image clears it
  // A picture drawn the first time it is painted or asked for (at once when
  // the control takes its size): one on a page not yet shown costs nothing.
  void SetPicture(std::function<QImage()> draw);
  const QImage& Picture() const;
  // True: the picture is scaled to the control. False: the control takes the
  // picture's size.
  void SetStretch(bool stretch);
  bool Stretch() const { return stretch_; }
  bool TabStop() const override;
  void SetTabStop(bool) override;
  void SetFocus() override;
  bool CanTakeFocus() const override { return false; }

 protected:
  bool ClicksOnMouseUp() const override { return true; }

 private:
  void Fit();
  mutable std::function<QImage()> draw_;  // until drawn
  mutable QImage picture_;
  bool stretch_ = false;
};

class Shape : public Control {
 public:
  Shape(std::string name, int index);
  void SetShape(int shape);  // 0 rectangle, 4 rounded rectangle
  void SetFillColor(Colour colour);
  void SetBorderColor(Colour colour);
  void SetFillStyle(int style);  // 0 solid, 1 transparent
  bool TabStop() const override;
  void SetTabStop(bool) override;
  void SetFocus() override;
  bool CanTakeFocus() const override { return false; }
};

class Timer : public Control {
 public:
  Timer(std::string name, int index);
  ~Timer() override;
  int Interval() const;
  void SetInterval(int ms);
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;  // restarts the count when switched on
  Handler Tick;                            // the Timer event
  bool TabStop() const override;
  void SetTabStop(bool) override;
  void SetFocus() override;
  bool CanTakeFocus() const override { return false; }

 private:
  void Restart();
  QTimer* timer_;
  int interval_ = 0;
};

class Slider : public Control {
 public:
  Slider(std::string name, int index);
  int Min() const;
  void SetMin(int v);
  int Max() const;
  void SetMax(int v);
  int Value() const;
  void SetValue(int v);  // outside Min..Max raises kErrInvalidPropertyValue
  // Raised while the user drags (every step) and once the slider is let go
  // or moved by keys or clicks: the platform's "moved" notification.
  Handler Moved;

 private:
  void Push();  // hands range and value to the widget
  int min_ = 0, max_ = 10, value_ = 0;
  bool setting_ = false;
};

class TextBox : public VisualControl {
 public:
  TextBox(std::string name, int index);
  std::string Text() const override;
  void SetText(const std::string& text) override;  // raises Change when the text changes
  int Alignment() const;
  void SetAlignment(int a);  // 0..2; others raise kErrInvalidPropertyValue
  bool Locked() const;
  void SetLocked(bool locked);
  int MaxLength() const;
  void SetMaxLength(int n);
  std::string PasswordChar() const;
  void SetPasswordChar(const std::string& c);
  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  std::string SelText() const;
  void SetSelText(const std::string& text);
  std::string ToolTipText() const;
  void SetToolTipText(const std::string& text) override;
  void SetAppearance(int a);   // 0 flat, 1 3D
  void SetBorderStyle(int s);  // 0 none, 1 fixed single

  // Text that a paste or a drop would put into the box: every character
  // raises KeyPress as if typed. False (the box keeps its text) when a
  // handler cancels any of them or the text holds a control character (one
  // line break at its end is dropped); otherwise *accepted is what goes in.
  bool AcceptInserted(const QString& text, QString* accepted);

 protected:
  bool ClicksAndPassesTheMouseOn() const override { return true; }

 private:
  void ApplyFrame();
  bool setting_ = false;
  int appearance_ = 1;
  int border_style_ = 1;
  int max_length_ = 0;
  std::string password_char_;
};

// A menu entry; top-level entries form the window's menu bar (hidden
// entries show none). Menus have no tab stop.
class Menu : public Control {
 public:
  Menu(std::string name, int index);
  ~Menu() override;
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void SetEnabled(bool enabled) override;
  void SetVisible(bool visible) override;
  bool TabStop() const override;
  void SetTabStop(bool) override;
  void SetFocus() override;
  bool CanTakeFocus() const override { return false; }
  QAction* action() const { return action_; }

 protected:
  void Attached() override;

 private:
  QMenu* Submenu();  // the menu of this entry's own entries, made on first use
  std::string caption_;
  QAction* action_;
  QMenu* submenu_ = nullptr;
};

class ImageList : public Control {
 public:
  ImageList(std::string name, int index);
  // A picture by where it comes from (a named picture, drawn the first time
  // any window asks for it).
  void Add(std::function<QImage()> picture);
  int Count() const;
  // What draws the picture (Image::SetPicture takes it); numbered from 1,
  // kErrSubscript outside.
  const std::function<QImage()>& ListImage(int number) const;
  bool TabStop() const override;
  void SetTabStop(bool) override;
  void SetFocus() override;
  bool CanTakeFocus() const override { return false; }

 private:
  std::vector<std::function<QImage()>> pictures_;
};

// The serial communications control on a window; the port itself is
// platform::SerialPort. OnComm is never raised by the program.
class MSComm : public Control {
 public:
  MSComm(std::string name, int index);
  platform::SerialPort& port() { return port_; }
  Handler OnComm;
  bool TabStop() const override;
  void SetTabStop(bool) override;
  void SetFocus() override;
  bool CanTakeFocus() const override { return false; }

 private:
  platform::SerialPort port_;
};

}  // namespace tk

#pragma once
// The window toolkit: the platform's controls and windows rebuilt over Qt
// Widgets. A window is made from its description (description.h), control by
// control in description order; each control kind maps onto one Qt widget.
//
// Positions and sizes are twips (15 to a pixel). Colours are the platform's
// 32-bit values &HBBGGRR; &H8000xxxx names a system colour by its low byte.
// A property that a kind does not have raises
// platform::VbError(kErrPropertyNotSupported), as late-bound access did.

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/vb_error.h"
#include "settings/window_walk.h"

class QLocale;
class QTranslator;

namespace tk {

inline constexpr int kTwipsPerPixel = 15;
inline int TwipsToPixels(int twips) { return twips / kTwipsPerPixel; }
inline int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

using Colour = uint32_t;  // &HBBGGRR, or &H8000xxxx for a system colour
inline constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
inline constexpr Colour SystemColour(int index) { return 0x80000000u | static_cast<Colour>(index); }
// Resolves a system colour to the desktop palette's colour of that index.
QColor ToQColor(Colour colour);

struct FontSpec {
  std::string name = "MS Sans Serif";
  double size = 8.25;  // points
  int weight = 400;    // 400 normal, 700 bold
  int charset = 238;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  bool operator==(const FontSpec& o) const;
  bool operator!=(const FontSpec& o) const { return !(*this == o); }
};
// The Qt font for a stored font; the classic face names are substituted with free
// fonts once, at start (see InstallFontSubstitutions).
QFont ToQFont(const FontSpec& font);
void InstallFontSubstitutions();

// Qt's own texts (the text box's context menu, message box buttons) in the
// language of locale, from Qt's translations (qtbase_<language>.qm); the
// program's own texts never come from there. The translator installed, which
// the application owns, or nullptr where Qt has no translation for locale.
QTranslator* InstallQtTranslation(const QLocale& locale);

// Reads the system's font configuration (fontconfig's files and caches),
// which the first text drawn would otherwise wait for (8 ms or so). Needs no
// QApplication: the start does it on a thread of its own while Qt starts.
void LoadFontConfiguration();

enum class Kind {
  kForm,
  kLabel,
  kPictureBox,
  kFrame,
  kListBox,
  kOptionButton,
  kCheckBox,
  kCommandButton,
  kImage,
  kShape,
  kTimer,
  kSlider,
  kTextBox,
  kMenu,
  kImageList,
  kMSComm,
  kUserControl,  // ButtonXP, TextXP
};

enum class Pointer { kDefault, kHand };

class Form;

// Event signatures. Arguments are passed by reference as the platform did: a
// handler that changes KeyAscii to 0 cancels the key.
using Handler = std::function<void()>;
using KeyAsciiHandler = std::function<void(int16_t& key_ascii)>;
using KeyHandler = std::function<void(int16_t& key_code, int16_t& shift)>;
using MouseHandler = std::function<void(int16_t& button, int16_t& shift, float& x, float& y)>;

class Control : public settings::TranslatableControl {
 public:
  Control(Kind kind, std::string name, int index);
  ~Control() override;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Kind kind() const { return kind_; }
  const std::string& Name() const { return name_; }
  int Index() const { return index_; }  // -1 for a control outside an array
  Form* form() const { return form_; }
  QWidget* widget() const { return widget_.data(); }  // nullptr for kinds without a window

  // TranslatableControl
  std::string Tag() const override { return tag_; }
  void SetTag(const std::string& tag) { tag_ = tag; }
  std::string Caption() const override;  // kinds with a caption override
  void SetCaption(const std::string& caption) override;
  std::string Text() const override;  // kinds with a text override
  void SetText(const std::string& text) override;

  virtual int Left() const;
  virtual void SetLeft(int twips);
  virtual int Top() const;
  virtual void SetTop(int twips);
  virtual int Width() const;
  virtual void SetWidth(int twips);
  virtual int Height() const;
  virtual void SetHeight(int twips);
  void Move(int left, int top, int width, int height);

  // The control's container: the form itself or a container control
  // (PictureBox, Frame). Changing it re-parents the widget; Left and Top keep
  // their values, now counted in the new container.
  Control* Container() const { return container_; }
  virtual void SetContainer(Control* container);

  virtual bool Enabled() const;
  virtual void SetEnabled(bool enabled);
  virtual bool Visible() const;  // the control's own setting
  virtual void SetVisible(bool visible);

  // Tab order: kinds that cannot take the focus raise kErrPropertyNotSupported.
  virtual bool TabStop() const;
  virtual void SetTabStop(bool tab_stop);
  virtual int TabIndex() const;
  virtual void SetTabIndex(int tab_index);
  // Raises kErrInvalidCall when the control cannot take the focus now (see
  // Focusable), kErrPropertyNotSupported for a kind without focus.
  virtual void SetFocus();
  virtual bool HasFocus() const;
  // Whether the control can take the focus now: a kind with focus, visible
  // and enabled with all its containers, and at least partly inside the
  // visible client area of its window, neither parked or placed below it
  // nor clipped away by a container. Every way the focus moves asks this:
  // SetFocus, Tab and Shift+Tab, SendKeys, access keys and the window's
  // activation. TabStop and TabIndex keep their values meanwhile.
  bool Focusable() const;

  virtual void SetPointer(Pointer pointer);
  virtual void SetToolTipText(const std::string& text);

  // Raises an event that the user's action, a timer or the window system
  // caused: every such event goes through here. An error escaping the
  // handler ends neither the program nor the event: it is shown in a
  // critical message box naming it, and the next event is handled.
  static void RaiseUserEvent(const std::function<void()>& raise);
  // Raises the tick of `timer` through the same guard. An error escaping the
  // tick first stops the timer (`stop`, skipped when the tick has destroyed
  // it) and is then shown: a handler that fails on every tick is reported
  // once, and no tick runs while its box is open.
  static void RaiseTimerTick(QObject* timer, const std::function<void()>& tick,
                             const std::function<void()>& stop);

  // ZOrder 0 brings the control to the front of its container, 1 sends it
  // to the back.
  void ZOrder(int position = 0);

  // The widget that holds the controls placed in this one: the client area
  // of a form, the inside of a PictureBox or Frame; nullptr for kinds that
  // hold no controls.
  virtual QWidget* ClientWidget() const { return nullptr; }
  // Whether the kind has the TabStop and TabIndex properties and can take
  // the focus.
  virtual bool CanTakeFocus() const { return !widget_.isNull(); }

  // Events. Set by the owning window's code; unset handlers are skipped.
  Handler Click, DblClick, Change, GotFocus, LostFocus;
  KeyAsciiHandler KeyPress;
  KeyHandler KeyDown, KeyUp;
  MouseHandler MouseDown, MouseMove, MouseUp;

 protected:
  void SetWidget(QWidget* widget);  // takes ownership through Qt's parent chain
  [[noreturn]] static void NotSupported(const char* property);
  // Called once the control has its form and container (the widget is then
  // parented); kinds that place themselves elsewhere (menus) override it.
  virtual void Attached();
  // Pushes the stored geometry into the widget.
  virtual void ApplyGeometry();
  // Whether a mouse press and release over the widget raise Click (the
  // kinds without a click of their own: labels, pictures, frames, forms).
  virtual bool ClicksOnMouseUp() const { return false; }
  // Whether a left press and release over the widget raise Click while the
  // widget still gets the mouse (a text box places its caret).
  virtual bool ClicksAndPassesTheMouseOn() const { return false; }
  virtual void ApplyFocusPolicy();
  // Sends the focus on when it is inside this control and the control can
  // no longer be seen (after a move or a change of container).
  void FocusLeavesIfOutOfView();
  // Visible and enabled, and so are all its containers.
  bool ShownAndEnabled() const;
  // Stops routing the widget's events and signals to this control: the
  // first step of taking a window down, so that no handler runs on a window
  // half destroyed.
  void DetachEvents();
  friend class Form;
  friend class DescriptionLoader;
  friend class ControlEventBridge;

  Kind kind_;
  std::string name_;
  int index_;
  std::string tag_;
  Form* form_ = nullptr;
  Control* container_ = nullptr;
  QPointer<QWidget> widget_;   // cleared when Qt deletes the widget with its parent
  QObject* bridge_ = nullptr;  // the event filter that SetWidget installed
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;  // twips
  int tab_index_ = 0;
  bool tab_stop_ = true;
  bool enabled_ = true;
  bool visible_ = true;
  Pointer pointer_ = Pointer::kDefault;
  std::string tool_tip_;
  bool press_inside_ = false;  // a left press seen, for ClicksOnMouseUp
};

}  // namespace tk

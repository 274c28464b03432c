#pragma once
// Helpers shared by the toolkit's own sources; not for its users.

#include <QObject>
#include <QString>
#include <string>
#include <vector>

#include "toolkit/control.h"

class QFocusEvent;
class QKeyEvent;
class QInputMethodEvent;
class QWidget;

namespace tk {

inline QString Q(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}
inline std::string U(const QString& text) { return text.toUtf8().toStdString(); }

// Turns the platform's access-key markup into plain text: "&&" becomes "&",
// a single "&" is dropped.
QString StripAccessKey(const QString& caption);

// The platform's key code (virtual-key number) for a Qt key, 0 when it has
// none; and the Shift argument (1 Shift, 2 Ctrl, 4 Alt) for Qt modifiers.
int16_t KeyCodeOf(int qt_key);
int16_t ShiftOf(Qt::KeyboardModifiers modifiers);
// The platform's button code: 1 left, 2 right, 4 middle, added together.
int16_t ButtonOf(Qt::MouseButtons buttons);

// KeyAscii of a character: its windows-1250 code; "?" (63) for a character
// that windows-1250 lacks. And the text of a KeyAscii.
int16_t KeyAsciiOf(char32_t ch);
QString TextOfKeyAscii(int16_t key_ascii);

// Raises the control's KeyPress for each character of a text that reaches it
// (typed, committed by an input method, pasted or dropped); control may be
// nullptr, when nobody hears the keys. Returns the text the handler left:
// cancelled characters dropped (and *cancelled set), replaced ones replaced.
QString RaiseKeyPressForText(Control* control, const QString& text, bool* cancelled);

// Routes a control's widget's input and focus events to its handlers.
class ControlEventBridge : public QObject {
 public:
  ControlEventBridge(Control* control, QObject* parent) : QObject(parent), control_(control) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool KeyPressed(QObject* watched, QKeyEvent* event);
  bool InputMethodText(QObject* watched, QInputMethodEvent* event);
  // Gives the widget an event made anew with the text the handlers left; it
  // passes this filter unheard.
  void Replay(QObject* watched, QEvent* event);
  Control* control_;
  bool replaying_ = false;
};

// Whether a focus change of a control's widget stays unheard: one that
// comes from a pop-up, or from its window being activated, except when the
// window is activated for the first time and the widget takes the focus.
bool SilentFocusChange(const QFocusEvent* event, const QWidget* widget);

// Whether any part of the widget lies inside its window's client area: the
// widget and each of its parents are not hidden, and its rectangle, cut by
// each parent's, is not empty. A control parked in a container below the
// window's visible area, or clipped away by its container, is not in view.
bool InView(const QWidget* widget);

// Whether a kind has the TabIndex property (every kind with a window but
// forms, images, shapes and menus).
bool HasTabIndex(Kind kind);
// Labels, images and shapes: drawn on their container, below every control
// that has a window of its own.
bool IsWindowless(Kind kind);

// Every live form, in creation order, for SendKeys and the message box owner.
std::vector<Form*>& LiveForms();
// The form whose top-level widget is window, or nullptr.
Form* FormOfWindow(const QWidget* window);
// The window of the form the user worked in last, while it is shown (the
// program's windows may all be inactive: the user has gone to another
// program during an exchange); else the first shown form's; else nullptr.
QWidget* LastActiveFormWindow();

}  // namespace tk

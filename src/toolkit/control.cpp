#include "toolkit/control.h"

#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMouseEvent>
#include <QTranslator>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/cp1250.h"
#include "platform/message_box.h"
#include "toolkit/form.h"
#include "toolkit/internal.h"

namespace tk {

// ---------------------------------------------------------------------------
// Colours and fonts

namespace {

// The desktop palette of the system colours, by index (the classic desktop
// scheme the windows were designed on).
constexpr uint32_t kSystemPalette[] = {
    0xC8C8C8,  // 0 scroll bar
    0x000000,  // 1 desktop
    0x99B4D1,  // 2 active caption
    0xBFCDDB,  // 3 inactive caption
    0xF0F0F0,  // 4 menu
    0xFFFFFF,  // 5 window
    0x646464,  // 6 window frame
    0x000000,  // 7 menu text
    0x000000,  // 8 window text
    0x000000,  // 9 caption text
    0xB4B4B4,  // 10 active border
    0xF4F7FC,  // 11 inactive border
    0xABABAB,  // 12 application workspace
    0x3399FF,  // 13 highlight
    0xFFFFFF,  // 14 highlight text
    0xF0F0F0,  // 15 button face
    0xA0A0A0,  // 16 button shadow
    0x6D6D6D,  // 17 grey text
    0x000000,  // 18 button text
    0x434E54,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
    0x696969,  // 21 3D dark shadow
    0xE3E3E3,  // 22 3D light
    0x000000,  // 23 tooltip text
    0xFFFFE1,  // 24 tooltip background
    0x000000,  // 25 (unused)
    0x0066CC,  // 26 hot-tracked item
    0xB9D1EA,  // 27 active caption gradient
    0xD7E4F2,  // 28 inactive caption gradient
    0x3399FF,  // 29 menu highlight
    0xF0F0F0,  // 30 menu bar
};             // values #RRGGBB

const char* const kFaceSubstitutions[][2] = {
    {"MS Sans Serif", "Liberation Sans"},
    {"MS Serif", "Liberation Serif"},
    {"Arial", "Liberation Sans"},
    {"Verdana", "Liberation Sans"},
};

}  // namespace

QColor ToQColor(Colour colour) {
  if (colour & 0x80000000u) {
    const uint32_t index = colour & 0xFFu;
    const uint32_t rgb =
        index < sizeof(kSystemPalette) / sizeof(kSystemPalette[0]) ? kSystemPalette[index] : 0;
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  }
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

bool FontSpec::operator==(const FontSpec& o) const {
  return name == o.name && size == o.size && weight == o.weight && charset == o.charset &&
         italic == o.italic && underline == o.underline && strikethrough == o.strikethrough;
}

QTranslator* InstallQtTranslation(const QLocale& locale) {
  auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
  if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator.get())) {
    return nullptr;
  }
  return translator.release();
}

void LoadFontConfiguration() { FcInit(); }

void InstallFontSubstitutions() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (const auto& pair : kFaceSubstitutions) QFont::insertSubstitution(pair[0], pair[1]);
}

QFont ToQFont(const FontSpec& font) {
  InstallFontSubstitutions();
  QString family = Q(font.name);
  // The bitmap face the windows were drawn with is narrower than its free
  // twin: at full width the side menu's entries no longer fit their labels.
  const bool narrow_face = family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0;
  for (const auto& pair : kFaceSubstitutions) {
    if (family.compare(QLatin1String(pair[0]), Qt::CaseInsensitive) == 0) {
      family = QLatin1String(pair[1]);
      break;
    }
  }
  QFont f(family);
  // The windows were laid out at 96 dots per inch: a point size becomes the
  // pixel height the desktop gave it there (8.25 pt is 11 px).
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(font.size * 96.0 / 72.0))));
  f.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 100, 900)));
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  f.setStrikeOut(font.strikethrough);
  // A stretched face loses its bold weight, so bold captions keep full width.
  if (narrow_face && font.weight < 600) f.setStretch(92);
  return f;
}

// ---------------------------------------------------------------------------
// Helpers

QString StripAccessKey(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (int i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&')) {
      if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

int16_t KeyCodeOf(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    return static_cast<int16_t>(key);  // the same numbers
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<int16_t>(112 + key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Shift:
      return 16;
    case Qt::Key_Control:
      return 17;
    case Qt::Key_Alt:
      return 18;
    case Qt::Key_Pause:
      return 19;
    case Qt::Key_CapsLock:
      return 20;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return 33;
    case Qt::Key_PageDown:
      return 34;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    case Qt::Key_Plus:
      return 107;
    case Qt::Key_Minus:
      return 109;
    case Qt::Key_Comma:
      return 188;
    case Qt::Key_Period:
      return 190;
    default:
      return 0;
  }
}

int16_t ButtonOf(Qt::MouseButtons buttons) {
  int16_t b = 0;
  if (buttons & Qt::LeftButton) b |= 1;
  if (buttons & Qt::RightButton) b |= 2;
  if (buttons & Qt::MiddleButton) b |= 4;
  return b;
}

int16_t ShiftOf(Qt::KeyboardModifiers modifiers) {
  int16_t shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= 1;
  if (modifiers & Qt::ControlModifier) shift |= 2;
  if (modifiers & Qt::AltModifier) shift |= 4;
  return shift;
}

int16_t KeyAsciiOf(char32_t ch) {
  if (ch == 0) return 0;
  if (ch < 128) return static_cast<int16_t>(ch);
  // The platform's text boxes held windows-1250 text: a character it lacks
  // (another keyboard layout's letter) came as "?", and a filter saw that.
  const std::string bytes = platform::Utf8ToCp1250(U(QString::fromUcs4(&ch, 1)));
  if (bytes.size() != 1 || bytes[0] == '?') return '?';
  return static_cast<int16_t>(static_cast<unsigned char>(bytes[0]));
}

QString TextOfKeyAscii(int16_t key_ascii) {
  const char byte = static_cast<char>(key_ascii & 0xFF);
  if (static_cast<unsigned char>(byte) < 128) return QString(QChar(byte));
  return Q(platform::Cp1250ToUtf8(std::string(1, byte)));
}

QString RaiseKeyPressForText(Control* control, const QString& text, bool* cancelled) {
  QString accepted;
  *cancelled = false;
  for (char32_t ch : text.toUcs4()) {
    int16_t key_ascii = KeyAsciiOf(ch);
    const int16_t typed = key_ascii;
    if (typed == 0) {  // no character code: nothing to hear
      accepted += QString::fromUcs4(&ch, 1);
      continue;
    }
    if (control && control->KeyPress) {
      Control::RaiseUserEvent([&] { control->KeyPress(key_ascii); });
    }
    if (key_ascii == 0) {
      *cancelled = true;
    } else if (key_ascii == typed) {
      accepted += QString::fromUcs4(&ch, 1);
    } else {
      accepted += TextOfKeyAscii(key_ascii);  // a handler replaced the character
    }
  }
  return accepted;
}

// ---------------------------------------------------------------------------
// Event routing

bool ControlEventBridge::KeyPressed(QObject* watched, QKeyEvent* event) {
  Control* c = control_;
  // Tab and Shift+Tab belong to the window: while it has a tab stop to go
  // to they move the focus there, and the control they leave hears nothing.
  if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
      !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    // Shift+Tab may come as Tab with Shift held, as Qt reads it too.
    const bool forward = event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier);
    Form* window = FormOfWindow(c->widget()->window());
    if (window && window->FocusNext(forward)) return true;
  }
  const bool is_form = c->form() == c;
  // A form hears its own keys only when no control has the focus; a
  // control's keys are that control's alone.
  bool hears = true;
  if (is_form) {
    QWidget* focus = QApplication::focusWidget();
    hears = focus == nullptr || focus == c->widget() || focus == c->ClientWidget();
  }
  int16_t code = KeyCodeOf(event->key());
  int16_t shift = ShiftOf(event->modifiers());
  if (code != 0 && hears && c->KeyDown) {
    Control::RaiseUserEvent([&] { c->KeyDown(code, shift); });
  }
  QString text = event->text();
  const int key = event->key();
  if ((event->modifiers() & Qt::ControlModifier) && !(event->modifiers() & Qt::AltModifier) &&
      key >= Qt::Key_A && key <= Qt::Key_Z) {
    // Ctrl and a letter type its control character (Ctrl+V is 22), whatever
    // text the window system put into the event.
    text = QChar(static_cast<char16_t>(key - Qt::Key_A + 1));
  }
  if (text.isEmpty()) return false;
  bool cancelled = false;
  const QString accepted = RaiseKeyPressForText(hears ? c : nullptr, text, &cancelled);
  if (accepted == text) return false;   // the widget takes the key as it came
  if (accepted.isEmpty()) return true;  // cancelled
  // A handler replaced a character: the widget receives the new text.
  QKeyEvent replaced(QEvent::KeyPress, 0, event->modifiers(), accepted);
  Replay(watched, &replaced);
  return true;
}

// Text that an input method commits is typed text too: each character raises
// KeyPress, and the box gets what the handlers left.
bool ControlEventBridge::InputMethodText(QObject* watched, QInputMethodEvent* event) {
  const QString text = event->commitString();
  if (text.isEmpty()) return false;
  bool cancelled = false;
  const QString accepted = RaiseKeyPressForText(control_, text, &cancelled);
  if (accepted == text) return false;
  QInputMethodEvent replaced(event->preeditString(), event->attributes());
  replaced.setCommitString(accepted, event->replacementStart(), event->replacementLength());
  Replay(watched, &replaced);
  return true;
}

void ControlEventBridge::Replay(QObject* watched, QEvent* event) {
  replaying_ = true;
  QApplication::sendEvent(watched, event);
  replaying_ = false;
}

bool ControlEventBridge::eventFilter(QObject* watched, QEvent* event) {
  Control* c = control_;
  if (watched != c->widget()) return false;
  switch (event->type()) {
    case QEvent::KeyPress:
      // A disabled control hears no keys (the filter sees events before the
      // widget itself drops them).
      if (replaying_ || !c->widget()->isEnabled()) return false;
      return KeyPressed(watched, static_cast<QKeyEvent*>(event));
    case QEvent::InputMethod:
      if (replaying_ || !c->widget()->isEnabled()) return false;
      return InputMethodText(watched, static_cast<QInputMethodEvent*>(event));
    case QEvent::KeyRelease: {
      auto* e = static_cast<QKeyEvent*>(event);
      if (e->isAutoRepeat() || !c->widget()->isEnabled()) return false;
      int16_t code = KeyCodeOf(e->key());
      int16_t shift = ShiftOf(e->modifiers());
      if (code == 0) return false;
      if (c->KeyUp) Control::RaiseUserEvent([&] { c->KeyUp(code, shift); });
      return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      // Qt hands a disabled widget's mouse input to its event filters too; a
      // disabled control raises no mouse events and no Click.
      if (!c->widget()->isEnabled()) return false;
      auto* e = static_cast<QMouseEvent*>(event);
      const QPointF p = e->position();
      float x = static_cast<float>(p.x() * kTwipsPerPixel);
      float y = static_cast<float>(p.y() * kTwipsPerPixel);
      int16_t shift = ShiftOf(e->modifiers());
      // The kinds that click on a release take the mouse for themselves: it
      // does not travel on to their container (a click on a label is no
      // click on the picture box or window beneath).
      const bool take = c->ClicksOnMouseUp();
      if (event->type() == QEvent::MouseMove) {
        int16_t button = ButtonOf(e->buttons());
        if (c->MouseMove) Control::RaiseUserEvent([&] { c->MouseMove(button, shift, x, y); });
        return take;
      }
      int16_t button = ButtonOf(e->button());
      if (event->type() == QEvent::MouseButtonPress) {
        if (e->button() == Qt::LeftButton) c->press_inside_ = true;
        // A press that lands on a picture box itself (not one that a label
        // inside it took) gives the box the focus.
        if (c->kind() == Kind::kPictureBox && !c->HasFocus()) {
          c->widget()->setFocus(Qt::MouseFocusReason);
        }
        if (c->MouseDown) Control::RaiseUserEvent([&] { c->MouseDown(button, shift, x, y); });
      } else if (event->type() == QEvent::MouseButtonDblClick) {
        // The second press of a double click brings DblClick instead of a
        // MouseDown, and its release no second Click.
        c->press_inside_ = false;
        if (c->DblClick) Control::RaiseUserEvent([&] { c->DblClick(); });
      } else {
        const bool click = e->button() == Qt::LeftButton && c->press_inside_ &&
                           (take || c->ClicksAndPassesTheMouseOn()) &&
                           c->widget()->rect().contains(p.toPoint());
        if (e->button() == Qt::LeftButton) c->press_inside_ = false;
        if (c->MouseUp) Control::RaiseUserEvent([&] { c->MouseUp(button, shift, x, y); });
        if (click && c->Click) Control::RaiseUserEvent([&] { c->Click(); });
      }
      return take;
    }
    case QEvent::Shortcut:
      // An access key reaches only a control that can take the focus now.
      return !c->Focusable();
    case QEvent::FocusIn: {
      if (SilentFocusChange(static_cast<QFocusEvent*>(event), c->widget())) return false;
      if (c->GotFocus) Control::RaiseUserEvent([&] { c->GotFocus(); });
      return false;
    }
    case QEvent::FocusOut: {
      if (SilentFocusChange(static_cast<QFocusEvent*>(event), c->widget())) return false;
      if (c->LostFocus) Control::RaiseUserEvent([&] { c->LostFocus(); });
      return false;
    }
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// Control

Control::Control(Kind kind, std::string name, int index)
    : kind_(kind), name_(std::move(name)), index_(index) {}

Control::~Control() {
  DetachEvents();
  if (widget_) delete widget_.data();
}

void Control::DetachEvents() {
  if (!widget_) return;
  if (bridge_) {
    widget_->removeEventFilter(bridge_);
    delete bridge_;
    bridge_ = nullptr;
  }
  widget_->blockSignals(true);
}

void Control::NotSupported(const char* property) {
  throw platform::VbError(
      platform::kErrPropertyNotSupported,
      std::string("Object doesn't support this property or method: ") + property);
}

namespace {

// The guard's own message box is open: the user is already looking at an
// error, and a timer failing on every tick must not pile boxes up.
bool reporting_error = false;

void ReportUnexpectedError(const std::string& what) {
  if (reporting_error) {
    qWarning("unexpected error while another is shown: %s", what.c_str());
    return;
  }
  struct Reporting {
    Reporting() { reporting_error = true; }
    ~Reporting() { reporting_error = false; }
  } reporting;
  platform::MsgBox("Nieoczekiwany błąd: " + what, platform::MsgBoxIcon::kCritical);
}

}  // namespace

void Control::RaiseUserEvent(const std::function<void()>& raise) {
  // Nothing may unwind through Qt's event dispatch: an error no handler
  // expected is shown, and the program goes on with the next event.
  try {
    raise();
  } catch (...) {
    ReportUnexpectedError(platform::DescribeCurrentError());
  }
}

void Control::RaiseTimerTick(QObject* timer, const std::function<void()>& tick,
                             const std::function<void()>& stop) {
  const QPointer<QObject> alive(timer);
  RaiseUserEvent([&] {
    try {
      tick();
    } catch (...) {
      if (alive) stop();
      throw;
    }
  });
}

void Control::SetWidget(QWidget* widget) {
  widget_ = widget;
  if (!widget) return;
  bridge_ = new ControlEventBridge(this, widget);
  widget->installEventFilter(bridge_);
  widget->setMouseTracking(true);
  widget->setObjectName(Q(name_));
  ApplyFocusPolicy();
}

void Control::Attached() {
  if (!widget_ || !container_) return;
  QWidget* parent = container_->ClientWidget();
  if (parent && widget_->parentWidget() != parent) widget_->setParent(parent);
  ApplyGeometry();
  widget_->setVisible(visible_);
}

void Control::ApplyGeometry() {
  if (!widget_) return;
  widget_->setGeometry(TwipsToPixels(left_), TwipsToPixels(top_), TwipsToPixels(width_),
                       TwipsToPixels(height_));
  FocusLeavesIfOutOfView();
}

void Control::FocusLeavesIfOutOfView() {
  if (form_ && form_ != this && HasFocus()) form_->KeepFocusInView();
}

void Control::ApplyFocusPolicy() {
  if (!widget_ || !CanTakeFocus()) return;
  // Without a tab stop a control still takes the focus when clicked, but Tab
  // passes it by.
  widget_->setFocusPolicy(tab_stop_ ? Qt::StrongFocus : Qt::ClickFocus);
}

std::string Control::Caption() const { NotSupported("Caption"); }
void Control::SetCaption(const std::string&) { NotSupported("Caption"); }
std::string Control::Text() const { NotSupported("Text"); }
void Control::SetText(const std::string&) { NotSupported("Text"); }

int Control::Left() const { return left_; }
void Control::SetLeft(int twips) {
  left_ = twips;
  ApplyGeometry();
}
int Control::Top() const { return top_; }
void Control::SetTop(int twips) {
  top_ = twips;
  ApplyGeometry();
}
int Control::Width() const { return width_; }
void Control::SetWidth(int twips) {
  if (twips < 0)
    throw platform::VbError(platform::kErrInvalidPropertyValue, "Invalid property value");
  width_ = twips;
  ApplyGeometry();
}
int Control::Height() const { return height_; }
void Control::SetHeight(int twips) {
  if (twips < 0)
    throw platform::VbError(platform::kErrInvalidPropertyValue, "Invalid property value");
  height_ = twips;
  ApplyGeometry();
}
void Control::Move(int left, int top, int width, int height) {
  if (width < 0 || height < 0) {
    throw platform::VbError(platform::kErrInvalidPropertyValue, "Invalid property value");
  }
  // Through the setters, so that kinds with a geometry of their own (forms)
  // keep their rules.
  SetLeft(left);
  SetTop(top);
  SetWidth(width);
  SetHeight(height);
}

void Control::SetContainer(Control* container) {
  if (!container || !container->ClientWidget() || container->form() != form_) {
    throw platform::VbError(platform::kErrInvalidPropertyValue, "Invalid property value");
  }
  // A control cannot be placed inside itself or inside one of its own.
  for (Control* c = container; c; c = c->Container()) {
    if (c == this)
      throw platform::VbError(platform::kErrInvalidPropertyValue, "Invalid property value");
  }
  container_ = container;
  if (widget_) {
    // Qt hides a widget it re-parents, which sends the focus on (through
    // the window's FocusNext) when it was inside.
    widget_->setParent(container->ClientWidget());
    ApplyGeometry();
    widget_->setVisible(visible_);
    ZOrder(0);  // on top of the new container's controls of its layer
    FocusLeavesIfOutOfView();
  }
}

bool Control::Enabled() const { return enabled_; }
void Control::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (widget_) widget_->setEnabled(enabled);
}
bool Control::Visible() const { return visible_; }
void Control::SetVisible(bool visible) {
  visible_ = visible;
  // A widget without a parent would show as a window of its own.
  if (widget_ && widget_->parentWidget()) widget_->setVisible(visible);
}

bool Control::TabStop() const {
  if (!CanTakeFocus()) NotSupported("TabStop");
  return tab_stop_;
}
void Control::SetTabStop(bool tab_stop) {
  if (!CanTakeFocus()) NotSupported("TabStop");
  tab_stop_ = tab_stop;
  ApplyFocusPolicy();
}

bool HasTabIndex(Kind kind) {
  switch (kind) {
    case Kind::kForm:
    case Kind::kImage:
    case Kind::kShape:
    case Kind::kTimer:
    case Kind::kMenu:
    case Kind::kImageList:
    case Kind::kMSComm:
      return false;
    default:
      return true;
  }
}

int Control::TabIndex() const {
  if (!HasTabIndex(kind_)) NotSupported("TabIndex");
  return tab_index_;
}
void Control::SetTabIndex(int tab_index) {
  if (!HasTabIndex(kind_)) NotSupported("TabIndex");
  if (tab_index < 0)
    throw platform::VbError(platform::kErrInvalidPropertyValue, "Invalid property value");
  if (form_ && form_ != this) {
    form_->MoveInTabOrder(this, tab_index);
  } else {
    tab_index_ = tab_index;
  }
}

void Control::SetFocus() {
  if (!CanTakeFocus()) NotSupported("SetFocus");
  if (!Focusable()) {
    throw platform::VbError(platform::kErrInvalidCall, "Invalid procedure call or argument");
  }
  widget_->setFocus(Qt::OtherFocusReason);
}

bool InView(const QWidget* widget) {
  QRect area = widget->rect();
  for (const QWidget* w = widget; !w->isWindow(); w = w->parentWidget()) {
    if (w->isHidden()) return false;
    area = area.translated(w->pos()) & w->parentWidget()->rect();
    if (area.isEmpty()) return false;
  }
  return true;
}

bool Control::ShownAndEnabled() const {
  for (const Control* c = this; c; c = c->Container()) {
    if (!c->visible_ || !c->enabled_) return false;
  }
  return true;
}

bool Control::Focusable() const {
  return widget_ && CanTakeFocus() && ShownAndEnabled() && InView(widget_);
}

bool Control::HasFocus() const {
  if (!widget_) return false;
  QWidget* window = widget_->window();
  QWidget* focus = window ? window->focusWidget() : nullptr;
  return focus && (focus == widget_ || widget_->isAncestorOf(focus));
}

void Control::SetPointer(Pointer pointer) {
  pointer_ = pointer;
  if (!widget_) return;
  if (pointer == Pointer::kHand) {
    widget_->setCursor(Qt::PointingHandCursor);
  } else {
    widget_->unsetCursor();
  }
}

void Control::SetToolTipText(const std::string& text) {
  tool_tip_ = text;
  if (widget_) widget_->setToolTip(Q(text));
}

bool IsWindowless(Kind kind) {
  return kind == Kind::kLabel || kind == Kind::kImage || kind == Kind::kShape;
}

void Control::ZOrder(int position) {
  if (!widget_) return;
  QWidget* parent = widget_->parentWidget();
  if (!parent || !form_) {
    position == 0 ? widget_->raise() : widget_->lower();
    return;
  }
  // Labels, images and shapes stay below the siblings that have a window of
  // their own; each kind moves within its own layer.
  const bool windowless = IsWindowless(kind_);
  auto layer_of = [this](const QObject* o) -> int {  // 0 windowless, 1 windowed, -1 none
    for (int i = 0; i < form_->ControlCount(); ++i) {
      const Control& c = form_->ControlAt(i);
      if (c.widget() == o) return IsWindowless(c.kind()) ? 0 : 1;
    }
    return -1;
  };
  if (position == 0) {
    widget_->raise();
    if (windowless) {
      for (QObject* o : parent->children()) {  // bottom first
        if (o != widget_ && o->isWidgetType() && layer_of(o) == 1) {
          widget_->stackUnder(static_cast<QWidget*>(o));
          break;
        }
      }
    }
  } else {
    widget_->lower();
    if (!windowless) {
      QWidget* top_windowless = nullptr;
      for (QObject* o : parent->children()) {
        if (o != widget_ && o->isWidgetType() && layer_of(o) == 0) {
          top_windowless = static_cast<QWidget*>(o);
        }
      }
      if (top_windowless) {
        widget_->raise();
        // Just above the topmost windowless sibling: under every windowed one.
        for (QObject* o : parent->children()) {
          if (o != widget_ && o->isWidgetType() && layer_of(o) == 1) {
            widget_->stackUnder(static_cast<QWidget*>(o));
            break;
          }
        }
      }
    }
  }
}

}  // namespace tk

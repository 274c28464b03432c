#include "toolkit/user_control.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleHints>
#include <QWidget>
#include <cmath>

#include "toolkit/form.h"
#include "toolkit/internal.h"

namespace tk {
namespace {

// Every notification the window system brings goes through the toolkit's
// one guard, as the intrinsic controls' events do.
void Guarded(const std::function<void()>& notify) { Control::RaiseUserEvent(notify); }

bool Inside(const QWidget* w, QPoint p) {
  if (!w->rect().contains(p)) return false;
  return w->mask().isEmpty() || w->mask().contains(p);
}

// The surface's window. It shows the persistent image and turns Qt's input
// into the host's notifications.
class SurfaceWidget : public QWidget {
 public:
  SurfaceWidget(UserControl* host, bool can_get_focus) : host_(host) {
    setFocusPolicy(can_get_focus ? Qt::StrongFocus : Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    focus_changes_ =
        QObject::connect(qApp, &QApplication::focusChanged, this,
                         [this](QWidget* old, QWidget* now) { FocusChanged(old, now); });
  }

  ~SurfaceWidget() override { QObject::disconnect(focus_changes_); }

  // The host is going away: no more notifications.
  void Detach() { host_ = nullptr; }

  void SetAccessKeyWatch(bool on) {
    if (on == watching_keys_) return;
    watching_keys_ = on;
    if (on) {
      qApp->installEventFilter(this);
    } else {
      qApp->removeEventFilter(this);
    }
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (host_) host_->PaintSurface(this);
  }
  void resizeEvent(QResizeEvent*) override {
    if (host_) Guarded([this] { host_->HostResized(); });
  }
  void showEvent(QShowEvent* e) override {
    if (host_ && !e->spontaneous()) Guarded([this] { host_->UserControl_Show(); });
  }

  void focusInEvent(QFocusEvent* e) override {
    if (host_ && !SilentFocusChange(e, this)) {
      Guarded([this] { host_->UserControl_GotFocus(); });
    }
  }
  void focusOutEvent(QFocusEvent* e) override {
    if (host_ && !SilentFocusChange(e, this)) {
      Guarded([this] { host_->UserControl_LostFocus(); });
    }
  }

  void mousePressEvent(QMouseEvent* e) override {
    if (!host_) return;
    int16_t button = ButtonOf(e->button());
    if (button == 0) return;
    int16_t shift = ShiftOf(e->modifiers());
    float x = host_->ToScale(e->position().toPoint().x());
    float y = host_->ToScale(e->position().toPoint().y());
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    const bool second_press = clicked_button_ == button && e->timestamp() >= last_click_time_ &&
                              e->timestamp() - last_click_time_ <= static_cast<ulong>(interval);
    clicked_button_ = 0;
    if (second_press) {
      double_click_ = true;
      double_click_seen_ = true;
      Guarded([this] { host_->UserControl_DblClick(); });
      return;
    }
    double_click_ = false;
    double_click_seen_ = false;
    Guarded([&] { host_->UserControl_MouseDown(button, shift, x, y); });
  }
  // Qt follows the second press with a double-click event; when that press
  // was already recognised it is dropped. A double-click event without such
  // a press (as synthetic input sends it) is the second press itself.
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (!host_) return;
    if (double_click_seen_) {
      double_click_seen_ = false;
      return;
    }
    if (ButtonOf(e->button()) == 0) return;
    clicked_button_ = 0;
    double_click_ = true;
    Guarded([this] { host_->UserControl_DblClick(); });
  }

  void mouseMoveEvent(QMouseEvent* e) override {
    if (!host_) return;
    int16_t button = ButtonOf(e->buttons());
    int16_t shift = ShiftOf(e->modifiers());
    float x = host_->ToScale(e->position().toPoint().x());
    float y = host_->ToScale(e->position().toPoint().y());
    Guarded([&] { host_->UserControl_MouseMove(button, shift, x, y); });
  }

  void mouseReleaseEvent(QMouseEvent* e) override {
    if (!host_) return;
    int16_t button = ButtonOf(e->button());
    if (button == 0) return;
    QPointer<QWidget> self(this);
    int16_t shift = ShiftOf(e->modifiers());
    const QPoint p = e->position().toPoint();
    float x = host_->ToScale(p.x());
    float y = host_->ToScale(p.y());
    if (GetCapture() == this && e->buttons() == Qt::NoButton) ReleaseCapture();
    const bool was_double = double_click_;
    double_click_ = false;
    double_click_seen_ = false;
    Guarded([&] { host_->UserControl_MouseUp(button, shift, x, y); });
    if (!self || !host_) return;
    if (was_double || !Inside(this, p)) return;
    clicked_button_ = button;
    last_click_time_ = e->timestamp();
    Guarded([this] { host_->UserControl_Click(); });
  }

  void keyPressEvent(QKeyEvent* e) override {
    if (!host_) return;
    int16_t key_code = KeyCodeOf(e->key());
    int16_t shift = ShiftOf(e->modifiers());
    QPointer<QWidget> self(this);
    if (key_code != 0) Guarded([&] { host_->UserControl_KeyDown(key_code, shift); });
    if (!self || !host_) return;
    // KeyAscii is the character's windows-1250 code, as the text box gives it.
    const std::u32string text = e->text().toStdU32String();
    if (text.size() != 1 || (e->modifiers() & Qt::ControlModifier)) return;
    int16_t key_ascii = KeyAsciiOf(text[0]);
    if (key_ascii != 0) Guarded([&] { host_->UserControl_KeyPress(key_ascii); });
  }
  void keyReleaseEvent(QKeyEvent* e) override {
    if (!host_) return;
    if (e->isAutoRepeat()) return;
    int16_t key_code = KeyCodeOf(e->key());
    int16_t shift = ShiftOf(e->modifiers());
    if (key_code != 0) Guarded([&] { host_->UserControl_KeyUp(key_code, shift); });
  }

  // Alt + the access key anywhere in this window, for a control that can
  // take the focus now (one out of view cannot be reached by its key).
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!host_ || event->type() != QEvent::KeyPress) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != window() || !isEnabled() || !host_->Focusable()) return false;
    auto* ke = static_cast<QKeyEvent*>(event);
    if (!(ke->modifiers() & Qt::AltModifier) || (ke->modifiers() & Qt::ControlModifier)) {
      return false;
    }
    QString key = ke->text().toLower();
    if (key.isEmpty() && ke->key() > 0 && ke->key() < 0x7f) {
      key = QString(QChar(ke->key())).toLower();
    }
    const QString mine = QString::fromStdString(host_->AccessKeys());
    if (key.isEmpty() || mine.isEmpty() || key.at(0) != mine.at(0)) return false;
    int16_t key_ascii = static_cast<int16_t>(key.at(0).unicode());
    Guarded([&] { host_->UserControl_AccessKeyPress(key_ascii); });
    return true;
  }

 private:
  void FocusChanged(QWidget* old, QWidget* now) {
    if (!host_) return;
    if (!old || !now) return;  // another window activated or deactivated
    const bool was_inside = old == this || isAncestorOf(old);
    const bool is_inside = now == this || isAncestorOf(now);
    if (was_inside && !is_inside) Guarded([this] { host_->UserControl_ExitFocus(); });
  }

  UserControl* host_;
  QMetaObject::Connection focus_changes_;
  bool watching_keys_ = false;
  bool double_click_ = false;       // the press held now was a double click's
  bool double_click_seen_ = false;  // and Qt's double-click event is still due
  int16_t clicked_button_ = 0;
  ulong last_click_time_ = 0;
};

}  // namespace

UserControl::UserControl(std::string name, int index, bool can_get_focus)
    : VisualControl(Kind::kUserControl, std::move(name), index) {
  // The platform's defaults for a user-control surface.
  back_color_ = SystemColour(15);
  fore_color_ = SystemColour(18);
  auto* surface = new SurfaceWidget(this, can_get_focus);
  // The surface turns its input into the notifications below itself; the
  // toolkit's event routing of plain controls is not installed.
  widget_ = surface;
  surface->setObjectName(QString::fromStdString(name_));
  if (can_get_focus) ApplyFocusPolicy();
  // A widget not yet placed reports Qt's default 640 x 480; the image grows to
  // the control's size at its first resize (HostResized), so start it small.
  image_ = QImage(1, 1, QImage::Format_RGB32);
  image_.fill(ToQColor(back_color_));
  dc_.SetTarget(&image_);
  dc_.SetFont(ToQFont(font_));
}

UserControl::~UserControl() { DetachSurface(); }

void UserControl::DetachSurface() {
  if (GetCapture() == widget()) ReleaseCapture();
  if (auto* s = static_cast<SurfaceWidget*>(widget())) {
    s->SetAccessKeyWatch(false);
    s->Detach();
  }
}

void UserControl::Cls() {
  image_.fill(ToQColor(back_color_));
  dc_.set_position(PointApi{0, 0});
}

void UserControl::SetScaleMode(int mode) {
  if (mode == kScaleTwips || mode == kScalePixels) scale_mode_ = mode;
}

float UserControl::ToScale(int pixels) const {
  return scale_mode_ == kScalePixels ? static_cast<float>(pixels)
                                     : static_cast<float>(pixels * kTwipsPerPixel);
}

float UserControl::ScaleWidth() const { return widget() ? ToScale(widget()->width()) : 0; }
float UserControl::ScaleHeight() const { return widget() ? ToScale(widget()->height()) : 0; }

void UserControl::Refresh() {
  QWidget* w = widget();
  if (!w) return;
  if (w->isVisible()) {
    w->repaint();
  } else {
    w->update();
  }
}

void UserControl::SetAccessKeys(const std::string& keys) {
  access_keys_ = keys;
  if (auto* s = static_cast<SurfaceWidget*>(widget())) s->SetAccessKeyWatch(!keys.empty());
}

bool UserControl::SurfaceEnabled() const { return enabled_; }
void UserControl::SetSurfaceEnabled(bool enabled) {
  enabled_ = enabled;
  if (widget()) widget()->setEnabled(enabled);
}

void UserControl::Line(double x1, double y1, double x2, double y2, Colour colour) {
  auto px = [this](double v) {
    return static_cast<int>(std::lround(scale_mode_ == kScalePixels ? v : v / kTwipsPerPixel));
  };
  GdiHandle pen = CreatePen(PS_SOLID, 1, colour);
  GdiHandle old = SelectObject(&dc_, pen);
  MoveToEx(&dc_, px(x1), px(y1), nullptr);
  LineTo(&dc_, px(x2), px(y2));
  SelectObject(&dc_, old);
  DeleteObject(pen);
  if (widget()) widget()->update();
}

// As on the platform, a new background erases what was drawn.
void UserControl::SetBackColor(Colour colour) {
  back_color_ = colour;
  Cls();
  if (widget()) widget()->update();
}

void UserControl::SetForeColor(Colour colour) { fore_color_ = colour; }

void UserControl::SetFont(const FontSpec& font) {
  font_ = font;
  ApplyLook();
}

void UserControl::ApplyLook() { dc_.SetFont(ToQFont(font_)); }

void UserControl::SetAmbientSource(Control* container, Form* form) {
  ambient_container_ = container;
  ambient_form_ = form;
}

FontSpec UserControl::AmbientFont() const {
  if (auto* v = dynamic_cast<const VisualControl*>(ambient_container_)) return v->Font();
  if (ambient_form_) return ambient_form_->Font();
  return FontSpec();
}

Colour UserControl::AmbientForeColor() const {
  if (auto* v = dynamic_cast<const VisualControl*>(ambient_container_)) return v->ForeColor();
  if (ambient_form_) return ambient_form_->ForeColor();
  return SystemColour(18);
}

void UserControl::PropertyChanged(const std::string& name) {
  if (PropertyChangedHook) PropertyChangedHook(name);
}

void UserControl::LoadProperties(const PropertyBag* bag) {
  if (bag) {
    // The host's own entries: the stored size, in hundredths of a millimetre.
    auto twips = [](double extent) {
      return static_cast<int>(std::lround(extent * 1440.0 / 2540.0));
    };
    if (bag->Find("_extentx")) SetWidth(twips(bag->ReadProperty("_extentx", 0.0)));
    if (bag->Find("_extenty")) SetHeight(twips(bag->ReadProperty("_extenty", 0.0)));
    UserControl_ReadProperties(*bag);
  } else {
    UserControl_InitProperties();
  }
}

void UserControl::SaveProperties(PropertyBag& bag) {
  auto extent = [](int twips) { return std::round(twips * 2540.0 / 1440.0); };
  bag.WriteProperty("_extentx", extent(Width()));
  bag.WriteProperty("_extenty", extent(Height()));
  UserControl_WriteProperties(bag);
}

void UserControl::HostResized() {
  QWidget* w = widget();
  if (!w) return;
  const int width = std::max(1, w->width()), height = std::max(1, w->height());
  if (image_.width() != width || image_.height() != height) {
    QImage grown(width, height, QImage::Format_RGB32);
    grown.fill(ToQColor(back_color_));
    {
      QPainter p(&grown);
      p.drawImage(0, 0, image_);
    }
    image_ = grown;
    dc_.SetTarget(&image_);
  }
  UserControl_Resize();
}

void UserControl::PaintSurface(QWidget* target) {
  QPainter p(target);
  p.drawImage(0, 0, image_);
}

}  // namespace tk

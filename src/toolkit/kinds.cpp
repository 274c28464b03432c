#include "toolkit/kinds.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <utility>

#include "toolkit/form.h"
#include "toolkit/internal.h"

namespace tk {

namespace {

[[noreturn]] void InvalidValue() {
  throw platform::VbError(platform::kErrInvalidPropertyValue, "Invalid property value");
}
[[noreturn]] void InvalidCall() {
  throw platform::VbError(platform::kErrInvalidCall, "Invalid procedure call or argument");
}

// The inside of a PictureBox: paints the picture at its top left corner.
class PictureClient : public QWidget {
 public:
  explicit PictureClient(QWidget* parent) : QWidget(parent) { setAutoFillBackground(true); }
  QImage picture;

 protected:
  void paintEvent(QPaintEvent*) override {
    if (picture.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, picture);
  }
};

// A PictureBox: an optional sunken border around its client.
class PictureFrame : public QFrame {
 public:
  PictureFrame() {
    client = new PictureClient(this);
    setAutoFillBackground(true);
  }
  PictureClient* client;

 protected:
  void resizeEvent(QResizeEvent* e) override {
    QFrame::resizeEvent(e);
    client->setGeometry(contentsRect());
  }
};

class ImageWidget : public QWidget {
 public:
  explicit ImageWidget(const Image* owner) : owner_(owner) {}

 protected:
  // A picture of the control's own size is painted as it is, without the
  // cost of scaling it on every repaint.
  void paintEvent(QPaintEvent*) override {
    const QImage& picture = owner_->Picture();
    if (picture.isNull()) return;
    QPainter p(this);
    if (owner_->Stretch() && picture.size() != size()) {
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      p.drawImage(rect(), picture);
    } else {
      p.drawImage(0, 0, picture);
    }
  }

 private:
  const Image* owner_;
};

class ShapeWidget : public QWidget {
 public:
  ShapeWidget() { setAttribute(Qt::WA_TransparentForMouseEvents); }
  int shape = 0;
  Colour fill_color = 0;
  Colour border_color = SystemColour(8);
  int fill_style = 1;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, shape == 4);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = std::min(width(), height()) / 4.0;
    auto draw = [&](const QBrush& brush, const QPen& pen) {
      p.setBrush(brush);
      p.setPen(pen);
      if (shape == 4) {
        p.drawRoundedRect(r, radius, radius);
      } else {
        p.drawRect(r);
      }
    };
    if (fill_style == 0) draw(ToQColor(fill_color), Qt::NoPen);
    draw(Qt::NoBrush, QPen(ToQColor(border_color), 1));
  }
};

// A frame as the platform draws it: an etched box whose top line runs at
// half the caption's height, interrupted near the left by the caption on
// the frame's own background. The children keep their places counted from
// the frame's top-left corner, so those placed below the caption see the
// whole box around them.
class FrameWidget : public QWidget {
 public:
  static constexpr int kCaptionLeft = 8;     // pixels from the frame's left edge to the text
  static constexpr int kCaptionPadding = 2;  // pixels of background either side of the text

  FrameWidget() { setAutoFillBackground(true); }
  QString caption;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QFontMetrics metrics(font());
    const int line = metrics.height() / 2;
    const int right = width() - 1, bottom = height() - 1;
    // The etched edge: a shadow line with a highlight line below and right of it.
    p.setPen(ToQColor(SystemColour(16)));
    p.drawRect(0, line, right - 1, bottom - line - 1);
    p.setPen(ToQColor(SystemColour(20)));
    p.drawLine(1, line + 1, right - 2, line + 1);
    p.drawLine(1, line + 1, 1, bottom - 2);
    p.drawLine(0, bottom, right, bottom);
    p.drawLine(right, line, right, bottom);
    if (caption.isEmpty()) return;
    const int text_width = std::min(metrics.horizontalAdvance(caption), width() - 2 * kCaptionLeft);
    if (text_width <= 0) return;
    p.fillRect(kCaptionLeft - kCaptionPadding, 0, text_width + 2 * kCaptionPadding,
               metrics.height(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(kCaptionLeft, 0, text_width, metrics.height()),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
  }
};

}  // namespace

// The option and check widgets leave their state to the control, which
// raises Click as the platform did.
class OptionWidget : public QRadioButton {
 public:
  explicit OptionWidget(OptionButton* owner) : owner_(owner) {
    setAutoExclusive(false);
    // Every click of the user raises Click, also on the selected button.
    connect(this, &QAbstractButton::clicked, this, [this] {
      Control::RaiseUserEvent([this] {
        if (owner_->value_) {
          if (owner_->Click) owner_->Click();
        } else {
          owner_->SetValue(true);
        }
      });
    });
  }

 protected:
  void nextCheckState() override {}
  // The arrow keys select the next or previous button of the group.
  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    const bool forward = key == Qt::Key_Down || key == Qt::Key_Right;
    const bool backward = key == Qt::Key_Up || key == Qt::Key_Left;
    if ((!forward && !backward) || event->modifiers() != Qt::NoModifier) {
      QRadioButton::keyPressEvent(event);
      return;
    }
    OptionButton* next = owner_->Neighbour(forward);
    if (next && next != owner_) {
      Control::RaiseUserEvent([next] {
        next->widget()->setFocus(Qt::OtherFocusReason);
        next->SetValue(true);
      });
    }
  }

 private:
  OptionButton* owner_;
};

class CheckWidget : public QCheckBox {
 public:
  explicit CheckWidget(CheckBox* owner) : owner_(owner) {
    setTristate(true);
    connect(this, &QAbstractButton::clicked, this, [this] {
      Control::RaiseUserEvent([this] { owner_->SetValue(owner_->value_ == 0 ? 1 : 0); });
    });
  }

 protected:
  void nextCheckState() override {}

 private:
  CheckBox* owner_;
};

// ---------------------------------------------------------------------------
// VisualControl

void VisualControl::SetBackColor(Colour colour) {
  back_color_ = colour;
  ApplyLook();
}
void VisualControl::SetForeColor(Colour colour) {
  fore_color_ = colour;
  ApplyLook();
}
void VisualControl::SetFont(const FontSpec& font) {
  font_ = font;
  ApplyLook();
}

void VisualControl::ApplyLook() {
  if (!widget_) return;
  QPalette pal = widget_->palette();
  const QColor back = ToQColor(back_color_);
  const QColor fore = ToQColor(fore_color_);
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
      pal.setColor(group, role, back);
    }
    const QColor text = group == QPalette::Disabled ? ToQColor(SystemColour(17)) : fore;
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
      pal.setColor(group, role, text);
    }
  }
  // Setting an equal palette or font again still walks every child widget;
  // a control given its colours and font one by one would do that each time.
  if (!widget_->testAttribute(Qt::WA_SetPalette) || pal != widget_->palette()) {
    widget_->setPalette(pal);
  }
  const QFont font = ToQFont(font_);
  if (!widget_->testAttribute(Qt::WA_SetFont) || font != widget_->font()) widget_->setFont(font);
}

// ---------------------------------------------------------------------------
// Label

Label::Label(std::string name, int index) : VisualControl(Kind::kLabel, std::move(name), index) {
  auto* w = new QLabel;
  w->setTextFormat(Qt::PlainText);
  w->setWordWrap(true);
  w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  w->setAutoFillBackground(true);
  SetWidget(w);
  Label::ApplyLook();
}

std::string Label::Caption() const { return caption_; }
void Label::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (auto* w = static_cast<QLabel*>(widget())) w->setText(StripAccessKey(Q(caption)));
}
void Label::SetAlignment(Alignment a) {
  auto* w = static_cast<QLabel*>(widget());
  if (!w) return;
  Qt::Alignment h = a == Alignment::kRight    ? Qt::AlignRight
                    : a == Alignment::kCenter ? Qt::AlignHCenter
                                              : Qt::AlignLeft;
  w->setAlignment(h | Qt::AlignTop);
}
void Label::SetBackStyle(int style) {
  if (style != 0 && style != 1) InvalidValue();
  back_style_ = style;
  ApplyLook();
}
void Label::ApplyLook() {
  VisualControl::ApplyLook();
  if (widget_) widget_->setAutoFillBackground(back_style_ == 1);
}
bool Label::TabStop() const { NotSupported("TabStop"); }
void Label::SetTabStop(bool) { NotSupported("TabStop"); }
void Label::SetFocus() { NotSupported("SetFocus"); }

// ---------------------------------------------------------------------------
// PictureBox

PictureBox::PictureBox(std::string name, int index)
    : VisualControl(Kind::kPictureBox, std::move(name), index) {
  auto* w = new PictureFrame;
  client_ = w->client;
  SetWidget(w);
  SetBorderStyle(1);
  PictureBox::ApplyLook();
}

QWidget* PictureBox::ClientWidget() const { return widget_ ? client_ : nullptr; }

void PictureBox::SetPicture(const QImage& picture) {
  if (!widget_) return;
  static_cast<PictureFrame*>(widget())->client->picture = picture;
  client_->update();
}

void PictureBox::SetAlign(int align) {
  if (align < 0 || align > 4) InvalidValue();
  align_ = align;
  FollowAlignment();
}

void PictureBox::FollowAlignment() {
  if (align_ == 0 || !form_ || container_ != form_) return;
  const int w = form_->ScaleWidth(), h = form_->ScaleHeight();
  switch (align_) {
    case 1:
      left_ = 0, top_ = 0, width_ = w;
      break;  // top
    case 2:
      left_ = 0, top_ = h - height_, width_ = w;
      break;  // bottom
    case 3:
      left_ = 0, top_ = 0, height_ = h;
      break;  // left
    case 4:
      left_ = w - width_, top_ = 0, height_ = h;
      break;  // right
  }
  Control::ApplyGeometry();
}

// An aligned box keeps to its edge whatever size it is given, also when its
// width comes after its alignment in a description.
void PictureBox::ApplyGeometry() {
  if (align_ != 0 && form_ && container_ == form_) {
    FollowAlignment();
  } else {
    Control::ApplyGeometry();
  }
}

void PictureBox::SetBorderStyle(int style) {
  if (style != 0 && style != 1) InvalidValue();
  border_style_ = style;
  auto* w = static_cast<PictureFrame*>(widget());
  if (!w) return;
  if (style == 1) {
    w->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    w->setLineWidth(2);
  } else {
    w->setFrameStyle(QFrame::NoFrame);
  }
  w->client->setGeometry(w->contentsRect());
}

void PictureBox::ApplyFocusPolicy() {
  if (widget_) widget_->setFocusPolicy(tab_stop_ ? Qt::TabFocus : Qt::NoFocus);
}

void PictureBox::ApplyLook() {
  VisualControl::ApplyLook();
  if (client_) {
    client_->setPalette(widget_->palette());
    client_->setFont(widget_->font());
  }
}

// ---------------------------------------------------------------------------
// Frame

Frame::Frame(std::string name, int index) : VisualControl(Kind::kFrame, std::move(name), index) {
  SetWidget(new FrameWidget);
  ApplyLook();
}
std::string Frame::Caption() const { return caption_; }
void Frame::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (auto* w = static_cast<FrameWidget*>(widget())) {
    w->caption = StripAccessKey(Q(caption));
    w->update();
  }
}

// ---------------------------------------------------------------------------
// ListBox

namespace {

// A single-selection list as the user meets it on the platform: the user
// moves the selection but never empties it (Qt would on Ctrl+click,
// Ctrl+Space or a click below the rows), and a click on the row that is
// already selected is a pick like any other.
class ListWidget : public QListWidget {
 public:
  std::function<void()> picked_again;

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override {
    if (!index.isValid()) return QItemSelectionModel::NoUpdate;
    const auto command = QListWidget::selectionCommand(index, event);
    if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) {
      return QItemSelectionModel::NoUpdate;
    }
    return command;
  }
  void mousePressEvent(QMouseEvent* e) override {
    const QPersistentModelIndex at = indexAt(e->position().toPoint());
    const bool again = e->button() == Qt::LeftButton && at.isValid() && selectionModel() &&
                       selectionModel()->isSelected(at);
    QListWidget::mousePressEvent(e);
    if (again && at.isValid() && selectionModel()->isSelected(at) && picked_again) picked_again();
  }
};

}  // namespace

ListBox::ListBox(std::string name, int index)
    : VisualControl(Kind::kListBox, std::move(name), index) {
  back_color_ = SystemColour(5);
  fore_color_ = SystemColour(8);
  auto* w = new ListWidget;
  w->setSelectionMode(QAbstractItemView::SingleSelection);
  w->setUniformItemSizes(true);
  SetWidget(w);
  ApplyLook();
  // The user's pick (a click, the arrow keys) raises Click once the list
  // has moved its selection; the focus has come to the list before that.
  // A click moves the current row before the selection, the keys the other
  // way round: only the selection's change sees both done.
  QObject::connect(w, &QListWidget::itemSelectionChanged, w, [this] {
    if (!setting_) RaiseClick();
  });
  w->picked_again = [this] { RaiseClick(); };
}

void ListBox::Clear() {
  auto* w = static_cast<QListWidget*>(widget());
  if (!w) return;
  setting_ = true;
  w->clear();
  setting_ = false;
}

void ListBox::AddItem(const std::string& item) {
  auto* w = static_cast<QListWidget*>(widget());
  if (!w) return;
  setting_ = true;
  w->addItem(Q(item));
  setting_ = false;
}

int ListBox::ListCount() const {
  auto* w = static_cast<QListWidget*>(widget());
  return w ? w->count() : 0;
}

std::string ListBox::List(int i) const {
  auto* w = static_cast<QListWidget*>(widget());
  if (!w || i < 0 || i >= w->count()) InvalidCall();
  return U(w->item(i)->text());
}

int ListBox::ListIndex() const {
  auto* w = static_cast<QListWidget*>(widget());
  if (!w) return -1;
  // The selected row (one at most on these lists), whatever the current row.
  const QList<QListWidgetItem*> selected = w->selectedItems();
  return selected.isEmpty() ? -1 : w->row(selected.first());
}

void ListBox::Select(int i) {
  auto* w = static_cast<QListWidget*>(widget());
  if (!w) return;
  const int before = ListIndex();
  setting_ = true;
  if (i < 0) {
    w->clearSelection();
    w->setCurrentRow(-1);
  } else {
    w->setCurrentRow(i, QItemSelectionModel::ClearAndSelect);
  }
  setting_ = false;
  if (ListIndex() != before && Click) Click();  // inside the caller's statement
}

void ListBox::RaiseClick() {
  if (Click) RaiseUserEvent([this] { Click(); });
}

void ListBox::SetListIndex(int i) {
  if (i < -1 || i >= ListCount()) InvalidCall();
  Select(i);
}

bool ListBox::Selected(int i) const {
  auto* w = static_cast<QListWidget*>(widget());
  if (!w || i < 0 || i >= w->count()) InvalidCall();
  return w->item(i)->isSelected();
}

void ListBox::SetSelected(int i, bool selected) {
  if (i < 0 || i >= ListCount()) InvalidCall();
  if (selected) {
    Select(i);
  } else if (ListIndex() == i) {
    Select(-1);
  }
}

std::string ListBox::Text() const {
  const int i = ListIndex();
  return i < 0 ? std::string() : List(i);
}

void ListBox::SetText(const std::string& text) {
  auto* w = static_cast<QListWidget*>(widget());
  if (!w) return;
  const QString wanted = Q(text);
  for (int i = 0; i < w->count(); ++i) {
    if (w->item(i)->text().compare(wanted, Qt::CaseInsensitive) == 0) {
      Select(i);
      return;
    }
  }
  Select(-1);
}

// ---------------------------------------------------------------------------
// OptionButton

OptionButton::OptionButton(std::string name, int index)
    : VisualControl(Kind::kOptionButton, std::move(name), index) {
  auto* w = new OptionWidget(this);
  w->setAutoFillBackground(true);
  SetWidget(w);
  ApplyLook();
}
std::string OptionButton::Caption() const { return caption_; }
void OptionButton::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (auto* w = static_cast<QRadioButton*>(widget())) w->setText(Q(caption));
}
bool OptionButton::Value() const { return value_; }
void OptionButton::SetValue(bool value) {
  const bool changed = value != value_;
  value_ = value;
  if (auto* w = static_cast<QRadioButton*>(widget())) w->setChecked(value);
  if (!value || !changed) return;
  // The others of the group (same container) clear without an event.
  if (form_) {
    for (int i = 0; i < form_->ControlCount(); ++i) {
      auto* other = dynamic_cast<OptionButton*>(&form_->ControlAt(i));
      if (other && other != this && other->container_ == container_ && other->value_) {
        other->value_ = false;
        if (auto* ow = static_cast<QRadioButton*>(other->widget())) ow->setChecked(false);
      }
    }
  }
  if (Click) Click();
}

std::vector<OptionButton*> OptionButton::Group() const {
  std::vector<OptionButton*> group;
  if (!form_) return group;
  for (int i = 0; i < form_->ControlCount(); ++i) {
    auto* o = dynamic_cast<OptionButton*>(&form_->ControlAt(i));
    if (o && o->container_ == container_) group.push_back(o);
  }
  std::stable_sort(group.begin(), group.end(), [](const OptionButton* a, const OptionButton* b) {
    return a->tab_index_ < b->tab_index_;
  });
  return group;
}

OptionButton* OptionButton::Neighbour(bool forward) const {
  std::vector<OptionButton*> group;
  for (OptionButton* o : Group()) {
    if (o == this || o->Focusable()) group.push_back(o);
  }
  const auto at = std::find(group.begin(), group.end(), this);
  if (at == group.end() || group.size() < 2) return nullptr;
  const size_t i = static_cast<size_t>(at - group.begin());
  return group[forward ? (i + 1) % group.size() : (i + group.size() - 1) % group.size()];
}

// ---------------------------------------------------------------------------
// CheckBox

CheckBox::CheckBox(std::string name, int index)
    : VisualControl(Kind::kCheckBox, std::move(name), index) {
  auto* w = new CheckWidget(this);
  w->setAutoFillBackground(true);
  SetWidget(w);
  ApplyLook();
}
std::string CheckBox::Caption() const { return caption_; }
void CheckBox::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (auto* w = static_cast<QCheckBox*>(widget())) w->setText(Q(caption));
}
int CheckBox::Value() const { return value_; }
void CheckBox::SetValue(int value) {
  if (value < 0 || value > 2) InvalidValue();
  if (value == value_) return;
  value_ = value;
  if (auto* w = static_cast<QCheckBox*>(widget())) {
    w->setCheckState(value == 0 ? Qt::Unchecked : value == 1 ? Qt::Checked : Qt::PartiallyChecked);
  }
  if (Click) Click();
}

// ---------------------------------------------------------------------------
// CommandButton

CommandButton::CommandButton(std::string name, int index)
    : VisualControl(Kind::kCommandButton, std::move(name), index) {
  auto* w = new QPushButton;
  w->setAutoDefault(true);  // Enter on the focused button clicks it
  SetWidget(w);
  ApplyLook();
  QObject::connect(w, &QAbstractButton::clicked, w, [this] {
    if (Click) RaiseUserEvent([this] { Click(); });
  });
}
std::string CommandButton::Caption() const { return caption_; }
void CommandButton::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (auto* w = static_cast<QPushButton*>(widget())) w->setText(Q(caption));  // "&D": Alt+D
}
void CommandButton::SetCancel(bool is_cancel) { is_cancel_ = is_cancel; }
void CommandButton::PressByKey() {
  if (!enabled_ || !visible_ || !widget_) return;
  static_cast<QPushButton*>(widget())->click();
}

// ---------------------------------------------------------------------------
// Image

Image::Image(std::string name, int index) : Control(Kind::kImage, std::move(name), index) {
  SetWidget(new ImageWidget(this));
}
void Image::SetPicture(const QImage& picture) {
  SetPicture([picture] { return picture; });
}
void Image::SetPicture(std::function<QImage()> draw) {
  draw_ = std::move(draw);
  if (widget()) widget()->update();
  Fit();
}
const QImage& Image::Picture() const {
  if (draw_) picture_ = std::exchange(draw_, nullptr)();
  return picture_;
}
void Image::SetStretch(bool stretch) {
  stretch_ = stretch;
  if (widget()) widget()->update();
  Fit();
}
void Image::Fit() {
  if (stretch_ || Picture().isNull()) return;
  width_ = PixelsToTwips(picture_.width());
  height_ = PixelsToTwips(picture_.height());
  ApplyGeometry();
}
bool Image::TabStop() const { NotSupported("TabStop"); }
void Image::SetTabStop(bool) { NotSupported("TabStop"); }
void Image::SetFocus() { NotSupported("SetFocus"); }

// ---------------------------------------------------------------------------
// Shape

Shape::Shape(std::string name, int index) : Control(Kind::kShape, std::move(name), index) {
  SetWidget(new ShapeWidget);
  widget_->setFocusPolicy(Qt::NoFocus);
}
namespace {
ShapeWidget* ShapeOf(QWidget* w) { return static_cast<ShapeWidget*>(w); }
}  // namespace
void Shape::SetShape(int shape) {
  if (shape < 0 || shape > 5) InvalidValue();
  if (auto* w = ShapeOf(widget())) w->shape = shape, w->update();
}
void Shape::SetFillColor(Colour colour) {
  if (auto* w = ShapeOf(widget())) w->fill_color = colour, w->update();
}
void Shape::SetBorderColor(Colour colour) {
  if (auto* w = ShapeOf(widget())) w->border_color = colour, w->update();
}
void Shape::SetFillStyle(int style) {
  if (style < 0 || style > 7) InvalidValue();
  if (auto* w = ShapeOf(widget())) w->fill_style = style, w->update();
}
bool Shape::TabStop() const { NotSupported("TabStop"); }
void Shape::SetTabStop(bool) { NotSupported("TabStop"); }
void Shape::SetFocus() { NotSupported("SetFocus"); }

// ---------------------------------------------------------------------------
// Timer

Timer::Timer(std::string name, int index)
    : Control(Kind::kTimer, std::move(name), index), timer_(new QTimer) {
  // The simulator's 50 ms frames need ticks on time, not bunched by the
  // coarse timers' slack of 5%.
  timer_->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer_, &QTimer::timeout, timer_, [this] {
    if (Tick) RaiseTimerTick(timer_, Tick, [this] { SetEnabled(false); });
  });
}
Timer::~Timer() { delete timer_; }
int Timer::Interval() const { return interval_; }
void Timer::SetInterval(int ms) {
  if (ms < 0 || ms > 65535) InvalidValue();
  interval_ = ms;
  Restart();
}
bool Timer::Enabled() const { return enabled_; }
void Timer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Restart();
}
void Timer::Restart() {
  // Interval 0 keeps the timer quiet even when enabled.
  if (enabled_ && interval_ > 0) {
    timer_->start(interval_);
  } else {
    timer_->stop();
  }
}
bool Timer::TabStop() const { NotSupported("TabStop"); }
void Timer::SetTabStop(bool) { NotSupported("TabStop"); }
void Timer::SetFocus() { NotSupported("SetFocus"); }

// ---------------------------------------------------------------------------
// Slider

Slider::Slider(std::string name, int index) : Control(Kind::kSlider, std::move(name), index) {
  auto* w = new QSlider(Qt::Horizontal);
  w->setTickPosition(QSlider::TicksBelow);
  SetWidget(w);
  Push();
  // Dragging moves the value step by step; keys and clicks move it at once.
  QObject::connect(w, &QSlider::valueChanged, w, [this](int v) {
    if (setting_) return;
    value_ = v;
    if (Moved) RaiseUserEvent([this] { Moved(); });
  });
  QObject::connect(w, &QSlider::sliderReleased, w, [this] {
    if (Moved) RaiseUserEvent([this] { Moved(); });
  });
}
void Slider::Push() {
  auto* w = static_cast<QSlider*>(widget());
  if (!w) return;
  setting_ = true;
  w->setRange(std::min(min_, max_), std::max(min_, max_));
  w->setInvertedAppearance(min_ > max_);
  w->setValue(value_);
  setting_ = false;
}
int Slider::Min() const { return min_; }
void Slider::SetMin(int v) {
  min_ = v;
  value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
  Push();
}
int Slider::Max() const { return max_; }
void Slider::SetMax(int v) {
  max_ = v;
  value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
  Push();
}
int Slider::Value() const { return value_; }
void Slider::SetValue(int v) {
  if (v < std::min(min_, max_) || v > std::max(min_, max_)) InvalidValue();
  value_ = v;
  Push();
}

// ---------------------------------------------------------------------------
// TextBox

// The edit box: pasted and dropped text passes the same KeyPress handlers as
// typed text, so that a filter there holds for every way text comes in.
class TextEdit : public QLineEdit {
 public:
  explicit TextEdit(TextBox* owner) : owner_(owner) {}

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (e->matches(QKeySequence::Paste)) {
      PasteFrom(QClipboard::Clipboard);
      e->accept();
      return;
    }
    QLineEdit::keyPressEvent(e);
  }
  // The middle button pastes the selection where the window system has one.
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
      setCursorPosition(cursorPositionAt(e->position().toPoint()));
      PasteFrom(QClipboard::Selection);
      e->accept();
      return;
    }
    QLineEdit::mouseReleaseEvent(e);
  }
  // Qt's own menu pastes past the handlers, and nothing marks its Paste
  // entry (no name, no shortcut; a text that translations change), so the
  // menu is built here with Qt's wording and its Paste is PasteFrom. Undo
  // and Redo stay Qt's: they only go back to text the box has held.
  void contextMenuEvent(QContextMenuEvent* e) override {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool editable = !isReadOnly();
    const bool selected = hasSelectedText() && echoMode() == QLineEdit::Normal;
    auto add = [&](const QString& text, QKeySequence::StandardKey key, bool enabled,
                   const std::function<void()>& run) {
      const QKeySequence shortcut(key);
      QAction* action =
          menu->addAction(shortcut.isEmpty() ? text
                                             : text + QLatin1Char('\t') +
                                                   shortcut.toString(QKeySequence::NativeText));
      action->setEnabled(enabled);
      QObject::connect(action, &QAction::triggered, this, run);
    };
    if (editable) {
      add(QLineEdit::tr("&Undo"), QKeySequence::Undo, isUndoAvailable(), [this] { undo(); });
      add(QLineEdit::tr("&Redo"), QKeySequence::Redo, isRedoAvailable(), [this] { redo(); });
      menu->addSeparator();
      add(QLineEdit::tr("Cu&t"), QKeySequence::Cut, selected, [this] { cut(); });
    }
    add(QLineEdit::tr("&Copy"), QKeySequence::Copy, selected, [this] { copy(); });
    if (editable) {
      add(QLineEdit::tr("&Paste"), QKeySequence::Paste,
          !QGuiApplication::clipboard()->text().isEmpty(),
          [this] { PasteFrom(QClipboard::Clipboard); });
      add(QLineEdit::tr("Delete"), QKeySequence::UnknownKey, hasSelectedText(), [this] { del(); });
    }
    menu->addSeparator();
    add(QLineEdit::tr("Select All"), QKeySequence::SelectAll,
        !text().isEmpty() && selectedText().size() != text().size(), [this] { selectAll(); });
    menu->popup(e->globalPos());
  }
  void dropEvent(QDropEvent* e) override {
    if (!e->mimeData()->hasText() || isReadOnly()) return QLineEdit::dropEvent(e);
    const QString text = e->mimeData()->text();
    QString accepted;
    if (!owner_->AcceptInserted(text, &accepted)) {
      e->ignore();
      return;
    }
    if (accepted == text) return QLineEdit::dropEvent(e);
    // A handler replaced characters: the replacement goes in, as a copy.
    setCursorPosition(cursorPositionAt(e->position().toPoint()));
    insert(accepted);
    e->setDropAction(Qt::CopyAction);
    e->accept();
  }

 private:
  void PasteFrom(QClipboard::Mode mode) {
    if (isReadOnly()) return;
    QString accepted;
    if (owner_->AcceptInserted(QGuiApplication::clipboard()->text(mode), &accepted)) {
      insert(accepted);
    }
  }
  TextBox* owner_;
};

TextBox::TextBox(std::string name, int index)
    : VisualControl(Kind::kTextBox, std::move(name), index) {
  back_color_ = SystemColour(5);
  fore_color_ = SystemColour(8);
  auto* w = new TextEdit(this);
  w->setMaxLength(32767);
  SetWidget(w);
  ApplyLook();
  QObject::connect(w, &QLineEdit::textChanged, w, [this](const QString&) {
    if (setting_) return;
    if (Change) RaiseUserEvent([this] { Change(); });
  });
}
namespace {
QLineEdit* EditOf(QWidget* w) { return static_cast<QLineEdit*>(w); }
}  // namespace
std::string TextBox::Text() const {
  auto* w = EditOf(widget());
  return w ? U(w->text()) : std::string();
}
void TextBox::SetText(const std::string& text) {
  auto* w = EditOf(widget());
  if (!w) return;
  const QString q = Q(text);
  if (q == w->text()) return;
  setting_ = true;
  // The program may store more than the user may type.
  w->setMaxLength(32767);
  w->setText(q);
  if (max_length_ > 0) w->setMaxLength(std::max(max_length_, static_cast<int>(q.size())));
  setting_ = false;
  if (Change) Change();
}
int TextBox::Alignment() const {
  auto* w = EditOf(widget());
  if (!w) return 0;
  const auto a = w->alignment();
  return (a & Qt::AlignRight) ? 1 : (a & Qt::AlignHCenter) ? 2 : 0;
}
void TextBox::SetAlignment(int a) {
  if (a < 0 || a > 2) InvalidValue();
  if (auto* w = EditOf(widget())) {
    w->setAlignment((a == 1   ? Qt::AlignRight
                     : a == 2 ? Qt::AlignHCenter
                              : Qt::AlignLeft) |
                    Qt::AlignVCenter);
  }
}
bool TextBox::Locked() const {
  auto* w = EditOf(widget());
  return w && w->isReadOnly();
}
void TextBox::SetLocked(bool locked) {
  if (auto* w = EditOf(widget())) w->setReadOnly(locked);
}
int TextBox::MaxLength() const { return max_length_; }
void TextBox::SetMaxLength(int n) {
  if (n < 0) InvalidValue();
  max_length_ = n;
  if (auto* w = EditOf(widget())) {
    w->setMaxLength(n == 0 ? 32767 : std::max(n, static_cast<int>(w->text().size())));
  }
}
std::string TextBox::PasswordChar() const { return password_char_; }
void TextBox::SetPasswordChar(const std::string& c) {
  password_char_ = c.empty() ? std::string() : U(Q(c).left(1));
  if (auto* w = EditOf(widget())) {
    w->setEchoMode(password_char_.empty() ? QLineEdit::Normal : QLineEdit::Password);
  }
}
int TextBox::SelStart() const {
  auto* w = EditOf(widget());
  if (!w) return 0;
  return w->hasSelectedText() ? w->selectionStart() : w->cursorPosition();
}
void TextBox::SetSelStart(int v) {
  if (v < 0) InvalidValue();
  auto* w = EditOf(widget());
  if (!w) return;
  w->deselect();
  w->setCursorPosition(std::min(v, static_cast<int>(w->text().size())));
}
int TextBox::SelLength() const {
  auto* w = EditOf(widget());
  return w ? static_cast<int>(w->selectedText().size()) : 0;
}
void TextBox::SetSelLength(int v) {
  if (v < 0) InvalidValue();
  auto* w = EditOf(widget());
  if (!w) return;
  const int start = SelStart();
  w->setSelection(start, std::min(v, static_cast<int>(w->text().size()) - start));
}
std::string TextBox::SelText() const {
  auto* w = EditOf(widget());
  return w ? U(w->selectedText()) : std::string();
}
void TextBox::SetSelText(const std::string& text) {
  auto* w = EditOf(widget());
  if (!w) return;
  const QString before = w->text();
  setting_ = true;
  w->insert(Q(text));
  setting_ = false;
  if (w->text() != before && Change) Change();
}
bool TextBox::AcceptInserted(const QString& text, QString* accepted) {
  QString line = text;
  // Text copied as a line often ends with its line break.
  if (line.endsWith(QLatin1Char('\n'))) line.chop(1);
  if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
  // A one-line box holds no control characters; typed, they are keys.
  for (QChar ch : line) {
    if (ch.unicode() < 32) return false;
  }
  bool cancelled = false;
  *accepted = RaiseKeyPressForText(this, line, &cancelled);
  return !cancelled;
}

std::string TextBox::ToolTipText() const { return tool_tip_; }
void TextBox::SetToolTipText(const std::string& text) { Control::SetToolTipText(text); }
void TextBox::SetAppearance(int a) {
  if (a != 0 && a != 1) InvalidValue();
  appearance_ = a;
  ApplyFrame();
}
void TextBox::SetBorderStyle(int s) {
  if (s != 0 && s != 1) InvalidValue();
  border_style_ = s;
  ApplyFrame();
}
void TextBox::ApplyFrame() {
  if (auto* w = EditOf(widget())) w->setFrame(border_style_ == 1);
}

// ---------------------------------------------------------------------------
// Menu

Menu::Menu(std::string name, int index)
    : Control(Kind::kMenu, std::move(name), index), action_(new QAction) {
  QObject::connect(action_, &QAction::triggered, action_, [this] {
    if (Click) RaiseUserEvent([this] { Click(); });
  });
}
Menu::~Menu() {
  delete submenu_;
  delete action_;
}
std::string Menu::Caption() const { return caption_; }
void Menu::SetCaption(const std::string& caption) {
  caption_ = caption;
  action_->setText(Q(caption));
}
void Menu::SetEnabled(bool enabled) {
  enabled_ = enabled;
  action_->setEnabled(enabled);
}
void Menu::SetVisible(bool visible) {
  visible_ = visible;
  action_->setVisible(visible);
  if (form_) form_->UpdateMenuBar();
}
QMenu* Menu::Submenu() {
  if (!submenu_) {
    submenu_ = new QMenu;
    action_->setMenu(submenu_);
  }
  return submenu_;
}
void Menu::Attached() {
  if (auto* parent = dynamic_cast<Menu*>(container_)) {
    parent->Submenu()->addAction(action_);
  } else if (form_) {
    form_->UpdateMenuBar();
  }
}
bool Menu::TabStop() const { NotSupported("TabStop"); }
void Menu::SetTabStop(bool) { NotSupported("TabStop"); }
void Menu::SetFocus() { NotSupported("SetFocus"); }

// ---------------------------------------------------------------------------
// ImageList

ImageList::ImageList(std::string name, int index)
    : Control(Kind::kImageList, std::move(name), index) {}
void ImageList::Add(std::function<QImage()> picture) { pictures_.push_back(std::move(picture)); }
int ImageList::Count() const { return static_cast<int>(pictures_.size()); }
const std::function<QImage()>& ImageList::ListImage(int number) const {
  if (number < 1 || number > Count()) {
    throw platform::VbError(platform::kErrSubscript, "Subscript out of range");
  }
  return pictures_[static_cast<size_t>(number - 1)];
}
bool ImageList::TabStop() const { NotSupported("TabStop"); }
void ImageList::SetTabStop(bool) { NotSupported("TabStop"); }
void ImageList::SetFocus() { NotSupported("SetFocus"); }

// ---------------------------------------------------------------------------
// MSComm

MSComm::MSComm(std::string name, int index) : Control(Kind::kMSComm, std::move(name), index) {}
bool MSComm::TabStop() const { NotSupported("TabStop"); }
void MSComm::SetTabStop(bool) { NotSupported("TabStop"); }
void MSComm::SetFocus() { NotSupported("SetFocus"); }

}  // namespace tk

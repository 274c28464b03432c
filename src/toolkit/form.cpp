#include "toolkit/form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <algorithm>

#include "platform/ascii.h"
#include "toolkit/internal.h"
#include "toolkit/kinds.h"

namespace tk {

namespace {
constexpr int kEstimatedFrameSide = 45;  // twips, each side and the bottom
constexpr int kEstimatedFrameTop = 330;  // twips: title bar and border

[[noreturn]] void InvalidCall() {
  throw platform::VbError(platform::kErrInvalidCall, "Invalid procedure call or argument");
}
}  // namespace

std::vector<Form*>& LiveForms() {
  static std::vector<Form*> forms;
  return forms;
}

Form* FormOfWindow(const QWidget* window) {
  for (Form* f : LiveForms()) {
    if (f->widget() == window) return f;
  }
  return nullptr;
}

namespace {
QPointer<QWidget>& LastActivatedWindow() {
  static QPointer<QWidget> window;
  return window;
}
}  // namespace

QWidget* LastActiveFormWindow() {
  QWidget* last = LastActivatedWindow();
  if (last && last->isVisible() && FormOfWindow(last)) return last;
  for (Form* f : LiveForms()) {
    if (f->widget() && f->widget()->isVisible()) return f->widget();
  }
  return nullptr;
}

// The window itself: the close button, Enter and Esc, Tab and the client
// area's layout go through the form.
class FormWidget : public QWidget {
 public:
  explicit FormWidget(Form* form) : form_(form) {}
  void Detach() { form_ = nullptr; }  // the form is going

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (form_) Control::RaiseUserEvent([this] { form_->UnloadWith(0); });
  }
  void hideEvent(QHideEvent* event) override {
    QWidget::hideEvent(event);
    if (form_ && !isVisible()) form_->Hidden();
  }
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (!form_) return;
    // A user's resizing of a sizable window changes the client area.
    const int menu = form_->menu_bar_ && !form_->menu_bar_->isHidden()
                         ? form_->menu_bar_->sizeHint().height()
                         : 0;
    const int w = width(), h = std::max(0, height() - menu);
    if (TwipsToPixels(form_->width_) != w) form_->width_ = PixelsToTwips(w);
    if (TwipsToPixels(form_->height_) != h) form_->height_ = PixelsToTwips(h);
    if (form_->menu_bar_) form_->menu_bar_->setGeometry(0, 0, width(), menu);
    form_->client_->setGeometry(0, menu, w, h);
    for (const auto& c : form_->controls_) {
      if (auto* p = dynamic_cast<PictureBox*>(c.get())) p->FollowAlignment();
    }
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (!form_) return QWidget::keyPressEvent(event);
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
      form_->PressCancelButton();
      return;
    }
    QWidget::keyPressEvent(event);
  }
  // Qt moves the focus through here for Tab and Shift+Tab, and when the
  // focused widget is hidden or disabled: never along its own focus chain,
  // which knows nothing of controls out of view.
  bool focusNextPrevChild(bool next) override {
    if (!form_) return QWidget::focusNextPrevChild(next);
    if (!form_->FocusNext(next)) form_->KeepFocusInView();
    return true;
  }
  bool event(QEvent* event) override {
    if (event->type() == QEvent::WindowActivate) {
      // Counted before the focus widget hears of the activation. Qt sends
      // this before it gives the focus back, so a focus placed here stops
      // Qt from picking a widget of its own.
      ++activations_;
      LastActivatedWindow() = this;
      if (form_) form_->FocusOnActivation();
    }
    return QWidget::event(event);
  }

 public:
  int activations_ = 0;

 private:
  Form* form_;
};

bool SilentFocusChange(const QFocusEvent* event, const QWidget* widget) {
  const Qt::FocusReason reason = event->reason();
  if (reason == Qt::PopupFocusReason) return true;
  if (reason != Qt::ActiveWindowFocusReason) return false;
  // The control that holds the focus when its window is first activated
  // gets the focus then; later activations only give it back.
  const auto* window = widget ? dynamic_cast<const FormWidget*>(widget->window()) : nullptr;
  return !(event->type() == QEvent::FocusIn && window && window->activations_ == 1);
}

Form::Form(std::string name) : VisualControl(Kind::kForm, std::move(name), -1) {
  window_ = new FormWidget(this);
  client_ = new QWidget(window_);
  client_->setAutoFillBackground(true);
  SetWidget(window_);
  window_->setFocusPolicy(Qt::NoFocus);
  form_ = this;
  width_ = PixelsToTwips(320);
  height_ = PixelsToTwips(240);
  ApplyWindowFlags();
  Form::ApplyLook();
  LayoutClient();
  LiveForms().push_back(this);
}

Form::~Form() {
  *alive_ = false;
  if (modal_loop_) modal_loop_->quit();
  auto& forms = LiveForms();
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  // First every control stops hearing its widget, and the focus leaves the
  // window while all controls still exist; only then do they go, children
  // before their containers (the reverse of control order).
  for (const auto& c : controls_) c->DetachEvents();
  DetachEvents();
  window_->Detach();
  QWidget* focus = QApplication::focusWidget();
  if (focus && window_->isAncestorOf(focus)) focus->clearFocus();
  window_->hide();
  while (!controls_.empty()) controls_.pop_back();
}

std::string Form::Caption() const { return caption_; }
void Form::SetCaption(const std::string& caption) {
  caption_ = caption;
  window_->setWindowTitle(Q(caption));
}

int Form::ControlCount() const { return static_cast<int>(controls_.size()); }
Control& Form::ControlAt(int index) {
  if (index < 0 || index >= ControlCount()) {
    throw platform::VbError(platform::kErrSubscript, "Subscript out of range");
  }
  return *controls_[static_cast<size_t>(index)];
}

Control& Form::Find(const std::string& name, int index) {
  for (const auto& c : controls_) {
    if (c->Index() == index && platform::EqualIgnoringAsciiCase(c->Name(), name)) return *c;
  }
  throw platform::VbError(platform::kErrInvalidCall,
                          "no control " + name +
                              (index >= 0 ? "(" + std::to_string(index) + ")" : "") + " on " +
                              name_);
}

bool Form::Has(const std::string& name, int index) const {
  return std::any_of(controls_.begin(), controls_.end(), [&](const auto& c) {
    return c->Index() == index && platform::EqualIgnoringAsciiCase(c->Name(), name);
  });
}

Control* Form::ActiveControl() const {
  for (QWidget* w = window_->focusWidget(); w && w != window_; w = w->parentWidget()) {
    for (const auto& c : controls_) {
      if (c->widget() == w) return c.get();
    }
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// Geometry

int Form::FrameLeft() const {
  if (border_style_ == 0) return 0;
  if (window_->isVisible()) {
    const int real = window_->geometry().x() - window_->frameGeometry().x();
    if (real > 0) return PixelsToTwips(real);
  }
  return kEstimatedFrameSide;
}

int Form::FrameTop() const {
  int menu =
      menu_bar_ && !menu_bar_->isHidden() ? PixelsToTwips(menu_bar_->sizeHint().height()) : 0;
  if (border_style_ == 0) return menu;
  if (window_->isVisible()) {
    const int real = window_->geometry().y() - window_->frameGeometry().y();
    if (real > 0) return PixelsToTwips(real) + menu;
  }
  return kEstimatedFrameTop + menu;
}

int Form::FrameBottom() const {
  if (border_style_ == 0) return 0;
  if (window_->isVisible()) {
    const int real = window_->frameGeometry().bottom() - window_->geometry().bottom();
    if (real > 0) return PixelsToTwips(real);
  }
  return kEstimatedFrameSide;
}

void Form::SetClientSize(int width_twips, int height_twips) {
  width_ = std::max(0, width_twips);
  height_ = std::max(0, height_twips);
  LayoutClient();
}

void Form::SetOuterSize(int width_twips, int height_twips) {
  SetClientSize(width_twips - 2 * FrameLeft(), height_twips - FrameTop() - FrameBottom());
}

int Form::ScaleWidth() const { return width_; }
int Form::ScaleHeight() const { return height_; }

void Form::LayoutClient() {
  const int menu = menu_bar_ && !menu_bar_->isHidden() ? menu_bar_->sizeHint().height() : 0;
  const int w = TwipsToPixels(width_), h = TwipsToPixels(height_);
  const bool fixed = border_style_ != 2 && border_style_ != 5;
  if (fixed) {
    window_->setFixedSize(w, h + menu);
  } else {
    window_->setMinimumSize(0, 0);
    window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window_->resize(w, h + menu);
  }
  if (menu_bar_) menu_bar_->setGeometry(0, 0, w, menu);
  client_->setGeometry(0, menu, w, h);
  for (const auto& c : controls_) {
    if (auto* p = dynamic_cast<PictureBox*>(c.get())) p->FollowAlignment();
  }
  KeepFocusInView();
}

// The user may have moved the window since.
int Form::Left() const {
  return window_->isVisible() ? PixelsToTwips(window_->frameGeometry().x()) : left_;
}
void Form::SetLeft(int twips) {
  left_ = twips;
  window_->move(TwipsToPixels(left_), TwipsToPixels(top_));
}
int Form::Top() const {
  return window_->isVisible() ? PixelsToTwips(window_->frameGeometry().y()) : top_;
}
void Form::SetTop(int twips) {
  top_ = twips;
  window_->move(TwipsToPixels(left_), TwipsToPixels(top_));
}
int Form::Width() const { return width_ + 2 * FrameLeft(); }
void Form::SetWidth(int twips) { SetClientSize(twips - 2 * FrameLeft(), height_); }
int Form::Height() const { return height_ + FrameTop() + FrameBottom(); }
void Form::SetHeight(int twips) { SetClientSize(width_, twips - FrameTop() - FrameBottom()); }

QWidget* Form::ClientWidget() const { return client_; }

void Form::ApplyLook() {
  if (!client_) return;
  VisualControl::ApplyLook();
  client_->setPalette(window_->palette());
}

// ---------------------------------------------------------------------------
// Window look

void Form::SetBorderStyle(int style) {
  if (style < 0 || style > 5) {
    throw platform::VbError(platform::kErrInvalidPropertyValue, "Invalid property value");
  }
  border_style_ = style;
  ApplyWindowFlags();
  LayoutClient();
}
void Form::SetMinButton(bool on) {
  min_button_ = on;
  ApplyWindowFlags();
}
void Form::SetMaxButton(bool on) {
  max_button_ = on;
  ApplyWindowFlags();
}
void Form::SetIcon(const QImage& icon) {
  window_->setWindowIcon(icon.isNull() ? QIcon() : QIcon(QPixmap::fromImage(icon)));
}
void Form::SetCentred(bool centred) { centred_ = centred; }

void Form::ApplyWindowFlags() {
  Qt::WindowFlags flags = Qt::Window;
  if (border_style_ == 0) {
    flags |= Qt::FramelessWindowHint;
  } else {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
             Qt::WindowCloseButtonHint;
    const bool sizable = border_style_ == 2 || border_style_ == 5;
    const bool tool = border_style_ >= 3;  // fixed dialog and tool windows have neither button
    if (min_button_ && !tool) flags |= Qt::WindowMinimizeButtonHint;
    if (max_button_ && sizable && !tool) flags |= Qt::WindowMaximizeButtonHint;
    if (!sizable) flags |= Qt::MSWindowsFixedSizeDialogHint;
  }
  if (window_->windowFlags() == flags) return;
  const bool visible = window_->isVisible();
  window_->setWindowFlags(flags);
  if (visible) window_->show();
}

// ---------------------------------------------------------------------------
// Menus

void Form::UpdateMenuBar() {
  QList<QAction*> entries;
  bool any = false;
  for (const auto& c : controls_) {
    if (c->kind() != Kind::kMenu || c->Container() != this) continue;
    entries.push_back(static_cast<Menu*>(c.get())->action());
    if (c->Visible()) any = true;
  }
  if (!menu_bar_) {
    if (!any) return;
    menu_bar_ = new QMenuBar(window_);
    menu_bar_->setNativeMenuBar(false);
    menu_bar_->hide();
  }
  if (menu_bar_->actions() != entries) {
    for (QAction* action : menu_bar_->actions()) menu_bar_->removeAction(action);
    menu_bar_->addActions(entries);
  }
  if (any == !menu_bar_->isHidden()) return;
  menu_bar_->setVisible(any);
  LayoutClient();  // the client area keeps its size; the window grows or shrinks
}

// ---------------------------------------------------------------------------
// Controls and tab order

void Form::AddControl(std::unique_ptr<Control> control, Control* container) {
  if (!control) return;
  if (!container) container = this;
  if (container->form() != this) InvalidCall();
  Control* c = control.get();
  c->form_ = this;
  c->container_ = container;
  if (HasTabIndex(c->kind())) {
    int count = 0;
    for (const auto& other : controls_) {
      if (HasTabIndex(other->kind())) ++count;
    }
    c->tab_index_ = count;
  }
  controls_.push_back(std::move(control));
  c->Attached();
}

namespace {
struct TabEntry {
  Control* control;
  int tab_index;
  int order;
  bool operator<(const TabEntry& o) const {
    return tab_index != o.tab_index ? tab_index < o.tab_index : order < o.order;
  }
};
}  // namespace

void Form::MoveInTabOrder(Control* control, int tab_index) {
  std::vector<TabEntry> entries;
  for (size_t i = 0; i < controls_.size(); ++i) {
    Control* c = controls_[i].get();
    if (c != control && HasTabIndex(c->kind())) {
      entries.push_back({c, c->tab_index_, static_cast<int>(i)});
    }
  }
  std::sort(entries.begin(), entries.end());
  const size_t at = std::min(static_cast<size_t>(tab_index), entries.size());
  entries.insert(entries.begin() + static_cast<long>(at), TabEntry{control, 0, 0});
  for (size_t i = 0; i < entries.size(); ++i) entries[i].control->tab_index_ = static_cast<int>(i);
}

bool Form::FocusNext(bool forward) {
  auto order_of = [this](const Control* c) {
    for (size_t i = 0; i < controls_.size(); ++i) {
      if (controls_[i].get() == c) return static_cast<int>(i);
    }
    return -1;
  };
  Control* current = ActiveControl();
  std::vector<TabEntry> stops;
  for (size_t i = 0; i < controls_.size(); ++i) {
    Control* c = controls_[i].get();
    if (!c->tab_stop_ || !c->Focusable()) continue;
    bool reachable = true;
    // Of a group of option buttons only the selected one is a tab stop (the
    // first one while none is selected); the arrow keys move within it.
    if (auto* option = dynamic_cast<OptionButton*>(c)) {
      OptionButton* entry = nullptr;
      for (OptionButton* o : option->Group()) {
        if (!o->tab_stop_ || !o->Focusable()) continue;
        if (o->Value()) {
          entry = o;
          break;
        }
        if (!entry) entry = o;
      }
      reachable = entry == option;
    }
    if (reachable) stops.push_back({c, c->tab_index_, static_cast<int>(i)});
  }
  if (stops.empty()) return false;
  std::sort(stops.begin(), stops.end());
  const TabEntry* target = nullptr;
  if (!current) {
    target = forward ? &stops.front() : &stops.back();
  } else {
    const TabEntry here{current, current->tab_index_, order_of(current)};
    if (forward) {
      auto it = std::upper_bound(stops.begin(), stops.end(), here);
      target = it == stops.end() ? &stops.front() : &*it;
    } else {
      auto it = std::lower_bound(stops.begin(), stops.end(), here);
      target = it == stops.begin() ? &stops.back() : &*(it - 1);
    }
  }
  target->control->widget()->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

void Form::KeepFocusInView() {
  QWidget* focus = window_->focusWidget();
  if (!focus || focus == window_ || InView(focus)) return;
  if (!FocusNext(true)) window_->setFocus(Qt::OtherFocusReason);
}

// The window's first tab stop takes the focus, as on the platform; where it
// cannot be seen, the window keeps the focus itself, so that no key operates
// a control the user has not reached, and the first Tab goes to the first
// stop in view.
void Form::FocusOnActivation() {
  QWidget* focus = window_->focusWidget();
  if (focus && (focus == window_ || InView(focus))) return;  // Qt gives it back
  const Control* first = nullptr;
  for (const auto& c : controls_) {
    if (!c->widget() || !c->CanTakeFocus() || !c->tab_stop_ || !c->ShownAndEnabled()) continue;
    if (!first || c->tab_index_ < first->tab_index_) first = c.get();
  }
  if (first && first->Focusable()) {
    first->widget()->setFocus(Qt::ActiveWindowFocusReason);
  } else {
    window_->setFocus(Qt::ActiveWindowFocusReason);
  }
}

void Form::PressCancelButton() {
  for (const auto& c : controls_) {
    auto* b = dynamic_cast<CommandButton*>(c.get());
    if (b && b->IsCancel()) {
      b->PressByKey();
      return;
    }
  }
}

// ---------------------------------------------------------------------------
// Showing and unloading

bool Form::Visible() const { return window_->isVisible(); }
void Form::SetVisible(bool visible) {
  if (visible) {
    Show();
  } else {
    Hide();
  }
}
bool Form::TabStop() const { NotSupported("TabStop"); }
void Form::SetTabStop(bool) { NotSupported("TabStop"); }
void Form::SetFocus() {
  if (!window_->isVisible() || !enabled_) InvalidCall();
  window_->activateWindow();
}

void Form::Show() {
  loaded_ = true;
  visible_ = true;
  if (!window_->isVisible() && centred_) {
    QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    if (screen) {
      const QRect area = screen->availableGeometry();
      const int w = TwipsToPixels(Width()), h = TwipsToPixels(Height());
      left_ = PixelsToTwips(area.x() + (area.width() - w) / 2);
      top_ = PixelsToTwips(area.y() + (area.height() - h) / 2);
      window_->move(TwipsToPixels(left_), TwipsToPixels(top_));
    }
  }
  window_->show();
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) window_->raise();
  window_->activateWindow();
}

void Form::ShowModal() {
  if (modal_loop_ || window_->isVisible()) InvalidCall();  // already shown
  window_->setWindowModality(Qt::ApplicationModal);
  Show();
  QEventLoop loop;
  modal_loop_ = &loop;
  auto alive = alive_;
  if (window_->isVisible()) loop.exec();
  if (!*alive) return;  // the form was destroyed by a handler meanwhile
  modal_loop_ = nullptr;
  window_->setWindowModality(Qt::NonModal);
}

void Form::Hide() {
  visible_ = false;
  window_->hide();
}

void Form::Hidden() {
  if (modal_loop_) modal_loop_->quit();
}

void Form::Unload() { UnloadWith(1); }

void Form::UnloadWith(int16_t unload_mode) {
  // A handler may unload the window again while it is being unloaded (the
  // main window's QueryUnload does): that inner request is the same one.
  if (!loaded_ || unloading_) return;
  unloading_ = true;
  auto alive = alive_;
  int16_t cancel = 0;
  if (QueryUnload) {
    try {
      QueryUnload(cancel, unload_mode);
    } catch (...) {
      if (*alive) unloading_ = false;
      throw;
    }
    if (!*alive) return;
  }
  if (cancel == 0 && Unloaded) {
    try {
      Unloaded(cancel);
    } catch (...) {
      if (*alive) unloading_ = false;
      throw;
    }
    if (!*alive) return;
  }
  unloading_ = false;
  if (cancel != 0) return;
  loaded_ = false;
  // Unloading ends the window's timers with it.
  for (const auto& c : controls_) {
    if (auto* t = dynamic_cast<Timer*>(c.get())) t->SetEnabled(false);
  }
  Hide();
}

bool Form::Loaded() const { return loaded_; }

}  // namespace tk

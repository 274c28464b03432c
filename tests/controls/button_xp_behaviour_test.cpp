// How the button answers the mouse, the keyboard, the focus, its access key
// and its stored properties, driven through real widgets offscreen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "controls/button_xp.h"
#include "controls/register_controls.h"
#include "platform/message_box.h"
#include "toolkit/description.h"
#include "toolkit/device_context.h"
#include "toolkit/form.h"

namespace controls {
namespace {

using tk::Rgb;

constexpr char kDescription[] = R"(Begin Form frmTest
  ClientWidth = 6000
  ClientHeight = 3000
  ForeColor = &H000000FF&
  Begin ButtonXP cmdA
    Left = 120
    Top = 120
    Width = 1905
    Height = 315
    TabIndex = 0
    _extentx = 3360
    _extenty = 556
    font = "MS Sans Serif" 8.25 700 238
    caption = "A"
    forecolor = &H80000012&
    forehover = &H00000000&
  End
  Begin ButtonXP cmdB
    Left = 120
    Top = 600
    TabIndex = 1
    _extentx = 3360
    _extenty = 556
    font = "MS Sans Serif" 8.25 400 238
    caption = ""
    forecolor = &H80000012&
    forehover = &H00000000&
  End
  Begin ButtonXP cmdC
    Left = 120
    Top = 1200
    Width = 1905
    Height = 315
    TabIndex = 2
    _extentx = 3360
    _extenty = 556
    enabled = 0
    font = "MS Sans Serif" 8.25 700 238
    caption = "C"
    forecolor = &H80000012&
    forehover = &H00000000&
  End
End
)";

class ButtonBehaviourTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterControls();
    tk::SetPointerSources([] { return QPoint(3, 3); },
                          [this](const QPoint&) -> QWidget* { return over_; });
    form_ = tk::LoadForm(kDescription, "test.frm");
    a_ = &form_->Get<ButtonXP>("cmdA");
    b_ = &form_->Get<ButtonXP>("cmdB");
    c_ = &form_->Get<ButtonXP>("cmdC");
    for (ButtonXP* button : {a_, b_, c_}) Record(*button);
    form_->Show();
    QApplication::processEvents();
  }
  void TearDown() override {
    form_.reset();
    tk::SetPointerSources(nullptr, nullptr);
  }

  void Record(ButtonXP& b) {
    const std::string n = b.Name() + " ";
    auto mouse = [this, n](const char* what) {
      return [this, n, what](int16_t& button, int16_t& shift, float& x, float& y) {
        events_.push_back(n + what + " " + std::to_string(button) + " " + std::to_string(shift) +
                          " " + std::to_string(static_cast<int>(x)) + " " +
                          std::to_string(static_cast<int>(y)));
      };
    };
    auto key = [this, n](const char* what) {
      return [this, n, what](int16_t& code, int16_t&) {
        events_.push_back(n + what + " " + std::to_string(code));
      };
    };
    b.Click = [this, n] { events_.push_back(n + "Click"); };
    b.MouseDown = mouse("MouseDown");
    b.MouseMove = mouse("MouseMove");
    b.MouseUp = mouse("MouseUp");
    b.KeyPress = [this, n](int16_t& k) { events_.push_back(n + "KeyPress " + std::to_string(k)); };
    b.KeyDown = key("KeyDown");
    b.KeyUp = key("KeyUp");
    b.MouseOver = [this, n] { events_.push_back(n + "MouseOver"); };
    b.MouseOut = [this, n] { events_.push_back(n + "MouseOut"); };
  }
  // Events since the last call.
  std::vector<std::string> Take() {
    std::vector<std::string> out;
    out.swap(events_);
    return out;
  }
  void Move(ButtonXP& b, Qt::MouseButtons held = Qt::NoButton, QPoint at = QPoint(5, 5)) {
    QMouseEvent e(QEvent::MouseMove, QPointF(at), QPointF(b.widget()->mapToGlobal(at)),
                  Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(b.widget(), &e);
  }
  // Waits for the hover timer's tick that finds the pointer outside and
  // stops it: on an event, however slowly the machine runs.
  static bool HoverEnds(ButtonXP& b) {
    return QTest::qWaitFor([&b] { return !b.HoverTimer().isActive(); }, 10000);
  }
  void Settle() {
    // The hover timers' first ticks find the pointer outside.
    for (ButtonXP* button : {a_, b_, c_}) ASSERT_TRUE(HoverEnds(*button));
    Take();
  }
  QRgb At(ButtonXP& b, int x, int y) { return b.Image().pixel(x, y) & 0xFFFFFF; }
  bool Pressed(ButtonXP& b) { return At(b, 5, 1) == 0xD1CCC0; }
  bool Hovered(ButtonXP& b) { return At(b, 1, 5) != At(b, 5, 5) && At(b, 5, 1) == 0xFFF0CF; }
  bool Focused(ButtonXP& b) { return At(b, 5, 1) == 0xCEE7FB; }

  QWidget* over_ = nullptr;
  std::unique_ptr<tk::Form> form_;
  ButtonXP *a_ = nullptr, *b_ = nullptr, *c_ = nullptr;
  std::vector<std::string> events_;
};

using Events = std::vector<std::string>;

TEST_F(ButtonBehaviourTest, CreatedWithThePointerElsewhereOnlyMouseOut) {
  // Every button's timer stops at its first tick, which finds the pointer
  // outside: one MouseOut each, and no timer left to raise anything more.
  for (ButtonXP* button : {a_, b_, c_}) ASSERT_TRUE(HoverEnds(*button));
  Events got = Take();
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (Events{"cmdA MouseOut", "cmdB MouseOut", "cmdC MouseOut"}));
}

TEST_F(ButtonBehaviourTest, EnterMoveAndLeave) {
  Settle();
  over_ = a_->widget();
  Move(*a_);
  EXPECT_EQ(Take(), (Events{"cmdA MouseOver", "cmdA MouseMove 0 0 5 5"}));
  EXPECT_TRUE(a_->state().IsHover);
  EXPECT_TRUE(Hovered(*a_));
  Move(*a_);
  EXPECT_EQ(Take(), (Events{"cmdA MouseMove 0 0 5 5"}));
  Move(*a_);
  Move(*a_);
  EXPECT_TRUE(Take().empty());
  // Still over: the timer's tick raises nothing, and it keeps going.
  QSignalSpy tick(&a_->HoverTimer(), &QTimer::timeout);
  ASSERT_TRUE(tick.wait(10000));
  EXPECT_TRUE(Take().empty());
  EXPECT_TRUE(a_->HoverTimer().isActive());

  over_ = nullptr;
  ASSERT_TRUE(HoverEnds(*a_));
  EXPECT_EQ(Take(), (Events{"cmdA MouseOut"}));
  EXPECT_FALSE(a_->state().IsHover);
  EXPECT_FALSE(Hovered(*a_));
  // A pointer over the window's cut-off corner, or over another window on
  // top, counts as outside: only the window itself is "over".
  over_ = form_->widget();
  Move(*a_);
  EXPECT_TRUE(Take().empty());
}

TEST_F(ButtonBehaviourTest, MovesWithOtherButtonsArePassedOnOnly) {
  Settle();
  over_ = a_->widget();
  Move(*a_, Qt::RightButton);
  EXPECT_EQ(Take(), (Events{"cmdA MouseMove 2 0 5 5"}));
  EXPECT_FALSE(a_->state().IsHover);
  EXPECT_EQ(a_->state().HoverSeen, 0);
}

TEST_F(ButtonBehaviourTest, LeftPressAndReleaseClick) {
  Settle();
  QTest::mousePress(a_->widget(), Qt::LeftButton, {}, QPoint(6, 7));
  EXPECT_TRUE(Pressed(*a_));
  QTest::mouseRelease(a_->widget(), Qt::LeftButton, {}, QPoint(6, 7));
  EXPECT_FALSE(Pressed(*a_));
  EXPECT_EQ(Take(), (Events{"cmdA MouseDown 1 0 6 7", "cmdA MouseUp 1 0 6 7", "cmdA Click"}));
  // A release outside the window is no click.
  QTest::mousePress(a_->widget(), Qt::LeftButton, {}, QPoint(6, 7));
  QTest::mouseRelease(a_->widget(), Qt::LeftButton, {}, QPoint(500, 7));
  EXPECT_EQ(Take(), (Events{"cmdA MouseDown 1 0 6 7", "cmdA MouseUp 1 0 500 7"}));
}

TEST_F(ButtonBehaviourTest, RightAndMiddlePressesClickNothing) {
  Settle();
  a_->mutable_state().LastButton = 1;
  a_->Redraw(1);
  const QImage before = a_->Image();
  QTest::mousePress(a_->widget(), Qt::RightButton, Qt::ShiftModifier, QPoint(4, 4));
  EXPECT_EQ(a_->Image(), before);  // the look does not change
  QTest::mouseRelease(a_->widget(), Qt::RightButton, Qt::ShiftModifier, QPoint(4, 4));
  EXPECT_EQ(Take(), (Events{"cmdA MouseDown 2 1 4 4", "cmdA MouseUp 2 1 4 4"}));

  a_->mutable_state().LastButton = 1;
  a_->Redraw(1);
  ASSERT_TRUE(Pressed(*a_));
  QTest::mousePress(a_->widget(), Qt::MiddleButton, {}, QPoint(4, 4));
  EXPECT_FALSE(Pressed(*a_));  // the released look
  EXPECT_EQ(a_->state().LastButton, 4);
  QTest::mouseRelease(a_->widget(), Qt::MiddleButton, {}, QPoint(4, 4));
  EXPECT_EQ(Take(), (Events{"cmdA MouseDown 4 0 4 4", "cmdA MouseUp 4 0 4 4"}));
}

TEST_F(ButtonBehaviourTest, DoubleClickGivesOneClick) {
  Settle();
  QTest::mouseClick(a_->widget(), Qt::LeftButton, {}, QPoint(8, 9));
  QTest::mouseDClick(a_->widget(), Qt::LeftButton, {}, QPoint(8, 9));
  EXPECT_TRUE(Pressed(*a_));
  EXPECT_EQ(tk::GetCapture(), a_->widget());
  QTest::mouseRelease(a_->widget(), Qt::LeftButton, {}, QPoint(8, 9));
  EXPECT_EQ(tk::GetCapture(), nullptr);
  EXPECT_EQ(Take(), (Events{"cmdA MouseDown 1 0 8 9", "cmdA MouseUp 1 0 8 9", "cmdA Click",
                            "cmdA MouseDown 1 0 0 0", "cmdA MouseUp 1 0 8 9"}));
}

TEST_F(ButtonBehaviourTest, SecondPressWithinTheDoubleClickTimeIsTheDoubleClick) {
  Settle();
  // Presses as the window system delivers them, with their time stamps.
  auto send = [this](QEvent::Type type, ulong time, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(5, 5), QPointF(a_->widget()->mapToGlobal(QPoint(5, 5))),
                  Qt::LeftButton, held, Qt::NoModifier);
    e.setTimestamp(time);
    QApplication::sendEvent(a_->widget(), &e);
  };
  send(QEvent::MouseButtonPress, 1000, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, 1050, Qt::NoButton);
  send(QEvent::MouseButtonPress, 1150, Qt::LeftButton);
  send(QEvent::MouseButtonDblClick, 1150, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, 1200, Qt::NoButton);
  send(QEvent::MouseButtonPress, 5000, Qt::LeftButton);  // long after: a new click
  send(QEvent::MouseButtonRelease, 5050, Qt::NoButton);
  EXPECT_EQ(Take(), (Events{"cmdA MouseDown 1 0 5 5", "cmdA MouseUp 1 0 5 5", "cmdA Click",
                            "cmdA MouseDown 1 0 0 0", "cmdA MouseUp 1 0 5 5",
                            "cmdA MouseDown 1 0 5 5", "cmdA MouseUp 1 0 5 5", "cmdA Click"}));
}

TEST_F(ButtonBehaviourTest, SpaceClicksOnReleaseAndShowsPressedOnceClicked) {
  Settle();
  a_->SetFocus();
  QApplication::processEvents();
  Take();
  ASSERT_EQ(a_->state().LastButton, 0);
  QTest::keyPress(a_->widget(), Qt::Key_Space);
  EXPECT_FALSE(Pressed(*a_));  // never clicked with the left button yet
  QTest::keyRelease(a_->widget(), Qt::Key_Space);
  EXPECT_EQ(Take(), (Events{"cmdA KeyDown 32", "cmdA KeyPress 32", "cmdA Click", "cmdA KeyUp 32"}));
  EXPECT_EQ(a_->state().LastButton, 1);

  // Held down: every repeated key-down asks for the pressed look.
  QTest::keyPress(a_->widget(), Qt::Key_Space);
  EXPECT_TRUE(Pressed(*a_));
  QTest::keyPress(a_->widget(), Qt::Key_Space);
  QTest::keyRelease(a_->widget(), Qt::Key_Space);
  EXPECT_EQ(Take(), (Events{"cmdA KeyDown 32", "cmdA KeyPress 32", "cmdA KeyDown 32",
                            "cmdA KeyPress 32", "cmdA Click", "cmdA KeyUp 32"}));

  QTest::keyPress(a_->widget(), Qt::Key_Return);
  EXPECT_TRUE(Pressed(*a_));
  QTest::keyRelease(a_->widget(), Qt::Key_Return);
  EXPECT_EQ(Take(), (Events{"cmdA KeyDown 13", "cmdA KeyPress 13", "cmdA Click", "cmdA KeyUp 13"}));
}

TEST_F(ButtonBehaviourTest, AKeyReleasedAfterAnotherWentDownClicksNothing) {
  Settle();
  int16_t space = 32, enter = 13, shift = 0;
  a_->UserControl_KeyDown(space, shift);
  a_->UserControl_KeyUp(enter, shift);
  a_->UserControl_KeyDown(enter, shift);
  a_->UserControl_KeyUp(space, shift);
  EXPECT_EQ(Take(),
            (Events{"cmdA KeyDown 32", "cmdA KeyUp 13", "cmdA KeyDown 13", "cmdA KeyUp 32"}));
  int16_t x = 88;
  a_->UserControl_KeyDown(x, shift);
  a_->UserControl_KeyUp(x, shift);
  EXPECT_EQ(Take(), (Events{"cmdA KeyDown 88", "cmdA KeyUp 88"}));
  EXPECT_EQ(a_->state().LastKeyDown, 88);
}

TEST_F(ButtonBehaviourTest, ArrowKeysMoveTheFocus) {
  Settle();
  form_->widget()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_->widget()->window()));
  b_->SetFocus();
  QApplication::processEvents();
  ASSERT_EQ(form_->ActiveControl(), b_);
  EXPECT_TRUE(Focused(*b_));
  // cmdC is disabled: forward from cmdB wraps round to cmdA.
  QTest::keyClick(b_->widget(), Qt::Key_Left);
  EXPECT_EQ(form_->ActiveControl(), a_);
  QTest::keyClick(a_->widget(), Qt::Key_Right);
  EXPECT_EQ(form_->ActiveControl(), b_);
  QTest::keyClick(b_->widget(), Qt::Key_Down);
  EXPECT_EQ(form_->ActiveControl(), a_);
  QTest::keyClick(a_->widget(), Qt::Key_Up);
  EXPECT_EQ(form_->ActiveControl(), b_);
  Events got = Take();
  auto pos = [&](const std::string& e) {
    return std::find(got.begin(), got.end(), e) - got.begin();
  };
  EXPECT_LT(pos("cmdB KeyDown 37"), static_cast<long>(got.size()));
  EXPECT_LT(pos("cmdA KeyDown 39"), static_cast<long>(got.size()));
  EXPECT_LT(pos("cmdB KeyDown 40"), static_cast<long>(got.size()));
  EXPECT_LT(pos("cmdA KeyDown 38"), static_cast<long>(got.size()));
  EXPECT_FALSE(b_->state().HasFocus == a_->state().HasFocus);
}

TEST_F(ButtonBehaviourTest, TheButtonHoldingTheFocusWhenTheWindowOpensShowsIt) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_->widget()->window()));
  ASSERT_EQ(form_->ActiveControl(), a_);
  EXPECT_TRUE(a_->state().HasFocus);
  EXPECT_TRUE(Focused(*a_));
}

TEST_F(ButtonBehaviourTest, FocusShowsPressedWhenLastClickedWithTheLeftButton) {
  Settle();
  int16_t kc = 0;
  a_->UserControl_GotFocus();
  EXPECT_TRUE(Focused(*a_));
  a_->UserControl_LostFocus();
  a_->mutable_state().LastButton = 1;
  a_->UserControl_GotFocus();
  EXPECT_TRUE(Pressed(*a_));
  EXPECT_TRUE(a_->state().HasFocus);
  a_->UserControl_KeyPress(kc);
  a_->Redraw(0);
  EXPECT_TRUE(Focused(*a_));
}

TEST_F(ButtonBehaviourTest, AccessKeyFromTheCaption) {
  struct Case {
    const char* caption;
    const char* key;
  } cases[] = {
      {"", ""},          {"&", ""},    {"Zamknij", ""},   {"Zam&", ""},    {"&Zamknij", "z"},
      {"Za&Mknij", "m"}, {"A&&B", ""}, {"A&&B &Cd", "c"}, {"A&&B&&C", ""}, {"&&&x", "x"},
      {"A&&&", ""},      {"&Ł", "ł"},  {"a&&b&c&d", "c"},
  };
  for (const Case& c : cases) {
    a_->SetCaption(c.caption);
    EXPECT_EQ(a_->AccessKeys(), c.key) << c.caption;
  }
}

TEST_F(ButtonBehaviourTest, AltAndTheAccessKeyClick) {
  Settle();
  a_->SetCaption("&Zamknij");
  a_->mutable_state().LastButton = 2;
  QTest::keyClick(form_->widget(), Qt::Key_Z, Qt::AltModifier);
  EXPECT_EQ(Take(), (Events{"cmdA Click"}));
  EXPECT_EQ(a_->state().LastButton, 1);
  QTest::keyClick(b_->widget(), Qt::Key_Q, Qt::AltModifier);
  QTest::keyClick(form_->widget(), Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
  Events got = Take();
  EXPECT_EQ(std::count(got.begin(), got.end(), "cmdA Click"), 0);
  // Below the client area the button cannot be reached by its key either.
  a_->SetTop(3000);
  QTest::keyClick(form_->widget(), Qt::Key_Z, Qt::AltModifier);
  EXPECT_EQ(Take(), Events{});
  a_->SetTop(2700);  // one pixel row still shows
  QTest::keyClick(form_->widget(), Qt::Key_Z, Qt::AltModifier);
  EXPECT_EQ(Take(), (Events{"cmdA Click"}));
}

TEST_F(ButtonBehaviourTest, PropertyWritesNotifyAndRedraw) {
  Settle();
  Events notices;
  a_->PropertyChangedHook = [&](const std::string& name) { notices.push_back(name); };
  a_->SetCaption("MMMM");
  const QImage with_caption = a_->Image();
  a_->SetForeColor(Rgb(0, 0, 255));
  EXPECT_NE(a_->Image(), with_caption);
  tk::FontSpec big;
  big.size = 12;
  const QImage before_font = a_->Image();
  a_->SetFont(big);
  EXPECT_NE(a_->Image(), before_font);
  EXPECT_EQ(a_->Font(), big);
  a_->mutable_state().IsHover = true;
  a_->Redraw(0);
  const QImage hovered = a_->Image();
  a_->SetForeHover(Rgb(255, 0, 0));
  EXPECT_EQ(a_->Image(), hovered);  // shows only at the next redraw
  a_->SetEnabled(false);
  EXPECT_EQ(At(*a_, 5, 5), 0xF5F4EAu);
  EXPECT_FALSE(a_->widget()->isEnabled());
  EXPECT_EQ(notices, (Events{"Caption", "ForeColor", "Font", "ForeHover", "Enabled"}));
  a_->SetEnabled(true);
  EXPECT_TRUE(a_->widget()->isEnabled());
}

TEST_F(ButtonBehaviourTest, DisabledIgnoresPresses) {
  Settle();
  ASSERT_FALSE(c_->Enabled());
  EXPECT_EQ(At(*c_, 5, 5), 0xF5F4EAu);
  int16_t button = 1, shift = 0;
  float x = 1, y = 1;
  c_->UserControl_MouseDown(button, shift, x, y);
  EXPECT_EQ(c_->state().LastButton, 0);
  EXPECT_EQ(At(*c_, 5, 5), 0xF5F4EAu);
  QTest::mouseClick(c_->widget(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(Take().empty());

  // Disabled under the pointer, a hovered button is no longer over.
  over_ = a_->widget();
  Move(*a_);
  Take();
  a_->SetEnabled(false);
  a_->HoverTimer_Timer();
  EXPECT_EQ(Take(), (Events{"cmdA MouseOut"}));
  EXPECT_FALSE(a_->HoverTimer().isActive());
}

TEST_F(ButtonBehaviourTest, AHoverTimerWhoseTickFailsIsStoppedBeforeItsBox) {
  Settle();
  std::vector<bool> running_when_shown;
  auto old_sink = platform::SetMsgBoxSink([&](const std::string&, platform::MsgBoxIcon) {
    running_when_shown.push_back(a_->HoverTimer().isActive());
  });
  tk::SetPointerSources([]() -> QPoint { throw std::runtime_error("no pointer"); }, nullptr);
  a_->HoverTimer().start();
  const bool shown = QTest::qWaitFor([&] { return !running_when_shown.empty(); }, 10000);
  platform::SetMsgBoxSink(old_sink);
  ASSERT_TRUE(shown);
  EXPECT_EQ(running_when_shown, std::vector<bool>{false});
  EXPECT_FALSE(a_->HoverTimer().isActive());
}

TEST_F(ButtonBehaviourTest, HoverResumesAfterADragOutAndBackIn) {
  Settle();
  over_ = a_->widget();
  Move(*a_);
  Move(*a_);
  QTest::mousePress(a_->widget(), Qt::LeftButton, {}, QPoint(5, 5));
  Take();
  over_ = nullptr;
  Move(*a_, Qt::LeftButton, QPoint(500, 5));  // dragged out
  EXPECT_EQ(Take(), (Events{"cmdA MouseMove 1 0 500 5"}));
  ASSERT_TRUE(HoverEnds(*a_));
  EXPECT_EQ(Take(), (Events{"cmdA MouseOut"}));
  over_ = a_->widget();
  Move(*a_, Qt::LeftButton);  // back in with the button held
  EXPECT_EQ(Take(), (Events{"cmdA MouseMove 1 0 5 5"}));
  EXPECT_TRUE(Pressed(*a_));
  EXPECT_FALSE(a_->state().IsHover);
  over_ = nullptr;
  Move(*a_, Qt::LeftButton, QPoint(500, 5));  // out again: tracking starts afresh
  EXPECT_EQ(a_->state().HoverSeen, 0);
  QTest::mouseRelease(a_->widget(), Qt::LeftButton, {}, QPoint(500, 5));
  Take();
  over_ = a_->widget();
  Move(*a_);
  EXPECT_EQ(Take(), (Events{"cmdA MouseOver", "cmdA MouseMove 0 0 5 5"}));
  EXPECT_TRUE(a_->state().IsHover);
}

TEST_F(ButtonBehaviourTest, HoverResumesAfterAReleaseInsideADraggedInPress) {
  Settle();
  QTest::mousePress(a_->widget(), Qt::LeftButton, {}, QPoint(5, 5));
  over_ = a_->widget();
  Move(*a_, Qt::LeftButton);
  QTest::mouseRelease(a_->widget(), Qt::LeftButton, {}, QPoint(5, 5));
  Take();
  Move(*a_);
  EXPECT_EQ(Take(), (Events{"cmdA MouseOver", "cmdA MouseMove 0 0 5 5"}));
}

TEST_F(ButtonBehaviourTest, StoredPropertiesLoadAndSave) {
  EXPECT_EQ(a_->Caption(), "A");
  EXPECT_EQ(a_->Font().weight, 700);
  EXPECT_EQ(a_->ForeColor(), tk::SystemColour(18));
  EXPECT_EQ(a_->ForeHover(), 0u);
  EXPECT_TRUE(a_->Enabled());
  EXPECT_FALSE(c_->Enabled());
  EXPECT_FALSE(c_->widget()->isEnabled());
  EXPECT_EQ(b_->Width(), 1905);  // from the stored extent
  EXPECT_EQ(b_->Height(), 315);

  tk::PropertyBag bag;
  c_->SaveProperties(bag);
  std::vector<std::string> keys;
  for (const auto& e : bag.entries()) keys.push_back(e.first);
  EXPECT_EQ(keys, (Events{"_extentx", "_extenty", "enabled", "font", "caption", "forecolor",
                          "forehover"}));
  EXPECT_EQ(bag.ReadProperty("enabled", true), false);

  ButtonXP copy("cmdC", -1);
  copy.SetAmbientSource(form_.get(), form_.get());
  copy.LoadProperties(&bag);
  EXPECT_EQ(copy.Caption(), "C");
  EXPECT_FALSE(copy.Enabled());
  EXPECT_EQ(copy.Font(), c_->Font());
  EXPECT_EQ(copy.ForeColor(), c_->ForeColor());
  EXPECT_EQ(copy.ForeHover(), c_->ForeHover());
  EXPECT_EQ(copy.Width(), 1905);
}

TEST_F(ButtonBehaviourTest, DefaultsAreLeftOutAndReadBack) {
  // ForeHover equal to the container's colour (red) is stored as absent and
  // comes back as the control's own ForeColor.
  a_->SetForeColor(Rgb(0, 0, 255));
  a_->SetForeHover(Rgb(255, 0, 0));
  a_->SetCaption("cmdA");
  a_->SetFont(form_->Font());
  tk::PropertyBag bag;
  a_->UserControl_WriteProperties(bag);
  EXPECT_EQ(bag.Find("forehover"), nullptr);
  EXPECT_EQ(bag.Find("caption"), nullptr);
  EXPECT_EQ(bag.Find("font"), nullptr);
  EXPECT_EQ(bag.Find("enabled"), nullptr);
  ASSERT_NE(bag.Find("forecolor"), nullptr);  // always stored
  ButtonXP copy("cmdA", -1);
  copy.SetAmbientSource(form_.get(), form_.get());
  copy.LoadProperties(&bag);
  EXPECT_EQ(copy.ForeHover(), Rgb(0, 0, 255));
  EXPECT_EQ(copy.Caption(), "cmdA");

  tk::PropertyBag empty;
  ButtonXP bare("cmdX", -1);
  bare.SetAmbientSource(form_.get(), form_.get());
  bare.LoadProperties(&empty);
  EXPECT_EQ(bare.ForeColor(), Rgb(255, 0, 0));
  EXPECT_EQ(bare.ForeHover(), Rgb(255, 0, 0));
  EXPECT_TRUE(bare.Enabled());
}

TEST_F(ButtonBehaviourTest, NewInstanceCaption) {
  ButtonXP one("ButtonXP1", -1);
  one.PropertyChangedHook = [](const std::string& name) { ADD_FAILURE() << name; };
  one.LoadProperties(nullptr);
  EXPECT_EQ(one.Caption(), "Command");
  EXPECT_TRUE(one.Enabled());
  ButtonXP long_name("ButtonXPPanel12", 3);
  long_name.LoadProperties(nullptr);
  EXPECT_EQ(long_name.Caption(), "Command12");
  EXPECT_EQ(long_name.AmbientDisplayName(), "ButtonXPPanel12");  // no index
}

}  // namespace
}  // namespace controls

namespace controls {
namespace {

TEST_F(ButtonBehaviourTest, DestroyedWhileFocusedNotifiesNothing) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_->widget()->window()) || true);
  a_->SetFocus();
  QApplication::processEvents();
  bool lost = false;
  a_->LostFocus = [&] { lost = true; };
  form_.reset();  // buttons with the focus and a running timer go with their window
  QApplication::processEvents();
  EXPECT_FALSE(lost);
}

}  // namespace
}  // namespace controls

namespace controls {
namespace {

TEST_F(ButtonBehaviourTest, KeyPressGivesTheWindows1250Code) {
  Settle();
  QTest::sendKeyEvent(QTest::Press, a_->widget(), Qt::Key_unknown, QString::fromUtf8("ł"),
                      Qt::NoModifier);
  QTest::sendKeyEvent(QTest::Press, a_->widget(), Qt::Key_A, QString("a"), Qt::NoModifier);
  EXPECT_EQ(Take(), (Events{"cmdA KeyPress 179", "cmdA KeyDown 65", "cmdA KeyPress 97"}));
}

}  // namespace
}  // namespace controls

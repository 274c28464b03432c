// Events raised by the program and by the user, focus and tab order.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <memory>
#include <stdexcept>

#include "platform/message_box.h"
#include "support/tick_barrier.h"
#include "toolkit/description.h"
#include "toolkit/send_keys.h"
#include "toolkit/user_control.h"

namespace tk {
namespace {

const char kPage[] = R"(Begin Form Page
  ClientWidth = 6000
  ClientHeight = 4500
  Begin ListBox lstTypRamki
    List = "Ramka 0", "Ramka 1", "Ramka 2"
    Left = 60
    Top = 60
    Width = 1500
    Height = 900
    TabIndex = 2
  End
  Begin ListBox lstWagi
    List = "Waga A", "waga B"
    Left = 1600
    Top = 60
    Width = 1500
    Height = 900
    TabIndex = 0
  End
  Begin CheckBox chkA
    Left = 60
    Top = 1000
    Width = 1500
    Height = 255
    TabIndex = 1
  End
  Begin TextBox txtMaxVal
    Left = 60
    Top = 1300
    Width = 1140
    Height = 360
    TabIndex = 3
    TabStop = False
  End
  Begin PictureBox picOpcje
    Left = 60
    Top = 1800
    Width = 3000
    Height = 1200
    TabIndex = 4
    TabStop = False
    Begin OptionButton opModPracy
      Index = 0
      Caption = "0"
      Left = 0
      Top = 0
      Width = 600
      Height = 255
      TabIndex = 5
      TabStop = False
    End
    Begin OptionButton opModPracy
      Index = 1
      Caption = "1"
      Left = 0
      Top = 300
      Width = 600
      Height = 255
      TabIndex = 6
      TabStop = False
    End
    Begin Label lblNapis
      Caption = "Napis"
      Left = 700
      Top = 0
      Width = 1000
      Height = 255
    End
  End
  Begin PictureBox Smietnik
    Left = 3855
    Top = 3000
    Width = 2000
    Height = 1400
    TabIndex = 7
    TabStop = False
  End
  Begin Timer Timer1
    Interval = 100
    Enabled = False
  End
  Begin Slider Slider1
    Min = 0
    Max = 10
    Left = 3200
    Top = 1000
    Width = 2000
    Height = 400
    TabIndex = 8
    TabStop = False
  End
End
)";

class EventsTest : public ::testing::Test {
 protected:
  void SetUp() override { form = LoadForm(kPage, "page.frm"); }
  void ShowAndWait() {
    form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->widget()));
  }
  std::unique_ptr<Form> form;
};

TEST_F(EventsTest, ListClickIsRaisedInsideTheStatementThatSelects) {
  auto& list = form->Get<ListBox>("lstTypRamki");
  std::vector<int> seen;
  list.Click = [&] { seen.push_back(list.ListIndex()); };
  list.SetSelected(1, true);
  ASSERT_EQ(seen, std::vector<int>({1}));  // already ran, with the new row
  list.SetListIndex(2);
  EXPECT_EQ(seen, std::vector<int>({1, 2}));
  list.SetSelected(2, true);  // no change, no Click
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_TRUE(list.Selected(2));
  EXPECT_FALSE(list.Selected(1));
  list.SetListIndex(-1);
  EXPECT_EQ(list.ListIndex(), -1);
  EXPECT_EQ(list.Text(), "");
  list.SetText("RAMKA 1");  // case does not matter
  EXPECT_EQ(list.ListIndex(), 1);
  EXPECT_EQ(list.Text(), "Ramka 1");
  list.SetText("nothing like it");
  EXPECT_EQ(list.ListIndex(), -1);
}

TEST_F(EventsTest, ListRowsAndTheirLimits) {
  auto& list = form->Get<ListBox>("lstTypRamki");
  EXPECT_EQ(list.ListCount(), 3);
  EXPECT_EQ(list.List(0), "Ramka 0");
  try {
    list.List(3);
    FAIL() << "no row 3";
  } catch (const platform::VbError& e) {
    EXPECT_EQ(e.number(), platform::kErrInvalidCall);
  }
  EXPECT_THROW(list.SetListIndex(3), platform::VbError);
  EXPECT_THROW(list.SetSelected(-1, true), platform::VbError);
  list.SetListIndex(0);
  list.Clear();
  EXPECT_EQ(list.ListCount(), 0);
  EXPECT_EQ(list.ListIndex(), -1);
  list.AddItem("Nowa");
  EXPECT_EQ(list.List(0), "Nowa");
  EXPECT_EQ(list.ListIndex(), -1);  // adding selects nothing
}

TEST_F(EventsTest, UserPickGivesTheListTheFocusBeforeItsClick) {
  ShowAndWait();
  auto& other = form->Get<ListBox>("lstWagi");
  auto& list = form->Get<ListBox>("lstTypRamki");
  other.SetFocus();
  QApplication::processEvents();
  ASSERT_EQ(form->ActiveControl(), &other);
  std::string active_at_click;
  int clicks = 0;
  int index_at_click = -2;
  list.Click = [&] {
    ++clicks;
    active_at_click = form->ActiveControl() ? form->ActiveControl()->Name() : "";
    index_at_click = list.ListIndex();
  };
  // A program's selection while another control has the focus.
  list.SetSelected(0, true);
  EXPECT_EQ(active_at_click, "lstWagi");
  // The user's click on row 1.
  auto* w = static_cast<QListWidget*>(list.widget());
  const QRect row = w->visualItemRect(w->item(1));
  QTest::mouseClick(w->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(index_at_click, 1);  // the handler sees the row picked
  EXPECT_EQ(active_at_click, "lstTypRamki");
  EXPECT_EQ(form->ActiveControl(), &list);
  EXPECT_EQ(list.ListIndex(), 1);
  // The arrow keys move the selection and raise Click too.
  QTest::keyClick(w, Qt::Key_Down);
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(index_at_click, 2);
  EXPECT_EQ(list.ListIndex(), 2);
  // A click on the row already selected is a pick too.
  QTest::mouseClick(w->viewport(), Qt::LeftButton, Qt::NoModifier,
                    w->visualItemRect(w->item(2)).center());
  EXPECT_EQ(clicks, 4);
  EXPECT_EQ(list.ListIndex(), 2);
}

TEST_F(EventsTest, TabbingIntoAListWithoutSelectionRaisesNoClick) {
  ShowAndWait();
  auto& list = form->Get<ListBox>("lstTypRamki");  // TabIndex 2
  int clicks = 0;
  list.Click = [&] { ++clicks; };
  form->Get("chkA").SetFocus();  // 1
  SendKeys("{Tab}");
  ASSERT_EQ(form->ActiveControl(), &list);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(list.ListIndex(), -1);
  QTest::keyClick(list.widget(), Qt::Key_Down);  // the keys then select
  EXPECT_EQ(clicks, 1);
  EXPECT_GE(list.ListIndex(), 0);
}

TEST_F(EventsTest, CheckBoxClickOnEveryChangeOfValue) {
  auto& box = form->Get<CheckBox>("chkA");
  std::vector<int> seen;
  box.Click = [&] { seen.push_back(box.Value()); };
  box.SetValue(1);
  box.SetValue(1);  // unchanged: no Click
  box.SetValue(2);
  box.SetValue(0);
  EXPECT_EQ(seen, std::vector<int>({1, 2, 0}));
  try {
    box.SetValue(3);
    FAIL();
  } catch (const platform::VbError& e) {
    EXPECT_EQ(e.number(), platform::kErrInvalidPropertyValue);
  }
  EXPECT_EQ(box.Value(), 0);
  ShowAndWait();
  QTest::mouseClick(box.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
  EXPECT_EQ(box.Value(), 1);
  QTest::mouseClick(box.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
  EXPECT_EQ(box.Value(), 0);
  EXPECT_EQ(seen, std::vector<int>({1, 2, 0, 1, 0}));
}

TEST_F(EventsTest, TextBoxChangeOnAssignmentOnlyWhenTheTextChanges) {
  auto& box = form->Get<TextBox>("txtMaxVal");
  std::vector<std::string> seen;
  box.Change = [&] { seen.push_back(box.Text()); };
  box.SetText("000250");
  box.SetText("000250");
  box.SetText("");
  EXPECT_EQ(seen, std::vector<std::string>({"000250", ""}));
  // Typing raises Change for each character; KeyPress may cancel one.
  box.KeyPress = [](int16_t& key_ascii) {
    if (key_ascii >= 28 && (key_ascii < '0' || key_ascii > '9')) key_ascii = 0;
  };
  ShowAndWait();
  box.widget()->setFocus();
  QTest::keyClicks(box.widget(), "1a2");
  EXPECT_EQ(box.Text(), "12");
  EXPECT_EQ(seen, std::vector<std::string>({"000250", "", "1", "12"}));
}

TEST_F(EventsTest, KeyAsciiOfAPolishLetterIsItsWindows1250CodeAndOfCtrlLetterItsControlCode) {
  auto& box = form->Get<TextBox>("txtMaxVal");
  std::vector<int> codes;
  box.KeyPress = [&](int16_t& key_ascii) { codes.push_back(key_ascii); };
  ShowAndWait();
  box.widget()->setFocus();
  for (const QString& ch : {QString("a"), QString::fromUtf8("ł")}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, ch);
    QApplication::sendEvent(box.widget(), &press);
  }
  EXPECT_EQ(codes, std::vector<int>({'a', 0xB3}));
  EXPECT_EQ(box.Text(), "ał");
  codes.clear();
  for (Qt::Key key : {Qt::Key_A, Qt::Key_V, Qt::Key_Z}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, QString());
    QApplication::sendEvent(box.widget(), &press);
  }
  EXPECT_EQ(codes, std::vector<int>({1, 22, 26}));
}

TEST_F(EventsTest, KeyPressMayReplaceTheCharacter) {
  auto& box = form->Get<TextBox>("txtMaxVal");
  box.KeyPress = [](int16_t& key_ascii) {
    if (key_ascii == 'a') key_ascii = 'B';
  };
  ShowAndWait();
  box.widget()->setFocus();
  QTest::keyClicks(box.widget(), "xa");
  EXPECT_EQ(box.Text(), "xB");
}

TEST_F(EventsTest, OptionButtonsOfOneContainerExcludeEachOther) {
  auto& a = form->Get<OptionButton>("opModPracy", 0);
  auto& b = form->Get<OptionButton>("opModPracy", 1);
  std::vector<std::string> clicks;
  a.Click = [&] { clicks.push_back("a"); };
  b.Click = [&] { clicks.push_back("b"); };
  a.SetValue(true);
  EXPECT_TRUE(a.Value());
  b.SetValue(true);
  EXPECT_FALSE(a.Value());
  EXPECT_TRUE(b.Value());
  b.SetValue(true);  // already set
  EXPECT_EQ(clicks, std::vector<std::string>({"a", "b"}));
  ShowAndWait();
  QTest::mouseClick(a.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
  EXPECT_TRUE(a.Value());
  EXPECT_FALSE(b.Value());
  // A click on the selected button leaves it selected, and clicks it again.
  QTest::mouseClick(a.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
  EXPECT_TRUE(a.Value());
  EXPECT_EQ(clicks, std::vector<std::string>({"a", "b", "a", "a"}));
  // The arrow keys select the neighbour, round the group.
  QTest::keyClick(a.widget(), Qt::Key_Down);
  EXPECT_TRUE(b.Value());
  EXPECT_EQ(form->ActiveControl(), &b);
  QTest::keyClick(b.widget(), Qt::Key_Down);
  EXPECT_TRUE(a.Value());
  EXPECT_EQ(clicks, std::vector<std::string>({"a", "b", "a", "a", "b", "a"}));
}

TEST_F(EventsTest, TabReachesOnlyTheSelectedButtonOfAnOptionGroup) {
  ShowAndWait();
  auto& a = form->Get<OptionButton>("opModPracy", 0);
  auto& b = form->Get<OptionButton>("opModPracy", 1);
  a.SetTabStop(true);
  b.SetTabStop(true);
  auto& typ = form->Get<ListBox>("lstTypRamki");  // TabIndex 2, before the options
  auto& wagi = form->Get<ListBox>("lstWagi");     // 0
  typ.SetFocus();
  SendKeys("{Tab}");
  EXPECT_EQ(form->ActiveControl(), &a);  // none selected: the first
  SendKeys("{Tab}");
  EXPECT_EQ(form->ActiveControl(), &wagi);
  b.SetValue(true);
  typ.SetFocus();
  SendKeys("{Tab}");
  EXPECT_EQ(form->ActiveControl(), &b);
  SendKeys("+{Tab}");
  EXPECT_EQ(form->ActiveControl(), &typ);
}

TEST_F(EventsTest, TabMovesAlongTabIndexPassingControlsWithoutTabStop) {
  ShowAndWait();
  auto& wagi = form->Get<ListBox>("lstWagi");     // 0
  auto& chk = form->Get<CheckBox>("chkA");        // 1
  auto& typ = form->Get<ListBox>("lstTypRamki");  // 2
  wagi.SetFocus();
  SendKeys("{Tab}");
  EXPECT_EQ(form->ActiveControl(), &chk);
  SendKeys("{Tab}");
  EXPECT_EQ(form->ActiveControl(), &typ);
  SendKeys("{Tab}");  // the rest have no tab stop: round to the start
  EXPECT_EQ(form->ActiveControl(), &wagi);
  SendKeys("+{Tab}");
  EXPECT_EQ(form->ActiveControl(), &typ);
  SendKeys("+{Tab}+{Tab}");
  EXPECT_EQ(form->ActiveControl(), &wagi);
  // The Tab key itself follows the same order.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(form->ActiveControl(), &chk);
  // A control without a tab stop still takes the focus on a click; Tab
  // goes on from its place in the order.
  auto& txt = form->Get<TextBox>("txtMaxVal");  // 3
  QTest::mouseClick(txt.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
  EXPECT_EQ(form->ActiveControl(), &txt);
  SendKeys("{Tab}");
  EXPECT_EQ(form->ActiveControl(), &wagi);
  EXPECT_THROW(SendKeys("{Enter}"), platform::VbError);
}

TEST_F(EventsTest, SettingTabIndexRenumbersTheOthers) {
  auto& wagi = form->Get<ListBox>("lstWagi");
  auto& chk = form->Get<CheckBox>("chkA");
  auto& typ = form->Get<ListBox>("lstTypRamki");
  typ.SetTabIndex(0);
  EXPECT_EQ(typ.TabIndex(), 0);
  EXPECT_EQ(wagi.TabIndex(), 1);
  EXPECT_EQ(chk.TabIndex(), 2);
  // Past the end: the last place.
  wagi.SetTabIndex(100);
  EXPECT_EQ(chk.TabIndex(), 1);
  EXPECT_EQ(wagi.TabIndex(), form->Get("lstWagi").TabIndex());
  EXPECT_GT(wagi.TabIndex(), form->Get("Slider1").TabIndex());
  ShowAndWait();
  // Only the new order's tab stops count, as the keypad arranges them.
  for (int i = 0; i < form->ControlCount(); ++i) {
    platform::ResumeNext([&] { form->ControlAt(i).SetTabStop(false); });
  }
  chk.SetTabIndex(0);
  chk.SetTabStop(true);
  typ.SetTabIndex(1);
  typ.SetTabStop(true);
  typ.SetFocus();
  SendKeys("{Tab}");
  EXPECT_EQ(form->ActiveControl(), &chk);
  SendKeys("{Tab}");
  EXPECT_EQ(form->ActiveControl(), &typ);
}

TEST_F(EventsTest, HiddenOrDisabledControlsAreNotReachedAndRefuseTheFocus) {
  ShowAndWait();
  auto& wagi = form->Get<ListBox>("lstWagi");
  auto& chk = form->Get<CheckBox>("chkA");
  auto& typ = form->Get<ListBox>("lstTypRamki");
  chk.SetVisible(false);
  wagi.SetFocus();
  SendKeys("{Tab}");
  EXPECT_EQ(form->ActiveControl(), &typ);
  typ.SetEnabled(false);
  SendKeys("+{Tab}");
  EXPECT_EQ(form->ActiveControl(), &wagi);
  try {
    chk.SetFocus();
    FAIL();
  } catch (const platform::VbError& e) {
    EXPECT_EQ(e.number(), platform::kErrInvalidCall);
  }
  EXPECT_THROW(typ.SetFocus(), platform::VbError);
  // Inside a hidden container.
  form->Get("picOpcje").SetVisible(false);
  EXPECT_THROW(form->Get("opModPracy", 0).SetFocus(), platform::VbError);

  // Out of view: below the client area, or clipped away by its container.
  // The tab stop keeps its value, but nothing reaches the control.
  chk.SetVisible(true);
  typ.SetEnabled(true);
  chk.SetFocus();
  QTest::keyClick(chk.widget(), Qt::Key_Tab, Qt::ShiftModifier);  // Shift+Tab
  EXPECT_EQ(form->ActiveControl(), &wagi);
  chk.SetFocus();
  chk.SetTop(4500);  // moved out of view, it hands the focus on
  EXPECT_EQ(form->ActiveControl(), &typ);
  EXPECT_TRUE(chk.TabStop());
  wagi.SetFocus();
  SendKeys("{Tab}");
  EXPECT_EQ(form->ActiveControl(), &typ);
  SendKeys("+{Tab}");
  EXPECT_EQ(form->ActiveControl(), &wagi);
  EXPECT_THROW(chk.SetFocus(), platform::VbError);
  form->Get("picOpcje").SetVisible(true);
  auto& option = form->Get("opModPracy", 1);
  option.SetTop(1140);  // the box is 1200 high, its border included
  EXPECT_THROW(option.SetFocus(), platform::VbError);
  option.SetTop(1110);
  option.SetFocus();
  // Back in view, the control joins again. Parked in a box below the client
  // area, a control hands the focus on to the next stop in view ...
  chk.SetTop(1000);
  chk.SetFocus();
  auto& bin = form->Get("Smietnik");
  bin.SetTop(4500);
  chk.SetContainer(&bin);
  EXPECT_EQ(form->ActiveControl(), &typ);
  // ... and to the window when none is left.
  wagi.SetContainer(&bin);
  typ.SetContainer(&bin);
  EXPECT_EQ(form->ActiveControl(), nullptr);
  EXPECT_EQ(QApplication::focusWidget(), form->widget());
  SendKeys("{Tab}");
  EXPECT_EQ(form->ActiveControl(), nullptr);
}

TEST_F(EventsTest, ChangingTheContainerKeepsLeftAndTop) {
  auto& page = form->Get<PictureBox>("picOpcje");
  auto& bin = form->Get<PictureBox>("Smietnik");
  EXPECT_EQ(page.Container(), form.get());
  page.SetContainer(&bin);
  EXPECT_EQ(page.Container(), &bin);
  EXPECT_EQ(page.Left(), 60);
  EXPECT_EQ(page.Top(), 1800);
  EXPECT_EQ(page.widget()->parentWidget(), bin.ClientWidget());
  EXPECT_EQ(page.widget()->pos(), QPoint(4, 120));
  page.SetLeft(50);
  page.SetTop(50);
  page.SetContainer(form.get());
  EXPECT_EQ(page.widget()->parentWidget(), form->ClientWidget());
  EXPECT_EQ(page.widget()->geometry(), QRect(3, 3, 200, 80));
  // Its own controls went with it.
  EXPECT_TRUE(page.widget()->isAncestorOf(form->Get("opModPracy", 1).widget()));
  // Not into itself, one of its own, or a kind that holds nothing.
  EXPECT_THROW(page.SetContainer(&page), platform::VbError);
  EXPECT_THROW(bin.SetContainer(&bin), platform::VbError);
  page.SetContainer(&bin);
  EXPECT_THROW(bin.SetContainer(&page), platform::VbError);
  EXPECT_THROW(page.SetContainer(&form->Get("chkA")), platform::VbError);
}

TEST_F(EventsTest, PropertiesAKindLacksRaise438) {
  auto expect_438 = [](const std::function<void()>& f) {
    try {
      f();
      ADD_FAILURE() << "no error";
    } catch (const platform::VbError& e) {
      EXPECT_EQ(e.number(), platform::kErrPropertyNotSupported);
    }
  };
  auto& label = form->Get<Label>("lblNapis");
  expect_438([&] { label.TabStop(); });
  expect_438([&] { label.SetTabStop(false); });
  expect_438([&] { label.SetFocus(); });
  expect_438([&] { label.Text(); });
  expect_438([&] { form->Get("Timer1").TabStop(); });
  expect_438([&] { form->Get("Timer1").TabIndex(); });
  expect_438([&] { form->Get("Timer1").Caption(); });
  expect_438([&] { form->Get("lstWagi").Caption(); });
  expect_438([&] { form->Get("chkA").Text(); });
  expect_438([&] { form->Get("Slider1").SetCaption("x"); });
  expect_438([&] { form->Get("picOpcje").Caption(); });
  EXPECT_EQ(label.TabIndex(), 7);  // labels keep a place in the tab order
  // What the language walk relies on.
  settings::TranslatableWindow& window = *form;
  int captions = 0;
  for (int i = 0; i < window.ControlCount(); ++i) {
    if (platform::ResumeNext([&] { window.ControlAt(i).Caption(); })) ++captions;
  }
  EXPECT_EQ(captions, 4);  // the check box, both option buttons, the label
  try {
    form->ControlAt(form->ControlCount());
    FAIL();
  } catch (const platform::VbError& e) {
    EXPECT_EQ(e.number(), platform::kErrSubscript);
  }
}

TEST_F(EventsTest, FindingControlsByNameAndIndex) {
  EXPECT_TRUE(form->Has("opModPracy", 1));
  EXPECT_TRUE(form->Has("OPMODPRACY", 0));  // names ignore case
  EXPECT_FALSE(form->Has("opModPracy"));    // an array member needs its index
  EXPECT_FALSE(form->Has("opModPracy", 2));
  EXPECT_EQ(form->Find("opModPracy", 1).Index(), 1);
  EXPECT_THROW(form->Find("brak"), platform::VbError);
  EXPECT_THROW(form->Get<Label>("chkA"), platform::VbError);
}

TEST_F(EventsTest, LabelClicksOnlyWhenEnabled) {
  ShowAndWait();
  auto& label = form->Get<Label>("lblNapis");
  int clicks = 0;
  label.Click = [&] { ++clicks; };
  QTest::mouseClick(label.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(clicks, 1);
  label.SetEnabled(false);
  QTest::mouseClick(label.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(clicks, 1);
  // Greyed text.
  const QPalette& pal = label.widget()->palette();
  EXPECT_NE(pal.color(QPalette::Disabled, QPalette::WindowText),
            pal.color(QPalette::Active, QPalette::WindowText));
}

TEST_F(EventsTest, TimerTicksWhileEnabledAndStopsWithTheWindow) {
  auto& timer = form->Get<Timer>("Timer1");
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  timer.SetInterval(10);
  ASSERT_TRUE(testing_support::TickBarrier(10).Wait());
  EXPECT_EQ(ticks, 0);  // disabled at design
  timer.SetEnabled(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
  form->Unload();
  EXPECT_FALSE(timer.Enabled());
  const int at_unload = ticks;
  ASSERT_TRUE(testing_support::TickBarrier(10).Wait());
  EXPECT_EQ(ticks, at_unload);
}

TEST_F(EventsTest, SliderRaisesMovedForTheUsersMovesOnly) {
  auto& slider = form->Get<Slider>("Slider1");
  int moved = 0;
  slider.Moved = [&] { ++moved; };
  slider.SetValue(5);
  EXPECT_EQ(moved, 0);
  EXPECT_THROW(slider.SetValue(11), platform::VbError);
  slider.SetMax(3);  // the value follows into the new range
  EXPECT_EQ(slider.Value(), 3);
  slider.SetMin(-3);
  slider.SetMax(0);
  EXPECT_EQ(slider.Value(), 0);
  EXPECT_EQ(slider.Min(), -3);
  ShowAndWait();
  slider.widget()->setFocus();
  QTest::keyClick(slider.widget(), Qt::Key_Left);
  EXPECT_EQ(slider.Value(), -1);
  EXPECT_EQ(moved, 1);
}

TEST_F(EventsTest, FocusEventsFollowTheFocus) {
  std::vector<std::string> seen;
  for (int i = 0; i < form->ControlCount(); ++i) {
    Control& c = form->ControlAt(i);
    c.GotFocus = [&seen, &c] { seen.push_back(c.Name() + " got"); };
  }
  ShowAndWait();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form->widget()));
  // The control holding the focus when the window is first activated hears
  // of it; later activations give the focus back silently.
  ASSERT_NE(form->ActiveControl(), nullptr);
  EXPECT_EQ(seen, std::vector<std::string>{form->ActiveControl()->Name() + " got"});
  QWidget elsewhere;
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
  form->widget()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form->widget()));
  EXPECT_EQ(seen.size(), 1u);
  form->Get("lstTypRamki").SetFocus();
  seen.clear();

  auto& wagi = form->Get<ListBox>("lstWagi");
  auto& chk = form->Get<CheckBox>("chkA");
  wagi.GotFocus = [&] { seen.push_back("wagi got"); };
  wagi.LostFocus = [&] { seen.push_back("wagi lost"); };
  chk.GotFocus = [&] { seen.push_back("chk got"); };
  wagi.SetFocus();
  SendKeys("{Tab}");
  EXPECT_EQ(seen, std::vector<std::string>({"wagi got", "wagi lost", "chk got"}));
  EXPECT_TRUE(chk.HasFocus());
  EXPECT_FALSE(wagi.HasFocus());
}

// A styled control whose click handler fails, as a user control's would.
class FailingSurface : public UserControl {
 public:
  FailingSurface() : UserControl("usrFailing", -1, true) {}
  void UserControl_Click() override { throw platform::VbError(platform::kErrOverflow, "Overflow"); }
};

TEST_F(EventsTest, AnErrorInAUsersEventHandlerDoesNotEndTheProgram) {
  std::vector<std::string> critical;
  auto old_sink = platform::SetMsgBoxSink([&](const std::string& text, platform::MsgBoxIcon icon) {
    if (icon == platform::MsgBoxIcon::kCritical) critical.push_back(text);
  });
  auto surface = std::make_unique<FailingSurface>();
  Control& styled = *surface;
  form->AddControl(std::move(surface), nullptr);
  styled.Move(3200, 1500, 1000, 300);
  ShowAndWait();
  auto& box = form->Get<CheckBox>("chkA");
  box.Click = [] { throw platform::VbError(platform::kErrOverflow, "Overflow"); };
  QTest::mouseClick(box.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
  EXPECT_EQ(box.Value(), 1);
  // The styled control's notifications and the timers' ticks pass the same
  // guard; each error is shown, none ends the program.
  QTest::mouseClick(styled.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  auto& timer = form->Get<Timer>("Timer1");
  timer.Tick = [&] {
    timer.SetEnabled(false);
    throw std::runtime_error("tick");
  };
  timer.SetInterval(1);
  timer.SetEnabled(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return critical.size() == 3; }, 2000));
  platform::SetMsgBoxSink(old_sink);
  ASSERT_EQ(critical.size(), 3u);
  EXPECT_NE(critical[0].find("Overflow"), std::string::npos);
  EXPECT_NE(critical[1].find("Overflow"), std::string::npos);
  EXPECT_NE(critical[2].find("tick"), std::string::npos);
  // Raised by the program, the error reaches the statement that set the value.
  EXPECT_THROW(box.SetValue(0), platform::VbError);
}

int logged_messages = 0;  // what reached Qt's log (standard error) while counted

TEST_F(EventsTest, ATimerWhoseTickFailsIsStoppedOnceItsErrorIsShown) {
  // A third timer, never failing, measures the event loop's time.
  QTimer measure;
  int measured = 0;
  QObject::connect(&measure, &QTimer::timeout, [&] { ++measured; });
  measure.start(10);
  auto run_for_ticks = [&](int ticks) {
    const int until = measured + ticks;
    return QTest::qWaitFor([&] { return measured >= until; }, 5000);
  };
  std::vector<std::string> boxes;
  // The box stays open for two ticks of the measure, its loop running, as a
  // real box's does while the user reads it.
  auto old_sink = platform::SetMsgBoxSink([&](const std::string& text, platform::MsgBoxIcon) {
    boxes.push_back(text);
    run_for_ticks(2);
  });
  logged_messages = 0;
  QtMessageHandler old_handler = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString&) { ++logged_messages; });
  // Two timers fail on every tick, as every styled button's hover timer
  // would: the first error is shown, the second, while the box is open, is
  // logged; then both timers are off and nothing more comes.
  auto& timer = form->Get<Timer>("Timer1");
  Timer other("Timer2", -1);
  for (Timer* t : {&timer, &other}) {
    t->Tick = [] { throw std::runtime_error("tick"); };
    t->SetInterval(1);
    t->SetEnabled(true);
  }
  const bool shown = QTest::qWaitFor([&] { return !boxes.empty(); }, 5000);
  const bool ran_on = run_for_ticks(3);
  qInstallMessageHandler(old_handler);
  platform::SetMsgBoxSink(old_sink);
  ASSERT_TRUE(shown && ran_on);
  EXPECT_EQ(boxes, std::vector<std::string>{"Nieoczekiwany błąd: tick"});
  EXPECT_EQ(logged_messages, 1);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_FALSE(other.Enabled());
}

TEST_F(EventsTest, AClickBelongsToTheControlUnderThePointerAlone) {
  ShowAndWait();
  std::vector<std::string> clicks;
  form->Click = [&] { clicks.push_back("form"); };
  form->Get("picOpcje").Click = [&] { clicks.push_back("page"); };
  form->Get("lblNapis").Click = [&] { clicks.push_back("label"); };
  int form_moves = 0;
  form->MouseMove = [&](int16_t&, int16_t&, float&, float&) { ++form_moves; };
  QTest::mouseClick(form->Get("lblNapis").widget(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  QTest::mouseMove(form->Get("lblNapis").widget(), QPoint(5, 5));
  EXPECT_EQ(clicks, std::vector<std::string>({"label"}));
  EXPECT_EQ(form_moves, 0);
  QTest::mouseClick(form->Get("picOpcje").widget(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(150, 70));
  EXPECT_EQ(clicks, std::vector<std::string>({"label", "page"}));
  QTest::mouseClick(form->ClientWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(390, 10));
  EXPECT_EQ(clicks, std::vector<std::string>({"label", "page", "form"}));
}

TEST_F(EventsTest, MouseEventsCarryTwipsButtonsAndShift) {
  ShowAndWait();
  auto& label = form->Get("lblNapis");
  std::vector<std::string> seen;
  label.MouseDown = [&](int16_t& b, int16_t& s, float& x, float& y) {
    seen.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " +
                   std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
  };
  label.MouseUp = [&](int16_t& b, int16_t&, float&, float&) {
    seen.push_back("up " + std::to_string(b));
  };
  label.Click = [&] { seen.push_back("click"); };
  label.DblClick = [&] { seen.push_back("dblclick"); };
  QTest::mouseClick(label.widget(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier,
                    QPoint(2, 3));
  QTest::mouseClick(label.widget(), Qt::RightButton, Qt::AltModifier, QPoint(2, 3));
  EXPECT_EQ(seen, std::vector<std::string>({"down 2 3 30 45", "up 2", "down 2 4 30 45", "up 2"}));
  seen.clear();
  // Let go 200 pixels away: no Click.
  QWidget* w = label.widget();
  QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(2, 3));
  QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(202, 3));
  EXPECT_EQ(seen, std::vector<std::string>({"down 1 0 30 45", "up 1"}));
  seen.clear();
  // A double click as the window system delivers it: press, release, the
  // second press as a double click, release. Click comes once.
  QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(2, 3));
  QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(2, 3));
  QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(2, 3));
  QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(2, 3));
  EXPECT_EQ(seen,
            std::vector<std::string>({"down 1 0 30 45", "up 1", "click", "dblclick", "up 1"}));
}

TEST_F(EventsTest, ClickingALabelLeavesTheFocusWhereItWas) {
  ShowAndWait();
  auto& list = form->Get<ListBox>("lstWagi");
  list.SetFocus();
  QTest::mouseClick(form->Get("lblNapis").widget(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(form->ActiveControl(), &list);
  // A click on the box around it gives the box the focus.
  auto& page = form->Get("picOpcje");
  QTest::mouseClick(page.ClientWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 70));
  EXPECT_EQ(form->ActiveControl(), &page);
}

}  // namespace
}  // namespace tk

// The side menu, the pages and the parking box.

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "ui/wartosci.h"
#include "ui_test_support.h"

namespace ui_test {
namespace {

class PagesTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    WriteSettings("ramka=0\r\nmode=0\r\nmax=000250\r\n");
    Start();
  }
  // True when no point of the window shows the control (or something on it).
  bool Hidden(const tk::Control& c) {
    const QWidget* w = c.widget();
    QWidget* window = w->window();
    if (!w->isVisible()) return true;
    const QRect area = QRect(w->mapTo(window, QPoint(0, 0)), w->size()) & window->rect();
    for (int y = area.top(); y <= area.bottom(); y += 2) {
      for (int x = area.left(); x <= area.right(); x += 2) {
        const QWidget* hit = window->childAt(x, y);
        if (hit && (hit == w || w->isAncestorOf(hit))) return false;
      }
    }
    return true;
  }
  void ClickOn(tk::Control& c) {
    const QPointF at(3, 3);
    const QPointF global = c.widget()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(c.widget(), &press);
    QCoreApplication::sendEvent(c.widget(), &release);
    QCoreApplication::processEvents();
  }
  static std::string NameOf(const tk::Control& c) {
    return c.Name() + (c.Index() >= 0 ? "(" + std::to_string(c.Index()) + ")" : "");
  }
  // A key pressed where the keyboard focus is, as the window system delivers it.
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : form().widget(), key, modifiers);
    QCoreApplication::processEvents();
  }
  // The control that has the focus, which must be one the user can see.
  std::string Focused() {
    tk::Control* c = form().ActiveControl();
    if (!c) return "";
    EXPECT_FALSE(Hidden(*c)) << NameOf(*c) << " has the focus unseen";
    return NameOf(*c);
  }
  // Tab (or Shift+Tab) pressed until the focus comes round again: the
  // controls reached, in order, each checked to be seen.
  std::vector<std::string> Cycle(bool forward) {
    std::vector<std::string> reached;
    for (int n = 0; n <= form().ControlCount(); ++n) {
      if (forward) {
        Press(Qt::Key_Tab);
      } else {
        Press(Qt::Key_Backtab, Qt::ShiftModifier);
      }
      const std::string now = Focused();
      if (now.empty() || (!reached.empty() && now == reached.front())) break;
      reached.push_back(now);
    }
    return reached;
  }
};

TEST_F(PagesTest, OnlyTheThreeReachableEntriesShow) {
  for (const char* entry : {"lblzdarzenia", "lblPlik", "LblUstawieniaPortu"}) {
    EXPECT_FALSE(Hidden(C(entry))) << entry;
  }
  EXPECT_TRUE(Hidden(C("lblTransmisja")));
  EXPECT_TRUE(Hidden(C("Image1")));
  EXPECT_TRUE(Hidden(C("lblRamka")));  // below the menu box's bottom edge
  EXPECT_TRUE(Hidden(C("Image4")));
  EXPECT_FALSE(Hidden(C("cmdZamknij")));
  EXPECT_TRUE(Hidden(C("cmdStart")));
}

TEST_F(PagesTest, ClickingAnEntryOpensItsPageAtFiftyFiftyAndParksTheOthers) {
  ClickOn(C("lblPlik"));
  EXPECT_EQ(C("picPlik").Container(), &form());
  EXPECT_EQ(C("picPlik").Left(), 50);
  EXPECT_EQ(C("picPlik").Top(), 50);
  EXPECT_FALSE(Hidden(C("txtMaxVal")));
  ClickOn(C("lblzdarzenia"));
  EXPECT_EQ(C("picPlik").Container(), &C("Smietnik"));
  EXPECT_EQ(C("picZdarzenia").Container(), &form());
  EXPECT_EQ(C("picZdarzenia").Left(), 50);
  EXPECT_TRUE(Hidden(C("picPlik")));
  EXPECT_TRUE(Hidden(C("txtMaxVal")));
  ClickOn(C("LblUstawieniaPortu"));
  EXPECT_EQ(C("picPoloczenie").Container(), &form());
  EXPECT_TRUE(Hidden(C("picZdarzenia")));
}

TEST_F(PagesTest, AParkedPageKeepsItsStateAndShowsItAgain) {
  ClickOn(C("lblPlik"));
  C("txtMaxVal").SetText("4321");
  Get<tk::ListBox>("lstTypRamki").SetSelected(2, true);
  ClickOn(C("lblzdarzenia"));
  Get<tk::OptionButton>("opModPracy", 2).SetValue(true);
  ClickOn(C("lblPlik"));
  EXPECT_EQ(C("txtMaxVal").Text(), "4321");
  EXPECT_EQ(Get<tk::ListBox>("lstTypRamki").ListIndex(), 2);
  EXPECT_EQ(Get<tk::ListBox>("lstWagiZgodne").ListCount(), 2);
  ClickOn(C("lblzdarzenia"));
  EXPECT_TRUE(Get<tk::OptionButton>("opModPracy", 2).Value());
}

TEST_F(PagesTest, AParkedPageCannotBeClicked) {
  // Opened once and parked again, with no page open over the parking box: the
  // page keeps Left and Top 50 inside the box. No point of the window reaches
  // the page or anything on it.
  ClickOn(C("lblPlik"));
  ui::KeyTestPeer::HideAllPanels(key());
  QWidget* page = C("picPlik").widget();
  QWidget* window = form().widget()->window();
  int points = 0, on_page = 0;
  for (int y = 0; y < window->height(); y += 3) {
    for (int x = 0; x < window->width(); x += 3) {
      ++points;
      QWidget* hit = window->childAt(x, y);
      on_page += hit && (hit == page || page->isAncestorOf(hit));
    }
  }
  EXPECT_GT(points, 10000);
  EXPECT_EQ(on_page, 0);
}

TEST_F(PagesTest, ClickingTheOpenEntryAgainChangesNothing) {
  ClickOn(C("lblPlik"));
  ClickOn(C("lblPlik"));
  EXPECT_EQ(C("picPlik").Container(), &form());
  EXPECT_EQ(C("picPlik").Left(), 50);
  EXPECT_EQ(C("picPlik").Top(), 50);
}

TEST_F(PagesTest, ShowPanelWithTheWindowItselfParksEveryPage) {
  ui::KeyTestPeer::ShowPanel(key(), C("picPlik"));
  ui::KeyTestPeer::ShowPanel(key(), form());
  for (const char* page : {"picZdarzenia", "picPlik", "picPoloczenie", "picRamka", "picTransmisja"})
    EXPECT_EQ(C(page).Container(), &C("Smietnik")) << page;
}

TEST_F(PagesTest, HiddenEntriesStillOpenTheirPagesWhenOperated) {
  key().lblTransmisja_Click();
  EXPECT_EQ(C("picTransmisja").Container(), &form());
  key().lblRamka_Click();
  EXPECT_EQ(C("picRamka").Container(), &form());
  EXPECT_EQ(C("picTransmisja").Container(), &C("Smietnik"));
}

TEST_F(PagesTest, ParkingLeavesAnOpenPickerOnItsPage) {
  ui::KeyTestPeer::ShowPanel(key(), C("picPoloczenie"));
  ui::SetControlContainer(C("picSpeed"), C("picPoloczenie"));
  ui::KeyTestPeer::ShowPanel(key(), C("picPlik"));
  EXPECT_EQ(C("picSpeed").Container(), &C("picPoloczenie"));
  EXPECT_TRUE(Hidden(C("picSpeed")));
}

TEST_F(PagesTest, DisabledNavigationGreysTheEntriesAndOpensNothing) {
  ui::KeyTestPeer::EnableNavigation(key(), false);
  for (const char* entry : {"lblzdarzenia", "lblPlik", "LblUstawieniaPortu", "lblTransmisja"})
    EXPECT_FALSE(C(entry).Enabled()) << entry;
  EXPECT_TRUE(C("lblRamka").Enabled());
  EXPECT_FALSE(C("cmdOdbierzAll").Enabled());
  ClickOn(C("lblPlik"));
  EXPECT_EQ(C("picPlik").Container(), &C("Smietnik"));
  ui::KeyTestPeer::EnableNavigation(key(), true);
  EXPECT_TRUE(C("cmdOdbierzAll").Enabled());
  EXPECT_TRUE(Hidden(C("lblTransmisja")));  // still hidden
  ClickOn(C("lblPlik"));
  EXPECT_EQ(C("picPlik").Container(), &form());
}

TEST_F(PagesTest, TheKeyboardReachesOnlyControlsInView) {
  // At start no control has the focus: Space and Enter operate nothing.
  const std::string settings = ReadFile("Settings.ini");
  EXPECT_EQ(Focused(), "");
  Press(Qt::Key_Space);
  Press(Qt::Key_Return);
  EXPECT_EQ(ReadFile("Settings.ini"), settings);
  EXPECT_FALSE(key().comm().PortOpen());
  EXPECT_TRUE(boxes.empty());
  // The first Tab reaches the first stop in view; only the side bar's are.
  const std::vector<std::string> side = {"Picture3", "cmdZamknij", "Picture2", "Picture6"};
  EXPECT_EQ(Cycle(true), side);
  EXPECT_EQ(Cycle(false),
            std::vector<std::string>({"Picture6", "Picture2", "cmdZamknij", "Picture3"}));
  // An open page's controls join the cycle; parked again, they leave it.
  for (const char* page : {"picZdarzenia", "picPlik", "picRamka", "picTransmisja"}) {
    SCOPED_TRACE(page);
    ui::KeyTestPeer::ShowPanel(key(), C(page));
    EXPECT_GT(Cycle(true).size(), side.size());
    EXPECT_GT(Cycle(false).size(), side.size());
  }
  ui::KeyTestPeer::ShowPanel(key(), C("picPoloczenie"));
  const size_t page_only = Cycle(true).size();
  EXPECT_GT(page_only, side.size());
  // So do an open picker's buttons; a styled button's arrow keys pass over
  // what is out of view as well.
  const struct {
    const char* caption;
    const char* first;
    const char* last;
  } pickers[] = {{"lblSpeedCap", "ButtonXP4", "ButtonXP6"},
                 {"lblPariteCap", "ButtonXP7", "ButtonXP9"},
                 {"lblBitsDataCap", "ButtonXP13", "ButtonXP10"},
                 {"lblBitsStopCap", "ButtonXP12", "ButtonXP11"}};
  for (const auto& p : pickers) {
    SCOPED_TRACE(p.caption);
    ClickOn(C(p.caption));
    const std::vector<std::string> cycle = Cycle(true);
    EXPECT_GT(cycle.size(), page_only);
    C(p.last).SetFocus();
    Press(Qt::Key_Right);
    EXPECT_NE(Focused(), p.last);
    C(p.first).SetFocus();
    Press(Qt::Key_Up);
    EXPECT_NE(Focused(), p.first);
    ClickOn(C(p.last));  // the choice parks the picker, and the focus leaves it
    EXPECT_EQ(C(p.last).Container()->Container(), &C("Smietnik"));
    Focused();
    EXPECT_EQ(Cycle(true).size(), page_only);
  }
  // The keypad leaves its ten digit keys as the only stops; parked, none is
  // left to go to, and the keys operate nothing.
  ClickOn(C("LblNrPortuCap"));
  EXPECT_EQ(Cycle(true).size(), 10u);
  Press(Qt::Key_Down);
  Focused();
  ClickOn(C("cmdNoNrPortu"));
  EXPECT_EQ(Focused(), "");
  EXPECT_EQ(Cycle(true), std::vector<std::string>());
  Press(Qt::Key_Space);
  EXPECT_EQ(C("lblNrPortuVal").Caption(), "1");
}

TEST_F(PagesTest, PlaceControlAtAnchorBelowAboveOrNowhere) {
  ui::KeyTestPeer::ShowPanel(key(), C("picPoloczenie"));
  tk::Control& picker = C("picNrPort");
  ui::SetControlContainer(picker, C("picPoloczenie"));
  ui::PlaceControlAtAnchor(picker, C("Picture10"), 0);  // Top 926, Height 315
  EXPECT_EQ(picker.Top(), 1241);
  EXPECT_EQ(picker.Left(), 60);
  tk::Control& stop = C("picStop");
  ui::SetControlContainer(stop, C("picPoloczenie"));
  ui::PlaceControlAtAnchor(stop, C("Picture8"), 1);  // Top 1950, picker height 390
  EXPECT_EQ(stop.Top(), 1560);
  EXPECT_EQ(stop.Left(), 60);
  stop.SetLeft(700);
  ui::PlaceControlAtAnchor(stop, C("Picture8"), 2);
  EXPECT_EQ(stop.Top(), 1560);
  EXPECT_EQ(stop.Left(), 700);
}

}  // namespace
}  // namespace ui_test

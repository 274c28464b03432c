// The side menu, the pages and the parking box.

#include <QMouseEvent>
#include <QWidget>

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
  // True when no pixel of the control can be seen on the window.
  bool Hidden(tk::Control& c) {
    return !c.widget()->isVisible() || c.widget()->visibleRegion().isEmpty();
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

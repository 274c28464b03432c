// The splash window: its picture and its three ways of closing.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <memory>

#include "support/tick_barrier.h"
#include "toolkit/kinds.h"
#include "ui/logo_window.h"

namespace ui_test {
namespace {

class SplashTest : public ::testing::Test {
 protected:
  std::unique_ptr<ui::LOGO> Open() {
    auto logo = std::make_unique<ui::LOGO>();
    logo->form().Show();
    QCoreApplication::processEvents();
    return logo;
  }
  static QWidget* ButtonOf(ui::LOGO& logo) { return logo.form().Find("Command1").widget(); }
  static bool Open(ui::LOGO& logo) { return logo.form().Loaded() && logo.form().Visible(); }
  // Counts the ticks of the window's timer, still passing them on.
  static void CountTicks(ui::LOGO& logo, int* ticks) {
    auto& timer = logo.form().Get<tk::Timer>("Timer1");
    tk::Handler original = timer.Tick;
    timer.Tick = [ticks, original] {
      ++*ticks;
      original();
    };
  }
};

TEST_F(SplashTest, ShowsItsOwnLogoUnscaledAndTakesNoPartInTheLanguageFile) {
  auto logo = Open();
  const auto& image = logo->form().Get<tk::Image>("Image1");
  EXPECT_EQ(image.Picture().width(), 209);
  EXPECT_EQ(image.Picture().height(), 150);
  EXPECT_EQ(image.Picture().depth(), 24);
  EXPECT_EQ(image.Width(), 3135);
  EXPECT_EQ(image.Height(), 2250);
  EXPECT_TRUE(logo->form().Tag().empty());
  EXPECT_EQ(logo->form().Find("Command1").Caption(), "&Dalej");
  EXPECT_EQ(logo->form().ScaleWidth(), 4590);
  EXPECT_EQ(logo->form().ScaleHeight(), 4170);
  const auto& timer = logo->form().Get<tk::Timer>("Timer1");
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 5000);
  // The picture is neither empty nor one flat colour.
  const QImage& picture = image.Picture();
  EXPECT_NE(picture.pixel(0, 0), picture.pixel(104, 6));  // the top of the ring
}

TEST_F(SplashTest, ThePictureDrawsOnlyInTheRowsThatNoLabelCovers) {
  auto logo = Open();
  const auto& image = logo->form().Get<tk::Image>("Image1");
  const tk::Control& heading = logo->form().Find("Label3");
  const tk::Control& contact = logo->form().Find("Label1");
  // Both labels are opaque and lie over the picture: the heading over its
  // top, the contact line over everything from its own top down.
  const int first = tk::TwipsToPixels(heading.Top() + heading.Height() - image.Top());
  const int end = tk::TwipsToPixels(contact.Top() - image.Top());
  ASSERT_LT(first, end);
  const QImage& picture = image.Picture();
  const QRgb paper = picture.pixel(picture.width() - 1, picture.height() - 1);
  for (int y = 0; y < picture.height(); ++y) {
    if (y >= first && y < end) continue;
    for (int x = 0; x < picture.width(); ++x) {
      ASSERT_EQ(picture.pixel(x, y), paper) << "drawn under a label at " << x << "," << y;
    }
  }
}

TEST_F(SplashTest, ClickOnDalejOrItsAccessKeyClosesAtOnceAndEndsTheTimer) {
  auto by_click = Open();
  QTest::mouseClick(ButtonOf(*by_click), Qt::LeftButton);
  QCoreApplication::processEvents();
  EXPECT_FALSE(Open(*by_click));
  EXPECT_FALSE(by_click->form().Get<tk::Timer>("Timer1").Enabled());

  auto by_key = Open();
  by_key->form().widget()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(by_key->form().widget()));
  QTest::keyClick(by_key->form().widget(), Qt::Key_D, Qt::AltModifier);
  // The access key presses the button visibly first, then clicks it.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Open(*by_key); }, 2000));
}

TEST_F(SplashTest, EscClosesWhereverTheFocusIsAndOtherKeysLeaveItOpen) {
  auto logo = Open();
  ButtonOf(*logo)->setFocus();
  for (Qt::Key key : {Qt::Key_A, Qt::Key_F1, Qt::Key_Tab, Qt::Key_Left}) {
    QTest::keyClick(ButtonOf(*logo), key);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Open(*logo)) << key;
  }
  QTest::keyClick(ButtonOf(*logo), Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_FALSE(Open(*logo));

  // The window's own key handler, when no control has the focus.
  auto other = Open();
  int16_t key_code = 65, shift = 0;
  other->Form_KeyDown(key_code, shift);
  EXPECT_TRUE(Open(*other));
  key_code = 27;
  other->Form_KeyDown(key_code, shift);
  EXPECT_FALSE(Open(*other));
}

TEST_F(SplashTest, LeftAloneItClosesAfterFiveSecondsAndAClosedOneNeverTicks) {
  int alone_ticks = 0, esc_ticks = 0, dalej_ticks = 0;
  QElapsedTimer since_opened;
  since_opened.start();
  auto alone = Open();
  auto by_esc = Open();
  auto by_dalej = Open();
  // Ticks once the three windows' timers have all fallen due.
  testing_support::TickBarrier after_their_ticks(5000);
  CountTicks(*alone, &alone_ticks);
  CountTicks(*by_esc, &esc_ticks);
  CountTicks(*by_dalej, &dalej_ticks);
  QTest::keyClick(ButtonOf(*by_esc), Qt::Key_Escape);
  QTest::mouseClick(ButtonOf(*by_dalej), Qt::LeftButton);

  // The close is timed when it happens, so a slow machine only makes it later.
  qint64 closed_after = -1;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        if (Open(*alone)) return false;
        closed_after = since_opened.elapsed();
        return true;
      },
      15000));
  EXPECT_GE(closed_after, 4900) << "closed before its time";
  ASSERT_TRUE(after_their_ticks.Wait());
  EXPECT_EQ(alone_ticks, 1);
  EXPECT_EQ(esc_ticks, 0);
  EXPECT_EQ(dalej_ticks, 0);
  EXPECT_FALSE(Open(*by_esc));
  EXPECT_FALSE(Open(*by_dalej));
}

}  // namespace
}  // namespace ui_test

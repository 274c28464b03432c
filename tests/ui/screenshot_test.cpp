// Pictures of the running window: each page, the wait banner and the chart
// window must look different from the empty window. When KONWERTER_SHOTS
// names a folder, the pictures are also written there for a person to look at.

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

#include "ui/chart_window.h"
#include "ui_test_support.h"

namespace ui_test {
namespace {

class ScreenshotTest : public WindowTest {
 protected:
  QImage Shot(const std::string& name, QWidget* w) {
    QCoreApplication::processEvents();
    const QImage picture = w->grab().toImage();
    if (const char* shots = std::getenv("KONWERTER_SHOTS"))
      picture.save(QString::fromStdString(std::string(shots) + "/" + name + ".png"));
    return picture;
  }
};

TEST_F(ScreenshotTest, EveryPageTheBannerAndTheChartWindow) {
  UseDeliveredFiles();  // as the program starts on them
  ui::KEY& k = Start();
  QWidget* window = form().widget()->window();
  const QImage empty = Shot("1_start", window);
  ASSERT_FALSE(empty.isNull());
  std::vector<QImage> pages;
  k.lblzdarzenia_Click();
  pages.push_back(Shot("2_tryb_pracy", window));
  k.lblPlik_Click();
  pages.push_back(Shot("3_parametry", window));
  k.LblUstawieniaPortu_Click();
  pages.push_back(Shot("4_polaczenie", window));
  k.lblRamka_Click();
  pages.push_back(Shot("5_ramka", window));
  k.lblTransmisja_Click();
  pages.push_back(Shot("6_transmisja", window));
  for (size_t i = 0; i < pages.size(); ++i) {
    EXPECT_TRUE(pages[i] != empty) << "page " << i;
    for (size_t j = 0; j < i; ++j) EXPECT_TRUE(pages[i] != pages[j]) << "pages " << j << ", " << i;
  }
  k.lblzdarzenia_Click();
  k.ShowWaitBanner(true);
  EXPECT_TRUE(Shot("7_banner", window) != pages[0]);
  k.ShowWaitBanner(false);
  EXPECT_TRUE(Shot("7_banner_gone", window) == pages[0]);
  QImage chart_picture, without_chart;
  QTimer::singleShot(50, [&] {
    ui::frmWykresy* chart = k.chart_window();
    QWidget* chart_window = chart->form()->widget()->window();
    chart_picture = Shot("8_chart", chart_window);
    chart->form()->Get<tk::Image>("Image1").SetPicture(QImage());
    without_chart = Shot("9_chart_cleared", chart_window);
    chart->Label1_Click();
  });
  Get<tk::OptionButton>("opModPracy", 1).SetValue(true);
  k.ButtonXP2_Click();
  ASSERT_FALSE(chart_picture.isNull());
  EXPECT_TRUE(chart_picture != without_chart);
}

TEST_F(ScreenshotTest, NoLetterOfALabelUnderTheBannerShowsBesideIt) {
  UseDeliveredFiles();  // their logo lines lie under the banner
  ui::KEY& k = Start();
  QWidget* window = form().widget()->window();
  k.lblPlik_Click();  // as during a request from the page
  QWidget* client = C("txtTransmisja").widget()->parentWidget();
  const QPoint origin = client->mapTo(window, QPoint(0, 0));
  auto& logo = Get<tk::Label>("lblLogo1");
  const std::string caption = logo.Caption();
  ASSERT_FALSE(caption.empty());
  const QImage shown = Shot("10_page", window);
  k.ShowWaitBanner(true);
  const QImage with_text = Shot("10_banner_on_page", window);
  const QRect banner = C("txtTransmisja").widget()->geometry().translated(origin);
  const QRect label = logo.widget()->geometry().translated(origin);
  k.ShowWaitBanner(false);
  logo.SetCaption("");
  const QImage blank_label = Shot("10_page_blank_logo", window);
  k.ShowWaitBanner(true);
  const QImage without_text = Shot("10_banner_blank_logo", window);
  k.ShowWaitBanner(false);
  logo.SetCaption(caption);
  ASSERT_TRUE(label.intersects(banner) && !banner.contains(label));
  int letters = 0, showing = 0;
  for (int y = label.top(); y <= label.bottom(); ++y) {
    for (int x = label.left(); x <= label.right(); ++x) {
      if (banner.contains(x, y)) continue;
      if (shown.pixel(x, y) != blank_label.pixel(x, y)) ++letters;
      if (with_text.pixel(x, y) != without_text.pixel(x, y)) ++showing;
    }
  }
  EXPECT_GT(letters, 0) << "the label's letters reach beyond the banner";
  EXPECT_EQ(showing, 0);
}

}  // namespace
}  // namespace ui_test

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

}  // namespace
}  // namespace ui_test

// Pictures of the running window for a person to look at: written only when
// KONWERTER_SHOTS names a folder, skipped otherwise.

#include <QTimer>
#include <QWidget>
#include <cstdlib>

#include "ui/chart_window.h"
#include "ui_test_support.h"

namespace ui_test {
namespace {

class ScreenshotTest : public WindowTest {
 protected:
  void Save(const std::string& name, QWidget* w) {
    QCoreApplication::processEvents();
    w->grab().save(QString::fromStdString(shots_ + "/" + name + ".png"));
  }
  std::string shots_;
};

TEST_F(ScreenshotTest, EveryPageTheBannerAndTheChartWindow) {
  const char* shots = std::getenv("KONWERTER_SHOTS");
  if (!shots) GTEST_SKIP() << "KONWERTER_SHOTS not set";
  shots_ = shots;
  UseDeliveredFiles();  // as the program starts on them
  ui::KEY& k = Start();
  QWidget* window = form().widget()->window();
  Save("1_start", window);
  k.lblzdarzenia_Click();
  Save("2_tryb_pracy", window);
  k.lblPlik_Click();
  Save("3_parametry", window);
  k.LblUstawieniaPortu_Click();
  Save("4_polaczenie", window);
  k.lblRamka_Click();
  Save("5_ramka", window);
  k.lblTransmisja_Click();
  Save("6_transmisja", window);
  k.lblzdarzenia_Click();
  k.ShowWaitBanner(true);
  Save("7_banner", window);
  k.ShowWaitBanner(false);
  QTimer::singleShot(50, [&] {
    ui::frmWykresy* chart = k.chart_window();
    Save("8_chart", chart->form()->widget()->window());
    chart->Label1_Click();
  });
  Get<tk::OptionButton>("opModPracy", 1).SetValue(true);
  k.ButtonXP2_Click();
}

}  // namespace
}  // namespace ui_test

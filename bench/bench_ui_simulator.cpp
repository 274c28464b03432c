// Times the simulator's frames as the emulated converter receives them: the
// real main window (offscreen) sends the slider's frame every 50 ms; the gaps
// between the arrivals of 200 frames give the median and the 99th percentile
// (target: median 50 ms within 1 ms, 99th percentile within 5 ms) and the
// drift, the mean gap of the last quarter against that of the first.

#include <stdlib.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "support/converter_emulator.h"
#include "toolkit/control.h"
#include "toolkit/kinds.h"
#include "ui/key_window.h"

namespace {

constexpr int kPort = 79;
constexpr size_t kFrames = 200;

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const double rank = p / 100.0 * static_cast<double>(values.size() - 1);
  const size_t lo = static_cast<size_t>(std::floor(rank));
  const size_t hi = std::min(lo + 1, values.size() - 1);
  return values[lo] + (values[hi] - values[lo]) * (rank - static_cast<double>(lo));
}

double Mean(const std::vector<double>& values, size_t from, size_t to) {
  return std::accumulate(values.begin() + static_cast<long>(from),
                         values.begin() + static_cast<long>(to), 0.0) /
         static_cast<double>(to - from);
}

}  // namespace

int main(int argc, char** argv) {
  if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  tk::InstallFontSubstitutions();

  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  const std::string folder = dir.path().toStdString();
  platform::SetAppFolderForTesting(folder);
  platform::SetMsgBoxSink([](const std::string& text, platform::MsgBoxIcon) {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  });
  const std::string settings =
      "[USTAWIENIA]\r\nNR PORTU=" + std::to_string(kPort) +
      "\r\nPRĘDKOŚĆ=9600\r\n\r\n[parametry]\r\nramka=0\r\nmax=001500\r\n\r\n"
      "[typy ramek]\r\n0=Ramka 0\r\n\r\n[wagi]\r\nWaga A=0\r\n\r\n[0]\r\nramka=mm0k00msjj\r\n";
  platform::WriteFileAtomically(folder + "/Settings.ini", platform::Utf8ToCp1250(settings));

  testing_support::ConverterEmulator emulator;
  emulator.Attach(kPort);

  std::vector<double> gaps;
  {
    ui::KEY window;
    window.Form_Load();
    QCoreApplication::processEvents();
    window.form().Get<tk::Slider>("Slider1").SetValue(1234);
    window.form().Get<tk::CheckBox>("chNasluch").SetValue(1);
    if (!window.form().Get<tk::Timer>("Timer3").Enabled()) {
      std::fprintf(stderr, "the simulator did not start\n");
      return 1;
    }
    QElapsedTimer waited;
    waited.start();
    while (emulator.Lines().size() < kFrames + 1 && waited.elapsed() < 30000) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    window.form().Get<tk::CheckBox>("chNasluch").SetValue(0);
  }

  const auto lines = emulator.Lines();
  if (lines.size() < kFrames + 1) {
    std::fprintf(stderr, "only %zu frames arrived\n", lines.size());
    return 1;
  }
  size_t wrong = 0;
  for (size_t i = 0; i <= kFrames; ++i) {
    if (lines[i].text != "  1.234 kg") ++wrong;
    if (i == 0) continue;
    gaps.push_back(
        std::chrono::duration<double, std::milli>(lines[i].arrival - lines[i - 1].arrival).count());
  }
  const double total =
      std::chrono::duration<double, std::milli>(lines[kFrames].arrival - lines[0].arrival).count();
  const size_t quarter = gaps.size() / 4;
  std::printf("simulator frames received: %zu gaps of %zu frames\n", gaps.size(), kFrames + 1);
  std::printf("  median gap        %7.3f ms  (target 50 +- 1)\n", Percentile(gaps, 50));
  std::printf("  99th percentile   %7.3f ms  (target within 5 of 50)\n", Percentile(gaps, 99));
  std::printf("  1st percentile    %7.3f ms\n", Percentile(gaps, 1));
  std::vector<double> deviations;
  for (double gap : gaps) deviations.push_back(std::fabs(gap - 50.0));
  std::printf("  99th percentile of |gap - 50|  %.3f ms\n", Percentile(deviations, 99));
  std::printf("  shortest/longest  %7.3f / %.3f ms\n", *std::min_element(gaps.begin(), gaps.end()),
              *std::max_element(gaps.begin(), gaps.end()));
  std::printf("  mean gap          %7.3f ms over %.1f ms (drift %+.3f ms against %zu x 50)\n",
              total / static_cast<double>(gaps.size()), total,
              total - 50.0 * static_cast<double>(gaps.size()), gaps.size());
  std::printf("  first/last quarter mean  %.3f / %.3f ms\n", Mean(gaps, 0, quarter),
              Mean(gaps, gaps.size() - quarter, gaps.size()));
  std::printf("  frames with another text: %zu\n", wrong);
  platform::SetMsgBoxSink(nullptr);
  platform::SetAppFolderForTesting("");
  return 0;
}

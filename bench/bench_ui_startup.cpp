// Start-up of the main window: the time from the program's start to a shown,
// loaded window, and the peak memory of such a start. The window quits at
// once. Runs on the delivered Settings.ini and set.lng, copied to a
// temporary folder (the language file is written during the start).
// Targets on the development machine: under 300 ms and under 80 MB.
//
// Usage: bench_ui_startup   (QT_QPA_PLATFORM=offscreen when no display)

#include <sys/resource.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/message_box.h"
#include "toolkit/control.h"
#include "ui/key_window.h"

namespace {

std::string DataDir() {
  std::string here = __FILE__;
  return here.substr(0, here.rfind("/bench/")) + "/data";
}

bool CopyData(const std::string& to) {
  for (const char* name : {"Settings.ini", "set.lng"}) {
    std::string bytes;
    if (!platform::ReadWholeFile(DataDir() + "/" + name, &bytes)) return false;
    if (!platform::WriteFileAtomically(to + "/" + name, bytes)) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const auto t0 = std::chrono::steady_clock::now();
  if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir dir;
  if (!dir.isValid() || !CopyData(dir.path().toStdString())) {
    std::fprintf(stderr, "cannot prepare the data folder\n");
    return 1;
  }
  platform::SetAppFolderForTesting(dir.path().toStdString());
  platform::SetMsgBoxSink([](const std::string& text, platform::MsgBoxIcon) {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  });

  QApplication app(argc, argv);
  tk::InstallFontSubstitutions();
  ui::KEY window;
  window.Form_Load();
  double shown_ms = 0;
  QTimer::singleShot(0, [&] {
    // The first turn of the event loop: the window has been shown and painted.
    shown_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    app.quit();
  });
  app.exec();

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double peak_mb = usage.ru_maxrss / 1024.0;  // ru_maxrss is in kilobytes
  std::printf("start to shown window: %.1f ms (target < 300 ms)\n", shown_ms);
  std::printf("peak memory: %.1f MB (target < 80 MB)\n", peak_mb);
  return 0;
}

#include "ui/app.h"

#include <QApplication>
#include <clocale>
#include <thread>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/serial_port.h"
#include "platform/vb_error.h"
#include "toolkit/control.h"
#include "toolkit/message_box.h"
#include "ui/key_window.h"

namespace ui {

namespace {

// Everything from the window descriptions to the first show. An error here
// (a description that does not parse, a picture that cannot be made) leaves
// no window to go on with.
int StartAndRun() {
  PrepareWindowResources();
  KEY window;
  // Closing the main window ends the program at once, whatever else is open.
  window.EndProgram = [] { QCoreApplication::exit(0); };
  // The load handler is an event like any other: an error it did not expect
  // is shown, and the window still comes up so that the user can close it.
  tk::Control::RaiseUserEvent([&window] { window.Form_Load(); });
  if (!window.form().Visible()) window.form().Show();
  return QApplication::exec();
}

// Work that needs neither Qt nor a window, done on a thread of its own while
// QApplication connects to the display: the font configuration. Joined before
// the first window is made.
class StartPreparation {
 public:
  StartPreparation() : thread_([] { tk::LoadFontConfiguration(); }) {}
  ~StartPreparation() { Wait(); }
  void Wait() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

}  // namespace

int RunKonwerter(int argc, char** argv) {
  platform::IgnoreFileSizeSignal();
  // Before QApplication starts threads of its own: they must inherit the
  // blocked exit signals, or a logout during an exchange would end the
  // program with the port still raw, locked and in exclusive mode.
  platform::CloseSerialPortsOnExitSignals();
  StartPreparation preparation;  // after the line above: its thread inherits the mask
  QApplication app(argc, argv);
  preparation.Wait();
  // Qt has set the C library to the user's locale; the numbers the program
  // reads and writes for itself always have "." as the point.
  std::setlocale(LC_NUMERIC, "C");
  tk::InstallFontSubstitutions();
  tk::InstallQtMessageBoxSink();
  return RunGuarded(StartAndRun);
}

int RunGuarded(const std::function<int()>& run) {
  try {
    return run();
  } catch (...) {
    platform::MsgBox("Nie można uruchomić programu: " + platform::DescribeCurrentError(),
                     platform::MsgBoxIcon::kCritical);
  }
  return 1;
}

}  // namespace ui

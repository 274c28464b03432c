#include "ui/app.h"

#include <QApplication>

#include "platform/files.h"
#include "toolkit/control.h"
#include "toolkit/message_box.h"
#include "ui/key_window.h"

namespace ui {

int RunKonwerter(int argc, char** argv) {
  platform::IgnoreFileSizeSignal();
  QApplication app(argc, argv);
  tk::InstallFontSubstitutions();
  tk::InstallQtMessageBoxSink();
  PrepareWindowResources();
  KEY window;
  // Closing the main window ends the program at once, whatever else is open.
  window.EndProgram = [] { QCoreApplication::exit(0); };
  // The load handler is an event like any other: an error it did not expect
  // is shown, and the window still comes up so that the user can close it.
  tk::Control::RaiseUserEvent([&window] { window.Form_Load(); });
  if (!window.form().Visible()) window.form().Show();
  return app.exec();
}

}  // namespace ui

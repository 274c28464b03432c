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
  window.Form_Load();
  return app.exec();
}

}  // namespace ui

#include "ui/app.h"

#include <QApplication>
#include <QLabel>

namespace ui {

int RunKonwerter(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel placeholder("Konwerter");
  placeholder.show();
  return app.exec();
}

}  // namespace ui

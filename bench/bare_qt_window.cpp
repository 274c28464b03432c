// The yardstick of the start benchmark: the least a Qt 6 Widgets program does
// before its first window is mapped. One plain window; closing it ends the
// program.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(493, 333);
  window.setWindowTitle("bare");
  window.show();
  return QApplication::exec();
}

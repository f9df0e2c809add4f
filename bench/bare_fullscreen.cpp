// The peer of the start-up benchmark: the least a Qt program does to put one full-screen
// window on the screen, an empty widget in the full-screen window's background colour.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  QPalette colours = window.palette();
  colours.setColor(QPalette::Window, QColor(0, 0, 64));
  window.setPalette(colours);
  window.setAutoFillBackground(true);
  window.showFullScreen();
  return QApplication::exec();
}

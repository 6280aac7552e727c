// minimal-qt: the least a Qt Widgets program does to show a window: one empty widget. The floor
// under Config's start to its window being shown.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget widget;
  widget.setWindowTitle(QStringLiteral("minimal-qt"));
  widget.show();
  return app.exec();
}

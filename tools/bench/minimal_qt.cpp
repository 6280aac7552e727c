// minimal-qt: the least a Qt Widgets program does to show a window: one empty widget. The floor
// under Config's start to its first picture. Built as minimal-qt-text it shows one line of text in
// Config's font instead: the floor of any dialog with words in it, which pays for the system's font
// configuration (fontconfig reads every file of it) and a font, as Config does.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
#ifdef MINIMAL_QT_TEXT
  QLabel widget(QStringLiteral("Acceleration"));
  widget.setFont(QFont(QStringLiteral("DejaVu Sans Condensed"), 8));
  widget.resize(312, 213);
#else
  QWidget widget;
#endif
  widget.setWindowTitle(QStringLiteral("minimal-qt"));
  widget.show();
  return app.exec();
}

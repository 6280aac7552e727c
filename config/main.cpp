// Config: the settings dialog of Zorvane. It edits zorvane.ini in its own directory and starts
// the game from there.
#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "config/frm_config.h"
#include "config/message_box_reporter.h"
#include "settings/program_dir.h"

namespace {

// The game ends with the same status when it has no display.
constexpr int kExitNoDisplay = 2;

QtMessageHandler qtHandler = nullptr;

// Where no window system answers, Qt cannot start its platform plugin and aborts the program
// with a fatal message. Said plainly instead, and the program ends without a core dump; Qt's
// own warnings before it (which display it tried) still go out.
void StartUpMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg) {
    qtHandler(type, context, text);
    return;
  }
  std::cerr << "Config: no display: the window system cannot be reached; is DISPLAY set?"
            << std::endl;
  std::_Exit(kExitNoDisplay);
}

}  // namespace

int main(int argc, char* argv[]) {
  qtHandler = qInstallMessageHandler(StartUpMessage);
  QApplication app(argc, argv);
  qInstallMessageHandler(qtHandler);
  zorvane::MessageBoxReporter reporter;
  zorvane::frmConfig form(zorvane::ProgramDirectory(), reporter);
  if (!form.Form_Load()) return 1;
  form.show();
  return app.exec();
}

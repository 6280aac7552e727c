// Config: the settings dialog of Zorvane. It edits zorvane.ini (beside it, or the user's own in a
// system install; settings/file_layout.h) and starts the game found in its own directory.
#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "config/frm_config.h"
#include "config/message_box_reporter.h"
#include "settings/file_layout.h"
#include "settings/runtime_error.h"

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
  zorvane::FileLayout files;
  try {
    files = zorvane::ThisProgramsFiles();
  } catch (const zorvane::RuntimeError& error) {
    reporter.Error(QString::fromStdString(error.what()));
    return 1;
  }
  zorvane::frmConfig form(files, reporter);
  if (!form.Form_Load()) return 1;
  form.show();
  return app.exec();
}

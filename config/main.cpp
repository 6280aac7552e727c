// Config: the settings dialog of Zorvane. It edits zorvane.ini in its own directory and starts
// the game from there.
#include <QApplication>

#include "config/frm_config.h"
#include "config/message_box_reporter.h"
#include "settings/program_dir.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  zorvane::MessageBoxReporter reporter;
  zorvane::frmConfig form(zorvane::ProgramDirectory(), reporter);
  if (!form.Form_Load()) return 1;
  form.show();
  return app.exec();
}

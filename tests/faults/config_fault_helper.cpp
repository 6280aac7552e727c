// Drives the settings dialog over a program directory for the fault tests, which run it as a
// separate process: as another user, inside a private mount, or to be killed mid-save.
//   config_fault_helper load DIR       fill the dialog; print its twelve texts or the error
//   config_fault_helper save DIR       load, "Defaults", "&Save"; print any warning
//   config_fault_helper save-loop DIR  load, then save the loaded texts and the defaults in turn
//                                      until killed; prints "saving" once both have been saved
// Exit status: 0 done, 1 the load failed, 3 the save was refused.
#include <QApplication>
#include <QLineEdit>
#include <iostream>

#include "config/frm_config.h"
#include "config/reporter.h"

namespace {

constexpr const char* kBoxes[] = {"txtAccel_0", "txtFriction_0", "txtSize_0",  "txtSpeed_0",
                                  "txtDmg_0",   "txtHealth_0",   "txtAccel_1", "txtFriction_1",
                                  "txtSize_1",  "txtSpeed_1",    "txtDmg_1",   "txtHealth_1"};

class PrintingReporter : public zorvane::Reporter {
 public:
  void Error(const QString& text) override { Print("error", text); }
  void Warning(const QString& text) override {
    Print("warning", text);
    ++warnings;
  }
  int warnings = 0;

 private:
  static void Print(const char* what, QString text) {
    std::cout << what << ": " << text.replace('\n', ' ').toStdString() << std::endl;
  }
};

QStringList Texts(const zorvane::frmConfig& form) {
  QStringList texts;
  for (const char* box : kBoxes) texts << form.findChild<QLineEdit*>(box)->text();
  return texts;
}

void SetTexts(const zorvane::frmConfig& form, const QStringList& texts) {
  for (int i = 0; i < texts.size(); ++i) form.findChild<QLineEdit*>(kBoxes[i])->setText(texts[i]);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const std::string mode = argc == 3 ? argv[1] : "";
  if (mode != "load" && mode != "save" && mode != "save-loop") {
    std::cerr << "usage: config_fault_helper load|save|save-loop DIR" << std::endl;
    return 2;
  }
  PrintingReporter reporter;
  zorvane::frmConfig form(zorvane::PortableLayout(argv[2]), reporter);
  if (!form.Form_Load()) return 1;
  const QStringList loaded = Texts(form);
  if (mode == "load") {
    std::cout << "texts: " << loaded.join(' ').toStdString() << std::endl;
    return 0;
  }
  form.cmdDefault_Click();
  const QStringList defaults = Texts(form);
  if (mode == "save") {
    form.Command1_Click();
    return reporter.warnings == 0 ? 0 : 3;
  }
  for (int saves = 0; reporter.warnings == 0; ++saves) {
    SetTexts(form, saves % 2 == 0 ? loaded : defaults);
    form.Command1_Click();
    if (saves == 1) std::cout << "saving" << std::endl;
  }
  return 3;
}

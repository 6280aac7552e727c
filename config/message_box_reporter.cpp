#include "config/message_box_reporter.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

namespace zorvane {
namespace {

// The program's name, not the dialog's caption: the box may appear when no dialog exists yet.
const QString kTitle = QStringLiteral("Config");

void Print(const QString& text) { std::cerr << "Config: " << text.toStdString() << std::endl; }

}  // namespace

void MessageBoxReporter::Error(const QString& text) {
  Print(text);
  QMessageBox::critical(QApplication::activeWindow(), kTitle, text);
}

void MessageBoxReporter::Warning(const QString& text) {
  Print(text);
  QMessageBox::warning(QApplication::activeWindow(), kTitle, text);
}

}  // namespace zorvane

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

#include "config/frm_config.h"
#include "config/reporter.h"

namespace zorvane::test {

// Keeps what the dialog reports instead of showing it.
class RecordingReporter : public Reporter {
 public:
  void Error(const QString& text) override { errors << text; }
  void Warning(const QString& text) override { warnings << text; }

  QStringList errors;
  QStringList warnings;
};

// The file "Defaults" then "&Save" must produce, built column by column.
QByteArray DefaultSettingsBytes();

// A fresh program directory, removed when the object goes.
class ProgramDir {
 public:
  std::string path() const { return dir_.path().toStdString(); }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  void Write(const QString& name, const QByteArray& bytes) const;
  QByteArray Read(const QString& name) const;
  QStringList Names() const;

  // A shell script named zorvane that records each start in "launched.<pid>": its working
  // directory, its session id and the settings file as it found it.
  void WriteStandInGame() const;
  QStringList LaunchRecords() const;

 private:
  QTemporaryDir dir_;
};

// A dialog over a program directory, loaded from a settings file with `settings` in it.
struct LoadedDialog {
  explicit LoadedDialog(const QByteArray& settings = DefaultSettingsBytes());

  QString Text(const QString& box) const;
  void SetText(const QString& box, const QString& text) const;
  void Click(const QString& button) const;
  // Shows the window and waits until it has the keyboard.
  bool ShowActive();

  ProgramDir dir;
  RecordingReporter reporter;
  frmConfig form;
  bool loaded = false;
};

// Object names of the twelve boxes in the order every handler walks them.
QStringList BoxNamesInOrder();

}  // namespace zorvane::test

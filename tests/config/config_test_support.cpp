#include "tests/config/config_test_support.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace zorvane::test {

QByteArray DefaultSettingsBytes() {
  const QByteArray line = "5" + QByteArray(13, ' ') + "0.5" + QByteArray(11, ' ') + "30" +
                          QByteArray(12, ' ') + "15" + QByteArray(12, ' ') + "10" +
                          QByteArray(12, ' ') + "100\r\n";
  return line + line;
}

void ProgramDir::Write(const QString& name, const QByteArray& bytes) const {
  QFile file(Path(name));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write %s", qPrintable(file.fileName()));
  }
}

QByteArray ProgramDir::Read(const QString& name) const {
  QFile file(Path(name));
  if (!file.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
  return file.readAll();
}

QStringList ProgramDir::Names() const {
  return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

void ProgramDir::WriteStandInGame() const {
  Write("zorvane",
        "#!/bin/sh\n"
        "read -r pid comm state ppid pgrp sid rest < /proc/$$/stat\n"
        "{ echo \"$PWD\"; echo \"$sid\"; cat zorvane.ini; } > record.$$ && mv record.$$ "
        "launched.$$\n");
  QFile::setPermissions(Path("zorvane"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList ProgramDir::LaunchRecords() const {
  QStringList records;
  for (const QString& name : QDir(dir_.path()).entryList({"launched.*"}, QDir::Files)) {
    records << QString::fromLatin1(Read(name));
  }
  return records;
}

LoadedDialog::LoadedDialog(const QByteArray& settings)
    : form(PortableLayout(dir.path()), reporter) {
  dir.Write("zorvane.ini", settings);
  loaded = form.Form_Load();
}

QString LoadedDialog::Text(const QString& box) const {
  const auto* edit = form.findChild<QLineEdit*>(box);
  return edit ? edit->text() : QStringLiteral("<no box %1>").arg(box);
}

void LoadedDialog::SetText(const QString& box, const QString& text) const {
  auto* edit = form.findChild<QLineEdit*>(box);
  if (!edit) qFatal("no box %s", qPrintable(box));
  edit->setText(text);
}

void LoadedDialog::Click(const QString& button) const {
  auto* push = form.findChild<QPushButton*>(button);
  if (!push) qFatal("no button %s", qPrintable(button));
  QTest::mouseClick(push, Qt::LeftButton);
}

bool LoadedDialog::ShowActive() {
  form.show();
  return QTest::qWaitForWindowActive(&form);
}

QStringList BoxNamesInOrder() {
  QStringList names;
  for (int index : {0, 1}) {
    for (const char* box :
         {"txtAccel", "txtFriction", "txtSize", "txtSpeed", "txtDmg", "txtHealth"}) {
      names << QStringLiteral("%1_%2").arg(QLatin1String(box)).arg(index);
    }
  }
  return names;
}

}  // namespace zorvane::test

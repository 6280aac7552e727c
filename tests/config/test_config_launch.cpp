// "&Launch": save, then start the game from the program directory, detached; a game that cannot
// be started ends the tool.
#include <unistd.h>

#include <QDir>
#include <QTest>
#include <QTimer>

#include "tests/config/config_test_support.h"

using zorvane::test::DefaultSettingsBytes;
using zorvane::test::LoadedDialog;

namespace {

const QByteArray kOldFile = "1 2 3 4 5 6 7 8 9 10 11 12\r\n";

// One start of the stand-in game: where it ran, its session and the settings it found.
struct LaunchRecord {
  explicit LaunchRecord(const QString& text) {
    const qsizetype firstEnd = text.indexOf('\n');
    const qsizetype secondEnd = text.indexOf('\n', firstEnd + 1);
    directory = text.left(firstEnd);
    session = text.mid(firstEnd + 1, secondEnd - firstEnd - 1).toLongLong();
    settings = text.mid(secondEnd + 1).toLatin1();
  }
  QString directory;
  qint64 session = 0;
  QByteArray settings;
};

// Runs the application's event loop around a click, as the program does; returns its status.
int ExecAroundClick(LoadedDialog& dialog, const QString& button) {
  QTimer::singleShot(0, &dialog.form, [&] { dialog.Click(button); });
  QTimer guard;
  guard.callOnTimeout([] { QCoreApplication::exit(99); });
  guard.start(5000);
  return QApplication::exec();
}

}  // namespace

class ConfigLaunchTest : public QObject {
  Q_OBJECT

 private slots:
  void launchSavesThenStartsTheGameDetached() {
    LoadedDialog dialog(kOldFile);
    dialog.dir.WriteStandInGame();
    QVERIFY(dialog.ShowActive());
    dialog.Click("cmdDefault");
    dialog.Click("Command2");

    QTRY_COMPARE(dialog.dir.LaunchRecords().size(), 1);
    const LaunchRecord record(dialog.dir.LaunchRecords()[0]);
    QCOMPARE(QDir(record.directory).canonicalPath(),
             QDir(QString::fromStdString(dialog.dir.path())).canonicalPath());
    QVERIFY(record.session != getsid(0));
    QCOMPARE(record.settings, DefaultSettingsBytes());
    QVERIFY(dialog.form.isVisible());
    QVERIFY(dialog.reporter.errors.isEmpty() && dialog.reporter.warnings.isEmpty());

    dialog.Click("Command2");
    QTRY_COMPARE(dialog.dir.LaunchRecords().size(), 2);
    QVERIFY(dialog.form.isVisible());
  }

  void failedSaveIsReportedAndTheGameStillStarts() {
    LoadedDialog dialog(kOldFile);
    dialog.dir.WriteStandInGame();
    dialog.SetText("txtSpeed_1", "fast");
    dialog.Click("Command2");
    QTRY_COMPARE(dialog.dir.LaunchRecords().size(), 1);
    QCOMPARE(LaunchRecord(dialog.dir.LaunchRecords()[0]).settings, kOldFile);
    QCOMPARE(dialog.reporter.warnings.size(), 1);
    QVERIFY(dialog.reporter.warnings[0].startsWith("Red Player: Max Speed\n"));
    QVERIFY(dialog.reporter.errors.isEmpty());
  }

  // The save comes first; then the tool reports the game and ends with a failure status.
  void gameThatCannotStartEndsTheTool_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << false << "File not found: %1";
    QTest::newRow("not executable") << true << "Cannot start %1: ";
  }

  void gameThatCannotStartEndsTheTool() {
    QFETCH(bool, present);
    QFETCH(QString, message);
    LoadedDialog dialog(kOldFile);
    if (present) dialog.dir.Write("zorvane", "#!/bin/sh\n");
    QVERIFY(dialog.ShowActive());
    dialog.Click("cmdDefault");

    QCOMPARE(ExecAroundClick(dialog, "Command2"), zorvane::frmConfig::kExitGameNotStarted);
    QCOMPARE(dialog.reporter.errors.size(), 1);
    QVERIFY2(dialog.reporter.errors[0].startsWith(message.arg(dialog.dir.Path("zorvane"))),
             qPrintable(dialog.reporter.errors[0]));
    QCOMPARE(dialog.dir.Read("zorvane.ini"), DefaultSettingsBytes());
  }
};

QTEST_MAIN(ConfigLaunchTest)
#include "test_config_launch.moc"

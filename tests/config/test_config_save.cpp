// "&Save" and "&Quit (no save)": the bytes written, what a bad box or a failed write gets, and
// that quitting writes nothing.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QFile>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <iostream>
#include <sstream>

#include "config/message_box_reporter.h"
#include "tests/config/config_test_support.h"

using zorvane::test::DefaultSettingsBytes;
using zorvane::test::LoadedDialog;

namespace {

const QByteArray kOldFile = "1 2 3 4 5 6 7 8 9 10 11 12\r\n";

// Lowers the largest file this process may write to `bytes` for as long as it lives: a write
// past it fails with EFBIG, as a write to a full disk fails with ENOSPC.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  sighandler_t oldHandler_ = SIG_DFL;
};

int ModeOf(const QString& path) {
  struct stat info {};
  return stat(QFile::encodeName(path), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

enum class Fault { ReadOnlyFile, FileTooLarge, DirectoryInPlace };

}  // namespace

Q_DECLARE_METATYPE(Fault)

class ConfigSaveTest : public QObject {
  Q_OBJECT

 private slots:
  void defaultsThenSaveWritesTheDefaultFile() {
    LoadedDialog dialog(kOldFile);
    dialog.Click("cmdDefault");
    dialog.Click("Command1");
    QCOMPARE(dialog.dir.Read("zorvane.ini"), DefaultSettingsBytes());
    QCOMPARE(dialog.dir.Read("zorvane.ini").size(), 150);
    QCOMPARE(dialog.Text("txtHealth_1"), QString("100"));
    QVERIFY(dialog.reporter.warnings.isEmpty());
    QCOMPARE(dialog.dir.Names(), QStringList{"zorvane.ini"});
  }

  void textsAreWrittenAsTheyStand_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("edits");  // box, text, box, text ...
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("unchanged after load: normalised")
        << QByteArray("0.50 05 30 15 10 100 5 0.5 30 15 10 1e2") << QStringList{}
        << QByteArray(
               "0.5           5             30            15            10            100\r\n"
               "5             0.5           30            15            10            100\r\n");
    QTest::newRow("signs, exponents and spaces kept")
        << DefaultSettingsBytes()
        << QStringList{"txtAccel_0", "+1e3", "txtFriction_0", " 7", "txtHealth_1", "-0.25 "}
        << QByteArray(
               "+1e3           7            30            15            10            100\r\n"
               "5             0.5           30            15            10            -0.25 \r\n");
  }

  void textsAreWrittenAsTheyStand() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, edits);
    QFETCH(QByteArray, written);
    LoadedDialog dialog(file);
    for (int i = 0; i < edits.size(); i += 2) dialog.SetText(edits[i], edits[i + 1]);
    dialog.Click("Command1");
    QVERIFY(dialog.reporter.warnings.isEmpty());
    QCOMPARE(dialog.dir.Read("zorvane.ini"), written);
  }

  // A box that does not hold exactly one number stops the save and is named.
  void badBoxIsNamedAndNothingWritten_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    QTest::newRow("empty") << "txtAccel_0"
                           << ""
                           << "Blue Player: Acceleration";
    QTest::newRow("spaces only") << "txtFriction_0"
                                 << "   "
                                 << "Blue Player: Friction";
    QTest::newRow("letters") << "txtSize_0"
                             << "abc"
                             << "Blue Player: BMP Size";
    QTest::newRow("two numbers") << "txtSpeed_1"
                                 << "1 2"
                                 << "Red Player: Max Speed";
    QTest::newRow("decimal comma") << "txtDmg_1"
                                   << "1,2"
                                   << "Red Player: Damage/hit";
    QTest::newRow("trailing letters") << "txtHealth_1"
                                      << "12abc"
                                      << "Red Player: Health";
    QTest::newRow("beyond single") << "txtDmg_0"
                                   << "1e39"
                                   << "Blue Player: Damage/hit";
    QTest::newRow("tab") << "txtAccel_1"
                         << "5\t"
                         << "Red Player: Acceleration";
  }

  void badBoxIsNamedAndNothingWritten() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, named);
    LoadedDialog dialog(kOldFile);
    dialog.SetText(box, text);
    dialog.Click("Command1");
    QCOMPARE(dialog.reporter.warnings.size(), 1);
    QVERIFY2(dialog.reporter.warnings[0].startsWith(named + "\n"),
             qPrintable(dialog.reporter.warnings[0]));
    QCOMPARE(dialog.dir.Read("zorvane.ini"), kOldFile);
    QCOMPARE(dialog.Text(box), text);
  }

  void firstBadBoxInHandlerOrderIsNamed() {
    LoadedDialog dialog;
    dialog.SetText("txtAccel_1", "x");
    dialog.SetText("txtHealth_0", "y");
    dialog.SetText("txtSize_0", "z");
    dialog.Click("Command1");
    QCOMPARE(dialog.reporter.warnings.size(), 1);
    QVERIFY(dialog.reporter.warnings[0].startsWith("Blue Player: BMP Size\n"));
  }

  // A write that cannot finish leaves the old file whole and nothing beside it, and says why.
  void failedWriteKeepsTheOldFile_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("cause");
    QTest::newRow("read-only file") << Fault::ReadOnlyFile << "Permission denied";
    QTest::newRow("disk full") << Fault::FileTooLarge << "File too large";
    QTest::newRow("directory in its place") << Fault::DirectoryInPlace << "Is a directory";
  }

  void failedWriteKeepsTheOldFile() {
    QFETCH(Fault, fault);
    QFETCH(QString, cause);
    LoadedDialog dialog(kOldFile);
    dialog.Click("cmdDefault");
    const QString path = dialog.dir.Path("zorvane.ini");
    switch (fault) {
      case Fault::ReadOnlyFile:
        QVERIFY(chmod(QFile::encodeName(path), 0444) == 0);
        dialog.Click("Command1");
        QCOMPARE(ModeOf(path), 0444);
        break;
      case Fault::FileTooLarge: {
        FileSizeLimit limit(100);  // the old file is smaller, the new one is not
        dialog.Click("Command1");
        break;
      }
      case Fault::DirectoryInPlace:
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path + "/inside"));
        dialog.Click("Command1");
        QVERIFY(QFileInfo(path + "/inside").isDir());
        QVERIFY(QDir(path).removeRecursively());
        dialog.dir.Write("zorvane.ini", kOldFile);
        break;
    }
    QCOMPARE(dialog.reporter.warnings.size(), 1);
    QVERIFY2(dialog.reporter.warnings[0].startsWith("Settings not saved."),
             qPrintable(dialog.reporter.warnings[0]));
    QVERIFY2(dialog.reporter.warnings[0].contains(cause), qPrintable(dialog.reporter.warnings[0]));
    QCOMPARE(dialog.dir.Read("zorvane.ini"), kOldFile);
    QCOMPARE(dialog.dir.Names(), QStringList{"zorvane.ini"});
    QCOMPARE(dialog.Text("txtFriction_1"), QString("0.5"));
  }

  // The program's reporter shows a box for each warning and error, and leaves the text on
  // standard error too, where it stays after the box is gone.
  void reportsAlsoGoToStandardError() {
    zorvane::MessageBoxReporter reporter;
    QTimer closer;
    closer.callOnTimeout([] {
      if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    closer.start(10);
    std::ostringstream err;
    std::streambuf* const saved = std::cerr.rdbuf(err.rdbuf());
    reporter.Warning("Settings not saved.\nCannot write /x/zorvane.ini: Permission denied");
    reporter.Error("File not found: /x/zorvane.ini");
    std::cerr.rdbuf(saved);
    QCOMPARE(QString::fromStdString(err.str()),
             QString("Config: Settings not saved.\nCannot write /x/zorvane.ini: Permission denied\n"
                     "Config: File not found: /x/zorvane.ini\n"));
  }

  // Both ways out end the program's event loop normally and write nothing.
  void quitEndsWithoutSaving_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("&Quit (no save)") << false;
    QTest::newRow("close box") << true;
  }

  void quitEndsWithoutSaving() {
    QFETCH(bool, closeBox);
    LoadedDialog dialog(kOldFile);
    QVERIFY(dialog.ShowActive());
    dialog.Click("cmdDefault");
    QTimer::singleShot(0, &dialog.form, [&] {
      if (closeBox) {
        dialog.form.windowHandle()->close();
      } else {
        dialog.Click("Command3");
      }
    });
    QTimer guard;
    guard.callOnTimeout([] { QCoreApplication::exit(99); });
    guard.start(5000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!dialog.form.isVisible());
    QCOMPARE(dialog.dir.Read("zorvane.ini"), kOldFile);
    QCOMPARE(dialog.dir.Names(), QStringList{"zorvane.ini"});
  }
};

QTEST_MAIN(ConfigSaveTest)
#include "test_config_save.moc"

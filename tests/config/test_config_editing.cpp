// Loading the settings file into the boxes, and the three editing buttons.
#include <QDir>
#include <QTest>

#include "tests/config/config_test_support.h"

using zorvane::test::BoxNamesInOrder;
using zorvane::test::DefaultSettingsBytes;
using zorvane::test::LoadedDialog;
using zorvane::test::ProgramDir;
using zorvane::test::RecordingReporter;

namespace {

QStringList TextsOf(const LoadedDialog& dialog) {
  QStringList texts;
  for (const QString& box : BoxNamesInOrder()) texts << dialog.Text(box);
  return texts;
}

void SetTexts(const LoadedDialog& dialog, const QStringList& texts) {
  const QStringList boxes = BoxNamesInOrder();
  for (int i = 0; i < boxes.size(); ++i) dialog.SetText(boxes[i], texts[i]);
}

const QStringList kDefaultTexts = {"5", "0.5", "30", "15", "10", "100",
                                   "5", "0.5", "30", "15", "10", "100"};

}  // namespace

class ConfigEditingTest : public QObject {
  Q_OBJECT

 private slots:
  void loadShowsTheFileNormalised_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("default file") << DefaultSettingsBytes() << kDefaultTexts;
    QTest::newRow("one line, single spaces")
        << QByteArray("5 0.5 30 15 10 100 5 0.5 30 15 10 100") << kDefaultTexts;
    QTest::newRow("commas, third line ignored")
        << QByteArray("5,0.5,30,15,10,100\r\n5,0.5,30,15,10,100\r\nrubbish\r\n") << kDefaultTexts;
    QTest::newRow("trailing zeros and letters")
        << QByteArray("0.50 abc 030 1e1 -2.50 +7\r\n1.0 x9 0.10 150. .5 12abc\r\n")
        << QStringList{"0.5", "0", "30", "10", "-2.5", "7", "1", "0", "0.1", "150", "0.5", "12"};
    // Seven digits where they read back as the same single, more where they do not.
    QTest::newRow("more than seven digits")
        << QByteArray("3.14159265 0.000001 1e10 123456789 0 -0\r\n1 2 3 4 5 6\r\n")
        << QStringList{"3.1415927", "0.000001", "10000000000", "123456790", "0", "0",
                       "1",         "2",        "3",           "4",         "5", "6"};
  }

  void loadShowsTheFileNormalised() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, texts);
    LoadedDialog dialog(file);
    QVERIFY(dialog.loaded);
    QCOMPARE(TextsOf(dialog), texts);
    QVERIFY(dialog.reporter.errors.isEmpty());
    QCOMPARE(dialog.dir.Read("zorvane.ini"), file);
  }

  // A file the dialog cannot load is reported with its cause, and no box is filled.
  void loadFailureIsReported_data() {
    QTest::addColumn<QByteArray>("file");  // empty: no file at all
    QTest::addColumn<bool>("asDirectory");
    QTest::addColumn<QString>("cause");
    QTest::newRow("missing") << QByteArray() << false << "File not found";
    QTest::newRow("a directory") << QByteArray() << true << "Cannot read";
    QTest::newRow("eleven numbers")
        << QByteArray("5 0.5 30 15 10 100\r\n5 0.5 30 15 10\r\n") << false << "Input past end";
    QTest::newRow("empty") << QByteArray("\r\n") << false << "Input past end";
    QTest::newRow("too large") << QByteArray("1e39 1 1 1 1 1 1 1 1 1 1 1") << false << "Overflow";
  }

  void loadFailureIsReported() {
    QFETCH(QByteArray, file);
    QFETCH(bool, asDirectory);
    QFETCH(QString, cause);
    ProgramDir dir;
    if (asDirectory) QVERIFY(QDir().mkdir(dir.Path("zorvane.ini")));
    if (!file.isEmpty()) dir.Write("zorvane.ini", file);
    RecordingReporter reporter;
    zorvane::frmConfig form(zorvane::PortableLayout(dir.path()), reporter);

    QVERIFY(!form.Form_Load());
    QCOMPARE(reporter.errors.size(), 1);
    QVERIFY2(reporter.errors[0].startsWith(cause), qPrintable(reporter.errors[0]));
    QVERIFY2(reporter.errors[0].contains(dir.Path("zorvane.ini")), qPrintable(reporter.errors[0]));
    QVERIFY(!form.isVisible());
  }

  void defaultsFillEveryBoxAndLeaveTheFile() {
    const QByteArray file = "1 2 3 4 5 6 7 8 9 10 11 12";
    LoadedDialog dialog(file);
    SetTexts(dialog, {"a", "", "1 2", "x", "9", "9", "9", "9", "9", "9", "9", "-"});
    dialog.Click("cmdDefault");
    QCOMPARE(TextsOf(dialog), kDefaultTexts);
    QCOMPARE(dialog.dir.Read("zorvane.ini"), file);
  }

  void copyButtonsCopyTextsUnchanged_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("expected");
    // Blue starts as b1..b6 with letters and spaces, red as r1..r6.
    const QStringList blue = {"abc", "", " 1 2 ", "1,5", "0.50", "1e39"};
    const QStringList red = {"xyz", "-0", "07", "  ", "3.", "r"};
    QTest::newRow("<< To Blue") << "cmdToBlue" << red + red;
    QTest::newRow("To Red >>") << "cmdToRed" << blue + blue;
  }

  void copyButtonsCopyTextsUnchanged() {
    QFETCH(QString, button);
    QFETCH(QStringList, expected);
    LoadedDialog dialog;
    SetTexts(dialog,
             {"abc", "", " 1 2 ", "1,5", "0.50", "1e39", "xyz", "-0", "07", "  ", "3.", "r"});
    dialog.Click(button);
    QCOMPARE(TextsOf(dialog), expected);
    QCOMPARE(dialog.dir.Read("zorvane.ini"), DefaultSettingsBytes());
  }

  void toBlueThenToRedLeavesRedsTextsInBoth() {
    LoadedDialog dialog;
    const QStringList red = {"1", "2", "three", "4", "5", "6"};
    SetTexts(dialog, QStringList{"a", "b", "c", "d", "e", "f"} + red);
    dialog.Click("cmdToBlue");
    dialog.Click("cmdToRed");
    QCOMPARE(TextsOf(dialog), red + red);
  }
};

QTEST_MAIN(ConfigEditingTest)
#include "test_config_editing.moc"

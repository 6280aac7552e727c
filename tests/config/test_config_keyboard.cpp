// Focus, tab order, access keys, Enter and Escape on the shown dialog.
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <map>
#include <memory>

#include "tests/config/config_test_support.h"

using zorvane::test::BoxNamesInOrder;
using zorvane::test::LoadedDialog;

namespace {

const QStringList kButtons = {"cmdToBlue", "cmdToRed", "cmdDefault",
                              "Command1",  "Command2", "Command3"};

// Counts the clicks of every button of the dialog.
class ClickCounter {
 public:
  explicit ClickCounter(const QWidget& form) {
    for (const QString& name : kButtons) {
      spies_[name] =
          std::make_unique<QSignalSpy>(form.findChild<QPushButton*>(name), &QPushButton::clicked);
    }
  }

  // The names of the buttons clicked so far.
  QStringList Clicked() const {
    QStringList names;
    for (const auto& [name, spy] : spies_) {
      if (!spy->isEmpty()) names << name;
    }
    return names;
  }

 private:
  std::map<QString, std::unique_ptr<QSignalSpy>> spies_;
};

}  // namespace

class ConfigKeyboardTest : public QObject {
  Q_OBJECT

 private slots:
  void focusStartsOnSave() {
    LoadedDialog dialog;
    QVERIFY(dialog.ShowActive());
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("Command1"));
  }

  void tabWalksTheBoxesBetweenTheButtonRows() {
    LoadedDialog dialog;
    QVERIFY(dialog.ShowActive());
    const QStringList expected = QStringList{"Command1", "Command2", "Command3"} +
                                 BoxNamesInOrder() +
                                 QStringList{"cmdToBlue", "cmdToRed", "cmdDefault", "Command1"};
    QStringList visited = {QApplication::focusWidget()->objectName()};
    for (int i = 1; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("cmdDefault"));
  }

  // What a key press clicks, from where the focus is. Access keys animate their click, so the
  // negative rows wait out the animation before counting.
  void keyPresses_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("clicked");
    const int alt = Qt::AltModifier;
    const int none = Qt::NoModifier;
    QTest::newRow("Alt+S") << "Command2" << int(Qt::Key_S) << alt << QStringList{"Command1"};
    QTest::newRow("Alt+L") << "Command1" << int(Qt::Key_L) << alt << QStringList{"Command2"};
    QTest::newRow("Alt+Q") << "Command1" << int(Qt::Key_Q) << alt << QStringList{"Command3"};
    QTest::newRow("Alt+S in a box")
        << "txtDmg_1" << int(Qt::Key_S) << alt << QStringList{"Command1"};
    QTest::newRow("Alt+T") << "Command1" << int(Qt::Key_T) << alt << QStringList{};
    QTest::newRow("Alt+D") << "Command1" << int(Qt::Key_D) << alt << QStringList{};
    QTest::newRow("Alt+R") << "Command1" << int(Qt::Key_R) << alt << QStringList{};
    QTest::newRow("Alt+B") << "Command1" << int(Qt::Key_B) << alt << QStringList{};
    QTest::newRow("Enter on Save")
        << "Command1" << int(Qt::Key_Return) << none << QStringList{"Command1"};
    QTest::newRow("keypad Enter on Defaults")
        << "cmdDefault" << int(Qt::Key_Enter) << int(Qt::KeypadModifier)
        << QStringList{"cmdDefault"};
    QTest::newRow("Enter on To Red")
        << "cmdToRed" << int(Qt::Key_Return) << none << QStringList{"cmdToRed"};
    QTest::newRow("Enter in a blue box")
        << "txtAccel_0" << int(Qt::Key_Return) << none << QStringList{};
    QTest::newRow("keypad Enter in a red box")
        << "txtHealth_1" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << QStringList{};
    QTest::newRow("Escape on Save") << "Command1" << int(Qt::Key_Escape) << none << QStringList{};
    QTest::newRow("Escape in a box") << "txtSize_0" << int(Qt::Key_Escape) << none << QStringList{};
  }

  void keyPresses() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, clicked);
    LoadedDialog dialog;
    dialog.dir.WriteStandInGame();
    QVERIFY(dialog.ShowActive());
    auto* target = dialog.form.findChild<QWidget*>(focus);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);
    ClickCounter counter(dialog.form);

    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    if (clicked.isEmpty()) QTest::qWait(300);
    QTRY_COMPARE(counter.Clicked(), clicked);
    // Escape closes nothing; only "&Quit (no save)" does.
    QCOMPARE(dialog.form.isVisible(), !clicked.contains("Command3"));
  }
};

QTEST_MAIN(ConfigKeyboardTest)
#include "test_config_keyboard.moc"

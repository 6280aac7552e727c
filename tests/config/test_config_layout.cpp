// The dialog as it stands before any input: window, control positions, captions, boxes, icon.
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include "tests/config/config_test_support.h"

using zorvane::test::BoxNamesInOrder;
using zorvane::test::ProgramDir;
using zorvane::test::RecordingReporter;

namespace {

// The dialog as constructed, before the settings file is read.
struct UnloadedDialog {
  ProgramDir dir;
  RecordingReporter reporter;
  zorvane::frmConfig form{zorvane::PortableLayout(dir.path()), reporter};
};

}  // namespace

class ConfigLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void window() {
    UnloadedDialog dialog;
    zorvane::frmConfig& form = dialog.form;
    QCOMPARE(form.objectName(), QString("frmConfig"));
    QCOMPARE(form.windowTitle(), QString("Zorvane Config"));
    QCOMPARE(form.size(), QSize(345, 249));
    form.resize(600, 400);
    QCOMPARE(form.size(), QSize(345, 249));
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.isWindow());
  }

  // Positions in twips, as the form was drawn; a control inside a frame is placed relative to it.
  void controlGeometry_data() {
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Frame1") << "frmConfig" << QRect(120, 120, 2415, 2655);
    QTest::newRow("Frame2") << "frmConfig" << QRect(2640, 120, 2415, 2655);
    const char* boxes[] = {"txtAccel", "txtFriction", "txtSize", "txtSpeed", "txtDmg", "txtHealth"};
    for (int index : {0, 1}) {
      const QString frame = index == 0 ? "Frame1" : "Frame2";
      for (int row = 0; row < 6; ++row) {
        const int top = 360 + 360 * row;
        QTest::addRow("Label1_%d", index * 6 + row) << frame << QRect(120, top, 1095, 255);
        QTest::addRow("%s_%d", boxes[row], index) << frame << QRect(1200, top, 1095, 285);
      }
    }
    QTest::newRow("cmdToBlue") << "frmConfig" << QRect(1320, 2880, 1335, 375);
    QTest::newRow("cmdToRed") << "frmConfig" << QRect(2640, 2880, 1215, 375);
    QTest::newRow("cmdDefault") << "frmConfig" << QRect(3840, 2880, 1215, 375);
    QTest::newRow("Command1") << "frmConfig" << QRect(1320, 3240, 1335, 375);
    QTest::newRow("Command3") << "frmConfig" << QRect(2640, 3240, 1215, 375);
    QTest::newRow("Command2") << "frmConfig" << QRect(3840, 3240, 1215, 375);
  }

  void controlGeometry() {
    QFETCH(QString, parent);
    QFETCH(QRect, twips);
    UnloadedDialog dialog;
    zorvane::frmConfig& form = dialog.form;
    form.show();
    auto* control = form.findChild<QWidget*>(QTest::currentDataTag());
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->geometry(),
             QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    QVERIFY(control->isVisible());
    QVERIFY(control->isEnabled());
  }

  void captions_data() {
    QTest::addColumn<QString>("caption");
    QTest::newRow("Frame1") << "Blue Player";
    QTest::newRow("Frame2") << "Red Player";
    const char* labels[] = {"Acceleration", "Friction",   "BMP Size",
                            "Max Speed",    "Damage/hit", "Health"};
    for (int i = 0; i < 12; ++i) QTest::addRow("Label1_%d", i) << labels[i % 6];
    QTest::newRow("cmdToBlue") << "<< To Blue";
    QTest::newRow("cmdToRed") << "To Red >>";
    QTest::newRow("cmdDefault") << "Defaults";
    QTest::newRow("Command1") << "&Save";
    QTest::newRow("Command3") << "&Quit (no save)";
    QTest::newRow("Command2") << "&Launch";
  }

  // Each caption as set, and shown whole: the text fits the space the style leaves inside.
  void captions() {
    QFETCH(QString, caption);
    UnloadedDialog dialog;
    zorvane::frmConfig& form = dialog.form;
    QObject* control = form.findChild<QObject*>(QTest::currentDataTag());
    QVERIFY(control);
    QString shown = caption;
    shown.remove('&');
    if (auto* frame = qobject_cast<QGroupBox*>(control)) {
      QCOMPARE(frame->title(), caption);
      QVERIFY(frame->fontMetrics().horizontalAdvance(shown) < frame->width());
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
      QCOMPARE(label->text(), caption);
      QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->width());
      QVERIFY(label->fontMetrics().height() <= label->height());
    } else {
      auto* button = qobject_cast<QPushButton*>(control);
      QVERIFY(button);
      QCOMPARE(button->text(), caption);
      QStyleOptionButton option;
      option.initFrom(button);
      const QRect inside =
          button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
      QVERIFY(button->fontMetrics().horizontalAdvance(shown) <= inside.width());
    }
  }

  void textBoxesStartEmptyAndEditable() {
    UnloadedDialog dialog;
    zorvane::frmConfig& form = dialog.form;
    const QStringList names = BoxNamesInOrder();
    QCOMPARE(form.findChildren<QLineEdit*>().size(), names.size());
    for (const QString& name : names) {
      auto* box = form.findChild<QLineEdit*>(name);
      QVERIFY2(box, qPrintable(name));
      QVERIFY(box->text().isEmpty());
      QVERIFY(!box->isReadOnly());
      QCOMPARE(box->echoMode(), QLineEdit::Normal);
      QCOMPARE(box->alignment() & Qt::AlignHorizontal_Mask, Qt::Alignment(Qt::AlignLeft));
      QCOMPARE(box->maxLength(), 32767);  // the largest a line edit allows
    }
  }

  void iconComesFromProgramDirectory() {
    ProgramDir dir;
    for (int size : {32, 16}) {
      QImage picture(size, size, QImage::Format_Indexed8);
      picture.setColorTable({qRgb(0, 0, 255), qRgb(255, 0, 0)});
      picture.fill(1);
      QVERIFY(picture.save(dir.Path(QString("icon-config-%1.bmp").arg(size)), "BMP"));
    }
    RecordingReporter reporter;
    zorvane::frmConfig form(zorvane::PortableLayout(dir.path()), reporter);
    const QList<QSize> sizes = form.windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(32, 32)));
    QVERIFY(sizes.contains(QSize(16, 16)));
    QCOMPARE(form.windowIcon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));

    ProgramDir bare;
    zorvane::frmConfig withoutIcon(zorvane::PortableLayout(bare.path()), reporter);
    QVERIFY(withoutIcon.windowIcon().availableSizes().isEmpty());
    QVERIFY(reporter.errors.isEmpty() && reporter.warnings.isEmpty());
  }
};

QTEST_MAIN(ConfigLayoutTest)
#include "test_config_layout.moc"

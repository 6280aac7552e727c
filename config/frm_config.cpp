#include "config/frm_config.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFont>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <vector>

#include "config/twips.h"
#include "settings/number_text.h"
#include "settings/program_dir.h"
#include "settings/runtime_error.h"

namespace zorvane {
namespace {

constexpr std::array<const char*, kSettingCount> kBoxNames = {
    "txtAccel", "txtFriction", "txtSize", "txtSpeed", "txtDmg", "txtHealth"};
constexpr std::array<const char*, kSettingCount> kLabelTexts = {
    "Acceleration", "Friction", "BMP Size", "Max Speed", "Damage/hit", "Health"};

// Rows inside a frame start 360 twips down and repeat every 360 twips.
constexpr int kRowPitch = 360;

QString ControlArrayName(const char* array, int index) {
  return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

QPushButton* CreateButton(const char* name, const QString& caption, QRect geometry,
                          QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(geometry);
  // A plain window has no default button; this lets Enter press the focused button only.
  button->setAutoDefault(true);
  return button;
}

}  // namespace

frmConfig::frmConfig(const FileLayout& files, Reporter& reporter)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      files_(files),
      reporter_(reporter) {
  setObjectName(QStringLiteral("frmConfig"));
  setWindowTitle(QStringLiteral("Zorvane Config"));
  setFixedSize(RectFromTwips(0, 0, 5175, 3735).size());
  // The layout is fixed in pixels, so the font is too; at this size the longest captions fit.
  QFont font(QStringLiteral("DejaVu Sans Condensed"));
  font.setPixelSize(11);
  setFont(font);
  LoadIcon();

  Frame1 = CreateFrame(kBlue, QStringLiteral("Blue Player"));
  Frame1->setObjectName(QStringLiteral("Frame1"));
  Frame1->setGeometry(RectFromTwips(120, 120, 2415, 2655));
  Frame2 = CreateFrame(kRed, QStringLiteral("Red Player"));
  Frame2->setObjectName(QStringLiteral("Frame2"));
  Frame2->setGeometry(RectFromTwips(2640, 120, 2415, 2655));

  cmdToBlue = CreateButton("cmdToBlue", QStringLiteral("<< To Blue"),
                           RectFromTwips(1320, 2880, 1335, 375), this);
  cmdToRed = CreateButton("cmdToRed", QStringLiteral("To Red >>"),
                          RectFromTwips(2640, 2880, 1215, 375), this);
  cmdDefault = CreateButton("cmdDefault", QStringLiteral("Defaults"),
                            RectFromTwips(3840, 2880, 1215, 375), this);
  Command1 =
      CreateButton("Command1", QStringLiteral("&Save"), RectFromTwips(1320, 3240, 1335, 375), this);
  Command3 = CreateButton("Command3", QStringLiteral("&Quit (no save)"),
                          RectFromTwips(2640, 3240, 1215, 375), this);
  Command2 = CreateButton("Command2", QStringLiteral("&Launch"),
                          RectFromTwips(3840, 3240, 1215, 375), this);

  connect(cmdToBlue, &QPushButton::clicked, this, &frmConfig::cmdToBlue_Click);
  connect(cmdToRed, &QPushButton::clicked, this, &frmConfig::cmdToRed_Click);
  connect(cmdDefault, &QPushButton::clicked, this, &frmConfig::cmdDefault_Click);
  connect(Command1, &QPushButton::clicked, this, &frmConfig::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmConfig::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &frmConfig::Command3_Click);

  SetTabOrder();
  Command1->setFocus();
}

QGroupBox* frmConfig::CreateFrame(int index, const QString& title) {
  auto* frame = new QGroupBox(title, this);
  for (int setting = 0; setting < kSettingCount; ++setting) {
    const int top = kRowPitch * (setting + 1);
    auto* label = new QLabel(QLatin1String(kLabelTexts[setting]), frame);
    const int labelIndex = index * kSettingCount + setting;
    label->setObjectName(ControlArrayName("Label1", labelIndex));
    label->setGeometry(RectFromTwips(120, top, 1095, 255));
    Label1[labelIndex] = label;

    auto* box = new QLineEdit(frame);
    box->setObjectName(ControlArrayName(kBoxNames[setting], index));
    box->setGeometry(RectFromTwips(1200, top, 1095, 285));
    boxes_[index][setting] = box;
  }
  return frame;
}

QGroupBox* frmConfig::Frame(int index) const { return index == kBlue ? Frame1 : Frame2; }

void frmConfig::SetTabOrder() {
  std::vector<QWidget*> order = {Command1, Command2, Command3};
  for (const PlayerBoxes& boxes : boxes_) order.insert(order.end(), boxes.begin(), boxes.end());
  order.insert(order.end(), {cmdToBlue, cmdToRed, cmdDefault});
  for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

// The icons are read as the bitmaps they are, by Qt's own reader: left to guess, Qt loads every
// image plugin it has (and libjpeg) to ask each whether it reads the file, which costs the
// start-up more than the dialog itself.
void frmConfig::LoadIcon() {
  QIcon icon;
  for (const char* name : {"\\icon-config-32.bmp", "\\icon-config-16.bmp"}) {
    QImageReader reader(QString::fromStdString(InDirectory(files_.dataDirectory, name)), "BMP");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
  }
  if (!icon.isNull()) setWindowIcon(icon);
}

bool frmConfig::Form_Load() {
  Settings settings;
  try {
    settings = ReadSettingsFile(files_.settingsPath);
  } catch (const RuntimeError& e) {
    reporter_.Error(QString::fromStdString(e.what()));
    return false;
  }
  for (int setting = 0; setting < kSettingCount; ++setting) {
    boxes_[kBlue][setting]->setText(QString::fromStdString(NumberToText(settings.blue[setting])));
  }
  for (int setting = 0; setting < kSettingCount; ++setting) {
    boxes_[kRed][setting]->setText(QString::fromStdString(NumberToText(settings.red[setting])));
  }
  return true;
}

void frmConfig::cmdDefault_Click() {
  for (const PlayerBoxes& boxes : boxes_) {
    for (int setting = 0; setting < kSettingCount; ++setting) {
      boxes[setting]->setText(QString::fromStdString(NumberToText(kDefaultSettings[setting])));
    }
  }
}

void frmConfig::cmdToBlue_Click() { CopyTexts(kRed, kBlue); }

void frmConfig::cmdToRed_Click() { CopyTexts(kBlue, kRed); }

void frmConfig::CopyTexts(int from, int to) {
  for (int setting = 0; setting < kSettingCount; ++setting) {
    boxes_[to][setting]->setText(boxes_[from][setting]->text());
  }
}

void frmConfig::Command1_Click() { SaveSettings(); }

void frmConfig::Command2_Click() {
  // A failed save has been reported; the game still starts and reads the file as it stands.
  SaveSettings();
  const QString game = QString::fromStdString(InDirectory(files_.programDirectory, "\\zorvane"));
  QProcess process;
  process.setProgram(game);
  process.setWorkingDirectory(QString::fromStdString(files_.programDirectory));
  if (process.startDetached()) return;
  reporter_.Error(QFileInfo::exists(game)
                      ? QStringLiteral("Cannot start %1: %2").arg(game, process.errorString())
                      : QStringLiteral("File not found: %1").arg(game));
  QCoreApplication::exit(kExitGameNotStarted);
}

void frmConfig::Command3_Click() { close(); }

bool frmConfig::SaveSettings() {
  const QString unsavable = FirstUnsavableBox();
  if (!unsavable.isEmpty()) {
    reporter_.Warning(
        QStringLiteral("%1\nNot saved: this box must hold one number.").arg(unsavable));
    return false;
  }
  try {
    WriteSettingsFile(files_.settingsPath, TextsOf(kBlue), TextsOf(kRed));
  } catch (const RuntimeError& e) {
    reporter_.Warning(QStringLiteral("Settings not saved.\n%1").arg(e.what()));
    return false;
  }
  return true;
}

// "Red Player: Max Speed" for the first box, in the handlers' order, that cannot be saved.
QString frmConfig::FirstUnsavableBox() const {
  for (int index = 0; index < kPlayerCount; ++index) {
    for (int setting = 0; setting < kSettingCount; ++setting) {
      if (!IsSavableNumber(boxes_[index][setting]->text().toStdString())) {
        return QStringLiteral("%1: %2").arg(Frame(index)->title(),
                                            Label1[index * kSettingCount + setting]->text());
      }
    }
  }
  return QString();
}

PlayerTexts frmConfig::TextsOf(int index) const {
  PlayerTexts texts;
  for (int setting = 0; setting < kSettingCount; ++setting) {
    texts[setting] = boxes_[index][setting]->text().toStdString();
  }
  return texts;
}

}  // namespace zorvane

#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <string>

#include "config/reporter.h"
#include "settings/file_layout.h"
#include "settings/settings_file.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zorvane {

// The settings dialog: two frames of six boxes each, three editing buttons and the Save, Launch
// and Quit row. Controls carry their form names as object names; the per-player boxes are the
// control arrays txtAccel, txtFriction, txtSize, txtSpeed, txtDmg and txtHealth, named
// "txtAccel_0" (blue) and "txtAccel_1" (red), and the labels are "Label1_0" to "Label1_11".
class frmConfig : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kBlue = 0;
  static constexpr int kRed = 1;
  static constexpr int kPlayerCount = 2;

  // The status the program ends with when the game cannot be started.
  static constexpr int kExitGameNotStarted = 1;

  // `files` places the settings file, the window icons and the game program.
  frmConfig(const FileLayout& files, Reporter& reporter);

  // Fills the boxes from the settings file. Returns false, after reporting the cause, when the
  // file cannot be read; the program must then end without showing the window.
  bool Form_Load();

  void cmdDefault_Click();
  void cmdToBlue_Click();
  void cmdToRed_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();

 private:
  using PlayerBoxes = std::array<QLineEdit*, kSettingCount>;

  QGroupBox* CreateFrame(int index, const QString& title);
  void SetTabOrder();
  void LoadIcon();
  QGroupBox* Frame(int index) const;
  void CopyTexts(int from, int to);
  // Writes the twelve texts; false when nothing was written (the cause has been reported).
  bool SaveSettings();
  QString FirstUnsavableBox() const;
  PlayerTexts TextsOf(int index) const;

  const FileLayout files_;
  Reporter& reporter_;

  QGroupBox* Frame1 = nullptr;
  QGroupBox* Frame2 = nullptr;
  std::array<QLabel*, kPlayerCount * kSettingCount> Label1{};
  // boxes_[index][setting] is txtAccel(index) ... txtHealth(index), in the file's order.
  std::array<PlayerBoxes, kPlayerCount> boxes_{};
  QPushButton* cmdToBlue = nullptr;
  QPushButton* cmdToRed = nullptr;
  QPushButton* cmdDefault = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
  QPushButton* Command3 = nullptr;
};

}  // namespace zorvane

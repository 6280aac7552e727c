#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zorvane {

// The six numbers of one player, in the order they stand in the file and in the dialog.
enum SettingIndex { kAccel, kFriction, kSize, kMaxSpeed, kDamage, kMaxHealth, kSettingCount };

using PlayerSettings = std::array<float, kSettingCount>;
using PlayerTexts = std::array<std::string, kSettingCount>;

struct Settings {
  PlayerSettings blue{};
  PlayerSettings red{};
};

// The values a fresh settings file holds, and the ones "Defaults" fills in.
inline constexpr PlayerSettings kDefaultSettings = {5.0f, 0.5f, 30.0f, 15.0f, 10.0f, 100.0f};

// The settings file's name, appended to the program directory.
inline constexpr std::string_view kSettingsFileName = "\\zorvane.ini";

// Reads twelve numbers from the text: blue's six, then red's. Lines mean nothing; numbers are
// separated by spaces, commas or line ends. Fewer than twelve is an input-past-end error;
// anything after the twelfth is never looked at.
Settings ParseSettings(std::string_view text, const std::string& path);

// Twelve numbers given in one text, blue's six then red's, separated by commas: each must be one
// the settings tool would save (IsSavableNumber), and reads as the game would read it from the
// file the tool saves. False, with the problem said, for anything else.
bool ParseSettingsList(std::string_view text, Settings& settings, std::string& problem);

// Reads the settings file. A file that cannot be opened or read is a file-not-found error.
Settings ReadSettingsFile(const std::string& path);

// One line of the file: each text as it stands, the first five padded with spaces to the next
// 14-column zone that leaves at least one space, the sixth followed by CR LF.
std::string FormatSettingsLine(const PlayerTexts& texts);

// Replaces the file with the blue line and the red line. A symbolic link is followed, and the
// file it points to is replaced; the link stays. The new file is written beside the old one and
// renamed over it, so a failure leaves the old file whole; where the folder takes no new file,
// an existing file is written in place instead. An existing read-only file is not replaced. A
// save that succeeds removes the new files that saves killed before their rename left beside
// the file, and nothing else: only names of ours, whose saving process is gone. Raises a
// RuntimeError (kind Other) naming the cause on failure.
void WriteSettingsFile(const std::string& path, const PlayerTexts& blue, const PlayerTexts& red);

// Makes `to` a copy of the settings file `from`, written as safely as a save, unless `to`
// exists already (made meanwhile by the other program, say), which is then kept. Raises a
// RuntimeError naming the file it could not read or write.
void CopySettingsFile(const std::string& from, const std::string& to);

}  // namespace zorvane

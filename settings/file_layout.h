#pragma once

#include <optional>
#include <string>

namespace zorvane {

// Where a program finds its files. Both programs follow one rule:
// - A program whose directory has ../share/games/zorvane beside it (/usr/games and
//   /usr/share/games/zorvane) is a system install: the bitmaps, waves, window icons and the
//   default settings file lie in that data directory, and each user's settings file is
//   $XDG_CONFIG_HOME/zorvane/zorvane.ini (~/.config/zorvane/zorvane.ini when the variable is
//   unset, empty or not an absolute path).
// - Any other program is portable: everything, the settings file included, lies beside it.
struct FileLayout {
  std::string programDirectory;  // the programs: Config starts the game found here
  std::string dataDirectory;     // the bitmaps, waves and window icons
  std::string settingsPath;      // the settings file both programs read and Config writes
  // The packaged settings a user's first start copies; empty in the portable layout.
  std::string defaultSettingsPath;
};

// The variables of the environment that place a user's settings; nullopt for an unset one.
struct UserEnvironment {
  std::optional<std::string> home;
  std::optional<std::string> configHome;  // XDG_CONFIG_HOME

  static UserEnvironment Current();
};

// Everything in `programDirectory`, paths formed as the programs always have.
FileLayout PortableLayout(const std::string& programDirectory);

// The layout of a program in `programDirectory`, by the rule above. A system install with
// neither an absolute XDG_CONFIG_HOME nor a HOME raises a RuntimeError saying so.
FileLayout FindFileLayout(const std::string& programDirectory, const UserEnvironment& user);

// In a system install, creates the user's settings file, and its directories, from the
// packaged default when it is not there yet. Raises a RuntimeError naming the path it could not
// read, create or write.
void CreateMissingSettings(const FileLayout& layout);

// The running program's layout, its user's settings file made ready.
FileLayout ThisProgramsFiles();

}  // namespace zorvane

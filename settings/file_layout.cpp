#include "settings/file_layout.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "settings/program_dir.h"
#include "settings/runtime_error.h"
#include "settings/settings_file.h"

namespace zorvane {
namespace {

std::optional<std::string> Variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

bool IsAbsolute(const std::optional<std::string>& path) {
  return path.has_value() && !path->empty() && path->front() == '/';
}

// The base directory of user configuration files, by the XDG base directory rules.
std::string ConfigHome(const UserEnvironment& user) {
  if (IsAbsolute(user.configHome)) return *user.configHome;
  if (!user.home.has_value() || user.home->empty()) {
    throw RuntimeError(ErrorKind::Other,
                       "Cannot place the settings file: HOME is not set, and XDG_CONFIG_HOME is "
                       "not an absolute path");
  }
  return *user.home + "/.config";
}

// Makes the directory and any missing parents, private to the user as XDG asks.
void MakeDirectories(const std::string& directory) {
  std::string path;
  size_t from = 1;
  while (from <= directory.size()) {
    size_t slash = directory.find('/', from);
    if (slash == std::string::npos) slash = directory.size();
    path = directory.substr(0, slash);
    from = slash + 1;
    if (path.empty() || ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) continue;
    throw RuntimeError(ErrorKind::Other,
                       "Cannot create directory " + path + ": " + std::strerror(errno));
  }
}

}  // namespace

UserEnvironment UserEnvironment::Current() {
  return {Variable("HOME"), Variable("XDG_CONFIG_HOME")};
}

FileLayout PortableLayout(const std::string& programDirectory) {
  return {programDirectory, programDirectory, InDirectory(programDirectory, kSettingsFileName), ""};
}

FileLayout FindFileLayout(const std::string& programDirectory, const UserEnvironment& user) {
  namespace fs = std::filesystem;
  const fs::path data = (fs::path(programDirectory + "/../share/games/zorvane")).lexically_normal();
  std::error_code error;
  if (!fs::is_directory(data, error)) return PortableLayout(programDirectory);
  const std::string dataDirectory = data.string();
  return {programDirectory, dataDirectory,
          InDirectory(ConfigHome(user) + "/zorvane", kSettingsFileName),
          InDirectory(dataDirectory, kSettingsFileName)};
}

void CreateMissingSettings(const FileLayout& layout) {
  if (layout.defaultSettingsPath.empty()) return;
  struct stat existing {};
  // A file that is there but cannot be reached is left to the read, which names the cause.
  if (::stat(layout.settingsPath.c_str(), &existing) == 0) return;
  if (errno != ENOENT && errno != ENOTDIR) return;
  MakeDirectories(layout.settingsPath.substr(0, layout.settingsPath.rfind('/')));
  CopySettingsFile(layout.defaultSettingsPath, layout.settingsPath);
}

FileLayout ThisProgramsFiles() {
  const FileLayout layout = FindFileLayout(ProgramDirectory(), UserEnvironment::Current());
  CreateMissingSettings(layout);
  return layout;
}

}  // namespace zorvane

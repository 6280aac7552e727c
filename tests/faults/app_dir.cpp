#include "tests/faults/app_dir.h"

#include <unistd.h>

#include <filesystem>

namespace zorvane::test {

namespace fs = std::filesystem;

AppDir::AppDir() {
  fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
}

std::string AppDir::Install(const std::string& program) const {
  const std::string copy = dir_ / fs::path(program).filename().string();
  fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
  fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  return copy;
}

std::vector<std::string> AsUnprivileged(std::vector<std::string> argv) {
  if (geteuid() == 0) {
    argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
  }
  return argv;
}

}  // namespace zorvane::test

#pragma once

#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace zorvane::test {

// A program directory that any user may enter, for copies of the programs: each program reads
// its files from its own directory.
class AppDir {
 public:
  AppDir();

  const std::string& path() const { return dir_.path(); }
  std::string operator/(const std::string& name) const { return dir_ / name; }

  // Copies the program file here, executable by anyone; gives the copy's path.
  std::string Install(const std::string& program) const;

 private:
  TempDir dir_;
};

// Root reads every file whatever its mode: to be refused a file with no permissions, the
// program is run as the unprivileged user nobody when the tests run as root.
std::vector<std::string> AsUnprivileged(std::vector<std::string> argv);

}  // namespace zorvane::test

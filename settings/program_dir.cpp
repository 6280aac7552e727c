#include "settings/program_dir.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "settings/error_log.h"

namespace zorvane {

std::string ProgramDirectory() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) {
    LogError("program directory", std::string("cannot read /proc/self/exe (") +
                                      std::strerror(errno) + "): the current directory stands in");
    return ".";
  }
  std::string path(buf, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == 0 ? std::string() : path.substr(0, slash);
}

std::string InDirectory(const std::string& directory, std::string_view name) {
  std::string path = directory;
  for (char c : name) path += c == '\\' ? '/' : c;
  return path;
}

}  // namespace zorvane

#include "settings/settings_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "settings/number_text.h"
#include "settings/runtime_error.h"

namespace zorvane {
namespace {

constexpr size_t kZoneWidth = 14;
// Names tried for the temporary file before giving up.
constexpr int kTemporaryNames = 100;

class NumberReader {
 public:
  NumberReader(std::string_view text, const std::string& path) : text_(text), path_(path) {}

  float Next() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    if (pos_ >= text_.size()) {
      throw RuntimeError(ErrorKind::InputPastEnd,
                         "Input past end of file: " + path_ + " holds fewer than twelve numbers");
    }
    const size_t start = pos_;
    while (pos_ < text_.size() && !IsBlank(text_[pos_]) && text_[pos_] != ',') ++pos_;
    std::string_view token = text_.substr(start, pos_ - start);
    if (pos_ < text_.size() && (text_[pos_] == ',' || text_[pos_] == ' ')) ++pos_;
    try {
      return ParseNumber(token);
    } catch (const RuntimeError& e) {
      throw RuntimeError(e.kind(), std::string(e.what()) + ": " + std::string(token) + " in " +
                                       path_ + " is beyond the single-precision range");
    }
  }

 private:
  static bool IsBlank(char c) { return c == ' ' || c == '\r' || c == '\n'; }

  std::string_view text_;
  const std::string& path_;
  size_t pos_ = 0;
};

std::string ErrnoText(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// A save writes its new file under "<file>.<pid>-<n>" before renaming it over the old one.
std::string TemporaryName(const std::string& path, int attempt) {
  return path + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt);
}

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The process id in a temporary name of ours beside `fileName`; 0 for any other name.
pid_t SaverOf(std::string_view name, std::string_view fileName) {
  if (name.size() <= fileName.size() || name.substr(0, fileName.size()) != fileName ||
      name[fileName.size()] != '.') {
    return 0;
  }
  const std::string_view rest = name.substr(fileName.size() + 1);
  const size_t dash = rest.find('-');
  // Nine digits at most: process ids stay far below that, and the number fits an int.
  if (dash == std::string_view::npos || dash > 9 || !AllDigits(rest.substr(0, dash)) ||
      !AllDigits(rest.substr(dash + 1))) {
    return 0;
  }
  return static_cast<pid_t>(std::stoi(std::string(rest.substr(0, dash))));
}

// A save killed between writing its file and renaming it leaves that file behind. Removes those
// of processes that are gone; a process still running may be saving at this moment. Only
// regular files named as ours go, and a failure to remove one changes nothing for the save.
void RemoveLeftovers(const std::string& path) {
  const std::string directory = DirectoryOf(path);
  const std::string fileName = FileNameOf(path);
  DIR* listing = ::opendir(directory.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = ::readdir(listing)) {
    const pid_t saver = SaverOf(entry->d_name, fileName);
    if (saver == 0 || saver == ::getpid()) continue;
    if (::kill(saver, 0) == 0 || errno != ESRCH) continue;
    struct stat info {};
    const std::string leftover = path.substr(0, path.size() - fileName.size()) + entry->d_name;
    if (::lstat(leftover.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(leftover.c_str());
  }
  ::closedir(listing);
}

// Makes the rename itself durable, so a crash right after a save keeps the new file.
void SyncDirectoryOf(const std::string& path) {
  const int fd = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool WriteWhole(int fd, const std::string& bytes, mode_t mode) {
  bool ok = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  const int saved = errno;
  ok = (::close(fd) == 0) && ok;
  if (!ok) errno = saved;
  return ok;
}

// Writes the new contents to a file beside the old one and returns that file's name; empty on
// failure, with errno set. The file gets its name only once it is whole and on disk, so a save
// killed while writing leaves nothing behind. File systems without unnamed files get a named
// temporary file from the start.
std::string WriteBeside(const std::string& path, const std::string& bytes, mode_t mode) {
  const int unnamed = ::open(DirectoryOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (unnamed < 0) {
    for (int attempt = 0; attempt < kTemporaryNames; ++attempt) {
      const std::string temp = TemporaryName(path, attempt);
      const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd < 0 && errno == EEXIST) continue;
      if (fd < 0) return "";
      if (WriteWhole(fd, bytes, mode)) return temp;
      const int saved = errno;
      ::unlink(temp.c_str());
      errno = saved;
      return "";
    }
    return "";
  }
  const std::string self = "/proc/self/fd/" + std::to_string(unnamed);
  if (!WriteAll(unnamed, bytes) || ::fchmod(unnamed, mode) != 0 || ::fsync(unnamed) != 0) {
    const int saved = errno;
    ::close(unnamed);
    errno = saved;
    return "";
  }
  for (int attempt = 0; attempt < kTemporaryNames; ++attempt) {
    const std::string temp = TemporaryName(path, attempt);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      ::close(unnamed);
      return temp;
    }
    if (errno != EEXIST) break;
  }
  const int saved = errno;
  ::close(unnamed);
  errno = saved;
  return "";
}

// The whole file; a file that cannot be opened or read raises the error that names it.
std::string ReadWholeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) throw RuntimeError(ErrorKind::FileNotFound, "File not found: " + path);
    throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot read", path));
  }
  std::string content;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;  // a directory fails here, with EISDIR
    content.append(buffer, static_cast<size_t>(n));
  }
  const int readError = errno;
  ::close(fd);
  if (n < 0) {
    errno = readError;
    throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot read", path));
  }
  return content;
}

}  // namespace

Settings ParseSettings(std::string_view text, const std::string& path) {
  NumberReader reader(text, path);
  Settings settings;
  for (float& value : settings.blue) value = reader.Next();
  for (float& value : settings.red) value = reader.Next();
  return settings;
}

bool ParseSettingsList(std::string_view text, Settings& settings, std::string& problem) {
  std::vector<std::string_view> items;
  for (size_t start = 0;;) {
    const size_t comma = text.find(',', start);
    std::string_view item = text.substr(start, comma - start);
    // The spaces the reader of the file would skip.
    item.remove_prefix(std::min(item.find_first_not_of(' '), item.size()));
    item.remove_suffix(item.size() - (item.find_last_not_of(' ') + 1));
    items.push_back(item);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (items.size() != 2 * kSettingCount) {
    problem = "twelve numbers separated by commas, blue's six then red's, not " +
              std::to_string(items.size());
    return false;
  }
  for (size_t i = 0; i < items.size(); ++i) {
    if (!IsSavableNumber(items[i])) {
      problem = "'" + std::string(items[i]) + "' (number " + std::to_string(i + 1) +
                ") is not a number the settings can hold";
      return false;
    }
    (i < kSettingCount ? settings.blue : settings.red)[i % kSettingCount] = ParseNumber(items[i]);
  }
  return true;
}

Settings ReadSettingsFile(const std::string& path) {
  return ParseSettings(ReadWholeFile(path), path);
}

std::string FormatSettingsLine(const PlayerTexts& texts) {
  std::string line;
  for (size_t i = 0; i < texts.size(); ++i) {
    line += texts[i];
    if (i + 1 < texts.size()) {
      line.append(kZoneWidth - line.size() % kZoneWidth, ' ');
    }
  }
  return line + "\r\n";
}

void WriteSettingsFile(const std::string& path, const PlayerTexts& blue, const PlayerTexts& red) {
  const std::string bytes = FormatSettingsLine(blue) + FormatSettingsLine(red);

  mode_t mode = 0644;
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) {
    // Root may write anything; a file without write bits is still meant to stay as it is.
    if ((old.st_mode & 0222) == 0) {
      errno = EACCES;
      throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", path));
    }
    // access() names the cause: no permission, or a read-only file system.
    if (::access(path.c_str(), W_OK) != 0) {
      throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", path));
    }
    mode = old.st_mode & 07777;
  }

  const std::string temp = WriteBeside(path, bytes, mode);
  if (temp.empty()) throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", path));
  if (::rename(temp.c_str(), path.c_str()) == 0) {
    SyncDirectoryOf(path);
    RemoveLeftovers(path);
    return;
  }
  const int saved = errno;
  ::unlink(temp.c_str());
  errno = saved;
  throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", path));
}

void CopySettingsFile(const std::string& from, const std::string& to) {
  const std::string bytes = ReadWholeFile(from);
  const std::string temp = WriteBeside(to, bytes, 0644);
  if (temp.empty()) throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", to));
  // A link, unlike a rename, never replaces: a file another program made meanwhile is kept.
  const bool linked = ::link(temp.c_str(), to.c_str()) == 0 || errno == EEXIST;
  const int saved = errno;
  ::unlink(temp.c_str());
  if (!linked) {
    errno = saved;
    throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", to));
  }
  SyncDirectoryOf(to);
}

}  // namespace zorvane

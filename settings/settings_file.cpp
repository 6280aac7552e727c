#include "settings/settings_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "settings/error_log.h"
#include "settings/number_text.h"
#include "settings/runtime_error.h"

namespace zorvane {
namespace {

constexpr size_t kZoneWidth = 14;
// Symbolic links followed from the settings file, as many as the kernel follows.
constexpr int kMaxLinks = 40;
// A save names its new file ".<file>.zorvane-save-<pid>-<16 hex digits>": a name no person or
// other program chooses, whose process id tells whether its saver still runs.
constexpr std::string_view kSaveMark = ".zorvane-save-";
constexpr size_t kRandomDigits = 16;

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

// Writes `bytes` from the start of the open file, cuts the file after them and puts it on disk.
bool WriteAndSync(int fd, const std::string& bytes) {
  return WriteAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
         ::fsync(fd) == 0;
}

// Closes `fd` after steps that went as `ok` says: false, with errno of the first failure, when
// a step or the close failed.
bool Close(int fd, bool ok) {
  const int saved = errno;
  const bool closed = ::close(fd) == 0;
  if (!ok) errno = saved;
  return ok && closed;
}

void RemoveKeepingErrno(const std::string& path) {
  const int saved = errno;
  ::unlink(path.c_str());
  errno = saved;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The file `path` stands for: symbolic links are followed as the kernel follows them, so that a
// save replaces the file a link points to and the link stays. A path that is no link, or that
// cannot be looked at, is the file itself; the steps of the save then meet the cause.
std::string LinkedFile(std::string path) {
  for (int links = 0; links < kMaxLinks; ++links) {
    std::error_code notALink;
    const std::filesystem::path target = std::filesystem::read_symlink(path, notALink);
    if (notALink) return path;
    path = target.is_absolute() ? target.string() : FolderOf(path) + "/" + target.string();
  }
  errno = ELOOP;
  throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", path));
}

// A new file of this process beside `path`: ".<file>.zorvane-save-<pid>-<16 hex digits>". Empty,
// with errno set, when no random bytes can be had.
std::string TemporaryName(const std::string& path) {
  uint64_t random = 0;
  if (::getrandom(&random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return "";
  char digits[kRandomDigits + 1];
  std::snprintf(digits, sizeof digits, "%016" PRIx64, random);
  return FolderOf(path) + "/." + FileNameOf(path) + std::string(kSaveMark) +
         std::to_string(::getpid()) + "-" + digits;
}

bool AllOf(std::string_view text, bool (*is)(char)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), is);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f'); }

// The process id in the name of a new file that a save of `fileName` made; 0 for any other name.
pid_t SaverOf(std::string_view name, const std::string& fileName) {
  const std::string mark = "." + fileName + std::string(kSaveMark);
  if (name.size() <= mark.size() || name.substr(0, mark.size()) != mark) return 0;
  const std::string_view rest = name.substr(mark.size());
  const size_t dash = rest.find('-');
  // Nine digits at most: process ids stay far below that, and the number fits an int.
  if (dash == std::string_view::npos || dash > 9 || !AllOf(rest.substr(0, dash), IsDigit) ||
      rest.size() - dash - 1 != kRandomDigits || !AllOf(rest.substr(dash + 1), IsHexDigit)) {
    return 0;
  }
  const std::string digits(rest.substr(0, dash));
  const pid_t saver = static_cast<pid_t>(std::stoi(digits));
  // Written as a process id is written: no leading zeros.
  return std::to_string(saver) == digits ? saver : 0;
}

// A save killed between naming its new file and renaming it leaves that file behind. Removes
// those of processes that are gone; a process still running may be saving at this moment. Only
// regular files named as ours go, and a failure to remove one changes nothing for the save.
void RemoveLeftovers(const std::string& path) {
  const std::string folder = FolderOf(path);
  const std::string fileName = FileNameOf(path);
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) {
    LogError("settings file", ErrnoText("cannot look for what killed saves left in", folder));
    return;
  }
  while (const dirent* entry = ::readdir(listing)) {
    const pid_t saver = SaverOf(entry->d_name, fileName);
    if (saver == 0 || saver == ::getpid()) continue;
    if (::kill(saver, 0) == 0 || errno != ESRCH) continue;
    struct stat info {};
    const std::string leftover = folder + "/" + entry->d_name;
    if (::lstat(leftover.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        ::unlink(leftover.c_str()) != 0) {
      LogError("settings file", ErrnoText("cannot remove", leftover));
    }
  }
  ::closedir(listing);
}

// Makes the rename itself durable, so a crash right after a save keeps the new file.
void SyncDirectoryOf(const std::string& path) {
  const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes the new contents to a new file beside `path` and returns that file's name; empty on
// failure, with errno set. Where the file system has unnamed files, the file gets its name only
// once it is whole and on disk, so a save killed while writing leaves nothing behind.
std::string WriteBeside(const std::string& path, const std::string& bytes, mode_t mode) {
  const std::string temp = TemporaryName(path);
  if (temp.empty()) return "";
  int fd = ::open(FolderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  const bool named = fd < 0;
  if (named) fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return "";
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  const bool ok =
      ::fchmod(fd, mode) == 0 && WriteAndSync(fd, bytes) &&
      (named || ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0);
  if (Close(fd, ok)) return temp;
  RemoveKeepingErrno(temp);
  return "";
}

// A step of a save that failed, and its errno; no error when every step went well.
struct Failure {
  std::string step;
  int error = 0;
};

// Writes a new file beside `file` and renames it over `file`, so a failure leaves the old file
// whole.
Failure ReplaceBeside(const std::string& file, const std::string& bytes, mode_t mode) {
  const std::string temp = WriteBeside(file, bytes, mode);
  if (temp.empty()) return {"make a new file in " + FolderOf(file), errno};
  if (::rename(temp.c_str(), file.c_str()) != 0) {
    const Failure failure{"replace it with a new file", errno};
    ::unlink(temp.c_str());
    return failure;
  }
  SyncDirectoryOf(file);
  return {};
}

// The folder, not the file, refuses: no permission to add or replace a name, a read-only mount
// under a file mounted writable, a file that is a mount point itself.
bool FolderRefuses(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == EBUSY;
}

// Writes over the file itself, where no new file can take its place. The new numbers come first
// and the file is cut after them: a save killed in between leaves the twelve new numbers first,
// and the reader looks no further.
bool WriteInPlace(const std::string& file, const std::string& bytes) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
  return fd >= 0 && Close(fd, WriteAndSync(fd, bytes));
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
  const std::string file = LinkedFile(path);

  mode_t mode = 0644;
  struct stat old {};
  const bool exists = ::stat(file.c_str(), &old) == 0;
  if (exists) {
    // Root may write anything; a file without write bits is still meant to stay as it is.
    if ((old.st_mode & 0222) == 0) {
      errno = EACCES;
      throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", file));
    }
    // access() names the cause: no permission, or a read-only file system.
    if (::access(file.c_str(), W_OK) != 0) {
      throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", file));
    }
    mode = old.st_mode & 07777;
  }

  const Failure safe = ReplaceBeside(file, bytes, mode);
  if (safe.error == 0) {
    RemoveLeftovers(file);
    return;
  }
  const std::string cause = "Cannot write " + file + ": ";
  if (!FolderRefuses(safe.error)) {
    throw RuntimeError(ErrorKind::Other, cause + std::strerror(safe.error));
  }
  if (!exists) {
    throw RuntimeError(ErrorKind::Other,
                       cause + "cannot " + safe.step + ": " + std::strerror(safe.error));
  }
  if (WriteInPlace(file, bytes)) return;
  throw RuntimeError(ErrorKind::Other, cause + "cannot " + safe.step + " (" +
                                           std::strerror(safe.error) +
                                           "), nor write it in place: " + std::strerror(errno));
}

void CopySettingsFile(const std::string& from, const std::string& to) {
  const std::string bytes = ReadWholeFile(from);
  const std::string temp = WriteBeside(to, bytes, 0644);
  if (temp.empty()) throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", to));
  // A link, unlike a rename, never replaces: a file another program made meanwhile is kept.
  const bool linked = ::link(temp.c_str(), to.c_str()) == 0 || errno == EEXIST;
  RemoveKeepingErrno(temp);
  if (!linked) throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", to));
  SyncDirectoryOf(to);
}

}  // namespace zorvane

#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "settings/number_text.h"
#include "settings/runtime_error.h"

namespace zorvane {
namespace {

constexpr size_t kZoneWidth = 14;

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

// Makes the rename itself durable, so a crash right after a save keeps the new file.
void SyncDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

Settings ParseSettings(std::string_view text, const std::string& path) {
  NumberReader reader(text, path);
  Settings settings;
  for (float& value : settings.blue) value = reader.Next();
  for (float& value : settings.red) value = reader.Next();
  return settings;
}

Settings ReadSettingsFile(const std::string& path) {
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
  return ParseSettings(content, path);
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
    if ((old.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) {
      errno = EACCES;
      throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", path));
    }
    mode = old.st_mode & 07777;
  }

  std::string temp = path + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", path));
  bool ok = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  int saved = errno;
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
    SyncDirectoryOf(path);
    return;
  }
  if (!ok) errno = saved;
  saved = errno;
  ::unlink(temp.c_str());
  errno = saved;
  throw RuntimeError(ErrorKind::Other, ErrnoText("Cannot write", path));
}

}  // namespace zorvane

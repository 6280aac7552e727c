#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>

namespace zorvane::test {

// A fresh directory under /tmp, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

struct Rgb {
  uint8_t r, g, b;
};

// Writes a 24-bit bitmap whose pixel (x, y) has the colour `colour(x, y)`.
void WriteBitmap(const std::string& path, int width, int height,
                 const std::function<Rgb(int, int)>& colour);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// A program directory as the game needs it: a settings file with the given text and the five
// bitmaps (a 640 x 480 background, 30 x 30 blocks and dead blocks, each of one colour).
void WriteGameFiles(const std::string& dir, const std::string& settings);

// The default settings file, byte for byte.
std::string DefaultSettingsText();

// How a shell command ended and what it wrote.
struct CommandRun {
  int exitCode = -1;  // -1 unless it exited by itself
  std::string out;
  std::string err;
};

// Runs a command line through the shell with `input` on its standard input; what it writes on
// its standard output and error is kept.
CommandRun RunCommand(const std::string& command, const std::string& input = "");

// A process id that no process has: a child that has ended and been reaped.
pid_t GonePid();

}  // namespace zorvane::test

#include "tests/support/test_files.h"

#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "game/display/sdl_ptr.h"

namespace zorvane::test {

TempDir::TempDir() {
  char pattern[] = "/tmp/zorvane-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void WriteBitmap(const std::string& path, int width, int height,
                 const std::function<Rgb(int, int)>& colour) {
  const SdlSurfacePtr surface(
      SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_BGR24));
  if (!surface) throw std::runtime_error(SDL_GetError());
  for (int y = 0; y < height; ++y) {
    auto* row = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
    for (int x = 0; x < width; ++x) {
      const Rgb c = colour(x, y);
      row[3 * x] = c.b;
      row[3 * x + 1] = c.g;
      row[3 * x + 2] = c.r;
    }
  }
  if (SDL_SaveBMP(surface.get(), path.c_str()) != 0) throw std::runtime_error(SDL_GetError());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteGameFiles(const std::string& dir, const std::string& settings) {
  WriteFile(dir + "/zorvane.ini", settings);
  const auto solid = [](Rgb c) { return [c](int, int) { return c; }; };
  WriteBitmap(dir + "/bg.bmp", 640, 480, solid({0, 64, 0}));
  WriteBitmap(dir + "/redblock.bmp", 30, 30, solid({255, 0, 0}));
  WriteBitmap(dir + "/blueblock.bmp", 30, 30, solid({0, 0, 255}));
  WriteBitmap(dir + "/reddead.bmp", 30, 30, solid({128, 64, 64}));
  WriteBitmap(dir + "/bluedead.bmp", 30, 30, solid({64, 64, 128}));
}

std::string DefaultSettingsText() {
  const std::string line =
      "5             0.5           30            15            10            100\r\n";
  return line + line;
}

CommandRun RunCommand(const std::string& command, const std::string& input) {
  TempDir io;
  WriteFile(io / "in", input);
  // In a group, so that the command's own redirections (2>&1) come after these.
  const std::string line =
      "{ " + command + "\n} < " + (io / "in") + " > " + (io / "out") + " 2> " + (io / "err");
  const int status = std::system(line.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(io / "out"), ReadFile(io / "err")};
}

pid_t GonePid() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  if (child < 0 || waitpid(child, nullptr, 0) != child) throw std::runtime_error("fork failed");
  return child;
}

}  // namespace zorvane::test

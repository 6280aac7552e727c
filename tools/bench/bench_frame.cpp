// How long the game's own work takes on the headless display, each against the plainest way to
// do the same job in the same run: a frame's drawing against one copy of the frame's memory, a
// bitmap load against reading the file's bytes, and a tick of the simulation.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "game/display/headless_screen.h"
#include "game/sim/form1.h"
#include "settings/program_dir.h"
#include "tools/bench/median_reporter.h"

namespace zorvane {
namespace {

// A started game over the staged app directory, both blocks on screen.
struct StartedGame {
  StartedGame() {
    screen.logCalls = false;
    screen.keepFrames = false;
    form.StartUp();
    form.BluePlayer.X = 100;
    form.BluePlayer.Y = 100;
    form.RedPlayer.X = 300;
    form.RedPlayer.Y = 200;
  }
  HeadlessScreen screen;
  NoEvents events;
  RecordingSound sound;
  Form1 form{GameHost{PortableLayout(ZORVANE_APP_DIR), screen, events, sound, [] { return 1u; }}};
};

// A file of the app directory, named as the game names it.
std::string AppFile(const char* name) { return InDirectory(ZORVANE_APP_DIR, name); }

// Open, read, close: the least any load of the file costs. The number of bytes read, or -1.
ssize_t ReadFileBytes(const std::string& path, std::vector<char>& buffer) {
  const int file = open(path.c_str(), O_RDONLY);
  if (file < 0) return -1;
  ssize_t total = 0;
  ssize_t got = 0;
  while ((got = read(file, buffer.data() + total, buffer.size() - static_cast<size_t>(total))) >
         0) {
    total += got;
  }
  close(file);
  return got < 0 ? -1 : total;
}

void FrameMemcpy(benchmark::State& state) {
  std::vector<uint16_t> from(640 * 480, 0x1234), to(640 * 480);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * sizeof(uint16_t));
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FrameMemcpy);

void FrameDrawing(benchmark::State& state) {
  StartedGame game;
  for (auto _ : state) {
    const DrawnSprites drawn = game.form.DrawFrame();
    benchmark::DoNotOptimize(drawn);
  }
  if (game.screen.presented == 0) state.SkipWithError("nothing was presented");
}
BENCHMARK(FrameDrawing);

void Tick(benchmark::State& state) {
  StartedGame game;
  for (auto _ : state) {
    game.form.BluePlayer.X = 100;
    game.form.BluePlayer.VX = 5;
    game.form.tmrAI_Timer();
    game.sound.played.clear();
  }
}
BENCHMARK(Tick);

void TickBothDead(benchmark::State& state) {
  StartedGame game;
  game.form.BluePlayer.Health = 0;
  game.form.RedPlayer.Health = 0;
  for (auto _ : state) {
    game.form.BluePlayer.X = 100;
    game.form.tmrAI_Timer();
    game.sound.played.clear();
  }
}
BENCHMARK(TickBothDead);

// The bytes of both dead bitmaps, as the dead tick loads them.
void ReadDeadFiles(benchmark::State& state) {
  const std::string red = AppFile("\\reddead.bmp");
  const std::string blue = AppFile("\\bluedead.bmp");
  std::vector<char> buffer(1 << 16);
  for (auto _ : state) {
    if (ReadFileBytes(red, buffer) <= 0 || ReadFileBytes(blue, buffer) <= 0) {
      state.SkipWithError("cannot read a dead bitmap");
      break;
    }
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(ReadDeadFiles);

// The game's load of the 30 x 30 blue block into its sprite.
void LoadBlockSurface(benchmark::State& state) {
  StartedGame game;
  const std::string path = AppFile("\\blueblock.bmp");
  for (auto _ : state) {
    game.form.LoadSurface(game.form.BlueSprite, path, 0, true);
  }
  if (game.form.BlueSprite.Rect.right != 30) state.SkipWithError("the block is not 30 wide");
}
BENCHMARK(LoadBlockSurface);

void ReadBlockFile(benchmark::State& state) {
  const std::string path = AppFile("\\blueblock.bmp");
  std::vector<char> buffer(1 << 16);
  for (auto _ : state) {
    if (ReadFileBytes(path, buffer) <= 0) {
      state.SkipWithError("cannot read the block bitmap");
      break;
    }
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(ReadBlockFile);

std::string Duration(double seconds) {
  char text[32];
  if (seconds < 1e-6) {
    std::snprintf(text, sizeof text, "%.1f ns", seconds * 1e9);
  } else if (seconds < 1e-3) {
    std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
  } else {
    std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
  }
  return text;
}

struct Figure {
  const char* what;
  const char* benchmark;
  const char* baseline;  // none for a figure without one
  const char* goal;
};

constexpr Figure kFigures[] = {
    {"frame drawing vs one memcpy of the 640x480x16-bit frame", "FrameDrawing", "FrameMemcpy",
     " (goal <= 1.5x)"},
    {"tick of the simulation", "Tick", nullptr, ""},
    {"tick with both blocks dead vs reading both dead bitmaps' bytes", "TickBothDead",
     "ReadDeadFiles", ""},
    {"LoadSurface of the 30x30 block vs reading its file's bytes", "LoadBlockSurface",
     "ReadBlockFile", ""},
};

// Prints each figure, and its ratio to its baseline. False when one of them was not measured.
bool PrintFigures(const MedianReporter& times) {
  std::printf("\nCPU time per iteration, median; each against its baseline:\n");
  bool all = true;
  for (const Figure& figure : kFigures) {
    const double seconds = times.Seconds(figure.benchmark);
    const double base = figure.baseline ? times.Seconds(figure.baseline) : 0;
    if (seconds < 0 || (figure.baseline && base <= 0)) {
      std::printf("%s: not measured\n", figure.what);
      all = false;
    } else if (figure.baseline == nullptr) {
      std::printf("%s: %s\n", figure.what, Duration(seconds).c_str());
    } else {
      std::printf("%s: %s vs %s = %.1fx%s\n", figure.what, Duration(seconds).c_str(),
                  Duration(base).c_str(), seconds / base, figure.goal);
    }
  }
  return all;
}

}  // namespace
}  // namespace zorvane

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  zorvane::MedianReporter times;
  benchmark::RunSpecifiedBenchmarks(&times);
  benchmark::Shutdown();
  return zorvane::PrintFigures(times) ? 0 : 1;
}

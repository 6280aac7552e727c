// How fast a recording of an hour can be watched at any tick: the recording of a game played by
// two random players for 180,000 ticks is shown on the headless display, and the viewer jumps to
// random ticks, each jump timed to its picture drawn. Against it, its baseline: running the whole
// hour from its start, as the viewer's survey does once. And the memory of the states it saves.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

#include "game/replay/game_recorder.h"
#include "tests/support/random_game.h"
#include "tests/support/test_files.h"
#include "tests/support/viewed_recording.h"

namespace zorvane {
namespace {

constexpr int64_t kHourTicks = 180000;
constexpr int kJumps = 500;

double Milliseconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double CpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void PrintSpread(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::printf("  %s time: median %.3f ms, 99th percentile %.3f ms, slowest %.3f ms\n", what,
              times[times.size() / 2], times[times.size() * 99 / 100], times.back());
}

int Run() {
  test::TempDir scratch;
  const std::string recordingPath = scratch / "hour.rec";
  {
    GameRecorder recorder(recordingPath);
    const test::RandomGame game = test::PlayRandomGame(ZORVANE_APP_DIR, 1, kHourTicks, &recorder);
    if (!recorder.failure().empty()) {
      std::fprintf(stderr, "%s\n", recorder.failure().c_str());
      return 1;
    }
    std::printf("the hour: %lld ticks, %d rounds, %zu KB of recording\n",
                static_cast<long long>(kHourTicks), game.rounds,
                test::ReadFile(recordingPath).size() / 1024);
  }
  test::ViewedRecording watched(ZORVANE_APP_DIR, ReadScriptFile(recordingPath));
  watched.screen.keepFrames = false;

  // The clock of the viewer stands still, so its first pass surveys the whole hour.
  const double surveyStart = CpuMilliseconds();
  watched.Pass();
  const double survey = CpuMilliseconds() - surveyStart;
  if (watched.viewer.lastTick() != kHourTicks) {
    std::fprintf(stderr, "the recording holds %lld ticks, not %lld\n",
                 static_cast<long long>(watched.viewer.lastTick()),
                 static_cast<long long>(kHourTicks));
    return 1;
  }

  // Each jump's CPU time, which other work on the machine does not stretch, and its wall time.
  std::mt19937 random(7);
  std::vector<double> cpu, wall;
  for (int i = 0; i < kJumps; ++i) {
    const int64_t tick = std::uniform_int_distribution<int64_t>(0, kHourTicks)(random);
    const double cpuStart = CpuMilliseconds();
    const auto start = std::chrono::steady_clock::now();
    watched.viewer.Seek(watched.form, tick);
    watched.form.DrawFrame();
    wall.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
    cpu.push_back(CpuMilliseconds() - cpuStart);
  }
  std::printf(
      "a jump to a random tick of the hour, to its picture drawn (%d jumps; goal <= 16 ms):\n",
      kJumps);
  PrintSpread("CPU", cpu);
  PrintSpread("wall", wall);
  std::printf("  baseline, running the whole hour from its start (the survey): %.1f ms of CPU\n",
              survey);
  std::printf("the saved states of the hour: %zu KB (goal <= 10 MB)\n",
              watched.viewer.script().savedBytes() / 1024);
  return 0;
}

}  // namespace
}  // namespace zorvane

int main() { return zorvane::Run(); }

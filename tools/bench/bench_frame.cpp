// How long the game's own work takes on the headless display: a frame's drawing against one copy
// of the frame's memory, and a tick of the simulation.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "game/form1.h"
#include "game/headless_screen.h"

namespace zorvane {
namespace {

class NoEvents : public EventPump {
 public:
  void DoEvents(Form1&) override {}
};

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
  Form1 form{GameHost{ZORVANE_APP_DIR, screen, events, sound, [] { return 1u; }}};
};

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

}  // namespace
}  // namespace zorvane

BENCHMARK_MAIN();

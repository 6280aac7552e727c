// zorvane-controller-bench: the real game, as the program plays it, for a while on the display in
// DISPLAY, with or without an idle game controller plugged in (one of SDL's virtual ones), then
// the share of one core it used after start-up. What a connected controller that nobody touches
// costs.
// Usage: zorvane-controller-bench APP_DIR SECONDS [controller]
#include <SDL.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/events/frame_pacer.h"
#include "game/sdl/input/sdl_event_pump.h"
#include "game/sdl/sdl_sound.h"
#include "game/sdl/video/sdl_screen.h"
#include "game/sim/form1.h"
#include "tests/support/virtual_pads.h"

namespace {

// Start-up is left out: the measure starts this long after the game does.
constexpr Uint32 kSettleMillis = 2000;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::atomic<double> cpuAtStart{0};
std::atomic<double> wallAtStart{0};

Uint32 StartMeasuring(Uint32, void*) {
  cpuAtStart = CpuSeconds();
  wallAtStart = WallSeconds();
  return 0;
}

Uint32 Quit(Uint32, void*) {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: zorvane-controller-bench APP_DIR SECONDS [controller]\n");
    return 2;
  }
  const std::string directory = argv[1];
  const int seconds = std::atoi(argv[2]);
  const bool controller = argc > 3 && std::string(argv[3]) == "controller";
  SDL_SetMainReady();
  if (SDL_InitSubSystem(SDL_INIT_TIMER) != 0) return 1;
  using namespace zorvane;
  SteadyClock clock;
  FramePacer pacer(clock, SleepMicros);
  SdlSound sound;
  SdlScreen screen(directory, pacer);
  SdlEventPump pump(pacer, clock, KeyRepeat::Platform, [&screen] { screen.SwitchDisplay(); });
  test::VirtualPads pads;
  if (controller && !pads.Plug(0)) {
    std::fprintf(stderr, "no virtual controller: %s\n", SDL_GetError());
    return 1;
  }
  Form1 form(GameHost{PortableLayout(directory), screen, pump, sound});
  SDL_AddTimer(kSettleMillis, StartMeasuring, nullptr);
  SDL_AddTimer(kSettleMillis + static_cast<Uint32>(seconds) * 1000, Quit, nullptr);
  form.Form_Load();
  const double percent = 100.0 * (CpuSeconds() - cpuAtStart) / (WallSeconds() - wallAtStart);
  screen.Close();
  std::printf("%s: %.2f%% of one core over %d s\n",
              controller ? "with an idle controller" : "without a controller", percent, seconds);
  SDL_Quit();
  return 0;
}

// zorvane-cpu-bench: the real game, as the program plays it, for a while on the display in
// DISPLAY, then the share of one core it used after start-up. As the game starts plainly; with an
// idle game controller plugged in (one of SDL's virtual ones): what a connected controller that
// nobody touches costs; or with the display refused, so that the game stays in its small window
// and shows nothing: what its frame loop costs when only the pacer keeps it in step.
// Usage: zorvane-cpu-bench APP_DIR SECONDS [controller|small-window]
#include <SDL.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
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

// A display that will not be taken: the game stays in its ordinary window and presents nothing.
class DisplayRefused : public zorvane::SdlScreen {
 public:
  using SdlScreen::SdlScreen;
  bool TakeExclusive() override { return false; }
};

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
  const std::string how = argc > 3 ? argv[3] : "";
  if (argc < 3 || argc > 4 || (how != "" && how != "controller" && how != "small-window")) {
    std::fprintf(stderr, "usage: zorvane-cpu-bench APP_DIR SECONDS [controller|small-window]\n");
    return 2;
  }
  const std::string directory = argv[1];
  const int seconds = std::atoi(argv[2]);
  const bool controller = how == "controller";
  SDL_SetMainReady();
  if (SDL_InitSubSystem(SDL_INIT_TIMER) != 0) return 1;
  using namespace zorvane;
  SteadyClock clock;
  FramePacer pacer(clock, SleepMicros);
  DeferredSdlSound sound;
  std::unique_ptr<SdlScreen> screen = how == "small-window"
                                          ? std::make_unique<DisplayRefused>(directory, pacer)
                                          : std::make_unique<SdlScreen>(directory, pacer);
  SdlEventPump pump(pacer, clock, KeyRepeat::Platform, [&screen] { screen->SwitchDisplay(); });
  // The program starts these once its first frame is shown; the measure starts long after.
  sound.Open();
  pump.StartControllers();
  test::VirtualPads pads;
  if (controller && !pads.Plug(0)) {
    std::fprintf(stderr, "no virtual controller: %s\n", SDL_GetError());
    return 1;
  }
  Form1 form(GameHost{PortableLayout(directory), *screen, pump, sound});
  SDL_AddTimer(kSettleMillis, StartMeasuring, nullptr);
  SDL_AddTimer(kSettleMillis + static_cast<Uint32>(seconds) * 1000, Quit, nullptr);
  form.Form_Load();
  const double percent = 100.0 * (CpuSeconds() - cpuAtStart) / (WallSeconds() - wallAtStart);
  screen->Close();
  const char* what = controller              ? "with an idle controller"
                     : how == "small-window" ? "in its small window, display refused"
                                             : "without a controller";
  std::printf("%s: %.2f%% of one core over %d s\n", what, percent, seconds);
  SDL_Quit();
  return 0;
}

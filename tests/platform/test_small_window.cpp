#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <fstream>

#include "game/events/sound_service.h"
#include "game/sdl/input/sdl_event_pump.h"
#include "game/sdl/video/sdl_screen.h"
#include "game/sim/form1.h"
#include "tests/support/test_files.h"

namespace zorvane {
namespace {

// A display that will not be taken: the game stays in its ordinary window.
class DisplayRefused : public SdlScreen {
 public:
  using SdlScreen::SdlScreen;
  bool TakeExclusive() override { return false; }
  bool Present(const Surface& frame) override {
    ++presented;
    return SdlScreen::Present(frame);
  }
  int presented = 0;
};

// The player's keys, on given passes of the frame loop: Right on the first, Escape on the last.
class Player : public EventPump {
 public:
  Player(EventPump& pump, int lastPass) : pump_(pump), lastPass_(lastPass) {}
  void DoEvents(Form1& form) override {
    ++passes;
    if (passes == 1) Press(SDLK_RIGHT, SDL_SCANCODE_RIGHT);
    if (passes == lastPass_) Press(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    pump_.DoEvents(form);
  }
  int passes = 0;

 private:
  static void Press(SDL_Keycode key, SDL_Scancode scancode) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = scancode;
    SDL_PushEvent(&event);
  }
  EventPump& pump_;
  int lastPass_;
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST(SmallWindowTest, WithoutTheDisplayTheGameRunsInItsWindowUntilEscape) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  test::TempDir dir;
  std::ofstream(dir / "zorvane.ini") << "5 0 30 15 10 100\r\n5 0 30 15 10 100\r\n";
  SteadyClock clock;
  FramePacer pacer(clock, SleepMicros);
  DisplayRefused screen(dir.path(), pacer);
  SdlEventPump pump(pacer, clock, KeyRepeat::Platform, [] {});
  constexpr int kPasses = 30;
  Player player(pump, kPasses);
  RecordingSound sound;
  Form1 form(GameHost{PortableLayout(dir.path()), screen, player, sound, [] { return 2u; }});

  const double cpuBefore = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  form.Form_Load();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  EXPECT_EQ(player.passes, kPasses);
  EXPECT_EQ(screen.presented, 0);
  // The key and the ticks ran: blue, dealt at x 249 well clear of red and the walls, went right
  // at the speed Right gave it.
  EXPECT_EQ(form.BluePlayer.VX, 5);
  EXPECT_GT(form.BluePlayer.X, 249 + 2 * 5);
  // Nothing drawn, yet the loop kept to the refresh rate rather than spinning.
  EXPECT_GE(seconds, (kPasses - 3) / 60.0);
  EXPECT_LT(CpuSeconds() - cpuBefore, seconds / 2);
  screen.Close();
  unsetenv("SDL_VIDEODRIVER");
}

}  // namespace
}  // namespace zorvane

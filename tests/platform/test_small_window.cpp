#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "game/events/sound_service.h"
#include "game/sdl/input/sdl_event_pump.h"
#include "game/sdl/video/sdl_screen.h"
#include "game/sim/form1.h"
#include "tests/support/scoped_env.h"
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

TEST(SmallWindowTest, WithoutTheDisplayTheGameRunsInItsWindowUntilEscape) {
  const test::ScopedEnv video("SDL_VIDEODRIVER", "dummy");
  test::TempDir dir;
  std::ofstream(dir / "zorvane.ini") << "5 0 30 15 10 100\r\n5 0 30 15 10 100\r\n";
  SteadyClock clock;
  // The loop's waits, counted on their way to the real sleep.
  int64_t sleptMicros = 0;
  FramePacer pacer(clock, [&sleptMicros](int64_t micros) {
    sleptMicros += micros;
    SleepMicros(micros);
  });
  DisplayRefused screen(dir.path(), pacer);
  SdlEventPump pump(pacer, clock, KeyRepeat::Platform, [] {});
  constexpr int kPasses = 30;
  Player player(pump, kPasses);
  RecordingSound sound;
  Form1 form(GameHost{PortableLayout(dir.path()), screen, player, sound, [] { return 2u; }});

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
  // Nothing drawn, yet the loop kept to the refresh rate, sleeping rather than spinning: a
  // spinning loop asks for no sleep, while a loaded machine only shortens the sleeps. (What the
  // loop costs in CPU is a figure of make bench.)
  EXPECT_GE(seconds, (kPasses - 3) / 60.0);
  EXPECT_GE(sleptMicros, (kPasses - 3) * 1000000LL / 60 / 4);
  screen.Close();
}

}  // namespace
}  // namespace zorvane

// zorvane in a web page: the same game on SDL's browser backends (the page's canvas, Web Audio,
// the Gamepad API). The page passes its parameters as the game's own options; the browser runs
// one pass of the frame loop at each of its animation frames. Escape ends the game, and the page
// starts a new one when asked. The page's side is the object zorvanePage (tools/web/index.html).
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <emscripten.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "game/events/clock.h"
#include "game/events/event_queue.h"
#include "game/events/frame_pacer.h"
#include "game/sdl/command_line.h"
#include "game/sdl/computer_opponent.h"
#include "game/sdl/game_run.h"
#include "game/sdl/input/sdl_event_pump.h"
#include "game/sdl/sdl_sound.h"
#include "game/sdl/video/page_screen.h"
#include "game/sim/form1.h"
#include "settings/file_layout.h"

namespace zorvane {
namespace {

// Where the page's packed files lie: the bitmaps, the waves and the default zorvane.ini.
constexpr const char* kDataDirectory = "/zorvane";

// The options a page cannot honour: it has no files to record into or show, no sockets, and the
// page itself chooses between the page and full screen.
std::string RefusedInThePage(const GameOptions& options) {
  if (options.network != Network::None) {
    return "Network play needs the desktop game: zorvane --host, zorvane --join HOST";
  }
  if (!options.record.empty() || !options.play.empty()) {
    return "Recordings need the desktop game: zorvane --record FILE, zorvane --play FILE";
  }
  if (options.window || options.help || options.version) {
    return "The page takes seed, settings, repeat, cpu and level, as the desktop game's --seed, "
           "--settings, --repeat, --cpu and --level";
  }
  return {};
}

// The page's side.
EM_JS(void, PageError, (const char* text), { zorvanePage.error(UTF8ToString(text)); });
EM_JS(void, PageFrameShown,
      (double ticks, bool running, double blueX, double blueY, double blueVX, double blueVY,
       int blueHealth, double redX, double redY, double redVX, double redVY, int redHealth),
      {
        zorvanePage.frameShown(ticks, running, [ blueX, blueY, blueVX, blueVY, blueHealth ],
                               [ redX, redY, redVX, redVY, redHealth ]);
      });
EM_JS(void, PageGameOver, (), { zorvanePage.gameOver(); });
EM_JS(void, PageToggleFullScreen, (), { zorvanePage.toggleFullScreen(); });
EM_JS(double, AnimationFrameMillis, (), {
  const time = document.timeline.currentTime;
  return time == null ? performance.now() : time;
});

// The time of the animation frame the pass runs in, as the page's animations see it. The timer's
// ticks fall due on the frames' own beat, not on when a busy browser finds a moment to run the
// pass: a pass run late in its frame would otherwise find two ticks due, and run one.
class AnimationFrameClock : public Clock {
 public:
  int64_t NowMicros() override { return static_cast<int64_t>(AnimationFrameMillis() * 1000); }
};

void TellThePage(const std::string& message, bool, int) {
  std::cerr << "zorvane: " << message << std::endl;
  PageError(message.c_str());
}

// Counts the ticks the game ran, for the page's figures.
class TickCounter : public EventObserver {
 public:
  void KeyDownRan(int16_t) override {}
  void CloseRan() override {}
  void TickRan() override { ++ticks; }
  double ticks = 0;
};

// One game in the page, from its start-up to its end, on the page's canvas, keyboard and
// controllers, and against the computer when asked.
class PageGame {
 public:
  PageGame(const GameOptions& options, SoundService& sound)
      : pacer_(clock_, [](int64_t) {}),  // the animation frames set the pace: nothing to sleep
        keys_(pacer_, clock_, options.repeat, [] { PageToggleFullScreen(); }),
        computer_([this](int16_t key) { keys_.PostKeyDown(key); }),
        form_(GameHost{PortableLayout(kDataDirectory), screen_, keys_, sound, RoundSeeds(options),
                       SettingsSource(options)}),
        run_(
            form_, [this] { screen_.Close(); }, TellThePage) {
    keys_.Observe(&ticks_);
    // The page is shown already; its game's start has nothing to wait for.
    keys_.StartControllers();
    SeatComputer(options, computer_, keys_);
    computer_.Watch(form_);
  }

  bool Start() { return run_.Start(); }

  // One pass of the frame loop, and the state it left for the page.
  bool Step() {
    const bool running = run_.Step();
    const PlayerState& b = form_.BluePlayer;
    const PlayerState& r = form_.RedPlayer;
    PageFrameShown(ticks_.ticks, form_.Running, b.X, b.Y, b.VX, b.VY, b.Health, r.X, r.Y, r.VX,
                   r.VY, r.Health);
    return running;
  }

  void Finish() { run_.Finish(); }

 private:
  AnimationFrameClock clock_;
  FramePacer pacer_;
  PageScreen screen_;
  SdlEventPump keys_;
  TickCounter ticks_;
  ComputerSeats computer_;
  Form1 form_;
  GameRun run_;
};

GameOptions pageOptions;
std::unique_ptr<SdlSound> pageSound;  // for the page's whole life: one audio context
std::unique_ptr<PageGame> game;

// The page shows what stopped the game, if anything did, and waits for Enter.
void EndGame() {
  game->Finish();
  game.reset();
  PageGameOver();
}

void RunFrame() {
  if (game->Step()) return;
  emscripten_cancel_main_loop();
  EndGame();
}

void NewGame() {
  game = std::make_unique<PageGame>(pageOptions, *pageSound);
  if (!game->Start()) {
    EndGame();
    return;
  }
  // 0 frames a second: at the browser's animation frames, not on a timer.
  emscripten_set_main_loop(RunFrame, 0, false);
}

}  // namespace
}  // namespace zorvane

// The page asks for a new game once the last one has ended.
extern "C" EMSCRIPTEN_KEEPALIVE void zorvane_new_game() {
  if (!zorvane::game) zorvane::NewGame();
}

int main(int argc, char** argv) {
  using namespace zorvane;
  const CommandLine line = ParseCommandLine({argv + 1, argv + argc});
  std::string problem = line.problem.empty() ? RefusedInThePage(line.options) : line.problem;
  if (!problem.empty()) {
    TellThePage(problem, true, kExitUsage);
    return kExitUsage;
  }
  SDL_SetMainReady();
  pageOptions = line.options;
  pageSound = std::make_unique<SdlSound>();
  NewGame();
  return 0;
}

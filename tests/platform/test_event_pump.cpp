#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "game/display/headless_screen.h"
#include "game/events/sound_service.h"
#include "game/replay/replay_script.h"
#include "game/sdl/input/sdl_event_pump.h"
#include "game/sdl/video/sdl_screen.h"
#include "game/sdl/viewer_pump.h"
#include "game/sim/form1.h"
#include "tests/support/fake_clock.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_files.h"
#include "tests/support/viewed_recording.h"
#include "tests/support/virtual_pads.h"

namespace zorvane {
namespace {

SDL_Event Key(Uint32 type, SDL_Keycode key, SDL_Scancode scancode, Uint16 mod = KMOD_NONE,
              Uint8 repeat = 0) {
  SDL_Event event{};
  event.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = scancode;
  event.key.keysym.mod = mod;
  return event;
}

SDL_Event Down(SDL_Keycode key, SDL_Scancode scancode, Uint16 mod = KMOD_NONE) {
  return Key(SDL_KEYDOWN, key, scancode, mod);
}

SDL_Event Text(const char* text) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  SDL_strlcpy(event.text.text, text, sizeof event.text.text);
  return event;
}

SDL_Event OfType(Uint32 type) {
  SDL_Event event{};
  event.type = type;
  return event;
}

SDL_Event WindowClose() {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_CLOSE;
  return event;
}

SDL_Event Repeat(SDL_Keycode key, SDL_Scancode scancode, Uint16 mod = KMOD_NONE) {
  return Key(SDL_KEYDOWN, key, scancode, mod, 1);
}

SDL_Event Up(SDL_Keycode key, SDL_Scancode scancode) { return Key(SDL_KEYUP, key, scancode); }

void Ready(PlayerState& p, float x, float y) {
  p.X = x;
  p.Y = y;
  p.Health = 100;
  p.Accel = 5;
  p.Size = 30;
  p.MaxSpeed = 100;
}

// A running game fed by the real pump on a headless screen, blue at (300, 300) and red at
// (100, 100), both alive; its files are read from `dir`.
struct PumpedGame {
  PumpedGame(Clock& clock, KeyRepeat repeat, std::function<void()> switchDisplay,
             const std::string& dir = "/nowhere")
      : pacer(clock, [](int64_t) {}),
        pump(pacer, clock, repeat, std::move(switchDisplay)),
        form(GameHost{PortableLayout(dir), screen, pump, sound}) {
    form.Running = true;
    pump.StartControllers();  // as the program does once its first frame is shown
    Ready(form.BluePlayer, 300, 300);
    Ready(form.RedPlayer, 100, 100);
  }

  FramePacer pacer;
  SdlEventPump pump;
  HeadlessScreen screen;
  RecordingSound sound;
  Form1 form;
};

TEST(SdlEventPumpTest, KeyDownsReachTheGameAndNothingElseDoes) {
  struct Case {
    const char* name;
    std::vector<SDL_Event> events;
    float blueVX, blueVY, redVX, redVY;
    bool running;
  } const cases[] = {
      {"arrows push blue",
       {Down(SDLK_RIGHT, SDL_SCANCODE_RIGHT), Down(SDLK_UP, SDL_SCANCODE_UP)},
       5,
       -5,
       0,
       0,
       true},
      {"auto-repeats count as presses",
       {Down(SDLK_LEFT, SDL_SCANCODE_LEFT),
        Key(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_NONE, 1),
        Key(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_NONE, 1)},
       -15,
       0,
       0,
       0,
       true},
      {"W A S D push red whatever Shift or Caps Lock say",
       {Down(SDLK_d, SDL_SCANCODE_D, KMOD_LSHIFT), Down(SDLK_s, SDL_SCANCODE_S, KMOD_CAPS),
        Down(SDLK_d, SDL_SCANCODE_D)},
       0,
       0,
       10,
       5,
       true},
      {"key-ups and typed text do nothing",
       {Key(SDL_KEYUP, SDLK_RIGHT, SDL_SCANCODE_RIGHT), Text("d"), Text("w"),
        Key(SDL_KEYUP, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE)},
       0,
       0,
       0,
       0,
       true},
      {"keys without a code are dropped", {Down(SDLK_MUTE, SDL_SCANCODE_MUTE)}, 0, 0, 0, 0, true},
      {"Escape ends the game", {Down(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE)}, 0, 0, 0, 0, false},
      {"a quit request ends the game", {OfType(SDL_QUIT)}, 0, 0, 0, 0, false},
      {"closing the window ends the game", {WindowClose()}, 0, 0, 0, 0, false},
      {"keys before the close still count",
       {Down(SDLK_DOWN, SDL_SCANCODE_DOWN), Down(SDLK_a, SDL_SCANCODE_A), OfType(SDL_QUIT)},
       0,
       5,
       -5,
       0,
       false},
  };
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
  for (const Case& c : cases) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SteadyClock clock;
    PumpedGame game(clock, KeyRepeat::Platform, [] {});
    SdlEventPump& pump = game.pump;
    Form1& form = game.form;
    for (SDL_Event event : c.events) ASSERT_EQ(SDL_PushEvent(&event), 1) << c.name;
    pump.DoEvents(form);
    EXPECT_EQ(form.BluePlayer.VX, c.blueVX) << c.name;
    EXPECT_EQ(form.BluePlayer.VY, c.blueVY) << c.name;
    EXPECT_EQ(form.RedPlayer.VX, c.redVX) << c.name;
    EXPECT_EQ(form.RedPlayer.VY, c.redVY) << c.name;
    EXPECT_EQ(form.Running, c.running) << c.name;
    EXPECT_FALSE(SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) << c.name << ": events left over";
  }
  SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// Against the computer the person's keys of either set steer the person's block; in the demo
// the first key but Escape, a modifier or Alt+Enter is swallowed and hands the blocks back.
TEST(SdlEventPumpTest, APersonAgainstTheComputerSteersOneBlockAndAKeyLeavesTheDemo) {
  enum class Mode { PersonBlue, PersonRed, Demo };
  struct Case {
    const char* name;
    Mode mode;
    std::vector<SDL_Event> events;
    float blueVX, blueVY, redVX, redVY;
    bool running;
    int leaves;
  } const cases[] = {
      {"W A S D steer blue too",
       Mode::PersonBlue,
       {Down(SDLK_d, SDL_SCANCODE_D), Down(SDLK_w, SDL_SCANCODE_W),
        Down(SDLK_RIGHT, SDL_SCANCODE_RIGHT)},
       10,
       -5,
       0,
       0,
       true,
       0},
      {"arrows steer red too",
       Mode::PersonRed,
       {Down(SDLK_UP, SDL_SCANCODE_UP), Down(SDLK_LEFT, SDL_SCANCODE_LEFT),
        Down(SDLK_a, SDL_SCANCODE_A)},
       0,
       0,
       -10,
       -5,
       true,
       0},
      {"a key that is not the game's leaves the demo, once",
       Mode::Demo,
       {Down(SDLK_SPACE, SDL_SCANCODE_SPACE), Down(SDLK_RIGHT, SDL_SCANCODE_RIGHT),
        Down(SDLK_w, SDL_SCANCODE_W)},
       5,
       0,
       0,
       -5,
       true,
       1},
      {"the game's key that leaves the demo does nothing more",
       Mode::Demo,
       {Down(SDLK_RIGHT, SDL_SCANCODE_RIGHT), Down(SDLK_RIGHT, SDL_SCANCODE_RIGHT)},
       5,
       0,
       0,
       0,
       true,
       1},
      {"modifiers, Alt+Enter and Escape do not leave it",
       Mode::Demo,
       {Down(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT), Down(SDLK_LALT, SDL_SCANCODE_LALT),
        Down(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT), Down(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE)},
       0,
       0,
       0,
       0,
       false,
       0},
  };
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
  for (const Case& c : cases) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SteadyClock clock;
    PumpedGame game(clock, KeyRepeat::Platform, [] {});
    int leaves = 0;
    if (c.mode == Mode::PersonBlue) game.pump.SteerOnly(Block::Blue);
    if (c.mode == Mode::PersonRed) game.pump.SteerOnly(Block::Red);
    if (c.mode == Mode::Demo) game.pump.LeaveOnAnyKey([&leaves] { ++leaves; });
    for (SDL_Event event : c.events) ASSERT_EQ(SDL_PushEvent(&event), 1) << c.name;
    game.pump.DoEvents(game.form);
    EXPECT_EQ(game.form.BluePlayer.VX, c.blueVX) << c.name;
    EXPECT_EQ(game.form.BluePlayer.VY, c.blueVY) << c.name;
    EXPECT_EQ(game.form.RedPlayer.VX, c.redVX) << c.name;
    EXPECT_EQ(game.form.RedPlayer.VY, c.redVY) << c.name;
    EXPECT_EQ(game.form.Running, c.running) << c.name;
    EXPECT_EQ(leaves, c.leaves) << c.name;
  }
  SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// A push small enough for velocities to count key-downs exactly without the blocks going far.
constexpr float kCountingAccel = 1.0f / 1024;

// Passes of the frame loop with held keys: how many key-downs each block got by the end of each
// pass (blue's Right, red's W), and how often the display was switched between full screen and
// a window. The red block is dead where the case says, so that an Enter reaching the game
// starts a new round, which shows in its health. At the end, the keys the pump says are held.
TEST(SdlEventPumpTest, HeldKeysRepeatAsAskedAndAltEnterIsNotTheGames) {
  struct Pass {
    int atMillis;
    std::vector<SDL_Event> events;
    int blueRight, redUp, switches;
  };
  struct Case {
    const char* name;
    KeyRepeat repeat;
    bool redDead;
    std::vector<Pass> passes;
    std::vector<int16_t> heldAtEnd;
  };
  const SDL_Event right = Down(SDLK_RIGHT, SDL_SCANCODE_RIGHT);
  const SDL_Event rightRepeat = Repeat(SDLK_RIGHT, SDL_SCANCODE_RIGHT);
  const SDL_Event w = Down(SDLK_w, SDL_SCANCODE_W);
  const SDL_Event wRepeat = Repeat(SDLK_w, SDL_SCANCODE_W);
  const SDL_Event altEnter = Down(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT);
  const SDL_Event altEnterRepeat = Repeat(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT);
  const SDL_Event enterRepeat = Repeat(SDLK_RETURN, SDL_SCANCODE_RETURN);
  const SDL_Event altUp = Up(SDLK_LALT, SDL_SCANCODE_LALT);
  const SDL_Event enterUp = Up(SDLK_RETURN, SDL_SCANCODE_RETURN);
  const Case cases[] = {
      {"each: two held keys repeat on their own, 500 ms then every 33 ms; the platform's "
       "repeats are ignored",
       KeyRepeat::Each,
       false,
       {{0, {right}, 1, 0, 0},
        {100, {w}, 1, 1, 0},
        {499, {}, 1, 1, 0},
        {500, {rightRepeat}, 2, 1, 0},
        {600, {wRepeat, wRepeat}, 3, 2, 0},
        {633, {wRepeat}, 4, 3, 0}},
       {39, 87}},
      {"each: letting go of one key stops that key only",
       KeyRepeat::Each,
       false,
       {{0, {right, w}, 1, 1, 0},
        {500, {}, 2, 2, 0},
        {510, {Up(SDLK_RIGHT, SDL_SCANCODE_RIGHT)}, 2, 2, 0},
        {533, {}, 2, 3, 0},
        {1100, {}, 2, 4, 0}},
       {87}},
      {"off: a key goes down once however long it is held; the platform's repeats are ignored",
       KeyRepeat::Off,
       false,
       {{0, {right}, 1, 0, 0}, {600, {rightRepeat}, 1, 0, 0}, {1000, {w, wRepeat}, 1, 1, 0}},
       {39, 87}},
      {"platform: the platform's repeats are the only ones",
       KeyRepeat::Platform,
       false,
       {{0, {right}, 1, 0, 0}, {600, {}, 1, 0, 0}, {700, {rightRepeat, rightRepeat}, 3, 0, 0}},
       {}},
      {"platform: Alt+Enter switches the display; its Enter, repeats too, is not the game's",
       KeyRepeat::Platform,
       true,
       {{0, {altEnter, altEnterRepeat}, 0, 0, 1},
        {100, {altUp, enterRepeat, right}, 1, 0, 1},
        {200, {enterUp, altEnter}, 1, 0, 2}},
       {}},
      {"each: Alt+Enter neither reaches the game nor repeats",
       KeyRepeat::Each,
       true,
       {{0, {altEnter}, 0, 0, 1},
        {600, {altUp, enterRepeat}, 0, 0, 1},
        {700, {enterUp, right}, 1, 0, 1},
        {1200, {}, 2, 0, 1}},
       {39}},
  };
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
  for (const Case& c : cases) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    test::FakeClock clock;
    const int64_t start = clock.now;
    int switches = 0;
    PumpedGame game(
        clock, c.repeat, [&switches] { ++switches; }, ZORVANE_APP_DIR);
    SdlEventPump& pump = game.pump;
    Form1& form = game.form;
    form.DD = std::make_unique<DirectDraw>(game.screen);  // the dead block's bitmap is loaded
    form.BluePlayer.Accel = form.RedPlayer.Accel = kCountingAccel;
    form.RedPlayer.MaxHealth = 100;
    if (c.redDead) form.RedPlayer.Health = 0;
    for (const Pass& pass : c.passes) {
      clock.now = start + pass.atMillis * 1000LL;
      for (SDL_Event event : pass.events) ASSERT_EQ(SDL_PushEvent(&event), 1) << c.name;
      pump.DoEvents(form);
      EXPECT_EQ(form.RedPlayer.Health, c.redDead ? 0 : 100)
          << c.name << " at " << pass.atMillis << " ms: an Enter reached the game";
      EXPECT_EQ(form.BluePlayer.VX / kCountingAccel, pass.blueRight)
          << c.name << " at " << pass.atMillis << " ms";
      EXPECT_EQ(-form.RedPlayer.VY / kCountingAccel, pass.redUp)
          << c.name << " at " << pass.atMillis << " ms";
      EXPECT_EQ(switches, pass.switches) << c.name << " at " << pass.atMillis << " ms";
    }
    EXPECT_EQ(pump.HeldKeys(), c.heldAtEnd) << c.name;
  }
  SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

TEST(SdlEventPumpTest, AControllersKeyDownsComeInTheirOwnPass) {
  const test::ScopedEnv video("SDL_VIDEODRIVER", "dummy");
  test::FakeClock clock;
  PumpedGame game(clock, KeyRepeat::Platform, [] {});
  SdlEventPump& pump = game.pump;
  Form1& form = game.form;
  form.BluePlayer.Accel = kCountingAccel;
  test::VirtualPads pads;
  ASSERT_TRUE(pads.Plug(0)) << SDL_GetError();
  pump.DoEvents(form);
  pads.SetButton(0, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  clock.now += EventQueue::kTimerIntervalMicros;
  pump.DoEvents(form);
  EXPECT_EQ(form.BluePlayer.VX, kCountingAccel);
  EXPECT_EQ(form.BluePlayer.X, 300 + kCountingAccel) << "the tick ran before the key-down";
  // The first repeat falls due 500 ms after the press, and goes in with that pass too.
  clock.now += KeyRepeater::kDelayMicros;
  pump.DoEvents(form);
  EXPECT_EQ(form.BluePlayer.VX, 2 * kCountingAccel);
}

// The viewer's keys and a controller's buttons, pass after pass, on a recording of a minute in
// which nothing moves, whose clock stands still: where each leaves the picture, the speed and the
// pause. None of them reaches the game, where the arrows and W A S D would move a block.
TEST(ViewerPumpTest, KeysAndButtonsDriveTheViewerNeverTheGame) {
  const test::ScopedEnv video("SDL_VIDEODRIVER", "dummy");
  test::TempDir dir;
  test::WriteGameFiles(dir.path(), test::DefaultSettingsText());
  test::WriteFile(dir / "minute.rec",
                  "settings 5 0 30 15 0 100 5 0 30 15 0 100\nseed 1\ntick 3000\n");
  test::ViewedRecording v(dir.path(), ReadScriptFile(dir / "minute.rec"));
  FramePacer pacer(v.clock, [](int64_t) {});
  SdlScreen screen(dir.path(), pacer);
  ViewerPump pump(pacer, v.viewer, screen);
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
  test::VirtualPads pads;
  ASSERT_TRUE(pads.Plug(0)) << SDL_GetError();

  struct Pass {
    const char* name;
    int button;  // held down during the pass; -1 for none
    int64_t tick;
    int speed;
    bool paused;
    std::vector<SDL_Event> events;
  } const passes[] = {
      {"the controller is taken", -1, 0, 0, false, {}},
      {"Right jumps 5 s", -1, 250, 0, false, {Down(SDLK_RIGHT, SDL_SCANCODE_RIGHT)}},
      {"Shift+Right 30 s", -1, 1750, 0, false, {Down(SDLK_RIGHT, SDL_SCANCODE_RIGHT, KMOD_LSHIFT)}},
      {"Left and Shift+Left jump back, no further than the start",
       -1,
       0,
       0,
       false,
       {Down(SDLK_LEFT, SDL_SCANCODE_LEFT), Down(SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_RSHIFT),
        Repeat(SDLK_LEFT, SDL_SCANCODE_LEFT)}},
      {"Up doubles the speed up to 16x", -1, 0, 4, false,
       std::vector<SDL_Event>(6, Down(SDLK_UP, SDL_SCANCODE_UP))},
      {"Down halves it down to 1/8x", -1, 0, -3, false,
       std::vector<SDL_Event>(9, Down(SDLK_DOWN, SDL_SCANCODE_DOWN))},
      {"a step needs a pause", -1, 0, -3, false, {Down(SDLK_PERIOD, SDL_SCANCODE_PERIOD)}},
      {"Space pauses, its repeat does nothing, . and , step",
       -1,
       2,
       -3,
       true,
       {Down(SDLK_SPACE, SDL_SCANCODE_SPACE), Repeat(SDLK_SPACE, SDL_SCANCODE_SPACE),
        Down(SDLK_PERIOD, SDL_SCANCODE_PERIOD), Repeat(SDLK_PERIOD, SDL_SCANCODE_PERIOD),
        Down(SDLK_PERIOD, SDL_SCANCODE_PERIOD), Down(SDLK_COMMA, SDL_SCANCODE_COMMA)}},
      {"End shows the last tick", -1, 3000, -3, true, {Down(SDLK_END, SDL_SCANCODE_END)}},
      {"Home the first", -1, 0, -3, true, {Down(SDLK_HOME, SDL_SCANCODE_HOME)}},
      {"Enter and D do nothing",
       -1,
       0,
       -3,
       true,
       {Down(SDLK_RETURN, SDL_SCANCODE_RETURN), Down(SDLK_d, SDL_SCANCODE_D)}},
      {"A plays on", SDL_CONTROLLER_BUTTON_A, 0, -3, false, {}},
      {"the d-pad jumps", SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 250, -3, false, {}},
      {"and changes the speed", SDL_CONTROLLER_BUTTON_DPAD_UP, 250, -2, false, {}},
  };
  for (const Pass& pass : passes) {
    if (pass.button >= 0) pads.SetButton(0, pass.button, true);
    for (SDL_Event event : pass.events) ASSERT_EQ(SDL_PushEvent(&event), 1) << pass.name;
    pump.DoEvents(v.form);
    EXPECT_EQ(v.viewer.tick(), pass.tick) << pass.name;
    EXPECT_EQ(v.viewer.speed(), pass.speed) << pass.name;
    EXPECT_EQ(v.viewer.paused(), pass.paused) << pass.name;
    EXPECT_TRUE(v.form.Running) << pass.name;
    for (const PlayerState* block : {&v.form.BluePlayer, &v.form.RedPlayer}) {
      EXPECT_EQ(block->VX, 0) << pass.name;
      EXPECT_EQ(block->VY, 0) << pass.name;
    }
    if (pass.button >= 0) pads.SetButton(0, pass.button, false);
  }
  SDL_Event escape = Down(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
  SDL_PushEvent(&escape);
  pump.DoEvents(v.form);
  EXPECT_FALSE(v.form.Running) << "Escape ends the show";
  SDL_QuitSubSystem(SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER);
}

}  // namespace
}  // namespace zorvane

#include <gtest/gtest.h>

#include <vector>

#include "game/form1.h"
#include "game/headless_screen.h"
#include "game/sdl/sdl_event_pump.h"
#include "game/sound_service.h"

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

void Ready(PlayerState& p, float x, float y) {
  p.X = x;
  p.Y = y;
  p.Health = 100;
  p.Accel = 5;
  p.Size = 30;
  p.MaxSpeed = 100;
}

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
    FramePacer pacer(clock, [](int64_t) {});
    SdlEventPump pump(pacer);
    HeadlessScreen screen;
    RecordingSound sound;
    Form1 form(GameHost{PortableLayout("/nowhere"), screen, pump, sound});
    form.Running = true;
    Ready(form.BluePlayer, 300, 300);
    Ready(form.RedPlayer, 100, 100);
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

}  // namespace
}  // namespace zorvane

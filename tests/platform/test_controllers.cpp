#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "game/sdl/input/sdl_controllers.h"
#include "tests/support/fake_clock.h"
#include "tests/support/scoped_env.h"
#include "tests/support/virtual_pads.h"

namespace zorvane {
namespace {

// One thing a player does to a controller, and the key-downs the game must get for it in the
// same pass.
struct Step {
  enum Kind { kPlug, kUnplug, kButton, kAxis, kWait } kind;
  int pad;
  int control;  // an SDL_GameControllerButton or SDL_GameControllerAxis
  int value;    // 1 or 0 for a button, the position for an axis, milliseconds for a wait
  std::vector<int> keys;
};

Step Plug(int pad, std::vector<int> keys = {}) { return {Step::kPlug, pad, 0, 0, keys}; }
Step Unplug(int pad, std::vector<int> keys = {}) { return {Step::kUnplug, pad, 0, 0, keys}; }
Step Press(int pad, int button, std::vector<int> keys = {}) {
  return {Step::kButton, pad, button, 1, keys};
}
Step Let(int pad, int button, std::vector<int> keys = {}) {
  return {Step::kButton, pad, button, 0, keys};
}
Step Stick(int pad, int axis, int value, std::vector<int> keys = {}) {
  return {Step::kAxis, pad, axis, value, keys};
}
Step Wait(int millis, std::vector<int> keys = {}) { return {Step::kWait, 0, 0, millis, keys}; }

constexpr int kLeft = SDL_CONTROLLER_BUTTON_DPAD_LEFT;
constexpr int kUp = SDL_CONTROLLER_BUTTON_DPAD_UP;
constexpr int kRight = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
constexpr int kDown = SDL_CONTROLLER_BUTTON_DPAD_DOWN;
constexpr int kX = SDL_CONTROLLER_AXIS_LEFTX;
constexpr int kY = SDL_CONTROLLER_AXIS_LEFTY;
constexpr int kBack = SDL_CONTROLLER_BUTTON_BACK;

TEST(ControllersTest, ControllersPressTheKeysOfTheBlockTheyDrive) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
  } const cases[] = {
      {"the first controller drives blue with the arrows' codes",
       {Plug(0), Press(0, kRight, {39}), Let(0, kRight), Press(0, kLeft, {37}), Let(0, kLeft),
        Press(0, kUp, {38}), Let(0, kUp), Press(0, kDown, {40}), Let(0, kDown)}},
      {"the second drives red with the codes of W A S D",
       {Plug(0), Plug(1), Press(1, kUp, {87}), Press(1, kLeft, {65}), Press(1, kDown, {83}),
        Press(1, kRight, {68})}},
      {"a held direction repeats after 500 ms, then every 33 ms, until let go",
       {Plug(0), Press(0, kRight, {39}), Wait(499), Wait(1, {39}), Wait(32), Wait(1, {39}),
        Wait(33, {39}), Let(0, kRight), Wait(500)}},
      {"a late pass gets one repeat, and the beat goes on",
       {Plug(0), Press(0, kRight, {39}), Wait(500, {39}), Wait(200, {39}), Wait(30),
        Wait(1, {39})}},
      {"both directions of a diagonal repeat, each on its own",
       {Plug(0), Press(0, kUp, {38}), Wait(100), Press(0, kRight, {39}), Wait(400, {38}),
        Wait(33, {38}), Wait(33, {38}), Wait(33, {38}), Wait(1, {39}), Wait(32, {38}),
        Wait(1, {39}), Let(0, kUp), Wait(33, {39})}},
      {"the stick pushes at half its travel and lets go under three eighths",
       {Plug(0), Stick(0, kX, 16383), Stick(0, kX, 16384, {39}), Stick(0, kX, 12288),
        Stick(0, kX, 16384), Wait(500, {39}), Stick(0, kX, 12287), Wait(500),
        Stick(0, kX, -16384, {37}), Stick(0, kX, 0), Stick(0, kY, -32768, {38}),
        Stick(0, kY, 32767, {40})}},
      {"d-pad and stick pushing one way are one key",
       {Plug(0), Press(0, kRight, {39}), Stick(0, kX, 20000), Let(0, kRight), Wait(500, {39}),
        Stick(0, kX, 0), Wait(500)}},
      {"Start and A are Enter; no other button or axis does anything",
       {Plug(0), Press(0, SDL_CONTROLLER_BUTTON_START, {13}),
        Press(0, SDL_CONTROLLER_BUTTON_A, {13}), Press(0, SDL_CONTROLLER_BUTTON_B),
        Press(0, SDL_CONTROLLER_BUTTON_X), Press(0, SDL_CONTROLLER_BUTTON_Y),
        Press(0, SDL_CONTROLLER_BUTTON_GUIDE), Press(0, SDL_CONTROLLER_BUTTON_LEFTSHOULDER),
        Press(0, SDL_CONTROLLER_BUTTON_LEFTSTICK), Stick(0, SDL_CONTROLLER_AXIS_RIGHTX, 32767),
        Stick(0, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767), Wait(1000)}},
      {"Back held for a second is Escape, once",
       {Plug(1), Press(1, kBack), Wait(999), Wait(1, {27}), Wait(1000), Let(1, kBack)}},
      {"Back let go before a second is nothing",
       {Plug(0), Press(0, kBack), Wait(900), Let(0, kBack), Wait(500), Press(0, kBack), Wait(999),
        Let(0, kBack), Wait(1000)}},
      {"unplugging frees a block; a new controller takes the first free one",
       {Plug(0), Plug(1), Unplug(0), Press(1, kRight, {68}), Plug(2), Press(2, kRight, {39}),
        Plug(3), Press(3, kLeft), Unplug(1), Press(3, kUp), Plug(4), Press(4, kUp, {87})}},
      {"an unplugged controller's held direction stops repeating",
       {Plug(0), Press(0, kRight, {39}), Unplug(0), Wait(500), Plug(1), Wait(500)}},
  };
  const test::ScopedEnv video("SDL_VIDEODRIVER", "dummy");
  for (const Case& c : cases) {
    test::FakeClock clock;
    std::vector<int> posted;
    SdlControllers controllers(clock, [&posted](int16_t key) { posted.push_back(key); });
    test::VirtualPads pads;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      switch (step.kind) {
        case Step::kPlug:
          ASSERT_TRUE(pads.Plug(step.pad)) << SDL_GetError();
          break;
        case Step::kUnplug:
          pads.Unplug(step.pad);
          break;
        case Step::kButton:
          pads.SetButton(step.pad, step.control, step.value != 0);
          break;
        case Step::kAxis:
          pads.SetAxis(step.pad, step.control, step.value);
          break;
        case Step::kWait:
          clock.now += step.value * 1000LL;
          break;
      }
      // One pass of the frame loop: SDL's events, then what has fallen due.
      SDL_Event event;
      while (SDL_PollEvent(&event)) controllers.Take(event);
      controllers.PostDue(true);
      EXPECT_EQ(posted, step.keys) << c.name << ", step " << i;
      posted.clear();
    }
  }
}

}  // namespace
}  // namespace zorvane

#include <gtest/gtest.h>

#include "game/sdl/input/virtual_key.h"

namespace zorvane {
namespace {

struct KeyCase {
  const char* name;
  SDL_Keycode key;
  SDL_Scancode scancode;
  int expected;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.name; }

class VirtualKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(VirtualKeyTest, GivesTheWindowsCode) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(VirtualKeyCode(c.key, c.scancode), c.expected) << c.name;
}

// What the game listens to, the runs that are computed, and the named keys around them.
INSTANTIATE_TEST_SUITE_P(
    Keys, VirtualKeyTest,
    ::testing::Values(
        KeyCase{"Left", SDLK_LEFT, SDL_SCANCODE_LEFT, 37},
        KeyCase{"Up", SDLK_UP, SDL_SCANCODE_UP, 38},
        KeyCase{"Right", SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},
        KeyCase{"Down", SDLK_DOWN, SDL_SCANCODE_DOWN, 40}, KeyCase{"a", SDLK_a, SDL_SCANCODE_A, 65},
        KeyCase{"d", SDLK_d, SDL_SCANCODE_D, 68}, KeyCase{"s", SDLK_s, SDL_SCANCODE_S, 83},
        KeyCase{"w", SDLK_w, SDL_SCANCODE_W, 87}, KeyCase{"z", SDLK_z, SDL_SCANCODE_Z, 90},
        // A French keyboard's top-left letter reports a, at the position of Q.
        KeyCase{"a on AZERTY", SDLK_a, SDL_SCANCODE_Q, 65},
        KeyCase{"0", SDLK_0, SDL_SCANCODE_0, 48}, KeyCase{"9", SDLK_9, SDL_SCANCODE_9, 57},
        KeyCase{"Return", SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
        KeyCase{"keypad Enter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
        KeyCase{"Escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},
        KeyCase{"Space", SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
        KeyCase{"Backspace", SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8},
        KeyCase{"Tab", SDLK_TAB, SDL_SCANCODE_TAB, 9}, KeyCase{"F1", SDLK_F1, SDL_SCANCODE_F1, 112},
        KeyCase{"F12", SDLK_F12, SDL_SCANCODE_F12, 123},
        KeyCase{"keypad 0", SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
        KeyCase{"keypad 9", SDLK_KP_9, SDL_SCANCODE_KP_9, 105},
        KeyCase{"left Shift", SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 16},
        KeyCase{"left Ctrl", SDLK_LCTRL, SDL_SCANCODE_LCTRL, 17},
        KeyCase{"right Alt", SDLK_RALT, SDL_SCANCODE_RALT, 18},
        KeyCase{"Home", SDLK_HOME, SDL_SCANCODE_HOME, 36},
        KeyCase{"semicolon", SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 186},
        KeyCase{"quote", SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 222},
        // A Cyrillic layout's letters: the position decides.
        KeyCase{"Cyrillic tse on W", 0x0446, SDL_SCANCODE_W, 87},
        // Keys without a code are dropped.
        KeyCase{"unknown", SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0},
        KeyCase{"Power", SDLK_POWER, SDL_SCANCODE_POWER, 0},
        KeyCase{"Cyrillic on no letter key", 0x0451, SDL_SCANCODE_GRAVE, 0}),
    [](const ::testing::TestParamInfo<KeyCase>& info) {
      std::string name;
      for (const char* p = info.param.name; *p; ++p) {
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      }
      return name + "_" + std::to_string(info.index);
    });

TEST(ShiftStateTest, GivesWindowsShiftBits) {
  struct Case {
    uint16_t mod;
    int16_t expected;
  } const cases[] = {
      {KMOD_NONE, 0},
      {KMOD_LSHIFT, 1},
      {KMOD_RSHIFT, 1},
      {KMOD_LCTRL, 2},
      {KMOD_RALT, 4},
      {KMOD_LSHIFT | KMOD_RCTRL | KMOD_LALT, 7},
      // Caps Lock and Num Lock are not shift keys.
      {KMOD_CAPS | KMOD_NUM, 0},
      {KMOD_CAPS | KMOD_LSHIFT, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ShiftState(c.mod), c.expected) << "mod " << c.mod;
}

}  // namespace
}  // namespace zorvane

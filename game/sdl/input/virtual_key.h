#pragma once

#include <SDL.h>

#include <cstdint>

namespace zorvane {

// The value KeyDown handlers get for a key with no code: such keys are not passed on.
inline constexpr int kNoVirtualKey = 0;

// The Windows virtual-key code of a key as SDL reports it. Letters and digits are the same keys
// whatever Shift or Caps Lock say; on a layout whose letters are not Latin (a Cyrillic key
// reports its own character) the key's position on the keyboard decides, as Windows does.
int VirtualKeyCode(SDL_Keycode key, SDL_Scancode scancode);

// The Shift argument of KeyDown: 1 for Shift, 2 for Ctrl, 4 for Alt, added together.
int16_t ShiftState(uint16_t sdlModifiers);

}  // namespace zorvane

#include "game/sdl/input/virtual_key.h"

namespace zorvane {
namespace {

struct KeyPair {
  SDL_Keycode key;
  int code;
};

// Keys whose code does not follow from a run of neighbours.
constexpr KeyPair kNamedKeys[] = {
    {SDLK_BACKSPACE, 8},     {SDLK_TAB, 9},           {SDLK_KP_TAB, 9},
    {SDLK_CLEAR, 12},        {SDLK_RETURN, 13},       {SDLK_RETURN2, 13},
    {SDLK_KP_ENTER, 13},     {SDLK_LSHIFT, 16},       {SDLK_RSHIFT, 16},
    {SDLK_LCTRL, 17},        {SDLK_RCTRL, 17},        {SDLK_LALT, 18},
    {SDLK_RALT, 18},         {SDLK_PAUSE, 19},        {SDLK_CAPSLOCK, 20},
    {SDLK_ESCAPE, 27},       {SDLK_SPACE, 32},        {SDLK_PAGEUP, 33},
    {SDLK_PRIOR, 33},        {SDLK_PAGEDOWN, 34},     {SDLK_END, 35},
    {SDLK_HOME, 36},         {SDLK_LEFT, 37},         {SDLK_UP, 38},
    {SDLK_RIGHT, 39},        {SDLK_DOWN, 40},         {SDLK_SELECT, 41},
    {SDLK_EXECUTE, 43},      {SDLK_PRINTSCREEN, 44},  {SDLK_INSERT, 45},
    {SDLK_DELETE, 46},       {SDLK_HELP, 47},         {SDLK_LGUI, 91},
    {SDLK_RGUI, 92},         {SDLK_APPLICATION, 93},  {SDLK_MENU, 93},
    {SDLK_SLEEP, 95},        {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, 107},
    {SDLK_SEPARATOR, 108},   {SDLK_KP_MINUS, 109},    {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DECIMAL, 110},  {SDLK_KP_DIVIDE, 111},   {SDLK_NUMLOCKCLEAR, 144},
    {SDLK_SCROLLLOCK, 145},  {SDLK_SEMICOLON, 186},   {SDLK_EQUALS, 187},
    {SDLK_PLUS, 187},        {SDLK_COMMA, 188},       {SDLK_MINUS, 189},
    {SDLK_PERIOD, 190},      {SDLK_SLASH, 191},       {SDLK_BACKQUOTE, 192},
    {SDLK_LEFTBRACKET, 219}, {SDLK_BACKSLASH, 220},   {SDLK_RIGHTBRACKET, 221},
    {SDLK_QUOTE, 222},       {SDLK_EXCLAIM, 223},     {SDLK_LESS, 226},
};

// Keys that come in runs: a-z, 0-9, F1-F12, F13-F24 and the keypad digits 1-9.
struct KeyRun {
  SDL_Keycode first;
  SDL_Keycode last;
  int firstCode;
};

constexpr KeyRun kKeyRuns[] = {
    {SDLK_a, SDLK_z, 'A'},     {SDLK_0, SDLK_9, '0'},      {SDLK_F1, SDLK_F12, 112},
    {SDLK_F13, SDLK_F24, 124}, {SDLK_KP_1, SDLK_KP_9, 97}, {SDLK_KP_0, SDLK_KP_0, 96},
};

int CodeOfKey(SDL_Keycode key) {
  for (const KeyRun& run : kKeyRuns) {
    if (key >= run.first && key <= run.last) return run.firstCode + (key - run.first);
  }
  for (const KeyPair& pair : kNamedKeys) {
    if (pair.key == key) return pair.code;
  }
  return kNoVirtualKey;
}

// The letter or digit printed on a US keyboard at this position.
int CodeOfPosition(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return 'A' + (scancode - SDL_SCANCODE_A);
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return '1' + (scancode - SDL_SCANCODE_1);
  }
  if (scancode == SDL_SCANCODE_0) return '0';
  return kNoVirtualKey;
}

}  // namespace

int VirtualKeyCode(SDL_Keycode key, SDL_Scancode scancode) {
  const int code = CodeOfKey(key);
  if (code != kNoVirtualKey) return code;
  // Characters outside Latin-1 are what a non-Latin layout puts on the letter keys.
  const bool layoutCharacter = key > 0xFF && (key & SDLK_SCANCODE_MASK) == 0;
  return layoutCharacter ? CodeOfPosition(scancode) : kNoVirtualKey;
}

int16_t ShiftState(uint16_t sdlModifiers) {
  int16_t state = 0;
  if (sdlModifiers & KMOD_SHIFT) state |= 1;
  if (sdlModifiers & KMOD_CTRL) state |= 2;
  if (sdlModifiers & KMOD_ALT) state |= 4;
  return state;
}

}  // namespace zorvane

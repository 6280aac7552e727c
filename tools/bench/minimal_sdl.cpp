// minimal-sdl: the least an SDL2 program does to put one picture over the whole screen, set up as
// the game sets up its window on a bare X server (a window covering the desktop at the desktop's
// own mode, a plain window surface, one present). The floor under the game's start to its first
// frame. It stays until told to quit.
#define SDL_MAIN_HANDLED
#include <SDL.h>

int main() {
  SDL_SetMainReady();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(0, &bounds) != 0) return 1;
  // No full-screen request: with no window manager to answer it SDL waits for the answer in vain
  // (about 0.1 s more here), and the game does not ask where none runs.
  SDL_Window* window =
      SDL_CreateWindow("minimal-sdl", bounds.x, bounds.y, bounds.w, bounds.h, SDL_WINDOW_SHOWN);
  if (window == nullptr) return 1;
  // As the game does where no GPU is: a plain image, not an OpenGL texture.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (surface == nullptr) return 1;
  // Anything but black, so that the picture can be seen to arrive.
  if (SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0x20, 0x60, 0xA0)) != 0) return 1;
  if (SDL_UpdateWindowSurface(window) != 0) return 1;
  // SIGTERM arrives as a quit event.
  SDL_Event event;
  while (SDL_WaitEvent(&event) && event.type != SDL_QUIT) {
  }
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}

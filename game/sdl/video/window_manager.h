#pragma once

#include <SDL.h>

namespace zorvane {

// Whether something on the window's display answers full-screen requests. On X11 that is an
// EWMH window manager; without one a request goes unanswered (and SDL waits 100 ms for nothing),
// while a window placed over the whole display covers it anyway. Other video drivers make
// windows full screen themselves.
bool FullScreenIsManaged(SDL_Window* window);

}  // namespace zorvane

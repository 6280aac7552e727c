#include "game/sdl/video/window_manager.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>

namespace zorvane {

bool FullScreenIsManaged(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return true;
  Display* display = info.info.x11.display;
  // An EWMH window manager names its check window on the root window.
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long items = 0;
  unsigned long remaining = 0;
  unsigned char* value = nullptr;
  const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                        XA_WINDOW, &type, &format, &items, &remaining, &value);
  if (value != nullptr) XFree(value);
  return status == Success && type == XA_WINDOW && items == 1;
}

}  // namespace zorvane

#include "game/sdl/game_window.h"

#include "game/sdl/no_display_error.h"
#include "game/sdl/window_manager.h"
#include "game/sdl_ptr.h"

namespace zorvane {
namespace {

constexpr int kCursorSize = 32;

int DisplayOf(SDL_Window* window) {
  const int display = SDL_GetWindowDisplayIndex(window);
  return display < 0 ? 0 : display;
}

// A 32 x 32 cursor with every pixel transparent, hot spot at the top left.
SDL_Cursor* MakeBlankCursor() {
  static const Uint8 kClear[kCursorSize * kCursorSize / 8] = {};
  return SDL_CreateCursor(kClear, kClear, kCursorSize, kCursorSize, 0, 0);
}

}  // namespace

GameWindow::GameWindow(const std::string& iconPath, uint32_t extraFlags) {
  window_ = SDL_CreateWindow(kCaption, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kWidth,
                             kHeight, SDL_WINDOW_SHOWN | extraFlags);
  if (window_ == nullptr) {
    throw NoDisplayError(std::string("cannot create a window: ") + SDL_GetError());
  }
  // Without its icon file the window shows the desktop's default icon.
  if (const SdlSurfacePtr icon{SDL_LoadBMP(iconPath.c_str())})
    SDL_SetWindowIcon(window_, icon.get());
  cursor_ = MakeBlankCursor();
  if (cursor_ != nullptr) SDL_SetCursor(cursor_);
  // The game reads keys, never text: no input method in the way.
  SDL_StopTextInput();
}

GameWindow::~GameWindow() {
  SDL_DestroyWindow(window_);
  if (cursor_ != nullptr) SDL_FreeCursor(cursor_);
}

bool GameWindow::EnterFullScreen() {
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(DisplayOf(window_), &bounds) != 0) return false;
  // Without a window manager nobody moves or grows a full-screen window: SDL would believe it
  // covers the display while it stays small. So it is put over the display first, and that is
  // all there is to do where no window manager would answer the request.
  SDL_SetWindowPosition(window_, bounds.x, bounds.y);
  SDL_SetWindowSize(window_, bounds.w, bounds.h);
  if (!FullScreenIsManaged(window_)) {
    SDL_RaiseWindow(window_);
    return true;
  }
  if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    SDL_SetWindowSize(window_, kWidth, kHeight);
    return false;
  }
  SDL_RaiseWindow(window_);
  return true;
}

void GameWindow::LeaveFullScreen() {
  // Should this fail, the window covers the display only until it is hidden, next.
  SDL_SetWindowFullscreen(window_, 0);
  SDL_SetWindowSize(window_, kWidth, kHeight);
}

void GameWindow::Hide() { SDL_HideWindow(window_); }

bool GameWindow::Visible() const {
  const Uint32 flags = SDL_GetWindowFlags(window_);
  return (flags & SDL_WINDOW_SHOWN) && !(flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN));
}

int GameWindow::RefreshRate() const {
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(DisplayOf(window_), &mode) != 0) return 0;
  return mode.refresh_rate;
}

}  // namespace zorvane

#include "game/sdl/video/game_window.h"

#include "game/display/sdl_ptr.h"
#include "game/sdl/video/no_display_error.h"
#include "game/sdl/video/picture_placement.h"
#include "game/sdl/video/window_manager.h"

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

// The largest whole multiple of the picture (shrunk below one) that fits the usable area of the
// window's display, frame included where the window manager says how wide it is, centred.
SDL_Rect LargestWindowPlace(SDL_Window* window) {
  SDL_Rect area;
  if (SDL_GetDisplayUsableBounds(DisplayOf(window), &area) != 0) {
    return {SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kPictureWidth, kPictureHeight};
  }
  int top = 0, left = 0, bottom = 0, right = 0;
  if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0) {
    area = {area.x + left, area.y + top, area.w - left - right, area.h - top - bottom};
  }
  const PicturePlacement p = PlacePicture(area.w, area.h, kPictureWidth, kPictureHeight);
  return {area.x + p.x, area.y + p.y, p.width, p.height};
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
  if (inWindow_) {
    SDL_Rect place;
    SDL_GetWindowPosition(window_, &place.x, &place.y);
    SDL_GetWindowSize(window_, &place.w, &place.h);
    windowPlace_ = place;
    inWindow_ = false;
  }
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

bool GameWindow::EnterWindow() {
  if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0 &&
      SDL_SetWindowFullscreen(window_, 0) != 0) {
    return false;
  }
  const SDL_Rect place = windowPlace_ ? *windowPlace_ : LargestWindowPlace(window_);
  SDL_SetWindowResizable(window_, SDL_TRUE);
  SDL_SetWindowSize(window_, place.w, place.h);
  SDL_SetWindowPosition(window_, place.x, place.y);
  SDL_RaiseWindow(window_);
  inWindow_ = true;
  return true;
}

void GameWindow::LeaveFullScreen() {
  // Should this fail, the window covers the display only until it is hidden, next.
  SDL_SetWindowFullscreen(window_, 0);
  SDL_SetWindowSize(window_, kWidth, kHeight);
}

void GameWindow::Hide() { SDL_HideWindow(window_); }

void GameWindow::ShowPointer(bool shown) {
  if (cursor_ != nullptr) SDL_SetCursor(shown ? SDL_GetDefaultCursor() : cursor_);
}

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

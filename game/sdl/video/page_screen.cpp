#include "game/sdl/video/page_screen.h"

#include <string>

#include "game/sdl/video/game_window.h"
#include "game/sdl/video/no_display_error.h"
#include "game/sdl/video/picture_placement.h"
#include "game/sdl/video/window_surface_presenter.h"

namespace zorvane {

PageScreen::~PageScreen() { Close(); }

bool PageScreen::OpenDevice() {
  if (videoStarted_) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    throw NoDisplayError(std::string("no display: ") + SDL_GetError());
  }
  videoStarted_ = true;
  return true;
}

void PageScreen::ShowWindow() {
  if (window_ != nullptr) return;
  window_ =
      SDL_CreateWindow(GameWindow::kCaption, 0, 0, kPictureWidth, kPictureHeight, SDL_WINDOW_SHOWN);
  if (window_ == nullptr) {
    throw NoDisplayError(std::string("cannot use the page's canvas: ") + SDL_GetError());
  }
}

bool PageScreen::SetMode(int width, int height, int bitsPerPixel) {
  if (window_ == nullptr || width != kPictureWidth || height != kPictureHeight ||
      bitsPerPixel != kPictureBits) {
    return false;
  }
  presenter_ = WindowSurfacePresenter::Create(window_);
  return presenter_ != nullptr;
}

bool PageScreen::Present(const Surface& frame) { return presenter_ && presenter_->Present(frame); }

void PageScreen::Close() {
  presenter_.reset();
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  window_ = nullptr;
  if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  videoStarted_ = false;
}

}  // namespace zorvane

#include "game/sdl/video/sdl_screen.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <utility>

#include "game/sdl/video/hardware_renderer.h"
#include "game/sdl/video/no_display_error.h"
#include "game/sdl/video/picture_placement.h"
#include "game/sdl/video/renderer_presenter.h"
#include "game/sdl/video/window_surface_presenter.h"
#include "settings/program_dir.h"

namespace zorvane {
namespace {

// SDL falls back to its offscreen driver, silently, where no display server answers. Only a
// driver asked for by name may be one that shows nothing.
bool ShowsNothing(const char* driver) {
  if (driver == nullptr) return true;
  const char* requested = std::getenv("SDL_VIDEODRIVER");
  const bool asked = requested != nullptr && std::strcmp(requested, driver) == 0;
  return !asked && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

}  // namespace

SdlScreen::SdlScreen(std::string dataDirectory, FramePacer& pacer, bool inWindow)
    : dataDirectory_(std::move(dataDirectory)), pacer_(pacer), inWindow_(inWindow) {}

SdlScreen::~SdlScreen() { Close(); }

bool SdlScreen::OpenDevice() {
  if (videoStarted_) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    throw NoDisplayError(std::string("no display: ") + SDL_GetError());
  }
  videoStarted_ = true;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (ShowsNothing(driver) || SDL_GetNumVideoDisplays() < 1) {
    throw NoDisplayError(std::string("no display: no display server answered (SDL video driver ") +
                         (driver ? driver : "none") + "); is DISPLAY set?");
  }
  hardwareRenderer_ = HardwareRendererAvailable();
  return true;
}

void SdlScreen::ShowWindow() {
  if (window_) return;
  window_ = std::make_unique<GameWindow>(InDirectory(dataDirectory_, "/icon-game-32.bmp"),
                                         hardwareRenderer_ ? SDL_WINDOW_OPENGL : 0);
}

bool SdlScreen::TakeExclusive() {
  if (!window_) return false;
  displayTaken_ = inWindow_ ? window_->EnterWindow() : window_->EnterFullScreen();
  return displayTaken_;
}

void SdlScreen::SwitchDisplay() {
  if (!displayTaken_) return;
  if (inWindow_) {
    inWindow_ = !window_->EnterFullScreen();
    // Where full screen is refused, the window comes back as it was.
    if (inWindow_) window_->EnterWindow();
  } else {
    inWindow_ = window_->EnterWindow();
  }
}

bool SdlScreen::SetMode(int width, int height, int bitsPerPixel) {
  if (!displayTaken_ || width != kPictureWidth || height != kPictureHeight ||
      bitsPerPixel != kPictureBits) {
    return false;
  }
  presenter_.reset();
  SDL_Window* window = window_->get();
  // SDL learns the window's new size from the X server's answer to the move to full screen; taken
  // in before the window's surface is made, that answer no longer throws the first surface away
  // for a second one. Only SDL's own queue is filled: no event of the game's runs here.
  SDL_PumpEvents();
  if (hardwareRenderer_) presenter_ = RendererPresenter::Create(window, true, width, height);
  if (!presenter_) presenter_ = WindowSurfacePresenter::Create(window);
  if (!presenter_) presenter_ = RendererPresenter::Create(window, false, width, height);
  if (!presenter_) return false;
  pacer_.SetRefreshRate(window_->RefreshRate());
  return true;
}

bool SdlScreen::Present(const Surface& frame) {
  const bool shown = PresentFrame(frame);
  if (afterFirstFrame_) std::exchange(afterFirstFrame_, nullptr)();
  return shown;
}

bool SdlScreen::PresentFrame(const Surface& frame) {
  if (!presenter_) return false;
  const int64_t start = clock_.NowMicros();
  const bool shown = presenter_->Present(frame);
  if (window_->Visible()) {
    pacer_.Presented(clock_.NowMicros() - start);
  } else {
    pacer_.PresentedUnseen();
  }
  return shown;
}

void SdlScreen::RestoreMode() { presenter_.reset(); }

void SdlScreen::ReturnToNormal() {
  presenter_.reset();
  if (!window_) return;
  if (displayTaken_) window_->LeaveFullScreen();
  displayTaken_ = false;
  window_->Hide();
}

void SdlScreen::Close() {
  ReturnToNormal();
  window_.reset();
  if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  videoStarted_ = false;
}

void SdlScreen::ShowPointer(bool shown) {
  if (window_) window_->ShowPointer(shown);
}

std::optional<SDL_Point> SdlScreen::PictureAt(int x, int y) const {
  if (!window_) return std::nullopt;
  int width = 0, height = 0;
  SDL_GetWindowSize(window_->get(), &width, &height);
  const PicturePlacement place = PlacePicture(width, height, kPictureWidth, kPictureHeight);
  if (x < place.x || y < place.y || x >= place.x + place.width || y >= place.y + place.height) {
    return std::nullopt;
  }
  return SDL_Point{(x - place.x) * kPictureWidth / place.width,
                   (y - place.y) * kPictureHeight / place.height};
}

std::string SdlScreen::presenterName() const { return presenter_ ? presenter_->name() : ""; }

}  // namespace zorvane

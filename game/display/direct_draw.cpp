#include "game/display/direct_draw.h"

#include "game/display/bitmap_file.h"
#include "settings/runtime_error.h"

namespace zorvane {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw RuntimeError(ErrorKind::Other, "Automation error: " + what);
}

}  // namespace

PrimarySurface::PrimarySurface(Screen& screen, int width, int height)
    : Surface(width, height),
      screen_(screen),
      backBuffer_(std::make_shared<Surface>(width, height)) {}

void PrimarySurface::Flip() {
  // Only a frame that was shown becomes the primary: after a failed present the back buffer
  // still holds the frame, and the next one is drawn over it.
  if (!screen_.Present(*backBuffer_)) Fail("the surface has been lost");
  SwapPixels(*backBuffer_);
}

DirectDraw::DirectDraw(Screen& screen) : screen_(screen) {
  if (!screen_.OpenDevice()) Fail("no display device is available");
}

void DirectDraw::SetCooperativeLevel(uint32_t flags) {
  if (flags & kExclusive) {
    if (!screen_.TakeExclusive()) Fail("the display cannot be taken exclusively");
    exclusive_ = true;
  } else if (flags & kNormal) {
    exclusive_ = false;
    screen_.ReturnToNormal();
  }
}

void DirectDraw::SetDisplayMode(int width, int height, int bitsPerPixel) {
  if (!exclusive_) Fail("the display mode can only be set in exclusive mode");
  if (bitsPerPixel != 16 || !screen_.SetMode(width, height, bitsPerPixel)) {
    Fail("the display mode is not supported");
  }
  width_ = width;
  height_ = height;
}

std::shared_ptr<PrimarySurface> DirectDraw::CreateFlipChain(int backBufferCount) {
  if (!exclusive_ || width_ == 0 || backBufferCount != 1) Fail("a flip chain needs the display");
  return std::make_shared<PrimarySurface>(screen_, width_, height_);
}

std::shared_ptr<Surface> DirectDraw::CreateSurfaceFromFile(const std::string& path, uint32_t caps) {
  // Every surface lives in ordinary memory here, so the memory choice in caps changes nothing.
  (void)caps;
  if (!keepBitmaps_) return std::make_shared<Surface>(LoadBitmapFile(path));
  auto kept = kept_.find(path);
  if (kept == kept_.end()) kept = kept_.emplace(path, LoadBitmapFile(path)).first;
  return std::make_shared<Surface>(kept->second);
}

void DirectDraw::RestoreDisplayMode() {
  width_ = height_ = 0;
  screen_.RestoreMode();
}

}  // namespace zorvane

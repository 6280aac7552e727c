#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "game/display/screen.h"
#include "game/display/surface.h"

namespace zorvane {

// Flags the game passes to the display object, with their DirectDraw values.
inline constexpr uint32_t kFullScreen = 0x01;
inline constexpr uint32_t kExclusive = 0x10;
inline constexpr uint32_t kAllowModeX = 0x40;
inline constexpr uint32_t kNormal = 0x08;
inline constexpr uint32_t kOffscreenPlain = 0x40;
inline constexpr uint32_t kSystemMemory = 0x800;

// The primary surface of a flip chain with one attached back buffer.
class PrimarySurface : public Surface {
 public:
  PrimarySurface(Screen& screen, int width, int height);

  std::shared_ptr<Surface> GetAttachedSurface() const { return backBuffer_; }

  // Shows the picture of the back buffer and swaps it onto the primary. After a flip the back
  // buffer holds the frame before last, as a real flip chain does. A frame the screen cannot
  // show fails the flip and swaps nothing.
  void Flip();

 private:
  Screen& screen_;
  std::shared_ptr<Surface> backBuffer_;
};

// The display object: takes the display, creates the flip chain and the surfaces made from
// bitmap files, and gives the display back. Every failing call raises a run-time error.
class DirectDraw {
 public:
  // Fails where the screen has no display device.
  explicit DirectDraw(Screen& screen);

  void SetCooperativeLevel(uint32_t flags);
  void SetDisplayMode(int width, int height, int bitsPerPixel);
  std::shared_ptr<PrimarySurface> CreateFlipChain(int backBufferCount);
  std::shared_ptr<Surface> CreateSurfaceFromFile(const std::string& path, uint32_t caps);
  void RestoreDisplayMode();

  // From now on each bitmap file is read once: a later surface from the same file is a copy of
  // the first. For a game that runs ticks again, which would read the dead bitmaps from disk at
  // every run.
  void KeepBitmaps() { keepBitmaps_ = true; }

 private:
  Screen& screen_;
  bool keepBitmaps_ = false;
  std::map<std::string, Surface> kept_;
  bool exclusive_ = false;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace zorvane

#pragma once

#include "game/display/surface.h"

namespace zorvane {

// Puts a flipped frame on the window: the picture at its placement, black around it.
class Presenter {
 public:
  virtual ~Presenter() = default;
  // False when the frame cannot be shown.
  virtual bool Present(const Surface& frame) = 0;
  // What draws the frames, for diagnostics: "window surface" or the renderer's name.
  virtual const char* name() const = 0;
};

}  // namespace zorvane

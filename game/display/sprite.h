#pragma once

#include <memory>

#include "game/display/surface.h"

namespace zorvane {

// An off-screen picture and the rectangle of the bitmap last loaded into it. The surface is
// empty until the first load succeeds, and from the start of every load until it succeeds.
struct Sprite {
  std::shared_ptr<zorvane::Surface> Surface;
  zorvane::Rect Rect;
};

}  // namespace zorvane

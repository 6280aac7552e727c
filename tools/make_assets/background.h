#pragma once

#include "canvas.h"

namespace zorvane::assetgen {

inline constexpr int kArenaWidth = 640;
inline constexpr int kArenaHeight = 480;

// The arena floor: brushed steel plates inside a rail frame, dark enough for the blocks to pop.
Image8 MakeBackground();

}  // namespace zorvane::assetgen

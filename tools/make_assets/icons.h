#pragma once

#include "canvas.h"

namespace zorvane::assetgen {

// The game's window icon: the blue block on a transparent square.
Image8 MakeGameIcon(int size);

// The settings tool's icon: both blocks above a slider.
Image8 MakeConfigIcon(int size);

}  // namespace zorvane::assetgen

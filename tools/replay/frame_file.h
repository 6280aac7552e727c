#pragma once

#include <string>

#include "game/display/surface.h"

namespace zorvane {

// Writes an RGB565 picture as a standard 24-bit Windows bitmap. False on failure.
bool WriteFrameBitmap(const Surface& frame, const std::string& path);

}  // namespace zorvane

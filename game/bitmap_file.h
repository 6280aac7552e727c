#pragma once

#include <string>

#include "game/surface.h"

namespace zorvane {

// Decodes a Windows bitmap file into a 16-bit RGB565 surface whose source is the path. Raises a
// bitmap error naming the file and the cause when it cannot be loaded.
Surface LoadBitmapFile(const std::string& path);

}  // namespace zorvane

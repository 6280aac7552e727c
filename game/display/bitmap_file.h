#pragma once

#include <string>
#include <string_view>

#include "game/display/surface.h"

namespace zorvane {

// Decodes a Windows bitmap file into a 16-bit RGB565 surface whose source is the path. Raises a
// bitmap error naming the file and the cause when it cannot be loaded.
Surface LoadBitmapFile(const std::string& path);

// The same for the bytes of a file already read; `path` names it in errors and as the source.
Surface DecodeBitmap(std::string_view bytes, const std::string& path);

}  // namespace zorvane

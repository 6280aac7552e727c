#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorvane {

// Looks at a bitmap file's header before SDL decodes it. SDL allocates the whole picture before
// it reads a single pixel, so a header alone could make it allocate gigabytes; such a file is
// refused here instead. Returns the cause of a refusal, or nothing when SDL may try the file
// (which may still fail there, on a header SDL refuses itself).
std::optional<std::string> BitmapRefusal(std::string_view bytes);

}  // namespace zorvane

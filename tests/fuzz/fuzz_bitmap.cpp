// Any bytes as a bitmap file, through the loader the game's sprites use: the header check, SDL's
// decoder and the conversion to RGB565.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/display/bitmap_file.h"
#include "settings/runtime_error.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    const zorvane::Surface surface = zorvane::DecodeBitmap(bytes, "fuzz.bmp");
    const int64_t pixels = int64_t{surface.width()} * surface.height();
    zorvane::fuzz::Check(surface.width() > 0 && surface.height() > 0,
                         "a loaded picture has pixels");
    // Nothing decodes to more than its bytes can describe: 8 pixels a byte uncompressed, 128
    // pixels a byte of run-length data above the megapixel that is always allowed.
    zorvane::fuzz::Check(pixels <= (int64_t{1} << 20) || pixels <= 128 * static_cast<int64_t>(size),
                         "the picture is no larger than the file can describe");
  } catch (const zorvane::RuntimeError& e) {
    zorvane::fuzz::Check(e.kind() == zorvane::ErrorKind::Bitmap, "a bad file is a bitmap error");
  }
  return 0;
}

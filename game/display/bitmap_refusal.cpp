#include "game/display/bitmap_refusal.h"

#include <cstdint>
#include <cstdlib>

namespace zorvane {
namespace {

// Bigger pictures than this are refused rather than risking an allocation of gigabytes.
constexpr int64_t kMaxSide = 16384;

// Run-length data can leave the rest of a picture blank in two bytes, so its length does not
// bound the picture. Up to a megapixel is always let through; a larger picture needs a byte of
// data per 128 pixels, which every encoder that writes out its runs (at most 255 pixels in two
// bytes) meets.
constexpr int64_t kFreePixels = int64_t{1} << 20;
constexpr int64_t kPixelsPerRunByte = 128;

constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kCoreHeaderSize = 12;  // OS/2: 16-bit sizes, never compressed
constexpr uint32_t kInfoHeaderSize = 40;

// A little-endian field. SDL reads a field cut short by the end of the file as the bytes there
// are, the rest zero, and goes on; so does this.
uint32_t Le(std::string_view bytes, size_t at, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    const size_t index = at + static_cast<size_t>(i);
    value = value << 8 | (index < bytes.size() ? static_cast<uint8_t>(bytes[index]) : 0u);
  }
  return value;
}

int32_t Signed(uint32_t value) { return static_cast<int32_t>(value); }

std::string Size(int64_t width, int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

}  // namespace

std::optional<std::string> BitmapRefusal(std::string_view bytes) {
  if (bytes.substr(0, 2) != "BM") return std::nullopt;
  const uint32_t headerSize = Le(bytes, 14, 4);
  const bool core = headerSize == kCoreHeaderSize;
  // The two header kinds: 16-bit sizes at 18 and 20, or signed 32-bit ones at 18 and 22.
  const int64_t width = core ? int64_t{Le(bytes, 18, 2)} : int64_t{Signed(Le(bytes, 18, 4))};
  const int64_t height = core ? int64_t{Le(bytes, 20, 2)} : int64_t{Signed(Le(bytes, 22, 4))};
  if (std::abs(width) > kMaxSide || std::abs(height) > kMaxSide) {
    return "the picture is too large";
  }

  // SDL refuses on its own, before allocating, the other header sizes and an empty picture.
  if (!core && headerSize < kInfoHeaderSize) return std::nullopt;
  if (width <= 0 || height == 0) return std::nullopt;
  const int64_t bitCount = Le(bytes, core ? 24 : 28, 2);

  const int64_t rows = std::abs(height);
  const int64_t dataOffset = Le(bytes, 10, 4);
  const int64_t fileSize = static_cast<int64_t>(bytes.size());
  const uint32_t compression = core ? 0 : Le(bytes, 30, 4);
  if (compression == kRle8 || compression == kRle4) {
    const int64_t dataSize = fileSize > dataOffset ? fileSize - dataOffset : 0;
    if (width * rows > kFreePixels && width * rows > kPixelsPerRunByte * dataSize) {
      return "the compressed data is too short for a picture of " + Size(width, rows);
    }
    return std::nullopt;
  }
  // Rows are padded to four bytes, the last one need not be: SDL fails on anything shorter, and
  // on the depths it cannot decode whatever the length.
  const int64_t rowBits = width * bitCount;
  const int64_t needed = dataOffset + (rowBits + 31) / 32 * 4 * (rows - 1) + (rowBits + 7) / 8;
  if (needed > fileSize) {
    return "the file is too short for a picture of " + Size(width, rows);
  }
  return std::nullopt;
}

}  // namespace zorvane

#include "bytes.h"
#include "encoders.h"

namespace zorvane::assetgen {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dpi
constexpr uint32_t kLcsSrgb = 0x73524742;  // 'sRGB'

void FileHeader(ByteWriter& w, uint32_t pixel_offset, uint32_t pixel_bytes) {
  w.Text("BM");
  w.U32Le(pixel_offset + pixel_bytes);
  w.U32Le(0);  // reserved
  w.U32Le(pixel_offset);
}

// The fields shared by BITMAPINFOHEADER and its V4 extension. Positive height: bottom-up.
void InfoFields(ByteWriter& w, uint32_t header_size, const Image8& img, uint16_t bits,
                uint32_t compression, uint32_t pixel_bytes) {
  w.U32Le(header_size);
  w.I32Le(img.width);
  w.I32Le(img.height);
  w.U16Le(1);  // planes
  w.U16Le(bits);
  w.U32Le(compression);
  w.U32Le(pixel_bytes);
  w.I32Le(kPixelsPerMetre);
  w.I32Le(kPixelsPerMetre);
  w.U32Le(0);  // palette colours
  w.U32Le(0);  // important colours
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const Image8& img) {
  const uint32_t stride = (static_cast<uint32_t>(img.width) * 3 + 3) & ~3u;
  const uint32_t pixel_bytes = stride * static_cast<uint32_t>(img.height);
  ByteWriter w;
  FileHeader(w, kFileHeaderSize + kInfoHeaderSize, pixel_bytes);
  InfoFields(w, kInfoHeaderSize, img, 24, kBiRgb, pixel_bytes);
  for (int y = img.height - 1; y >= 0; --y) {
    for (int x = 0; x < img.width; ++x) {
      const uint8_t* p = img.At(x, y);
      w.U8(p[2]);
      w.U8(p[1]);
      w.U8(p[0]);
    }
    for (uint32_t pad = static_cast<uint32_t>(img.width) * 3; pad < stride; ++pad) w.U8(0);
  }
  return w.Take();
}

std::vector<uint8_t> EncodeBmp32(const Image8& img) {
  const uint32_t pixel_bytes = static_cast<uint32_t>(img.width) * img.height * 4;
  ByteWriter w;
  FileHeader(w, kFileHeaderSize + kV4HeaderSize, pixel_bytes);
  InfoFields(w, kV4HeaderSize, img, 32, kBiBitfields, pixel_bytes);
  w.U32Le(0x00FF0000);  // red mask
  w.U32Le(0x0000FF00);  // green mask
  w.U32Le(0x000000FF);  // blue mask
  w.U32Le(0xFF000000);  // alpha mask
  w.U32Le(kLcsSrgb);
  for (int i = 0; i < 9; ++i) w.U32Le(0);  // CIE endpoints, unused with sRGB
  for (int i = 0; i < 3; ++i) w.U32Le(0);  // gamma, unused with sRGB
  for (int y = img.height - 1; y >= 0; --y) {
    for (int x = 0; x < img.width; ++x) {
      const uint8_t* p = img.At(x, y);
      w.U8(p[2]);
      w.U8(p[1]);
      w.U8(p[0]);
      w.U8(p[3]);
    }
  }
  return w.Take();
}

}  // namespace zorvane::assetgen

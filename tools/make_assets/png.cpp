#include <algorithm>
#include <array>
#include <string_view>

#include "bytes.h"
#include "encoders.h"

namespace zorvane::assetgen {
namespace {

std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

void Chunk(ByteWriter& out, std::string_view type, const std::vector<uint8_t>& data) {
  ByteWriter body;
  body.Text(type);
  body.Append(data);
  out.U32Be(static_cast<uint32_t>(data.size()));
  out.Append(body.bytes());
  out.U32Be(Crc32(body.bytes().data(), body.size()));
}

// zlib stream of stored (uncompressed) deflate blocks.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
  constexpr size_t kMaxBlock = 65535;
  ByteWriter w;
  w.U8(0x78);  // deflate, 32K window
  w.U8(0x01);  // no preset dictionary, fastest; 0x7801 is a multiple of 31
  size_t pos = 0;
  do {
    const size_t len = std::min(kMaxBlock, raw.size() - pos);
    const bool last = pos + len == raw.size();
    w.U8(last ? 1 : 0);  // BFINAL, BTYPE=00 (stored)
    w.U16Le(static_cast<uint16_t>(len));
    w.U16Le(static_cast<uint16_t>(~len));
    w.Append(std::vector<uint8_t>(raw.begin() + static_cast<std::ptrdiff_t>(pos),
                                  raw.begin() + static_cast<std::ptrdiff_t>(pos + len)));
    pos += len;
  } while (pos < raw.size());
  w.U32Be(Adler32(raw));
  return w.Take();
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
  static const std::array<uint32_t, 256> table = MakeCrcTable();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
  uint32_t a = 1;
  uint32_t b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

std::vector<uint8_t> EncodePng(const Image8& img) {
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(img.height) * (img.width * 4 + 1));
  for (int y = 0; y < img.height; ++y) {
    raw.push_back(0);  // filter: none
    const uint8_t* row = img.At(0, y);
    raw.insert(raw.end(), row, row + img.width * 4);
  }

  ByteWriter header;
  header.U32Be(static_cast<uint32_t>(img.width));
  header.U32Be(static_cast<uint32_t>(img.height));
  header.U8(8);  // bit depth
  header.U8(6);  // colour type: RGBA
  header.U8(0);  // compression: deflate
  header.U8(0);  // filter method
  header.U8(0);  // no interlace

  ByteWriter png;
  constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  for (uint8_t b : kSignature) png.U8(b);
  Chunk(png, "IHDR", header.bytes());
  Chunk(png, "IDAT", ZlibStored(raw));
  Chunk(png, "IEND", {});
  return png.Take();
}

}  // namespace zorvane::assetgen

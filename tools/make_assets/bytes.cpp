#include "bytes.h"

#include <cstdio>
#include <fstream>

namespace zorvane::assetgen {

void ByteWriter::U16Le(uint16_t v) {
  U8(static_cast<uint8_t>(v));
  U8(static_cast<uint8_t>(v >> 8));
}

void ByteWriter::U32Le(uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) U8(static_cast<uint8_t>(v >> shift));
}

void ByteWriter::U32Be(uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) U8(static_cast<uint8_t>(v >> shift));
}

void ByteWriter::Text(std::string_view s) {
  for (char c : s) U8(static_cast<uint8_t>(c));
}

void ByteWriter::Append(const std::vector<uint8_t>& more) {
  bytes_.insert(bytes_.end(), more.begin(), more.end());
}

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "zorvane-make-assets: cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

}  // namespace zorvane::assetgen

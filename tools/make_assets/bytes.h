#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

namespace zorvane::assetgen {

// Builds a binary file image; every multi-byte field names its byte order.
class ByteWriter {
 public:
  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16Le(uint16_t v);
  void U32Le(uint32_t v);
  void I32Le(int32_t v) { U32Le(static_cast<uint32_t>(v)); }
  void U32Be(uint32_t v);
  void Text(std::string_view s);
  void Append(const std::vector<uint8_t>& more);

  size_t size() const { return bytes_.size(); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

// Returns false (after printing why) if the file could not be written completely.
bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

}  // namespace zorvane::assetgen

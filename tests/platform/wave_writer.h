#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorvane::testing {

// Writes a 16-bit PCM wave file of the given samples (interleaved when channels > 1).
void WriteWave16(const std::string& path, int rate, int channels,
                 const std::vector<int16_t>& samples);

// Reads a whole file as bytes; empty if it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& path);

// A fresh directory under the system's temporary directory, removed with its contents when the
// object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace zorvane::testing

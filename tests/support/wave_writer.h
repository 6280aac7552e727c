#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorvane::test {

// Writes a 16-bit PCM wave file of the given samples (interleaved when channels > 1).
void WriteWave16(const std::string& path, int rate, int channels,
                 const std::vector<int16_t>& samples);

// Reads a whole file as bytes; empty if it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& path);

}  // namespace zorvane::test

#pragma once

#include <cmath>
#include <cstdint>

namespace zorvane::assetgen {

// Our own generators so the output never depends on a standard library's distributions.

// SplitMix64: sequential stream, used for audio noise.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // Uniform in [0, 1), built from 24 bits so it is exact in a float.
  float Uniform() { return static_cast<float>(Next() >> 40) * (1.0f / 16777216.0f); }
  // Uniform in [-1, 1).
  float Signed() { return Uniform() * 2.0f - 1.0f; }

 private:
  uint64_t state_;
};

// Stateless hash of a lattice point, for textures that must not depend on drawing order.
inline uint32_t HashPoint(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h =
      seed ^ (static_cast<uint32_t>(x) * 0x8DA6B343u) ^ (static_cast<uint32_t>(y) * 0xD8163841u);
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

// Hash mapped to [0, 1).
inline float HashUnit(int32_t x, int32_t y, uint32_t seed) {
  return static_cast<float>(HashPoint(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

// Smoothly interpolated lattice noise in [0, 1).
inline float ValueNoise(float x, float y, uint32_t seed) {
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const auto ix = static_cast<int32_t>(fx);
  const auto iy = static_cast<int32_t>(fy);
  float tx = x - fx;
  float ty = y - fy;
  tx = tx * tx * (3.0f - 2.0f * tx);
  ty = ty * ty * (3.0f - 2.0f * ty);
  const float a = HashUnit(ix, iy, seed);
  const float b = HashUnit(ix + 1, iy, seed);
  const float c = HashUnit(ix, iy + 1, seed);
  const float d = HashUnit(ix + 1, iy + 1, seed);
  const float top = a + (b - a) * tx;
  const float bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

}  // namespace zorvane::assetgen

#pragma once

#include <cstdint>
#include <functional>
#include <random>

namespace zorvane {

// The pseudo-random generator of the new round: uniform numbers in [0, 1) with 24 bits, the
// resolution of a single. It is seeded afresh at every round.
class RoundRandom {
 public:
  void Seed(uint32_t seed) { engine_.seed(seed); }
  float Next() { return static_cast<float>(engine_() >> 8) * 0x1p-24f; }

 private:
  std::mt19937 engine_;
};

// A seed from the system clock, as every new round takes one.
uint32_t ClockSeed();

}  // namespace zorvane

#include "game/sim/round_random.h"

#include <chrono>

namespace zorvane {

uint32_t ClockSeed() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}

}  // namespace zorvane

#include "game/sim/single_math.h"

#include <cmath>
#include <limits>

#include "settings/runtime_error.h"

namespace zorvane {
namespace {

template <typename Int>
Int RoundChecked(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max())) {
    Overflow();
  }
  return static_cast<Int>(rounded);
}

}  // namespace

void Overflow() { throw RuntimeError(ErrorKind::Overflow, "Overflow"); }

int16_t RoundToInt16(double value) { return RoundChecked<int16_t>(value); }
int32_t RoundToInt32(double value) { return RoundChecked<int32_t>(value); }

int16_t RoundToInt16Saturated(double value) {
  const double rounded = std::nearbyint(value);
  if (std::isnan(rounded)) Overflow();
  if (rounded < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
  if (rounded > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
  return static_cast<int16_t>(rounded);
}

}  // namespace zorvane

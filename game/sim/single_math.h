#pragma once

#include <cmath>
#include <cstdint>

namespace zorvane {

// Raises the overflow error.
[[noreturn]] void Overflow();

// Single-precision arithmetic as the game does it: every result is rounded to single when it is
// stored, and a result that overflows or is invalid raises an overflow error. Inline, since a
// player looking ahead steps thousands of ticks a decision.
inline float Checked(float result) {
  if (!std::isfinite(result)) Overflow();
  return result;
}
inline float Sum(float a, float b) { return Checked(a + b); }
inline float Difference(float a, float b) { return Checked(a - b); }
inline float Product(float a, float b) { return Checked(a * b); }

// Conversions to integers round to the nearest, an exact half to the even neighbour; a value
// outside the integer's range raises an overflow error.
int16_t RoundToInt16(double value);
int32_t RoundToInt32(double value);

// As RoundToInt16, but a value beyond the range stops at its limit.
int16_t RoundToInt16Saturated(double value);

}  // namespace zorvane

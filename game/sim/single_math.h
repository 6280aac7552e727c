#pragma once

#include <cstdint>

namespace zorvane {

// Single-precision arithmetic as the game does it: every result is rounded to single when it is
// stored, and a result that overflows or is invalid raises an overflow error.
float Sum(float a, float b);
float Difference(float a, float b);
float Product(float a, float b);

// Conversions to integers round to the nearest, an exact half to the even neighbour; a value
// outside the integer's range raises an overflow error.
int16_t RoundToInt16(double value);
int32_t RoundToInt32(double value);

// As RoundToInt16, but a value beyond the range stops at its limit.
int16_t RoundToInt16Saturated(double value);

}  // namespace zorvane

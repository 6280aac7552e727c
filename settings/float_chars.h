#pragma once

#include <charconv>
#include <string>

namespace zorvane {

// Binary floats to and from decimal text, locale-independent and the same in every build. The
// standard's floating-point std::from_chars and std::to_chars are missing from some standard
// libraries (the browser build's), so every build uses these, made on fast_float (reading) and
// {fmt} (the digits of writing): they give what the standard functions give.

// As std::from_chars with the general format: the longest number at `first` (no leading '+'),
// correctly rounded. A number that rounds to zero or beyond the largest finite value gives
// result_out_of_range and leaves `value` as it was.
std::from_chars_result ReadFloat(const char* first, const char* last, float& value);
std::from_chars_result ReadDouble(const char* first, const char* last, double& value);

// The significant digits of a positive finite float, with the decimal exponent of the first.
struct DecimalDigits {
  std::string digits;
  int exponent = 0;
};

// The fewest digits that read back as the same float, the nearest such (those of std::to_chars).
DecimalDigits ShortestDigits(float magnitude);

// The float rounded to `count` significant digits, a half to the even digit, trailing zeros kept.
DecimalDigits RoundedDigits(float magnitude, int count);

}  // namespace zorvane

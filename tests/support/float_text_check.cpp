#include "tests/support/float_text_check.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "settings/float_chars.h"
#include "settings/number_text.h"

namespace zorvane::test {
namespace {

// std::to_chars in the scientific format, with the shortest digits or with `precision`.
std::string StdScientific(float value, int precision) {
  char text[64];
  const std::to_chars_result r =
      precision < 0 ? std::to_chars(text, text + sizeof text, value, std::chars_format::scientific)
                    : std::to_chars(text, text + sizeof text, value, std::chars_format::scientific,
                                    precision);
  return std::string(text, r.ptr);
}

// Exponent form as std::to_chars writes it: "d.ddde+XX".
std::string ExponentText(const DecimalDigits& d) {
  std::string text = d.digits.substr(0, 1);
  if (d.digits.size() > 1) text += "." + d.digits.substr(1);
  const int exponent = std::abs(d.exponent);
  return text + (d.exponent < 0 ? "e-" : "e+") + (exponent < 10 ? "0" : "") +
         std::to_string(exponent);
}

template <typename T>
std::string Shown(T value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

template <typename T, typename Bits>
std::string ReadDifferenceAs(std::string_view text,
                             std::from_chars_result (*ours)(const char*, const char*, T&)) {
  // A value the reading leaves alone shows through.
  T expected = 7, found = 7;
  const char* end = text.data() + text.size();
  const std::from_chars_result e = std::from_chars(text.data(), end, expected);
  const std::from_chars_result f = ours(text.data(), end, found);
  const bool sameValue = std::isnan(expected)
                             ? std::isnan(found) && std::signbit(found) == std::signbit(expected)
                             : std::bit_cast<Bits>(expected) == std::bit_cast<Bits>(found);
  if (sameValue && e.ec == f.ec && e.ptr == f.ptr) return {};
  auto outcome = [&](T value, std::from_chars_result r) {
    return Shown(value) + " (error " + std::to_string(static_cast<int>(r.ec)) + ", " +
           std::to_string(r.ptr - text.data()) + " characters read)";
  };
  return "reading '" + std::string(text) + "' as " + (sizeof(T) == 4 ? "float" : "double") + ": " +
         outcome(expected, e) + " expected, found " + outcome(found, f);
}

}  // namespace

std::string ReadTextDifference(std::string_view text) {
  std::string difference = ReadDifferenceAs<float, uint32_t>(text, ReadFloat);
  if (difference.empty()) difference = ReadDifferenceAs<double, uint64_t>(text, ReadDouble);
  return difference;
}

std::string FloatTextDifference(float value) {
  const std::string shortest = Shown(value);
  if (ShortestText(value) != shortest) {
    return "shortest text " + shortest + " expected, found " + ShortestText(value);
  }
  if (std::isfinite(value) && value != 0) {
    const float magnitude = std::fabs(value);
    const std::string digits = StdScientific(magnitude, -1);
    if (ExponentText(ShortestDigits(magnitude)) != digits) {
      return "shortest digits " + digits + " expected, found " +
             ExponentText(ShortestDigits(magnitude));
    }
    const std::string seven = StdScientific(magnitude, 6);
    if (ExponentText(RoundedDigits(magnitude, 7)) != seven) {
      return "seven digits " + seven + " expected, found " +
             ExponentText(RoundedDigits(magnitude, 7));
    }
    if (std::string d = ReadDifferenceAs<float, uint32_t>(seven, ReadFloat); !d.empty()) return d;
  }
  return ReadDifferenceAs<float, uint32_t>(shortest, ReadFloat);
}

}  // namespace zorvane::test

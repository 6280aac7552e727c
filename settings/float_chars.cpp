#include "settings/float_chars.h"

#include <fast_float/fast_float.h>
#include <fmt/format.h>

#include <cmath>
#include <string_view>

namespace zorvane {
namespace {

// fast_float gives zero or infinity, with no error, where std::from_chars reports the number
// out of range: a number with a nonzero digit that rounds to zero, or digits that round past the
// largest value ("inf" and "nan" are words, not digits).
template <typename T>
std::from_chars_result Read(const char* first, const char* last, T& value) {
  T read = 0;
  const fast_float::from_chars_result r = fast_float::from_chars(first, last, read);
  if (r.ec != std::errc()) return {r.ptr, r.ec};
  const std::string_view text(first, static_cast<size_t>(r.ptr - first));
  const std::string_view mantissa = text.substr(0, text.find_first_of("eE"));
  const bool digits = mantissa.find_first_of("0123456789") != std::string_view::npos;
  const bool nonzero = mantissa.find_first_of("123456789") != std::string_view::npos;
  if ((read == 0 && nonzero) || (std::isinf(read) && digits)) {
    return {r.ptr, std::errc::result_out_of_range};
  }
  value = read;
  return {r.ptr, std::errc()};
}

// Splits a positive number as {fmt} writes it ("12.5", "0.001", "1.5e-07") into its significant
// digits and the exponent of the first.
DecimalDigits SplitDigits(std::string_view text) {
  const size_t e = text.find('e');
  int written = 0;
  if (e != std::string_view::npos) {
    // std::from_chars takes a '-' but no '+'.
    const size_t digits = text[e + 1] == '+' ? e + 2 : e + 1;
    std::from_chars(text.data() + digits, text.data() + text.size(), written);
  }
  const std::string_view mantissa = text.substr(0, e);
  const size_t point = mantissa.find('.');
  const int wholeDigits =
      static_cast<int>(point == std::string_view::npos ? mantissa.size() : point);
  DecimalDigits result;
  int leadingZeros = 0;
  for (char c : mantissa) {
    if (c == '.') continue;
    if (result.digits.empty() && c == '0') {
      ++leadingZeros;
    } else {
      result.digits += c;
    }
  }
  result.exponent = wholeDigits - 1 - leadingZeros + written;
  return result;
}

}  // namespace

std::from_chars_result ReadFloat(const char* first, const char* last, float& value) {
  return Read(first, last, value);
}

std::from_chars_result ReadDouble(const char* first, const char* last, double& value) {
  return Read(first, last, value);
}

DecimalDigits ShortestDigits(float magnitude) {
  DecimalDigits d = SplitDigits(fmt::format("{}", magnitude));
  // The plain form of a whole number writes zeros that are not part of the digits.
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

DecimalDigits RoundedDigits(float magnitude, int count) {
  return SplitDigits(fmt::format("{:.{}e}", magnitude, count - 1));
}

}  // namespace zorvane

#include "settings/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "settings/float_chars.h"
#include "settings/runtime_error.h"

namespace zorvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number at the start of a text: where it ends, and enough about its size to tell an
// overflow from an underflow when the conversion is out of range.
struct NumberPrefix {
  size_t length = 0;  // 0: the text does not start with a number
  bool negative = false;
  long magnitude = 0;  // decimal exponent of the leading significant digit
  bool isZero = true;
};

NumberPrefix ScanNumber(std::string_view s) {
  NumberPrefix p;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    p.negative = s[i] == '-';
    ++i;
  }
  size_t digits = 0;
  long intDigits = 0, fracDigits = 0;
  long firstInt = -1, firstFrac = -1;  // where the first nonzero digit stands
  bool seenPoint = false;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      ++digits;
      long& count = seenPoint ? fracDigits : intDigits;
      ++count;
      if (s[i] != '0' && p.isZero) {
        p.isZero = false;
        (seenPoint ? firstFrac : firstInt) = count;
      }
    } else if (s[i] == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (digits == 0) return NumberPrefix{};
  long leading = firstInt > 0 ? intDigits - firstInt : -firstFrac;
  size_t end = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    bool expNegative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
      expNegative = s[j] == '-';
      ++j;
    }
    long exponent = 0;
    size_t expStart = j;
    for (; j < s.size() && IsDigit(s[j]); ++j) {
      if (exponent < 100000) exponent = exponent * 10 + (s[j] - '0');
    }
    if (j > expStart) {
      end = j;
      leading += expNegative ? -exponent : exponent;
    }
  }
  p.length = end;
  p.magnitude = leading;
  return p;
}

float Convert(std::string_view s, const NumberPrefix& p) {
  if (p.isZero) return p.negative ? -0.0f : 0.0f;
  // ReadFloat takes no leading '+'; it is locale-independent and correctly rounded.
  std::string_view body = s.substr(0, p.length);
  if (body[0] == '+' || body[0] == '-') body.remove_prefix(1);
  float value = 0;
  auto result = ReadFloat(body.data(), body.data() + body.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (p.magnitude > 0) throw RuntimeError(ErrorKind::Overflow, "Overflow");
    // Too small for a normal single: go through double so that subnormals survive.
    double wide = 0;
    auto r = ReadDouble(body.data(), body.data() + body.size(), wide);
    value = r.ec == std::errc() ? static_cast<float>(wide) : 0.0f;
  }
  return p.negative ? -value : value;
}

// Plain decimal from significant digits d1 d2 d3 ... and the exponent of d1.
std::string PlainDecimal(bool negative, DecimalDigits decimal) {
  std::string& digits = decimal.digits;
  const int exponent = decimal.exponent;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = negative ? "-" : "";
  const int n = static_cast<int>(digits.size());
  if (exponent >= n - 1) {
    out += digits + std::string(exponent - (n - 1), '0');
  } else if (exponent >= 0) {
    out += digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
  } else {
    out += "0." + std::string(-exponent - 1, '0') + digits;
  }
  return out;
}

}  // namespace

float ParseNumber(std::string_view text) {
  NumberPrefix p = ScanNumber(text);
  if (p.length == 0) return 0.0f;
  return Convert(text, p);
}

bool IsWholeNumber(std::string_view text) {
  NumberPrefix p = ScanNumber(text);
  if (p.length == 0 || p.length != text.size()) return false;
  try {
    // A nonzero number too small for a single would read back as 0, not as itself.
    return Convert(text, p) != 0 || p.isZero;
  } catch (const RuntimeError&) {
    return false;
  }
}

bool IsSavableNumber(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  const size_t last = text.find_last_not_of(' ');
  return IsWholeNumber(text.substr(first, last - first + 1));
}

std::string NumberToText(float value) {
  if (value == 0 || !std::isfinite(value)) return "0";
  const bool negative = value < 0;
  const float magnitude = std::fabs(value);
  std::string text = PlainDecimal(negative, RoundedDigits(magnitude, 7));
  if (ParseNumber(text) == value) return text;
  return PlainDecimal(negative, ShortestDigits(magnitude));
}

std::string ShortestText(float value) {
  const std::string sign = std::signbit(value) ? "-" : "";
  if (std::isnan(value)) return sign + "nan";
  if (std::isinf(value)) return sign + "inf";
  if (value == 0) return sign + "0";
  const float magnitude = std::fabs(value);
  const DecimalDigits shortest = ShortestDigits(magnitude);
  const std::string& digits = shortest.digits;
  const int exponent = std::abs(shortest.exponent);
  std::string scientific = digits.substr(0, 1) + (digits.size() > 1 ? "." + digits.substr(1) : "") +
                           (shortest.exponent < 0 ? "e-" : "e+") + (exponent < 10 ? "0" : "") +
                           std::to_string(exponent);
  // The shorter of the two forms, plain decimal on a tie, as std::to_chars chooses. Plain decimal
  // writes a whole number with all its digits, exact, as printf's "%.0f" does; it can be the
  // shorter form only below 1e14, where a 64-bit integer holds it.
  const bool whole = shortest.exponent >= static_cast<int>(digits.size()) - 1;
  if (whole && shortest.exponent + 1 > static_cast<int>(scientific.size())) {
    return sign + scientific;
  }
  const std::string plain =
      whole ? std::to_string(static_cast<uint64_t>(magnitude)) : PlainDecimal(false, shortest);
  return sign + (scientific.size() < plain.size() ? scientific : plain);
}

}  // namespace zorvane

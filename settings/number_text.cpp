#include "settings/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

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
  // from_chars takes no leading '+'; it is locale-independent and correctly rounded.
  std::string_view body = s.substr(0, p.length);
  if (body[0] == '+' || body[0] == '-') body.remove_prefix(1);
  float value = 0;
  auto result = std::from_chars(body.data(), body.data() + body.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (p.magnitude > 0) throw RuntimeError(ErrorKind::Overflow, "Overflow");
    // Too small for a normal single: go through double so that subnormals survive.
    double wide = 0;
    auto r = std::from_chars(body.data(), body.data() + body.size(), wide);
    value = r.ec == std::errc() ? static_cast<float>(wide) : 0.0f;
  }
  return p.negative ? -value : value;
}

// Plain decimal from significant digits d1 d2 d3 ... and the exponent of d1.
std::string PlainDecimal(bool negative, std::string digits, int exponent) {
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

// Scientific text from to_chars ("d.ddde+XX") split into its digits and exponent.
std::string Scientific(float magnitude, int precision, int& exponent) {
  char buf[64];
  auto r = precision < 0
               ? std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific)
               : std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                               precision);
  std::string_view text(buf, r.ptr - buf);
  size_t e = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (IsDigit(c)) digits += c;
  }
  exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
  return digits;
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

std::string NumberToText(float value) {
  if (value == 0 || !std::isfinite(value)) return "0";
  const bool negative = value < 0;
  const float magnitude = std::fabs(value);
  int exponent = 0;
  std::string digits = Scientific(magnitude, 6, exponent);
  std::string text = PlainDecimal(negative, digits, exponent);
  if (ParseNumber(text) == value) return text;
  digits = Scientific(magnitude, -1, exponent);
  return PlainDecimal(negative, digits, exponent);
}

std::string ShortestText(float value) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

}  // namespace zorvane

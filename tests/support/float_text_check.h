#pragma once

#include <string>
#include <string_view>

namespace zorvane::test {

// Where the float text conversions every build uses (settings/float_chars.h, ShortestText)
// differ from this machine's standard library (std::to_chars, std::from_chars) for one float:
// its shortest text, its digits, and the reading of its texts back as a float. Empty where they
// agree.
std::string FloatTextDifference(float value);

// Where reading a text as a float and as a double differs from std::from_chars: the value (bit
// for bit), the error and how much of the text was read. Empty where they agree.
std::string ReadTextDifference(std::string_view text);

}  // namespace zorvane::test

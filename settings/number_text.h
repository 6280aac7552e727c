#pragma once

#include <string>
#include <string_view>

namespace zorvane {

// Reads one settings value. The longest prefix of the form [sign] digits [. digits]
// [e [sign] digits] is taken; text that starts with no number reads as 0. A value beyond the
// single-precision range raises an overflow error; one too small for it reads as 0.
float ParseNumber(std::string_view text);

// True when the whole of `text` is one number by the rules above that reads back as itself:
// within the single range, and not so small that it reads as 0.
bool IsWholeNumber(std::string_view text);

// True when a box of the settings tool may be saved with this text: one whole number, with spaces
// around it allowed, since the reader skips them.
bool IsSavableNumber(std::string_view text);

// The text the settings tool shows for a value: plain decimal, at most seven significant digits,
// or the shortest digits that read back as the same single where seven do not.
std::string NumberToText(float value);

// The shortest decimal that reads back as the same single, exponent form allowed ("1e+30"): what
// std::to_chars writes.
std::string ShortestText(float value);

}  // namespace zorvane

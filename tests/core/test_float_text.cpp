// The float text conversions that every build uses, the browser's too, give what this machine's
// standard library gives: on the floats the game meets and those a few steps around them, on texts
// at the edges of the range, and on millions of random floats. The soak
// soak.float_text_every_single checks all 2^32 singles.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <random>

#include "tests/support/float_text_check.h"
#include "tests/support/test_seed.h"

namespace zorvane {
namespace {

using test::FloatTextDifference;
using test::ReadTextDifference;

// The float `steps` representable values away from `value`.
float Step(float value, int steps) {
  const float toward = steps < 0 ? -INFINITY : INFINITY;
  for (int i = 0; i < std::abs(steps); ++i) value = std::nextafter(value, toward);
  return value;
}

TEST(FloatText, AgreesWithTheStandardLibraryAroundTheGamesValues) {
  // The settings' defaults, a bounce's doubled speeds, the arena's edges and the places a bounce
  // puts a block, health; then where the written form changes (1e-05, 1e+05, 1e+16), whole
  // numbers that round to seven digits on a tie, and the ends of the range.
  const float kValues[] = {
      0,        0.5f,         1,       2,      5,    10,     15,   30,    100,   1.5f,     -2,
      -17.5f,   0.1f,         0.3f,    1,      449,  450,    479,  480,   609,   610,      639,
      640,      32767,        1e-4f,   1e-5f,  1e5f, 123456, 1e7f, 1e16f, 1e30f, 12345665, 12345675,
      16777216, FLT_TRUE_MIN, FLT_MIN, FLT_MAX};
  for (const float value : kValues) {
    for (const float sign : {1.0f, -1.0f}) {
      for (int steps = -16; steps <= 16; ++steps) {
        const float f = Step(sign * value, steps);
        EXPECT_EQ(FloatTextDifference(f), "") << std::bit_cast<uint32_t>(f);
      }
    }
  }
  for (const float special : {INFINITY, -INFINITY, NAN, -NAN}) {
    EXPECT_EQ(FloatTextDifference(special), "");
  }
}

TEST(FloatText, ReadsTextsAtTheEdgesAsTheStandardLibraryDoes) {
  // Below half the smallest single, at and above it; past the largest; long digit strings that
  // fall either side of a tie; partial numbers, words and no number at all.
  const char* const kTexts[] = {"7e-46",
                                "7.006e-46",
                                "7.1e-46",
                                "1e-45",
                                "1.1754942e-38",
                                "1e-400",
                                "3.4028235e38",
                                "3.4028236e38",
                                "3.5e38",
                                "1e39",
                                "1e400",
                                "0e999",
                                "0.000e-99",
                                "-0",
                                "00012",
                                ".5",
                                "1.",
                                "1.e5",
                                "5e",
                                "5e+",
                                "12abc",
                                "1.00000005960464477539062499",
                                "1.000000059604644775390625",
                                "1.00000005960464477539062501",
                                "32767.5",
                                "-32768.5",
                                "inf",
                                "-inf",
                                "infinity",
                                "nan",
                                "-nan",
                                "+5",
                                "",
                                "-",
                                ".",
                                "e5",
                                "0x10",
                                " 5"};
  for (const char* text : kTexts) EXPECT_EQ(ReadTextDifference(text), "");
}

TEST(FloatText, AgreesWithTheStandardLibraryOnRandomFloats) {
  std::mt19937 random(test::TestSeed(20261208));
  constexpr int kFloats = 2'000'000;
  for (int i = 0; i < kFloats; ++i) {
    const uint32_t bits = random();
    const std::string difference = FloatTextDifference(std::bit_cast<float>(bits));
    ASSERT_EQ(difference, "") << "bits " << bits;
  }
}

}  // namespace
}  // namespace zorvane

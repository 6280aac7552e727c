#pragma once

#include <cstdio>
#include <cstdlib>

namespace zorvane::fuzz {

// Stops at once when a property of the code under test fails: libFuzzer keeps the input as a
// crasher, and the corpus replay of the ordinary build fails on it.
inline void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", property);
  std::abort();
}

}  // namespace zorvane::fuzz

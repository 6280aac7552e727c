#include "tests/support/test_seed.h"

#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>

namespace zorvane::test {

unsigned TestSeed(unsigned otherwise) {
  unsigned seed = otherwise;
  if (const char* given = std::getenv("ZORVANE_TEST_SEED"); given != nullptr && *given != '\0') {
    char* end = nullptr;
    const unsigned long value = std::strtoul(given, &end, 10);
    if (*end != '\0' || value > 0xFFFFFFFFul) {
      throw std::invalid_argument(std::string("ZORVANE_TEST_SEED is not a seed: ") + given);
    }
    seed = static_cast<unsigned>(value);
  }
  std::cout << "seed " << seed << " (ZORVANE_TEST_SEED=" << seed << " repeats it)" << std::endl;
  return seed;
}

}  // namespace zorvane::test

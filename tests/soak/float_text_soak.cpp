// Every one of the 2^32 singles, NaNs and infinities included: the float text conversions every
// build uses give what this machine's standard library gives (tests/support/float_text_check.h).
// The bit patterns are shared out in blocks between threads, one a core.
// Usage: zorvane-float-text-soak
#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/float_text_check.h"

int main() {
  constexpr uint64_t kSingles = uint64_t{1} << 32;
  constexpr uint64_t kBlock = uint64_t{1} << 20;
  constexpr uint64_t kShownDifferences = 10;
  std::atomic<uint64_t> nextBlock{0};
  std::atomic<uint64_t> differences{0};
  std::mutex output;
  const auto start = std::chrono::steady_clock::now();
  auto work = [&] {
    for (uint64_t first; (first = nextBlock.fetch_add(kBlock)) < kSingles;) {
      for (uint64_t bits = first; bits < first + kBlock; ++bits) {
        const std::string difference =
            zorvane::test::FloatTextDifference(std::bit_cast<float>(static_cast<uint32_t>(bits)));
        if (difference.empty()) continue;
        if (differences.fetch_add(1) < kShownDifferences) {
          const std::lock_guard<std::mutex> lock(output);
          std::cout << "FAIL: bits " << bits << ": " << difference << std::endl;
        }
      }
    }
  };
  std::vector<std::thread> threads(std::max(1u, std::thread::hardware_concurrency()));
  for (std::thread& thread : threads) thread = std::thread(work);
  for (std::thread& thread : threads) thread.join();
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
          .count();
  std::cout << "float texts: " << kSingles << " singles, " << differences << " differences, "
            << seconds << " s on " << threads.size() << " threads" << std::endl;
  return differences == 0 ? 0 : 1;
}

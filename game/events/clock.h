#pragma once

#include <chrono>
#include <cstdint>

namespace zorvane {

// A monotonic clock in microseconds; tests put a hand-driven one in its place.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t NowMicros() = 0;
};

class SteadyClock : public Clock {
 public:
  int64_t NowMicros() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

}  // namespace zorvane

#pragma once

#include "game/events/clock.h"

namespace zorvane::test {

// A clock that moves only when a test moves it.
class FakeClock : public Clock {
 public:
  int64_t NowMicros() override { return now; }
  int64_t now = 1000000;
};

}  // namespace zorvane::test

#pragma once

#include <cstdint>
#include <deque>

#include "game/clock.h"
#include "game/window_events.h"

namespace zorvane {

// The game window's message queue: key-down events and close requests posted by the platform,
// and the timer tmrAI. Nothing runs until the frame loop lets the pending events run.
class EventQueue {
 public:
  static constexpr int64_t kTimerIntervalMicros = 20000;

  // The timer starts with the window, at the moment the queue is made.
  explicit EventQueue(Clock& clock);

  void PostKeyDown(int16_t keyCode, int16_t shift);
  void PostClose();

  // Runs every posted event in order, then the timer's tick if one is due. At most one tick
  // waits at a time: ticks missed while the loop was busy are not made up.
  void RunPending(WindowEvents& window);

 private:
  struct Event {
    enum class Kind { KeyDown, Close } kind;
    int16_t keyCode;
    int16_t shift;
  };

  Clock& clock_;
  std::deque<Event> events_;
  int64_t nextTick_;
};

}  // namespace zorvane

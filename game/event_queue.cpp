#include "game/event_queue.h"

namespace zorvane {

EventQueue::EventQueue(Clock& clock)
    : clock_(clock), nextTick_(clock.NowMicros() + kTimerIntervalMicros) {}

void EventQueue::PostKeyDown(int16_t keyCode, int16_t shift) {
  events_.push_back({Event::Kind::KeyDown, keyCode, shift});
}

void EventQueue::PostClose() { events_.push_back({Event::Kind::Close, 0, 0}); }

void EventQueue::RunPending(WindowEvents& window) {
  while (!events_.empty()) {
    const Event event = events_.front();
    events_.pop_front();
    if (event.kind == Event::Kind::KeyDown) {
      window.Form_KeyDown(event.keyCode, event.shift);
    } else {
      window.Form_Close();
    }
  }
  const int64_t now = clock_.NowMicros();
  if (now < nextTick_) return;
  // The timer keeps its own beat: the next tick falls due on the first beat after now.
  nextTick_ += ((now - nextTick_) / kTimerIntervalMicros + 1) * kTimerIntervalMicros;
  window.tmrAI_Timer();
}

}  // namespace zorvane

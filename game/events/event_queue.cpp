#include "game/events/event_queue.h"

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
    Run(event, window);
  }
  const int64_t now = clock_.NowMicros();
  if (now < nextTick_) return;
  // The timer keeps its own beat: the next tick falls due on the first beat after now.
  nextTick_ += ((now - nextTick_) / kTimerIntervalMicros + 1) * kTimerIntervalMicros;
  Run({Event::Kind::Tick, 0, 0}, window);
}

void EventQueue::Run(const Event& event, WindowEvents& window) {
  try {
    switch (event.kind) {
      case Event::Kind::KeyDown:
        window.Form_KeyDown(event.keyCode, event.shift);
        break;
      case Event::Kind::Close:
        window.Form_Close();
        break;
      case Event::Kind::Tick:
        window.tmrAI_Timer();
        break;
    }
  } catch (...) {
    Tell(event);
    throw;
  }
  Tell(event);
}

void EventQueue::Tell(const Event& event) {
  for (EventObserver* observer : observers_) {
    switch (event.kind) {
      case Event::Kind::KeyDown:
        observer->KeyDownRan(event.keyCode);
        break;
      case Event::Kind::Close:
        observer->CloseRan();
        break;
      case Event::Kind::Tick:
        observer->TickRan();
        break;
    }
  }
}

}  // namespace zorvane

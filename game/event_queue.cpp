#include "game/event_queue.h"

#include "game/form1.h"

namespace zorvane {

EventQueue::EventQueue(Clock& clock)
    : clock_(clock), nextTick_(clock.NowMicros() + kTimerIntervalMicros) {}

void EventQueue::PostKeyDown(int16_t keyCode, int16_t shift) {
  events_.push_back({Event::Kind::KeyDown, keyCode, shift});
}

void EventQueue::PostClose() { events_.push_back({Event::Kind::Close, 0, 0}); }

void EventQueue::RunPending(Form1& form) {
  while (!events_.empty()) {
    const Event event = events_.front();
    events_.pop_front();
    Run(event, form);
  }
  const int64_t now = clock_.NowMicros();
  if (now < nextTick_) return;
  // The timer keeps its own beat: the next tick falls due on the first beat after now.
  nextTick_ += ((now - nextTick_) / kTimerIntervalMicros + 1) * kTimerIntervalMicros;
  Run({Event::Kind::Tick, 0, 0}, form);
}

void EventQueue::Run(const Event& event, Form1& form) {
  try {
    switch (event.kind) {
      case Event::Kind::KeyDown:
        form.Form_KeyDown(event.keyCode, event.shift);
        break;
      case Event::Kind::Close:
        form.Form_Close();
        break;
      case Event::Kind::Tick:
        form.tmrAI_Timer();
        break;
    }
  } catch (...) {
    Tell(event, form);
    throw;
  }
  Tell(event, form);
}

void EventQueue::Tell(const Event& event, const Form1& form) {
  if (observer_ == nullptr) return;
  switch (event.kind) {
    case Event::Kind::KeyDown:
      observer_->KeyDownRan(event.keyCode, form);
      break;
    case Event::Kind::Close:
      observer_->CloseRan(form);
      break;
    case Event::Kind::Tick:
      observer_->TickRan(form);
      break;
  }
}

}  // namespace zorvane

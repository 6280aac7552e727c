#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "game/events/clock.h"
#include "game/events/window_events.h"

namespace zorvane {

// Hears of every event the queue ran, in the order it ran them, once the handler is done: what a
// recording of the game keeps. An event whose handler raised is told too, before the error goes
// on, so that a recording holds what stopped the game.
class EventObserver {
 public:
  virtual ~EventObserver() = default;
  virtual void KeyDownRan(int16_t keyCode) = 0;
  virtual void CloseRan() = 0;
  virtual void TickRan() = 0;
};

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

  // Every observer hears of every event, in the order they were added.
  void AddObserver(EventObserver* observer) { observers_.push_back(observer); }

 private:
  struct Event {
    enum class Kind { KeyDown, Close, Tick } kind;
    int16_t keyCode;
    int16_t shift;
  };

  void Run(const Event& event, WindowEvents& window);
  void Tell(const Event& event);

  Clock& clock_;
  std::vector<EventObserver*> observers_;
  std::deque<Event> events_;
  int64_t nextTick_;
};

}  // namespace zorvane

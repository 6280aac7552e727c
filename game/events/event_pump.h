#pragma once

namespace zorvane {

class Form1;

// What the frame loop calls at the start of every frame to let pending events run.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void DoEvents(Form1& form) = 0;
};

// A pump that delivers nothing: no keys and no timer ticks reach the game. For hosts that drive
// the game's events themselves, as the replay tool does.
class NoEvents : public EventPump {
 public:
  void DoEvents(Form1&) override {}
};

}  // namespace zorvane

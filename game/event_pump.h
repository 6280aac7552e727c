#pragma once

namespace zorvane {

class Form1;

// What the frame loop calls at the start of every frame to let pending events run.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void DoEvents(Form1& form) = 0;
};

}  // namespace zorvane

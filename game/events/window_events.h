#pragma once

#include <cstdint>

namespace zorvane {

// The handlers of the game window that its message queue calls: key-downs, close requests and
// the ticks of the timer tmrAI.
class WindowEvents {
 public:
  virtual void Form_KeyDown(int16_t keyCode, int16_t shift) = 0;
  virtual void Form_Close() = 0;
  virtual void tmrAI_Timer() = 0;

 protected:
  ~WindowEvents() = default;
};

}  // namespace zorvane

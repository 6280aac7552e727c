#pragma once

#include "game/form1.h"

namespace zorvane::test {

// An event pump that delivers nothing: no keys and no timer ticks reach the game.
class NoEvents : public EventPump {
 public:
  void DoEvents(Form1&) override {}
};

}  // namespace zorvane::test

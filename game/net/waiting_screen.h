#pragma once

#include "game/display/screen.h"

namespace zorvane::net {

// The screen of a game over the network: while the game waits for the other player, every
// frame shown carries a band of moving stripes along its top edge, drawn over a copy of the
// frame, so the game's own drawing stays as it is.
class WaitingScreen : public ForwardingScreen {
 public:
  static constexpr int kBandHeight = 8;

  explicit WaitingScreen(Screen& screen) : ForwardingScreen(screen) {}

  void SetWaiting(bool waiting) { waiting_ = waiting; }

  bool Present(const Surface& frame) override;

 private:
  bool waiting_ = false;
  int frames_ = 0;
  Surface marked_{0, 0};
};

}  // namespace zorvane::net

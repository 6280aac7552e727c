#pragma once

#include <memory>
#include <string>
#include <vector>

#include "game/display/screen.h"
#include "game/display/text_painter.h"

namespace zorvane::net {

// The screen of a game over the network: while the game waits for the other player, every
// frame shown carries a band of moving stripes along its top edge, drawn over a copy of the
// frame, so the game's own drawing stays as it is. Under the band, a notice may say what a friend
// types to join.
class WaitingScreen : public ForwardingScreen {
 public:
  static constexpr int kBandHeight = 8;

  explicit WaitingScreen(Screen& screen) : ForwardingScreen(screen) {}

  void SetWaiting(bool waiting) { waiting_ = waiting; }
  // Lines written under the band while waiting, yellow on black.
  void SetNotice(std::vector<std::string> lines);

  bool Present(const Surface& frame) override;

 private:
  bool waiting_ = false;
  int frames_ = 0;
  Surface marked_{0, 0};
  std::vector<std::string> notice_;
  std::unique_ptr<TextPainter> text_;  // opened with the first notice
};

}  // namespace zorvane::net

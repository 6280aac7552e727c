#include "game/net/waiting_screen.h"

#include <algorithm>

namespace zorvane::net {
namespace {

constexpr uint16_t kYellow = 0xffe0;  // RGB565
constexpr uint16_t kBlack = 0x0000;
constexpr int kStripeWidth = 16;

}  // namespace

bool WaitingScreen::Present(const Surface& frame) {
  if (!waiting_) return screen_.Present(frame);
  marked_ = frame;
  ++frames_;
  const int height = std::min(kBandHeight, marked_.height());
  for (int y = 0; y < height; ++y) {
    uint16_t* row = marked_.pixels() + static_cast<size_t>(y) * marked_.width();
    for (int x = 0; x < marked_.width(); ++x) {
      const bool yellow = ((x + y + frames_) / kStripeWidth) % 2 == 0;
      row[x] = yellow ? kYellow : kBlack;
    }
  }
  return screen_.Present(marked_);
}

}  // namespace zorvane::net

#include "game/net/waiting_screen.h"

#include <algorithm>

namespace zorvane::net {
namespace {

constexpr uint16_t kYellow = 0xffe0;  // RGB565
constexpr uint16_t kBlack = 0x0000;
constexpr int kStripeWidth = 16;
constexpr int kTextHeight = 16;
constexpr int kMargin = 4;

}  // namespace

void WaitingScreen::SetNotice(std::vector<std::string> lines) {
  notice_ = std::move(lines);
  if (!notice_.empty() && !text_) text_ = std::make_unique<TextPainter>(kTextHeight);
}

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
  int top = kBandHeight + kMargin;
  for (const std::string& line : notice_) {
    const Rect box{0, top, std::min(marked_.width(), text_->Width(line) + 2 * kMargin),
                   std::min(marked_.height(), top + text_->LineHeight())};
    if (box.right <= box.left || box.bottom <= box.top) break;
    marked_.ColorFill(box, kBlack);
    text_->Write(marked_, kMargin, top, line, kYellow);
    top = box.bottom;
  }
  return screen_.Present(marked_);
}

}  // namespace zorvane::net

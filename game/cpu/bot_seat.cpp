#include "game/cpu/bot_seat.h"

#include <utility>

namespace zorvane {

BotSeat::BotSeat(Block block, std::unique_ptr<BlockPlayer> player)
    : block_(block),
      player_(std::move(player)),
      shown_(static_cast<size_t>(player_->reactionTicks()) + 1) {}

void BotSeat::TickRan(const PlayState& shown, const PostKey& post) {
  const int64_t now = ++ticks_;
  const int64_t size = static_cast<int64_t>(shown_.size());
  shown_[static_cast<size_t>(now % size)] = shown;
  const int64_t seenTick = now - player_->reactionTicks();
  if (seenTick < 1) return;  // nothing on screen is old enough yet
  const Seen seen{seenTick, shown_[static_cast<size_t>(seenTick % size)]};
  const KeyPresses presses = player_->Look(seen, now, rate_);
  for (int i = 0; i < presses.count; ++i) {
    const int16_t key = presses.keys[i];
    if (BlockOfKey(key) != block_ || !rate_.MayPress(now + 1)) continue;
    rate_.Pressed(now + 1);
    post(key);
  }
}

}  // namespace zorvane

#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "game/cpu/block_player.h"

namespace zorvane {

// One block played by a BlockPlayer. After every tick the seat keeps what the screen shows, shows
// the player the state of its reaction time before, and posts the keys it presses that are its
// block's own and within the KeyRate; any other is dropped.
class BotSeat {
 public:
  using PostKey = std::function<void(int16_t keyCode)>;

  BotSeat(Block block, std::unique_ptr<BlockPlayer> player);

  // The game ran a tick, which left `shown` on screen.
  void TickRan(const PlayState& shown, const PostKey& post);

  const BlockPlayer& player() const { return *player_; }

 private:
  Block block_;
  std::unique_ptr<BlockPlayer> player_;
  std::vector<PlayState> shown_;  // the last reactionTicks() + 1 states, by tick
  int64_t ticks_ = 0;
  KeyRate rate_;
};

}  // namespace zorvane

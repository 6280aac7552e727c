#pragma once

#include <cstdint>
#include <vector>

#include "game/cpu/block_player.h"

namespace zorvane {

// The computer's player of one block. It sees the screen of 300, 200 or 100 ms before (level 1,
// 2 or 3), carries that forward with the rules of play and the keys it has pressed since, then
// tries plans of its own (stop, make for the middle, gather speed behind the other block and
// drive it into a wall) by stepping them ahead on a copy, and presses the first key of the best.
// It takes the other block to press nothing.
class CpuPlayer : public BlockPlayer {
 public:
  static constexpr int kMinLevel = 1;
  static constexpr int kMaxLevel = 3;

  CpuPlayer(Block block, int level);

  int reactionTicks() const override;
  KeyPresses Look(const Seen& seen, int64_t now, const KeyRate& rate) override;

 private:
  struct OwnKey {
    int64_t tick;  // the tick it ran before
    int16_t code;
  };

  Block block_;
  int level_;
  std::vector<OwnKey> pressed_;  // own keys not yet in what it has seen
};

}  // namespace zorvane

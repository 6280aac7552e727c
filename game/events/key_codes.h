#pragma once

#include <cstdint>
#include <optional>

namespace zorvane {

// The Windows virtual-key codes of the keys the game answers: what key-down events, recordings
// and network messages carry. Every other part of the game names them from here.
inline constexpr int16_t kVkReturn = 13;
inline constexpr int16_t kVkEscape = 27;

// The two blocks, and the four keys that push each of them.
enum class Block { Blue, Red };

struct BlockKeys {
  int16_t up, down, left, right;
};

inline constexpr BlockKeys kBlueKeys{38, 40, 37, 39};  // the arrows
inline constexpr BlockKeys kRedKeys{87, 83, 65, 68};   // W S A D

constexpr const BlockKeys& KeysOf(Block block) {
  return block == Block::Blue ? kBlueKeys : kRedKeys;
}

constexpr bool IsKeyOf(const BlockKeys& keys, int16_t code) {
  return code == keys.up || code == keys.down || code == keys.left || code == keys.right;
}

// The block a direction key pushes; empty for Enter, Escape and every other key.
constexpr std::optional<Block> BlockOfKey(int16_t code) {
  if (IsKeyOf(kBlueKeys, code)) return Block::Blue;
  if (IsKeyOf(kRedKeys, code)) return Block::Red;
  return std::nullopt;
}

// The same direction in `block`'s key set: W and Up are both up. Any other key stays itself.
constexpr int16_t SameKeyOf(Block block, int16_t code) {
  const std::optional<Block> from = BlockOfKey(code);
  if (!from) return code;
  const BlockKeys& in = KeysOf(*from);
  const BlockKeys& to = KeysOf(block);
  if (code == in.up) return to.up;
  if (code == in.down) return to.down;
  if (code == in.left) return to.left;
  return to.right;
}

// The ten keys: both blocks' directions, Enter and Escape.
constexpr bool IsGameKey(int16_t code) {
  return code == kVkReturn || code == kVkEscape || BlockOfKey(code).has_value();
}

}  // namespace zorvane

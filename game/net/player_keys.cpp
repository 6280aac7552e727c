#include "game/net/player_keys.h"

namespace zorvane::net {
namespace {

Block BlockOf(Role role) { return role == Role::Host ? Block::Blue : Block::Red; }

// The same direction in the other block's key set.
int16_t Twin(const BlockKeys& from, const BlockKeys& to, int16_t code) {
  if (code == from.up) return to.up;
  if (code == from.down) return to.down;
  if (code == from.left) return to.left;
  return to.right;
}

}  // namespace

std::optional<int16_t> OwnBlockKey(Role local, int16_t code) {
  const std::optional<Block> block = BlockOfKey(code);
  const Block own = BlockOf(local);
  if (!block) return IsGameKey(code) ? std::optional<int16_t>(code) : std::nullopt;
  return *block == own ? code : Twin(KeysOf(*block), KeysOf(own), code);
}

bool MayPress(Role sender, int16_t code) {
  return code == kVkReturn || code == kVkEscape || BlockOfKey(code) == BlockOf(sender);
}

}  // namespace zorvane::net

#include "game/net/player_keys.h"

namespace zorvane::net {
namespace {

Block BlockOf(Role role) { return role == Role::Host ? Block::Blue : Block::Red; }

}  // namespace

std::optional<int16_t> OwnBlockKey(Role local, int16_t code) {
  if (!IsGameKey(code)) return std::nullopt;
  return SameKeyOf(BlockOf(local), code);
}

bool MayPress(Role sender, int16_t code) {
  return code == kVkReturn || code == kVkEscape || BlockOfKey(code) == BlockOf(sender);
}

}  // namespace zorvane::net

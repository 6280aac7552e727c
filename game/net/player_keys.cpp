#include "game/net/player_keys.h"

namespace zorvane::net {
namespace {

constexpr int16_t kReturn = 13, kEscape = 27;
constexpr int16_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int16_t kA = 65, kD = 68, kS = 83, kW = 87;

// The same direction in the other key set.
std::optional<int16_t> Twin(int16_t code) {
  switch (code) {
    case kLeft:
      return kA;
    case kUp:
      return kW;
    case kRight:
      return kD;
    case kDown:
      return kS;
    case kA:
      return kLeft;
    case kW:
      return kUp;
    case kD:
      return kRight;
    case kS:
      return kDown;
    default:
      return std::nullopt;
  }
}

bool IsArrow(int16_t code) { return code >= kLeft && code <= kDown; }
bool IsWasd(int16_t code) { return code == kA || code == kD || code == kS || code == kW; }

bool IsBlockKey(Role role, int16_t code) {
  return role == Role::Host ? IsArrow(code) : IsWasd(code);
}

}  // namespace

std::optional<int16_t> OwnBlockKey(Role local, int16_t code) {
  if (code == kReturn || code == kEscape || IsBlockKey(local, code)) return code;
  if (IsArrow(code) || IsWasd(code)) return Twin(code);
  return std::nullopt;
}

bool MayPress(Role sender, int16_t code) {
  return code == kReturn || code == kEscape || IsBlockKey(sender, code);
}

}  // namespace zorvane::net

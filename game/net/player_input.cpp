#include "game/net/player_input.h"

namespace zorvane::net {

uint8_t InputBit(int16_t code) {
  if (code == kVkReturn) return kPressedEnter;
  if (code == kVkEscape) return kPressedEscape;
  const std::optional<Block> block = BlockOfKey(code);
  if (!block) return 0;
  const BlockKeys& keys = KeysOf(*block);
  if (code == keys.up) return kHeldUp;
  if (code == keys.down) return kHeldDown;
  if (code == keys.left) return kHeldLeft;
  return kHeldRight;
}

void LocalInput::Hold(std::span<const int16_t> codes) {
  held_ = 0;
  for (int16_t code : codes) held_ |= InputBit(code) & kHeldMask;
}

uint8_t LocalInput::Close() {
  const uint8_t input = held_ | pressed_;
  pressed_ = 0;
  return input;
}

bool KeySchedule::GoesDown(uint32_t age) {
  if (age == 0) return true;
  if (age < kFirstRepeatTicks) return false;
  // Tick k after the first repeat spans [20k, 20k + 20) ms; a repeat falls every 33 ms.
  const uint32_t k = age - kFirstRepeatTicks;
  const uint32_t start = k * kTickMillis;
  return k == 0 || (start + kTickMillis - 1) / kRepeatMillis != (start - 1) / kRepeatMillis;
}

bool KeySchedule::Step(size_t direction, bool held) {
  uint8_t& age = age_[direction];
  if (!held) {
    age = kNotHeld;
    return false;
  }
  if (age == kNotHeld) {
    age = 0;
    return true;
  }
  ++age;
  if (age == kFirstRepeatTicks + kBeatTicks) age = kFirstRepeatTicks;
  return GoesDown(age);
}

}  // namespace zorvane::net

#include "game/sdl/input/key_repeater.h"

#include <vector>

namespace zorvane {

void KeyRepeater::Press(int key, int16_t keyCode, const PostKeyDown& post) {
  Release(key);
  held_.push_back({key, keyCode, clock_.NowMicros() + kDelayMicros});
  post(keyCode);
}

void KeyRepeater::Release(int key) {
  std::erase_if(held_, [key](const HeldKey& held) { return held.key == key; });
}

void KeyRepeater::AddHeld(std::vector<int16_t>& codes) const {
  for (const HeldKey& held : held_) codes.push_back(held.keyCode);
}

void KeyRepeater::PostDue(const PostKeyDown& post) {
  const int64_t now = clock_.NowMicros();
  for (HeldKey& held : held_) {
    if (now < held.due) continue;
    // A pass that comes late (a slow frame) posts one repeat, however many fell due meanwhile,
    // and the key keeps its beat. A keyboard does the same: repeats a program is too slow to take
    // are folded into one key-down. Posting all the missed ones at once would fling the block
    // after every stall, and the timer does not make up missed ticks either.
    held.due += ((now - held.due) / kIntervalMicros + 1) * kIntervalMicros;
    post(held.keyCode);
  }
}

}  // namespace zorvane

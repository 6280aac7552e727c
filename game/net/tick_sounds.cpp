#include "game/net/tick_sounds.h"

#include <algorithm>

namespace zorvane::net {

void TickSounds::Play(const std::string& path) {
  const Played sound{tick_, path,
                     static_cast<size_t>(std::count(asked_.begin(), asked_.end(), path))};
  asked_.push_back(path);
  if (std::find(played_.begin(), played_.end(), sound) != played_.end()) return;
  played_.push_back(sound);
  sound_.Play(path);
}

void TickSounds::Forget(uint32_t upTo) {
  std::erase_if(played_, [upTo](const Played& sound) { return sound.tick <= upTo; });
}

}  // namespace zorvane::net

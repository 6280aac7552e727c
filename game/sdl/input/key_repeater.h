#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "game/events/clock.h"

namespace zorvane {

// How held keyboard keys repeat: as the platform repeats them (only the last key pressed), each
// key on its own, timed by the game, or not at all: over the network the game repeats the keys
// held by a schedule of its own.
enum class KeyRepeat { Platform, Each, Off };

// Keys held down, each repeating on its own the way a keyboard's typematic repeats the one key
// it repeats: the first repeat half a second after the press, then one every 33 ms, until the key
// is let go. The game's clock times it.
class KeyRepeater {
 public:
  static constexpr int64_t kDelayMicros = 500000;
  static constexpr int64_t kIntervalMicros = 33000;

  // Posts one key-down of a virtual-key code to the game.
  using PostKeyDown = std::function<void(int16_t keyCode)>;

  explicit KeyRepeater(Clock& clock) : clock_(clock) {}

  // `key` (the caller's name for the key) went down: its key-down is posted now and its repeats
  // are timed from now.
  void Press(int key, int16_t keyCode, const PostKeyDown& post);
  void Release(int key);
  void ReleaseAll() { held_.clear(); }

  // Posts the repeats due by now, in the order the keys went down.
  void PostDue(const PostKeyDown& post);
  // Adds the virtual-key codes of the keys held to `codes`.
  void AddHeld(std::vector<int16_t>& codes) const;

 private:
  struct HeldKey {
    int key;
    int16_t keyCode;
    int64_t due;
  };

  Clock& clock_;
  std::vector<HeldKey> held_;
};

}  // namespace zorvane

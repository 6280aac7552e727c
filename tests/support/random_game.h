#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorvane {
class GameRecorder;
}

namespace zorvane::test {

// A game played headless by two random players through the game's own event queue: a few of
// both blocks' keys every frame, Enter now and then, the clock moved a frame at a time, and
// Escape once `ticks` ticks have run. Rounds are seeded from `seed` too.
struct RandomGame {
  // The state of play after every event the game ran, up to the one that stopped it, as the
  // replay tool prints it: "key", "tick" or "close", then the blocks and Running.
  std::vector<std::string> states;
  int rounds = 0;
};

// Plays in the program directory `dir`. With a recorder, the recorder takes the settings, the
// seeds and the events, and is finished at the end.
RandomGame PlayRandomGame(const std::string& dir, uint32_t seed, int64_t ticks,
                          GameRecorder* recorder);

}  // namespace zorvane::test

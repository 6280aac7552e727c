#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "tools/arena/arena_players.h"

namespace zorvane {

struct ArenaOptions {
  std::array<PlayerChoice, 2> players;  // blue, red
  int64_t rounds = 1;
  uint32_t seed = 1;  // of the first round; each next round takes the next number
  int64_t maxTicks = 3000;
  std::string dataDirectory;    // the bitmaps the game loads
  std::string recordDirectory;  // empty: no recordings
  bool timings = false;
};

// How a round ended. A block at 0 health or below loses it, both at once is a draw; so is a
// round that reaches its last tick. A player that walks away loses.
struct RoundResult {
  std::optional<Block> winner;
  enum class End { Dead, Time, Left } end = End::Time;
  int64_t ticks = 0;
  int16_t blueHealth = 0;
  int16_t redHealth = 0;
};

// The processor time each of the computer's decisions took, in microseconds, blue's and red's.
using DecisionTimes = std::array<std::vector<double>, 2>;

// Plays round `round` (0 for the first) with the game's own code, headless: its start-up with
// `settings` and the round's seed, then ticks, each player's keys going through the game's
// event queue. With a record directory it is written there as round-NNNN.rec. Raises
// std::runtime_error for a player that cannot be started or a recording that cannot be made,
// RuntimeError for one the game stops on.
RoundResult PlayRound(const ArenaOptions& options, const Settings& settings, int64_t round,
                      DecisionTimes* times);

// The JSON line of a round.
std::string RoundLine(int64_t round, uint32_t seed, const RoundResult& result);

}  // namespace zorvane

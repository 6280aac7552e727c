#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "game/cpu/block_player.h"

namespace zorvane {

// A player of the arena as its command line names it: cpu:LEVEL, idle, random[:SEED] or
// exec:COMMAND.
struct PlayerChoice {
  enum class Kind { Cpu, Idle, Random, Exec } kind = Kind::Idle;
  std::string name;  // as given
  int level = 2;
  std::optional<uint32_t> seed;  // random: the first round's; else the arena's --seed
  std::string command;
};

// Nothing, with `problem` said, for a text that names no player.
std::optional<PlayerChoice> ParsePlayer(const std::string& text, std::string& problem);

// A fresh player of `block` for the round `round` (0 for the first), whose seed is roundSeed.
// Raises std::runtime_error for an outside program that cannot be started.
std::unique_ptr<BlockPlayer> MakePlayer(const PlayerChoice& choice, Block block, int64_t round,
                                        uint32_t roundSeed);

}  // namespace zorvane

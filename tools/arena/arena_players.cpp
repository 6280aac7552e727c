#include "tools/arena/arena_players.h"

#include <random>

#include "game/cpu/cpu_player.h"
#include "tools/arena/exec_bot.h"

namespace zorvane {
namespace {

// A block that never moves.
class IdlePlayer : public BlockPlayer {
 public:
  int reactionTicks() const override { return 0; }
  KeyPresses Look(const Seen&, int64_t, const KeyRate&) override { return {}; }
};

// After every tick nothing, or one of its four keys, each as likely, within the rate.
class RandomPlayer : public BlockPlayer {
 public:
  // Blue and red draw apart from each other and from the deal of the round, whatever the seed.
  RandomPlayer(Block block, uint32_t seed) : keys_(KeysOf(block)) {
    std::seed_seq seeds{seed, static_cast<uint32_t>(block == Block::Blue ? 1 : 2)};
    random_.seed(seeds);
  }

  int reactionTicks() const override { return 0; }
  KeyPresses Look(const Seen&, int64_t now, const KeyRate& rate) override {
    KeyPresses presses;
    const int16_t choices[] = {0, keys_.up, keys_.down, keys_.left, keys_.right};
    const int16_t key = choices[random_() % 5];
    if (key != 0 && rate.MayPress(now + 1)) presses.Add(key);
    return presses;
  }

 private:
  BlockKeys keys_;
  std::mt19937 random_;
};

bool ReadNumber(const std::string& text, uint32_t& value) {
  if (text.empty() || text.size() > 10 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  const unsigned long long number = std::stoull(text);
  if (number > UINT32_MAX) return false;
  value = static_cast<uint32_t>(number);
  return true;
}

}  // namespace

std::optional<PlayerChoice> ParsePlayer(const std::string& text, std::string& problem) {
  PlayerChoice choice;
  choice.name = text;
  const size_t colon = text.find(':');
  const std::string kind = text.substr(0, colon);
  const std::string value = colon == std::string::npos ? "" : text.substr(colon + 1);
  if (kind == "cpu" && (value == "1" || value == "2" || value == "3")) {
    choice.kind = PlayerChoice::Kind::Cpu;
    choice.level = value[0] - '0';
    return choice;
  }
  if (kind == "idle" && colon == std::string::npos) return choice;
  uint32_t seed = 0;
  if (kind == "random" && (colon == std::string::npos || ReadNumber(value, seed))) {
    choice.kind = PlayerChoice::Kind::Random;
    if (colon != std::string::npos) choice.seed = seed;
    return choice;
  }
  if (kind == "exec" && !value.empty()) {
    choice.kind = PlayerChoice::Kind::Exec;
    choice.command = value;
    return choice;
  }
  problem = "'" + text + "' is not a player: cpu:1, cpu:2, cpu:3, idle, random[:SEED] or " +
            "exec:COMMAND";
  return std::nullopt;
}

std::unique_ptr<BlockPlayer> MakePlayer(const PlayerChoice& choice, Block block, int64_t round,
                                        uint32_t roundSeed) {
  switch (choice.kind) {
    case PlayerChoice::Kind::Cpu:
      return std::make_unique<CpuPlayer>(block, choice.level);
    case PlayerChoice::Kind::Idle:
      return std::make_unique<IdlePlayer>();
    case PlayerChoice::Kind::Random:
      return std::make_unique<RandomPlayer>(
          block, choice.seed ? *choice.seed + static_cast<uint32_t>(round) : roundSeed);
    case PlayerChoice::Kind::Exec:
      return std::make_unique<ExecBot>(choice.command, block);
  }
  return nullptr;
}

}  // namespace zorvane

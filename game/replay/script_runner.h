#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "game/replay/replay_script.h"
#include "game/sim/form1.h"

namespace zorvane {

// An expect line that found the game elsewhere: the first field that differs, as texts that
// read back as the values.
class Desync : public std::runtime_error {
 public:
  Desync(long long line, std::string field, std::string expected, std::string found);

  long long line;
  std::string field;  // "blue.X", "red.Health", "running"
  std::string expected;
  std::string found;
};

// Runs a script's commands on a game window: what zorvane-replay and zorvane --play share. The
// game's start-up takes the script's settings, and each new round the seed a seed line gave it.
class ScriptRunner {
 public:
  // Where a round's seed comes from when no seed line names it.
  explicit ScriptRunner(std::function<uint32_t()> unscriptedSeed);

  // For the GameHost: the script's settings, or the file's when it has none; the seed of the
  // next new round.
  Settings ReadSettings(const std::string& path);
  uint32_t NextSeed();

  // Takes a seed line for the next new round, or the settings line for the start-up (the script
  // reader keeps that one before every other command).
  void Prepare(const ReplayCommand& command);

  // Runs a command that takes no time: key, close, set, expect, and those Prepare takes. An
  // expect that differs from the game raises Desync naming the line. Ticks and frames are the
  // host's: each runs them at its own pace.
  void Run(const ReplayCommand& command, Form1& form, long long line);

  // The seed a seed line left for the next new round: part of where a script stands.
  std::optional<uint32_t> pendingSeed() const { return nextSeed_; }
  void SetPendingSeed(std::optional<uint32_t> seed) { nextSeed_ = seed; }

 private:
  std::function<uint32_t()> unscriptedSeed_;
  std::optional<Settings> settings_;
  std::optional<uint32_t> nextSeed_;
};

}  // namespace zorvane

#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "settings/settings_file.h"

namespace zorvane::net {

// What games say to each other over the network. Every message is small and of a fixed shape;
// the other side is not trusted, so the decoder accepts nothing outside these bounds.
inline constexpr uint16_t kProtocolVersion = 2;
inline constexpr uint16_t kDefaultPort = 24760;
inline constexpr int kDefaultDelay = 1;
inline constexpr int kMaxDelay = 10;
inline constexpr size_t kMaxVersionLength = 32;
inline constexpr size_t kMaxMessageSize = 128;
inline constexpr size_t kMaxInputsPerMessage = 64;
inline constexpr size_t kMaxChecksPerMessage = 25;
inline constexpr size_t kMaxRunsPerMessage = 40;

// One side's input for one tick: which of its block's four directions are held, and whether
// Enter or Escape was pressed. Nothing else may be set.
inline constexpr uint8_t kHeldUp = 1;
inline constexpr uint8_t kHeldDown = 2;
inline constexpr uint8_t kHeldLeft = 4;
inline constexpr uint8_t kHeldRight = 8;
inline constexpr uint8_t kHeldMask = 15;
inline constexpr uint8_t kPressedEnter = 16;
inline constexpr uint8_t kPressedEscape = 32;
inline constexpr uint8_t kInputMask = 63;

// The program and protocol a side runs.
struct Versions {
  uint16_t protocol = kProtocolVersion;
  std::string program;
  bool operator==(const Versions&) const = default;
};

// The first message of a guest, who plays, or of a watcher.
struct Hello {
  Versions versions;
  bool watcher = false;
  bool operator==(const Hello&) const = default;
};

// The host's answer when it takes a guest or a watcher: its settings for both blocks and the
// session seed, from which both games draw the seed of every round.
struct Welcome {
  Versions versions;
  uint32_t seed = 0;
  Settings settings;
  bool operator==(const Welcome& other) const {
    return versions == other.versions && seed == other.seed &&
           settings.blue == other.settings.blue && settings.red == other.settings.red;
  }
};

enum class RefuseReason : uint8_t { Versions = 1, GameOn = 2, Full = 3 };

// The host's answer when it does not take a guest or a watcher; it names the host's versions.
struct Refuse {
  RefuseReason reason = RefuseReason::Versions;
  Versions versions;
  bool operator==(const Refuse&) const = default;
};

// A player's inputs of a run of ticks, sent again in every message until the other player has
// them, with what the sender holds of the other's and how far it has played.
struct Inputs {
  uint32_t first = 1;           // the tick of inputs[0]
  std::vector<uint8_t> inputs;  // 1 to kMaxInputsPerMessage
  uint32_t received = 0;        // the sender holds the receiver's inputs up to this tick
  uint32_t tick = 0;            // the last tick the sender has run
  int8_t ahead = 0;             // how many ticks the sender finds itself ahead of the receiver
  bool operator==(const Inputs&) const = default;
};

// The checksums of a player's state after a run of confirmed ticks (tick 0: the start of play).
struct Checks {
  uint32_t first = 0;
  std::vector<uint32_t> sums;  // 1 to kMaxChecksPerMessage
  bool operator==(const Checks&) const = default;
};

// Ticks in a row with the same inputs of both players.
struct TurnRun {
  uint8_t ticks = 1;  // 1 to 255
  uint8_t host = 0;
  uint8_t guest = 0;
  bool operator==(const TurnRun&) const = default;
};

// From the host to a watcher: both players' inputs of a run of confirmed ticks.
struct Turns {
  uint32_t first = 1;
  std::vector<TurnRun> runs;  // 1 to kMaxRunsPerMessage
  bool operator==(const Turns&) const = default;
};

using Message = std::variant<Hello, Welcome, Refuse, Inputs, Checks, Turns>;

}  // namespace zorvane::net

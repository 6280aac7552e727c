#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "settings/settings_file.h"

namespace zorvane::net {

// What two games say to each other over the network. Every message is small and of a fixed
// shape; the other side is not trusted, so the decoder accepts nothing outside these bounds.
inline constexpr uint16_t kProtocolVersion = 1;
inline constexpr uint16_t kDefaultPort = 24760;
inline constexpr int kDefaultDelay = 3;
inline constexpr int kMaxDelay = 25;
inline constexpr size_t kMaxVersionLength = 32;
inline constexpr size_t kMaxKeysPerTurn = 16;
inline constexpr size_t kMaxMessageSize = 128;

// The program and protocol a side runs.
struct Versions {
  uint16_t protocol = kProtocolVersion;
  std::string program;
  bool operator==(const Versions&) const = default;
};

// The guest's first message.
struct Hello {
  Versions versions;
  uint8_t delay = 0;  // how many ticks ahead the guest schedules its keys
  bool operator==(const Hello&) const = default;
};

// The host's answer when it takes the guest: its settings for both blocks and the seed of the
// first round, which both games then play with.
struct Welcome {
  Versions versions;
  uint8_t delay = 0;
  uint32_t seed = 0;
  Settings settings;
  bool operator==(const Welcome& other) const {
    return versions == other.versions && delay == other.delay && seed == other.seed &&
           settings.blue == other.settings.blue && settings.red == other.settings.red;
  }
};

enum class RefuseReason : uint8_t { Versions = 1, GameOn = 2 };

// The host's answer when it does not take the guest; it names the host's versions.
struct Refuse {
  RefuseReason reason = RefuseReason::Versions;
  Versions versions;
  bool operator==(const Refuse&) const = default;
};

// One side's key-downs for one tick and, from the host, the seed of any round that starts in
// that tick.
struct Turn {
  uint32_t tick = 0;
  uint32_t seed = 0;
  std::vector<int16_t> keys;
  bool operator==(const Turn&) const = default;
};

// The checksum of one side's state after a tick (tick 0: the start of play).
struct Check {
  uint32_t tick = 0;
  uint32_t checksum = 0;
  bool operator==(const Check&) const = default;
};

using Message = std::variant<Hello, Welcome, Refuse, Turn, Check>;

}  // namespace zorvane::net

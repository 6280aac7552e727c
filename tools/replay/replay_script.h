#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zorvane {

// One command of a replay script.
struct ReplayCommand {
  enum class Kind { Key, Tick, Frame, Set } kind = Kind::Tick;
  int16_t keyCode = 0;  // Key
  int64_t count = 1;    // Tick, Frame
  bool red = false;     // Set: which player
  std::string field;    // Set: one of the 13 fields of a player
  double value = 0;     // Set
};

class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses one line; nothing for a blank or comment line. Raises ScriptError for a malformed one.
std::optional<ReplayCommand> ParseReplayLine(std::string_view line);

}  // namespace zorvane

#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "game/sim/player_state.h"
#include "settings/settings_file.h"

namespace zorvane {

// One command of a replay script.
struct ReplayCommand {
  enum class Kind { Key, Tick, Frame, Set, Close, Seed, Settings, Expect } kind = Kind::Tick;
  int16_t keyCode = 0;  // Key
  int64_t count = 1;    // Tick, Frame
  bool red = false;     // Set: which player
  std::string field;    // Set: one of the 13 fields of a player
  double value = 0;     // Set
  uint32_t seed = 0;    // Seed
  Settings settings;    // Settings
  PlayState expected;   // Expect
};

class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses one line; nothing for a blank or comment line. Raises ScriptError for a malformed one.
std::optional<ReplayCommand> ParseReplayLine(std::string_view line);

// The settings and expect lines as the game's recorder writes them.
std::string SettingsLine(const Settings& settings);
std::string ExpectLine(const PlayState& state);

// A field of a block as an expect line writes it: a single's shortest text, which tells singles
// apart exactly, -0 from 0 too, so comparing two texts compares the bits; a health in decimal.
std::string FieldText(float value);
std::string FieldText(int16_t value);

// Reads a script line by line and parses it. A script that carries its settings is a recording:
// its last line, when no line end follows it, is what a game stopped while writing left, and it
// is passed over. A settings line after any command but a seed is malformed.
class ScriptReader {
 public:
  explicit ScriptReader(std::istream& in) : in_(in) {}

  // The next command; nothing at the end. Raises ScriptError for a malformed line.
  std::optional<ReplayCommand> Next();
  // The number of the line last read.
  long long line() const { return line_; }
  // Whether a recording's cut last line was passed over.
  bool droppedCutLine() const { return droppedCutLine_; }

 private:
  std::istream& in_;
  long long line_ = 0;
  bool recording_ = false;
  bool pastPrologue_ = false;
  bool droppedCutLine_ = false;
};

struct NumberedCommand {
  ReplayCommand command;
  long long line = 0;
};

// Reads a whole script file. Raises ScriptError naming the file, and the line for a malformed
// one.
std::vector<NumberedCommand> ReadScriptFile(const std::string& path);

// Whether the command belongs before the start-up when it comes before every other command:
// the settings the start-up reads and the seed of its round.
inline bool IsPrologue(const ReplayCommand& command) {
  return command.kind == ReplayCommand::Kind::Settings || command.kind == ReplayCommand::Kind::Seed;
}

}  // namespace zorvane

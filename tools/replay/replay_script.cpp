#include "tools/replay/replay_script.h"

#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "settings/number_text.h"

namespace zorvane {
namespace {

constexpr std::array<std::string_view, 13> kFields = {
    "X",     "Y",        "VX",   "VY",       "Health", "SavedVX",  "SavedVY",
    "Accel", "Friction", "Size", "MaxSpeed", "Damage", "MaxHealth"};

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

int64_t WholeNumber(std::string_view word, int64_t min, int64_t max, const char* what) {
  int64_t value = 0;
  auto r = std::from_chars(word.data(), word.data() + word.size(), value);
  if (r.ec != std::errc() || r.ptr != word.data() + word.size() || value < min || value > max) {
    throw ScriptError(std::string(what) + " must be a whole number from " + std::to_string(min) +
                      " to " + std::to_string(max) + ", not '" + std::string(word) + "'");
  }
  return value;
}

}  // namespace

std::optional<ReplayCommand> ParseReplayLine(std::string_view line) {
  if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
  const std::vector<std::string_view> words = Words(line);
  if (words.empty()) return std::nullopt;

  ReplayCommand command;
  const std::string_view verb = words[0];
  if (verb == "key" && words.size() == 2) {
    command.kind = ReplayCommand::Kind::Key;
    command.keyCode = static_cast<int16_t>(WholeNumber(words[1], 0, 65535, "a key code"));
  } else if ((verb == "tick" || verb == "frame") && words.size() <= 2) {
    command.kind = verb == "tick" ? ReplayCommand::Kind::Tick : ReplayCommand::Kind::Frame;
    if (words.size() == 2) command.count = WholeNumber(words[1], 1, 1000000000, "a count");
  } else if (verb == "set" && words.size() == 4) {
    command.kind = ReplayCommand::Kind::Set;
    if (words[1] != "blue" && words[1] != "red") {
      throw ScriptError("the player must be blue or red, not '" + std::string(words[1]) + "'");
    }
    command.red = words[1] == "red";
    bool known = false;
    for (std::string_view field : kFields) known = known || field == words[2];
    if (!known) throw ScriptError("no field '" + std::string(words[2]) + "'");
    command.field = words[2];
    if (!IsWholeNumber(words[3])) {
      throw ScriptError("the value must be a decimal number, not '" + std::string(words[3]) + "'");
    }
    if (command.field == "Health") {
      // Health is a 16-bit integer: the value rounds to the nearest, a half to the even one.
      double health = 0;
      std::string_view digits = words[3];
      if (digits[0] == '+') digits.remove_prefix(1);
      std::from_chars(digits.data(), digits.data() + digits.size(), health);
      health = std::nearbyint(health);
      if (!(health >= -32768 && health <= 32767)) {
        throw ScriptError("a health must lie from -32768 to 32767, not '" + std::string(words[3]) +
                          "'");
      }
      command.value = health;
    } else {
      command.value = ParseNumber(words[3]);
    }
  } else {
    throw ScriptError("expected 'key CODE', 'tick [N]', 'frame [N]' or 'set PLAYER FIELD VALUE'");
  }
  return command;
}

}  // namespace zorvane

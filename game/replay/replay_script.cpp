#include "game/replay/replay_script.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <type_traits>
#include <utility>
#include <vector>

#include "settings/float_chars.h"
#include "settings/number_text.h"

namespace zorvane {
namespace {

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

bool IsField(std::string_view name) {
  bool known = false;
  PlayerState player;
  VisitFields(player, [&](std::string_view field, auto&) { known = known || field == name; });
  return known;
}

// A value that reads back as one single, bit for bit.
float Single(std::string_view word) {
  if (!IsWholeNumber(word)) {
    throw ScriptError("the value must be a decimal number, not '" + std::string(word) + "'");
  }
  return ParseNumber(word);
}

void ParseSettings(const std::vector<std::string_view>& words, Settings& settings) {
  for (size_t i = 0; i < kSettingCount; ++i) {
    settings.blue[i] = Single(words[1 + i]);
    settings.red[i] = Single(words[1 + kSettingCount + i]);
  }
}

// The 13 fields of each block in their order, then Running as 1 or 0.
constexpr size_t kExpectWords = 1 + 2 * 13 + 1;

void ParseExpect(const std::vector<std::string_view>& words, PlayState& state) {
  size_t next = 1;
  const auto take = [&](std::string_view, auto& field) {
    const std::string_view word = words[next++];
    if constexpr (std::is_same_v<std::remove_reference_t<decltype(field)>, int16_t>) {
      field = static_cast<int16_t>(WholeNumber(word, -32768, 32767, "a health"));
    } else {
      field = Single(word);
    }
  };
  VisitFields(state.blue, take);
  VisitFields(state.red, take);
  state.running = WholeNumber(words[next], 0, 1, "running") == 1;
}

void AppendFields(std::string& line, const PlayerState& player) {
  VisitFields(player, [&](std::string_view, const auto& field) { line += " " + FieldText(field); });
}

}  // namespace

std::string FieldText(float value) { return ShortestText(value); }
std::string FieldText(int16_t value) { return std::to_string(value); }

std::string SettingsLine(const Settings& settings) {
  std::string line = "settings";
  for (float value : settings.blue) line += " " + ShortestText(value);
  for (float value : settings.red) line += " " + ShortestText(value);
  return line;
}

std::string ExpectLine(const PlayState& state) {
  std::string line = "expect";
  AppendFields(line, state.blue);
  AppendFields(line, state.red);
  return line + (state.running ? " 1" : " 0");
}

std::optional<ReplayCommand> ScriptReader::Next() {
  std::string text;
  while (std::getline(in_, text)) {
    ++line_;
    if (in_.eof() && recording_) {
      droppedCutLine_ = true;
      return std::nullopt;
    }
    std::optional<ReplayCommand> command = ParseReplayLine(text);
    if (!command) continue;
    if (command->kind == ReplayCommand::Kind::Settings) {
      if (pastPrologue_) {
        throw ScriptError("the settings line must come before every command but 'seed'");
      }
      recording_ = true;
    } else if (command->kind != ReplayCommand::Kind::Seed) {
      pastPrologue_ = true;
    }
    return command;
  }
  return std::nullopt;
}

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
    if (!IsField(words[2])) throw ScriptError("no field '" + std::string(words[2]) + "'");
    command.field = words[2];
    if (!IsWholeNumber(words[3])) {
      throw ScriptError("the value must be a decimal number, not '" + std::string(words[3]) + "'");
    }
    if (command.field == "Health") {
      // Health is a 16-bit integer: the value rounds to the nearest, a half to the even one.
      double health = 0;
      std::string_view digits = words[3];
      if (digits[0] == '+') digits.remove_prefix(1);
      ReadDouble(digits.data(), digits.data() + digits.size(), health);
      health = std::nearbyint(health);
      if (!(health >= -32768 && health <= 32767)) {
        throw ScriptError("a health must lie from -32768 to 32767, not '" + std::string(words[3]) +
                          "'");
      }
      command.value = health;
    } else {
      command.value = ParseNumber(words[3]);
    }
  } else if (verb == "close" && words.size() == 1) {
    command.kind = ReplayCommand::Kind::Close;
  } else if (verb == "seed" && words.size() == 2) {
    command.kind = ReplayCommand::Kind::Seed;
    command.seed = static_cast<uint32_t>(WholeNumber(words[1], 0, UINT32_MAX, "a seed"));
  } else if (verb == "settings" && words.size() == 1 + 2 * kSettingCount) {
    command.kind = ReplayCommand::Kind::Settings;
    ParseSettings(words, command.settings);
  } else if (verb == "expect" && words.size() == kExpectWords) {
    command.kind = ReplayCommand::Kind::Expect;
    ParseExpect(words, command.expected);
  } else {
    throw ScriptError(
        "expected 'key CODE', 'tick [N]', 'frame [N]', 'set PLAYER FIELD VALUE', 'close', "
        "'seed N', 'settings' and 12 numbers, or 'expect' and 27 values");
  }
  return command;
}

std::vector<NumberedCommand> ReadScriptFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw ScriptError("cannot read " + path + ": " + std::strerror(errno));
  ScriptReader reader(in);
  std::vector<NumberedCommand> commands;
  try {
    while (std::optional<ReplayCommand> command = reader.Next()) {
      commands.push_back({std::move(*command), reader.line()});
    }
  } catch (const ScriptError& error) {
    throw ScriptError(path + ": line " + std::to_string(reader.line()) + ": " + error.what());
  }
  if (in.bad()) throw ScriptError("cannot read " + path);
  return commands;
}

}  // namespace zorvane

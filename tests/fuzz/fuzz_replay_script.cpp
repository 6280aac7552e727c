// Any bytes as a replay script or a recording: each line on its own, as the parser takes it, and
// the whole as the script reader of zorvane-replay and zorvane --play reads it. A line is either
// refused with a script error or gives a command within the ranges the tools rely on; a
// recording's settings and expect lines read back as what they were written from.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "game/replay/replay_script.h"
#include "settings/number_text.h"
#include "tests/fuzz/fuzz_check.h"

namespace zorvane {
namespace {

std::vector<std::string> Words(std::string_view line) {
  std::istringstream in{std::string(line.substr(0, line.find('#')))};
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Written out as the recorder writes it, the line holds the same values, word for word, bit for
// bit, and reads back as itself.
void CheckWrittenAgain(std::string_view line, const std::string& written) {
  const std::vector<std::string> given = Words(line);
  const std::vector<std::string> again = Words(written);
  fuzz::Check(given.size() == again.size(), "a written line has the words it was read from");
  for (size_t i = 1; i < given.size(); ++i) {
    fuzz::Check(ShortestText(ParseNumber(given[i])) == ShortestText(ParseNumber(again[i])),
                "a written value is the value read");
  }
  const auto reread = ParseReplayLine(written);
  fuzz::Check(reread.has_value(), "a written line parses");
  const std::string rewritten = reread->kind == ReplayCommand::Kind::Settings
                                    ? SettingsLine(reread->settings)
                                    : ExpectLine(reread->expected);
  fuzz::Check(rewritten == written, "a written line reads back as itself");
}

void CheckCommand(std::string_view line, const ReplayCommand& command) {
  using Kind = ReplayCommand::Kind;
  if (command.kind == Kind::Tick || command.kind == Kind::Frame) {
    fuzz::Check(command.count >= 1 && command.count <= 1000000000, "a count from 1 to 10^9");
  }
  if (command.kind == Kind::Set) {
    fuzz::Check(!command.field.empty(), "a set names its field");
    fuzz::Check(std::isfinite(command.value), "a set value is finite");
    if (command.field == "Health") {
      fuzz::Check(command.value == std::nearbyint(command.value) && command.value >= -32768 &&
                      command.value <= 32767,
                  "a health is a 16-bit whole number");
    }
  }
  if (command.kind == Kind::Settings) {
    for (const PlayerSettings* player : {&command.settings.blue, &command.settings.red}) {
      for (float value : *player) fuzz::Check(std::isfinite(value), "a setting is finite");
    }
    CheckWrittenAgain(line, SettingsLine(command.settings));
  }
  if (command.kind == Kind::Expect) CheckWrittenAgain(line, ExpectLine(command.expected));
}

void Lines(std::string_view script) {
  while (!script.empty()) {
    const size_t end = script.find('\n');
    const std::string_view line = script.substr(0, end);
    script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);
    try {
      if (const auto command = ParseReplayLine(line)) CheckCommand(line, *command);
    } catch (const ScriptError&) {
      // A malformed line: the tool stops with status 2.
    }
  }
}

void Script(std::string_view script) {
  std::istringstream in{std::string(script)};
  ScriptReader reader(in);
  bool prologue = true;
  try {
    while (const auto command = reader.Next()) {
      fuzz::Check(command->kind != ReplayCommand::Kind::Settings || prologue,
                  "settings come before every command but a seed");
      prologue = prologue && IsPrologue(*command);
    }
  } catch (const ScriptError&) {
    // Refused: the tool stops with status 2, --play before any window.
  }
  fuzz::Check(!reader.droppedCutLine() || script.empty() || script.back() != '\n',
              "only a last line with no line end is passed over");
}

}  // namespace
}  // namespace zorvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  zorvane::Lines(script);
  zorvane::Script(script);
  return 0;
}

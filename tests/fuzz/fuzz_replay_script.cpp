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

#include "game/replay_script.h"
#include "tests/fuzz/fuzz_check.h"

namespace zorvane {
namespace {

// Written out again and read back, the line gives the same text: every value survives exactly.
void CheckReadsBack(const std::string& written) {
  const auto again = ParseReplayLine(written);
  fuzz::Check(again.has_value(), "a written line parses");
  const std::string rewritten = again->kind == ReplayCommand::Kind::Settings
                                    ? SettingsLine(again->settings)
                                    : ExpectLine(again->expected);
  fuzz::Check(rewritten == written, "a written line reads back as itself");
}

void CheckCommand(const ReplayCommand& command) {
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
    CheckReadsBack(SettingsLine(command.settings));
  }
  if (command.kind == Kind::Expect) CheckReadsBack(ExpectLine(command.expected));
}

void Lines(std::string_view script) {
  while (!script.empty()) {
    const size_t end = script.find('\n');
    const std::string_view line = script.substr(0, end);
    script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);
    try {
      if (const auto command = ParseReplayLine(line)) CheckCommand(*command);
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

// Any bytes as a replay script, one line at a time as the replay tool reads it. A line is either
// refused with a script error or gives a command within the ranges the tool relies on.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/fuzz/fuzz_check.h"
#include "tools/replay/replay_script.h"

namespace zorvane {
namespace {

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
}

}  // namespace
}  // namespace zorvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view script(reinterpret_cast<const char*>(data), size);
  while (!script.empty()) {
    const size_t end = script.find('\n');
    const std::string_view line = script.substr(0, end);
    script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);
    try {
      if (const auto command = zorvane::ParseReplayLine(line)) zorvane::CheckCommand(*command);
    } catch (const zorvane::ScriptError&) {
      // A malformed line: the tool stops with status 2.
    }
  }
  return 0;
}

// Any bytes as a message from the other game over the network. The decoder takes a message
// only within its bounds, and what it takes writes back to exactly the bytes it came from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

#include "game/net/message_codec.h"
#include "tests/fuzz/fuzz_check.h"

namespace zorvane {
namespace {

using namespace net;

// A hello, welcome or refusal of another protocol is read up to its versions alone.
bool OfAnotherProtocol(const Message& message) {
  if (const auto* hello = std::get_if<Hello>(&message)) {
    return hello->versions.protocol != kProtocolVersion;
  }
  if (const auto* welcome = std::get_if<Welcome>(&message)) {
    return welcome->versions.protocol != kProtocolVersion;
  }
  if (const auto* refuse = std::get_if<Refuse>(&message)) {
    return refuse->versions.protocol != kProtocolVersion;
  }
  return false;
}

void CheckMessage(const Message& message, std::span<const uint8_t> bytes) {
  fuzz::Check(bytes.size() <= kMaxMessageSize, "a message is at most 128 bytes");
  const auto valid = [](uint8_t input) { return (input & ~kInputMask) == 0; };
  if (const auto* inputs = std::get_if<Inputs>(&message)) {
    fuzz::Check(!inputs->inputs.empty() && inputs->inputs.size() <= kMaxInputsPerMessage,
                "inputs hold 1 to 64 ticks");
    fuzz::Check(inputs->first > 0, "ticks start at 1");
    fuzz::Check(std::all_of(inputs->inputs.begin(), inputs->inputs.end(), valid),
                "an input sets only its six bits");
  }
  if (const auto* checks = std::get_if<Checks>(&message)) {
    fuzz::Check(!checks->sums.empty() && checks->sums.size() <= kMaxChecksPerMessage,
                "checks hold 1 to 25 checksums");
  }
  if (const auto* turns = std::get_if<Turns>(&message)) {
    fuzz::Check(!turns->runs.empty() && turns->runs.size() <= kMaxRunsPerMessage,
                "turns hold 1 to 40 runs");
    for (const TurnRun& run : turns->runs) {
      fuzz::Check(run.ticks > 0 && valid(run.host) && valid(run.guest),
                  "a run of at least one tick and valid inputs");
    }
  }
  if (const auto* hello = std::get_if<Hello>(&message)) {
    fuzz::Check(hello->versions.program.size() <= kMaxVersionLength, "a short version");
  }
  if (OfAnotherProtocol(message)) return;
  const std::vector<uint8_t> again = Encode(message);
  fuzz::Check(std::equal(again.begin(), again.end(), bytes.begin(), bytes.end()),
              "a message writes back to its bytes");
}

}  // namespace
}  // namespace zorvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  if (const auto message = zorvane::net::Decode(bytes)) zorvane::CheckMessage(*message, bytes);
  return 0;
}

// Any bytes as a message from the other game over the network. The decoder takes a message
// only within its bounds, and what it takes writes back to exactly the bytes it came from.
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
  if (const auto* turn = std::get_if<Turn>(&message)) {
    fuzz::Check(turn->keys.size() <= kMaxKeysPerTurn, "a turn holds at most 16 keys");
    for (int16_t key : turn->keys) fuzz::Check(IsGameKey(key), "a turn holds the game's keys");
  }
  if (const auto* hello = std::get_if<Hello>(&message)) {
    fuzz::Check(hello->delay <= kMaxDelay, "a delay of at most 25");
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

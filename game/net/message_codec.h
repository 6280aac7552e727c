#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "game/net/messages.h"

namespace zorvane::net {

std::vector<uint8_t> Encode(const Message& message);

// Empty for anything that is not exactly one well-formed message: an unknown type, a wrong
// length, an empty run or more items than a message holds, an input with a bit that means
// nothing, a tick 0 where ticks start at 1, a flag other than 0 or 1, a version that is not short
// printable text, a setting that is not a finite number. A hello, welcome or refusal of another
// protocol is decoded up to its versions alone, so that it can be answered.
std::optional<Message> Decode(std::span<const uint8_t> bytes);

}  // namespace zorvane::net

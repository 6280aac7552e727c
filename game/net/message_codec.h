#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "game/events/key_codes.h"
#include "game/net/messages.h"

namespace zorvane::net {

std::vector<uint8_t> Encode(const Message& message);

// Empty for anything that is not exactly one well-formed message: an unknown type, a wrong
// length, more keys than a turn holds, a key that is not the game's, a delay out of range, a
// version that is not short printable text, a setting that is not a finite number. A hello or
// refusal of another protocol is decoded up to its versions alone, so that it can be answered.
std::optional<Message> Decode(std::span<const uint8_t> bytes);

}  // namespace zorvane::net

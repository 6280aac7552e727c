#pragma once

#include <cstdint>
#include <optional>

#include "game/events/key_codes.h"

namespace zorvane::net {

// The host drives the blue block, the guest the red one.
enum class Role { Host, Guest };

// A local key-down as the key that travels: each player steers their own block with either key
// set, so on the host W A S D become arrows and on the guest arrows become W A S D. Enter and
// Escape stay; any other key is nobody's.
std::optional<int16_t> OwnBlockKey(Role local, int16_t code);

// Whether a key received from the side playing `sender` is one that side may press: its own
// block's keys, Enter and Escape.
bool MayPress(Role sender, int16_t code);

}  // namespace zorvane::net

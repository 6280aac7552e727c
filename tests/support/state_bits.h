#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "game/sim/form1.h"
#include "game/sim/player_state.h"

namespace zorvane::test {

// Both blocks and Running as bits, so that two states compare exactly.
using StateBits = std::array<uint32_t, 27>;

inline StateBits Bits(const PlayState& play) {
  StateBits bits{};
  size_t i = 0;
  for (const PlayerState* p : {&play.blue, &play.red}) {
    VisitFields(*p, [&](std::string_view, auto v) {
      if constexpr (std::is_same_v<decltype(v), float>) {
        bits[i++] = std::bit_cast<uint32_t>(v);
      } else {
        bits[i++] = static_cast<uint16_t>(v);
      }
    });
  }
  bits[i] = play.running;
  return bits;
}

inline StateBits Bits(const Form1& form) { return Bits(form.Play()); }

}  // namespace zorvane::test

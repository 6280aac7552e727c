#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "game/events/clock.h"
#include "game/sdl/input/controller_player.h"

namespace zorvane {

// Which game controller drives which block. The first controller connected drives blue, the
// second red; one connected while a block has none takes the first free block, and unplugging a
// controller frees its block. A controller connected while both blocks have one drives nothing.
class ControllerSeats {
 public:
  explicit ControllerSeats(Clock& clock);

  // True when the controller (SDL's instance id) took a block.
  bool Connect(int32_t controller);
  void Disconnect(int32_t controller);
  // The player that controller is; null when it drives no block.
  ControllerPlayer* PlayerOf(int32_t controller);
  void PostDue(const KeyRepeater::PostKeyDown& post, bool repeat);
  void AddHeld(std::vector<int16_t>& codes) const;

 private:
  struct Seat {
    std::optional<int32_t> controller;
    ControllerPlayer player;
  };

  std::array<Seat, 2> seats_;  // blue, red
};

}  // namespace zorvane

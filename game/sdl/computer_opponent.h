#pragma once

#include "game/cpu/computer_seats.h"
#include "game/sdl/command_line.h"
#include "game/sdl/input/sdl_event_pump.h"

namespace zorvane {

// Against the computer, it plays its block and the person's keys all steer the other; in the
// demo it plays both, a new round starts by itself, and the person's first key hands the blocks
// to the people.
void SeatComputer(const GameOptions& options, ComputerSeats& computer, SdlEventPump& keys);

}  // namespace zorvane

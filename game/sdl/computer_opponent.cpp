#include "game/sdl/computer_opponent.h"

#include <memory>

#include "game/cpu/cpu_player.h"

namespace zorvane {

void SeatComputer(const GameOptions& options, ComputerSeats& computer, SdlEventPump& keys) {
  const auto seat = [&](Block block) {
    computer.Seat(block, std::make_unique<CpuPlayer>(block, options.level));
  };
  switch (options.computer) {
    case Computer::None:
      return;
    case Computer::Red:
      seat(Block::Red);
      keys.SteerOnly(Block::Blue);
      break;
    case Computer::Blue:
      seat(Block::Blue);
      keys.SteerOnly(Block::Red);
      break;
    case Computer::Both:
      seat(Block::Blue);
      seat(Block::Red);
      computer.StartRoundsAlone();
      keys.LeaveOnAnyKey([&computer] { computer.Leave(); });
      break;
  }
  keys.Observe(&computer);
}

}  // namespace zorvane

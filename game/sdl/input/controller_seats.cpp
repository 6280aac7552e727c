#include "game/sdl/input/controller_seats.h"

namespace zorvane {

ControllerSeats::ControllerSeats(Clock& clock)
    : seats_{Seat{{}, ControllerPlayer(clock, kBlueKeys)},
             Seat{{}, ControllerPlayer(clock, kRedKeys)}} {}

bool ControllerSeats::Connect(int32_t controller) {
  if (PlayerOf(controller) != nullptr) return true;
  for (Seat& seat : seats_) {
    if (!seat.controller) {
      seat.controller = controller;
      return true;
    }
  }
  return false;
}

void ControllerSeats::Disconnect(int32_t controller) {
  for (Seat& seat : seats_) {
    if (seat.controller == controller) {
      seat.controller.reset();
      seat.player.LetGo();
    }
  }
}

ControllerPlayer* ControllerSeats::PlayerOf(int32_t controller) {
  for (Seat& seat : seats_) {
    if (seat.controller == controller) return &seat.player;
  }
  return nullptr;
}

void ControllerSeats::PostDue(const KeyRepeater::PostKeyDown& post, bool repeat) {
  for (Seat& seat : seats_) {
    if (seat.controller) seat.player.PostDue(post, repeat);
  }
}

void ControllerSeats::AddHeld(std::vector<int16_t>& codes) const {
  for (const Seat& seat : seats_) {
    if (seat.controller) seat.player.AddHeld(codes);
  }
}

}  // namespace zorvane

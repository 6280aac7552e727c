#include "game/cpu/computer_seats.h"

#include <utility>

#include "game/sim/form1.h"

namespace zorvane {

void ComputerSeats::Seat(Block block, std::unique_ptr<BlockPlayer> player) {
  seats_.emplace_back(block, std::move(player));
}

void ComputerSeats::Leave() {
  seats_.clear();
  roundsAlone_ = false;
}

void ComputerSeats::TickRan() {
  const PlayState shown = form_->Play();
  for (BotSeat& seat : seats_) seat.TickRan(shown, post_);
  if (!roundsAlone_) return;
  const bool blockDead = shown.blue.Health <= 0 || shown.red.Health <= 0;
  deadTicks_ = blockDead ? deadTicks_ + 1 : 0;
  if (deadTicks_ == kDemoRoundTicks) post_(kVkReturn);
}

}  // namespace zorvane

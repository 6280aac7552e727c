#pragma once

#include <memory>
#include <vector>

#include "game/cpu/bot_seat.h"
#include "game/events/event_queue.h"

namespace zorvane {

class Form1;

// The blocks that players other than the people at the keys play, heard through the game's event
// queue: after every tick each seat's player sees the screen and its keys are posted to the queue
// as key-downs, which run before the next tick. In the demo a new round starts by itself two
// seconds after a block dies.
class ComputerSeats : public EventObserver {
 public:
  static constexpr int64_t kDemoRoundTicks = 100;

  explicit ComputerSeats(BotSeat::PostKey post) : post_(std::move(post)) {}

  void Seat(Block block, std::unique_ptr<BlockPlayer> player);
  // The demo: Enter, kDemoRoundTicks ticks after a block died.
  void StartRoundsAlone() { roundsAlone_ = true; }
  // The game whose screen the players see; before its first event.
  void Watch(const Form1& form) { form_ = &form; }
  // The people take over: nothing more is pressed.
  void Leave();

  const std::vector<BotSeat>& seats() const { return seats_; }

  void KeyDownRan(int16_t) override {}
  void CloseRan() override {}
  void TickRan() override;

 private:
  BotSeat::PostKey post_;
  const Form1* form_ = nullptr;
  std::vector<BotSeat> seats_;
  bool roundsAlone_ = false;
  int64_t deadTicks_ = 0;  // ticks in a row with a block dead
};

}  // namespace zorvane

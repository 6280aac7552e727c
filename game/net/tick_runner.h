#pragma once

#include <array>
#include <cstdint>

#include "game/display/sprite.h"
#include "game/net/player_input.h"
#include "game/net/tick_sounds.h"
#include "game/sim/player_state.h"
#include "settings/settings_file.h"

namespace zorvane {
class Form1;
class GameRecorder;
}  // namespace zorvane

namespace zorvane::net {

// Runs the ticks of a game over the network on the game window from both players' inputs: each
// side's key-downs by its key schedule, the host's before the guest's, then the timer's tick, as
// a local game runs the events of one pass. The seed of a round is the session seed plus the
// round's number, so that either game can start a round the other's Enter started. Its state
// and the window's are saved and put back whole, so that ticks can be run again.
class TickRunner {
 public:
  // Everything a tick reads or changes: both blocks, Running, the sprites (a load puts a new
  // bitmap in a sprite, so sharing them keeps them as they were), the key schedules and the
  // number of rounds begun. The round random is seeded afresh at every round, so it is not.
  struct State {
    PlayState play;
    Sprite background;
    Sprite redSprite;
    Sprite blueSprite;
    std::array<KeySchedule, 2> keys;
    uint32_t rounds = 0;
  };

  explicit TickRunner(TickSounds& sounds) : sounds_(sounds) {}

  // Play begins: both blocks take the host's settings and the first round starts. A recorder
  // is told of the settings and the round's seed. As at start-up, a bitmap that fails to load
  // leaves its sprite empty and play goes on.
  void Start(Form1& form, const Settings& settings, uint32_t sessionSeed, GameRecorder* recorder);
  // Runs one tick with both players' inputs. A recorder hears of its key-downs, seeds and tick
  // as it hears of a local game's.
  void Run(Form1& form, uint32_t tick, uint8_t hostInput, uint8_t guestInput,
           GameRecorder* recorder);
  // The seed of the round that starts now (the game's GameHost::roundSeed).
  uint32_t RoundSeed();

  State Save(const Form1& form) const;
  void Restore(Form1& form, const State& state);

 private:
  TickSounds& sounds_;
  std::array<KeySchedule, 2> keys_;
  uint32_t sessionSeed_ = 0;
  uint32_t rounds_ = 0;
  GameRecorder* recorder_ = nullptr;  // while a recorded run is under way
};

}  // namespace zorvane::net

#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "game/events/clock.h"
#include "game/events/key_codes.h"
#include "game/sdl/input/key_repeater.h"

namespace zorvane {

// The buttons of a game controller that mean something to the game.
enum class PadButton { Left, Up, Right, Down, Start, A, Back };
// The two axes of the left stick; SDL's range, -32768 to 32767, negative left and up.
enum class StickAxis { X, Y };

// One game controller driving one block exactly as that block's keys do. The d-pad and the left
// stick (past half its travel) press the block's keys, each direction repeating on its own;
// Start and A are Enter; Back is Escape, but only when held for a second, so that it is not
// pressed by mistake. Nothing else does anything.
class ControllerPlayer {
 public:
  // The stick presses a direction at half its travel, and lets it go only when back under
  // three eighths, so that a stick resting near the threshold does not chatter.
  static constexpr int kStickPress = 16384;
  static constexpr int kStickRelease = 12288;
  static constexpr int64_t kBackHoldMicros = 1000000;

  ControllerPlayer(Clock& clock, BlockKeys keys) : clock_(clock), keys_(keys), repeater_(clock) {}

  void SetButton(PadButton button, bool down, const KeyRepeater::PostKeyDown& post);
  void SetAxis(StickAxis axis, int value, const KeyRepeater::PostKeyDown& post);
  // Repeats that are due (unless `repeat` is false), and Escape once Back has been held long
  // enough.
  void PostDue(const KeyRepeater::PostKeyDown& post, bool repeat);
  // Adds the keys of the directions held to `codes`.
  void AddHeld(std::vector<int16_t>& codes) const;
  // The controller is gone: nothing it held stays held. SDL lets go of a leaving device's buttons
  // itself, but the next controller in this seat must start clean whatever the driver did.
  void LetGo();

 private:
  enum Direction { kLeft, kUp, kRight, kDown, kDirections };

  void Update(Direction direction, const KeyRepeater::PostKeyDown& post);
  int16_t KeyOf(Direction direction) const;

  Clock& clock_;
  BlockKeys keys_;
  KeyRepeater repeater_;
  std::array<bool, kDirections> pad_{};
  std::array<bool, kDirections> stick_{};
  std::array<bool, kDirections> held_{};
  bool backHeld_ = false;
  int64_t backDownAt_ = 0;
};

}  // namespace zorvane

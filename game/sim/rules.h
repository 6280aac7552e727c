#pragma once

#include <cstdint>

#include "game/events/key_codes.h"
#include "game/sim/player_state.h"

namespace zorvane {

inline constexpr float kArenaWidth = 640;
inline constexpr float kArenaHeight = 480;

// The rules of play on the blocks' records alone, without sprites or sounds. The game window's
// tick and keys are made of these, and a player that looks ahead steps the same code on a copy.
// Every one raises an overflow error where the window's arithmetic would.

// The wall step of one block: true when it hit a wall, whose damage TakeWallHit then takes.
bool BounceOffWall(PlayerState& p);
void TakeWallHit(PlayerState& p);
// The collision step: true when the blocks touched and traded their speeds.
bool Collide(PlayerState& blue, PlayerState& red);
// The motion step of one block.
void Move(PlayerState& p);
// A key-down of the block's own keys while it lives; any other key does nothing.
void Steer(PlayerState& p, int16_t keyCode, const BlockKeys& keys);

// What a tick did besides moving the blocks.
struct TickEvents {
  bool blueHitWall = false;
  bool redHitWall = false;
  bool collided = false;
};

// A whole tick as the window runs it, but for the sprites and sounds: the walls, blue then red,
// the collision, then the motion of blue and of red.
TickEvents StepPlay(PlayState& play);

}  // namespace zorvane

#pragma once

#include <cstdint>

namespace zorvane {

// One block: where it is, how it moves, its health, and its six settings.
struct PlayerState {
  float X = 0;
  float Y = 0;
  float VX = 0;
  float VY = 0;
  int16_t Health = 0;
  float SavedVX = 0;  // velocities as they were just before the latest collision exchange
  float SavedVY = 0;
  float Accel = 0;
  float Friction = 0;
  float Size = 0;
  float MaxSpeed = 0;
  float Damage = 0;
  float MaxHealth = 0;
};

}  // namespace zorvane

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

// The whole state of play: both blocks and Running, as an expect line states it.
struct PlayState {
  PlayerState blue;
  PlayerState red;
  bool running = false;
};

// Calls visit(name, field) on the 13 fields in their order; Health is the one int16_t.
template <typename Player, typename Visit>
void VisitFields(Player& p, Visit visit) {
  visit("X", p.X);
  visit("Y", p.Y);
  visit("VX", p.VX);
  visit("VY", p.VY);
  visit("Health", p.Health);
  visit("SavedVX", p.SavedVX);
  visit("SavedVY", p.SavedVY);
  visit("Accel", p.Accel);
  visit("Friction", p.Friction);
  visit("Size", p.Size);
  visit("MaxSpeed", p.MaxSpeed);
  visit("Damage", p.Damage);
  visit("MaxHealth", p.MaxHealth);
}

}  // namespace zorvane

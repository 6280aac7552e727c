#pragma once

#include "game/sim/player_state.h"
#include "settings/settings_file.h"

namespace zorvane {

// The six numbers of the settings file that belong to one block, in and out of its record.
inline void ApplySettings(PlayerState& player, const PlayerSettings& settings) {
  player.Accel = settings[kAccel];
  player.Friction = settings[kFriction];
  player.Size = settings[kSize];
  player.MaxSpeed = settings[kMaxSpeed];
  player.Damage = settings[kDamage];
  player.MaxHealth = settings[kMaxHealth];
}

inline PlayerSettings SettingsOf(const PlayerState& player) {
  PlayerSettings settings{};
  settings[kAccel] = player.Accel;
  settings[kFriction] = player.Friction;
  settings[kSize] = player.Size;
  settings[kMaxSpeed] = player.MaxSpeed;
  settings[kDamage] = player.Damage;
  settings[kMaxHealth] = player.MaxHealth;
  return settings;
}

}  // namespace zorvane

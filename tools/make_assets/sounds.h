#pragma once

#include <vector>

namespace zorvane::assetgen {

inline constexpr int kSampleRate = 22050;

// A block hitting a wall: a dull, short thud.
std::vector<float> MakeWallThud();

// Two blocks colliding: a sharp crack over a low boom.
std::vector<float> MakeCollisionBang();

}  // namespace zorvane::assetgen

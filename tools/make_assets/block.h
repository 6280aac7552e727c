#pragma once

#include "canvas.h"

namespace zorvane::assetgen {

// A raised, bevelled rounded box lit from the top left.
struct BoxStyle {
  Color base;
  float radius;
  float outline;  // dark rim width, keeps the silhouette crisp on any floor
  float bevel;    // sloped band width inside the rim
  float gloss;    // strength of the glossy highlights, 0 for matte
};

// Shades the point (px, py), given relative to the box centre.
Sample ShadeBevelBox(const BoxStyle& style, float px, float py, float hx, float hy);

enum class Player { kBlue, kRed };

// The player's block filling the square [left, left + size) x [top, top + size).
Shader BlockShader(Player player, bool dead, float left, float top, float size);

// The 30 x 30 sprite as the game loads it: opaque, with (0,0,0) as the colour key.
Image8 MakeBlockSprite(Player player, bool dead);

inline constexpr int kBlockSize = 30;

}  // namespace zorvane::assetgen

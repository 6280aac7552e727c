#include "game/sim/rules.h"

#include <cmath>

#include "game/sim/single_math.h"

namespace zorvane {
namespace {

// Friction and the speed limit on one velocity component. The tests read the value the step
// before just stored: a component below the friction can be pushed across zero and stay there.
float SlowAndLimit(float v, float friction, float maxSpeed) {
  if (v > 0) v = Difference(v, friction);
  if (v < 0) v = Sum(v, friction);
  if (std::fabs(v) > maxSpeed) {
    if (v < 0) v = -maxSpeed;
    if (v > 0) v = maxSpeed;
  }
  return v;
}

}  // namespace

// At most one wall per block and tick: the first test that holds is acted on. A bounce reverses
// and doubles the velocity across the wall and puts the block back one pixel inside.
bool BounceOffWall(PlayerState& p) {
  if (p.X >= Difference(kArenaWidth, p.Size)) {
    p.VX = Product(p.VX, -2);
    p.X = Difference(kArenaWidth - 1, p.Size);
  } else if (p.X <= 0) {
    p.VX = Product(p.VX, -2);
    p.X = 1;
  } else if (p.Y >= Difference(kArenaHeight, p.Size)) {
    p.VY = Product(p.VY, -2);
    p.Y = Difference(kArenaHeight - 1, p.Size);
  } else if (p.Y <= 0) {
    p.VY = Product(p.VY, -2);
    p.Y = 1;
  } else {
    return false;
  }
  return true;
}

// The damage comes off without rounding on the way and is rounded once. A result beyond the
// range of health stops at its limit, so a dead block left sliding cannot end the game.
void TakeWallHit(PlayerState& p) {
  p.Health = RoundToInt16Saturated(static_cast<double>(p.Health) - static_cast<double>(p.Damage));
}

// The blocks touch when a corner of the blue square lies inside the red square or on its edge.
// Every sum is computed, and rounded to single, before any comparison.
bool Collide(PlayerState& blue, PlayerState& red) {
  const PlayerState& b = blue;
  const PlayerState& r = red;
  const float redBottom = Sum(r.Y, r.Size);
  const float blueBottom = Sum(b.Y, b.Size);
  const float redRight = Sum(r.X, r.Size);
  const float blueRight = Sum(b.X, b.Size);
  const bool vertical =
      (r.Y <= b.Y && b.Y <= redBottom) || (r.Y <= blueBottom && blueBottom <= redBottom);
  const bool horizontal =
      (r.X <= b.X && b.X <= redRight) || (r.X <= blueRight && blueRight <= redRight);
  if (!(vertical && horizontal)) return false;

  blue.SavedVX = blue.VX;
  blue.SavedVY = blue.VY;
  red.SavedVX = red.VX;
  red.SavedVY = red.VY;
  blue.VX = Product(2, red.SavedVX);
  red.VX = Product(2, blue.SavedVX);
  blue.VY = Product(2, red.SavedVY);
  red.VY = Product(2, blue.SavedVY);
  return true;
}

void Move(PlayerState& p) {
  p.X = Sum(p.X, p.VX);
  p.VX = SlowAndLimit(p.VX, p.Friction, p.MaxSpeed);
  p.Y = Sum(p.Y, p.VY);
  p.VY = SlowAndLimit(p.VY, p.Friction, p.MaxSpeed);
}

void Steer(PlayerState& p, int16_t keyCode, const BlockKeys& keys) {
  if (p.Health <= 0) return;
  if (keyCode == keys.up) {
    p.VY = Difference(p.VY, p.Accel);
  } else if (keyCode == keys.down) {
    p.VY = Sum(p.VY, p.Accel);
  } else if (keyCode == keys.left) {
    p.VX = Difference(p.VX, p.Accel);
  } else if (keyCode == keys.right) {
    p.VX = Sum(p.VX, p.Accel);
  }
}

TickEvents StepPlay(PlayState& play) {
  TickEvents events;
  events.blueHitWall = BounceOffWall(play.blue);
  if (events.blueHitWall) TakeWallHit(play.blue);
  events.redHitWall = BounceOffWall(play.red);
  if (events.redHitWall) TakeWallHit(play.red);
  events.collided = Collide(play.blue, play.red);
  Move(play.blue);
  Move(play.red);
  return events;
}

}  // namespace zorvane

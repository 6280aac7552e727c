#include "game/cpu/cpu_player.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "game/sim/rules.h"
#include "settings/runtime_error.h"

namespace zorvane {
namespace {

// What sets the levels apart. Level 1 plans only half a second ahead: with the longer look of
// level 2 it held its own against level 2 by keeping to the middle, and a third of their rounds ran
// out of time.
struct Level {
  int reactionTicks;  // how old the screen it sees is
  int horizon;        // how many ticks each plan is stepped ahead
};
constexpr std::array<Level, CpuPlayer::kMaxLevel> kLevels{{{15, 25}, {10, 60}, {5, 80}}};

// How plans are scored: wall hits given and taken, a death, then where the blocks stand at the
// end of the plan. A hit further ahead counts for less.
constexpr float kWallHitScore = 100;
constexpr float kDeathScore = 300;
constexpr float kHeadingForWallScore = 70;
constexpr float kOffMiddleScore = 20;
constexpr float kOtherOffMiddleScore = 10;
constexpr float kDiscountPerTick = 0.985f;

PlayerState& Own(PlayState& play, Block block) {
  return block == Block::Blue ? play.blue : play.red;
}
PlayerState& Other(PlayState& play, Block block) {
  return block == Block::Blue ? play.red : play.blue;
}

// The far edges of where a block's corner stays clear of the walls.
float RightmostX(const PlayerState& p) { return kArenaWidth - p.Size; }
float LowestY(const PlayerState& p) { return kArenaHeight - p.Size; }

// The speed along one axis from which friction alone stops the block within `distance` (signed),
// no faster than `limit`.
float ApproachSpeed(float distance, const PlayerState& p, float limit) {
  const float friction = std::max(p.Friction, 0.1f);
  const float speed = std::min(std::sqrt(2 * friction * std::fabs(distance)), limit);
  return distance < 0 ? -speed : speed;
}

float SpeedLimit(const PlayerState& p) {
  return p.MaxSpeed > 0 ? p.MaxSpeed : 3 * std::fabs(p.Accel);
}

// The key that brings the block's velocity nearest to (vx, vy); 0 when none does better than
// pressing nothing.
int16_t KeyToward(const PlayerState& p, float vx, float vy, const BlockKeys& keys) {
  const float ex = vx - p.VX;
  const float ey = vy - p.VY;
  int16_t best = 0;
  float bestError = ex * ex + ey * ey;
  const struct {
    int16_t key;
    float dx, dy;
  } options[] = {{keys.up, 0, -p.Accel},
                 {keys.down, 0, p.Accel},
                 {keys.left, -p.Accel, 0},
                 {keys.right, p.Accel, 0}};
  for (const auto& option : options) {
    const float x = ex - option.dx;
    const float y = ey - option.dy;
    if (x * x + y * y < bestError) {
      bestError = x * x + y * y;
      best = option.key;
    }
  }
  return best;
}

enum class Aim { Coast, Stop, Middle, Strike };
enum class Wall { Left, Right, Top, Bottom };

// One plan: what the block aims at for the whole look ahead. A strike gathers speed behind the
// other block, drives it towards the wall, and stops once it has hit it.
struct Plan {
  Aim aim;
  Wall wall = Wall::Left;  // Strike: the wall to drive the other block into
  float runUp = 0;         // Strike: how far behind the other block speed is gathered
};

constexpr std::array<Plan, 11> kPlans = [] {
  std::array<Plan, 11> plans{};
  size_t n = 0;
  plans[n++] = {Aim::Coast};
  plans[n++] = {Aim::Stop};
  plans[n++] = {Aim::Middle};
  for (Wall wall : {Wall::Left, Wall::Right, Wall::Top, Wall::Bottom}) {
    for (float runUp : {10.0f, 60.0f}) plans[n++] = {Aim::Strike, wall, runUp};
  }
  return plans;
}();

// Flies a plan: the key it presses at each tick, from where the blocks are.
class Pilot {
 public:
  explicit Pilot(const Plan& plan) : plan_(plan) {}

  int16_t Key(const PlayerState& me, const PlayerState& them, const BlockKeys& keys) {
    const float limit = SpeedLimit(me);
    switch (plan_.aim) {
      case Aim::Coast:
        return 0;
      case Aim::Stop:
        break;
      case Aim::Middle:
        return KeyToward(me, ApproachSpeed(RightmostX(me) / 2 - me.X, me, limit),
                         ApproachSpeed(LowestY(me) / 2 - me.Y, me, limit), keys);
      case Aim::Strike:
        if (phase_ == Phase::RunUp) {
          const float behind = me.Size + plan_.runUp;
          const float x = std::clamp(them.X + behind * -towardsWallX(), 2.0f, RightmostX(me) - 2);
          const float y = std::clamp(them.Y + behind * -towardsWallY(), 2.0f, LowestY(me) - 2);
          const float dx = x - me.X;
          const float dy = y - me.Y;
          if (dx * dx + dy * dy >= kInPlace * kInPlace) {
            return KeyToward(me, them.VX + ApproachSpeed(dx, me, limit),
                             them.VY + ApproachSpeed(dy, me, limit), keys);
          }
          phase_ = Phase::Blow;
        }
        if (phase_ == Phase::Blow) {
          // Full speed towards the wall, lined up with the other block across it.
          const float alongX = towardsWallX();
          const float alongY = towardsWallY();
          if ((me.X - them.X) * alongX + (me.Y - them.Y) * alongY > me.Size) {
            phase_ = Phase::Done;  // went past it
          } else {
            return KeyToward(
                me,
                alongX != 0 ? alongX * limit : them.VX + ApproachSpeed(them.X - me.X, me, limit),
                alongY != 0 ? alongY * limit : them.VY + ApproachSpeed(them.Y - me.Y, me, limit),
                keys);
          }
        }
        break;
    }
    return KeyToward(me, 0, 0, keys);
  }

  void Ran(const TickEvents& events) {
    if (events.collided && phase_ == Phase::Blow) phase_ = Phase::Done;
  }

 private:
  static constexpr float kInPlace = 15;  // how near the run-up's start is near enough

  enum class Phase { RunUp, Blow, Done };

  // The direction of the plan's wall, -1, 0 or 1 on each axis.
  float towardsWallX() const {
    return plan_.wall == Wall::Left ? -1.0f : plan_.wall == Wall::Right ? 1.0f : 0.0f;
  }
  float towardsWallY() const {
    return plan_.wall == Wall::Top ? -1.0f : plan_.wall == Wall::Bottom ? 1.0f : 0.0f;
  }

  Plan plan_;
  Phase phase_ = Phase::RunUp;
};

// Whether the block, left alone, slides into a wall: its stopping distance against the gap.
bool HeadingForWall(const PlayerState& p) {
  const float friction = std::max(p.Friction, 0.1f);
  auto reaches = [&](float v, float low, float high) {
    const float stopping = v * v / (2 * friction) + std::fabs(v) / 2;
    return (v < 0 && stopping >= low) || (v > 0 && stopping >= high);
  };
  return reaches(p.VX, p.X, RightmostX(p) - p.X) || reaches(p.VY, p.Y, LowestY(p) - p.Y);
}

// 0 in the middle of the arena, 1 in a corner.
float OffMiddle(const PlayerState& p) {
  const float dx = (p.X - RightmostX(p) / 2) / (RightmostX(p) / 2);
  const float dy = (p.Y - LowestY(p) / 2) / (LowestY(p) / 2);
  return (dx * dx + dy * dy) / 2;
}

float Standing(const PlayerState& me, const PlayerState& them) {
  float score = -kOffMiddleScore * OffMiddle(me) + kOtherOffMiddleScore * OffMiddle(them);
  if (HeadingForWall(me)) score -= kHeadingForWallScore;
  return score;
}

// Steps the plan ahead from `play` and scores it; firstKey is the key it presses now.
float Score(const Plan& plan, PlayState play, Block block, KeyRate rate, int64_t tick, int horizon,
            int16_t& firstKey) {
  const BlockKeys& keys = KeysOf(block);
  PlayerState& me = Own(play, block);
  PlayerState& them = Other(play, block);
  Pilot pilot(plan);
  float score = 0;
  float weight = 1;
  for (int t = 0; t < horizon; ++t, ++tick) {
    int16_t key = 0;
    if (rate.MayPress(tick)) key = pilot.Key(me, them, keys);
    if (key != 0) {
      Steer(me, key, keys);
      rate.Pressed(tick);
    }
    if (t == 0) firstKey = key;
    const TickEvents events = StepPlay(play);
    pilot.Ran(events);
    weight *= kDiscountPerTick;
    const bool blue = block == Block::Blue;
    if (blue ? events.blueHitWall : events.redHitWall) score -= kWallHitScore * weight;
    if (blue ? events.redHitWall : events.blueHitWall) score += kWallHitScore * weight;
    if (me.Health <= 0 || them.Health <= 0) {
      if (me.Health > 0) return score + kDeathScore * weight;
      if (them.Health > 0) return score - kDeathScore * weight;
      return score;
    }
  }
  return score + weight * Standing(me, them);
}

}  // namespace

CpuPlayer::CpuPlayer(Block block, int level)
    : block_(block), level_(std::clamp(level, kMinLevel, kMaxLevel)) {}

int CpuPlayer::reactionTicks() const { return kLevels[level_ - 1].reactionTicks; }

KeyPresses CpuPlayer::Look(const Seen& seen, int64_t now, const KeyRate& rate) {
  std::erase_if(pressed_, [&](const OwnKey& key) { return key.tick <= seen.tick; });
  KeyPresses presses;
  if (!rate.MayPress(now + 1)) return presses;
  // What the screen shows now, as far as it can tell: what it saw, its own keys since, and the
  // other block left to itself.
  PlayState play = seen.state;
  try {
    for (int64_t tick = seen.tick + 1; tick <= now; ++tick) {
      for (const OwnKey& key : pressed_) {
        if (key.tick == tick) Steer(Own(play, block_), key.code, KeysOf(block_));
      }
      StepPlay(play);
    }
  } catch (const RuntimeError&) {
    return presses;  // numbers beyond a single's range: the game stops on them itself
  }
  if (Own(play, block_).Health <= 0 || Other(play, block_).Health <= 0) return presses;

  float bestScore = -std::numeric_limits<float>::infinity();
  int16_t bestKey = 0;
  for (const Plan& plan : kPlans) {
    int16_t firstKey = 0;
    float score;
    try {
      score = Score(plan, play, block_, rate, now + 1, kLevels[level_ - 1].horizon, firstKey);
    } catch (const RuntimeError&) {
      continue;  // a plan that would take the numbers past a single's range is no plan
    }
    if (score > bestScore) {
      bestScore = score;
      bestKey = firstKey;
    }
  }
  if (bestKey != 0) {
    presses.Add(bestKey);
    pressed_.push_back({now + 1, bestKey});
  }
  return presses;
}

}  // namespace zorvane

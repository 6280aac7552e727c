#include <gtest/gtest.h>

#include <random>

#include "game/sim/rules.h"
#include "settings/runtime_error.h"
#include "tests/support/game_fixture.h"
#include "tests/support/state_bits.h"
#include "tests/support/test_seed.h"

namespace zorvane {
namespace {

using test::GameTest;

struct MotionCase {
  const char* name;
  float vx, friction, maxSpeed;
  int ticks;
  float x, vxAfter;  // after the ticks, from X = 100
};

class Motion : public GameTest {};

TEST_F(Motion, OneAxisByTheTable) {
  const MotionCase cases[] = {
      {"friction takes its share", 3, 0.5f, 15, 1, 103, 2.5f},
      {"lands exactly on rest", 0.5f, 0.5f, 15, 1, 100.5f, 0},
      {"and stays at rest", 0.5f, 0.5f, 15, 3, 100.5f, 0},
      {"slow drift stays", 0.25f, 0.5f, 15, 4, 101, 0.25f},
      {"slow negative drift turns", -0.25f, 0.5f, 15, 1, 99.75f, 0.25f},
      {"and drifts the other way", -0.25f, 0.5f, 15, 3, 100.25f, 0.25f},
      {"full move before the limit", 17, 0.5f, 15, 1, 117, 15},
      {"at the limit after friction", -15.5f, 0.5f, 15, 1, 84.5f, -15},
      {"negative limit, positive speed", 5, 0.5f, -2, 1, 105, -2},
      {"negative limit, negative speed", -5, 0.5f, -2, 1, 95, -2},
      {"negative limit, at rest", 0, 0.5f, -2, 1, 100, 0},
      {"negative friction pushes", 1, -0.5f, 15, 1, 101, 1.5f},
      {"zero friction keeps", 2, 0, 15, 5, 110, 2},
  };
  for (const MotionCase& c : cases) {
    PlayerState& p = form.BluePlayer;
    p = PlayerState{};
    p.X = 100;
    p.VX = c.vx;
    p.Friction = c.friction;
    p.MaxSpeed = c.maxSpeed;
    for (int i = 0; i < c.ticks; ++i) form.MoveBluePlayer();
    EXPECT_EQ(p.X, c.x) << c.name;
    EXPECT_EQ(p.VX, c.vxAfter) << c.name;
  }
}

TEST_F(Motion, BothAxesAreLimitedSeparately) {
  PlayerState& p = form.RedPlayer;
  p.Friction = 0.5f;
  p.MaxSpeed = 15;
  Place(p, 100, 100, 16, -16);
  form.MoveRedPlayer();
  EXPECT_EQ(p.X, 116);
  EXPECT_EQ(p.Y, 84);
  EXPECT_EQ(p.VX, 15);
  EXPECT_EQ(p.VY, -15);
}

TEST_F(Motion, DeadBlockMovesLikeALivingOne) {
  for (int16_t health : {100, 0, -50}) {
    PlayerState& p = form.BluePlayer;
    p = PlayerState{};
    p.Health = health;
    p.Friction = 0.5f;
    p.MaxSpeed = 15;
    Place(p, 100, 200, 17, 3);
    form.MoveBluePlayer();
    EXPECT_EQ(p.X, 117) << health;
    EXPECT_EQ(p.VX, 15) << health;
    EXPECT_EQ(p.Y, 203) << health;
    EXPECT_EQ(p.VY, 2.5f) << health;
  }
}

TEST_F(Motion, SingleRoundingOfEveryStep) {
  PlayerState& p = form.BluePlayer;
  p.Friction = 0.1f;
  p.MaxSpeed = 100;
  Place(p, 0.1f, 0, 0.2f, 0);
  form.MoveBluePlayer();
  EXPECT_EQ(p.X, 0.1f + 0.2f);  // single sum, not the double one
  EXPECT_EQ(p.VX, 0.2f - 0.1f);
}

TEST_F(Motion, OverflowIsARunTimeError) {
  PlayerState& p = form.BluePlayer;
  p.MaxSpeed = 3e38f;
  Place(p, 3e38f, 0, 3e38f, 0);
  try {
    form.MoveBluePlayer();
    ADD_FAILURE() << "no overflow";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Overflow);
  }
}

TEST_F(Motion, TickRunsItsStepsInOrderBlueMovesFirst) {
  Start();
  // Blue at the right wall and both touching: the bounce happens before the exchange, which
  // sees the bounced velocity, and both moves use the exchanged velocities.
  Place(form.BluePlayer, 610, 100, 4, 0);
  Place(form.RedPlayer, 600, 100, 0, 0);
  form.tmrAI_Timer();
  EXPECT_EQ(form.BluePlayer.SavedVX, -8);  // bounced before the exchange
  EXPECT_EQ(form.RedPlayer.VX, -15);       // -16 moved it, then friction and the limit
  EXPECT_EQ(form.RedPlayer.X, 584);
  EXPECT_EQ(form.BluePlayer.X, 609);
  EXPECT_EQ(Sounds(), "/hitwall.wav /bang.wav ");
}

// What a player looking ahead steps is the window's tick, bit for bit: blocks dealt about the
// walls and each other, alive and dead, with odd settings, through hits, exchanges and overflows.
TEST_F(Motion, StepPlayIsTheWindowsTick) {
  Start();
  std::mt19937 random(test::TestSeed(7));
  auto draw = [&](float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
  };
  for (int n = 0; n < 3000; ++n) {
    for (PlayerState* p : {&form.BluePlayer, &form.RedPlayer}) {
      Place(*p, draw(-40, 650), draw(-40, 490), draw(-40, 40), draw(-40, 40));
      p->Health = static_cast<int16_t>(draw(-20, 40));
      p->Friction = n % 3 == 0 ? draw(-1, 2) : 0.5f;
      p->MaxSpeed = n % 5 == 0 ? draw(-5, 20) : 15;
      p->Size = n % 7 == 0 ? draw(0, 60) : 30;
      p->Damage = n % 11 == 0 ? draw(-10, 40) : 10;
      if (n % 97 == 0) p->VX = 3e38f;
    }
    if (n % 2 == 0) {
      Place(form.RedPlayer, form.BluePlayer.X + draw(-30, 30), form.BluePlayer.Y + draw(-30, 30),
            draw(-20, 20), draw(-20, 20));
    }
    PlayState stepped = form.Play();
    bool steppedFailed = false;
    try {
      StepPlay(stepped);
    } catch (const RuntimeError&) {
      steppedFailed = true;
    }
    bool tickFailed = false;
    try {
      form.tmrAI_Timer();
    } catch (const RuntimeError&) {
      tickFailed = true;
    }
    ASSERT_EQ(steppedFailed, tickFailed) << n;
    if (!tickFailed) {
      ASSERT_EQ(test::Bits(stepped), test::Bits(form)) << n;
    }
  }
}

}  // namespace
}  // namespace zorvane

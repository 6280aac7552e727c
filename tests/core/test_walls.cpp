#include <gtest/gtest.h>

#include "settings/runtime_error.h"
#include "tests/support/game_fixture.h"

namespace zorvane {
namespace {

class Walls : public test::GameTest {
 protected:
  void SetUp() override {
    Start();
    Place(form.RedPlayer, 300, 300);  // well away from the walls and the blue block
  }
};

struct BounceCase {
  const char* name;
  float x, y, vx, vy;
  float xAfter, yAfter, vxAfter, vyAfter;  // after BounceWalls alone
  int16_t health;
};

TEST_F(Walls, BounceByTheTable) {
  const BounceCase cases[] = {
      {"right wall", 612, 100, 9, 0, 609, 100, -18, 0, 90},
      {"exactly at the right bound", 610, 100, 0, 0, 609, 100, -0.0f, 0, 90},
      {"just inside", 609.5f, 100, 0, 0, 609.5f, 100, 0, 0, 100},
      {"left wall at rest", 0, 100, 0, 0, 1, 100, 0, 0, 90},
      {"left wall moving away", -5, 100, 3, 0, 1, 100, -6, 0, 90},
      {"only the left of two walls acts", -3, 460, -2, 5, 1, 460, 4, 5, 90},
      {"bottom wall", 100, 455, 0, 7, 100, 449, 0, -14, 90},
      {"top wall", 100, -0.5f, 0, -3, 100, 1, 0, 6, 90},
      {"corner inside", 609, 449, 1, 1, 609, 449, 1, 1, 100},
  };
  for (const BounceCase& c : cases) {
    PlayerState& p = form.BluePlayer;
    p.Health = 100;
    Place(p, c.x, c.y, c.vx, c.vy);
    form.BounceWalls();
    EXPECT_EQ(p.X, c.xAfter) << c.name;
    EXPECT_EQ(p.Y, c.yAfter) << c.name;
    EXPECT_EQ(p.VX, c.vxAfter) << c.name;
    EXPECT_EQ(p.VY, c.vyAfter) << c.name;
    EXPECT_EQ(p.Health, c.health) << c.name;
  }
}

TEST_F(Walls, BounceThenTheSameTicksMove) {
  Place(form.BluePlayer, 612, 100, 9, 0);
  form.tmrAI_Timer();
  EXPECT_EQ(form.BluePlayer.X, 591);
  EXPECT_EQ(form.BluePlayer.VX, -15);
  EXPECT_EQ(form.BluePlayer.Health, 90);
  EXPECT_EQ(Sounds(), "/hitwall.wav ");
}

TEST_F(Walls, AtRestAtTheLeftWallHitsOnce) {
  Place(form.BluePlayer, 0, 100);
  form.tmrAI_Timer();
  form.tmrAI_Timer();
  EXPECT_EQ(form.BluePlayer.X, 1);
  EXPECT_EQ(form.BluePlayer.Health, 90);
  EXPECT_EQ(Sounds(), "/hitwall.wav ");
}

TEST_F(Walls, HealthArithmetic) {
  struct Case {
    const char* name;
    float damage;
    int16_t health;
    std::vector<int16_t> after;  // health after each of successive hits
  } cases[] = {
      {"fractional damage rounds half to even", 2.5f, 100, {98, 96, 94}},
      {"a dead block loses more", 10, -20, {-30, -40}},
      {"negative damage heals", -10, 100, {110, 120}},
      {"stops at the lowest health", 10, -32760, {-32768, -32768}},
      {"huge damage stops at the limit", 1e6f, 100, {-32768}},
      {"huge healing stops at the limit", -1e6f, 100, {32767}},
  };
  for (const auto& c : cases) {
    PlayerState& p = form.BluePlayer;
    p.Damage = c.damage;
    p.Health = c.health;
    for (int16_t expected : c.after) {
      Place(p, 0, 100);
      form.BounceWalls();
      EXPECT_EQ(p.Health, expected) << c.name;
    }
  }
}

TEST_F(Walls, BothBlocksAtWallsEachPlayTheSound) {
  Place(form.BluePlayer, 620, 100);
  Place(form.RedPlayer, 100, -1);
  form.BounceWalls();
  EXPECT_EQ(form.BluePlayer.Health, 90);
  EXPECT_EQ(form.RedPlayer.Health, 90);
  EXPECT_EQ(Sounds(), "/hitwall.wav /hitwall.wav ");
}

TEST_F(Walls, WallHitDamagesOnlyTheBlockOfItsCode) {
  form.WallHit(Form1::kRedCode);
  form.WallHit(7);
  EXPECT_EQ(form.BluePlayer.Health, 100);
  EXPECT_EQ(form.RedPlayer.Health, 90);
  EXPECT_EQ(sound.played.size(), 2u);
}

TEST_F(Walls, BlockWiderThanTheArenaBouncesEveryTick) {
  PlayerState& p = form.BluePlayer;
  p.Size = 700;
  Place(p, 100, 100);
  const float expected[] = {-61, 1, -61, 1};
  for (float x : expected) {
    form.BounceWalls();
    EXPECT_EQ(p.X, x);
  }
  EXPECT_EQ(p.Health, 60);
}

TEST_F(Walls, OverflowingBounceIsARunTimeError) {
  Place(form.BluePlayer, 620, 100, 2e38f, 0);
  EXPECT_THROW(form.BounceWalls(), RuntimeError);
}

}  // namespace
}  // namespace zorvane

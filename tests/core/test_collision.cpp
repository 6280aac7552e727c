#include <gtest/gtest.h>

#include "settings/runtime_error.h"
#include "tests/support/game_fixture.h"

namespace zorvane {
namespace {

class Collision : public test::GameTest {
 protected:
  void SetUp() override { Start(); }
};

struct HitCase {
  const char* name;
  float bx, by, bSize, rx, ry, rSize;
  bool hit;
};

TEST_F(Collision, HitTestByTheTable) {
  const HitCase cases[] = {
      {"corner inside", 100, 100, 30, 120, 120, 30, true},
      {"touching along an edge", 100, 100, 30, 130, 100, 30, true},
      {"half a pixel apart", 100, 100, 30, 130.5f, 100, 30, false},
      {"bottom edge on top edge", 100, 100, 30, 90, 70, 30, true},
      {"corners touch", 100, 100, 30, 130, 130, 30, true},
      {"far apart", 100, 100, 30, 300, 300, 30, false},
      {"small red inside big blue", 100, 100, 64, 120, 120, 16, false},
      {"small blue inside big red", 120, 120, 16, 100, 100, 64, true},
      {"red crosses the middle of a big blue edge", 100, 100, 64, 120, 90, 16, false},
  };
  for (const HitCase& c : cases) {
    form.BluePlayer.Size = c.bSize;
    form.RedPlayer.Size = c.rSize;
    Place(form.BluePlayer, c.bx, c.by, 1, 0);
    Place(form.RedPlayer, c.rx, c.ry, 0, 0);
    sound.played.clear();
    form.CheckCollision();
    EXPECT_EQ(form.BluePlayer.VX, c.hit ? 0 : 1) << c.name;
    EXPECT_EQ(sound.played.size(), c.hit ? 1u : 0u) << c.name;
  }
}

TEST_F(Collision, VelocitiesAreExchangedAndDoubled) {
  Place(form.BluePlayer, 100, 100, 4, 0);
  Place(form.RedPlayer, 120, 120, -2, 1);
  form.CheckCollision();
  EXPECT_EQ(form.BluePlayer.VX, -4);
  EXPECT_EQ(form.BluePlayer.VY, 2);
  EXPECT_EQ(form.RedPlayer.VX, 8);
  EXPECT_EQ(form.RedPlayer.VY, 0);
  EXPECT_EQ(form.BluePlayer.SavedVX, 4);
  EXPECT_EQ(form.BluePlayer.SavedVY, 0);
  EXPECT_EQ(form.RedPlayer.SavedVX, -2);
  EXPECT_EQ(form.RedPlayer.SavedVY, 1);
  EXPECT_EQ(Sounds(), "/bang.wav ");
}

TEST_F(Collision, BlocksAtRestTouchingBangEveryTick) {
  Place(form.BluePlayer, 100, 100);
  Place(form.RedPlayer, 130, 100);
  for (int i = 0; i < 3; ++i) form.tmrAI_Timer();
  EXPECT_EQ(Sounds(), "/bang.wav /bang.wav /bang.wav ");
  EXPECT_EQ(form.BluePlayer.X, 100);
  EXPECT_EQ(form.RedPlayer.X, 130);
}

TEST_F(Collision, DeadBlocksCollideToo) {
  form.RedPlayer.Health = -5;
  Place(form.BluePlayer, 100, 100, 3, 0);
  Place(form.RedPlayer, 110, 100, 0, 0);
  form.CheckCollision();
  EXPECT_EQ(form.RedPlayer.VX, 6);
}

TEST_F(Collision, OverflowingSumIsARunTimeError) {
  // Even a sum that the decision does not need is computed and overflows.
  form.BluePlayer.Size = 3e38f;
  Place(form.BluePlayer, 3e38f, 100);
  Place(form.RedPlayer, 300, 300);
  EXPECT_THROW(form.CheckCollision(), RuntimeError);
}

}  // namespace
}  // namespace zorvane

#include <gtest/gtest.h>

#include "settings/runtime_error.h"
#include "tests/support/game_fixture.h"

namespace zorvane {
namespace {

class Keys : public test::GameTest {
 protected:
  void SetUp() override { Start(); }
};

struct KeyCase {
  int16_t code;
  int16_t blueHealth, redHealth;
  float blueVX, blueVY, redVX, redVY;  // after the key, from rest
};

TEST_F(Keys, EachKeyMovesItsOwnLivingBlock) {
  const KeyCase cases[] = {
      {38, 1, 100, 0, -5, 0, 0},   {40, 100, 100, 0, 5, 0, 0},  {37, 100, 100, -5, 0, 0, 0},
      {39, 100, 100, 5, 0, 0, 0},  {87, 100, 100, 0, 0, 0, -5}, {83, 100, 100, 0, 0, 0, 5},
      {65, 100, 100, 0, 0, -5, 0}, {68, 100, 100, 0, 0, 5, 0},  {38, 0, 100, 0, 0, 0, 0},
      {87, -3, 100, 0, 0, 0, -5},  {87, 100, 0, 0, 0, 0, 0},    {119, 100, 100, 0, 0, 0, 0},
      {32, 100, 100, 0, 0, 0, 0},  {13, 100, 100, 0, 0, 0, 0},
  };
  for (const KeyCase& c : cases) {
    Place(form.BluePlayer, 200, 200);
    Place(form.RedPlayer, 400, 300);
    form.BluePlayer.Health = c.blueHealth;
    form.RedPlayer.Health = c.redHealth;
    form.Form_KeyDown(c.code, 0);
    EXPECT_EQ(form.BluePlayer.VX, c.blueVX) << c.code;
    EXPECT_EQ(form.BluePlayer.VY, c.blueVY) << c.code;
    EXPECT_EQ(form.RedPlayer.VX, c.redVX) << c.code;
    EXPECT_EQ(form.RedPlayer.VY, c.redVY) << c.code;
    EXPECT_EQ(form.BluePlayer.X, 200) << "keys never move a block themselves";
  }
}

TEST_F(Keys, ShiftIsIgnored) {
  form.Form_KeyDown(87, 1);
  EXPECT_EQ(form.RedPlayer.VY, -5);
}

TEST_F(Keys, PressesAddUpBeforeTheTick) {
  Place(form.BluePlayer, 200, 200);
  Place(form.RedPlayer, 400, 300);
  for (int i = 0; i < 4; ++i) form.Form_KeyDown(39, 0);
  EXPECT_EQ(form.BluePlayer.VX, 20);
  form.tmrAI_Timer();
  EXPECT_EQ(form.BluePlayer.X, 220);
  EXPECT_EQ(form.BluePlayer.VX, 15);
}

TEST_F(Keys, EnterStartsARoundOnlyWhenABlockIsDead) {
  struct Case {
    int16_t blue, red;
    bool newRound;
  } cases[] = {{100, 100, false}, {40, -10, true}, {0, 100, true}, {-1, -1, true}};
  for (const Case& c : cases) {
    form.BluePlayer.Health = c.blue;
    form.RedPlayer.Health = c.red;
    Place(form.BluePlayer, 200, 200, 3, -2);
    form.Form_KeyDown(13, 0);
    EXPECT_EQ(form.BluePlayer.Health, c.newRound ? 100 : c.blue);
    EXPECT_EQ(form.RedPlayer.Health, c.newRound ? 100 : c.red);
    EXPECT_EQ(form.BluePlayer.X != 200, c.newRound);
    EXPECT_EQ(form.BluePlayer.VX, 3) << "velocity carries over";
  }
}

TEST_F(Keys, EscapeStopsTheGameWhateverTheHealth) {
  for (int16_t health : {100, 0}) {
    form.Running = true;
    form.RedPlayer.Health = health;
    form.Form_KeyDown(27, 0);
    EXPECT_FALSE(form.Running);
  }
}

TEST_F(Keys, EnterFailingToLoadABitmapIsAnError) {
  form.RedPlayer.Health = 0;
  std::remove((dir / "blueblock.bmp").c_str());
  EXPECT_THROW(form.Form_KeyDown(13, 0), RuntimeError);
  EXPECT_EQ(form.BlueSprite.Surface, nullptr);
  EXPECT_NE(form.RedSprite.Surface, nullptr);
}

}  // namespace
}  // namespace zorvane

#include <gtest/gtest.h>

#include "settings/runtime_error.h"
#include "tests/support/game_fixture.h"

namespace zorvane {
namespace {

std::string Settings(const std::string& blue, const std::string& red) {
  return blue + "\r\n" + red + "\r\n";
}

class Round : public test::GameTest {
 protected:
  // For tests that deal rounds by the thousand: each round loads its three bitmaps, and where
  // the blocks start does not depend on them, so one-pixel ones keep the rounds cheap.
  void UseOnePixelBitmaps() {
    for (const char* name : {"bg.bmp", "redblock.bmp", "blueblock.bmp"}) {
      test::WriteBitmap(dir / name, 1, 1, [](int, int) { return test::Rgb{0, 64, 0}; });
    }
  }
};

TEST_F(Round, StartUpReadsTheSettingsAndStartsAtRest) {
  Start(Settings("1 2 3 4 5 6", "7 8 9 10 11 12"));
  const PlayerState& b = form.BluePlayer;
  const PlayerState& r = form.RedPlayer;
  EXPECT_EQ((std::array{b.Accel, b.Friction, b.Size, b.MaxSpeed, b.Damage, b.MaxHealth}),
            (std::array<float, 6>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ((std::array{r.Accel, r.Friction, r.Size, r.MaxSpeed, r.Damage, r.MaxHealth}),
            (std::array<float, 6>{7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(b.VX, 0);
  EXPECT_EQ(r.VY, 0);
  EXPECT_TRUE(form.Running);
  EXPECT_EQ(b.Health, 6);
}

TEST_F(Round, HealthRoundsHalfToEven) {
  struct Case {
    const char* maxHealth;
    int16_t health;
  } cases[] = {{"100", 100}, {"100.5", 100}, {"101.5", 102},   {"99.4", 99},
               {"0.4", 0},   {"-7", -7},     {"32767", 32767}, {"-32768.5", -32768}};
  for (const Case& c : cases) {
    test::WriteFile(dir / "zorvane.ini",
                    Settings(std::string("5 0.5 30 15 10 ") + c.maxHealth, "5 0.5 30 15 10 1"));
    Start(test::ReadFile(dir / "zorvane.ini"));
    EXPECT_EQ(form.BluePlayer.Health, c.health) << c.maxHealth;
  }
}

TEST_F(Round, HealthBeyondSixteenBitsIsAnOverflow) {
  Start();
  form.BluePlayer.MaxHealth = 40000;
  try {
    form.NewRound();
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Overflow);
  }
}

TEST_F(Round, PositionsLieInTheirRanges) {
  Start();
  UseOnePixelBitmaps();
  for (int i = 0; i < 2000; ++i) {
    form.NewRound();
    for (const PlayerState* p : {&form.BluePlayer, &form.RedPlayer}) {
      EXPECT_GE(p->X, -30);
      EXPECT_LT(p->X, 610);
      EXPECT_GE(p->Y, -30);
      EXPECT_LT(p->Y, 450);
    }
  }
}

TEST_F(Round, SizeDecidesWhereABlockCanStart) {
  Start(Settings("5 0.5 640 15 10 100", "5 0.5 0 15 10 100"));
  UseOnePixelBitmaps();
  for (int i = 0; i < 500; ++i) {
    form.NewRound();
    EXPECT_LT(form.BluePlayer.X, 0);
    EXPECT_GE(form.RedPlayer.X, 0);
    EXPECT_LT(form.RedPlayer.X, 640);
  }
}

TEST_F(Round, SameSeedSamePlaces) {
  Start();
  seed = 77;
  form.NewRound();
  const PlayerState first = form.RedPlayer;
  seed = 77;
  form.NewRound();
  EXPECT_EQ(form.RedPlayer.X, first.X);
  EXPECT_EQ(form.RedPlayer.Y, first.Y);
  EXPECT_NE(form.RedPlayer.X, form.BluePlayer.X);
}

TEST_F(Round, NewRoundLoadsTheNormalBitmaps) {
  Start();
  EXPECT_EQ(form.BackgroundSprite.Surface->source(), dir / "bg.bmp");
  EXPECT_EQ(form.RedSprite.Surface->source(), dir / "redblock.bmp");
  EXPECT_EQ(form.BlueSprite.Surface->source(), dir / "blueblock.bmp");
  EXPECT_EQ(form.BlueSprite.Rect.right, 30);
  EXPECT_EQ(form.BackgroundSprite.Rect.bottom, 480);
}

TEST_F(Round, MissingRedBlockAtStartUpLeavesTheBackgroundAlone) {
  test::WriteGameFiles(dir.path(), test::DefaultSettingsText());
  std::remove((dir / "redblock.bmp").c_str());
  form.StartUp();
  EXPECT_EQ(form.BluePlayer.Health, 100);
  EXPECT_NE(form.BackgroundSprite.Surface, nullptr);
  EXPECT_EQ(form.RedSprite.Surface, nullptr);
  EXPECT_EQ(form.BlueSprite.Surface, nullptr);
  EXPECT_EQ(form.RedSprite.Rect.right, 0);
  const DrawnSprites drawn = form.DrawFrame();
  EXPECT_TRUE(drawn.background);
  EXPECT_FALSE(drawn.red);
  EXPECT_FALSE(drawn.blue);
}

TEST_F(Round, SettingsFailuresStopTheStartUpBeforeTheDisplay) {
  struct Case {
    const char* name;
    bool write;
    std::string text;
    ErrorKind kind;
  } cases[] = {{"missing", false, "", ErrorKind::FileNotFound},
               {"eleven numbers", true, "1 2 3 4 5 6 7 8 9 10 11", ErrorKind::InputPastEnd},
               {"empty", true, "", ErrorKind::InputPastEnd},
               {"beyond single", true, "1 2 3 4 5 6 7 8 9 10 11 4e38", ErrorKind::Overflow}};
  for (const Case& c : cases) {
    std::remove((dir / "zorvane.ini").c_str());
    if (c.write) test::WriteFile(dir / "zorvane.ini", c.text);
    try {
      form.StartUp();
      ADD_FAILURE() << c.name;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.kind(), c.kind) << c.name;
    }
    EXPECT_TRUE(screen.calls.empty()) << c.name;
  }
}

class DeadSprites : public test::GameTest {
 protected:
  void SetUp() override {
    Start();
    Place(form.BluePlayer, 100, 100);
    Place(form.RedPlayer, 300, 300);
  }
};

TEST_F(DeadSprites, BothDeadChangeInTheSameTick) {
  form.BluePlayer.Health = 0;
  form.RedPlayer.Health = -4;
  form.tmrAI_Timer();
  EXPECT_EQ(form.RedSprite.Surface->source(), dir / "reddead.bmp");
  EXPECT_EQ(form.BlueSprite.Surface->source(), dir / "bluedead.bmp");
}

TEST_F(DeadSprites, DeathByAWallShowsInThatTick) {
  form.BluePlayer.Health = 10;
  Place(form.BluePlayer, 0, 100);
  form.tmrAI_Timer();
  EXPECT_EQ(form.BluePlayer.Health, 0);
  EXPECT_EQ(form.BlueSprite.Surface->source(), dir / "bluedead.bmp");
  EXPECT_EQ(form.RedSprite.Surface->source(), dir / "redblock.bmp");
}

TEST_F(DeadSprites, ReloadedEveryTickUntilTheNextRound) {
  form.RedPlayer.Health = 0;
  form.tmrAI_Timer();
  // Held, so that the next surface cannot take its freed address.
  const std::shared_ptr<Surface> first = form.RedSprite.Surface;
  // A changed file on disk shows at the next tick: nothing is cached.
  test::WriteBitmap(dir / "reddead.bmp", 20, 10, [](int, int) { return test::Rgb{9, 9, 9}; });
  form.tmrAI_Timer();
  EXPECT_NE(form.RedSprite.Surface, first);
  EXPECT_EQ(form.RedSprite.Rect.right, 20);
  EXPECT_EQ(form.RedSprite.Rect.bottom, 10);
  EXPECT_EQ(form.BlueSprite.Rect.right, 30);
  form.Form_KeyDown(13, 0);
  EXPECT_EQ(form.RedSprite.Surface->source(), dir / "redblock.bmp");
  EXPECT_EQ(form.RedSprite.Rect.right, 30);
}

TEST_F(DeadSprites, MissingRedDeadBitmapIsFatalAndBlueIsNotTried) {
  std::remove((dir / "reddead.bmp").c_str());
  form.BluePlayer.Health = 0;
  form.RedPlayer.Health = 0;
  try {
    form.tmrAI_Timer();
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Bitmap);
    EXPECT_NE(std::string(e.what()).find("reddead.bmp"), std::string::npos);
  }
  EXPECT_EQ(form.RedSprite.Surface, nullptr);
  EXPECT_EQ(form.BlueSprite.Surface->source(), dir / "blueblock.bmp");
}

TEST_F(DeadSprites, DeadFromTheStartWithNoHealth) {
  test::WriteGameFiles(dir.path(), "5 0.5 30 15 10 0 5 0.5 30 15 10 100");
  form.StartUp();
  EXPECT_EQ(form.BlueSprite.Surface->source(), dir / "blueblock.bmp");
  form.tmrAI_Timer();
  EXPECT_EQ(form.BlueSprite.Surface->source(), dir / "bluedead.bmp");
}

}  // namespace
}  // namespace zorvane

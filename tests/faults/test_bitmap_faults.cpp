// Each of the game's five bitmaps missing or damaged, on the headless display: what the start-up
// does with a bad background or block bitmap (skips the rest of the round and plays on), what a
// tick does with a bad dead bitmap (ends the game with a bitmap error naming the file).
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "game/display/headless_screen.h"
#include "game/sim/form1.h"
#include "settings/runtime_error.h"
#include "tests/support/test_files.h"

namespace zorvane {
namespace {

enum class Damage { Missing, Empty, Truncated, OneByteShort, WrongMagic, AbsurdSize, BeyondFile };

struct DamageCase {
  Damage damage;
  const char* name;
  const char* says;  // part of the cause, where it is ours or SDL's fixed wording
};

const DamageCase kDamages[] = {
    {Damage::Missing, "missing", "file not found"},
    {Damage::Empty, "empty", ""},
    {Damage::Truncated, "cut in half", ""},
    {Damage::OneByteShort, "one byte short", ""},
    {Damage::WrongMagic, "wrong magic", "not a Windows BMP"},
    {Damage::AbsurdSize, "header claims 100000 x 100000", "too large"},
    {Damage::BeyondFile, "header claims 16000 x 16000", ""},
};

void PutLe32(std::string& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// Spoils a good bitmap file in place.
void Spoil(const std::string& path, Damage damage) {
  std::string bytes = test::ReadFile(path);
  switch (damage) {
    case Damage::Missing:
      std::remove(path.c_str());
      return;
    case Damage::Empty:
      bytes.clear();
      break;
    case Damage::Truncated:
      bytes.resize(bytes.size() / 2);
      break;
    case Damage::OneByteShort:
      bytes.pop_back();
      break;
    case Damage::WrongMagic:
      bytes[1] = 'N';
      break;
    case Damage::AbsurdSize:
      PutLe32(bytes, 18, 100000);
      PutLe32(bytes, 22, 100000);
      break;
    case Damage::BeyondFile:
      PutLe32(bytes, 18, 16000);
      PutLe32(bytes, 22, 16000);
      break;
  }
  test::WriteFile(path, bytes);
}

// Lets a test act at each frame: it gets the frame's number, counting from 1.
class ScriptedPump : public EventPump {
 public:
  void DoEvents(Form1& form) override { script(form, ++frames); }
  std::function<void(Form1&, int)> script = [](Form1&, int) {};
  int frames = 0;
};

// The game over a fresh program directory of test bitmaps, on the headless display.
struct Game {
  explicit Game(const std::string& settings = test::DefaultSettingsText()) {
    test::WriteGameFiles(dir.path(), settings);
  }
  void PlaceApart() {
    form.BluePlayer.X = 100;
    form.BluePlayer.Y = 100;
    form.RedPlayer.X = 300;
    form.RedPlayer.Y = 200;
  }

  test::TempDir dir;
  HeadlessScreen screen;
  ScriptedPump pump;
  RecordingSound sound;
  uint32_t seed = 1;
  Form1 form{GameHost{PortableLayout(dir.path()), screen, pump, sound, [this] { return seed++; }}};
};

void ExpectBitmapError(const std::function<void()>& run, const std::string& file,
                       const DamageCase& c) {
  try {
    run();
    ADD_FAILURE() << c.name << ": no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Bitmap) << c.name << ": " << e.what();
    const std::string message = e.what();
    EXPECT_NE(message.find("Cannot load bitmap "), std::string::npos) << message;
    EXPECT_NE(message.find(file), std::string::npos) << message;
    EXPECT_NE(message.find(c.says), std::string::npos) << message;
  }
}

// The round loads the background, the red block and the blue block in this order and stops at the
// first that fails; the start-up goes on without the rest and the game plays.
TEST(StartUpBitmapFaults, TheRoundStopsAtTheBadBitmapAndTheGamePlaysOn) {
  const char* const files[] = {"bg.bmp", "redblock.bmp", "blueblock.bmp"};
  constexpr uint16_t kBackground = 0x0200, kRed = 0xF800, kBlue = 0x001F;
  for (int bad = 0; bad < 3; ++bad) {
    for (const DamageCase& c : kDamages) {
      SCOPED_TRACE(std::string(files[bad]) + " " + c.name);
      Game game;
      Spoil(game.dir / files[bad], c.damage);
      ASSERT_NO_THROW(game.form.StartUp());
      EXPECT_EQ(game.screen.calls, (std::vector<std::string>{"open", "show", "exclusive", "mode"}));
      const Sprite* sprites[] = {&game.form.BackgroundSprite, &game.form.RedSprite,
                                 &game.form.BlueSprite};
      for (int i = 0; i < 3; ++i) EXPECT_EQ(sprites[i]->Surface != nullptr, i < bad) << files[i];

      // Ticks, keys and frames go on; only the loaded sprites are drawn.
      game.PlaceApart();
      game.form.Form_KeyDown(39, 0);
      game.form.tmrAI_Timer();
      EXPECT_EQ(game.form.BluePlayer.X, 105);
      const DrawnSprites drawn = game.form.DrawFrame();
      EXPECT_EQ(drawn.background, bad > 0);
      EXPECT_EQ(drawn.red, bad > 1);
      EXPECT_FALSE(drawn.blue);
      EXPECT_EQ(game.screen.shown.Pixel(0, 0), bad > 0 ? kBackground : 0);
      EXPECT_EQ(game.screen.shown.Pixel(310, 210), bad > 1 ? kRed : bad > 0 ? kBackground : 0);
      EXPECT_NE(game.screen.shown.Pixel(110, 110), kBlue);

      // Enter after a death reloads the round's bitmaps, and nothing traps a failure there.
      game.form.RedPlayer.Health = 0;
      ExpectBitmapError([&] { game.form.Form_KeyDown(13, 0); }, game.dir / files[bad], c);
    }
  }
}

// The whole life of the game with a bad start-up bitmap: it plays until Escape and gives the
// display back.
TEST(StartUpBitmapFaults, EscapeStillEndsTheGameCleanly) {
  for (const char* file : {"bg.bmp", "redblock.bmp", "blueblock.bmp"}) {
    for (const DamageCase& c : kDamages) {
      SCOPED_TRACE(std::string(file) + " " + c.name);
      Game game;
      Spoil(game.dir / file, c.damage);
      game.pump.script = [](Form1& form, int frame) {
        form.tmrAI_Timer();
        if (frame == 10) form.Form_KeyDown(27, 0);
      };
      ASSERT_NO_THROW(game.form.Form_Load());
      EXPECT_EQ(game.pump.frames, 10);
      EXPECT_EQ(game.screen.presented, 10);
      ASSERT_GE(game.screen.calls.size(), 2u);
      EXPECT_EQ(game.screen.calls.end()[-2], "restore");
      EXPECT_EQ(game.screen.calls.end()[-1], "normal");
    }
  }
}

// A bad dead bitmap does nothing while its block lives; the tick of its death ends the game with
// a bitmap error, the sprite empty, the teardown not run.
TEST(DeadBitmapFaults, TheTickOfTheDeathEndsTheGame) {
  struct Block {
    const char* file;
    bool red;
  };
  for (const Block block : {Block{"reddead.bmp", true}, Block{"bluedead.bmp", false}}) {
    for (const DamageCase& c : kDamages) {
      SCOPED_TRACE(std::string(block.file) + " " + c.name);
      Game game;
      Spoil(game.dir / block.file, c.damage);
      PlayerState& dying = block.red ? game.form.RedPlayer : game.form.BluePlayer;
      const Sprite& dyingSprite = block.red ? game.form.RedSprite : game.form.BlueSprite;
      const Sprite& otherSprite = block.red ? game.form.BlueSprite : game.form.RedSprite;
      game.pump.script = [&](Form1& form, int frame) {
        if (frame == 1) game.PlaceApart();
        if (frame == 5) dying.Health = 0;
        form.tmrAI_Timer();
      };
      ExpectBitmapError([&] { game.form.Form_Load(); }, game.dir / block.file, c);
      EXPECT_EQ(game.pump.frames, 5);
      EXPECT_EQ(game.screen.presented, 4);
      EXPECT_EQ(dyingSprite.Surface, nullptr);
      EXPECT_EQ(dyingSprite.Rect.right, 30);
      ASSERT_NE(otherSprite.Surface, nullptr);
      EXPECT_EQ(otherSprite.Surface->source(),
                game.dir / (block.red ? "blueblock.bmp" : "redblock.bmp"));
      for (const std::string& call : game.screen.calls) EXPECT_NE(call, "restore");
    }
  }
}

// A block dead from the start (no health) ends the game at the first tick.
TEST(DeadBitmapFaults, ABlockDeadFromTheStartEndsTheGameAtTheFirstTick) {
  for (const DamageCase& c : kDamages) {
    SCOPED_TRACE(c.name);
    Game game("5 0.5 30 15 10 0\r\n5 0.5 30 15 10 100\r\n");
    Spoil(game.dir / "bluedead.bmp", c.damage);
    game.pump.script = [](Form1& form, int) { form.tmrAI_Timer(); };
    ExpectBitmapError([&] { game.form.Form_Load(); }, game.dir / "bluedead.bmp", c);
    EXPECT_EQ(game.pump.frames, 1);
    EXPECT_EQ(game.screen.presented, 0);
  }
}

}  // namespace
}  // namespace zorvane

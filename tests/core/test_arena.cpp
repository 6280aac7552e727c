#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "game/cpu/computer_seats.h"
#include "game/cpu/cpu_player.h"
#include "game/replay/replay_script.h"
#include "settings/settings_file.h"
#include "tests/support/fake_clock.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_files.h"
#include "tools/arena/arena.h"

namespace zorvane {
namespace {

using test::TempDir;

// The key-downs of a recording, each with the tick it ran before (the first tick is 1).
struct RecordedKey {
  int64_t tick;
  int16_t code;
};

std::vector<RecordedKey> KeysOf(const std::string& path) {
  std::vector<RecordedKey> keys;
  int64_t ticks = 0;
  for (const NumberedCommand& line : ReadScriptFile(path)) {
    const ReplayCommand& command = line.command;
    if (command.kind == ReplayCommand::Kind::Tick) ticks += command.count;
    if (command.kind == ReplayCommand::Kind::Key) keys.push_back({ticks + 1, command.keyCode});
  }
  return keys;
}

int ReplayStatus(const std::string& dir, const std::string& recording) {
  return test::RunCommand(std::string(ZORVANE_REPLAY) + " --dir " + dir + " " + recording).exitCode;
}

class Arena : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteGameFiles(dir.path(), test::DefaultSettingsText());
    settings = ReadSettingsFile(dir / "zorvane.ini");
  }

  ArenaOptions Options(const std::string& blue, const std::string& red, int64_t maxTicks) {
    ArenaOptions options;
    std::string problem;
    options.players = {*ParsePlayer(blue, problem), *ParsePlayer(red, problem)};
    options.maxTicks = maxTicks;
    options.dataDirectory = dir.path();
    options.recordDirectory = records.path();
    return options;
  }

  TempDir dir;
  TempDir records;
  Settings settings;
};

// Seeded rounds of each kind of match: in the recordings, every key is a direction of a block
// that a player presses, at most three in any five ticks of each block, and they replay.
TEST_F(Arena, TheComputersKeysKeepToTheirBlockAndRateAndReplay) {
  const char* matches[][2] = {
      {"cpu:3", "idle"}, {"cpu:1", "random"}, {"random:9", "cpu:2"}, {"cpu:3", "cpu:1"}};
  for (const auto& match : matches) {
    const ArenaOptions options = Options(match[0], match[1], 600);
    for (int64_t round = 0; round < 2; ++round) {
      const std::string name =
          std::string(match[0]) + " " + match[1] + " round " + std::to_string(round + 1);
      const RoundResult result = PlayRound(options, settings, round, nullptr);
      const std::string recording = records / ("round-000" + std::to_string(round + 1) + ".rec");
      std::map<Block, std::vector<int64_t>> ticks;
      for (const RecordedKey& key : KeysOf(recording)) {
        const std::optional<Block> block = BlockOfKey(key.code);
        ASSERT_TRUE(block) << name << ": key " << key.code;
        EXPECT_NE(options.players[*block == Block::Blue ? 0 : 1].name, "idle") << name;
        ticks[*block].push_back(key.tick);
      }
      for (const auto& [block, at] : ticks) {
        for (size_t i = 3; i < at.size(); ++i) {
          EXPECT_GE(at[i] - at[i - 3], KeyRate::kTicks) << name << ": four keys by tick " << at[i];
        }
      }
      EXPECT_FALSE(ticks[Block::Blue].empty() && ticks[Block::Red].empty()) << name;
      EXPECT_EQ(ReplayStatus(dir.path(), recording), 0) << name;
      EXPECT_TRUE(result.end != RoundResult::End::Dead ||
                  std::min(result.blueHealth, result.redHealth) <= 0)
          << name;
    }
  }
}

// The computer at each level, against a still red block that jumps to the far corner before
// tick 40 in one game and not in the other: its keys stay the same up to the tick its reaction
// time later, then differ.
class Computer : public test::GameTest {
 protected:
  // The computer's keys as (tick run before, code), over 100 ticks.
  std::vector<RecordedKey> Play(int level, bool jump) {
    seed = 11;
    Start();
    test::FakeClock clock;
    EventQueue queue(clock);
    ComputerSeats computer([&queue](int16_t key) { queue.PostKeyDown(key, 0); });
    computer.Seat(Block::Blue, std::make_unique<CpuPlayer>(Block::Blue, level));
    computer.Watch(form);
    queue.AddObserver(&computer);
    std::vector<RecordedKey> keys;
    struct Keys : EventObserver {
      void KeyDownRan(int16_t code) override { keys->push_back({ticks + 1, code}); }
      void CloseRan() override {}
      void TickRan() override { ++ticks; }
      std::vector<RecordedKey>* keys;
      int64_t ticks = 0;
    } heard;
    heard.keys = &keys;
    queue.AddObserver(&heard);
    Place(form.BluePlayer, 300, 200);
    Place(form.RedPlayer, 150, 100);
    for (int64_t tick = 1; tick <= 100; ++tick) {
      if (jump && tick == kJump) Place(form.RedPlayer, 600, 440);
      clock.now += EventQueue::kTimerIntervalMicros;
      queue.RunPending(form);
    }
    return keys;
  }

  static constexpr int64_t kJump = 40;
};

TEST_F(Computer, NoKeyAnswersWhatWasNotOnScreenItsReactionTimeBefore) {
  const struct {
    int level;
    int64_t reactionTicks;
  } levels[] = {{1, 15}, {2, 10}, {3, 5}};
  for (const auto& level : levels) {
    const std::vector<RecordedKey> still = Play(level.level, false);
    const std::vector<RecordedKey> jumped = Play(level.level, true);
    size_t same = 0;
    while (same < still.size() && same < jumped.size() && still[same].tick == jumped[same].tick &&
           still[same].code == jumped[same].code) {
      ++same;
    }
    ASSERT_TRUE(same < still.size() || same < jumped.size()) << "level " << level.level;
    const int64_t firstOther = std::min(same < still.size() ? still[same].tick : INT64_MAX,
                                        same < jumped.size() ? jumped[same].tick : INT64_MAX);
    EXPECT_GT(firstOther, kJump + level.reactionTicks) << "level " << level.level;
  }
}

// The demo presses Enter itself, two seconds after a block died; once the people have taken
// over, never.
TEST_F(Computer, TheDemoStartsARoundTwoSecondsAfterABlockDiedUntilThePeopleTakeOver) {
  Start();
  test::FakeClock clock;
  EventQueue queue(clock);
  ComputerSeats computer([&queue](int16_t key) { queue.PostKeyDown(key, 0); });
  computer.StartRoundsAlone();
  computer.Watch(form);
  queue.AddObserver(&computer);
  const auto run = [&](int ticks) {
    for (int i = 0; i < ticks; ++i) {
      clock.now += EventQueue::kTimerIntervalMicros;
      queue.RunPending(form);
    }
  };
  Place(form.BluePlayer, 300, 200);
  Place(form.RedPlayer, 100, 100);
  form.RedPlayer.Health = 0;
  run(ComputerSeats::kDemoRoundTicks);
  EXPECT_EQ(form.RedPlayer.Health, 0) << "a round before its time";
  run(1);
  EXPECT_GT(form.RedPlayer.Health, 0) << "no round after two seconds";
  computer.Leave();
  form.BluePlayer.Health = 0;
  run(3 * ComputerSeats::kDemoRoundTicks);
  EXPECT_LE(form.BluePlayer.Health, 0) << "a round after the people took over";
}

// The tool: a line a round with its seed, then the summary; what it refuses.
TEST_F(Arena, TheToolPrintsALineARoundAndASummary) {
  const auto run = [&](const std::string& args) {
    return test::RunCommand(std::string(ZORVANE_ARENA) + " " + args);
  };
  const test::CommandRun played = run("--rounds 2 --seed 5 --max-ticks 400 --settings " +
                                      (dir / "zorvane.ini") + " cpu:3 idle");
  ASSERT_EQ(played.exitCode, 0) << played.err;
  const std::string& out = played.out;
  EXPECT_NE(out.find("{\"round\":1,\"seed\":5,\"winner\":\"blue\""), std::string::npos) << out;
  EXPECT_NE(out.find("{\"round\":2,\"seed\":6,\"winner\":\"blue\""), std::string::npos) << out;
  EXPECT_NE(out.find("{\"rounds\":2,\"blue\":\"cpu:3\",\"red\":\"idle\",\"wins\":2,\"losses\":0,"
                     "\"draws\":0}\n"),
            std::string::npos)
      << out;
  const struct {
    const char* args;
    int status;
  } refused[] = {{"cpu:3", 2},
                 {"cpu:4 idle", 2},
                 {"random:x idle", 2},
                 {"--rounds 0 idle idle", 2},
                 {"--seed -1 idle idle", 2},
                 {"--bogus idle idle", 2},
                 {"--settings /nowhere/zorvane.ini idle idle", 1},
                 {"--record /nowhere/dir idle idle", 1}};
  for (const auto& r : refused) EXPECT_EQ(run(r.args).exitCode, r.status) << r.args;
}

// Outside players that misbehave press nothing they may not, and the rounds end on time.
TEST_F(Arena, OutsidePlayersThatMisbehaveCannotStopTheArena) {
  const struct {
    const char* name;
    const char* command;
    RoundResult::End end;
    int keys;  // red keys in the recording; -1 for some
  } cases[] = {
      {"garbage", "yes '87 garbage'", RoundResult::End::Time, 0},
      {"another block's key", "while read l; do echo 87 38; done", RoundResult::End::Time, 0},
      {"Enter", "while read l; do echo 87 13; done", RoundResult::End::Time, 0},
      {"silence", "cat > /dev/null", RoundResult::End::Time, 0},
      {"an early exit", "exit 0", RoundResult::End::Left, 0},
      {"its output shut", "exec >&-; cat > /dev/null", RoundResult::End::Left, 0},
      {"a flood with no line ends", "cat /dev/zero", RoundResult::End::Time, 0},
      {"a flood of its own keys, kept to the rate", "yes '87 87 87 87'", RoundResult::End::Time,
       -1},
      {"a late answer is not taken for the next",
       "read l; sleep 0.15; echo 87; while read l; do echo 83; done", RoundResult::End::Time, -1},
      {"the example player", "python3 " ZORVANE_SOURCE_DIR "/tools/arena/example_bot.py red",
       RoundResult::End::Time, -1},
  };
  for (const auto& c : cases) {
    const ArenaOptions options = Options("idle", std::string("exec:") + c.command, 20);
    const RoundResult result = PlayRound(options, settings, 0, nullptr);
    EXPECT_EQ(result.end, c.end) << c.name;
    if (c.end == RoundResult::End::Left) {
      EXPECT_EQ(result.winner, Block::Blue) << c.name;
    }
    const std::vector<RecordedKey> keys = KeysOf(records / "round-0001.rec");
    if (c.keys >= 0) {
      EXPECT_EQ(keys.size(), static_cast<size_t>(c.keys)) << c.name;
    } else {
      EXPECT_FALSE(keys.empty()) << c.name;
    }
    for (const RecordedKey& key : keys) {
      EXPECT_TRUE(key.code == 83 || key.code == 65 || key.code == 68 || key.code == 87) << c.name;
      EXPECT_FALSE(std::string(c.name).find("late") != std::string::npos && key.code == 87)
          << c.name << ": the late answer was taken";
    }
  }
}

}  // namespace
}  // namespace zorvane

#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "game/display/headless_screen.h"
#include "game/net/lockstep_session.h"
#include "game/net/network_error.h"
#include "game/replay/game_recorder.h"
#include "game/sim/form1.h"
#include "tests/support/state_bits.h"
#include "tests/support/test_files.h"
#include "tests/support/test_seed.h"

namespace zorvane::test {

// One side of a game over the network with no window: a game over its own program directory,
// driven pass by pass through its lockstep session, keeping its state after every tick.
class NetSide {
 public:
  NetSide(net::Role role, net::Transport& transport, Clock& clock, const std::string& settings,
          int delay = 3, std::string version = "1.0.0", uint32_t seeds = 1,
          GameRecorder* recorder = nullptr)
      : session({role, delay, std::move(version), [this] { return seeds_++; }, recorder}, transport,
                clock),
        seeds_(seeds) {
    screen.keepFrames = false;
    screen.logCalls = false;
    WriteGameFiles(dir.path(), settings);
    if (recorder) recorder->Watch(form);
    form.StartUp();
  }

  // One pass of the frame loop, the next tick due or not; false when no tick ran. A tick is
  // never run twice or skipped.
  bool Pass(bool tickDue = true) { return PassAt(session.ticksRun() + (tickDue ? 1 : 0)); }

  // One pass with the beat at the given tick.
  bool PassAt(uint32_t beat) {
    const uint32_t before = session.ticksRun();
    const bool ran = session.Pass(form, beat);
    EXPECT_EQ(session.ticksRun(), before + (ran ? 1 : 0));
    if (ran) states.push_back(Bits(form));
    return ran;
  }

  // Passes that end in a NetworkError keep its message and status; a game that failed or
  // ended does not pass again.
  bool TryPass(bool tickDue = true) { return TryPassAt(session.ticksRun() + (tickDue ? 1 : 0)); }
  bool TryPassAt(uint32_t beat) {
    if (!failure.empty() || !form.Running) return false;
    try {
      return PassAt(beat);
    } catch (const net::NetworkError& error) {
      failure = error.what();
      status = error.status();
      return false;
    }
  }

  TempDir dir;
  HeadlessScreen screen;
  NoEvents pump;
  RecordingSound sound;
  net::LockstepSession session;
  Form1 form{GameHost{PortableLayout(dir.path()), screen, pump, sound,
                      [this] { return session.RoundSeed(); }}};
  std::vector<StateBits> states;
  std::string failure;
  int status = 0;

 private:
  uint32_t seeds_;
};

// Settings where blocks die after a few wall hits, so that rounds end and Enter starts new ones.
inline const std::string kDeadlySettings = "5 0.5 30 15 30 100\r\n4 0.25 24 12 35 90\r\n";

// The seed of a test's random keys: ZORVANE_TEST_SEED, or a fresh one; printed either way.
inline uint32_t TestSeed() { return TestSeed(std::random_device{}()); }

// A player pressing random keys of either set, and Enter now and then.
class KeyMonkey {
 public:
  explicit KeyMonkey(uint32_t seed) : random_(seed) {}
  void MaybePress(net::LockstepSession& session) {
    static constexpr int16_t kKeys[] = {37, 38, 39, 40, 65, 68, 83, 87, 13, 13, 32};
    if (std::uniform_int_distribution<int>(0, 9)(random_) < 3) {
      session.LocalKeyDown(kKeys[std::uniform_int_distribution<size_t>(0, 10)(random_)]);
    }
  }

 private:
  std::mt19937 random_;
};

// The two games ran the same game: the same state after every tick both ran.
inline void ExpectSameGame(const NetSide& a, const NetSide& b) {
  const size_t both = std::min(a.states.size(), b.states.size());
  for (size_t i = 0; i < both; ++i) {
    ASSERT_EQ(a.states[i], b.states[i]) << "after tick " << i + 1;
  }
}

}  // namespace zorvane::test

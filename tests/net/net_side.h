#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "game/display/headless_screen.h"
#include "game/net/net_session.h"
#include "game/net/network_error.h"
#include "game/replay/game_recorder.h"
#include "game/sim/form1.h"
#include "tests/support/state_bits.h"
#include "tests/support/test_files.h"
#include "tests/support/test_seed.h"

namespace zorvane::test {

// One game over the network with no window: a game over its own program directory, driven pass
// by pass through its session, recording the confirmed game into its directory.
class NetSide {
 public:
  NetSide(net::Role role, net::Transport& transport, Clock& clock, const std::string& settings,
          int delay = 1, std::string version = "1.0.0", uint32_t seed = 1)
      : session({role, delay, std::move(version), [seed] { return seed; }, &recorder}, transport,
                clock, sound) {
    screen.keepFrames = false;
    screen.logCalls = false;
    WriteGameFiles(dir.path(), settings);
    recorder.Watch(form);
    form.StartUp();
  }

  // One pass of the frame loop on the session's own beat.
  void Frame() {
    Try([this] { session.Frame(form); });
  }
  // One pass with the beat at the given tick; by default the tick after the last one shown.
  void Pass() { PassAt(session.ticksRun() + 1); }
  void PassAt(uint32_t beat) {
    Try([&] { session.Pass(form, beat); });
  }

  // The recording of the confirmed game, once the game is over.
  std::string Recording() {
    recorder.Finish();
    return ReadFile(dir / "game.rec");
  }
  bool over() const { return !failure.empty() || !form.Running; }

  TempDir dir;
  GameRecorder recorder{dir / "game.rec"};
  HeadlessScreen screen;
  NoEvents pump;
  RecordingSound sound;
  net::NetSession session;
  Form1 form{GameHost{PortableLayout(dir.path()), screen, pump, session.sound(),
                      [this] { return session.RoundSeed(); }}};
  // The NetworkError a pass ended with.
  std::string failure;
  int status = 0;

 private:
  // A game that failed or ended does not pass again.
  template <typename Pass>
  void Try(Pass pass) {
    if (over()) return;
    try {
      pass();
    } catch (const net::NetworkError& error) {
      failure = error.what();
      status = error.status();
    }
  }
};

// Settings where blocks die after a few wall hits, so that rounds end and Enter starts new ones.
inline const std::string kDeadlySettings = "5 0.5 30 15 30 100\r\n4 0.25 24 12 35 90\r\n";

// The seed of a test's random keys: ZORVANE_TEST_SEED, or a fresh one; printed either way.
inline uint32_t TestSeed() { return TestSeed(std::random_device{}()); }

// A player pressing, holding and letting go of random keys of either set, and Enter now and
// then.
class KeyMonkey {
 public:
  explicit KeyMonkey(uint32_t seed) : random_(seed) {}
  void Play(net::NetSession& session) {
    static constexpr int16_t kKeys[] = {37, 38, 39, 40, 65, 68, 83, 87, 13, 13, 32};
    std::uniform_int_distribution<int> percent(0, 99);
    if (percent(random_) < 30) {
      const int16_t key = kKeys[std::uniform_int_distribution<size_t>(0, 10)(random_)];
      session.LocalKeyDown(key);
      if (key != 13 && percent(random_) < 30) held_ = key;
    }
    if (percent(random_) < 3) held_ = 0;
    const int16_t held[] = {held_};
    session.LocalHeld(held_ ? std::span<const int16_t>(held) : std::span<const int16_t>());
  }

 private:
  std::mt19937 random_;
  int16_t held_ = 0;
};

// Both games over, the two recordings hold the same game, byte for byte; gives it.
inline std::string ExpectSameGame(NetSide& a, NetSide& b) {
  EXPECT_EQ(a.failure + b.failure, "");
  const std::string recorded = a.Recording();
  EXPECT_EQ(recorded, b.Recording());
  EXPECT_NE(recorded.find("\nsettings "), std::string::npos) << recorded.substr(0, 300);
  return recorded;
}

}  // namespace zorvane::test

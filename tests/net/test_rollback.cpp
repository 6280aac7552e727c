#include <gtest/gtest.h>

#include "game/net/message_codec.h"
#include "game/net/state_checksum.h"
#include "game/net/waiting_screen.h"
#include "tests/net/net_side.h"
#include "tests/support/fake_clock.h"
#include "tests/support/game_fixture.h"
#include "tests/support/memory_transport.h"

namespace zorvane::test {
namespace {

using net::MemoryTransport;
using net::Role;

// Two games joined in memory: the host with deadly settings, the guest with the defaults.
class LockstepTest : public ::testing::Test {
 protected:
  explicit LockstepTest(std::string guestVersion = "1.0.0") : guestVersion_(guestVersion) {}

  // Passes until both have run `ticks` ticks (or one failed), the host first in each round.
  void Play(uint32_t ticks, KeyMonkey* hostKeys = nullptr, KeyMonkey* guestKeys = nullptr) {
    while ((host.session.ticksRun() < ticks || guest.session.ticksRun() < ticks) &&
           host.failure.empty() && guest.failure.empty() &&
           (host.form.Running || guest.form.Running)) {
      if (hostKeys) hostKeys->MaybePress(host.session);
      if (guestKeys) guestKeys->MaybePress(guest.session);
      host.TryPass();
      guest.TryPass();
    }
  }

  std::string guestVersion_;
  FakeClock clock;
  std::pair<std::unique_ptr<MemoryTransport>, std::unique_ptr<MemoryTransport>> link =
      MemoryTransport::Pair();
  NetSide host{Role::Host, *link.first, clock, kDeadlySettings, 3, "1.0.0", 500};
  NetSide guest{Role::Guest, *link.second, clock, DefaultSettingsText(), 5, guestVersion_};
};

TEST_F(LockstepTest, BothGamesRunTheSameGameWithTheHostsSettingsAndSeeds) {
  const uint32_t seed = TestSeed();
  KeyMonkey hostKeys(seed), guestKeys(seed + 1);
  Play(3000, &hostKeys, &guestKeys);
  ASSERT_EQ(host.failure + guest.failure, "");
  ASSERT_GE(host.states.size(), 3000u);
  ASSERT_GE(guest.states.size(), 3000u);
  ExpectSameGame(host, guest);
  EXPECT_EQ(guest.form.RedPlayer.Damage, 35) << "the host's settings";
  // Blocks died and Enter started new rounds, on both.
  size_t deaths = 0, rounds = 0;
  for (size_t i = 1; i < host.states.size(); ++i) {
    for (size_t health : {4, 17}) {
      const auto before = static_cast<int16_t>(host.states[i - 1][health]);
      const auto after = static_cast<int16_t>(host.states[i][health]);
      deaths += before > 0 && after <= 0;
      rounds += before <= 0 && after > 0;
    }
  }
  EXPECT_GE(deaths, 4u);
  EXPECT_GE(rounds, 4u);
}

// The host may run the ticks whose guest keys it holds, and no further.
TEST_F(LockstepTest, ATickWaitsForTheOtherSidesKeys) {
  guest.Pass();  // connected: says hello
  host.Pass();   // welcomes the guest, sends its first three (empty) turns
  for (int i = 0; i < 20; ++i) host.Pass();
  EXPECT_EQ(host.session.ticksRun(), 0u) << "no guest turn yet";
  for (int i = 0; i < 20; ++i) guest.Pass(false);
  EXPECT_EQ(guest.session.ticksRun(), 0u) << "no tick before it is due";
  for (int i = 0; i < 20; ++i) guest.Pass();
  EXPECT_EQ(guest.session.ticksRun(), 4u) << "the host's three delay turns and one in play";
  // The guest sent its five delay turns and one for each tick due: 6 to 10.
  for (int i = 0; i < 20; ++i) host.Pass();
  EXPECT_EQ(host.session.ticksRun(), 10u);
}

TEST_F(LockstepTest, EscapeOnEitherSideEndsBothAtTheSameTick) {
  Play(50);
  guest.session.LocalKeyDown(27);
  Play(100);
  EXPECT_FALSE(host.form.Running);
  EXPECT_FALSE(guest.form.Running);
  EXPECT_EQ(host.states.size(), guest.states.size());
  ExpectSameGame(host, guest);
}

TEST_F(LockstepTest, ADifferenceEndsBothGamesNamingTheTick) {
  Play(40);
  while (guest.session.ticksRun() < 60) guest.TryPass(), host.TryPass();
  guest.form.RedPlayer.X += 1;  // after tick 60
  for (int i = 0; i < 100 && (host.failure.empty() || guest.failure.empty()); ++i) {
    if (host.failure.empty()) host.TryPass();
    if (guest.failure.empty()) guest.TryPass();
  }
  EXPECT_EQ(guest.failure, "out of step at tick 61: the two games differ");
  EXPECT_EQ(host.failure, guest.failure);
  EXPECT_EQ(host.status, 4);
  EXPECT_EQ(guest.status, 4);
}

TEST_F(LockstepTest, SilenceForFiveSecondsIsALostConnection) {
  Play(20);
  link.second->Cut();
  clock.now += 4'900'000;
  host.TryPass();
  EXPECT_EQ(host.failure, "");
  clock.now += 200'000;
  host.TryPass();
  EXPECT_EQ(host.failure, "connection lost: nothing from memory for 5 seconds");
  EXPECT_EQ(host.status, 1);
}

TEST_F(LockstepTest, AGuestWithNoAnswerGivesUpAfterTenSeconds) {
  guest.TryPass();
  clock.now += 10'100'000;
  guest.TryPass();
  EXPECT_EQ(guest.failure, "could not join memory: no answer within 10 seconds");
}

TEST_F(LockstepTest, EscapeWhileWaitingEndsTheGame) {
  guest.session.LocalKeyDown(27);
  guest.Pass();
  EXPECT_FALSE(guest.form.Running);
}

// What a hostile host could send to a guest in play, given the tick of the next turn due.
TEST_F(LockstepTest, AMessageOutOfBoundsEndsTheGame) {
  using Bytes = std::vector<uint8_t>;
  const struct {
    const char* what;
    std::function<Bytes(uint32_t)> bytes;
  } cases[] = {
      {"garbage",
       [](uint32_t) {
         return Bytes{4, 1, 2};
       }},
      {"a turn skipped",
       [](uint32_t next) {
         return net::Encode(net::Turn{next + 1, 0, {}});
       }},
      {"a turn far ahead",
       [](uint32_t) {
         return net::Encode(net::Turn{1000, 0, {}});
       }},
      {"a key of the guest's block",
       [](uint32_t next) {
         return net::Encode(net::Turn{next, 0, {87}});
       }},
      {"a checksum out of turn",
       [](uint32_t) {
         return net::Encode(net::Check{9, 0});
       }},
      {"a hello during play",
       [](uint32_t) {
         return net::Encode(net::Hello{{net::kProtocolVersion, "1.0.0"}, 3});
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeClock clock2;
    auto pair = MemoryTransport::Pair();
    NetSide h{Role::Host, *pair.first, clock2, kDeadlySettings};
    NetSide g{Role::Guest, *pair.second, clock2, kDeadlySettings};
    for (int i = 0; i < 4; ++i) g.TryPass(), h.TryPass();
    ASSERT_TRUE(g.session.playing());
    g.TryPass();  // takes every turn the host sent: 1 to 3, and one per pass in play
    pair.second->Inject(c.bytes(h.session.ticksRun() + 4));
    g.TryPass();
    EXPECT_NE(g.failure, "");
    EXPECT_EQ(g.status, 1);
  }
}

// With a recording on each side, the two files hold the same game line for line, and the replay
// tool plays either back to the states it holds.
TEST(LockstepRecording, BothSidesRecordTheSameGame) {
  TempDir files;
  FakeClock clock;
  auto link = MemoryTransport::Pair();
  GameRecorder hostRecording(files / "host.rec"), guestRecording(files / "guest.rec");
  NetSide host{Role::Host, *link.first, clock, kDeadlySettings, 3, "1.0.0", 77, &hostRecording};
  NetSide guest{Role::Guest, *link.second, clock, DefaultSettingsText(),
                5,           "1.0.0",      1,     &guestRecording};
  const uint32_t seed = TestSeed();
  KeyMonkey hostKeys(seed), guestKeys(seed + 1);
  while (guest.states.size() < 1500) {
    hostKeys.MaybePress(host.session);
    guestKeys.MaybePress(guest.session);
    host.Pass();
    guest.Pass();
  }
  guest.session.LocalKeyDown(27);
  for (int i = 0; i < 100 && (host.form.Running || guest.form.Running); ++i) {
    host.TryPass();
    guest.TryPass();
  }
  ASSERT_FALSE(host.form.Running || guest.form.Running);
  hostRecording.Finish();
  guestRecording.Finish();
  const std::string recorded = ReadFile(files / "host.rec");
  EXPECT_EQ(recorded, ReadFile(files / "guest.rec"));
  EXPECT_NE(recorded.find("\nsettings 5 0.5 30 15 30 100 4 0.25 24 12 35 90\n"), std::string::npos)
      << recorded.substr(0, 300);
  EXPECT_NE(recorded.find("\nkey 27\n"), std::string::npos);
  const std::string replay = std::string(ZORVANE_REPLAY) + " --dir " + guest.dir.path() + " " +
                             (files / "guest.rec") + " > " + (files / "out") + " 2>&1";
  EXPECT_EQ(std::system(replay.c_str()), 0) << ReadFile(files / "out").substr(0, 2000);
}

class VersionMismatch : public LockstepTest {
 protected:
  VersionMismatch() : LockstepTest("2.0.0") {}
};

TEST_F(VersionMismatch, IsRefusedNamingBothVersions) {
  for (int i = 0; i < 5; ++i) guest.TryPass(), host.TryPass();
  EXPECT_EQ(guest.failure,
            "could not join memory: it runs zorvane 1.0.0 (protocol 1), this is zorvane 2.0.0 "
            "(protocol 1)");
  EXPECT_EQ(host.failure, "") << "the host waits on";
  EXPECT_FALSE(host.session.playing());
  EXPECT_TRUE(host.form.Running);
}

}  // namespace
}  // namespace zorvane::test

namespace zorvane::test {
namespace {

// While waiting, the frame shown carries the band of stripes on its top rows and is the game's
// frame below; once playing, the game's frame goes through as it is.
TEST(WaitingScreenTest, MarksTheFramesShownWhileWaiting) {
  HeadlessScreen inner;
  net::WaitingScreen screen(inner);
  Surface frame(640, 480);
  frame.ColorFill({}, 0x1234);
  screen.SetWaiting(true);
  screen.Present(frame);
  int yellow = 0, other = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const uint16_t pixel = inner.shown.Pixel(x, y);
      if (y < net::WaitingScreen::kBandHeight) {
        yellow += pixel == 0xffe0;
      } else {
        other += pixel != 0x1234;
      }
    }
  }
  EXPECT_GT(yellow, 640 * net::WaitingScreen::kBandHeight / 3);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(frame.Pixel(0, 0), 0x1234) << "the game's own frame is left alone";
  screen.SetWaiting(false);
  screen.Present(frame);
  EXPECT_EQ(inner.shown.Pixel(0, 0), 0x1234);
}

// A block's fields are all visited (a new one makes this fail to compile until it is), and a
// change of any one of them, in either block, or of Running, changes the checksum.
static_assert(sizeof(PlayerState) == 13 * sizeof(float), "visit the new field in VisitFields");
using StateChecksumTest = test::GameTest;

TEST_F(StateChecksumTest, EveryFieldOfEitherBlockAndRunningCounts) {
  Start();
  const uint32_t before = net::StateChecksum(form);
  int changed = 0;
  for (PlayerState* player : {&form.BluePlayer, &form.RedPlayer}) {
    VisitFields(*player, [&](std::string_view name, auto& field) {
      const auto kept = field;
      field = static_cast<std::remove_reference_t<decltype(field)>>(field + 1);
      EXPECT_NE(net::StateChecksum(form), before) << name;
      field = kept;
      ++changed;
    });
  }
  form.Running = !form.Running;
  EXPECT_NE(net::StateChecksum(form), before) << "Running";
  EXPECT_EQ(changed, 26);
}

}  // namespace
}  // namespace zorvane::test

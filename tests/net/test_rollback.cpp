#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <list>

#include "game/net/message_codec.h"
#include "game/net/state_checksum.h"
#include "game/net/waiting_screen.h"
#include "game/replay/replay_script.h"
#include "tests/net/net_side.h"
#include "tests/support/fake_clock.h"
#include "tests/support/game_fixture.h"
#include "tests/support/memory_transport.h"

namespace zorvane::test {
namespace {

using net::MemoryTransport;
using net::Role;

constexpr int64_t kFrameMicros = 16667;

// What a game shows: both blocks, Running, and the bitmap file in each sprite.
std::string Shown(const Form1& form) {
  std::string shown = ExpectLine(form.Play());
  for (const Sprite* sprite : {&form.BackgroundSprite, &form.RedSprite, &form.BlueSprite}) {
    const std::string source = sprite->Surface ? sprite->Surface->source() : "";
    shown += " " + source.substr(source.find_last_of("/\\") + 1);
  }
  return shown;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

// Two games joined in memory, the host with deadly settings, each passing once a frame on its
// own beat as the real game does, over a link that takes `delayMicros` each way and loses a
// share of what is sent unreliably; and any watchers joined to the host.
class TwoGames {
 public:
  TwoGames(int64_t delayMicros, double loss, int hostDelay = 1, int guestDelay = 1)
      : link(MemoryTransport::Pair({&clock, delayMicros, loss, TestSeed()})),
        host(Role::Host, *link.first, clock, kDeadlySettings, hostDelay, "1.0.0", 500),
        guest(Role::Guest, *link.second, clock, DefaultSettingsText(), guestDelay) {}

  NetSide& Watch() {
    watcherLinks.push_back(link.first->Join());
    return watchers.emplace_back(Role::Watcher, *watcherLinks.back(), clock, DefaultSettingsText());
  }

  // Frames of both games (and the watchers), the players' keys pressed first. Whatever a game
  // shows, guessed or not, a block shows its dead bitmap exactly while it is dead.
  void Run(int frames, KeyMonkey* hostKeys = nullptr, KeyMonkey* guestKeys = nullptr) {
    for (int i = 0; i < frames; ++i) {
      if (hostKeys) hostKeys->Play(host.session);
      if (guestKeys) guestKeys->Play(guest.session);
      host.Frame();
      guest.Frame();
      for (NetSide& watcher : watchers) {
        if (&watcher != stalled) watcher.Frame();
      }
      for (const NetSide* side : {&host, &guest}) {
        const Form1& form = side->form;
        if (!side->session.playing() || !form.Running) continue;
        const std::string shown = Shown(form);
        ASSERT_EQ(shown.find("bluedead") != std::string::npos, form.BluePlayer.Health <= 0)
            << shown;
        ASSERT_EQ(shown.find("reddead") != std::string::npos, form.RedPlayer.Health <= 0) << shown;
      }
      clock.now += kFrameMicros;
    }
  }
  void RunUntil(const std::function<bool()>& done, KeyMonkey* hostKeys = nullptr,
                KeyMonkey* guestKeys = nullptr) {
    for (int i = 0; i < 100'000 && !done() && !host.over() && !guest.over(); ++i) {
      Run(1, hostKeys, guestKeys);
    }
  }
  // Escape on the guest, and both games run to their end.
  void End() {
    guest.session.LocalKeyDown(kVkEscape);
    for (int i = 0; i < 1000 && !(host.over() && guest.over()); ++i) Run(1);
  }

  FakeClock clock;
  std::pair<std::unique_ptr<MemoryTransport>, std::unique_ptr<MemoryTransport>> link;
  NetSide host;
  NetSide guest;
  std::vector<std::unique_ptr<MemoryTransport>> watcherLinks;
  std::list<NetSide> watchers;
  NetSide* stalled = nullptr;  // a watcher that no longer takes what it is sent
};

// Random keys on both sides (or on the guest's alone) over links of several round trips and
// losses, and several delays; the game ends with Escape. Both record the same game, with the
// host's settings and seeds, deaths and new rounds, which the replay tool plays back to the states
// it holds. Each side heard every sound of that game; one that never guessed wrong, though it
// ran its guesses again and again, heard nothing else but the sounds of the last tick, which
// runs on after the Escape as in a local game while its recording ends at the Escape.
TEST(Rollback, BothGamesPlayTheSameConfirmedGame) {
  const struct {
    const char* name;
    int hostDelay, guestDelay;
    int64_t linkMicros;
    double loss;
    bool hostPlays;
  } cases[] = {
      {"next door", 1, 1, 0, 0, true},
      {"a 100 ms round trip, a tenth lost", 1, 0, 50'000, 0.10, true},
      {"a 300 ms round trip, 2 % lost", 1, 1, 150'000, 0.02, true},
      {"the longest delay on one side, a third lost", 10, 0, 80'000, 0.33, true},
      {"the guest alone plays, a 200 ms round trip", 1, 1, 100'000, 0, false},
  };
  const uint32_t seed = TestSeed();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TwoGames games(c.linkMicros, c.loss, c.hostDelay, c.guestDelay);
    KeyMonkey hostKeys(seed), guestKeys(seed + 1);
    // At least 30 s of play, and on until the game has dealt the rounds and made the sounds the
    // checks below look for: some keys kill seldom, the guest's alone most of all.
    int newRounds = 0;
    bool oneDead = false;
    games.RunUntil(
        [&] {
          const Form1& form = games.guest.form;
          const bool dead = form.BluePlayer.Health <= 0 || form.RedPlayer.Health <= 0;
          newRounds += oneDead && !dead;
          oneDead = dead;
          return games.guest.session.confirmed() >= 1500 && newRounds >= 4 &&
                 games.guest.sound.played.size() >= 12;
        },
        c.hostPlays ? &hostKeys : nullptr, &guestKeys);
    games.End();
    const std::string recorded = ExpectSameGame(games.host, games.guest);
    EXPECT_NE(recorded.find("\nsettings 5 0.5 30 15 30 100 4 0.25 24 12 35 90\n"),
              std::string::npos);
    EXPECT_GE(Count(recorded, "\nseed "), 4u) << "new rounds after deaths";
    EXPECT_EQ(games.host.session.stats().rollbacks + games.guest.session.stats().rollbacks > 0,
              c.linkMicros > 0);
    const CommandRun replay =
        RunCommand(std::string(ZORVANE_REPLAY) + " --dir " + games.guest.dir.path() + " " +
                   (games.guest.dir / "game.rec") + " 2>&1");
    ASSERT_EQ(replay.exitCode, 0) << replay.out.substr(0, 2000);
    const std::string& replayed = replay.out;
    const size_t heard = Count(replayed, "hitwall.wav") + Count(replayed, "bang.wav");
    EXPECT_GE(heard, 10u);
    for (NetSide* side : {&games.host, &games.guest}) {
      EXPECT_GE(side->sound.played.size(), heard);
      if (side->session.stats().rollbacks == 0) {
        EXPECT_LE(side->sound.played.size(), heard + 3) << "two wall hits and a bang at most";
      }
    }
    if (!c.hostPlays) {
      EXPECT_EQ(games.guest.session.stats().rollbacks, 0u);
    }
  }
}

// A game guesses the other's input and finds out 100 ms later: it goes back and runs the ticks
// again, deep enough; then both show the same, sprites too, and record the same game. The
// inputs under test come once the link has slowed down from nothing to 100 ms each way.
TEST(Rollback, AWrongGuessIsPutRight) {
  const struct {
    const char* name;
    std::function<void(TwoGames&)> before;
    std::function<void(TwoGames&)> act;
    bool hostGuessedWrong;  // else the guest
    size_t rounds;          // begun in the whole game
  } cases[] = {
      {"a press", [](TwoGames&) {}, [](TwoGames& g) { g.host.session.LocalKeyDown(39); }, false, 1},
      {"a release",
       [](TwoGames& g) {
         g.host.session.LocalKeyDown(39);
         g.host.session.LocalHeld(std::vector<int16_t>{39});
         g.Run(40);
       },
       [](TwoGames& g) { g.host.session.LocalHeld({}); }, false, 1},
      {"an Enter",
       [](TwoGames& g) {
         g.host.session.LocalHeld(std::vector<int16_t>{39});
         g.RunUntil([&] { return g.host.form.BluePlayer.Health <= 0; });
         g.host.session.LocalHeld({});
         g.Run(60);
       },
       [](TwoGames& g) { g.host.session.LocalKeyDown(13); }, false, 2},
      {"an Escape", [](TwoGames&) {}, [](TwoGames& g) { g.host.session.LocalKeyDown(27); }, false,
       1},
      // The red block, one hit from dying, 4 pixels from the right wall; the guest turns it back
      // just in time, which the host does not know yet: it guesses a hit and a dead bitmap.
      {"a death only guessed",
       [](TwoGames& g) {
         for (NetSide* side : {&g.host, &g.guest}) {
           ASSERT_EQ(side->session.ticksRun(), side->session.confirmed());
           PlayerState& red = side->form.RedPlayer;
           red.X = 612;
           red.Y = 200;
           red.VX = 3;
           red.VY = 0;
           red.Health = 10;
           side->form.BluePlayer.X = side->form.BluePlayer.Y = 100;
         }
       },
       [](TwoGames& g) { g.guest.session.LocalKeyDown(65); }, true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TwoGames games(0, 0);
    games.Run(60);
    c.before(games);
    games.link.first->SetDelay(100'000);
    NetSide& guessing = c.hostGuessedWrong ? games.host : games.guest;
    const net::SessionStats before = guessing.session.stats();
    c.act(games);
    games.Run(30);
    const net::SessionStats after = guessing.session.stats();
    EXPECT_GT(after.rollbacks, before.rollbacks);
    EXPECT_GE(after.deepestRollback, 4u);
    EXPECT_EQ(games.host.failure + games.guest.failure, "");
    if (games.host.form.Running) {
      // Both at one tick, known for good on both.
      const uint32_t tick = std::max(games.host.session.ticksRun(), games.guest.session.ticksRun());
      for (int i = 0; i < 100 && (games.host.session.confirmed() < tick ||
                                  games.guest.session.confirmed() < tick);
           ++i) {
        games.host.PassAt(tick);
        games.guest.PassAt(tick);
        games.clock.now += kFrameMicros;
      }
      EXPECT_EQ(Shown(games.host.form), Shown(games.guest.form));
      games.End();
    }
    EXPECT_FALSE(games.host.form.Running || games.guest.form.Running);
    EXPECT_EQ(Count(ExpectSameGame(games.host, games.guest), "\nseed "), c.rounds);
  }
}

// One game stalls for half a second, as a busy machine may: its beat lets that time go, and
// the other, now ahead, gives it up little by little until the two run together again.
TEST(Rollback, TheGameAheadSlowsUntilBothAgree) {
  TwoGames games(40'000, 0);
  games.Run(100);
  for (int i = 0; i < 30; ++i) {
    games.host.Frame();
    games.clock.now += kFrameMicros;
  }
  games.Run(600);
  EXPECT_EQ(games.host.failure + games.guest.failure, "");
  EXPECT_GT(games.host.session.stats().slowedMicros, 0);
  EXPECT_EQ(games.guest.session.stats().slowedMicros, 0);
  const int64_t apart = static_cast<int64_t>(games.host.session.ticksRun()) -
                        static_cast<int64_t>(games.guest.session.ticksRun());
  EXPECT_LE(std::abs(apart), 2) << "host " << games.host.session.ticksRun() << ", guest "
                                << games.guest.session.ticksRun();
}

// A game runs at most twelve ticks beyond the last tick whose inputs it holds from both.
TEST(Rollback, AGameGuessesAtMostTwelveTicksAhead) {
  TwoGames games(0, 0);
  games.Run(2);
  ASSERT_TRUE(games.host.session.playing());
  games.link.second->Cut();  // nothing more from the guest
  const uint32_t confirmed = games.host.session.confirmed();
  games.host.PassAt(100);
  EXPECT_EQ(games.host.session.ticksRun(), confirmed + net::NetSession::kGuessWindow);
}

// Watchers: one there before play begins, one that comes late and catches up, and keys pressed
// by a watcher, which do nothing. A ninth is refused; one that sends anything is let go, and so
// is one that stops taking what it is sent; the players never notice. Every watcher that
// stayed records the players' game.
TEST(Rollback, WatchersRecordThePlayersGame) {
  TwoGames games(30'000, 0.05);
  games.Watch();
  const uint32_t seed = TestSeed();
  KeyMonkey hostKeys(seed), guestKeys(seed + 1);
  games.RunUntil([&] { return games.guest.session.confirmed() >= 600; }, &hostKeys, &guestKeys);
  NetSide& late = games.Watch();
  for (int i = 0; i < 6; ++i) games.Watch();
  games.Run(5);
  NetSide& ninth = games.Watch();
  games.Run(5);
  NetSide& rude = *std::next(games.watchers.begin(), 2);
  games.watcherLinks[2]->Send(1, net::Encode(net::Hello{{net::kProtocolVersion, "1.0.0"}, true}),
                              net::Delivery::Reliable);
  for (int16_t key : {39, 87, 13}) late.session.LocalKeyDown(key);
  games.Run(300, &hostKeys, &guestKeys);
  EXPECT_EQ(ninth.failure, "could not watch memory: it has 8 watchers already");
  EXPECT_EQ(rude.failure, "connection lost: memory left the game");
  EXPECT_EQ(games.host.session.watchers(), 7u);
  EXPECT_GE(late.session.ticksRun() + net::NetSession::kCatchUpTicks + 12,
            games.host.session.confirmed())
      << "caught up";
  games.stalled = &*std::next(games.watchers.begin(), 3);
  games.RunUntil([&] { return games.host.session.watchers() == 6; }, &hostKeys, &guestKeys);
  EXPECT_EQ(games.host.session.watchers(), 6u);
  games.End();
  for (int i = 0; i < 100; ++i) games.Run(1);
  const std::string recorded = ExpectSameGame(games.host, games.guest);
  for (NetSide& watcher : games.watchers) {
    if (&watcher == &ninth || &watcher == &rude || &watcher == games.stalled) continue;
    EXPECT_FALSE(watcher.form.Running);
    EXPECT_EQ(watcher.failure, "");
    EXPECT_EQ(watcher.Recording(), recorded);
  }
}

// Two games joined in memory with no delay, passing in turns, the host first: the guest always
// holds the host's inputs for its next tick, so it never guesses.
class SessionTest : public ::testing::Test {
 protected:
  explicit SessionTest(std::string guestVersion = "1.0.0") : guestVersion_(guestVersion) {}

  void Play(uint32_t ticks) {
    while (guest.session.confirmed() < ticks && !host.over() && !guest.over()) {
      host.Pass();
      guest.Pass();
    }
  }

  std::string guestVersion_;
  FakeClock clock;
  std::pair<std::unique_ptr<MemoryTransport>, std::unique_ptr<MemoryTransport>> link =
      MemoryTransport::Pair();
  NetSide host{Role::Host, *link.first, clock, kDeadlySettings, 1, "1.0.0", 500};
  NetSide guest{Role::Guest, *link.second, clock, DefaultSettingsText(), 1, guestVersion_};
};

TEST_F(SessionTest, ADifferenceEndsBothGamesNamingTheTick) {
  Play(60);
  ASSERT_EQ(guest.session.ticksRun(), guest.session.confirmed());
  guest.form.RedPlayer.X += 1;  // after tick 60
  for (int i = 0; i < 100 && (host.failure.empty() || guest.failure.empty()); ++i) {
    host.Pass();
    guest.Pass();
  }
  EXPECT_EQ(guest.failure, "out of step at tick 61: the two games differ");
  EXPECT_EQ(host.failure, guest.failure);
  EXPECT_EQ(host.status, 4);
  EXPECT_EQ(guest.status, 4);
}

TEST_F(SessionTest, SilenceForFiveSecondsIsALostConnection) {
  Play(20);
  link.second->Cut();
  clock.now += 4'900'000;
  host.Pass();
  EXPECT_EQ(host.failure, "");
  clock.now += 200'000;
  host.Pass();
  EXPECT_EQ(host.failure, "connection lost: nothing from memory for 5 seconds");
  EXPECT_EQ(host.status, 1);
}

TEST_F(SessionTest, AGuestWithNoAnswerGivesUpAfterTenSeconds) {
  guest.Pass();
  clock.now += 10'100'000;
  guest.Pass();
  EXPECT_EQ(guest.failure, "could not join memory: no answer within 10 seconds");
}

TEST_F(SessionTest, EscapeWhileWaitingEndsTheGame) {
  guest.session.LocalKeyDown(27);
  guest.Pass();
  EXPECT_FALSE(guest.form.Running);
}

// What a hostile host could send to a guest in play, given the guest's last tick.
TEST_F(SessionTest, AMessageOutOfBoundsEndsTheGame) {
  using Bytes = std::vector<uint8_t>;
  const struct {
    const char* what;
    std::function<Bytes(uint32_t)> bytes;
    const char* failure;
  } cases[] = {
      {"garbage",
       [](uint32_t) {
         return Bytes{6, 1, 2};
       },
       "memory sent a message this game"},
      {"inputs far ahead",
       [](uint32_t tick) {
         return net::Encode(net::Inputs{tick + 40, {0}, tick, tick, 0});
       },
       "memory sent the keys of tick"},
      {"a known input changed",
       [](uint32_t tick) {
         return net::Encode(net::Inputs{tick - 5, {8}, tick, tick, 0});
       },
       "memory changed its keys of tick"},
      {"a claim to hold inputs not sent",
       [](uint32_t tick) {
         return net::Encode(net::Inputs{tick, {0}, tick + 30, tick, 0});
       },
       "memory sent the keys of tick"},
      {"a checksum out of turn",
       [](uint32_t) {
         return net::Encode(net::Checks{9, {0}});
       },
       "memory sent the checksum of tick 9 out of turn"},
      {"a watcher's turns",
       [](uint32_t tick) {
         return net::Encode(net::Turns{tick, {{1, 0, 0}}});
       },
       "memory sent a message this game does not take during play"},
      {"a hello during play",
       [](uint32_t) {
         return net::Encode(net::Hello{{net::kProtocolVersion, "1.0.0"}, false});
       },
       "memory sent a message this game does not take during play"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeClock clock2;
    auto pair = MemoryTransport::Pair();
    NetSide h{Role::Host, *pair.first, clock2, kDeadlySettings};
    NetSide g{Role::Guest, *pair.second, clock2, kDeadlySettings};
    for (int i = 0; i < 100 && g.session.confirmed() < 30; ++i) h.Pass(), g.Pass();
    ASSERT_EQ(g.session.confirmed(), 30u);
    pair.second->Inject(c.bytes(g.session.ticksRun()));
    g.Pass();
    EXPECT_EQ(g.failure.rfind(c.failure, 0), 0u) << g.failure;
    EXPECT_EQ(g.status, 1);
  }
}

class VersionMismatch : public SessionTest {
 protected:
  VersionMismatch() : SessionTest("2.0.0") {}
};

TEST_F(VersionMismatch, IsRefusedNamingBothVersions) {
  for (int i = 0; i < 5; ++i) guest.Pass(), host.Pass();
  EXPECT_EQ(guest.failure,
            "could not join memory: it runs zorvane 1.0.0 (protocol 2), this is zorvane 2.0.0 "
            "(protocol 2)");
  EXPECT_EQ(host.failure, "") << "the host waits on";
  EXPECT_FALSE(host.session.playing());
  EXPECT_TRUE(host.form.Running);
}

}  // namespace
}  // namespace zorvane::test

namespace zorvane::test {
namespace {

// The game's frame, all one colour, and the waiting screen over the headless one.
class WaitingScreenTest : public testing::Test {
 protected:
  void SetUp() override { frame.ColorFill({}, 0x1234); }

  HeadlessScreen inner;
  net::WaitingScreen screen{inner};
  Surface frame{640, 480};
};

// While waiting, the frame shown carries the band of stripes on its top rows and is the game's
// frame below; once playing, the game's frame goes through as it is.
TEST_F(WaitingScreenTest, MarksTheFramesShownWhileWaiting) {
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

// A notice is written yellow on black under the band, at its left, and nowhere else.
TEST_F(WaitingScreenTest, WritesTheNoticeUnderTheBand) {
  screen.SetWaiting(true);
  screen.SetNotice({"zorvane --join 11.0.0.1:24760"});
  screen.Present(frame);
  int yellow = 0, black = 0, elsewhere = 0;
  for (int y = net::WaitingScreen::kBandHeight; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const uint16_t pixel = inner.shown.Pixel(x, y);
      if (x < 320 && y < 40) {
        yellow += pixel == 0xffe0;
        black += pixel == 0x0000;
      } else {
        elsewhere += pixel != 0x1234;
      }
    }
  }
  EXPECT_GT(yellow, 200) << "the text";
  EXPECT_GT(black, 2000) << "its background";
  EXPECT_EQ(elsewhere, 0);
  screen.SetNotice({});
  screen.Present(frame);
  EXPECT_EQ(inner.shown.Pixel(8, 24), 0x1234);
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

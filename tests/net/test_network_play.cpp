#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "game/net/enet_transport.h"
#include "game/net/message_codec.h"
#include "game/net/tick_beat.h"
#include "tests/net/net_side.h"
#include "tests/support/udp_relay.h"

namespace zorvane::test {
namespace {

using net::EnetTransport;
using net::Role;
using Seconds = std::chrono::duration<double>;

// How many ticks the game through the lossy relay runs: a short game in the ordinary suite, a
// long one in the soak (ZORVANE_NET_TICKS).
uint32_t TicksToPlay() {
  const char* given = std::getenv("ZORVANE_NET_TICKS");
  return given ? static_cast<uint32_t>(std::strtoul(given, nullptr, 10)) : 2000;
}

std::vector<uint8_t> BusyReply() {
  return net::Encode(net::Refuse{net::RefuseReason::GameOn, {net::kProtocolVersion, "1.0.0"}});
}

// Two games over ENet on 127.0.0.1, the guest's datagrams and the host's answers through a
// relay that drops 10 % of them and holds the rest 30 to 80 ms. Ticks run as fast as the
// lockstep lets them, with the longest delay so that many are under way at once.
class NetworkPlay : public ::testing::Test {
 protected:
  static constexpr int kDelay = 25;

  // Passes both games until `until` holds, one fails or `limit` has passed; naps when neither
  // could run a tick. `each` runs before every round of passes.
  template <typename Until>
  void PlayUntil(
      Until until, Seconds limit, const std::function<void()>& each = [] {}) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!until() && std::chrono::steady_clock::now() < end) {
      each();
      const bool ran = host.TryPass() | guest.TryPass();
      if (!ran) std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
  }

  uint32_t seed = TestSeed();
  SteadyClock clock;
  std::unique_ptr<EnetTransport> hostLink = EnetTransport::Host(0, BusyReply());
  UdpRelay relay{hostLink->port(), {0.10, 30, 80, seed}};
  std::unique_ptr<EnetTransport> guestLink = EnetTransport::Join("127.0.0.1", relay.port());
  NetSide host{Role::Host, *hostLink, clock, kDeadlySettings, kDelay, "1.0.0", seed};
  NetSide guest{Role::Guest, *guestLink, clock, kDeadlySettings, kDelay};
  KeyMonkey hostKeys{seed + 1}, guestKeys{seed + 2};
};

// Garbage sent to the host's port by a stranger changes nothing either.
TEST_F(NetworkPlay, TwoGamesOverALossyLinkRunTheSameGame) {
  const uint32_t ticks = TicksToPlay();
  std::mt19937 garbage(seed + 3);
  int round = 0;
  const auto start = std::chrono::steady_clock::now();
  // A game that failed is not waited for.
  const auto over = [&] {
    return (host.states.size() >= ticks && guest.states.size() >= ticks) || !host.failure.empty() ||
           !guest.failure.empty();
  };
  PlayUntil(over, Seconds(ticks / 10.0 + 60), [&] {
    hostKeys.MaybePress(host.session);
    guestKeys.MaybePress(guest.session);
    if (++round % 50 == 0) {
      std::vector<uint8_t> bytes(std::uniform_int_distribution<size_t>(1, 200)(garbage));
      for (uint8_t& b : bytes) b = static_cast<uint8_t>(garbage());
      SendDatagram(hostLink->port(), bytes.data(), bytes.size());
    }
  });
  const double seconds = Seconds(std::chrono::steady_clock::now() - start).count();
  std::cout << "net: " << host.states.size() << " ticks in " << seconds << " s\n";
  EXPECT_EQ(host.failure + guest.failure, "");
  EXPECT_GE(host.states.size(), ticks);
  EXPECT_GE(guest.states.size(), ticks);
  ExpectSameGame(host, guest);
}

TEST_F(NetworkPlay, APeerThatVanishesIsALostConnectionWithinSixSeconds) {
  PlayUntil([&] { return host.states.size() >= 200; }, Seconds(60));
  ASSERT_EQ(host.failure + guest.failure, "");
  guestLink->Abandon();
  const auto cut = std::chrono::steady_clock::now();
  PlayUntil([&] { return !host.failure.empty(); }, Seconds(8));
  const double seconds = Seconds(std::chrono::steady_clock::now() - cut).count();
  EXPECT_EQ(host.failure.rfind("connection lost", 0), 0u) << host.failure;
  EXPECT_EQ(host.status, 1);
  EXPECT_LT(seconds, 6.0);
}

// A third game that asks to join is turned away, and the game goes on.
TEST_F(NetworkPlay, ASecondGuestIsRefused) {
  PlayUntil([&] { return host.states.size() >= 50; }, Seconds(60));
  auto otherLink = EnetTransport::Join("127.0.0.1", hostLink->port());
  NetSide other{Role::Guest, *otherLink, clock, kDeadlySettings};
  const uint32_t before = host.session.ticksRun();
  PlayUntil([&] { return !other.failure.empty(); }, Seconds(10), [&] { other.TryPass(); });
  EXPECT_EQ(other.failure, "could not join 127.0.0.1:" + std::to_string(hostLink->port()) +
                               ": it already has a game going");
  PlayUntil([&] { return host.session.ticksRun() >= before + 100; }, Seconds(60));
  EXPECT_EQ(host.failure + guest.failure, "");
  EXPECT_GE(host.session.ticksRun(), before + 100);
  ExpectSameGame(host, guest);
}

// The pace of two games as players see it, over ZORVANE_NET_PACE_SECONDS (a soak): each game
// passes its frame loop 60 times a second and ticks on its 20 ms beat, the relay holds every
// datagram 50 ms each way (a round trip of 100 ms) and drops none. Both games hold 50 ticks a
// second within 2 %, and each sends at most 4 KB a second.
TEST(NetworkPace, BothGamesHoldFiftyTicksASecond) {
  const char* given = std::getenv("ZORVANE_NET_PACE_SECONDS");
  if (given == nullptr) GTEST_SKIP() << "a soak: set ZORVANE_NET_PACE_SECONDS";
  const double seconds = std::strtod(given, nullptr);
  SteadyClock clock;
  auto hostLink = EnetTransport::Host(0, BusyReply());
  UdpRelay relay{hostLink->port(), {0, 50, 50, 1}};
  auto guestLink = EnetTransport::Join("127.0.0.1", relay.port());
  NetSide host{Role::Host, *hostLink, clock, kDeadlySettings};
  NetSide guest{Role::Guest, *guestLink, clock, kDeadlySettings};
  net::TickBeat hostBeat(clock), guestBeat(clock);
  KeyMonkey hostKeys(1), guestKeys(2);

  // Each game passes once a frame, on its own beat.
  auto pass = [](NetSide& side, net::TickBeat& beat, KeyMonkey& keys) {
    const bool wasPlaying = side.session.playing();
    keys.MaybePress(side.session);
    side.TryPassAt(wasPlaying ? beat.Reached(side.session.ticksRun()) : 0);
    if (!wasPlaying && side.session.playing()) beat.Start();
  };
  const auto frame = std::chrono::microseconds(16667);
  auto next = std::chrono::steady_clock::now();
  while (!host.session.playing() || !guest.session.playing()) {
    pass(host, hostBeat, hostKeys);
    pass(guest, guestBeat, guestKeys);
    std::this_thread::sleep_until(next += frame);
  }
  const auto start = std::chrono::steady_clock::now();
  const uint32_t hostStart = host.session.ticksRun(), guestStart = guest.session.ticksRun();
  const uint64_t fromHost = relay.bytesFromHost(), fromGuest = relay.bytesFromGuest();
  while (Seconds(std::chrono::steady_clock::now() - start).count() < seconds) {
    pass(host, hostBeat, hostKeys);
    pass(guest, guestBeat, guestKeys);
    std::this_thread::sleep_until(next += frame);
  }
  const double elapsed = Seconds(std::chrono::steady_clock::now() - start).count();
  const double hostRate = (host.session.ticksRun() - hostStart) / elapsed;
  const double guestRate = (guest.session.ticksRun() - guestStart) / elapsed;
  const double hostBytes = (relay.bytesFromHost() - fromHost) / elapsed;
  const double guestBytes = (relay.bytesFromGuest() - fromGuest) / elapsed;
  std::cout << "net: over " << elapsed << " s: host " << hostRate << " ticks/s, " << hostBytes
            << " bytes/s; guest " << guestRate << " ticks/s, " << guestBytes << " bytes/s\n";
  EXPECT_EQ(host.failure + guest.failure, "");
  EXPECT_NEAR(hostRate, 50, 1);
  EXPECT_NEAR(guestRate, 50, 1);
  EXPECT_LE(hostBytes, 4096);
  EXPECT_LE(guestBytes, 4096);
  ExpectSameGame(host, guest);
}

}  // namespace
}  // namespace zorvane::test

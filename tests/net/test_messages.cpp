#include <gtest/gtest.h>

#include <cmath>

#include "game/net/join_address.h"
#include "game/net/message_codec.h"
#include "game/net/player_keys.h"

namespace zorvane::net {
namespace {

using Bytes = std::vector<uint8_t>;

Welcome SomeWelcome() {
  Welcome welcome{{kProtocolVersion, "1.0.0"}, 3, 0xdeadbeef, {}};
  welcome.settings.blue = {5, 0.5f, 30, 15, 10, 100};
  welcome.settings.red = {-4, 0.25f, 24, 1e30f, 0, -1};
  return welcome;
}

TEST(NetMessages, EveryMessageReadsBackAsWritten) {
  const Message messages[] = {
      Hello{{kProtocolVersion, "1.0.0"}, 25},
      SomeWelcome(),
      Refuse{RefuseReason::GameOn, {kProtocolVersion, "1.0.0"}},
      Turn{7, 0x12345678, {37, 38, 39, 40, 65, 68, 83, 87, 13, 27}},
      Turn{1, 0, {}},
      Turn{0xffffffff, 2, std::vector<int16_t>(kMaxKeysPerTurn, 13)},
      Check{0, 0xfedcba98},
  };
  for (const Message& message : messages) {
    const Bytes bytes = Encode(message);
    EXPECT_LE(bytes.size(), kMaxMessageSize);
    const std::optional<Message> decoded = Decode(bytes);
    ASSERT_TRUE(decoded.has_value()) << "type " << int(bytes[0]);
    EXPECT_EQ(*decoded, message);
  }
  // A turn and a check are small: at 50 a second each, they must leave room under 4 KB/s
  // for ENet's framing.
  EXPECT_EQ(Encode(Turn{1, 2, {37}}).size(), 11u);
  EXPECT_EQ(Encode(Check{1, 2}).size(), 9u);
}

// Each bad message is a good one with one thing wrong.
TEST(NetMessages, ReadsNothingOutOfBounds) {
  const Bytes turn = Encode(Turn{5, 6, {37, 13}});
  const Bytes hello = Encode(Hello{{kProtocolVersion, "1.0.0"}, 3});
  const Bytes welcome = Encode(SomeWelcome());
  auto with = [](Bytes bytes, size_t at, uint8_t value) {
    bytes.at(at) = value;
    return bytes;
  };
  auto without_last = [](Bytes bytes) {
    bytes.pop_back();
    return bytes;
  };
  auto plus = [](Bytes bytes, uint8_t extra) {
    bytes.push_back(extra);
    return bytes;
  };
  Bytes nanSetting = welcome;
  const uint32_t nan = 0x7fc00000;
  for (int i = 0; i < 4; ++i) nanSetting[nanSetting.size() - 4 + i] = uint8_t(nan >> (8 * i));
  Bytes longVersion = Encode(Hello{{kProtocolVersion, std::string(kMaxVersionLength, 'v')}, 3});
  longVersion[3] = kMaxVersionLength + 1;
  longVersion.insert(longVersion.begin() + 4, 'v');

  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"nothing", {}},
      {"an unknown type", with(turn, 0, 9)},
      {"type zero", with(turn, 0, 0)},
      {"a turn cut short", without_last(turn)},
      {"a turn with a byte more", plus(turn, 0)},
      {"a key that is not the game's", with(turn, 10, 32)},
      {"a count of keys beyond the limit", with(turn, 9, kMaxKeysPerTurn + 1)},
      {"a count of keys beyond the message", with(turn, 9, 3)},
      {"a delay over 25", with(hello, hello.size() - 1, kMaxDelay + 1)},
      {"a version with a control character", with(hello, 4, '\n')},
      {"a version longer than 32", longVersion},
      {"a version longer than the message", with(hello, 3, 20)},
      {"a setting that is not a number", nanSetting},
      {"a welcome cut short", without_last(welcome)},
      {"a check with a byte more", plus(Encode(Check{1, 2}), 0)},
      {"a refusal for no known reason", with(Encode(Refuse{}), 4, 7)},
      {"a message over the size limit", Bytes(kMaxMessageSize + 1, 4)},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(Decode(c.bytes).has_value()) << c.what;
  }
}

// Whatever else a newer protocol's hello holds, its versions can be read to be named.
TEST(NetMessages, AHelloOfAnotherProtocolGivesItsVersions) {
  Bytes bytes = Encode(Hello{{kProtocolVersion + 1, "2.0.0"}, 3});
  bytes.insert(bytes.end(), {1, 2, 3, 4, 5});
  const std::optional<Message> decoded = Decode(bytes);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(std::get<Hello>(*decoded).versions, (Versions{kProtocolVersion + 1, "2.0.0"}));
}

TEST(NetKeys, EachPlayerSteersTheirOwnBlockWithEitherSet) {
  const struct {
    Role role;
    int16_t pressed;
    std::optional<int16_t> sent;
  } cases[] = {
      {Role::Host, 37, 37},           {Role::Host, 38, 38},
      {Role::Host, 39, 39},           {Role::Host, 40, 40},
      {Role::Host, 65, 37},           {Role::Host, 87, 38},
      {Role::Host, 68, 39},           {Role::Host, 83, 40},
      {Role::Guest, 37, 65},          {Role::Guest, 38, 87},
      {Role::Guest, 39, 68},          {Role::Guest, 40, 83},
      {Role::Guest, 65, 65},          {Role::Guest, 87, 87},
      {Role::Guest, 68, 68},          {Role::Guest, 83, 83},
      {Role::Host, 13, 13},           {Role::Guest, 27, 27},
      {Role::Host, 32, std::nullopt}, {Role::Guest, 81, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OwnBlockKey(c.role, c.pressed), c.sent) << int(c.role) << " " << c.pressed;
    if (c.sent) {
      EXPECT_TRUE(MayPress(c.role, *c.sent));
      EXPECT_EQ(MayPress(c.role == Role::Host ? Role::Guest : Role::Host, *c.sent),
                *c.sent == 13 || *c.sent == 27);
    }
  }
}

// A router's word on its outside address is taken only as a public dotted quad with a port of
// UDP's: anything else, however near, is no address.
TEST(RouterAnswers, OnlyAPublicAddressAndAPortAreTaken) {
  struct Case {
    const char* address;
    long port;
    const char* joins;  // what the friend types; empty when refused
  } const cases[] = {
      {"11.0.0.1", 24760, "zorvane --join 11.0.0.1:24760"},
      {"8.8.4.4", 1, "zorvane --join 8.8.4.4:1"},
      {"223.255.255.254", 65535, "zorvane --join 223.255.255.254:65535"},
      // At the edges of the blocks that are not public.
      {"172.15.255.255", 5000, "zorvane --join 172.15.255.255:5000"},
      {"172.32.0.0", 5000, "zorvane --join 172.32.0.0:5000"},
      {"100.63.255.255", 5000, "zorvane --join 100.63.255.255:5000"},
      {"100.128.0.1", 5000, "zorvane --join 100.128.0.1:5000"},
      // Not an address.
      {"", 5000, ""},
      {"11.0.0", 5000, ""},
      {"11.0.0.1.5", 5000, ""},
      {"11.0.0.256", 5000, ""},
      {" 11.0.0.1", 5000, ""},
      {"11.0.0.1 ", 5000, ""},
      {"11.0.0.1\n", 5000, ""},
      {"11.0.0.01", 5000, ""},
      {"+11.0.0.1", 5000, ""},
      {"11..0.1", 5000, ""},
      {"0x0b.0.0.1", 5000, ""},
      {"11.0.0.-1", 5000, ""},
      {"::1", 5000, ""},
      {"11.0.0.1:80", 5000, ""},
      {"99999999999.0.0.1", 5000, ""},
      // Private, shared, zero, loopback, link-local, documentation, multicast, broadcast.
      {"0.0.0.0", 5000, ""},
      {"10.1.2.3", 5000, ""},
      {"100.64.0.1", 5000, ""},
      {"127.0.0.1", 5000, ""},
      {"169.254.1.1", 5000, ""},
      {"172.16.0.1", 5000, ""},
      {"172.31.255.255", 5000, ""},
      {"192.168.1.1", 5000, ""},
      {"192.0.2.1", 5000, ""},
      {"198.51.100.7", 5000, ""},
      {"203.0.113.9", 5000, ""},
      {"224.0.0.251", 5000, ""},
      {"240.0.0.1", 5000, ""},
      {"255.255.255.255", 5000, ""},
      // Ports out of range.
      {"11.0.0.1", 0, ""},
      {"11.0.0.1", -1, ""},
      {"11.0.0.1", 65536, ""},
  };
  for (const Case& c : cases) {
    const std::optional<JoinAddress> checked = CheckedOutsideAddress(c.address, c.port);
    EXPECT_EQ(checked ? JoinCommand(*checked) : "", c.joins) << "'" << c.address << "' " << c.port;
  }
}

}  // namespace
}  // namespace zorvane::net

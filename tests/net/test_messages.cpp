#include <gtest/gtest.h>

#include <cmath>

#include "game/net/join_address.h"
#include "game/net/message_codec.h"
#include "game/net/player_input.h"

namespace zorvane::net {
namespace {

using Bytes = std::vector<uint8_t>;

Welcome SomeWelcome() {
  Welcome welcome{{kProtocolVersion, "1.0.0"}, 0xdeadbeef, {}};
  welcome.settings.blue = {5, 0.5f, 30, 15, 10, 100};
  welcome.settings.red = {-4, 0.25f, 24, 1e30f, 0, -1};
  return welcome;
}

TEST(NetMessages, EveryMessageReadsBackAsWritten) {
  const Message messages[] = {
      Hello{{kProtocolVersion, "1.0.0"}, false},
      Hello{{kProtocolVersion, "1.0.0"}, true},
      SomeWelcome(),
      Refuse{RefuseReason::GameOn, {kProtocolVersion, "1.0.0"}},
      Refuse{RefuseReason::Full, {kProtocolVersion, "1.0.0"}},
      Inputs{7, {0, kHeldUp | kPressedEnter, kInputMask}, 5, 6, -3},
      Inputs{0xffffffff, Bytes(kMaxInputsPerMessage, kHeldMask), 0, 0, 127},
      Checks{0, {0xfedcba98}},
      Checks{3, std::vector<uint32_t>(kMaxChecksPerMessage, 1)},
      Turns{1, {{255, kHeldLeft, kPressedEscape}, {1, 0, 0}}},
      Turns{9, std::vector<TurnRun>(kMaxRunsPerMessage, TurnRun{2, 1, 2})},
  };
  for (const Message& message : messages) {
    const Bytes bytes = Encode(message);
    EXPECT_LE(bytes.size(), kMaxMessageSize);
    const std::optional<Message> decoded = Decode(bytes);
    ASSERT_TRUE(decoded.has_value()) << "type " << int(bytes[0]);
    EXPECT_EQ(*decoded, message);
  }
  // Inputs go out 50 times a second with what the other player has not acknowledged: they must
  // leave room under 4 KB/s for ENet's framing at round trips of 300 ms.
  EXPECT_EQ(Encode(Inputs{1, Bytes(15, 0), 2, 3, 0}).size(), 30u);
}

// Each bad message is a good one with one thing wrong.
TEST(NetMessages, ReadsNothingOutOfBounds) {
  const Bytes inputs = Encode(Inputs{5, {1, 2}, 3, 4, 0});
  const Bytes hello = Encode(Hello{{kProtocolVersion, "1.0.0"}, false});
  const Bytes welcome = Encode(SomeWelcome());
  const Bytes turns = Encode(Turns{5, {{3, 1, 2}}});
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
  Bytes longVersion = Encode(Hello{{kProtocolVersion, std::string(kMaxVersionLength, 'v')}, 0});
  longVersion[3] = kMaxVersionLength + 1;
  longVersion.insert(longVersion.begin() + 4, 'v');

  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"nothing", {}},
      {"an unknown type", with(inputs, 0, 9)},
      {"type zero", with(inputs, 0, 0)},
      {"a turn of the first protocol", with(inputs, 0, 4)},
      {"inputs cut short", without_last(inputs)},
      {"inputs with a byte more", plus(inputs, 0)},
      {"inputs from tick 0", with(inputs, 1, 0)},
      {"no inputs", with(inputs, 5, 0)},
      {"more inputs than a message holds", with(inputs, 5, kMaxInputsPerMessage + 1)},
      {"more inputs than the message", with(inputs, 5, 3)},
      {"an input with a bit that means nothing", with(inputs, 6, 64)},
      {"a watcher flag of 2", with(hello, hello.size() - 1, 2)},
      {"a version with a control character", with(hello, 4, '\n')},
      {"a version longer than 32", longVersion},
      {"a version longer than the message", with(hello, 3, 20)},
      {"a setting that is not a number", nanSetting},
      {"a welcome cut short", without_last(welcome)},
      {"no checksums", with(Encode(Checks{1, {2}}), 5, 0)},
      {"checks with a byte more", plus(Encode(Checks{1, {2}}), 0)},
      {"a run of no ticks", with(turns, 6, 0)},
      {"a run with a guest input that means nothing", with(turns, 8, 128)},
      {"more runs than a message holds", with(turns, 5, kMaxRunsPerMessage + 1)},
      {"a refusal for no known reason", with(Encode(Refuse{}), 4, 7)},
      {"a message over the size limit", Bytes(kMaxMessageSize + 1, 6)},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(Decode(c.bytes).has_value()) << c.what;
  }
}

// Whatever else a newer protocol's hello holds, its versions can be read to be named.
TEST(NetMessages, AHelloOfAnotherProtocolGivesItsVersions) {
  Bytes bytes = Encode(Hello{{kProtocolVersion + 1, "2.0.0"}, false});
  bytes.insert(bytes.end(), {1, 2, 3, 4, 5});
  const std::optional<Message> decoded = Decode(bytes);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(std::get<Hello>(*decoded).versions, (Versions{kProtocolVersion + 1, "2.0.0"}));
}

// A tick's input from the keys of either set, and the key-downs both games make of a run of
// inputs: the press, the first repeat 25 ticks later, then one every 33 ms on the 20 ms grid.
TEST(NetKeys, HeldKeysGoDownByOneSchedule) {
  LocalInput local;
  local.Press(65);  // A: left, let go before the close
  local.Press(13);
  local.Hold(std::vector<int16_t>{38, 87, 32});  // up twice, and a key of nobody's
  EXPECT_EQ(local.Close(), kHeldLeft | kHeldUp | kPressedEnter);
  local.Hold({});
  EXPECT_EQ(local.Close(), 0);
  EXPECT_EQ(Guess(kHeldRight | kPressedEnter | kPressedEscape), kHeldRight);

  std::vector<uint32_t> downs;
  KeySchedule schedule;
  for (uint32_t tick = 0; tick < 100; ++tick) {
    const uint8_t input = tick >= 10 && tick != 90 ? kHeldRight : 0;
    schedule.Run(input, kRedKeys, [&](int16_t key) {
      EXPECT_EQ(key, kRedKeys.right);
      downs.push_back(tick);
    });
  }
  // Repeats 33 ms apart after the first (0, 33, 66, 99, 132 ... ms), each in the tick whose
  // 20 ms it falls in; the pattern comes round after 33 ticks. Let go at 90, pressed at 91.
  const std::vector<uint32_t> expected = {10, 35, 36, 38, 39, 41, 43, 44, 46, 48, 49, 51,
                                          53, 54, 56, 58, 59, 61, 63, 64, 66, 68, 69, 71,
                                          72, 74, 76, 77, 79, 81, 82, 84, 86, 87, 89, 91};
  EXPECT_EQ(downs, expected);

  std::vector<int16_t> keys;
  KeySchedule both;
  both.Run(kHeldUp | kHeldDown | kHeldLeft | kHeldRight | kPressedEnter | kPressedEscape, kBlueKeys,
           [&](int16_t key) { keys.push_back(key); });
  EXPECT_EQ(keys, (std::vector<int16_t>{38, 40, 37, 39, 13, 27}));
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

#include "game/net/message_codec.h"

#include <bit>
#include <cmath>
#include <type_traits>

namespace zorvane::net {
namespace {

enum Type : uint8_t { kHello = 1, kWelcome = 2, kRefuse = 3, kTurn = 4, kCheck = 5 };

class Writer {
 public:
  void U8(uint8_t v) { bytes.push_back(v); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void F32(float v) { U32(std::bit_cast<uint32_t>(v)); }
  void Text(const std::string& text) {
    U8(static_cast<uint8_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
  }
  void Versions(const net::Versions& versions) {
    U16(versions.protocol);
    Text(versions.program);
  }
  std::vector<uint8_t> bytes;
};

// Reads little-endian fields; once a read runs past the end, every later read fails too.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool U8(uint8_t& v) {
    if (pos_ >= bytes_.size()) return ok_ = false;
    v = bytes_[pos_++];
    return ok_;
  }
  bool U16(uint16_t& v) {
    uint8_t lo = 0, hi = 0;
    if (!U8(lo) || !U8(hi)) return false;
    v = static_cast<uint16_t>(lo | hi << 8);
    return true;
  }
  bool U32(uint32_t& v) {
    uint16_t lo = 0, hi = 0;
    if (!U16(lo) || !U16(hi)) return false;
    v = lo | static_cast<uint32_t>(hi) << 16;
    return true;
  }
  bool F32(float& v) {
    uint32_t bits = 0;
    if (!U32(bits)) return false;
    v = std::bit_cast<float>(bits);
    return std::isfinite(v);
  }
  // Short printable ASCII, as a version is written.
  bool Text(std::string& text) {
    uint8_t size = 0;
    if (!U8(size) || size > kMaxVersionLength || bytes_.size() - pos_ < size) return false;
    for (size_t i = 0; i < size; ++i) {
      const uint8_t c = bytes_[pos_++];
      if (c < 0x20 || c > 0x7e) return false;
      text.push_back(static_cast<char>(c));
    }
    return true;
  }
  bool Versions(net::Versions& versions) {
    return U16(versions.protocol) && Text(versions.program);
  }
  bool AtEnd() const { return ok_ && pos_ == bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

bool Delay(Reader& in, uint8_t& delay) { return in.U8(delay) && delay <= kMaxDelay; }

std::optional<Message> DecodeHello(Reader& in) {
  Hello hello;
  if (!in.Versions(hello.versions)) return std::nullopt;
  if (hello.versions.protocol != kProtocolVersion) return hello;
  if (!Delay(in, hello.delay) || !in.AtEnd()) return std::nullopt;
  return hello;
}

std::optional<Message> DecodeWelcome(Reader& in) {
  Welcome welcome;
  if (!in.Versions(welcome.versions)) return std::nullopt;
  if (welcome.versions.protocol != kProtocolVersion) return welcome;
  if (!Delay(in, welcome.delay) || !in.U32(welcome.seed)) return std::nullopt;
  for (PlayerSettings* block : {&welcome.settings.blue, &welcome.settings.red}) {
    for (float& value : *block) {
      if (!in.F32(value)) return std::nullopt;
    }
  }
  if (!in.AtEnd()) return std::nullopt;
  return welcome;
}

std::optional<Message> DecodeRefuse(Reader& in) {
  Refuse refuse;
  if (!in.Versions(refuse.versions)) return std::nullopt;
  if (refuse.versions.protocol != kProtocolVersion) return refuse;
  uint8_t reason = 0;
  if (!in.U8(reason) || !in.AtEnd()) return std::nullopt;
  if (reason != static_cast<uint8_t>(RefuseReason::Versions) &&
      reason != static_cast<uint8_t>(RefuseReason::GameOn)) {
    return std::nullopt;
  }
  refuse.reason = static_cast<RefuseReason>(reason);
  return refuse;
}

std::optional<Message> DecodeTurn(Reader& in) {
  Turn turn;
  uint8_t count = 0;
  if (!in.U32(turn.tick) || !in.U32(turn.seed) || !in.U8(count) || count > kMaxKeysPerTurn) {
    return std::nullopt;
  }
  turn.keys.reserve(count);
  for (uint8_t i = 0; i < count; ++i) {
    uint8_t key = 0;
    if (!in.U8(key) || !IsGameKey(key)) return std::nullopt;
    turn.keys.push_back(key);
  }
  if (!in.AtEnd()) return std::nullopt;
  return turn;
}

std::optional<Message> DecodeCheck(Reader& in) {
  Check check;
  if (!in.U32(check.tick) || !in.U32(check.checksum) || !in.AtEnd()) return std::nullopt;
  return check;
}

}  // namespace

std::vector<uint8_t> Encode(const Message& message) {
  Writer out;
  std::visit(
      [&out](const auto& m) {
        using T = std::decay_t<decltype(m)>;
        if constexpr (std::is_same_v<T, Hello>) {
          out.U8(kHello);
          out.Versions(m.versions);
          out.U8(m.delay);
        } else if constexpr (std::is_same_v<T, Welcome>) {
          out.U8(kWelcome);
          out.Versions(m.versions);
          out.U8(m.delay);
          out.U32(m.seed);
          for (float value : m.settings.blue) out.F32(value);
          for (float value : m.settings.red) out.F32(value);
        } else if constexpr (std::is_same_v<T, Refuse>) {
          out.U8(kRefuse);
          out.Versions(m.versions);
          out.U8(static_cast<uint8_t>(m.reason));
        } else if constexpr (std::is_same_v<T, Check>) {
          out.U8(kCheck);
          out.U32(m.tick);
          out.U32(m.checksum);
        } else {
          out.U8(kTurn);
          out.U32(m.tick);
          out.U32(m.seed);
          out.U8(static_cast<uint8_t>(m.keys.size()));
          for (int16_t key : m.keys) out.U8(static_cast<uint8_t>(key));
        }
      },
      message);
  return out.bytes;
}

std::optional<Message> Decode(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > kMaxMessageSize) return std::nullopt;
  Reader in(bytes.subspan(1));
  switch (bytes[0]) {
    case kHello:
      return DecodeHello(in);
    case kWelcome:
      return DecodeWelcome(in);
    case kRefuse:
      return DecodeRefuse(in);
    case kTurn:
      return DecodeTurn(in);
    case kCheck:
      return DecodeCheck(in);
    default:
      return std::nullopt;
  }
}

}  // namespace zorvane::net

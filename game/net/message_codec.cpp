#include "game/net/message_codec.h"

#include <bit>
#include <cmath>
#include <type_traits>

namespace zorvane::net {
namespace {

// Type 4 and 5 were the turns and checks of the first protocol.
enum Type : uint8_t { kHello = 1, kWelcome = 2, kRefuse = 3, kInputs = 6, kChecks = 7, kTurns = 8 };

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
  // A count from 1 to `most`, then that many items, each read by `read`.
  template <typename Item, typename Read>
  bool List(std::vector<Item>& items, size_t most, Read read) {
    uint8_t count = 0;
    if (!U8(count) || count == 0 || count > most) return false;
    items.resize(count);
    for (Item& item : items) {
      if (!read(item)) return false;
    }
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

bool Flag(Reader& in, bool& flag) {
  uint8_t byte = 0;
  if (!in.U8(byte) || byte > 1) return false;
  flag = byte == 1;
  return true;
}

bool Input(Reader& in, uint8_t& input) { return in.U8(input) && (input & ~kInputMask) == 0; }

std::optional<Message> DecodeHello(Reader& in) {
  Hello hello;
  if (!in.Versions(hello.versions)) return std::nullopt;
  if (hello.versions.protocol != kProtocolVersion) return hello;
  if (!Flag(in, hello.watcher) || !in.AtEnd()) return std::nullopt;
  return hello;
}

std::optional<Message> DecodeWelcome(Reader& in) {
  Welcome welcome;
  if (!in.Versions(welcome.versions)) return std::nullopt;
  if (welcome.versions.protocol != kProtocolVersion) return welcome;
  if (!in.U32(welcome.seed)) return std::nullopt;
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
  if (reason < static_cast<uint8_t>(RefuseReason::Versions) ||
      reason > static_cast<uint8_t>(RefuseReason::Full)) {
    return std::nullopt;
  }
  refuse.reason = static_cast<RefuseReason>(reason);
  return refuse;
}

std::optional<Message> DecodeInputs(Reader& in) {
  Inputs inputs;
  uint8_t ahead = 0;
  if (!in.U32(inputs.first) || inputs.first == 0 ||
      !in.List(inputs.inputs, kMaxInputsPerMessage, [&](uint8_t& i) { return Input(in, i); }) ||
      !in.U32(inputs.received) || !in.U32(inputs.tick) || !in.U8(ahead) || !in.AtEnd()) {
    return std::nullopt;
  }
  inputs.ahead = static_cast<int8_t>(ahead);
  return inputs;
}

std::optional<Message> DecodeChecks(Reader& in) {
  Checks checks;
  if (!in.U32(checks.first) ||
      !in.List(checks.sums, kMaxChecksPerMessage, [&](uint32_t& sum) { return in.U32(sum); }) ||
      !in.AtEnd()) {
    return std::nullopt;
  }
  return checks;
}

std::optional<Message> DecodeTurns(Reader& in) {
  Turns turns;
  const auto run = [&](TurnRun& r) {
    return in.U8(r.ticks) && r.ticks > 0 && Input(in, r.host) && Input(in, r.guest);
  };
  if (!in.U32(turns.first) || turns.first == 0 || !in.List(turns.runs, kMaxRunsPerMessage, run) ||
      !in.AtEnd()) {
    return std::nullopt;
  }
  return turns;
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
          out.U8(m.watcher ? 1 : 0);
        } else if constexpr (std::is_same_v<T, Welcome>) {
          out.U8(kWelcome);
          out.Versions(m.versions);
          out.U32(m.seed);
          for (float value : m.settings.blue) out.F32(value);
          for (float value : m.settings.red) out.F32(value);
        } else if constexpr (std::is_same_v<T, Refuse>) {
          out.U8(kRefuse);
          out.Versions(m.versions);
          out.U8(static_cast<uint8_t>(m.reason));
        } else if constexpr (std::is_same_v<T, Inputs>) {
          out.U8(kInputs);
          out.U32(m.first);
          out.U8(static_cast<uint8_t>(m.inputs.size()));
          for (uint8_t input : m.inputs) out.U8(input);
          out.U32(m.received);
          out.U32(m.tick);
          out.U8(static_cast<uint8_t>(m.ahead));
        } else if constexpr (std::is_same_v<T, Checks>) {
          out.U8(kChecks);
          out.U32(m.first);
          out.U8(static_cast<uint8_t>(m.sums.size()));
          for (uint32_t sum : m.sums) out.U32(sum);
        } else {
          out.U8(kTurns);
          out.U32(m.first);
          out.U8(static_cast<uint8_t>(m.runs.size()));
          for (const TurnRun& run : m.runs) {
            out.U8(run.ticks);
            out.U8(run.host);
            out.U8(run.guest);
          }
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
    case kInputs:
      return DecodeInputs(in);
    case kChecks:
      return DecodeChecks(in);
    case kTurns:
      return DecodeTurns(in);
    default:
      return std::nullopt;
  }
}

}  // namespace zorvane::net

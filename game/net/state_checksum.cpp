#include "game/net/state_checksum.h"

#include <bit>
#include <string_view>

#include "game/sim/form1.h"

namespace zorvane::net {
namespace {

// FNV-1a over 32-bit words.
class Fnv {
 public:
  void Add(uint32_t word) {
    for (int i = 0; i < 4; ++i) {
      hash_ = (hash_ ^ ((word >> (8 * i)) & 0xff)) * 16777619u;
    }
  }
  void Add(float value) { Add(std::bit_cast<uint32_t>(value)); }
  void Add(int16_t value) { Add(static_cast<uint32_t>(static_cast<uint16_t>(value))); }
  uint32_t hash() const { return hash_; }

 private:
  uint32_t hash_ = 2166136261u;
};

void AddPlayer(Fnv& fnv, const PlayerState& p) {
  VisitFields(p, [&fnv](std::string_view, auto value) { fnv.Add(value); });
}

}  // namespace

uint32_t StateChecksum(const Form1& form) {
  Fnv fnv;
  AddPlayer(fnv, form.BluePlayer);
  AddPlayer(fnv, form.RedPlayer);
  fnv.Add(static_cast<uint32_t>(form.Running));
  return fnv.hash();
}

}  // namespace zorvane::net

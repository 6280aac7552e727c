#include "game/net/state_checksum.h"

#include <bit>

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
  uint32_t hash() const { return hash_; }

 private:
  uint32_t hash_ = 2166136261u;
};

void AddPlayer(Fnv& fnv, const PlayerState& p) {
  for (float value : {p.X, p.Y, p.VX, p.VY}) fnv.Add(value);
  fnv.Add(static_cast<uint32_t>(static_cast<uint16_t>(p.Health)));
  for (float value :
       {p.SavedVX, p.SavedVY, p.Accel, p.Friction, p.Size, p.MaxSpeed, p.Damage, p.MaxHealth}) {
    fnv.Add(value);
  }
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

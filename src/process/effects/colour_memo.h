// A small memo of a colour-to-colour function, for point effects whose result depends on the
// three colour bytes alone but costs many transcendental calls (Adjust Lab). Pictures repeat
// their colours, so most pixels find their answer here; a miss computes it. Exact: the memo only
// ever returns what the function gave for the same colour.
#pragma once

#include <cstdint>

#include "engine/heap.h"

namespace process {

class ColourMemo {
 public:
  ColourMemo() : slots_(engine::MakeOwnedPlane<uint64_t>(kSlots)) {
    for (uint32_t i = 0; i < kSlots; ++i) slots_[i] = 0;
  }

  // fn(r, g, b, out[3]) computes the colour; the memo answers for colours it has seen.
  template <class Fn>
  void Map(const uint8_t* in, uint8_t* out, Fn& fn) {
    const uint32_t key = in[0] | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16;
    MapKeyed(key, out, [&](uint8_t* result) { fn(in[0], in[1], in[2], result); });
  }

  // The same for a result that depends on a key of up to 32 bits (a colour and a few bits of
  // circumstance); compute(out[3]) works it out on a miss.
  template <class Compute>
  void MapKeyed(uint32_t key, uint8_t* out, Compute&& compute) {
    // Multiplicative hash of the key into kBits.
    uint64_t& slot = slots_[(key * 2654435761u) >> (32 - kBits)];
    if ((slot & kValid) && uint32_t(slot) == key) {
      out[0] = uint8_t(slot >> 32), out[1] = uint8_t(slot >> 40), out[2] = uint8_t(slot >> 48);
      return;
    }
    compute(out);
    slot = kValid | key | uint64_t{out[0]} << 32 | uint64_t{out[1]} << 40 | uint64_t{out[2]} << 48;
  }

 private:
  static constexpr uint32_t kBits = 18;
  static constexpr uint32_t kSlots = 1u << kBits;
  static constexpr uint64_t kValid = uint64_t{1} << 63;
  engine::OwnedPlane<uint64_t> slots_;
};

}  // namespace process

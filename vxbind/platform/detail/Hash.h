// -----------------------------------------------------------------------------
// File: detail/Hash.h
// -----------------------------------------------------------------------------
//
// Keyed hashing of UTF-16 units for the hash tables of the document's names
// and of the Fast Infoset writer's vocabulary.

#ifndef VXBIND_PLATFORM_DETAIL_HASH_H
#define VXBIND_PLATFORM_DETAIL_HASH_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>

namespace VxVevAva5 {
namespace Hash {

// A key drawn once per process. Keys of hash tables often come from
// input: with a fixed or a weak hash a document could be made of strings
// that all collide, and every new one would walk all earlier ones. Keyed
// SipHash-1-3 leaves an author no way to pick colliding strings.
struct HashKey {
  uint64_t k0, k1;
};

inline const HashKey& SecretKey() {
  static const HashKey key = [] {
    HashKey k{0x2545F4914F6CDD1Dull, 0x9E3779B97F4A7C15ull};
    try {
      std::random_device device;
      k.k0 ^= (uint64_t{device()} << 32) | device();
      k.k1 ^= (uint64_t{device()} << 32) | device();
    } catch (...) {
      // No entropy source: fall back on the address space layout and clock.
      k.k0 ^= reinterpret_cast<uintptr_t>(&k);
      k.k1 ^= static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    }
    return k;
  }();
  return key;
}

inline uint64_t Rotl(uint64_t x, int bits) { return (x << bits) | (x >> (64 - bits)); }

// SipHash-1-3 of the `n` units at `p`.
inline size_t SipHash13(uint64_t k0, uint64_t k1, const unsigned short* p, size_t n) {
  uint64_t v0 = k0 ^ 0x736F6D6570736575ull, v1 = k1 ^ 0x646F72616E646F6Dull;
  uint64_t v2 = k0 ^ 0x6C7967656E657261ull, v3 = k1 ^ 0x7465646279746573ull;
  auto round = [&] {
    v0 += v1;
    v1 = Rotl(v1, 13);
    v1 ^= v0;
    v0 = Rotl(v0, 32);
    v2 += v3;
    v3 = Rotl(v3, 16);
    v3 ^= v2;
    v0 += v3;
    v3 = Rotl(v3, 21);
    v3 ^= v0;
    v2 += v1;
    v1 = Rotl(v1, 17);
    v1 ^= v2;
    v2 = Rotl(v2, 32);
  };
  uint64_t last = uint64_t{(n * 2) & 0xFF} << 56;
  for (; n >= 4; p += 4, n -= 4) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    v3 ^= w;
    round();
    v0 ^= w;
  }
  for (size_t i = 0; i < n; ++i) last |= uint64_t{p[i]} << (16 * i);
  v3 ^= last;
  round();
  v0 ^= last;
  v2 ^= 0xFF;
  round();
  round();
  round();
  return static_cast<size_t>(v0 ^ v1 ^ v2 ^ v3);
}

}  // namespace Hash
}  // namespace VxVevAva5

#endif  // VXBIND_PLATFORM_DETAIL_HASH_H

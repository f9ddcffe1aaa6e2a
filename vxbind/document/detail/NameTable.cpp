#include "vxbind/document/detail/NameTable.h"

#include <chrono>
#include <cstring>
#include <random>
#include <utility>

namespace VxVevAva5 {
namespace detail {
namespace {

// The key of the name table's hash, drawn once per process. Names come from
// the input: with a fixed or a weak hash a document could be made of names
// that all collide, and every new name would walk all earlier ones. Keyed
// SipHash-1-3 leaves an author no way to pick colliding names.
struct HashKey {
  uint64_t k0, k1;
};

const HashKey& NameHashKey() {
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
inline size_t HashUnits(uint64_t k0, uint64_t k1, const unsigned short* p, size_t n) {
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

}  // namespace

NameTable::NameTable(DocumentStorage* owner)
    : m_owner(owner), m_key0(NameHashKey().k0), m_key1(NameHashKey().k1), m_slots(64) {
  m_empty = Intern(nullptr, 0, String::npos);
}

const InternedName* NameTable::Intern(const unsigned short* key, size_t length, size_t bar) {
  size_t hash = HashUnits(m_key0, m_key1, key, length);
  size_t mask = m_slots.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = m_slots[i];
    if (slot.name == nullptr) break;
    if (slot.hash == hash && slot.name->key.size() == length &&
        (length == 0 || std::memcmp(slot.name->key.data(), key, length * 2) == 0))
      return slot.name;
  }
  InternedName n;
  n.storage = m_owner;
  if (length != 0) n.key.assign(key, length);
  if (bar == String::npos) {
    n.localName = n.key;
  } else {
    n.namespaceUri = n.key.substr(0, bar);
    n.localName = n.key.substr(bar + 1);
  }
  n.hash = hash;
  m_names.push_back(std::move(n));
  const InternedName* added = &m_names.back();
  if ((m_names.size() + 1) * 2 > m_slots.size()) Rehash(m_slots.size() * 2);
  Insert(added);
  return added;
}

const InternedName* NameTable::Intern(const unsigned short* ns, size_t nsLength,
                                      const unsigned short* local, size_t localLength) {
  if (nsLength == 0) return Intern(local, localLength, String::npos);
  m_scratch.assign(ns, nsLength);
  m_scratch += u'|';
  m_scratch.append(local, localLength);
  return Intern(m_scratch.data(), m_scratch.size(), nsLength);
}

const InternedName* NameTable::InternExpanded(const unsigned short* name) {
  size_t bar = String::npos;
  size_t length = 0;
  for (; name[length] != 0; ++length)
    if (name[length] == u'|' && bar == String::npos) bar = length;
  return Intern(name, length, bar);
}

void NameTable::Insert(const InternedName* n) {
  size_t mask = m_slots.size() - 1;
  size_t i = n->hash & mask;
  while (m_slots[i].name != nullptr) i = (i + 1) & mask;
  m_slots[i] = Slot{n->hash, n};
}

void NameTable::Rehash(size_t size) {
  m_slots.assign(size, Slot());
  for (const InternedName& n : m_names) Insert(&n);
}

}  // namespace detail
}  // namespace VxVevAva5

#include "vxbind/document/detail/NameTable.h"

#include <cstring>
#include <utility>

#include "vxbind/document/detail/Utf8ToUtf16.h"
#include "vxbind/platform/detail/Hash.h"

namespace VxVevAva5 {
namespace detail {

NameTable::NameTable(DocumentStorage* owner)
    : m_owner(owner), m_key0(Hash::SecretKey().k0), m_key1(Hash::SecretKey().k1), m_slots(64) {
  m_empty = Intern(nullptr, 0, String::npos);
}

const InternedName* NameTable::Intern(const unsigned short* key, size_t length, size_t bar) {
  size_t hash = Hash::SipHash13(m_key0, m_key1, key, length);
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

const InternedName* NameTable::InternExpanded(const char* name) {
  size_t bytes = std::strlen(name);
  if (m_units.size() < bytes + 1) m_units.resize(bytes + 1);
  size_t length = Utf8ToUtf16(reinterpret_cast<const unsigned char*>(name), bytes, m_units.data());
  const unsigned short* units = m_units.data();
  size_t bar = String::npos;
  for (size_t i = 0; i < length; ++i)
    if (units[i] == u'|') {
      bar = i;
      break;
    }
  const InternedName* found = Intern(units, length, bar);
  if (found->utf8Key.empty()) found->utf8Key.assign(name, bytes);
  return found;
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

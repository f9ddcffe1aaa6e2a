#include "vxbind/base/NamespaceAliasMap.h"

#include <iterator>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {

void CNamespaceAliasMap::Add(const unsigned short* alias, const unsigned short* namespaceUri) {
  m_map[Utf16::Make(namespaceUri)] = Utf16::Make(alias);
}

void CNamespaceAliasMap::RemoveNamespace(const unsigned short* namespaceUri) {
  m_map.erase(Utf16::Make(namespaceUri));
}

bool CNamespaceAliasMap::DoesNamespaceExist(const unsigned short* namespaceUri) const {
  return m_map.find(Utf16::Make(namespaceUri)) != m_map.end();
}

bool CNamespaceAliasMap::DoesAliasExist(const unsigned short* alias) const {
  for (const auto& entry : m_map)
    if (Utf16::Equal(entry.second.c_str(), alias)) return true;
  return false;
}

String CNamespaceAliasMap::GetNamespaceFromAlias(const unsigned short* alias) const {
  for (const auto& entry : m_map)
    if (Utf16::Equal(entry.second.c_str(), alias)) return entry.first;
  throw CVxException(FormatString(VX_T("Namespace alias [%s] not found"), alias));
}

String CNamespaceAliasMap::GetAliasFromNamespace(const unsigned short* namespaceUri) const {
  return m_map[Utf16::Make(namespaceUri)];
}

String CNamespaceAliasMap::GetNamespaceAt(int index) const {
  if (index < 0 || index >= GetNamespaceCount()) return String();
  return std::next(m_map.begin(), index)->first;
}

}  // namespace VxVevAva5

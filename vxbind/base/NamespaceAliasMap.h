// -----------------------------------------------------------------------------
// File: NamespaceAliasMap.h
// -----------------------------------------------------------------------------
//
// CNamespaceAliasMap: the caller's namespace prefixes ("aliases") for output.
// Every serialization context owns one; the writer declares each entry on the
// root element, so that the document uses these prefixes instead of
// generated ones (AA, AB, ...). Entries are kept in ascending namespace URI
// order (plain UTF-16 unit comparison); a namespace has at most one alias,
// and two namespaces may share an alias.

#ifndef VXBIND_BASE_NAMESPACEALIASMAP_H
#define VXBIND_BASE_NAMESPACEALIASMAP_H

#include <map>

#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class VXBIND_EXPORT CNamespaceAliasMap {
 public:
  CNamespaceAliasMap() = default;

  // Sets the alias of `namespaceUri`, replacing an earlier one.
  void Add(const unsigned short* alias, const unsigned short* namespaceUri);
  // Removes the entry of `namespaceUri`; an unknown URI changes nothing.
  void RemoveNamespace(const unsigned short* namespaceUri);

  bool DoesNamespaceExist(const unsigned short* namespaceUri) const;
  bool DoesAliasExist(const unsigned short* alias) const;

  // The namespace URI of the first entry (in URI order) with this alias.
  // Throws CVxException "Namespace alias [%s] not found" when there is none.
  String GetNamespaceFromAlias(const unsigned short* alias) const;

  // The alias of `namespaceUri`. An unknown URI yields "" and is entered in
  // the map with an empty alias (so the count grows by one).
  String GetAliasFromNamespace(const unsigned short* namespaceUri) const;

  int GetNamespaceCount() const { return static_cast<int>(m_map.size()); }
  // The namespace URI at `index` in URI order; 0 <= index < GetNamespaceCount(),
  // otherwise "" is returned.
  String GetNamespaceAt(int index) const;

 private:
  // Mutable: GetAliasFromNamespace leaves an empty entry behind.
  mutable std::map<String, String> m_map;
};

}  // namespace VxVevAva5

#endif  // VXBIND_BASE_NAMESPACEALIASMAP_H

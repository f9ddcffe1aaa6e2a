// -----------------------------------------------------------------------------
// File: QName.h
// -----------------------------------------------------------------------------
//
// CQName: the value of an xs:QName, a name in a namespace. Two QNames are
// equal when their namespace URIs and local names are; the prefix is only
// the one the value was written with (or should preferably be written with)
// and takes no part in comparisons.
//
// In a document a QName is written "prefix:local" or "local", and its
// prefix means what the namespace declarations in scope where it stands
// say: reading resolves it there, writing declares a prefix for its
// namespace where none is in scope. Parse only splits the text; the
// namespace URI is the reader's to fill in.
//
//   CQName fault(VX_T("http://schemas.xmlsoap.org/soap/envelope/"), VX_T("Server"),
//                VX_T("soap"));
//   fault.ToString();  // "soap:Server"
//
// A list of QNames (xs:list of xs:QName) is a CQNameList, read and written
// by ParseList and ListToString: items apart by single spaces.

#ifndef VXBIND_VALUES_QNAME_H
#define VXBIND_VALUES_QNAME_H

#include <vector>

#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class VXBIND_EXPORT CQName {
 public:
  // The empty QName: no namespace, no local name.
  CQName() = default;
  // A name in `namespaceUri` (empty: no namespace); `prefix` is a hint for
  // writing, empty for none.
  CQName(String namespaceUri, String localName, String prefix = String());

  const String& GetNamespaceURI() const noexcept { return m_namespaceUri; }
  const String& GetLocalName() const noexcept { return m_localName; }
  const String& GetPrefix() const noexcept { return m_prefix; }
  void SetNamespaceURI(const String& namespaceUri) { m_namespaceUri = namespaceUri; }
  void SetLocalName(const String& localName) { m_localName = localName; }
  void SetPrefix(const String& prefix) { m_prefix = prefix; }
  bool IsEmpty() const noexcept { return m_localName.empty(); }

  // The lexical form with the prefix held: "prefix:local", or "local"
  // without prefix.
  String ToString() const;
  // "{namespace}local" ("local" without namespace), a form that names the
  // value whatever its prefix, for messages and keys.
  String ToExpandedString() const;

  // Splits "prefix:local" or "local" (whitespace collapsed first) into a
  // QName with that prefix and no namespace URI yet. Text that is no
  // qualified name (empty, an empty part, more than one colon, a space or a
  // character that no XML name has) throws CVxInvalidValueException "The
  // text [%s] is not a qualified name (QName)".
  static CQName Parse(const String& text);
  // The items of a whitespace-separated list, each split by Parse (whose
  // exception an item that is no QName throws); an empty or blank text is
  // the empty list.
  static std::vector<CQName> ParseList(const String& text);
  // The items' lexical forms (ToString) apart by single spaces.
  static String ListToString(const std::vector<CQName>& list);

  bool operator==(const CQName& other) const {
    return m_localName == other.m_localName && m_namespaceUri == other.m_namespaceUri;
  }
  bool operator!=(const CQName& other) const { return !(*this == other); }

 private:
  String m_namespaceUri;
  String m_localName;
  String m_prefix;
};

// The value of a list of QNames.
typedef std::vector<CQName> CQNameList;

}  // namespace VxVevAva5

#endif  // VXBIND_VALUES_QNAME_H

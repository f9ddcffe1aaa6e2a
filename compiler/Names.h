// C++ names for schema names.
//
// An XML name may hold characters that no C++ identifier can (-, ., :,
// letters beyond ASCII). Such characters split the name into words: "ship-to"
// gives the words ship and to. A character beyond ASCII becomes a word of its
// own, U and its code point in hexadecimal, so that two names differing only
// there stay apart.
//
// Every generated identifier carries a prefix or a shape that keeps it clear
// of C++ keywords: classes are C + PascalCase, members m_ + camelCase,
// accessors Get/Set/IsValid/Remove + PascalCase, enumerators Enum_value.
// Generated code names everything outside its own namespace fully qualified
// (::VxVevAva5::..., ::std::...), and its own names qualified too wherever a
// base class could hide them, so a schema name may equal any name of the
// runtime or the standard library. What is left to clash with is settled in
// a NameSet: the names given before, the generated code's own few, and
// identifiers no generated name may be (Unusable: keywords, common macros,
// reserved identifiers). A clash is settled by appending 2, 3, ... to the
// base name.
#ifndef VXBIND_COMPILER_NAMES_H
#define VXBIND_COMPILER_NAMES_H

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vxbindc {

// The code point of the non-ASCII UTF-8 sequence that starts at `i`, and in
// `length` its length in bytes. Texts come from the document reader, so the
// sequence is well formed; one cut short at the end gives what it holds.
unsigned long CodePointAt(const std::string& utf8, size_t i, size_t* length);

// "purchaseOrder" -> "PurchaseOrder", "ship-to" -> "ShipTo", "USAddress"
// stays. Never empty: a name of no letters at all gives "_".
std::string PascalCase(const std::string& xmlName);
// "USPrice" -> "usPrice", "ShipTo" -> "shipTo", "URL" -> "url".
std::string CamelCase(const std::string& xmlName);
// For enumerators: every character outside [A-Za-z0-9_] becomes '_';
// "" gives "empty".
std::string IdentifierPart(const std::string& value);

// A keyword (contextual ones and alternative tokens too), a macro of the C
// and C++ standard libraries, POSIX or glibc that a generated identifier
// could meet (NULL, EOF, errno, assert, major, INT_MAX, ...), the runtime's
// own macros and header guards, or an identifier reserved everywhere (__ or _
// and a capital first).
bool Unusable(const std::string& identifier);

class NameSet {
 public:
  NameSet() = default;
  explicit NameSet(const std::vector<std::string>& reserved);

  bool Taken(const std::string& name) const {
    return m_names.count(name) != 0 || Unusable(name);
  }
  void Reserve(const std::string& name) { m_names.insert(name); }

  // The first of base, base2, base3, ... for which every name that `derive`
  // makes from it is free; those names are then taken. `derive` returns the
  // identifiers that one choice of stem would define; they must be usable
  // for some number (a keyword or macro shape of `base` alone is fine: the
  // number mends it). Runs of underscores in `base` become one, and a base
  // that starts with _ takes an x first.
  std::string Claim(const std::string& base,
                    const std::function<std::vector<std::string>(const std::string&)>& derive);
  // The same for a name that defines only itself.
  std::string Claim(const std::string& base);

 private:
  std::set<std::string> m_names;
  // The suffix from which Claim goes on for a base: lower ones are all taken
  // (names are never given back), so many clashes on one base cost no more
  // than one each.
  std::map<std::string, int> m_next;
};

// The names that the generated code itself defines in the generated
// namespace, which schema names must not take.
const std::vector<std::string>& ReservedTypeNames();
// The identifiers of a generated class that its members must not take: the
// members of the runtime's bases that generated code overrides or calls,
// and that users call.
const std::vector<std::string>& ReservedMemberNames();

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_NAMES_H

// The document-wide checks of validation on read: ID values unique, IDREFs
// resolved, and the identity constraints (xs:unique, xs:key, xs:keyref) of
// the element declarations met (IdentityTable.h).
//
// The outermost read of a generated class with validation on makes a
// CIdentityScope: it becomes this thread's checks, to which the element and
// attribute infos hand what they read (the hooks below do nothing when no
// scope is open, so reading without validation pays a null test in the
// members that have IDs or constraints, nothing elsewhere). Duplicate IDs
// are refused as they are read; references and identity constraints once
// the whole document is bound (Finish), as references may point forward and
// a constraint's table covers its element's whole subtree. Every table is
// hashed and every walk of the tree is iterative: a document of a million
// keys costs linear time, whatever its depth.
#ifndef VXBIND_MODEL_DETAIL_IDENTITY_H
#define VXBIND_MODEL_DETAIL_IDENTITY_H

#include <cstddef>
#include <memory>

#include "vxbind/model/IdentityTable.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {
class CXmlAttribute;
class CXmlElement;

namespace detail {

class CIdentityChecks;

// Open while the outermost element of a document is read with validation
// on; the checks of nested reads go to it. Not copied or moved.
class CIdentityScope {
 public:
  // `root` is the document's element; `rootIdentity` the identity
  // constraints of its global declaration, or null.
  CIdentityScope(const CXmlElement& root, const VxVevAva5Data::IdentityTable* rootIdentity);
  ~CIdentityScope();
  CIdentityScope(const CIdentityScope&) = delete;
  CIdentityScope& operator=(const CIdentityScope&) = delete;

  // Checks what needs the whole document: every IDREF must name an ID,
  // every identity constraint must hold. Throws CVxValidationException, its
  // chain of "Failed to process the element [%s]" leading from below the
  // root to the element at fault, whose line and column the innermost
  // link has.
  void Finish();

 private:
  std::unique_ptr<CIdentityChecks> m_checks;
  CIdentityChecks* m_outer;
};

// Whether a scope is open on this thread.
bool IdentityChecksActive();
// Sets the thread's open scope aside (null after) and puts it back.
void* SetIdentityChecksAside();
void PutIdentityChecksBack(void* checks);

// The sibling elements from `first` up to `end` (null: the last) that a
// member of the element `name` read: their content's IDs or references
// (`kind`), and the identity constraints of their declaration (`identity`,
// or null). Elements of other local names (another element standing in for
// it) are left alone; namespaces are the member's business. A duplicate ID
// throws CVxValidationException "Duplicate ID value [%s]".
void NoteElements(VxVevAva5Data::IdKind kind, const VxVevAva5Data::IdentityTable* identity,
                  const String& name, const CXmlElement* first, const CXmlElement* end);

// An attribute of `owner` whose value is an ID or references (`kind`). A
// duplicate ID throws as above. (That an element carries at most one ID
// attribute, vxbindc sees to: it refuses a type with two.)
void NoteAttribute(VxVevAva5Data::IdKind kind, const CXmlAttribute& attribute,
                   const CXmlElement& owner);

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_MODEL_DETAIL_IDENTITY_H

// -----------------------------------------------------------------------------
// File: ElementInfoKinds.h
// -----------------------------------------------------------------------------
//
// The element member kinds: the concrete element infos that generated code
// builds, one per element member. Each class name says the member's group,
// the kind of its value and its cardinality:
//
//   CElementInfo + Seq | All | Choice
//                + Cls     one child object of a known generated class (an
//                          element of its own, or a model group whose
//                          content sits in the parent's element)
//                  AbsCls  a child object whose class the input element
//                          chooses (xsi:type), made by a substitution factory
//                  Prim    a value of an XSD primitive type, with facets
//                  Enum    an enumeration value, held as an integer
//                  Untpd   untyped content of an xs:any wildcard (CElement,
//                          or CElementCol when repeated)
//                  Non     no behaviour: these classes cannot be instantiated
//                + Mnd | Opt | Col (mandatory, optional, repeated in a
//                          collection object)
//
//   new CElementInfoSeqPrimMnd(VX_T("quantity"), VX_T("urn:po"), 2, ItemType_integer,
//                              nullptr, CWhitespaceUtils::WhitespaceRule_Collapse,
//                              CPrimitiveRestrictions(nullptr, -1, -1, VX_T("1"), nullptr,
//                                                     nullptr, VX_T("100"), -1));
//
// A choice has no Mnd and no Non kinds: its members are optional by nature
// and the driver sees to it that one is present.
//
// How they are built. The three axes are each written once:
//   - the value kind (fields, how the member is written, how one occurrence
//     of its element is read, how a model-group child puts its attributes on
//     the parent's start tag) in the kind templates CElementInfoClsKind,
//     CElementInfoAbsClsKind, CElementInfoPrimKind, CElementInfoEnumKind,
//     CElementInfoUntpdKind, over the group base they extend;
//   - mandatory and optional members of every group (when an occurrence is
//     looked for, what true means, what Validate says) in
//     CElementInfoMember;
//   - repeated members in the collection intermediates of ElementInfo.h,
//     with CElementInfoClsColKind and CElementInfoUntpdColKind for what the
//     class and untyped collections add.
// The named classes below only give each combination its name and
// constructor, which generated code calls.
//
// Reading rules worth knowing (the failures are CVxValidationException):
//   - a mandatory sequence member whose element is missing throws "Failed
//     to find a required element [%s]" unless the context ignores missing
//     mandatory elements (the member is then left untouched); when the
//     context ignores unknown elements, the member skips elements until it
//     finds its own;
//   - an all-group mandatory member that no pass found throws "Failed to
//     find the mandatory element [%s]" from Validate;
//   - a mandatory substitutable member whose factory finds no class for its
//     element throws "Failed to find a suitable substitution element for
//     [%s]": in a sequence also when its element is missing, in an all
//     group only for its own element (a missing one is Validate's);
//     optional ones leave such an element unread, as unknown;
//   - a mandatory wildcard that takes nothing throws "Failed to find the
//     required element from namespace [%s]" (the member's namespace);
//   - validating (the context's GetValidateOnRead), a mandatory element
//     missing with another element in its place throws "Found the element
//     [%s] where [%s] is expected" instead, and a value member's element
//     with a child element throws "The element [%s] has simple content:
//     the element [%s] is not allowed in it";
//   - conversion errors, the enumeration converter's errors and a child's
//     own errors pass through; what was stored before stays stored.
// Facets are checked when values are written, not when they are read.

#ifndef VXBIND_MODEL_ELEMENTINFOKINDS_H
#define VXBIND_MODEL_ELEMENTINFOKINDS_H

#include "vxbind/base/GeneratedCode.h"
#include "vxbind/base/SmartPtr.h"
#include "vxbind/model/ElementInfo.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5Data {

using VxVevAva5::ClassFactoryFunction;
using VxVevAva5::EnumFromStringFunction;
using VxVevAva5::EnumToStringFunction;
using VxVevAva5::SubstitutionFactoryFunction;

// Whether a single-valued member must be present.
enum ElementOccurrence {
  ElementOccurrence_Mandatory = 0,
  ElementOccurrence_Optional = 1,
};

// ---- The value kinds ---------------------------------------------------------
// Each reads through three operations that CElementInfoMember calls:
//   ReadMandatoryInSequence  the rules of a mandatory sequence member
//   ReadMandatoryInAll       one pass of a mandatory all-group member
//   ReadOptional             an optional member (choice members included);
//                            true when it consumed input
// and says with MissingIsError whether an all-group mandatory member that
// was not found is an error.

// A child object of a known class. `memberType` says whether the child has
// an element of its own or is a model group read in place; `classFactory`
// makes a new child (optional members) from `classNumber` and the element
// name; `requiredContent` (mandatory members) says that a model-group child
// must consume something.
template <class Group>
class VXBIND_EXPORT CElementInfoClsKind : public Group {
 public:
  XmlElementType GetMemberType() const { return m_memberType; }
  bool HasElementOfItsName() const override { return m_memberType == XmlElementType_Element; }
  // The child writes itself (optional in a choice).
  bool ElementToXml(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                    CXmlWriter* writer) const override;
  // A model-group child puts its attributes on the parent's start tag.
  void PseudoChildAttributeToXml(const CXmlSerializationContext& context,
                                 const CXmlGeneratedClass* object,
                                 CXmlWriter* writer) const override;

 protected:
  CElementInfoClsKind(const unsigned short* elementName, const unsigned short* elementNamespace,
                      int propertyIndex, XmlElementType memberType,
                      ClassFactoryFunction classFactory, int classNumber, bool requiredContent);

  bool ReadMandatoryInSequence(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                               CXmlElement* parent, CXmlElement** current,
                               const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool ReadMandatoryInAll(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                          CXmlElement* parent, CXmlElement** current,
                          const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool ReadOptional(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                    CXmlElement* parent, CXmlElement** current,
                    const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool MissingIsError() const;

 private:
  // A new child from the class factory; a factory that makes none throws
  // CVxException "The class factory made no object for the element [%s]".
  VxVevAva5::CSmartPtr<CXmlObjectBase> MakeChild() const;

  XmlElementType m_memberType;
  bool m_requiredContent;
  ClassFactoryFunction m_classFactory;
  int m_classNumber;
};

// A child object whose class the substitution factory picks from the input
// element (null: no class suits).
template <class Group>
class VXBIND_EXPORT CElementInfoAbsClsKind : public Group {
 public:
  XmlElementType GetMemberType() const { return m_memberType; }
  bool HasElementOfItsName() const override { return m_memberType == XmlElementType_Element; }
  bool ElementToXml(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                    CXmlWriter* writer) const override;
  void PseudoChildAttributeToXml(const CXmlSerializationContext& context,
                                 const CXmlGeneratedClass* object,
                                 CXmlWriter* writer) const override;

 protected:
  CElementInfoAbsClsKind(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex, XmlElementType memberType,
                         SubstitutionFactoryFunction substitutionFactory, int reserved);

  bool ReadMandatoryInSequence(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                               CXmlElement* parent, CXmlElement** current,
                               const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool ReadMandatoryInAll(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                          CXmlElement* parent, CXmlElement** current,
                          const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool ReadOptional(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                    CXmlElement* parent, CXmlElement** current,
                    const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool MissingIsError() const { return true; }

 private:
  // The object for `element` when it is the member's: the class that the
  // substitution factory picks; null for another element, or when no class
  // suits.
  VxVevAva5::CSmartPtr<CXmlObjectBase> Substitute(const CXmlSerializationContext& context,
                                                  CXmlElement* element) const;
  // Reads the member's element at the cursor into the object Substitute
  // picks, and stores it. No object: "Failed to find a suitable
  // substitution element for [%s]" with an element owner, false otherwise.
  bool ReadMandatory(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                     CXmlElement** current, XmlElementType ownerType);

  XmlElementType m_memberType;
  SubstitutionFactoryFunction m_substitutionFactory;
  int m_reserved;  // stored for CElementInfoAllAbsClsMnd; nothing reads it
};

// A primitive value: the item type, format, whitespace rule and facets of
// CElementInfo's primitive constructor.
template <class Group>
class VXBIND_EXPORT CElementInfoPrimKind : public Group {
 public:
  bool ElementToXml(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                    CXmlWriter* writer) const override;

 protected:
  CElementInfoPrimKind(const unsigned short* elementName, const unsigned short* elementNamespace,
                       int propertyIndex, ItemType itemType, const unsigned short* format,
                       CWhitespaceUtils::WhitespaceRule whitespaceRule,
                       const CPrimitiveRestrictions& restrictions);

  bool ReadMandatoryInSequence(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                               CXmlElement* parent, CXmlElement** current,
                               const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool ReadMandatoryInAll(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                          CXmlElement* parent, CXmlElement** current,
                          const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool ReadOptional(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                    CXmlElement* parent, CXmlElement** current,
                    const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool MissingIsError() const { return true; }
};

// An enumeration value, converted by the generated code's functions: the
// element's text as it stands (no whitespace rule) to the value, the value
// to its text.
template <class Group>
class VXBIND_EXPORT CElementInfoEnumKind : public Group {
 public:
  bool ElementToXml(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                    CXmlWriter* writer) const override;

 protected:
  CElementInfoEnumKind(const unsigned short* elementName, const unsigned short* elementNamespace,
                       int propertyIndex, EnumToStringFunction toText,
                       EnumFromStringFunction fromText);

  bool ReadMandatoryInSequence(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                               CXmlElement* parent, CXmlElement** current,
                               const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool ReadMandatoryInAll(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                          CXmlElement* parent, CXmlElement** current,
                          const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool ReadOptional(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                    CXmlElement* parent, CXmlElement** current,
                    const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool MissingIsError() const { return true; }

 private:
  EnumToStringFunction m_toText;
  EnumFromStringFunction m_fromText;
};

// Untyped content of an xs:any wildcard: a CElement. The element name
// "AnyElement" takes an element of any name; another name only elements of
// that name. `namespaceSpec` is the wildcard's namespace constraint and
// `targetNamespace` the schema's (both copied); a new element made for an
// optional member gets its namespace from GetAnyDefaultNamespace. What a
// wildcard with processContents lax or strict reads is also checked
// (CheckWildcardElements, GlobalDeclarations.h); so is the run a repeated
// one reads.
template <class Group>
class VXBIND_EXPORT CElementInfoUntpdKind : public Group {
 public:
  bool ElementToXml(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                    CXmlWriter* writer) const override;
  bool HasElementOfItsName() const override { return false; }
  const String& GetNamespaceSpec() const { return m_namespaceSpec; }
  const String& GetTargetNamespace() const { return m_targetNamespace; }

 protected:
  CElementInfoUntpdKind(const unsigned short* elementName, const unsigned short* elementNamespace,
                        int propertyIndex, const unsigned short* namespaceSpec,
                        const unsigned short* targetNamespace);

  bool ReadMandatoryInSequence(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                               CXmlElement* parent, CXmlElement** current,
                               const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool ReadMandatoryInAll(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                          CXmlElement* parent, CXmlElement** current,
                          const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool ReadOptional(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                    CXmlElement* parent, CXmlElement** current,
                    const unsigned short* ownerNamespace, XmlElementType ownerType);
  bool MissingIsError() const { return true; }

 private:
  // Whether the member takes an element of this local name.
  bool TakesName(const CXmlElement* element) const;
  // ReadInPlace, then the wildcard check of the element read.
  bool ReadChecked(CXmlObjectBase* element, CXmlElement* parent, CXmlElement** current,
                   const CXmlSerializationContext& context);

  String m_namespaceSpec;
  String m_targetNamespace;
};

// ---- Mandatory and optional members of every group -------------------------
// ElementFromXml: a sequence member is satisfied when optional (absent or
// read) and by the kind's mandatory rules otherwise; all-group and choice
// members return true when they consumed input. Validate (all groups):
// found, or optional: true; a mandatory member not found: false when the
// driver does not ask for a report, else "Failed to find the mandatory
// element [%s]" where the kind says the absence is an error (true where it
// is not). Sequence and choice members keep their group's throwing Validate.
template <class Kind, ElementOccurrence kOccurrence>
class VXBIND_EXPORT CElementInfoMember : public Kind {
 public:
  bool ElementFromXml(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                      CXmlElement* parent, CXmlElement** current,
                      const unsigned short* ownerNamespace, XmlElementType ownerType) override;
  bool Validate(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                bool found, bool mustReport) const override;

 protected:
  using Kind::Kind;
};

// ---- What repeated class and untyped members add -----------------------------

// A collection of child objects (known class, or chosen by substitution):
// items that are model groups put their attributes on the parent's start
// tag.
template <class GroupCol>
class VXBIND_EXPORT CElementInfoClsColKind : public GroupCol {
 public:
  XmlElementType GetMemberType() const { return m_memberType; }
  void PseudoChildAttributeToXml(const CXmlSerializationContext& context,
                                 const CXmlGeneratedClass* object,
                                 CXmlWriter* writer) const override;

 protected:
  CElementInfoClsColKind(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex, XmlElementType memberType);

 private:
  XmlElementType m_memberType;
};

// A CElementCol of a repeated wildcard in a sequence or a choice. Named
// "AnyElement" it reads the run of elements at the cursor whatever their
// names; otherwise only the run of elements of its name in the namespace of
// the first of them. The count is checked after reading; a choice member
// that took nothing returns false.
template <class GroupCol>
class VXBIND_EXPORT CElementInfoUntpdColKind : public GroupCol {
 public:
  bool ElementFromXml(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                      CXmlElement* parent, CXmlElement** current,
                      const unsigned short* ownerNamespace, XmlElementType ownerType) override;

 protected:
  using GroupCol::GroupCol;
};

// ---- The classes that generated code names -------------------------------------
// Constructors: the element name, the element namespace and the property
// index first; then what the kind needs (see the kind templates).

// Member-wise copies; the destructor is the library's, where the class's
// virtual table lives.
#define VX_ELEMENT_INFO_COPY_AND_DESTROY(Name) \
  Name(const Name&) = default;                 \
  Name& operator=(const Name&) = default;      \
  ~Name() override

// Sequence.
class VXBIND_EXPORT CElementInfoSeqClsMnd
    : public CElementInfoMember<CElementInfoClsKind<CElementInfoSeq>, ElementOccurrence_Mandatory> {
 public:
  CElementInfoSeqClsMnd(const unsigned short* elementName, const unsigned short* elementNamespace,
                        int propertyIndex, XmlElementType memberType,
                        ClassFactoryFunction classFactory, int classNumber, bool requiredContent);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqClsMnd);
};

class VXBIND_EXPORT CElementInfoSeqClsOpt
    : public CElementInfoMember<CElementInfoClsKind<CElementInfoSeq>, ElementOccurrence_Optional> {
 public:
  CElementInfoSeqClsOpt(const unsigned short* elementName, const unsigned short* elementNamespace,
                        int propertyIndex, XmlElementType memberType,
                        ClassFactoryFunction classFactory, int classNumber);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqClsOpt);
};

class VXBIND_EXPORT CElementInfoSeqClsCol : public CElementInfoClsColKind<CElementInfoSeqCol> {
 public:
  CElementInfoSeqClsCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                        int propertyIndex, XmlElementType memberType);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqClsCol);
};

class VXBIND_EXPORT CElementInfoSeqAbsClsMnd
    : public CElementInfoMember<CElementInfoAbsClsKind<CElementInfoSeq>,
                                ElementOccurrence_Mandatory> {
 public:
  CElementInfoSeqAbsClsMnd(const unsigned short* elementName,
                           const unsigned short* elementNamespace, int propertyIndex,
                           XmlElementType memberType,
                           SubstitutionFactoryFunction substitutionFactory);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqAbsClsMnd);
};

class VXBIND_EXPORT CElementInfoSeqAbsClsOpt
    : public CElementInfoMember<CElementInfoAbsClsKind<CElementInfoSeq>,
                                ElementOccurrence_Optional> {
 public:
  CElementInfoSeqAbsClsOpt(const unsigned short* elementName,
                           const unsigned short* elementNamespace, int propertyIndex,
                           XmlElementType memberType,
                           SubstitutionFactoryFunction substitutionFactory);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqAbsClsOpt);
};

class VXBIND_EXPORT CElementInfoSeqAbsClsCol : public CElementInfoClsColKind<CElementInfoSeqCol> {
 public:
  CElementInfoSeqAbsClsCol(const unsigned short* elementName,
                           const unsigned short* elementNamespace, int propertyIndex,
                           XmlElementType memberType);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqAbsClsCol);
};

class VXBIND_EXPORT CElementInfoSeqPrimMnd
    : public CElementInfoMember<CElementInfoPrimKind<CElementInfoSeq>,
                                ElementOccurrence_Mandatory> {
 public:
  CElementInfoSeqPrimMnd(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex, ItemType itemType, const unsigned short* format,
                         CWhitespaceUtils::WhitespaceRule whitespaceRule,
                         const CPrimitiveRestrictions& restrictions);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqPrimMnd);
};

class VXBIND_EXPORT CElementInfoSeqPrimOpt
    : public CElementInfoMember<CElementInfoPrimKind<CElementInfoSeq>, ElementOccurrence_Optional> {
 public:
  CElementInfoSeqPrimOpt(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex, ItemType itemType, const unsigned short* format,
                         CWhitespaceUtils::WhitespaceRule whitespaceRule,
                         const CPrimitiveRestrictions& restrictions);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqPrimOpt);
};

class VXBIND_EXPORT CElementInfoSeqPrimCol : public CElementInfoSeqCol {
 public:
  CElementInfoSeqPrimCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqPrimCol);
};

class VXBIND_EXPORT CElementInfoSeqEnumMnd
    : public CElementInfoMember<CElementInfoEnumKind<CElementInfoSeq>,
                                ElementOccurrence_Mandatory> {
 public:
  CElementInfoSeqEnumMnd(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex, EnumToStringFunction toText,
                         EnumFromStringFunction fromText);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqEnumMnd);
};

class VXBIND_EXPORT CElementInfoSeqEnumOpt
    : public CElementInfoMember<CElementInfoEnumKind<CElementInfoSeq>, ElementOccurrence_Optional> {
 public:
  CElementInfoSeqEnumOpt(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex, EnumToStringFunction toText,
                         EnumFromStringFunction fromText);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqEnumOpt);
};

class VXBIND_EXPORT CElementInfoSeqEnumCol : public CElementInfoSeqCol {
 public:
  CElementInfoSeqEnumCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqEnumCol);
};

class VXBIND_EXPORT CElementInfoSeqUntpdMnd
    : public CElementInfoMember<CElementInfoUntpdKind<CElementInfoSeq>,
                                ElementOccurrence_Mandatory> {
 public:
  CElementInfoSeqUntpdMnd(const unsigned short* elementName, const unsigned short* elementNamespace,
                          int propertyIndex, const unsigned short* namespaceSpec,
                          const unsigned short* targetNamespace);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqUntpdMnd);
};

class VXBIND_EXPORT CElementInfoSeqUntpdOpt
    : public CElementInfoMember<CElementInfoUntpdKind<CElementInfoSeq>,
                                ElementOccurrence_Optional> {
 public:
  CElementInfoSeqUntpdOpt(const unsigned short* elementName, const unsigned short* elementNamespace,
                          int propertyIndex, const unsigned short* namespaceSpec,
                          const unsigned short* targetNamespace);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqUntpdOpt);
};

class VXBIND_EXPORT CElementInfoSeqUntpdCol : public CElementInfoUntpdColKind<CElementInfoSeqCol> {
 public:
  CElementInfoSeqUntpdCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                          int propertyIndex);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqUntpdCol);
};

// No behaviour: abstract.
class VXBIND_EXPORT CElementInfoSeqNonCol : public CElementInfoSeq {
 public:
  CElementInfoSeqNonCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                        int propertyIndex);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoSeqNonCol);
};

// All group.
class VXBIND_EXPORT CElementInfoAllClsMnd
    : public CElementInfoMember<CElementInfoClsKind<CElementInfoAll>, ElementOccurrence_Mandatory> {
 public:
  CElementInfoAllClsMnd(const unsigned short* elementName, const unsigned short* elementNamespace,
                        int propertyIndex, XmlElementType memberType,
                        ClassFactoryFunction classFactory, int classNumber, bool requiredContent);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllClsMnd);
};

class VXBIND_EXPORT CElementInfoAllClsOpt
    : public CElementInfoMember<CElementInfoClsKind<CElementInfoAll>, ElementOccurrence_Optional> {
 public:
  CElementInfoAllClsOpt(const unsigned short* elementName, const unsigned short* elementNamespace,
                        int propertyIndex, XmlElementType memberType,
                        ClassFactoryFunction classFactory, int classNumber);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllClsOpt);
};

class VXBIND_EXPORT CElementInfoAllClsCol : public CElementInfoClsColKind<CElementInfoAllCol> {
 public:
  CElementInfoAllClsCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                        int propertyIndex, XmlElementType memberType);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllClsCol);
};

// Substitutable members of all groups cannot be read (see the file comment).
class VXBIND_EXPORT CElementInfoAllAbsClsMnd
    : public CElementInfoMember<CElementInfoAbsClsKind<CElementInfoAll>,
                                ElementOccurrence_Mandatory> {
 public:
  CElementInfoAllAbsClsMnd(const unsigned short* elementName,
                           const unsigned short* elementNamespace, int propertyIndex,
                           XmlElementType memberType,
                           SubstitutionFactoryFunction substitutionFactory, int reserved);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllAbsClsMnd);
};

class VXBIND_EXPORT CElementInfoAllAbsClsOpt
    : public CElementInfoMember<CElementInfoAbsClsKind<CElementInfoAll>,
                                ElementOccurrence_Optional> {
 public:
  CElementInfoAllAbsClsOpt(const unsigned short* elementName,
                           const unsigned short* elementNamespace, int propertyIndex,
                           XmlElementType memberType,
                           SubstitutionFactoryFunction substitutionFactory);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllAbsClsOpt);
};

class VXBIND_EXPORT CElementInfoAllAbsClsCol : public CElementInfoClsColKind<CElementInfoAllCol> {
 public:
  CElementInfoAllAbsClsCol(const unsigned short* elementName,
                           const unsigned short* elementNamespace, int propertyIndex,
                           XmlElementType memberType);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllAbsClsCol);
};

class VXBIND_EXPORT CElementInfoAllPrimMnd
    : public CElementInfoMember<CElementInfoPrimKind<CElementInfoAll>,
                                ElementOccurrence_Mandatory> {
 public:
  CElementInfoAllPrimMnd(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex, ItemType itemType, const unsigned short* format,
                         CWhitespaceUtils::WhitespaceRule whitespaceRule,
                         const CPrimitiveRestrictions& restrictions);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllPrimMnd);
};

class VXBIND_EXPORT CElementInfoAllPrimOpt
    : public CElementInfoMember<CElementInfoPrimKind<CElementInfoAll>, ElementOccurrence_Optional> {
 public:
  CElementInfoAllPrimOpt(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex, ItemType itemType, const unsigned short* format,
                         CWhitespaceUtils::WhitespaceRule whitespaceRule,
                         const CPrimitiveRestrictions& restrictions);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllPrimOpt);
};

class VXBIND_EXPORT CElementInfoAllPrimCol : public CElementInfoAllCol {
 public:
  CElementInfoAllPrimCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllPrimCol);
};

class VXBIND_EXPORT CElementInfoAllEnumMnd
    : public CElementInfoMember<CElementInfoEnumKind<CElementInfoAll>,
                                ElementOccurrence_Mandatory> {
 public:
  CElementInfoAllEnumMnd(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex, EnumToStringFunction toText,
                         EnumFromStringFunction fromText);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllEnumMnd);
};

class VXBIND_EXPORT CElementInfoAllEnumOpt
    : public CElementInfoMember<CElementInfoEnumKind<CElementInfoAll>, ElementOccurrence_Optional> {
 public:
  CElementInfoAllEnumOpt(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex, EnumToStringFunction toText,
                         EnumFromStringFunction fromText);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllEnumOpt);
};

// No behaviour: abstract.
class VXBIND_EXPORT CElementInfoAllEnumCol : public CElementInfoAll {
 public:
  CElementInfoAllEnumCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                         int propertyIndex);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllEnumCol);
};

class VXBIND_EXPORT CElementInfoAllUntpdMnd
    : public CElementInfoMember<CElementInfoUntpdKind<CElementInfoAll>,
                                ElementOccurrence_Mandatory> {
 public:
  CElementInfoAllUntpdMnd(const unsigned short* elementName, const unsigned short* elementNamespace,
                          int propertyIndex, const unsigned short* namespaceSpec,
                          const unsigned short* targetNamespace);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllUntpdMnd);
};

class VXBIND_EXPORT CElementInfoAllUntpdOpt
    : public CElementInfoMember<CElementInfoUntpdKind<CElementInfoAll>,
                                ElementOccurrence_Optional> {
 public:
  CElementInfoAllUntpdOpt(const unsigned short* elementName, const unsigned short* elementNamespace,
                          int propertyIndex, const unsigned short* namespaceSpec,
                          const unsigned short* targetNamespace);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllUntpdOpt);
};

class VXBIND_EXPORT CElementInfoAllUntpdCol : public CElementInfoAllCol {
 public:
  CElementInfoAllUntpdCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                          int propertyIndex);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllUntpdCol);
};

// No behaviour: abstract.
class VXBIND_EXPORT CElementInfoAllNonCol : public CElementInfoAll {
 public:
  CElementInfoAllNonCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                        int propertyIndex);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoAllNonCol);
};

// Choice.
class VXBIND_EXPORT CElementInfoChoiceClsOpt
    : public CElementInfoMember<CElementInfoClsKind<CElementInfoChoice>,
                                ElementOccurrence_Optional> {
 public:
  CElementInfoChoiceClsOpt(const unsigned short* elementName,
                           const unsigned short* elementNamespace, int propertyIndex,
                           XmlElementType memberType, ClassFactoryFunction classFactory,
                           int classNumber);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoChoiceClsOpt);
};

class VXBIND_EXPORT CElementInfoChoiceClsCol
    : public CElementInfoClsColKind<CElementInfoChoiceCol> {
 public:
  CElementInfoChoiceClsCol(const unsigned short* elementName,
                           const unsigned short* elementNamespace, int propertyIndex,
                           XmlElementType memberType);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoChoiceClsCol);
};

class VXBIND_EXPORT CElementInfoChoiceAbsClsOpt
    : public CElementInfoMember<CElementInfoAbsClsKind<CElementInfoChoice>,
                                ElementOccurrence_Optional> {
 public:
  CElementInfoChoiceAbsClsOpt(const unsigned short* elementName,
                              const unsigned short* elementNamespace, int propertyIndex,
                              XmlElementType memberType,
                              SubstitutionFactoryFunction substitutionFactory);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoChoiceAbsClsOpt);
};

class VXBIND_EXPORT CElementInfoChoiceAbsClsCol
    : public CElementInfoClsColKind<CElementInfoChoiceCol> {
 public:
  CElementInfoChoiceAbsClsCol(const unsigned short* elementName,
                              const unsigned short* elementNamespace, int propertyIndex,
                              XmlElementType memberType);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoChoiceAbsClsCol);
};

class VXBIND_EXPORT CElementInfoChoicePrimOpt
    : public CElementInfoMember<CElementInfoPrimKind<CElementInfoChoice>,
                                ElementOccurrence_Optional> {
 public:
  CElementInfoChoicePrimOpt(const unsigned short* elementName,
                            const unsigned short* elementNamespace, int propertyIndex,
                            ItemType itemType, const unsigned short* format,
                            CWhitespaceUtils::WhitespaceRule whitespaceRule,
                            const CPrimitiveRestrictions& restrictions);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoChoicePrimOpt);
};

class VXBIND_EXPORT CElementInfoChoicePrimCol : public CElementInfoChoiceCol {
 public:
  CElementInfoChoicePrimCol(const unsigned short* elementName,
                            const unsigned short* elementNamespace, int propertyIndex);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoChoicePrimCol);
};

class VXBIND_EXPORT CElementInfoChoiceEnumOpt
    : public CElementInfoMember<CElementInfoEnumKind<CElementInfoChoice>,
                                ElementOccurrence_Optional> {
 public:
  CElementInfoChoiceEnumOpt(const unsigned short* elementName,
                            const unsigned short* elementNamespace, int propertyIndex,
                            EnumToStringFunction toText, EnumFromStringFunction fromText);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoChoiceEnumOpt);
};

class VXBIND_EXPORT CElementInfoChoiceEnumCol : public CElementInfoChoiceCol {
 public:
  CElementInfoChoiceEnumCol(const unsigned short* elementName,
                            const unsigned short* elementNamespace, int propertyIndex);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoChoiceEnumCol);
};

class VXBIND_EXPORT CElementInfoChoiceUntpdOpt
    : public CElementInfoMember<CElementInfoUntpdKind<CElementInfoChoice>,
                                ElementOccurrence_Optional> {
 public:
  CElementInfoChoiceUntpdOpt(const unsigned short* elementName,
                             const unsigned short* elementNamespace, int propertyIndex,
                             const unsigned short* namespaceSpec,
                             const unsigned short* targetNamespace);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoChoiceUntpdOpt);
};

class VXBIND_EXPORT CElementInfoChoiceUntpdCol
    : public CElementInfoUntpdColKind<CElementInfoChoiceCol> {
 public:
  CElementInfoChoiceUntpdCol(const unsigned short* elementName,
                             const unsigned short* elementNamespace, int propertyIndex);
  VX_ELEMENT_INFO_COPY_AND_DESTROY(CElementInfoChoiceUntpdCol);
};

#undef VX_ELEMENT_INFO_COPY_AND_DESTROY

// The templates are instantiated once, in the library, for the groups and
// cardinalities above.
extern template class CElementInfoClsKind<CElementInfoSeq>;
extern template class CElementInfoClsKind<CElementInfoAll>;
extern template class CElementInfoClsKind<CElementInfoChoice>;
extern template class CElementInfoAbsClsKind<CElementInfoSeq>;
extern template class CElementInfoAbsClsKind<CElementInfoAll>;
extern template class CElementInfoAbsClsKind<CElementInfoChoice>;
extern template class CElementInfoPrimKind<CElementInfoSeq>;
extern template class CElementInfoPrimKind<CElementInfoAll>;
extern template class CElementInfoPrimKind<CElementInfoChoice>;
extern template class CElementInfoEnumKind<CElementInfoSeq>;
extern template class CElementInfoEnumKind<CElementInfoAll>;
extern template class CElementInfoEnumKind<CElementInfoChoice>;
extern template class CElementInfoUntpdKind<CElementInfoSeq>;
extern template class CElementInfoUntpdKind<CElementInfoAll>;
extern template class CElementInfoUntpdKind<CElementInfoChoice>;
extern template class CElementInfoMember<CElementInfoClsKind<CElementInfoSeq>,
                                         ElementOccurrence_Mandatory>;
extern template class CElementInfoMember<CElementInfoClsKind<CElementInfoSeq>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoAbsClsKind<CElementInfoSeq>,
                                         ElementOccurrence_Mandatory>;
extern template class CElementInfoMember<CElementInfoAbsClsKind<CElementInfoSeq>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoPrimKind<CElementInfoSeq>,
                                         ElementOccurrence_Mandatory>;
extern template class CElementInfoMember<CElementInfoPrimKind<CElementInfoSeq>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoEnumKind<CElementInfoSeq>,
                                         ElementOccurrence_Mandatory>;
extern template class CElementInfoMember<CElementInfoEnumKind<CElementInfoSeq>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoUntpdKind<CElementInfoSeq>,
                                         ElementOccurrence_Mandatory>;
extern template class CElementInfoMember<CElementInfoUntpdKind<CElementInfoSeq>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoClsKind<CElementInfoAll>,
                                         ElementOccurrence_Mandatory>;
extern template class CElementInfoMember<CElementInfoClsKind<CElementInfoAll>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoAbsClsKind<CElementInfoAll>,
                                         ElementOccurrence_Mandatory>;
extern template class CElementInfoMember<CElementInfoAbsClsKind<CElementInfoAll>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoPrimKind<CElementInfoAll>,
                                         ElementOccurrence_Mandatory>;
extern template class CElementInfoMember<CElementInfoPrimKind<CElementInfoAll>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoEnumKind<CElementInfoAll>,
                                         ElementOccurrence_Mandatory>;
extern template class CElementInfoMember<CElementInfoEnumKind<CElementInfoAll>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoUntpdKind<CElementInfoAll>,
                                         ElementOccurrence_Mandatory>;
extern template class CElementInfoMember<CElementInfoUntpdKind<CElementInfoAll>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoClsKind<CElementInfoChoice>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoAbsClsKind<CElementInfoChoice>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoPrimKind<CElementInfoChoice>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoEnumKind<CElementInfoChoice>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoMember<CElementInfoUntpdKind<CElementInfoChoice>,
                                         ElementOccurrence_Optional>;
extern template class CElementInfoClsColKind<CElementInfoSeqCol>;
extern template class CElementInfoClsColKind<CElementInfoAllCol>;
extern template class CElementInfoClsColKind<CElementInfoChoiceCol>;
extern template class CElementInfoUntpdColKind<CElementInfoSeqCol>;
extern template class CElementInfoUntpdColKind<CElementInfoChoiceCol>;

}  // namespace VxVevAva5Data

#endif  // VXBIND_MODEL_ELEMENTINFOKINDS_H

// The element member kinds: the value kinds, written once over the group
// they extend; the mandatory and optional rules of every group; and the
// named classes that generated code builds.
#include "vxbind/model/ElementInfoKinds.h"

#include <utility>

#include "vxbind/base/Exceptions.h"
#include "vxbind/collections/Element.h"
#include "vxbind/collections/XmlCollectionBase.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/model/GlobalDeclarations.h"
#include "vxbind/model/detail/Errors.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5Data {

using VxVevAva5::CElement;
using VxVevAva5::CElementCol;
using VxVevAva5::CSmartPtr;
using VxVevAva5::CVxException;
using VxVevAva5::CVxValidationException;
using VxVevAva5::FormatString;

namespace {

// The name under which an untyped member takes an element of any name.
const unsigned short* const kAnyElement = VX_T("AnyElement");

[[noreturn]] void ThrowNoSubstitution(const String& elementName) {
  throw CVxValidationException(FormatString(
      VX_T("Failed to find a suitable substitution element for [%s]"), elementName.c_str()));
}

}  // namespace

// -- Cls: a child object of a known class -----------------------------------------

template <class Group>
CElementInfoClsKind<Group>::CElementInfoClsKind(const unsigned short* elementName,
                                                const unsigned short* elementNamespace,
                                                int propertyIndex, XmlElementType memberType,
                                                ClassFactoryFunction classFactory, int classNumber,
                                                bool requiredContent)
    : Group(elementName, elementNamespace, propertyIndex),
      m_memberType(memberType),
      m_requiredContent(requiredContent),
      m_classFactory(classFactory),
      m_classNumber(classNumber) {}

template <class Group>
bool CElementInfoClsKind<Group>::ElementToXml(const CXmlSerializationContext& context,
                                              const CXmlGeneratedClass* object,
                                              CXmlWriter* writer) const {
  // A choice member writes its child as optional: the child's own choice
  // may then stay empty.
  return this->ElementToXmlCls(context, object, writer,
                               Group::kGroup == XmlElementGroupType_Choice);
}

template <class Group>
void CElementInfoClsKind<Group>::PseudoChildAttributeToXml(const CXmlSerializationContext& context,
                                                           const CXmlGeneratedClass* object,
                                                           CXmlWriter* writer) const {
  if (m_memberType != XmlElementType_PseudoElement) return;
  VxVariant value;
  this->ReadProperty(object, value);
  if (value.GetItemType() != VxVevAva5::ItemType_XmlObject) return;
  CSmartPtr<CXmlObjectBase> child = value.GetXmlObject();
  if (child != nullptr) this->AttributesToXml_Int(child, writer, context);
}

template <class Group>
CSmartPtr<CXmlObjectBase> CElementInfoClsKind<Group>::MakeChild() const {
  CSmartPtr<CXmlObjectBase> child =
      m_classFactory != nullptr ? m_classFactory(m_classNumber, this->GetElementName().c_str())
                                : nullptr;
  if (child == nullptr)
    throw CVxException(FormatString(VX_T("The class factory made no object for the element [%s]"),
                                    this->GetElementName().c_str()));
  return child;
}

template <class Group>
bool CElementInfoClsKind<Group>::ReadMandatoryInSequence(const CXmlSerializationContext& context,
                                                         CXmlGeneratedClass* object,
                                                         CXmlElement* parent, CXmlElement** current,
                                                         const unsigned short*,
                                                         XmlElementType ownerType) {
  if (m_memberType == XmlElementType_Element) {
    switch (this->SearchMandatory(context, current, ownerType, false)) {
      case CElementInfo::kSearchTolerated:
        return true;
      case CElementInfo::kSearchMissing:
        return false;
      case CElementInfo::kSearchFound:
        break;
    }
    this->ReadFromElement(this->FetchObject(object), current, context);
    return true;
  }
  // A model group whose elements follow in place.
  CSmartPtr<CXmlObjectBase> child = this->FetchObject(object);
  if (m_requiredContent) {
    if (ownerType == XmlElementType_Element) {
      if (*current == nullptr || !this->ReadInPlace(child, parent, current, context)) {
        if (*current != nullptr && context.GetValidateOnRead())
          VxVevAva5::detail::ThrowFoundWhereContentExpected(**current, this->GetElementName());
        VxVevAva5::detail::ThrowRequiredElementMissing(this->GetElementName());
      }
      return true;
    }
    return *current != nullptr && this->ReadInPlace(child, parent, current, context);
  }
  CXmlElement* const before = *current;
  CXmlElement* after = CElementInfo::FromXml_Int(child, parent, before, context, false);
  // Nothing taken at an element that unknown elements allow skipping: let
  // the driver skip it and offer it to this member again.
  if (before != nullptr && after == before && context.GetIgnoreUnknownElements() &&
      ownerType == XmlElementType_Element)
    return false;
  *current = after;
  return true;
}

template <class Group>
bool CElementInfoClsKind<Group>::ReadMandatoryInAll(const CXmlSerializationContext& context,
                                                    CXmlGeneratedClass* object, CXmlElement* parent,
                                                    CXmlElement** current, const unsigned short*,
                                                    XmlElementType) {
  if (m_memberType == XmlElementType_Element) {
    if (!this->IsThisElement(context, *current)) return false;
    this->ReadFromElement(this->FetchObject(object), current, context);
    return true;
  }
  return this->ReadInPlace(this->FetchObject(object), parent, current, context);
}

template <class Group>
bool CElementInfoClsKind<Group>::ReadOptional(const CXmlSerializationContext& context,
                                              CXmlGeneratedClass* object, CXmlElement* parent,
                                              CXmlElement** current, const unsigned short*,
                                              XmlElementType) {
  const bool ownElement = m_memberType == XmlElementType_Element;
  constexpr bool kChoice = Group::kGroup == XmlElementGroupType_Choice;
  // Validating, a choice's model group is also offered the end of the
  // content: it may match it empty (VxVevAva5::detail::t_groupMatched).
  if (ownElement ? !this->IsThisElement(context, *current)
                 : *current == nullptr && !(kChoice && context.GetValidateOnRead()))
    return false;
  CSmartPtr<CXmlObjectBase> child = MakeChild();
  if (kChoice) {
    // A choice stores its new child before reading it; a model group that
    // takes nothing leaves the member without object.
    this->StoreObject(object, child);
    if (ownElement) {
      this->ReadFromElement(child, current, context);
      return true;
    }
    if (this->ReadInPlace(child, parent, current, context)) return true;
    this->StoreObject(object, nullptr);
    return false;
  }
  try {
    if (ownElement) {
      this->ReadFromElement(child, current, context);
    } else if (!this->ReadInPlace(child, parent, current, context)) {
      return false;
    }
  } catch (const VxVevAva5::CXmlStreamStop&) {
    this->StoreObject(object, child);  // a stopped stream keeps what was bound
    throw;
  }
  this->StoreObject(object, child);
  return true;
}

template <class Group>
bool CElementInfoClsKind<Group>::MissingIsError() const {
  return m_memberType == XmlElementType_PseudoElement || m_requiredContent;
}

// -- AbsCls: a child object chosen by substitution -------------------------------------

template <class Group>
CElementInfoAbsClsKind<Group>::CElementInfoAbsClsKind(
    const unsigned short* elementName, const unsigned short* elementNamespace, int propertyIndex,
    XmlElementType memberType, SubstitutionFactoryFunction substitutionFactory, int reserved)
    : Group(elementName, elementNamespace, propertyIndex),
      m_memberType(memberType),
      m_substitutionFactory(substitutionFactory),
      m_reserved(reserved) {}

template <class Group>
bool CElementInfoAbsClsKind<Group>::ElementToXml(const CXmlSerializationContext& context,
                                                 const CXmlGeneratedClass* object,
                                                 CXmlWriter* writer) const {
  return this->ElementToXmlCls(context, object, writer, false);
}

template <class Group>
void CElementInfoAbsClsKind<Group>::PseudoChildAttributeToXml(
    const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
    CXmlWriter* writer) const {
  if (m_memberType != XmlElementType_PseudoElement) return;
  VxVariant value;
  this->ReadProperty(object, value);
  if (value.GetItemType() != VxVevAva5::ItemType_XmlObject) return;
  CSmartPtr<CXmlObjectBase> child = value.GetXmlObject();
  if (child != nullptr) this->AttributesToXml_Int(child, writer, context);
}

template <class Group>
CSmartPtr<CXmlObjectBase> CElementInfoAbsClsKind<Group>::Substitute(
    const CXmlSerializationContext& context, CXmlElement* element) const {
  if (!this->IsThisElement(context, element) || m_substitutionFactory == nullptr) return nullptr;
  // Validating, an xsi:type the factory would not take is named as it is.
  this->CheckXsiType(context, *element);
  return m_substitutionFactory(element);
}

template <class Group>
bool CElementInfoAbsClsKind<Group>::ReadMandatory(const CXmlSerializationContext& context,
                                                  CXmlGeneratedClass* object,
                                                  CXmlElement** current,
                                                  XmlElementType ownerType) {
  CSmartPtr<CXmlObjectBase> child = Substitute(context, *current);
  if (child == nullptr) {
    if (ownerType == XmlElementType_Element) ThrowNoSubstitution(this->GetElementName());
    return false;
  }
  try {
    this->ReadFromElement(child, current, context);
  } catch (const VxVevAva5::CXmlStreamStop&) {
    this->StoreObject(object, child);  // a stopped stream keeps what was bound
    throw;
  }
  this->StoreObject(object, child);
  return true;
}

template <class Group>
bool CElementInfoAbsClsKind<Group>::ReadMandatoryInSequence(const CXmlSerializationContext& context,
                                                            CXmlGeneratedClass* object,
                                                            CXmlElement*, CXmlElement** current,
                                                            const unsigned short*,
                                                            XmlElementType ownerType) {
  return ReadMandatory(context, object, current, ownerType);
}

template <class Group>
bool CElementInfoAbsClsKind<Group>::ReadMandatoryInAll(const CXmlSerializationContext& context,
                                                       CXmlGeneratedClass* object, CXmlElement*,
                                                       CXmlElement** current,
                                                       const unsigned short*,
                                                       XmlElementType ownerType) {
  // Another member's element is left to the other members; the member's
  // own element must name a class, as in a sequence.
  if (!this->IsThisElement(context, *current)) return false;
  return ReadMandatory(context, object, current, ownerType);
}

template <class Group>
bool CElementInfoAbsClsKind<Group>::ReadOptional(const CXmlSerializationContext& context,
                                                 CXmlGeneratedClass* object, CXmlElement*,
                                                 CXmlElement** current, const unsigned short*,
                                                 XmlElementType) {
  if (!this->IsThisElement(context, *current)) return false;
  CSmartPtr<CXmlObjectBase> child = Substitute(context, *current);
  if (Group::kGroup == XmlElementGroupType_Choice) {
    this->StoreObject(object, child);  // no class: no object
    if (child == nullptr) return false;
    this->ReadFromElement(child, current, context);
    return true;
  }
  // No class: nothing changes, and the element stays for the driver.
  if (child == nullptr) return false;
  try {
    this->ReadFromElement(child, current, context);
  } catch (const VxVevAva5::CXmlStreamStop&) {
    this->StoreObject(object, child);  // a stopped stream keeps what was bound
    throw;
  }
  this->StoreObject(object, child);
  return true;
}

// -- Prim: a primitive value ---------------------------------------------------------------

template <class Group>
CElementInfoPrimKind<Group>::CElementInfoPrimKind(const unsigned short* elementName,
                                                  const unsigned short* elementNamespace,
                                                  int propertyIndex, ItemType itemType,
                                                  const unsigned short* format,
                                                  CWhitespaceUtils::WhitespaceRule whitespaceRule,
                                                  const CPrimitiveRestrictions& restrictions)
    : Group(elementName, elementNamespace, propertyIndex, itemType, format, whitespaceRule,
            restrictions) {}

template <class Group>
bool CElementInfoPrimKind<Group>::ElementToXml(const CXmlSerializationContext& context,
                                               const CXmlGeneratedClass* object,
                                               CXmlWriter* writer) const {
  return this->ElementToXmlPrim(context, object, writer);
}

template <class Group>
bool CElementInfoPrimKind<Group>::ReadMandatoryInSequence(const CXmlSerializationContext& context,
                                                          CXmlGeneratedClass* object, CXmlElement*,
                                                          CXmlElement** current,
                                                          const unsigned short*,
                                                          XmlElementType ownerType) {
  switch (this->SearchMandatory(context, current, ownerType, true)) {
    case CElementInfo::kSearchTolerated:
      return true;
    case CElementInfo::kSearchMissing:
      return false;
    case CElementInfo::kSearchFound:
      break;
  }
  if (context.GetValidateOnRead()) VxVevAva5::detail::CheckSimpleContent(**current);
  this->CheckXsiType(context, **current);
  this->ReadPrimitive(context, object, current);
  return true;
}

template <class Group>
bool CElementInfoPrimKind<Group>::ReadMandatoryInAll(const CXmlSerializationContext& context,
                                                     CXmlGeneratedClass* object,
                                                     CXmlElement* parent, CXmlElement** current,
                                                     const unsigned short* ownerNamespace,
                                                     XmlElementType ownerType) {
  return ReadOptional(context, object, parent, current, ownerNamespace, ownerType);
}

template <class Group>
bool CElementInfoPrimKind<Group>::ReadOptional(const CXmlSerializationContext& context,
                                               CXmlGeneratedClass* object, CXmlElement*,
                                               CXmlElement** current, const unsigned short*,
                                               XmlElementType) {
  if (!this->IsThisElement(context, *current)) return false;
  if (context.GetValidateOnRead()) VxVevAva5::detail::CheckSimpleContent(**current);
  this->CheckXsiType(context, **current);
  this->ReadPrimitive(context, object, current);
  return true;
}

// -- Enum: an enumeration value ------------------------------------------------------------

template <class Group>
CElementInfoEnumKind<Group>::CElementInfoEnumKind(const unsigned short* elementName,
                                                  const unsigned short* elementNamespace,
                                                  int propertyIndex, EnumToStringFunction toText,
                                                  EnumFromStringFunction fromText)
    : Group(elementName, elementNamespace, propertyIndex), m_toText(toText), m_fromText(fromText) {}

template <class Group>
bool CElementInfoEnumKind<Group>::ElementToXml(const CXmlSerializationContext& context,
                                               const CXmlGeneratedClass* object,
                                               CXmlWriter* writer) const {
  return this->ElementToXmlEnum(context, object, writer, m_toText);
}

template <class Group>
bool CElementInfoEnumKind<Group>::ReadMandatoryInSequence(const CXmlSerializationContext& context,
                                                          CXmlGeneratedClass* object, CXmlElement*,
                                                          CXmlElement** current,
                                                          const unsigned short*,
                                                          XmlElementType ownerType) {
  // Unlike a primitive member, in a model group it looks at the cursor only.
  switch (this->SearchMandatory(context, current, ownerType, false)) {
    case CElementInfo::kSearchTolerated:
      return true;
    case CElementInfo::kSearchMissing:
      return false;
    case CElementInfo::kSearchFound:
      break;
  }
  if (context.GetValidateOnRead()) VxVevAva5::detail::CheckSimpleContent(**current);
  this->CheckXsiType(context, **current);
  this->ReadEnum(object, current, m_fromText);
  return true;
}

template <class Group>
bool CElementInfoEnumKind<Group>::ReadMandatoryInAll(const CXmlSerializationContext& context,
                                                     CXmlGeneratedClass* object,
                                                     CXmlElement* parent, CXmlElement** current,
                                                     const unsigned short* ownerNamespace,
                                                     XmlElementType ownerType) {
  return ReadOptional(context, object, parent, current, ownerNamespace, ownerType);
}

template <class Group>
bool CElementInfoEnumKind<Group>::ReadOptional(const CXmlSerializationContext& context,
                                               CXmlGeneratedClass* object, CXmlElement*,
                                               CXmlElement** current, const unsigned short*,
                                               XmlElementType) {
  if (!this->IsThisElement(context, *current)) return false;
  if (context.GetValidateOnRead()) VxVevAva5::detail::CheckSimpleContent(**current);
  this->CheckXsiType(context, **current);
  this->ReadEnum(object, current, m_fromText);
  return true;
}

// -- Untpd: untyped content of a wildcard --------------------------------------------------

template <class Group>
CElementInfoUntpdKind<Group>::CElementInfoUntpdKind(const unsigned short* elementName,
                                                    const unsigned short* elementNamespace,
                                                    int propertyIndex,
                                                    const unsigned short* namespaceSpec,
                                                    const unsigned short* targetNamespace)
    : Group(elementName, elementNamespace, propertyIndex),
      m_namespaceSpec(VxVevAva5::Utf16::Make(namespaceSpec)),
      m_targetNamespace(VxVevAva5::Utf16::Make(targetNamespace)) {}

template <class Group>
bool CElementInfoUntpdKind<Group>::ElementToXml(const CXmlSerializationContext& context,
                                                const CXmlGeneratedClass* object,
                                                CXmlWriter* writer) const {
  return this->ElementToXmlCls(context, object, writer, false);
}

template <class Group>
bool CElementInfoUntpdKind<Group>::TakesName(const CXmlElement* element) const {
  const String& name = this->GetElementName();
  return VxVevAva5::Utf16::Equal(name.c_str(), kAnyElement) || name == element->GetLocalName();
}

template <class Group>
bool CElementInfoUntpdKind<Group>::ReadChecked(CXmlObjectBase* element, CXmlElement* parent,
                                               CXmlElement** current,
                                               const CXmlSerializationContext& context) {
  CXmlElement* const before = *current;
  if (!this->ReadInPlace(element, parent, current, context)) return false;
  // Validating, the namespace as XML Schema reads the wildcard's constraint.
  if (context.GetValidateOnRead() &&
      VxVevAva5::Utf16::Equal(this->GetElementName().c_str(), kAnyElement))
    CheckWildcardNamespaces(before, *current, m_namespaceSpec.c_str(), m_targetNamespace.c_str());
  CheckWildcardElements(before, *current, this->GetProcessContents(), this->GetDeclarations(),
                        context);
  return true;
}

template <class Group>
bool CElementInfoUntpdKind<Group>::ReadMandatoryInSequence(
    const CXmlSerializationContext& context, CXmlGeneratedClass* object, CXmlElement* parent,
    CXmlElement** current, const unsigned short*, XmlElementType ownerType) {
  if (*current == nullptr) VxVevAva5::detail::ThrowRequiredElementMissing(this->GetElementName());
  CSmartPtr<CXmlObjectBase> element = this->FetchObject(object);
  if (TakesName(*current) && ReadChecked(element, parent, current, context)) return true;
  if (ownerType == XmlElementType_Element)
    throw CVxValidationException(
        FormatString(VX_T("Failed to find the required element from namespace [%s]"),
                     this->GetElementNamespace().c_str()));
  return false;
}

template <class Group>
bool CElementInfoUntpdKind<Group>::ReadMandatoryInAll(const CXmlSerializationContext& context,
                                                      CXmlGeneratedClass* object,
                                                      CXmlElement* parent, CXmlElement** current,
                                                      const unsigned short*, XmlElementType) {
  if (*current == nullptr) return false;
  CSmartPtr<CXmlObjectBase> element = this->FetchObject(object);
  return TakesName(*current) && ReadChecked(element, parent, current, context);
}

template <class Group>
bool CElementInfoUntpdKind<Group>::ReadOptional(const CXmlSerializationContext& context,
                                                CXmlGeneratedClass* object, CXmlElement* parent,
                                                CXmlElement** current,
                                                const unsigned short* ownerNamespace,
                                                XmlElementType) {
  if (*current == nullptr) return false;
  String namespaceUri = CElementInfo::GetAnyDefaultNamespace(
      m_namespaceSpec.c_str(), ownerNamespace, m_targetNamespace.c_str());
  CSmartPtr<CElement> element = new CElement(this->GetElementName().c_str(), namespaceUri.c_str(),
                                             m_namespaceSpec.c_str(), m_targetNamespace.c_str());
  if (!TakesName(*current) || !ReadChecked(element, parent, current, context)) return false;
  this->StoreObject(object, element);
  return true;
}

// -- Mandatory and optional members of every group -------------------------------------------

template <class Kind, ElementOccurrence kOccurrence>
bool CElementInfoMember<Kind, kOccurrence>::ElementFromXml(
    const CXmlSerializationContext& context, CXmlGeneratedClass* object, CXmlElement* parent,
    CXmlElement** current, const unsigned short* ownerNamespace, XmlElementType ownerType) {
  constexpr bool kSequence = Kind::kGroup == XmlElementGroupType_Sequence;
  if constexpr (kOccurrence == ElementOccurrence_Optional) {
    bool consumed = this->ReadOptional(context, object, parent, current, ownerNamespace, ownerType);
    return kSequence || consumed;  // absence satisfies a sequence
  } else if constexpr (kSequence) {
    return this->ReadMandatoryInSequence(context, object, parent, current, ownerNamespace,
                                         ownerType);
  } else {
    return this->ReadMandatoryInAll(context, object, parent, current, ownerNamespace, ownerType);
  }
}

template <class Kind, ElementOccurrence kOccurrence>
bool CElementInfoMember<Kind, kOccurrence>::Validate(const CXmlSerializationContext& context,
                                                     const CXmlGeneratedClass* object, bool found,
                                                     bool mustReport) const {
  if constexpr (Kind::kGroup != XmlElementGroupType_All) {
    return Kind::Validate(context, object, found, mustReport);  // never called: throws
  }
  if (found || kOccurrence == ElementOccurrence_Optional) return true;
  if (!mustReport) return false;
  if (this->MissingIsError()) this->ThrowMissingMandatory();
  return true;
}

// -- Repeated class and untyped members ------------------------------------------------------

template <class GroupCol>
CElementInfoClsColKind<GroupCol>::CElementInfoClsColKind(const unsigned short* elementName,
                                                         const unsigned short* elementNamespace,
                                                         int propertyIndex,
                                                         XmlElementType memberType)
    : GroupCol(elementName, elementNamespace, propertyIndex), m_memberType(memberType) {}

template <class GroupCol>
void CElementInfoClsColKind<GroupCol>::PseudoChildAttributeToXml(
    const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
    CXmlWriter* writer) const {
  if (m_memberType != XmlElementType_PseudoElement) return;
  VxVariant value;
  this->ReadProperty(object, value);
  if (value.GetItemType() != VxVevAva5::ItemType_XmlCollection) return;
  CSmartPtr<CXmlCollectionBase> collection = value.GetXmlCollection();
  if (collection != nullptr) this->AttributesToXml_Int(collection, writer, context);
}

template <class GroupCol>
bool CElementInfoUntpdColKind<GroupCol>::ElementFromXml(const CXmlSerializationContext& context,
                                                        CXmlGeneratedClass* object,
                                                        CXmlElement* parent, CXmlElement** current,
                                                        const unsigned short*, XmlElementType) {
  CSmartPtr<CXmlCollectionBase> collection = this->FetchCollection(object);
  CXmlElement* const before = *current;
  CXmlElement* after;
  const String& name = this->GetElementName();
  if (VxVevAva5::Utf16::Equal(name.c_str(), kAnyElement)) {
    after = CXmlObjectBase::FromXml_Int(collection, parent, before, context);
  } else if (before == nullptr) {
    after = nullptr;  // nothing to read, and no namespace to read it in
  } else {
    auto* elements = dynamic_cast<CElementCol*>(collection.get());
    if (elements == nullptr) VxVevAva5::detail::ThrowNoCollection(name);
    after = elements->FromXmlLockElementName_Int(name, before->GetNamespaceURI(), parent, before,
                                                 context);
  }
  if (GroupCol::kGroup == XmlElementGroupType_Choice && after == before) return false;
  *current = after;
  if (context.GetValidateOnRead() && VxVevAva5::Utf16::Equal(name.c_str(), kAnyElement)) {
    if (auto* elements = dynamic_cast<CElementCol*>(collection.get()))
      CheckWildcardNamespaces(before, after, elements->GetNamespaceConstraint().c_str(),
                              elements->GetConstraintTarget().c_str());
  }
  CheckWildcardElements(before, after, this->GetProcessContents(), this->GetDeclarations(),
                        context);
  if (!context.GetIgnoreInvalidCollectionCounts()) collection->ValidateCount(context);
  return true;
}

// -- Instantiations ----------------------------------------------------------------------------

template class CElementInfoClsKind<CElementInfoSeq>;
template class CElementInfoClsKind<CElementInfoAll>;
template class CElementInfoClsKind<CElementInfoChoice>;
template class CElementInfoAbsClsKind<CElementInfoSeq>;
template class CElementInfoAbsClsKind<CElementInfoAll>;
template class CElementInfoAbsClsKind<CElementInfoChoice>;
template class CElementInfoPrimKind<CElementInfoSeq>;
template class CElementInfoPrimKind<CElementInfoAll>;
template class CElementInfoPrimKind<CElementInfoChoice>;
template class CElementInfoEnumKind<CElementInfoSeq>;
template class CElementInfoEnumKind<CElementInfoAll>;
template class CElementInfoEnumKind<CElementInfoChoice>;
template class CElementInfoUntpdKind<CElementInfoSeq>;
template class CElementInfoUntpdKind<CElementInfoAll>;
template class CElementInfoUntpdKind<CElementInfoChoice>;
#define VX_MEMBER(K, G, O) \
  template class CElementInfoMember<CElementInfo##K##Kind<CElementInfo##G>, ElementOccurrence_##O>;
#define VX_MEMBERS(K)          \
  VX_MEMBER(K, Seq, Mandatory) \
  VX_MEMBER(K, Seq, Optional)  \
  VX_MEMBER(K, All, Mandatory) \
  VX_MEMBER(K, All, Optional)  \
  VX_MEMBER(K, Choice, Optional)
VX_MEMBERS(Cls)
VX_MEMBERS(AbsCls)
VX_MEMBERS(Prim)
VX_MEMBERS(Enum)
VX_MEMBERS(Untpd)
#undef VX_MEMBERS
#undef VX_MEMBER
template class CElementInfoClsColKind<CElementInfoSeqCol>;
template class CElementInfoClsColKind<CElementInfoAllCol>;
template class CElementInfoClsColKind<CElementInfoChoiceCol>;
template class CElementInfoUntpdColKind<CElementInfoSeqCol>;
template class CElementInfoUntpdColKind<CElementInfoChoiceCol>;

// -- The named classes ---------------------------------------------------------------------------

#define VX_DESTRUCTOR(Name) Name::~Name() = default;

// Sequence.
CElementInfoSeqClsMnd::CElementInfoSeqClsMnd(const unsigned short* elementName,
                                             const unsigned short* elementNamespace,
                                             int propertyIndex, XmlElementType memberType,
                                             ClassFactoryFunction classFactory, int classNumber,
                                             bool requiredContent)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, memberType, classFactory,
                         classNumber, requiredContent) {}
VX_DESTRUCTOR(CElementInfoSeqClsMnd)

CElementInfoSeqClsOpt::CElementInfoSeqClsOpt(const unsigned short* elementName,
                                             const unsigned short* elementNamespace,
                                             int propertyIndex, XmlElementType memberType,
                                             ClassFactoryFunction classFactory, int classNumber)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, memberType, classFactory,
                         classNumber, false) {}
VX_DESTRUCTOR(CElementInfoSeqClsOpt)

CElementInfoSeqClsCol::CElementInfoSeqClsCol(const unsigned short* elementName,
                                             const unsigned short* elementNamespace,
                                             int propertyIndex, XmlElementType memberType)
    : CElementInfoClsColKind(elementName, elementNamespace, propertyIndex, memberType) {}
VX_DESTRUCTOR(CElementInfoSeqClsCol)

CElementInfoSeqAbsClsMnd::CElementInfoSeqAbsClsMnd(const unsigned short* elementName,
                                                   const unsigned short* elementNamespace,
                                                   int propertyIndex, XmlElementType memberType,
                                                   SubstitutionFactoryFunction substitutionFactory)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, memberType,
                         substitutionFactory, 0) {}
VX_DESTRUCTOR(CElementInfoSeqAbsClsMnd)

CElementInfoSeqAbsClsOpt::CElementInfoSeqAbsClsOpt(const unsigned short* elementName,
                                                   const unsigned short* elementNamespace,
                                                   int propertyIndex, XmlElementType memberType,
                                                   SubstitutionFactoryFunction substitutionFactory)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, memberType,
                         substitutionFactory, 0) {}
VX_DESTRUCTOR(CElementInfoSeqAbsClsOpt)

CElementInfoSeqAbsClsCol::CElementInfoSeqAbsClsCol(const unsigned short* elementName,
                                                   const unsigned short* elementNamespace,
                                                   int propertyIndex, XmlElementType memberType)
    : CElementInfoClsColKind(elementName, elementNamespace, propertyIndex, memberType) {}
VX_DESTRUCTOR(CElementInfoSeqAbsClsCol)

CElementInfoSeqPrimMnd::CElementInfoSeqPrimMnd(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex, ItemType itemType,
                                               const unsigned short* format,
                                               CWhitespaceUtils::WhitespaceRule whitespaceRule,
                                               const CPrimitiveRestrictions& restrictions)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, itemType, format,
                         whitespaceRule, restrictions) {}
VX_DESTRUCTOR(CElementInfoSeqPrimMnd)

CElementInfoSeqPrimOpt::CElementInfoSeqPrimOpt(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex, ItemType itemType,
                                               const unsigned short* format,
                                               CWhitespaceUtils::WhitespaceRule whitespaceRule,
                                               const CPrimitiveRestrictions& restrictions)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, itemType, format,
                         whitespaceRule, restrictions) {}
VX_DESTRUCTOR(CElementInfoSeqPrimOpt)

CElementInfoSeqPrimCol::CElementInfoSeqPrimCol(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex)
    : CElementInfoSeqCol(elementName, elementNamespace, propertyIndex) {}
VX_DESTRUCTOR(CElementInfoSeqPrimCol)

CElementInfoSeqEnumMnd::CElementInfoSeqEnumMnd(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex, EnumToStringFunction toText,
                                               EnumFromStringFunction fromText)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, toText, fromText) {}
VX_DESTRUCTOR(CElementInfoSeqEnumMnd)

CElementInfoSeqEnumOpt::CElementInfoSeqEnumOpt(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex, EnumToStringFunction toText,
                                               EnumFromStringFunction fromText)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, toText, fromText) {}
VX_DESTRUCTOR(CElementInfoSeqEnumOpt)

CElementInfoSeqEnumCol::CElementInfoSeqEnumCol(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex)
    : CElementInfoSeqCol(elementName, elementNamespace, propertyIndex) {}
VX_DESTRUCTOR(CElementInfoSeqEnumCol)

CElementInfoSeqUntpdMnd::CElementInfoSeqUntpdMnd(const unsigned short* elementName,
                                                 const unsigned short* elementNamespace,
                                                 int propertyIndex,
                                                 const unsigned short* namespaceSpec,
                                                 const unsigned short* targetNamespace)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, namespaceSpec,
                         targetNamespace) {}
VX_DESTRUCTOR(CElementInfoSeqUntpdMnd)

CElementInfoSeqUntpdOpt::CElementInfoSeqUntpdOpt(const unsigned short* elementName,
                                                 const unsigned short* elementNamespace,
                                                 int propertyIndex,
                                                 const unsigned short* namespaceSpec,
                                                 const unsigned short* targetNamespace)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, namespaceSpec,
                         targetNamespace) {}
VX_DESTRUCTOR(CElementInfoSeqUntpdOpt)

CElementInfoSeqUntpdCol::CElementInfoSeqUntpdCol(const unsigned short* elementName,
                                                 const unsigned short* elementNamespace,
                                                 int propertyIndex)
    : CElementInfoUntpdColKind(elementName, elementNamespace, propertyIndex) {}
VX_DESTRUCTOR(CElementInfoSeqUntpdCol)

CElementInfoSeqNonCol::CElementInfoSeqNonCol(const unsigned short* elementName,
                                             const unsigned short* elementNamespace,
                                             int propertyIndex)
    : CElementInfoSeq(elementName, elementNamespace, propertyIndex) {}
VX_DESTRUCTOR(CElementInfoSeqNonCol)

// All group.
CElementInfoAllClsMnd::CElementInfoAllClsMnd(const unsigned short* elementName,
                                             const unsigned short* elementNamespace,
                                             int propertyIndex, XmlElementType memberType,
                                             ClassFactoryFunction classFactory, int classNumber,
                                             bool requiredContent)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, memberType, classFactory,
                         classNumber, requiredContent) {}
VX_DESTRUCTOR(CElementInfoAllClsMnd)

CElementInfoAllClsOpt::CElementInfoAllClsOpt(const unsigned short* elementName,
                                             const unsigned short* elementNamespace,
                                             int propertyIndex, XmlElementType memberType,
                                             ClassFactoryFunction classFactory, int classNumber)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, memberType, classFactory,
                         classNumber, false) {}
VX_DESTRUCTOR(CElementInfoAllClsOpt)

CElementInfoAllClsCol::CElementInfoAllClsCol(const unsigned short* elementName,
                                             const unsigned short* elementNamespace,
                                             int propertyIndex, XmlElementType memberType)
    : CElementInfoClsColKind(elementName, elementNamespace, propertyIndex, memberType) {}
VX_DESTRUCTOR(CElementInfoAllClsCol)

CElementInfoAllAbsClsMnd::CElementInfoAllAbsClsMnd(const unsigned short* elementName,
                                                   const unsigned short* elementNamespace,
                                                   int propertyIndex, XmlElementType memberType,
                                                   SubstitutionFactoryFunction substitutionFactory,
                                                   int reserved)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, memberType,
                         substitutionFactory, reserved) {}
VX_DESTRUCTOR(CElementInfoAllAbsClsMnd)

CElementInfoAllAbsClsOpt::CElementInfoAllAbsClsOpt(const unsigned short* elementName,
                                                   const unsigned short* elementNamespace,
                                                   int propertyIndex, XmlElementType memberType,
                                                   SubstitutionFactoryFunction substitutionFactory)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, memberType,
                         substitutionFactory, 0) {}
VX_DESTRUCTOR(CElementInfoAllAbsClsOpt)

CElementInfoAllAbsClsCol::CElementInfoAllAbsClsCol(const unsigned short* elementName,
                                                   const unsigned short* elementNamespace,
                                                   int propertyIndex, XmlElementType memberType)
    : CElementInfoClsColKind(elementName, elementNamespace, propertyIndex, memberType) {}
VX_DESTRUCTOR(CElementInfoAllAbsClsCol)

CElementInfoAllPrimMnd::CElementInfoAllPrimMnd(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex, ItemType itemType,
                                               const unsigned short* format,
                                               CWhitespaceUtils::WhitespaceRule whitespaceRule,
                                               const CPrimitiveRestrictions& restrictions)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, itemType, format,
                         whitespaceRule, restrictions) {}
VX_DESTRUCTOR(CElementInfoAllPrimMnd)

CElementInfoAllPrimOpt::CElementInfoAllPrimOpt(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex, ItemType itemType,
                                               const unsigned short* format,
                                               CWhitespaceUtils::WhitespaceRule whitespaceRule,
                                               const CPrimitiveRestrictions& restrictions)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, itemType, format,
                         whitespaceRule, restrictions) {}
VX_DESTRUCTOR(CElementInfoAllPrimOpt)

CElementInfoAllPrimCol::CElementInfoAllPrimCol(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex)
    : CElementInfoAllCol(elementName, elementNamespace, propertyIndex) {}
VX_DESTRUCTOR(CElementInfoAllPrimCol)

CElementInfoAllEnumMnd::CElementInfoAllEnumMnd(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex, EnumToStringFunction toText,
                                               EnumFromStringFunction fromText)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, toText, fromText) {}
VX_DESTRUCTOR(CElementInfoAllEnumMnd)

CElementInfoAllEnumOpt::CElementInfoAllEnumOpt(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex, EnumToStringFunction toText,
                                               EnumFromStringFunction fromText)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, toText, fromText) {}
VX_DESTRUCTOR(CElementInfoAllEnumOpt)

CElementInfoAllEnumCol::CElementInfoAllEnumCol(const unsigned short* elementName,
                                               const unsigned short* elementNamespace,
                                               int propertyIndex)
    : CElementInfoAll(elementName, elementNamespace, propertyIndex) {}
VX_DESTRUCTOR(CElementInfoAllEnumCol)

CElementInfoAllUntpdMnd::CElementInfoAllUntpdMnd(const unsigned short* elementName,
                                                 const unsigned short* elementNamespace,
                                                 int propertyIndex,
                                                 const unsigned short* namespaceSpec,
                                                 const unsigned short* targetNamespace)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, namespaceSpec,
                         targetNamespace) {}
VX_DESTRUCTOR(CElementInfoAllUntpdMnd)

CElementInfoAllUntpdOpt::CElementInfoAllUntpdOpt(const unsigned short* elementName,
                                                 const unsigned short* elementNamespace,
                                                 int propertyIndex,
                                                 const unsigned short* namespaceSpec,
                                                 const unsigned short* targetNamespace)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, namespaceSpec,
                         targetNamespace) {}
VX_DESTRUCTOR(CElementInfoAllUntpdOpt)

CElementInfoAllUntpdCol::CElementInfoAllUntpdCol(const unsigned short* elementName,
                                                 const unsigned short* elementNamespace,
                                                 int propertyIndex)
    : CElementInfoAllCol(elementName, elementNamespace, propertyIndex) {}
VX_DESTRUCTOR(CElementInfoAllUntpdCol)

CElementInfoAllNonCol::CElementInfoAllNonCol(const unsigned short* elementName,
                                             const unsigned short* elementNamespace,
                                             int propertyIndex)
    : CElementInfoAll(elementName, elementNamespace, propertyIndex) {}
VX_DESTRUCTOR(CElementInfoAllNonCol)

// Choice.
CElementInfoChoiceClsOpt::CElementInfoChoiceClsOpt(const unsigned short* elementName,
                                                   const unsigned short* elementNamespace,
                                                   int propertyIndex, XmlElementType memberType,
                                                   ClassFactoryFunction classFactory,
                                                   int classNumber)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, memberType, classFactory,
                         classNumber, false) {}
VX_DESTRUCTOR(CElementInfoChoiceClsOpt)

CElementInfoChoiceClsCol::CElementInfoChoiceClsCol(const unsigned short* elementName,
                                                   const unsigned short* elementNamespace,
                                                   int propertyIndex, XmlElementType memberType)
    : CElementInfoClsColKind(elementName, elementNamespace, propertyIndex, memberType) {}
VX_DESTRUCTOR(CElementInfoChoiceClsCol)

CElementInfoChoiceAbsClsOpt::CElementInfoChoiceAbsClsOpt(
    const unsigned short* elementName, const unsigned short* elementNamespace, int propertyIndex,
    XmlElementType memberType, SubstitutionFactoryFunction substitutionFactory)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, memberType,
                         substitutionFactory, 0) {}
VX_DESTRUCTOR(CElementInfoChoiceAbsClsOpt)

CElementInfoChoiceAbsClsCol::CElementInfoChoiceAbsClsCol(const unsigned short* elementName,
                                                         const unsigned short* elementNamespace,
                                                         int propertyIndex,
                                                         XmlElementType memberType)
    : CElementInfoClsColKind(elementName, elementNamespace, propertyIndex, memberType) {}
VX_DESTRUCTOR(CElementInfoChoiceAbsClsCol)

CElementInfoChoicePrimOpt::CElementInfoChoicePrimOpt(
    const unsigned short* elementName, const unsigned short* elementNamespace, int propertyIndex,
    ItemType itemType, const unsigned short* format,
    CWhitespaceUtils::WhitespaceRule whitespaceRule, const CPrimitiveRestrictions& restrictions)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, itemType, format,
                         whitespaceRule, restrictions) {}
VX_DESTRUCTOR(CElementInfoChoicePrimOpt)

CElementInfoChoicePrimCol::CElementInfoChoicePrimCol(const unsigned short* elementName,
                                                     const unsigned short* elementNamespace,
                                                     int propertyIndex)
    : CElementInfoChoiceCol(elementName, elementNamespace, propertyIndex) {}
VX_DESTRUCTOR(CElementInfoChoicePrimCol)

CElementInfoChoiceEnumOpt::CElementInfoChoiceEnumOpt(const unsigned short* elementName,
                                                     const unsigned short* elementNamespace,
                                                     int propertyIndex, EnumToStringFunction toText,
                                                     EnumFromStringFunction fromText)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, toText, fromText) {}
VX_DESTRUCTOR(CElementInfoChoiceEnumOpt)

CElementInfoChoiceEnumCol::CElementInfoChoiceEnumCol(const unsigned short* elementName,
                                                     const unsigned short* elementNamespace,
                                                     int propertyIndex)
    : CElementInfoChoiceCol(elementName, elementNamespace, propertyIndex) {}
VX_DESTRUCTOR(CElementInfoChoiceEnumCol)

CElementInfoChoiceUntpdOpt::CElementInfoChoiceUntpdOpt(const unsigned short* elementName,
                                                       const unsigned short* elementNamespace,
                                                       int propertyIndex,
                                                       const unsigned short* namespaceSpec,
                                                       const unsigned short* targetNamespace)
    : CElementInfoMember(elementName, elementNamespace, propertyIndex, namespaceSpec,
                         targetNamespace) {}
VX_DESTRUCTOR(CElementInfoChoiceUntpdOpt)

CElementInfoChoiceUntpdCol::CElementInfoChoiceUntpdCol(const unsigned short* elementName,
                                                       const unsigned short* elementNamespace,
                                                       int propertyIndex)
    : CElementInfoUntpdColKind(elementName, elementNamespace, propertyIndex) {}
VX_DESTRUCTOR(CElementInfoChoiceUntpdCol)

#undef VX_DESTRUCTOR

}  // namespace VxVevAva5Data

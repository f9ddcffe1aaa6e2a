// CElementInfo, the group bases and the collection intermediates: what all
// element member kinds share.
#include "vxbind/model/ElementInfo.h"

#include <cstddef>
#include <utility>

#include "vxbind/base/Exceptions.h"
#include "vxbind/collections/XmlCollectionBase.h"
#include "vxbind/collections/detail/QNameValues.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/model/SimpleTypeTable.h"
#include "vxbind/model/GlobalDeclarations.h"
#include "vxbind/model/detail/Errors.h"
#include "vxbind/model/detail/Identity.h"
#include "vxbind/model/detail/Nil.h"
#include "vxbind/model/detail/Release.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/writers/XmlWriter.h"

namespace VxVevAva5Data {

using VxVevAva5::CSmartPtr;
using VxVevAva5::CVxException;
using VxVevAva5::CVxValidationException;
using VxVevAva5::FormatString;
using VxVevAva5::Utf16::Make;

namespace {

// The element's text, without the copy that the tree would keep of it.
String TextOf(const CXmlElement* element) {
  size_t length;
  const unsigned short* text = element->GetTextData(length);
  return length != 0 ? String(text, length) : String();
}

// Whether `text` (NUL-terminated) equals the `length` units at `token`.
bool TokenIs(const unsigned short* token, size_t length, const unsigned short* text) {
  size_t i = 0;
  for (; i < length; ++i)
    if (text[i] == 0 || text[i] != token[i]) return false;
  return text[i] == 0;
}

// Tells the writer, for as long as a member writes objects, the type that
// the schema declares for their element; then what it said before, for the
// objects that the enclosing member is still writing.
class DeclaredTypeScope {
 public:
  DeclaredTypeScope(CXmlWriter* writer, const CElementInfo& info)
      : m_writer(writer),
        m_name(writer->GetDeclaredTypeName()),
        m_namespace(writer->GetDeclaredTypeNamespace()) {
    if (info.HasDeclaredType())
      writer->SetDeclaredType(&info.GetDeclaredTypeName(), &info.GetDeclaredTypeNamespace());
    else
      writer->SetDeclaredType(nullptr, nullptr);
  }
  ~DeclaredTypeScope() { m_writer->SetDeclaredType(m_name, m_namespace); }
  DeclaredTypeScope(const DeclaredTypeScope&) = delete;
  DeclaredTypeScope& operator=(const DeclaredTypeScope&) = delete;

 private:
  CXmlWriter* m_writer;
  const String* m_name;
  const String* m_namespace;
};

}  // namespace

CElementInfo::CElementInfo(const unsigned short* elementName,
                           const unsigned short* elementNamespace, int propertyIndex)
    : m_elementName(Make(elementName)),
      m_elementNamespace(Make(elementNamespace)),
      m_propertyIndex(propertyIndex) {}

CElementInfo::CElementInfo(const unsigned short* elementName,
                           const unsigned short* elementNamespace, int propertyIndex,
                           ItemType itemType, const unsigned short* format,
                           CWhitespaceUtils::WhitespaceRule whitespaceRule,
                           const CPrimitiveRestrictions& restrictions)
    : m_elementName(Make(elementName)),
      m_elementNamespace(Make(elementNamespace)),
      m_propertyIndex(propertyIndex),
      m_restrictions(restrictions),
      m_itemType(itemType),
      m_format(format),
      m_whitespaceRule(whitespaceRule),
      m_primitive(true) {}

CElementInfo::CElementInfo(const CElementInfo& other) = default;
CElementInfo& CElementInfo::operator=(const CElementInfo& other) = default;
CElementInfo::~CElementInfo() = default;

void CElementInfo::SetDeclaredType(const unsigned short* typeName,
                                   const unsigned short* typeNamespace) {
  m_declaredTypeKnown = true;
  m_declaredTypeName = Make(typeName);
  m_declaredTypeNamespace = Make(typeNamespace);
}

void CElementInfo::SetTextCheck(ItemType itemType, CWhitespaceUtils::WhitespaceRule rule,
                                const CPrimitiveRestrictions& restrictions) {
  m_textType = itemType;
  m_textRule = rule;
  m_textRestrictions = restrictions;
}

void CElementInfo::SetCheckedType(const unsigned short* typeName,
                                  const unsigned short* typeNamespace, unsigned block,
                                  const SchemaSetTable* types) {
  m_readCheck = m_hasCheckedType = true;
  m_checkedTypeName = Make(typeName);
  m_checkedTypeNamespace = Make(typeNamespace);
  m_block = block;
  m_types = types;
  m_declaredAbstract = IsAbstractType(types, m_checkedTypeName, m_checkedTypeNamespace);
}

void CElementInfo::SetBlockedFor(const unsigned short* head) {
  m_blockedFor = Make(head);
  m_readCheck = true;
}

void CElementInfo::CheckXsiTypeOf(const CXmlElement& element) const {
  if (!m_blockedFor.empty())
    throw CVxValidationException(
        FormatString(VX_T("The element [%s] cannot stand for the element [%s]: the substitution "
                          "is blocked"),
                     m_elementName.c_str(), m_blockedFor.c_str()));
  // Most elements carry no xsi:type: only an abstract type needs a look then.
  if (m_hasCheckedType && (m_declaredAbstract || FindXsiType(element) != nullptr))
    CheckElementType(element, m_elementName, m_checkedTypeName, m_checkedTypeNamespace, m_block,
                     m_types);
}

void CElementInfo::PseudoChildAttributeToXml(const CXmlSerializationContext&,
                                             const CXmlGeneratedClass*, CXmlWriter*) const {}

bool CElementInfo::IsThisElement(const CXmlSerializationContext& context,
                                 const CXmlElement* element) const {
  if (element == nullptr || element->GetLocalName() != m_elementName) return false;
  return context.GetIgnoreNamespaces() || element->GetNamespaceURI() == m_elementNamespace;
}

void CElementInfo::CheckRestriction(const VxVariant& value) const {
  if (!m_primitive)
    throw CVxException(String(VX_T("Cannot CheckRestriction for type: ")) + value.GetType());
  VxVevAva5::CheckFacets(m_elementName.c_str(), value, m_itemType, m_restrictions);
}

String CElementInfo::GetAnyDefaultNamespace(const unsigned short* namespaceSpec,
                                            const unsigned short* ownerNamespace,
                                            const unsigned short* targetNamespace) {
  const unsigned short* constraint = namespaceSpec != nullptr ? namespaceSpec : VX_T("");
  size_t length = VxVevAva5::Utf16::Length(constraint);
  // A list that starts with a keyword answers for its first entry.
  if (length > 2 && constraint[0] == u'#' && constraint[1] == u'#') {
    for (size_t i = 0; i < length; ++i) {
      if (constraint[i] == u' ') {
        length = i;
        break;
      }
    }
  }
  if (TokenIs(constraint, length, VX_T("##any"))) return Make(ownerNamespace);
  if (TokenIs(constraint, length, VX_T("##other"))) {
    if (ownerNamespace == nullptr || *ownerNamespace == 0) return Make(VX_T("DefaultNamespace"));
    return String();
  }
  if (TokenIs(constraint, length, VX_T("##targetNamespace"))) return Make(targetNamespace);
  return String();  // "##local", URIs and anything else
}

void CElementInfo::AccessProperty(CXmlGeneratedClass* object, bool read, VxVariant& value) const {
  object->AccessProperty(m_propertyIndex, read, value);
}

void CElementInfo::ReadProperty(const CXmlGeneratedClass* object, VxVariant& value) const {
  object->ReadProperty(m_propertyIndex, value);
}

CXmlElement* CElementInfo::FromXml_Int(CXmlObjectBase* object, CXmlElement* element,
                                       CXmlElement* firstChild,
                                       const CXmlSerializationContext& context, bool optional) {
  if (optional) {
    if (auto* generated = dynamic_cast<CXmlGeneratedClass*>(object))
      return generated->FromXml_Int(element, firstChild, context, true);
  }
  return CXmlObjectBase::FromXml_Int(object, element, firstChild, context);
}

void CElementInfo::AttributesToXml_Int(const CXmlObjectBase* object, CXmlWriter* writer,
                                       const CXmlSerializationContext& context) {
  CXmlObjectBase::AttributesToXml_Int(object, writer, context);
}

bool CElementInfo::WriteNil(const CXmlGeneratedClass* object, CXmlWriter* writer) const {
  // Asking does not change the object.
  if (!m_nillable || !const_cast<CXmlGeneratedClass*>(object)->AccessNil(m_propertyIndex, nullptr))
    return false;
  writer->WriteStartElement(m_elementName, m_elementNamespace);
  VxVevAva5::detail::WriteXsiNil(writer);
  writer->WriteEndElement();
  return true;
}

bool CElementInfo::ReadNil(CXmlGeneratedClass* object, const CXmlElement* element) const {
  const VxVevAva5::CXmlAttribute* attribute =
      element->GetAttributeCount() != 0 ? VxVevAva5::detail::FindXsiNil(*element) : nullptr;
  bool nil = false;
  if (attribute != nullptr) {
    if (!m_nillable) VxVevAva5::detail::ThrowNotNillable(m_elementName);
    nil = VxVevAva5::detail::XsiNilValue(*attribute, *element);
    if (nil) VxVevAva5::detail::CheckNilIsEmpty(*element);
  }
  if (m_nillable) object->AccessNil(m_propertyIndex, &nil);
  return nil;
}

bool CElementInfo::ElementToXmlPrim(const CXmlSerializationContext&,
                                    const CXmlGeneratedClass* object, CXmlWriter* writer) const {
  if (WriteNil(object, writer)) return true;
  VxVariant value;
  ReadProperty(object, value);
  if (!value.IsValid()) return false;
  CheckRestriction(value);
  writer->WriteStartElement(m_elementName, m_elementNamespace);
  if (VxVevAva5::detail::IsQNameKind(m_itemType))
    writer->WriteText(VxVevAva5::detail::QNameText(value, *writer));
  else
    writer->WriteText(value.ToString(m_format));
  writer->WriteEndElement();
  return true;
}

bool CElementInfo::ElementToXmlEnum(const CXmlSerializationContext&,
                                    const CXmlGeneratedClass* object, CXmlWriter* writer,
                                    const unsigned short* (*toText)(int)) const {
  if (WriteNil(object, writer)) return true;
  VxVariant value;
  ReadProperty(object, value);
  if (!value.IsValid()) return false;
  writer->WriteStartElement(m_elementName, m_elementNamespace);
  writer->WriteText(Make(toText(value.GetI4())));
  writer->WriteEndElement();
  return true;
}

namespace {

// The run of a member that a streaming entry point streams (the context's
// CXmlStreamHook names `info` of `object`): the hook points to its
// collection while it is read or written, and to nothing after. A run
// inside a streamed item is not streamed.
class StreamedRun {
 public:
  StreamedRun(const CElementInfo& info, const CXmlGeneratedClass* object,
              const CXmlCollectionBase* collection, const CXmlSerializationContext& context) {
    VxVevAva5::CXmlStreamHook* hook = context.GetStreamHook();
    if (hook == nullptr || hook->collection != nullptr ||
        hook->propertyIndex != info.GetPropertyIndex() || !hook->owns(object))
      return;
    m_hook = hook;
    hook->collection = collection;
    hook->count = 0;
  }
  ~StreamedRun() {
    if (m_hook != nullptr) m_hook->collection = nullptr;
  }
  StreamedRun(const StreamedRun&) = delete;
  StreamedRun& operator=(const StreamedRun&) = delete;

  bool Active() const { return m_hook != nullptr; }
  int Count() const { return m_hook->count; }

 private:
  VxVevAva5::CXmlStreamHook* m_hook = nullptr;
};

}  // namespace

bool CElementInfo::ElementToXmlCol(const CXmlSerializationContext& context,
                                   const CXmlGeneratedClass* object, CXmlWriter* writer) const {
  VxVariant value;
  ReadProperty(object, value);
  if (value.GetItemType() != VxVevAva5::ItemType_XmlCollection) return false;
  CSmartPtr<CXmlCollectionBase> collection = value.GetXmlCollection();
  if (collection == nullptr) return false;
  StreamedRun streamed(*this, object, collection, context);
  if (!streamed.Active() && collection->GetCount() <= 0) return false;
  DeclaredTypeScope declared(writer, *this);
  CXmlObjectBase::ToXml_Int(collection->GetBase(), writer, false, m_elementNamespace.c_str(),
                            context, false);
  return true;
}

bool CElementInfo::ElementToXmlCls(const CXmlSerializationContext& context,
                                   const CXmlGeneratedClass* object, CXmlWriter* writer,
                                   bool optional) const {
  VxVariant value;
  ReadProperty(object, value);
  if (value.GetItemType() != VxVevAva5::ItemType_XmlObject) return false;
  CSmartPtr<CXmlObjectBase> child = value.GetXmlObject();
  if (child == nullptr) return false;
  DeclaredTypeScope declared(writer, *this);
  CXmlObjectBase::ToXml_Int(child, writer, false, m_elementNamespace.c_str(), context, optional);
  return true;
}

CElementInfo::SearchResult CElementInfo::SearchMandatory(const CXmlSerializationContext& context,
                                                         CXmlElement** current,
                                                         XmlElementType ownerType,
                                                         bool skipInModelGroup) const {
  if (ownerType == XmlElementType_Element) {
    while (!IsThisElement(context, *current)) {
      if (context.GetIgnoreMissingMandatoryElements()) return kSearchTolerated;
      if (!context.GetIgnoreUnknownElements() || *current == nullptr) {
        if (*current != nullptr && context.GetValidateOnRead())
          VxVevAva5::detail::ThrowFoundWhereExpected(**current, m_elementName, m_elementNamespace);
        VxVevAva5::detail::ThrowRequiredElementMissing(m_elementName);
      }
      *current = (*current)->GetNextSiblingElement();
    }
    return kSearchFound;
  }
  while (!IsThisElement(context, *current)) {
    if (!skipInModelGroup || !context.GetIgnoreUnknownElements() || *current == nullptr)
      return kSearchMissing;
    *current = (*current)->GetNextSiblingElement();
  }
  return kSearchFound;
}

void CElementInfo::ReadPrimitive(const CXmlSerializationContext& context,
                                 CXmlGeneratedClass* object, CXmlElement** current) const {
  if (!ReadNil(object, *current)) {
    VxVariant value;
    if (context.GetValidateOnRead()) {
      // The text is kept for the pattern, which constrains it as written.
      const String text = TextOf(*current);
      if (m_simpleType != nullptr) CheckSimpleType(m_simpleType, m_elementName.c_str(), text);
      value.FromString(text, m_itemType, m_whitespaceRule);
      if (m_textType == VxVevAva5::ItemType_Invalid) {
        VxVevAva5::CheckFacetsOnRead(m_elementName.c_str(), text, m_whitespaceRule, value,
                                     m_itemType, m_restrictions);
      } else if (!text.empty()) {
        // Converted by the class: an empty element stands for the default.
        VxVariant typed;
        typed.FromString(text, m_textType, m_textRule);
        VxVevAva5::CheckFacetsOnRead(m_elementName.c_str(), text, m_textRule, typed, m_textType,
                                     m_textRestrictions);
      }
    } else {
      size_t length;
      const unsigned short* text = (*current)->GetTextData(length);
      value.FromText(text, length, m_itemType, m_whitespaceRule);
    }
    if (VxVevAva5::detail::IsQNameKind(m_itemType))
      VxVevAva5::detail::ResolveQName(value, **current);
    value.SetDisposable();
    AccessProperty(object, false, value);
  }
  NoteRead(*current, (*current)->GetNextSiblingElement());
  *current = (*current)->GetNextSiblingElement();
}

void CElementInfo::ReadEnum(CXmlGeneratedClass* object, CXmlElement** current,
                            int (*fromText)(const unsigned short*)) const {
  if (!ReadNil(object, *current)) {
    VxVariant value;
    value.SetI4(fromText(TextOf(*current).c_str()));
    AccessProperty(object, false, value);
  }
  NoteRead(*current, (*current)->GetNextSiblingElement());
  *current = (*current)->GetNextSiblingElement();
}

void CElementInfo::NoteIdentities(const CXmlElement* first, const CXmlElement* end) const {
  VxVevAva5::detail::NoteElements(m_idKind, m_identity, m_elementName, first, end);
}

CSmartPtr<CXmlObjectBase> CElementInfo::FetchObject(const CXmlGeneratedClass* object) const {
  VxVariant value;
  ReadProperty(object, value);
  CSmartPtr<CXmlObjectBase> child;
  if (value.GetItemType() == VxVevAva5::ItemType_XmlObject) child = value.GetXmlObject();
  if (child == nullptr) VxVevAva5::detail::ThrowNoObject(m_elementName);
  return child;
}

CSmartPtr<CXmlCollectionBase> CElementInfo::FetchCollection(
    const CXmlGeneratedClass* object) const {
  VxVariant value;
  ReadProperty(object, value);
  CSmartPtr<CXmlCollectionBase> collection;
  if (value.GetItemType() == VxVevAva5::ItemType_XmlCollection)
    collection = value.GetXmlCollection();
  if (collection == nullptr) VxVevAva5::detail::ThrowNoCollection(m_elementName);
  return collection;
}

void CElementInfo::StoreObject(CXmlGeneratedClass* object, CXmlObjectBase* child) const {
  VxVariant value;
  if (child != nullptr) value.SetXmlObject(child);
  AccessProperty(object, false, value);
}

void CElementInfo::ReadFromElement(CXmlObjectBase* child, CXmlElement** current,
                                   const CXmlSerializationContext& context) const {
  CXmlElement* element = *current;
  CheckXsiType(context, *element);
  child->SetXsiNillable(m_nillable);
  CXmlObjectBase::FromXml_Int(child, element, element->GetFirstElement(), context);
  *current = element->GetNextSiblingElement();
  NoteRead(element, *current);
}

bool CElementInfo::ReadInPlace(CXmlObjectBase* child, CXmlElement* parent, CXmlElement** current,
                               const CXmlSerializationContext& context) {
  CXmlElement* next = CXmlObjectBase::FromXml_Int(child, parent, *current, context);
  if (next == *current) return false;
  *current = next;
  return true;
}

void CElementInfo::ThrowMissingMandatory() const {
  VxVevAva5::detail::ThrowMandatoryElementMissing(m_elementName);
}

void CElementInfo::ThrowNotImplemented() {
  throw CVxException(String(VX_T("Not implemented, should never be called")));
}

// -- Group bases ----------------------------------------------------------------

bool CElementInfoSeq::Validate(const CXmlSerializationContext&, const CXmlGeneratedClass*, bool,
                               bool) const {
  ThrowNotImplemented();
}

bool CElementInfoChoice::Validate(const CXmlSerializationContext&, const CXmlGeneratedClass*, bool,
                                  bool) const {
  ThrowNotImplemented();
}

// -- Collection intermediates -------------------------------------------------------

namespace {

// Lets the member's collection read its run of elements at the cursor;
// returns where the run ended.
// (Items of a nillable member may be nil: the collection tells them.)
CXmlElement* ReadRun(const CElementInfo& info, CXmlCollectionBase* collection,
                     CXmlElement* parent, CXmlElement* current,
                     const CXmlSerializationContext& context, bool nillable) {
  if (context.GetValidateOnRead()) {
    // The xsi:type of each element of the run, before the collection makes
    // its items: a failure names the element at fault and its position.
    for (CXmlElement* e = current; info.IsThisElement(context, e); e = e->GetNextSiblingElement()) {
      try {
        info.CheckXsiType(context, *e);
      } catch (CVxException& inner) {
        inner.SetPosition(e->GetLineNumber(), e->GetColumnNumber());
        throw CVxValidationException(FormatString(VX_T("Failed to process the element [%s]"),
                                                  e->GetLocalName().c_str()),
                                     std::move(inner));
      }
    }
  }
  collection->SetXsiNillable(nillable);
  // Read while binding, the items that are done are freed as the run goes.
  VxVevAva5::detail::ReleaseRunScope run(parent, current, !info.NotesReads());
  CXmlElement* next = CXmlObjectBase::FromXml_Int(collection, parent, current, context);
  run.Done(next);
  return next;
}

void CheckCount(const CXmlCollectionBase* collection, const CXmlSerializationContext& context) {
  if (!context.GetIgnoreInvalidCollectionCounts()) collection->ValidateCount(context);
}

// A streamed run counts the items it handed over, which the collection
// never holds.
void CheckCount(const CXmlCollectionBase* collection, const CXmlSerializationContext& context,
                const StreamedRun& streamed) {
  if (!streamed.Active()) return CheckCount(collection, context);
  collection->ValidateCountOf(streamed.Count(), context);
}

}  // namespace

CElementInfoSeqCol::CElementInfoSeqCol(const unsigned short* elementName,
                                       const unsigned short* elementNamespace, int propertyIndex)
    : CElementInfoSeq(elementName, elementNamespace, propertyIndex) {}

bool CElementInfoSeqCol::ElementToXml(const CXmlSerializationContext& context,
                                      const CXmlGeneratedClass* object, CXmlWriter* writer) const {
  return ElementToXmlCol(context, object, writer);
}

bool CElementInfoSeqCol::ElementFromXml(const CXmlSerializationContext& context,
                                        CXmlGeneratedClass* object, CXmlElement* parent,
                                        CXmlElement** current, const unsigned short*,
                                        XmlElementType) {
  CSmartPtr<CXmlCollectionBase> collection = FetchCollection(object);
  StreamedRun streamed(*this, object, collection, context);
  CXmlElement* const first = *current;
  *current = ReadRun(*this, collection, parent, first, context, IsNillable());
  NoteRead(first, *current);
  CheckCount(collection, context, streamed);
  return true;
}

CElementInfoAllCol::CElementInfoAllCol(const unsigned short* elementName,
                                       const unsigned short* elementNamespace, int propertyIndex)
    : CElementInfoAll(elementName, elementNamespace, propertyIndex) {}

bool CElementInfoAllCol::ElementToXml(const CXmlSerializationContext& context,
                                      const CXmlGeneratedClass* object, CXmlWriter* writer) const {
  return ElementToXmlCol(context, object, writer);
}

bool CElementInfoAllCol::ElementFromXml(const CXmlSerializationContext& context,
                                        CXmlGeneratedClass* object, CXmlElement* parent,
                                        CXmlElement** current, const unsigned short*,
                                        XmlElementType) {
  CSmartPtr<CXmlCollectionBase> collection = FetchCollection(object);
  CXmlElement* const first = *current;
  *current = ReadRun(*this, collection, parent, first, context, IsNillable());
  NoteRead(first, *current);
  return false;  // offered the input again on the next pass
}

bool CElementInfoAllCol::Validate(const CXmlSerializationContext& context,
                                  const CXmlGeneratedClass* object, bool, bool) const {
  CheckCount(FetchCollection(object), context);
  return true;
}

CElementInfoChoiceCol::CElementInfoChoiceCol(const unsigned short* elementName,
                                             const unsigned short* elementNamespace,
                                             int propertyIndex)
    : CElementInfoChoice(elementName, elementNamespace, propertyIndex) {}

bool CElementInfoChoiceCol::ElementToXml(const CXmlSerializationContext& context,
                                         const CXmlGeneratedClass* object,
                                         CXmlWriter* writer) const {
  return ElementToXmlCol(context, object, writer);
}

bool CElementInfoChoiceCol::ElementFromXml(const CXmlSerializationContext& context,
                                           CXmlGeneratedClass* object, CXmlElement* parent,
                                           CXmlElement** current, const unsigned short*,
                                           XmlElementType) {
  CSmartPtr<CXmlCollectionBase> collection = FetchCollection(object);
  StreamedRun streamed(*this, object, collection, context);
  CXmlElement* next = ReadRun(*this, collection, parent, *current, context, IsNillable());
  if (next == *current) return false;
  NoteRead(*current, next);
  *current = next;
  CheckCount(collection, context, streamed);
  return true;
}

}  // namespace VxVevAva5Data

// The generated-class driver: writes and reads every generated class by
// walking its metadata.
#include "vxbind/model/XmlGeneratedClass.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/base/NamespaceAliasMap.h"
#include "vxbind/collections/Element.h"
#include "vxbind/collections/XmlCollectionBase.h"
#include "vxbind/collections/detail/QNameValues.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/model/AttributeInfo.h"
#include "vxbind/model/ElementInfo.h"
#include "vxbind/model/SimpleTypeTable.h"
#include "vxbind/model/IdentityTable.h"
#include "vxbind/model/detail/Identity.h"
#include "vxbind/model/detail/Errors.h"
#include "vxbind/model/detail/GroupMatch.h"
#include "vxbind/model/detail/Nil.h"
#include "vxbind/model/detail/Release.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/writers/XmlWriter.h"

namespace VxVevAva5Data {

CParentElementInfo::CParentElementInfo(XmlElementGroupType groupType, XmlElementType elementType,
                                       const unsigned short* elementName,
                                       const unsigned short* elementNamespace,
                                       int elementTextPropertyIndex,
                                       bool fromXmlFailIfAttributeUnknown, bool hasBaseClasses,
                                       bool mixed)
    : m_groupType(groupType),
      m_elementType(elementType),
      m_elementName(VxVevAva5::Utf16::Make(elementName)),
      m_elementNamespace(VxVevAva5::Utf16::Make(elementNamespace)),
      m_textPropertyIndex(elementTextPropertyIndex),
      m_failIfAttributeUnknown(fromXmlFailIfAttributeUnknown),
      m_hasBaseClasses(hasBaseClasses),
      m_mixed(mixed) {}

void CParentElementInfo::AddGlobalElement(const unsigned short* localName) {
  m_globalElements.push_back(VxVevAva5::Utf16::Make(localName));
}

bool CParentElementInfo::IsGlobalElement(const String& localName) const {
  for (const String& name : m_globalElements)
    if (name == localName) return true;
  return false;
}

const IdentityTable* CParentElementInfo::FindRootIdentity(const String& localName,
                                                          const String& ns) const {
  for (std::size_t i = 0; i < m_rootIdentityCount; ++i) {
    const RootIdentity& root = m_rootIdentities[i];
    if (localName.compare(reinterpret_cast<const unsigned short*>(root.name)) == 0 &&
        ns.compare(reinterpret_cast<const unsigned short*>(root.ns)) == 0)
      return root.identity;
  }
  return nullptr;
}

void CParentElementInfo::SetTextCheck(VxVevAva5::ItemType itemType,
                                      VxVevAva5::CWhitespaceUtils::WhitespaceRule rule,
                                      const VxVevAva5::CPrimitiveRestrictions& restrictions) {
  m_textItemType = itemType;
  m_textRule = rule;
  m_textRestrictions = restrictions;
}

void CParentElementInfo::CheckText(const unsigned short* name, const String& text) const {
  VxVariant value;
  value.FromString(text, m_textItemType, m_textRule);
  VxVevAva5::CheckFacetsOnRead(name, text, m_textRule, value, m_textItemType, m_textRestrictions);
}

}  // namespace VxVevAva5Data

namespace VxVevAva5 {

using VxVevAva5Data::CAttributeInfo;
using VxVevAva5Data::CElementInfo;
using VxVevAva5Data::CElementInfoChoiceCol;
using VxVevAva5Data::CParentElementInfo;
using VxVevAva5Data::XmlElementType;
using VxVevAva5Data::XmlElementType_Element;
using VxVevAva5Data::XmlElementType_PseudoElement;

namespace {

// How deep the driver is on this thread, element levels of reading and
// writing together (one object never does both at once).
thread_local int t_depth = 0;

struct DepthGuard {
  DepthGuard() { ++t_depth; }
  ~DepthGuard() { --t_depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

[[noreturn]] void ThrowTooDeep(const String& elementName, const unsigned short* action) {
  throw CVxException(
      FormatString(VX_T("The element [%s] is nested deeper than %d levels; it is %s"),
                   elementName.c_str(), CXmlGeneratedClass::kMaxNestingDepth, action));
}

// One flag per member or attribute for one call; on the stack for groups
// of usual size.
class FlagArray {
 public:
  explicit FlagArray(size_t count) {
    if (count > kInline) {
      m_heap.reset(new bool[count]());
      m_flags = m_heap.get();
    } else {
      std::fill(m_inline, m_inline + count, false);
    }
  }
  FlagArray(const FlagArray&) = delete;
  FlagArray& operator=(const FlagArray&) = delete;
  bool& operator[](size_t index) { return m_flags[index]; }

 private:
  static constexpr size_t kInline = 32;
  bool m_inline[kInline];
  std::unique_ptr<bool[]> m_heap;
  bool* m_flags = m_inline;
};

// The metadata arrays are null-terminated; a class without members may
// hand back none at all.
CElementInfo* const* OrEmpty(CElementInfo** infos) {
  static CElementInfo* const kNone[1] = {nullptr};
  return infos != nullptr ? infos : kNone;
}
CAttributeInfo* const* OrEmpty(CAttributeInfo** infos) {
  static CAttributeInfo* const kNone[1] = {nullptr};
  return infos != nullptr ? infos : kNone;
}

// Refuses text other than XML whitespace directly inside `element`, whose
// content is element-only.
void CheckNoText(const CXmlElement* element) {
  size_t length;
  const unsigned short* data = element->GetTextData(length);
  for (size_t i = 0; i < length; ++i) {
    if (Utf16::IsXmlSpace(data[i])) continue;
    // Up to 40 units of it, without the whitespace that ends the run.
    size_t end = i;
    while (end < length && end - i < 40) ++end;
    while (end > i + 1 && Utf16::IsXmlSpace(data[end - 1])) --end;
    throw CVxValidationException(FormatString(
        VX_T("The element [%s] has element-only content: the text [%s] is not allowed in it"),
        element->GetLocalName().c_str(), String(data + i, end - i).c_str()));
  }
}

// Whether the context tolerates anything that validation refuses.
bool HasTolerances(const CXmlSerializationContext& context) {
  return context.GetIgnoreUnknownAttributes() || context.GetIgnoreUnknownElements() ||
         context.GetIgnoreMissingMandatoryElements() || context.GetIgnoreMissingChoice() ||
         context.GetIgnoreInvalidCollectionCounts() || context.GetIgnoreNamespaces();
}

// A copy of `context` without its tolerances. (Namespaces that a schema
// type without namespaces ignores stay ignored: that is the schema's, not
// a tolerance.)
CXmlSerializationContext WithoutTolerances(const CXmlSerializationContext& context) {
  CXmlSerializationContext strict(context);
  strict.SetIgnoreUnknownAttributes(false);
  strict.SetIgnoreUnknownElements(false);
  strict.SetIgnoreMissingMandatoryElements(false);
  strict.SetIgnoreMissingChoice(false);
  strict.SetIgnoreInvalidCollectionCounts(false);
  strict.SetIgnoreNamespaces(false);
  return strict;
}

// Validating: a model group that took the start of its content and cannot
// go on at `current`, where `member` is expected, is an error there (the
// schema's particles being unambiguous, nothing else may take that start).
[[noreturn]] void ThrowIncomplete(const CElementInfo& member, const CXmlElement* current) {
  if (current == nullptr) VxVevAva5::detail::ThrowRequiredElementMissing(member.GetElementName());
  if (member.HasElementOfItsName())
    VxVevAva5::detail::ThrowFoundWhereExpected(*current, member.GetElementName(),
                                               member.GetElementNamespace());
  VxVevAva5::detail::ThrowFoundWhereContentExpected(*current, member.GetElementName());
}

[[noreturn]] void ThrowLeftover(const CXmlElement* element, const CXmlElement* current) {
  throw CVxValidationException(FormatString(
      VX_T("Failed read all the elements held within the element [%s]. The unexpected element "
           "[%s] remains un processed"),
      element->GetLocalName().c_str(), current->GetLocalName().c_str()));
}

// The leftover check of an element's group: a child that no member took
// is an error unless unknown elements are ignored.
void CheckLeftover(const CXmlSerializationContext& context, const CXmlElement* element,
                   CXmlElement* current, CXmlElement*& offered) {
  if (current != nullptr && !context.GetIgnoreUnknownElements()) {
    offered = current;
    ThrowLeftover(element, current);
  }
}

// Whether an object of a class with base classes (whose info bears its
// type's name) is of the type that the schema declares for its element `name`:
// the type that the writing member declares, or without one, the type of a
// global element of that name.
bool IsOfDeclaredType(const CXmlWriter& writer, const CParentElementInfo& info,
                      const String& name) {
  if (const String* declared = writer.GetDeclaredTypeName())
    return *declared == info.GetElementName() &&
           *writer.GetDeclaredTypeNamespace() == info.GetElementNamespace();
  return info.IsGlobalElement(name);
}

// True when `runs` joined are `text`.
bool RunsMake(const std::vector<String>& runs, const String& text) {
  size_t at = 0;
  for (const String& run : runs) {
    if (run.size() > text.size() - at || text.compare(at, run.size(), run) != 0) return false;
    at += run.size();
  }
  return at == text.size();
}

// A writer that writes nothing: it records the content of the element it
// is given, as GetMixedContent hands it out. The base keeps the open
// elements (and so the mixed runs) as for a real writer.
class CContentRecorder : public CXmlWriter {
 public:
  CContentRecorder() : CXmlWriter(VX_T("CContentRecorder")) { SetRecordsObjects(true); }

  std::vector<CMixedContentItem> items;

  void NoteObject(const CXmlObjectBase* object) override { m_next = object; }
  void WriteComment(const String&) override {}
  void WriteProcessingInstruction(const String&) override {}
  void WriteInLineSchema(const String&) override {}
  void WriteStartElement(const String& localName, const String& namespaceUri) override {
    WriteRunBeforeChild();
    CXmlWriterContext* parent = GetCurrentContext();
    if (parent != nullptr) parent->IncrementChildCount();
    CXmlWriterContext& context = StartElementScope(localName, namespaceUri);
    const CXmlObjectBase* object = m_next;
    m_next = nullptr;
    if (context.GetDepth() != 1) return;
    CMixedContentItem item;
    item.localName = localName;
    item.namespaceUri = namespaceUri;
    item.object = const_cast<CXmlObjectBase*>(object);
    items.push_back(std::move(item));
  }
  void WriteText(const String& text) override {
    CXmlWriterContext* context = GetCurrentContext();
    if (context == nullptr || text.empty()) return;
    if (context->GetDepth() == 1) {
      if (items.back().object == nullptr) items.back().text += text;
    } else if (context->GetDepth() == 0) {
      if (items.empty() || !items.back().isText) {
        items.emplace_back();
        items.back().isText = true;
      }
      items.back().text += text;
    }
  }
  void WriteEndElement() override {
    WriteRunsBeforeEnd();
    PopContext();
  }
  void WriteAttribute(const String&, const String&, const String&) override {}
  void WriteXsiType(const String&, const String&) override {}

 private:
  const CXmlObjectBase* m_next = nullptr;
};

}  // namespace

namespace detail {

DocumentReadScope::DocumentReadScope()
    : m_reading(t_reading), m_identity(SetIdentityChecksAside()), m_depth(t_depth) {
  t_reading = ReadingState();
  t_depth = 0;
}

DocumentReadScope::~DocumentReadScope() {
  t_reading = m_reading;
  PutIdentityChecksBack(m_identity);
  t_depth = m_depth;
}

}  // namespace detail

CXmlGeneratedClass::~CXmlGeneratedClass() = default;

CXmlGeneratedClass::CXmlGeneratedClass(const CXmlGeneratedClass& other)
    : CXmlObjectBase(other),
      m_mixedRuns(other.m_mixedRuns != nullptr ? new std::vector<String>(*other.m_mixedRuns)
                                               : nullptr) {}

CXmlGeneratedClass& CXmlGeneratedClass::operator=(const CXmlGeneratedClass& other) {
  if (this == &other) return *this;
  std::unique_ptr<std::vector<String>> runs(
      other.m_mixedRuns != nullptr ? new std::vector<String>(*other.m_mixedRuns) : nullptr);
  CXmlObjectBase::operator=(other);
  m_mixedRuns = std::move(runs);
  return *this;
}

// -- Mixed content ---------------------------------------------------------------

bool CXmlGeneratedClass::IsMixed() const { return GetClassInfo()->GetMixed(); }

const std::vector<String>& CXmlGeneratedClass::GetMixedRuns() const {
  static const std::vector<String> kNone;
  return m_mixedRuns != nullptr ? *m_mixedRuns : kNone;
}

void CXmlGeneratedClass::SetMixedRuns(std::vector<String> runs) {
  if (m_mixedRuns == nullptr)
    m_mixedRuns.reset(new std::vector<String>(std::move(runs)));
  else
    *m_mixedRuns = std::move(runs);
  SyncMixedText();
}

void CXmlGeneratedClass::SetMixedRun(size_t index, const String& text) {
  if (m_mixedRuns == nullptr) m_mixedRuns.reset(new std::vector<String>);
  if (m_mixedRuns->size() <= index) m_mixedRuns->resize(index + 1);
  (*m_mixedRuns)[index] = text;
  SyncMixedText();
}

void CXmlGeneratedClass::AppendMixedRun(const String& text) {
  if (m_mixedRuns == nullptr) m_mixedRuns.reset(new std::vector<String>);
  m_mixedRuns->push_back(text);
  SyncMixedText();
}

void CXmlGeneratedClass::ClearMixedRuns() { m_mixedRuns.reset(); }

void CXmlGeneratedClass::SyncMixedText() {
  const int textIndex = GetClassInfo()->GetElementTextPropertyIndex();
  if (textIndex == -1) return;
  String joined;
  for (const String& run : GetMixedRuns()) joined += run;
  VxVariant text;
  text.SetString(joined);
  AccessProperty(textIndex, false, text);
}

const std::vector<String>* CXmlGeneratedClass::RunsToWrite(int textIndex) const {
  if (m_mixedRuns == nullptr || m_mixedRuns->empty()) return nullptr;
  if (textIndex == -1) return m_mixedRuns.get();
  VxVariant text;
  ReadProperty(textIndex, text);
  return RunsMake(*m_mixedRuns, text.GetString()) ? m_mixedRuns.get() : nullptr;
}

std::vector<CMixedContentItem> CXmlGeneratedClass::GetMixedContent() const {
  CContentRecorder recorder;
  const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext();
  const String ns = GetNamespace();
  // A model group writes no element of its own: it gets one to stand in.
  const bool own = GetClassInfo()->GetElementType() == XmlElementType_Element;
  if (!own) recorder.WriteStartElement(String(), String());
  ToXml_Int(&recorder, false, ns.c_str(), context, false);
  if (!own) recorder.WriteEndElement();
  return std::move(recorder.items);
}

void CXmlGeneratedClass::CleanMetaData(CParentElementInfo*& classInfo, CElementInfo**& elementInfos,
                                       CAttributeInfo**& attributeInfos) {
  delete classInfo;
  classInfo = nullptr;
  if (elementInfos != nullptr) {
    for (CElementInfo** p = elementInfos; *p != nullptr; ++p) delete *p;
    delete[] elementInfos;
    elementInfos = nullptr;
  }
  if (attributeInfos != nullptr) {
    for (CAttributeInfo** p = attributeInfos; *p != nullptr; ++p) delete *p;
    delete[] attributeInfos;
    attributeInfos = nullptr;
  }
}

bool CXmlGeneratedClass::AccessNil(int, const bool*) { return false; }

void CXmlGeneratedClass::ReadProperty(int propertyIndex, VxVariant& value) const {
  // Reading does not change the object; the accessor is one operation for
  // both directions.
  const_cast<CXmlGeneratedClass*>(this)->AccessProperty(propertyIndex, true, value);
}

int CXmlGeneratedClass::GetClassElementInfoCount() const {
  int count = 0;
  for (CElementInfo* const* p = OrEmpty(GetClassElementInfo()); *p != nullptr; ++p) ++count;
  return count;
}

bool CXmlGeneratedClass::IsElementInList(const CXmlSerializationContext& context,
                                         CXmlElement* element) const {
  for (CElementInfo* const* p = OrEmpty(GetClassElementInfo()); *p != nullptr; ++p)
    if ((*p)->IsThisElement(context, element)) return true;
  return false;
}

bool CXmlGeneratedClass::DoesElementContainOptionalElementCollections() const {
  for (CElementInfo* const* p = OrEmpty(GetClassElementInfo()); *p != nullptr; ++p) {
    if (dynamic_cast<const CElementInfoChoiceCol*>(*p) == nullptr) continue;
    VxVariant value;
    ReadProperty((*p)->GetPropertyIndex(), value);
    if (value.GetItemType() != ItemType_XmlCollection) continue;
    CSmartPtr<CXmlCollectionBase> collection = value.GetXmlCollection();
    if (collection != nullptr && collection->GetMinOccurs() == 0) return true;
  }
  return false;
}

// -- Writing -------------------------------------------------------------------

void CXmlGeneratedClass::ToXml_Int(CXmlWriter* writer, bool root,
                                   const unsigned short* namespaceUri,
                                   const CXmlSerializationContext& context, bool optional) const {
  DepthGuard depth;
  try {
    if (t_depth > kMaxNestingDepth) ThrowTooDeep(GetElementName(), VX_T("not written"));
    WriteObject(writer, root, namespaceUri, context, optional);
  } catch (CVxException& e) {
    // By move: only the caught link is copied, so wrapping at every level
    // of a deep graph stays linear.
    throw CVxValidationException(
        FormatString(VX_T("Failed to convert the element [%s] to XML"), GetElementName().c_str()),
        std::move(e));
  }
}

void CXmlGeneratedClass::WriteObject(CXmlWriter* writer, bool root,
                                     const unsigned short* namespaceUri,
                                     const CXmlSerializationContext& context, bool optional) const {
  const CParentElementInfo* info = GetClassInfo();
  const bool ownElement = info->GetElementType() == XmlElementType_Element;
  if (ownElement) {
    if (root) {
      for (const String& instruction : context.GetProcessingInstructions())
        writer->WriteProcessingInstruction(instruction);
      const CNamespaceAliasMap& aliases = context.GetNamespaceAliases();
      for (int i = 0; i < aliases.GetNamespaceCount(); ++i) {
        String namespaceAtIndex = aliases.GetNamespaceAt(i);
        writer->AddNamespace(aliases.GetAliasFromNamespace(namespaceAtIndex.c_str()),
                             namespaceAtIndex);
      }
      String defaultNamespace = context.GetDefaultNamespaceURI();
      if (!defaultNamespace.empty()) writer->SetDefaultNamespace(defaultNamespace);
    }
    if (writer->GetRecordsObjects()) writer->NoteObject(this);
    writer->WriteStartElement(GetElementName(), Utf16::Make(namespaceUri));
    if (root) CAttributeCol::WriteAdditionalRootAttributes(writer, context);
    AttributesToXml_Int(writer, context);
    if (root) {
      String schema = context.GetInLineSchema();
      if (!schema.empty()) writer->WriteInLineSchema(schema);
    }
    if (IsXsiNil()) {
      // Attributes, and no content.
      detail::WriteXsiNil(writer);
      writer->WriteEndElement();
      return;
    }
  }

  const int textIndex = info->GetElementTextPropertyIndex();
  // Mixed content read or built with its runs: the writer puts them
  // between the children, whoever writes those.
  const std::vector<String>* runs = nullptr;
  if (m_mixedRuns != nullptr && ownElement) {
    runs = RunsToWrite(textIndex);
    if (runs != nullptr) writer->SetMixedRuns(runs->data(), runs->size());
  }

  CElementInfo** infos = GetClassElementInfo();
  switch (info->GetElementGroupType()) {
    case VxVevAva5Data::XmlElementGroupType_Sequence:
      ProcessElementSeqToXml(context, infos, writer);
      break;
    case VxVevAva5Data::XmlElementGroupType_All:
      ProcessElementAllToXml(context, infos, writer);
      break;
    case VxVevAva5Data::XmlElementGroupType_Choice:
      ProcessElementChoiceToXml(context, infos, writer, optional);
      break;
    default:
      throw CVxException(String(VX_T("Unknown XML Group Type")));
  }

  if (textIndex != -1 && runs == nullptr) {
    VxVariant text;
    ReadProperty(textIndex, text);
    if (VxVevAva5::detail::IsQNameKind(text.GetItemType()))
      writer->WriteText(VxVevAva5::detail::QNameText(text, *writer));
    else
      writer->WriteText(text.GetString());
  }
  if (ownElement) writer->WriteEndElement();
}

void CXmlGeneratedClass::AttributesToXml_Int(CXmlWriter* writer,
                                             const CXmlSerializationContext& context) const {
  try {
    const CParentElementInfo* info = GetClassInfo();
    if (info->GetHasBaseClasses() && !IsOfDeclaredType(*writer, *info, GetElementName()))
      writer->WriteXsiType(info->GetElementNamespace(), info->GetElementName());
    for (CAttributeInfo* const* p = OrEmpty(GetClassAttributeInfo()); *p != nullptr; ++p)
      (*p)->AttributeToXml(context, this, writer);
    for (CElementInfo* const* p = OrEmpty(GetClassElementInfo()); *p != nullptr; ++p)
      (*p)->PseudoChildAttributeToXml(context, this, writer);
  } catch (CVxException& e) {
    throw CVxException(String(VX_T("Failed to convert attributes to XML")), std::move(e));
  }
}

void CXmlGeneratedClass::ProcessElementSeqToXml(const CXmlSerializationContext& context,
                                                CElementInfo** infos, CXmlWriter* writer) const {
  for (CElementInfo* const* p = OrEmpty(infos); *p != nullptr; ++p)
    (*p)->ElementToXml(context, this, writer);
}

void CXmlGeneratedClass::ProcessElementAllToXml(const CXmlSerializationContext& context,
                                                CElementInfo** infos, CXmlWriter* writer) const {
  // The order of the document read, then the members that it did not have.
  // (One accessor serves reading and writing; here it is only read.)
  const CAllGroupOrder* order = const_cast<CXmlGeneratedClass*>(this)->GetAllGroupOrder();
  if (order == nullptr || order->IsSchemaOrder()) {
    ProcessElementSeqToXml(context, infos, writer);
    return;
  }
  const size_t count = static_cast<size_t>(GetClassElementInfoCount());
  FlagArray written(count);
  for (int position : order->GetPositions()) {
    const size_t i = static_cast<size_t>(position);
    if (position < 0 || i >= count || written[i]) continue;
    written[i] = true;
    infos[i]->ElementToXml(context, this, writer);
  }
  for (size_t i = 0; i < count; ++i)
    if (!written[i]) infos[i]->ElementToXml(context, this, writer);
}

void CXmlGeneratedClass::ProcessElementChoiceToXml(const CXmlSerializationContext& context,
                                                   CElementInfo** infos, CXmlWriter* writer,
                                                   bool optional) const {
  for (CElementInfo* const* p = OrEmpty(infos); *p != nullptr; ++p)
    if ((*p)->ElementToXml(context, this, writer)) return;
  if (DoesElementContainOptionalElementCollections() || optional ||
      context.GetIgnoreMissingChoice())
    return;
  throw CVxValidationException(
      String(VX_T("This element is a choice, and as such must have at one (and only one) valid "
                  "item, currently there are none set")));
}

// -- Reading -------------------------------------------------------------------

CXmlElement* CXmlGeneratedClass::FromXml_Int(CXmlElement* element, CXmlElement* current,
                                             const CXmlSerializationContext& context,
                                             bool optional) {
  // Validating, the tolerances do not apply: the whole tree is read with a
  // copy of the context without them.
  if (context.GetValidateOnRead() && HasTolerances(context))
    return FromXml_Int(element, current, WithoutTolerances(context), optional);
  DepthGuard depth;
  detail::ItemReadGuard item(element);  // the items of a run before this one are done
  // The child element the members were looking at when a failure came, for
  // its line.
  CXmlElement* offered = element;
  try {
    if (element == nullptr)
      throw CVxInvalidParamException(String(VX_T("The element to read from is NULL")));
    if (t_depth > kMaxNestingDepth) ThrowTooDeep(element->GetLocalName(), VX_T("not read"));
    if (context.GetValidateOnRead() && !detail::IdentityChecksActive()) {
      // The outermost element read with validation: the checks of the
      // whole document (IDs, identity constraints) gather, then run.
      detail::CIdentityScope scope(
          *element,
          GetClassInfo()->FindRootIdentity(element->GetLocalName(), element->GetNamespaceURI()));
      CXmlElement* next = ReadObject(element, current, context, optional, offered);
      offered = element;
      scope.Finish();
      return next;
    }
    return ReadObject(element, current, context, optional, offered);
  } catch (CVxException& e) {
    // The caught link gets the line of the element being read when it
    // came: the failing member's element, or the child whose own wrapper
    // this is. Thrown as a temporary and wrapped by move, nothing of the
    // chain is copied, so failing at any depth stays linear.
    if (offered == nullptr) offered = element;
    // A failure that says its own position (an item of a run) keeps it.
    if (offered != nullptr && e.GetLineNumber() == 0)
      e.SetPosition(offered->GetLineNumber(), offered->GetColumnNumber());
    throw CVxValidationException(
        FormatString(VX_T("Failed to process the element [%s]"),
                     element != nullptr ? element->GetLocalName().c_str() : VX_T("")),
        std::move(e));
  }
}

CXmlElement* CXmlGeneratedClass::ReadObject(CXmlElement* element, CXmlElement* current,
                                            const CXmlSerializationContext& context, bool optional,
                                            CXmlElement*& offered) {
  Init();
  m_mixedRuns.reset();
  const CParentElementInfo* info = GetClassInfo();
  const XmlElementType ownerType = info->GetElementType();
  if (ownerType == XmlElementType_Element) {
    SetElementName(element->GetLocalName().c_str());
    SetXsiNil(false);  // until its xsi:nil says otherwise
  }
  ProcessAttributesFromXml(context, element, info->GetFromXmlFailIfAttributeUnknown());
  if (IsXsiNil()) {
    // Its attributes only: the content is absent.
    detail::CheckNilIsEmpty(*element);
    return current;
  }
  // Read while binding, the element's text is all there only once its
  // content has been read: it is checked then, and its failure wins over
  // the content's, as when it is checked first.
  const bool checkText = info->GetElementOnly() && ownerType == XmlElementType_Element;
  const bool checkTextLast = checkText && CXmlDocument::IsReadWhileBinding(element);
  if (checkText && !checkTextLast) CheckNoText(element);
  detail::MixedScope mixed(element, info->GetMixed() && ownerType == XmlElementType_Element);

  CXmlElement* next;
  try {
    switch (info->GetElementGroupType()) {
      case VxVevAva5Data::XmlElementGroupType_Sequence:
        next = ProcessElementSeqFromXml(context, element, current, ownerType, offered);
        break;
      case VxVevAva5Data::XmlElementGroupType_Choice:
        next =
            ProcessElementChoiceFromXml(context, element, current, ownerType, optional, offered);
        break;
      case VxVevAva5Data::XmlElementGroupType_All:
        next = ProcessElementAllFromXml(context, element, current, ownerType, offered);
        break;
      default:
        throw CVxException(String(VX_T("Unknow Group Type")));
    }
  } catch (...) {
    if (checkTextLast) {
      CXmlElement* failedAt = offered;
      offered = element;  // where the text's own failure is
      CheckNoText(element);
      offered = failedAt;
    }
    throw;
  }
  if (checkTextLast) {
    CXmlElement* readTo = offered;
    offered = element;
    CheckNoText(element);
    offered = readTo;
  }

  const int textIndex = info->GetElementTextPropertyIndex();
  if (textIndex != -1) {
    offered = element;
    size_t length;
    const unsigned short* data = element->GetTextData(length);
    VxVariant text;
    text.SetString(length != 0 ? String(data, length) : String());
    if (info->GetTextType() != nullptr && context.GetValidateOnRead())
      VxVevAva5Data::CheckSimpleType(info->GetTextType(), element->GetLocalName().c_str(),
                                     text.GetString());
    if (info->HasTextCheck() && context.GetValidateOnRead())
      info->CheckText(element->GetLocalName().c_str(), text.GetString());
    AccessProperty(textIndex, false, text);
    // A QName text comes back as the value it made, to be resolved here.
    if (VxVevAva5::detail::IsQNameKind(text.GetItemType())) {
      VxVevAva5::detail::ResolveQName(text, *element);
      AccessProperty(textIndex, false, text);
    }
  }
  if (info->GetMixed() && ownerType == XmlElementType_Element) ReadMixedRuns(element);
  return next;
}

void CXmlGeneratedClass::ReadMixedRuns(const CXmlElement* element) {
  // Text and child elements both: otherwise the text member says it all.
  size_t length;
  element->GetTextData(length);
  if (length == 0 || element->GetFirstElement() == nullptr) return;
  std::unique_ptr<std::vector<String>> runs(new std::vector<String>);
  const CXmlElement* previous = nullptr;
  for (const CXmlElement* child = element->GetFirstElement(); child != nullptr;
       child = child->GetNextSiblingElement()) {
    runs->push_back(element->GetTextBetween(previous, child));
    previous = child;
  }
  runs->push_back(element->GetTextBetween(previous, nullptr));
  m_mixedRuns = std::move(runs);
}

void CXmlGeneratedClass::ProcessAttributesFromXml(const CXmlSerializationContext& context,
                                                  CXmlElement* element, bool failIfUnknown) {
  CAttributeInfo* const* infos = OrEmpty(GetClassAttributeInfo());
  size_t count = 0;
  while (infos[count] != nullptr) ++count;
  FlagArray found(count);
  const size_t attributes = element->GetAttributeCount();
  for (size_t a = 0; a < attributes; ++a) {
    // The tree is read-only here; the infos take non-const pointers only
    // because the protocol hands them on.
    CXmlAttribute* attribute = const_cast<CXmlAttribute*>(&element->GetAttributeAt(a));
    if (attribute->IsNamespaceAttribute()) continue;
    if (detail::IsXsiNilAttribute(*attribute)) {
      // A model group sees its holder's attributes: the holder's own.
      if (GetClassInfo()->GetElementType() != XmlElementType_Element) continue;
      if (!IsXsiNillable()) detail::ThrowNotNillable(element->GetLocalName());
      SetXsiNil(detail::XsiNilValue(*attribute, *element));
      continue;
    }
    size_t i = 0;
    while (i < count && !infos[i]->AttributeFromElement(context, this, attribute, *element)) ++i;
    if (i < count) {
      found[i] = true;
      if (infos[i]->GetIdKind() != VxVevAva5Data::IdKind_None)
        detail::NoteAttribute(infos[i]->GetIdKind(), *attribute, *element);
    } else if ((failIfUnknown || (context.GetValidateOnRead() &&
                                  GetClassInfo()->GetElementType() == XmlElementType_Element)) &&
               !context.GetIgnoreUnknownAttributes()) {
      throw CVxValidationException(FormatString(VX_T("Unexpected Attribute [%s] found."),
                                                attribute->GetLocalName().c_str()));
    }
  }
  for (size_t i = 0; i < count; ++i) {
    infos[i]->Validate(context, found[i]);
    if (!found[i] && infos[i]->GetTellsAbsence()) infos[i]->TellAbsent(this);
  }
}

CXmlElement* CXmlGeneratedClass::ProcessElementSeqFromXml(const CXmlSerializationContext& context,
                                                          CXmlElement* element,
                                                          CXmlElement* current,
                                                          XmlElementType ownerType,
                                                          CXmlElement*& offered) {
  CXmlElement* const start = current;
  // A group read in place may go back to its start: nothing after it in
  // the element is freed while it reads.
  detail::StartPinGuard pin(element, ownerType != XmlElementType_Element);
  const String ownerNamespace = GetNamespace();
  CElementInfo* const* p = OrEmpty(GetClassElementInfo());
  while (*p != nullptr) {
    offered = current;
    if ((*p)->ElementFromXml(context, this, element, &current, ownerNamespace.c_str(), ownerType)) {
      ++p;
    } else if (context.GetIgnoreUnknownElements() && current != nullptr) {
      current = current->GetNextSiblingElement();  // and the same member again
    } else {
      if (context.GetValidateOnRead()) {
        if (current != start) ThrowIncomplete(**p, current);
        detail::t_groupMatched = false;
      }
      return start;  // no match here: the cursor goes back
    }
  }
  if (ownerType == XmlElementType_Element)
    CheckLeftover(context, element, current, offered);
  else if (context.GetValidateOnRead())
    detail::t_groupMatched = true;
  return current;
}

CXmlElement* CXmlGeneratedClass::ProcessElementAllFromXml(const CXmlSerializationContext& context,
                                                          CXmlElement* element,
                                                          CXmlElement* current,
                                                          XmlElementType ownerType,
                                                          CXmlElement*& offered) {
  CXmlElement* const start = current;
  detail::StartPinGuard pin(element, ownerType != XmlElementType_Element);
  const String ownerNamespace = GetNamespace();
  CElementInfo* const* infos = OrEmpty(GetClassElementInfo());
  const size_t count = static_cast<size_t>(GetClassElementInfoCount());
  FlagArray read(count);
  // The members that took something, and the order they did when it is
  // not the schema's (made at the first member that comes early).
  FlagArray came(count);
  size_t last = 0;
  std::vector<int> order;
  // Passes over the remaining input, each member offered what is left until
  // it took something; a pass that takes nothing ends the group.
  CXmlElement* previous = nullptr;
  while (current != nullptr && current != previous) {
    previous = current;
    for (size_t i = 0; i < count; ++i) {
      if (read[i]) continue;
      offered = current;
      CXmlElement* const before = current;
      read[i] = infos[i]->ElementFromXml(context, this, element, &current, ownerNamespace.c_str(),
                                         ownerType);
      // A repeated member reads on every pass: the first run counts.
      if ((!read[i] && current == before) || came[i]) continue;
      if (order.empty() && i < last)
        for (size_t j = 0; j < count; ++j)
          if (came[j]) order.push_back(static_cast<int>(j));
      if (!order.empty()) order.push_back(static_cast<int>(i));
      came[i] = true;
      last = i;
    }
  }
  if (CAllGroupOrder* kept = GetAllGroupOrder()) kept->SetPositions(std::move(order));
  offered = current;
  // A model group that took some of its members must have them all,
  // validating.
  const bool mustReport =
      ownerType == XmlElementType_Element || (current != start && context.GetValidateOnRead());
  for (size_t i = 0; i < count; ++i) {
    if (infos[i]->Validate(context, this, read[i], false)) continue;
    if (!mustReport) {
      if (context.GetValidateOnRead()) detail::t_groupMatched = false;
      return start;
    }
    // A mandatory member missing where an element that no member took
    // stands: validating, that element is named.
    if (current != nullptr && context.GetValidateOnRead() && infos[i]->HasElementOfItsName()) {
      offered = current;
      VxVevAva5::detail::ThrowFoundWhereExpected(*current, infos[i]->GetElementName(),
                                                 infos[i]->GetElementNamespace());
    }
    infos[i]->Validate(context, this, read[i], true);
  }
  if (ownerType == XmlElementType_Element)
    CheckLeftover(context, element, current, offered);
  else if (context.GetValidateOnRead())
    detail::t_groupMatched = true;
  return current;
}

CXmlElement* CXmlGeneratedClass::ProcessElementChoiceFromXml(
    const CXmlSerializationContext& context, CXmlElement* element, CXmlElement* current,
    XmlElementType ownerType, bool optional, CXmlElement*& offered) {
  CXmlElement* const start = current;
  detail::StartPinGuard pin(element, ownerType != XmlElementType_Element);
  const String ownerNamespace = GetNamespace();
  CElementInfo* const* infos = OrEmpty(GetClassElementInfo());
  const bool validating = context.GetValidateOnRead();
  bool found = false;
  // Validating: a branch that is a model group matched taking nothing; the
  // choice is then satisfied empty when no branch takes anything.
  bool emptyBranch = false;
  for (;;) {
    for (CElementInfo* const* p = infos; *p != nullptr; ++p) {
      offered = current;
      if (validating) detail::t_groupMatched = false;
      if ((*p)->ElementFromXml(context, this, element, &current, ownerNamespace.c_str(),
                               ownerType)) {
        found = true;
        break;
      }
      if (validating && detail::t_groupMatched) emptyBranch = true;
    }
    if (found || !context.GetIgnoreUnknownElements() || current == nullptr ||
        ownerType != XmlElementType_Element)
      break;
    current = current->GetNextSiblingElement();  // skip an unknown element
    if (current == nullptr) break;
  }

  if (found || optional || emptyBranch) {
    if (ownerType == XmlElementType_Element)
      CheckLeftover(context, element, current, offered);
    else if (validating)
      detail::t_groupMatched = true;
    return current;
  }
  if (ownerType == XmlElementType_PseudoElement) {
    if (validating) detail::t_groupMatched = false;
    return start;
  }
  if (ownerType != XmlElementType_Element) return current;
  if (DoesElementContainOptionalElementCollections() || context.GetIgnoreMissingChoice()) {
    CheckLeftover(context, element, current, offered);
    return current;
  }
  offered = element;
  throw CVxValidationException(FormatString(
      VX_T("No child elements within the element [%s] were populated. The element represents a "
           "choice, so one and only one element should be populated. The element contained no "
           "sutable child elements"),
      element->GetLocalName().c_str()));
}

}  // namespace VxVevAva5

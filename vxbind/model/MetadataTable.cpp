// The metadata of generated classes built from their constant tables, and
// the member access helpers of their AccessProperty.
#include "vxbind/model/MetadataTable.h"

#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/collections/XmlCollectionBase.h"
#include "vxbind/model/AttributeInfo.h"
#include "vxbind/model/ElementInfo.h"
#include "vxbind/model/ElementInfoKinds.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5Data {

using VxVevAva5::CVxException;
using VxVevAva5::FormatString;

namespace {

// Tables hold char16_t literals; the infos take UTF-16 units.
const unsigned short* Units(const char16_t* text) {
  return reinterpret_cast<const unsigned short*>(text);
}

// The info classes of one group, by kind and occurrence; NoKind where the
// group has none (the mandatory members of a choice).
struct NoKind {};

struct SequenceKinds {
  using ClsMnd = CElementInfoSeqClsMnd;
  using ClsOpt = CElementInfoSeqClsOpt;
  using ClsCol = CElementInfoSeqClsCol;
  using AbsClsMnd = CElementInfoSeqAbsClsMnd;
  using AbsClsOpt = CElementInfoSeqAbsClsOpt;
  using AbsClsCol = CElementInfoSeqAbsClsCol;
  using PrimMnd = CElementInfoSeqPrimMnd;
  using PrimOpt = CElementInfoSeqPrimOpt;
  using PrimCol = CElementInfoSeqPrimCol;
  using EnumMnd = CElementInfoSeqEnumMnd;
  using EnumOpt = CElementInfoSeqEnumOpt;
  using EnumCol = CElementInfoSeqEnumCol;
  using UntpdMnd = CElementInfoSeqUntpdMnd;
  using UntpdOpt = CElementInfoSeqUntpdOpt;
  using UntpdCol = CElementInfoSeqUntpdCol;
};

struct AllKinds {
  using ClsMnd = CElementInfoAllClsMnd;
  using ClsOpt = CElementInfoAllClsOpt;
  using ClsCol = CElementInfoAllClsCol;
  using AbsClsMnd = CElementInfoAllAbsClsMnd;
  using AbsClsOpt = CElementInfoAllAbsClsOpt;
  using AbsClsCol = CElementInfoAllAbsClsCol;
  using PrimMnd = CElementInfoAllPrimMnd;
  using PrimOpt = CElementInfoAllPrimOpt;
  using PrimCol = CElementInfoAllPrimCol;
  using EnumMnd = CElementInfoAllEnumMnd;
  using EnumOpt = CElementInfoAllEnumOpt;
  using EnumCol = NoKind;  // the library's is abstract
  using UntpdMnd = CElementInfoAllUntpdMnd;
  using UntpdOpt = CElementInfoAllUntpdOpt;
  using UntpdCol = CElementInfoAllUntpdCol;
};

struct ChoiceKinds {
  using ClsMnd = NoKind;
  using ClsOpt = CElementInfoChoiceClsOpt;
  using ClsCol = CElementInfoChoiceClsCol;
  using AbsClsMnd = NoKind;
  using AbsClsOpt = CElementInfoChoiceAbsClsOpt;
  using AbsClsCol = CElementInfoChoiceAbsClsCol;
  using PrimMnd = NoKind;
  using PrimOpt = CElementInfoChoicePrimOpt;
  using PrimCol = CElementInfoChoicePrimCol;
  using EnumMnd = NoKind;
  using EnumOpt = CElementInfoChoiceEnumOpt;
  using EnumCol = CElementInfoChoiceEnumCol;
  using UntpdMnd = NoKind;
  using UntpdOpt = CElementInfoChoiceUntpdOpt;
  using UntpdCol = CElementInfoChoiceUntpdCol;
};

// A new Info, or null when the group has no such kind.
template <class Info, class... Args>
CElementInfo* New(Args&&... args) {
  if constexpr (std::is_same<Info, NoKind>::value)
    return nullptr;
  else
    return new Info(std::forward<Args>(args)...);
}

// The info of the mandatory, optional or repeated member `m`; the three
// take the same arguments but the repeated one, which takes only the name.
template <class Mnd, class Opt, class Col, class... Args>
CElementInfo* ByOccurrence(const ElementMember& m, Args&&... args) {
  const unsigned short* name = Units(m.name);
  const unsigned short* ns = Units(m.elementNamespace);
  switch (m.occurs) {
    case MemberOccurs_Mandatory:
      return New<Mnd>(name, ns, m.propertyIndex, std::forward<Args>(args)...);
    case MemberOccurs_Optional:
      return New<Opt>(name, ns, m.propertyIndex, std::forward<Args>(args)...);
    case MemberOccurs_Repeated:
      return New<Col>(name, ns, m.propertyIndex);
  }
  return nullptr;
}

template <class Kinds>
CElementInfo* NewElementInfo(const ElementMember& m) {
  const bool single = m.occurs != MemberOccurs_Repeated;
  switch (m.kind) {
    case ElementMemberKind_Class:
      if (m.occurs == MemberOccurs_Repeated)
        return New<typename Kinds::ClsCol>(Units(m.name), Units(m.elementNamespace),
                                           m.propertyIndex, m.memberType);
      if (m.classFactory == nullptr) return nullptr;
      if (m.occurs == MemberOccurs_Mandatory)
        return New<typename Kinds::ClsMnd>(Units(m.name), Units(m.elementNamespace),
                                           m.propertyIndex, m.memberType, m.classFactory,
                                           m.classNumber, m.requiredContent);
      return ByOccurrence<NoKind, typename Kinds::ClsOpt, NoKind>(m, m.memberType, m.classFactory,
                                                                  m.classNumber);
    case ElementMemberKind_Substitution:
      if (m.occurs == MemberOccurs_Repeated)
        return New<typename Kinds::AbsClsCol>(Units(m.name), Units(m.elementNamespace),
                                              m.propertyIndex, m.memberType);
      if (m.substitutionFactory == nullptr) return nullptr;
      if (m.occurs == MemberOccurs_Mandatory) {
        // The all group's takes one more argument, which nothing reads.
        if constexpr (std::is_same<typename Kinds::AbsClsMnd, CElementInfoAllAbsClsMnd>::value)
          return new CElementInfoAllAbsClsMnd(Units(m.name), Units(m.elementNamespace),
                                              m.propertyIndex, m.memberType,
                                              m.substitutionFactory, 0);
        else
          return New<typename Kinds::AbsClsMnd>(Units(m.name), Units(m.elementNamespace),
                                                m.propertyIndex, m.memberType,
                                                m.substitutionFactory);
      }
      return ByOccurrence<NoKind, typename Kinds::AbsClsOpt, NoKind>(m, m.memberType,
                                                                     m.substitutionFactory);
    case ElementMemberKind_Primitive: {
      CElementInfo* info =
          ByOccurrence<typename Kinds::PrimMnd, typename Kinds::PrimOpt,
                       typename Kinds::PrimCol>(m, m.itemType, Units(m.format), m.whitespace,
                                                MakeRestrictions(m.facets));
      if (info != nullptr && m.facets != nullptr) info->SetSimpleType(m.facets->simpleType);
      return info;
    }
    case ElementMemberKind_Enum:
      if (single && (m.toText == nullptr || m.fromText == nullptr)) return nullptr;
      return ByOccurrence<typename Kinds::EnumMnd, typename Kinds::EnumOpt,
                          typename Kinds::EnumCol>(m, m.toText, m.fromText);
    case ElementMemberKind_Untyped: {
      CElementInfo* info =
          ByOccurrence<typename Kinds::UntpdMnd, typename Kinds::UntpdOpt,
                       typename Kinds::UntpdCol>(m, Units(m.namespaceSpec),
                                                 Units(m.targetNamespace));
      if (info != nullptr) info->SetProcessContents(m.processContents, m.declarations);
      return info;
    }
  }
  return nullptr;
}

CElementInfo* NewElementInfo(XmlElementGroupType group, const ElementMember& m) {
  switch (group) {
    case XmlElementGroupType_Sequence:
      return NewElementInfo<SequenceKinds>(m);
    case XmlElementGroupType_All:
      return NewElementInfo<AllKinds>(m);
    case XmlElementGroupType_Choice:
      return NewElementInfo<ChoiceKinds>(m);
  }
  return nullptr;
}

CAttributeInfo* NewAttributeInfoOfKind(const AttributeMember& m);

CAttributeInfo* NewAttributeInfo(const AttributeMember& m) {
  CAttributeInfo* info = NewAttributeInfoOfKind(m);
  if (info != nullptr) info->SetTellsAbsence(m.tellsAbsence);
  return info;
}

CAttributeInfo* NewAttributeInfoOfKind(const AttributeMember& m) {
  const unsigned short* name = Units(m.name);
  const unsigned short* ns = Units(m.attributeNamespace);
  switch (m.kind) {
    case AttributeMemberKind_Primitive: {
      auto* info = new CAttributeInfoPrimitive(name, ns, m.propertyIndex, m.optional, m.itemType,
                                               Units(m.format), m.whitespace,
                                               MakeRestrictions(m.facets));
      if (m.facets != nullptr) info->SetSimpleType(m.facets->simpleType);
      return info;
    }
    case AttributeMemberKind_Enum:
      if (m.toText == nullptr || m.fromText == nullptr) return nullptr;
      return new CAttributeInfoEnum(name, ns, m.propertyIndex, m.optional, m.toText, m.fromText);
    case AttributeMemberKind_Any: {
      auto* info = new CAttributeInfoAny(name, ns, m.propertyIndex, m.optional,
                                         Units(m.namespaceSpec), Units(m.targetNamespace));
      info->SetProcessContents(m.processContents, m.declarations);
      return info;
    }
  }
  return nullptr;
}

[[noreturn]] void ThrowUnknownKind(const ClassTable& table, const char16_t* member) {
  throw CVxException(FormatString(VX_T("The metadata table of [%s] has a member [%s] of an "
                                       "unknown kind"),
                                  Units(table.elementName != nullptr ? table.elementName : u""),
                                  Units(member != nullptr ? member : u"")));
}

}  // namespace

CPrimitiveRestrictions MakeRestrictions(const FacetTable* facets) {
  if (facets == nullptr) return CPrimitiveRestrictions();
  CPrimitiveRestrictions restrictions(Units(facets->pattern), facets->minLength, facets->maxLength,
                                      Units(facets->minInclusive), Units(facets->maxInclusive),
                                      Units(facets->minExclusive), Units(facets->maxExclusive),
                                      facets->length);
  restrictions.SetDigits(facets->totalDigits, facets->fractionDigits);
  return restrictions;
}

void BuildMetadata(const ClassTable& table, CParentElementInfo*& classInfo,
                   CElementInfo**& elementInfos, CAttributeInfo**& attributeInfos) {
  CParentElementInfo* info = nullptr;
  CElementInfo** elements = nullptr;
  CAttributeInfo** attributes = nullptr;
  const std::size_t elementCount = table.elements != nullptr ? table.elementCount : 0;
  const std::size_t attributeCount = table.attributes != nullptr ? table.attributeCount : 0;
  try {
    info = new CParentElementInfo(table.group, table.elementType, Units(table.elementName),
                                  Units(table.elementNamespace), table.textPropertyIndex,
                                  table.failIfAttributeUnknown, table.hasBaseClasses,
                                  table.mixed);
    info->SetElementOnly(table.elementOnly);
    info->SetDeclarations(table.declarations);
    info->SetTextType(table.textType);
    if (table.text != nullptr)
      info->SetTextCheck(table.text->itemType, table.text->whitespace,
                         MakeRestrictions(table.text->facets));
    // Null-filled, so that what is built so far is a null-ended array for
    // CleanMetaData at every step.
    if (table.globalElements != nullptr)
      for (std::size_t i = 0; i < table.globalElementCount; ++i)
        info->AddGlobalElement(Units(table.globalElements[i]));
    elements = new CElementInfo*[elementCount + 1]();
    attributes = new CAttributeInfo*[attributeCount + 1]();
    for (std::size_t i = 0; i < elementCount; ++i) {
      const ElementMember& m = table.elements[i];
      elements[i] = NewElementInfo(table.group, m);
      if (elements[i] == nullptr) ThrowUnknownKind(table, m.name);
      if (m.typeName != nullptr) {
        // A value member's type is for the xsi:type check only: writing
        // asks the declared type of members that hold objects.
        if (m.kind != ElementMemberKind_Primitive && m.kind != ElementMemberKind_Enum)
          elements[i]->SetDeclaredType(Units(m.typeName), Units(m.typeNamespace));
        elements[i]->SetCheckedType(Units(m.typeName), Units(m.typeNamespace), m.block,
                                    table.declarations);
      }
      if (m.blockedFor != nullptr) elements[i]->SetBlockedFor(Units(m.blockedFor));
      elements[i]->SetNillable(m.nillable);
      elements[i]->SetIdentity(m.idKind, m.identity);
      if (m.textCheck != nullptr)
        elements[i]->SetTextCheck(m.textCheck->itemType, m.textCheck->whitespace,
                                  MakeRestrictions(m.textCheck->facets));
    }
    for (std::size_t i = 0; i < attributeCount; ++i) {
      attributes[i] = NewAttributeInfo(table.attributes[i]);
      if (attributes[i] == nullptr) ThrowUnknownKind(table, table.attributes[i].name);
      attributes[i]->SetIdKind(table.attributes[i].idKind);
    }
    if (table.rootIdentities != nullptr)
      info->SetRootIdentities(table.rootIdentities, table.rootIdentityCount);
  } catch (...) {
    CXmlGeneratedClass::CleanMetaData(info, elements, attributes);
    throw;
  }
  classInfo = info;
  elementInfos = elements;
  attributeInfos = attributes;
}

namespace {

// The metadata built by every CTableMetadata of the program, freed at exit.
class BuiltMetadata {
 public:
  static BuiltMetadata& Instance() {
    static BuiltMetadata instance;
    return instance;
  }
  std::mutex& Lock() { return m_lock; }
  // Records `built` for freeing at exit and publishes it in `slot`; when
  // it throws (no memory to record it), nothing changed.
  void Keep(CTableMetadata::Built* built, std::atomic<const CTableMetadata::Built*>& slot) {
    m_kept.push_back({built, &slot});
    slot.store(built, std::memory_order_release);
  }
  ~BuiltMetadata() {
    for (const Kept& kept : m_kept) {
      kept.slot->store(nullptr, std::memory_order_relaxed);
      CXmlGeneratedClass::CleanMetaData(kept.built->classInfo, kept.built->elementInfos,
                                        kept.built->attributeInfos);
      delete kept.built;
    }
  }

 private:
  struct Kept {
    CTableMetadata::Built* built;
    std::atomic<const CTableMetadata::Built*>* slot;
  };
  BuiltMetadata() = default;

  std::mutex m_lock;
  std::vector<Kept> m_kept;
};

}  // namespace

const CTableMetadata::Built& CTableMetadata::Build() const {
  BuiltMetadata& all = BuiltMetadata::Instance();
  std::lock_guard<std::mutex> hold(all.Lock());
  // Another thread may have built it while this one waited.
  if (const Built* built = m_built.load(std::memory_order_acquire)) return *built;
  auto built = std::make_unique<Built>();
  BuildMetadata(*m_table, built->classInfo, built->elementInfos, built->attributeInfos);
  try {
    all.Keep(built.get(), m_built);
  } catch (...) {
    CXmlGeneratedClass::CleanMetaData(built->classInfo, built->elementInfos,
                                      built->attributeInfos);
    throw;
  }
  return *built.release();
}

// -- Member access ----------------------------------------------------------------

namespace {

// The variant's Set and Get of each item type.
template <VxVevAva5::ItemType kType>
struct VariantKind;

#define VX_VARIANT_KIND(kType, Kind)                                                 \
  template <>                                                                        \
  struct VariantKind<VxVevAva5::kType> {                                             \
    using Traits = VxVevAva5::ItemTypeTraits<VxVevAva5::kType>;                      \
    static void Set(VxVariant& value, typename Traits::ArgType v) { value.Set##Kind(v); } \
    static typename Traits::ValueType Get(const VxVariant& value) { return value.Get##Kind(); } \
  };
#define VX_ITEM_TYPES(X)         \
  X(ItemType_hexBinary, HexBinary) \
  X(ItemType_base64Binary, Base64Binary) \
  X(ItemType_i1, I1)             \
  X(ItemType_i2, I2)             \
  X(ItemType_i4, I4)             \
  X(ItemType_i8, I8)             \
  X(ItemType_ui1, UI1)           \
  X(ItemType_ui2, UI2)           \
  X(ItemType_ui4, UI4)           \
  X(ItemType_ui8, UI8)           \
  X(ItemType_r4, R4)             \
  X(ItemType_r8, R8)             \
  X(ItemType_duration, Duration) \
  X(ItemType_yearMonth, YearMonth) \
  X(ItemType_monthDay, MonthDay) \
  X(ItemType_year, Year)         \
  X(ItemType_month, Month)       \
  X(ItemType_day, Day)           \
  X(ItemType_date, Date)         \
  X(ItemType_datetime, DateTime) \
  X(ItemType_time, Time)         \
  X(ItemType_string, String)     \
  X(ItemType_boolean, Boolean)   \
  X(ItemType_decimal, Decimal)   \
  X(ItemType_integer, Integer)   \
  X(ItemType_QName, QName)       \
  X(ItemType_QNameList, QNameList)
VX_ITEM_TYPES(VX_VARIANT_KIND)
#undef VX_VARIANT_KIND

// What a member is assigned: a copy of the value, except a string that the
// reader is done with (VxVariant::SetDisposable), which is taken.
template <VxVevAva5::ItemType kType>
typename VxVevAva5::ItemTypeTraits<kType>::ValueType TakeValue(VxVariant& value) {
  return VariantKind<kType>::Get(value);
}
template <>
String TakeValue<VxVevAva5::ItemType_string>(VxVariant& value) {
  return value.TakeString();
}

}  // namespace

template <VxVevAva5::ItemType kType>
void AccessValue(typename VxVevAva5::ItemTypeTraits<kType>::ValueType& member, bool read,
                 VxVariant& value) {
  if (read)
    VariantKind<kType>::Set(value, member);
  else
    member = TakeValue<kType>(value);
}

template <VxVevAva5::ItemType kType>
void AccessValue(typename VxVevAva5::ItemTypeTraits<kType>::ValueType& member, bool& valid,
                 bool read, VxVariant& value) {
  if (read) {
    if (valid) VariantKind<kType>::Set(value, member);
  } else {
    valid = value.IsValid();
    if (valid) member = TakeValue<kType>(value);
  }
}

#define VX_INSTANTIATE(kType, Kind)                                                         \
  template VXBIND_EXPORT void AccessValue<VxVevAva5::kType>(                                \
      VxVevAva5::ItemTypeTraits<VxVevAva5::kType>::ValueType&, bool, VxVariant&);           \
  template VXBIND_EXPORT void AccessValue<VxVevAva5::kType>(                                \
      VxVevAva5::ItemTypeTraits<VxVevAva5::kType>::ValueType&, bool&, bool, VxVariant&);
VX_ITEM_TYPES(VX_INSTANTIATE)
#undef VX_INSTANTIATE
#undef VX_ITEM_TYPES

CXmlObjectBase* ObjectFromVariant(const VxVariant& value) {
  // The variant keeps its reference until the caller has taken its own.
  return value.IsValid() ? value.GetXmlObject().get() : nullptr;
}

void ObjectToVariant(CXmlObjectBase* object, VxVariant& value) {
  if (object != nullptr) value.SetXmlObject(object);
}

void AccessCollection(VxVevAva5::CXmlCollectionBase* member, bool read, VxVariant& value) {
  if (read) value.SetXmlCollection(member);
}

void AssignText(String& member, const unsigned short* text) {
  member = VxVevAva5::Utf16::Make(text);
}

}  // namespace VxVevAva5Data

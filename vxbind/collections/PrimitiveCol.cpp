// PrimitiveCol.cpp - the primitive collections: one template over the item
// type, instantiated here for every type the library binds.
#include "vxbind/collections/PrimitiveCol.h"

#include <utility>

#include "vxbind/base/Exceptions.h"
#include "vxbind/collections/detail/Errors.h"
#include "vxbind/collections/detail/QNameValues.h"
#include "vxbind/conversions/Conversions.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/writers/XmlWriter.h"

namespace VxVevAva5 {
namespace {

// The class name each collection gives its CInstanceMonitor.
const unsigned short* ClassName(ItemType type) {
  switch (type) {
    case ItemType_hexBinary:
      return VX_T("ChexBinaryCol");
    case ItemType_base64Binary:
      return VX_T("Cbase64BinaryCol");
    case ItemType_i1:
      return VX_T("Ci1Col");
    case ItemType_i2:
      return VX_T("Ci2Col");
    case ItemType_i4:
      return VX_T("Ci4Col");
    case ItemType_i8:
      return VX_T("Ci8Col");
    case ItemType_ui1:
      return VX_T("Cui1Col");
    case ItemType_ui2:
      return VX_T("Cui2Col");
    case ItemType_ui4:
      return VX_T("Cui4Col");
    case ItemType_ui8:
      return VX_T("Cui8Col");
    case ItemType_r4:
      return VX_T("Cr4Col");
    case ItemType_r8:
      return VX_T("Cr8Col");
    case ItemType_duration:
      return VX_T("CdurationCol");
    case ItemType_yearMonth:
      return VX_T("CyearMonthCol");
    case ItemType_monthDay:
      return VX_T("CmonthDayCol");
    case ItemType_year:
      return VX_T("CyearCol");
    case ItemType_month:
      return VX_T("CmonthCol");
    case ItemType_day:
      return VX_T("CdayCol");
    case ItemType_date:
      return VX_T("CdateCol");
    case ItemType_datetime:
      return VX_T("CdatetimeCol");
    case ItemType_time:
      return VX_T("CtimeCol");
    case ItemType_string:
      return VX_T("CstringCol");
    case ItemType_boolean:
      return VX_T("CbooleanCol");
    case ItemType_decimal:
      return VX_T("CdecimalCol");
    case ItemType_QName:
      return VX_T("CQNameCol");
    case ItemType_QNameList:
      return VX_T("CQNameListCol");
    default:
      return VX_T("CintegerCol");
  }
}

// The date kind a date collection holds, and the message that refuses others.
CDateTime::DTType DateKind(ItemType type) {
  switch (type) {
    case ItemType_yearMonth:
      return CDateTime::dt_gYearMonth;
    case ItemType_monthDay:
      return CDateTime::dt_gMonthDay;
    case ItemType_date:
      return CDateTime::dt_date;
    case ItemType_datetime:
      return CDateTime::dt_dateTime;
    default:
      return CDateTime::dt_time;
  }
}

[[noreturn]] void ThrowWrongDateKind(ItemType type) {
  const unsigned short* kind = VX_T("dt_time");
  switch (type) {
    case ItemType_yearMonth:
      kind = VX_T("dt_gYearMonth");
      break;
    case ItemType_monthDay:
      kind = VX_T("dt_gMonthDay");
      break;
    case ItemType_date:
      kind = VX_T("dt_date");
      break;
    case ItemType_datetime:
      kind = VX_T("dt_dateTime");
      break;
    default:
      break;
  }
  throw CVxInvalidParamException(
      FormatString(VX_T("Dates added to this collection must be of type %s"), kind));
}

// Writes every value as <name>text</name> in the collection's namespace.
template <class Values, class ToText>
void WriteItems(CXmlWriter* writer, const String& name, const String& namespaceUri,
                const Values& values, size_t count, ToText toText) {
  for (size_t i = 0; i < count; ++i) {
    writer->WriteStartElement(name, namespaceUri);
    writer->WriteText(toText(values[i]));
    writer->WriteEndElement();
  }
}

}  // namespace

// -- CPrimitiveCol -------------------------------------------------------------

template <ItemType kType>
CPrimitiveCol<kType>::CPrimitiveCol(
    const unsigned short* elementName, const unsigned short* namespaceUri, int minOccurs,
    int maxOccurs, const unsigned short* pattern, int minLength, int maxLength,
    const unsigned short* minInclusive, const unsigned short* maxInclusive,
    const unsigned short* minExclusive, const unsigned short* maxExclusive, int length,
    CWhitespaceUtils::WhitespaceRule whitespaceRule, const unsigned short* format)
    : CXmlTypeCollection(kType, elementName, namespaceUri, minOccurs, maxOccurs, pattern, minLength,
                         maxLength, minInclusive, maxInclusive, minExclusive, maxExclusive, length,
                         whitespaceRule, format),
      CInstanceMonitor(ClassName(kType)) {
  if constexpr (kNumeric) {
    const unsigned short* texts[4] = {minInclusive, maxInclusive, minExclusive, maxExclusive};
    for (int i = 0; i < 4; ++i) {
      if (texts[i] == nullptr || *texts[i] == 0) continue;
      try {
        m_bounds.value[i] = ItemTypeTraits<kType>::FromString(
            Utf16::Make(texts[i]), CWhitespaceUtils::WhitespaceRule_Collapse);
        m_bounds.present = static_cast<unsigned char>(m_bounds.present | (1 << i));
      } catch (const CVxException&) {
        m_bounds.usable = false;  // CheckFacets throws the conversion's error
      }
    }
  }
}

template <ItemType kType>
CPrimitiveCol<kType>::CPrimitiveCol(const CPrimitiveCol& other)
    : CXmlTypeCollection(other),
      CInstanceMonitor(ClassName(kType)),
      m_values(other.m_values),
      m_bounds(other.m_bounds) {}

template <ItemType kType>
CPrimitiveCol<kType>& CPrimitiveCol<kType>::operator=(const CPrimitiveCol& other) {
  if (this == &other) return *this;
  Storage values(other.m_values);  // the only step that can fail
  CXmlTypeCollection::operator=(other);
  m_values = std::move(values);
  m_bounds = other.m_bounds;
  return *this;
}

template <ItemType kType>
CPrimitiveCol<kType>::~CPrimitiveCol() = default;

template <ItemType kType>
void CPrimitiveCol<kType>::AddAt(int index, ArgType value) {
  size_t count = m_values.size();
  if (index < 0 || static_cast<size_t>(index) > count) detail::ThrowInsertIndexOutOfRange();
  if constexpr (kNumeric) {
    if (!m_bounds.Keeps(value))
      CheckFacets<kType>(GetElementName().c_str(), value, GetRestrictions());
  } else {
    CheckFacets<kType>(GetElementName().c_str(), value, GetRestrictions());
  }
  if constexpr (std::is_same<ValueType, bool>::value) {
    m_values.insert(static_cast<size_t>(index), value);
  } else {
    if (static_cast<size_t>(index) == count)
      m_values.push_back(std::move(value));
    else
      m_values.insert(m_values.begin() + index, std::move(value));
  }
  FireOnCollectionChange();
}

template <ItemType kType>
void CPrimitiveCol<kType>::SetDigits(int totalDigits, int fractionDigits) {
  CXmlTypeCollection::SetDigits(totalDigits, fractionDigits);
  if constexpr (kNumeric) {
    if (totalDigits > -1 || fractionDigits > -1) m_bounds.usable = false;
  }
}

template <ItemType kType>
typename CPrimitiveCol<kType>::ValueType CPrimitiveCol<kType>::Item(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_values.size())
    detail::ThrowIndexOutOfRange(index, static_cast<int>(m_values.size()));
  return m_values[static_cast<size_t>(index)];
}

template <ItemType kType>
int CPrimitiveCol<kType>::GetCount() const {
  return static_cast<int>(m_values.size());
}

template <ItemType kType>
void CPrimitiveCol<kType>::Clear() {
  m_values.clear();
}

template <ItemType kType>
void CPrimitiveCol<kType>::Remove(int index) {
  if (index < 0 || static_cast<size_t>(index) >= m_values.size())
    detail::ThrowIndexOutOfRange(index, static_cast<int>(m_values.size()));
  if constexpr (std::is_same<ValueType, bool>::value)
    m_values.erase(static_cast<size_t>(index));
  else
    m_values.erase(m_values.begin() + index);
  FireOnCollectionChange();
}

template <ItemType kType>
typename CPrimitiveCol<kType>::ValueType* CPrimitiveCol<kType>::begin() {
  return m_values.data();
}
template <ItemType kType>
typename CPrimitiveCol<kType>::ValueType* CPrimitiveCol<kType>::end() {
  return m_values.data() + m_values.size();
}
template <ItemType kType>
const typename CPrimitiveCol<kType>::ValueType* CPrimitiveCol<kType>::begin() const {
  return m_values.data();
}
template <ItemType kType>
const typename CPrimitiveCol<kType>::ValueType* CPrimitiveCol<kType>::end() const {
  return m_values.data() + m_values.size();
}

template <ItemType kType>
void CPrimitiveCol<kType>::ToXml_Int(CXmlWriter* writer, bool, const unsigned short*,
                                     const CXmlSerializationContext& context, bool) const {
  ValidateCount(context);
  if constexpr (kType == ItemType_QName || kType == ItemType_QNameList) {
    for (const ValueType& value : m_values) {
      writer->WriteStartElement(GetElementName(), GetNamespaceRef());
      if constexpr (kType == ItemType_QName)
        writer->WriteText(writer->QNameToText(value));
      else
        writer->WriteText(detail::QNameText(value, *writer));
      writer->WriteEndElement();
    }
    return;
  }
  const unsigned short* format = GetFormat();
  WriteItems(writer, GetElementName(), GetNamespaceRef(), m_values, m_values.size(),
             [format](typename ItemTypeTraits<kType>::ArgType v) {
               return ItemTypeTraits<kType>::ToString(v, format);
             });
}

template <ItemType kType>
void CPrimitiveCol<kType>::AddFromString(String text) {
  Add(ItemTypeTraits<kType>::FromString(text, GetWhitespaceRule()));
}

template <ItemType kType>
void CPrimitiveCol<kType>::AddFromElement(const CXmlElement& element) {
  if constexpr (kType == ItemType_QName) {
    CQName value = ItemTypeTraits<kType>::FromString(element.GetText(), GetWhitespaceRule());
    detail::ResolveQName(value, element);
    Add(std::move(value));
  } else if constexpr (kType == ItemType_QNameList) {
    CQNameList value = ItemTypeTraits<kType>::FromString(element.GetText(), GetWhitespaceRule());
    for (CQName& name : value) detail::ResolveQName(name, element);
    Add(std::move(value));
  } else {
    AddFromString(element.GetText());
  }
}

// -- The date collections ------------------------------------------------------

CdatetimeBaseCol::CdatetimeBaseCol(
    ItemType itemType, const unsigned short* elementName, const unsigned short* namespaceUri,
    int minOccurs, int maxOccurs, const unsigned short* pattern, int minLength, int maxLength,
    const unsigned short* minInclusive, const unsigned short* maxInclusive,
    const unsigned short* minExclusive, const unsigned short* maxExclusive, int length,
    CWhitespaceUtils::WhitespaceRule whitespaceRule, const unsigned short* format)
    : CXmlTypeCollection(itemType, elementName, namespaceUri, minOccurs, maxOccurs, pattern,
                         minLength, maxLength, minInclusive, maxInclusive, minExclusive,
                         maxExclusive, length, whitespaceRule, format) {}

CdatetimeBaseCol::CdatetimeBaseCol(const CdatetimeBaseCol& other) = default;

CdatetimeBaseCol& CdatetimeBaseCol::operator=(const CdatetimeBaseCol& other) {
  if (this == &other) return *this;
  std::vector<CDateTime> values(other.m_values);
  CXmlTypeCollection::operator=(other);
  m_values = std::move(values);
  return *this;
}

CdatetimeBaseCol::~CdatetimeBaseCol() = default;

int CdatetimeBaseCol::GetCount() const { return static_cast<int>(m_values.size()); }

void CdatetimeBaseCol::Clear() { m_values.clear(); }

void CdatetimeBaseCol::Remove(int index) {
  if (index < 0 || static_cast<size_t>(index) >= m_values.size())
    detail::ThrowIndexOutOfRange(index, GetCount());
  m_values.erase(m_values.begin() + index);
  FireOnCollectionChange();
}

void CdatetimeBaseCol::Add(const CDateTime& value) { AddAt(GetCount(), value); }

CDateTime CdatetimeBaseCol::Item(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_values.size())
    detail::ThrowIndexOutOfRange(index, GetCount());
  return m_values[static_cast<size_t>(index)];
}

void CdatetimeBaseCol::BaseAddAt(int index, const CDateTime& value) {
  if (index < 0 || static_cast<size_t>(index) > m_values.size())
    detail::ThrowInsertIndexOutOfRange();
  m_values.insert(m_values.begin() + index, value);
  FireOnCollectionChange();
}

CDateTime* CdatetimeBaseCol::begin() { return m_values.data(); }
CDateTime* CdatetimeBaseCol::end() { return m_values.data() + m_values.size(); }
const CDateTime* CdatetimeBaseCol::begin() const { return m_values.data(); }
const CDateTime* CdatetimeBaseCol::end() const { return m_values.data() + m_values.size(); }

void CdatetimeBaseCol::ToXml_Int(CXmlWriter* writer, bool, const unsigned short*,
                                 const CXmlSerializationContext& context, bool) const {
  ValidateCount(context);
  WriteItems(writer, GetElementName(), GetNamespaceRef(), m_values, m_values.size(),
             [this](const CDateTime& v) { return ItemToString(v); });
}

template <ItemType kType>
CDateKindCol<kType>::CDateKindCol(
    const unsigned short* elementName, const unsigned short* namespaceUri, int minOccurs,
    int maxOccurs, const unsigned short* pattern, int minLength, int maxLength,
    const unsigned short* minInclusive, const unsigned short* maxInclusive,
    const unsigned short* minExclusive, const unsigned short* maxExclusive, int length,
    CWhitespaceUtils::WhitespaceRule whitespaceRule, const unsigned short* format)
    : CdatetimeBaseCol(kType, elementName, namespaceUri, minOccurs, maxOccurs, pattern, minLength,
                       maxLength, minInclusive, maxInclusive, minExclusive, maxExclusive, length,
                       whitespaceRule, format),
      CInstanceMonitor(ClassName(kType)) {}

template <ItemType kType>
CDateKindCol<kType>::CDateKindCol(const CDateKindCol& other)
    : CdatetimeBaseCol(other), CInstanceMonitor(ClassName(kType)) {}

template <ItemType kType>
CDateKindCol<kType>& CDateKindCol<kType>::operator=(const CDateKindCol& other) {
  CdatetimeBaseCol::operator=(other);
  return *this;
}

template <ItemType kType>
CDateKindCol<kType>::~CDateKindCol() = default;

template <ItemType kType>
void CDateKindCol<kType>::AddAt(int index, const CDateTime& value) {
  if (value.GetType() != DateKind(kType)) ThrowWrongDateKind(kType);
  CheckFacets<kType>(GetElementName().c_str(), value, GetRestrictions());
  BaseAddAt(index, value);
}

template <ItemType kType>
String CDateKindCol<kType>::ItemToString(const CDateTime& value) const {
  return CConversions::dateToString(value);
}

template <ItemType kType>
void CDateKindCol<kType>::AddFromString(String text) {
  Add(ItemTypeTraits<kType>::FromString(text, GetWhitespaceRule()));
}

// -- The instantiations and the named classes -------------------------------------

#define VX_DEFINE_COLLECTION(Name, Base) \
  template class Base;                   \
  Name::~Name() = default;

VX_DEFINE_COLLECTION(ChexBinaryCol, CPrimitiveCol<ItemType_hexBinary>)
VX_DEFINE_COLLECTION(Cbase64BinaryCol, CPrimitiveCol<ItemType_base64Binary>)
VX_DEFINE_COLLECTION(Ci1Col, CPrimitiveCol<ItemType_i1>)
VX_DEFINE_COLLECTION(Ci2Col, CPrimitiveCol<ItemType_i2>)
VX_DEFINE_COLLECTION(Ci4Col, CPrimitiveCol<ItemType_i4>)
VX_DEFINE_COLLECTION(Ci8Col, CPrimitiveCol<ItemType_i8>)
VX_DEFINE_COLLECTION(Cui1Col, CPrimitiveCol<ItemType_ui1>)
VX_DEFINE_COLLECTION(Cui2Col, CPrimitiveCol<ItemType_ui2>)
VX_DEFINE_COLLECTION(Cui4Col, CPrimitiveCol<ItemType_ui4>)
VX_DEFINE_COLLECTION(Cui8Col, CPrimitiveCol<ItemType_ui8>)
VX_DEFINE_COLLECTION(Cr4Col, CPrimitiveCol<ItemType_r4>)
VX_DEFINE_COLLECTION(Cr8Col, CPrimitiveCol<ItemType_r8>)
VX_DEFINE_COLLECTION(CdurationCol, CPrimitiveCol<ItemType_duration>)
VX_DEFINE_COLLECTION(CyearMonthCol, CDateKindCol<ItemType_yearMonth>)
VX_DEFINE_COLLECTION(CmonthDayCol, CDateKindCol<ItemType_monthDay>)
VX_DEFINE_COLLECTION(CyearCol, CPrimitiveCol<ItemType_year>)
VX_DEFINE_COLLECTION(CmonthCol, CPrimitiveCol<ItemType_month>)
VX_DEFINE_COLLECTION(CdayCol, CPrimitiveCol<ItemType_day>)
VX_DEFINE_COLLECTION(CdateCol, CDateKindCol<ItemType_date>)
VX_DEFINE_COLLECTION(CdatetimeCol, CDateKindCol<ItemType_datetime>)
VX_DEFINE_COLLECTION(CtimeCol, CDateKindCol<ItemType_time>)
VX_DEFINE_COLLECTION(CstringCol, CPrimitiveCol<ItemType_string>)
VX_DEFINE_COLLECTION(CbooleanCol, CPrimitiveCol<ItemType_boolean>)
VX_DEFINE_COLLECTION(CdecimalCol, CPrimitiveCol<ItemType_decimal>)
VX_DEFINE_COLLECTION(CintegerCol, CPrimitiveCol<ItemType_integer>)
VX_DEFINE_COLLECTION(CQNameCol, CPrimitiveCol<ItemType_QName>)
VX_DEFINE_COLLECTION(CQNameListCol, CPrimitiveCol<ItemType_QNameList>)
#undef VX_DEFINE_COLLECTION

}  // namespace VxVevAva5
